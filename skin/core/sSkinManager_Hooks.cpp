// The default manager's hooks: the form skinning's window-creation hook
// (one per thread, passed on to a new default manager) and the
// application's main window (theme change, activation, popup-menu borders).
#include <windows.h>

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"

namespace {

constexpr UINT CM_ACTIVATE_NOTICE = 0xB000;
constexpr UINT KV_MENU_ITEM_BORDER = 0xBCB3;
constexpr UINT KV_MENU_WND_BORDER = 0xBCB4;

POINT CentreOf(const RECT& R)
{
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

// The rectangle of the first item of Item's menu, asked with the window
// the menu was tracked with when the menu alone does not say.
bool FirstItemRect(TMenuItem* Item, RECT& R)
{
    TMenuItem* parent = Item->Parent();
    if (!parent)
        return false;
    const HMENU menu = parent->Handle();
    if (::GetMenuItemRect(nullptr, menu, 0, &R))
        return true;
    return PopupList && ::GetMenuItemRect(PopupList->Window(), menu, 0, &R);
}

} // namespace

void TsSkinManager::InstallHook()
{
    if (!IsDefault() || Designing() || GlobalHookInstalled)
        return;
    if (const auto install = FormsServices().InstallCreationHook)
        GlobalHookInstalled = install();
}

void TsSkinManager::UnInstallHook()
{
    if (Designing() || !GlobalHookInstalled)
        return;
    if (const auto remove = FormsServices().RemoveCreationHook)
        remove();
    GlobalHookInstalled = false;
}

void TsSkinManager::TakeOverFrom(TsSkinManager* Previous)
{
    if (!Previous)
        return;
    // The thread keeps its one creation hook; only its keeper changes.
    if (Previous->GlobalHookInstalled) {
        Previous->GlobalHookInstalled = false;
        GlobalHookInstalled = true;
    }
    Previous->UnhookMainWindow();
    DefaultManager = this;
    HookMainWindow();
}

void TsSkinManager::HookMainWindow()
{
    if (!IsNT || Designing() || FMainWindowHooked || !Application)
        return;
    Application->HookMainWindow(TWindowHook(this, &TsSkinManager::MainWindowHook));
    FMainWindowHooked = true;
}

void TsSkinManager::UnhookMainWindow()
{
    if (!FMainWindowHooked)
        return;
    if (Application)
        Application->UnhookMainWindow(TWindowHook(this, &TsSkinManager::MainWindowHook));
    FMainWindowHooked = false;
}

bool TsSkinManager::MainWindowHook(TMessage& Message)
{
    if (!FSkinnedPopups)
        return false;
    switch (Message.Msg) {
    case WM_THEMECHANGED:
        return true;
    case CM_ACTIVATE_NOTICE:
        for (int i = Screen ? Screen->FormCount() - 1 : -1; i >= 0; --i)
            if (i < Screen->FormCount())
                SendAMessage(Screen->Forms(i), SMC_REPAINT_NOW, 0);
        return false;
    case KV_MENU_ITEM_BORDER:
        // Posted: the item may have been freed since.
        if (TMenuItem* item = reinterpret_cast<TMenuItem*>(Message.LParam); TMenuItem::Exists(item))
            DrawMenuBorder(item, nullptr);
        return true;
    case KV_MENU_WND_BORDER:
        if (Message.LParam)
            DrawMenuBorder(nullptr, reinterpret_cast<HWND>(Message.LParam));
        return true;
    default:
        return false;
    }
}

void TsSkinManager::DrawMenuBorder(TMenuItem* Item, HWND Wnd)
{
    if (!FSkinableMenus)
        return;
    if (Item) {
        RECT r;
        if (!FirstItemRect(Item, r))
            return;
        Wnd = ::WindowFromPoint(CentreOf(r));
        if (!Wnd)
            return;
    }
    if (TBitmap* picture = FSkinableMenus->PopupPicture(Item, Wnd))
        FSkinableMenus->DrawWndBorder(Wnd, picture);
}
