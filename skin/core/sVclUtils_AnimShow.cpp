// Layered shows of forms and dialogs: the window's new image painted off
// screen, shown on a layered window in frames of 8 ms, fading in or growing
// from the centre.
#include <cmath>
#include <utility>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

int LayeredFrameAlpha(int Frame, int Divisor, int MaxTransparency)
{
    if (Divisor < 1)
        return MaxTransparency;
    const double a = double(MaxTransparency) * (Frame + 1) / Divisor;
    return std::min(int(std::nearbyint(a)), MaxTransparency);
}

TRect AeroFrameRect(int Frame, int Steps, int W, int H)
{
    const double grow = Steps > 0 ? double(Frame) / (4.0 * Steps) : 0.25;
    const double dx = W / 4.0 - W * grow, dy = H / 4.0 - H * grow;
    auto round = [](double v) { return int(std::nearbyint(v)); };
    return TRect(round(dx), round(dy), round(W - dx), round(H - dy));
}

namespace {

void UpdateLayered(HWND Wnd, TBitmap* Bmp, int Alpha)
{
    if (!kvUpdateLayeredWindow)
        return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::clamp(Alpha, 0, 255)), AC_SRC_ALPHA};
    SIZE size{Bmp->Width(), Bmp->Height()};
    POINT src{0, 0};
    ScreenDC screen;
    kvUpdateLayeredWindow(Wnd, screen, nullptr, &size, Bmp->Canvas()->Handle(), &src, 0x1FFFFFFF, &blend,
                          ULW_ALPHA);
}

void MakeLayered(HWND Wnd)
{
    const LONG ex = ::GetWindowLongW(Wnd, GWL_EXSTYLE);
    ::SetWindowLongW(Wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED | WS_EX_NOACTIVATE);
}

// Above everything when the real window is topmost, else right in front
// of the window the real one follows.
void PlaceBeside(HWND Wnd, HWND Real, UINT Flags)
{
    HWND after = HWND_TOPMOST;
    if (!(::GetWindowLongW(Real, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        after = ::GetWindow(Real, GW_HWNDPREV);
        if (!after)
            after = HWND_TOP;
    }
    ::SetWindowPos(Wnd, after, 0, 0, 0, 0, Flags | SWP_NOMOVE | SWP_NOSIZE);
}

// The window's image, 32-bit, painted with kvPrintDC set; the device
// context and the canvas lock are put back however the painting ends.
TBitmap* PaintWindowImage(TsAnimShowSeam& Seam, TSize Size)
{
    TOwned<TBitmap> bmp(CreateBmp32(Size.cx, Size.cy));
    TCanvas* canvas = bmp->Canvas();
    canvas->Lock();
    HDC old = std::exchange(kvPrintDC, canvas->Handle());
    try {
        Seam.PaintInto(bmp.get());
    } catch (...) {
        kvPrintDC = old;
        canvas->Unlock();
        throw;
    }
    kvPrintDC = old;
    canvas->Unlock();
    return bmp.release();
}

// kvDstBmp for the length of one show.
struct TDstScope {
    TOwned<TBitmap> Bmp;
    explicit TDstScope(TBitmap* B) : Bmp(B) { kvDstBmp = B; }
    ~TDstScope() { kvDstBmp = nullptr; }
    TDstScope(const TDstScope&) = delete;
    TDstScope& operator=(const TDstScope&) = delete;
};

// Lets Real draw again and draws it now.  A border window given first
// takes BorderRgn (it owns the region once set).
void RedrawReal(HWND Real, HWND Border = nullptr, HRGN BorderRgn = nullptr)
{
    ::SendMessageW(Real, WM_SETREDRAW, 1, 0);
    if (Border)
        SetWindowRegion(Border, BorderRgn, false);
    ::RedrawWindow(Real, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The window that carries the frames of a dialog without extended borders.
TForm* NewAnimationForm()
{
    TOwned<TForm> form(TForm::CreateNew(Application));
    form->SetBorderStyle(bsNone);
    form->SetTag(-98);
    HWND h = form->Handle();
    ::SetWindowLongW(h, GWL_EXSTYLE, ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    return form.release();
}

// Where the client area of Real (whose window rectangle is R) lies in an
// image whose origin is Offset left of and above R.
TRect ClientInImage(HWND Real, const RECT& R, const TPoint& Offset)
{
    RECT client{};
    ::GetClientRect(Real, &client);
    POINT origin{0, 0};
    ::ClientToScreen(Real, &origin);
    const int x = origin.x - R.left + Offset.x, y = origin.y - R.top + Offset.y;
    return TRect(x, y, x + client.right, y + client.bottom);
}

} // namespace

void ShowLayeredFrames(HWND Wnd, TBitmap* Dst, int Steps, int Divisor, int MaxTransparency, TkvAnimType AnimType)
{
    if (Steps < 1)
        return;
    const int w = Dst->Width(), h = Dst->Height();
    TOwned<TBitmap> frame(CreateBmp32(w, h));
    FillAlphaRect(frame.get(), TRect(0, 0, w, h), 0);
    HDC fdc = frame->Canvas()->Handle();
    HDC sdc = Dst->Canvas()->Handle();
    ::SetStretchBltMode(fdc, COLORONCOLOR);
    for (int i = 0; i <= Steps; ++i) {
        if (AnimType == atAero) {
            TRect r = AeroFrameRect(i, Steps, w, h);
            if (r.left < 0 || r.top < 0)
                ::BitBlt(fdc, 0, 0, w, h, sdc, 0, 0, SRCCOPY);
            else
                ::StretchBlt(fdc, r.left, r.top, r.Width(), r.Height(), sdc, 0, 0, w, h, SRCCOPY);
        } else if (i == 0) {
            ::BitBlt(fdc, 0, 0, w, h, sdc, 0, 0, SRCCOPY);
        }
        UpdateLayered(Wnd, frame.get(), LayeredFrameAlpha(i, Divisor, MaxTransparency));
        if (i < Steps)
            kvAnimPause(8);
    }
}

void AnimShowForm(TsAnimShowSeam& Form, WORD Time, int MaxTransparency, TkvAnimType AnimType)
{
    HWND wnd = Form.BorderWindow();
    HWND real = Form.RealWindow();
    if (!wnd || !real)
        return;
    // Put back however the show ends, so that controls do not keep
    // skipping their painting after a failure.
    TFlagScope animating(InAnimationProcess, true);
    TDstScope dst(PaintWindowImage(Form, Form.RenderImage()));
    const int steps = AnimSteps(Time);
    const int w = dst.Bmp->Width(), h = dst.Bmp->Height();
    const TPoint d = Form.BorderOffset();
    RECT r;
    ::GetWindowRect(real, &r);
    ::SetWindowPos(wnd, nullptr, r.left - d.x, r.top - d.y, w, h, SWP_NOACTIVATE | SWP_NOZORDER);
    MakeLayered(wnd);
    UpdateLayered(wnd, dst.Bmp.get(), steps < 1 ? MaxTransparency : 0);
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    PlaceBeside(wnd, real, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    ShowLayeredFrames(wnd, dst.Bmp.get(), steps, steps, MaxTransparency, AnimType);
    ::SetWindowPos(wnd, nullptr, r.left - d.x, r.top - d.y, w, h, SWP_NOACTIVATE | SWP_NOZORDER);
    UpdateLayered(wnd, dst.Bmp.get(), MaxTransparency);
    InAnimationProcess = false;
    Form.ShowEnded(MaxTransparency);
    RedrawReal(real);
    ::SetWindowPos(wnd, real, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void AnimShowDlg(TsAnimShowSeam& Dlg, WORD Time, int MaxTransparency, TkvAnimType AnimType)
{
    HWND real = Dlg.RealWindow();
    if (!real)
        return;
    TFlagScope animating(InAnimationProcess, true);
    HWND wnd = Dlg.BorderWindow();
    TOwned<TForm> own;
    if (!wnd) {
        own.reset(NewAnimationForm());
        wnd = own->Handle();
    }
    TDstScope dst(PaintWindowImage(Dlg, Dlg.RenderImage()));
    const int w = dst.Bmp->Width(), h = dst.Bmp->Height();
    // Without extended borders the whole image is the dialog, opaque.
    const TPoint d = Dlg.BorderWindow() ? Dlg.BorderOffset() : TPoint(0, 0);
    RECT r;
    ::GetWindowRect(real, &r);
    // The dialog's controls were printed without alpha: its client area is
    // made opaque, the borders keep the skin's alpha.
    FillAlphaRect(dst.Bmp.get(), Dlg.BorderWindow() ? ClientInImage(real, r, d) : TRect(0, 0, w, h), 255);
    const int steps = AnimSteps(Time);
    MakeLayered(wnd);
    ::SetWindowPos(wnd, nullptr, r.left - d.x, r.top - d.y, w, h,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
    UpdateLayered(wnd, dst.Bmp.get(), steps < 1 ? MaxTransparency : 0);
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    PlaceBeside(wnd, real, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
    ShowLayeredFrames(wnd, dst.Bmp.get(), steps, steps + 1, MaxTransparency, AnimType);
    UpdateLayered(wnd, dst.Bmp.get(), MaxTransparency);
    ::SendMessageW(real, WM_SETREDRAW, 1, 0);
    InAnimationProcess = false;
    Dlg.ShowEnded(MaxTransparency);
    RedrawReal(real);
    ::SetWindowPos(wnd, real, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool AnimShowLayeredForm(TWinControl* Ctrl, WORD Time, int MaxTransparency, TkvAnimType AnimType)
{
    if (!kvLayered() || !dynamic_cast<TCustomForm*>(Ctrl) || !Ctrl->HandleAllocated())
        return false;
    TsProviderSeam* provider = ProviderOf(Ctrl->Handle());
    TsAnimShowSeam* seam = provider ? provider->AnimShow() : nullptr;
    if (!seam)
        return false;
    // A screen copy and cover kept for a cross-fade are not needed here.
    FreeAndNil(ow);
    FreeAndNil(kvSrcBmp);
    TFlagScope animating(InAnimationProcess, true);
    TDstScope dst(PaintWindowImage(*seam, seam->RenderImage()));
    const int w = dst.Bmp->Width(), h = dst.Bmp->Height();
    HWND border = seam->BorderWindow();
    if (!border)
        FillAlphaRect(dst.Bmp.get(), TRect(0, 0, w, h), 255);
    const TPoint d = seam->BorderOffset();
    RECT r;
    ::GetWindowRect(Ctrl->Handle(), &r);
    TOwned<TForm> cover(TForm::CreateNew(nullptr));
    cover->SetBorderStyle(bsNone);
    cover->SetTag(-98);
    HWND wnd = cover->Handle();
    MakeLayered(wnd);
    if (border)
        MakeLayered(border);
    ::SetWindowPos(wnd, nullptr, r.left - d.x, r.top - d.y, w, h, SWP_NOACTIVATE | SWP_NOZORDER);
    const int steps = AnimSteps(Time);
    UpdateLayered(wnd, dst.Bmp.get(), steps < 1 ? MaxTransparency : 0);
    ::ShowWindow(wnd, SW_SHOWNOACTIVATE);
    // Right over the form, not over the windows in front of it (nor under a topmost form).
    PlaceBeside(wnd, Ctrl->Handle(), SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS);
    ShowLayeredFrames(wnd, dst.Bmp.get(), steps, steps, MaxTransparency, AnimType);
    if (border)
        ::ShowWindow(border, SW_HIDE);
    InAnimationProcess = false;
    seam->ShowEnded(MaxTransparency);
    RedrawReal(Ctrl->Handle(), border, border ? seam->BorderRegion() : nullptr);
    if (border) {
        ::SetWindowPos(border, nullptr, r.left - d.x, r.top - d.y, w, h, SWP_NOACTIVATE | SWP_NOZORDER);
        UpdateLayered(border, dst.Bmp.get(), MaxTransparency);
        ::ShowWindow(border, SW_SHOWNOACTIVATE);
    }
    return true;
}
