// Standard controls: push buttons, edits and memos, list and combo boxes,
// check boxes, radio buttons, group boxes and labels.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/rtl/Lists.h"

class TSubclassedWindow;

enum TTextLayout { tlTop, tlCenter, tlBottom };
// Where a label that does not size itself shortens a caption too long for it.
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

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
// The selection, read-only state and password character live in the window
// once it exists and are kept by the object before that.
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
    KV_CLASS(TCustomEdit)
    KV_PUBLISHED
public:
    explicit TCustomEdit(TComponent* AOwner);

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    wchar_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(wchar_t Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // Selects the whole text when the edit gets the focus.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // Whether the user changed the text since it was last set or cleared.
    bool Modified();
    void SetModified(bool Value);

    // Selection, in characters from the start of the text.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    UnicodeString SelText();
    // Replaces the selection (inserts at the caret when nothing is selected).
    void SetSelText(const UnicodeString& Value);
    void SelectAll();
    void ClearSelection() { SetSelText(UnicodeString()); }
    void Clear() { SetText(UnicodeString()); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();

    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    // Clipboard messages: masked edits replace them.
    virtual void WMPaste(TMessage& Message) { DefaultHandler(Message); }
    virtual void WMCut(TMessage& Message) { DefaultHandler(Message); }
    void CMEnter(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    // A single border is a sunken client edge with the 3-D look, else a line.
    void CMCtl3DChanged(TMessage& Message) override;
    // The edit's ES_* alignment style for Alignment and BiDiMode.
    DWORD AlignmentStyle() const;

private:
    int FMaxLength = 0;
    bool FReadOnly = false;
    wchar_t FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FAutoSelect = true;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = bsSingle;
    TAlignment FAlignment = taLeftJustify;
    bool FModified = false;
    // The selection while there is no window.
    int FSelStart = 0;
    int FSelLength = 0;
};

class TEdit : public TCustomEdit {
    KV_CLASS(TEdit)
    KV_PUBLISHED
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------
// TMemo: a multi-line edit whose Lines are the lines of its text.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo : public TCustomEdit {
    KV_CLASS(TCustomMemo)
    KV_PUBLISHED
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* Value) { FLines->Assign(Value); }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TStrings* FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    KV_CLASS(TMemo)
    KV_PUBLISHED
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---------------------------------------------------------------------------
// Items of a list box or a combo box: the strings live in the window once it
// exists (its LB_* / CB_* messages), in a string list before that and while
// the window is made anew.
#pragma push_macro("GetObject")
#undef GetObject
class TListControlStrings : public TStrings {
    KV_CLASS(TListControlStrings)
public:
    // The messages of one kind of list window.
    struct TMessages {
        UINT GetCount, GetTextLen, GetText, AddString, InsertString, DeleteString, ResetContent, GetItemData,
            SetItemData, FindStringExact, Err;
    };
    TListControlStrings(TWinControl* Owner, const TMessages& Msgs);
    ~TListControlStrings() override;

    int Add(const UnicodeString& S) override;
    void Insert(int Index, const UnicodeString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const UnicodeString& S) const override;
    // Whether the list keeps its strings sorted (LBS_SORT / CBS_SORT).
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);

    // The window was made: its strings come from the saved list.
    void WindowCreated(HWND Wnd);
    // The window is going: its strings are saved.
    void WindowDestroying();

protected:
    UnicodeString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void SetUpdateState(bool Updating) override;

private:
    HWND Wnd() const;
    void CheckIndex(int Index) const;
    TWinControl* FOwner;
    TMessages FMsgs;
    TStringList* FSaved;
    bool FSorted = false;
};
#pragma pop_macro("GetObject")

// ---------------------------------------------------------------------------
// TListBox: a superclass of the system's "LISTBOX".
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
using TDrawItemEvent = TMethod<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TMethod<void(TWinControl* Control, int Index, int& Height)>;

class TCustomListBox : public TWinControl {
    KV_CLASS(TCustomListBox)
    KV_PUBLISHED
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int Count() const { return FItems->Count(); }
    // The selected item (the focused one with MultiSelect), -1 for none.
    int ItemIndex();
    void SetItemIndex(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int SelCount();
    int TopIndex();
    void SetTopIndex(int Value);
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The item at a client point (-1 outside the items when Existing).
    int ItemAtPos(const TPoint& Pos, bool Existing);
    TRect ItemRect(int Index);
    void Clear() { FItems->Clear(); }
    TCanvas* Canvas() const { return FCanvas; }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual void CNCommand(TMessage& Message);
    virtual void CNDrawItem(TMessage& Message);
    virtual void CNMeasureItem(TMessage& Message);

private:
    TListControlStrings* FItems;
    TControlCanvas* FCanvas;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    bool FMultiSelect = false;
    bool FIntegralHeight = false;
    TBorderStyle FBorderStyle = bsSingle;
    int FSavedIndex = -1;
};

class TListBox : public TCustomListBox {
    KV_CLASS(TListBox)
    KV_PUBLISHED
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---------------------------------------------------------------------------
// TComboBox: a superclass of the system's "COMBOBOX".  The owner-drawn
// styles are drop-down lists whose items the control draws.
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TWinControl {
    KV_CLASS(TCustomComboBox)
    KV_PUBLISHED
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex();
    void SetItemIndex(int Value);
    int ItemHeight();
    void SetItemHeight(int Value);
    bool Sorted() const { return FItems->Sorted(); }
    void SetSorted(bool Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Whether the list is shown; setting it opens or closes the list.
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    // The edit part (simple and drop-down styles) and the list window.
    HWND EditHandle();
    HWND ListHandle();
    TCanvas* Canvas() const { return FCanvas; }
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);
    virtual void CNCommand(TMessage& Message);
    virtual void CNDrawItem(TMessage& Message);
    virtual void CNMeasureItem(TMessage& Message);
    bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
    // The colours of the edit part and the list: Font colour on Color.
    virtual void CtlColorPart(TMessage& Message);
    // Messages of the edit part (ComboWnd is EditHandle) and of the list
    // (ListHandle), which the combo box subclasses while its window lives.
    // The default offers the edit part's keys to the combo box's own key
    // handling (OnKeyDown, OnKeyPress; a key set to 0 goes no further) and
    // passes everything else to ComboProc, the child's previous procedure.
    virtual void ComboWndProc(TMessage& Message, HWND ComboWnd, TSubclassedWindow& ComboProc);

private:
    bool IsOwnPart(HWND Wnd);
    void EditWndProc(TMessage& Message);
    void ListWndProc(TMessage& Message);
    void SubclassParts();
    void ReleaseParts();
    TSubclassedWindow* FEditInstance;
    TSubclassedWindow* FListInstance;

    TListControlStrings* FItems;
    TControlCanvas* FCanvas;
    TComboBoxStyle FStyle = csDropDown;
    int FItemHeight = 16;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    int FSavedIndex = -1;
};

class TComboBox : public TCustomComboBox {
    KV_CLASS(TComboBox)
    KV_PUBLISHED
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
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
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    // Sizes the label to its text when AutoSize is on.
    virtual void AdjustBounds();

protected:
    void Paint() override;
    // Draws the caption in Rect with DrawText flags; with DT_CALCRECT it
    // only measures, and Rect becomes the text's extent.  Paint (twice with
    // a layout other than tlTop: measuring, then drawing) and AdjustBounds
    // (measuring) call it; it adds the right-to-left flags and, while the
    // label does not size itself, the ellipsis.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    // What DoDrawText hands DrawTextW: the text (one blank when a measured
    // caption is empty or a lone accelerator mark) and, in Flags, the
    // prefix, right-to-left and ellipsis flags added.  For overrides that
    // draw the caption their own way.
    UnicodeString PrepareDrawText(UINT& Flags);
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
    TEllipsisPosition FEllipsisPosition = epNone;
};

class TLabel : public TCustomLabel {
    KV_CLASS(TLabel)
    KV_PUBLISHED
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Check boxes and radio buttons: "BUTTON" windows whose state the control
// keeps (BS_3STATE / BS_RADIOBUTTON), so that a click goes through Toggle
// or SetChecked and the window only shows the state.
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomCheckBox : public TButtonControl {
    KV_CLASS(TCustomCheckBox)
    KV_PUBLISHED
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    virtual bool Checked() const { return FState == cbChecked; }
    virtual void SetChecked(bool Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    // The side the text stands on: taRightJustify (the default) puts the
    // box left of the text.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment GetControlsAlignment() const override;
    // The next state of a click: unchecked to grayed (when allowed) or
    // checked, grayed to checked, checked to unchecked.
    virtual void Toggle();
    // CM_CHANGED, then the click.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void CNCommand(TMessage& Message);

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
    KV_CLASS(TCheckBox)
    KV_PUBLISHED
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// Checking a radio button unchecks the radio buttons beside it (same parent).
class TRadioButton : public TButtonControl {
    KV_CLASS(TRadioButton)
    KV_PUBLISHED
public:
    explicit TRadioButton(TComponent* AOwner);

    virtual bool Checked() const { return FChecked; }
    virtual void SetChecked(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TAlignment GetControlsAlignment() const override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void CNCommand(TMessage& Message);

private:
    void TurnSiblingsOff();
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// ---------------------------------------------------------------------------
// TGroupBox: a frame with a caption that holds other controls; its children
// are aligned below the caption, inside the frame.
class TCustomGroupBox : public TCustomControl {
    KV_CLASS(TCustomGroupBox)
    KV_PUBLISHED
public:
    explicit TCustomGroupBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
};

class TGroupBox : public TCustomGroupBox {
    KV_CLASS(TGroupBox)
    KV_PUBLISHED
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// Registers the classes of this unit for form resources.
void RegisterStdCtrlsClasses();
