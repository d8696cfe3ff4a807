// Gradient texts and painting, and textures tiled from skin images.
#include <gtest/gtest.h>

#include "PaintTestUtils.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sGraphUtils.h"

TEST(Gradient, ParsingTheGradientText)
{
    TsGradArray data;
    PrepareGradArray(L"1;2;3;4", data);
    EXPECT_TRUE(data.empty());
    PrepareGradArray(L"255;65280;150;1;7", data);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].Color1, 255);
    EXPECT_EQ(data[0].Color2, 65280);
    EXPECT_EQ(data[0].Percent, 100);
    EXPECT_EQ(data[0].Mode1, 1);
    EXPECT_EQ(data[0].Mode2, 0);
    PrepareGradArray(L";;-5;0;;-3;0;0;9;9", data);  // empty words do not count; a short tail is ignored
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].Color1, 0);
    EXPECT_EQ(data[0].Percent, 0);
    PrepareGradArray(L"16777215;12632256;50;0;0;12632256;8421504;50;0;0", data);
    EXPECT_EQ(data.size(), 2u);
    EXPECT_THROW(PrepareGradArray(L"1;2;x;4;5", data), EConvertError);
    // The fifth word of a piece and a short tail are not read.
    PrepareGradArray(L"1;2;3;4;x;5;6;7;8;y;z", data);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[1].Color1, 5);
    EXPECT_EQ(data[1].Mode1, 8);
    PrepareGradArray(L";;0x10;$20;;200; -4;0;;", data);  // hexadecimal, blanks before a number
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].Color1, 16);
    EXPECT_EQ(data[0].Color2, 32);
    EXPECT_EQ(data[0].Percent, 100);
    EXPECT_EQ(data[0].Mode1, -4);
    PrepareGradArray(L"", data);
    EXPECT_TRUE(data.empty());
}

TEST(Gradient, PaintingFromText)
{
    for (bool topDown : TopDownOrders) {
        TBitmapPtr b = MakeBmp(2, 11, 32, topDown);
        PaintGrad(b.get(), TRect(0, 0, 2, 11), L"0;6553600;100;0;0");  // black to blue 100
        EXPECT_EQ(PixelOf(b.get(), 0, 0), 0xFF000000u);
        EXPECT_EQ(PixelOf(b.get(), 1, 5), 0xFF000032u);  // blue 50 halfway
        EXPECT_EQ(PixelOf(b.get(), 1, 10), 0xFF000064u);
        // A rectangle past the bitmap is cut to it first: the gradient
        // spans the part that lies on the bitmap.
        const wchar_t* two = L"0;255;50;1;0;255;65280;50;1;0";
        TBitmapPtr whole = MakeBmp(2, 11, 32, topDown);
        PaintGrad(whole.get(), TRect(0, 0, 2, 11), two);
        PaintGrad(b.get(), TRect(-5, -5, 50, 50), two);
        ASSERT_NE(PixelOf(whole.get(), 0, 0), PixelOf(whole.get(), 1, 10)) << "a gradient, not one colour";
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 2; ++x)
                ASSERT_EQ(PixelOf(b.get(), x, y), PixelOf(whole.get(), x, y)) << x << "," << y;
    }
}

TEST(Gradient, TrianglesTakeTheLastPieceForMissingVertices)
{
    TBitmapPtr b = MakeBmp(40, 40, 24, false, 0);
    TsGradArray data;
    PrepareGradArray(L"255;0;0;2;0;65280;0;0;2;0;16711680;0;0;2;0", data);  // red, green, blue
    PaintGrad(b.get(), TRect(0, 0, 40, 40), data, 0, 0);
    if (!kvGradientFill)
        GTEST_SKIP() << "no GradientFill";
    const uint32_t bottomLeft = PixelOf(b.get(), 0, 39), bottomRight = PixelOf(b.get(), 39, 39);
    EXPECT_GT(int(bottomLeft & 0xFF), 200);        // blue
    EXPECT_LT(int(bottomLeft >> 16 & 0xFF), 40);   // no red
    EXPECT_GT(int(bottomRight & 0xFF), 200);
    EXPECT_GT(int(PixelOf(b.get(), 1, 0) >> 16 & 0xFF), 200);  // red top-left
}

namespace {

struct TTextureFixture : ::testing::Test {
    TTestManager Manager;
    TBitmapPtr Master = MakeBmp(40, 40, 24, false, 0x102030);
    TsMaskData Md;
    TTextureFixture()
    {
        Manager.Master = Master.get();
        Md.Manager = &Manager;
        Md.R = TRect(0, 0, 20, 10);
        Md.ImageCount = 1;
    }
};

} // namespace

TEST_F(TTextureFixture, FillModesLeaveTheirRest)
{
    struct Case { TkvFillMode mode; TRect left; };
    const TRect all(10, 5, 110, 55);  // 100 x 50, image 20 x 10
    const Case cases[] = {
        {fmTiled, TRect(-1, -1, -1, -1)},          {fmStretched, TRect(-1, -1, -1, -1)},
        {fmTiledHorz, TRect(10, 15, 110, 55)},      {fmTiledVert, TRect(30, 5, 110, 55)},
        {fmStretchHorz, TRect(10, 15, 110, 55)},    {fmStretchVert, TRect(30, 5, 110, 55)},
        {fmTileHorBtm, TRect(10, 5, 110, 45)},      {fmTileVertRight, TRect(10, 5, 90, 55)},
        {fmDisTiled, TRect(-1, -1, -1, -1)},        {fmDiscVertRight, TRect(90, 5, 110, 55)},
    };
    for (const Case& c : cases) {
        TBitmapPtr b = MakeBmp(120, 60, 24, false, 0);
        TRect r = all;
        TileBitmap(b->Canvas(), r, nullptr, Md, c.mode);
        EXPECT_EQ(r, c.left) << c.mode;
        const int probeY = c.mode == fmTileHorBtm ? 50 : 5;  // that mode paints the bottom row only
        EXPECT_EQ(PixelOf(b.get(), 10, probeY), 0x102030u) << c.mode;
    }
    // Tiling covers the area to its last pixel.
    TBitmapPtr b = MakeBmp(120, 60, 24, false, 0);
    TRect r = all;
    TileBitmap(b->Canvas(), r, nullptr, Md, fmTiled);
    EXPECT_EQ(PixelOf(b.get(), 109, 54), 0x102030u);
    EXPECT_EQ(PixelOf(b.get(), 110, 55), 0u);
}

TEST_F(TTextureFixture, EmptyImagesAndGraphicsPaintNothing)
{
    TBitmapPtr b = MakeBmp(50, 50, 24, false, 0);
    TRect r(0, 0, 50, 50);
    Md.R = TRect(5, 5, 5, 9);  // no width: would never advance
    TileBitmap(b->Canvas(), r, nullptr, Md, fmTiled);
    EXPECT_EQ(r, TRect(0, 0, 50, 50));
    TBitmapPtr none(New<TBitmap>());
    TileBitmap(b->Canvas(), TRect(0, 0, 50, 50), none.get());
    Md.ImageCount = 0;
    TileMasked(b.get(), r, EmptyCI, Md, fmTiled);
    EXPECT_EQ(PixelOf(b.get(), 10, 10), 0u);

    // A graphic of its own is tiled whole, whatever the mode.
    TBitmapPtr tile = MakeBmp(7, 7, 24, false, 0x0000FF);
    TileBitmap(b->Canvas(), r, tile.get(), Md, fmTiledVert);
    EXPECT_EQ(r, TRect(-1, -1, -1, -1));
    EXPECT_EQ(PixelOf(b.get(), 49, 49), 0x0000FFu);
}

TEST_F(TTextureFixture, MaskedTilesAndTheirStrips)
{
    // Frame 0 of a 20 x 20 image with a black mask below: the picture itself.
    Md.R = TRect(0, 0, 20, 20);
    for (int y = 10; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            SetPixelOf(Master.get(), x, y, 0);
    TBitmapPtr b = MakeBmp(50, 25, 24, false, 0x777777);
    TRect r(0, 0, 50, 25);
    TileMasked(b.get(), r, EmptyCI, Md, fmStretched);
    EXPECT_EQ(r, TRect(0, 0, 50, 25));
    TCacheInfo fill = EmptyCI;
    fill.FillColor = 0x0000FF;
    TileMasked(b.get(), r, fill, Md, fmDisTiled);
    EXPECT_EQ(r, TRect(-1, -1, -1, -1));
    EXPECT_EQ(PixelOf(b.get(), 0, 0), 0x102030u);
    EXPECT_EQ(PixelOf(b.get(), 39, 19), 0x102030u);   // whole cells only
    EXPECT_EQ(PixelOf(b.get(), 45, 5), 0xFF0000u);    // right strip: the fill colour
    EXPECT_EQ(PixelOf(b.get(), 5, 22), 0xFF0000u);    // bottom strip
}
