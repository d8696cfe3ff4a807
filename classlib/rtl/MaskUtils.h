// The edit-mask language of masked edits, free of the system so that it is
// also built natively.
//
// A mask is "body;save;blank": the body, then whether Text keeps the
// literals ('0' drops them, anything else or nothing keeps them), then the
// character shown in empty places (default '_').  In the body:
//   L l  letter (upper case: required, lower case: optional)
//   A a  letter or digit        C c  any character
//   0 9  digit                  #    optional digit, '+' or '-'
//   >    upper case from here   <    lower case from here   <>  no conversion
//   \    the next character is a literal
//   !    short texts are aligned to the right (empty places lead)
//   :    the time separator     /    the date separator
//   _    a literal blank        anything else is a literal
#pragma once

#include <string_view>
#include <vector>

#include "classlib/rtl/SysUtils.h"

KV_EXCEPTION(EDBEditError, Exception)

enum class TMaskCharKind { Literal, Letter, AlphaNum, AnyChar, Digit, DigitOrSign };
enum class TMaskCase { None, Upper, Lower };

struct TMaskCell {
    TMaskCharKind Kind = TMaskCharKind::Literal;
    bool Required = false;
    TMaskCase Case = TMaskCase::None;
    wchar_t Literal = 0;     // for literal cells
};

// The text of a masked edit with its selection, as the editing steps change it.
struct TMaskEditState {
    UnicodeString EditText;
    int SelStart = 0;
    int SelLength = 0;
};

// A mask compiled once; every routine below reads it.
class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(std::wstring_view EditMask, const TFormatSettings& Settings = FormatSettings);

    bool Empty() const { return FCells.empty(); }
    int Length() const { return int(FCells.size()); }
    const TMaskCell& Cell(int I) const { return FCells[size_t(I)]; }
    bool SaveLiterals() const { return FSaveLiterals; }
    wchar_t Blank() const { return FBlank; }
    bool RightJustify() const { return FRightJustify; }

    // The edit text of an empty edit: literals in place, blanks elsewhere.
    UnicodeString BlankEditText() const;
    // Text (with or without literals, after SaveLiterals) laid into the mask.
    // Characters a place does not accept leave it blank; extra ones are dropped.
    UnicodeString EditTextOf(std::wstring_view Text) const { return EditTextOf(Text, FSaveLiterals); }
    // The same, saying whether the text carries the literals (an edit text does).
    UnicodeString EditTextOf(std::wstring_view Text, bool WithLiterals) const;
    // The edit text as Text: blanks become spaces, literals stay only when
    // SaveLiterals.
    UnicodeString TextOf(std::wstring_view EditText) const;

    // Whether the input place I takes Ch; Ch is converted to the place's case.
    bool Accepts(int I, wchar_t& Ch) const;
    bool IsInput(int I) const { return I >= 0 && I < Length() && FCells[size_t(I)].Kind != TMaskCharKind::Literal; }
    // The first input place at or after I (Length() when none), the last one
    // before I (-1 when none).
    int NextInput(int I) const;
    int PrevInput(int I) const;
    // The first required place left blank, or -1 when the edit text is complete.
    int FirstMissing(std::wstring_view EditText) const;

    // Editing steps.  A rejected character changes nothing and answers false.
    bool TypeChar(TMaskEditState& S, wchar_t Ch) const;
    void DeleteBack(TMaskEditState& S) const;     // Backspace
    void DeleteForward(TMaskEditState& S) const;  // Delete
    // Types Text from the caret; stops at the first character refused.
    // Answers whether anything was taken.
    bool Paste(TMaskEditState& S, std::wstring_view Text) const;

private:
    std::vector<TMaskCell> FCells;
    bool FSaveLiterals = true;
    wchar_t FBlank = L'_';
    bool FRightJustify = false;

    bool IsBlankAt(std::wstring_view EditText, int I) const;
    void ClearSelection(TMaskEditState& S) const;
    void Normalize(TMaskEditState& S) const;
};

// The plain text of Value in the mask (the class library's FormatMaskText).
UnicodeString FormatMaskText(std::wstring_view EditMask, std::wstring_view Value);
