// The provider's window procedure: the dispatch, the command sub-commands
// answered in every state, the unskinned path and the sub-commands of the
// skinned state.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinMenus.h"

namespace {

int SubCommand(const TMessage& Message)
{
    return HIWORD(Message.WParam);
}

bool ManagerLoading(const TsSkinManager* Manager)
{
    const TComponentState s = Manager->ComponentState();
    return s.Contains(csLoading) || s.Contains(csReading);
}

bool StartsProvider(UINT Msg)
{
    return Msg == WM_NCHITTEST || Msg == WM_NCPAINT || Msg == CM_VISIBLECHANGED;
}

} // namespace

void TsSkinProvider::NewWndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && ServeAlways(Message))
        return;
    // A run-time provider starts on the form's first non-client message.
    if (RTInit && StartsProvider(Message.Msg) && !FormGoing())
        StartRT();
    if (RTInit || FormGoing() || !FCommonData->Skinned(true)) {
        UnskinnedProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD)
        SkinnedCommand(Message);
    else
        SkinnedMessage(Message);
}

// Sub-commands answered whether or not the skin applies; True when the
// message is done.
bool TsSkinProvider::ServeAlways(TMessage& Message)
{
    switch (SubCommand(Message)) {
    case SMC_SKIN_SET:
        if (!FormGoing() && ManagerOf(Message.LParam) && !SystemMenu && !RTInit)
            PrepareForm();
        return false;
    case SMC_SKIN_REMOVE:
        SkinRemove(Message);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_END_UPDATE:
        if (FCommonData->CtrlSkinState & CSS_MENUOWED) {
            FCommonData->CtrlSkinState &= ~CSS_MENUOWED;
            if (Form)
                Form->Perform(CM_MENUCHANGED, 0, 0);
        }
        return false;
    case SMC_GET_BG_INFO:
        if (!FCommonData)
            return false;
        AnswerBGInfo(Message);
        return true;
    case SMC_CTRL_STATE:
        Message.Result = FCommonData->CtrlSkinState;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case SMC_GET_OFFSETS:
        Message.Result = (OffsetY() << 16) | (OffsetX() & 0xFFFF);
        return true;
    default:
        return false;
    }
}

void TsSkinProvider::SkinRemove(TMessage& Message)
{
    if (!ManagerOf(Message.LParam)) {
        if (Form)
            KorvexBroadCast(Form, Message);
        return;
    }
    // A fade (or glow) shows the skin that goes: it goes first, border
    // window or not.
    KillAnimations();
    FreeScrollWrapper();
    if (Form && Form->HandleAllocated())
        InitDwm(Form->Handle(), false);
    // The adapter gives the controls and labels back as the application set them.
    AdapterRemove();
    CommonMessage(Message, FCommonData);
    FLinesCount = FTitleSkinIndex = FCaptionSkinIndex = -1;
    if (Form)
        KorvexBroadCast(Form, Message);
    if (Manager())
        DeleteUnusedBmps();
    if (FormGoing())
        return;
    if (Manager()) {
        InitMenuItems(false);
        CheckSysMenu(false);
        if (Form->FormStyle() == fsMDIForm && MDIForm)
            HookMDI(false);
        if (HaveBorder(this) && !InMenu && Form->HandleAllocated())
            ::SetWindowRgn(Form->Handle(), nullptr, TRUE);
        UpdateMenu();
        InitExBorders(false);
    }
    if (FUseGlobalColor && !FCommonData->CustomColor())
        Form->SetColor(clBtnFace);
    FreeAndNil(FCommonData->FCacheBmp);
}

void TsSkinProvider::AnswerBGInfo(TMessage& Message)
{
    auto* info = reinterpret_cast<PkvBGInfo>(Message.LParam);
    if (!info)
        return;
    if (FCommonData->BGChanged && !FCommonData->GetUpdating() && IsCached(FCommonData))
        PaintAll();
    const bool draw = info->PleaseDraw;
    if (draw) {
        info->Offset.x += OffsetX();
        info->Offset.y += OffsetY();
    }
    InitBGInfo(FCommonData, info, FormActive ? 1 : 0);
    if (info->BgType == btCache && !draw) {
        if (!info->Bmp) {
            PaintAll();
            info->Bmp = FCommonData->FCacheBmp;
        }
        info->Offset = TPoint(OffsetX(), OffsetY());
    }
}

void TsSkinProvider::UnskinnedProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD) {
        switch (SubCommand(Message)) {
        case SMC_SKIN_SET:
            // A provider that has not started applies its skin when it starts.
            if (!RTInit && !FormGoing() && FCommonData) {
                if (ManagerOf(Message.LParam))
                    UnskinnedSkinSet(Message);
                return;
            }
            break;
        case SMC_GET_PROVIDER:
            Message.Result = reinterpret_cast<LRESULT>(static_cast<TComponent*>(this));
            return;
        default:
            break;
        }
    }
    const bool mdiChildGoing = Message.Msg == WM_NCDESTROY && Form && Form->FormStyle() == fsMDIChild;
    OldWndProc(Message);
    if (mdiChildGoing)
        MDIChildGone();
    if (Message.Msg == CM_MOUSEWHEEL)
        KV_CMMouseWheel(Message);
}

// A child's window went: the main form's menu line loses what it showed of
// it, and with no child left the MDI client is painted bare.
void TsSkinProvider::MDIChildGone()
{
    TsSkinProvider* main = Alive(MDISkinProvider) ? MDISkinProvider : nullptr;
    if (!main || !main->MDIForm || main->FDestroying || !main->Form ||
        main->Form->ComponentState().Contains(csDestroying) || !main->SkinData()->Skinned())
        return;
    main->RepaintMenu();
    if (!main->Form->ActiveMDIChild() && main->Form->ClientHandle())
        ::RedrawWindow(main->Form->ClientHandle(), nullptr, nullptr,
                       RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
}

void TsSkinProvider::UnskinnedSkinSet(TMessage& Message)
{
    (void)Message;
    TsSkinManager* sm = Manager();
    // A running fade shows the faces (or glow) of the skin before.
    KillAnimations();
    DeleteUnusedBmps();
    FCommonData->UpdateIndexes();
    FTitleSkinIndex = -1;
    FTitleSkinIndex = TitleSkinIndex();
    FCaptionSkinIndex = sm ? sm->GetSkinIndex(s_Caption) : -1;
    if (sm) {
        UpdateIconsIndexes();
        CheckSysMenu(true);
    }
    if (sm && !ManagerLoading(sm))
        InitMenuItems(true);
    BackgroundChanged();
    FLinesCount = -1;
    if (Form->FormStyle() == fsMDIForm && !MDIForm)
        HookMDI(true);
    ApplyGlobalColor();
    if (Form->HandleAllocated())
        InitDwm(Form->Handle(), true);
    if (Adapter)
        AddAllItems(nullptr);
    else
        AdapterCreate();
}

void TsSkinProvider::SkinnedCommand(TMessage& Message)
{
    switch (SubCommand(Message)) {
    case SMC_SKIN_SET:
        if (ManagerOf(Message.LParam))
            SkinnedSkinSet(Message);
        break;
    case SMC_SKIN_REFRESH:
        if (ManagerOf(Message.LParam))
            SkinnedRefresh(Message);
        break;
    case SMC_GET_PROVIDER:
        Message.Result = reinterpret_cast<LRESULT>(static_cast<TComponent*>(this));
        break;
    case SMC_SET_UPDATING:
        FCommonData->SetUpdating(LOWORD(Message.WParam) == 1);
        if (FCommonData->FUpdating)
            BackgroundChanged();
        break;
    case SMC_SET_URGENT:
        CommonWndProc(Message, FCommonData);
        if (FCommonData->UrgentPainting)
            PaintAll();
        break;
    case SMC_GET_UPDATING:
        Message.Result = !InAnimationProcess && IsCached(FCommonData) && FCommonData->GetUpdating() ? 1 : 0;
        break;
    case SMC_REPAINT_NOW:
        if (Form->FormState().Contains(fsModal) && BorderForm)
            UpdateExBordersPos(false, 255);
        break;
    case SMC_GET_TEXTURED: {
        const TsSkinManager* sm = Manager();
        const int i = FCommonData->SkinIndex;
        const bool textured = sm && sm->IsValidSkinIndex(i) && sm->gd[i].GradientPercent + sm->gd[i].ImagePercent > 0;
        Message.Result = textured ? 1 : 0;
        if (Message.LParam)
            *reinterpret_cast<LPARAM*>(Message.LParam) = Message.Result;
        break;
    }
    case SMC_GET_BG_COLOR:
        Message.Result = static_cast<LRESULT>(FormColor());
        break;
    case SMC_ADD_TO_ADAPTER:
        if (Form && !Form->ComponentState().Contains(csLoading) && Adapter)
            AddAllItems(Message.LParam ? reinterpret_cast<TWinControl*>(Message.LParam) : Form);
        break;
    case SMC_UPDATE_BORDER_POS:
        if (BorderForm)
            UpdateExBordersPos(false, 255);
        break;
    case SMC_SCROLL_BEGIN:
        if (FCommonData->RepaintIfMoved())
            ::SendMessageW(Form->Handle(), WM_SETREDRAW, 0, 0);
        break;
    case SMC_SCROLL_END:
        if (FCommonData->RepaintIfMoved()) {
            ::SendMessageW(Form->Handle(), WM_SETREDRAW, 1, 0);
            ::RedrawWindow(Form->Handle(), nullptr, nullptr,
                           RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
            if (MDISkinProvider == this && Form->ClientHandle())
                ::RedrawWindow(Form->ClientHandle(), nullptr, nullptr,
                               RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        break;
    default:
        // Every other sub-command stops at a skinned form.
        break;
    }
}

void TsSkinProvider::SkinnedSkinSet(TMessage& Message)
{
    (void)Message;
    TsSkinManager* sm = Manager();
    // A running fade shows the faces (or glow) of the skin before.
    KillAnimations();
    DeleteUnusedBmps();
    FCommonData->UpdateIndexes();
    FTitleSkinIndex = -1;
    FTitleSkinIndex = TitleSkinIndex();
    FCaptionSkinIndex = sm ? sm->GetSkinIndex(s_Caption) : -1;
    if (!sm)
        return;
    UpdateIconsIndexes();
    CheckSysMenu(FDrawNonClientArea);
    if (sm->SkinableMenus())
        sm->SkinableMenus()->UpdateMenus();
    BackgroundChanged();
    FLinesCount = -1;
    if (Form->HandleAllocated())
        ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
    if (Form->FormStyle() == fsMDIForm && !MDIForm)
        HookMDI(true);
}

void TsSkinProvider::SkinnedRefresh(TMessage& Message)
{
    TsSkinManager* sm = Manager();
    if (Adapter)
        AddAllItems(nullptr);
    else
        AdapterCreate();
    if (FDrawNonClientArea)
        UpdateScrollWrapper(this, ListSW);
    FLinesCount = -1;
    FreeAndNil(TitleBG);
    if (!ManagerLoading(sm)) {
        UpdateMenu();
        InitMenuItems(FCommonData->Skinned());
    }
    if (HaveBorder(this))
        RgnChanged = true;
    if (!Form->Visible())
        return;
    BackgroundChanged();
    InitExBorders(sm->ExtendedBorders());
    if (!InAnimationProcess) {
        TForm* child = Form->FormStyle() == fsMDIForm ? Form->ActiveMDIChild() : nullptr;
        if (child && child->HandleAllocated() && ::IsZoomed(child->Handle())) {
            ::SendMessageW(Form->Handle(), WM_NCPAINT, 0, 0);
            ::InvalidateRect(child->Handle(), nullptr, TRUE);
        } else {
            const UINT flags = RDW_FRAME | RDW_UPDATENOW | RDW_NOCHILDREN | RDW_ERASE | RDW_INVALIDATE;
            ::RedrawWindow(Form->Handle(), nullptr, nullptr, flags);
            if (Form->FormStyle() == fsMDIForm && Form->ClientHandle())
                ::RedrawWindow(Form->ClientHandle(), nullptr, nullptr, flags);
        }
    }
    ApplyGlobalColor();
    if (auto* support = dynamic_cast<TsMDIForm*>(MDIForm))
        support->ConnectToClient();
    FCommonData->SetUpdating(false);
    if (SystemMenu)
        SystemMenu->UpdateGlyphs();
    SendToAdapter(Message);
    if (BorderForm)
        UpdateExBordersPos(true, 255);
}
