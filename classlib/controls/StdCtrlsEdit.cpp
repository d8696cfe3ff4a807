// Edits and memos: the "EDIT" window, its selection and styles, and a memo's
// lines.
#include "classlib/controls/StdCtrls.h"

#include <algorithm>
#include <memory>

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
}

DWORD TCustomEdit::AlignmentStyle() const
{
    TAlignment a = FAlignment;
    if (UseRightToLeftAlignment() && a != taCenter)
        a = a == taLeftJustify ? taRightJustify : taLeftJustify;
    static const DWORD styles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    return styles[a];
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, L"EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | AlignmentStyle();
    if (FBorderStyle == bsSingle) {
        if (NewStyleControls && Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageW(FHandle, EM_LIMITTEXT, FMaxLength, 0);
    if (FPasswordChar)
        SendMessageW(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
    SendMessageW(FHandle, EM_SETMODIFY, FModified, 0);
    SendMessageW(FHandle, EM_SETSEL, FSelStart, FSelStart + FSelLength);
}

void TCustomEdit::DestroyWnd()
{
    FModified = Modified();
    FSelStart = SelStart();
    FSelLength = SelLength();
    TWinControl::DestroyWnd();
}

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = Value < 0 ? 0 : Value;
    if (HandleAllocated())
        SendMessageW(FHandle, EM_LIMITTEXT, FMaxLength, 0);
}

void TCustomEdit::SetReadOnly(bool Value)
{
    if (FReadOnly == Value)
        return;
    FReadOnly = Value;
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetPasswordChar(wchar_t Value)
{
    if (FPasswordChar == Value)
        return;
    FPasswordChar = Value;
    if (HandleAllocated()) {
        SendMessageW(FHandle, EM_SETPASSWORDCHAR, Value, 0);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    if (FCharCase == Value)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool Value)
{
    if (FHideSelection == Value)
        return;
    FHideSelection = Value;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetAlignment(TAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    RecreateWnd();
}

bool TCustomEdit::Modified()
{
    if (HandleAllocated())
        return SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0;
    return FModified;
}

void TCustomEdit::SetModified(bool Value)
{
    FModified = Value;
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETMODIFY, Value, 0);
}

int TCustomEdit::SelStart()
{
    if (!HandleAllocated())
        return FSelStart;
    DWORD start = 0;
    SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return int(start);
}

void TCustomEdit::SetSelStart(int Value)
{
    FSelStart = std::max(Value, 0);
    FSelLength = 0;
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETSEL, Value, Value);
}

int TCustomEdit::SelLength()
{
    if (!HandleAllocated())
        return FSelLength;
    DWORD start = 0, end = 0;
    SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return int(end) - int(start);
}

void TCustomEdit::SetSelLength(int Value)
{
    int start = SelStart();
    FSelLength = std::max(Value, 0);
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETSEL, start, start + Value);
}

UnicodeString TCustomEdit::SelText()
{
    UnicodeString text = GetText();
    size_t start = std::min(size_t(std::max(SelStart(), 0)), text.size());
    size_t len = std::min(size_t(std::max(SelLength(), 0)), text.size() - start);
    return text.substr(start, len);
}

void TCustomEdit::SetSelText(const UnicodeString& Value)
{
    if (HandleAllocated()) {
        SendMessageW(FHandle, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
        return;
    }
    UnicodeString text = GetText();
    size_t start = std::min(size_t(FSelStart), text.size());
    size_t len = std::min(size_t(FSelLength), text.size() - start);
    text.replace(start, len, Value);
    SetText(text);
    FSelStart = int(start + Value.size());
    FSelLength = 0;
}

void TCustomEdit::SelectAll()
{
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETSEL, 0, -1);
    else {
        FSelStart = 0;
        FSelLength = int(GetText().size());
    }
}

void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }

void TCustomEdit::Undo()
{
    if (HandleAllocated())
        SendMessageW(FHandle, WM_UNDO, 0, 0);
}

bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessageW(FHandle, EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE)
            Change();
        break;
    case WM_PASTE:
        WMPaste(Message);
        break;
    case WM_CUT:
        WMCut(Message);
        break;
    default:
        TWinControl::WndProc(Message);
    }
}

void TCustomEdit::CMEnter(TMessage& Message)
{
    if (FAutoSelect && !FControlState.Contains(csLButtonDown) && HandleAllocated() &&
        !(GetWindowLongW(FHandle, GWL_STYLE) & ES_MULTILINE))
        SelectAll();
    TWinControl::CMEnter(Message);
}

void TCustomEdit::CMTextChanged(TMessage& Message)
{
    TWinControl::CMTextChanged(Message);
    // A window tells of its own changes (EN_CHANGE); without one, nobody would.
    if (!HandleAllocated())
        Change();
}

void TCustomEdit::CMCtl3DChanged(TMessage& Message)
{
    if (NewStyleControls && FBorderStyle == bsSingle)
        RecreateWnd();
    TWinControl::CMCtl3DChanged(Message);
}

void TCustomEdit::Change()
{
    Changed();
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------
// The lines of a memo: the window's lines once it exists, the lines of the
// text before that.
namespace {

class TMemoStrings : public TStrings {
    TCustomMemo* FMemo;

    HWND Wnd() const { return FMemo->HandleAllocated() ? FMemo->Handle() : nullptr; }

    TStringList* TextLines() const
    {
        auto* l = new TStringList();
        l->SetText(FMemo->Text());
        return l;
    }

    void SetTextLines(TStringList* Lines)
    {
        FMemo->SetText(Lines->Text());
        delete Lines;
    }

public:
    explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}

    void Insert(int Index, const UnicodeString& S) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            TStringList* l = TextLines();
            l->Insert(std::clamp(Index, 0, l->Count()), S);
            SetTextLines(l);
            return;
        }
        LRESULT start = SendMessageW(wnd, EM_LINEINDEX, Index, 0);
        UnicodeString line = S + L"\r\n";
        if (start < 0) {
            // After the last line, which has no line break of its own.
            start = SendMessageW(wnd, EM_LINEINDEX, Index - 1, 0);
            if (start < 0)
                return;
            start += SendMessageW(wnd, EM_LINELENGTH, start, 0);
            line = L"\r\n" + S;
        }
        SendMessageW(wnd, EM_SETSEL, start, start);
        SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }

    void Delete(int Index) override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            TStringList* l = TextLines();
            if (Index >= 0 && Index < l->Count())
                l->Delete(Index);
            SetTextLines(l);
            return;
        }
        LRESULT start = SendMessageW(wnd, EM_LINEINDEX, Index, 0);
        if (start < 0)
            return;
        LRESULT end = SendMessageW(wnd, EM_LINEINDEX, Index + 1, 0);
        if (end < 0)
            end = start + SendMessageW(wnd, EM_LINELENGTH, start, 0);
        SendMessageW(wnd, EM_SETSEL, start, end);
        SendMessageW(wnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L""));
    }

    void Clear() override { FMemo->SetText(UnicodeString()); }

protected:
    UnicodeString Get(int Index) const override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            std::unique_ptr<TStringList> l(TextLines());
            return Index >= 0 && Index < l->Count() ? l->Strings(Index) : UnicodeString();
        }
        LRESULT start = SendMessageW(wnd, EM_LINEINDEX, Index, 0);
        if (start < 0)
            return UnicodeString();
        LRESULT len = SendMessageW(wnd, EM_LINELENGTH, start, 0);
        // EM_GETLINE takes the buffer size in its first word.
        UnicodeString s(size_t(std::max<LRESULT>(len, 1)), L'\0');
        s[0] = wchar_t(s.size());
        LRESULT got = SendMessageW(wnd, EM_GETLINE, Index, reinterpret_cast<LPARAM>(s.data()));
        s.resize(size_t(std::clamp<LRESULT>(got, 0, len)));
        return s;
    }

    int GetCount() const override
    {
        HWND wnd = Wnd();
        if (!wnd) {
            std::unique_ptr<TStringList> l(TextLines());
            return l->Count();
        }
        int n = int(SendMessageW(wnd, EM_GETLINECOUNT, 0, 0));
        // The empty line after a final line break is no line of the list.
        if (n > 0 && SendMessageW(wnd, EM_LINELENGTH, SendMessageW(wnd, EM_LINEINDEX, n - 1, 0), 0) == 0)
            --n;
        return n;
    }

    void SetTextStr(const UnicodeString& Value) override { FMemo->SetText(Value); }

    void SetUpdateState(bool Updating) override
    {
        if (HWND wnd = Wnd()) {
            SendMessageW(wnd, WM_SETREDRAW, !Updating, 0);
            if (!Updating)
                FMemo->Invalidate();
        }
    }
};

} // namespace

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TMemoStrings(this))
{
    FWidth = 185;
    FHeight = 89;
    SetAutoSelect(false);
    FControlStyle -= csFixedHeight;
}

TCustomMemo::~TCustomMemo() { delete FLines; }

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    static const DWORD bars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    Params.Style |= ES_MULTILINE | bars[FScrollBars];
    // A wrapped memo breaks long lines instead of scrolling sideways.
    if (FWordWrap)
        Params.Style &= ~DWORD(ES_AUTOHSCROLL);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars == Value)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomEdit, TWinControl)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taLeftJustify,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Bool(L"AutoSelect", &C::AutoSelect, &C::SetAutoSelect, true);
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
    B.Enum(L"CharCase", &C::CharCase, &C::SetCharCase, ecNormal, {L"ecNormal", L"ecUpperCase", L"ecLowerCase"},
           L"TEditCharCase");
    B.Bool(L"HideSelection", &C::HideSelection, &C::SetHideSelection, true);
    B.Int(L"MaxLength", &C::MaxLength, &C::SetMaxLength, 0);
    B.Char(L"PasswordChar", &C::PasswordChar, &C::SetPasswordChar, 0);
    B.Bool(L"ReadOnly", &C::ReadOnly, &C::SetReadOnly, false);
    B.Str(L"Text", &C::Text, &C::SetText);
    B.Event(L"OnChange", &C::OnChange);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TEdit, TCustomEdit)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomMemo, TCustomEdit)
    B.Object(L"Lines", &C::Lines, &C::SetLines);
    B.Enum(L"ScrollBars", &C::ScrollBars, &C::SetScrollBars, ssNone,
           {L"ssNone", L"ssHorizontal", L"ssVertical", L"ssBoth"}, L"TScrollStyle");
    B.Bool(L"WordWrap", &C::WordWrap, &C::SetWordWrap, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TMemo, TCustomMemo)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
