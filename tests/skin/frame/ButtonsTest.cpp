// Skinned forms on the screen's terms: their frame metrics agree with the
// system frame Wine gives them, their hit test answers through the window's
// own WM_NCHITTEST, and their caption buttons light up, press and act with
// the cursor injected.
#include <memory>

#include "FrameFixture.h"
#include "skin/paint/kvGlow.h"
#include "classlib/controls/Menus.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace frametest;

namespace {

TRect WindowRectOf(TForm* Form)
{
    RECT r;
    ::GetWindowRect(Form->Handle(), &r);
    return TRect(r);
}

// Counts the clicks a title button reports.
struct TClicks : TObject {
    int Down = 0, Up = 0;
    void OnDown(TObject*, TMouseButton, TShiftState, int, int) { ++Down; }
    void OnUp(TObject*, TMouseButton, TShiftState, int, int) { ++Up; }
};

// Mouse messages at the injected cursor.
struct TMouse {
    TFakeInput& Input;
    TForm* Form;
    // The cursor moves to P (relative to the window); the window hit-tests there.
    int MoveTo(const TPoint& P)
    {
        const TRect w = WindowRectOf(Form);
        Input.Cursor = TPoint(w.left + P.x, w.top + P.y);
        return int(::SendMessageW(Form->Handle(), WM_NCHITTEST, 0, LParam()));
    }
    void Down(int Code) { ::SendMessageW(Form->Handle(), WM_NCLBUTTONDOWN, WPARAM(Code), LParam()); }
    void Up(int Code) { ::SendMessageW(Form->Handle(), WM_NCLBUTTONUP, WPARAM(Code), LParam()); }
    // A click where the cursor is: hit test, press, hit test, release.
    void Click(const TPoint& P)
    {
        const int code = MoveTo(P);
        Down(code);
        Up(MoveTo(P));
    }
    LPARAM LParam() const { return MAKELPARAM(Input.Cursor.x, Input.Cursor.y); }
};

} // namespace

class FrameForm : public FrameTest {};

// Where the metrics put the client area is where Wine puts it, for every
// style, normal and maximised, with and without a menu line; the menu item
// is drawn into the image where the system placed it.
TEST_F(FrameForm, MetricsAgreeWithTheSystemFrame)
{
    for (const TStyleCase& c : AllStyles)
        for (bool zoomed : {false, true})
            for (bool menu : {false, true}) {
                SCOPED_TRACE(std::string(c.Name) + (zoomed ? " maximised" : " normal") + (menu ? " menu" : ""));
                TOwned<TForm> form(NewForm(c.Style, L"Frame", [menu](TForm* f) {
                    if (menu)
                        AddMenu(f, {L"File", L"Edit"});
                }));
                if (zoomed)
                    form->SetWindowState(wsMaximized);
                TsSkinProvider* sp = ProviderOf(form.get());
                const TsFrameMetrics m = sp->Metrics();
                POINT origin{0, 0};
                ::ClientToScreen(form->Handle(), &origin);
                const TRect w = WindowRectOf(form.get());
                EXPECT_EQ(m.OffsetX(), origin.x - w.left);
                EXPECT_EQ(m.OffsetY(), origin.y - w.top);
                EXPECT_EQ(m.ImageWidth(), w.Width());
                EXPECT_EQ(sp->MenuPresent(), menu && c.Style != bsDialog);
                if (!sp->MenuPresent())
                    continue;
                EXPECT_EQ(sp->LinesCount(), 1);
                RECT item;
                ASSERT_TRUE(::GetMenuItemRect(form->Handle(), form->Menu()->Handle(), 1, &item));
                ::OffsetRect(&item, -w.left, -w.top);
                EXPECT_GE(item.top, m.TitleBottom());
                EXPECT_LE(item.bottom, m.OffsetY());
                TBitmap* img = Image(sp);
                // The item lies on the skin's menu line, its caption written over it.
                const TRgb ground = PixelAt(img, item.left + 1, item.top + 1);
                const TRgb menuColor = {GetBValue(::GetSysColor(COLOR_MENU)), GetGValue(::GetSysColor(COLOR_MENU)),
                                        GetRValue(::GetSysColor(COLOR_MENU))};
                EXPECT_FALSE(ground == menuColor) << "the skin's ground, not the system's";
                int text = 0;
                for (int y = item.top; y < item.bottom; ++y)
                    for (int x = item.left; x < item.right; ++x)
                        text += !(PixelAt(img, x, y) == ground);
                EXPECT_GT(text, 10) << "the item's caption";
            }
}

// The window's own hit test answers the skin's buttons, title buttons
// (hidden or shown), borders and the caption in each of the viewer's
// styles; the button under the cursor is hot.
TEST_F(FrameForm, WindowHitTestAnswersTheSkinsFrame)
{
    for (const TStyleCase& c : ViewerStyles) {
        SCOPED_TRACE(c.Name);
        TOwned<TForm> form(NewForm(c.Style));
        TsSkinProvider* sp = ProviderOf(form.get());
        Image(sp);
        if (c.Style == bsNone) {
            EXPECT_EQ(HitAt(form.get(), {5, 5}), HTCLIENT) << "the system answers a borderless form";
            continue;
        }
        for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
            TsCaptionButton* b = sp->ButtonByCode(code);
            if (b->Rect.IsEmpty()) {
                EXPECT_NE(code, HTCLOSE) << "every style with a caption has a close button";
                continue;
            }
            EXPECT_EQ(HitAt(form.get(), CentreOf(b->Rect)), code);
            EXPECT_EQ(sp->CurrentHT, code);
            EXPECT_EQ(b->State, 1) << "hot";
        }
        EXPECT_EQ(HitAt(form.get(), {sp->Metrics().IconRect().right + 20, 10}), HTCAPTION);
        EXPECT_EQ(sp->ButtonClose.State, 0) << "no longer hot";
        const bool sizing = c.Style == bsSizeable || c.Style == bsSizeToolWin;
        EXPECT_EQ(HitAt(form.get(), {1, 100}) == HTLEFT, sizing);
        EXPECT_EQ(HitAt(form.get(), {form->Width() - 1, form->Height() - 1}) == HTBOTTOMRIGHT, sizing);

        // Title buttons: a hidden one in front leaves the next its own code.
        TsTitleButton* first = sp->TitleButtons()->Add();
        TsTitleButton* second = sp->TitleButtons()->Add();
        first->SetVisible(false);
        Image(sp);
        const TPoint at = CentreOf(second->BtnData.Rect);
        EXPECT_EQ(HitAt(form.get(), at), HTUDBTN + 1);
        first->SetVisible(true);
        Image(sp);
        EXPECT_EQ(HitAt(form.get(), at), HTUDBTN) << "the first takes the place next to the system buttons";
        const TPoint secondAt = CentreOf(second->BtnData.Rect);
        EXPECT_EQ(HitAt(form.get(), secondAt), HTUDBTN + 1);
        second->SetVisible(false);
        Image(sp);
        EXPECT_TRUE(second->BtnData.Rect.IsEmpty()) << "a hidden button has no place";
        EXPECT_EQ(HitAt(form.get(), secondAt), HTCAPTION);
    }
}

namespace {

// An application's own answer to the hit test, before the skin's.
struct TExtHitTest : TObject {
    LRESULT Answer = 0;
    int Calls = 0;
    void OnExtHitTest(TMessage& Msg)
    {
        ++Calls;
        Msg.Result = Answer;
    }
};

} // namespace

TEST_F(FrameForm, ApplicationAnswersTheHitTestFirst)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    TExtHitTest ext;
    sp->OnExtHitTest = Bind(&ext, &TExtHitTest::OnExtHitTest);
    const TPoint close = CentreOf(sp->ButtonClose.Rect);
    ext.Answer = HTBORDER;
    EXPECT_EQ(HitAt(form.get(), close), HTBORDER);
    EXPECT_EQ(sp->CurrentHT, 0) << "no button is hot";
    ext.Answer = 0;
    EXPECT_EQ(HitAt(form.get(), close), HTCLOSE) << "an answer of 0 leaves the skin's";
    EXPECT_EQ(ext.Calls, 2);
    sp->OnExtHitTest = nullptr;
}

// A caption button lights up under the cursor and goes dark when the
// mouse leaves the frame, at once while fades are off.
TEST_F(FrameForm, HotStateShowsAtOnceAndLeavesWithTheMouse)
{
    Manager->SetAllowGlowing(false);
    TFakeInput input;
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    TBitmap* img = Image(sp);
    TMouse mouse{input, form.get()};
    const TRect r = sp->ButtonClose.Rect;
    const TsMaskData& face = Mask(s_GlobalInfo, s_BiconClose);
    // A pixel that the hot face paints and the normal one does not.
    TPoint probe(-1, -1);
    for (int y = 0; y < r.Height() && probe.x < 0; ++y)
        for (int x = 0; x < r.Width() && probe.x < 0; ++x)
            if (MaskMask(face, 1, x, y) == TRgb{} && !(MaskPicture(face, 1, x, y) == PixelAt(img, r.left + x, r.top + y)))
                probe = TPoint(x, y);
    ASSERT_GE(probe.x, 0);
    EXPECT_EQ(mouse.MoveTo(CentreOf(r)), HTCLOSE);
    EXPECT_EQ(PixelAt(img, r.left + probe.x, r.top + probe.y), MaskPicture(face, 1, probe.x, probe.y));
    ::SendMessageW(form->Handle(), WM_NCMOUSELEAVE, 0, 0);
    EXPECT_EQ(sp->ButtonClose.State, 0);
    EXPECT_FALSE(PixelAt(img, r.left + probe.x, r.top + probe.y) == MaskPicture(face, 1, probe.x, probe.y));
}

// A press acts only when released on the same button: released elsewhere
// nothing happens; released on it, it acts once.
TEST_F(FrameForm, TitleButtonPressReleaseOutsideAndInside)
{
    TFakeInput input;
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    TClicks clicks;
    TsTitleButton* b = sp->TitleButtons()->Add();
    b->OnMouseDown = Bind(&clicks, &TClicks::OnDown);
    b->OnMouseUp = Bind(&clicks, &TClicks::OnUp);
    b->SetHint(L"Bookmarks");
    Image(sp);
    TMouse mouse{input, form.get()};
    const TPoint on = CentreOf(b->BtnData.Rect), off(100, 10);

    // Hovering shows the hint beside the cursor.
    EXPECT_EQ(mouse.MoveTo(on), HTUDBTN);
    ASSERT_NE(b->HintWnd, nullptr);
    RECT hr;
    ::GetWindowRect(b->HintWnd->Handle(), &hr);
    EXPECT_EQ(hr.left, input.Cursor.x + 8);
    EXPECT_EQ(hr.top, input.Cursor.y + 16);

    mouse.Down(HTUDBTN);
    EXPECT_EQ(b->BtnData.State, 2);
    EXPECT_EQ(clicks.Down, 1);
    EXPECT_EQ(mouse.MoveTo(off), HTCAPTION);
    mouse.Up(HTCAPTION);
    EXPECT_EQ(b->BtnData.State, 0);
    EXPECT_EQ(b->HintWnd, nullptr) << "the hint goes with the hot state";
    // Back on the button, a release without a press there does nothing.
    mouse.Up(mouse.MoveTo(on));
    EXPECT_EQ(clicks.Up, 0);

    mouse.Click(on);
    EXPECT_EQ(clicks.Down, 2);
    EXPECT_EQ(clicks.Up, 1);
    mouse.Up(mouse.MoveTo(on));
    EXPECT_EQ(clicks.Up, 1) << "one press acts once";
}

TEST_F(FrameForm, SystemButtonsActOnRelease)
{
    TFakeInput input;
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    TMouse mouse{input, form.get()};
    const HWND wnd = form->Handle();

    mouse.Click(CentreOf(sp->ButtonMax.Rect));
    EXPECT_TRUE(::IsZoomed(wnd));
    Image(sp);
    EXPECT_EQ(mouse.MoveTo(CentreOf(sp->ButtonMax.Rect)), HTMAXBUTTON) << "the restore face";
    mouse.Click(CentreOf(sp->ButtonMax.Rect));
    EXPECT_FALSE(::IsZoomed(wnd));

    Image(sp);
    mouse.Click(CentreOf(sp->ButtonMin.Rect));
    EXPECT_TRUE(::IsIconic(wnd));
    ::ShowWindow(wnd, SW_RESTORE);
    Application->ProcessMessages();

    Image(sp);
    const TPoint close = CentreOf(sp->ButtonClose.Rect);
    mouse.Down(mouse.MoveTo(close));
    mouse.Up(mouse.MoveTo({100, 10}));
    EXPECT_TRUE(form->Visible()) << "released outside";
    mouse.Click(close);
    EXPECT_FALSE(form->Visible()) << "closed";
}

// Forms of every style come, are painted, hovered and pressed, and go
// without leaving objects behind; so do title buttons with their hints.
TEST_F(FrameForm, FramesComeAndGoWithoutLeaks)
{
    TFakeInput input;
    auto once = [&] {
        for (const TStyleCase& c : AllStyles) {
            TOwned<TForm> form(NewForm(c.Style));
            TsSkinProvider* sp = ProviderOf(form.get());
            TsTitleButton* b = sp->TitleButtons()->Add();
            b->SetHint(L"Tip");
            Image(sp);
            TMouse mouse{input, form.get()};
            if (c.Style != bsNone) {
                mouse.MoveTo(CentreOf(b->BtnData.Rect));
                mouse.Down(HTCLOSE);
                mouse.MoveTo(CentreOf(sp->ButtonClose.Rect));
            }
            form->SetWindowState(wsMaximized);
            form->Perform(WM_NCPAINT, 1, 0);
            Application->ProcessMessages();
        }
    };
    once();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 5; ++i)
        once();
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// A button repainted directly keeps a glow window only while it is a hot
// minimize, maximize or close button.
TEST_F(FrameForm, DirectRepaintHidesTheGlowOfAButtonNoLongerHot)
{
    Manager->SetAllowGlowing(false);
    // A glow picture of the test's own.
    auto image = std::make_unique<TBitmap>(36, 48, pf24bit);
    TsMaskData m;
    m.ClassName = L"BUTTON";
    m.PropertyName = L"TESTGLOW0";
    m.Bmp = image.get();
    m.R = TRect(0, 0, 36, 24);
    m.ImageCount = 3;
    m.MaskType = 1;
    m.WL = m.WT = m.WR = m.WB = 4;
    m.Manager = Manager.get();
    Manager->ma.push_back(m);
    const size_t glowMask = Manager->ma.size() - 1;
    auto glow = [&] { return ShowGlow(TRect(10, 10, 50, 30), TRect(0, 0, 40, 20), L"BUTTON", L"TESTGLOW", 1, 255,
                                      nullptr, Manager.get()); };

    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    Image(sp);
    struct TCase {
        int Code, State;
        bool Kept;
    } cases[] = {{HTCLOSE, 1, true}, {HTMAXBUTTON, 1, true}, {HTCLOSE, 0, false}, {HTMINBUTTON, 2, false},
                 {HTMINBUTTON, -1, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Code << " in state " << c.State);
        TsCaptionButton* b = sp->ButtonByCode(c.Code);
        ASSERT_NE(b, nullptr);
        const int id = glow();
        ASSERT_NE(GlowOf(id), nullptr);
        b->GlowID = id;
        b->State = c.State;
        sp->RepaintButton(c.Code);
        EXPECT_EQ(GlowOf(id) != nullptr, c.Kept);
        EXPECT_EQ(b->GlowID, c.Kept ? id : -1);
        HideGlow(id);
        b->GlowID = -1;
        b->State = 0;
    }
    ClearGlows();
    Manager->ma.erase(Manager->ma.begin() + std::ptrdiff_t(glowMask));  // the image belongs to the test
}
