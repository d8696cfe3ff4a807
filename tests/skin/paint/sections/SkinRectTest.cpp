// Nine-piece borders, glyphs and masked copies from known skin images:
// corners, tiled and stretched sides, state frames and draw modes, for
// key-colour images and images with a mask.
#include <gtest/gtest.h>

#include "../PaintTestUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr int FW = 9, FH = 9, Frames = 3;

// The source pixel at frame column x, row y of frame f: red = f * 20 + x,
// green = y, blue 0x40 (never the key colour).  Memory order B, G, R.
uint32_t Code(int f, int x, int y)
{
    return 0x40u | uint32_t(y) << 8 | uint32_t(f * 20 + x) << 16;
}

// A master image with one border image at (2, 1): three 9 x 9 frames with
// borders 3 (left), 2 (top), 4 (right), 3 (bottom), and for MaskType 1 an
// all-zero mask below (the mixed copy is then the source itself).
struct TSkinImage {
    TTestManager Manager;
    TBitmapPtr Master;
    TsMaskData Md;

    explicit TSkinImage(int MaskType, int DrawMode = 0)
    {
        Master = MakeBmp(2 + FW * Frames + 3, 1 + FH * (MaskType + 1) + 2, 24, false, 0x000000);
        for (int f = 0; f < Frames; ++f)
            for (int y = 0; y < FH; ++y)
                for (int x = 0; x < FW; ++x)
                    SetPixelOf(Master.get(), 2 + f * FW + x, 1 + y, Code(f, x, y));
        Manager.Master = Master.get();
        Md.R = TRect(2, 1, 2 + FW * Frames, 1 + FH * (MaskType + 1));
        Md.ImageCount = Frames;
        Md.MaskType = int16_t(MaskType);
        Md.DrawMode = int16_t(DrawMode);
        Md.WL = 3;
        Md.WT = 2;
        Md.WR = 4;
        Md.WB = 3;
        Md.Manager = &Manager;
    }
};

// The frame column that a tiled border shows at x of a side of Length.
int TiledColumn(int x, int Length, int Near, int Far, int Frame)
{
    if (x < Near)
        return x;
    if (x >= Length - Far)
        return Frame - (Length - x);
    return Near + (x - Near) % (Frame - Near - Far);
}

// Every pixel of a W x H border drawn at (X0, Y0) against the tiling rule.
void ExpectTiled(TBitmap* B, int W, int H, int Frame, bool Centre, uint32_t Untouched, int X0 = 1, int Y0 = 1)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool inner = x >= 3 && x < W - 4 && y >= 2 && y < H - 3;
            const uint32_t want =
                inner && !Centre ? Untouched : Code(Frame, TiledColumn(x, W, 3, 4, FW), TiledColumn(y, H, 2, 3, FH));
            ASSERT_EQ(PixelOf(B, X0 + x, Y0 + y), want) << W << "x" << H << " at " << x << "," << y;
        }
}

} // namespace

TEST(SkinRect, TiledBordersOfBothImageKinds)
{
    for (int maskType : {0, 1})
        for (auto [w, h] : {std::pair{9, 9}, {20, 14}, {31, 40}, {10, 6}}) {
            TSkinImage img(maskType, 4);
            TBitmapPtr b = MakeBmp(w + 2, h + 2, 24, false, 0x777777);
            DrawSkinRect(b.get(), TRect(1, 1, 1 + w, 1 + h), true, EmptyCI, img.Md, 1, false, nullptr);
            ExpectTiled(b.get(), w, h, 1, true, 0);
            EXPECT_EQ(PixelOf(b.get(), 0, 0), 0x777777u) << "outside R";
            EXPECT_EQ(PixelOf(b.get(), w + 1, h + 1), 0x777777u);
        }
}

TEST(SkinRect, StateFramesAndDrawModes)
{
    struct Case {
        int MaskType, DrawMode, State;
        bool Filling;
        int Frame;        // -1: nothing drawn
        bool Centre;
    } cases[] = {
        {0, 4, 5, true, 2, true},      // State past the frames: the last frame
        {1, 4, 0, true, 0, true},
        {0, 2, 0, true, -1, false},    // DrawMode 2: nothing in state 0
        {1, 6, 0, true, -1, false},
        {0, 2, 1, true, 1, false},     // ... but in the hot state, without the centre (no 4)
        {0, 4, 1, false, 1, false},    // Filling off leaves the centre
        {1, 5, 2, true, 2, true},      // DrawMode 1 on a masked image still tiles
    };
    for (const Case& c : cases) {
        TSkinImage img(c.MaskType, c.DrawMode);
        TBitmapPtr b = MakeBmp(22, 18, 24, true, 0x777777);
        DrawSkinRect(b.get(), TRect(1, 1, 21, 17), c.Filling, EmptyCI, img.Md, c.State, false, nullptr);
        if (c.Frame < 0) {
            for (int y = 0; y < 18; ++y)
                for (int x = 0; x < 22; ++x)
                    ASSERT_EQ(PixelOf(b.get(), x, y), 0x777777u);
            continue;
        }
        ExpectTiled(b.get(), 20, 16, c.Frame, c.Centre, 0x777777);
    }
}

TEST(SkinRect, StretchedSidesOfKeyColourImages)
{
    TSkinImage img(0, 1 | 4);
    TBitmapPtr b = MakeBmp(40, 30, 24, false, 0x777777);
    DrawSkinRect(b.get(), TRect(0, 0, 40, 30), true, EmptyCI, img.Md, 0, false, nullptr);
    // Corners as they are; sides and centre stretched from their pieces, so
    // every pixel comes from the piece's own columns and rows.
    EXPECT_EQ(PixelOf(b.get(), 0, 0), Code(0, 0, 0));
    EXPECT_EQ(PixelOf(b.get(), 39, 29), Code(0, 8, 8));
    for (int x = 3; x < 36; ++x) {
        const uint32_t p = PixelOf(b.get(), x, 0);
        EXPECT_GE(p >> 16, 3u);
        EXPECT_LE(p >> 16, 4u) << x;  // the top piece is columns 3..4 of the frame
        EXPECT_EQ((p >> 8) & 0xFF, 0u);
    }
    const uint32_t mid = PixelOf(b.get(), 20, 15);
    EXPECT_GE((mid >> 8) & 0xFF, 2u);
    EXPECT_LE((mid >> 8) & 0xFF, 5u);
}

TEST(SkinRect, SmallRectanglesShrinkTheCorners)
{
    // 3 x 40 with WL = WR = 4: two columns of the left corner, one of the right.
    TSkinImage img(0, 4);
    img.Md.WL = img.Md.WR = 4;
    TBitmapPtr b = MakeBmp(5, 42, 24, false, 0x777777);
    DrawSkinRect(b.get(), TRect(1, 1, 4, 41), true, EmptyCI, img.Md, 0, false, nullptr);
    EXPECT_EQ(PixelOf(b.get(), 1, 1), Code(0, 0, 0));
    EXPECT_EQ(PixelOf(b.get(), 2, 1), Code(0, 1, 0));
    EXPECT_EQ(PixelOf(b.get(), 3, 1), Code(0, 8, 0));
    EXPECT_EQ(PixelOf(b.get(), 4, 1), 0x777777u);
    // Asymmetric widths on 4 columns (3 + 4 = 7): no column left unpainted.
    TSkinImage asym(1, 4);
    TBitmapPtr c = MakeBmp(4, 12, 24, false, 0x777777);
    DrawSkinRect(c.get(), TRect(0, 0, 4, 12), true, EmptyCI, asym.Md, 0, false, nullptr);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 12; ++y)
            ASSERT_NE(PixelOf(c.get(), x, y), 0x777777u) << x << "," << y;
}

TEST(SkinRect, CornerHolesShowTheBackground)
{
    for (int maskType : {0, 1}) {
        TSkinImage img(maskType, 4);
        SetPixelOf(img.Master.get(), 2, 1, 0xFF00FF);  // top-left pixel of frame 0
        TBitmapPtr back = MakeBmp(30, 30, 24, false, 0x123456);
        TBitmapPtr b = MakeBmp(20, 20, 24, false, 0x777777);
        DrawSkinRect(b.get(), TRect(0, 0, 20, 20), true, MakeCacheInfo(back.get(), 3, 3), img.Md, 0, true, nullptr);
        EXPECT_EQ(PixelOf(b.get(), 0, 0), 0x123456u) << maskType;
        EXPECT_EQ(PixelOf(b.get(), 1, 0), Code(0, 1, 0));
        // Without UpdateCorners a key image's hole takes a fill colour; with
        // a ready background it keeps what was there.
        TCacheInfo fill = EmptyCI;
        fill.FillColor = 0x0000FF;
        TBitmapPtr k = MakeBmp(20, 20, 24, false, 0x777777);
        DrawSkinRect(k.get(), TRect(0, 0, 20, 20), true, fill, img.Md, 0, false, nullptr);
        DrawSkinRect(b.get(), TRect(0, 0, 20, 20), true, MakeCacheInfo(back.get(), 3, 3), img.Md, 0, false, nullptr);
        if (maskType == 0) {
            EXPECT_EQ(PixelOf(k.get(), 0, 0), 0xFF0000u);
            EXPECT_EQ(PixelOf(b.get(), 0, 0), 0x123456u);
        }
    }
}

TEST(SkinRect, NothingWithoutManagerFramesOrRoom)
{
    TSkinImage img(0, 4);
    TBitmapPtr b = MakeBmp(10, 10, 24, false, 0x777777);
    TsMaskData md = img.Md;
    md.Manager = nullptr;
    DrawSkinRect(b.get(), TRect(0, 0, 10, 10), true, EmptyCI, md, 0, false, nullptr);
    md = img.Md;
    md.ImageCount = 0;
    DrawSkinRect(b.get(), TRect(0, 0, 10, 10), true, EmptyCI, md, 0, false, nullptr);
    DrawSkinRect(b.get(), TRect(0, 0, 1, 10), true, EmptyCI, img.Md, 0, false, nullptr);
    DrawSkinRect(nullptr, TRect(0, 0, 10, 10), true, EmptyCI, img.Md, 0, false, nullptr);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(PixelOf(b.get(), x, y), 0x777777u);
    // A rectangle past the bitmap is cut, not written outside.
    DrawSkinRect(b.get(), TRect(-5, -5, 50, 50), true, EmptyCI, img.Md, 0, true, nullptr);
    EXPECT_NE(PixelOf(b.get(), 5, 5), 0x777777u);
}

TEST(SkinRect, GlyphsAtAPoint)
{
    // A 3-frame glyph of 4 x 3 with a mask: picture 0x204080, mask 0 (opaque)
    // except one column at 255 (almost transparent) and one key pixel.
    TTestManager manager;
    TBitmapPtr master = MakeBmp(12, 6, 24, true, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 12; ++x)
            SetPixelOf(master.get(), x, y, 0x204080 + uint32_t(x / 4));
    for (int y = 3; y < 6; ++y)
        SetPixelOf(master.get(), 7, y, 0xFFFFFF);
    SetPixelOf(master.get(), 4, 0, 0xFF00FF);
    manager.Master = master.get();
    TsMaskData md;
    md.R = TRect(0, 0, 12, 6);
    md.ImageCount = 3;
    md.MaskType = 1;
    md.Manager = &manager;
    TBitmapPtr b = MakeBmp(8, 8, 24, false, 0x101010);
    DrawSkinGlyph(b.get(), TPoint(2, 2), 1, 1, md, EmptyCI);
    EXPECT_EQ(PixelOf(b.get(), 2, 2), 0x101010u) << "key pixel";
    EXPECT_EQ(PixelOf(b.get(), 3, 2), 0x204081u);
    EXPECT_EQ(PixelOf(b.get(), 5, 2), 0x101010u) << "mask 255 keeps (nearly) the destination";
    EXPECT_EQ(PixelOf(b.get(), 6, 2), 0x101010u) << "only the frame's own 4 columns";
    EXPECT_EQ(PixelOf(b.get(), 3, 5), 0x101010u) << "only its 3 rows";
    // A negative point cuts the first columns: frame column 3 lands on column 0.
    TBitmapPtr c = MakeBmp(8, 8, 24, false, 0x101010);
    DrawSkinGlyph(c.get(), TPoint(-3, 0), 2, 1, md, EmptyCI);
    EXPECT_EQ(PixelOf(c.get(), 0, 0), 0x204082u);
    EXPECT_EQ(PixelOf(c.get(), 1, 0), 0x101010u);
    // Mode other than 1: fainter.
    TBitmapPtr f = MakeBmp(8, 8, 24, false, 0x101010);
    DrawSkinGlyph(f.get(), TPoint(0, 0), 0, 0, md, EmptyCI);
    const uint32_t faint = PixelOf(f.get(), 1, 0);
    EXPECT_NE(faint, 0x204080u);
    EXPECT_NE(faint, 0x101010u);

    // A key-colour glyph: holes show CI in mode 1; otherwise blended half.
    md.MaskType = 0;
    md.R = TRect(0, 0, 12, 3);
    TBitmapPtr back = MakeBmp(8, 8, 24, false, 0x0000FF);
    TBitmapPtr k = MakeBmp(8, 8, 24, false, 0x101010);
    DrawSkinGlyph(k.get(), TPoint(0, 0), 1, 1, md, MakeCacheInfo(back.get(), 0, 0));
    EXPECT_EQ(PixelOf(k.get(), 0, 0), 0x0000FFu);
    EXPECT_EQ(PixelOf(k.get(), 1, 0), 0x204081u);
    TBitmapPtr h = MakeBmp(8, 8, 24, false, 0x000000);
    DrawSkinGlyph(h.get(), TPoint(0, 0), 0, 0, md, EmptyCI);
    EXPECT_EQ(PixelOf(h.get(), 0, 0) & 0xFF, 0x40u) << "half of 0x80";
}

TEST(SkinRect, CopyMasterRectALeavesHolesAlone)
{
    TTestManager manager;
    TBitmapPtr master = MakeBmp(4, 4, 24, true, 0x000000);
    SetPixelOf(master.get(), 0, 0, 0x102030);
    SetPixelOf(master.get(), 1, 0, 0xFF00FF);
    manager.Master = master.get();
    TsMaskData md;
    md.R = TRect(0, 0, 4, 4);
    md.ImageCount = 1;
    md.MaskType = 1;
    md.Manager = &manager;
    TBitmapPtr back = MakeBmp(6, 6, 24, false, 0x777777), bmp = MakeBmp(4, 2, 24, false, 0x404040);
    CopyMasterRectA(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), bmp.get(), MakeCacheInfo(back.get(), 1, 1), md);
    EXPECT_EQ(PixelOf(bmp.get(), 0, 0), 0x102030u);
    EXPECT_EQ(PixelOf(bmp.get(), 1, 0), 0x404040u);
}

TEST(SkinRect, RegionBordersCutTheirCornerHoles)
{
    TSkinImage img(0, 4);
    // Row 0 of the top-left corner: two key pixels, then opaque ones.
    SetPixelOf(img.Master.get(), 2, 1, 0xFF00FF);
    SetPixelOf(img.Master.get(), 3, 1, 0xFF00FF);
    // Bottom-right corner's last pixel.
    SetPixelOf(img.Master.get(), 2 + FW - 1, 1 + FH - 1, 0xFF00FF);
    TBitmapPtr b = MakeBmp(20, 16, 24, false, 0x777777);
    GdiObject<HRGN> rgn(::CreateRectRgn(0, 0, 20, 16));
    PaintRgnBorder(b.get(), rgn.Get(), true, img.Md, 0);
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 0, 0));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 1, 0));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 2, 0));
    EXPECT_FALSE(::PtInRegion(rgn.Get(), 19, 15));
    EXPECT_TRUE(::PtInRegion(rgn.Get(), 18, 15));
    EXPECT_EQ(PixelOf(b.get(), 0, 0), 0x777777u) << "holes are not drawn";
    EXPECT_EQ(PixelOf(b.get(), 2, 0), Code(0, 2, 0));
    EXPECT_EQ(PixelOf(b.get(), 10, 7), Code(0, TiledColumn(10, 20, 3, 4, FW), TiledColumn(7, 16, 2, 3, FH)));

    // CopyMask alone: a negative destination draws nothing.
    TBitmapPtr c = MakeBmp(6, 6, 24, false, 0x777777);
    CopyMask(-1, 0, 3, 3, 2, 1, 6, 4, c.get(), nullptr, img.Md, true);
    EXPECT_EQ(PixelOf(c.get(), 0, 0), 0x777777u);
    CopyMask(0, 0, 9, 9, 4, 1, 5, 2, c.get(), nullptr, img.Md, false);
    EXPECT_EQ(PixelOf(c.get(), 1, 1), Code(0, 3, 1)) << "the smaller of the two rectangles";
    EXPECT_EQ(PixelOf(c.get(), 2, 2), 0x777777u);
}

TEST(SkinRect, ImagesWithoutMaskTypeHaveNoPictureHeight)
{
    // MaskType -1: no picture height, so nothing to draw or cut (and no division by zero).
    TSkinImage img(0, 4);
    img.Md.MaskType = -1;
    TBitmapPtr b = MakeBmp(20, 20, 24, false, 0x777777);
    DrawSmallSkinRect(b.get(), TRect(0, 0, 20, 20), true, EmptyCI, img.Md, 0);
    DrawSkinGlyph(b.get(), TPoint(0, 0), 0, 1, img.Md, EmptyCI);
    img.Manager.ma.push_back(img.Md);
    EXPECT_EQ(GetRgnForMask(0, 20, 20, &img.Manager), nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(PixelOf(b.get(), x, y), 0x777777u);
}
