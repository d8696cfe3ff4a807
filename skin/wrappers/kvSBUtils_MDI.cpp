// The MDI client window's wrapper.
#include "skin/wrappers/kvSBUtils_MDI.h"

#include "skin/core/sConst.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/sSplitter.h"

namespace {

constexpr const wchar_t* s_MDIArea = L"MDIAREA";
// Sent up by a check box before it paints: the form answers for its client.
constexpr int SMC_CHECKBOX_PAINTING_FORWARD = 5;
constexpr UINT WM_KV_SCROLLBARS_CHANGED = 63;
// RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME
constexpr UINT RedrawAll = 1413;

bool HasMDIArea(TsCommonData* SkinData)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    return sm && sm->IsValidSkinIndex(sm->GetSkinIndex(s_MDIArea));
}

HDC DCOf(TBitmap* Bmp)
{
    return Bmp->Canvas()->Handle();
}

} // namespace

TkvMDIWnd::~TkvMDIWnd()
{
    MDISkinData = nullptr;
    SkinProvider = nullptr;
}

bool TkvMDIWnd::WallEnabled() const
{
    return MDISkinData && MDISkinData->Skinned() && DrawSkinnedMDIWall && DrawSkinnedMDIScrolls && SkinProvider;
}

bool TkvMDIWnd::MaximisedChild() const
{
    if (!FForm || FForm->FormStyle() != fsMDIForm)
        return false;
    auto* form = const_cast<TCustomForm*>(FForm);
    TForm* child = form->ActiveMDIChild();
    return child && child->HandleAllocated() && ::IsZoomed(child->Handle());
}

bool TkvMDIWnd::HasClientEdge() const
{
    return (::GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

TRect TkvMDIWnd::MDIClientRect() const
{
    RECT c{}, f{};
    ::GetWindowRect(CtrlHandle, &c);
    if (FForm && FForm->HandleAllocated())
        ::GetWindowRect(FForm->Handle(), &f);
    TRect r(c.left - f.left, c.top - f.top, c.right - f.left, c.bottom - f.top);
    if (SkinProvider && SkinProvider->HasBorderWindow()) {
        const TPoint o = SkinProvider->ImageOrigin();
        ::OffsetRect(&r, o.x, o.y);
    }
    return r;
}

void TkvMDIWnd::PaintMDIWall(HDC DC, bool NoEdge)
{
    if (!SkinProvider || SkinProvider->Animating())
        return;
    TsCommonData* fd = SkinProvider->FormSkinData();
    TRect r = MDIClientRect();
    RECT cr;
    ::GetClientRect(CtrlHandle, &cr);
    const TRect r2(0, 0, cr.right, cr.bottom);
    if (!IsCached(fd) && !HasMDIArea(fd)) {
        FillDC(DC, r2, SkinProvider->FormColor());
        return;
    }
    if (!fd->FCacheBmp || fd->BGChanged)
        SkinProvider->PaintAll();
    if (!fd->FCacheBmp)
        return;
    if (!NoEdge && HasClientEdge())
        ::OffsetRect(&r, 2, 2);
    ::BitBlt(DC, r2.left, r2.top, r2.Width(), r2.Height(), DCOf(fd->FCacheBmp), r.left, r.top, SRCCOPY);
}

void TkvMDIWnd::PaintMDIEdge(HDC DC)
{
    if (!MDISkinData || !MDISkinData->FCacheBmp || !SkinProvider)
        return;
    const TRect r = MDIClientRect();
    if (IsCached(SkinProvider->FormSkinData()) || HasMDIArea(MDISkinData)) {
        BitBltBorder(DC, 0, 0, r.Width(), r.Height(), DCOf(MDISkinData->FCacheBmp), r.left, r.top, 2);
        return;
    }
    const int w = HasClientEdge() ? 2 : 0;
    FillDCBorder(DC, TRect(0, 0, r.Width(), r.Height()), w, w, w, w, SkinProvider->FormColor());
}

void TkvMDIWnd::UpdateGraphControls()
{
    if (!FForm || !FForm->HandleAllocated() || !MaximisedChild())
        return;
    for (int i = 0; i < FForm->ControlCount(); ++i) {
        auto* splitter = dynamic_cast<TsSplitter*>(FForm->Controls(i));
        if (!splitter || !splitter->Visible())
            continue;
        TkvBGInfo info;
        info.PleaseDraw = true;
        info.R = splitter->BoundsRect();
        info.DrawDC = FForm->Canvas() ? FForm->Canvas()->Handle() : nullptr;
        ::SendMessageW(FForm->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&info));
    }
}

void TkvMDIWnd::kvWndProc(TMessage& Message)
{
    if (Destroyed) {
        TkvBaseWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_CHECKBOX_PAINTING_FORWARD) {
        if (FForm && FForm->HandleAllocated())
            Message.Result = ::SendMessageW(FForm->Handle(), SM_KORVEXCMD, Message.WParam, Message.LParam);
        return;
    }
    if (Message.Msg != SM_KORVEXCMD && HandleOwn(Message))
        return;
    TkvAliveGuard guard(this);
    TkvBaseWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed)
        AfterBase(Message);
}

// The messages the wrapper answers itself; false for the others.
bool TkvMDIWnd::HandleOwn(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (!SkinProvider || !SkinProvider->Animating())
            return false;
        // The animation shows the client: the paint is only taken as done,
        // or it would come back at once, for ever.
        ::ValidateRect(CtrlHandle, nullptr);
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND:
        if (!Message.WParam || !WallEnabled())
            return false;
        EraseBkgnd(Message);
        return true;
    case WM_STYLECHANGED:
        PassOn(Message);
        return true;
    case WM_NCPAINT:
        if (!WallEnabled())
            return false;
        NCPaint(Message);
        return true;
    case WM_MDITILE:
    case WM_MDICASCADE:
        Arranged(Message);
        return true;
    case WM_MDISETMENU: {
        TkvAliveGuard guard(this);
        PassOn(Message);
        if (guard.Alive() && SkinProvider)
            SkinProvider->MenuReplaced();
        return true;
    }
    case WM_PRINT:
        if (!Message.WParam || !WallEnabled())
            return false;
        Print(Message);
        return true;
    default:
        return false;
    }
}

void TkvMDIWnd::EraseBkgnd(TMessage& Message)
{
    Message.Result = 1;
    if (SkinProvider->Animating())
        return;
    if (MaximisedChild()) {
        UpdateGraphControls();
        return;
    }
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const int saved = ::SaveDC(dc);
    PaintMDIWall(dc, false);
    ::RestoreDC(dc, saved);
}

void TkvMDIWnd::NCPaint(TMessage& Message)
{
    Message.Result = 1;
    if (MaximisedChild() || SkinProvider->Animating())
        return;
    const HDC dc = ::GetWindowDC(CtrlHandle);
    PaintMDIEdge(dc);
    Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    ::ReleaseDC(CtrlHandle, dc);
}

void TkvMDIWnd::Arranged(TMessage& Message)
{
    TkvAliveGuard guard(this);
    PassOn(Message);
    if (!guard.Alive() || !SkinProvider)
        return;
    if (FForm && FForm->FormStyle() == fsMDIForm)
        if (TForm* child = FForm->ActiveMDIChild(); child && child->HandleAllocated()) {
            const LONG s = ::GetWindowLongW(child->Handle(), GWL_STYLE);
            ::SetWindowLongW(child->Handle(), GWL_STYLE, s & ~LONG(WS_SYSMENU));
        }
    SkinProvider->ChildrenArranged();
    ::InvalidateRect(CtrlHandle, nullptr, TRUE);
    if (FForm && FForm->HandleAllocated())
        ::RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void TkvMDIWnd::Print(TMessage& Message)
{
    Message.Result = 0;
    if (SkinProvider->HasBorderWindow() || MaximisedChild())
        return;
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const int saved = ::SaveDC(dc);
    PaintMDIWall(dc, true);
    Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    ::RestoreDC(dc, saved);
}

void TkvMDIWnd::AfterBase(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        if (Message.WParamHi == SMC_SCROLL_BEGIN) {
            ::SendMessageW(CtrlHandle, WM_SETREDRAW, FALSE, 0);
        } else if (Message.WParamHi == SMC_SCROLL_END) {
            ::SendMessageW(CtrlHandle, WM_SETREDRAW, TRUE, 0);
            if (LOWORD(Message.LParam) != SB_THUMBTRACK) {
                ::RedrawWindow(CtrlHandle, nullptr, nullptr, RedrawAll);
                UpdateScrolls(this, false);
                // A held arrow or page area keeps the mouse: its press
                // ends on the release, and its repeats come meanwhile.
                const bool pressed = kvScrollState.ActivePortion != -1 && kvScrollState.MouseWnd == CtrlHandle;
                if (!pressed && ::GetCapture() == CtrlHandle)
                    ::ReleaseCapture();
            }
        }
        return;
    }
    switch (Message.Msg) {
    case WM_KV_SCROLLBARS_CHANGED:
    case WM_PARENTNOTIFY: {
        const LONG s = ::GetWindowLongW(CtrlHandle, GWL_STYLE);
        if (sBarVert)
            sBarVert->fScrollVisible = (s & WS_VSCROLL) != 0;
        if (sBarHorz)
            sBarHorz->fScrollVisible = (s & WS_HSCROLL) != 0;
        UpdateScrolls(this, true);
        break;
    }
    case WM_MDIREFRESHMENU:
        if (SkinProvider)
            SkinProvider->MenuRefreshed();
        break;
    }
}
