// The Gaussian blur and the glow blend of captions.
#include <gtest/gtest.h>

#include <climits>

#include <cmath>
#include <vector>

#include "PaintFixture.h"
#include "skin/paint/sGraphUtils_Blur.h"

using namespace kvPaint;

namespace {

// A direct double-precision blur of one channel with the same kernel, edge
// pixels repeated: the reference the separable loops must match.
std::vector<double> ReferenceLine(const TKernel& k, const std::vector<double>& in)
{
    const int n = int(in.size());
    std::vector<double> out(in.size());
    for (int i = 0; i < n; ++i) {
        double s = 0;
        for (int j = -k.Size; j <= k.Size; ++j)
            s += k.Weight(j) * in[std::size_t(std::clamp(i - j, 0, n - 1))];
        out[std::size_t(i)] = s;
    }
    return out;
}

uint8_t Noise(int x, int y, int c) { return uint8_t((x * 73 + y * 151 + c * 29 + x * y * 7) % 256); }

} // namespace

TEST(Blur, KernelSizes)
{
    const std::pair<double, int> cases[] = {{1, 2}, {2, 5}, {3, 8}, {5, 14}, {0.2, 1}};
    for (auto [radius, size] : cases) {
        const TKernel k = BuildBlurKernel(radius);
        EXPECT_EQ(k.Size, size) << radius;
        double sum = 0;
        for (int j = -k.Size; j <= k.Size; ++j)
            sum += k.Weight(j);
        EXPECT_NEAR(sum, 1.0, 1e-6);
        EXPECT_FLOAT_EQ(k.Weight(-1), k.Weight(1));
    }
}

TEST(Blur, Limits)
{
    EXPECT_EQ(LimitReal(0, 255, 255.0), 255);
    EXPECT_EQ(LimitReal(0, 255, -0.5), 0);
    EXPECT_EQ(LimitReal(0, 255, 254.9), 254);
    EXPECT_EQ(LimitReal(0, 255, 1e9), 255);
    EXPECT_EQ(LimitInt(0, 9, -3), 0);
    EXPECT_EQ(LimitInt(0, 9, 12), 9);
    EXPECT_EQ(LimitInt(0, 9, 4), 4);
}

TEST(Blur, MatchesAReferenceOnSmallImages)
{
    for (int bpp : {1, 3})
        for (bool bottomUp : RowOrders)
            for (double radius : {1.0, 2.5}) {
                const int w = 9, h = 7;
                TestBitmap b(w, h, bpp, bottomUp);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        for (int c = 0; c < bpp; ++c)
                            b.Rows.Pixel(x, y)[c] = Noise(x, y, c);
                Blur(b.Rows, radius);
                const TKernel k = BuildBlurKernel(radius);
                for (int c = 0; c < bpp; ++c) {
                    // Rows first, each stored as a byte, then columns.
                    std::vector<std::vector<double>> rows(static_cast<std::size_t>(h), std::vector<double>(static_cast<std::size_t>(w)));
                    for (int y = 0; y < h; ++y) {
                        std::vector<double> line(static_cast<std::size_t>(w));
                        for (int x = 0; x < w; ++x)
                            line[std::size_t(x)] = Noise(x, y, c);
                        const std::vector<double> r = ReferenceLine(k, line);
                        for (int x = 0; x < w; ++x)
                            rows[std::size_t(y)][std::size_t(x)] = std::floor(r[std::size_t(x)] + 1e-4);
                    }
                    for (int x = 0; x < w; ++x) {
                        std::vector<double> col(static_cast<std::size_t>(h));
                        for (int y = 0; y < h; ++y)
                            col[std::size_t(y)] = rows[std::size_t(y)][std::size_t(x)];
                        const std::vector<double> r = ReferenceLine(k, col);
                        for (int y = 0; y < h; ++y)
                            ASSERT_NEAR(b.Rows.Pixel(x, y)[c], r[std::size_t(y)], 1.0)
                                << "bpp " << bpp << " radius " << radius << " at " << x << "," << y;
                    }
                }
                EXPECT_TRUE(b.GuardsIntact());
            }
}

TEST(Blur, FlatImagesStayFlatAndEdgesSpread)
{
    // The weights sum to 1 only up to single-precision rounding; a plain
    // truncation would darken flat areas by one step at radii such as 1.25.
    for (int v = 0; v < 256; ++v) {
        TestBitmap b(12, 12, 1, true, uint8_t(v));
        Blur(b.Rows, 1.25);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(b.Get(x, y), uint32_t(v)) << v;
    }
    // One black dot on white: darker at the dot, lighter away from it, white far off.
    TestBitmap d(21, 21, 1, false, 255);
    d.Set(10, 10, 0);
    Blur(d.Rows, 1);
    EXPECT_LT(d.Get(10, 10), d.Get(11, 10));
    EXPECT_LT(d.Get(11, 10), 255u);
    EXPECT_EQ(d.Get(0, 0), 255u);
}

TEST(Blur, OtherFormatsAndRadiiChangeNothing)
{
    TestBitmap b32(4, 4, 4, false, 0);
    b32.Set(1, 1, 0xFFFFFFFF);
    Blur(b32.Rows, 2);
    EXPECT_EQ(b32.Get(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(b32.Get(0, 0), 0u);
    TestBitmap b8(4, 4, 1, false, 0);
    b8.Set(1, 1, 255);
    Blur(b8.Rows, 0);
    Blur(b8.Rows, -1);
    Blur(b8.Rows, std::nan(""));
    EXPECT_EQ(b8.Get(1, 1), 255u);
    EXPECT_EQ(b8.Get(0, 0), 0u);
}

TEST(Blur, GlowBlend)
{
    for (int bpp : {3, 4}) {
        TestBitmap dst(4, 4, bpp, true, 200);
        TestBitmap mask(3, 3, 1, false, 255);
        mask.Set(0, 0, 0);
        mask.Set(1, 0, 128);
        // Colour 0x0000FF (red) as TColor; mask placed at (-1, 1).
        BlendGlow(dst.Rows, mask.Rows, -1, 1, 0x0000FF);
        // Mask (1, 0) -> destination (0, 1): C + (c - C) * 128 / 255.
        const uint32_t got = dst.Get(0, 1);
        EXPECT_EQ(got & 0xFF, uint32_t((200 * 128) / 255)) << "blue";
        EXPECT_EQ((got >> 16) & 0xFF, uint32_t(255 + (200 - 255) * 128 / 255)) << "red";
        if (bpp == 4) {
            EXPECT_EQ(got >> 24, uint32_t(200 + 128 - 255));
        }
        // Mask bytes of 255 leave the pixel alone; mask (0, 0) lies outside.
        EXPECT_EQ(dst.Get(1, 1), bpp == 3 ? 0xC8C8C8u : 0xC8C8C8C8u);
        EXPECT_TRUE(dst.GuardsIntact());
    }
    // A mask placed at the int limits touches nothing.
    TestBitmap far(2, 2, 3, false, 9), dark(3, 3, 1, false, 0);
    for (const auto& at : {std::pair{INT_MIN, INT_MIN}, std::pair{INT_MAX, 0}, std::pair{0, INT_MAX}})
        BlendGlow(far.Rows, dark.Rows, at.first, at.second, 0xFFFFFF);
    EXPECT_EQ(far.Get(1, 1), 0x090909u);
    // Full mask strength: the pure colour, alpha to 0.
    TestBitmap d32(1, 1, 4, false, 77);
    TestBitmap m(1, 1, 1, false, 0);
    BlendGlow(d32.Rows, m.Rows, 0, 0, 0x123456);
    EXPECT_EQ(d32.Get(0, 0), 0x00563412u);
}

// The glow rule for every destination byte, mask byte and colour channel,
// by the arithmetic and by the tables: each byte becomes
// C + (c - C) * m / 255, truncated toward zero.
TEST(Blur, GlowBlendOfEveryByte)
{
    TestBitmap mask(256, 1, 1);
    for (int C = 0; C < 256; ++C) {
        const TGlowTable table = MakeGlowTable(C);
        const TGlowTable* tables[3] = {&table, &table, &table};
        for (int m = 0; m < 256; ++m) {
            TestBitmap dst(256, 1, 3), byTable(256, 1, 3);
            for (int x = 0; x < 256; ++x) {
                dst.Set(x, 0, uint32_t(x) * 0x010101u);
                byTable.Set(x, 0, uint32_t(x) * 0x010101u);
                mask.Set(x, 0, uint32_t(m));
            }
            BlendGlow(dst.Rows, mask.Rows, 0, 0, C * 0x010101);
            BlendGlow(byTable.Rows, mask.Rows, 0, 0, tables);
            for (int c = 0; c < 256; ++c) {
                const int x = c;
                const uint32_t want = uint32_t(C + (c - C) * m / 255) * 0x010101u;
                ASSERT_EQ(dst.Get(x, 0), want) << "c " << c << ", C " << C << ", m " << m;
                ASSERT_EQ(byTable.Get(x, 0), want) << "by table: c " << c << ", C " << C << ", m " << m;
            }
        }
    }
}
