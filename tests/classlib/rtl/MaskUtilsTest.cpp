// The edit-mask language: masks x typed keys -> EditText and Text, texts
// laid into masks, validation.
#include <gtest/gtest.h>

#include "classlib/rtl/MaskUtils.h"

namespace {

TFormatSettings Settings()
{
    TFormatSettings s;
    s.DateSeparator = L'.';
    s.TimeSeparator = L':';
    return s;
}

// Keys: printable characters are typed, '<' is Backspace, '>' is Delete,
// '|' puts the caret at the start.
struct TypingCase {
    const wchar_t* Mask;
    const wchar_t* Keys;
    const wchar_t* EditText;
    const wchar_t* Text;
    int Caret;
};

void PressKeys(const TEditMask& M, TMaskEditState& S, std::wstring_view Keys)
{
    for (wchar_t k : Keys) {
        if (k == L'<')
            M.DeleteBack(S);
        else if (k == L'>')
            M.DeleteForward(S);
        else if (k == L'|')
            S.SelStart = 0, S.SelLength = 0;
        else
            M.TypeChar(S, k);
    }
}

TEST(MaskUtils, TypedKeysGiveEditTextAndText)
{
    const TypingCase cases[] = {
        // digits skip literals; letters refused in digit places
        {L"!99/99/9999;1; ", L"12x252024", L"12.25.2024", L"12.25.2024", 10},
        {L"!99/99/9999;1;_", L"1", L"1_.__.____", L"1 .  .    ", 1},
        // literals dropped from Text when the save field is 0
        {L"(999)000-0000;0;_", L"5551234567", L"(555)123-4567", L"5551234567", 13},
        // case conversion: '>' upper, '<' lower, '<>' none
        {L">LL<ll<>Ll;1;_", L"abCDeF", L"ABcdeF", L"ABcdeF", 6},
        {L"AAAAAA;1; ", L"ff0a", L"ff0a  ", L"ff0a  ", 4},
        {L">AAAAAA;1; ", L"ff-0a", L"FF0A  ", L"FF0A  ", 4},
        // '#' takes signs, 'C' anything, '\' escapes a mask letter
        {L"#99;1;_", L"-4", L"-4_", L"-4 ", 2},
        {L"\\L\\0C;1;*", L"?", L"L0?", L"L0?", 3},
        {L"00:00;1;_", L"1230", L"12:30", L"12:30", 5},
        // '_' in the body is a literal blank
        {L"00_00;0;*", L"1234", L"12 34", L"1234", 5},
        // Backspace blanks the place before the caret, passing literals
        {L"99/99;1;_", L"123<<", L"1_.__", L"1 .  ", 1},
        // Delete blanks the place at the caret; the caret stays
        {L"99/99;1;_", L"1234|>", L"_2.34", L" 2.34", 0},
        // typing past the end changes nothing
        {L"00;1;_", L"1234", L"12", L"12", 2},
        // an empty mask body takes nothing
        {L";1;_", L"abc", L"", L"", 0},
    };
    for (const TypingCase& c : cases) {
        TEditMask m(c.Mask, Settings());
        TMaskEditState s;
        s.EditText = m.BlankEditText();
        PressKeys(m, s, c.Keys);
        EXPECT_EQ(s.EditText, c.EditText) << c.Mask << " keys " << c.Keys;
        EXPECT_EQ(m.TextOf(s.EditText), c.Text) << c.Mask << " keys " << c.Keys;
        EXPECT_EQ(s.SelStart, c.Caret) << c.Mask << " keys " << c.Keys;
    }
}

TEST(MaskUtils, TypingReplacesTheSelection)
{
    TEditMask m(L"99/99;1;_", Settings());
    TMaskEditState s{L"12.34", 1, 3};   // "2.3"
    ASSERT_TRUE(m.TypeChar(s, L'7'));
    EXPECT_EQ(s.EditText, L"17._4");
    EXPECT_EQ(s.SelStart, 3);
    // A refused key leaves text and selection alone.
    TMaskEditState t{L"12.34", 1, 3};
    EXPECT_FALSE(m.TypeChar(t, L'x'));
    EXPECT_EQ(t.EditText, L"12.34");
    EXPECT_EQ(t.SelLength, 3);
}

TEST(MaskUtils, TextIsLaidIntoTheMask)
{
    struct Case {
        const wchar_t* Mask;
        const wchar_t* Text;
        const wchar_t* EditText;
    };
    const Case cases[] = {
        {L"99/99/9999;1;_", L"12.25.2024", L"12.25.2024"},
        {L"99/99/9999;1;_", L"12252024", L"12.25.2024"},    // literals may be left out
        {L"(999)000-0000;0;_", L"5551234567", L"(555)123-4567"},
        {L"(999)000-0000;0;_", L"555", L"(555)___-____"},
        {L"!(999)000-0000;0;_", L"4567", L"(___)___-4567"}, // '!' right-aligns a short text
        {L"00;1;_", L"1x", L"1_"},                          // refused characters stay blank
        {L"00;1;_", L"12345", L"12"},                       // extra ones are dropped
        {L">LL;1;_", L"ab", L"AB"},
        {L"", L"anything", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TEditMask(c.Mask, Settings()).EditTextOf(c.Text), c.EditText) << c.Mask << " / " << c.Text;
}

TEST(MaskUtils, MaskFieldsAndDefaults)
{
    TEditMask plain(L"000", Settings());
    EXPECT_TRUE(plain.SaveLiterals());
    EXPECT_EQ(plain.Blank(), L'_');
    TEditMask noBlank(L"!99/99/9999;1;", Settings());
    EXPECT_TRUE(noBlank.RightJustify());
    EXPECT_EQ(noBlank.Blank(), L'_');
    TEditMask dropped(L"0-0;0; ", Settings());
    EXPECT_FALSE(dropped.SaveLiterals());
    EXPECT_EQ(dropped.Blank(), L' ');
    // An escaped ';' is a literal, not the end of the body.
    TEditMask escaped(L"0\\;0;1;_", Settings());
    EXPECT_EQ(escaped.Length(), 3);
    EXPECT_EQ(escaped.BlankEditText(), L"_;_");
}

TEST(MaskUtils, ValidationFindsTheFirstRequiredBlank)
{
    struct Case {
        const wchar_t* Mask;
        const wchar_t* EditText;
        int Missing;
    };
    const Case cases[] = {
        {L"00/00;1;_", L"12.34", -1},
        {L"00/00;1;_", L"12._4", 3},
        {L"99/00;1;_", L"__.12", -1},   // optional places may stay blank
        {L"LL;1; ", L"A ", 1},          // a blank of ' ' counts as empty
        {L"00;1;_", L"1", 1},           // a short text is missing its end
    };
    for (const Case& c : cases)
        EXPECT_EQ(TEditMask(c.Mask, Settings()).FirstMissing(c.EditText), c.Missing) << c.Mask << " / " << c.EditText;
}

TEST(MaskUtils, PasteTypesUntilTheFirstRefusal)
{
    TEditMask m(L"00/00/0000;1;_", Settings());
    TMaskEditState s;
    s.EditText = m.BlankEditText();
    EXPECT_TRUE(m.Paste(s, L"12.25.2024"));   // pasted literals pass over the mask's
    EXPECT_EQ(s.EditText, L"12.25.2024");
    TMaskEditState t;
    t.EditText = m.BlankEditText();
    EXPECT_TRUE(m.Paste(t, L"12ab"));
    EXPECT_EQ(t.EditText, L"12.__.____");
    EXPECT_FALSE(m.Paste(t, L"x"));
}

TEST(MaskUtils, StatesThatDoNotFitTheMaskAreMended)
{
    TEditMask m(L"00;1;_", Settings());
    TMaskEditState s{L"1", 7, 9};   // text too short, selection past the end
    m.DeleteBack(s);
    EXPECT_EQ(s.EditText, L"1_");
    TMaskEditState t{L"", -3, 0};
    EXPECT_TRUE(m.TypeChar(t, L'5'));
    EXPECT_EQ(t.EditText, L"5_");
}

TEST(MaskUtils, FormatMaskText)
{
    EXPECT_EQ(FormatMaskText(L"(999)000-0000;0;_", L"5551234567"), L"5551234567");
    EXPECT_EQ(FormatMaskText(L"(999)000-0000;1;_", L"5551234567"), L"(555)123-4567");
    EXPECT_EQ(FormatMaskText(L"", L"as is"), L"as is");
}

}  // namespace
