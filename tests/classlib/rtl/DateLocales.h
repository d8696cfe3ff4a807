// Date settings of three locales, fixed here so that no test depends on the
// machine's own: English (month-day-year, '/'), Korean (year-month-day,
// '-') and German (day-month-year, '.', weeks from Monday).
#pragma once

#include "classlib/rtl/DateTime.h"

namespace datetest {

inline TFormatSettings English()
{
    return DefaultDateSettings();
}

inline TFormatSettings Korean()
{
    TFormatSettings s = DefaultDateSettings();
    s.DateSeparator = L'-';
    s.ShortDateFormat = L"yyyy-MM-dd";
    s.LongDateFormat = L"yyyy'년' M'월' d'일' dddd";
    s.ShortTimeFormat = L"AMPM h:mm";
    s.LongTimeFormat = L"AMPM h:mm:ss";
    s.TimeAMString = L"오전";
    s.TimePMString = L"오후";
    static const wchar_t* const days[7] = {L"일", L"월", L"화", L"수", L"목", L"금", L"토"};
    for (int i = 0; i < 12; ++i)
        s.ShortMonthNames[i] = s.LongMonthNames[i] = std::to_wstring(i + 1) + L"월";
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = days[i];
        s.LongDayNames[i] = UnicodeString(days[i]) + L"요일";
    }
    s.FirstDayOfWeek = 6;
    return s;
}

inline TFormatSettings German()
{
    TFormatSettings s = DefaultDateSettings();
    s.DateSeparator = L'.';
    s.ShortDateFormat = L"dd.MM.yyyy";
    s.LongDateFormat = L"dddd, d. MMMM yyyy";
    s.ShortTimeFormat = L"hh:mm";
    s.LongTimeFormat = L"hh:mm:ss";
    static const wchar_t* const months[12] = {L"Januar", L"Februar", L"März",     L"April",
                                              L"Mai",    L"Juni",    L"Juli",     L"August",
                                              L"September", L"Oktober", L"November", L"Dezember"};
    static const wchar_t* const days[7] = {L"Sonntag",    L"Montag",  L"Dienstag", L"Mittwoch",
                                           L"Donnerstag", L"Freitag", L"Samstag"};
    for (int i = 0; i < 12; ++i) {
        s.LongMonthNames[i] = months[i];
        s.ShortMonthNames[i] = UnicodeString(months[i]).substr(0, 3);
    }
    for (int i = 0; i < 7; ++i) {
        s.LongDayNames[i] = days[i];
        s.ShortDayNames[i] = UnicodeString(days[i]).substr(0, 2);
    }
    s.FirstDayOfWeek = 0;
    return s;
}

// Today is the given moment while the scope lives.
class TodayIs {
    TFixedDateClock FClock;
    TDateClockScope FScope;

public:
    explicit TodayIs(TDateTime Moment) : FClock(Moment), FScope(FClock) {}
    TodayIs(int Y, int M, int D) : TodayIs(EncodeDate(Y, M, D)) {}
};

} // namespace datetest
