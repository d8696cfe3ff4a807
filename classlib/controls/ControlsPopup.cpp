// Controls and menus: the popup menu of a right click, and menu shortcuts
// taken before a key reaches the control.
#include "classlib/controls/Controls.h"

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"

namespace {
// The screen point of WM_CONTEXTMENU; (-1, -1) when the keyboard asked.
TPoint ContextPoint(LPARAM LParam)
{
    return TPoint(short(LOWORD(LParam)), short(HIWORD(LParam)));
}

bool FromKeyboard(const TPoint& P) { return P.x == -1 && P.y == -1; }
} // namespace

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    if (FPopupMenu)
        FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled)
{
    if (OnContextPopup)
        OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message)
{
    if (Message.Result != 0 || ComponentState().Contains(csDesigning))
        return;
    TPoint pt = ContextPoint(Message.LParam);
    bool handled = false;
    DoContextPopup(FromKeyboard(pt) ? pt : ScreenToClient(pt), handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    TPopupMenu* menu = GetPopupMenu();
    if (menu && menu->AutoPopup()) {
        menu->SetPopupComponent(this);
        if (FromKeyboard(pt))
            pt = ClientToScreen(TPoint(0, 0));
        Message.Result = 1;
        menu->Popup(pt.x, pt.y);
        return;
    }
    // No menu here: a child window's default handling hands the message to
    // its parent window; a graphic control answers 0 and its parent goes on.
    DefaultHandler(Message);
}

void TWinControl::WMContextMenu(TMessage& Message)
{
    if (Message.Result != 0)
        return;
    TPoint pt = ContextPoint(Message.LParam);
    if (!FromKeyboard(pt) && FHandle) {
        if (TControl* child = ControlAtPos(ScreenToClient(pt), false)) {
            Message.Result = child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
            if (Message.Result != 0)
                return;
        }
    }
    TControl::WMContextMenu(Message);
}

bool TWinControl::IsMenuKey(TMessage& Message)
{
    if (ComponentState().Contains(csDesigning))
        return false;
    for (TControl* c = this; c; c = c->Parent())
        if (c->FPopupMenu && c->FPopupMenu->IsShortCut(Message))
            return true;
    TCustomForm* form = GetParentForm(this);
    return form && form->IsShortCut(Message);
}
