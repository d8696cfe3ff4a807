// Putting a method in front of a control's WindowProc and taking it out
// again, for the library's objects that take over a control without a
// window of their own (speed buttons) or listen to another control (sticky
// labels).
//
// Taking a hook out never cuts a later subclasser out of the chain: when
// another method has been put in front of it since, the hook stays in the
// chain, passes every message on to the method it found and takes itself
// out as soon as it is on top again.  A hook hears of its control being
// freed and then lets go without touching it.
//
//   FHook = new TkvWndMethodHook(Control, Bind(this, &TMine::NewWndProc));
//   ...  NewWndProc ends with FHook->CallOld(Message)
//   TkvWndMethodHook::Release(FHook);   // in the owner's destructor
//
// GUI thread only.
#pragma once

#include "classlib/controls/Controls.h"
#include "classlib/controls/Messages.h"
#include "classlib/rtl/Classes.h"

class TkvWndMethodHook final : public TComponent {
    KV_CLASS(TkvWndMethodHook)
public:
    // Puts Target in front of Control's WindowProc.
    TkvWndMethodHook(TControl* Control, TWndMethod Target);
    ~TkvWndMethodHook() override;

    // The control, nullptr once it is being freed.
    TControl* Control() const { return FControl; }
    // The method found in WindowProc when the hook went in.
    const TWndMethod& Old() const { return FOld; }
    // Hands Message to that method.
    void CallOld(TMessage& Message) const { FOld(Message); }
    // The hook is the control's WindowProc now.
    bool OnTop() const;

    // Takes the target out and sets Hook to nullptr: the control gets the
    // method found back when the hook is on top; otherwise the hook stays as
    // a pass-through (kept by the unit) until it is.  The target is never
    // called again.  A control being freed is not touched.
    static void Release(TkvWndMethodHook*& Hook);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Proc(TMessage& Message);
    TWndMethod Method() { return Bind(this, &TkvWndMethodHook::Proc); }

    TControl* FControl;
    TWndMethod FTarget;
    TWndMethod FOld;
    bool FDone = false; // a pass-through that has left the chain or lost its control
};
