// Dates and times: encoding, the clock, FormatDateTime and TryStrToDate.
// Portable: the native sanitizer build runs this file too.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "classlib/rtl/DateTime.h"
#include "tests/classlib/rtl/DateLocales.h"

using namespace datetest;

namespace {

struct Ymd {
    int Y, M, D;
};

Ymd Decoded(TDateTime V)
{
    Ymd r;
    DecodeDate(V, r.Y, r.M, r.D);
    return r;
}

TEST(DateTimeTest, EncodesDaysFromTheEpochAndDecodesThemBack)
{
    struct Case {
        int Y, M, D;
        double Serial;
    } const cases[] = {
        {1899, 12, 30, 0},   {1900, 1, 1, 2},        {2000, 1, 1, 36526},    {2024, 12, 25, 45651},
        {2024, 2, 29, 45351}, {1, 1, 1, -693593},    {9999, 12, 31, 2958465}, {1600, 2, 29, -109512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Y << "-" << c.M << "-" << c.D);
        EXPECT_EQ(EncodeDate(c.Y, c.M, c.D).Val, c.Serial);
        // 18:00 of that day; before the epoch the fraction counts forward too.
        const Ymd d = Decoded(c.Serial < 0 ? c.Serial - 0.75 : c.Serial + 0.75);
        EXPECT_EQ(d.Y, c.Y);
        EXPECT_EQ(d.M, c.M);
        EXPECT_EQ(d.D, c.D);
    }
}

TEST(DateTimeTest, RefusesDatesAndTimesThatDoNotExist)
{
    const Ymd bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2100, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                       {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}, {-1, 1, 1}};
    for (const Ymd& d : bad) {
        TDateTime v = 7;
        EXPECT_FALSE(TryEncodeDate(d.Y, d.M, d.D, v)) << d.Y << "-" << d.M << "-" << d.D;
        EXPECT_EQ(v.Val, 7);
        EXPECT_THROW(EncodeDate(d.Y, d.M, d.D), EConvertError);
    }
    TDateTime t;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, t));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, t));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, t));
    EXPECT_THROW(EncodeTime(25, 0, 0, 0), EConvertError);
}

TEST(DateTimeTest, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(1600));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(1900, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 12), 31);
    EXPECT_EQ(DaysInAMonth(2023, 11), 30);
    EXPECT_EQ(DaysInAMonth(2023, 13), 0);
}

TEST(DateTimeTest, ArithmeticIsInDays)
{
    EXPECT_EQ(EncodeDate(2025, 1, 1) - EncodeDate(2024, 1, 1), 366);
    const Ymd next = Decoded(EncodeDate(2024, 2, 28) + 1);
    EXPECT_EQ(next.M, 2);
    EXPECT_EQ(next.D, 29);
    TDateTime d = EncodeDate(2024, 12, 31);
    d += 1;
    EXPECT_EQ(Decoded(d).Y, 2025);
    EXPECT_LT(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 2));
}

TEST(DateTimeTest, TimeOfDayBeforeTheEpochCountsForwardFromMidnight)
{
    int y, m, d, h, n, s, ms;
    DecodeDateTime(-1.25, y, m, d, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(DayOfWeek(-1.25), 6);   // a Friday
}

TEST(DateTimeTest, TimeRoundsToTheMillisecondAndCarriesIntoTheNextDay)
{
    int h, n, s, ms;
    DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, ms);
    EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 134530250);
    const TDateTime almost = EncodeDate(2024, 12, 31).Val + (MSecsPerDay - 0.2) / MSecsPerDay;
    const Ymd d = Decoded(almost);
    EXPECT_EQ(d.Y * 10000 + d.M * 100 + d.D, 20250101);
    DecodeTime(almost, h, n, s, ms);
    EXPECT_EQ(h + n + s + ms, 0);
}

TEST(DateTimeTest, ValuesOutsideTheRangeDecodeAsZeros)
{
    const double outside[] = {-693594.5, 2958466.0, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity()};
    for (double v : outside) {
        const Ymd d = Decoded(v);
        EXPECT_EQ(d.Y + d.M + d.D, 0) << v;
        EXPECT_EQ(DayOfWeek(v), 0);
        EXPECT_EQ(FormatDateTime(L"dddd mmmm", v, English()), L" ");
    }
}

TEST(DateTimeTest, DayOfWeekCountsFromSunday)
{
    EXPECT_EQ(DayOfWeek(0), 7);                          // 30 December 1899, a Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 12, 25)), 4);   // a Wednesday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);        // a Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 13)), 1);   // a Sunday
}

TEST(DateTimeTest, TheClockIsInjectedAndPutBack)
{
    const TDateTime moment = EncodeDate(2026, 12, 11) + EncodeTime(9, 30, 0, 0);
    {
        TodayIs today(moment);
        EXPECT_EQ(Now().Val, moment.Val);
        EXPECT_EQ(Date().Val, EncodeDate(2026, 12, 11).Val);
        EXPECT_DOUBLE_EQ(Time().Val, EncodeTime(9, 30, 0, 0).Val);
        EXPECT_EQ(CurrentYear(), 2026);
        {
            TodayIs inner(1999, 1, 1);
            EXPECT_EQ(CurrentYear(), 1999);
        }
        EXPECT_EQ(CurrentYear(), 2026);
    }
    // The system's clock again: some year of this millennium.
    EXPECT_GE(CurrentYear(), 2000);
}

// 5 March 2024 (a Tuesday), 14:07:09.045.
const TDateTime KAfternoon = EncodeDate(2024, 3, 5).Val + EncodeTime(14, 7, 9, 45).Val;

TEST(DateTimeTest, FormatsEveryLetter)
{
    const TFormatSettings en = English();
    struct Case {
        const wchar_t* Format;
        const wchar_t* Text;
    } const cases[] = {
        {L"d", L"5"},
        {L"dd", L"05"},
        {L"ddd", L"Tue"},
        {L"dddd", L"Tuesday"},
        {L"ddddd", L"3/5/2024"},
        {L"dddddd", L"Tuesday, March 5, 2024"},
        {L"m", L"3"},
        {L"mm", L"03"},
        {L"mmm", L"Mar"},
        {L"mmmm", L"March"},
        {L"MMMM", L"March"},
        {L"y", L"24"},
        {L"yy", L"24"},
        {L"yyy", L"2024"},
        {L"yyyy", L"2024"},
        {L"h", L"14"},
        {L"hh", L"14"},
        {L"n", L"7"},
        {L"nn", L"07"},
        {L"s", L"9"},
        {L"ss", L"09"},
        {L"z", L"45"},
        {L"zzz", L"045"},
        {L"hh:mm:ss", L"14:07:09"},        // m right after h is minutes
        {L"h-m", L"14-7"},
        {L"mm hh", L"03 14"},
        {L"h am/pm", L"2 pm"},
        {L"hh AM/PM", L"02 PM"},
        {L"h a/p", L"2 p"},
        {L"h:nn ampm", L"2:07 PM"},
        {L"t", L"2:07 PM"},
        {L"tt", L"2:07:09 PM"},
        {L"c", L"3/5/2024 2:07:09 PM"},
        {L"", L"3/5/2024 2:07:09 PM"},
        {L"yyyy/mm/dd", L"2024/03/05"},
        {L"'d' \"m\" e g x", L"d m e g x"},
        {L"'unclosed d", L"unclosed d"},
        {L"aa", L"aa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, KAfternoon, en), c.Text) << "format \"" << testing::PrintToString(UnicodeString(c.Format)) << "\"";
}

TEST(DateTimeTest, FormatsInTheSettingsOfEachLocale)
{
    struct Case {
        TFormatSettings Settings;
        const wchar_t* Format;
        TDateTime Value;
        const wchar_t* Text;
    } const cases[] = {
        {Korean(), L"ddddd", KAfternoon, L"2024-03-05"},
        {Korean(), L"dddddd", KAfternoon, L"2024년 3월 5일 화요일"},
        {Korean(), L"c", KAfternoon, L"2024-03-05 오후 2:07:09"},
        {Korean(), L"yyyy/mm/dd ddd", KAfternoon, L"2024-03-05 화"},
        {Korean(), L"mmmm", KAfternoon, L"3월"},
        {German(), L"ddddd", KAfternoon, L"05.03.2024"},
        {German(), L"dddddd", KAfternoon, L"Dienstag, 5. März 2024"},
        {German(), L"dd/mm/yy t", KAfternoon, L"05.03.24 14:07"},
        {German(), L"c", EncodeDate(2024, 3, 5), L"05.03.2024"},   // midnight: no time
        {English(), L"h:nn am/pm", EncodeDate(2024, 3, 5).Val + EncodeTime(0, 30, 0, 0).Val, L"12:30 am"},
        {English(), L"yyyy-mm-dd hh:nn", -1.25, L"1899-12-29 06:00"},
        {English(), L"yyyy", EncodeDate(33, 1, 1), L"0033"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, c.Value, c.Settings), c.Text);
}

TEST(DateTimeTest, FormatsNamedByFormatsExpandOneLevelDeep)
{
    TFormatSettings s = English();
    s.ShortDateFormat = L"c ddddd t d";
    s.LongTimeFormat = L"tt";
    EXPECT_EQ(FormatDateTime(L"ddddd", KAfternoon, s), L"c ddddd t 5");
    EXPECT_EQ(FormatDateTime(L"c", KAfternoon, s), L"c ddddd t 5 tt");
    UnicodeString text;
    DateTimeToString(text, L"d/m", KAfternoon, s);
    EXPECT_EQ(text, L"5/3");
    EXPECT_EQ(DateToStr(KAfternoon, German()), L"05.03.2024");
}

struct ParseCase {
    const wchar_t* Text;
    int Y, M, D;   // Y 0: no date
};

void ExpectParses(const TFormatSettings& S, std::initializer_list<ParseCase> Cases)
{
    for (const ParseCase& c : Cases) {
        TDateTime v = -5;
        const bool ok = TryStrToDate(c.Text, v, S);
        SCOPED_TRACE(testing::PrintToString(UnicodeString(c.Text)));
        EXPECT_EQ(ok, c.Y != 0);
        if (ok && c.Y) {
            const Ymd d = Decoded(v);
            EXPECT_EQ(d.Y * 10000 + d.M * 100 + d.D, c.Y * 10000 + c.M * 100 + c.D);
        } else {
            EXPECT_EQ(v.Val, -5);
        }
    }
}

TEST(DateTimeTest, ReadsDatesInTheOrderOfTheShortFormat)
{
    TodayIs today(2026, 12, 11);
    ExpectParses(English(), {
                                {L"12/25/2024", 2024, 12, 25},
                                {L" 12 / 25 / 2024 ", 2024, 12, 25},
                                {L"1/2", 2026, 1, 2},
                                {L"2/29/2024", 2024, 2, 29},
                                {L"1/1/0024", 24, 1, 1},
                                {L"2/29/2023", 0, 0, 0},
                                {L"2/30/2024", 0, 0, 0},
                                {L"13/1/2024", 0, 0, 0},
                                {L"0/1/2024", 0, 0, 0},
                                {L"12/25/", 0, 0, 0},
                                {L"12//2024", 0, 0, 0},
                                {L"12/  /2024", 0, 0, 0},
                                {L"/25/2024", 0, 0, 0},
                                {L"12/25/2024/ ", 2024, 12, 25},   // a closing separator
                                {L"12/25/2024//", 0, 0, 0},
                                {L"12/25/2024x", 0, 0, 0},
                                {L"12/25/20245", 0, 0, 0},
                                {L"12-25-2024", 0, 0, 0},
                                {L"-1/25/2024", 0, 0, 0},
                                {L"", 0, 0, 0},
                                {L"   ", 0, 0, 0},
                                {L"12", 0, 0, 0},
                            });
    ExpectParses(Korean(), {
                               {L"2024-12-25", 2024, 12, 25},
                               {L"24-12-25", 2024, 12, 25},
                               {L"12-25", 2026, 12, 25},
                               {L"2024/12/25", 0, 0, 0},
                               {L"2024-02-30", 0, 0, 0},
                           });
    TFormatSettings dotted = Korean();   // as some systems write the Korean date
    dotted.DateSeparator = L'.';
    dotted.ShortDateFormat = L"yyyy. MM. dd.";
    ExpectParses(dotted, {
                             {L"2024. 12. 25.", 2024, 12, 25},
                             {L"2024.12.25", 2024, 12, 25},
                             {L"12. 25.", 0, 0, 0},
                         });
    ExpectParses(German(), {
                               {L"25.12.2024", 2024, 12, 25},
                               {L"1.2", 2026, 2, 1},
                               {L"29.02.2024", 2024, 2, 29},
                               {L"29.02.2100", 0, 0, 0},
                               {L"31.04.2024", 0, 0, 0},
                               {L"25/12/2024", 0, 0, 0},
                           });
}

TEST(DateTimeTest, TwoDigitYearsFallInTheCenturyWindow)
{
    TodayIs today(2026, 12, 11);
    TFormatSettings s = English();
    // Window 50: the hundred years from 1976 on.
    ExpectParses(s, {{L"1/1/76", 1976, 1, 1}, {L"1/1/75", 2075, 1, 1}, {L"1/1/0", 2000, 1, 1},
                     {L"1/1/00", 2000, 1, 1}, {L"1/1/99", 1999, 1, 1}, {L"1/1/5", 2005, 1, 1}});
    // Window 0: the current century.
    s.TwoDigitYearCenturyWindow = 0;
    ExpectParses(s, {{L"1/1/99", 2099, 1, 1}, {L"1/1/26", 2026, 1, 1}});
    // A blank separator is the blanks themselves.
    TFormatSettings blank = German();
    blank.DateSeparator = L' ';
    ExpectParses(blank, {{L"25 12 2024", 2024, 12, 25}, {L"25  12", 2026, 12, 25}, {L"2512", 0, 0, 0}});
}

TEST(DateTimeTest, StrToDateRaisesWithTheText)
{
    try {
        StrToDate(L"31/31", English());
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"'31/31' is not a valid date");
    }
    TodayIs today(2026, 12, 11);
    EXPECT_EQ(StrToDate(L"25.12.2024", German()).Val, EncodeDate(2024, 12, 25).Val);
}

TEST(DateTimeTest, NamesCompareWithoutCaseInEveryScript)
{
    EXPECT_EQ(CompareNameText(L"MÄRZ", L"märz"), 0);
    EXPECT_EQ(CompareNameText(L"ÉTÉ", L"été"), 0);
    EXPECT_EQ(CompareNameText(L"ЯНВАРЬ", L"январь"), 0);
    EXPECT_EQ(CompareNameText(L"ΜΆΡΤΙΟΣ", L"μάρτιος"), 0);
    EXPECT_EQ(CompareNameText(L"ŁÓDŹ", L"łódź"), 0);
    EXPECT_EQ(CompareNameText(L"1월", L"1월"), 0);
    EXPECT_LT(CompareNameText(L"Jan", L"January"), 0);
    EXPECT_GT(CompareNameText(L"Feb", L"Apr"), 0);
    EXPECT_NE(CompareNameText(L"Mai", L"März"), 0);
}

TEST(DateTimeTest, DefaultSettingsAreTheEnglishOnes)
{
    const TFormatSettings s = DefaultDateSettings();
    EXPECT_EQ(s.ShortDateFormat, L"M/d/yyyy");
    EXPECT_EQ(s.DateSeparator, L'/');
    EXPECT_EQ(s.LongMonthNames[11], L"December");
    EXPECT_EQ(s.ShortDayNames[0], L"Sun");
    EXPECT_EQ(s.FirstDayOfWeek, 6);
}

} // namespace
