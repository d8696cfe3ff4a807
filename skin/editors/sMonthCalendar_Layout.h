// The month calendar's grid, computed in one place: which day stands in
// which cell, where a day's cell is, the weekday headings, weekend columns
// and the week numbers of the rows, for a first weekday of the calendar's
// choice; and the date steps of its navigation (a month, a year, one part
// of the date).  The grid's painter, its selection and its keyboard ask
// this; nothing here paints.  Part of sMonthCalendar; Windows-free, so the
// native build tests it too.
//
// The grid: row 0 holds the weekday headings, rows 1 to 7 the days; with
// week numbers, column 0 holds them and the weekdays take columns 1 to 7.
#pragma once

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/DateTime.h"

enum TCalDayOfWeek {
    dowMonday,
    dowTuesday,
    dowWednesday,
    dowThursday,
    dowFriday,
    dowSaturday,
    dowSunday,
    dowLocaleDefault
};
using TDaysOfWeek = TSet<TCalDayOfWeek>;

// The heading of the week-number column.
extern const wchar_t* const s_WeeksTitle;

// The first column's weekday, 0 Monday .. 6 Sunday: StartOfWeek itself, or
// the locale's first day of the week for dowLocaleDefault.
int CalendarFirstDay(TCalDayOfWeek StartOfWeek, const TFormatSettings& Settings = FormatSettings);

// The zero-based number of D's Sunday-to-Saturday week in its year (the
// calendar shows it plus one).
int WeekNum(TDateTime D);

class TsCalendarLayout {
public:
    static constexpr int RowCount = 8;

    // Year 1..9999, Month 1..12, FirstDay 0 Monday .. 6 Sunday.
    TsCalendarLayout(int Year, int Month, int FirstDay, bool ShowWeeks);

    int Year() const { return FYear; }
    int Month() const { return FMonth; }
    int FirstDay() const { return FFirstDay; }
    bool ShowWeeks() const { return FShowWeeks; }
    int ColCount() const { return 7 + FShowWeeks; }
    int DaysThisMonth() const { return FDays; }
    // The grid position of day 1: its cell is column (1 - MonthOffset) of
    // the weekdays, row 1.  1 when day 1 takes the first weekday column,
    // -5 when it takes the last.
    int MonthOffset() const { return FMonthOffset; }

    bool IsWeekColumn(int ACol) const { return FShowWeeks && ACol == 0; }
    // The day of the month in a cell; 0 for the headings, the week column
    // and the cells before day 1 and after the month's last day.
    int DayAt(int ACol, int ARow) const;
    // The cell of a day of the month.
    void CellOfDay(int Day, int& ACol, int& ARow) const;
    // A weekday column's weekday, dowMonday .. dowSunday.
    TCalDayOfWeek WeekdayOfColumn(int ACol) const;
    // Weekday columns in Weekends (never the week column).
    bool IsWeekend(int ACol, TDaysOfWeek Weekends) const;
    // The week number a row's week column shows (WeekNum + 1), or 0 for the
    // heading and the last row, which show none.
    int WeekNumberOfRow(int ARow) const;
    // What a cell shows: weekday headings (ShortDayNames), the week title
    // and numbers, day numbers, or nothing.
    UnicodeString CellText(int ACol, int ARow, const TFormatSettings& Settings = FormatSettings) const;

private:
    int FYear, FMonth, FFirstDay;
    bool FShowWeeks;
    int FDays;
    int FMonthOffset;
};

// Navigation.  The date Delta days (-1 or +1) past the first (Delta <= 0)
// or last (Delta > 0) day of D's month, with D's day number cut to the
// length of the month reached: the previous or next month.
TDateTime ChangeMonthDate(TDateTime D, int Delta);
// The same day Delta years on, 29 February becoming 28 first; D itself
// when that year cannot be encoded.
TDateTime ChangeYearDate(TDateTime D, int Delta);
// D with one part replaced (Index 1 year, 2 month, 3 day): false, and
// Result untouched, when the value is below 1, the part would not change,
// the month is above 12, the day beyond the month, or the date does not
// encode.  A new month cuts the day to its length.
bool DateWithElement(TDateTime D, int Index, int Value, TDateTime& Result);
