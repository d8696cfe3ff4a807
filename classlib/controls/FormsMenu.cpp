// The form's main menu: putting it on the window, and the menu's messages.
#include "classlib/controls/Forms.h"

#include "classlib/controls/Menus.h"

namespace {
// Takes Menu off Wnd when Wnd shows it: a window destroys the menu it holds.
void DetachMenu(HWND Wnd, TMainMenu* Menu)
{
    if (Wnd && Menu && Menu->Items()->HandleAllocated() && ::IsWindow(Wnd) && ::GetMenu(Wnd) == Menu->Handle())
        ::SetMenu(Wnd, nullptr);
}
} // namespace

void TCustomForm::SetMenu(TMainMenu* Value)
{
    if (FMenu == Value)
        return;
    if (FMenu) {
        DetachMenu(FHandle, FMenu);
        if (FMenu->WindowHandle() == FHandle)
            FMenu->SetWindowHandle(nullptr);
        FMenu->RemoveFreeNotification(this);
    }
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FHandle)
        AttachMenu();
}

void TCustomForm::AttachMenu()
{
    if (!FHandle || !FMenu || ComponentState().Contains(csDestroying))
        return;
    // One window at a time shows a menu bar.
    if (FMenu->WindowHandle() != FHandle)
        DetachMenu(FMenu->WindowHandle(), FMenu);
    FMenu->SetWindowHandle(FHandle);
    if (FClientHandle)
        AttachMDIMenu();
    else if (!(::GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD))
        ::SetMenu(FHandle, FMenu->Handle());
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWindowMenu)
        FWindowMenu = nullptr;
    if (Operation == opRemove && AComponent == FMenu) {
        // The menu took itself off the window as it went.
        FMenu = nullptr;
        if (FHandle && ::IsWindow(FHandle))
            ::DrawMenuBar(FHandle);
    }
}

bool TCustomForm::IsShortCut(TMessage& Message) { return FMenu && FMenu->IsShortCut(Message); }

void TCustomForm::CMMenuChanged(TMessage&)
{
    if (!FHandle || !FMenu)
        return;
    // A rebuilt window menu lost the children's entries: the client lists them again.
    if (FClientHandle) {
        AttachMDIMenu();
        return;
    }
    if (!(::GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD) && ::GetMenu(FHandle) != FMenu->Handle())
        ::SetMenu(FHandle, FMenu->Handle());
    ::DrawMenuBar(FHandle);
}

void TCustomForm::WMInitMenuPopup(TMessage& Message)
{
    // A sub-menu of the menu bar opens (not the system menu).
    if (FMenu && !HIWORD(Message.LParam) && FMenu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam)))
        return;
    DefaultHandler(Message);
}

void TCustomForm::WMMenuChar(TMessage& Message)
{
    if (FMenu && FMenu->ProcessMenuChar(Message))
        return;
    DefaultHandler(Message);
}

void TCustomForm::WMCommand(TMessage& Message)
{
    // From a menu (high word 0) or an accelerator (1), not from a control.
    if (Message.LParam == 0 && HIWORD(Message.WParam) <= 1 && FMenu && FMenu->DispatchCommand(LOWORD(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    TWinControl::WMCommand(Message);
}

void TCustomForm::WMDrawItem(TMessage& Message)
{
    if (MenuDrawItem(FMenu, reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam))) {
        Message.Result = TRUE;
        return;
    }
    TWinControl::WMDrawItem(Message);
}

void TCustomForm::WMMeasureItem(TMessage& Message)
{
    if (MenuMeasureItem(FMenu, reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam))) {
        Message.Result = TRUE;
        return;
    }
    TWinControl::WMMeasureItem(Message);
}

void TCustomForm::WMDestroy(TMessage& Message)
{
    // The window would destroy the menu it shows; the menu is ours.
    DetachMenu(FHandle, FMenu);
    if (FMenu && FMenu->WindowHandle() == FHandle)
        FMenu->SetWindowHandle(nullptr);
    TWinControl::WMDestroy(Message);
}
