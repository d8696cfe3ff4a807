// What the engine needs of the form, dialog and menu skinning, which sits
// above it (skin/forms): interfaces that skin/forms implements, and the
// services it registers with RegisterFormsServices when the program links
// it in.  Without them the manager works with no menu skinner and no
// window-creation hook.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Messages.h"
#include "classlib/graphics/Types.h"
#include "classlib/rtl/Classes.h"

class TBitmap;
class TMenuItem;
class TPopupMenu;
class TsAnimShowSeam;
class TsSkinManager;

// The manager's menu skinner (TsSkinableMenus), owned by the manager.
class TsMenusSeam {
public:
    virtual ~TsMenusSeam() = default;
    // Hooks or unhooks the application's menus by the manager's skin.
    virtual void UpdateMenus() = 0;
    // -1 has the border width measured again for the next skin.
    virtual void SetSkinBorderWidth(int Value) = 0;
    // The prepared picture of the open popup whose first item is the first
    // item of Item's parent, or (Item nil) of the popup window Wnd; nil
    // when there is none.
    virtual TBitmap* PopupPicture(TMenuItem* Item, HWND Wnd) = 0;
    // Gives a popup-menu window its skinned shape from its picture.
    virtual void DrawWndBorder(HWND Wnd, TBitmap* MenuBmp) = 0;
    // Makes Menu and its items drawn by the skin (Active) or gives them back.
    virtual void HookPopupMenu(TPopupMenu* Menu, bool Active)
    {
        (void)Menu;
        (void)Active;
    }
};

// The menu settings the manager publishes as MenuSupport (TkvMenuSupport).
class TsMenuSupportSeam : public TPersistent {
    KV_CLASS(TsMenuSupportSeam)
public:
    virtual UnicodeString IcoLineSkin() const = 0;
    virtual void SetIcoLineSkin(const UnicodeString& Value) = 0;
};

// A form's skin provider (TsSkinProvider) as the broadcasts and the
// whole-form painting see it.  A skinned form answers SMC_GET_PROVIDER with
// the provider's component; ProviderOf turns that answer back into the
// provider, accepting only providers that exist.
class TsProviderSeam {
public:
    TsProviderSeam();
    virtual ~TsProviderSeam();
    TsProviderSeam(const TsProviderSeam&) = delete;
    TsProviderSeam& operator=(const TsProviderSeam&) = delete;

    // The component the form's SMC_GET_PROVIDER answer points to.
    virtual TComponent* ProviderComponent() = 0;
    // The manager that serves the form (the default one when it names none).
    virtual TComponent* ProviderManager() = 0;
    // The provider's FInAnimation: the form is frozen by LockForms.
    virtual void SetInAnimation(bool Value) = 0;
    // The form has an extended-border window.
    virtual bool HasBorderForm() = 0;
    // Gives the extended-border window its region for a frozen form (no redraw).
    virtual void FreezeBorderForm() = 0;
    // The published DrawNonClientArea.
    virtual bool DrawsNonClientArea() = 0;
    // Rebuilds the transparent corners and sets the window region again.
    virtual void UpdateRegion() = 0;
    // Repaints and places the extended-border window behind the form.
    virtual void UpdateBorderPos() = 0;
    // Where the client area lies in the form's window image.
    virtual int OffsetX() = 0;
    virtual int OffsetY() = 0;
    // The design-time message entry; it does nothing at run time.
    virtual void DsgnWndProc(TMessage& Message) = 0;
    // Frees the cached title background so that the title is drawn anew
    // (the form's section changed).
    virtual void FreeTitleBG() {}
    // The form as a layered show sees it (its window image, border window
    // and offsets); nil while the provider offers none.
    virtual TsAnimShowSeam* AnimShow() { return nullptr; }
    // The form's rectangle at (0, 0) with its transparent corners cut out,
    // the corners measured again first; the caller owns the region (0:
    // the form has no cut corners).
    virtual HRGN CornerRegion() { return nullptr; }
    // Where the form's window lies in its extended-border window's image
    // (border and shadow widths); (0, 0) without a border window.
    virtual TPoint BorderFormOffset() { return {}; }
};

// The provider of the form whose window is FormWnd (asked with
// SMC_GET_PROVIDER); nullptr when it has none.
TsProviderSeam* ProviderOf(HWND FormWnd);

struct TsFormsServices {
    // The manager's menu skinner and its menu settings; the manager owns both.
    TsMenusSeam* (*CreateMenus)(TsSkinManager* Owner) = nullptr;
    TsMenuSupportSeam* (*CreateMenuSupport)() = nullptr;
    // The thread's window-creation hook: installed (false when the thread
    // has one already or the system refused), and removed together with
    // every skinner it attached.
    bool (*InstallCreationHook)() = nullptr;
    void (*RemoveCreationHook)() = nullptr;
    // The windows of the skinned system dialogs that are visible now.
    std::vector<HWND> (*VisibleSkinnedDialogs)() = nullptr;
};

void RegisterFormsServices(const TsFormsServices& Services);
const TsFormsServices& FormsServices();
