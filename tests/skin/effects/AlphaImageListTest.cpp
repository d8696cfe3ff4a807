// The alpha image list: image files kept with their bytes, 32-bit alpha
// through the system list and back, resampling, streaming from a form
// text, drawing frames of any list, and the built-in glyph list.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/rtl/TempDir.h"
#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/sGlyphUtils.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

const Px kBg = Rgb(0, 0, 200);

// Three 4 x 4 frames: red, green and blue, each with a transparent right column.
Px Frames(int x, int)
{
    if (x % 4 == 3)
        return Rgb(0, 0, 0, 0);
    const int f = x / 4;
    return Rgb(f == 0 ? 255 : 0, f == 1 ? 255 : 0, f == 2 ? 255 : 0, 128);
}

struct ListFixture : ::testing::Test {
    TTempDir dir;
    std::wstring Write(const std::wstring& Name, const std::string& Bytes)
    {
        const std::wstring path = dir.Path() + L"\\" + Name;
        loadtest::WriteBytes(path, Bytes);
        return path;
    }
    std::unique_ptr<TsAlphaImageList> List(int W, int H)
    {
        auto list = std::make_unique<TsAlphaImageList>(nullptr);
        list->AfterConstruction();
        list->SetWidth(W);
        list->SetHeight(H);
        list->Handle();
        return list;
    }
};

std::string Hex(const std::string& Bytes)
{
    std::string hex;
    for (unsigned char c : Bytes) {
        char b[3];
        std::snprintf(b, sizeof b, "%02X", c);
        hex += b;
    }
    return hex;
}

// A list of W x H read from a form text, one PNG item per entry of Items.
TComponent* ListFromText(int W, int H, const std::vector<std::string>& Items)
{
    std::string text = "object L: TsAlphaImageList\r\n  Height = " + std::to_string(H) +
                       "\r\n  Width = " + std::to_string(W) + "\r\n  Items = <";
    for (const std::string& item : Items)
        text += "\r\n    item\r\n      ImgData = {" + Hex(item) + "}\r\n    end";
    text += ">\r\nend\r\n";
    RegisterAlphaImageListClasses();
    TStringStream stream(text);
    return ReadComponentResFromStream(&stream, nullptr);
}

void Put16(std::string& S, int V)
{
    S += char(V & 0xFF);
    S += char((V >> 8) & 0xFF);
}

void Put32(std::string& S, int V)
{
    Put16(S, V & 0xFFFF);
    Put16(S, (V >> 16) & 0xFFFF);
}

// A 32 x 32 ICO file of one image: the left half red, the right half
// transparent (by alpha at 32 bits, by the AND mask at 24).
std::string IcoBytes(int Bpp)
{
    // 32 pixels fill whole DWORDs at 24 and 32 bits and in the mask.
    const int n = 32, maskRow = 4;
    std::string dib;
    Put32(dib, 40);
    Put32(dib, n);
    Put32(dib, n * 2);
    Put16(dib, 1);
    Put16(dib, Bpp);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const bool red = x < n / 2;
            dib += char(0);
            dib += char(0);
            dib += char(red ? 255 : 0);
            if (Bpp == 32)
                dib += char(red ? 255 : 0);
        }
    for (int y = 0; y < n; ++y) {
        dib += std::string(2, char(0x00));
        dib += std::string(maskRow - 2, char(0xFF));
    }
    std::string ico;
    Put16(ico, 0);
    Put16(ico, 1);
    Put16(ico, 1);
    ico += char(n);
    ico += char(n);
    ico += char(0);
    ico += char(0);
    Put16(ico, 1);
    Put16(ico, Bpp);
    Put32(ico, int(dib.size()));
    Put32(ico, 22);
    return ico + dib;
}

} // namespace

TEST_F(ListFixture, PngFileKeepsItsBytesAndItsAlpha)
{
    const std::string bytes = loadtest::PngBytes(12, 4, Frames);
    auto list = List(12, 4);
    ASSERT_TRUE(list->TryLoadFromFile(Write(L"f.png", bytes)));
    ASSERT_EQ(list->Count(), 1);
    ASSERT_EQ(list->Items()->Count(), 1);
    TsImgListItem* item = list->Items()->GetItem(0);
    EXPECT_EQ(item->ImageFormat(), ifPNG);
    EXPECT_EQ(item->PixelFormat(), pf32bit);
    EXPECT_EQ(std::string(static_cast<const char*>(item->ImgData->Memory()), size_t(item->ImgData->Size())), bytes);

    TBitmap image;
    ASSERT_TRUE(list->GetBitmap32(0, &image));
    EXPECT_EQ(image.PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(&image, 5, 2), Rgb(0, 255, 0, 128));
    EXPECT_EQ(PixelOf(&image, 3, 2).A, 0);

    // Without the kept bytes the system list still answers with the alpha.
    list->DoubleData = false;
    TBitmap fromSystem;
    ASSERT_TRUE(list->GetBitmap32(0, &fromSystem));
    EXPECT_EQ(PixelOf(&fromSystem, 5, 2).A, 128);
    EXPECT_EQ(PixelOf(&fromSystem, 3, 2).A, 0);
}

TEST_F(ListFixture, BadCallsAndFilesAreRefused)
{
    auto list = List(8, 8);
    TBitmap image;
    EXPECT_FALSE(list->GetBitmap32(0, &image));
    EXPECT_FALSE(list->GetBitmap32(-1, &image));
    const std::wstring truncated = Write(L"t.png", loadtest::PngBytes(8, 8, Frames).substr(0, 40));
    EXPECT_FALSE(list->TryLoadFromFile(truncated));
    EXPECT_FALSE(list->TryLoadFromFile(Write(L"x.txt", "plain text")));
    EXPECT_FALSE(list->TryLoadFromFile(dir.Path() + L"\\missing.png"));
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Items()->Count(), 0) << "no item is kept for an image that was not added";
    EXPECT_FALSE(list->GetBitmap32(0, nullptr));
}

TEST_F(ListFixture, ImageFormatComesFromMagicAndExtension)
{
    const std::string ico("\0\0\1\0\1\0\0\0\0\0", 10);
    struct Case {
        const wchar_t* Name;
        std::string Bytes;
        bool Ok;
        TsImageFormat Format;
    } cases[] = {
        {L"a.png", loadtest::PngBytes(2, 2, Frames), true, ifPNG},
        {L"a.dat", loadtest::PngBytes(2, 2, Frames), true, ifPNG},
        {L"a.ico", ico, true, ifICO},
        {L"A.ICO", ico, true, ifICO},
        {L"a.bin", ico, false, ifPNG},
        {L"short.png", std::string("\x89PNG\r\n\x1a\n", 8), false, ifPNG},
        {L"empty.ico", std::string(), false, ifPNG},
    };
    for (const Case& c : cases) {
        TsImageFormat f = ifPNG;
        EXPECT_EQ(GetImageFormat(Write(c.Name, c.Bytes), f), c.Ok) << &c - cases;
        if (c.Ok) {
            EXPECT_EQ(f, c.Format);
        }
    }
}

TEST_F(ListFixture, LargerPictureIsResampledToTheListSize)
{
    auto list = List(16, 16);
    ASSERT_TRUE(list->TryLoadFromFile(
        Write(L"big.png", loadtest::PngBytes(32, 32, [](int x, int) { return x < 16 ? Rgb(255, 0, 0) : Rgb(0, 0, 0, 0); }))));
    auto image = loadtest::Solid(16, 16, Rgb(0, 0, 0, 0), pf32bit);
    ASSERT_TRUE(list->GetBitmap32(0, image.get()));
    EXPECT_EQ(image->Width(), 16);
    EXPECT_TRUE(Near(PixelOf(image.get(), 2, 8), Rgb(255, 0, 0)));
    EXPECT_GE(PixelOf(image.get(), 2, 8).A, 250);
    EXPECT_EQ(PixelOf(image.get(), 14, 8).A, 0);
}

TEST_F(ListFixture, PictureWithoutAlphaBecomesOpaque)
{
    // The bottom-left colour appears elsewhere too: nothing of it is cut out.
    auto list = List(4, 4);
    ASSERT_TRUE(list->TryLoadFromFile(
        Write(L"rgb.png", RgbPngBytes(4, 4, [](int x, int) { return x < 2 ? Rgb(9, 9, 9) : Rgb(200, 100, 0); }))));
    TBitmap image;
    ASSERT_TRUE(list->GetBitmap32(0, &image));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(PixelOf(&image, x, 1).A, 255) << x;
}

TEST_F(ListFixture, ItemsStreamFromAFormText)
{
    std::unique_ptr<TComponent> root(ListFromText(4, 4, {loadtest::PngBytes(4, 4, Frames)}));
    auto* list = dynamic_cast<TsAlphaImageList*>(root.get());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 1);
    TBitmap image;
    ASSERT_TRUE(list->GetBitmap32(0, &image));
    EXPECT_EQ(PixelOf(&image, 0, 0), Rgb(255, 0, 0, 128));
}

TEST_F(ListFixture, AssignCopiesItemsAndImages)
{
    auto a = List(12, 4);
    ASSERT_TRUE(a->TryLoadFromFile(Write(L"f.png", loadtest::PngBytes(12, 4, Frames))));
    auto b = List(8, 8);
    b->Assign(a.get());
    EXPECT_EQ(b->Width(), 12);
    EXPECT_EQ(b->Count(), 1);
    EXPECT_EQ(b->Items()->Count(), 1);
    TBitmap image;
    ASSERT_TRUE(b->GetBitmap32(0, &image));
    EXPECT_EQ(PixelOf(&image, 9, 0), Rgb(0, 0, 255, 128));
}

TEST_F(ListFixture, DrawAlphaImgListDrawsOneFrameWithBlendGreyAndMirror)
{
    auto list = List(12, 4);
    ASSERT_TRUE(list->TryLoadFromFile(Write(L"f.png", loadtest::PngBytes(12, 4, [](int x, int) {
        return Rgb(x < 4 ? 255 : 0, x >= 4 && x < 8 ? 255 : 0, x >= 8 ? 255 : 0);
    }))));
    auto dest = loadtest::Solid(20, 20, kBg);
    // State 5 of 3 frames: the last frame.
    const TSize size = DrawAlphaImgList(list.get(), dest.get(), 1, 1, 0, 0, clNone, 5, 3, false);
    EXPECT_EQ(size.cx, 4);
    EXPECT_EQ(size.cy, 4);
    EXPECT_TRUE(Near(PixelOf(dest.get(), 2, 2), Rgb(0, 0, 255)));
    EXPECT_EQ(PixelOf(dest.get(), 5, 2), kBg);

    auto blended = loadtest::Solid(20, 20, Rgb(0, 0, 0));
    DrawAlphaImgList(list.get(), blended.get(), 0, 0, 0, 50, clNone, 0, 3, true);
    const Px half = PixelOf(blended.get(), 1, 1);
    EXPECT_NEAR(half.R, 128, 3);
    EXPECT_NE(PixelOf(blended.get(), 1, 5), Rgb(0, 0, 0)) << "mirror below";

    auto grey = loadtest::Solid(20, 20, Rgb(0, 0, 0));
    DrawAlphaImgList(list.get(), grey.get(), 0, 0, 0, 0, clGray, 0, 3, false);
    const Px g = PixelOf(grey.get(), 1, 1);
    EXPECT_TRUE(g.R == g.G && g.G == g.B) << int(g.R) << " " << int(g.G) << " " << int(g.B);

    EXPECT_EQ(DrawAlphaImgList(list.get(), dest.get(), 0, 0, 0, 0, clNone, 0, 3, false).cx, 4);
    TBitmap empty;
    EXPECT_EQ(DrawAlphaImgList(list.get(), &empty, 0, 0, 0, 0, clNone, 0, 3, false).cx, 0);
}

TEST_F(ListFixture, DrawAlphaImgListDrawsOtherListsThroughTheirOwnDrawing)
{
    TImageList plain(nullptr);
    plain.SetWidth(8);
    plain.SetHeight(4);
    auto bmp = loadtest::MakeBitmap(8, 4, pf24bit, [](int x, int) { return x < 4 ? Rgb(255, 0, 0) : Rgb(0, 255, 0); });
    ASSERT_EQ(plain.Add(bmp.get(), nullptr), 0);
    auto dest = loadtest::Solid(10, 10, kBg);
    DrawAlphaImgList(&plain, dest.get(), 2, 2, 0, 0, clNone, 1, 2, false);
    EXPECT_EQ(PixelOf(dest.get(), 3, 3), Rgb(0, 255, 0));
    EXPECT_EQ(PixelOf(dest.get(), 7, 3), kBg);

    auto onDC = loadtest::Solid(10, 10, kBg);
    DrawAlphaImgListDC(&plain, onDC->Canvas()->Handle(), 0, 0, 0, 0, clNone, 0, 2, false);
    EXPECT_EQ(PixelOf(onDC.get(), 1, 1), Rgb(255, 0, 0));
}

TEST(GlyphList, HoldsTheFiveBuiltInPicturesWithTheirAlpha)
{
    TsAlphaImageList* list = kvResImgList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Count(), kvGlyphsCount);
    EXPECT_EQ(list->Width(), 48);
    EXPECT_EQ(list->Height(), 16);
    for (int i = 0; i < list->Count(); ++i) {
        TBitmap image;
        ASSERT_TRUE(list->GetBitmap32(i, &image));
        int transparent = 0, opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 48; ++x) {
                const int a = PixelOf(&image, x, y).A;
                transparent += a == 0;
                opaque += a == 255;
            }
        EXPECT_GT(transparent, 0) << kvGlyphsResNames[i];
        EXPECT_GT(opaque, 0) << kvGlyphsResNames[i];
        // Image i is the picture of the i-th resource, alpha for alpha.
        TResourceStream res(::GetModuleHandleW(nullptr), kvGlyphsResNames[i]);
        TPNGGraphic png;
        png.LoadFromStream(&res);
        int differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 48; ++x) {
                const Px want = PixelOf(&png, x, y), got = PixelOf(&image, x, y);
                differing += want.A != got.A || (want.A == 255 && !Near(want, got));
            }
        EXPECT_EQ(differing, 0) << kvGlyphsResNames[i];
    }
    FreeResImgList();
    EXPECT_EQ(kvResImgList()->Count(), kvGlyphsCount) << "made again after being freed";
    FreeResImgList();
}

TEST_F(ListFixture, ListsLeakNoGdiObjects)
{
    const std::wstring file = Write(L"f.png", loadtest::PngBytes(12, 4, Frames));
    auto dest = loadtest::Solid(20, 20, kBg);
    auto round = [&] {
        auto list = List(12, 4);
        list->TryLoadFromFile(file);
        DrawAlphaImgList(list.get(), dest.get(), 0, 0, 0, 30, clNone, 1, 3, true);
        DrawAlphaImgListDC(list.get(), dest->Canvas()->Handle(), 0, 0, 0, 0, clNone, 0, 3, false);
        list->DoubleData = false;
        TBitmap image;
        list->GetBitmap32(0, &image);
    };
    round();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 50; ++i)
        round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(ListFixture, ListDrawsItselfWithTheImagesAlpha)
{
    auto list = List(12, 4);
    ASSERT_TRUE(list->TryLoadFromFile(Write(L"f.png", loadtest::PngBytes(12, 4, Frames))));
    auto canvas = loadtest::Solid(20, 10, Rgb(0, 0, 0));
    list->Draw(canvas->Canvas(), 2, 2, 0);
    EXPECT_NEAR(PixelOf(canvas.get(), 2, 2).R, 128, 3) << "half-transparent red over black";
    EXPECT_EQ(PixelOf(canvas.get(), 5, 2), Rgb(0, 0, 0)) << "a transparent column";
    EXPECT_EQ(PixelOf(canvas.get(), 15, 2), Rgb(0, 0, 0)) << "nothing beyond the image";
}

TEST_F(ListFixture, DamagedItemKeepsTheOtherImagesAtTheirIndexes)
{
    auto solid = [](Px C) { return loadtest::PngBytes(4, 4, [C](int, int) { return C; }); };
    const std::string damaged = solid(Rgb(0, 255, 0)).substr(0, 45);
    std::unique_ptr<TComponent> root(ListFromText(4, 4, {solid(Rgb(255, 0, 0)), damaged, solid(Rgb(0, 0, 255))}));
    auto* list = dynamic_cast<TsAlphaImageList*>(root.get());
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 3) << "the damaged item holds its place";
    for (bool kept : {true, false}) {
        list->DoubleData = kept;
        TBitmap first, blank, last;
        ASSERT_TRUE(list->GetBitmap32(0, &first));
        ASSERT_TRUE(list->GetBitmap32(1, &blank));
        ASSERT_TRUE(list->GetBitmap32(2, &last));
        EXPECT_EQ(PixelOf(&first, 1, 1), Rgb(255, 0, 0)) << kept;
        EXPECT_EQ(PixelOf(&blank, 1, 1).A, 0) << kept;
        EXPECT_EQ(PixelOf(&last, 1, 1), Rgb(0, 0, 255)) << kept;
    }
    // An image added by other means makes the list give alpha to its system
    // images: the damaged one's place stays transparent.
    list->DoubleData = true;
    auto opaque = loadtest::Solid(4, 4, Rgb(0, 255, 0));
    ASSERT_EQ(list->Add(opaque.get(), nullptr), 3);
    TBitmap blank, added;
    ASSERT_TRUE(list->GetBitmap32(1, &blank));
    EXPECT_EQ(PixelOf(&blank, 1, 1).A, 0);
    ASSERT_TRUE(list->GetBitmap32(3, &added));
    EXPECT_EQ(PixelOf(&added, 1, 1), Rgb(0, 255, 0, 255));
}

TEST_F(ListFixture, IcoFilesKeepTheirBytesAndDrawTransparent)
{
    for (int bpp : {32, 24}) {
        const std::string bytes = IcoBytes(bpp);
        auto list = List(32, 32);
        ASSERT_TRUE(list->TryLoadFromFile(Write(L"i.ico", bytes))) << bpp;
        ASSERT_EQ(list->Items()->Count(), 1);
        TsImgListItem* item = list->Items()->GetItem(0);
        EXPECT_EQ(item->ImageFormat(), ifICO);
        EXPECT_EQ(item->PixelFormat(), bpp == 32 ? pf32bit : pf24bit);
        EXPECT_EQ(item->ImgData->Size(), int64_t(bytes.size()));
        auto canvas = loadtest::Solid(40, 40, kBg);
        list->Draw(canvas->Canvas(), 0, 0, 0);
        EXPECT_EQ(PixelOf(canvas.get(), 4, 16), Rgb(255, 0, 0)) << bpp;
        EXPECT_EQ(PixelOf(canvas.get(), 28, 16), kBg) << bpp;
    }
    auto list = List(32, 32);
    EXPECT_FALSE(list->TryLoadFromFile(Write(L"bad.ico", IcoBytes(32).substr(0, 30)))) << "a cut-off icon";
    EXPECT_EQ(list->Count(), 0);
}

TEST_F(ListFixture, AlphaListAssignedThroughTheGenericPathTakesTheItems)
{
    auto a = List(12, 4);
    ASSERT_TRUE(a->TryLoadFromFile(Write(L"f.png", loadtest::PngBytes(12, 4, Frames))));
    auto b = List(8, 8);
    static_cast<TPersistent*>(b.get())->TPersistent::Assign(a.get());
    EXPECT_EQ(b->Count(), 1);
    EXPECT_EQ(b->Items()->Count(), 1) << "the bytes travel, not only the system image";
}

// A 24-bit icon has no alpha: its mask says what shows, wherever its
// bottom-left pixel lies.
TEST_F(ListFixture, TwentyFourBitIconsTakeTheirTransparencyFromTheirMask)
{
    auto list = List(32, 32);
    ASSERT_TRUE(list->TryLoadFromFile(Write(L"i.ico", IcoBytes(24))));
    TBitmap image;
    ASSERT_TRUE(list->GetBitmap32(0, &image));
    const TBitmapRows rows = image.Rows();
    EXPECT_EQ(rows.Pixel(4, 16)[3], 255) << "the red half shows";
    EXPECT_EQ(rows.Pixel(4, 16)[2], 255);
    EXPECT_EQ(rows.Pixel(28, 16)[3], 0) << "the masked half is transparent";

    auto canvas = loadtest::Solid(40, 40, kBg);
    DrawAlphaImgList(list.get(), canvas.get(), 0, 0, 0, 0, clNone, 0, 1, false);
    EXPECT_TRUE(Near(PixelOf(canvas.get(), 4, 16), Rgb(255, 0, 0)));
    EXPECT_EQ(PixelOf(canvas.get(), 28, 16), kBg);
}

TEST_F(ListFixture, ClearRemovesTheKeptItemsToo)
{
    for (bool kept : {true, false}) {
        auto list = List(12, 4);
        list->DoubleData = kept;
        ASSERT_TRUE(list->TryLoadFromFile(Write(L"f.png", loadtest::PngBytes(12, 4, Frames))));
        ASSERT_EQ(list->Count(), 1);
        static_cast<TCustomImageList*>(list.get())->Clear();
        EXPECT_EQ(list->Count(), 0) << kept;
        EXPECT_EQ(list->Items()->Count(), 0) << kept;
    }
}
