// Colour arithmetic, colour models and whole-bitmap colour kernels.
#include <gtest/gtest.h>

#include <cmath>

#include "PaintFixture.h"
#include "skin/paint/sGraphUtils_Colors.h"

using namespace kvPaint;

TEST(Colors, ArithmeticTable)
{
    struct Case { const char* what; TColor got, want; };
    const Case cases[] = {
        {"brightness up", ChangeBrightness(0x000080, 50), 0x7F7FC0},         // 128 + 50 * 1.27 = 191.5 -> 192; 50 * 2.55 falls just under 127.5
        {"brightness down", ChangeBrightness(0x000080, -50), 0x000040},
        {"brightness keeps top byte", ChangeBrightness(0x05000080, 50), 0x057F7FC0},
        {"brightness 0", ChangeBrightness(0x12345678, 0), 0x12345678},
        {"saturation of grey", ChangeSaturation(0x505050, 40), 0x505050},
        {"saturation 100 gives the average", ChangeSaturation(0x5A3C1E, 100), 0x3C3C3C},
        {"saturation away from grey", ChangeSaturation(0x505060, -100), 0x4B4B6B},
        {"hue +120 of red", ChangeHueRGB(120, 0x0000FF), 0x00FF00},
        {"hue -120 of red", ChangeHueRGB(-120, 0x0000FF), 0xFF0000},
        {"hue of grey", ChangeHueRGB(45, 0x777777), 0x777777},
        {"hsv grey", Hsv2Rgb(0, 0, 0.5), 0x808080},
        {"hsv green", Hsv2Rgb(120, 1, 1), 0x00FF00},
        {"hsv 360 is red", Hsv2Rgb(360, 1, 1), 0x0000FF},
        {"hsv value above one is limited", Hsv2Rgb(0, 1, 2), 0x0000FF},
        {"average of black and white", AverageColor(0x000000, 0xFFFFFF), 0x808080},
        {"change color K 0", ChangeColor(0x102030, 0x405060, 0), 0x102030},
        {"change color K 1", ChangeColor(0x102030, 0x405060, 1), 0x405060},
        {"change color above 255", ChangeColor(0x0000C8, 0x0000FF, 2), 0x0000FF},
        {"change color below 0", ChangeColor(0x000010, 0x0000FF, -1), 0x000000},
        {"mix keeps Color1's top byte", MixColors(0x7F0000FF, 0x00FF0000, 0.25), 0x7FBF0040},
        {"swap", SwapInteger(0x112233), 0x332211},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uint32_t(c.got), uint32_t(c.want)) << c.what;
}

TEST(Colors, Rgb2HsvAndBack)
{
    TsHSV black = Rgb2Hsv(0);
    EXPECT_EQ(black.h, 0);
    EXPECT_EQ(black.s, 0);
    EXPECT_EQ(black.v, 0);
    // Colours whose hue is a whole degree come back exactly.
    for (TColor c : {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x808080, 0x000080}) {
        TsHSV hsv = Rgb2Hsv(c);
        EXPECT_EQ(Hsv2Rgb(hsv.h, hsv.s, hsv.v), c) << std::hex << c;
    }
}

TEST(Colors, HSVtoRGBRoundTripsAndAlwaysSetsItsOutputs)
{
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 85)
            for (int b = 0; b < 256; b += 17) {
                double h = 0, s, v, R, G, B;
                RGBToHSV(r / 255.0, g / 255.0, b / 255.0, h, s, v);
                HSVtoRGB(h, s, v, R, G, B);
                ASSERT_NEAR(R, r / 255.0, 1e-9);
                ASSERT_NEAR(G, g / 255.0, 1e-9);
                ASSERT_NEAR(B, b / 255.0, 1e-9);
            }
    struct Case { double h, s, v, r, g, b; };
    const Case cases[] = {
        {200, 0.0001, 0.3, 0.3, 0.3, 0.3},       // no saturation: grey, not the old values
        {NAN, 0.5, 0.7, 0.7, 0.7, 0.7},          // no hue: grey
        {-60, 1, 1, 1, 0, 1},                    // wraps to 300
        {420, 1, 1, 1, 1, 0},                    // wraps to 60
    };
    for (const Case& c : cases) {
        double R = -1, G = -1, B = -1;
        HSVtoRGB(c.h, c.s, c.v, R, G, B);
        EXPECT_NEAR(R, c.r, 1e-9) << c.h;
        EXPECT_NEAR(G, c.g, 1e-9) << c.h;
        EXPECT_NEAR(B, c.b, 1e-9) << c.h;
    }
    // A grey keeps the caller's hue (it has none of its own).
    double h = 123, s = 1, v = 0;
    RGBToHSV(0.5, 0.5, 0.5, h, s, v);
    EXPECT_EQ(h, 123);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(v, 0.5);
}

TEST(Colors, GreyKernels)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b24(2, 2, 3, bottomUp), b32(2, 2, 4, bottomUp), b8(2, 2, 1, bottomUp, 9);
        b24.Set(0, 0, 0x0A141E);  // 30 + 20 + 10 = 60 -> 20
        b24.Set(1, 0, 0xFF00FF);
        b32.Set(1, 1, 0x7F0A141E);
        GrayScale(b24.Rows);
        GrayScale(b32.Rows);
        GrayScale(b8.Rows);       // unknown to it: untouched
        EXPECT_EQ(b24.Get(0, 0), 0x141414u);
        EXPECT_EQ(b24.Get(1, 0), 0xAAAAAAu);
        EXPECT_EQ(b32.Get(1, 1), 0x7F141414u);
        EXPECT_EQ(b8.Get(1, 1), 9u);

        TestBitmap t(2, 1, 3, bottomUp);
        t.Set(0, 0, 0xFF00FF);
        t.Set(1, 0, 0x0A141E);
        GrayScaleTrans(t.Rows, 0xFF00FF);
        EXPECT_EQ(t.Get(0, 0), 0xFF00FFu);
        EXPECT_EQ(t.Get(1, 0), 0x141414u);
        EXPECT_TRUE(b8.GuardsIntact());
    }
}

TEST(Colors, ChannelCopiesStayInsideTheSmallerBitmap)
{
    TestBitmap a(3, 3, 4), b(2, 4, 4, true), g(4, 2, 1);
    a.FillAll(0x11223344);
    CopyChannel32(b.Rows, a.Rows, 3);
    EXPECT_EQ(b.Get(1, 2), 0x11000000u);
    EXPECT_EQ(b.Get(1, 3), 0u);
    CopyChannel(a.Rows, g.Rows, 0, true);
    EXPECT_EQ(g.Get(2, 1), 0x44u);
    EXPECT_EQ(g.Get(3, 1), 0u);
    CopyChannel(a.Rows, g.Rows, 3, false);
    EXPECT_EQ(a.Get(0, 0), 0x44223344u);
    EXPECT_EQ(a.Get(0, 2), 0x11223344u);
    EXPECT_TRUE(a.GuardsIntact());
    EXPECT_TRUE(b.GuardsIntact());
    EXPECT_TRUE(g.GuardsIntact());
}
