// The MDI support of a skin provider whose form is an MDI main form: it
// keeps the MDI client window wrapped by the skinned MDI wrapper while the
// form is skinned, answers the wrapper's questions about the form, and
// offers the close, minimise and restore actions of the active MDI child.
// The provider makes it with HookMDI(true) and frees it with HookMDI(false).
// GUI thread only.
#pragma once

#include "classlib/controls/Forms.h"
#include "classlib/controls/Menus.h"
#include "classlib/rtl/Classes.h"
#include "skin/wrappers/kvSBUtils_MDI.h"

class TsSkinProvider;

class TsMDIForm : public TPersistent, public TkvMDIHost {
    KV_CLASS(TsMDIForm)
public:
    // AOwner is the provider; its form's window is made.
    explicit TsMDIForm(TsSkinProvider* AOwner);
    ~TsMDIForm() override;

    // Wraps the MDI client unless it is wrapped already.
    void ConnectToClient();
    // A new wrapper on the MDI client while the form is skinned; none otherwise.
    void RefreshMDIScrolls();
    // Frees the wrapper (which frees its own skin data).
    void DestroyScrolls();
    void UpdateMDIIconItem();
    TMenuItem* MakeChildIconItem() { return nullptr; }
    void CloseClick(TObject* Sender);
    void MinClick(TObject* Sender);
    void RestoreClick(TObject* Sender);

    // --- TkvMDIHost
    bool Animating() override;
    TsCommonData* FormSkinData() override;
    TColor FormColor() override;
    void PaintAll() override;
    TPoint ImageOrigin() override;
    bool HasBorderWindow() override;
    void ChildrenArranged() override;
    void MenuReplaced() override;
    void MenuRefreshed() override;

    TCustomForm* FForm = nullptr;
    TkvMDIWnd* ListSW = nullptr;
    TsSkinProvider* SkinProvider = nullptr;

private:
    void ChildCommand(WPARAM Command);
};
