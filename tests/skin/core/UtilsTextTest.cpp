#include <gtest/gtest.h>

#include <limits>

#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"

namespace {

const TsCharSet Comma(L",");
const TsCharSet Blank(L" ");

TEST(UtilsWords, PositionsCountsAndExtraction)
{
    EXPECT_EQ(ExtractWord(2, L"a,,b", Comma), L"b");
    EXPECT_EQ(ExtractWord(3, L"a,,b", Comma), L"");
    EXPECT_EQ(ExtractWord(1, L",,abc,d", Comma), L"abc");
    EXPECT_EQ(WordCount(L"  ", Blank), 0);
    EXPECT_EQ(WordCount(L"", Blank), 0);
    EXPECT_EQ(WordCount(L" a  bb c ", Blank), 3);
    EXPECT_EQ(WordPosition(3, L"a b", Blank), 0);
    EXPECT_EQ(WordPosition(2, L"a  bb", Blank), 4);
    EXPECT_EQ(WordPosition(0, L"a b", Blank), 0);
    EXPECT_EQ(GetWordNumber(L"bb", L"a bb c", Blank), 2);
    EXPECT_EQ(GetWordNumber(L"BB", L"a bb c", Blank), -1);
    EXPECT_TRUE(IsWordPresent(L"c", L"a bb c", Blank));
    EXPECT_FALSE(IsWordPresent(L"b", L"a bb c", Blank));
}

TEST(UtilsWords, WideCharactersAreNeverDelimiters)
{
    // U+0120 and Hangul syllables share low bytes with the blank and the comma.
    EXPECT_FALSE(WideCharInSet(L'\u0120', Blank));
    EXPECT_FALSE(WideCharInSet(L'\uAC2C', Comma)); // low byte 0x2C
    EXPECT_TRUE(WideCharInSet(L' ', Blank));
    EXPECT_EQ(kvWordCount(L"a\u0120b", Blank), 1);
    EXPECT_EQ(kvWordCount(L"가나,다", Comma), 2);
    EXPECT_EQ(kvWordPosition(2, L"가,나다", Comma), 3);
    EXPECT_EQ(WordCount(L"a\u0120b", Blank), 1);
}

TEST(UtilsWords, ExtractSubStrMovesPastTheDelimiter)
{
    int pos = 1;
    EXPECT_EQ(ExtractSubStr(L"ab;c;", pos, TsCharSet(L";")), L"ab");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(ExtractSubStr(L"ab;c;", pos, TsCharSet(L";")), L"c");
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(ExtractSubStr(L"ab;c;", pos, TsCharSet(L";")), L"");
    EXPECT_EQ(pos, 6);
    pos = 4;
    EXPECT_EQ(ExtractSubStr(L"ab;cd", pos, TsCharSet(L";")), L"cd");
    EXPECT_EQ(pos, 6);
}

TEST(UtilsStrings, Table)
{
    EXPECT_EQ(ReplaceStr(L"aaa", L"a", L"aa"), L"aaaaaa");
    EXPECT_EQ(ReplaceStr(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(ReplaceStr(L"a.b.c", L".", L""), L"abc");
    EXPECT_EQ(DelChars(L"a-b-c", L'-'), L"abc");
    EXPECT_EQ(DelBSpace(L"  a b  "), L"a b  ");
    EXPECT_EQ(DelESpace(L"  a b  "), L"  a b");
    EXPECT_EQ(DelRSpace(L" \ta "), L"\ta");
    EXPECT_EQ(CorrectString(L" it's?\r\nok "), L"it`sI  ok");
    EXPECT_TRUE(IsEmptyStr(L"", Blank));
    EXPECT_TRUE(IsEmptyStr(L"   ", Blank));
    EXPECT_FALSE(IsEmptyStr(L" x ", Blank));
    EXPECT_EQ(AnsiProperCase(L"hELLO wORLD-x", TsCharSet(L" -")), L"Hello World-X");
    EXPECT_EQ(AnsiProperCase(L"ÉCOLE été", Blank), L"École Été");
    EXPECT_TRUE(SubStrInclude(L"Ell", L"HELLO", true));
    EXPECT_FALSE(SubStrInclude(L"Ell", L"HELLO", false));
    EXPECT_EQ(MakeStr('x', 3), "xxx");
    EXPECT_EQ(MakeStr('x', 0), "");
    EXPECT_EQ(AddChar('0', "12", 5), "00012");
    EXPECT_EQ(AddCharR('.', "12", 4), "12..");
    EXPECT_EQ(AddChar('0', "123456", 3), "123456");
    EXPECT_EQ(kvMakeString(L'가', 2), L"가가");
    EXPECT_EQ(kvMakeString(L'a', -1), L"");
    UnicodeString s = L"old";
    kvFillString(s, 0, L'z');
    EXPECT_EQ(s, L"");
    EXPECT_TRUE(kvSameText(L"Color", L"COLOR"));
    EXPECT_FALSE(kvSameText(L"Color", L"Colour"));
    EXPECT_EQ(BoolToStr(true), L"TRUE");
    EXPECT_EQ(BoolToStr(false), L"FALSE");
}

TEST(UtilsNumbers, Table)
{
    TFormatSettingsScope english(L'.', L',');
    EXPECT_EQ(SumTrans(50, 50), 75);
    EXPECT_EQ(SumTrans(0, 0), 0);
    EXPECT_EQ(SumTrans(100, 30), 100);
    EXPECT_EQ(IntToByte(300), 255);
    EXPECT_EQ(IntToByte(-1), 0);
    EXPECT_EQ(IntToByte(7), 7);
    EXPECT_EQ(LimitIt(5, 10, 20), 10);
    EXPECT_EQ(CheckLimits(25, 10, 20), 20);
    EXPECT_TRUE(Between(10, 10, 20));
    EXPECT_FALSE(Between(21, 10, 20));
    int a = 1, b = 2;
    Changei(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(GetCents(3.25L), 25);
    EXPECT_EQ(GetCents(0.125L), 12);   // 12.5 rounds to even
    EXPECT_EQ(GetCents(0.375L), 38);
    EXPECT_DOUBLE_EQ(static_cast<double>(CurRound(1.005L)), 1.01);
    EXPECT_EQ(HexToInt(L"1AH"), 26);
    EXPECT_EQ(HexToInt(L"1ah"), 26);
    EXPECT_EQ(HexToInt(L"1G"), 0);
    EXPECT_EQ(HexToInt(L""), 0);
    EXPECT_EQ(HexToInt(L"FFFFFFFFFF"), 0xFFFFFFFFFFLL);
    EXPECT_EQ(FormatFloatStr(L"-1234567.89", true), L"-1,234,567.89");
    EXPECT_EQ(FormatFloatStr(L"-1234567.89", false), L"-1234567.89");
    EXPECT_EQ(FormatFloatStr(L"123", true), L"123");
    EXPECT_EQ(FormatFloatStr(L"+1234e5", true), L"+1,234e5");
    EXPECT_DOUBLE_EQ(static_cast<double>(StringToFloat(L" 1,5 ")), 1.5);
    EXPECT_EQ(StringToFloat(L"abc"), 0);
    EXPECT_EQ(StringToFloat(L"inf"), 0);
    long double v = -1;
    EXPECT_TRUE(IsValidFloat(L"-1.5e2", v));
    EXPECT_EQ(v, -150);
    v = -1;
    EXPECT_FALSE(IsValidFloat(L"", v));
    EXPECT_FALSE(IsValidFloat(L"1x", v));
    EXPECT_FALSE(IsValidFloat(L"1-", v));
    EXPECT_FALSE(IsValidFloat(L"1.5\u0660", v));
    EXPECT_EQ(v, -1);
    TMessage m = MakeMessage(WM_USER, 1, 2, 3);
    EXPECT_EQ(m.Msg, static_cast<UINT>(WM_USER));
    EXPECT_EQ(m.Result, 3);
}

// The number routines read the runtime's separators, so they follow a
// change of them (and a locale with a decimal comma).
TEST(UtilsNumbers, FollowTheRuntimeSeparators)
{
    TFormatSettingsScope european(L',', L' ');
    EXPECT_EQ(FormatFloatStr(L"-1234567,89", true), L"-1 234 567,89");
    EXPECT_EQ(FormatFloatStr(L"+1234567e3", true), L"+1 234 567e3");
    long double v = -1;
    EXPECT_TRUE(IsValidFloat(L"1,5e1", v));
    EXPECT_EQ(v, 15);
    EXPECT_FALSE(IsValidFloat(L"1.5", v));
    EXPECT_EQ(v, 15);
    // Either character is a decimal point to StringToFloat.
    EXPECT_EQ(StringToFloat(L"2.5"), 2.5L);
    EXPECT_EQ(StringToFloat(L"2,5"), 2.5L);
}

TEST(UtilsNumbers, CurRoundRefusesWhatItCannotRound)
{
    EXPECT_EQ(CurRound(9e16L), 9e16L);
    EXPECT_EQ(CurRound(-12.344L), -12.34L);
    for (long double x : {1e17L, -1e17L, 1e300L, std::numeric_limits<long double>::infinity(),
                          std::numeric_limits<long double>::quiet_NaN()}) {
        SCOPED_TRACE(static_cast<double>(x));
        EXPECT_THROW(CurRound(x), EConvertError);
    }
}

TEST(UtilsRects, Table)
{
    EXPECT_EQ(WidthOf(TRect(10, 0, 4, 0)), -6);
    EXPECT_EQ(WidthOf(TRect(10, 0, 4, 0), true), 0);
    EXPECT_EQ(HeightOf(TRect(0, 2, 0, 9)), 7);
    EXPECT_TRUE(RectIsVisible(TRect(0, 0, 10, 10), TRect(9, 9, 20, 20)));
    EXPECT_FALSE(RectIsVisible(TRect(0, 0, 10, 10), TRect(10, 0, 20, 10)));
    EXPECT_FALSE(RectIsVisible(TRect(0, 0, 10, 10), TRect(5, 5, 5, 8)));
    EXPECT_TRUE(RectInRect(TRect(0, 0, 10, 10), TRect(0, 0, 10, 10)));
    EXPECT_FALSE(RectInRect(TRect(0, 0, 10, 10), TRect(0, 0, 11, 10)));
    EXPECT_EQ(RotateRect(TRect(1, 2, 3, 4)), TRect(2, 1, 4, 3));
    EXPECT_EQ(RectsAnd(TRect(0, 0, 10, 10), TRect(20, 5, 30, 8)), TRect(20, 5, 10, 8));
    EXPECT_EQ(OffsetPoint(TPoint(1, 2), 3, -4), TPoint(4, -2));
    TCacheInfo ci = MakeCacheInfo(nullptr, 3, 4);
    EXPECT_TRUE(ci.Ready);
    EXPECT_EQ(ci.FillColor, 0xFF00FF);
    EXPECT_EQ(ci.X, 3);
    EXPECT_EQ(ci.Y, 4);
}

} // namespace
