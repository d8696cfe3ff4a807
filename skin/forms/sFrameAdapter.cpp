#include "skin/forms/sFrameAdapter.h"

#include <algorithm>

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStrings.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

constexpr UINT CM_VISIBLECHANGED_MSG = 0xB00B;
constexpr UINT CM_SHOWINGCHANGED_MSG = 0xB019;
constexpr UINT CM_MOUSEENTER_MSG = 0xB013;
constexpr UINT CM_MOUSELEAVE_MSG = 0xB014;
constexpr UINT RedrawAll = RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE;

} // namespace

KV_BEGIN_PUBLISHED(TsFrameAdapter, TComponent)
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED

void RegisterFrameAdapterClass()
{
    RegisterClasses<TsFrameAdapter>();
}

int BlendColorByte(int Transparency, int ParentByte, int SectionByte)
{
    const int t = std::clamp(Transparency, 0, 100);
    return std::clamp(SectionByte + (ParentByte - SectionByte) * t / 100, 0, 255);
}

TsFrameAdapter::TsFrameAdapter(TComponent* AOwner) : TComponent(AOwner)
{
    auto* frame = dynamic_cast<TFrame*>(AOwner);
    if (!frame)
        throw Exception(kvs_FrameAdapterError1);
    FCommonData = new TsCommonData(this, true);
    if (FCommonData->SkinSection().empty() || FCommonData->SkinSection() == UnicodeString(ClassName()))
        FCommonData->SetSkinSection(s_GroupBox);
    FCommonData->COC = COC_TsFrameAdapter;
    Frame = frame;
    FCommonData->FOwnerControl = Frame;
    OldWndProc = Frame->WindowProc;
    Frame->WindowProc = Bind(this, &TsFrameAdapter::NewWndProc);
}

TsFrameAdapter::~TsFrameAdapter()
{
    FreeAndNil(ListSW);
    if (Hooked())
        Frame->WindowProc = OldWndProc;
    Frame = nullptr;
    FreeAndNil(FCommonData);
}

void TsFrameAdapter::AfterConstruction()
{
    TComponent::AfterConstruction();
    if (Frame && (!Frame->HandleAllocated() || GetBoolMsg(Frame, SMC_IS_SKINNED)))
        FCommonData->UpdateIndexes();
}

void TsFrameAdapter::Loaded()
{
    TComponent::Loaded();
    if (!Frame || ComponentState().Contains(csDesigning))
        return;
    TsSkinManager* sm = FCommonData->GetSkinManager();
    if (!sm)
        return;
    FCommonData->UpdateIndexes();
    if (sm->Active()) {
        HookPopups();
        if (Skinned() && sm->SkinningRules().Contains(srThirdParty))
            AddToAdapter(Frame);
    }
}

bool TsFrameAdapter::Skinned() const
{
    TsSkinManager* sm = FCommonData ? FCommonData->GetSkinManager() : nullptr;
    return sm && sm->Active() && FCommonData->Skinned() && !ComponentState().Contains(csDestroying) &&
           !Frame->ComponentState().Contains(csDestroying);
}

bool TsFrameAdapter::ManagerOf(LPARAM LParam) const
{
    return LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
}

void TsFrameAdapter::Broadcast(TMessage& Message)
{
    KorvexBroadCast(Frame, Message);
}

void TsFrameAdapter::HookPopups()
{
    TsSkinManager* sm = FCommonData->GetSkinManager();
    auto* menus = sm ? dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus()) : nullptr;
    if (!menus || !sm->SkinnedPopups())
        return;
    for (int i = 0; i < Frame->ComponentCount(); ++i)
        if (auto* popup = dynamic_cast<TPopupMenu*>(Frame->Components(i)))
            menus->HookPopupMenu(popup, true);
}

void TsFrameAdapter::NewWndProc(TMessage& Message)
{
    if (ComponentState().Contains(csDesigning) || !Frame) {
        OldWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!Skinned()) {
        if ((Message.Msg == CM_VISIBLECHANGED_MSG || Message.Msg == CM_SHOWINGCHANGED_MSG) && Frame->HandleAllocated()) {
            FCommonData->UpdateIndexes();
            TMessage m{SM_KORVEXCMD, 0x10001, reinterpret_cast<LPARAM>(FCommonData->GetSkinManager()), 0};
            Broadcast(m);
        }
        OldWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        if (!SkinnedCommand(Message))
            CommonWndProc(Message, FCommonData);
        return;
    }
    SkinnedMessage(Message);
}

// The command messages answered in every state; false for the others.
bool TsFrameAdapter::Command(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!ManagerOf(Message.LParam))
            return false;
        Broadcast(Message);
        CommonWndProc(Message, FCommonData);
        HookPopups();
        return true;
    case SMC_SKIN_REMOVE:
        if (!ManagerOf(Message.LParam))
            return false;
        FreeAndNil(ListSW);
        CommonWndProc(Message, FCommonData);
        Broadcast(Message);
        if (Frame->HandleAllocated()) {
            ::SetWindowPos(Frame->Handle(), nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ::RedrawWindow(Frame->Handle(), nullptr, nullptr, RedrawAll);
        }
        return true;
    case SMC_SKIN_REFRESH:
        if (!ManagerOf(Message.LParam))
            return false;
        CommonWndProc(Message, FCommonData);
        FCommonData->UpdateIndexes();
        Broadcast(Message);
        if (Frame->HandleAllocated())
            ::RedrawWindow(Frame->Handle(), nullptr, nullptr, RedrawAll);
        RefreshScrolls(FCommonData, ListSW);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_STOP_FADING:
        Broadcast(Message);
        return false;
    case SMC_GET_SKIN_INDEX:
        Message.Result = FCommonData->SkinIndex + 1;
        return true;
    case SMC_GET_BG_INFO:
        InitBGInfo(FCommonData, reinterpret_cast<PkvBGInfo>(Message.LParam), 0);
        return true;
    case SMC_SCROLL_BEGIN:
        if (ScrollRedrawHeld())
            ::SendMessageW(Frame->Handle(), WM_SETREDRAW, 0, 0);
        return false;
    case SMC_SCROLL_END:
        if (ScrollRedrawHeld()) {
            ::SendMessageW(Frame->Handle(), WM_SETREDRAW, 1, 0);
            ::RedrawWindow(Frame->Handle(), nullptr, nullptr,
                           RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
        }
        return false;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

// A frame whose picture depends on what lies behind it is not redrawn step
// by step while its parent scrolls: it is painted once when the scroll ends.
bool TsFrameAdapter::ScrollRedrawHeld()
{
    return Frame && Frame->HandleAllocated() &&
           (GetBoolMsg(Frame, SMC_GET_TEXTURED) || FCommonData->RepaintIfMoved());
}

bool TsFrameAdapter::SkinnedCommand(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_PARENT_UPDATED:
        if (FCommonData->FUpdating && !Frame->ControlState().Contains(csRecreating) &&
            !Frame->ControlState().Contains(csAligning)) {
            FCommonData->SetUpdating(false);
            ::RedrawWindow(Frame->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        }
        return true;
    case SMC_SET_UPDATING:
        FCommonData->SetUpdating(Message.WParamLo == 1);
        for (int i = 0; i < Frame->ControlCount(); ++i)
            Frame->Controls(i)->Perform(Message.Msg, Message.WParam, Message.LParam);
        return true;
    case SMC_GET_UPDATING:
        Message.Result = !(FCommonData->CtrlSkinState & CSS_NOCACHE) && FCommonData->FUpdating ? 1 : 0;
        return true;
    case SMC_BG_MAY_CHANGE:
        if (BgIsTransparent(FCommonData))
            FCommonData->BGChanged = true;
        return true;
    case SMC_GET_TEXTURED: {
        TsSkinManager* sm = FCommonData->GetSkinManager();
        bool textured = false;
        if (sm && sm->IsValidSkinIndex(FCommonData->SkinIndex)) {
            const TsGeneralData& gd = sm->gd[std::size_t(FCommonData->SkinIndex)];
            textured = gd.GradientPercent + gd.ImagePercent > 0 || FCommonData->RepaintIfMoved();
        }
        Message.LParam = Message.Result = textured ? 1 : 0;
        return true;
    }
    case SMC_GET_BG_COLOR:
        AnswerBGColor(Message);
        return true;
    default:
        return false;
    }
}

// The plain colour the frame's children see: a cached frame's own
// background colour; otherwise the section's colour over the parent's,
// mixed by the section's transparency in percent.
void TsFrameAdapter::AnswerBGColor(TMessage& Message)
{
    TsSkinManager* sm = FCommonData->GetSkinManager();
    if (IsCached(FCommonData) || !sm->IsValidSkinIndex(FCommonData->SkinIndex)) {
        Message.Result = LRESULT(GetBGColor(FCommonData, 0));
        return;
    }
    const TsGeneralData& gd = sm->gd[std::size_t(FCommonData->SkinIndex)];
    const TColor section = ColorToRGB(gd.Color);
    if (gd.Transparency <= 0) {
        Message.Result = LRESULT(section);
        return;
    }
    TColor parent = ColorToRGB(Frame->Color());
    if (TWinControl* p = Frame->Parent(); p && p->HandleAllocated()) {
        const auto answer = TColor(::SendMessageW(p->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_COLOR), 0));
        parent = answer == TColor(0xFF00FF) ? ColorToRGB(p->Color()) : answer;
    }
    if (gd.Transparency >= 100) {
        Message.Result = LRESULT(parent);
        return;
    }
    int bytes[3];
    for (int i = 0; i < 3; ++i)
        bytes[i] = BlendColorByte(gd.Transparency, (parent >> (8 * i)) & 0xFF, (section >> (8 * i)) & 0xFF);
    Message.Result = LRESULT(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16));
}

void TsFrameAdapter::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZE: {
        const bool changed = FCommonData->BGChanged || Message.Msg == WM_SIZE || FCommonData->RepaintIfMoved();
        FCommonData->BGChanged = changed;
        if (changed) {
            TMessage m{SM_KORVEXCMD, 0x110001, 0, 0};
            Broadcast(m);
        }
        if (Message.Msg == WM_SIZE && Frame->HandleAllocated())
            ::InvalidateRect(Frame->Handle(), nullptr, TRUE);
        break;
    }
    case WM_PAINT:
        if (!Frame->Parent())
            break;
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_ERASEBKGND:
        if (!Frame->Showing())
            break;
        EraseBkgnd(Message);
        return;
    case WM_NCPAINT:
        FCommonData->SetUpdating(FCommonData->GetUpdating());
        Message.Result = 0;
        return;
    case WM_PRINT:
        Print(Message);
        return;
    case CM_VISIBLECHANGED_MSG:
        FCommonData->BGChanged = true;
        OldWndProc(Message);
        if (TsSkinManager* sm = FCommonData->GetSkinManager(); sm && Frame->HandleAllocated())
            ::SendMessageW(Frame->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), reinterpret_cast<LPARAM>(sm));
        return;
    case CM_SHOWINGCHANGED_MSG:
        OldWndProc(Message);
        RefreshScrolls(FCommonData, ListSW);
        if (TsSkinManager* sm = FCommonData->GetSkinManager(); sm && sm->SkinningRules().Contains(srThirdParty))
            AddToAdapter(Frame);
        return;
    case CM_MOUSEENTER_MSG:
        MouseEnter(Message);
        return;
    case WM_PARENTNOTIFY:
        if (ParentNotify(Message))
            return;
        break;
    }
    OldWndProc(Message);
}

// A child window made or destroyed: a new one is told the skin and reaches
// the form's control adapter; the scroll bars follow the frame's content.
bool TsFrameAdapter::ParentNotify(TMessage& Message)
{
    const WORD event = LOWORD(Message.WParam);
    if ((event != WM_CREATE && event != WM_DESTROY) || ComponentState().Contains(csLoading) ||
        Frame->ControlState().Contains(csCreating))
        return false;
    TsSkinManager* sm = FCommonData->GetSkinManager();
    if (event == WM_CREATE) {
        if (Frame->HandleAllocated()) {
            FCommonData->UpdateIndexes();
            TMessage m{SM_KORVEXCMD, 0x10001, reinterpret_cast<LPARAM>(sm), 0};
            Broadcast(m);
        }
        if (sm && sm->SkinningRules().Contains(srThirdParty))
            AddToAdapter(Frame);
    }
    OldWndProc(Message);
    UpdateScrolls(ListSW, false);
    return true;
}

// The mouse came onto the frame or one of its graphic children: a speed
// button other than the one entered that still shows the mouse is told it
// left, and the frame becomes the manager's active control.
void TsFrameAdapter::MouseEnter(TMessage& Message)
{
    OldWndProc(Message);
    auto* entered = reinterpret_cast<TControl*>(Message.LParam);
    for (int i = 0; i < Frame->ControlCount(); ++i) {
        TControl* c = Frame->Controls(i);
        if (c == entered || !InheritsFromClass(c, L"TsSpeedButton"))
            continue;
        if (TsCommonData* sd = SkinDataOf(c); sd && sd->FMouseAbove)
            c->Perform(CM_MOUSELEAVE_MSG, 0, 0);
    }
    if (DefaultManager && Frame->HandleAllocated())
        DefaultManager->SetActiveControl(Frame->Handle());
}

void TsFrameAdapter::EraseBkgnd(TMessage& Message)
{
    Message.Result = 1;
    if (InAnimationProcess)
        return;
    FCommonData->SetUpdating(FCommonData->GetUpdating());
    if (!FCommonData->FUpdating && (!IsCached(FCommonData) || !FCommonData->BGChanged))
        OurPaintHandler(reinterpret_cast<HDC>(Message.WParam));
}

void TsFrameAdapter::Print(TMessage& Message)
{
    FCommonData->SetUpdating(false);
    if (!ControlIsReady(Frame)) {
        OldWndProc(Message);
        return;
    }
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    Message.Result = 0;
    // The picture goes into the context asked for, not into the window.
    if (IsCached(FCommonData) || !dc || (InAnimationProcess && dc != kvPrintDC))
        OurPaintHandler(dc);
    else
        PaintUncached(dc);
    if (ListSW)
        Kv_NCPaint(ListSW, Frame->Handle(), 0, 0, -1, dc);
}

void TsFrameAdapter::KV_WMPaint(HDC DC)
{
    if (!Frame->ComponentState().Contains(csDestroying) && Frame->Parent() && !IsCached(FCommonData))
        ::InvalidateRect(Frame->Handle(), nullptr, TRUE);
    PAINTSTRUCT ps;
    ::BeginPaint(Frame->Handle(), &ps);
    const HDC dc = DC ? DC : ::GetDC(Frame->Handle());
    const int saved = ::SaveDC(dc);
    if (IsCached(FCommonData)) {
        FCommonData->SetUpdating(FCommonData->GetUpdating());
        if (!FCommonData->FUpdating)
            OurPaintHandler(dc);
    }
    ::RestoreDC(dc, saved);
    if (!DC)
        ::ReleaseDC(Frame->Handle(), dc);
    ::EndPaint(Frame->Handle(), &ps);
}

void TsFrameAdapter::OurPaintHandler(HDC DC)
{
    if (!DC || (InAnimationProcess && DC != kvPrintDC))
        return;
    const TRect all(0, 0, Frame->Width(), Frame->Height());
    if (IsCached(FCommonData)) {
        const int saved = ::SaveDC(DC);
        FCommonData->SetUpdating(FCommonData->GetUpdating());
        if (!FCommonData->FUpdating) {
            const bool changed = FCommonData->BGChanged;
            if (changed && !FCommonData->UrgentPainting)
                PrepareCache();
            CopyWinControlCache(Frame, FCommonData, all, all, DC, false);
            PaintControls(DC, Frame, changed, TPoint(0, 0));
            SetParentUpdated(Frame);
        }
        ::RestoreDC(DC, saved);
        return;
    }
    FCommonData->SetUpdating(false);
    // Painted into the frame's own context (the erase context may be clipped
    // to a smaller update region), except for an animation's print context.
    const HDC dc = DC == kvPrintDC ? DC : ::GetDC(Frame->Handle());
    PaintUncached(dc);
    if (dc != DC)
        ::ReleaseDC(Frame->Handle(), dc);
}

// A frame without a cache of its own: filled with its background colour,
// the skin's border copied over the fill.
void TsFrameAdapter::PaintUncached(HDC DC)
{
    const TRect all(0, 0, Frame->Width(), Frame->Height());
    const int w = SkinBorderMaxWidth(FCommonData);
    const int saved = ::SaveDC(DC);
    ExcludeControls(DC, Frame, kvtGraphic, 0, 0);
    const TColor color = GetBGColor(FCommonData, 0);
    if (w > 0) {
        TBitmap border(all.Width(), all.Height(), pf24bit);
        PaintBorderFast(border.Canvas()->Handle(), all, w, FCommonData, 0);
        FillDC(DC, all, color);
        ::RestoreDC(DC, saved);
        BitBltBorder(DC, 0, 0, all.Width(), all.Height(), border.Canvas()->Handle(), 0, 0, w);
    } else {
        FillDC(DC, all, color);
        ::RestoreDC(DC, saved);
    }
    PaintControls(DC, Frame, true, TPoint(0, 0));
}

void TsFrameAdapter::PrepareCache()
{
    if (IsCached(FCommonData)) {
        FCommonData->InitCacheBmp();
        FCommonData->FCacheBmp->SetSize(Frame->Width(), Frame->Height());
        FCommonData->FCacheBmp->Canvas()->SetFont(Frame->Font());
        PaintItem(FCommonData, GetParentCache(FCommonData), false, 0, TRect(0, 0, Frame->Width(), Frame->Height()),
                  TPoint(Frame->Left(), Frame->Top()), FCommonData->FCacheBmp, false);
    }
    FCommonData->BGChanged = false;
}
