// Pixel loops of the skin-mask renderer: glyphs through their masks, border
// pieces with key-colour holes, corner repair and key-colour runs.
#include <gtest/gtest.h>

#include <climits>

#include "PaintFixture.h"
#include "skin/paint/sAlphaGraph_Masks.h"
#include "skin/paint/sAlphaGraph_Pieces.h"
#include "skin/paint/sGraphUtils_Compose.h"

using namespace kvPaint;

namespace {

constexpr uint32_t Key = 0xFF00FF;  // memory order B, G, R: FF 00 FF

uint32_t Grey(int v) { return uint32_t(v) * 0x010101u; }

// A 24-bit skin image W x 2H: picture rows 0..H-1 filled with Picture,
// mask rows H..2H-1 with Mask.
void FillImage(TestBitmap& Img, int H, uint32_t Picture, uint32_t Mask)
{
    for (int y = 0; y < 2 * H; ++y)
        for (int x = 0; x < Img.Rows.Width; ++x)
            Img.Set(x, y, y < H ? Picture : Mask);
}

int Mix(int d, int s, int m) { return ((d - s) * m + s * 256) >> 8; }

} // namespace

TEST(Masks, BlendGlyphMixesThroughTheMaskAndSkipsKeyPixels)
{
    for (bool bottomUp : RowOrders)
        for (int bpp : {3, 4}) {
            TestBitmap img(4, 6, 3, bottomUp);
            FillImage(img, 3, Grey(200), Grey(100));
            img.Set(1, 0, Key);
            TestBitmap dst(5, 5, bpp, !bottomUp, 40);
            BlendGlyph(dst.Rows, 1, 1, img.Rows, 0, 0, 4, 3, 3, false);
            EXPECT_EQ(dst.Get(1, 1) & 0xFF, uint32_t(Mix(40, 200, 100)));
            EXPECT_EQ(dst.Get(2, 1), bpp == 3 ? Grey(40) : 0x28282828u) << "key pixel left alone";
            EXPECT_EQ(dst.Get(0, 0), bpp == 3 ? Grey(40) : 0x28282828u);
            if (bpp == 4) {
                EXPECT_EQ(dst.Get(1, 1) >> 24, 255u);
            }
            // Faint: every mask byte raised by 100.
            TestBitmap faint(5, 5, bpp, bottomUp, 40);
            BlendGlyph(faint.Rows, 1, 1, img.Rows, 0, 0, 4, 3, 3, true);
            EXPECT_EQ(faint.Get(1, 1) & 0xFF, uint32_t(Mix(40, 200, 200)));
            EXPECT_TRUE(dst.GuardsIntact());
            EXPECT_TRUE(faint.GuardsIntact());
        }
}

TEST(Masks, BlendGlyphCutsAtEveryEdge)
{
    TestBitmap img(4, 6, 3);
    FillImage(img, 3, Grey(0), Grey(0));
    for (int c = 0; c < 4; ++c)
        img.Set(c, 0, uint32_t(c + 1));
    // A negative destination column drops the first source columns.
    TestBitmap dst(3, 3, 3, false, 9);
    BlendGlyph(dst.Rows, -3, 0, img.Rows, 0, 0, 4, 3, 3, false);
    EXPECT_EQ(dst.Get(0, 0), 4u);
    EXPECT_EQ(dst.Get(1, 0), Grey(9));
    // Past the destination's right and bottom, and a mask that would run
    // past the image's bottom: nothing outside is touched.
    TestBitmap small(2, 2, 4, true, 9);
    BlendGlyph(small.Rows, 1, 1, img.Rows, 0, 0, 4, 3, 3, false);
    BlendGlyph(small.Rows, 0, 0, img.Rows, 0, 2, 4, 3, 3, false);
    EXPECT_TRUE(small.GuardsIntact());
    EXPECT_EQ(small.Get(0, 0), 0xFF000000u | 0u) << "row 2 of the picture with its mask on row 5";
}

TEST(Masks, CopyPieceCollectsKeyRuns)
{
    TestBitmap img(6, 4, 3, true, 0x30);
    // First row: two key pixels, then opaque ones; second row ends in a run.
    img.Set(0, 0, Key);
    img.Set(1, 0, Key);
    img.Set(4, 1, Key);
    img.Set(5, 1, Key);
    TestBitmap dst(10, 10, 3, false, 0x77);
    std::vector<TKeyRun> holes;
    CopyPiece(dst.Rows, 2, 3, img.Rows, 0, 0, 6, 2, 0, true, &holes);
    ASSERT_EQ(holes.size(), 2u);
    EXPECT_EQ(holes[0].X, 2);
    EXPECT_EQ(holes[0].Y, 3);
    EXPECT_EQ(holes[0].Length, 2);
    EXPECT_EQ(holes[1].X, 6);
    EXPECT_EQ(holes[1].Y, 4);
    EXPECT_EQ(holes[1].Length, 2);
    EXPECT_EQ(dst.Get(2, 3), Grey(0x77)) << "holes are not drawn";
    EXPECT_EQ(dst.Get(4, 3), Grey(0x30));
    // Without the key test every pixel is drawn.
    CopyPiece(dst.Rows, 2, 3, img.Rows, 0, 0, 6, 2, 0, false, nullptr);
    EXPECT_EQ(dst.Get(2, 3), Key);
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST(Masks, CopyPieceThroughAMask)
{
    TestBitmap img(3, 4, 3);
    FillImage(img, 2, Grey(200), Grey(64));
    TestBitmap dst(3, 3, 3, true, 100);
    CopyPiece(dst.Rows, 0, 0, img.Rows, 0, 0, 3, 2, 2, false, nullptr);
    EXPECT_EQ(dst.Get(2, 1), Grey(Mix(100, 200, 64)));
    EXPECT_EQ(dst.Get(2, 2), Grey(100));
    // A 32-bit destination is not a border cache: nothing.
    TestBitmap d32(3, 3, 4, false, 1);
    CopyPiece(d32.Rows, 0, 0, img.Rows, 0, 0, 3, 2, 2, false, nullptr);
    EXPECT_EQ(d32.Get(0, 0), 0x01010101u);
}

TEST(Masks, RepairCornerFromTheBackground)
{
    for (bool bottomUp : RowOrders) {
        TestBitmap img(3, 2, 3, bottomUp, 0x11);
        img.Set(0, 0, Key);
        img.Set(1, 0, Key);
        img.Set(2, 0, Key);
        img.Set(0, 1, Key);
        TestBitmap back(5, 5, 3, !bottomUp);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                back.Set(x, y, uint32_t(x << 4 | y));
        TestBitmap cache(4, 4, 3, bottomUp, 0xEE);
        TkvBack b;
        b.Bmp = back.Rows;
        b.X = 2;
        b.Y = 1;
        b.Ready = true;
        RepairCorner(cache.Rows, 1, 0, img.Rows, 0, 0, 3, 2, b);
        EXPECT_EQ(cache.Get(1, 0), uint32_t(3 << 4 | 1));
        EXPECT_EQ(cache.Get(2, 0), uint32_t(4 << 4 | 1));
        // Column 3 + 2 lies past the background's right edge: the row ends.
        EXPECT_EQ(cache.Get(3, 0), Grey(0xEE));
        EXPECT_EQ(cache.Get(1, 1), uint32_t(3 << 4 | 2));
        EXPECT_EQ(cache.Get(2, 1), Grey(0xEE)) << "opaque image pixel";
        // Without a background bitmap: the fill colour (TColor order).
        TkvBack fill;
        fill.FillColor = 0x0000FF;
        RepairCorner(cache.Rows, 0, 2, img.Rows, 0, 0, 3, 2, fill);
        EXPECT_EQ(cache.Get(0, 2), 0xFF0000u);
        EXPECT_TRUE(cache.GuardsIntact());
    }
}

TEST(Masks, KeyRunsRowByRow)
{
    TestBitmap b(5, 2, 3, true, 0);
    b.Set(0, 0, Key);
    b.Set(1, 0, Key);
    b.Set(3, 0, Key);
    b.Set(4, 1, Key);
    const std::vector<TKeyRun> runs = KeyRuns(b.Rows, {0, 0, 5, 2}, 0xFF00FF);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Length, 2);
    EXPECT_EQ(runs[1].X, 3);
    EXPECT_EQ(runs[1].Length, 1);
    EXPECT_EQ(runs[2].X, 4);
    EXPECT_EQ(runs[2].Y, 1);
    // Cut to the area; a key with a top byte matches nothing.
    EXPECT_EQ(KeyRuns(b.Rows, {1, 0, 3, 1}, 0xFF00FF).size(), 1u);
    EXPECT_TRUE(KeyRuns(b.Rows, {0, 0, 5, 2}, 0x01FF00FF).empty());
    EXPECT_TRUE(KeyRuns(b.Rows, {-5, -5, 50, 50}, 0xFF00FF).size() == 3);
}

namespace {

// The single masked copies of a tiling, the way the border painter made them.
class TCopySink : public TPieceSink {
public:
    const TBitmapRows& Dst;
    const TBitmapRows& Src;
    int MaskHeight;
    TCopySink(const TBitmapRows& D, const TBitmapRows& S, int M) : Dst(D), Src(S), MaskHeight(M) {}
    void Copy(TPiece, const TkvRect& D, const TkvRect& S, bool) override
    {
        CopyByMaskData(D, S, Dst, Src, TkvBack{}, false, MaskHeight);
    }
};

} // namespace

TEST(Masks, TileByMaskEqualsOneCopyPerTile)
{
    // A 5 x 3 picture of varied pixels (one key pixel) over its mask.
    TestBitmap img(7, 8, 3, true);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 7; ++x)
            img.Set(x, y, uint32_t(x * 37 + y * 53) * 0x010203u & 0xFFFFFF);
    img.Set(2, 1, Key);
    for (bool bottomUp : RowOrders)
        for (int bpp : {3, 4})
            for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {5, 3}}) {
                TestBitmap one(23, 13, bpp, bottomUp, 90), tiled(23, 13, bpp, bottomUp, 90);
                const TkvRect area{2, 1, 21, 12};
                TCopySink sink(one.Rows, img.Rows, 8);
                TileArea(TPiece::Center, area, {1, 1}, w, h, sink);
                ASSERT_TRUE(TileByMask(tiled.Rows, area, img.Rows, 1, 1, w, h, 4));
                for (int y = 0; y < 13; ++y)
                    for (int x = 0; x < 23; ++x)
                        ASSERT_EQ(tiled.Get(x, y), one.Get(x, y)) << w << "x" << h << " at " << x << "," << y;
            }
    // Outside either bitmap: nothing drawn, the single copies take over.
    TestBitmap dst(10, 10, 3, true, 90);
    EXPECT_FALSE(TileByMask(dst.Rows, {0, 0, 11, 5}, img.Rows, 0, 0, 2, 2, 4));
    EXPECT_FALSE(TileByMask(dst.Rows, {0, 0, 5, 5}, img.Rows, 0, 3, 2, 2, 4)) << "mask past the image";
    EXPECT_EQ(dst.Get(0, 0), Grey(90));
}

// Origins, sizes and mask offsets anywhere in the range of int: the loops
// cut what they were given without an overflow on the way.
TEST(Masks, LoopsTakeAnyInteger)
{
    const int values[] = {INT_MIN, -5, 0, 2, INT_MAX - 1, INT_MAX};
    for (int a : values)
        for (int b : values)
            for (int c : values) {
                TestBitmap dst(6, 6, 3), img(5, 10, 3);
                FillImage(img, 5, Key, Grey(40));
                TkvBack back;
                back.Bmp = dst.Rows;
                back.Ready = true;
                back.X = a;
                back.Y = c;
                std::vector<TKeyRun> holes;
                BlendGlyph(dst.Rows, a, b, img.Rows, c, a, b, c, a, true);
                TileByMask(dst.Rows, {0, 0, 6, 6}, img.Rows, a, b, c, a, b);
                CopyPiece(dst.Rows, a, b, img.Rows, c, a, b, c, 0, true, &holes);
                CopyPiece(dst.Rows, a, b, img.Rows, 1, 1, c, c, 5, false, nullptr);
                RepairCorner(dst.Rows, a, b, img.Rows, 0, 0, 3, 3, back);
                RepairCorner(dst.Rows, 0, 0, img.Rows, a, b, c, c, back);
                ASSERT_TRUE(dst.GuardsIntact()) << a << " " << b << " " << c;
                ASSERT_TRUE(img.GuardsIntact()) << a << " " << b << " " << c;
            }
}
