// The date fields of the format settings, read from the user's locale.
// The only part of the date unit that asks the system.
#include <windows.h>

#include "classlib/rtl/DateTime.h"

namespace {

bool ReadLocale(LCTYPE Type, UnicodeString& Value)
{
    wchar_t buf[96] = {};
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, 96);
    if (n <= 1)
        return false;
    Value.assign(buf, size_t(n - 1));
    return true;
}

// A system time format in our letters: "H" (24-hour) is our "h" without an
// am/pm specifier, and "tt" (or "t") is our "AMPM".
UnicodeString TranslateTimeFormat(const UnicodeString& F)
{
    UnicodeString out;
    for (size_t i = 0; i < F.size(); ++i) {
        const wchar_t c = F[i];
        if (c == L'\'') {
            const size_t close = F.find(L'\'', i + 1);
            const size_t end = close == UnicodeString::npos ? F.size() : close + 1;
            out.append(F, i, end - i);
            i = end - 1;
        } else if (c == L't') {
            while (i + 1 < F.size() && F[i + 1] == L't')
                ++i;
            out += L"AMPM";
        } else if (c == L'H') {
            out += L'h';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

void GetDateFormatSettings(TFormatSettings& S)
{
    DefaultDateSettings(S);
    UnicodeString v;
    if (ReadLocale(LOCALE_SDATE, v))
        S.DateSeparator = v[0];
    if (ReadLocale(LOCALE_STIME, v))
        S.TimeSeparator = v[0];
    ReadLocale(LOCALE_SSHORTDATE, S.ShortDateFormat);
    ReadLocale(LOCALE_SLONGDATE, S.LongDateFormat);
    if (ReadLocale(LOCALE_SSHORTTIME, v))
        S.ShortTimeFormat = TranslateTimeFormat(v);
    if (ReadLocale(LOCALE_STIMEFORMAT, v))
        S.LongTimeFormat = TranslateTimeFormat(v);
    ReadLocale(LOCALE_S1159, S.TimeAMString);
    ReadLocale(LOCALE_S2359, S.TimePMString);
    for (int i = 0; i < 12; ++i) {
        ReadLocale(LOCALE_SMONTHNAME1 + i, S.LongMonthNames[i]);
        ReadLocale(LOCALE_SABBREVMONTHNAME1 + i, S.ShortMonthNames[i]);
    }
    // The system counts day names from Monday, the settings from Sunday.
    for (int i = 0; i < 7; ++i) {
        ReadLocale(LOCALE_SDAYNAME1 + i, S.LongDayNames[(i + 1) % 7]);
        ReadLocale(LOCALE_SABBREVDAYNAME1 + i, S.ShortDayNames[(i + 1) % 7]);
    }
    if (ReadLocale(LOCALE_IFIRSTDAYOFWEEK, v) && v[0] >= L'0' && v[0] <= L'6')
        S.FirstDayOfWeek = v[0] - L'0';
}
