// Up-down controls over the system's "msctls_updown32" window.
#include "classlib/controls/ComCtrls.h"

namespace comctrls_detail {
void InitCommonControls();
}

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle -= csDoubleClicks;
    // The arrows are the window's: no click of the control's own.
    FControlStyle -= csClickEvents;
    FWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    FHeight = ::GetSystemMetrics(SM_CYVSCROLL) * 3 / 2;
}

void TCustomUpDown::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSW);
    Params.Style |= UDS_SETBUDDYINT | (FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT);
    if (FOrientation == udHorizontal)
        Params.Style |= UDS_HORZ;
    if (FArrowKeys)
        Params.Style |= UDS_ARROWKEYS;
    if (!FThousands)
        Params.Style |= UDS_NOTHOUSANDS;
    if (FWrap)
        Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd()
{
    TWinControl::CreateWnd();
    ::SendMessageW(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    UDACCEL accel{0, UINT(FIncrement)};
    ::SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    ::SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(FPosition));
    ApplyBuddy();
}

void TCustomUpDown::DestroyWnd()
{
    FPosition = Position();
    TWinControl::DestroyWnd();
}

// The window docks at its associate and writes the position into it.
void TCustomUpDown::ApplyBuddy()
{
    if (!FHandle)
        return;
    HWND buddy = FAssociate ? FAssociate->Handle() : nullptr;
    // Once it has a buddy the window reads its position from the buddy's
    // text: the position is taken first and written into the buddy after.
    int pos = Position();
    ::SendMessageW(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    // Docking moves both windows; their bounds follow (WM_WINDOWPOSCHANGED).
    if (FAssociate)
        ::SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(pos));
}

namespace {
template <class T>
void SetAndRecreate(TWinControl* Control, T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Control->RecreateWnd();
}
} // namespace

void TCustomUpDown::SetMin(int Value)
{
    if (FMin == Value)
        return;
    FMin = Value;
    if (FHandle)
        ::SendMessageW(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

void TCustomUpDown::SetMax(int Value)
{
    if (FMax == Value)
        return;
    FMax = Value;
    if (FHandle)
        ::SendMessageW(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

void TCustomUpDown::SetIncrement(int Value)
{
    if (FIncrement == Value)
        return;
    FIncrement = Value;
    if (FHandle) {
        UDACCEL accel{0, UINT(Value)};
        ::SendMessageW(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }
}

// With a buddy the window takes the position from the buddy's text when
// that holds a number in range, else it keeps its own.
int TCustomUpDown::Position()
{
    if (FHandle)
        FPosition = int(::SendMessageW(FHandle, UDM_GETPOS32, 0, 0));
    return FPosition;
}

void TCustomUpDown::SetPosition(int Value)
{
    FPosition = Value;
    if (FHandle) {
        ::SendMessageW(FHandle, UDM_SETPOS32, 0, LPARAM(Value));
        Position();
    }
}

void TCustomUpDown::SetOrientation(TUDOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    // The arrows turn: the long side goes the other way.
    if (!ComponentState().Contains(csLoading))
        SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) { SetAndRecreate(this, FAlignButton, Value); }
void TCustomUpDown::SetArrowKeys(bool Value) { SetAndRecreate(this, FArrowKeys, Value); }
void TCustomUpDown::SetThousands(bool Value) { SetAndRecreate(this, FThousands, Value); }
void TCustomUpDown::SetWrap(bool Value) { SetAndRecreate(this, FWrap, Value); }

void TCustomUpDown::SetAssociate(TWinControl* Value)
{
    if (Value == this)
        Value = nullptr;
    if (FAssociate == Value)
        return;
    if (FAssociate) {
        FAssociate->RemoveFreeNotification(this);
        if (FHandle)
            ::SendMessageW(FHandle, UDM_SETBUDDY, 0, 0);
    }
    FAssociate = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FHandle && Value && !ComponentState().Contains(csLoading))
        ApplyBuddy();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (FHandle)
            ::SendMessageW(FHandle, UDM_SETBUDDY, 0, 0);
    }
}

void TCustomUpDown::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: CNNotify(Message); break;
    case CN_HSCROLL: case CN_VSCROLL: CNScroll(Message); break;
    default: TWinControl::WndProc(Message);
    }
}

void TCustomUpDown::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code != UDN_DELTAPOS) {
        DefaultHandler(Message);
        return;
    }
    // A non-zero answer keeps the position.
    bool allow = CanChange();
    Message.Result = allow ? 0 : 1;
    if (allow)
        FPendingDelta = reinterpret_cast<NMUPDOWN*>(Message.LParam)->iDelta;
}

// The arrows moved the position: the step's sign, not the new value, tells
// the direction, so that wrapping past an end still reports the arrow used.
void TCustomUpDown::CNScroll(TMessage& Message)
{
    if (LOWORD(Message.WParam) != SB_THUMBPOSITION || FPendingDelta == 0)
        return;
    int delta = FPendingDelta;
    FPendingDelta = 0;
    Position();
    Click(delta > 0 ? btNext : btPrev);
}

bool TCustomUpDown::CanChange()
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TCustomUpDown::Click(TUDBtnType Button)
{
    if (OnClick)
        OnClick(this, Button);
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomUpDown, TWinControl)
    B.Enum(L"AlignButton", &C::AlignButton, &C::SetAlignButton, udRight, {L"udLeft", L"udRight"},
           L"TUDAlignButton");
    B.Bool(L"ArrowKeys", &C::ArrowKeys, &C::SetArrowKeys, true);
    B.Ref(L"Associate", &C::Associate, &C::SetAssociate);
    B.Int(L"Min", &C::Min, &C::SetMin, 0);
    B.Int(L"Max", &C::Max, &C::SetMax, 100);
    B.Int(L"Increment", &C::Increment, &C::SetIncrement, 1);
    B.Enum(L"Orientation", &C::Orientation, &C::SetOrientation, udVertical, {L"udHorizontal", L"udVertical"},
           L"TUDOrientation");
    B.Int(L"Position", &C::Position, &C::SetPosition, 0);
    B.Bool(L"Thousands", &C::Thousands, &C::SetThousands, true);
    B.Bool(L"Wrap", &C::Wrap, &C::SetWrap, false);
    B.Event(L"OnChanging", &C::OnChanging);
    B.Event(L"OnClick", &C::OnClick);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TUpDown, TCustomUpDown)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
