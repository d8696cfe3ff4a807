// Standard controls: push buttons and labels.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// ---------------------------------------------------------------------------
// The base of buttons, check boxes and radio buttons.
class TButtonControl : public TWinControl {
    KV_CLASS(TButtonControl)
    KV_PUBLISHED
public:
    explicit TButtonControl(TComponent* AOwner);

    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    // Set while the control changes its own state, so that the
    // notification the system sends for it is not taken for a click.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }

private:
    bool FClicksDisabled = false;
    bool FWordWrap = false;
};

// ---------------------------------------------------------------------------
// TButton: a superclass of the system's "BUTTON" under the name "TButton".
// A click sets the parent form's ModalResult to the button's; Enter clicks
// the active default button and Esc the cancel button (CM_DIALOGKEY).
class TButton : public TButtonControl {
    KV_CLASS(TButton)
    KV_PUBLISHED
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }

    void Click() override;
    void WndProc(TMessage& Message) override;

    // Shows the button as the default one (the thick frame) or not.
    virtual void SetButtonStyle(bool ADefault);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void CMDialogKey(TMessage& Message) override;
    void CMFocusChanged(TMessage& Message) override;
    virtual void CNCommand(TMessage& Message);
    // Owner-drawn buttons (a skinner sets BS_OWNERDRAW) get these.
    virtual void CNDrawItem(TMessage& Message);
    virtual void CNMeasureItem(TMessage& Message);

    // The button Enter clicks: the default button while no other button has
    // the focus, or the focused button.
    bool Active() const { return FActive; }

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    int FModalResult = 0;
};

// ---------------------------------------------------------------------------
// TEdit: a superclass of the system's "EDIT"; Text is the window's text.
class TCustomEdit : public TWinControl {
    KV_CLASS(TCustomEdit)
    KV_PUBLISHED
public:
    explicit TCustomEdit(TComponent* AOwner);

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    void SelectAll();

    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();

private:
    int FMaxLength = 0;
};

class TEdit : public TCustomEdit {
    KV_CLASS(TEdit)
    KV_PUBLISHED
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------
// TLabel: text painted on the parent.  With AutoSize it takes the size of
// its text (keeping its width when WordWrap is on).
class TCustomLabel : public TGraphicControl {
    KV_CLASS(TCustomLabel)
    KV_PUBLISHED
public:
    explicit TCustomLabel(TComponent* AOwner);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    // Sizes the label to its text when AutoSize is on.
    virtual void AdjustBounds();

protected:
    void Paint() override;
    // Draws the caption in Rect with DrawText flags; with DT_CALCRECT it
    // only measures, and Rect becomes the text's extent.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    virtual UnicodeString GetLabelText() { return Caption(); }
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    virtual void CMDialogChar(TMessage& Message);

private:
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    KV_CLASS(TLabel)
    KV_PUBLISHED
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// Registers the classes of this unit for form resources.
void RegisterStdCtrlsClasses();
