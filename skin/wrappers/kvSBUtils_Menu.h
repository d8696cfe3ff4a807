// The wrapper of a popup-menu window (TkvMnuWnd): while popup menus are
// skinned it paints the window's 3-pixel border and its background from the
// skin (or from the picture the menu skinning prepared for the window), and
// it answers every command message itself.  The window-creation hook makes
// one for each popup-menu window and keeps it among the open menus; unlike
// every other wrapper it frees itself when its window goes.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/wrappers/kvSBUtils_Scroll.h"

class TkvMnuWnd;

// What the popup-menu wrapper needs of the menu skinning (skin/forms),
// which registers it when linked in; without one no menu window is painted.
class TkvMenuWindowHost {
public:
    virtual ~TkvMenuWindowHost() = default;
    // Popup menus are being skinned now.
    virtual bool CanHookMenu() = 0;
    virtual void SetCanHookMenu(bool Value) = 0;
    // Wnd leaves the open menus (its slots emptied).
    virtual void Forget(TkvMnuWnd* Wnd) = 0;
    // The wrappers of the menu windows still open.
    virtual std::vector<TkvMnuWnd*> OpenMenus() = 0;
    // The open menus forgotten altogether.
    virtual void ClearMenus() = 0;
    // The popup backgrounds the menu skinning keeps emptied.
    virtual void ClearCache() = 0;
};
extern TkvMenuWindowHost* kvMenuWindowHost;

class TkvMnuWnd : public TkvScrollWnd {
    KV_CLASS(TkvMnuWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // 1 once the menu skinning gave the visible window its region (it says
    // so with SMC_GET_DROPPED); 0 after the background was painted.
    int RgnChanged = 0;

    // Rebuilds the cache when BGChanged: the section over the whole window.
    virtual void PrepareCache();

private:
    void WindowGoing(TMessage& Message);
    void Command(TMessage& Message);
    void EraseBkgnd(TMessage& Message);
    void NCPaint();
};
