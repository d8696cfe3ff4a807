// The form's active control, focus changes, activation and dialog keys.
#include "classlib/controls/Forms.h"

namespace {
// Focuses the window and, when it took the focus, tells it CM_UIACTIVATE:
// the form's focus has settled there.
void FocusWindow(HWND Handle)
{
    ::SetFocus(Handle);
    if (::GetFocus() == Handle)
        ::SendMessageW(Handle, CM_UIACTIVATE, 0, 0);
}
} // namespace

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (FActiveControl == Control)
        return;
    if (Control && (Control == this || GetParentForm(Control) != this))
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (!ComponentState().Contains(csLoading) && FActive && Control && Control->CanFocus())
        FocusWindow(Control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    if (FFocusedControl == Control)
        return true;
    TWinControl* common = FFocusedControl;
    // CM_EXIT up from the old control to the first parent that holds the new one.
    while (common && common != this && !common->ContainsControl(Control)) {
        TWinControl* next = common->Parent();
        common->Perform(CM_EXIT, 0, 0);
        common = next;
    }
    FFocusedControl = Control;
    if (Control && Control != this)
        FActiveControl = Control;
    // CM_ENTER down from there to the new control.
    std::vector<TWinControl*> chain;
    for (TWinControl* p = Control; p && p != common && p != this; p = p->Parent())
        chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->Perform(CM_ENTER, 0, 0);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return true;
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    FActiveControl = Control;
    HWND h = Control ? Control->Handle() : Handle();
    if (h)
        FocusWindow(h);
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing)
{
    if (!Control)
        return;
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
    if (FFocusedControl && Control->ContainsControl(FFocusedControl)) {
        FFocusedControl = nullptr;
        if (!Removing && FHandle && ::IsWindowVisible(FHandle))
            ::SetFocus(FHandle);
    }
}

void TCustomForm::SetFocus()
{
    if (!FVisible || !FEnabled)
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::CMActivate(TMessage&)
{
    FActive = true;
    if (Screen)
        Screen->FActiveForm = this;
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&)
{
    FActive = false;
    Deactivate();
}

void TCustomForm::WMActivate(TMessage& Message)
{
    DefaultHandler(Message);
    bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    if (active == FActive)
        return;
    if (active) {
        Perform(CM_ACTIVATE, 0, 0);
        if (FActiveControl && FActiveControl->HandleAllocated() && ::IsWindowVisible(FActiveControl->Handle()))
            FocusWindow(FActiveControl->Handle());
    } else {
        Perform(CM_DEACTIVATE, 0, 0);
    }
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
    if (::GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParamLo) {
        case VK_TAB:
            if (::GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, ::GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.WParamLo == VK_RIGHT || Message.WParamLo == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default:
            break;
        }
    }
    TWinControl::CMDialogKey(Message);
}
