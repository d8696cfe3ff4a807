// The library's date routines: month lengths and validity, the default
// date formats and edit masks of the locale's order, two-digit years, and
// the date parser of the date edit (position by position against a fixed
// format such as "DD/MM/YYYY", or else as free text of numbers and date
// separators).  Windows-free, so that the native sanitizer build tests and
// fuzzes it.
//
// The locale comes from the format settings (the process-wide ones unless
// the caller passes others), "today" from the runtime's clock (Now,
// CurrentYear in classlib/rtl/DateTime.h), so nothing here depends on the
// machine a test runs on.  Positions are 1-based, as in the runtime's texts.
#pragma once

#include <string_view>

#include "classlib/rtl/DateTime.h"

// The value that stands for no date.
constexpr TDateTime NullDate{0.0};

// The short date format writes its year with four digits ("yyyy").
bool NormalYears(const TFormatSettings& Settings = FormatSettings);

int GetKvartal(TDateTime Date);               // the quarter, 1..4
TDateTime FirstDayOfCurrMonth(TDateTime Date);
TDateTime LastDayOfPrMonth(TDateTime Date);
// The month's length; 0 for a month outside 1..12.
int DaysPerMonth(int Year, int Month);
int ExtractDay(TDateTime Date);
int ExtractMonth(TDateTime Date);
int ExtractYear(TDateTime Date);

// 0 month-day-year, 1 day-month-year, 2 year-month-day: the first of the
// letters D, M and Y (either case) in Format decides; none gives 1.
int GetDateOrder(std::wstring_view Format);
// "MM/DD/YYYY", "DD/MM/YY", "YYYY/MM/DD"... in the order of the short date
// format.  The '/' of the formats and masks stands for the date separator.
UnicodeString DefDateFormat(bool FourDigitYear, const TFormatSettings& Settings = FormatSettings);
// "!99/99/9999;1;" followed by BlanksChar, or the year-first and two-digit
// forms.
UnicodeString DefDateMask(wchar_t BlanksChar, bool FourDigitYear, const TFormatSettings& Settings = FormatSettings);

// 1 <= Year <= 9999, 1 <= Month <= 12, 1 <= Day <= the month's length.
bool IsValidDate(int Year, int Month, int Day);
// The decoded date is valid; false for a value that does not decode.
bool ValidDate(TDateTime Date);

// Two-digit years (0..99) fall into the hundred years from CurrentYear - 60
// to CurrentYear + 39; other values stay as they are (a blank field, read
// as -1, is no year).
int ExpandYear(int Year);

// One field of S at the places where Format holds Cnt copies of the letter
// Ch: a number (Cnt 1, -1 when the field holds anything but digits) or a
// month name (Cnt 2 and more, -1 when no month has that name).  Blank when
// the field is blank; Default when S is longer than Format or Format has no
// such field.
void ExtractMask(std::wstring_view Format, std::wstring_view S, wchar_t Ch, int Cnt, int& I, int Blank,
                 int Default, const TFormatSettings& Settings = FormatSettings);

// The date of S read position by position against Format, or failing that
// by ScanDate.  True when it makes a valid date.
bool ScanDateStr(std::wstring_view Format, std::wstring_view S, int& D, int& M, int& Y,
                 const TFormatSettings& Settings = FormatSettings);
// An empty S is NullDate; otherwise ScanDateStr, then the encoded date.
// Date is untouched when the result is false.
bool InternalStrToDate(std::wstring_view Format, std::wstring_view S, TDateTime& Date,
                       const TFormatSettings& Settings = FormatSettings);

// Free scanning: two or three numbers separated by the date separator, in
// the order of DateFormat, the current year when there are two; then an
// optional separator and blanks, and nothing else.
bool ScanDate(std::wstring_view S, std::wstring_view DateFormat, int& Pos, int& Y, int& M, int& D,
              const TFormatSettings& Settings = FormatSettings);
// 1..12 when the first MaxLen characters of S are those of a month's long
// name (case ignored, the first month winning); 0 otherwise.
int MonthFromName(std::wstring_view S, int MaxLen, const TFormatSettings& Settings = FormatSettings);
// Blanks, then digits while fewer than MaxLength were read and the number
// is below 1000.  True, with Pos after the digits, when there was a digit.
bool ScanNumber(std::wstring_view S, int MaxLength, int& Pos, int& Number);
// Blanks, then Ch: True and Pos past it.
bool ScanChar(std::wstring_view S, int& Pos, wchar_t Ch);
void ScanBlanks(std::wstring_view S, int& Pos);
