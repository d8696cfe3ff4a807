// The skinned system menu of a form's provider: the one place that answers
// which caption buttons a skinned form shows and allows.  Part of
// sSkinProvider.
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

    // Rebuilds the items when Full, then sets their visibility and state.
    void UpdateItems(bool Full = false);
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

    TsSkinProvider* FOwner;
    TCustomForm* FForm;

private:
    bool Iconic();
    bool MDIChild();
    bool BigBorder();
};
