// Pixel accessors, the weighted-sum blenders and the fill and blend primitives.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "PaintFixture.h"
#include "skin/paint/sAlphaGraph_Fast.h"
#include "skin/paint/sAlphaGraph_Pixels.h"

using namespace kvPaint;

TEST(Fast, AttachNeedsTwoByTwoOfItsFormat)
{
    TestBitmap thin(1, 100, 3), flat(100, 1, 3), small(2, 2, 3), wide(4, 4, 4);
    TkvFast24 f;
    f.FWidth = 7;
    EXPECT_FALSE(f.Attach(thin.Rows));
    EXPECT_EQ(f.FWidth, 0);
    EXPECT_FALSE(f.Attach(flat.Rows));
    EXPECT_TRUE(f.Attach(small.Rows));
    EXPECT_EQ(f.FWidth, 2);
    try {
        f.Attach(wide.Rows);
        FAIL() << "a 32-bit bitmap was accepted";
    } catch (const EAssertionFailed& e) {
        EXPECT_NE(e.Message().find(L"Bitmap format is not supported"), std::wstring::npos);
    }
}

TEST(Fast, BothRowOrdersAddressTheSamePixels)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b24(3, 3, 3, bottomUp), b32(3, 3, 4, bottomUp);
        TkvFast24 f24;
        TkvFast32 f32;
        ASSERT_TRUE(f24.Attach(b24.Rows));
        ASSERT_TRUE(f32.Attach(b32.Rows));
        f24.SetPixel(2, 1, 0x112233);            // TColor: R 0x33, G 0x22, B 0x11
        f32.SetPixel(2, 1, int32_t(0x80112233));
        EXPECT_EQ(b24.Get(2, 1), 0x332211u);     // memory B, G, R
        EXPECT_EQ(b32.Get(2, 1), 0x80332211u);
        EXPECT_EQ(f24.GetPixel(2, 1), 0x112233);
        EXPECT_EQ(uint32_t(f32.GetPixel(2, 1)), 0x80112233u);
        EXPECT_EQ(b24.Get(1, 2), 0u);
    }
}

TEST(Fast, FillRectStaysInsideTheBitmap)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b(5, 4, 4, bottomUp);
        TkvFast32 f;
        ASSERT_TRUE(f.Attach(b.Rows));
        f.FillRect({-3, 2, 9, 9}, 0x01020304);
        f.FillRect({3, -5, 1, 9}, 0xFFFFFFFF);  // inverted: nothing
        EXPECT_TRUE(b.GuardsIntact());
        EXPECT_EQ(b.Get(0, 2), 0x01020304u);
        EXPECT_EQ(b.Get(4, 3), 0x01020304u);
        EXPECT_EQ(b.Get(4, 1), 0u);
        f.FillBitmap(0xAABBCCDD);
        EXPECT_EQ(b.Get(0, 0), 0xAABBCCDDu);
        EXPECT_TRUE(b.GuardsIntact());
    }
}

TEST(Fast, RoundEvenIsDefinedForEveryDouble)
{
    struct Case { double x; int want; };
    const Case cases[] = {{2.5, 2},        {3.5, 4},           {-2.5, -2},        {-0.5, 0},
                          {0.49999, 0},    {254.5, 254},       {NAN, 0},          {INFINITY, INT_MAX},
                          {-INFINITY, INT_MIN}, {1e300, INT_MAX}, {-1e300, INT_MIN}, {2147483647.4, INT_MAX},
                          {2147483646.5, 2147483646}, {-2147483648.4, INT_MIN}, {-2147483649.0, INT_MIN}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundEven(c.x), c.want) << c.x;
}

// Rectangles at the limits of 32-bit integers: what lies inside the bitmap
// is painted, nothing outside it, and no sum on the way overflows.
TEST(Fast, RectanglesAtTheIntegerLimits)
{
    const TkvRect all{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, inverted{INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        farRight{INT_MAX - 2, 0, INT_MAX, 5}, farLeft{INT_MIN, 0, INT_MIN + 3, 5};
    for (bool bottomUp : RowOrders) {
        TestBitmap b(5, 4, 4, bottomUp);
        TkvFast32 f;
        ASSERT_TRUE(f.Attach(b.Rows));
        for (const TkvRect& r : {inverted, farRight, farLeft}) {
            f.FillRect(r, 0xFFFFFFFF);
            BlendColorRect(b.Rows, r, 0, 0xFFFFFF);
            FillAlphaRect(b.Rows, r, 0xFF);
        }
        EXPECT_EQ(b.Get(0, 0), 0u);
        EXPECT_EQ(b.Get(4, 3), 0u);
        f.FillRect(all, 0x01020304);
        EXPECT_EQ(b.Get(0, 0), 0x01020304u);
        EXPECT_EQ(b.Get(4, 3), 0x01020304u);
        BlendColorRect(b.Rows, all, 0, 0x0000FF);
        FillAlphaRect(b.Rows, all, 0x77);
        EXPECT_EQ(b.Get(2, 2), 0x77FF0000u);
        EXPECT_TRUE(b.GuardsIntact());
    }
}

TEST(Fast, BlendRuleExamplesAndLongRows)
{
    struct Case { uint8_t alpha, d, s, want; };
    const Case cases[] = {{0, 0, 255, 254}, {128, 100, 200, 149}, {255, 255, 0, 254}, {255, 77, 200, 77}, {0, 10, 10, 10}};
    for (const Case& c : cases) {
        // 37 pixels: the wide loop and the tail both see the case.
        std::vector<uint8_t> d(111, c.d), s(111, c.s);
        BlendBytes(d.data(), s.data(), d.size(), c.alpha);
        for (uint8_t v : d)
            ASSERT_EQ(v, c.want) << int(c.alpha) << " " << int(c.d) << " " << int(c.s);
    }
    // Mixed bytes in the wide loop agree with the rule byte by byte.
    std::vector<uint8_t> d(64), s(64), want(64);
    for (int i = 0; i < 64; ++i) {
        d[i] = uint8_t(i * 37 + 5);
        s[i] = uint8_t(255 - i * 11);
        want[i] = uint8_t((d[i] * 90 + s[i] * 165 + 127) >> 8);
    }
    BlendBytes(d.data(), s.data(), 64, 90);
    EXPECT_EQ(d, want);
}

TEST(Fast, SumBlenderRefusesOtherFormats)
{
    TestBitmap a(4, 4, 3), b(4, 4, 4);
    TkvFastSum24 sum24;
    TkvFastSum32 sum32;
    EXPECT_FALSE(sum24.Attach(a.Rows, b.Rows));
    EXPECT_FALSE(sum32.Attach(a.Rows, b.Rows));
    EXPECT_TRUE(sum32.Attach(b.Rows, b.Rows));
}

TEST(Fast, BlendBitmapsRectAlignsBottomEdges)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap src(4, 20, 3, bottomUp), dst(4, 20, 3, bottomUp, 0);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 4; ++x)
                src.Set(x, y, uint32_t(y * 10) * 0x010101u);
        TkvFastSum24 sum;
        ASSERT_TRUE(sum.Attach(src.Rows, dst.Rows));
        sum.Alpha = 0;
        sum.DstX1 = 0; sum.DstX2 = 4; sum.DstY1 = 10; sum.DstY2 = 20;
        sum.SrcX1 = 0; sum.SrcY2 = 10;
        sum.BlendBitmapsRect();
        // Destination row 10 + r took source row r: (s * 255 + 127) shr 8.
        for (int r = 0; r < 10; ++r)
            EXPECT_EQ(dst.Get(1, 10 + r) & 0xFF, uint32_t((r * 10 * 255 + 127) >> 8)) << r;
        EXPECT_EQ(dst.Get(1, 9), 0u);
    }
}

TEST(Fast, BlendBitmapsRectOutsideEitherBitmapLeavesMemoryAlone)
{
    TestBitmap src(6, 6, 4), dst(5, 5, 4, true, 100);
    src.FillAll(0xC8C8C8C8);
    const int rects[][6] = {
        // DstX1, DstY1, DstX2, DstY2, SrcX1, SrcY2
        {-4, -4, 20, 20, 0, 6}, {3, 3, 9, 9, 4, 40}, {-10, 0, -2, 5, 0, 5}, {0, 0, 5, 5, -8, -1}, {2, 2, 5, 5, 5, 6},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX}, {0, 0, 5, 5, INT_MIN, INT_MAX},
        {INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MIN}, {0, INT_MIN, 5, INT_MAX, INT_MAX, INT_MIN}};
    for (const auto& r : rects) {
        TkvFastSum32 sum;
        ASSERT_TRUE(sum.Attach(src.Rows, dst.Rows));
        sum.Alpha = 128;
        sum.DstX1 = r[0]; sum.DstY1 = r[1]; sum.DstX2 = r[2]; sum.DstY2 = r[3]; sum.SrcX1 = r[4]; sum.SrcY2 = r[5];
        sum.BlendBitmapsRect();
        EXPECT_TRUE(dst.GuardsIntact());
        EXPECT_TRUE(src.GuardsIntact());
    }
}

// ---------------------------------------------------------------------------
TEST(Pixels, FillRect32WritesOpaqueSwappedColour)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b(3, 3, 4, bottomUp);
        FillRect32(b.Rows, {0, 0, 3, 3}, 0x0000FF);  // clRed
        const uint8_t* p = b.Rows.Pixel(2, 2);
        EXPECT_EQ(p[0], 0x00);
        EXPECT_EQ(p[1], 0x00);
        EXPECT_EQ(p[2], 0xFF);
        EXPECT_EQ(p[3], 0xFF);
        EXPECT_EQ(SwapColor(0x123456), 0xFF563412u);
    }
}

TEST(Pixels, BlendColorRectRoundsHalvesToEvenAndExcludesRightAndBottom)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap b(4, 4, 4, bottomUp);
        b.FillAll(0x40FFFFFF);
        BlendColorRect(b.Rows, {0, 0, 4, 4}, 50, 0x000000);
        EXPECT_EQ(b.Get(3, 3), 0x40808080u);  // 127.5 -> 128; alpha kept
        EXPECT_EQ(b.Get(0, 0), 0x40808080u);

        TestBitmap c(4, 4, 3, bottomUp, 200);
        BlendColorRect(c.Rows, {1, 1, 3, 3}, 25, 0x000064);  // red 100
        EXPECT_EQ(c.Get(1, 1), uint32_t(RoundEven(200 * 0.25 + 100 * 0.75)) << 16 | 50u << 8 | 50u);
        EXPECT_EQ(c.Get(3, 3), 0xC8C8C8u);  // the exclusive corner is not touched
        EXPECT_EQ(c.Get(0, 1), 0xC8C8C8u);
        BlendColorRect(c.Rows, {-5, -5, 50, 50}, 0, 0x0000FF);
        EXPECT_EQ(c.Get(3, 3), 0xFF0000u);
        EXPECT_TRUE(c.GuardsIntact());
    }
}

TEST(Pixels, FillAlphaRectIsCut)
{
    TestBitmap b(3, 3, 4, true, 0x11);
    FillAlphaRect(b.Rows, {-1, 1, 7, 2}, 0x99);
    EXPECT_EQ(b.Get(0, 1), 0x99111111u);
    EXPECT_EQ(b.Get(2, 1), 0x99111111u);
    EXPECT_EQ(b.Get(2, 2), 0x11111111u);
    EXPECT_TRUE(b.GuardsIntact());
}

TEST(Pixels, FillTransPixels32CopiesOnlyOverKeyPixels)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap dst(3, 2, 4, bottomUp), src(4, 4, 4, !bottomUp);
        src.FillAll(0x01020304);
        dst.Set(0, 0, 0x00FF00FF);  // key, alpha 0
        dst.Set(1, 0, 0x7FFF00FF);  // key, alpha 0x7F
        dst.Set(2, 0, 0x00FF00FE);  // not key
        FillTransPixels32(dst.Rows, src.Rows, {0, 0, 3, 2}, {1, 1}, nullptr, {});
        EXPECT_EQ(dst.Get(0, 0), 0x01020304u);
        EXPECT_EQ(dst.Get(1, 0), 0x01020304u);
        EXPECT_EQ(dst.Get(2, 0), 0x00FF00FEu);
        EXPECT_EQ(dst.Get(0, 1), 0u);

        // The key test through a 24-bit image; rectangles past every edge.
        TestBitmap key(2, 2, 3, bottomUp);
        key.Set(1, 1, 0xFF00FF);
        TestBitmap d2(3, 3, 4, bottomUp);
        FillTransPixels32(d2.Rows, src.Rows, {-1, -1, 2, 2}, {0, 0}, &key.Rows, {0, 0});
        EXPECT_EQ(d2.Get(0, 0), 0x01020304u);
        EXPECT_EQ(d2.Get(1, 1), 0u);
        FillTransPixels32(d2.Rows, src.Rows, {-50, -50, 50, 50}, {-9, 3}, &key.Rows, {-4, 7});
        FillTransPixels32(d2.Rows, src.Rows, {2, 2, 90, 90}, {3, 3}, nullptr, {});
        // Offsets and rectangles at the int limits.
        FillTransPixels32(d2.Rows, src.Rows, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, INT_MIN}, &key.Rows,
                          {INT_MIN, INT_MAX});
        FillTransPixels32(d2.Rows, src.Rows, {INT_MAX, 0, INT_MIN, 3}, {INT_MIN, 0}, nullptr, {});
        EXPECT_TRUE(d2.GuardsIntact());
        EXPECT_TRUE(key.GuardsIntact());
    }
}
