// The frame every skinned control shares: window-procedure order, cache
// protocol, mouse, focus, fades and hints (contract in FRAME.md).
#include "skin/controls/sCtrlFrame.h"

#include "classlib/controls/Forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"

// ---------------------------------------------------------------------------
// Hints.
void TsHintHold::Hold()
{
    if (ShowHintStored || !Application)
        return;
    AppShowHint = Application->ShowHint();
    Application->SetShowHint(false);
    ShowHintStored = true;
    FHolding = true;
}

void TsHintHold::Release()
{
    if (!FHolding)
        return;
    FHolding = false;
    if (!ShowHintStored)
        return;
    ShowHintStored = false;
    if (Application)
        Application->SetShowHint(AppShowHint);
}

void TsHintHold::ReleaseAny()
{
    if (FHolding) {
        Release();
        return;
    }
    if (!ShowHintStored)
        return;
    ShowHintStored = false;
    if (Application)
        Application->SetShowHint(AppShowHint);
}

// ---------------------------------------------------------------------------
// Shared pieces.
bool OwnManagerCommand(const TMessage& Message, TsCommonData* SkinData)
{
    return SkinData && reinterpret_cast<TsSkinManager*>(Message.LParam) == SkinData->GetSkinManager();
}

TCacheInfo ControlBackground(TControl* Control, TsCommonData* SkinData, bool PleaseDraw)
{
    TkvBGInfo info;
    TWinControl* parent = Control->Parent();
    if (PleaseDraw && SkinData->FCacheBmp) {
        info.PleaseDraw = true;
        info.DrawDC = SkinData->FCacheBmp->Canvas()->Handle();
        info.R = Control->BoundsRect();
    }
    if (!parent)
        return EmptyCI;
    const bool answered = GetBGInfo(&info, parent, PleaseDraw);
    if (PleaseDraw && !answered) {
        // The parent painted itself into the cache: the cache is the background.
        TCacheInfo ci;
        ci.Bmp = SkinData->FCacheBmp;
        ci.X = -Control->Left();
        ci.Y = -Control->Top();
        ci.Ready = true;
        return ci;
    }
    return BGInfoToCI(&info);
}

void PaintDisabledLook(TControl* Control, TsCommonData* SkinData, TsDisabledKind Kind)
{
    if (!SkinData->FCacheBmp || Kind.Empty())
        return;
    TCacheInfo ci = GetParentCache(SkinData);
    BmpDisabledKind(SkinData->FCacheBmp, Kind, Control->Parent(), ci, TPoint{Control->Left(), Control->Top()});
}

bool HalfVisibleChanged(TControl* Control, TsCommonData* SkinData)
{
    TWinControl* parent = Control->Parent();
    bool rebuild = SkinData->HalfVisible;
    if (parent && parent->HandleAllocated() && GetBoolMsg(parent, SMC_GET_HALFVISIBLE))
        rebuild = true;
    if (parent) {
        const TRect pr = parent->ClientRect();
        const TRect b = Control->BoundsRect();
        SkinData->HalfVisible =
            !(b.left >= pr.left && b.top >= pr.top && b.right <= pr.right && b.bottom <= pr.bottom);
    }
    return rebuild;
}

// ---------------------------------------------------------------------------
// TsCtrlFrame
TsCtrlFrame::TsCtrlFrame(TsFrameHost& Host) : FHost(Host)
{
}

TsCtrlFrame::~TsCtrlFrame()
{
    StopFading(FadeTimer, nullptr);
}

bool TsCtrlFrame::Designing()
{
    return Ctrl()->ComponentState().Contains(csDesigning);
}

bool TsCtrlFrame::Destroying()
{
    return Ctrl()->ComponentState().Contains(csDestroying);
}

bool TsCtrlFrame::Ready()
{
    TsCommonData* d = Data();
    return d && ControlIsReady(Ctrl()) && d->Skinned(true);
}

void TsCtrlFrame::StopFade()
{
    StopFading(FadeTimer, Data());
}

void TsCtrlFrame::ChangePaint(bool Clicked, TkvAnimatEvent Event)
{
    TsCommonData* d = Data();
    if (!d)
        return;
    DoChangePaint(FadeTimer, d, Clicked, EventEnabled(Event, AnimatEvents, d->GetSkinManager()), fdUp);
}

bool TsCtrlFrame::Command(TMessage& Message)
{
    TsCommonData* d = Data();
    if (!d)
        return false;
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!OwnManagerCommand(Message, d))
            return false;
        StopFade();
        CommonWndProc(Message, d);
        FHost.SkinSetAdapt();
        return true;
    case SMC_SKIN_REMOVE:
        if (!OwnManagerCommand(Message, d) || Destroying())
            return false;
        StopFade();
        CommonWndProc(Message, d);
        FHost.SkinRemovedAdapt();
        Ctrl()->Repaint();
        return true;
    case SMC_SKIN_REFRESH:
        if (!OwnManagerCommand(Message, d))
            return false;
        StopFade();
        CommonWndProc(Message, d);
        if (!kvPrintDC)
            Ctrl()->Repaint();
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_STOP_FADING:
        StopFade();
        return true;
    case SMC_PREPARE_CACHE:
        FHost.PrepareCache();
        return false;
    case SMC_FADE_FRAME:
        FHost.FadeFrameArrived();
        return false;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    }
    return false;
}

void TsCtrlFrame::NotSkinned(TMessage& Message)
{
    // The class library calls OnMouseEnter and OnMouseLeave itself.
    FHost.InheritedWndProc(Message);
}

void TsCtrlFrame::MoveRepaint()
{
    TsCommonData* d = Data();
    TsSkinManager* m = d->GetSkinManager();
    if (!m || !m->IsValidSkinIndex(d->SkinIndex))
        return;
    const TsGeneralData& g = m->gd[d->SkinIndex];
    if (g.Transparency > 0 || (g.HotTransparency > 0 && ControlIsActive(d))) {
        d->BGChanged = true;
        Ctrl()->Repaint();
    }
}

void TsCtrlFrame::MouseEnterLeave(TMessage& Message)
{
    TsCommonData* d = Data();
    if (!Ctrl()->Enabled() || Designing())
        return;
    if (Message.Msg == CM_MOUSEENTER) {
        if (d->FMouseAbove || MouseForbidden)
            return;
        d->FMouseAbove = true;
        d->BGChanged = false;
        ChangePaint(false, aeMouseEnter);
    } else {
        d->FMouseAbove = false;
        d->BGChanged = false;
        ChangePaint(false, aeMouseLeave);
    }
}

void TsCtrlFrame::FocusGained(TMessage& Message)
{
    static bool nested = false;
    TsFocusNesting scope(nested);
    TWinControl* c = Ctrl();
    if (scope.Outermost() && c->HandleAllocated())
        ::SendMessageW(c->Handle(), WM_SETREDRAW, 0, 0);
    FHost.InheritedWndProc(Message);
    if (scope.Outermost() && c->HandleAllocated())
        ::SendMessageW(c->Handle(), WM_SETREDRAW, 1, 0);
    if (!Data())
        return;
    if (FadeTimer)
        FadeTimer->Change();
    else
        Data()->Invalidate();
}

void TsCtrlFrame::FocusLost(TMessage& Message)
{
    static bool nested = false;
    TsFocusNesting scope(nested);
    StopFade();
    TWinControl* c = Ctrl();
    if (scope.Outermost() && c->HandleAllocated())
        ::SendMessageW(c->Handle(), WM_SETREDRAW, 0, 0);
    FHost.InheritedWndProc(Message);
    if (scope.Outermost() && c->HandleAllocated())
        ::SendMessageW(c->Handle(), WM_SETREDRAW, 1, 0);
    if (TsCommonData* d = Data()) {
        d->FFocused = false;
        d->Invalidate();
    }
}

bool TsCtrlFrame::CommonEntries(TMessage& Message)
{
    TsCommonData* d = Data();
    TWinControl* c = Ctrl();
    if (Message.Msg == SM_KORVEXCMD) {
        if (Message.WParamHi == SMC_PARENT_UPDATED) {
            if (d->GetUpdating()) {
                d->SetUpdating(false);
                c->Repaint();
            }
            return true;
        }
        if (Message.WParamHi == SMC_SET_URGENT) {
            if (d->UrgentPainting)
                FHost.PrepareCache();
            CommonWndProc(Message, d);
            return true;
        }
        return false;
    }
    switch (Message.Msg) {
    case WM_PAINT:
        if (!FHost.OwnPaintHandler(reinterpret_cast<HDC>(Message.WParam)))
            PaintHandler(reinterpret_cast<HDC>(Message.WParam));
        if (Designing())
            FHost.InheritedWndProc(Message);
        return true;
    case WM_PRINT:
        if (!FHost.OwnPaintHandler(reinterpret_cast<HDC>(Message.WParam)))
            PaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return true;
    case WM_ENABLE:
        return true;
    case WM_MOVE:
        MoveRepaint();
        return false;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        MouseEnterLeave(Message);
        return false;
    case WM_SETFOCUS:
    case CM_ENTER:
    case WM_KILLFOCUS:
    case CM_EXIT:
        if (Designing() || !c->Visible() || !c->Enabled() || Destroying())
            return false;
        if (!FHost.CommonWndProcFirst() && CommonWndProc(Message, d))
            return true;
        if (Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER)
            FocusGained(Message);
        else
            FocusLost(Message);
        return true;
    }
    return false;
}

void TsCtrlFrame::AfterSteps(TMessage& Message)
{
    TsCommonData* d = Data();
    TWinControl* c = Ctrl();
    if (!d)
        return;
    const bool shown = c->Visible() || Designing();
    switch (Message.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED:
        if (Destroying() || !shown)
            break;
        d->SetUpdating(false);
        d->Invalidate();
        break;
    case CM_VISIBLECHANGED:
        if (Destroying())
            break;
        d->BGChanged = true;
        d->SetUpdating(false);
        if (shown)
            c->Repaint();
        break;
    }
    FHost.AfterInherited(Message);
}

void TsCtrlFrame::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_KILLFOCUS && Destroying() && FHost.IgnoresKillFocusWhileDestroying())
        return;
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!Ready()) {
        NotSkinned(Message);
        return;
    }
    TsCommonData* d = Data();
    bool commonRan = false;
    if (FHost.CommonWndProcFirst()) {
        commonRan = true;
        if (CommonWndProc(Message, d))
            return;
    }
    if (FHost.OwnSkinnedMessage(Message))
        return;
    if (CommonEntries(Message))
        return;
    // The control's handlers may have freed the skin data (a destroying control).
    if (!commonRan && Data() && CommonWndProc(Message, Data()))
        return;
    FHost.InheritedWndProc(Message);
    AfterSteps(Message);
}

TCacheInfo TsCtrlFrame::BeginCache(bool PleaseDraw)
{
    TsCommonData* d = Data();
    InitCacheBmp(d);
    return ControlBackground(Ctrl(), d, PleaseDraw);
}

void TsCtrlFrame::EndCache()
{
    TsCommonData* d = Data();
    TWinControl* c = Ctrl();
    if (!c->Enabled() || FHost.ActionDisabled())
        PaintDisabledLook(c, d, DisabledKind);
    if (OnPaint)
        OnPaint(c, d->FCacheBmp);
    d->BGChanged = false;
}

void TsCtrlFrame::PaintHandler(HDC DC)
{
    TsCommonData* d = Data();
    TWinControl* c = Ctrl();
    if (InAnimationProcess && (!DC || DC != kvPrintDC))
        return;
    HWND wnd = c->Handle();
    PAINTSTRUCT ps{};
    const bool bracket = !InAnimationProcess;
    if (bracket)
        ::BeginPaint(wnd, &ps);
    HDC dc = DC;
    const bool own = !dc;
    if (own)
        dc = ::GetDC(wnd);
    d->FUpdating = d->GetUpdating();
    if (!d->FUpdating && !(FadeTimer && FadeTimer->Enabled())) {
        d->BGChanged = HalfVisibleChanged(c, d) || d->BGChanged;
        if (d->BGChanged && !d->UrgentPainting)
            FHost.PrepareCache();
        UpdateCorners(d, 0);
        if (d->FCacheBmp) {
            const int saved = ::SaveDC(dc);
            ::BitBlt(dc, 0, 0, c->Width(), c->Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
            ::RestoreDC(dc, saved);
        }
    }
    if (own)
        ::ReleaseDC(wnd, dc);
    if (bracket)
        ::EndPaint(wnd, &ps);
}
