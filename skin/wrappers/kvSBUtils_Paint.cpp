// What the painting wrappers of simple controls share.
#include "skin/wrappers/kvSBUtils_Paint.h"

#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"

bool WrapperSkinned(const TkvMainWnd* Wnd, bool NeedSection)
{
    TsSkinManager* m = Wnd && Wnd->SkinData ? Wnd->SkinData->GetSkinManager() : nullptr;
    return m && m->Active() && (!NeedSection || m->IsValidSkinIndex(Wnd->SkinData->SkinIndex));
}

void AssignWndFont(TCanvas* Canvas, HWND Wnd)
{
    auto font = reinterpret_cast<HFONT>(::SendMessageW(Wnd, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTW lf{};
    if (::GetObjectW(font, sizeof(lf), &lf) != sizeof(lf))
        return;
    // A copy: the canvas font deletes the handle it holds.
    if (HFONT copy = ::CreateFontIndirectW(&lf))
        Canvas->Font()->SetHandle(copy);
}

void AssignControlFont(TCanvas* Canvas, TsCommonData* SkinData, HWND Wnd)
{
    if (SkinData && SkinData->FOwnerControl)
        Canvas->Font()->Assign(SkinData->FOwnerControl->Font());
    else
        AssignWndFont(Canvas, Wnd);
}

// ---------------------------------------------------------------------------
TkvTargetDC::TkvTargetDC(HWND Wnd, HDC Given, bool Frame) : FWnd(Wnd), FDC(Given), FOwn(!Given)
{
    if (FOwn)
        FDC = Frame ? ::GetWindowDC(Wnd) : ::GetDC(Wnd);
}

TkvTargetDC::~TkvTargetDC()
{
    if (FOwn && FDC)
        ::ReleaseDC(FWnd, FDC);
}

TkvPaintScope::TkvPaintScope(HWND Wnd, HDC Given) : FWnd(Wnd)
{
    if (!Given && Wnd)
        FBegun = ::BeginPaint(Wnd, &FPS) != nullptr;
}

TkvPaintScope::~TkvPaintScope()
{
    if (FBegun)
        ::EndPaint(FWnd, &FPS);
}

// ---------------------------------------------------------------------------
void ApplyDisabledBlend(TBitmap* Cache, const TCacheInfo& CI, const TPoint& Pos)
{
    if (!Cache || Cache->Empty())
        return;
    if (CI.Ready && CI.Bmp) {
        const int x = Pos.x + CI.X, y = Pos.y + CI.Y;
        // No key colour: every pixel is mixed.
        TsColor noKey;
        noKey.C = clFuchsia;
        noKey.A = 0xFF;
        BlendTransRectangle(Cache, 0, 0, CI.Bmp, TRect(x, y, x + Cache->Width() - 1, y + Cache->Height() - 1), 0.4,
                            noKey);
        return;
    }
    TsColor fill;
    fill.C = ColorToRGB(CI.FillColor);
    BlendTransBitmap(Cache, 0.4, fill, sFuchsia);
}

bool RecheckUpdating(TsCommonData* SkinData)
{
    SkinData->SetUpdating(SkinData->GetUpdating());
    return SkinData->FUpdating;
}

// ---------------------------------------------------------------------------
bool QuietRoot(TkvMainWnd* Wnd, TMessage& Message)
{
    const HWND h = Wnd->CtrlHandle;
    TkvAliveGuard guard(Wnd);
    // Redrawing switched on again sets WS_VISIBLE: a hidden window is left
    // as it is, or it would come back.
    const bool visible = (::GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        ::SendMessageW(h, WM_SETREDRAW, 0, 0);
    if (guard.Alive())
        Wnd->TkvMainWnd::kvWndProc(Message);
    if (visible && ::IsWindow(h))
        ::SendMessageW(h, WM_SETREDRAW, 1, 0);
    return guard.Alive() && !Wnd->Destroyed;
}

void RepaintNow(TkvMainWnd* Wnd)
{
    if (Wnd->SkinData)
        Wnd->SkinData->BGChanged = true;
    ::SendMessageW(Wnd->CtrlHandle, WM_PAINT, 0, 0);
}

void RedrawWnd(HWND Wnd)
{
    ::RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CursorInside(HWND Wnd)
{
    TRect r;
    ::GetWindowRect(Wnd, &r);
    const TPoint p = kvMousePos();
    return ::PtInRect(&r, p) != 0;
}

void TrackActiveControl(HWND Wnd)
{
    TsSkinManager* m = DefaultManager;
    if (!m || m->ComponentState().Contains(csDesigning) || !::IsWindowEnabled(Wnd))
        return;
    const bool inside = CursorInside(Wnd);
    if (inside && m->ActiveControl() != Wnd)
        m->SetActiveControl(Wnd);
    else if (!inside && m->ActiveControl() == Wnd)
        m->SetActiveControl(nullptr);
}

HBRUSH KeptBrush(GdiObject<HBRUSH>& Brush, TColor& Kept, TColor Want)
{
    if (!Brush || Kept != Want) {
        Brush.Reset(::CreateSolidBrush(ColorToRGB(Want)));
        Kept = Want;
    }
    return Brush.Get();
}
