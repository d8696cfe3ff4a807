// The extended-border window: made only for the forms that may have one,
// its image with per-pixel alpha (the built-in shadow templates around an
// opaque window), its place right behind its form, its hit tests, and the
// mouse falling through the shadow to the window below at that window's
// own point.
#include <cstring>
#include <memory>
#include <vector>

#include "ExModeSkin.h"
#include "FrameFixture.h"
#include "MenuWatch.h"
#include "support/FakeInput.h"
#include "support/ResourceCount.h"

using namespace frametest;

namespace {

class ExBorders : public FrameTest {
protected:
    void SetUp() override
    {
        UseBuiltShadowImages();
        FrameTest::SetUp();
        Manager->SetExtendedBorders(true);
        ASSERT_TRUE(Manager->ExtendedBorders());
        ASSERT_GT(Manager->FormShadowSize.left, 0) << "the built-in shadow";
    }
};

// A message's WParam and point as the window below received them.
struct TReceived : TObject {
    TWndMethod Old;
    UINT Msg = 0;
    TPoint At{-1, -1};
    void Proc(TMessage& M)
    {
        if (M.Msg == WM_LBUTTONDOWN) {
            Msg = M.Msg;
            At = TPoint(GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam));
        }
        Old(M);
    }
};

// The form's close commands, taken before its provider sees them.
struct TCloseCommands : TObject {
    TWndMethod Old;
    std::vector<WPARAM> Got;
    void Proc(TMessage& M)
    {
        if (M.Msg == WM_SYSCOMMAND && (M.WParam & 0xFFF0) == SC_CLOSE) {
            Got.push_back(M.WParam & 0xFFF0);
            return;
        }
        Old(M);
    }
};

} // namespace

// Only a top-level form with a skinned frame gets the window; the others
// keep a 24-bit image.
TEST_F(ExBorders, MadeOnlyForFormsThatMayHaveOne)
{
    TOwned<TForm> parent(NewForm(bsSizeable));
    const struct {
        const char* Name;
        std::function<void(TForm*)> Prepare;
        bool Has;
    } cases[] = {
        {"sizeable", [](TForm*) {}, true},
        {"no border", [](TForm* f) { f->SetBorderStyle(bsNone); }, false},
        {"child control", [&](TForm* f) { f->SetParent(parent.get()); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOwned<TForm> form(NewForm(bsSizeable, L"Ex", c.Prepare));
        TsSkinProvider* sp = GetSkinProvider(form.get());
        if (!sp) {
            EXPECT_FALSE(c.Has) << "a form without a provider has no border window either";
            continue;
        }
        TBitmap* img = Image(sp);
        EXPECT_EQ(sp->BorderForm != nullptr, c.Has);
        EXPECT_EQ(img->PixelFormat(), c.Has ? pf32bit : pf24bit);
    }
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    ASSERT_NE(sp->BorderForm, nullptr);
    sp->SetAllowExtBorders(false);
    EXPECT_EQ(sp->BorderForm, nullptr);
    EXPECT_EQ(Image(sp)->PixelFormat(), pf24bit);
    EXPECT_EQ(sp->ShadowSize(), TRect());
}

// The image is the window inside the shadow, opaque, with the template's
// translucent shadow around it; the border window shows it right behind
// the form, the form's window at the image's place.  Turned off, the
// window goes and nothing stays behind.
TEST_F(ExBorders, ImageWithShadowBehindTheForm)
{
    {
        // The first bordered form fills the caches it leaves behind.
        TOwned<TForm> warm(NewForm(bsSizeable));
        Image(ProviderOf(warm.get()));
    }
    Application->ProcessMessages();
    const TResourceCount before = CountResources();
    {
        TOwned<TForm> form(NewForm(bsSizeable));
        TsSkinProvider* sp = ProviderOf(form.get());
        ASSERT_NE(sp->BorderForm, nullptr);
        TBitmap* img = Image(sp);
        const TRect s = sp->ShadowSize();
        EXPECT_EQ(s, Manager->FormShadowSize);
        const TRect w = WindowRectOf(form->Handle());
        EXPECT_GE(img->Width(), w.Width() + s.left + s.right);
        EXPECT_EQ(AlphaAt(img, img->Width() / 2, img->Height() / 2), 255);
        EXPECT_EQ(AlphaAt(img, s.left + 1, img->Height() / 2), 255) << "the frame is opaque";
        EXPECT_LT(AlphaAt(img, 0, 0), 255) << "the shadow's outer corner";
        int translucent = 0;
        for (int x = 0; x < s.left; ++x) {
            const uint8_t a = AlphaAt(img, x, img->Height() / 2);
            translucent += a > 0 && a < 255;
        }
        EXPECT_GT(translucent, 0) << "the shadow fades out";

        sp->UpdateExBordersPos(true, 255);
        const HWND border = sp->BorderForm->Handle();
        EXPECT_TRUE(::GetWindowLongW(border, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(::IsWindowVisible(border));
        EXPECT_EQ(::GetWindow(form->Handle(), GW_HWNDNEXT), border) << "right behind its form";
        const TRect b = WindowRectOf(border);
        const TPoint origin = sp->FrameImageOrigin();
        EXPECT_EQ(b.left, w.left - origin.x);
        EXPECT_EQ(b.top, w.top - origin.y);
        EXPECT_EQ(b.Width(), img->Width());

        sp->SetAllowExtBorders(false);
        EXPECT_FALSE(::IsWindow(border));
    }
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// Through the border window: the frame answers 19 to the system, the owner
// reads the skin's code at the point (buttons, caption, menu, sizing
// zones); the shadow is transparent.
TEST_F(ExBorders, HitTestsThroughTheBorderWindow)
{
    TOwned<TForm> form(NewForm(bsSizeable, L"Ex", [](TForm* f) { AddMenu(f, {L"File", L"Edit"}); }));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    sp->UpdateExBordersPos(true, 255);
    TkvBorderForm* bf = sp->BorderForm;
    ASSERT_NE(bf, nullptr);
    const TRect b = WindowRectOf(bf->Handle());
    const TRect s = sp->ShadowSize();
    const TsFrameMetrics m = sp->Metrics();
    RECT item;
    ASSERT_TRUE(::GetMenuItemRect(form->Handle(), form->Menu()->Handle(), 0, &item));
    const int menuY = (item.top + item.bottom) / 2 - b.top;
    ExpectBorderHits(bf, {
                             {"close", CentreOf(sp->ButtonClose.Rect), HTCLOSE},
                             {"maximise", CentreOf(sp->ButtonMax.Rect), HTMAXBUTTON},
                             {"minimise", CentreOf(sp->ButtonMin.Rect), HTMINBUTTON},
                             {"caption", TPoint(b.Width() / 2, s.top + m.CaptionHeight(true) / 2), HTCAPTION},
                             {"icon", CentreOf(sp->IconRect()), HTSYSMENU},
                             {"menu line", TPoint(b.Width() / 2, menuY), HTMENU},
                             {"left edge", TPoint(s.left + 1, b.Height() / 2), HTLEFT},
                             {"bottom right", TPoint(b.Width() - s.right - 1, b.Height() - s.bottom - 1), HTBOTTOMRIGHT},
                         });
    EXPECT_EQ(BorderHitAt(bf, TPoint(1, b.Height() / 2)).System, HTTRANSPARENT) << "the shadow";
    form->SetEnabled(false);
    EXPECT_EQ(BorderHitAt(bf, CentreOf(sp->ButtonClose.Rect)).Code, -1) << "a disabled form answers nothing";
    form->SetEnabled(true);
}

// A click on the shadow reaches the window below at that window's own
// client point, not at the border window's.
TEST_F(ExBorders, TheShadowPassesTheMouseToTheWindowBelow)
{
    TOwned<TForm> below(TForm::CreateNew(Application));
    below->SetBorderStyle(bsNone);
    below->SetBounds(0, 0, 500, 400);
    below->Show();
    TReceived got;
    got.Old = below->WindowProc;
    below->WindowProc = Bind(&got, &TReceived::Proc);
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    sp->UpdateExBordersPos(true, 255);
    const HWND border = sp->BorderForm->Handle();
    const TRect b = WindowRectOf(border);
    const TPoint p(2, b.Height() / 2);  // in the left shadow
    ::SendMessageW(border, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    below->WindowProc = got.Old;
    ASSERT_EQ(got.Msg, UINT(WM_LBUTTONDOWN));
    POINT client{b.left + p.x, b.top + p.y};
    ::ScreenToClient(below->Handle(), &client);
    EXPECT_EQ(got.At, TPoint(client.x, client.y));
}

// Clicks on the border window reach the form with the code of their point:
// a press and release on the close button closes the form, and a right
// click on the caption drops its system menu.
TEST_F(ExBorders, ClicksThroughTheBorderWindowReachTheForm)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    Image(sp);
    sp->UpdateExBordersPos(true, 255);
    ASSERT_NE(sp->BorderForm, nullptr);
    const HWND border = sp->BorderForm->Handle();
    const TRect b = WindowRectOf(border), s = sp->ShadowSize();
    auto at = [&](const TPoint& P) { return MAKELPARAM(b.left + P.x, b.top + P.y); };

    TCloseCommands closes;
    closes.Old = form->WindowProc;
    form->WindowProc = Bind(&closes, &TCloseCommands::Proc);
    const LPARAM close = at(CentreOf(sp->ButtonClose.Rect));
    ::SendMessageW(border, WM_NCLBUTTONDOWN, HTBORDERWND, close);
    EXPECT_EQ(sp->ButtonClose.State, 2) << "pressed through the border window";
    ::SendMessageW(border, WM_NCLBUTTONUP, HTBORDERWND, close);
    form->WindowProc = closes.Old;
    EXPECT_EQ(closes.Got, std::vector<WPARAM>{SC_CLOSE});

    TMenuWatch watch;
    ::SendMessageW(border, WM_NCRBUTTONUP, HTBORDERWND,
                   at(TPoint(b.Width() / 3, s.top + sp->Metrics().CaptionHeight(true) / 2)));
    EXPECT_EQ(watch.Opened, 1) << "the system menu from a right click on the caption";
}

// A skin whose extended-border picture is the whole frame and title
// (ExDrawMode 1): the picture lies over the whole image, the title section
// is not painted, and the title's own pieces (icon, caption text) go on
// top of the picture, keeping the picture's opacity where they changed it.
TEST_F(ExBorders, ExModeTitleGoesOverThePicture)
{
    using namespace exmode;
    UseExModePicture(Manager.get());
    ASSERT_EQ(Manager->FormShadowSize, TRect(Shadow, Shadow, Shadow, Shadow));
    TOwned<TForm> form(NewForm(bsSizeable, L"Mode"));
    TsSkinProvider* sp = ProviderOf(form.get());
    ASSERT_NE(sp->BorderForm, nullptr);
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        sp->FormActive = active;
        TBitmap* img = Image(sp);
        const TsFrameMetrics m = sp->Metrics();
        ASSERT_TRUE(m.ExMode());
        EXPECT_EQ(sp->BorderForm->ShadowTemplate, active ? Manager->ShdaTemplate : Manager->ShdiTemplate);
        const TPixel title = active ? ActiveTitle : InactiveTitle;
        const int w = img->Width(), h = img->Height();
        EXPECT_EQ(PixelOf(img, w / 2, Shadow + 1), title) << "the picture is the title bar";
        EXPECT_EQ(PixelOf(img, 1, h / 2), ShadowPx);
        EXPECT_EQ(PixelOf(img, Shadow + 2, h / 2), FramePx);
        // The caption text, inside its room, over the picture.
        const TRect room = m.CaptionTextRoom();
        int text = 0;
        for (int y = std::max<int>(room.top, Shadow); y < std::min<int>(room.bottom, Shadow + Title); ++y)
            for (int x = room.left; x < room.left + 40; ++x) {
                const TPixel p = PixelOf(img, x, y);
                if (p.B == title.B && p.G == title.G && p.R == title.R)
                    continue;
                ++text;
                ASSERT_EQ(p.A, title.A) << x << "," << y << ": the picture's opacity";
            }
        EXPECT_GT(text, 10) << "the caption is drawn over the picture";
    }
}

// A hot close button over the border window glows there: the glow window
// lies at the button's place in the border window, up and left by the
// glow margin, between the form and its border window, and goes with the
// border window when extended borders are turned off.
TEST_F(ExBorders, CloseButtonGlowsOverTheBorderWindow)
{
    TFakeInput input;
    TOwned<TForm> form(NewForm(bsSizeable));
    TsSkinProvider* sp = ProviderOf(form.get());
    sp->FormActive = true;
    Image(sp);
    sp->UpdateExBordersPos(true, 255);
    TkvBorderForm* bf = sp->BorderForm;
    ASSERT_NE(bf, nullptr);
    TBitmap* glow = AddGlow(sp->ButtonClose, 40, 34, 7);
    const TRect r = sp->ButtonClose.Rect, b = WindowRectOf(bf->Handle());
    input.Cursor = TPoint(b.left + CentreOf(r).x, b.top + CentreOf(r).y);
    ASSERT_EQ(BorderHitAt(bf, CentreOf(r)).Code, HTCLOSE);
    auto* fade = dynamic_cast<TkvSBAnimation*>(sp->ButtonClose.Timer);
    ASSERT_NE(fade, nullptr);
    ASSERT_NE(fade->AForm, nullptr);
    const HWND fw = fade->AForm->Handle();
    EXPECT_EQ(FadeWindowRect(fade), TRect(b.left + r.left - 7, b.top + r.top - 7, b.left + r.left + 33, b.top + r.top + 27));
    EXPECT_EQ(std::memcmp(fade->ABmp->Rows().Pixel(5, 6), glow->Rows().Pixel(5, 6), 4), 0);
    EXPECT_EQ(::GetWindow(form->Handle(), GW_HWNDNEXT), fw) << "right behind the form";
    EXPECT_EQ(::GetWindow(fw, GW_HWNDNEXT), bf->Handle()) << "over its border window";
    sp->SetAllowExtBorders(false);
    EXPECT_EQ(sp->ButtonClose.Timer, nullptr);
    EXPECT_FALSE(::IsWindow(fw));
}

namespace {

// Pixels of R (image coordinates) where Shown (shifted by Shift) differs from Img.
int WrongPixels(TBitmap* Img, TBitmap* Shown, const TRect& R, const TPoint& Shift)
{
    int wrong = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            wrong += !(PixelAt(Img, x, y) == PixelAt(Shown, x - Shift.x, y - Shift.y));
    return wrong;
}

} // namespace

// With a main menu the form itself shows its menu line (and the bands of its
// own BorderWidth): taken from the image inside the shadow and the skin's
// frame, the same pixels that the image holds at that place.  A print of the
// form is the border window's whole picture.
TEST_F(ExBorders, MenuLineAndBandsComeFromInsideTheShadow)
{
    TMainMenu* menu = nullptr;
    TOwned<TForm> form(NewForm(bsSizeable, L"Ex", [&](TForm* f) {
        menu = AddMenu(f, {L"File", L"Edit"});
        f->SetBorderWidth(3);
    }));
    TsSkinProvider* sp = ProviderOf(form.get());
    ASSERT_NE(sp->BorderForm, nullptr);
    TBitmap* img = Image(sp);
    const TPoint origin = sp->FrameImageOrigin();
    const TRect w = WindowRectOf(form->Handle());
    RECT item;
    ASSERT_TRUE(::GetMenuItemRect(form->Handle(), menu->Handle(), 1, &item));
    const TRect itemInImage(item.left - w.left + origin.x, item.top - w.top + origin.y, item.right - w.left + origin.x,
                            item.bottom - w.top + origin.y);

    // The frame output into a window-sized picture.
    TBitmap window(w.Width(), w.Height(), pf24bit);
    sp->PaintBorderWindowBands(window.Canvas()->Handle());
    EXPECT_EQ(WrongPixels(img, &window, itemInImage, origin), 0) << "the menu item";
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    POINT c0{0, 0};
    ::ClientToScreen(form->Handle(), &c0);
    const int cx = c0.x - w.left + origin.x, cy = c0.y - w.top + origin.y;
    // The form's BorderWidth lies along the edges of its client area.
    const int cr = cx + client.right, cb = cy + client.bottom;
    const TRect leftBand(cx, cy + 3, cx + 3, cb - 3), rightBand(cr - 3, cy + 3, cr, cb - 3),
        bottomBand(cx, cb - 3, cr, cb);
    EXPECT_EQ(WrongPixels(img, &window, leftBand, origin), 0) << "the left BorderWidth band";
    EXPECT_EQ(WrongPixels(img, &window, rightBand, origin), 0) << "the right BorderWidth band";
    EXPECT_EQ(WrongPixels(img, &window, bottomBand, origin), 0) << "the bottom BorderWidth band";

    // Printed: the whole picture, shadow included.
    TBitmap printed(img->Width(), img->Height(), pf24bit);
    const HDC dc = printed.Canvas()->Handle();
    const int saved = ::SaveDC(dc);
    ::SendMessageW(form->Handle(), WM_PRINT, WPARAM(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    ::RestoreDC(dc, saved);
    EXPECT_EQ(WrongPixels(img, &printed, TRect(0, 0, img->Width(), img->Height()), TPoint()), 0);
}

// The system keeps an owned window above its owner: whether or not the main
// form is on the task bar (and so owns the other forms' windows), each
// border window, and a caption button's fade, shares its form's owner and
// lies behind the form, not over it.
TEST_F(ExBorders, BorderWindowsLieBehindTheirFormsWhoeverOwnsThem)
{
    TFakeInput input;
    for (bool onTaskBar : {false, true}) {
        SCOPED_TRACE(onTaskBar ? "main form on the task bar" : "application window");
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->SetMainFormOnTaskBar(onTaskBar);
        TForm* main = nullptr;
        Application->CreateForm(main);
        TOwned<TForm> ownedMain(main);
        main->SetBounds(40, 40, 320, 200);
        main->Show();
        Application->ProcessMessages();
        TOwned<TForm> other(NewForm(bsSizeable));
        ASSERT_EQ(::GetWindow(other->Handle(), GW_OWNER) == main->Handle(), onTaskBar);
        for (TForm* f : {main, other.get()}) {
            TsSkinProvider* sp = ProviderOf(f);
            ASSERT_NE(sp, nullptr);
            sp->FormActive = true;
            Image(sp);
            sp->UpdateExBordersPos(true, 255);
            ASSERT_NE(sp->BorderForm, nullptr);
            const HWND border = sp->BorderForm->Handle(), owner = ::GetWindow(f->Handle(), GW_OWNER);
            EXPECT_EQ(::GetWindow(border, GW_OWNER), owner);
            EXPECT_EQ(::GetWindow(f->Handle(), GW_HWNDNEXT), border) << "right behind its form";

            // A hot close button's fade lies between the form and its border window.
            const TRect r = sp->ButtonClose.Rect, b = WindowRectOf(border);
            input.Cursor = TPoint(b.left + CentreOf(r).x, b.top + CentreOf(r).y);
            ASSERT_EQ(BorderHitAt(sp->BorderForm, CentreOf(r)).Code, HTCLOSE);
            auto* fade = dynamic_cast<TkvSBAnimation*>(sp->ButtonClose.Timer);
            ASSERT_NE(fade, nullptr);
            ASSERT_NE(fade->AForm, nullptr);
            EXPECT_EQ(::GetWindow(fade->AForm->Handle(), GW_OWNER), owner);
            sp->KillAnimations();
        }
        other.reset();
        ownedMain.reset();
        Application->ProcessMessages();
    }
    Application->SetMainFormOnTaskBar(false);
}
