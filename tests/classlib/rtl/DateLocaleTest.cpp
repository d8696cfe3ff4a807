// The date settings read from the user's locale at start-up (whatever that
// locale is): every name is there, and a date written in the short format
// reads back.
#include <gtest/gtest.h>

#include "classlib/rtl/DateTime.h"

namespace {

TEST(DateLocaleTest, TheLocaleFillsEveryDateSetting)
{
    const TFormatSettings& s = FormatSettings;
    EXPECT_FALSE(s.ShortDateFormat.empty());
    EXPECT_FALSE(s.LongDateFormat.empty());
    EXPECT_FALSE(s.LongTimeFormat.empty());
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(s.LongMonthNames[i].empty()) << i;
        EXPECT_FALSE(s.ShortMonthNames[i].empty()) << i;
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_FALSE(s.LongDayNames[i].empty()) << i;
        EXPECT_FALSE(s.ShortDayNames[i].empty()) << i;
    }
    EXPECT_GE(s.FirstDayOfWeek, 0);
    EXPECT_LE(s.FirstDayOfWeek, 6);
    // The system's "tt" and 24-hour "H" are written in our letters.
    EXPECT_EQ(s.LongTimeFormat.find(L"tt"), UnicodeString::npos);
    EXPECT_EQ(s.LongTimeFormat.find(L'H'), UnicodeString::npos);
}

TEST(DateLocaleTest, AShortDateReadsBack)
{
    const TDateTime d = EncodeDate(2024, 12, 25);
    const UnicodeString text = DateToStr(d);
    TDateTime back;
    ASSERT_TRUE(TryStrToDate(text, back)) << testing::PrintToString(text);
    EXPECT_EQ(back.Val, d.Val);
    // Sunday first, as the settings count.
    EXPECT_EQ(FormatDateTime(L"dddd", EncodeDate(2024, 12, 29)), FormatSettings.LongDayNames[0]);
}

} // namespace
