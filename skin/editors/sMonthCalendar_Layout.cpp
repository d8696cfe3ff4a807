// The month calendar's grid.  Windows-free.
#include "skin/editors/sMonthCalendar_Layout.h"

#include <string>

#include "skin/editors/sDateUtils.h"

const wchar_t* const s_WeeksTitle = L"Wk";

int CalendarFirstDay(TCalDayOfWeek StartOfWeek, const TFormatSettings& Settings)
{
    if (StartOfWeek != dowLocaleDefault)
        return int(StartOfWeek);
    const int locale = Settings.FirstDayOfWeek;
    return locale >= 0 && locale <= 6 ? locale : int(dowSunday);
}

int WeekNum(TDateTime D)
{
    int y, m, d;
    DecodeDate(D, y, m, d);
    TDateTime jan1;
    if (!TryEncodeDate(y, 1, 1, jan1))
        return 0;
    const int days = int(DateOf(D).Val - jan1.Val);
    return (days + DayOfWeek(jan1) - 1) / 7;
}

TsCalendarLayout::TsCalendarLayout(int Year, int Month, int FirstDay, bool ShowWeeks)
    : FYear(Year), FMonth(Month), FFirstDay(((FirstDay % 7) + 7) % 7), FShowWeeks(ShowWeeks),
      FDays(DaysPerMonth(Year, Month)), FMonthOffset(1)
{
    TDateTime first;
    if (!TryEncodeDate(Year, Month, 1, first))
        return;
    // a: day 1's weekday column, counted from 1, with 0 for the last column.
    const int a = (DayOfWeek(first) - FFirstDay + 6) % 7;
    FMonthOffset = a == 0 ? -5 : 2 - a;
}

int TsCalendarLayout::DayAt(int ACol, int ARow) const
{
    if (ARow < 1 || ARow >= RowCount || ACol < int(FShowWeeks) || ACol >= ColCount())
        return 0;
    const int d = ACol + FMonthOffset + 7 * ARow - int(FShowWeeks) - 7;
    return d >= 1 && d <= FDays ? d : 0;
}

void TsCalendarLayout::CellOfDay(int Day, int& ACol, int& ARow) const
{
    const int k = Day - FMonthOffset;   // never negative for a day of the month
    ACol = k % 7 + int(FShowWeeks);
    ARow = k / 7 + 1;
}

TCalDayOfWeek TsCalendarLayout::WeekdayOfColumn(int ACol) const
{
    return TCalDayOfWeek(((FFirstDay + ACol - int(FShowWeeks)) % 7 + 7) % 7);
}

bool TsCalendarLayout::IsWeekend(int ACol, TDaysOfWeek Weekends) const
{
    return !IsWeekColumn(ACol) && Weekends.Contains(WeekdayOfColumn(ACol));
}

int TsCalendarLayout::WeekNumberOfRow(int ARow) const
{
    if (ARow < 1 || ARow > 6)
        return 0;
    // A day of the row that lies in the Sunday-to-Saturday week the row
    // mostly shows: the last cell of the first row, the second of the others,
    // a day earlier for weeks from Monday.
    int d = ARow == 1 ? 6 + FMonthOffset : 1 + FMonthOffset + 7 * (ARow - 1);
    if (FFirstDay == int(dowMonday))
        --d;
    int y = FYear, m = FMonth;
    if (d > FDays) {
        d -= FDays;
        if (++m > 12)
            m = 1, ++y;
    } else if (d < 1) {
        if (--m < 1)
            m = 12, --y;
        d = DaysPerMonth(y, m);
    }
    TDateTime date;
    return TryEncodeDate(y, m, d, date) ? WeekNum(date) + 1 : 0;
}

UnicodeString TsCalendarLayout::CellText(int ACol, int ARow, const TFormatSettings& Settings) const
{
    if (ARow == 0) {
        if (IsWeekColumn(ACol))
            return s_WeeksTitle;
        // ShortDayNames counts from Sunday, the columns from Monday.
        return Settings.ShortDayNames[(int(WeekdayOfColumn(ACol)) + 1) % 7];
    }
    if (IsWeekColumn(ACol)) {
        const int week = WeekNumberOfRow(ARow);
        return week ? std::to_wstring(week) : UnicodeString();
    }
    const int day = DayAt(ACol, ARow);
    return day ? std::to_wstring(day) : UnicodeString();
}

TDateTime ChangeMonthDate(TDateTime D, int Delta)
{
    int y, m, d;
    DecodeDate(D, y, m, d);
    TDateTime edge;
    if (!TryEncodeDate(y, m, Delta <= 0 ? 1 : DaysPerMonth(y, m), edge))
        return D;
    int ny, nm, nd;
    DecodeDate(edge + Delta, ny, nm, nd);
    const int last = DaysPerMonth(ny, nm);
    TDateTime r;
    return TryEncodeDate(ny, nm, d < last ? d : last, r) ? r : D;
}

TDateTime ChangeYearDate(TDateTime D, int Delta)
{
    int y, m, d;
    DecodeDate(D, y, m, d);
    if (m == 2 && d == 29)
        d = 28;
    TDateTime r;
    return TryEncodeDate(y + Delta, m, d, r) ? r : D;
}

bool DateWithElement(TDateTime D, int Index, int Value, TDateTime& Result)
{
    if (Value < 1)
        return false;
    int y, m, d;
    DecodeDate(D, y, m, d);
    switch (Index) {
    case 1:
        if (Value == y)
            return false;
        y = Value;
        break;
    case 2:
        if (Value > 12 || Value == m)
            return false;
        m = Value;
        if (d > DaysPerMonth(y, m))
            d = DaysPerMonth(y, m);
        break;
    case 3:
        if (Value > DaysPerMonth(y, m) || Value == d)
            return false;
        d = Value;
        break;
    default:
        return false;
    }
    return TryEncodeDate(y, m, d, Result);
}
