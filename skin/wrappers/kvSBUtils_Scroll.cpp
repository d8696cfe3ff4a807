// The scroll wrapper: setting the bars up and letting them go, the queries
// on a window's bars and the wrapper's window procedure.
#include "classlib/controls/Forms.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

SCROLLINFO ReadScrollInfo(HWND Wnd, int Bar)
{
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(Wnd, Bar, &si);
    return si;
}

TkvScrollBar* NewBar(TkvScrollWnd* Owner, WORD Type, HWND Wnd)
{
    auto* bar = new TkvScrollBar;
    bar->sw = Owner;
    bar->nBarType = Type;
    bar->ScrollInfo = ReadScrollInfo(Wnd, Type);
    const LONG style = ::GetWindowLongW(Wnd, GWL_STYLE);
    bar->fScrollFlags = (style & (Type == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) ? SBF_STYLE : 0;
    return bar;
}

void FreeBar(TkvScrollBar*& Bar)
{
    if (Bar)
        Bar->sw = nullptr;
    FreeAndNil(Bar);
}

bool IsManager(TsCommonData* SkinData, LPARAM LParam)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && reinterpret_cast<LPARAM>(m) == LParam;
}

// The bars of Wnd named by Bar (0, 1 or 3 for both).
template <class F>
void ForBars(TkvScrollWnd* W, int Bar, F Do)
{
    if ((Bar == SB_HORZ || Bar == SB_BOTH) && W->sBarHorz)
        Do(W->sBarHorz);
    if ((Bar == SB_VERT || Bar == SB_BOTH) && W->sBarVert)
        Do(W->sBarVert);
}

bool ScrollStateChanged(TkvScrollWnd* W)
{
    const auto differs = [&](TkvScrollBar* Bar) {
        if (!Bar)
            return false;
        const SCROLLINFO now = ReadScrollInfo(W->CtrlHandle, Bar->nBarType);
        const SCROLLINFO& was = Bar->ScrollInfo;
        return now.nMin != was.nMin || now.nMax != was.nMax || now.nPage != was.nPage || now.nPos != was.nPos;
    };
    return differs(W->sBarHorz) || differs(W->sBarVert);
}

} // namespace

// ---------------------------------------------------------------------------
// Set-up and release.

void InitializeKVScrolls(TkvScrollWnd* ScrollWnd, HWND Wnd, bool Repaint)
{
    ScrollWnd->DontRepaint = false;
    ScrollWnd->CtrlHandle = Wnd;
    ScrollWnd->sBarHorz = NewBar(ScrollWnd, SB_HORZ, Wnd);
    ScrollWnd->sBarVert = NewBar(ScrollWnd, SB_VERT, Wnd);
    ScrollWnd->fLeftScrollbar = (::GetWindowLongW(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    ScrollWnd->bPreventStyleChange = false;
    InitializeKVWnd(ScrollWnd, Wnd);
    if (ScrollWnd->Destroyed) {
        FreeBar(ScrollWnd->sBarHorz);
        FreeBar(ScrollWnd->sBarVert);
        return;
    }
    Kv_SetMinThumbSize(Wnd, SB_BOTH, Kv_GetDefaultMinThumbSize());
    if (Repaint)
        Kv_RedrawNonClient(Wnd, true);
}

void UninitializeKVScroll(HWND Wnd, bool FreeIt, bool Repaint, TkvScrollWnd*& ScrollWnd)
{
    if (!ScrollWnd)
        return;
    // Every hooked wrapper lets go, whoever owns its skin data: a raw
    // window's wrapper left hooked would outlive its window.
    if (!ScrollWnd->Destroyed) {
        Kv_ForgetWindow(ScrollWnd->CtrlHandle);
        FreeBar(ScrollWnd->sBarHorz);
        FreeBar(ScrollWnd->sBarVert);
        TkvMainWnd* w = ScrollWnd;
        UninitializeKVWnd(Wnd, false, Repaint, w);
    }
    if (FreeIt) {
        ScrollWnd->OldProc = nullptr;
        ScrollWnd->OldWndProc = nullptr;
        FreeAndNil(ScrollWnd);
    }
}

TkvScrollWnd* HookScrollWnd(HWND AHandle, TsSkinManager* ASkinManager, TsCommonData* ASkinData)
{
    if (Kv_GetScrollWndFromHwnd(AHandle))
        return nullptr;
    return CreateWnd<TkvScrollWnd>(AHandle, ASkinData, ASkinManager, L"", true);
}

TkvScrollWnd* InitControl(HWND Wnd, TsCommonData* SkinData, TsSkinManager* SkinManager)
{
    return SkinManager && SkinManager->Active() ? HookScrollWnd(Wnd, SkinManager, SkinData) : nullptr;
}

TkvScrollWnd* Kv_GetScrollWrapper(HWND Wnd)
{
    return dynamic_cast<TkvScrollWnd*>(Kv_GetScrollWndFromHwnd(Wnd));
}

TkvScrollBar* Kv_GetScrollBarFromHwnd(HWND Wnd, int Bar)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    return w ? w->Bar(Bar) : nullptr;
}

int Kv_GetDefaultMinThumbSize()
{
    return 10;
}

bool Kv_SetMinThumbSize(HWND Wnd, int Bar, int Size)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    if (!w)
        return false;
    ForBars(w, Bar, [Size](TkvScrollBar* b) { b->nMinThumbSize = Size; });
    return true;
}

bool Scrolls_SetStyle(HWND Wnd, int Bar, int Style)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    if (!w)
        return false;
    ForBars(w, Bar, [Style](TkvScrollBar* b) { b->fFlatScrollbar = WORD(Style); });
    if (::IsWindowVisible(Wnd))
        Kv_RedrawNonClient(Wnd, true);
    return true;
}

bool IsThumbTracking(HWND Wnd)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    return w && w->fThumbTracking;
}

void GetBarScrollInfo(HWND Wnd, int Bar, SCROLLINFO& SI)
{
    TkvScrollBar* b = Bar == SB_HORZ || Bar == SB_VERT ? Kv_GetScrollBarFromHwnd(Wnd, Bar) : nullptr;
    if (!b) {
        SI.cbSize = 0;
        return;
    }
    SI = b->ScrollInfo;
}

bool ShowSkinnedBar(HWND Wnd, int Bar, bool Show)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    if (!w)
        return ::ShowScrollBar(Wnd, Bar, Show) != 0;
    ForBars(w, Bar, [Wnd, Show](TkvScrollBar* b) {
        const LONG bit = b->Vertical() ? WS_VSCROLL : WS_HSCROLL;
        if (Show)
            b->fScrollFlags |= SBF_STYLE;
        else
            b->fScrollFlags &= WORD(~SBF_STYLE);
        const LONG style = ::GetWindowLongW(Wnd, GWL_STYLE);
        ::SetWindowLongW(Wnd, GWL_STYLE, Show ? style | bit : style & ~bit);
    });
    Kv_RedrawNonClient(Wnd, true);
    return true;
}

// ---------------------------------------------------------------------------
// The wrapper.

TkvScrollWnd::~TkvScrollWnd()
{
    Kv_ForgetWindow(CtrlHandle);
    FreeBar(sBarHorz);
    FreeBar(sBarVert);
}

void TkvScrollWnd::BeforeDestruction()
{
    if (!Destroyed)
        Kv_ForgetWindow(CtrlHandle);
    TkvMainWnd::BeforeDestruction();
}

void TkvScrollWnd::BarBackground(TkvBGInfo& Info)
{
    GetBGInfo(&Info, CtrlHandle, false);
    TsProviderSeam* p = SkinData ? SkinData->OwnerProvider() : nullptr;
    if (p)
        Info.Offset = p->HasBorderForm() ? p->BorderFormOffset() : TPoint(0, 0);
}

void TkvScrollWnd::kvWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (!Destroyed) {
            // The window goes: its press ends, the hook goes after the window heard it.
            Kv_ForgetWindow(CtrlHandle);
            TkvAliveGuard guard(this);
            PassOn(Message);
            if (guard.Alive() && !Destroyed) {
                TkvScrollWnd* self = this;
                UninitializeKVScroll(CtrlHandle, false, false, self);
            }
        }
        return;
    case WM_UPDATEUISTATE:
        return;
    }
    if (Destroyed)
        return;
    if (!SkinData || !SkinData->Skinned()) {
        if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_SET && SkinData &&
            IsManager(SkinData, Message.LParam)) {
            SkinData->UpdateIndexes();
            SkinComesBack();
        }
        PassOn(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD)
        SkinCommand(Message);
    else
        SkinnedMessage(Message);
}

void TkvScrollWnd::SkinCommand(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (IsManager(SkinData, Message.LParam)) {
            SkinData->UpdateIndexes();
            SkinComesBack();
            KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        }
        break;
    case SMC_SKIN_REMOVE:
        if (IsManager(SkinData, Message.LParam))
            RestoreStdParams();
        break;
    case SMC_SKIN_REFRESH:
        if (IsManager(SkinData, Message.LParam)) {
            SkinData->UpdateIndexes();
            SkinData->BGChanged = true;
        }
        break;
    case SMC_PARENT_UPDATED:
        if (SkinData->FUpdating) {
            // A frame aligning its children repaints once it is done.
            if (InheritsFromClass(SkinData->FOwnerObject, L"TsFrameAdapter") && SkinData->FOwnerControl &&
                SkinData->FOwnerControl->ControlState().Contains(csAligning))
                return;
            SkinData->SetUpdating(false);
            SkinData->SetUpdating(SkinData->GetUpdating());
            if (!SkinData->FUpdating)
                ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        break;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return;
    case SMC_SET_UPDATING:
        SkinData->SetUpdating(Message.WParamLo == 1);
        break;
    case SMC_GET_BG_COLOR: {
        TkvAliveGuard guard(this);
        PassOn(Message);
        if (guard.Alive() && Message.Result == 0)
            Message.Result = static_cast<LRESULT>(GetBGColor(SkinData, 0, nullptr));
        return;
    }
    case SMC_GET_BG_INFO: {
        TkvAliveGuard guard(this);
        PassOn(Message);
        auto* info = reinterpret_cast<PkvBGInfo>(Message.LParam);
        if (guard.Alive() && info && info->BgType == btUnknown)
            InitBGInfo(SkinData, info, 0, nullptr);
        return;
    }
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
    }
    PassOn(Message);
}

void TkvScrollWnd::SkinnedMessage(TMessage& Message)
{
    const HWND wnd = CtrlHandle;
    switch (Message.Msg) {
    case WM_STYLECHANGED:
        StyleChanged(Message);
        return;
    case WM_NCCALCSIZE:
        Message.Result = Kv_NCCalcSize(this, wnd, Message.WParam, Message.LParam);
        return;
    case WM_NCHITTEST:
        Message.Result = Kv_NCHitTest(this, wnd, Message.WParam, Message.LParam);
        return;
    case WM_NCPAINT:
        NCPaint(Message);
        return;
    case WM_PRINT:
        Print(Message);
        return;
    case WM_NCMOUSEMOVE:
        Message.Result = HandleNCMouseMove(this, wnd, Message.WParam, Message.LParam);
        return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            Message.Result = Kv_NCLButtonDown(this, wnd, Message.WParam, Message.LParam);
        else
            PassOn(Message);
        return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        // No system scroll menu on a skinned bar.
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            Message.Result = 0;
        else
            PassOn(Message);
        return;
    case WM_SYSCOMMAND:
        // The system's own tracking of its bars never starts.
        if ((Message.WParam & 0xFFF0) == SC_VSCROLL || (Message.WParam & 0xFFF0) == SC_HSCROLL)
            return;
        break;
    case WM_TIMER:
        Timer(Message);
        return;
    case WM_MOUSEMOVE:
        Message.Result = Kv_MouseMove(this, wnd, Message.WParam, Message.LParam);
        return;
    case WM_LBUTTONUP:
        Message.Result = Kv_LButtonUp(this, wnd, Message.WParam, Message.LParam);
        return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        CaptureLost(Message);
        return;
    case CM_UIACTIVATE:
        PassOn(Message);
        if (WndSize.cx != 0)
            ::SetWindowPos(wnd, nullptr, 0, 0, WndSize.cx, WndSize.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                               SWP_NOSENDCHANGING);
        return;
    }
    PassOnAndKeepBars(Message);
    if (Destroyed)
        return;
    if (((Message.Msg == WM_MOUSEWHEEL || Message.Msg == CM_MOUSEWHEEL) && !DontRepaint) ||
        Message.Msg == CM_FOCUSCHANGED)
        UpdateScrolls(this, true);
}

void TkvScrollWnd::PassOnWithoutBars(TMessage& Message)
{
    const LONG style = ::GetWindowLongW(CtrlHandle, GWL_STYLE);
    if (!(style & (WS_HSCROLL | WS_VSCROLL))) {
        PassOn(Message);
        return;
    }
    const HWND wnd = CtrlHandle;
    bPreventStyleChange = true;
    ::SetWindowLongW(wnd, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
    TkvAliveGuard guard(this);
    PassOn(Message);
    // The style goes back even when this wrapper went meanwhile: the window
    // keeps its own bars then.
    if (::IsWindow(wnd))
        ::SetWindowLongW(wnd, GWL_STYLE, style);
    if (guard.Alive())
        bPreventStyleChange = false;
}

void TkvScrollWnd::PassOnAndKeepBars(TMessage& Message)
{
    TkvAliveGuard guard(this);
    PassOn(Message);
    if (!guard.Alive() || Destroyed || DontRepaint || fThumbTracking)
        return;
    if (ScrollStateChanged(this))
        UpdateScrolls(this, true);
}

void TkvScrollWnd::NCPaint(TMessage& Message)
{
    // The frame first (without the system's bars), then the bars over it.
    TkvAliveGuard guard(this);
    PassOnWithoutBars(Message);
    if (!guard.Alive() || Destroyed || !::IsWindowVisible(CtrlHandle))
        return;
    SkinData->SetUpdating(SkinData->GetUpdating());
    if (!SkinData->FUpdating && !DontRepaint)
        Kv_NCPaint(this, CtrlHandle, int(Message.WParam), int(Message.LParam), -1, nullptr);
}

void TkvScrollWnd::Print(TMessage& Message)
{
    TkvAliveGuard guard(this);
    PassOnWithoutBars(Message);
    if (guard.Alive() && !Destroyed && (Message.LParam & PRF_NONCLIENT) && Message.WParam)
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, reinterpret_cast<HDC>(Message.WParam));
}

void TkvScrollWnd::StyleChanged(TMessage& Message)
{
    if (bPreventStyleChange) {
        Message.Result = 0;
        return;
    }
    if (Message.WParam == WPARAM(GWL_EXSTYLE)) {
        const auto* ss = reinterpret_cast<const STYLESTRUCT*>(Message.LParam);
        fLeftScrollbar = ss && (ss->styleNew & WS_EX_LEFTSCROLLBAR);
    }
    PassOn(Message);
}

void TkvScrollWnd::Timer(TMessage& Message)
{
    TkvAliveGuard guard(this);
    Message.Result = Kv_Timer(this, CtrlHandle, Message.WParam, Message.LParam);
    if (guard.Alive() && !Destroyed && !DontRepaint && !fThumbTracking)
        UpdateScrolls(this, true);
}

void TkvScrollWnd::CaptureLost(TMessage& Message)
{
    // Our own release of the mouse ends no press twice: the press is over by then.
    if (Message.Msg == WM_CANCELMODE || reinterpret_cast<HWND>(Message.LParam) != CtrlHandle)
        Kv_EndPress(this, CtrlHandle, false);
    PassOn(Message);
}
