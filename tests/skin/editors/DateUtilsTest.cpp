// The library's date routines: formats and masks of the locale's order,
// two-digit years, and the date edit's parser (by position, then free).
// Portable: the native sanitizer build runs this file too.
#include <gtest/gtest.h>

#include "skin/editors/sDateUtils.h"
#include "tests/classlib/rtl/DateLocales.h"

using namespace datetest;

namespace {

int Ymd(TDateTime V)
{
    int y, m, d;
    DecodeDate(V, y, m, d);
    return y * 10000 + m * 100 + d;
}

TEST(DateUtilsTest, FormatsAndMasksFollowTheLocaleOrder)
{
    struct Case {
        const wchar_t* ShortDateFormat;
        int Order;
        bool Normal;
        const wchar_t* Four;
        const wchar_t* Two;
        const wchar_t* FourMask;
    } const cases[] = {
        {L"M/d/yyyy", 0, true, L"MM/DD/YYYY", L"MM/DD/YY", L"!99/99/9999;1;_"},
        {L"dd.MM.yyyy", 1, true, L"DD/MM/YYYY", L"DD/MM/YY", L"!99/99/9999;1;_"},
        {L"d.M.yy", 1, false, L"DD/MM/YYYY", L"DD/MM/YY", L"!99/99/9999;1;_"},
        {L"yyyy-MM-dd", 2, true, L"YYYY/MM/DD", L"YY/MM/DD", L"!9999/99/99;1;_"},
        {L"'Week' ww", 1, false, L"DD/MM/YYYY", L"DD/MM/YY", L"!99/99/9999;1;_"},   // no letter: day first
    };
    for (const Case& c : cases) {
        TFormatSettings s = English();
        s.ShortDateFormat = c.ShortDateFormat;
        SCOPED_TRACE(testing::PrintToString(s.ShortDateFormat));
        EXPECT_EQ(GetDateOrder(c.ShortDateFormat), c.Order);
        EXPECT_EQ(NormalYears(s), c.Normal);
        EXPECT_EQ(DefDateFormat(true, s), c.Four);
        EXPECT_EQ(DefDateFormat(false, s), c.Two);
        EXPECT_EQ(DefDateMask(L'_', true, s), c.FourMask);
        EXPECT_EQ(DefDateMask(L' ', false, s), L"!99/99/99;1; ");
    }
}

TEST(DateUtilsTest, TwoDigitYearsFallIntoTheHundredYearsAroundToday)
{
    TodayIs today(2026, 12, 11);
    const int cases[][2] = {{65, 2065}, {66, 1966}, {5, 2005}, {0, 2000}, {99, 1999},
                            {100, 100}, {2024, 2024}, {-1, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ExpandYear(c[0]), c[1]) << c[0];
    TodayIs later(2061, 1, 1);   // pivot 2001: the window moves with today
    EXPECT_EQ(ExpandYear(0), 2100);
    EXPECT_EQ(ExpandYear(1), 2001);
}

struct ParseCase {
    const wchar_t* Format;
    const wchar_t* Text;
    int Date;   // yyyymmdd; 0: no date
};

void ExpectDates(const TFormatSettings& S, std::initializer_list<ParseCase> Cases)
{
    for (const ParseCase& c : Cases) {
        SCOPED_TRACE(testing::PrintToString(UnicodeString(c.Format)) + " " + testing::PrintToString(UnicodeString(c.Text)));
        TDateTime d = -7;
        const bool ok = InternalStrToDate(c.Format, c.Text, d, S);
        EXPECT_EQ(ok, c.Date != 0);
        if (ok)
            EXPECT_EQ(Ymd(d), c.Date);
        else
            EXPECT_EQ(d.Val, -7);
    }
}

TEST(DateUtilsTest, ReadsDatesByPositionThenAsFreeText)
{
    TodayIs today(2026, 12, 11);
    ExpectDates(German(), {
                              {L"DD/MM/YYYY", L"25/12/2024", 20241225},   // by position: separators ignored
                              {L"DD/MM/YYYY", L"25.12.2024", 20241225},
                              {L"DD/MM/YYYY", L"25.12.24  ", 20241225},   // a short year in a long field
                              {L"DD/MM/YYYY", L"1.2", 20260201},          // free: day-month, this year
                              {L"DD/MM/YYYY", L"1.2.", 0},                // a separator asks for a year
                              {L"DD/MM/YYYY", L"25.12.2024. ", 20241225}, // a trailing one passes
                              {L"DD/MM/YYYY", L"31/02/2024", 0},
                              {L"DD/MM/YYYY", L"29.02.2024", 20240229},
                              {L"DD/MM/YYYY", L"29.02.2023", 0},
                              {L"DD/MM/YYYY", L"29.02.2000", 20000229},
                              {L"DD/MM/YYYY", L"29.02.1900", 0},
                              {L"DD/MM/YY", L"25.12.2024", 20241225},     // longer than its format: free only
                              {L"DD/MM/YY", L"25.12.66", 19661225},
                              {L"DD/MM/YY", L"25.12.65", 20651225},
                              {L"DD/MM/YYYY", L"", 18991230},             // empty: NullDate
                          });
    ExpectDates(Korean(), {
                              {L"YYYY/MM/DD", L"2024-12-25", 20241225},
                              {L"YYYY/MM/DD", L"24-12-25", 20241225},
                              {L"YYYY/MM/DD", L"12-25", 20261225},        // free, two numbers: month-day
                              {L"YYYY/MM/DD", L"2024-13-01", 0},
                          });
    ExpectDates(English(), {
                               {L"MM/DD/YYYY", L"12/25/2024", 20241225},
                               {L"MM/DD/YYYY", L"1/2", 20260102},
                               {L"DD-MMM-YYYY", L"25-Dec-2024", 20241225},   // a month by its name
                               {L"DD-MMM-YYYY", L"25-DEC-2024", 20241225},
                               {L"DD-MMM-YYYY", L"25-Xyz-2024", 0},
                           });
}

TEST(DateUtilsTest, BlankFieldsAreNoDate)
{
    TodayIs today(2026, 12, 11);
    // A blank year is not a year: it is not expanded to 1999.
    ExpectDates(English(), {
                               {L"DD/MM/YYYY", L"12/05/    ", 0},
                               {L"DD/MM/YY", L"12/05/  ", 0},
                               {L"DD/MM/YYYY", L"  /05/2024", 0},
                               {L"DD/MM/YYYY", L"12/  /2024", 0},
                               {L"DD/MM/YYYY", L"  /  /    ", 0},
                               {L"DD/MM/YYYY", L"1 /5 /2024", 20240501},   // blanks inside a field pass
                           });
}

TEST(DateUtilsTest, MonthNamesMatchByTheirFirstLetters)
{
    const TFormatSettings en = English();
    struct Case {
        const wchar_t* Text;
        int MaxLen, Month;
    } const cases[] = {
        {L"Dec", 3, 12}, {L"december", 8, 12}, {L"ju", 2, 6},  {L"JUL", 3, 7}, {L"Ma", 2, 3},
        {L"Xyz", 3, 0},  {L"", 3, 0},          {L"Jan", 0, 0}, {L"Janx", 4, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MonthFromName(c.Text, c.MaxLen, en), c.Month) << testing::PrintToString(UnicodeString(c.Text));
    EXPECT_EQ(MonthFromName(L"märz", 4, German()), 3);
    EXPECT_EQ(MonthFromName(L"12월", 3, Korean()), 12);
    TFormatSettings gap = en;
    gap.LongMonthNames[0].clear();   // an empty name matches nothing
    EXPECT_EQ(MonthFromName(L"J", 1, gap), 6);
}

TEST(DateUtilsTest, ScannersMoveOnlyOverWhatTheyRead)
{
    struct Case {
        const wchar_t* Text;
        int MaxLength;
        bool Ok;
        int Number, Pos;
    } const cases[] = {
        {L"12/5", 10, true, 12, 3},    {L"  7", 10, true, 7, 4},       {L"12345", 10, true, 1234, 5},
        {L"0000012", 10, true, 12, 8}, {L"123", 2, true, 12, 3},       {L"/1", 10, false, 0, 1},
        {L"", 10, false, 0, 1},        {L"   ", 10, false, 0, 1},
    };
    for (const Case& c : cases) {
        int pos = 1, n = 0;
        EXPECT_EQ(ScanNumber(c.Text, c.MaxLength, pos, n), c.Ok) << testing::PrintToString(UnicodeString(c.Text));
        EXPECT_EQ(n, c.Number);
        EXPECT_EQ(pos, c.Pos);
    }
    int pos = 1;
    EXPECT_TRUE(ScanChar(L"  /", pos, L'/'));
    EXPECT_EQ(pos, 4);
    EXPECT_FALSE(ScanChar(L"  /", pos, L'/'));   // at the end
    pos = 1;
    EXPECT_FALSE(ScanChar(L" x", pos, L'/'));
}

TEST(DateUtilsTest, FieldsAreReadWhereTheFormatHoldsTheirLetter)
{
    const TFormatSettings en = English();
    struct Case {
        const wchar_t* Format;
        const wchar_t* Text;
        wchar_t Ch;
        int Cnt, Expected;
    } const cases[] = {
        {L"DD/MM/YYYY", L"25/12/2024", L'd', 1, 25},
        {L"DD/MM/YYYY", L"25/12/2024", L'Y', 1, 2024},
        {L"DD/MM/YYYY", L"25/1x/2024", L'm', 1, -1},      // not a number
        {L"DD/MM/YYYY", L"25/  /2024", L'm', 1, -2},      // blank
        {L"DD/MM/YYYY", L"25/12/2024!", L'd', 1, -3},     // longer than the format
        {L"DD/MM", L"25/12", L'y', 1, -3},                // no such field
        {L"DD/MM/YYYY", L"25/12", L'y', 1, -2},           // past the text's end
        {L"DD-MMM-YYYY", L"01-Feb-2024", L'm', 3, 2},
        {L"DD-MMM-YYYY", L"01-Fxb-2024", L'm', 3, -1},
        {L"DD/MM/YYYY/XXXXXXXXXX", L"25/12/2024", L'd', 1, -2},   // formats of 20 and more read nothing
        {L"DD/MM/YYYY", L"99999999/1", L'd', 1, 99},
        {L"DD/MM/YYYY", L"25/12/2024", L'd', 1 << 30, -3},   // more letters than the format has
    };
    for (const Case& c : cases) {
        int i = 0;
        ExtractMask(c.Format, c.Text, c.Ch, c.Cnt, i, -2, -3, en);
        EXPECT_EQ(i, c.Expected) << testing::PrintToString(UnicodeString(c.Format)) << " "
                                 << testing::PrintToString(UnicodeString(c.Text));
    }
}

TEST(DateUtilsTest, MonthsQuartersAndValidity)
{
    const TDateTime d = EncodeDate(2024, 3, 15) + 0.5;
    EXPECT_EQ(Ymd(FirstDayOfCurrMonth(d)), 20240301);
    EXPECT_EQ(Ymd(LastDayOfPrMonth(d)), 20240229);
    EXPECT_EQ(Ymd(LastDayOfPrMonth(EncodeDate(2024, 1, 10))), 20231231);
    EXPECT_EQ(ExtractDay(d), 15);
    EXPECT_EQ(ExtractMonth(d), 3);
    EXPECT_EQ(ExtractYear(d), 2024);
    const int quarters[12] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(GetKvartal(EncodeDate(2024, m, 1)), quarters[m - 1]);
    EXPECT_EQ(DaysPerMonth(2024, 2), 29);
    EXPECT_EQ(DaysPerMonth(1900, 2), 28);
    EXPECT_EQ(DaysPerMonth(2024, 0), 0);
    EXPECT_EQ(DaysPerMonth(2024, 13), 0);
    EXPECT_TRUE(IsValidDate(9999, 12, 31));
    EXPECT_FALSE(IsValidDate(0, 12, 31));
    EXPECT_FALSE(IsValidDate(2024, 6, 31));
    EXPECT_TRUE(ValidDate(NullDate));
    EXPECT_TRUE(ValidDate(d));
    EXPECT_FALSE(ValidDate(1e12));
    EXPECT_FALSE(ValidDate(-1e12));
}

// What the date edit writes, it reads back: every day of a few years in
// each locale's default format, four- and two-digit years.
TEST(DateUtilsTest, WrittenDatesReadBack)
{
    TodayIs today(2026, 12, 11);
    for (const TFormatSettings& s : {English(), Korean(), German()}) {
        for (bool four : {true, false}) {
            const UnicodeString format = DefDateFormat(four, s);
            for (TDateTime d = EncodeDate(1970, 1, 1); d <= EncodeDate(2060, 12, 31); d += four ? 1 : 7) {
                const UnicodeString text = FormatDateTime(format, d, s);
                TDateTime back;
                ASSERT_TRUE(InternalStrToDate(format, text, back, s)) << testing::PrintToString(text);
                ASSERT_EQ(back.Val, d.Val) << testing::PrintToString(text);
            }
        }
    }
}

} // namespace
