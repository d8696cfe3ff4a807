#include "skin/core/sVclUtils_Anim.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"

TBitmap* kvSrcBmp = nullptr;
TBitmap* kvDstBmp = nullptr;
TOutputWindow* ow = nullptr;
void (*kvAnimPause)(DWORD) = [](DWORD Ms) { ::Sleep(Ms); };

TOutputWindow::TOutputWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetCaption(L"kvOutputWindow");
    SetVisible(false);
    SetColor(TColor(0x800080));
}

TOutputWindow::~TOutputWindow()
{
    // A kept cover that goes with its control (before the animation ran)
    // takes the kept screen copy with it: neither may reach a later one.
    if (ow == this) {
        ow = nullptr;
        FreeAndNil(kvSrcBmp);
    }
}

void TOutputWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (Parent() || ParentWindow())
        return;
    Params.Style = WS_POPUP;
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (owner && owner->HandleAllocated() && (::GetWindowLongW(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
        Params.ExStyle |= WS_EX_TOPMOST;
    Params.WndParent = Application ? Application->Handle() : nullptr;
}

void TOutputWindow::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: Message.Result = 0; return;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        ::BeginPaint(Handle(), &ps);  // validated, nothing drawn
        ::EndPaint(Handle(), &ps);
        Message.Result = 0;
        return;
    }
    default: TCustomControl::WndProc(Message);
    }
}

int CrossFadeWeight(int Frame, int Steps)
{
    return Steps < 1 ? 0 : std::max(255 - Frame * (255 / Steps), 0);
}

void CrossFade(TBitmap* Src, TBitmap* Dst, int Steps, HDC Target, const std::function<void()>& ShowFrame)
{
    const int w = Dst->Width(), h = Dst->Height();
    if (Steps > 0 && Src && Src->Width() == w && Src->Height() == h) {
        TOwned<TBitmap> out(CreateBmp32(w, h));
        TBitmap* src = Src;
        TBitmap* dst = Dst;
        for (int i = 0; i <= Steps; ++i) {
            TBitmap* o = out.get();
            SumBitmapsByMask(o, src, dst, nullptr, uint16_t(CrossFadeWeight(i, Steps)));
            ::BitBlt(Target, 0, 0, w, h, out->Canvas()->Handle(), 0, 0, SRCCOPY);
            ShowFrame();
            if (i < Steps)
                kvAnimPause(8);
        }
    }
    ::BitBlt(Target, 0, 0, w, h, Dst->Canvas()->Handle(), 0, 0, SRCCOPY);
    ShowFrame();
}

namespace {

// The screen under Ctrl, 24-bit.
TBitmap* ScreenCopy(TWinControl* Ctrl)
{
    RECT r;
    ::GetWindowRect(Ctrl->Handle(), &r);
    TOwned<TBitmap> bmp(CreateBmp24(Ctrl->Width(), Ctrl->Height()));
    ScreenDC screen;
    ::BitBlt(bmp->Canvas()->Handle(), 0, 0, Ctrl->Width(), Ctrl->Height(), screen, r.left, r.top, SRCCOPY);
    return bmp.release();
}

void RefreshMagnifier()
{
    if (kvMagnForm && kvMagnForm->HandleAllocated())
        ::SendMessageW(kvMagnForm->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), 0);
}

// Frees what one control animation holds, however it ends.
struct TControlAnimation {
    TOwned<TBitmap> Src, Dst;
    TOwned<TOutputWindow> Cover;
    TControlAnimation()
    {
        Src.reset(std::exchange(kvSrcBmp, nullptr));
        Cover.reset(std::exchange(ow, nullptr));
    }
    ~TControlAnimation() { kvDstBmp = nullptr; }
    TControlAnimation(const TControlAnimation&) = delete;
    TControlAnimation& operator=(const TControlAnimation&) = delete;
};

// Ctrl's new image, painted off screen.
TBitmap* PaintOffScreen(TWinControl* Ctrl)
{
    TOwned<TBitmap> bmp(CreateBmp24(Ctrl->Width(), Ctrl->Height()));
    TCanvas* canvas = bmp->Canvas();
    canvas->Lock();
    // kvPrintDC and the lock are put back however the painting ends.
    HDC old = std::exchange(kvPrintDC, canvas->Handle());
    try {
        SkinPaintTo(bmp.get(), Ctrl, 0, 0, nullptr);
    } catch (...) {
        kvPrintDC = old;
        canvas->Unlock();
        throw;
    }
    kvPrintDC = old;
    canvas->Unlock();
    return bmp.release();
}

// A skinned form without extended borders has its corners cut: the cover
// takes the same shape, so that the fade does not show square corners.
void CutCoverCorners(TWinControl* Ctrl, HWND Cover)
{
    if (!dynamic_cast<TCustomForm*>(Ctrl))
        return;
    TsProviderSeam* provider = ProviderOf(Ctrl->Handle());
    if (!provider || provider->HasBorderForm())
        return;
    if (HRGN rgn = provider->CornerRegion())
        SetWindowRegion(Cover, rgn, false);
}

} // namespace

void PrepareForAnimation(TWinControl* Ctrl)
{
    if (!Ctrl)
        return;
    if (!kvSrcBmp)
        kvSrcBmp = ScreenCopy(Ctrl);
    if (!ow)
        ow = New<TOutputWindow>(Ctrl);
    if (TWinControl* parent = Ctrl->Parent()) {
        ow->SetParent(parent);
        ow->SetBounds(Ctrl->Left(), Ctrl->Top(), Ctrl->Width(), Ctrl->Height());
        HWND before = ::GetWindow(Ctrl->Handle(), GW_HWNDPREV);
        ::SetWindowPos(ow->Handle(), before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(ow->Handle(), SW_SHOWNA);
    } else {
        RECT r;
        ::GetWindowRect(Ctrl->Handle(), &r);
        ow->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        ::SetWindowPos(ow->Handle(), nullptr, 0, 0, 0, 0,
                       SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    }
}

void AnimShowControl(TWinControl* Ctrl, WORD Time, int MaxTransparency, TkvAnimType AnimType)
{
    if (!Ctrl || AnimShowLayeredForm(Ctrl, Time, MaxTransparency, AnimType))
        return;
    // The flag is put back however the animation ends, so that controls do
    // not keep skipping their painting after a failure.
    TFlagScope animating(InAnimationProcess, true);
    if (!ow)
        PrepareForAnimation(Ctrl);
    TControlAnimation anim;
    anim.Dst.reset(PaintOffScreen(Ctrl));
    kvDstBmp = anim.Dst.get();
    HWND cover = anim.Cover->Handle();
    CutCoverCorners(Ctrl, cover);
    {
        WindowDC dc(cover);
        CrossFade(anim.Src.get(), anim.Dst.get(), AnimSteps(Time), dc, RefreshMagnifier);
    }
    InAnimationProcess = false;
    ::SendMessageW(Ctrl->Handle(), WM_SETREDRAW, 1, 0);
    // Older systems draw the control again on WM_SETREDRAW themselves.
    if (!OldWindows())
        ::RedrawWindow(Ctrl->Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const bool layeredForm =
        dynamic_cast<TCustomForm*>(Ctrl) && (::GetWindowLongW(Ctrl->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    if (!layeredForm)
        ::SetWindowPos(cover, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE);
}
