// The skinned dialog's window image by pixels against the built-in skin,
// the frame on the window, the caption buttons' hit tests and clicks
// (sizing borders and the client keep theirs), a hot button drawn over the
// title's own background, and the colour brush kept across messages.
#include <algorithm>

#include "DialogFixture.h"
#include "skin/paint/sGraphUtils.h"

using namespace dlgtest;

namespace {

TRgb RgbOf(TColor C)
{
    return {uint8_t(C >> 16), uint8_t(C >> 8), uint8_t(C)};
}

bool Between(uint8_t V, uint8_t A, uint8_t B)
{
    return V >= std::min(A, B) && V <= std::max(A, B);
}

constexpr DWORD kSizeable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

} // namespace

class DialogPaint : public DialogTest {
protected:
    TBitmap* Image(TkvDialogWnd* Dw)
    {
        Dw->SkinData->BGChanged = true;
        Dw->PaintAll();
        return Dw->SkinData->FCacheBmp;
    }
    // An opaque pixel of frame 0 of a face.
    TPoint Opaque(const TsMaskData& Md)
    {
        for (int y = 0; y < HeightOfImage(Md); ++y)
            for (int x = 0; x < WidthOfImage(Md); ++x)
                if (MaskMask(Md, 0, x, y) == TRgb{})
                    return {x, y};
        return {-1, -1};
    }
};

TEST_F(DialogPaint, WindowImageFromTheDialogSectionTitleAndButtonFaces)
{
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Image", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    const TsGeneralData& dialog = Manager->gd[std::size_t(Manager->GetSkinIndex(s_Dialog))];
    const TsGeneralData& title = Manager->gd[std::size_t(Manager->GetSkinIndex(s_FormTitle))];
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        dw->FFormActive = active;
        TBitmap* img = Image(dw);
        RECT wr;
        ::GetWindowRect(d, &wr);
        ASSERT_EQ(img->Width(), wr.right - wr.left);
        ASSERT_EQ(img->Height(), wr.bottom - wr.top);
        const TsFrameMetrics m = dw->Metrics();
        // The client part in the dialog section's colour of the state.
        EXPECT_EQ(PixelAt(img, m.OffsetX() + 5, m.OffsetY() + 5), RgbOf(active ? dialog.HotColor : dialog.Color));
        // The title band between the title gradient's colours of the state.
        const TsGradArray& grad = active ? title.HotGradientArray : title.GradientArray;
        ASSERT_FALSE(grad.empty());
        const TRgb a = RgbOf(grad.front().Color1), b = RgbOf(grad.front().Color2);
        const TRgb t = PixelAt(img, img->Width() / 2, m.SysBorderHeight(false) + m.CaptionHeight(true) / 2 + 6);
        EXPECT_TRUE(Between(t.R, a.R, b.R) && Between(t.G, a.G, b.G) && Between(t.B, a.B, b.B)) << t;
        // A modal frame takes the small close face, drawn where the hit test finds it.
        const TsMaskData& close = Mask(s_GlobalInfo, s_SiconClose);
        ASSERT_EQ(dw->ButtonClose.ImageIndex, Manager->GetMaskIndex(s_GlobalInfo, s_SiconClose));
        const TRect r = dw->ButtonClose.Rect;
        ASSERT_FALSE(r.IsEmpty());
        EXPECT_EQ(r.Width(), WidthOfImage(close));
        if (active) {
            const TPoint p = Opaque(close);
            ASSERT_GE(p.x, 0);
            EXPECT_EQ(PixelAt(img, r.left + p.x, r.top + p.y), MaskPicture(close, 0, p.x, p.y));
        }
        EXPECT_TRUE(dw->ButtonMax.Rect.IsEmpty() && dw->ButtonMin.Rect.IsEmpty()) << "no boxes asked for";
    }
    // The frame reaches the window: the title band on the window is the image's.
    dw->FFormActive = true;
    Image(dw);
    ::SendMessageW(d, WM_NCPAINT, 1, 0);
    const HDC wdc = ::GetWindowDC(d);
    TBitmap* img = dw->SkinData->FCacheBmp;
    const TsFrameMetrics m = dw->Metrics();
    for (const TPoint& p : {TPoint(img->Width() / 2, m.HeaderHeight() / 2), CentreOf(dw->ButtonClose.Rect),
                            TPoint(1, img->Height() / 2), TPoint(img->Width() / 2, img->Height() - 2)}) {
        const COLORREF c = ::GetPixel(wdc, p.x, p.y);
        EXPECT_EQ((TRgb{GetBValue(c), GetGValue(c), GetRValue(c)}), PixelAt(img, p.x, p.y)) << p.x << "," << p.y;
    }
    ::ReleaseDC(d, wdc);
}

TEST_F(DialogPaint, CaptionButtonsAndBordersAnswerTheirHitCodes)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Hits", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    ASSERT_EQ(dw->BorderStyle, kvbsSizeable);
    Image(dw);
    RECT wr;
    ::GetWindowRect(d, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const TsFrameMetrics m = dw->Metrics();
    struct TCase {
        const char* Where;
        TPoint P;
        int Code;
    };
    const TCase cases[] = {
        {"close", CentreOf(dw->ButtonClose.Rect), HTCLOSE},
        {"maximise", CentreOf(dw->ButtonMax.Rect), HTMAXBUTTON},
        {"minimise", CentreOf(dw->ButtonMin.Rect), HTMINBUTTON},
        {"caption", TPoint(w / 3, m.SysBorderHeight(false) + m.CaptionHeight(true) / 2), HTCAPTION},
        {"left border", TPoint(1, h / 2), HTLEFT},
        {"right border", TPoint(w - 2, h / 2), HTRIGHT},
        {"bottom border", TPoint(w / 2, h - 2), HTBOTTOM},
        {"bottom-right corner", TPoint(w - 2, h - 2), HTBOTTOMRIGHT},
        {"top-left corner", TPoint(1, 1), HTTOPLEFT},
        {"client", TPoint(w / 2, h / 2), HTCLIENT},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(HitAt(d, c.P), c.Code) << c.Where;
    // The button under the cursor is hot; leaving it makes it normal.
    HitAt(d, CentreOf(dw->ButtonClose.Rect));
    EXPECT_EQ(dw->ButtonClose.State, 1);
    HitAt(d, TPoint(w / 2, h / 2));
    EXPECT_EQ(dw->ButtonClose.State, 0);
}

TEST_F(DialogPaint, MaximisedDialogsEdgeAndTheRegionAfterAShow)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Zoomed", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    ::ShowWindow(d, SW_MAXIMIZE);
    Application->ProcessMessages();
    RECT wr;
    ::GetWindowRect(d, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    for (const TPoint& p : {TPoint(0, h / 2), TPoint(w - 1, h / 2), TPoint(w / 2, h - 1)})
        EXPECT_NE(HitAt(d, p), HTERROR) << p.x << "," << p.y;

    // The end of a show animation sets the region without a paint: the flag
    // that guards a region's own paint does not outlive it.
    ::ShowWindow(d, SW_RESTORE);
    dw->ShowEnded(255);
    EXPECT_FALSE(InUpdateRgn);
    ::DestroyWindow(d);
    HWND next = NewDialog(TDialogTemplate(kSizeable, L"Next", 30, 30, 200, 100));
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(next, rgn), COMPLEXREGION) << "the next dialog's corners are cut";
    // The built-in skin's rounded top corners are holes, the edges whole.
    RECT nr;
    ::GetWindowRect(next, &nr);
    const int nw = nr.right - nr.left, nh = nr.bottom - nr.top;
    for (const TPoint& p : {TPoint(0, 0), TPoint(nw - 1, 0), TPoint(1, 0), TPoint(nw - 2, 0)})
        EXPECT_FALSE(::PtInRegion(rgn, p.x, p.y)) << "corner " << p.x << "," << p.y;
    for (const TPoint& p : {TPoint(nw / 2, 0), TPoint(0, nh / 2), TPoint(nw / 2, nh - 1), TPoint(nw - 1, nh / 2)})
        EXPECT_TRUE(::PtInRegion(rgn, p.x, p.y)) << "edge " << p.x << "," << p.y;
    ::DeleteObject(rgn);
}

// A press on a sizing border reaches the dialog with its code; a press and
// release on a caption button carries out its command; a client release
// whose key flags look like a hit code carries out nothing.
TEST_F(DialogPaint, ClicksOnBordersAndButtonsGoWhereTheyBelong)
{
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Clicks", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    Image(dw);
    RECT wr;
    ::GetWindowRect(d, &wr);
    const int h = wr.bottom - wr.top;
    for (int code : {HTLEFT, HTBOTTOMRIGHT, HTBOTTOM}) {
        Log.NCPresses.clear();
        const TPoint p = code == HTLEFT ? TPoint(1, h / 2) : TPoint(wr.right - wr.left - 2, h - 2);
        ::SendMessageW(d, WM_NCLBUTTONDOWN, WPARAM(code), ScreenAt(d, p));
        ASSERT_EQ(Log.NCPresses.size(), 1u) << code;
        EXPECT_EQ(Log.NCPresses[0], WPARAM(code));
    }

    const LPARAM close = ScreenAt(d, CentreOf(dw->ButtonClose.Rect));
    ::SendMessageW(d, WM_NCLBUTTONDOWN, HTCLOSE, close);
    EXPECT_EQ(dw->ButtonClose.State, 2);
    EXPECT_EQ(Log.NCPresses.size(), 1u) << "the button's press stays with the skinner";
    // MK_SHIFT | MK_MBUTTON is 20, the close button's code: not a click on it.
    ::SendMessageW(d, WM_LBUTTONUP, MK_SHIFT | MK_MBUTTON, MAKELPARAM(20, 20));
    EXPECT_TRUE(Log.SysCommands.empty());
    ::SendMessageW(d, WM_NCLBUTTONDOWN, HTCLOSE, close);
    ::SendMessageW(d, WM_NCLBUTTONUP, HTCLOSE, close);
    ASSERT_EQ(Log.SysCommands.size(), 1u);
    EXPECT_EQ(Log.SysCommands[0], WPARAM(SC_CLOSE));

    // A double click on the caption maximises a sizeable dialog with a maximise box.
    Log.SysCommands.clear();
    ::SendMessageW(d, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    ASSERT_EQ(Log.SysCommands.size(), 1u);
    EXPECT_EQ(Log.SysCommands[0], WPARAM(SC_MAXIMIZE));
    // ... and does nothing for a modal frame, even with a maximise box.
    ::DestroyWindow(d);
    HWND fixed = NewDialog(TDialogTemplate(kBoxStyle | WS_MAXIMIZEBOX, L"Fixed", 10, 10, 200, 100));
    ASSERT_NE(SkinnerOf(fixed), nullptr);
    Log.SysCommands.clear();
    ::SendMessageW(fixed, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(Log.SysCommands.empty());
}

// Glowing off: a button's new state is drawn over the title as it was
// painted, not over black.
TEST_F(DialogPaint, HotButtonIsDrawnOverTheTitlesBackground)
{
    Manager->SetAllowGlowing(false);
    HWND d = NewDialog(TDialogTemplate(kSizeable, L"Hot", 10, 10, 200, 100));
    TkvDialogWnd* dw = SkinnerOf(d);
    ASSERT_NE(dw, nullptr);
    TBitmap* img = Image(dw);
    const TRect r = dw->ButtonClose.Rect;
    ASSERT_FALSE(r.IsEmpty());
    const TsMaskData& face = Manager->ma[std::size_t(dw->ButtonClose.ImageIndex)];
    // A pixel the face leaves transparent in its hot frame.
    TPoint clear(-1, -1);
    for (int y = 0; y < r.Height() && clear.x < 0; ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (MaskMask(face, 1, x, y) == TRgb{255, 255, 255}) {
                clear = TPoint(x, y);
                break;
            }
    ASSERT_GE(clear.x, 0) << "the face has a see-through pixel";
    const TRgb before = PixelAt(img, r.left + clear.x, r.top + clear.y);
    dw->SetHotHT(HTCLOSE, true);
    EXPECT_EQ(dw->ButtonClose.State, 1);
    EXPECT_EQ(PixelAt(img, r.left + clear.x, r.top + clear.y), before);
    EXPECT_NE(before, TRgb{});
}

TEST_F(DialogPaint, ColourBrushIsKeptAcrossAThousandMessages)
{
    HWND d = NewDialog(TDialogTemplate(kBoxStyle, L"Brush", 10, 10, 200, 100));
    ASSERT_NE(SkinnerOf(d), nullptr);
    const HDC dc = ::GetDC(d);
    const auto first = reinterpret_cast<HBRUSH>(::SendMessageW(d, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(d)));
    ASSERT_EQ(::GetObjectType(first), DWORD(OBJ_BRUSH));
    LOGBRUSH lb{};
    ::GetObjectW(first, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, COLORREF(ColorToRGB(Manager->GetGlobalColor())));
    const TResourceCount before = CountResources();
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(reinterpret_cast<HBRUSH>(::SendMessageW(d, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(d))), first);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    ::ReleaseDC(d, dc);
}

// A dialog made, shown, painted and gone, while the skin stays: its entry
// and everything the skinner made go with it.
TEST_F(DialogPaint, ADialogThatGoesLeavesNothingBehind)
{
    auto once = [this] {
        HWND d = NewDialog(TDialogTemplate(kSizeable, L"Gone", 10, 10, 200, 100));
        TkvDialogWnd* dw = SkinnerOf(d);
        ASSERT_NE(dw, nullptr);
        Image(dw);
        ::SendMessageW(d, WM_NCPAINT, 1, 0);
        ::SendMessageW(d, WM_CTLCOLORDLG, 0, 0);
        dw->SetHotHT(HTCLOSE, true);
        ::DestroyWindow(d);
    };
    once();
    // The entry of a dialog that went is freed when the next window goes.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(other);
    const TResourceCount before = CountResources();
    for (int i = 0; i < 3; ++i)
        once();
    other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(other);
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    for (TkvProvider* e : *kvSupportedList)
        EXPECT_TRUE(!e || !e->ListSW) << "a dialog's entry outlived its window";
}
