// Mouse: the control under the mouse, a graphic control's hold on the
// mouse, cursors, clicks and mouse events.
#include "classlib/controls/Controls.h"

#include <windowsx.h>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/ControlsPrivate.h"
#include "classlib/controls/Forms.h"

using namespace controls_detail;

namespace {
// A graphic control that holds the mouse between button down and up (the
// system's capture is on its parent's window).
TControl* CaptureControl = nullptr;
} // namespace

namespace controls_detail {
TControl* MouseInControl = nullptr;

void ReleaseControlCapture(const TControl* Control)
{
    if (Control && CaptureControl == Control) {
        CaptureControl = nullptr;
        ::ReleaseCapture();
    }
}
} // namespace controls_detail

TControl* MouseControl() { return MouseInControl; }

// The control holding the mouse: the window with the capture, or the
// control without a window on it that holds it.
static TControl* CaptureHolder()
{
    TWinControl* w = FindControl(::GetCapture());
    if (w && CaptureControl && CaptureControl->Parent() == w)
        return CaptureControl;
    return w;
}

bool TControl::MouseCapture() const
{
    return CaptureHolder() == this;
}

void TControl::SetMouseCapture(bool Value)
{
    if (MouseCapture() == Value)
        return;
    if (!Value) {
        CaptureControl = nullptr;
        ::ReleaseCapture();
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        CaptureControl = nullptr;
        ::SetCapture(w->Handle());
    } else if (FParent && FParent->HandleAllocated()) {
        CaptureControl = this;
        ::SetCapture(FParent->FHandle);
    }
}

// ---------------------------------------------------------------------------
HCURSOR CursorHandle(TCursor Cursor)
{
    const wchar_t* id = IDC_ARROW;
    switch (Cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNo: case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
    }
    return ::LoadCursorW(nullptr, id);
}

TShiftState KeysToShiftState(WORD Keys)
{
    TShiftState s;
    if (Keys & MK_SHIFT) s += ssShift;
    if (Keys & MK_CONTROL) s += ssCtrl;
    if (Keys & MK_LBUTTON) s += ssLeft;
    if (Keys & MK_RBUTTON) s += ssRight;
    if (Keys & MK_MBUTTON) s += ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) s += ssAlt;
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s;
    if (::GetKeyState(VK_SHIFT) < 0) s += ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
    if (::GetKeyState(VK_MENU) < 0) s += ssAlt;
    if (::GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
    if (::GetKeyState(VK_RBUTTON) < 0) s += ssRight;
    if (::GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
    return s;
}

void TControl::WMMouseMove(TMessage& Message)
{
    DefaultHandler(Message);
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(WORD(Message.WParam)), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::WMButtonDown(TMessage& Message, TMouseButton Button)
{
    DefaultHandler(Message);
    bool dbl = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    if (Button == mbLeft) {
        // Held until the release: painters tell a press dragged off the
        // control from one made by the keyboard.
        FControlState += csLButtonDown;
        if (!IsWinControl(this) && FControlStyle.Contains(csCaptureMouse) && FParent && FParent->HandleAllocated()) {
            CaptureControl = this;
            ::SetCapture(FParent->FHandle);
        }
        if (dbl && FControlStyle.Contains(csDoubleClicks))
            DblClick();
        else if (FControlStyle.Contains(csClickEvents))
            FControlState += csClicked;
    }
    if (!FControlStyle.Contains(csNoStdEvents)) {
        TShiftState shift = KeysToShiftState(WORD(Message.WParam));
        if (dbl)
            shift += ssDouble;
        MouseDown(Button, shift, GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
}

void TControl::WMButtonUp(TMessage& Message, TMouseButton Button)
{
    // A system button clicks (and may be freed by its OnClick) inside the
    // default handling; a graphic control inside Click.
    TControlLifeWatch life(this);
    DefaultHandler(Message);
    if (!life.Alive())
        return;
    int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
    if (Button == mbLeft) {
        FControlState -= csLButtonDown;
        ReleaseControlCapture(this);
        if (FControlState.Contains(csClicked)) {
            FControlState -= csClicked;
            if (GetClientRect().Contains({x, y}))
                Click();
            if (!life.Alive())
                return;
        }
    }
    if (!FControlStyle.Contains(csNoStdEvents))
        MouseUp(Button, KeysToShiftState(WORD(Message.WParam)), x, y);
}

void TControl::CMMouseEnter(TMessage& Message)
{
    if (FParent)
        FParent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    if (Message.LParam == 0 && OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message)
{
    if (FParent)
        FParent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    if (Message.LParam == 0 && OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute();
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

bool TWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TWinControl::WMMouseWheel(TMessage& Message)
{
    TShiftState shift = KeysToShiftState(LOWORD(Message.WParam));
    int delta = short(HIWORD(Message.WParam));
    TPoint pos{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    // CM_MOUSEWHEEL carries the shift state in place of the key flags.
    const WPARAM wheel = MAKEWPARAM(WORD(shift.Ord() & 0xFF), HIWORD(Message.WParam));
    if (Perform(CM_MOUSEWHEEL, wheel, Message.LParam) != 0 || DoMouseWheel(shift, delta, pos)) {
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::TrackMouseControl(TControl* Target)
{
    if (MouseInControl != Target) {
        // The old control is left before the new one is entered.
        TControl* old = MouseInControl;
        MouseInControl = nullptr;
        if (old)
            old->Perform(CM_MOUSELEAVE, 0, 0);
        MouseInControl = Target;
        if (Target)
            Target->Perform(CM_MOUSEENTER, 0, 0);
    }
    if (FHandle && !FControlState.Contains(csDestroyingHandle)) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, FHandle, 0};
        ::TrackMouseEvent(&tme);
    }
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    TControl* c = MouseInControl;
    if (c && (c == this || (c->FParent == this && !IsWinControl(c)))) {
        MouseInControl = nullptr;
        c->Perform(CM_MOUSELEAVE, 0, 0);
    }
    DefaultHandler(Message);
}

TControl* TWinControl::MouseTarget(LPARAM Pos)
{
    if (CaptureControl && CaptureControl->FParent == this)
        return CaptureControl;
    return ControlAtPos({GET_X_LPARAM(Pos), GET_Y_LPARAM(Pos)}, false);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    TControl* target = MouseTarget(Message.LParam);
    if (!target)
        return false;
    int x = GET_X_LPARAM(Message.LParam) - target->FLeft, y = GET_Y_LPARAM(Message.LParam) - target->FTop;
    Message.Result = target->Perform(Message.Msg, Message.WParam, MAKELPARAM(x, y));
    return true;
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (Screen && Screen->Cursor() != crDefault) {
        ::SetCursor(CursorHandle(Screen->Cursor()));
        Message.Result = 1;
        return;
    }
    if (LOWORD(Message.LParam) == HTCLIENT && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
        TCursor cursor = FCursor;
        POINT p;
        ::GetCursorPos(&p);
        TPoint local = ScreenToClient(p);
        if (TControl* c = ControlAtPos(local, false))
            if (c->FCursor != crDefault)
                cursor = c->FCursor;
        if (cursor != crDefault) {
            ::SetCursor(CursorHandle(cursor));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}
