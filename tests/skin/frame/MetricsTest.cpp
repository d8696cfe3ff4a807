// The frame's geometry as one table over border styles, skins and states,
// and its hit test as another.  The facts are those Wine's default metrics
// and the built-in skin give (frame 4 or 3, caption 19 or 16, menu 19;
// big faces 26 x 18, small 20 x 16; button margins 4 and 2, spacing 2);
// the expected values are worked out by hand from the frame's rules.
#include <gtest/gtest.h>

#include <functional>

#include "skin/forms/sSkinProvider_Metrics.h"
#include "skin/forms/sSkinProvider_Title.h"

namespace {

TsFrameFacts Base(TFormBorderStyle Style)
{
    TsFrameFacts f;
    f.Width = 320;
    f.Height = 200;
    f.BorderStyle = Style;
    f.CxFrame = 4;
    f.CxDlgFrame = 3;
    f.CyCaption = 19;
    f.CySmCaption = 16;
    f.CyMenu = 19;
    f.BILeftMargin = 4;
    f.BIRightMargin = 2;
    f.BISpacing = 2;
    const bool big = Style == bsSizeable || Style == bsSingle;
    f.BigButtons = f.ButtonsAligned = big;
    f.VisibleClose = Style != bsNone;
    f.VisibleMax = f.VisibleMin = f.EnabledMax = f.EnabledMin = big;
    f.CloseWidth = big ? 26 : 20;
    f.MaxWidth = f.MinWidth = f.HelpWidth = big ? 26 : 20;
    f.ButtonHeight = big ? 18 : 16;
    f.IconVisible = big;
    switch (Style) {
    case bsSizeable:
        f.Style = WS_CAPTION | WS_THICKFRAME;
        f.ClientWidth = 312;
        f.ClientHeight = 173;
        break;
    case bsSizeToolWin:
        f.Style = WS_CAPTION | WS_THICKFRAME;
        f.ClientWidth = 312;
        f.ClientHeight = 176;
        break;
    case bsSingle:
    case bsDialog:
        f.Style = WS_CAPTION;
        f.ClientWidth = 314;
        f.ClientHeight = 175;
        break;
    default:
        f.Style = WS_POPUP;
        f.ClientWidth = 320;
        f.ClientHeight = 200;
        break;
    }
    return f;
}

TsFrameFacts With(TFormBorderStyle Style, const std::function<void(TsFrameFacts&)>& Change)
{
    TsFrameFacts f = Base(Style);
    Change(f);
    return f;
}

struct TRow {
    const char* Name;
    TsFrameFacts Facts;
    int CaptionHeight, SysBorderWidth, HeaderHeight, OffsetX, OffsetY, ImageWidth, ImageHeight, TitleBottom;
    TRect Close, Max, Min;
    TRect Icon;
    int TitleBtnsWidth;
};

} // namespace

TEST(FrameMetrics, TableOverBorderStylesSkinsAndStates)
{
    const TRect none;
    const TRow rows[] = {
        {"sizeable", Base(bsSizeable), 19, 4, 23, 4, 23, 320, 200, 23, {288, 2, 314, 20}, {260, 2, 286, 20},
         {232, 2, 258, 20}, {8, 4, 24, 20}, 84},
        {"sizeable, two menu lines", With(bsSizeable, [](TsFrameFacts& f) {
             f.HasMenu = f.MenuPresent = true;
             f.MenuLines = 2;
             f.ClientHeight = 136;
         }),
         19, 4, 60, 4, 60, 320, 200, 23, {288, 2, 314, 20}, {260, 2, 286, 20}, {232, 2, 258, 20}, {8, 4, 24, 20},
         84},
        {"sizeable, maximised", With(bsSizeable, [](TsFrameFacts& f) {
             f.Zoomed = true;
             f.Width = 1032;
             f.Height = 776;
             f.ClientWidth = 1024;
             f.ClientHeight = 749;
         }),
         19, 4, 23, 4, 23, 1032, 776, 23, {1000, 4, 1026, 22}, {972, 4, 998, 22}, {944, 4, 970, 22},
         {8, 4, 24, 20}, 84},
        {"sizeable, minimised", With(bsSizeable, [](TsFrameFacts& f) {
             f.Iconic = true;
             f.Width = 160;
             f.Height = 27;
             f.ClientWidth = f.ClientHeight = 0;
         }),
         19, 4, 27, 80, 23, 160, 27, 23, {128, 2, 154, 20}, {100, 2, 126, 20}, {72, 2, 98, 20}, {8, 4, 24, 20}, 84},
        {"single", Base(bsSingle), 19, 3, 22, 3, 22, 320, 200, 22, {289, 2, 315, 20}, {261, 2, 287, 20},
         {233, 2, 259, 20}, {7, 3, 23, 19}, 84},
        {"dialog", Base(bsDialog), 19, 3, 22, 3, 22, 320, 200, 22, {295, 3, 315, 19}, none, none, {7, 11, 7, 11}, 22},
        {"size tool window", Base(bsSizeToolWin), 16, 4, 20, 4, 20, 320, 200, 20, {294, 2, 314, 18}, none, none,
         {8, 10, 8, 10}, 22},
        {"none", Base(bsNone), 0, 0, 0, 0, 0, 320, 200, 0, none, none, none, {4, -1, 4, -1}, 2},
        // A skin without caption-button images places no buttons.
        {"sizeable, skin without button faces", With(bsSizeable, [](TsFrameFacts& f) {
             f.CloseWidth = f.MaxWidth = f.MinWidth = 0;
             f.ButtonHeight = 21;
         }),
         19, 4, 23, 4, 23, 320, 200, 23, none, none, none, {8, 4, 24, 20}, 6},
        // A maximised form's buttons stay below the frame its region cuts away.
        {"sizeable, maximised, buttons at the top", With(bsSizeable, [](TsFrameFacts& f) {
             f.BIVAlign = 1;
             f.Zoomed = true;
         }),
         19, 4, 23, 4, 23, 320, 200, 23, {288, 4, 314, 22}, {260, 4, 286, 22}, {232, 4, 258, 22}, {8, 4, 24, 20},
         84},
        {"sizeable, buttons at the top", With(bsSizeable, [](TsFrameFacts& f) { f.BIVAlign = 1; }), 19, 4, 23, 4,
         23, 320, 200, 23, {288, 0, 314, 18}, {260, 0, 286, 18}, {232, 0, 258, 18}, {8, 4, 24, 20}, 84},
        // Extended borders: a wider frame and a taller title in the image,
        // with a shadow around it.
        {"sizeable, extended borders", With(bsSizeable, [](TsFrameFacts& f) {
             f.BorderForm = true;
             f.ExBorderWidth = 6;
             f.ExTitleHeight = 30;
             f.ExMaxHeight = 30;
             f.Shadow = TRect(10, 8, 12, 14);
         }),
         30, 6, 30, 16, 38, 346, 231, 38, {300, 14, 326, 32}, {272, 14, 298, 32}, {244, 14, 270, 32},
         {20, 15, 36, 31}, 84},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Name);
        const TsFrameMetrics m(r.Facts);
        EXPECT_EQ(m.CaptionHeight(true), r.CaptionHeight);
        EXPECT_EQ(m.SysBorderWidth(true), r.SysBorderWidth);
        EXPECT_EQ(m.HeaderHeight(), r.HeaderHeight);
        EXPECT_EQ(m.OffsetX(), r.OffsetX);
        EXPECT_EQ(m.OffsetY(), r.OffsetY);
        EXPECT_EQ(m.ImageWidth(), r.ImageWidth);
        EXPECT_EQ(m.ImageHeight(), r.ImageHeight);
        EXPECT_EQ(m.TitleBottom(), r.TitleBottom);
        EXPECT_EQ(m.Buttons().Close, r.Close);
        EXPECT_EQ(m.Buttons().Max, r.Max);
        EXPECT_EQ(m.Buttons().Min, r.Min);
        EXPECT_EQ(m.IconRect(), r.Icon);
        EXPECT_EQ(m.TitleBtnsWidth(), r.TitleBtnsWidth);
    }
}

// The caption text's room runs from the icon to the buttons; a maximised
// title starts it below the hidden frame's half.
TEST(FrameMetrics, CaptionTextRoom)
{
    EXPECT_EQ(TsFrameMetrics(Base(bsSizeable)).CaptionTextRoom(), TRect(28, 2, 224, 23));
    EXPECT_EQ(TsFrameMetrics(With(bsSizeable, [](TsFrameFacts& f) { f.Zoomed = true; })).CaptionTextRoom(),
              TRect(28, 3, 224, 23));
    EXPECT_EQ(TsFrameMetrics(With(bsSizeable, [](TsFrameFacts& f) { f.CaptionFrame = true; })).CaptionTextRoom(),
              TRect(30, 2, 224, 23));
    EXPECT_EQ(TsFrameMetrics(Base(bsDialog)).CaptionTextRoom(), TRect(11, 2, 286, 22));
}

// With a border window an ExMode skin (ExDrawMode 1) moves the caption
// text and the centred caption buttons down by ExCenterOffs; the icon
// moves with any border window.
TEST(FrameMetrics, ExModeMovesCaptionAndButtonsDown)
{
    const auto ex = [](int Mode, TFormBorderStyle Style) {
        return TsFrameMetrics(With(Style, [&](TsFrameFacts& f) {
            f.BorderForm = true;
            f.Shadow = TRect(6, 6, 6, 6);
            f.ExBorderWidth = 8;
            f.ExTitleHeight = f.ExMaxHeight = 28;
            f.ExCenterOffs = 3;
            f.ExDrawMode = Mode;
        }));
    };
    for (TFormBorderStyle style : {bsSizeable, bsDialog}) {
        const TsFrameMetrics plain = ex(0, style), mode = ex(1, style);
        EXPECT_FALSE(plain.ExMode());
        EXPECT_TRUE(mode.ExMode());
        const TRect room = plain.CaptionTextRoom();
        EXPECT_EQ(mode.CaptionTextRoom(), TRect(room.left, room.top + 3, room.right, room.bottom + 3));
        const TRect a = plain.Buttons().Close, b = mode.Buttons().Close;
        ASSERT_FALSE(a.IsEmpty());
        EXPECT_EQ(b, TRect(a.left, a.top + 3, a.right, a.bottom + 3));
        EXPECT_EQ(mode.IconRect(), plain.IconRect());
    }
    EXPECT_FALSE(TsFrameMetrics(With(bsSizeable, [](TsFrameFacts& f) { f.ExDrawMode = 1; })).ExMode())
        << "without a border window";
}

TEST(FrameMetrics, IconSizeForCaption)
{
    const struct {
        int H, Size;
    } cases[] = {{-1000, 16}, {-101, 16}, {-100, 1}, {0, 1}, {8, 1}, {9, 8}, {16, 8}, {17, 16}, {19, 16}};
    for (const auto& c : cases)
        EXPECT_EQ(IconSizeForCaption(c.H), c.Size) << c.H;
}

// Help and title buttons: the title buttons follow 8 pixels left of the
// system buttons in collection order; a hidden one takes no place.
TEST(FrameMetrics, HelpAndTitleButtonsLayOutFromRightToLeft)
{
    const TsFrameMetrics m(With(bsSizeable, [](TsFrameFacts& f) {
        f.ShowHelp = true;
        f.TitleButtons = {{true, true, 21}, {false, true, 21}, {true, true, 30}};
    }));
    const TsButtonPlaces& b = m.Buttons();
    EXPECT_EQ(b.Help, TRect(204, 2, 230, 20));
    ASSERT_EQ(b.Title.size(), 3u);
    EXPECT_EQ(b.Title[0], TRect(173, 2, 194, 20));
    EXPECT_TRUE(b.Title[1].IsEmpty());
    EXPECT_EQ(b.Title[2], TRect(141, 2, 171, 20));
    EXPECT_EQ(m.TitleBtnsWidth(), 2 + 26 + 28 + 28 + 28 + 8 + 23 + 32);
    EXPECT_EQ(m.SysButtonsCount(), 4);
}

TEST(FrameHitTest, TableOverStylesButtonsBordersAndBands)
{
    const TsFrameFacts sizeable = With(bsSizeable, [](TsFrameFacts& f) {
        f.ShowHelp = true;
        f.TitleButtons = {{true, true, 21}, {false, true, 21}, {true, true, 30}};
        f.GripVisible = true;
        f.GripWidth = f.GripHeight = 12;
    });
    const struct {
        const char* What;
        TsFrameFacts Facts;
        TPoint P;
        int Code;
    } cases[] = {
        {"close", sizeable, {301, 11}, HTCLOSE},
        {"maximise", sizeable, {273, 11}, HTMAXBUTTON},
        {"minimise", sizeable, {245, 11}, HTMINBUTTON},
        {"help", sizeable, {217, 11}, HTHELP},
        {"first title button", sizeable, {183, 11}, HTUDBTN},
        // The third button of the collection, behind a hidden second one.
        {"title button behind a hidden one", sizeable, {156, 11}, HTUDBTN + 2},
        {"disabled title button", With(bsSizeable, [](TsFrameFacts& f) { f.TitleButtons = {{true, false, 21}}; }),
         {211, 11}, HTCAPTION},
        {"gap between buttons", sizeable, {287, 11}, HTCAPTION},
        {"icon", sizeable, {10, 10}, HTSYSMENU},
        {"caption", sizeable, {100, 10}, HTCAPTION},
        {"top-left corner", sizeable, {0, 0}, HTTOPLEFT},
        {"top-right corner", sizeable, {319, 0}, HTTOPRIGHT},
        {"bottom-left corner", sizeable, {0, 199}, HTBOTTOMLEFT},
        {"bottom-right corner", sizeable, {319, 199}, HTBOTTOMRIGHT},
        {"left edge", sizeable, {3, 100}, HTLEFT},
        {"right edge", sizeable, {316, 100}, HTRIGHT},
        {"top edge", sizeable, {100, 3}, HTTOP},
        {"bottom edge", sizeable, {100, 196}, HTBOTTOM},
        {"inside the left edge", sizeable, {4, 100}, HTCLIENT},
        {"inside the right edge", sizeable, {315, 100}, HTCLIENT},
        {"below the top edge", sizeable, {100, 4}, HTCAPTION},
        {"grip", sizeable, {310, 190}, HTBOTTOMRIGHT},
        {"left of the grip", sizeable, {300, 190}, HTCLIENT},
        {"menu line", With(bsSizeable, [](TsFrameFacts& f) {
             f.HasMenu = f.MenuPresent = true;
             f.ClientHeight = 154;
         }),
         {100, 30}, HTMENU},
        {"client below the menu line", With(bsSizeable, [](TsFrameFacts& f) {
             f.HasMenu = f.MenuPresent = true;
             f.ClientHeight = 154;
         }),
         {100, 60}, HTCLIENT},
        {"maximised: no sizing edges", With(bsSizeable, [](TsFrameFacts& f) { f.Zoomed = true; }), {0, 100},
         HTCLIENT},
        {"maximised: restore allowed", With(bsSizeable, [](TsFrameFacts& f) {
             f.Zoomed = true;
             f.EnabledMax = false;
             f.EnabledRestore = true;
         }),
         {273, 12}, HTMAXBUTTON},
        {"maximise shown but not allowed", With(bsSizeable, [](TsFrameFacts& f) { f.EnabledMax = false; }),
         {273, 11}, HTCAPTION},
        {"minimised: minimise restores", With(bsSizeable, [](TsFrameFacts& f) {
             f.Iconic = true;
             f.EnabledMin = false;
         }),
         {245, 11}, HTMINBUTTON},
        {"minimise shown but not allowed", With(bsSizeable, [](TsFrameFacts& f) { f.EnabledMin = false; }),
         {245, 11}, HTCAPTION},
        {"minimise alone answers as minimise", With(bsSizeable, [](TsFrameFacts& f) {
             f.VisibleMax = false;
         }),
         {273, 11}, HTMINBUTTON},
        {"dialog close", Base(bsDialog), {305, 11}, HTCLOSE},
        {"dialog edge: the system's", Base(bsDialog), {1, 100}, HTCLIENT},
        {"size tool window close", Base(bsSizeToolWin), {304, 10}, HTCLOSE},
        {"size tool window edge", Base(bsSizeToolWin), {2, 100}, HTLEFT},
        {"size tool window caption", Base(bsSizeToolWin), {100, 10}, HTCAPTION},
        {"no caption: the system answers", Base(bsNone), {0, 0}, HTNOWHERE},
        {"extended borders: the border window answers buttons",
         With(bsSizeable, [](TsFrameFacts& f) { f.BorderForm = true; }), {301, 11}, HTCAPTION},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TsFrameMetrics(c.Facts).HitTest(c.P), c.Code) << c.What;
}

// An MDI main form's menu line carries the maximised child's buttons.
TEST(FrameHitTest, MDIChildButtonsInTheMenuLine)
{
    const TsFrameMetrics m(With(bsSizeable, [](TsFrameFacts& f) {
        f.HasMenu = f.MenuPresent = true;
        f.ClientHeight = 154;
        f.MDIButtons = true;
        f.MDIMinWidth = f.MDICloseWidth = 20;
        f.SmallButtonWidth = 20;
        f.SmallButtonHeight = 16;
    }));
    const TsButtonPlaces& b = m.Buttons();
    EXPECT_EQ(b.MDIClose, TRect(295, 24, 315, 40));
    EXPECT_EQ(b.MDIMax, TRect(274, 24, 294, 40));
    EXPECT_EQ(b.MDIMin, TRect(253, 24, 273, 40));
    EXPECT_EQ(m.HitTest({305, 32}), HTMDICLOSE);
    EXPECT_EQ(m.HitTest({284, 32}), HTMDIMAX);
    EXPECT_EQ(m.HitTest({263, 32}), HTMDIMIN);
    EXPECT_EQ(m.HitTest({200, 32}), HTMENU);
}

// The border window's size grip: beyond the grip point (both strictly)
// when the grip shows or the point lies in the scroll bars' corner, whose
// rectangle is in window coordinates; without a grip image there is none.
// Facts: frame 6 (system 4), skin title 26, shadow 11/7/11/11, so the image
// is 346 x 223, the window lies at (13, 10) in it and the grip point of a
// 12 x 12 grip is (316, 193).
TEST(FrameHitTest, BorderWindowGripAndScrollCorner)
{
    const auto ex = [](const std::function<void(TsFrameFacts&)>& Change) {
        return With(bsSizeable, [&](TsFrameFacts& f) {
            f.BorderForm = true;
            f.Shadow = TRect(11, 7, 11, 11);
            f.ExBorderWidth = 6;
            f.ExTitleHeight = 26;
            f.GripWidth = f.GripHeight = 12;
            Change(f);
        });
    };
    const TsFrameFacts grip = ex([](TsFrameFacts& f) { f.GripVisible = true; });
    ASSERT_EQ(TsFrameMetrics(grip).GripPoint(), TPoint(316, 193));
    ASSERT_EQ(TsFrameMetrics(grip).ImageOrigin(), TPoint(13, 10));
    const struct {
        const char* What;
        TsFrameFacts Facts;
        TPoint P;
        int Code;
    } cases[] = {
        {"beyond the grip point", grip, {317, 194}, HTBOTTOMRIGHT},
        {"on its column", grip, {316, 194}, -1},
        {"on its row", grip, {317, 193}, -1},
        {"no grip", ex([](TsFrameFacts&) {}), {317, 194}, -1},
        {"grip without an image", ex([](TsFrameFacts& f) {
             f.GripVisible = true;
             f.GripWidth = f.GripHeight = 0;
         }),
         {317, 194}, -1},
        {"scroll corner (window coordinates)", ex([](TsFrameFacts& f) { f.ScrollCorner = TRect(300, 180, 316, 196); }),
         {317, 194}, HTBOTTOMRIGHT},
        {"scroll corner holding the image point only",
         ex([](TsFrameFacts& f) { f.ScrollCorner = TRect(317, 194, 330, 207); }), {317, 194}, -1},
        {"the sizing zone comes first", grip, {331, 210}, HTBOTTOMRIGHT},
        {"client area without grip", grip, {200, 150}, -1},
    };
    for (const auto& c : cases) {
        const TsFrameMetrics m(c.Facts);
        EXPECT_EQ(m.BorderWindowHitTest(c.P, m.ImageWidth(), m.ImageHeight()), c.Code) << c.What;
    }
}
