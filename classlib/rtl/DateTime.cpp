// Dates and times.  Windows-free: the native sanitizer build compiles this
// file as it stands.
#include "classlib/rtl/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace {

// Days from 1 January 1970 to the given day of the proleptic Gregorian
// calendar, and back: exact over the whole range a TDateTime holds.
long long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

// 30 December 1899 counted from 1 January 1970.
constexpr long long KEpoch = -25569;
constexpr long long KFirstDay = -693593;   // 1 January 0001
constexpr long long KLastDay = 2958465;    // 31 December 9999

// The day number and the milliseconds into that day, rounded as one value
// so that 23:59:59.9996 carries into the next day.  False outside the range.
bool Split(TDateTime Value, long long& Day, int& MSec)
{
    const double a = Value.Val;
    if (!(a > double(KFirstDay - 1) && a < double(KLastDay + 1)))
        return false;
    const long long total = std::llround(std::fabs(a) * MSecsPerDay);
    const long long days = total / MSecsPerDay;
    Day = a < 0 ? -days : days;
    MSec = int(total % MSecsPerDay);
    return Day >= KFirstDay && Day <= KLastDay;
}

} // namespace

bool IsLeapYear(int Year)
{
    return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInAMonth(int Year, int Month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Month < 1 || Month > 12)
        return 0;
    return days[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0);
}

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Value)
{
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
        return false;
    Value = double(DaysFromCivil(Year, Month, Day) - KEpoch);
    return true;
}

bool TryEncodeTime(int Hour, int Min, int Sec, int MSec, TDateTime& Value)
{
    if (Hour < 0 || Hour >= HoursPerDay || Min < 0 || Min >= 60 || Sec < 0 || Sec >= 60 || MSec < 0 || MSec >= 1000)
        return false;
    Value = double(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int Year, int Month, int Day)
{
    TDateTime d;
    if (!TryEncodeDate(Year, Month, Day, d))
        throw EConvertError(L"Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec)
{
    TDateTime t;
    if (!TryEncodeTime(Hour, Min, Sec, MSec, t))
        throw EConvertError(L"Invalid argument to time encode");
    return t;
}

void DecodeDateTime(TDateTime Value, int& Year, int& Month, int& Day, int& Hour, int& Min, int& Sec, int& MSec)
{
    long long day;
    int ms;
    if (!Split(Value, day, ms)) {
        Year = Month = Day = Hour = Min = Sec = MSec = 0;
        return;
    }
    CivilFromDays(day + KEpoch, Year, Month, Day);
    Hour = ms / 3600000;
    Min = ms / 60000 % 60;
    Sec = ms / 1000 % 60;
    MSec = ms % 1000;
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day)
{
    int h, n, s, ms;
    DecodeDateTime(Value, Year, Month, Day, h, n, s, ms);
}

void DecodeTime(TDateTime Value, int& Hour, int& Min, int& Sec, int& MSec)
{
    int y, m, d;
    DecodeDateTime(Value, y, m, d, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime Value)
{
    long long day;
    int ms;
    if (!Split(Value, day, ms))
        return 0;
    // Day 0 was a Saturday.
    return int(((day + 6) % 7 + 7) % 7) + 1;
}

TDateTime DateOf(TDateTime Value)
{
    long long day;
    int ms;
    return Split(Value, day, ms) ? TDateTime(double(day)) : TDateTime(0);
}

TDateTime TimeOf(TDateTime Value)
{
    long long day;
    int ms;
    return Split(Value, day, ms) ? TDateTime(double(ms) / MSecsPerDay) : TDateTime(0);
}

// ---------------------------------------------------------------------------
// The clock

namespace {

class TSystemDateClock : public TDateClock {
public:
    TDateTime Now() override
    {
        using namespace std::chrono;
        const auto now = system_clock::now();
        const std::time_t t = system_clock::to_time_t(now);
        const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
        const std::tm* tm = std::localtime(&t);
        TDateTime d, tt;
        if (!tm || !TryEncodeDate(tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, d) ||
            !TryEncodeTime(tm->tm_hour, tm->tm_min, tm->tm_sec < 60 ? tm->tm_sec : 59, ms < 0 ? 0 : ms, tt))
            return TDateTime(0);
        return d + tt;
    }
};

// Made at first use, so that a unit asking for the date while the program
// starts finds the clock ready.
TDateClock*& CurrentClock()
{
    static TSystemDateClock system;
    static TDateClock* current = &system;
    return current;
}

} // namespace

TDateClock& DateClock()
{
    return *CurrentClock();
}

TDateClockScope::TDateClockScope(TDateClock& Clock) : FPrevious(CurrentClock())
{
    CurrentClock() = &Clock;
}

TDateClockScope::~TDateClockScope()
{
    CurrentClock() = FPrevious;
}

TDateTime Now()
{
    return DateClock().Now();
}

TDateTime Date()
{
    return DateOf(Now());
}

TDateTime Time()
{
    return TimeOf(Now());
}

int CurrentYear()
{
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

// ---------------------------------------------------------------------------
// Settings

void DefaultDateSettings(TFormatSettings& S)
{
    static const wchar_t* const shortMonths[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                                   L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
    static const wchar_t* const longMonths[12] = {L"January", L"February", L"March",     L"April",
                                                  L"May",     L"June",     L"July",      L"August",
                                                  L"September", L"October", L"November", L"December"};
    static const wchar_t* const shortDays[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
    static const wchar_t* const longDays[7] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                               L"Thursday", L"Friday", L"Saturday"};
    S.DateSeparator = L'/';
    S.TimeSeparator = L':';
    S.ShortDateFormat = L"M/d/yyyy";
    S.LongDateFormat = L"dddd, MMMM d, yyyy";
    S.ShortTimeFormat = L"h:mm AMPM";
    S.LongTimeFormat = L"h:mm:ss AMPM";
    S.TimeAMString = L"AM";
    S.TimePMString = L"PM";
    for (int i = 0; i < 12; ++i) {
        S.ShortMonthNames[i] = shortMonths[i];
        S.LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        S.ShortDayNames[i] = shortDays[i];
        S.LongDayNames[i] = longDays[i];
    }
    S.FirstDayOfWeek = 6;
    S.TwoDigitYearCenturyWindow = 50;
}

TFormatSettings DefaultDateSettings()
{
    TFormatSettings s;
    DefaultDateSettings(s);
    return s;
}

namespace {

// Upper case for the scripts month names are written in.
wchar_t FoldName(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return wchar_t(c - 32);
    if (c < 0x80)
        return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))   // Latin-1 letters
        return wchar_t(c - 32);
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F) {               // Latin Extended-A: pairs
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (oddUpper)
            return (c & 1) ? c : wchar_t(c - 1);
        return (c & 1) ? wchar_t(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)   // Greek
        return wchar_t(c - 32);
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return wchar_t(c - 37);
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return wchar_t(c - 63);
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)                 // Cyrillic
        return wchar_t(c - 32);
    if (c >= 0x450 && c <= 0x45F)
        return wchar_t(c - 80);
    return c;
}

} // namespace

int CompareNameText(std::wstring_view S1, std::wstring_view S2)
{
    const size_t n = S1.size() < S2.size() ? S1.size() : S2.size();
    for (size_t i = 0; i < n; ++i) {
        const wchar_t a = FoldName(S1[i]), b = FoldName(S2[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
}

// ---------------------------------------------------------------------------
// FormatDateTime

namespace {

wchar_t Upper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c;
}

void AppendNumber(UnicodeString& Out, int Value, int Digits)
{
    UnicodeString s = std::to_wstring(Value < 0 ? -Value : Value);
    if (int(s.size()) < Digits)
        s.insert(0, size_t(Digits) - s.size(), L'0');
    if (Value < 0)
        Out += L'-';
    Out += s;
}

bool StartsWithText(std::wstring_view S, size_t At, std::wstring_view What)
{
    if (S.size() - At < What.size())
        return false;
    for (size_t i = 0; i < What.size(); ++i)
        if (Upper(S[At + i]) != Upper(What[i]))
            return false;
    return true;
}

// An am/pm specifier anywhere in the format, outside quotes: the hours are
// then on the 12-hour clock (some locales put the marker first).
bool TwelveHourClock(std::wstring_view F)
{
    for (size_t i = 0; i < F.size(); ++i) {
        const wchar_t c = F[i];
        if (c == L'"' || c == L'\'') {
            const size_t close = F.find(c, i + 1);
            if (close == std::wstring_view::npos)
                return false;
            i = close;
        } else if (Upper(c) == L'A' &&
                   (StartsWithText(F, i, L"am/pm") || StartsWithText(F, i, L"a/p") || StartsWithText(F, i, L"ampm"))) {
            return true;
        }
    }
    return false;
}

struct TDateParts {
    int Year, Month, Day, Hour, Min, Sec, MSec, Dow;
};

void AppendFormat(UnicodeString& Out, std::wstring_view F, const TDateParts& P, const TFormatSettings& S, bool Nested)
{
    wchar_t last = 0;   // the last letter token, for m as minutes after h
    size_t i = 0;
    while (i < F.size()) {
        const wchar_t starter = F[i];
        wchar_t token = Upper(starter);
        size_t count = 1;
        while (i + count < F.size() && Upper(F[i + count]) == token && token >= L'A' && token <= L'Z')
            ++count;
        if (token >= L'A' && token <= L'Z') {
            if (token == L'M' && last == L'H' && count <= 2)
                token = L'N';
            last = token;
        }
        const bool expand = !Nested;
        switch (token) {
        case L'Y':
            if (count <= 2)
                AppendNumber(Out, P.Year % 100, 2);
            else
                AppendNumber(Out, P.Year, 4);
            break;
        case L'M':
            if (count <= 2)
                AppendNumber(Out, P.Month, int(count));
            else if (P.Month >= 1)
                Out += count == 3 ? S.ShortMonthNames[P.Month - 1] : S.LongMonthNames[P.Month - 1];
            break;
        case L'D':
            if (count <= 2)
                AppendNumber(Out, P.Day, int(count));
            else if (count <= 4) {
                if (P.Dow >= 1)
                    Out += count == 3 ? S.ShortDayNames[P.Dow - 1] : S.LongDayNames[P.Dow - 1];
            } else if (expand)
                AppendFormat(Out, count == 5 ? S.ShortDateFormat : S.LongDateFormat, P, S, true);
            else
                Out.append(F.substr(i, count));
            break;
        case L'H': {
            int h = P.Hour;
            if (TwelveHourClock(F)) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            AppendNumber(Out, h, count >= 2 ? 2 : 1);
            break;
        }
        case L'N':
            AppendNumber(Out, P.Min, count >= 2 ? 2 : 1);
            break;
        case L'S':
            AppendNumber(Out, P.Sec, count >= 2 ? 2 : 1);
            break;
        case L'Z':
            AppendNumber(Out, P.MSec, count >= 2 ? 3 : 1);
            break;
        case L'T':
            if (expand)
                AppendFormat(Out, count == 1 ? S.ShortTimeFormat : S.LongTimeFormat, P, S, true);
            else
                Out.append(F.substr(i, count));
            break;
        case L'C':
            if (expand) {
                AppendFormat(Out, S.ShortDateFormat, P, S, true);
                if (P.Hour || P.Min || P.Sec) {
                    Out += L' ';
                    AppendFormat(Out, S.LongTimeFormat, P, S, true);
                }
            } else
                Out.append(F.substr(i, count));
            break;
        case L'A': {
            const bool pm = P.Hour >= 12;
            if (StartsWithText(F, i, L"am/pm")) {
                Out.append(F.substr(pm ? i + 3 : i, 2));
                count = 5;
            } else if (StartsWithText(F, i, L"a/p")) {
                Out.append(F.substr(pm ? i + 2 : i, 1));
                count = 3;
            } else if (StartsWithText(F, i, L"ampm")) {
                Out += pm ? S.TimePMString : S.TimeAMString;
                count = 4;
            } else {
                Out += starter;
                count = 1;
            }
            break;
        }
        case L'/':
            Out += S.DateSeparator;
            break;
        case L':':
            Out += S.TimeSeparator;
            break;
        case L'"':
        case L'\'': {
            const size_t close = F.find(starter, i + 1);
            const size_t end = close == std::wstring_view::npos ? F.size() : close;
            Out.append(F.substr(i + 1, end - i - 1));
            count = (close == std::wstring_view::npos ? end : end + 1) - i;
            break;
        }
        default:
            // Letters without a meaning (e, g...) and everything else as written.
            Out.append(F.substr(i, count));
            break;
        }
        i += count;
    }
}

} // namespace

UnicodeString FormatDateTime(std::wstring_view Format, TDateTime Value, const TFormatSettings& Settings)
{
    TDateParts p;
    DecodeDateTime(Value, p.Year, p.Month, p.Day, p.Hour, p.Min, p.Sec, p.MSec);
    p.Dow = DayOfWeek(Value);
    UnicodeString out;
    AppendFormat(out, Format.empty() ? std::wstring_view(L"c") : Format, p, Settings, false);
    return out;
}

UnicodeString FormatDateTime(std::wstring_view Format, TDateTime Value)
{
    return FormatDateTime(Format, Value, FormatSettings);
}

void DateTimeToString(UnicodeString& Result, std::wstring_view Format, TDateTime Value, const TFormatSettings& Settings)
{
    Result = FormatDateTime(Format, Value, Settings);
}

void DateTimeToString(UnicodeString& Result, std::wstring_view Format, TDateTime Value)
{
    Result = FormatDateTime(Format, Value, FormatSettings);
}

UnicodeString DateToStr(TDateTime Value, const TFormatSettings& Settings)
{
    return FormatDateTime(L"ddddd", Value, Settings);
}

UnicodeString DateToStr(TDateTime Value)
{
    return DateToStr(Value, FormatSettings);
}

// ---------------------------------------------------------------------------
// TryStrToDate

namespace {

class TDateScanner {
    std::wstring_view S;
    size_t Pos = 0;

public:
    explicit TDateScanner(std::wstring_view AS) : S(AS) {}

    void Blanks()
    {
        while (Pos < S.size() && S[Pos] == L' ')
            ++Pos;
    }
    // Only blanks are left (they stay, a blank separator may be among them).
    bool AtEnd() const
    {
        size_t p = Pos;
        while (p < S.size() && S[p] == L' ')
            ++p;
        return p >= S.size();
    }
    // At most four digits; Digits tells how many were written.
    bool Number(int& Value, int& Digits)
    {
        Blanks();
        Value = 0;
        Digits = 0;
        while (Pos < S.size() && S[Pos] >= L'0' && S[Pos] <= L'9' && Digits < 4) {
            Value = Value * 10 + (S[Pos] - L'0');
            ++Digits;
            ++Pos;
        }
        return Digits > 0;
    }
    bool Separator(wchar_t Sep)
    {
        const size_t start = Pos;
        Blanks();
        if (Sep == L' ')
            return Pos > start;   // a blank separator is the blanks themselves
        if (Pos < S.size() && S[Pos] == Sep) {
            ++Pos;
            return true;
        }
        return false;
    }
};

// 0 month-day-year, 1 day-month-year, 2 year-month-day.
int DateOrder(std::wstring_view Format)
{
    for (wchar_t c : Format) {
        switch (Upper(c)) {
        case L'D': return 1;
        case L'M': return 0;
        case L'Y': return 2;
        }
    }
    return 0;
}

} // namespace

bool TryStrToDate(std::wstring_view S, TDateTime& Value, const TFormatSettings& Settings)
{
    TDateScanner scan(S);
    int n1, n2, n3, l1, l2, l3;
    if (!scan.Number(n1, l1) || !scan.Separator(Settings.DateSeparator) || !scan.Number(n2, l2))
        return false;
    const int order = DateOrder(Settings.ShortDateFormat);
    int y, m, d, yearDigits;
    if (scan.AtEnd()) {
        y = CurrentYear();
        yearDigits = 4;
        if (order == 1)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    } else {
        if (!scan.Separator(Settings.DateSeparator) || !scan.Number(n3, l3))
            return false;
        // Some locales end their dates with the separator ("2024. 12. 25.").
        if (!scan.AtEnd() && (!scan.Separator(Settings.DateSeparator) || !scan.AtEnd()))
            return false;
        switch (order) {
        case 1: d = n1, m = n2, y = n3, yearDigits = l3; break;
        case 2: y = n1, m = n2, d = n3, yearDigits = l1; break;
        default: m = n1, d = n2, y = n3, yearDigits = l3; break;
        }
    }
    if (yearDigits <= 2) {
        const int window = Settings.TwoDigitYearCenturyWindow;
        const int threshold = CurrentYear() - (window > 0 ? window : 0);
        y += threshold / 100 * 100;
        if (window > 0 && y < threshold)
            y += 100;
    }
    return TryEncodeDate(y, m, d, Value);
}

bool TryStrToDate(std::wstring_view S, TDateTime& Value)
{
    return TryStrToDate(S, Value, FormatSettings);
}

TDateTime StrToDate(std::wstring_view S, const TFormatSettings& Settings)
{
    TDateTime d;
    if (!TryStrToDate(S, d, Settings))
        throw EConvertError(L"'" + UnicodeString(S) + L"' is not a valid date");
    return d;
}

TDateTime StrToDate(std::wstring_view S)
{
    return StrToDate(S, FormatSettings);
}
