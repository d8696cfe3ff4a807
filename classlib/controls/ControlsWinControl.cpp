// TWinControl: its children, bounds, showing, and the routing of window
// messages to handlers and to the children that sent them.
#include "classlib/controls/Controls.h"

#include <algorithm>

#include "classlib/controls/ControlsPrivate.h"
#include "classlib/controls/Forms.h"

using namespace controls_detail;

void TWinControl::InsertControl(TControl* AControl)
{
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        InsertTab(w);
    if (AControl->FParentColor)
        AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentFont)
        AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentBiDiMode)
        AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
    if (auto* w = dynamic_cast<TWinControl*>(AControl); w && w->FParentCtl3D)
        AControl->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
    AControl->UpdateAnchorRules();
    if (AControl->FAlign != alNone)
        Realign();
    if (!IsWinControl(AControl))
        AControl->Invalidate();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        if (TCustomForm* form = GetParentForm(this))
            form->DefocusControl(w, true);
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    ReleaseControlCapture(AControl);
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        RemoveTab(w);
    else
        AControl->InvalidateControl(AControl->FVisible, false);
    it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it != FControls.end())
        FControls.erase(it);
    AControl->FParent = nullptr;
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (!ComponentState().Contains(csDestroying))
        Realign();
}

void TWinControl::InsertTab(TWinControl* AControl) { FTabList.push_back(AControl); }

void TWinControl::RemoveTab(TWinControl* AControl)
{
    auto it = std::find(FTabList.begin(), FTabList.end(), AControl);
    if (it != FTabList.end())
        FTabList.erase(it);
}

bool TWinControl::ContainsControl(TControl* Control)
{
    while (Control && Control != this)
        Control = Control->FParent;
    return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!AllowWinControls && IsWinControl(c))
            continue;
        if (!c->FVisible || (!c->FEnabled && !AllowDisabled))
            continue;
        if (!c->BoundsRect().Contains(Pos))
            continue;
        TPoint local{Pos.x - c->FLeft, Pos.y - c->FTop};
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    std::vector<TControl*> list = FControls;
    for (TControl* c : list) {
        if (std::find(FControls.begin(), FControls.end(), c) == FControls.end())
            continue;
        c->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage m = MakeMessage(Msg, 0, 0);
    Broadcast(m);
}

void TWinControl::SetBorderWidth(int Value)
{
    if (FBorderWidth == Value)
        return;
    FBorderWidth = std::max(Value, 0);
    Realign();
    Invalidate();
}

TRect TWinControl::GetClientRect()
{
    TRect r;
    if (FHandle) {
        ::GetClientRect(FHandle, &r);
        return r;
    }
    // No window yet: the frame the window will have, from its styles.
    TCreateParams params;
    CreateParams(params);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
    int w = FWidth - (frame.right - frame.left), h = FHeight - (frame.bottom - frame.top);
    return Rect(0, 0, std::max(w, 0), std::max(h, 0));
}

TPoint TWinControl::ClientOrigin()
{
    if (FHandle) {
        POINT p{0, 0};
        ::ClientToScreen(FHandle, &p);
        return p;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    CheckNewSize(AWidth, AHeight);
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    if (FHandle && !::IsIconic(FHandle)) {
        // WM_WINDOWPOSCHANGED / WM_SIZE bring the new bounds back.
        ::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        if (FLeft != ALeft || FTop != ATop || FWidth != AWidth || FHeight != AHeight) {
            // A window that refused the size (minimum tracking size...) keeps its own.
            UpdateBounds();
        }
        UpdateAnchorRules();
        RequestAlign();
        return;
    }
    bool resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    BoundsChanged();
    if (resized)
        Realign();
    RequestAlign();
    if (resized && !ComponentState().Contains(csLoading))
        Resize();
}

void TWinControl::UpdateBounds()
{
    if (!FHandle || ::IsIconic(FHandle))
        return;
    RECT r;
    ::GetWindowRect(FHandle, &r);
    HWND parent = ::GetParent(FHandle);
    if ((::GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) && parent)
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    FHeight = r.bottom - r.top;
}

UnicodeString TWinControl::GetText() { return FHandle ? WindowText(FHandle) : FText; }

void TWinControl::UpdateShowingCascade(bool ParentShows)
{
    bool show = FVisible && ParentShows && !ComponentState().Contains(csLoading) &&
                !ComponentState().Contains(csDestroying);
    if (show) {
        if (!FHandle)
            CreateHandle();
        // Children first, so that the window shows with them in place.
        std::vector<TControl*> list = FControls;
        for (TControl* c : list)
            if (auto* w = dynamic_cast<TWinControl*>(c))
                w->UpdateShowingCascade(true);
    }
    if (FShowing != show) {
        FShowing = show;
        try {
            Perform(CM_SHOWINGCHANGED, 0, 0);
        } catch (...) {
            FShowing = !show;
            throw;
        }
        if (!show) {
            std::vector<TControl*> list = FControls;
            for (TControl* c : list)
                if (auto* w = dynamic_cast<TWinControl*>(c))
                    w->UpdateShowingCascade(false);
        }
    }
}

void TWinControl::UpdateShowing()
{
    UpdateShowingCascade(FParent ? FParent->FShowing : true);
}

void TWinControl::UpdateControlState()
{
    TWinControl* top = this;
    while (top->FParent) {
        top = top->FParent;
        if (!top->FShowing)
            return;
    }
    if (dynamic_cast<TCustomForm*>(top) || top->FParentWindow)
        UpdateShowing();
}

void TWinControl::WMSize(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
    Realign();
    if (!ComponentState().Contains(csLoading))
        Resize();
}

void TWinControl::WMMove(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateBounds();
}

namespace {
// Reflects a notification to the control whose window sent it; false when
// that window is not one of ours.
bool ReflectToChild(HWND Child, TMessage& Message)
{
    TWinControl* c = Child ? TWinControl::FindControl(Child) : nullptr;
    if (!c)
        return false;
    Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}
} // namespace

void TWinControl::WMCommand(TMessage& Message)
{
    if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (!hdr || !ReflectToChild(hdr->hwndFrom, Message))
        DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (!dis || dis->CtlType == ODT_MENU || !ReflectToChild(dis->hwndItem, Message))
        DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    HWND child = nullptr;
    if (mis && mis->CtlType != ODT_MENU && FHandle)
        child = ::GetDlgItem(FHandle, int(mis->CtlID));
    if (!ReflectToChild(child, Message))
        DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message)
{
    if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
        DefaultHandler(Message);
}

void TWinControl::CMShowingChanged(TMessage&)
{
    if (FHandle)
        ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage& Message)
{
    if (!FVisible && FParent) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() && ContainsControl(form->ActiveControl()))
            form->DefocusControl(this, false);
    }
    UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
    if (FHandle)
        ::EnableWindow(FHandle, FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    FBrush->SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
    TControl::CMColorChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message)
{
    UpdateWindowFont();
    NotifyControls(CM_PARENTFONTCHANGED);
    TControl::CMFontChanged(Message);
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_MOVE: WMMove(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_HSCROLL: case WM_VSCROLL:
        if (!ReflectToChild(reinterpret_cast<HWND>(Message.LParam), Message))
            DefaultHandler(Message);
        return;
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        WMCtlColor(Message);
        return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: WMKeyDown(Message); return;
    case WM_KEYUP: case WM_SYSKEYUP: WMKeyUp(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
    case WM_MOUSELEAVE: WMMouseLeave(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_DESTROY: WMDestroy(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR: case CN_SYSCHAR: CNChar(Message); return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); return;
    case CM_RECREATEWND: CMRecreateWnd(Message); return;
    case CM_INVALIDATE: CMInvalidate(Message); return;
    case CM_CTL3DCHANGED: CMCtl3DChanged(Message); return;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(Message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_MOUSEMOVE: {
        TControl* target = MouseTarget(Message.LParam);
        TrackMouseControl(target ? target : this);
        if (IsControlMouseMsg(Message))
            return;
        break;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        if (IsControlMouseMsg(Message))
            return;
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX: case CN_CTLCOLOREDIT: case CN_CTLCOLORLISTBOX: case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG: case CN_CTLCOLORSCROLLBAR: case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        ::SetTextColor(dc, ColorToRGB(FFont->Color()));
        ::SetBkColor(dc, ColorToRGB(FBrush->Color()));
        Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
        return;
    }
    default:
        break;
    }
    Message.Result =
        ::CallWindowProcW(FDefWndProc ? FDefWndProc : ::DefWindowProcW, FHandle, Message.Msg, Message.WParam,
                          Message.LParam);
}
