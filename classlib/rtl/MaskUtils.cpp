#include "classlib/rtl/MaskUtils.h"

#include <cwctype>

namespace {

bool IsLetter(wchar_t Ch) { return std::iswalpha(wint_t(Ch)) != 0; }
bool IsDigit(wchar_t Ch) { return Ch >= L'0' && Ch <= L'9'; }

TMaskCell InputCell(TMaskCharKind Kind, bool Required, TMaskCase Case)
{
    TMaskCell c;
    c.Kind = Kind;
    c.Required = Required;
    c.Case = Case;
    return c;
}

TMaskCell LiteralCell(wchar_t Ch)
{
    TMaskCell c;
    c.Literal = Ch;
    return c;
}

}  // namespace

TEditMask::TEditMask(std::wstring_view EditMask, const TFormatSettings& Settings)
{
    TMaskCase kase = TMaskCase::None;
    size_t i = 0;
    for (; i < EditMask.size(); ++i) {
        wchar_t ch = EditMask[i];
        if (ch == L';')
            break;
        switch (ch) {
        case L'\\':
            if (i + 1 < EditMask.size())
                FCells.push_back(LiteralCell(EditMask[++i]));
            break;
        case L'!': FRightJustify = true; break;
        case L'>': kase = TMaskCase::Upper; break;
        case L'<':
            if (i + 1 < EditMask.size() && EditMask[i + 1] == L'>') {
                kase = TMaskCase::None;
                ++i;
            } else {
                kase = TMaskCase::Lower;
            }
            break;
        case L'L': FCells.push_back(InputCell(TMaskCharKind::Letter, true, kase)); break;
        case L'l': FCells.push_back(InputCell(TMaskCharKind::Letter, false, kase)); break;
        case L'A': FCells.push_back(InputCell(TMaskCharKind::AlphaNum, true, kase)); break;
        case L'a': FCells.push_back(InputCell(TMaskCharKind::AlphaNum, false, kase)); break;
        case L'C': FCells.push_back(InputCell(TMaskCharKind::AnyChar, true, kase)); break;
        case L'c': FCells.push_back(InputCell(TMaskCharKind::AnyChar, false, kase)); break;
        case L'0': FCells.push_back(InputCell(TMaskCharKind::Digit, true, kase)); break;
        case L'9': FCells.push_back(InputCell(TMaskCharKind::Digit, false, kase)); break;
        case L'#': FCells.push_back(InputCell(TMaskCharKind::DigitOrSign, false, kase)); break;
        case L':': FCells.push_back(LiteralCell(Settings.TimeSeparator)); break;
        case L'/': FCells.push_back(LiteralCell(Settings.DateSeparator)); break;
        case L'_': FCells.push_back(LiteralCell(L' ')); break;
        default: FCells.push_back(LiteralCell(ch)); break;
        }
    }
    // ";save;blank"
    if (i < EditMask.size()) {
        std::wstring_view rest = EditMask.substr(i + 1);
        size_t sep = rest.find(L';');
        std::wstring_view save = rest.substr(0, sep);
        FSaveLiterals = !(save.size() == 1 && save[0] == L'0');
        if (sep != std::wstring_view::npos && sep + 1 < rest.size())
            FBlank = rest[sep + 1];
    }
}

UnicodeString TEditMask::BlankEditText() const
{
    UnicodeString s;
    s.reserve(FCells.size());
    for (const TMaskCell& c : FCells)
        s += c.Kind == TMaskCharKind::Literal ? c.Literal : FBlank;
    return s;
}

bool TEditMask::Accepts(int I, wchar_t& Ch) const
{
    if (!IsInput(I))
        return false;
    const TMaskCell& c = FCells[size_t(I)];
    bool ok = false;
    switch (c.Kind) {
    case TMaskCharKind::Letter: ok = IsLetter(Ch); break;
    case TMaskCharKind::AlphaNum: ok = IsLetter(Ch) || IsDigit(Ch); break;
    case TMaskCharKind::AnyChar: ok = Ch >= L' '; break;
    case TMaskCharKind::Digit: ok = IsDigit(Ch); break;
    case TMaskCharKind::DigitOrSign: ok = IsDigit(Ch) || Ch == L'+' || Ch == L'-'; break;
    case TMaskCharKind::Literal: break;
    }
    if (!ok)
        return false;
    if (c.Case == TMaskCase::Upper)
        Ch = wchar_t(std::towupper(wint_t(Ch)));
    else if (c.Case == TMaskCase::Lower)
        Ch = wchar_t(std::towlower(wint_t(Ch)));
    return true;
}

UnicodeString TEditMask::EditTextOf(std::wstring_view Text, bool WithLiterals) const
{
    UnicodeString out = BlankEditText();
    // The characters that go into the input places, literals left out.
    UnicodeString chars;
    if (WithLiterals) {
        // The text carries the literals: a character standing where the
        // mask has a literal is that literal and is skipped.
        size_t t = 0;
        for (int i = 0; i < Length() && t < Text.size(); ++i) {
            if (!IsInput(i)) {
                if (Text[t] == FCells[size_t(i)].Literal)
                    ++t;
                continue;
            }
            chars += Text[t++];
        }
    } else {
        chars.assign(Text.begin(), Text.end());
    }
    int inputs = 0;
    for (int i = 0; i < Length(); ++i)
        inputs += IsInput(i);
    if (int(chars.size()) > inputs)
        chars.resize(size_t(inputs));
    // A short text starts after the leading empty places when right-justified.
    int skip = FRightJustify ? inputs - int(chars.size()) : 0;
    size_t k = 0;
    for (int i = 0; i < Length() && k < chars.size(); ++i) {
        if (!IsInput(i))
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        wchar_t ch = chars[k++];
        if (ch != FBlank && ch != L' ' && Accepts(i, ch))
            out[size_t(i)] = ch;
    }
    return out;
}

UnicodeString TEditMask::TextOf(std::wstring_view EditText) const
{
    UnicodeString out;
    for (int i = 0; i < Length() && i < int(EditText.size()); ++i) {
        if (!IsInput(i)) {
            if (FSaveLiterals)
                out += EditText[size_t(i)];
            continue;
        }
        out += EditText[size_t(i)] == FBlank ? L' ' : EditText[size_t(i)];
    }
    return out;
}

int TEditMask::NextInput(int I) const
{
    if (I < 0)
        I = 0;
    while (I < Length() && !IsInput(I))
        ++I;
    return I;
}

int TEditMask::PrevInput(int I) const
{
    if (I > Length())
        I = Length();
    --I;
    while (I >= 0 && !IsInput(I))
        --I;
    return I;
}

bool TEditMask::IsBlankAt(std::wstring_view EditText, int I) const
{
    return size_t(I) >= EditText.size() || EditText[size_t(I)] == FBlank || EditText[size_t(I)] == L' ';
}

int TEditMask::FirstMissing(std::wstring_view EditText) const
{
    for (int i = 0; i < Length(); ++i)
        if (IsInput(i) && FCells[size_t(i)].Required && IsBlankAt(EditText, i))
            return i;
    return -1;
}

// A state from outside (a window's text and selection) may not fit the
// mask; it is brought back to the mask's length and a selection inside it.
void TEditMask::Normalize(TMaskEditState& S) const
{
    if (int(S.EditText.size()) != Length())
        S.EditText = EditTextOf(S.EditText, true);
    if (S.SelStart < 0)
        S.SelStart = 0;
    if (S.SelStart > Length())
        S.SelStart = Length();
    if (S.SelLength < 0)
        S.SelLength = 0;
    if (S.SelStart + S.SelLength > Length())
        S.SelLength = Length() - S.SelStart;
}

void TEditMask::ClearSelection(TMaskEditState& S) const
{
    for (int i = S.SelStart; i < S.SelStart + S.SelLength; ++i)
        if (IsInput(i))
            S.EditText[size_t(i)] = FBlank;
    S.SelLength = 0;
}

bool TEditMask::TypeChar(TMaskEditState& S, wchar_t Ch) const
{
    Normalize(S);
    int at = NextInput(S.SelStart);
    if (at >= Length() || !Accepts(at, Ch))
        return false;
    ClearSelection(S);
    S.EditText[size_t(at)] = Ch;
    S.SelStart = NextInput(at + 1);
    return true;
}

void TEditMask::DeleteBack(TMaskEditState& S) const
{
    Normalize(S);
    if (S.SelLength > 0) {
        ClearSelection(S);
        return;
    }
    int at = PrevInput(S.SelStart);
    if (at < 0)
        return;
    S.EditText[size_t(at)] = FBlank;
    S.SelStart = at;
}

void TEditMask::DeleteForward(TMaskEditState& S) const
{
    Normalize(S);
    if (S.SelLength > 0) {
        ClearSelection(S);
        return;
    }
    int at = NextInput(S.SelStart);
    if (at < Length())
        S.EditText[size_t(at)] = FBlank;
}

bool TEditMask::Paste(TMaskEditState& S, std::wstring_view Text) const
{
    Normalize(S);
    bool any = false;
    for (wchar_t ch : Text) {
        int at = NextInput(S.SelStart);
        // A pasted literal where the caret stands on that literal is passed over.
        // The caret already moves past literals after each typed character,
        // so a pasted literal matching the one just passed is dropped too.
        if (S.SelStart < Length() && !IsInput(S.SelStart) && ch == FCells[size_t(S.SelStart)].Literal) {
            ++S.SelStart;
            continue;
        }
        wchar_t probe = ch;
        if (at < Length() && !Accepts(at, probe) && S.SelStart > 0 && !IsInput(S.SelStart - 1)
            && ch == FCells[size_t(S.SelStart - 1)].Literal)
            continue;
        if (at >= Length())
            break;
        TMaskEditState next = S;
        if (!TypeChar(next, ch))
            break;
        S = next;
        any = true;
    }
    return any;
}

UnicodeString FormatMaskText(std::wstring_view EditMask, std::wstring_view Value)
{
    TEditMask mask(EditMask);
    if (mask.Empty())
        return UnicodeString(Value);
    return mask.TextOf(mask.EditTextOf(Value));
}
