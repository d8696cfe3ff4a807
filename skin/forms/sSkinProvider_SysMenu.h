// The skinned system menu of a form's provider: the one place that answers
// which caption buttons a skinned form shows and allows.  It is a popup menu
// built from the window's own system menu and drawn by the skinned menus;
// when the skin manager does not skin popups, the window's own menu drops
// instead, its entries enabled by the same rules.  Part of sSkinProvider.
#pragma once

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"

class TsSkinProvider;

// The common base of a form's and a dialog's system menu.
class TsCustomSysMenu : public TPopupMenu {
    KV_CLASS(TsCustomSysMenu)
public:
    using TPopupMenu::TPopupMenu;
    virtual bool VisibleClose() = 0;
    virtual bool VisibleMax() = 0;
    virtual bool VisibleMin() = 0;
    virtual bool EnabledMax() = 0;
    virtual bool EnabledMin() = 0;
    virtual bool EnabledRestore() = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
    KV_CLASS(TsSystemMenu)
public:
    // AOwner is the provider.
    explicit TsSystemMenu(TsSkinProvider* AOwner);

    // Rebuilds every item from the window's system menu.
    void Generate();
    // Rebuilds the items when Full (or when there is no close item yet),
    // then sets the standard items' visibility and state.
    void UpdateItems(bool Full = false);
    // Puts the submenu of the available skins at the top.
    void MakeSkinItems();
    void UpdateGlyphs() {}

    bool VisibleClose() override;
    bool VisibleMax() override;
    bool VisibleMin() override;
    bool VisibleRestore();
    bool VisibleSize();
    bool EnabledMax() override;
    bool EnabledMin() override;
    bool EnabledRestore() override;
    bool EnabledMove();
    bool EnabledSize();

    void RestoreClick(TObject* Sender);
    void MoveClick(TObject* Sender);
    void SizeClick(TObject* Sender);
    void MinClick(TObject* Sender);
    void MaxClick(TObject* Sender);
    void CloseClick(TObject* Sender);
    void SkinSelect(TObject* Sender);
    void ExtClick(TObject* Sender);

    int ExtItemsCount = 0;
    TsSkinProvider* FOwner;
    TCustomForm* FForm;
    TMenuItem* ItemRestore = nullptr;
    TMenuItem* ItemMove = nullptr;
    TMenuItem* ItemSize = nullptr;
    TMenuItem* ItemMinimize = nullptr;
    TMenuItem* ItemMaximize = nullptr;
    TMenuItem* ItemClose = nullptr;

private:
    bool Iconic();
    bool MDIChild();
    bool BigBorder();
    void ForgetItems();
    TMenuItem* AddStandardItem(HMENU SysMenu, UINT Command);
    void AddSeparator();
    void SendCommand(WPARAM Command);
};
