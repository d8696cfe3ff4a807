// Device-context routines, bitmap creation, templates, glyph strips, the
// resampler on bitmaps and button layout.
#include <gtest/gtest.h>

#include "PaintTestUtils.h"
#include "classlib/controls/ImgList.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sGraphUtils.h"

TEST(GraphUtils, DrawRectangleOnDCRings)
{
    TBitmapPtr b = MakeBmp(10, 10, 24, false, 0xFFFFFF);
    TRect r(0, 0, 10, 10);
    int width = 2;
    DrawRectangleOnDC(b->Canvas()->Handle(), r, clRed, clBlue, width);
    EXPECT_EQ(r, TRect(2, 2, 8, 8));
    EXPECT_EQ(width, 0);
    TCanvas* c = b->Canvas();
    EXPECT_EQ(c->Pixels(0, 0), clRed);
    EXPECT_EQ(c->Pixels(1, 5), clRed);
    EXPECT_EQ(c->Pixels(9, 9), clBlue);
    EXPECT_EQ(c->Pixels(8, 5), clBlue);
    EXPECT_EQ(c->Pixels(5, 5), clWhite);
}

TEST(GraphUtils, FillsAndBorderStrips)
{
    TBitmapPtr b = MakeBmp(10, 10, 24, true, 0xFFFFFF);
    HDC dc = b->Canvas()->Handle();
    FillDCBorder(dc, TRect(0, 0, 10, 10), 0, 0, 0, 0, clBlack);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(PixelOf(b.get(), i, i), 0xFFFFFFu);
    FillDCBorder(dc, TRect(0, 0, 10, 10), 1, 2, 3, 4, clBlack);
    EXPECT_EQ(PixelOf(b.get(), 5, 1), 0u);         // top, 2 high
    EXPECT_EQ(PixelOf(b.get(), 0, 5), 0u);         // left, 1 wide
    EXPECT_EQ(PixelOf(b.get(), 7, 5), 0u);         // right, 3 wide
    EXPECT_EQ(PixelOf(b.get(), 5, 6), 0u);         // bottom, 4 high
    EXPECT_EQ(PixelOf(b.get(), 5, 5), 0xFFFFFFu);
    FillDC(dc, TRect(4, 4, 6, 6), clBtnFace);
    EXPECT_EQ(b->Canvas()->Pixels(5, 5), ColorToRGB(clBtnFace));

    TBitmapPtr src = MakeBmp(10, 10, 24, false, 0x112233), dst = MakeBmp(12, 12, 24, false, 0);
    BitBltBorder(dst->Canvas()->Handle(), 1, 1, 10, 10, src->Canvas()->Handle(), 0, 0, 2);
    EXPECT_EQ(PixelOf(dst.get(), 1, 1), 0x112233u);
    EXPECT_EQ(PixelOf(dst.get(), 10, 10), 0x112233u);
    EXPECT_EQ(PixelOf(dst.get(), 6, 6), 0u);
    EXPECT_EQ(PixelOf(dst.get(), 0, 0), 0u);
}

TEST(GraphUtils, CreationAndRotation)
{
    TBitmap* b = CreateBmp32(3, 2);
    EXPECT_EQ(b->PixelFormat(), pf32bit);
    EXPECT_EQ(b->HandleType(), bmDIB);
    SetPixelOf(b, 0, 0, 0x01020304);
    TBitmapPtr like(CreateBmpLike(b));
    EXPECT_EQ(like->PixelFormat(), pf32bit);
    EXPECT_EQ(like->Width(), 3);
    TBitmapPtr cw(MakeRotated90(b, true, true));
    EXPECT_EQ(b, nullptr);
    ASSERT_TRUE(cw);
    EXPECT_EQ(cw->Width(), 2);
    EXPECT_EQ(cw->Height(), 3);
    EXPECT_EQ(PixelOf(cw.get(), 1, 0), 0x01020304u);
    TBitmap* grey = New<TBitmap>(3, 3, pf8bit);
    EXPECT_EQ(MakeRotated90(grey, false, true), nullptr);
    EXPECT_EQ(grey, nullptr);
}

// A 24-bit image made 32-bit is opaque: CopyBmp32 lays it fully over.
TEST(GraphUtils, CopyBmp32TakesA24BitImageAsOpaque)
{
    TBitmapPtr img = MakeBmp(3, 3, 24, false, 0x336699), dst = MakeBmp(3, 3, 24, true, 0xFFFFFF);
    CopyBmp32(TRect(0, 0, 3, 3), TRect(0, 0, 3, 3), dst.get(), img.get(), EmptyCI, false, clNone, 0, false);
    EXPECT_EQ(img->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(img.get(), 1, 1), 0xFF336699u);
    // Alpha 255: ((s - d) * 255 + d * 256) shr 8 leaves s plus at most one.
    const uint32_t p = PixelOf(dst.get(), 2, 2);
    EXPECT_NEAR(int(p & 0xFF), 0x99, 1);
    EXPECT_NEAR(int(p >> 16), 0x33, 1);
}

TEST(GraphUtils, StretchOnBitmaps)
{
    TBitmapPtr thin = MakeBmp(1, 10, 24), dst = MakeBmp(2, 2, 24);
    try {
        Stretch(thin.get(), dst.get(), 4, 4, ftMitchell, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Source bitmap is too small");
    }
    TBitmapPtr src = MakeBmp(4, 4, 24, true, 0x506070);
    Stretch(src.get(), dst.get(), 4, 4, ftMitchell, 0);
    EXPECT_EQ(dst->Width(), 4);
    EXPECT_EQ(PixelOf(dst.get(), 3, 3), 0x506070u);

    Stretch(src.get(), dst.get(), 9, 7, ftBox, 0);
    EXPECT_EQ(dst->PixelFormat(), pf24bit);
    EXPECT_EQ(dst->Width(), 9);
    EXPECT_EQ(PixelOf(dst.get(), 8, 6), 0x506070u);

    TBitmapPtr alpha = MakeBmp(6, 6, 32, false, 0x80C8C8C8);
    Stretch(alpha.get(), alpha.get(), 3, 2, ftMitchell, 0);  // into itself
    EXPECT_EQ(alpha->PixelFormat(), pf32bit);
    EXPECT_EQ(alpha->Width(), 3);
    EXPECT_NEAR(int(PixelOf(alpha.get(), 2, 1) >> 24), 0x80, 4);
}

TEST(GraphUtils, ButtonLayout)
{
    struct Case {
        TButtonLayout layout;
        TAlignment align;
        int margin, spacing, textWidth, bidi;
        int glyphX, glyphY, textX, textY;
    };
    // Client (10, 20, 110, 60): 100 x 40; glyph 16 x 16; text ? x 10.
    const Case cases[] = {
        {blGlyphLeft, taLeftJustify, -1, 4, 30, 0, 12, 32, 32, 35},
        {blGlyphLeft, taCenter, -1, 4, 30, 0, 35, 32, 55, 35},
        {blGlyphLeft, taRightJustify, 5, 4, 30, 0, 55, 32, 75, 35},
        {blGlyphLeft, taLeftJustify, -1, 4, 0, 0, 12, 32, 28, 35},   // no text: no spacing
        {blGlyphRight, taLeftJustify, 3, -1, 30, 0, 68, 32, 13, 35},  // spacing (100 - 3 - 16 - 30) div 2 = 25
        {blGlyphLeft, taLeftJustify, -1, -1, 30, 0, 28, 32, 62, 35},  // margin = spacing = 54 div 3
        {blGlyphTop, taCenter, -1, 2, 30, 0, 52, 26, 45, 44},
        {blGlyphBottom, taCenter, -1, 2, 30, 0, 52, 38, 45, 26},
        {blGlyphLeft, taLeftJustify, 2, 4, 30, DT_RIGHT, 46, 32, 12, 35},  // right to left: glyph right
    };
    for (const Case& c : cases) {
        TPoint glyph;
        TRect text;
        CalcButtonLayout(TRect(10, 20, 110, 60), TPoint(16, 16), TSize(c.textWidth, 10), c.layout, c.align, c.margin,
                         c.spacing, glyph, text, c.bidi);
        EXPECT_EQ(glyph, TPoint(c.glyphX, c.glyphY)) << c.layout << " " << c.align << " " << c.margin;
        EXPECT_EQ(text.TopLeft(), TPoint(c.textX, c.textY)) << c.layout << " " << c.align << " " << c.margin;
        EXPECT_EQ(text.Width(), c.textWidth);
    }
}

TEST(GraphUtils, GlyphStrips)
{
    // Two 3 x 3 frames: frame 0 red, frame 1 green, key colour at the bottom left.
    TBitmapPtr glyph = MakeBmp(6, 3, 24, false, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixelOf(glyph.get(), x, y, x < 3 ? 0xFF0000u : 0x00FF00u);
    SetPixelOf(glyph.get(), 0, 2, 0xFF00FF);
    SetPixelOf(glyph.get(), 3, 2, 0xFF00FF);
    TBitmapPtr dst = MakeBmp(8, 8, 24, true, 0x777777);
    DrawGlyphEx(glyph.get(), dst.get(), TRect(1, 1, 4, 4), 2, true, TsDisabledGlyphKind{}, 1, 0, false, false);
    EXPECT_EQ(PixelOf(dst.get(), 2, 1), 0x00FF00u);  // hot: frame 1
    EXPECT_EQ(PixelOf(dst.get(), 1, 3), 0x777777u);  // its key pixel shows the background
    DrawGlyphEx(glyph.get(), dst.get(), TRect(4, 4, 7, 7), 2, true, TsDisabledGlyphKind{}, 0, 0, false, false);
    EXPECT_EQ(PixelOf(dst.get(), 5, 4), 0xFF0000u);

    // One frame, disabled and greyed: the key colour still cuts it out.
    TBitmapPtr one = MakeBmp(3, 3, 24, false, 0x0A141E);
    SetPixelOf(one.get(), 0, 2, 0xFF00FF);
    TBitmapPtr d2 = MakeBmp(4, 4, 24, false, 0x777777);
    DrawGlyphEx(one.get(), d2.get(), TRect(0, 0, 3, 3), 1, false, TsDisabledGlyphKind{dgGrayed}, 0, 0, false, false);
    EXPECT_EQ(PixelOf(d2.get(), 1, 1), 0x141414u);
    EXPECT_EQ(PixelOf(d2.get(), 0, 2), 0x777777u);
}

TEST(GraphUtils, TemplateNinePieces)
{
    // 6 x 6 template: 2-pixel corners and borders, a 2 x 2 middle.
    TBitmapPtr tpl = MakeBmp(6, 6, 24, false, 0x111111);
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            SetPixelOf(tpl.get(), x, y, 0x999999);
    SetPixelOf(tpl.get(), 5, 5, 0xABCDEF);
    TBitmapPtr dst = MakeBmp(11, 9, 24, true, 0);
    PaintControlByTemplate(dst.get(), tpl.get(), TRect(0, 0, 11, 9), TRect(0, 0, 6, 6), TRect(2, 2, 2, 2),
                           TRect(2, 2, 2, 2), TRect(0, 0, 0, 0), false, true);
    EXPECT_EQ(PixelOf(dst.get(), 10, 8), 0xABCDEFu);  // the corner goes to the corner
    EXPECT_EQ(PixelOf(dst.get(), 0, 4), 0x111111u);   // tiled left side
    EXPECT_EQ(PixelOf(dst.get(), 8, 6), 0x999999u);   // tiled centre, cut at the right
    EXPECT_EQ(PixelOf(dst.get(), 5, 4), 0x999999u);
}

TEST(GraphUtils, ShadowsAndImages)
{
    TBitmapPtr b = MakeBmp(20, 20, 24, false, 0x646464);
    FadeBmp(b.get(), TRect(0, 0, 20, 20), 100, TsColor{.C = clBlack}, 50, 3);  // Blur cut to 10
    EXPECT_NEAR(int(PixelOf(b.get(), 10, 10) & 0xFF), 100, 1);
    FadeBmp(b.get(), TRect(0, 0, 20, 20), 0, TsColor{.C = clBlack}, 3, 0);
    EXPECT_LT(int(PixelOf(b.get(), 10, 10) & 0xFF), 10);   // the middle takes the colour
    EXPECT_NEAR(int(PixelOf(b.get(), 0, 10) & 0xFF), 99, 1);  // the edge keeps the image (99 after the first pass)

    TOwned<TImageList> list(New<TImageList>(nullptr));
    list->SetWidth(5);
    list->SetHeight(4);
    TBitmapPtr img(New<TBitmap>());
    CopyImage(img.get(), list.get(), 0);
    EXPECT_EQ(img->Width(), 5);
    EXPECT_EQ(img->Canvas()->Pixels(4, 3), clFuchsia);

    TBitmapPtr f = MakeBmp(12, 12, 24, false, 0x808080);
    FocusRect(f->Canvas(), TRect(3, 3, 9, 9));
    EXPECT_EQ(f->Canvas()->Pixels(3, 3), clBlack);
    EXPECT_EQ(f->Canvas()->Pixels(6, 9), clBlack);
    EXPECT_EQ(f->Canvas()->Pixels(5, 2), clWhite);
    EXPECT_EQ(f->Canvas()->Pixels(4, 4), clGray);

    EXPECT_EQ(GetStringSize(nullptr, L"").cx, 0);
    EXPECT_GT(GetFontHeight(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))), 6);
}
