// The month calendar's grid: days in cells, headings, weekends and week
// numbers for weeks from Monday and from Sunday, and the navigation steps.
// Portable: the native sanitizer build runs this file too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/editors/sMonthCalendar_Layout.h"
#include "tests/classlib/rtl/DateLocales.h"

using namespace datetest;

namespace {

constexpr int Monday = 0, Sunday = 6;

// The grid as the calendar shows it, one line per row, "." for an empty cell.
std::vector<std::wstring> Picture(const TsCalendarLayout& L, const TFormatSettings& S)
{
    std::vector<std::wstring> rows;
    for (int r = 0; r < TsCalendarLayout::RowCount; ++r) {
        std::wstring line;
        for (int c = 0; c < L.ColCount(); ++c) {
            const UnicodeString t = L.CellText(c, r, S);
            line += (c ? L" " : L"") + (t.empty() ? UnicodeString(L".") : t);
        }
        rows.push_back(line);
    }
    return rows;
}

TFormatSettings TwoLetterDays()
{
    TFormatSettings s = English();
    const wchar_t* names[7] = {L"Su", L"Mo", L"Tu", L"We", L"Th", L"Fr", L"Sa"};
    for (int i = 0; i < 7; ++i)
        s.ShortDayNames[i] = names[i];
    return s;
}

TEST(MonthLayoutTest, MonthsLaidOutForWeeksFromMondayAndFromSunday)
{
    struct Case {
        int Year, Month, FirstDay;
        bool Weeks;
        int Offset;
        std::vector<std::wstring> Rows;
    } const cases[] = {
        {2026, 12, Monday, true, 0,
         {L"Wk Mo Tu We Th Fr Sa Su", L"49 . 1 2 3 4 5 6", L"50 7 8 9 10 11 12 13", L"51 14 15 16 17 18 19 20",
          L"52 21 22 23 24 25 26 27", L"53 28 29 30 31 . . .", L"2 . . . . . . .", L". . . . . . . ."}},
        {2026, 12, Sunday, true, -1,
         {L"Wk Su Mo Tu We Th Fr Sa", L"49 . . 1 2 3 4 5", L"50 6 7 8 9 10 11 12", L"51 13 14 15 16 17 18 19",
          L"52 20 21 22 23 24 25 26", L"53 27 28 29 30 31 . .", L"2 . . . . . . .", L". . . . . . . ."}},
        // 1 January on a Sunday, weeks from Monday: the first row's week is
        // that of 31 December of the year before.
        {2023, 1, Monday, true, -5,
         {L"Wk Mo Tu We Th Fr Sa Su", L"53 . . . . . . 1", L"1 2 3 4 5 6 7 8", L"2 9 10 11 12 13 14 15",
          L"3 16 17 18 19 20 21 22", L"4 23 24 25 26 27 28 29", L"5 30 31 . . . . .", L". . . . . . . ."}},
        // Day 1 in the first column.
        {2023, 1, Sunday, false, 1,
         {L"Su Mo Tu We Th Fr Sa", L"1 2 3 4 5 6 7", L"8 9 10 11 12 13 14", L"15 16 17 18 19 20 21",
          L"22 23 24 25 26 27 28", L"29 30 31 . . . .", L". . . . . . .", L". . . . . . ."}},
        // A Sunday day 1 stands alone in the first row of a Monday week.
        {2024, 9, Monday, false, -5,
         {L"Mo Tu We Th Fr Sa Su", L". . . . . . 1", L"2 3 4 5 6 7 8", L"9 10 11 12 13 14 15",
          L"16 17 18 19 20 21 22", L"23 24 25 26 27 28 29", L"30 . . . . . .", L". . . . . . ."}},
        // A February of exactly four rows.
        {2015, 2, Sunday, true, 1,
         {L"Wk Su Mo Tu We Th Fr Sa", L"6 1 2 3 4 5 6 7", L"7 8 9 10 11 12 13 14", L"8 15 16 17 18 19 20 21",
          L"9 22 23 24 25 26 27 28", L"10 . . . . . . .", L"11 . . . . . . .", L". . . . . . . ."}},
    };
    const TFormatSettings s = TwoLetterDays();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << " first day " << c.FirstDay);
        const TsCalendarLayout layout(c.Year, c.Month, c.FirstDay, c.Weeks);
        EXPECT_EQ(layout.MonthOffset(), c.Offset);
        EXPECT_EQ(Picture(layout, s), c.Rows);
    }
}

// Every day of every month sits in the column of its weekday, once, and
// its cell leads back to it.
TEST(MonthLayoutTest, EveryDaySitsUnderItsWeekday)
{
    for (int first = 0; first < 7; ++first)
        for (bool weeks : {false, true})
            for (int y = 2019; y <= 2028; ++y)
                for (int m = 1; m <= 12; ++m) {
                    const TsCalendarLayout layout(y, m, first, weeks);
                    int found = 0;
                    for (int r = 0; r < TsCalendarLayout::RowCount; ++r)
                        for (int c = 0; c < layout.ColCount(); ++c) {
                            const int day = layout.DayAt(c, r);
                            if (!day)
                                continue;
                            ++found;
                            // DayOfWeek counts 1 Sunday .. 7 Saturday, the columns 0 Monday .. 6 Sunday.
                            ASSERT_EQ((DayOfWeek(EncodeDate(y, m, day)) + 5) % 7, int(layout.WeekdayOfColumn(c)))
                                << y << "-" << m << "-" << day << " first " << first;
                            int col, row;
                            layout.CellOfDay(day, col, row);
                            ASSERT_EQ(col, c);
                            ASSERT_EQ(row, r);
                        }
                    ASSERT_EQ(found, DaysInAMonth(y, m)) << y << "-" << m;
                }
}

TEST(MonthLayoutTest, HeadingsAndWeekendsFollowTheFirstDay)
{
    const TsCalendarLayout sunday(2024, 9, Sunday, true);
    const TsCalendarLayout monday(2024, 9, Monday, false);
    const TDaysOfWeek weekend{dowSaturday, dowSunday};
    EXPECT_FALSE(sunday.IsWeekend(0, weekend));   // the week column has its own style
    EXPECT_TRUE(sunday.IsWeekend(1, weekend));
    EXPECT_FALSE(sunday.IsWeekend(2, weekend));
    EXPECT_TRUE(sunday.IsWeekend(7, weekend));
    EXPECT_TRUE(monday.IsWeekend(5, weekend));
    EXPECT_TRUE(monday.IsWeekend(6, weekend));
    EXPECT_FALSE(monday.IsWeekend(0, weekend));
    EXPECT_FALSE(monday.IsWeekend(6, TDaysOfWeek{dowSaturday}));
    EXPECT_EQ(sunday.CellText(0, 0, Korean()), s_WeeksTitle);
    EXPECT_EQ(sunday.CellText(1, 0, Korean()), L"일");
    EXPECT_EQ(monday.CellText(0, 0, Korean()), L"월");
    EXPECT_EQ(monday.CellText(6, 0, German()), L"So");
    EXPECT_EQ(UnicodeString(s_WeeksTitle).find(L'?'), UnicodeString::npos);
}

TEST(MonthLayoutTest, TheFirstDayComesFromTheCalendarOrTheLocale)
{
    EXPECT_EQ(CalendarFirstDay(dowWednesday, German()), 2);
    EXPECT_EQ(CalendarFirstDay(dowLocaleDefault, German()), Monday);
    EXPECT_EQ(CalendarFirstDay(dowLocaleDefault, Korean()), Sunday);
    TFormatSettings odd = English();
    odd.FirstDayOfWeek = 9;
    EXPECT_EQ(CalendarFirstDay(dowLocaleDefault, odd), Sunday);
}

TEST(MonthLayoutTest, WeekNumbersCountSundayWeeksFromTheFirstOfJanuary)
{
    struct Case {
        int Y, M, D, Week;
    } const cases[] = {
        {2024, 1, 1, 0}, {2024, 1, 6, 0}, {2024, 1, 7, 1}, {2022, 12, 31, 52}, {2023, 1, 1, 0}, {2024, 12, 31, 52},
        {2022, 1, 1, 0}, {2022, 1, 2, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WeekNum(EncodeDate(c.Y, c.M, c.D) + 0.75), c.Week) << c.Y << "-" << c.M << "-" << c.D;
    // At the ends of the calendar's range the neighbouring month does not exist.
    EXPECT_EQ(TsCalendarLayout(9999, 12, Sunday, true).WeekNumberOfRow(6), 0);
    EXPECT_EQ(TsCalendarLayout(9999, 12, Sunday, true).WeekNumberOfRow(5), 53);
}

int Ymd(TDateTime V)
{
    int y, m, d;
    DecodeDate(V, y, m, d);
    return y * 10000 + m * 100 + d;
}

TEST(MonthLayoutTest, NavigationKeepsTheDayWhereTheMonthHasIt)
{
    struct Case {
        int From;
        int Months, Years;
        int To;
    } const cases[] = {
        {20240131, 1, 0, 20240229},  {20250131, 1, 0, 20250228},  {20240331, -1, 0, 20240229},
        {20241215, 1, 0, 20250115},  {20240115, -1, 0, 20231215}, {20240229, 0, 1, 20250228},
        {20240229, 0, -1, 20230228}, {20240229, 0, 4, 20280228},  {99991231, 1, 0, 99991231},
        {99991215, 0, 1, 99991215},  {10101, -1, 0, 10101},       {10101, 0, -1, 10101},
    };
    for (const Case& c : cases) {
        const TDateTime from = EncodeDate(c.From / 10000, c.From / 100 % 100, c.From % 100);
        const TDateTime to = c.Months ? ChangeMonthDate(from, c.Months) : ChangeYearDate(from, c.Years);
        EXPECT_EQ(Ymd(to), c.To) << c.From;
    }
}

TEST(MonthLayoutTest, OnePartOfTheDateChangesOrNothingDoes)
{
    struct Case {
        int Index, Value;
        int To;   // 0: refused
    } const cases[] = {
        {1, 2025, 20250131}, {1, 2024, 0}, {1, 0, 0},     {1, 10000, 0}, {2, 2, 20240229},
        {2, 4, 20240430},    {2, 1, 0},    {2, 13, 0},    {3, 15, 20240115}, {3, 31, 0},
        {3, 32, 0},          {3, -1, 0},   {4, 1, 0},
    };
    const TDateTime from = EncodeDate(2024, 1, 31);
    for (const Case& c : cases) {
        TDateTime to = -3;
        EXPECT_EQ(DateWithElement(from, c.Index, c.Value, to), c.To != 0) << c.Index << " " << c.Value;
        EXPECT_EQ(c.To ? Ymd(to) : int(to.Val), c.To ? c.To : -3);
    }
    TDateTime to;
    EXPECT_FALSE(DateWithElement(EncodeDate(2024, 2, 29), 1, 2025, to));   // 29 February 2025 does not exist
}

} // namespace
