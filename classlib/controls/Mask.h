// TMaskEdit: an edit whose text follows an edit mask (classlib/rtl/MaskUtils.h).
// The window holds the edit text (literals and blanks in place); Text is the
// edit text as the mask saves it.  Typing, Backspace, Delete, cut, paste and
// undo go through the mask; without a mask it is a plain edit.
#pragma once

#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/MaskUtils.h"

class TCustomMaskEdit : public TCustomEdit {
    KV_CLASS(TCustomMaskEdit)
    KV_PUBLISHED
public:
    explicit TCustomMaskEdit(TComponent* AOwner);

    UnicodeString EditMask() const { return FEditMask; }
    void SetEditMask(const UnicodeString& Value);
    bool IsMasked() const { return !FMask.Empty(); }
    const TEditMask& Mask() const { return FMask; }

    // The window's text: literals in place, the blank character where
    // nothing was typed.
    UnicodeString EditText();
    void SetEditText(const UnicodeString& Value);
    UnicodeString GetText() override;
    void SetText(const UnicodeString& Value) override;

    // Raises EDBEditError, with the caret on the first required place left
    // blank, when a changed edit text is incomplete.
    virtual void ValidateEdit();
    // Back to the edit text the control had when it took the focus.
    void Reset();

    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(wchar_t& Key) override;
    void WMPaste(TMessage& Message) override;
    void WMCut(TMessage& Message) override;
    void CMEnter(TMessage& Message) override;
    void CMExit(TMessage& Message) override;

private:
    UnicodeString FEditMask;
    TEditMask FMask;
    UnicodeString FOldValue;      // the edit text on entry, for Reset
    TMaskEditState FUndo;         // the state before the last masked change
    bool FHasUndo = false;

    bool CanEdit();
    TMaskEditState State();
    // Shows a state the mask produced; a changed text counts as the user's.
    void Apply(const TMaskEditState& S);
    void SetWindowEditText(const UnicodeString& Value);
    void UndoMasked();
};

class TMaskEdit : public TCustomMaskEdit {
    KV_CLASS(TMaskEdit)
    KV_PUBLISHED
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
};
