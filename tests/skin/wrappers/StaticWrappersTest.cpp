// Statics, icons and bitmaps, links, size grips, up-down arrows and panels
// under their wrappers: painted through WM_PRINT and checked by pixels
// against the built-in skin's sections and glyphs.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "skin/core/kvntUtils.h"
#include "classlib/controls/ExtCtrls.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/wrappers/kvSBUtils_Panels.h"
#include "skin/wrappers/kvSBUtils_Statics.h"
#include "support/FakeInput.h"

using namespace stdwraptest;

namespace {

bool CachePainted(TkvMainWnd* W)
{
    TBitmap* c = W->SkinData->FCacheBmp;
    return c && !c->Empty() && c->Width() == W->WndSize.cx;
}

} // namespace

// ---------------------------------------------------------------------------
// Static texts and links.

TEST_F(WrapperTest, StaticTextOverItsSection)
{
    struct TCase {
        const char* Name;
        DWORD Style, ExStyle;
        bool Painted;
        bool Right;
    } cases[] = {
        {"plain", 0, 0, true, false},
        {"right-aligned", 0, WS_EX_RIGHT, true, true},
        {"with a tab stop", WS_TABSTOP, 0, false, false},
        {"with a static edge", 0, WS_EX_STATICEDGE, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND h = ::CreateWindowExW(c.ExStyle, L"STATIC", L"Label", WS_CHILD | WS_VISIBLE | c.Style, 10, 10, 100, 20,
                                   Host(), nullptr, nullptr, nullptr);
        TOwned<TkvStaticWnd> w(CreateWnd<TkvStaticWnd>(h, nullptr, Manager, L"BUTTON", false));
        TOwned<TBitmap> got = Printed(h);
        EXPECT_EQ(CachePainted(w.get()), c.Painted);
        if (c.Painted) {
            TOwned<TBitmap> back = Section(Manager, L"BUTTON", 0, 100, 20);
            const TRect text = DiffBox(got.get(), back.get());
            ASSERT_FALSE(text.IsEmpty());
            if (c.Right)
                EXPECT_GE(text.right, 96);
            else
                EXPECT_LE(text.left, 2);
            EXPECT_LT(text.Width(), 60);
        }
        w.reset();
        ::DestroyWindow(h);
    }
}

TEST(WrapperRoutines, LinkTextLosesItsAnchorTags)
{
    const struct {
        const wchar_t* In;
        const wchar_t* Out;
    } cases[] = {
        {L"<A>here</A>", L"here"},
        {L"see <a href=\"https://example.org\">the site</a> now", L"see the site now"},
        {L"<A ID=\"x\">one</a> and <a>two</A>", L"one and two"},
        {L"a < b > c", L"a < b > c"},
        {L"<abbr>kept</abbr>", L"<abbr>kept</abbr>"},
        {L"cut <a href", L"cut "},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkDisplayText(c.In), UnicodeString(c.Out)) << UnicodeString(c.In).c_str();
}

TEST_F(WrapperTest, LinkWithTabStopIsPaintedAStaticIsNot)
{
    HWND a = Child(L"STATIC", WS_TABSTOP, 100, 20, L"<a>link</a>");
    HWND b = Child(L"STATIC", WS_TABSTOP, 100, 20, L"text");
    TOwned<TkvLinkWnd> link(CreateWnd<TkvLinkWnd>(a, nullptr, Manager, L"BUTTON", false));
    TOwned<TkvStaticWnd> text(CreateWnd<TkvStaticWnd>(b, nullptr, Manager, L"BUTTON", false));
    Printed(a);
    Printed(b);
    EXPECT_TRUE(CachePainted(link.get()));
    EXPECT_FALSE(CachePainted(text.get()));
}

// ---------------------------------------------------------------------------
// Pictures.

TEST_F(WrapperTest, BitmapStaticShowsItsPictureAndKeepsIt)
{
    HWND h = Child(L"STATIC", SS_BITMAP, 60, 30);
    TBitmap picture(8, 6, pf24bit);
    FillDC(picture.Canvas()->Handle(), TRect(0, 0, 8, 6), 0x0000FF);
    HBITMAP handle = picture.ReleaseHandle();
    ::SendMessageW(h, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(handle));
    // The static may show a copy of its own; the wrapper reads what it shows.
    auto shown = reinterpret_cast<HBITMAP>(::SendMessageW(h, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ::MoveWindow(h, 10, 10, 60, 30, FALSE);

    auto* w = CreateWnd<TkvIconWnd>(h, nullptr, Manager, L"BUTTON", false);
    EXPECT_TRUE(w->IsBmp);
    TOwned<TBitmap> got = Printed(h);
    TOwned<TBitmap> back = Section(Manager, L"BUTTON", 0, 60, 30);
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 8, 6), 0x0000FF), 48);
    const TRect box = DiffBox(got.get(), back.get());
    EXPECT_EQ(box, TRect(0, 0, 8, 6));

    UninitializeKVWnd(h, true, false, w);
    BITMAP info{};
    EXPECT_EQ(::GetObjectW(shown, sizeof(info), &info), int(sizeof(info))); // still the control's
    ::DestroyWindow(h);
    ::DeleteObject(handle);
}

TEST_F(WrapperTest, IconStaticShowsItsIcon)
{
    HWND h = Child(L"STATIC", SS_ICON, 60, 40);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ::SendMessageW(h, STM_SETICON, WPARAM(icon), 0);
    ::MoveWindow(h, 10, 10, 60, 40, FALSE);
    TOwned<TkvIconWnd> w(CreateWnd<TkvIconWnd>(h, nullptr, Manager, L"BUTTON", false));
    EXPECT_FALSE(w->IsBmp);
    TOwned<TBitmap> got = Printed(h);
    TOwned<TBitmap> want = Section(Manager, L"BUTTON", 0, 60, 40);
    ::DrawIconEx(want->Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(DiffCount(got.get(), want.get()), 0);
    EXPECT_GT(DiffCount(got.get(), Section(Manager, L"BUTTON", 0, 60, 40).get()), 0);
}

TEST_F(WrapperTest, PictureKindByTheStaticsType)
{
    const struct {
        DWORD Type;
        bool IsBmp;
    } cases[] = {{SS_ICON, false}, {SS_BITMAP, true}, {SS_BLACKRECT, false}, {SS_ENHMETAFILE, false}};
    for (const auto& c : cases) {
        HWND h = Child(L"STATIC", c.Type, 20, 20);
        TOwned<TkvIconWnd> w(CreateWnd<TkvIconWnd>(h, nullptr, Manager, L"BUTTON", false));
        EXPECT_EQ(w->IsBmp, c.IsBmp) << c.Type;
        w.reset();
        ::DestroyWindow(h);
    }
}

// ---------------------------------------------------------------------------
// Size grips.

TEST_F(WrapperTest, SizeGripPaintsTheGripGlyphAndAnswersAsACorner)
{
    const int i = Manager->GetMaskIndex(Manager->ConstData.IndexGLobalInfo, L"GLOBALINFO", L"GRIPIMAGE");
    ASSERT_GE(i, 0);
    HWND grip = Child(L"SCROLLBAR", SBS_SIZEBOX | SBS_SIZEGRIP, 20, 20);
    HWND bar = Child(L"SCROLLBAR", SBS_HORZ, 120, 18);
    TOwned<TkvSizerWnd> wg(CreateWnd<TkvSizerWnd>(grip, nullptr, Manager, L"", false));
    TOwned<TkvSizerWnd> wb(CreateWnd<TkvSizerWnd>(bar, nullptr, Manager, L"", false));

    EXPECT_EQ(::SendMessageW(grip, WM_NCHITTEST, 0, 0), HTBOTTOMRIGHT);
    // A real scroll bar is no size grip: it would resize its dialog.
    EXPECT_NE(::SendMessageW(bar, WM_NCHITTEST, 0, MAKELPARAM(70, 20)), HTBOTTOMRIGHT);

    TOwned<TBitmap> got = Printed(grip);
    const TsMaskData& md = Manager->ma[std::size_t(i)];
    TOwned<TBitmap> want(New<TBitmap>(20, 20, pf24bit));
    FillDC(want->Canvas()->Handle(), TRect(0, 0, 20, 20), Px(got.get(), 0, 0));
    ::DrawSkinGlyph(want.get(), TPoint(20 - WidthOfImage(md), 20 - HeightOfImage(md)), 0, 1, md,
                    MakeCacheInfo(want.get()));
    EXPECT_EQ(DiffCount(got.get(), want.get()), 0);
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, 20, 20), 0x00FF00), 0);
}

// ---------------------------------------------------------------------------
// Up-down arrows.

TEST_F(WrapperTest, UpDownArrowsByCursorAndButton)
{
    const int cx = 16, cy = 21; // odd: the halves share the middle row
    struct TCase {
        const char* Name;
        TPoint Cursor; // in window coordinates; (-50, -50) outside
        bool Press;
        int Top, Bottom;
    } cases[] = {
        {"outside", {-50, -50}, false, 0, 0},
        {"over the up arrow", {8, 4}, false, 1, 0},
        {"over the down arrow", {8, 17}, false, 0, 1},
        {"pressing the up arrow", {8, 4}, true, 2, 0},
    };
    const TConstantSkinData& cd = Manager->ConstData;
    ASSERT_GE(cd.MaskArrowTop, 0);
    ASSERT_GE(cd.MaskArrowBottom, 0);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFakeInput input;
        HWND h = Child(UPDOWN_CLASSW, 0, cx, cy);
        TOwned<TkvSpinWnd> w(CreateWnd<TkvSpinWnd>(h, nullptr, Manager, L"", false));
        TRect r;
        ::GetWindowRect(h, &r);
        input.Cursor = TPoint(r.left + c.Cursor.x, r.top + c.Cursor.y);
        w->bMousePressed = c.Press;
        TOwned<TBitmap> got = Printed(h);
        EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(L"BUTTON"));
        EXPECT_EQ(w->Btn1State, c.Top);
        EXPECT_EQ(w->Btn2State, c.Bottom);

        TOwned<TBitmap> want(New<TBitmap>(cx, cy, pf24bit));
        const int half = (cy + 1) / 2;
        for (auto [top, state, glyph] : {std::tuple{0, c.Top, cd.MaskArrowTop}, std::tuple{cy / 2, c.Bottom, cd.MaskArrowBottom}}) {
            TOwned<TBitmap> button = Section(Manager, L"BUTTON", state, cx, half, TPoint(10, 10), true, false);
            const TsMaskData& md = Manager->ma[std::size_t(glyph)];
            ::DrawSkinGlyph(button.get(), TPoint((cx - WidthOfImage(md)) / 2, (half - HeightOfImage(md)) / 2), state, 1,
                            md, MakeCacheInfo(button.get()));
            ::BitBlt(want->Canvas()->Handle(), 0, top, cx, half, button->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        EXPECT_EQ(DiffCount(got.get(), want.get()), 0);
        w.reset();
        ::DestroyWindow(h);
    }
}

TEST_F(WrapperTest, UpDownPressFollowsTheMouseButton)
{
    TFakeInput input;
    HWND h = Child(UPDOWN_CLASSW, UDS_HORZ, 30, 16);
    TOwned<TkvSpinWnd> w(CreateWnd<TkvSpinWnd>(h, nullptr, Manager, L"", false));
    TRect r;
    ::GetWindowRect(h, &r);
    input.Cursor = TPoint(r.right - 4, r.top + 8); // over the right arrow
    ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(26, 8));
    EXPECT_TRUE(w->bMousePressed);
    EXPECT_EQ(w->Btn2State, 2);
    EXPECT_EQ(w->Btn1State, 0);
    ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(26, 8));
    EXPECT_FALSE(w->bMousePressed);
    EXPECT_EQ(w->Btn2State, 1);
    ::ReleaseCapture();
}

// ---------------------------------------------------------------------------
// Panels.

TEST(WrapperRoutines, PanelSectionByItsBevels)
{
    TOwned<TPanel> p(New<TPanel>(nullptr));
    const struct {
        TBevelCut Outer, Inner;
        TBorderStyle Border;
        const wchar_t* Section;
    } cases[] = {
        {bvRaised, bvNone, bsNone, L"PANEL"},     {bvRaised, bvLowered, bsNone, L"GROUPBOX"},
        {bvLowered, bvNone, bsNone, L"PANEL_LOW"}, {bvLowered, bvRaised, bsNone, L"GROUPBOX"},
        {bvNone, bvNone, bsSingle, L"PANEL_LOW"}, {bvNone, bvRaised, bsNone, L"CHECKBOX"},
    };
    for (const auto& c : cases) {
        p->SetBevelOuter(c.Outer);
        p->SetBevelInner(c.Inner);
        p->SetBorderStyle(c.Border);
        EXPECT_EQ(TkvPanelWnd::SectionFor(p.get()), UnicodeString(c.Section));
    }
}

TEST_F(WrapperTest, PanelPaintsItsSectionAndCaption)
{
    TPanel* panel = New<TPanel>(Form.get());
    panel->SetParent(Form.get());
    panel->SetBounds(10, 10, 120, 50);
    panel->SetCaption(L"Panel");
    TsCommonData data(panel, true);
    TOwned<TkvPanelWnd> w(CreateWnd<TkvPanelWnd>(panel->Handle(), &data, Manager, L"BUTTON", false));
    ASSERT_TRUE(w->OldWndProc.Assigned()); // through the panel's WindowProc
    TOwned<TBitmap> got = Printed(panel->Handle());
    TOwned<TBitmap> want = Section(Manager, L"BUTTON", 0, 120, 50, TPoint(10, 10), false, false);
    const TRect text = DiffBox(got.get(), want.get());
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_TRUE(text.left > 20 && text.right < 100 && text.top > 10 && text.bottom < 40); // centred
    EXPECT_EQ(DiffCount(got.get(), want.get(), TRect(0, 0, 120, 10)), 0);
}

TEST_F(WrapperTest, DialogPanelTakesTheGlobalColourAndGivesItBack)
{
    TPanel* panel = New<TPanel>(Application);
    panel->SetParent(Form.get());
    panel->SetColor(0x123456);
    auto* w = CreateWnd<TkvDlgPanelWnd>(panel->Handle(), nullptr, Manager, L"GROUPBOX", false);
    EXPECT_EQ(w->Panel, panel);
    EXPECT_EQ(w->SkinData->SkinSection(), UnicodeString(L"CHECKBOX"));
    EXPECT_EQ(panel->Color(), Manager->GetGlobalColor());
    UninitializeKVWnd(panel->Handle(), true, false, w);
    EXPECT_EQ(panel->Color(), TColor(0x123456));
    FreeAndNil(panel);

    HWND bare = Child(L"STATIC", 0, 50, 50);
    TOwned<TkvDlgPanelWnd> b(CreateWnd<TkvDlgPanelWnd>(bare, nullptr, Manager, L"CHECKBOX", false));
    EXPECT_EQ(b->Panel, nullptr);
    EXPECT_EQ(b->SkinData->SkinSection(), UnicodeString(L"GROUPBOX"));
}

TEST_F(WrapperTest, NestedDialogPaneShowsItsSection)
{
    TTarget pane(Host(), WS_CHILD | WS_VISIBLE, 80, 40);
    TOwned<TkvTransPanelWnd> w(CreateWnd<TkvTransPanelWnd>(pane.Handle, nullptr, Manager, L"BUTTON", false));
    TOwned<TBitmap> got = Printed(pane.Handle);
    EXPECT_EQ(DiffCount(got.get(), Section(Manager, L"BUTTON", 0, 80, 40).get()), 0);
    EXPECT_EQ(::SendMessageW(pane.Handle, WM_NCPAINT, 1, 0), 0);
    EXPECT_EQ(pane.Count(WM_NCPAINT), 0);
}
