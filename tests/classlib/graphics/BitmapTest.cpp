#include <gtest/gtest.h>

#include "classlib/graphics/Graphics.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "tests/support/ResourceCount.h"

namespace {

using BitmapPtr = std::unique_ptr<TBitmap>;

BitmapPtr MakeBitmap(int w, int h, TPixelFormat f)
{
    BitmapPtr b(New<TBitmap>());
    b->SetPixelFormat(f);
    b->SetSize(w, h);
    return b;
}

uint8_t* Px(TBitmap* b, int x, int y)
{
    return static_cast<uint8_t*>(b->ScanLine(y)) + x * BitsPerPixel(b->PixelFormat()) / 8;
}

// A DIB section made by hand, top-down when height is negative.
HBITMAP RawDib(int w, int h, int bits)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = WORD(bits);
    void* p = nullptr;
    return ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
}

} // namespace

// ScanLine(y) is row y as shown, whatever the DIB's row order: a pixel
// written through it is the pixel the canvas reads at (x, y).
TEST(TBitmapScanLine, AddressesFollowRowOrderAndMatchCanvas)
{
    struct Case {
        int Bits;
        bool TopDown;
    };
    for (Case c : {Case{24, false}, Case{32, false}, Case{24, true}, Case{32, true}}) {
        SCOPED_TRACE(testing::Message() << c.Bits << (c.TopDown ? " top-down" : " bottom-up"));
        BitmapPtr b(New<TBitmap>());
        b->SetHandle(RawDib(5, c.TopDown ? -4 : 4, c.Bits));
        ASSERT_EQ(c.Bits == 24 ? pf24bit : pf32bit, b->PixelFormat());
        ASSERT_EQ(bmDIB, b->HandleType());

        const ptrdiff_t rowBytes = ((5 * c.Bits + 31) / 32) * 4;
        auto* r0 = static_cast<uint8_t*>(b->ScanLine(0));
        auto* r1 = static_cast<uint8_t*>(b->ScanLine(1));
        EXPECT_EQ(c.TopDown ? rowBytes : -rowBytes, r1 - r0);
        EXPECT_EQ(r0 + 3 * (r1 - r0), static_cast<uint8_t*>(b->ScanLine(3)));

        // The Windows-free row view agrees with ScanLine.
        const TBitmapRows rows = b->Rows();
        EXPECT_EQ(r0, rows.First);
        EXPECT_EQ(r1 - r0, rows.Step);
        EXPECT_EQ(5, rows.Width);
        EXPECT_EQ(4, rows.Height);
        EXPECT_EQ(c.Bits / 8, rows.BytesPerPixel);
        EXPECT_EQ(static_cast<uint8_t*>(b->ScanLine(3)) + 2 * c.Bits / 8, rows.Pixel(2, 3));

        uint8_t* p = Px(b.get(), 2, 1);
        p[0] = 0x30; // B
        p[1] = 0x20; // G
        p[2] = 0x10; // R
        EXPECT_EQ(TColor(0x302010), b->Canvas()->Pixels(2, 1));
        EXPECT_EQ(clBlack, b->Canvas()->Pixels(2, 2));

        // And the other way round: the canvas paints where ScanLine looks.
        b->Canvas()->SetPixels(4, 3, clRed);
        uint8_t* q = Px(b.get(), 4, 3);
        EXPECT_EQ(0, q[0]);
        EXPECT_EQ(0xFF, q[2]);
    }
}

TEST(TBitmapScanLine, DefaultBitmapIsBottomUpAndRejectsBadRows)
{
    BitmapPtr b = MakeBitmap(3, 3, pf32bit);
    auto* r0 = static_cast<uint8_t*>(b->ScanLine(0));
    EXPECT_LT(static_cast<uint8_t*>(b->ScanLine(1)), r0);
    EXPECT_THROW(b->ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(b->ScanLine(-1), EInvalidGraphicOperation);
    BitmapPtr empty(New<TBitmap>());
    EXPECT_THROW(empty->ScanLine(0), EInvalidGraphicOperation);
    EXPECT_TRUE(empty->Rows().Empty());
}

TEST(TBitmapPixelFormat, ConversionsKeepColoursAndSetAlpha)
{
    // 24 -> 32: opaque alpha, same colour.
    BitmapPtr b = MakeBitmap(2, 2, pf24bit);
    uint8_t* p = Px(b.get(), 1, 0);
    p[0] = 10, p[1] = 20, p[2] = 30;
    b->SetPixelFormat(pf32bit);
    ASSERT_EQ(pf32bit, b->PixelFormat());
    p = Px(b.get(), 1, 0);
    EXPECT_EQ((std::vector<int>{10, 20, 30, 255}), (std::vector<int>{p[0], p[1], p[2], p[3]}));
    EXPECT_EQ(255, Px(b.get(), 0, 1)[3]);

    // 32 -> 24 drops alpha; back to 32 is opaque again.
    p[3] = 7;
    b->SetPixelFormat(pf24bit);
    p = Px(b.get(), 1, 0);
    EXPECT_EQ((std::vector<int>{10, 20, 30}), (std::vector<int>{p[0], p[1], p[2]}));
    b->SetPixelFormat(pf32bit);
    EXPECT_EQ(255, Px(b.get(), 1, 0)[3]);
}

TEST(TBitmapPixelFormat, ToPaletteFormatsUsesGreyAndBlackWhiteRules)
{
    BitmapPtr b = MakeBitmap(4, 1, pf24bit);
    const uint8_t colours[4][3] = {{255, 255, 255}, {0, 0, 0}, {0, 0, 255} /* red */, {200, 200, 200}};
    for (int x = 0; x < 4; ++x)
        std::memcpy(Px(b.get(), x, 0), colours[x], 3);

    b->SetPixelFormat(pf8bit);
    ASSERT_EQ(pf8bit, b->PixelFormat());
    std::vector<RGBQUAD> pal = b->ColorTable();
    ASSERT_EQ(256u, pal.size());
    for (int i : {0, 77, 255})
        EXPECT_TRUE(pal[i].rgbRed == i && pal[i].rgbGreen == i && pal[i].rgbBlue == i) << i;
    auto* row = static_cast<uint8_t*>(b->ScanLine(0));
    EXPECT_EQ(255, row[0]);
    EXPECT_EQ(0, row[1]);
    EXPECT_EQ(77, row[2]); // brightness of pure red
    EXPECT_EQ(200, row[3]);

    // 8 -> 1: dark below half brightness, white from there.
    b->SetPixelFormat(pf1bit);
    ASSERT_EQ(pf1bit, b->PixelFormat());
    EXPECT_EQ(0xFFFFFF, b->Canvas()->Pixels(0, 0));
    EXPECT_EQ(0x000000, b->Canvas()->Pixels(1, 0));
    EXPECT_EQ(0x000000, b->Canvas()->Pixels(2, 0));
    EXPECT_EQ(0xFFFFFF, b->Canvas()->Pixels(3, 0));
}

TEST(TBitmapPixelFormat, EmptyBitmapsReportDeviceAndRememberTheFormat)
{
    BitmapPtr b(New<TBitmap>());
    EXPECT_EQ(pfDevice, b->PixelFormat());
    b->SetPixelFormat(pf32bit);
    b->SetHandleType(bmDIB);
    b->SetWidth(3);
    b->SetHeight(2);
    EXPECT_EQ(pf32bit, b->PixelFormat());
    Px(b.get(), 2, 1)[1] = 99;

    b->SetSize(0, 0);
    EXPECT_TRUE(b->Empty());
    EXPECT_EQ(pfDevice, b->PixelFormat());
    b->SetSize(1, 1);
    EXPECT_EQ(pf32bit, b->PixelFormat());
    EXPECT_THROW(b->SetPixelFormat(pfCustom), EInvalidGraphic);
}

TEST(TBitmapSize, ResizeKeepsOverlappingPixels)
{
    for (TPixelFormat f : {pf8bit, pf24bit, pf32bit, pfDevice}) {
        SCOPED_TRACE(int(f));
        BitmapPtr b = MakeBitmap(4, 3, f);
        b->Canvas()->SetPixels(0, 0, clWhite);
        b->Canvas()->SetPixels(2, 2, clWhite);
        b->Canvas()->SetPixels(3, 0, clWhite);
        b->SetSize(3, 5);
        EXPECT_EQ(f == pfDevice ? bmDDB : bmDIB, b->HandleType());
        EXPECT_EQ(clWhite, b->Canvas()->Pixels(0, 0));
        EXPECT_EQ(clWhite, b->Canvas()->Pixels(2, 2));
        EXPECT_EQ(clBlack, b->Canvas()->Pixels(2, 4));
        EXPECT_EQ(3, b->Width());
        EXPECT_EQ(5, b->Height());
    }
}

TEST(TBitmapHandleType, DeviceBitmapTurnsIntoOpaqueDibWithItsPixels)
{
    BitmapPtr b = MakeBitmap(3, 3, pfDevice);
    ASSERT_EQ(bmDDB, b->HandleType());
    EXPECT_EQ(pfDevice, b->PixelFormat());
    b->Canvas()->SetPixels(1, 2, clRed);
    b->SetPixelFormat(pf32bit);
    EXPECT_EQ(bmDIB, b->HandleType());
    uint8_t* p = Px(b.get(), 1, 2);
    EXPECT_EQ(0xFF, p[2]);
    EXPECT_EQ(255, p[3]);
    b->SetHandleType(bmDDB);
    EXPECT_EQ(pfDevice, b->PixelFormat());
    EXPECT_EQ(clRed, b->Canvas()->Pixels(1, 2));
}

TEST(TBitmapAssign, CopiesFormatAlphaAndTransparency)
{
    BitmapPtr src = MakeBitmap(2, 2, pf32bit);
    uint8_t* p = Px(src.get(), 1, 1);
    p[0] = 1, p[1] = 2, p[2] = 3, p[3] = 4;
    src->SetTransparent(true);
    src->SetTransparentColor(clFuchsia);

    BitmapPtr dst(New<TBitmap>());
    dst->Assign(src.get());
    EXPECT_EQ(pf32bit, dst->PixelFormat());
    p = Px(dst.get(), 1, 1);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), (std::vector<int>{p[0], p[1], p[2], p[3]}));
    EXPECT_TRUE(dst->Transparent());
    EXPECT_EQ(clFuchsia, dst->TransparentColor());
    EXPECT_NE(src->Handle(), dst->Handle());

    dst->Assign(nullptr);
    EXPECT_TRUE(dst->Empty());
}

// A bit-field layout of its own has no plain format: a copy and a conversion
// both come out as 32 bits with its colours, opaque.
TEST(TBitmapAssign, UnusualChannelMasksGiveOpaque32Bits)
{
    struct {
        BITMAPINFOHEADER Header;
        DWORD Masks[3];
    } bi{};
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = 2;
    bi.Header.biHeight = 2;
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = 16;
    bi.Header.biCompression = BI_BITFIELDS;
    bi.Masks[0] = 0x0F00, bi.Masks[1] = 0x00F0, bi.Masks[2] = 0x000F; // 4-4-4
    void* bits = nullptr;
    HBITMAP h = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(h);
    BitmapPtr src(New<TBitmap>());
    src->SetHandle(h);
    ASSERT_EQ(pfCustom, src->PixelFormat());
    src->Canvas()->SetPixels(0, 0, clRed);

    BitmapPtr copy(New<TBitmap>());
    copy->Assign(src.get());
    src->SetPixelFormat(pf32bit);
    for (TBitmap* b : {copy.get(), src.get()}) {
        EXPECT_EQ(pf32bit, b->PixelFormat());
        EXPECT_EQ(clRed, b->Canvas()->Pixels(0, 0));
        EXPECT_EQ(255, Px(b, 0, 0)[3]);
        EXPECT_EQ(255, Px(b, 1, 1)[3]);
    }
}

TEST(TBitmapDraw, TransparentColourIsLeftOut)
{
    BitmapPtr src = MakeBitmap(4, 4, pf24bit);
    src->Canvas()->Brush()->SetColor(clFuchsia);
    src->Canvas()->FillRect(Rect(0, 0, 4, 4));
    src->Canvas()->Brush()->SetColor(clRed);
    src->Canvas()->FillRect(Rect(1, 1, 3, 3));

    for (bool fixed : {true, false}) {
        SCOPED_TRACE(fixed ? "fixed colour" : "bottom-left pixel");
        src->SetTransparent(true);
        src->SetTransparentColor(fixed ? clFuchsia : clDefault);
        EXPECT_EQ(clFuchsia, src->TransparentColor());

        BitmapPtr dst = MakeBitmap(6, 6, pf32bit);
        dst->Canvas()->Brush()->SetColor(clBlue);
        dst->Canvas()->FillRect(Rect(0, 0, 6, 6));
        dst->Canvas()->Draw(1, 1, src.get());
        EXPECT_EQ(clBlue, dst->Canvas()->Pixels(1, 1));
        EXPECT_EQ(clBlue, dst->Canvas()->Pixels(4, 4));
        EXPECT_EQ(clRed, dst->Canvas()->Pixels(2, 2));
        EXPECT_EQ(clRed, dst->Canvas()->Pixels(3, 3));
    }

    // Not transparent: the key colour is copied like any other.
    src->SetTransparent(false);
    BitmapPtr dst = MakeBitmap(6, 6, pf24bit);
    dst->Canvas()->Draw(1, 1, src.get());
    EXPECT_EQ(clFuchsia, dst->Canvas()->Pixels(1, 1));
}

TEST(TBitmapStream, BmpRoundTripKeepsFormatPaletteAndAlpha)
{
    for (TPixelFormat f : {pf1bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(int(f));
        BitmapPtr src = MakeBitmap(5, 3, pf24bit);
        src->Canvas()->SetPixels(4, 0, clWhite);
        src->Canvas()->SetPixels(0, 2, clWhite);
        src->SetPixelFormat(f);
        if (f == pf32bit)
            Px(src.get(), 1, 1)[3] = 0x42;

        TMemoryStream s;
        src->SaveToStream(&s);
        s.SetPosition(0);
        BitmapPtr dst(New<TBitmap>());
        dst->LoadFromStream(&s);
        EXPECT_EQ(f, dst->PixelFormat());
        EXPECT_EQ(5, dst->Width());
        EXPECT_EQ(3, dst->Height());
        EXPECT_EQ(clWhite, dst->Canvas()->Pixels(4, 0));
        EXPECT_EQ(clWhite, dst->Canvas()->Pixels(0, 2));
        EXPECT_EQ(clBlack, dst->Canvas()->Pixels(4, 2));
        if (f == pf32bit) {
            EXPECT_EQ(0x42, Px(dst.get(), 1, 1)[3]);
        }
        EXPECT_EQ(src->ColorTable().size(), dst->ColorTable().size());
    }
}

TEST(TBitmapStream, DamagedBmpRaisesAndKeepsTheOldImage)
{
    BitmapPtr src = MakeBitmap(8, 8, pf24bit);
    TMemoryStream good;
    src->SaveToStream(&good);
    const auto* bytes = static_cast<const uint8_t*>(good.Memory());

    BitmapPtr dst = MakeBitmap(2, 2, pf32bit);
    auto load = [&](const std::vector<uint8_t>& data) {
        TMemoryStream s;
        s.WriteBuffer(data.data(), int32_t(data.size()));
        s.SetPosition(0);
        dst->LoadFromStream(&s);
    };
    std::vector<uint8_t> truncated(bytes, bytes + good.Size() - 10);
    EXPECT_THROW(load(truncated), EInvalidGraphic);
    std::vector<uint8_t> notBmp(bytes, bytes + good.Size());
    notBmp[0] = 'X';
    EXPECT_THROW(load(notBmp), EInvalidGraphic);
    std::vector<uint8_t> hugeWidth(bytes, bytes + good.Size());
    hugeWidth[18] = 0xFF, hugeWidth[19] = 0xFF, hugeWidth[20] = 0xFF, hugeWidth[21] = 0x7F;
    EXPECT_THROW(load(hugeWidth), EInvalidGraphic);
    EXPECT_THROW(load({}), EInvalidGraphic);
    // Cut inside the info header, or a header longer than the file: still a
    // damaged picture, not a bare stream error.
    EXPECT_THROW(load(std::vector<uint8_t>(bytes, bytes + 30)), EInvalidGraphic);
    std::vector<uint8_t> longHeader(bytes, bytes + 60);
    longHeader[14] = 0x00, longHeader[15] = 0x02; // 512-byte header
    EXPECT_THROW(load(longHeader), EInvalidGraphic);
    // A channel mask of zero cannot make an image.
    TMemoryStream fields;
    MakeBitmap(4, 4, pf16bit)->SaveToStream(&fields);
    const auto* fieldBytes = static_cast<const uint8_t*>(fields.Memory());
    std::vector<uint8_t> zeroMask(fieldBytes, fieldBytes + fields.Size());
    ASSERT_EQ(0x1F, zeroMask[62]);
    zeroMask[62] = 0;
    EXPECT_THROW(load(zeroMask), EInvalidGraphic);
    EXPECT_EQ(2, dst->Width());
    EXPECT_EQ(pf32bit, dst->PixelFormat());

    // Some writers leave the plane count at 0; the picture is still good.
    std::vector<uint8_t> noPlanes(bytes, bytes + good.Size());
    noPlanes[26] = 0;
    load(noPlanes);
    EXPECT_EQ(8, dst->Width());
    EXPECT_EQ(pf24bit, dst->PixelFormat());
}

// Whatever the damage to a BMP file (cut anywhere in its headers, a header
// byte changed to a telling value or at random), loading either succeeds or
// raises EInvalidGraphic.
TEST(TBitmapStream, EveryCutAndHeaderChangeLoadsOrRaisesInvalidGraphic)
{
    std::mt19937 rng(11);
    for (TPixelFormat f : {pf4bit, pf8bit, pf16bit, pf32bit}) {
        TMemoryStream saved;
        MakeBitmap(13, 7, f)->SaveToStream(&saved);
        const auto* p = static_cast<const uint8_t*>(saved.Memory());
        const std::vector<uint8_t> good(p, p + saved.Size());
        const size_t headerEnd = std::min<size_t>(good.size(), 14 + 40 + 64);
        std::vector<std::vector<uint8_t>> damaged;
        for (size_t cut = 0; cut < headerEnd; ++cut)
            damaged.emplace_back(good.begin(), good.begin() + cut);
        for (size_t at = 0; at < headerEnd; ++at)
            for (uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                damaged.push_back(good);
                damaged.back()[at] = v;
            }
        for (int i = 0; i < 400; ++i) {
            std::vector<uint8_t> d = good;
            for (int k = 1 + int(rng() % 3); k > 0; --k)
                d[rng() % headerEnd] = uint8_t(rng());
            damaged.push_back(d);
        }
        for (const std::vector<uint8_t>& d : damaged) {
            SCOPED_TRACE(testing::Message() << "format " << f << ", " << d.size() << " bytes");
            TMemoryStream s;
            if (!d.empty())
                s.WriteBuffer(d.data(), int32_t(d.size()));
            s.SetPosition(0);
            BitmapPtr b(New<TBitmap>());
            try {
                b->LoadFromStream(&s);
            } catch (const EInvalidGraphic&) {
            } catch (const Exception& e) {
                const UnicodeString name = e.ClassName();
                ADD_FAILURE() << std::string(name.begin(), name.end()) << ": " << e.what();
            }
        }
    }
}

// Creating and freeing bitmaps, fonts and drawing leaves no GDI objects behind.
TEST(TBitmapResources, NoGdiObjectsLeak)
{
    auto cycle = [] {
        BitmapPtr b = MakeBitmap(16, 16, pf24bit);
        b->Canvas()->Font()->SetSize(12);
        b->Canvas()->TextOut(0, 0, L"x");
        b->Canvas()->Font()->SetStyle({fsBold});
        b->Canvas()->TextOut(0, 0, L"y");
        b->Canvas()->Pen()->SetColor(clRed);
        b->Canvas()->LineTo(5, 5);
        b->SetPixelFormat(pf32bit);
        b->SetSize(20, 20);
        BitmapPtr c(New<TBitmap>());
        c->Assign(b.get());
        c->SetTransparent(true);
        b->Canvas()->Draw(0, 0, c.get());
    };
    cycle(); // first use may create lasting objects (stock objects, caches)
    const TResourceCount before = CountResources();
    for (int i = 0; i < 50; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// Every handle a bitmap and its canvas made is gone once they are freed,
// and the canvas's objects are selected out before they are deleted.
TEST(TBitmapResources, FreedObjectsDeleteTheirHandles)
{
    BitmapPtr b = MakeBitmap(8, 8, pf24bit);
    TCanvas* c = b->Canvas();
    c->TextOut(0, 0, L"x");
    c->Rectangle(0, 0, 4, 4);
    HGDIOBJ oldFont = c->Font()->Handle();
    c->Font()->SetSize(30); // the old font must be selected out and deleted
    c->TextOut(0, 0, L"y");
    EXPECT_EQ(0u, ::GetObjectType(oldFont));
    HGDIOBJ oldImage = b->Handle();
    b->SetPixelFormat(pf32bit);
    EXPECT_EQ(0u, ::GetObjectType(oldImage));

    std::vector<HGDIOBJ> handles = {b->Handle(), c->Handle(), c->Font()->Handle(), c->Brush()->Handle(),
                                    c->Pen()->Handle()};
    for (HGDIOBJ h : handles)
        EXPECT_NE(0u, ::GetObjectType(h));
    b.reset();
    for (HGDIOBJ h : handles)
        EXPECT_EQ(0u, ::GetObjectType(h)) << h;
}

TEST(TBitmapStream, TopDownBmpFileKeepsItsRows)
{
    BitmapPtr src = MakeBitmap(3, 2, pf24bit);
    src->Canvas()->SetPixels(0, 0, clRed);
    TMemoryStream s;
    src->SaveToStream(&s);
    // Rewrite as a top-down file: negative height, rows in the other order.
    auto* bytes = static_cast<uint8_t*>(s.Memory());
    int32_t height;
    std::memcpy(&height, bytes + 22, 4);
    height = -height;
    std::memcpy(bytes + 22, &height, 4);
    uint8_t* rows = bytes + 54;
    std::vector<uint8_t> first(rows, rows + 12);
    std::memcpy(rows, rows + 12, 12);
    std::memcpy(rows + 12, first.data(), 12);

    s.SetPosition(0);
    BitmapPtr dst(New<TBitmap>());
    dst->LoadFromStream(&s);
    EXPECT_EQ(clRed, dst->Canvas()->Pixels(0, 0));
    EXPECT_EQ(clBlack, dst->Canvas()->Pixels(0, 1));
    EXPECT_EQ(0xFF, Px(dst.get(), 0, 0)[2]);
    EXPECT_GT(static_cast<uint8_t*>(dst->ScanLine(1)), static_cast<uint8_t*>(dst->ScanLine(0)));
}

// The order a decoder uses: format, palette and size while empty, then rows.
TEST(TBitmapPalette, GivenPaletteBecomesTheColourTable)
{
    struct {
        WORD Version, Count;
        PALETTEENTRY Entries[4];
    } lp{0x300, 4, {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {10, 20, 30, 0}}};
    HPALETTE pal = ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));

    BitmapPtr b(New<TBitmap>());
    b->SetPixelFormat(pf8bit);
    b->SetPalette(pal);
    b->SetSize(4, 1);
    auto* row = static_cast<uint8_t*>(b->ScanLine(0));
    for (int x = 0; x < 4; ++x)
        row[x] = uint8_t(x);
    EXPECT_EQ(clRed, b->Canvas()->Pixels(0, 0));
    EXPECT_EQ(clBlue, b->Canvas()->Pixels(2, 0));
    EXPECT_EQ(0x1E140A, b->Canvas()->Pixels(3, 0));
    EXPECT_EQ(pal, b->Palette());

    // A new palette recolours the same indexes; the old handle is deleted.
    lp.Entries[0] = PALETTEENTRY{0, 0, 0, 0};
    b->SetPalette(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
    EXPECT_EQ(0u, ::GetObjectType(pal));
    EXPECT_EQ(clBlack, b->Canvas()->Pixels(0, 0));

    // Converting gives the grey table and a palette made from it.
    b->SetPixelFormat(pf24bit);
    b->SetPixelFormat(pf8bit);
    PALETTEENTRY e{};
    ASSERT_EQ(1u, ::GetPaletteEntries(b->Palette(), 77, 1, &e));
    EXPECT_EQ(77, e.peRed);
    EXPECT_EQ(77, e.peBlue);
}

// Code that keeps the canvas's context across a resize or a conversion
// still draws into the bitmap.
TEST(TBitmapCanvas, ContextSurvivesNewImages)
{
    BitmapPtr b = MakeBitmap(4, 4, pfDevice);
    HDC dc = b->Canvas()->Handle();
    b->SetSize(6, 6);
    b->SetPixelFormat(pf32bit);
    b->SetPixelFormat(pf8bit);
    b->SetPixelFormat(pf24bit);
    ASSERT_EQ(dc, b->Canvas()->Handle());
    ::SetPixel(dc, 5, 5, RGB(255, 0, 0));
    ::GdiFlush();
    EXPECT_EQ(0xFF, Px(b.get(), 5, 5)[2]);
    EXPECT_EQ(b->Handle(), ::GetCurrentObject(dc, OBJ_BITMAP));
}

// Newer BMP writers use a long header with channel masks; such a 32-bit
// file loads as pf32bit with its alpha.
TEST(TBitmapStream, LongHeaderWithChannelMasks)
{
    std::vector<uint8_t> f(14 + 124 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B', f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 14 + 124);
    put32(14, 124);                  // header size
    put32(18, 2), put32(22, 1);      // 2 x 1
    f[26] = 1, f[28] = 32;           // planes, bits
    put32(30, BI_BITFIELDS);
    put32(54, 0x00FF0000), put32(58, 0x0000FF00), put32(62, 0x000000FF), put32(66, 0xFF000000);
    put32(138, 0x800000FF);          // blue, half transparent
    put32(142, 0xFFFF0000);          // red, opaque
    TMemoryStream s;
    s.WriteBuffer(f.data(), int32_t(f.size()));
    s.SetPosition(0);
    BitmapPtr b(New<TBitmap>());
    b->LoadFromStream(&s);
    EXPECT_EQ(pf32bit, b->PixelFormat());
    EXPECT_EQ(clBlue, b->Canvas()->Pixels(0, 0));
    EXPECT_EQ(clRed, b->Canvas()->Pixels(1, 0));
    EXPECT_EQ(0x80, Px(b.get(), 0, 0)[3]);
}
