// The library's date routines.  Windows-free: the native sanitizer build
// compiles this file as it stands.
#include "skin/editors/sDateUtils.h"

#include <climits>

namespace {

wchar_t UpCase(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c;
}

// a-z only, as the format letters are (UpperCase lives with the system's
// locale routines, which this unit does without).
UnicodeString UpperLetters(std::wstring_view S)
{
    UnicodeString u(S);
    for (wchar_t& c : u)
        c = UpCase(c);
    return u;
}

// A 1-based character of S, or 0 past its end.
wchar_t At(std::wstring_view S, int Pos)
{
    return Pos >= 1 && size_t(Pos) <= S.size() ? S[size_t(Pos) - 1] : L'\0';
}

// Only digits, and few enough of them for an int: the field's number, else -1.
int DigitsValue(std::wstring_view S)
{
    if (S.empty() || S.size() > 9)
        return -1;
    int n = 0;
    for (wchar_t c : S) {
        if (c < L'0' || c > L'9')
            return -1;
        n = n * 10 + (c - L'0');
    }
    return n;
}

} // namespace

bool NormalYears(const TFormatSettings& Settings)
{
    return UpperLetters(Settings.ShortDateFormat).find(L"YYYY") != UnicodeString::npos;
}

int GetKvartal(TDateTime Date)
{
    return (ExtractMonth(Date) - 1) / 3 + 1;
}

TDateTime FirstDayOfCurrMonth(TDateTime Date)
{
    int y, m, d;
    DecodeDate(Date, y, m, d);
    TDateTime r;
    return TryEncodeDate(y, m, 1, r) ? r : NullDate;
}

TDateTime LastDayOfPrMonth(TDateTime Date)
{
    return FirstDayOfCurrMonth(Date) - 1;
}

int DaysPerMonth(int Year, int Month)
{
    return DaysInAMonth(Year, Month);
}

int ExtractDay(TDateTime Date)
{
    int y, m, d;
    DecodeDate(Date, y, m, d);
    return d;
}

int ExtractMonth(TDateTime Date)
{
    int y, m, d;
    DecodeDate(Date, y, m, d);
    return m;
}

int ExtractYear(TDateTime Date)
{
    int y, m, d;
    DecodeDate(Date, y, m, d);
    return y;
}

int GetDateOrder(std::wstring_view Format)
{
    for (wchar_t c : Format) {
        switch (UpCase(c)) {
        case L'D': return 1;
        case L'M': return 0;
        case L'Y': return 2;
        }
    }
    return 1;
}

UnicodeString DefDateFormat(bool FourDigitYear, const TFormatSettings& Settings)
{
    const wchar_t* year = FourDigitYear ? L"YYYY" : L"YY";
    switch (GetDateOrder(Settings.ShortDateFormat)) {
    case 0: return UnicodeString(L"MM/DD/") + year;
    case 2: return UnicodeString(year) + L"/MM/DD";
    default: return UnicodeString(L"DD/MM/") + year;
    }
}

UnicodeString DefDateMask(wchar_t BlanksChar, bool FourDigitYear, const TFormatSettings& Settings)
{
    UnicodeString mask;
    if (!FourDigitYear)
        mask = L"!99/99/99;1;";
    else if (GetDateOrder(Settings.ShortDateFormat) == 2)
        mask = L"!9999/99/99;1;";
    else
        mask = L"!99/99/9999;1;";
    return mask + BlanksChar;
}

bool IsValidDate(int Year, int Month, int Day)
{
    return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1 && Day <= DaysPerMonth(Year, Month);
}

bool ValidDate(TDateTime Date)
{
    int y, m, d;
    DecodeDate(Date, y, m, d);   // zeros when the value does not decode
    return IsValidDate(y, m, d);
}

int ExpandYear(int Year)
{
    // Only a written two-digit year is expanded: a blank field (-1) stays
    // invalid instead of turning into 1999.
    if (Year < 0 || Year >= 100)
        return Year;
    const int pivot = CurrentYear() - 60;
    Year += pivot / 100 * 100;
    if (Year < pivot)
        Year += 100;
    return Year;
}

void ExtractMask(std::wstring_view Format, std::wstring_view S, wchar_t Ch, int Cnt, int& I, int Blank, int Default,
                 const TFormatSettings& Settings)
{
    I = Default;
    Ch = UpCase(Ch);
    if (S.size() > Format.size() || Cnt < 1 || size_t(Cnt) > Format.size())
        return;
    const int L = int(S.size());
    const UnicodeString upper = UpperLetters(Format);
    const size_t found = upper.find(UnicodeString(size_t(Cnt), Ch));
    if (found == UnicodeString::npos)
        return;
    int P = int(found) + 1;
    UnicodeString collected;
    if (int(Format.size()) >= Cnt && int(Format.size()) >= P && Format.size() < 20) {
        while (P <= L && UpCase(At(Format, P)) == Ch && collected.size() < 20) {
            if (At(S, P) != L' ')
                collected += At(S, P);
            ++P;
        }
    }
    if (collected.empty())
        I = Blank;
    else if (Cnt == 1)
        I = DigitsValue(collected);
    else {
        I = MonthFromName(collected, int(collected.size()), Settings);
        if (I == 0)
            I = -1;
    }
}

bool ScanDateStr(std::wstring_view Format, std::wstring_view S, int& D, int& M, int& Y, const TFormatSettings& Settings)
{
    ExtractMask(Format, S, L'm', 3, M, -1, 0, Settings);
    if (M == 0)
        ExtractMask(Format, S, L'm', 1, M, -1, 0, Settings);
    ExtractMask(Format, S, L'd', 1, D, -1, 1, Settings);
    ExtractMask(Format, S, L'y', 1, Y, -1, CurrentYear(), Settings);
    Y = ExpandYear(Y);
    if (M > 0 && D > 0 && IsValidDate(Y, M, D))
        return true;
    int pos = 1;
    return ScanDate(S, Format, pos, Y, M, D, Settings);
}

bool InternalStrToDate(std::wstring_view Format, std::wstring_view S, TDateTime& Date, const TFormatSettings& Settings)
{
    if (S.empty()) {
        Date = NullDate;
        return true;
    }
    int d, m, y;
    return ScanDateStr(Format, S, d, m, y, Settings) && TryEncodeDate(y, m, d, Date);
}

bool ScanDate(std::wstring_view S, std::wstring_view DateFormat, int& Pos, int& Y, int& M, int& D,
              const TFormatSettings& Settings)
{
    Y = M = D = 0;
    const wchar_t sep = Settings.DateSeparator;
    const int order = GetDateOrder(DateFormat);
    int n1, n2, n3;
    if (!ScanNumber(S, INT_MAX, Pos, n1) || !ScanChar(S, Pos, sep) || !ScanNumber(S, INT_MAX, Pos, n2))
        return false;
    if (ScanChar(S, Pos, sep)) {
        if (!ScanNumber(S, INT_MAX, Pos, n3))
            return false;
        switch (order) {
        case 0: M = n1, D = n2, Y = n3; break;
        case 1: D = n1, M = n2, Y = n3; break;
        default: Y = n1, M = n2, D = n3; break;
        }
        Y = ExpandYear(Y);
    } else {
        Y = CurrentYear();
        if (order == 1)
            D = n1, M = n2;
        else
            M = n1, D = n2;
    }
    ScanChar(S, Pos, sep);
    ScanBlanks(S, Pos);
    return IsValidDate(Y, M, D) && Pos > int(S.size());
}

int MonthFromName(std::wstring_view S, int MaxLen, const TFormatSettings& Settings)
{
    if (S.empty() || MaxLen < 1)
        return 0;
    const std::wstring_view head = S.substr(0, size_t(MaxLen));
    for (int i = 0; i < 12; ++i) {
        const UnicodeString& name = Settings.LongMonthNames[i];
        if (!name.empty() && CompareNameText(head, std::wstring_view(name).substr(0, size_t(MaxLen))) == 0)
            return i + 1;
    }
    return 0;
}

bool ScanNumber(std::wstring_view S, int MaxLength, int& Pos, int& Number)
{
    int p = Pos;
    ScanBlanks(S, p);
    int n = 0, read = 0;
    while (read < MaxLength && n < 1000 && At(S, p) >= L'0' && At(S, p) <= L'9') {
        n = n * 10 + (At(S, p) - L'0');
        ++read;
        ++p;
    }
    if (read == 0)
        return false;
    Pos = p;
    Number = n;
    return true;
}

bool ScanChar(std::wstring_view S, int& Pos, wchar_t Ch)
{
    ScanBlanks(S, Pos);
    if (Pos < 1 || Pos > int(S.size()) || S[size_t(Pos) - 1] != Ch)
        return false;
    ++Pos;
    return true;
}

void ScanBlanks(std::wstring_view S, int& Pos)
{
    if (Pos < 1)
        Pos = 1;
    while (Pos <= int(S.size()) && S[size_t(Pos) - 1] == L' ')
        ++Pos;
}
