// Dates and times: TDateTime, encoding and decoding, the clock, and date
// text (FormatDateTime, TryStrToDate) after the date fields of
// TFormatSettings.  Windows-free: the native sanitizer build compiles
// DateTime.cpp as it stands; only the locale reader (DateTime_Locale.cpp)
// asks the system.
#pragma once

#include <string_view>

#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// A point in time as days since 30 December 1899 (the integral part) plus
// the time of day as a fraction of a day.  Before that day the value is
// negative while the fraction still counts forward from midnight: -1.25 is
// 29 December 1899, 06:00.  It reads and writes as a double, so the usual
// arithmetic (D + 1, D2 - D1, comparisons) just works.
class TDateTime {
public:
    double Val = 0;

    constexpr TDateTime() = default;
    constexpr TDateTime(double V) : Val(V) {}
    constexpr operator double() const { return Val; }
    TDateTime& operator+=(double Days) { Val += Days; return *this; }
    TDateTime& operator-=(double Days) { Val -= Days; return *this; }
};

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = HoursPerDay * 60;
constexpr int SecsPerDay = MinsPerDay * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Day number of 1 January 0001 minus one, counted from 30 December 1899.
constexpr int DateDelta = 693594;
// The first and last day a TDateTime can encode: 1 January 0001, 31 December 9999.
constexpr double MinDateTime = -693593.0;
constexpr double MaxDateTime = 2958465.99999999;

bool IsLeapYear(int Year);
// 28 to 31; 0 for a month outside 1..12.
int DaysInAMonth(int Year, int Month);

// Encoding: years 1..9999, months 1..12, days of the month; hours 0..23,
// minutes and seconds 0..59, milliseconds 0..999.  The Try forms leave Value
// alone and answer false for anything else; the others raise EConvertError.
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value);
bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value);
TDateTime EncodeDate(int Year, int Month, int Day);
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);

// Decoding.  The time is rounded to the nearest millisecond (which may carry
// into the next day).  A value outside MinDateTime..MaxDateTime (or NaN)
// decodes as all zeros, which no valid date has.
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec);
void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec);
// 1 Sunday .. 7 Saturday.
int DayOfWeek(TDateTime Value);
// The date part alone, and the time part alone (as the decoders see them).
TDateTime DateOf(TDateTime Value);
TDateTime TimeOf(TDateTime Value);

// ---------------------------------------------------------------------------
// The clock.  Date, Time and Now read the local time through one source,
// which a test replaces for a while, so that nothing depends on the day
// the test runs.
class TDateClock {
public:
    virtual ~TDateClock() = default;
    virtual TDateTime Now() = 0;
};

// The clock in use: the system's local time unless a scope replaced it.
TDateClock& DateClock();

// Puts Clock in place for the scope's life and the previous one back after.
class TDateClockScope {
    TDateClock* FPrevious;

public:
    explicit TDateClockScope(TDateClock& Clock);
    ~TDateClockScope();
    TDateClockScope(const TDateClockScope&) = delete;
    TDateClockScope& operator=(const TDateClockScope&) = delete;
};

// A clock that stands still at a given moment (tests, replays).
class TFixedDateClock : public TDateClock {
public:
    TDateTime Moment;
    explicit TFixedDateClock(TDateTime AMoment) : Moment(AMoment) {}
    TDateTime Now() override { return Moment; }
};

TDateTime Now();
TDateTime Date();   // today, midnight
TDateTime Time();   // the time of day alone
int CurrentYear();

// ---------------------------------------------------------------------------
// Date settings.  DefaultDateSettings gives the fixed English values
// ("M/d/yyyy", '/', January..December, Sunday..Saturday, week from Sunday);
// the locale reader starts from them and takes what the locale gives.
void DefaultDateSettings(TFormatSettings& Settings);
TFormatSettings DefaultDateSettings();
// Reads the user's locale into the date fields of Settings (Windows only:
// GetFormatSettings calls it).
void GetDateFormatSettings(TFormatSettings& Settings);

// Month and day names compared without case, the same on every system:
// Latin (with its accented letters), Greek and Cyrillic letters fold; other
// scripts (Hangul) compare as they are.
int CompareNameText(std::wstring_view S1, std::wstring_view S2);

// ---------------------------------------------------------------------------
// Date text.
//
// FormatDateTime's letters (either case):
//   c        ShortDateFormat, then LongTimeFormat unless the time is midnight
//   d dd     day, without / with a leading zero
//   ddd dddd ShortDayNames / LongDayNames
//   ddddd    ShortDateFormat;  dddddd  LongDateFormat
//   m mm     month (minutes right after an h or hh), without / with zero
//   mmm mmmm ShortMonthNames / LongMonthNames
//   yy yyyy  two-digit / full year (y is yy, yyy is yyyy)
//   h hh     hour (12-hour clock when the format has an am/pm specifier)
//   n nn     minutes;  s ss  seconds;  z zzz  milliseconds
//   t tt     ShortTimeFormat / LongTimeFormat
//   am/pm    "am" or "pm" in the case written; a/p likewise
//   ampm     TimeAMString or TimePMString
//   /        DateSeparator;  :  TimeSeparator
//   "..." '...'  copied as written; any other character is copied.
// The formats named by c, ddddd, dddddd, t and tt are expanded one level
// deep: inside them these letters are copied as they are.
UnicodeString FormatDateTime(std::wstring_view Format, TDateTime Value, const TFormatSettings& Settings);
UnicodeString FormatDateTime(std::wstring_view Format, TDateTime Value);
void DateTimeToString(UnicodeString& Result, std::wstring_view Format, TDateTime Value,
                      const TFormatSettings& Settings);
void DateTimeToString(UnicodeString& Result, std::wstring_view Format, TDateTime Value);
UnicodeString DateToStr(TDateTime Value, const TFormatSettings& Settings);   // "ddddd"
UnicodeString DateToStr(TDateTime Value);

// Text to date: two or three numbers separated by DateSeparator (blanks
// around them allowed), in the order of ShortDateFormat (the first of its
// d, m and y letters; month-day-year when none).  Two numbers mean the
// current year.  A year written with at most two digits is expanded by
// TwoDigitYearCenturyWindow: into the hundred years from the current year
// minus the window on (the current century when the window is 0).  Numbers
// have at most four digits; after the third a separator may end the date
// (as some locales write it), nothing else may follow.  Value is untouched
// when the result is false; StrToDate raises EConvertError.
bool TryStrToDate(std::wstring_view S, TDateTime& Value, const TFormatSettings& Settings);
bool TryStrToDate(std::wstring_view S, TDateTime& Value);
TDateTime StrToDate(std::wstring_view S, const TFormatSettings& Settings);
TDateTime StrToDate(std::wstring_view S);
