// The composition loops: weighted and masked blends, key-colour copies over a
// parent background, 32-bit images over caches and real-factor blends.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>

#include "PaintFixture.h"
#include "skin/paint/sGraphUtils_Compose.h"

using namespace kvPaint;

namespace {

uint32_t Grey(int v) { return uint32_t(v) * 0x010101u; }

TkvBack BackOf(const TestBitmap& B, int X, int Y)
{
    TkvBack ci;
    ci.Bmp = B.Rows;
    ci.X = X;
    ci.Y = Y;
    ci.Ready = true;
    return ci;
}

} // namespace

TEST(Compose, SumBitmapsWeights)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap d(3, 3, 3, bottomUp, 40), s(3, 3, 3, !bottomUp, 200);
        SumBitmaps(d.Rows, s.Rows, 255);
        EXPECT_EQ(d.Get(2, 2), Grey((40 * 255 + 200 * 0 + 127) >> 8));
        TestBitmap d2(3, 3, 3, bottomUp, 40);
        SumBitmaps(d2.Rows, s.Rows, 0);
        EXPECT_EQ(d2.Get(1, 1), Grey((200 * 255 + 127) >> 8));

        // A 32-bit pair blends four bytes a pixel, alpha included.
        TestBitmap d32(3, 3, 4, bottomUp, 0), s32(3, 3, 4, bottomUp, 255);
        SumBitmaps(d32.Rows, s32.Rows, 0);
        EXPECT_EQ(d32.Get(2, 2), 0xFEFEFEFEu);
        EXPECT_TRUE(d32.GuardsIntact());
        // Mixed formats or sizes: nothing.
        TestBitmap d3(3, 3, 3, bottomUp, 7), s4(3, 3, 4, bottomUp, 255), s5(4, 3, 3, bottomUp, 255);
        SumBitmaps(d3.Rows, s4.Rows, 0);
        SumBitmaps(d3.Rows, s5.Rows, 0);
        EXPECT_EQ(d3.Get(0, 0), Grey(7));
    }
}

TEST(Compose, SumBmpRectPlacesAndCutsTheSourceRectangle)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap s(10, 10, 3, bottomUp), d(8, 8, 3, !bottomUp, 0);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                s.Set(x, y, uint32_t(x << 4 | y));
        SumBmpRect(d.Rows, s.Rows, 0, {2, 3, 10, 10}, {0, 0});
        auto blended = [](uint32_t v) { return (v * 255 + 127) >> 8; };
        EXPECT_EQ(d.Get(0, 0) & 0xFF, blended(2 << 4 | 3));
        EXPECT_EQ(d.Get(6, 5) & 0xFF, blended(8 << 4 | 8));
        EXPECT_EQ(d.Get(7, 7), 0u);  // past the source's rows

        TestBitmap d2(8, 8, 3, bottomUp, 0);
        SumBmpRect(d2.Rows, s.Rows, 0, {0, 0, 4, 4}, {-1, -2});
        EXPECT_EQ(d2.Get(0, 0) & 0xFF, blended(1 << 4 | 2));
        EXPECT_EQ(d2.Get(3, 0), 0u);
    }
}

TEST(Compose, MaskMixes)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap a(2, 2, 3, bottomUp), b(2, 2, 3, !bottomUp), out(3, 3, 4, bottomUp, 0x33), m(2, 2, 3, bottomUp);
        a.FillAll(0xC86432);
        b.FillAll(0x0A141E);
        m.Set(0, 0, 0xFF0080);  // B 255, G 0, R 128
        SumBitmapsByMask(out.Rows, a.Rows, b.Rows, &m.Rows, 0);
        const uint32_t mixed = uint32_t(((0xC8 - 0x0A) * 255 + 0x0A * 256) >> 8) << 16 | 0x14u << 8 |
                               uint32_t(((0x32 - 0x1E) * 128 + 0x1E * 256) >> 8);
        EXPECT_EQ(out.Get(0, 0), 0x33000000u | mixed);
        EXPECT_EQ(out.Get(2, 2), 0x33333333u);
        SumBitmapsByMask(out.Rows, a.Rows, b.Rows, nullptr, 256);
        EXPECT_EQ(out.Get(1, 1), 0x33C86432u);

        TestBitmap p(2, 2, 3, bottomUp), white(2, 2, 3, bottomUp, 255), black(2, 2, 3, bottomUp, 0);
        p.FillAll(0x808080);
        BlendBmpByMask(p.Rows, white.Rows, 0x0000FF);  // red BlendColor
        EXPECT_EQ(p.Get(0, 0), uint32_t(((0x80 - 0xFF) * 255 + 0xFF * 256) >> 8) << 16 |
                                   uint32_t((0x80 * 255) >> 8) << 8 | uint32_t((0x80 * 255) >> 8));
        BlendBmpByMask(p.Rows, black.Rows, 0x0000FF);
        EXPECT_EQ(p.Get(1, 1), 0xFF0000u);

        TestBitmap x1(3, 3, 3, bottomUp, 100), x2(3, 3, 3, bottomUp, 200), xm(3, 3, 3, bottomUp, 0);
        SumByMask(x1.Rows, x2.Rows, xm.Rows, {1, 1, 9, 9});
        EXPECT_EQ(x1.Get(2, 2), Grey(200));
        EXPECT_EQ(x1.Get(0, 0), Grey(100));

        TestBitmap y1(2, 1, 3, bottomUp, 100), y2(2, 1, 4, bottomUp), ym(2, 1, 3, bottomUp);
        y2.FillAll(0x80C8C8C8);
        ym.Set(0, 0, 0xFF0000);  // red byte 255: kept
        ym.Set(1, 0, 0x0000FF);  // red byte 0: mixed
        SumByMaskWith32(y1.Rows, y2.Rows, ym.Rows, {0, 0, 2, 1});
        EXPECT_EQ(y1.Get(0, 0), Grey(100));
        EXPECT_EQ(y1.Get(1, 0), Grey(((200 - 100) * 128 + 100 * 256) >> 8));
    }
}

TEST(Compose, KeyColourCopies)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap src(4, 4, 3, bottomUp), d32(4, 4, 4, !bottomUp, 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                src.Set(x, y, uint32_t(0x10 * x + y));
        src.Set(3, 3, 0xFF00FF);
        CopyTransBitmaps(d32.Rows, src.Rows, -2, -2, 0xFF00FF);
        EXPECT_EQ(d32.Get(0, 0), 0xFF000022u);
        EXPECT_EQ(d32.Get(1, 1), 0u);  // the key pixel (3, 3)
        EXPECT_EQ(d32.Get(2, 2), 0u);

        TestBitmap d24(4, 4, 3, bottomUp, 0x55);
        CopyTransRectA(d24.Rows, src.Rows, 1, 1, {2, 2, 3, 3}, 0xFF00FF);  // both corners included
        EXPECT_EQ(d24.Get(1, 1), 0x22u);
        EXPECT_EQ(d24.Get(2, 1), 0x32u);
        EXPECT_EQ(d24.Get(2, 2), Grey(0x55));

        TestBitmap d(4, 4, 3, bottomUp, 0x55);
        CopyRect(d.Rows, src.Rows, -1, 0, {0, 0, 3, 0});
        EXPECT_EQ(d.Get(0, 0), 0x10u);
        EXPECT_EQ(d.Get(2, 0), 0x30u);
        EXPECT_EQ(d.Get(3, 0), Grey(0x55));
    }
}

TEST(Compose, CopyTransRectFillsHolesFromTheBackground)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap src(3, 1, 3, bottomUp), back(10, 10, 3, !bottomUp), dst(3, 1, 3, bottomUp, 0x11);
        src.Set(0, 0, 0xFF00FF);
        src.Set(1, 0, 0x123456);
        src.Set(2, 0, 0xFF00FF);
        back.Set(8, 5, 0xABCDEF);
        // Key pixel 0 takes the background at (8 + 0, 5 + 0); key pixel 2
        // lies right of the background and stays.
        CopyTransRect(dst.Rows, src.Rows, 0, 0, {0, 0, 2, 0}, 0xFF00FF, BackOf(back, 8, 5), true, false);
        EXPECT_EQ(dst.Get(0, 0), 0xABCDEFu);
        EXPECT_EQ(dst.Get(1, 0), 0x123456u);
        EXPECT_EQ(dst.Get(2, 0), Grey(0x11));

        // Without a background the fill colour goes in, alpha 255 in 32 bits.
        TestBitmap d32(3, 1, 4, bottomUp);
        TkvBack fill;
        fill.FillColor = 0x0000FF;
        CopyTransRect(d32.Rows, src.Rows, 0, 0, {0, 0, 2, 0}, 0xFF00FF, fill, false, false);
        EXPECT_EQ(d32.Get(0, 0), 0xFFFF0000u);
        EXPECT_EQ(d32.Get(1, 0), 0xFF123456u);

        // A 32-bit source compares whole pixels: alpha 0 key only.
        TestBitmap s32(2, 1, 4, bottomUp), t32(2, 1, 4, bottomUp, 0x22);
        s32.Set(0, 0, 0x00FF00FF);
        s32.Set(1, 0, 0x80FF00FF);
        CopyTransRect(t32.Rows, s32.Rows, 0, 0, {0, 0, 1, 0}, 0xFF00FF, BackOf(back, 0, 0), false, false);
        EXPECT_EQ(t32.Get(0, 0), 0x22222222u);
        EXPECT_EQ(t32.Get(1, 0), 0x80FF00FFu);
    }
}

TEST(Compose, CopyByMaskMixesAndKeepsOutOfRangeKeyPixels)
{
    for (bool bottomUp : RowOrders) {
        // 3 x 2 image over its 3 x 2 mask: row 0 picture, row 1 mask.
        TestBitmap img(3, 2, 3, bottomUp), back(2, 2, 3, !bottomUp, 0x77), dst(3, 1, 3, bottomUp, 0x40);
        img.Set(0, 0, 0x102030);
        img.Set(1, 0, 0xFF00FF);
        img.Set(2, 0, 0x102030);
        img.Set(0, 1, 0x000000);  // black mask: the source
        img.Set(2, 1, 0xFFFFFF);  // white mask: almost the destination
        // Key pixel (1, 0) lies right of the 2-wide background at x + 1.
        CopyByMask({0, 0, 3, 1}, {0, 0, 3, 1}, dst.Rows, img.Rows, BackOf(back, 1, 0), true);
        EXPECT_EQ(dst.Get(0, 0), 0x102030u);
        EXPECT_EQ(dst.Get(1, 0), Grey(0x40));
        const auto mix = [](int d, int s, int m) { return uint32_t(((d - s) * m + s * 256) >> 8); };
        EXPECT_EQ(dst.Get(2, 0), mix(0x40, 0x10, 255) << 16 | mix(0x40, 0x20, 255) << 8 | mix(0x40, 0x30, 255));

        // Not ready: every pixel mixed, the key colour too.
        TestBitmap d2(3, 1, 3, bottomUp, 0x40);
        CopyByMask({0, 0, 3, 1}, {0, 0, 3, 1}, d2.Rows, img.Rows, TkvBack{}, true);
        EXPECT_EQ(d2.Get(1, 0), mix(0x40, 0xFF, 0) << 16 | mix(0x40, 0x00, 0) << 8 | mix(0x40, 0xFF, 0));

        // The record's form, not ready with UpdateTrans: holes get the fill
        // colour and its top byte as alpha.
        TestBitmap d3(3, 1, 4, bottomUp, 0x40);
        TkvBack fill;
        fill.FillColor = int32_t(0x7F0000FF);
        CopyByMaskData({0, 0, 3, 1}, {0, 0, 3, 1}, d3.Rows, img.Rows, fill, true, 2);
        EXPECT_EQ(d3.Get(1, 0), 0x7FFF0000u);
        EXPECT_EQ(d3.Get(0, 0), 0x40102030u);
    }
}

TEST(Compose, CopyBmp32OverA24BitCache)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap img(2, 10, 4, bottomUp), dst(2, 20, 3, !bottomUp, 100);
        img.FillAll(0x80C8C8C8);  // 200 at alpha 128
        CopyBmp32({0, 0, 2, 1}, {0, 0, 2, 1}, dst.Rows, img.Rows, TkvBack{}, false, kvNoColor, 0, false);
        EXPECT_EQ(dst.Get(0, 0), Grey(((200 - 100) * 128 + 100 * 256) >> 8));  // 150
        EXPECT_EQ(dst.Get(0, 1), Grey(100));

        TestBitmap d2(2, 20, 3, bottomUp, 100);
        CopyBmp32({0, 0, 2, 2}, {0, 0, 2, 2}, d2.Rows, img.Rows, TkvBack{}, false, kvNoColor, 100, false);
        EXPECT_EQ(d2.Get(1, 1), Grey(100));  // Blend 100: k = 0

        // Greyed with a red tint: grey 200 * 255 / 255 in red, 0 elsewhere.
        TestBitmap d3(2, 20, 3, bottomUp, 100);
        CopyBmp32({0, 0, 2, 1}, {0, 0, 2, 1}, d3.Rows, img.Rows, TkvBack{}, false, 0x0000FF, 0, false);
        EXPECT_EQ(d3.Get(0, 0), 150u << 16 | 50u << 8 | 50u);

        // Reflection below R1: at most height div 2 - 1 = 4 rows, F 255, 204, ...
        TestBitmap d4(2, 20, 3, bottomUp, 100);
        for (int y = 0; y < 10; ++y)
            img.Set(0, y, 0x90000000u | Grey(y * 20));
        CopyBmp32({0, 0, 2, 10}, {0, 0, 2, 10}, d4.Rows, img.Rows, TkvBack{}, false, kvNoColor, 0, true);
        const auto over = [](int s, int d, int k) { return uint32_t(((s - d) * k + d * 256) >> 8); };
        const int a = 0x90;
        EXPECT_EQ(d4.Get(0, 11) & 0xFF, over(8 * 20, 100, 255 * (a / 3) / 255));
        EXPECT_EQ(d4.Get(0, 12) & 0xFF, over(7 * 20, 100, 204 * (a / 3) / 255));
        EXPECT_EQ(d4.Get(0, 14) & 0xFF, over(5 * 20, 100, 102 * (a / 3) / 255));
        EXPECT_EQ(d4.Get(0, 15), Grey(100));
        EXPECT_EQ(d4.Get(0, 10), Grey(100));
        EXPECT_TRUE(d4.GuardsIntact());
    }
}

TEST(Compose, RealFactorBlends)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap src(6, 1, 3, bottomUp), dst(6, 1, 3, bottomUp, 200);
        for (int x = 0; x < 6; ++x)
            src.Set(x, 0, Grey(100 + x));
        src.Set(4, 0, 0xFF00FF);
        // No key colour (top byte 255); X = -3 drops source columns 0..2.
        BlendTransRectangle(dst.Rows, -3, 0, src.Rows, {0, 0, 5, 0}, 0.5, int32_t(0xFF000000));
        EXPECT_EQ(dst.Get(0, 0), Grey(RoundEven(103 - 0.5 * (103 - 200))));  // 151.5 -> 152
        EXPECT_EQ(dst.Get(1, 0) & 0xFF00, uint32_t(RoundEven(0 - 0.5 * (0 - 200))) << 8);
        EXPECT_EQ(dst.Get(3, 0), Grey(200));

        TestBitmap d2(6, 1, 3, bottomUp, 200);
        BlendTransRectangle(d2.Rows, 0, 0, src.Rows, {0, 0, 5, 0}, 0.25, 0xFF00FF);
        EXPECT_EQ(d2.Get(4, 0), Grey(200));  // key pixel skipped
        EXPECT_EQ(d2.Get(1, 0), Grey(RoundEven(101 * 0.75 + 200 * 0.25)));

        TestBitmap b(2, 1, 4, bottomUp);
        b.Set(0, 0, 0x00FF00FF);
        b.Set(1, 0, 0x40646464);
        BlendTransBitmap(b.Rows, 0.5, 0x0000C8, 0xFF00FF);
        EXPECT_EQ(b.Get(0, 0), 0x00FF00FFu);
        EXPECT_EQ(b.Get(1, 0), 0x40963232u);  // red 200 + 0.5 * (100 - 200) = 150
    }
}

TEST(Compose, RotateBy90)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap s(3, 2, 3, bottomUp), cw(2, 3, 3, !bottomUp), ccw(2, 3, 3, bottomUp);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                s.Set(x, y, uint32_t(10 * x + y + 1));
        RotatePixels(s.Rows, cw.Rows, true);
        RotatePixels(s.Rows, ccw.Rows, false);
        EXPECT_EQ(cw.Get(1, 0), 1u);    // (0, 0) -> (H - 1 - 0, 0)
        EXPECT_EQ(cw.Get(0, 2), 22u);   // (2, 1) -> (0, 2)
        EXPECT_EQ(ccw.Get(0, 2), 1u);   // (0, 0) -> (0, W - 1)
        EXPECT_EQ(ccw.Get(1, 0), 22u);
    }
}

TEST(Compose, GradientBmpBandsLeftToRight)
{
    TestBitmap b(10, 2, 3, true);
    GradientBmp(b.Rows, {0, 0, 10, 2}, 0x000000, 0xFEFEFE, 1, 20, 20, 10);
    const uint32_t mid = Grey((0 * 127 + 0xFE * 129) >> 8);
    EXPECT_EQ(b.Get(0, 1), 0u);                  // Color1
    EXPECT_EQ(b.Get(1, 1), Grey(RoundEven(mid % 256 / 2.0)));
    EXPECT_EQ(b.Get(5, 0), b.Get(1, 0));         // plateau: the first band's last colour
    EXPECT_EQ(b.Get(8, 0), mid);                 // the second band starts at the middle
}

// Every routine, given rectangles and points far outside its bitmaps.
TEST(Compose, WildRectanglesNeverLeaveTheBitmaps)
{
    const TkvRect rects[] = {{-100, -100, 100, 100}, {5, 5, 200, 7}, {-9, 2, -1, 90}, {90, 90, 95, 95},
                             {3, 3, 1, 1}, {-1000000, 0, 1000000, 4},
                             // the limits of 32-bit integers: no sum on the way may overflow
                             {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                             {INT_MIN, 0, 3, 3}, {INT_MAX - 2, 1, INT_MAX, 4}, {2, INT_MIN + 1, 4, INT_MAX}};
    const TkvPoint points[] = {{-50, -50}, {6, 6}, {-3, 2}, {100, 0}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX},
                               {INT_MIN, 2}};
    for (bool bottomUp : RowOrders)
        for (const TkvRect& r : rects)
            for (const TkvPoint& p : points) {
                TestBitmap d24(7, 7, 3, bottomUp), d32(7, 7, 4, !bottomUp), s24(5, 6, 3, bottomUp),
                    s32(6, 5, 4, bottomUp), m(5, 6, 3, !bottomUp), back(4, 4, 3, bottomUp);
                s24.FillAll(0xFF00FF);
                s32.FillAll(0x00FF00FF);
                TkvBack ci = BackOf(back, p.X, p.Y);
                const std::function<void()> calls[] = {
                    [&] { SumBmpRect(d24.Rows, s24.Rows, 9, r, p); },
                    [&] { SumBmpRect(d32.Rows, s32.Rows, 9, r, p); },
                    [&] { SumByMask(d24.Rows, s24.Rows, m.Rows, r); },
                    [&] { SumByMaskWith32(d24.Rows, s32.Rows, m.Rows, r); },
                    [&] { CopyTransBitmaps(d32.Rows, s24.Rows, p.X, p.Y, 0); },
                    [&] { CopyTransRectA(d24.Rows, s24.Rows, p.X, p.Y, r, 0); },
                    [&] { CopyTransRect(d24.Rows, s24.Rows, p.X, p.Y, r, 0xFF00FF, ci, true, false); },
                    [&] { CopyTransRect(d32.Rows, s32.Rows, p.X, p.Y, r, 0xFF00FF, TkvBack{}, false, false); },
                    [&] { CopyRect(d24.Rows, s32.Rows, p.X, p.Y, r); },
                    [&] { CopyByMask(r, {p.X, p.Y, SaturateInt(p.X + 9LL), SaturateInt(p.Y + 9LL)}, d24.Rows, s24.Rows, ci, true); },
                    [&] { CopyByMask(r, {p.X, p.Y, 3, 3}, d32.Rows, s32.Rows, ci, true); },
                    [&] { CopyByMaskData(r, {p.X, p.Y, 4, 4}, d32.Rows, s24.Rows, ci, true, 40); },
                    [&] { CopyBmp32(r, {p.X, p.Y, 6, 5}, d24.Rows, s32.Rows, ci, true, 0x808080, 30, true); },
                    [&] { CopyBmp32(r, r, d32.Rows, s32.Rows, ci, false, kvNoColor, 130, true); },
                    [&] { CopyBmp32(r, r, d32.Rows, s32.Rows, ci, false, kvNoColor, -40, true); },
                    [&] { CopyBmp32(r, r, d24.Rows, s32.Rows, ci, true, kvNoColor, INT_MAX, true); },
                    [&] { CopyBmp32(r, r, d24.Rows, s32.Rows, ci, true, kvNoColor, INT_MIN, true); },
                    [&] { CopyByMaskData(r, {2, 2, 4, 4}, d24.Rows, s24.Rows, ci, false, INT_MAX); },
                    [&] { BlendTransRectangle(d32.Rows, p.X, p.Y, s24.Rows, r, 0.3, 0); },
                    [&] { GradientBmp(d24.Rows, r, 0, 0xFFFFFF, 2, 30, 30, 50); },
                    [&] { GradientBmp(d24.Rows, r, 0, 0xFFFFFF, 1, 30, INT_MIN, INT_MAX); },
                    [&] { BlendTransRectangle(d24.Rows, p.X, p.Y, s32.Rows, r, NAN, 0xFF000000); },
                };
                for (const auto& call : calls)
                    call();
                for (const TestBitmap* b : {&d24, &d32, &s24, &s32, &m, &back})
                    ASSERT_TRUE(b->GuardsIntact()) << r.Left << "," << r.Top << " " << p.X << "," << p.Y;
            }
}

// Halves go to the even neighbour, in the rounding helper and in what the
// blends write (a rule of halves rounded up gives 151 and 3 below).
TEST(Compose, HalvesRoundToEven)
{
    const struct {
        double X;
        int Rounded;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {150.5, 150}, {151.5, 152}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {254.5, 254}, {255.5, 256}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundEven(c.X), c.Rounded) << c.X;

    TestBitmap src(2, 1, 3, false), dst(2, 1, 3, false, 200);
    src.Set(0, 0, Grey(101));  // (101 + 200) / 2 = 150.5
    src.Set(1, 0, Grey(5));    // 5 * 0.5 + 0 * 0.5 = 2.5 on a black pixel
    dst.Set(1, 0, Grey(0));
    BlendTransRectangle(dst.Rows, 0, 0, src.Rows, {0, 0, 1, 0}, 0.5, int32_t(0xFF000000));
    EXPECT_EQ(dst.Get(0, 0), Grey(150));
    EXPECT_EQ(dst.Get(1, 0), Grey(2));
}

// Rectangles reaching past both bitmaps by the integer limits compose the
// same pixels as the rectangles cut by hand.
TEST(Compose, LimitRectanglesComposeWhatLiesInside)
{
    const TkvRect all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    auto source = [](TestBitmap& s) {
        for (int y = 0; y < s.Rows.Height; ++y)
            for (int x = 0; x < s.Rows.Width; ++x)
                s.Set(x, y, uint32_t(x * 40 + y) | uint32_t(x * 30 + y * 20) << 24);
    };
    TestBitmap s(5, 4, 4), a(5, 4, 3, false, 90), b(5, 4, 3, false, 90);
    source(s);
    CopyBmp32(all, all, a.Rows, s.Rows, TkvBack{}, false, kvNoColor, 0, false);
    CopyBmp32({0, 0, 5, 4}, {0, 0, 5, 4}, b.Rows, s.Rows, TkvBack{}, false, kvNoColor, 0, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(a.Get(x, y), b.Get(x, y)) << x << "," << y;
    EXPECT_NE(a.Get(4, 3), Grey(90));

    TestBitmap c(5, 4, 3, false, 90), e(5, 4, 3, false, 90);
    CopyRect(c.Rows, s.Rows, 0, 0, all);
    CopyRect(e.Rows, s.Rows, 0, 0, {0, 0, 4, 3});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(c.Get(x, y), e.Get(x, y)) << x << "," << y;
}

// The alpha-over loops go four or sixteen pixels at a time: every row
// length (so every tail), both destination formats, faded alphas, key
// pixels anywhere and a background behind them give what the per-pixel
// rule gives.
TEST(Compose, AlphaOverGroupsFollowThePixelRule)
{
    uint32_t seed = 7;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    const auto over = [](int s, int d, int k) { return uint8_t(((s - d) * k + d * 256) >> 8); };
    for (int db : {3, 4})
        for (int w = 1; w <= 70; ++w)
            for (int blend : {0, 37}) {
                TestBitmap src(w, 2, 4), dst(w, 2, db), want(w, 2, db), back(w + 3, 3, 3);
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t r = next();
                        // Mostly plain pixels, some whole keys, some key colours under another alpha.
                        src.Set(x, y, r % 23 == 0 ? 0x00FF00FFu : (r % 29 == 0 ? 0x40FF00FFu : next() * 2654435761u));
                        dst.Set(x, y, next() * 2246822519u);
                        want.Set(x, y, dst.Get(x, y));
                    }
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < w + 3; ++x)
                        back.Set(x, y, next());
                const TkvBack ci = BackOf(back, 2, 1);
                // The rule, pixel by pixel: key pixels take the background.
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint8_t* s = src.Rows.Pixel(x, y);
                        uint8_t* d = want.Rows.Pixel(x, y);
                        if (src.Get(x, y) == 0x00FF00FFu) {
                            std::copy_n(back.Rows.Pixel(x + 2, y + 1), 3, d);
                            continue;
                        }
                        const int k = blend == 0 ? s[3] : (100 - blend) * s[3] / 100;
                        for (int c = 0; c < 3; ++c)
                            d[c] = over(s[c], d[c], k);
                    }
                CopyBmp32({0, 0, w, 2}, {0, 0, w, 2}, dst.Rows, src.Rows, ci, true, kvNoColor, blend, false);
                for (int y = 0; y < 2; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(dst.Get(x, y), want.Get(x, y)) << db << " bytes, width " << w << ", blend " << blend
                                                                 << " at " << x << "," << y;
                ASSERT_TRUE(dst.GuardsIntact());
            }
}

// Every alpha under every fade: k = (100 - Blend) * A div 100 exactly.
TEST(Compose, FadedAlphaOfEveryAlphaAndFade)
{
    TestBitmap src(256, 1, 4);
    for (int a = 0; a < 256; ++a)
        src.Set(a, 0, uint32_t(a) << 24 | 0xFFFFFF);
    for (int blend = 0; blend <= 100; ++blend) {
        TestBitmap dst(256, 1, 4);
        CopyBmp32({0, 0, 256, 1}, {0, 0, 256, 1}, dst.Rows, src.Rows, TkvBack{}, false, kvNoColor, blend, false);
        for (int a = 0; a < 256; ++a) {
            const int k = blend == 0 ? a : (100 - blend) * a / 100;
            ASSERT_EQ(dst.Get(a, 0), uint32_t(255 * k >> 8) * 0x010101u) << "alpha " << a << ", blend " << blend;
        }
    }
}

// A 32-bit image through CopyByMask: its alpha is the mask, key colours
// (whatever their alpha) take the background, and a 32-bit destination
// becomes opaque; every row length.
TEST(Compose, CopyByMaskOf32BitImagesInGroups)
{
    uint32_t seed = 11;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 7; };
    for (int w = 1; w <= 40; ++w) {
        TestBitmap src(w, 1, 4), dst(w, 1, 4), want(w, 1, 4), back(w, 1, 3);
        for (int x = 0; x < w; ++x) {
            src.Set(x, 0, x % 7 == 3 ? (next() << 24 | 0xFF00FF) : next() * 2654435761u);
            dst.Set(x, 0, next() * 40503u);
            back.Set(x, 0, next());
            const uint8_t* s = src.Rows.Pixel(x, 0);
            uint32_t w0 = 0xFF000000u;
            for (int c = 0; c < 3; ++c) {
                const int d = int(dst.Get(x, 0) >> (8 * c) & 0xFF);
                const int v = x % 7 == 3 ? int(back.Get(x, 0) >> (8 * c) & 0xFF) : ((s[c] - d) * s[3] + d * 256) >> 8;
                w0 |= uint32_t(v) << (8 * c);
            }
            want.Set(x, 0, w0);
        }
        CopyByMask({0, 0, w, 1}, {0, 0, w, 1}, dst.Rows, src.Rows, BackOf(back, 0, 0), true);
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(dst.Get(x, 0), want.Get(x, 0)) << "width " << w << " at " << x;
    }
}
