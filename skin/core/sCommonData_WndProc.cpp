// The first step of every skinned control's window procedure: it keeps the
// control's skin state in step with what happens to the window, and passes
// the command message to CommonMessage.
#include "classlib/controls/Menus.h"
#include "classlib/controls/Messages.h"
#include "classlib/controls/Themes.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"

namespace {

TWinControl* WindowedOwner(TsCommonData* SkinData)
{
    return dynamic_cast<TWinControl*>(SkinData->FOwnerControl);
}

void HideOwnGlow(TsCommonData* SkinData)
{
    if (SkinData->GlowID != -1)
        HideGlow(SkinData->GlowID);
    SkinData->GlowID = -1;
}

// Invalidates the window with its frame (the edit-like controls draw
// their skinned frame there); Now paints it at once.
void RedrawWithFrame(TWinControl* Owner, bool Now)
{
    if (Owner && Owner->HandleAllocated())
        RedrawWindow(Owner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | (Now ? RDW_UPDATENOW : 0));
}

bool Designing(TsCommonData* SkinData)
{
    auto* c = dynamic_cast<TComponent*>(SkinData->FOwnerObject);
    return c && c->ComponentState().Contains(csDesigning);
}

// Buttons show their glow themselves.
bool ShowsOwnGlow(int COC)
{
    return sCanNotBeHot.Contains(COC) || (COC >= 92 && COC <= 94);
}

void RepaintIfMovedNow(TControl* Control)
{
    Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_REPAINT_IF_MOVED, 1), 0);
}

void OnMove(TsCommonData* SkinData)
{
    if (!SkinData->RepaintIfMoved())
        return;
    SkinData->BGChanged = true;
    if (SkinData->FOwnerControl)
        RepaintIfMovedNow(SkinData->FOwnerControl);
    HideOwnGlow(SkinData);
}

// Children of a gradient stand on another part of it after a resize,
// unless they move with the right or bottom edge.
void OnSize(TsCommonData* SkinData)
{
    if (!SkinData->Skinned())
        return;
    SkinData->BGChanged = true;
    TWinControl* w = WindowedOwner(SkinData);
    if (w && SkinData->GetSkinManager()->gd[SkinData->SkinIndex].GradientPercent >= 1) {
        for (int i = 0; i < w->ControlCount(); ++i) {
            TControl* child = w->Controls(i);
            TAnchors a = child->Anchors();
            if (!child->ComponentState().Contains(csDestroying) && !a.Contains(akRight) && !a.Contains(akBottom))
                RepaintIfMovedNow(child);
        }
    }
    HideOwnGlow(SkinData);
}

void OnFocus(TsCommonData* SkinData, bool Focused)
{
    TWinControl* w = WindowedOwner(SkinData);
    if (!w || !w->CanFocus() || !w->TabStop())
        return;
    SkinData->BGChanged = true;
    SkinData->FFocused = Focused;
    if (sEditCtrls.Contains(SkinData->COC) && (Focused || w->Visible()))
        RedrawWithFrame(w, false);
}

void OnEnabledChanged(TsCommonData* SkinData)
{
    SkinData->FMouseAbove = false;
    SkinData->FFocused = false;
    TControl* c = SkinData->FOwnerControl;
    if (c && !c->Enabled())
        HideOwnGlow(SkinData);
}

void OnContextMenu(TsCommonData* SkinData)
{
    TControl* c = SkinData->FOwnerControl;
    TsSkinManager* m = SkinData->GetSkinManager();
    if (c && c->PopupMenu() && m && m->SkinableMenus())
        m->SkinableMenus()->HookPopupMenu(c->PopupMenu(), m->Active());
}

bool OnUpdateUIState(TsCommonData* SkinData)
{
    if (SkinData->Skinned())
        return true;
    TWinControl* w = WindowedOwner(SkinData);
    if (w && w->HandleAllocated() && ThemesEnabled())
        SetWindowTheme(w->Handle(), nullptr, nullptr);
    return false;
}

void OnParentNotify(TsCommonData* SkinData, const TMessage& Message)
{
    TWinControl* w = WindowedOwner(SkinData);
    if (w && LOWORD(Message.WParam) == WM_CREATE)
        AddToAdapter(w);
}

void OnVisibleChanged(TsCommonData* SkinData, const TMessage& Message)
{
    if (!SkinData->FCacheBmp)
        return;
    if (Message.WParam != 0) {
        SkinData->FUpdating = false;
        SkinData->BGChanged = true;
    } else {
        SkinData->FCacheBmp->SetSize(0, 0);
    }
}

// Only one speed button of a container is hot at a time: the others the
// mouse left without telling are told now.
void LeaveOtherSpeedButtons(TWinControl* Owner, TControl* Entered)
{
    for (int i = 0; i < Owner->ControlCount(); ++i) {
        TControl* child = Owner->Controls(i);
        if (child == Owner || child == Entered)
            continue;
        TsCommonData* sd = SkinDataOf(child);
        if (sd && sd->COC == 92 && sd->FMouseAbove)
            child->Perform(CM_MOUSELEAVE, 0, 0);
    }
}

void OnMouseEnter(TsCommonData* SkinData, const TMessage& Message)
{
    if (Designing(SkinData))
        return;
    bool mouseSees = !sForbidMouse.Contains(SkinData->COC);
    TWinControl* w = WindowedOwner(SkinData);
    if (!w || !DefaultManager) {
        if (mouseSees)
            SkinData->FMouseAbove = true;
        return;
    }
    LeaveOtherSpeedButtons(w, reinterpret_cast<TControl*>(Message.LParam));
    if (mouseSees)
        SkinData->FMouseAbove = true;
    if (w->HandleAllocated())
        DefaultManager->SetActiveControl(w->Handle());
    if (!ShowsOwnGlow(SkinData->COC))
        ShowGlowingIfNeeded(SkinData);
    if (sEditCtrls.Contains(SkinData->COC)) {
        SkinData->BGChanged = true;
        RedrawWithFrame(w, true);
    }
}

void OnMouseLeave(TsCommonData* SkinData)
{
    if (Designing(SkinData))
        return;
    if (!sForbidMouse.Contains(SkinData->COC))
        SkinData->FMouseAbove = false;
    if (!ShowsOwnGlow(SkinData->COC)) {
        ClearGlows();
        SkinData->GlowID = -1;
    }
    TControl* c = SkinData->FOwnerControl;
    if (c && c->Visible() && sEditCtrls.Contains(SkinData->COC)) {
        SkinData->BGChanged = true;
        RedrawWithFrame(WindowedOwner(SkinData), true);
    }
}

} // namespace

bool CommonWndProc(TMessage& Message, TsCommonData* SkinData)
{
    if (!SkinData)
        return false;
    if (Message.Msg == SM_KORVEXCMD)
        return CommonMessage(Message, SkinData);
    switch (Message.Msg) {
    case WM_MOVE:
        OnMove(SkinData);
        break;
    case WM_SIZE:
        OnSize(SkinData);
        break;
    case WM_SETFOCUS:
        OnFocus(SkinData, true);
        break;
    case WM_KILLFOCUS:
        OnFocus(SkinData, false);
        break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        OnEnabledChanged(SkinData);
        break;
    case WM_CONTEXTMENU:
        OnContextMenu(SkinData);
        break;
    case WM_UPDATEUISTATE:
        return OnUpdateUIState(SkinData);
    case WM_PARENTNOTIFY:
        OnParentNotify(SkinData, Message);
        break;
    case CM_VISIBLECHANGED:
        OnVisibleChanged(SkinData, Message);
        break;
    case CM_MOUSEENTER:
        OnMouseEnter(SkinData, Message);
        break;
    case CM_MOUSELEAVE:
        OnMouseLeave(SkinData);
        break;
    default:
        break;
    }
    return false;
}
