// The accessors and primitives bound to the class library's bitmaps.
#include <gtest/gtest.h>

#include "PaintTestUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

TEST(AlphaGraph, AccessorsReadWhatGdiWrote)
{
    for (bool topDown : TopDownOrders) {
        TBitmapPtr b24 = MakeBmp(4, 3, 24, topDown), b32 = MakeBmp(4, 3, 32, topDown);
        b24->Canvas()->SetPixels(3, 2, 0x123456);
        b32->Canvas()->SetPixels(1, 2, 0x654321);
        TkvFast24 f24;
        TkvFast32 f32;
        ASSERT_TRUE(f24.Attach(b24.get()));
        ASSERT_TRUE(f32.Attach(b32.get()));
        EXPECT_EQ(f24.GetPixel(3, 2), 0x123456);
        EXPECT_EQ(f32.GetPixel(1, 2) & 0xFFFFFF, 0x654321);
        f24.SetPixel(0, 0, 0x00FF00);
        EXPECT_EQ(b24->Canvas()->Pixels(0, 0), 0x00FF00);
        EXPECT_EQ(f24.FBitmap, b24.get());
    }
}

TEST(AlphaGraph, AttachRefusesWhatItCannotAddress)
{
    TBitmapPtr thin = MakeBmp(1, 100, 24), b32 = MakeBmp(3, 3, 32), b24 = MakeBmp(3, 3, 24);
    TkvFast24 f;
    EXPECT_FALSE(f.Attach(static_cast<TBitmap*>(nullptr)));
    EXPECT_FALSE(f.Attach(thin.get()));
    EXPECT_EQ(f.FWidth, 0);
    try {
        f.Attach(b32.get());
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_NE(e.Message().find(L"Bitmap format is not supported"), std::wstring::npos);
    }
    EXPECT_THROW(FillRect32(b24.get(), TRect(0, 0, 3, 3), clRed), EAssertionFailed);
    TkvFastSum32 sum;
    EXPECT_FALSE(sum.Attach(b24.get(), b32.get()));
}

TEST(AlphaGraph, FillsAndColourBlends)
{
    for (bool topDown : TopDownOrders) {
        TBitmapPtr b = MakeBmp(3, 3, 32, topDown);
        FillRect32(b.get(), TRect(0, 0, 3, 3), clRed);
        EXPECT_EQ(PixelOf(b.get(), 2, 2), 0xFFFF0000u);  // bytes 00 00 FF FF
        FillAlphaRect(b.get(), TRect(1, 1, 9, 9), 0x40);
        EXPECT_EQ(PixelOf(b.get(), 2, 2), 0x40FF0000u);
        EXPECT_EQ(PixelOf(b.get(), 0, 0), 0xFFFF0000u);

        TBitmapPtr w = MakeBmp(3, 3, 24, topDown, 0xFFFFFF);
        BlendColorRect(w.get(), TRect(0, 0, 3, 3), 50, clBlack);
        EXPECT_EQ(PixelOf(w.get(), 2, 2), 0x808080u);  // the last row and column too
        BlendColorRect(w.get(), TRect(0, 0, 1, 1), 0, clWindow);
        EXPECT_EQ(PixelOf(w.get(), 0, 0), uint32_t(SwapColor(ColorToRGB(clWindow)) & 0xFFFFFF));
        EXPECT_EQ(PixelOf(w.get(), 1, 1), 0x808080u);
    }
}

TEST(AlphaGraph, DisabledLook)
{
    TBitmapPtr back = MakeBmp(10, 10, 24, false, 0xC8C8C8);
    TCacheInfo ci = MakeCacheInfo(back.get(), 2, 3);

    TBitmapPtr grey = MakeBmp(4, 4, 24, false, 0x5A3C1E);  // grey 60
    BmpDisabledKind(grey.get(), TsDisabledKind{dkGrayed}, nullptr, ci, TPoint(0, 0));
    EXPECT_EQ(PixelOf(grey.get(), 3, 3), 0x3C3C3Cu);  // the background is not consulted

    TBitmapPtr both = MakeBmp(4, 4, 24, true, 0x5A3C1E);
    BmpDisabledKind(both.get(), TsDisabledKind{dkGrayed, dkBlended}, nullptr, ci, TPoint(1, 1));
    EXPECT_EQ(PixelOf(both.get(), 3, 3), 0x909090u);  // 200 - 0.4 * (200 - 60) = 144

    TBitmapPtr filled = MakeBmp(2, 2, 24, false, 0xFFFFFF);
    TCacheInfo fill = EmptyCI;
    fill.FillColor = clBlack;
    BmpDisabledKind(filled.get(), TsDisabledKind{dkBlended}, nullptr, fill, TPoint(0, 0));
    EXPECT_EQ(PixelOf(filled.get(), 1, 1), 0x808080u);
}

TEST(AlphaGraph, TransparentCornersFromASkinImage)
{
    TTestManager manager;
    TBitmapPtr master = MakeBmp(20, 20, 24, false, 0x101010);
    manager.Master = master.get();
    TsMaskData md;
    md.R = TRect(0, 0, 12, 8);
    md.ImageCount = 3;
    md.MaskType = 1;
    md.WR = 2;
    md.WB = 2;
    md.Manager = &manager;
    manager.ma.push_back(md);
    // Bottom-right corner origin: (4 - 2, 4 - 2) inside the first frame.
    SetPixelOf(master.get(), 2, 2, 0xFF00FF);
    TBitmapPtr dst = MakeBmp(5, 5, 32), src = MakeBmp(5, 5, 32, true, 0x11223344);
    FillTransPixels32(dst.get(), src.get(), TRect(0, 0, 2, 2), TPoint(0, 0), 0, &manager, HTBOTTOMRIGHT);
    EXPECT_EQ(PixelOf(dst.get(), 0, 0), 0x11223344u);
    EXPECT_EQ(PixelOf(dst.get(), 1, 1), 0u);
    // A rectangle past the bitmaps only ever copies source pixels in; an
    // image index outside the table changes nothing.
    std::vector<uint32_t> before;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            before.push_back(PixelOf(dst.get(), x, y));
    FillTransPixels32(dst.get(), src.get(), TRect(-9, -9, 90, 90), TPoint(4, 4), 0, &manager, HTTOPLEFT);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint32_t p = PixelOf(dst.get(), x, y);
            EXPECT_TRUE(p == before[size_t(y * 5 + x)] || p == 0x11223344u) << x << "," << y;
            before[size_t(y * 5 + x)] = p;
        }
    FillTransPixels32(dst.get(), src.get(), TRect(0, 0, 2, 2), TPoint(0, 0), 7, &manager, HTTOPLEFT);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelOf(dst.get(), x, y), before[size_t(y * 5 + x)]) << x << "," << y;
}

TEST(AlphaGraph, CopyMasterRectShowsTheBackgroundThroughHoles)
{
    TTestManager manager;
    TBitmapPtr master = MakeBmp(4, 4, 24, true, 0x000000);  // rows 2..3: black mask = source
    manager.Master = master.get();
    SetPixelOf(master.get(), 0, 0, 0x102030);
    SetPixelOf(master.get(), 1, 0, 0xFF00FF);
    TsMaskData md;
    md.R = TRect(0, 0, 4, 4);
    md.ImageCount = 1;
    md.MaskType = 1;
    md.Manager = &manager;
    TBitmapPtr back = MakeBmp(6, 6, 24, false, 0x777777), bmp = MakeBmp(4, 2, 24, false, 0x404040);
    CopyMasterRect(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), bmp.get(), MakeCacheInfo(back.get(), 1, 1), md);
    EXPECT_EQ(PixelOf(bmp.get(), 0, 0), 0x102030u);
    EXPECT_EQ(PixelOf(bmp.get(), 1, 0), 0x777777u);

    TCacheInfo fill = EmptyCI;
    fill.FillColor = 0x0000FF;
    CopyMasterRect(TRect(0, 1, 2, 2), TRect(0, 0, 2, 1), bmp.get(), fill, md);
    EXPECT_EQ(PixelOf(bmp.get(), 1, 1), 0xFF0000u);
    md.Manager = nullptr;
    CopyMasterRect(TRect(0, 0, 2, 1), TRect(0, 0, 2, 1), bmp.get(), fill, md);
    EXPECT_EQ(PixelOf(bmp.get(), 1, 0), 0x777777u);
}
