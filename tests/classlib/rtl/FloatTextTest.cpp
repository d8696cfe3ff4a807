// Number text conversions, format settings and random numbers.  Portable:
// the native sanitizer build runs this file too.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "classlib/rtl/SysUtils.h"

namespace {

const TFormatSettings Dot{L'.', L','};
const TFormatSettings Comma{L',', L'.'};

TEST(FloatTextTest, ParsesNumbersAndRefusesTheRest)
{
    struct Case {
        const wchar_t* Text;
        bool Ok;
        Extended Value;
    } const cases[] = {
        {L"0", true, 0},
        {L"1.5", true, 1.5L},
        {L"-1.5", true, -1.5L},
        {L"+2", true, 2},
        {L" \t3.25  ", true, 3.25L},
        {L".5", true, 0.5L},
        {L"5.", true, 5},
        {L"1e3", true, 1000},
        {L"1E+3", true, 1000},
        {L"-1.5e-3", true, -0.0015L},
        {L"123456789012345678", true, 123456789012345678.0L},   // beyond a double's digits
        {L"1e4000", true, 1e4000L},                              // Extended range
        {L"1e-5000", true, 0},                                   // underflow is zero
        {L"1e5000", false, 0},                                   // overflow
        {L"", false, 0},
        {L"  ", false, 0},
        {L"-", false, 0},
        {L".", false, 0},
        {L"1e", false, 0},
        {L"1e+", false, 0},
        {L"e5", false, 0},
        {L"1.2.3", false, 0},
        {L"1,5", false, 0},
        {L"1 000", false, 0},
        {L"--1", false, 0},
        {L"0x10", false, 0},
        {L"inf", false, 0},
        {L"NAN", false, 0},
        {L"1.5x", false, 0},
        {L"1e5.5", false, 0},
        {L"\u0661", false, 0},   // a digit of another script
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << std::string(c.Text, c.Text + wcslen(c.Text)) << "'");
        Extended v = -7;
        EXPECT_EQ(TryStrToFloat(c.Text, v, Dot), c.Ok);
        EXPECT_EQ(v, c.Ok ? c.Value : -7);
        if (c.Ok) {
            EXPECT_EQ(StrToFloat(c.Text, Dot), c.Value);
        } else {
            EXPECT_THROW(StrToFloat(c.Text, Dot), EConvertError);
        }
    }
    try {
        StrToFloat(L"abc", Dot);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"'abc' is not a valid floating point value");
    }
}

TEST(FloatTextTest, ParsingTakesOnlyTheSettingsDecimalSeparator)
{
    Extended v = 0;
    EXPECT_TRUE(TryStrToFloat(L"1,5", v, Comma));
    EXPECT_EQ(v, 1.5L);
    EXPECT_FALSE(TryStrToFloat(L"1.5", v, Comma));
    EXPECT_FALSE(TryStrToFloat(L"1.000,5", v, Comma));
}

TEST(FloatTextTest, FloatToStrIsTheShortestGeneralForm)
{
    struct Case {
        Extended Value;
        const wchar_t* Text;
    } const cases[] = {
        {0, L"0"},
        {-0.0L, L"0"},
        {1, L"1"},
        {-1.5L, L"-1.5"},
        {0.1L, L"0.1"},
        {1.0L / 3, L"0.333333333333333"},
        {2.0L / 3, L"0.666666666666667"},
        {100, L"100"},
        {123456789012345.0L, L"123456789012345"},
        {999999999999999.9L, L"1E15"},
        {1e15L, L"1E15"},
        {1234567890123456.0L, L"1.23456789012346E15"},
        {0.0001L, L"0.0001"},
        {0.00001L, L"1E-5"},
        {-1.5e-7L, L"-1.5E-7"},
        {1e300L, L"1E300"},
        {std::numeric_limits<Extended>::quiet_NaN(), L"NAN"},
        {std::numeric_limits<Extended>::infinity(), L"INF"},
        {-std::numeric_limits<Extended>::infinity(), L"-INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStr(c.Value, Dot), c.Text) << double(c.Value);
    EXPECT_EQ(FloatToStr(-2.25L, Comma), L"-2,25");
    EXPECT_EQ(FloatToStr(1.5e-7L, Comma), L"1,5E-7");
}

TEST(FloatTextTest, FloatToStrFFixedAndGeneral)
{
    struct Case {
        Extended Value;
        TFloatFormat Format;
        int Precision, Digits;
        const wchar_t* Text;
    } const cases[] = {
        {1234.5678L, ffFixed, 18, 2, L"1234.57"},
        {1.23456L, ffFixed, 3, 4, L"1.2300"},       // precision first, then zeros
        {0.125L, ffFixed, 18, 2, L"0.13"},           // ties away from zero
        {-0.125L, ffFixed, 18, 2, L"-0.13"},
        {2.5L, ffFixed, 18, 0, L"3"},
        {-0.001L, ffFixed, 18, 2, L"0.00"},          // no "-0.00"
        {0.004L, ffFixed, 18, 2, L"0.00"},
        {999.96L, ffFixed, 18, 1, L"1000.0"},
        {0.5L, ffFixed, 18, 0, L"1"},
        {7, ffFixed, 18, 25, L"7.000000000000000000"},   // at most 18 decimals
        {12345, ffFixed, 3, 2, L"1.23E4"},
        {123456789012345678.0L, ffFixed, 18, 0, L"123456789012345678"},
        // Precision first, then the decimals: the double nearest 2.675 lies
        // below it, and shows as 2.675 at 15 digits.
        {2.675, ffFixed, 15, 2, L"2.68"},
        {-2.675, ffFixed, 15, 2, L"-2.68"},
        {1.005, ffFixed, 15, 2, L"1.01"},
        {2.675, ffFixed, 18, 2, L"2.67"},           // at 18 digits it is below the tie
        {1.25L, ffGeneral, 2, 0, L"1.3"},
        {123, ffGeneral, 2, 0, L"1.2E2"},
        {1e-7L, ffGeneral, 15, 2, L"1E-07"},
        {1e20L, ffGeneral, 15, 9, L"1E0020"},        // at most 4 exponent digits
        {1.5L, ffGeneral, 0, 0, L"2"},               // precision at least 1
        {1.0L / 3, ffGeneral, 40, 0, L"0.333333333333333333"},   // and at most 18
        {-std::numeric_limits<Extended>::infinity(), ffFixed, 18, 2, L"-INF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, Dot), c.Text)
            << double(c.Value) << " " << c.Precision << " " << c.Digits;
    EXPECT_EQ(FloatToStrF(1234.5L, ffFixed, 18, 2, Comma), L"1234,50");
    EXPECT_EQ(FloatToStr(2.675, Dot), L"2.675");
}

TEST(FloatTextTest, FormatFloatPictures)
{
    const wchar_t* const money = L"### ### ##0.00;-### ### ##0.00;0";
    struct Case {
        const wchar_t* Format;
        Extended Value;
        const wchar_t* Text;
    } const cases[] = {
        {L"0.00", 5, L"5.00"},
        {L"0.00", 0.125L, L"0.13"},
        {L"0.00", -0.125L, L"-0.13"},
        {L"0", -2.5L, L"-3"},
        {L"000", 7, L"007"},
        {L"0.##", 2.5L, L"2.5"},
        {L"0.##", 2, L"2"},
        {L"0.##", 2.125L, L"2.13"},
        {L"#.##", 0.5L, L".5"},
        {L".00", 12.5L, L"12.50"},
        {L"#,##0.00", 1234567.891L, L"1,234,567.89"},
        {L"#,##0", 999.5L, L"1,000"},
        {L"#,##0", -12, L"-12"},
        {L"0", 123456789012345678.0L, L"123456789012346000"},   // 15 significant digits
        {L"0.00", 2.675, L"2.68"},                  // as FloatToStr shows it: 2.675
        {L"0.00", 1.005, L"1.01"},
        {L"0.0", 0.15, L"0.2"},
        // Blanks between the digits group them, and only where digits stand.
        {money, 1234567.891L, L"1 234 567.89"},
        {money, 12345, L"12 345.00"},
        {money, 5, L"5.00"},
        {money, -5, L"-5.00"},
        {money, 0, L"0"},
        {money, 0.001L, L"0"},
        {money, 1234567890123.0L, L"1234567 890 123.00"},   // more digits than places: in front
        // Sections: negative, zero, empty ones falling back to the first.
        {L"0.00;(0.00)", -5, L"(5.00)"},
        {L"0.00;(0.00);zero", -0.001L, L"zero"},
        {L"0.00;(0.00)", -0.001L, L"0.00"},
        {L"0.00;;nil", 0, L"nil"},
        {L"0.00;;nil", -1, L"-1.00"},
        {L"0;-0;0;ignored", -1, L"-1"},
        // Copied text.
        {L"$0.00", -5, L"-$5.00"},
        {L"'#'0 \"pcs\"", 3, L"#3 pcs"},
        {L"0' ; '", 1, L"1 ; "},
        {L"abc", 5, L"abc"},
        // Out of the pictures' reach.
        {L"", 1.5L, L"1.5"},
        {L"0.00", 1e20L, L"1E20"},
        {L"0.00", std::numeric_limits<Extended>::quiet_NaN(), L"NAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.Format, c.Format + wcslen(c.Format)) << " "
                                        << double(c.Value));
        EXPECT_EQ(FormatFloat(c.Format, c.Value, Dot), c.Text);
    }
    const TFormatSettings european{L',', L'.'};
    EXPECT_EQ(FormatFloat(L"#,##0.00", 1234.5L, european), L"1.234,50");
    EXPECT_EQ(FormatFloat(L"0.0", 12.345L, european), L"12,3");
}

TEST(FloatTextTest, SettingsScopeChangesAndRestores)
{
    const TFormatSettings before = FormatSettings;
    {
        TFormatSettingsScope outer(L',', L' ');
        EXPECT_EQ(FloatToStr(1.5L), L"1,5");
        EXPECT_EQ(FormatFloat(L"#,##0.0", 1234.5L), L"1 234,5");
        EXPECT_EQ(StrToFloat(L"2,5"), 2.5L);
        {
            TFormatSettingsScope inner(Dot);
            EXPECT_EQ(FloatToStrF(2.5L, ffFixed, 18, 1), L"2.5");
            Extended v = 0;
            EXPECT_FALSE(TryStrToFloat(L"2,5", v));
        }
        EXPECT_EQ(FormatSettings.DecimalSeparator, L',');
        EXPECT_EQ(FormatSettings.ThousandSeparator, L' ');
    }
    EXPECT_EQ(FormatSettings.DecimalSeparator, before.DecimalSeparator);
    EXPECT_EQ(FormatSettings.ThousandSeparator, before.ThousandSeparator);
}

TEST(RandomTest, RepeatableRangesAndSeeding)
{
    RandSeed = 42;
    std::vector<int> first;
    for (int i = 0; i < 5; ++i)
        first.push_back(Random(1000));
    RandSeed = 42;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Random(1000), first[size_t(i)]);

    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int r = Random(10);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 10);
        seen.insert(r);
        double d = Random();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    int big = Random(0x7FFFFFFF);
    EXPECT_GE(big, 0);

    RandSeed = 12345;
    Randomize();
    EXPECT_NE(RandSeed, 12345u);
}

} // namespace
