// Fuzz run of the date parsers and the date formatter: random texts made
// mostly of date material (digits, separators, blanks, month names, letters
// of other scripts), random formats and settings, and a clock anywhere from
// year 1 to 9999.  Every call must end without a sanitizer report, and what
// is accepted must be a real date.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "skin/editors/sDateUtils.h"
#include "tests/classlib/rtl/DateLocales.h"

using namespace datetest;

namespace {

constexpr int KRounds = 100000;

struct Fuzzer {
    std::mt19937 Rng{20261211};

    int Below(int N) { return N > 0 ? int(Rng() % unsigned(N)) : 0; }

    UnicodeString Text(int MaxLen)
    {
        static const wchar_t* const pieces[] = {
            L"0", L"1", L"2", L"9", L"12", L"31", L"29", L"2024", L"99", L"00", L"10000", L"/", L".", L"-",
            L" ", L"  ", L"Dec", L"january", L"MÄRZ", L"12월", L"월", L"'", L"\"", L"d", L"M", L"y", L"\x00ff",
            L"\x0131", L"\xd800", L"\t", L"+", L"$1",
        };
        UnicodeString s;
        const int n = Below(MaxLen + 1);
        while (int(s.size()) < n) {
            if (Below(8) == 0)
                s += wchar_t(1 + Below(0xFFFF));
            else
                s += pieces[Below(int(std::size(pieces)))];
        }
        return s;
    }

    UnicodeString Format()
    {
        static const wchar_t* const formats[] = {
            L"DD/MM/YYYY", L"MM/DD/YYYY", L"YYYY/MM/DD", L"DD/MM/YY", L"YY/MM/DD", L"DD-MMM-YYYY",
            L"d.M.yy",     L"",           L"M",          L"yyyy",     L"MMMMMMMMMMMMMMMMMMMMMMMM",
        };
        return Below(4) == 0 ? Text(24) : UnicodeString(formats[Below(int(std::size(formats)))]);
    }

    TFormatSettings Settings()
    {
        TFormatSettings s;
        switch (Below(3)) {
        case 0: s = English(); break;
        case 1: s = Korean(); break;
        default: s = German(); break;
        }
        static const wchar_t seps[] = {L'/', L'.', L'-', L' ', L'\0', L'1'};
        if (Below(4) == 0)
            s.DateSeparator = seps[Below(int(std::size(seps)))];
        if (Below(4) == 0)
            s.ShortDateFormat = Text(16);
        if (Below(8) == 0)
            s.LongMonthNames[Below(12)] = Text(6);
        s.TwoDigitYearCenturyWindow = Below(5) == 0 ? Below(200) - 50 : 50;
        return s;
    }

    double Value()
    {
        static const double odd[] = {0,
                                     -0.5,
                                     MinDateTime,
                                     MaxDateTime,
                                     MaxDateTime + 1,
                                     -693594.0,
                                     1e300,
                                     -1e300,
                                     std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::denorm_min()};
        if (Below(8) == 0)
            return odd[Below(int(std::size(odd)))];
        return (double(Rng()) / 4294967296.0) * 3700000.0 - 700000.0;
    }
};

bool IsDate(TDateTime D)
{
    return ValidDate(D) && D.Val >= MinDateTime && D.Val < MaxDateTime;
}

TEST(DatesFuzzTest, ParsersAcceptOnlyRealDatesAndNeverFault)
{
    Fuzzer f;
    for (int round = 0; round < KRounds; ++round) {
        const int year = f.Below(10) == 0 ? 1 + f.Below(9999) : 1990 + f.Below(60);
        TodayIs today(f.Below(50) == 0 ? TDateTime(f.Value()) : EncodeDate(year, 1 + f.Below(12), 1 + f.Below(28)));
        const TFormatSettings s = f.Settings();
        const UnicodeString format = f.Format();
        const UnicodeString text = f.Text(16);

        TDateTime d = 0.5;
        if (InternalStrToDate(format, text, d, s) && !text.empty()) {
            ASSERT_TRUE(IsDate(d)) << testing::PrintToString(format) << " " << testing::PrintToString(text);
        }
        d = 0.5;
        if (TryStrToDate(text, d, s)) {
            ASSERT_TRUE(IsDate(d)) << testing::PrintToString(text);
        }

        int i = 0;
        const int cnt = f.Below(6) - 1;
        ExtractMask(format, text, wchar_t(f.Below(2) ? L"dmyDMYx"[f.Below(7)] : f.Below(0x10000)), cnt, i, -2, -3, s);
        ASSERT_TRUE(i == -2 || i == -3 || i >= -1) << i;

        int pos = f.Below(int(text.size()) + 3) - 1, y, m, dd;
        if (ScanDate(text, format, pos, y, m, dd, s)) {
            ASSERT_TRUE(IsValidDate(y, m, dd));
        }
    }
}

TEST(DatesFuzzTest, FormatterEndsOnEveryFormatAndValue)
{
    Fuzzer f;
    for (int round = 0; round < KRounds; ++round) {
        TFormatSettings s = f.Settings();
        if (f.Below(4) == 0)
            s.LongDateFormat = f.Text(12);
        if (f.Below(4) == 0)
            s.LongTimeFormat = f.Text(12);
        const UnicodeString format = f.Text(24);
        const UnicodeString text = FormatDateTime(format, f.Value(), s);
        // Names and nested formats grow the text, but only so far.
        ASSERT_LT(text.size(), 64 + 40 * (format.size() + 1)) << testing::PrintToString(format);
    }
}

TEST(DatesFuzzTest, DatesWrittenInTheEditsFormatReadBack)
{
    Fuzzer f;
    for (int round = 0; round < KRounds / 4; ++round) {
        const int year = 1 + f.Below(9999);
        TodayIs today(year, 6, 15);
        TFormatSettings s = f.Settings();
        const UnicodeString format = DefDateFormat(true, s);
        TDateTime d;
        // Years below 100 read back as two-digit years, written with four digits or not.
        if (!TryEncodeDate(100 + f.Below(9900), 1 + f.Below(12), 1 + f.Below(31), d))
            continue;
        const UnicodeString text = FormatDateTime(format, d, s);
        TDateTime back;
        // A separator that is a digit or nothing makes the text ambiguous;
        // the positional reading still takes it apart.
        ASSERT_TRUE(InternalStrToDate(format, text, back, s)) << testing::PrintToString(text);
        ASSERT_EQ(back.Val, d.Val) << testing::PrintToString(text);
    }
}

} // namespace
