// The window messages of a skinned form: the dispatch of the skinned state
// and its short handlers (painting, clicks and system commands have topic
// files of their own).
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/wrappers/sScrollBox.h"

namespace {

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

bool Zoomed(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsZoomed(Form->Handle());
}

TsSkinableMenus* MenusOf(TsSkinManager* Manager)
{
    return Manager ? dynamic_cast<TsSkinableMenus*>(Manager->SkinableMenus()) : nullptr;
}

// A windowed control held in a message's parameter, when it is one.
TWinControl* WinControlOf(WPARAM WParam)
{
    return dynamic_cast<TWinControl*>(reinterpret_cast<TObject*>(WParam));
}

} // namespace

void TsSkinProvider::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CREATE: WMCreate(Message); return;
    case WM_MOVE: KillAnimations(); break;
    case WM_SIZE: WMSize(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_SETREDRAW: WMSetRedraw(Message); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SYSCOLORCHANGE: OldWndProc(Message); UpdateMenu(); return;
    case WM_SHOWWINDOW: WMShowWindow(Message); return;
    case WM_SETTINGCHANGE: BackgroundChanged(); FreeAndNil(TitleBG); break;
    case WM_CHILDACTIVATE: WMChildActivate(Message); return;
    case WM_GETMINMAXINFO: KV_WMGetMinMaxInfo(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_NOTIFY:
        OldWndProc(Message);
        if (Message.LParam && reinterpret_cast<NMHDR*>(Message.LParam)->code == UINT(TCN_SELCHANGE) && Adapter)
            AddAllItems(nullptr);
        return;
    case WM_CONTEXTMENU:
        if (Form->PopupMenu() && MenusOf(Manager()))
            MenusOf(Manager())->HookPopupMenu(Form->PopupMenu(), true);
        break;
    case WM_SETICON: OldWndProc(Message); UpdateSkinCaption(this); return;
    case WM_NCCREATE:
        OldWndProc(Message);
        if (Form->FormStyle() != fsMDIChild)
            PrepareForm();
        return;
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_NCACTIVATE: WMNCActivate(Message); return;
    case 0x93: case WM_ENTERIDLE: case CM_INVALIDATE: case 0xB04C: case 0xBC4D: Message.Result = 0; return;
    case WM_PRINTCLIENT: case CM_RECREATEWND: return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); return;
    case WM_NCLBUTTONUP: WMNCLButtonUp(Message, BorderWindowCode(Message)); return;
    case WM_LBUTTONUP: WMNCLButtonUp(Message, ReleaseHitCode(Message)); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); return;
    case WM_NCRBUTTONDOWN:
        if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU)
            return;
        break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(Message); return;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    case WM_INITMENUPOPUP: WMInitMenuPopup(Message); return;
    case WM_MOUSEMOVE: WMMouseMove(Message); return;
    case WM_PARENTNOTIFY: WMParentNotify(Message); return;
    case WM_ENTERMENULOOP: WMEnterMenuLoop(Message); return;
    case WM_EXITMENULOOP: WMExitMenuLoop(Message); return;
    case WM_SIZING: OldWndProc(Message); if (BorderForm) UpdateExBordersPos(false, 255); return;
    case WM_MDIDESTROY: case WM_MDIACTIVATE: WMMDIActivate(Message); return;
    case WM_EXITSIZEMOVE: WMExitSizeMove(Message); return;
    case WM_MOUSELEAVE: case WM_NCMOUSELEAVE: case CM_MOUSELEAVE: WMMouseLeave(Message); return;
    case 0x313: DropSysMenu(kvMousePos().x, kvMousePos().y); return;
    case WM_PRINT: WMPrint(Message); return;
    case CM_ACTIVATE: OldWndProc(Message); if (BorderForm) UpdateExBordersPos(false, 255); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_ENABLEDCHANGED:
        OldWndProc(Message);
        if (FDrawNonClientArea) {
            BackgroundChanged();
            ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
        }
        return;
    case CM_COLORCHANGED:
        if (FCommonData->CustomColor() && !Form->ControlState().Contains(csCreating))
            BackgroundChanged();
        break;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MENUCHANGED: CMMenuChanged(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_CONTROLLISTCHANGE: CMControlListChange(Message); return;
    case CM_FLOAT: CMFloat(Message); return;
    case CM_MOUSEWHEEL: OldWndProc(Message); KV_CMMouseWheel(Message); return;
    default: break;
    }
    OldWndProc(Message);
}

void TsSkinProvider::WMCreate(TMessage& Message)
{
    FreeAndNil(TitleBG);
    const bool mdiChild = Form->FormStyle() == fsMDIChild;
    if (mdiChild && !MDISkinProvider && Application->MainForm() && Application->MainForm()->HandleAllocated())
        AddSupportedForm(Application->MainForm()->Handle(), nullptr);
    // The MDI support decides when a child comes up maximised.
    MDICreating = false;
    OldWndProc(Message);
    if (!mdiChild)
        PrepareForm();
}

void TsSkinProvider::WMSetRedraw(TMessage& Message)
{
    if (Message.WParam == 1)
        LockCount = std::max(LockCount - 1, 0);
    else
        ++LockCount;
    OldWndProc(Message);
}

void TsSkinProvider::WMShowWindow(TMessage& Message)
{
    const bool mdiChild = Form->FormStyle() == fsMDIChild;
    if (!mdiChild) {
        const LONG ex = ::GetWindowLongW(Form->Handle(), GWL_EXSTYLE);
        if (Message.WParam == 1 && AeroIsEnabled() && !InAnimationProcess && !(ex & WS_EX_LAYERED))
            ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_INVALIDATE);
        if (Message.LParam == 1)
            ShowAction = Iconic(Form) ? saMinimize : Zoomed(Form) ? saMaximize : saRestore;
    }
    OldWndProc(Message);
    if (mdiChild && Zoomed(Form) && Alive(MDISkinProvider))
        MDISkinProvider->RepaintMenu();
    // MDI children are made with a parent: the hook takes none of them.
    if (Form->FormStyle() == fsMDIForm)
        SkinMDIChildren();
    if (Form->Parent() && !mdiChild) {
        FCommonData->CtrlSkinState &= ~CSS_NOCACHE;
        BackgroundChanged();
    }
}

void TsSkinProvider::SkinMDIChildren()
{
    for (int i = 0; i < Form->MDIChildCount(); ++i) {
        TForm* child = Form->MDIChildren(i);
        if (child && child->HandleAllocated() && !GetBoolMsg(child->Handle(), SMC_IS_SKINNED))
            AddSupportedForm(child->Handle(), nullptr);
    }
}

void TsSkinProvider::WMMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    TsSkinableMenus* menus = MenusOf(Manager());
    if (Form->FormStyle() != fsMDIChild && Form->Menu() && menus && mis && mis->CtlType == ODT_MENU)
        if (TMenuItem* item = Form->Menu()->FindItem(mis->itemID, fkCommand))
            menus->InitItem(item, true);
    OldWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanging(TMessage& Message)
{
    if (RgnChanging)
        return;
    auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
    if (pos && FScreenSnap && !Zoomed(Form))
        SnapPosition(*pos);
    OldWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanged(TMessage& Message)
{
    OldWndProc(Message);
    FSysExHeight = Zoomed(Form) && BorderForm && CaptionHeight(true) < CaptionHeight(false) + 4;
    const auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
    if (BorderForm && wp && !(wp->flags & (SWP_NOREDRAW | SWP_FRAMECHANGED)))
        UpdateExBordersPos(false, 255);
}

void TsSkinProvider::WMNCHitTest(TMessage& Message)
{
    if (CaptionHeight(true) == 0 || !FDrawNonClientArea) {
        OldWndProc(Message);
        return;
    }
    Message.Result = HTProcess(Message);
    switch (Message.Result) {
    case HTNOWHERE: case HTCLIENT: case HTCAPTION: case HTMENU:
        OldWndProc(Message);
        SetHotHT(0, true);
        break;
    default:
        if (FResizeMode == rmBorder && nDirection == 0 && Message.Result >= HTLEFT && Message.Result <= HTBOTTOMRIGHT)
            nDirection = int(Message.Result);
        break;
    }
}

void TsSkinProvider::WMNCPaint(TMessage& Message)
{
    if ((FCommonData->CtrlSkinState & (CSS_INUPDATE | CSS_MENUOWED)) ||
        (Form->Menu() && !Form->Menu()->Items()->HandleAllocated()))
        return;
    if (!FDrawNonClientArea || (InAnimationProcess && Form->FormStyle() == fsMDIChild)) {
        OldWndProc(Message);
        return;
    }
    if (Iconic(Form))
        BackgroundChanged();
    if (fAnimating || !Form->Showing() || ComponentState().Contains(csLoading) ||
        Form->ControlState().Contains(csDestroyingHandle) || !SystemMenu)
        return;
    if (!Adapter)
        AdapterCreate();
    if (!FCommonData->FCacheBmp)
        InitExBorders(Manager()->ExtendedBorders());
    KV_WMNCPaint(Message);
    Message.Result = 0;
}

void TsSkinProvider::WMNCRButtonUp(TMessage& Message)
{
    if (!HaveBorder(this)) {
        OldWndProc(Message);
        return;
    }
    const int code = BorderForm && int(Message.WParam) == -1 ? BorderWindowCode(Message) : HTProcess(Message);
    if (code == HTCAPTION || code == HTSYSMENU) {
        SetHotHT(0, true);
        DropSysMenu(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
}

void TsSkinProvider::WMInitMenuPopup(TMessage& Message)
{
    if (HIWORD(Message.LParam))
        ::EnableMenuItem(reinterpret_cast<HMENU>(Message.WParam), SC_SIZE, MF_GRAYED);
    else
        kvCanHookMenu = false;
    OldWndProc(Message);
}

void TsSkinProvider::WMMouseMove(TMessage& Message)
{
    OldWndProc(Message);
    if (!Alive(this) || FormGoing())
        return;
    if (!ComponentState().Contains(csDesigning) && DefaultManager)
        DefaultManager->SetActiveControl(nullptr);
    if (FResizeMode == rmBorder && (bInProcess || bCapture)) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        ::ClientToScreen(Form->Handle(), &p);
        TrackOutline(TPoint(p.x, p.y));
    }
}

void TsSkinProvider::WMParentNotify(TMessage& Message)
{
    const WORD event = LOWORD(Message.WParam);
    if (ComponentState().Contains(csLoading) || Form->ComponentState().Contains(csLoading) ||
        (event != WM_CREATE && event != WM_DESTROY)) {
        OldWndProc(Message);
        return;
    }
    OldWndProc(Message);
    if (event == WM_CREATE && Adapter)
        AddAllItems(nullptr);
    TMessage m{SM_KORVEXCMD, MakeKorvexWParam(SMC_CTRL_STATE), 1, 0};
    KorvexBroadCast(Form, m);
}

void TsSkinProvider::WMMDIActivate(TMessage& Message)
{
    OldWndProc(Message);
    if (!Alive(this))
        return;
    if (Form->FormStyle() == fsMDIChild && !Zoomed(Form) && Alive(MDISkinProvider) &&
        !MDISkinProvider->FDestroying) {
        // Another child's menu may merge into the main form's menu line.
        MenusInitialized = false;
        MDISkinProvider->MenuChanged = true;
        MDISkinProvider->BackgroundChanged();
        MDISkinProvider->FLinesCount = -1;
        if (MDISkinProvider->Form && MDISkinProvider->Form->HandleAllocated())
            ::SendMessageW(MDISkinProvider->Form->Handle(), WM_NCPAINT, 0, 0);
    }
    MaxChildProvider = this;
}

void TsSkinProvider::WMChildActivate(TMessage& Message)
{
    OldWndProc(Message);
    if (!Alive(this))
        return;
    UpdateMenu();
    if (!Alive(MDISkinProvider) || !MDISkinProvider->Form)
        return;
    auto* support = dynamic_cast<TsMDIForm*>(MDISkinProvider->MDIForm);
    TForm* active = MDISkinProvider->Form->ActiveMDIChild();
    if (support && active && active->HandleAllocated() && ::IsZoomed(active->Handle()))
        support->UpdateMDIIconItem();
}

void TsSkinProvider::WMExitSizeMove(TMessage& Message)
{
    OldWndProc(Message);
    if (!BorderForm)
        return;
    if (kvSupportedList)
        for (TkvProvider* entry : *kvSupportedList)
            if (entry && entry->sp && entry->sp->Form && entry->sp->Form->HandleAllocated())
                SendAMessage(entry->sp->Form->Handle(), SMC_REPAINT_NOW);
    if (Form->FormState().Contains(fsModal))
        UpdateExBordersPos(false, 255);
}

void TsSkinProvider::WMMouseLeave(TMessage& Message)
{
    SetHotHT(0, true);
    if (DefaultManager && DefaultManager->ActiveControl())
        DefaultManager->SetActiveControl(nullptr);
    OldWndProc(Message);
}

void TsSkinProvider::CMVisibleChanged(TMessage& Message)
{
    OldWndProc(Message);
    if (BorderForm)
        UpdateExBordersPos(Message.WParam == 1, 255);
    if (Message.WParam == 0) {
        if (FCommonData->FCacheBmp && !FormGoing())
            FCommonData->FCacheBmp->SetSize(0, 0);
        KillAnimations();
    } else if (Form->Parent()) {
        SetParentUpdated(Form);
    }
}

void TsSkinProvider::CMMouseEnter(TMessage& Message)
{
    OldWndProc(Message);
    // A speed button that still shows the mouse is told it left.
    auto* entered = reinterpret_cast<TControl*>(Message.LParam);
    for (int i = 0; i < Form->ControlCount(); ++i) {
        TControl* c = Form->Controls(i);
        if (c == entered || !InheritsFromClass(c, L"TsSpeedButton"))
            continue;
        if (TsCommonData* sd = SkinDataOf(c); sd && sd->FMouseAbove)
            c->Perform(CM_MOUSELEAVE, 0, 0);
    }
}

void TsSkinProvider::CMMenuChanged(TMessage& Message)
{
    if (Form->FormState().Contains(fsCreating) || !Form->Visible() || FInAnimation) {
        OldWndProc(Message);
        return;
    }
    if (FCommonData->CtrlSkinState & CSS_INUPDATE) {
        // Replayed by SMC_END_UPDATE.
        FCommonData->CtrlSkinState |= CSS_MENUOWED;
        return;
    }
    FLinesCount = -1;
    MenuChanged = true;
    BackgroundChanged();
    OldWndProc(Message);
}

void TsSkinProvider::CMControlListChange(TMessage& Message)
{
    OldWndProc(Message);
    // Only a control that joins the form is handed on; one that leaves it
    // is on its way out and must not be wrapped again.
    TWinControl* control = Message.LParam == 1 ? WinControlOf(Message.WParam) : nullptr;
    if (!control)
        return;
    AddNewItem(control);
    TMessage m{SM_KORVEXCMD, MakeKorvexWParam(SMC_CTRL_STATE), 1, 0};
    KorvexBroadCast(control, m);
    control->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_CTRL_STATE), 1);
}

void TsSkinProvider::CMFloat(TMessage& Message)
{
    OldWndProc(Message);
    FreeScrollWrapper();
    SendAMessage(Form->Handle(), SMC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager()));
}

namespace {

// The innermost skinned scroll box under a screen point, searched through
// the windowed, enabled controls that lie there.
TsScrollBox* ScrollBoxAtPoint(TWinControl* Control, const TPoint& ScreenPoint)
{
    TsScrollBox* found = nullptr;
    while (Control && Control->HandleAllocated()) {
        auto* w = dynamic_cast<TWinControl*>(Control->ControlAtPos(Control->ScreenToClient(ScreenPoint), false, true));
        if (!w)
            break;
        if (auto* box = dynamic_cast<TsScrollBox*>(w))
            found = box;
        Control = w;
    }
    return found;
}

} // namespace

void TsSkinProvider::KV_CMMouseWheel(TMessage& Message)
{
    // A turn no control took goes to the skinned scroll box under the
    // cursor, when that box asks for wheel turns.
    if (bInWheel || Message.Result != 0 || !Form)
        return;
    TFlagScope guard(bInWheel, true);
    const auto& wheel = reinterpret_cast<const TCMMouseWheel&>(Message);
    const TPoint pos(wheel.XPos, wheel.YPos);
    TsScrollBox* box = ScrollBoxAtPoint(Form, pos);
    if (box && box->AutoMouseWheel())
        Message.Result = box->MouseWheel(TShiftState::FromOrd(wheel.ShiftState), wheel.WheelDelta, pos) ? 1 : 0;
}
