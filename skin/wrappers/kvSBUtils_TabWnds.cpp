// The wrappers of tab controls, page controls and their pages.
#include "skin/wrappers/kvSBUtils_Tabs.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Paint.h"
#include "skin/wrappers/kvSBUtils_Tabs.h"

namespace {

bool OwnManager(TsCommonData* SkinData, const TMessage& Message)
{
    return SkinData && Message.LParam == reinterpret_cast<LPARAM>(SkinData->GetSkinManager());
}

void Redraw(HWND Wnd, UINT Flags)
{
    ::RedrawWindow(Wnd, nullptr, nullptr, Flags);
}

// The page wrappers, freed when the program ends.
struct TPageWrapperList {
    std::vector<TkvPageWnd*> Items;
    ~TPageWrapperList()
    {
        for (TkvPageWnd*& w : Items)
            FreeAndNil(w);
    }
};

TPageWrapperList& PageList()
{
    static TPageWrapperList list;
    return list;
}

bool IsUpDownWindow(HWND Wnd)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(Wnd, cls, 32);
    return ::lstrcmpiW(cls, UPDOWN_CLASSW) == 0;
}

} // namespace

std::vector<TkvPageWnd*>& PageWrappers()
{
    return PageList().Items;
}

void SweepPageWrappers()
{
    std::vector<TkvPageWnd*>& items = PageWrappers();
    std::vector<TkvPageWnd*> gone;
    auto dead = [](TkvPageWnd* w) { return w->Destroyed; };
    std::copy_if(items.begin(), items.end(), std::back_inserter(gone), dead);
    items.erase(std::remove_if(items.begin(), items.end(), dead), items.end());
    for (TkvPageWnd*& w : gone)
        FreeAndNil(w);
}

// ---------------------------------------------------------------------------
// TkvTabControlWnd

TkvTabControlWnd::~TkvTabControlWnd()
{
    FreeUpDown();
}

void TkvTabControlWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                              const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection.empty() ? UnicodeString(L"PAGECONTROL") : SkinSection,
                       Repaint);
}

TCustomTabControl* TkvTabControlWnd::OwnerTabs() const
{
    return SkinData ? dynamic_cast<TCustomTabControl*>(SkinData->FOwnerControl) : nullptr;
}

bool TkvTabControlWnd::Painting() const
{
    return SkinData && !Destroyed && SkinData->Skinned();
}

int TkvTabControlWnd::TabCount() const
{
    return int(::SendMessageW(CtrlHandle, TCM_GETITEMCOUNT, 0, 0));
}

int TkvTabControlWnd::ActiveTabIndex() const
{
    return int(::SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0));
}

TTabPosition TkvTabControlWnd::TabPosition() const
{
    return TabPositionOfStyle(DWORD(::GetWindowLongW(CtrlHandle, GWL_STYLE)));
}

TTabStyle TkvTabControlWnd::Style() const
{
    return TabStyleOfStyle(DWORD(::GetWindowLongW(CtrlHandle, GWL_STYLE)));
}

TkvTabLayout TkvTabControlWnd::Layout()
{
    TkvTabLayout l = TkvTabPainter::Layout();
    l.EmptyWithoutActive = true;
    return l;
}

TRect TkvTabControlWnd::ClientRect()
{
    return Layout().Client;
}

TRect TkvTabControlWnd::PageRect()
{
    return Layout().PageRect();
}

TPoint TkvTabControlWnd::PosInParent()
{
    InitCtrlData(this);
    return WndPos;
}

TCacheInfo TkvTabControlWnd::ParentCI()
{
    return GetParentCacheHwnd(CtrlHandle);
}

UnicodeString TkvTabControlWnd::NoTabsSection(TTabPosition) const
{
    return L"CHECKBOX";
}

void TkvTabControlWnd::AssignTabFont(TCanvas* Canvas)
{
    AssignControlFont(Canvas, SkinData, CtrlHandle);
}

TSize TkvTabControlWnd::IconSize()
{
    if (TCustomTabControl* tabs = OwnerTabs())
        return tabs->Images() ? TSize(tabs->Images()->Width(), tabs->Images()->Height()) : TSize(0, 0);
    auto list = reinterpret_cast<HIMAGELIST>(::SendMessageW(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    int w = 0, h = 0;
    if (list)
        ::ImageList_GetIconSize(list, &w, &h);
    return TSize(w, h);
}

bool TkvTabControlWnd::DrawTabImage(TCanvas* Canvas, int X, int Y, int Image, bool Transparent)
{
    if (TCustomTabControl* tabs = OwnerTabs()) {
        if (!tabs->Images())
            return false;
        tabs->Images()->Draw(Canvas, X, Y, Image, true);
        return true;
    }
    auto list = reinterpret_cast<HIMAGELIST>(::SendMessageW(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
    if (!list)
        return false;
    ::ImageList_Draw(list, Image, Canvas->Handle(), X, Y, Transparent ? ILD_TRANSPARENT : ILD_NORMAL);
    return true;
}

void TkvTabControlWnd::AfterPaint(HDC DC)
{
    if (auto* owner = dynamic_cast<TWinControl*>(SkinData->FOwnerControl))
        PaintControls(DC, owner, true, TPoint(0, 0));
}

void TkvTabControlWnd::KV_WMPaint(HDC DC)
{
    InitCtrlData(this);
    PaintControl(DC);
}

void TkvTabControlWnd::Command(TMessage& Message)
{
    const bool own = OwnManager(SkinData, Message);
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (own)
            CommonWndProc(Message, SkinData);
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        return;
    case SMC_SKIN_REMOVE:
        if (own) {
            CommonWndProc(Message, SkinData);
            if (Painting())
                CheckUpDown();
        }
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        if (own) {
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
            Redraw(CtrlHandle, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW |
                                   RDW_ERASENOW | RDW_FRAME);
        }
        return;
    case SMC_SKIN_REFRESH:
        if (own) {
            CommonWndProc(Message, SkinData);
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
            if (Painting())
                CheckUpDown();
        }
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        return;
    case SMC_PARENT_UPDATED:
        if (Painting()) {
            SkinData->SetUpdating(false);
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
        }
        return;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return;
    case SMC_GET_UPDATING:
        if (!Painting())
            break;
        Message.Result = SkinData->FUpdating ? 1 : 0;
        return;
    case SMC_GET_MANAGER:
        Message.Result = reinterpret_cast<LRESULT>(SkinData->GetSkinManager());
        return;
    case SMC_GET_BG_INFO:
        if (!Painting())
            break;
        CommonWndProc(Message, SkinData);
        return;
    }
    TkvMainWnd::kvWndProc(Message);
}

bool TkvTabControlWnd::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam) {
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        } else {
            // Painted in the erase that BeginPaint asks for.
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
            TkvPaintScope paint(CtrlHandle, nullptr);
        }
        return true;
    case WM_ERASEBKGND:
        if (!::IsWindowVisible(CtrlHandle))
            return false;
        if (!InAnimationProcess)
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        CheckUpDown();
        Message.Result = 0;
        return true;
    case WM_NCPAINT:
        return true;
    case WM_PRINT:
        CheckUpDown();
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return true;
    }
    return false;
}

void TkvTabControlWnd::AfterRoot(const TMessage& Message, const TSize& OldSize)
{
    switch (Message.Msg) {
    case WM_SIZE: {
        CheckUpDown();
        TRect r;
        ::GetWindowRect(CtrlHandle, &r);
        // A smaller control redraws its frame; a larger one needs nothing more.
        if (r.Width() < OldSize.cx || r.Height() < OldSize.cy)
            Redraw(CtrlHandle, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
        break;
    }
    case TCM_SETCURSEL:
        Redraw(CtrlHandle, RDW_INVALIDATE | RDW_FRAME);
        break;
    case CM_CONTROLLISTCHANGE:
        CheckUpDown();
        break;
    }
}

void TkvTabControlWnd::kvWndProc(TMessage& Message)
{
    if (!SkinData) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        Command(Message);
        return;
    }
    const bool painting = Painting();
    if (painting && SkinnedMessage(Message))
        return;
    const TSize oldSize = WndSize;
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && painting && !Destroyed)
        AfterRoot(Message, oldSize);
}

// ---------------------------------------------------------------------------
// TkvPageControlWnd

void TkvPageControlWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                               const UnicodeString& SkinSection, bool Repaint)
{
    TkvTabControlWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    if (!Destroyed)
        InitPages(Painting());
}

namespace {

BOOL CALLBACK AddPageWrapper(HWND Child, LPARAM Param)
{
    const HWND control = reinterpret_cast<HWND>(Param);
    // Pages only: the control's scroll arrows have a wrapper of their own.
    if (::GetParent(Child) != control || IsUpDownWindow(Child))
        return TRUE;
    auto* manager = reinterpret_cast<TsSkinManager*>(
        ::SendMessageW(control, SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_MANAGER), 0));
    if (!manager || GetBoolMsg(Child, SMC_IS_SKINNED))
        return TRUE;
    PageWrappers().push_back(CreateWnd<TkvPageWnd>(Child, nullptr, manager, L"CHECKBOX", false));
    return TRUE;
}

} // namespace

void TkvPageControlWnd::InitPages(bool)
{
    SweepPageWrappers();
    ::EnumChildWindows(CtrlHandle, AddPageWrapper, reinterpret_cast<LPARAM>(CtrlHandle));
}

void TkvPageControlWnd::kvWndProc(TMessage& Message)
{
    if (Painting()) {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            if (!::IsWindowVisible(CtrlHandle))
                break;
            if (!InAnimationProcess)
                KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            InitPages(true);
            return;
        case WM_PARENTNOTIFY:
            if (Message.WParamLo == WM_CREATE)
                InitPages(true);
            break;
        case TCM_SETCURSEL:
            if (auto* owner = dynamic_cast<TWinControl*>(SkinData->FOwnerControl))
                AddToAdapter(owner);
            break;
        }
    }
    TkvTabControlWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvPageWnd

void TkvPageWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    InitCtrlData(this);
}

TTabPosition TkvPageWnd::TabPosition() const
{
    return TabPositionOfStyle(DWORD(::GetWindowLongW(::GetParent(CtrlHandle), GWL_STYLE)));
}

void TkvPageWnd::KV_WMEraseBKGnd(HDC DC)
{
    InitCtrlData(this);
    const int cx = WndSize.cx, cy = WndSize.cy;
    TkvBGInfo bg{};
    GetBGInfo(&bg, ParentWnd, false);
    if (bg.BgType == btCache && bg.Bmp) {
        ::BitBlt(DC, 0, 0, cx, cy, bg.Bmp->Canvas()->Handle(), WndPos.x + bg.Offset.x, WndPos.y + bg.Offset.y,
                 SRCCOPY);
        return;
    }
    FillDC(DC, TRect(0, 0, cx, cy), bg.Color);
    if (!bg.Bmp)
        return;
    // The band along the tabs shows the control's own picture (its page frame).
    TRect band;
    switch (TabPosition()) {
    case tpTop: band = TRect(0, 0, cx, 3); break;
    case tpBottom: band = TRect(0, cy - 3, cx, cy); break;
    case tpLeft: band = TRect(0, 0, 3, cy); break;
    case tpRight: band = TRect(cx - 3, 0, cx, cy); break;
    }
    ::BitBlt(DC, band.left, band.top, band.Width(), band.Height(), bg.Bmp->Canvas()->Handle(), WndPos.x + band.left,
             WndPos.y + band.top, SRCCOPY);
}

bool TkvPageWnd::Own(const TMessage& Message) const
{
    return OwnManager(SkinData, Message);
}

void TkvPageWnd::Command(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        if (Own(Message))
            CommonWndProc(Message, SkinData);
        return;
    case SMC_SKIN_REMOVE:
    case SMC_SKIN_REFRESH:
        if (Own(Message)) {
            CommonWndProc(Message, SkinData);
            ::InvalidateRect(CtrlHandle, nullptr, TRUE);
        }
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        if (Message.WParamHi == SMC_SKIN_REMOVE)
            break;
        return;
    case SMC_PARENT_UPDATED:
        if (!SkinData->FUpdating)
            break;
        SkinData->SetUpdating(false);
        ::InvalidateRect(CtrlHandle, nullptr, TRUE);
        return;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return;
    case SMC_GET_UPDATING:
        Message.Result = SkinData->FUpdating ? 1 : 0;
        return;
    case SMC_GET_BG_INFO: {
        // The page shows what its tab control shows there.
        auto* bg = reinterpret_cast<PkvBGInfo>(Message.LParam);
        InitCtrlData(this);
        GetBGInfo(bg, ParentWnd, bg->PleaseDraw);
        bg->Offset.x += WndPos.x;
        bg->Offset.y += WndPos.y;
        Message.Result = 1;
        return;
    }
    }
    TkvMainWnd::kvWndProc(Message);
}

void TkvPageWnd::kvWndProc(TMessage& Message)
{
    if (!SkinData) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        Command(Message);
        return;
    }
    if (SkinData->Skinned() && !Destroyed) {
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            if (!::IsWindowVisible(CtrlHandle))
                break;
            KV_WMEraseBKGnd(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT:
            KV_WMEraseBKGnd(reinterpret_cast<HDC>(Message.WParam));
            ::SendMessageW(CtrlHandle, WM_PAINT, Message.WParam, Message.LParam);
            return;
        }
    }
    TkvAliveGuard guard(this);
    const HWND h = CtrlHandle;
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && Message.Msg == WM_PARENTNOTIFY && Message.WParamLo == WM_CREATE)
        SendCommandToTopParent(h);
}
