// A skinned dialog with the manager's extended borders: the border window
// made for dialogs with a frame, its image with the built-in shadow
// templates' alpha around an opaque window, its place right behind the
// dialog, the dialog's region leaving the system frame to it, hit tests
// and clicks through it, and the window going with its dialog and with
// the setting, leaving nothing behind.
#include "../frame/ExModeSkin.h"
#include "DialogFixture.h"

using namespace dlgtest;

namespace {

constexpr DWORD kSizeable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class DialogExBorders : public DialogTest {
protected:
    void SetUp() override
    {
        UseBuiltShadowImages();
        DialogTest::SetUp();
        Manager->SetExtendedBorders(true);
        ASSERT_GT(Manager->FormShadowSize.left, 0) << "the built-in shadow";
    }
    // A shown dialog whose border window is placed and painted now.
    TkvDialogWnd* Bordered(HWND D)
    {
        TkvDialogWnd* dw = SkinnerOf(D);
        EXPECT_NE(dw, nullptr);
        if (!dw || !dw->BorderForm)
            return dw;
        dw->SkinData->BGChanged = true;
        dw->UpdateExBordersPos(true);
        return dw;
    }
    static TRect RegionBox(HWND D)
    {
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        RECT box{};
        if (::GetWindowRgn(D, rgn) != ERROR)
            ::GetRgnBox(rgn, &box);
        ::DeleteObject(rgn);
        return TRect(box);
    }
};

} // namespace

// Dialogs with a frame get the window and a 32-bit image; a frameless one
// keeps a 24-bit image.  Turned off, the window goes and the region is
// the skin's corners again; turned on, it comes back.
TEST_F(DialogExBorders, MadeForFramedDialogsAndFollowsTheSetting)
{
    const struct {
        const char* Name;
        DWORD Style;
        bool Has;
    } cases[] = {
        {"modal frame", kBoxStyle, true},
        {"sizeable", kSizeable, true},
        {"frameless popup", WS_POPUP | WS_BORDER, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        HWND d = NewDialog(TDialogTemplate(c.Style, L"Ex", 10, 10, 160, 80));
        TkvDialogWnd* dw = Bordered(d);
        ASSERT_NE(dw, nullptr);
        EXPECT_EQ(dw->BorderForm != nullptr, c.Has);
        EXPECT_EQ(dw->ShadowSize(), c.Has ? Manager->FormShadowSize : TRect());
        dw->SkinData->BGChanged = true;
        dw->PaintAll();
        EXPECT_EQ(dw->SkinData->FCacheBmp->PixelFormat(), c.Has ? pf32bit : pf24bit);
        // One skinned dialog on the screen at a time.
        ::DestroyWindow(d);
    }

    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Setting", 10, 10, 160, 80));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    const HWND border = dw->BorderForm->Handle();
    Manager->SetExtendedBorders(false);
    ASSERT_EQ(SkinnerOf(d), dw);
    EXPECT_EQ(dw->BorderForm, nullptr);
    EXPECT_FALSE(::IsWindow(border));
    EXPECT_EQ(dw->SkinData->FCacheBmp->PixelFormat(), pf24bit);
    ::SendMessageW(d, WM_NCPAINT, 1, 0);
    EXPECT_EQ(RegionBox(d), TRect(0, 0, WindowRectOf(d).Width(), WindowRectOf(d).Height())) << "the corners' region over the whole window";
    Manager->SetExtendedBorders(true);
    ASSERT_NE(dw->BorderForm, nullptr);
    ::SendMessageW(d, WM_NCPAINT, 1, 0);
    EXPECT_TRUE(::IsWindowVisible(dw->BorderForm->Handle()));
    EXPECT_EQ(RegionBox(d), dw->Metrics().ExBorderRegion());
}

// The image: the window opaque inside the shadow, the shadow's corners the
// template's own alpha (active or inactive); the border window right
// behind the dialog, the dialog at the image's window origin; the dialog's
// region leaves out its system frame and caption, which the border window
// shows.
TEST_F(DialogExBorders, ImageWithShadowBehindTheDialog)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Shadow", 10, 10, 200, 100));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    const TRect s = Manager->FormShadowSize;
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        dw->FFormActive = active;
        dw->SkinData->BGChanged = true;
        dw->PaintAll();
        TBitmap* img = dw->SkinData->FCacheBmp;
        TBitmap* tmpl = active ? Manager->ShdaTemplate : Manager->ShdiTemplate;
        ASSERT_TRUE(tmpl && !tmpl->Empty());
        EXPECT_EQ(dw->BorderForm->ShadowTemplate, tmpl);
        const TsFrameMetrics m = dw->Metrics();
        EXPECT_EQ(img->Width(), m.ImageWidth());
        EXPECT_EQ(img->Width(), WindowRectOf(d).Width() + 2 * m.DiffBorder() + s.left + s.right);
        EXPECT_EQ(AlphaAt(img, img->Width() / 2, img->Height() / 2), 255);
        EXPECT_EQ(AlphaAt(img, s.left + 1, img->Height() / 2), 255) << "the frame is opaque";
        // The shadow's corners are copied from the template pixel for pixel.
        int differ = 0, translucent = 0;
        for (int y = 0; y < s.top; ++y)
            for (int x = 0; x < s.left; ++x) {
                differ += AlphaAt(img, x, y) != AlphaAt(tmpl, x, y);
                const int bx = img->Width() - 1 - x, by = img->Height() - 1 - y;
                differ += AlphaAt(img, bx, by) != AlphaAt(tmpl, tmpl->Width() - 1 - x, tmpl->Height() - 1 - y);
                translucent += AlphaAt(img, x, y) > 0 && AlphaAt(img, x, y) < 255;
            }
        EXPECT_EQ(differ, 0);
        EXPECT_GT(translucent, 0) << "the shadow fades out";
    }

    dw->FFormActive = true;
    dw->SkinData->BGChanged = true;
    dw->UpdateExBordersPos(true);
    const HWND border = dw->BorderForm->Handle();
    EXPECT_TRUE(::GetWindowLongW(border, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::IsWindowVisible(border));
    EXPECT_EQ(::GetWindow(d, GW_HWNDNEXT), border) << "right behind its dialog";
    const TRect w = WindowRectOf(d), b = WindowRectOf(border);
    const TPoint origin = dw->Metrics().ImageOrigin();
    EXPECT_EQ(b.TopLeft(), TPoint(w.left - origin.x, w.top - origin.y));
    EXPECT_EQ(b.Width(), dw->SkinData->FCacheBmp->Width());
    EXPECT_EQ(b.Height(), dw->SkinData->FCacheBmp->Height());

    ::SendMessageW(d, WM_NCPAINT, 1, 0);
    const TsFrameMetrics m = dw->Metrics();
    const int sbw = m.SysBorderWidth(false);
    EXPECT_EQ(RegionBox(d), TRect(sbw, m.CaptionHeight(false) + sbw, w.Width() - sbw, w.Height() - sbw));
    // The client area lies in the image where the window puts it.
    POINT client{0, 0};
    ::ClientToScreen(d, &client);
    EXPECT_EQ(TPoint(dw->OffsetX(), dw->OffsetY()),
              TPoint(origin.x + client.x - w.left, origin.y + client.y - w.top));
}

// The border window answers 19 over the frame (every click there comes as
// a non-client message) and lets the mouse through over the shadow; the
// dialog reads the skin's code at the point.  A disabled dialog answers
// nothing.
TEST_F(DialogExBorders, HitTestsThroughTheBorderWindow)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Hits", 10, 10, 200, 100));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    TkvBorderForm* bf = dw->BorderForm;
    const TRect b = WindowRectOf(bf->Handle()), s = dw->ShadowSize();
    const TsFrameMetrics m = dw->Metrics();
    ExpectBorderHits(bf, {
                             {"close", CentreOf(dw->ButtonClose.Rect), HTCLOSE},
                             {"maximise", CentreOf(dw->ButtonMax.Rect), HTMAXBUTTON},
                             {"minimise", CentreOf(dw->ButtonMin.Rect), HTMINBUTTON},
                             {"caption", TPoint(b.Width() / 3, s.top + m.CaptionHeight(true) / 2), HTCAPTION},
                             {"left edge", TPoint(s.left + 1, b.Height() / 2), HTLEFT},
                             {"right edge", TPoint(b.Width() - s.right - 1, b.Height() / 2), HTRIGHT},
                             {"top left", TPoint(s.left, s.top), HTTOPLEFT},
                             {"bottom right", TPoint(b.Width() - s.right - 1, b.Height() - s.bottom - 1), HTBOTTOMRIGHT},
                         });
    EXPECT_EQ(BorderHitAt(bf, TPoint(1, b.Height() / 2)).System, HTTRANSPARENT) << "the shadow";
    BorderHitAt(bf, CentreOf(dw->ButtonClose.Rect));
    EXPECT_EQ(dw->ButtonClose.State, 1) << "the button under the mouse is hot";
    ::EnableWindow(d, FALSE);
    EXPECT_EQ(BorderHitAt(bf, CentreOf(dw->ButtonClose.Rect)).Code, -1) << "a disabled dialog answers nothing";
    ::EnableWindow(d, TRUE);

    // A modal frame has no sizing zones: its edge is nothing.
    ::DestroyWindow(d);
    HWND fixed = NewDialog(TDialogTemplate(kBoxStyle, L"Fixed", 10, 10, 200, 100));
    TkvDialogWnd* fw = Bordered(fixed);
    ASSERT_NE(fw->BorderForm, nullptr);
    const TRect fb = WindowRectOf(fw->BorderForm->Handle());
    EXPECT_EQ(BorderHitAt(fw->BorderForm, TPoint(s.left + 1, fb.Height() / 2)).Code, -1);
    EXPECT_EQ(BorderHitAt(fw->BorderForm, CentreOf(fw->ButtonClose.Rect)).Code, HTCLOSE);
}

// Clicks on the border window reach the dialog with the code of their
// point: a press and release on the close button closes, a press on a
// sizing border goes to the dialog as that border, a double click on the
// title maximises a dialog that may, and a click on the shadow reaches
// nothing of the dialog.
TEST_F(DialogExBorders, ClicksThroughTheBorderWindowReachTheDialog)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Clicks", 10, 10, 200, 100));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    const HWND border = dw->BorderForm->Handle();
    const TRect b = WindowRectOf(border), s = dw->ShadowSize();
    auto at = [&](const TPoint& P) { return MAKELPARAM(b.left + P.x, b.top + P.y); };

    const LPARAM close = at(CentreOf(dw->ButtonClose.Rect));
    ::SendMessageW(border, WM_NCLBUTTONDOWN, 19, close);
    EXPECT_EQ(dw->ButtonClose.State, 2);
    EXPECT_TRUE(Log.NCPresses.empty()) << "the button's press stays with the skinner";
    ::SendMessageW(border, WM_NCLBUTTONUP, 19, close);
    ASSERT_EQ(Log.SysCommands.size(), 1u);
    EXPECT_EQ(Log.SysCommands[0], WPARAM(SC_CLOSE));

    ::SendMessageW(border, WM_NCLBUTTONDOWN, 19, at(TPoint(s.left + 1, b.Height() / 2)));
    ASSERT_EQ(Log.NCPresses.size(), 1u);
    EXPECT_EQ(Log.NCPresses[0], WPARAM(HTLEFT));

    Log.SysCommands.clear();
    ::SendMessageW(border, WM_NCLBUTTONDBLCLK, 19, at(TPoint(b.Width() / 3, s.top + dw->CaptionHeight(true) / 2)));
    ASSERT_EQ(Log.SysCommands.size(), 1u);
    EXPECT_EQ(Log.SysCommands[0], WPARAM(SC_MAXIMIZE));

    Log.NCPresses.clear();
    Log.SysCommands.clear();
    ::SendMessageW(border, WM_NCLBUTTONDOWN, 19, at(TPoint(1, b.Height() / 2)));
    EXPECT_TRUE(Log.NCPresses.empty() && Log.SysCommands.empty());
}

// Hidden, the dialog lets its border window go; shown again, it has one
// again, visible behind it.  Destroyed, the window goes at once, before
// the skinner's entry is cleaned up.
TEST_F(DialogExBorders, GoesWhenTheDialogHidesAndWhenItIsDestroyed)
{
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Hide", 10, 10, 200, 100));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    HWND border = dw->BorderForm->Handle();
    ::ShowWindow(d, SW_HIDE);
    EXPECT_EQ(dw->BorderForm, nullptr);
    EXPECT_FALSE(::IsWindow(border));
    ::ShowWindow(d, SW_SHOW);
    ::UpdateWindow(d);
    Application->ProcessMessages();
    ASSERT_NE(dw->BorderForm, nullptr);
    border = dw->BorderForm->Handle();
    EXPECT_TRUE(::IsWindowVisible(border));
    EXPECT_EQ(::GetWindow(d, GW_HWNDNEXT), border);
    EXPECT_EQ(dw->SkinData->FCacheBmp->PixelFormat(), pf32bit);

    ::DestroyWindow(d);
    EXPECT_FALSE(::IsWindow(border));
}

// Dialogs with border windows through the setting turned off and on, the
// skin taken away and given back, and gone: nothing stays behind.
TEST_F(DialogExBorders, SkinChangesAndRemovalLeakNothing)
{
    auto once = [this] {
        HWND d = NewDialog(TDialogTemplate(kSizeable, L"Leak", 10, 10, 200, 100));
        TkvDialogWnd* dw = Bordered(d);
        ASSERT_NE(dw->BorderForm, nullptr);
        ::SendMessageW(d, WM_NCPAINT, 1, 0);
        dw->SetHotHT(HTCLOSE, true);
        dw->SetHotHT(0, true);
        Manager->SetExtendedBorders(false);
        ::SendMessageW(d, WM_NCPAINT, 1, 0);
        Manager->SetExtendedBorders(true);
        ::SendMessageW(d, WM_NCPAINT, 1, 0);
        Manager->SetActive(false);
        EXPECT_EQ(SkinnerOf(d), nullptr);
        EXPECT_EQ(RegionBox(d), TRect()) << "no region left";
        Manager->SetActive(true);
        ::DestroyWindow(d);
        // The entry of a dialog that went is freed when the next window goes.
        HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ::DestroyWindow(other);
        Application->ProcessMessages();
    };
    once();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 3; ++i)
        once();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// The dialog with a skin whose extended-border picture is the whole frame
// and title: the picture lies over the image and the caption text goes on
// top of it with the picture's opacity.
TEST_F(DialogExBorders, ExModeTitleGoesOverThePicture)
{
    using namespace exmode;
    UseExModePicture(Manager.get());
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Mode", 10, 10, 200, 100));
    TkvDialogWnd* dw = Bordered(d);
    ASSERT_NE(dw->BorderForm, nullptr);
    dw->FFormActive = true;
    dw->SkinData->BGChanged = true;
    dw->PaintAll();
    TBitmap* img = dw->SkinData->FCacheBmp;
    const TsFrameMetrics m = dw->Metrics();
    ASSERT_TRUE(m.ExMode());
    EXPECT_EQ(dw->BorderForm->ShadowTemplate, Manager->ShdaTemplate);
    EXPECT_EQ(PixelOf(img, img->Width() / 2, Shadow + 1), ActiveTitle) << "the picture is the title bar";
    EXPECT_EQ(PixelOf(img, Shadow + 2, img->Height() / 2), FramePx);
    const TRect room = m.CaptionTextRoom();
    int text = 0;
    for (int y = std::max<int>(room.top, Shadow); y < std::min<int>(room.bottom, Shadow + Title); ++y)
        for (int x = room.left; x < room.left + 40; ++x) {
            const TPixel p = PixelOf(img, x, y);
            if (p.B == ActiveTitle.B && p.G == ActiveTitle.G && p.R == ActiveTitle.R)
                continue;
            ++text;
            ASSERT_EQ(p.A, ActiveTitle.A) << x << "," << y << ": the picture's opacity";
        }
    EXPECT_GT(text, 10) << "the caption is drawn over the picture";
}
