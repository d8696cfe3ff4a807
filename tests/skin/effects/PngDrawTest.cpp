// The PNG picture drawn over a canvas with its alpha (same size, scaled,
// mirrored), icons made of pictures, and the clean-up of transparent white.
#include <gtest/gtest.h>

#include "classlib/graphics/GdiHandles.h"
#include "skin/paint/kvPNG_Draw.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

const Px kBg = Rgb(0, 0, 200);
const Px kRed = Rgb(255, 0, 0);

// Left half opaque red, right half transparent; 8 x 4.
std::unique_ptr<TPNGGraphic> HalfRed()
{
    return LoadPng(loadtest::PngBytes(8, 4, [](int x, int) { return x < 4 ? Rgb(255, 0, 0, 255) : Rgb(0, 255, 0, 0); }));
}

} // namespace

TEST(PngDraw, SameSizeBlendsByAlphaAndMirrorsBelowWhenReflected)
{
    for (bool reflected : {false, true}) {
        auto png = HalfRed();
        png->Reflected = reflected;
        auto canvas = loadtest::Solid(20, 20, kBg);
        canvas->Canvas()->Draw(2, 2, png.get());
        EXPECT_TRUE(Near(PixelOf(canvas.get(), 3, 3), kRed));
        EXPECT_EQ(PixelOf(canvas.get(), 8, 3), kBg) << "transparent pixels keep the background";
        // The band of H / 2 rows under the picture holds the mirror only when reflected.
        bool mirrored = false;
        for (int y = 6; y < 8; ++y)
            mirrored = mirrored || PixelOf(canvas.get(), 3, y) != kBg;
        EXPECT_EQ(mirrored, reflected);
        EXPECT_EQ(PixelOf(canvas.get(), 3, 8), kBg) << "nothing below the band";
        EXPECT_EQ(PixelOf(canvas.get(), 8, 6), kBg);
    }
}

TEST(PngDraw, ScaledPictureKeepsItsAlphaAndHasNoMirror)
{
    auto png = HalfRed();
    png->Reflected = true;
    auto canvas = loadtest::Solid(40, 40, kBg);
    canvas->Canvas()->StretchDraw(TRect(0, 0, 16, 8), png.get());
    EXPECT_TRUE(Near(PixelOf(canvas.get(), 2, 4), kRed));
    EXPECT_TRUE(Near(PixelOf(canvas.get(), 14, 4), kBg));
    EXPECT_EQ(PixelOf(canvas.get(), 2, 10), kBg);
}

// Shrunk, the red half's edge mixes with the background only: the green of
// the transparent half is not pulled in.
TEST(PngDraw, ScaledEdgesTakeNoColourFromTransparentPixels)
{
    auto png = HalfRed();
    for (const TRect& r : {TRect(0, 0, 3, 2), TRect(0, 0, 5, 3), TRect(0, 0, 13, 7)}) {
        auto canvas = loadtest::Solid(20, 20, kBg);
        canvas->Canvas()->StretchDraw(r, png.get());
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x)
                EXPECT_LE(PixelOf(canvas.get(), x, y).G, 1) << r.Width() << ": " << x << "," << y;
    }
}

TEST(PngDraw, PictureWithoutAlphaDrawsAsAPlainBitmap)
{
    auto png = LoadPng(RgbPngBytes(4, 4, [](int, int) { return Rgb(10, 20, 30, 0); }));
    ASSERT_EQ(png->PixelFormat(), pf24bit);
    png->Reflected = true;
    auto canvas = loadtest::Solid(10, 10, kBg);
    canvas->Canvas()->Draw(1, 1, png.get());
    EXPECT_EQ(PixelOf(canvas.get(), 2, 2), Rgb(10, 20, 30));
    EXPECT_EQ(PixelOf(canvas.get(), 2, 6), kBg);
}

TEST(PngIcons, MakeIcon32CutsTheCornerColourOutOfA24BitBitmap)
{
    const Px magenta = Rgb(255, 0, 255);
    auto bmp = loadtest::MakeBitmap(4, 4, pf24bit, [&](int x, int) { return x < 2 ? magenta : Rgb(0, 128, 0); });
    IconHandle icon(MakeIcon32(bmp.get()));
    ASSERT_TRUE(icon);
    EXPECT_EQ(bmp->PixelFormat(), pf32bit) << "the source is converted";
    const Px white = Rgb(255, 255, 255);
    EXPECT_EQ(IconPixel(icon.Get(), 4, 4, 0, 0, white), white);
    EXPECT_EQ(IconPixel(icon.Get(), 4, 4, 3, 3, white), Rgb(0, 128, 0));
}

TEST(PngIcons, MakeIcon32KeepsThe32BitAlpha)
{
    auto png = HalfRed();
    IconHandle icon(MakeIcon32(png.get()));
    ASSERT_TRUE(icon);
    EXPECT_EQ(IconPixel(icon.Get(), 8, 4, 1, 1, kBg), kRed);
    EXPECT_EQ(IconPixel(icon.Get(), 8, 4, 6, 1, kBg), kBg);
}

TEST(PngIcons, MakeCompIconKeepsAlphaAndDrawsTinyPicturesOverTheBackground)
{
    auto png = HalfRed();
    IconHandle icon(MakeCompIcon(png.get(), clWhite));
    ASSERT_TRUE(icon);
    EXPECT_EQ(IconPixel(icon.Get(), 8, 4, 1, 1, kBg), kRed);
    EXPECT_EQ(IconPixel(icon.Get(), 8, 4, 6, 1, kBg), kBg);

    auto tiny = LoadPng(loadtest::PngBytes(1, 1, [](int, int) { return Rgb(0, 0, 0, 0); }));
    IconHandle opaque(MakeCompIcon(tiny.get(), TColor(0x00FF00)));  // green
    ASSERT_TRUE(opaque);
    EXPECT_EQ(IconPixel(opaque.Get(), 1, 1, 0, 0, kBg), Rgb(0, 255, 0));
}

TEST(PngIcons, EmptyPicturesGiveNoIcon)
{
    TBitmap empty;
    EXPECT_EQ(MakeIcon32(&empty), nullptr);
    EXPECT_EQ(MakeIcon32(nullptr), nullptr);
    TPNGGraphic none;
    EXPECT_EQ(MakeCompIcon(&none, clWhite), nullptr);
}

TEST(PngIcons, UpdateTransPixelsClearsOnlyFullyTransparentWhite)
{
    struct Case {
        Px In, Out;
    } cases[] = {
        {Rgb(255, 255, 255, 0), Rgb(0, 0, 0, 0)},
        {Rgb(255, 255, 255, 1), Rgb(255, 255, 255, 1)},
        {Rgb(254, 255, 255, 0), Rgb(254, 255, 255, 0)},
        {Rgb(255, 255, 255, 255), Rgb(255, 255, 255, 255)},
    };
    for (const Case& c : cases) {
        auto bmp = loadtest::Solid(2, 2, c.In, pf32bit);
        UpdateTransPixels(bmp.get());
        EXPECT_EQ(PixelOf(bmp.get(), 1, 1), c.Out);
    }
    auto rgb = loadtest::Solid(2, 2, Rgb(255, 255, 255), pf24bit);
    UpdateTransPixels(rgb.get());
    EXPECT_EQ(PixelOf(rgb.get(), 0, 0), Rgb(255, 255, 255));
}

TEST(PngIcons, DrawingAndIconsLeakNoGdiObjects)
{
    auto png = HalfRed();
    png->Reflected = true;
    auto canvas = loadtest::Solid(20, 20, kBg);
    auto round = [&] {
        canvas->Canvas()->Draw(0, 0, png.get());
        canvas->Canvas()->StretchDraw(TRect(0, 0, 12, 6), png.get());
        IconHandle a(MakeCompIcon(png.get(), clWhite));
        IconHandle b(MakeIcon32(png.get()));
    };
    round();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 200; ++i)
        round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
