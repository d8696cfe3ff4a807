#include "classlib/controls/Mask.h"

#include "classlib/controls/Clipbrd.h"

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const UnicodeString& Value)
{
    if (FEditMask == Value)
        return;
    // The text survives the change: what was typed into the old mask's
    // places, or a plain text with or without literals, laid into the new one.
    UnicodeString edit = EditText();
    UnicodeString text = GetText();
    bool withLiterals = true;
    UnicodeString typed;
    if (IsMasked()) {
        withLiterals = false;
        for (int i = 0; i < FMask.Length() && i < int(edit.size()); ++i)
            if (FMask.IsInput(i))
                typed += edit[size_t(i)] == FMask.Blank() ? L' ' : edit[size_t(i)];
    } else {
        typed = edit;
    }
    FEditMask = Value;
    FMask = TEditMask(Value);
    FHasUndo = false;
    SetWindowEditText(IsMasked() ? FMask.EditTextOf(typed, withLiterals) : text);
}

UnicodeString TCustomMaskEdit::EditText() { return TCustomEdit::GetText(); }

void TCustomMaskEdit::SetEditText(const UnicodeString& Value)
{
    SetWindowEditText(IsMasked() ? FMask.EditTextOf(Value, true) : Value);
}

UnicodeString TCustomMaskEdit::GetText()
{
    UnicodeString edit = EditText();
    return IsMasked() ? FMask.TextOf(edit) : edit;
}

void TCustomMaskEdit::SetText(const UnicodeString& Value)
{
    SetWindowEditText(IsMasked() ? FMask.EditTextOf(Value) : Value);
}

void TCustomMaskEdit::SetWindowEditText(const UnicodeString& Value)
{
    if (EditText() == Value)
        return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomMaskEdit::ValidateEdit()
{
    if (!IsMasked() || !Modified())
        return;
    int missing = FMask.FirstMissing(EditText());
    if (missing < 0)
        return;
    SetSelStart(missing);
    SetSelLength(1);
    throw EDBEditError(L"Invalid input value. Use escape key to abandon changes");
}

void TCustomMaskEdit::Reset()
{
    if (!Modified())
        return;
    SetWindowEditText(FOldValue);
    SetModified(false);
    SelectAll();
}

bool TCustomMaskEdit::CanEdit() { return IsMasked() && !ReadOnly(); }

TMaskEditState TCustomMaskEdit::State()
{
    TMaskEditState s;
    s.EditText = EditText();
    s.SelStart = SelStart();
    s.SelLength = SelLength();
    return s;
}

void TCustomMaskEdit::Apply(const TMaskEditState& S)
{
    TMaskEditState before = State();
    if (S.EditText != before.EditText) {
        FUndo = before;
        FHasUndo = true;
        SetWindowEditText(S.EditText);
        SetModified(true);
    }
    SetSelStart(S.SelStart);
    if (S.SelLength > 0)
        SetSelLength(S.SelLength);
}

void TCustomMaskEdit::UndoMasked()
{
    if (!FHasUndo)
        return;
    TMaskEditState back = FUndo;
    FUndo = State();
    SetWindowEditText(back.EditText);
    SetModified(true);
    SetSelStart(back.SelStart);
    if (back.SelLength > 0)
        SetSelLength(back.SelLength);
}

void TCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0)
        return;
    if (Key == VK_DELETE && Shift.Contains(ssShift)) {
        Perform(WM_CUT, 0, 0);
        Key = 0;
    } else if (Key == VK_INSERT && Shift.Contains(ssShift)) {
        Perform(WM_PASTE, 0, 0);
        Key = 0;
    } else if (Key == VK_DELETE) {
        if (CanEdit()) {
            TMaskEditState s = State();
            FMask.DeleteForward(s);
            Apply(s);
        }
        Key = 0;
    }
}

void TCustomMaskEdit::KeyPress(wchar_t& Key)
{
    TCustomEdit::KeyPress(Key);
    if (!IsMasked() || Key == 0)
        return;
    switch (Key) {
    case 0x1B:   // Esc
        if (Modified()) {
            Reset();
            Key = 0;
        }
        return;
    case 0x08:   // Backspace
        if (CanEdit()) {
            TMaskEditState s = State();
            FMask.DeleteBack(s);
            Apply(s);
        }
        Key = 0;
        return;
    // The edit control's own handling of these would bypass the mask.
    case 0x16: Perform(WM_PASTE, 0, 0); Key = 0; return;
    case 0x18: Perform(WM_CUT, 0, 0); Key = 0; return;
    case 0x1A: Perform(WM_UNDO, 0, 0); Key = 0; return;
    default: break;
    }
    if (Key < L' ')
        return;   // Enter, Tab, Ctrl+C... as the edit control takes them
    if (CanEdit()) {
        TMaskEditState s = State();
        if (FMask.TypeChar(s, Key))
            Apply(s);
        else
            MessageBeep(0);
    }
    Key = 0;
}

void TCustomMaskEdit::WMPaste(TMessage& Message)
{
    if (!IsMasked()) {
        TCustomEdit::WMPaste(Message);
        return;
    }
    if (!CanEdit())
        return;
    TMaskEditState s = State();
    if (FMask.Paste(s, Clipboard()->AsText()))
        Apply(s);
    else
        MessageBeep(0);
}

void TCustomMaskEdit::WMCut(TMessage& Message)
{
    if (!IsMasked()) {
        TCustomEdit::WMCut(Message);
        return;
    }
    Perform(WM_COPY, 0, 0);
    if (!CanEdit())
        return;
    TMaskEditState s = State();
    if (s.SelLength > 0) {
        FMask.DeleteForward(s);
        Apply(s);
    }
}

void TCustomMaskEdit::CMEnter(TMessage& Message)
{
    FOldValue = EditText();
    FHasUndo = false;
    TCustomEdit::CMEnter(Message);
}

void TCustomMaskEdit::CMExit(TMessage& Message)
{
    ValidateEdit();
    TCustomEdit::CMExit(Message);
}

void TCustomMaskEdit::WndProc(TMessage& Message)
{
    if (IsMasked()) {
        switch (Message.Msg) {
        case WM_UNDO:
        case EM_UNDO:
            UndoMasked();
            Message.Result = 1;
            return;
        case EM_CANUNDO:
            Message.Result = FHasUndo;
            return;
        case WM_CLEAR:
            if (CanEdit()) {
                TMaskEditState s = State();
                FMask.DeleteForward(s);
                Apply(s);
            }
            return;
        default:
            break;
        }
    }
    TCustomEdit::WndProc(Message);
}

KV_BEGIN_PUBLISHED(TCustomMaskEdit, TCustomEdit)
    B.Str(L"EditMask", &C::EditMask, &C::SetEditMask);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TMaskEdit, TCustomMaskEdit)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

namespace {
// Form resources may name the class as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterClasses<TMaskEdit>(), true);
} // namespace
