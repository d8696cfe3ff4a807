// TsStickyLabel: a label that keeps itself beside a windowed control (and
// the control beside itself), listening to the control through its
// WindowProc.
#include "skin/controls/sLabel.h"
#include "skin/core/kvWndMethodHook.h"
#include "skin/core/sStyleSimply.h"

namespace {

// The side of the label as seen from the control.
TAlignTo Opposite(TAlignTo Side)
{
    switch (Side) {
    case altLeft: return altRight;
    case altRight: return altLeft;
    case altTop: return altBottom;
    case altBottom: return altTop;
    }
    return Side;
}

// Where C stands now in its parent's client area.  A window moved or sized
// tells its control of the new bounds only after its messages are through,
// while the label may follow it from inside them: the window's own
// rectangle is the one to go by.
TRect ActualBounds(TControl* C)
{
    auto* w = dynamic_cast<TWinControl*>(C);
    if (!w || !w->HandleAllocated())
        return C->BoundsRect();
    TRect r;
    ::GetWindowRect(w->Handle(), &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(w->Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Moves M beside A on A's side Side.
void PlaceBeside(TControl* M, TControl* A, TAlignTo Side, int Gap)
{
    const TRect m = ActualBounds(M), a = ActualBounds(A);
    const int mw = m.Width(), mh = m.Height(), aw = a.Width(), ah = a.Height();
    int left = a.left, top = a.top;
    switch (Side) {
    case altLeft:
        left = a.left - mw - Gap;
        top = a.top + (ah - mh) / 2;
        break;
    case altTop:
        top = a.top - mh - Gap;
        break;
    case altBottom:
        top = a.top + ah + Gap;
        break;
    case altRight:
        left = a.left + aw + Gap;
        top = a.top + (ah - mh) / 2;
        break;
    }
    M->SetBounds(left, top, mw, mh);
}

} // namespace

TsStickyLabel::~TsStickyLabel()
{
    *FAlive = false;
    SetAttachTo(nullptr);
}

void TsStickyLabel::BeforeDestruction()
{
    SetAttachTo(nullptr);
    TsLabel::BeforeDestruction();
}

void TsStickyLabel::SetAttachTo(TWinControl* Value)
{
    if (Value == FAttachTo)
        return;
    if (FAttachTo)
        Detach();
    if (!Value)
        return;
    FAttachTo = Value;
    Value->FreeNotification(this);
    Adjust(true);
    SetEnabled(Value->Enabled());
    SetVisible(Value->Visible());
    FHook = new TkvWndMethodHook(Value, Bind(this, &TsStickyLabel::NewWinProc));
}

void TsStickyLabel::Detach()
{
    TWinControl* c = std::exchange(FAttachTo, nullptr);
    // A control being freed is left alone: the hook lets go of it when
    // the control's own notification arrives.
    TkvWndMethodHook::Release(FHook);
    if (c && !c->ComponentState().Contains(csDestroying))
        c->RemoveFreeNotification(this);
}

void TsStickyLabel::SetAlignTo(TAlignTo Value)
{
    if (Value != FAlignTo) {
        FAlignTo = Value;
        Adjust(true);
    }
}

void TsStickyLabel::SetGap(int Value)
{
    if (Value != FGap) {
        FGap = Value;
        Adjust(true);
    }
}

void TsStickyLabel::Adjust(bool MoveLabel)
{
    if (!FAttachTo)
        return;
    TFlagScope realigning(FRealigning, true);
    if (MoveLabel)
        PlaceBeside(this, FAttachTo, FAlignTo, FGap);
    else
        PlaceBeside(FAttachTo, this, Opposite(FAlignTo), FGap);
}

void TsStickyLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent && AComponent == FAttachTo)
        SetAttachTo(nullptr);
    TsLabel::Notification(AComponent, Operation);
}

void TsStickyLabel::NewWinProc(TMessage& Message)
{
    // The control handles its message first, so that its bounds, visibility
    // and state are the new ones when the label follows them.  A handler
    // of the control may free the label meanwhile.
    const std::shared_ptr<bool> alive = FAlive;
    FHook->CallOld(Message);
    if (!*alive || Destroying() || !FAttachTo || FRealigning)
        return;
    TFlagScope realigning(FRealigning, true);
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED: Adjust(true); break;
    case WM_SIZE: Adjust(false); break;
    case CM_VISIBLECHANGED: SetVisible(FAttachTo->Visible()); break;
    case CM_ENABLEDCHANGED: SetEnabled(FAttachTo->Enabled()); break;
    default: break;
    }
}

void TsStickyLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_WINDOWPOSCHANGED && !Destroying() && FAttachTo && !FRealigning) {
        TFlagScope realigning(FRealigning, true);
        Adjust(false);
    }
    TsLabel::WndProc(Message);
}

KV_BEGIN_PUBLISHED(TsStickyLabel, TsLabel)
    B.Enum(L"AlignTo", &C::AlignTo, &C::SetAlignTo, altLeft, {L"altLeft", L"altTop", L"altBottom", L"altRight"},
           L"TAlignTo");
    B.Ref(L"AttachTo", &C::AttachTo, &C::SetAttachTo);
    B.Int(L"Gap", &C::Gap, &C::SetGap, 2);
KV_END_PUBLISHED
