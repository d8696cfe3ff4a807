// The decoding core on crafted files: CRC, filters, chunk rules, Adam7,
// transparency, and damaged input that must be refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "tests/native/png/PngTestSupport.h"

using pngtest::Decoding;
using pngtest::SimplePng;
using pngtest::Writer;

namespace {

std::wstring MessageOf(const std::vector<uint8_t>& Data)
{
    Decoding d;
    try {
        d.Run(Data);
    } catch (const Exception& e) {
        return e.Message();
    }
    return L"";
}

std::vector<uint8_t> Gray8Rows(int W, int H, uint8_t Filter = 0)
{
    std::vector<uint8_t> raw;
    for (int y = 0; y < H; ++y) {
        raw.push_back(Filter);
        for (int x = 0; x < W; ++x)
            raw.push_back(uint8_t(x * 16 + y));
    }
    return raw;
}

// Forward PNG filter of one row (the encoder's side), for test images.
std::vector<uint8_t> FilterRow(uint8_t Type, const std::vector<uint8_t>& Row, const std::vector<uint8_t>& Prev, int Bpp)
{
    std::vector<uint8_t> out{Type};
    for (size_t i = 0; i < Row.size(); ++i) {
        const int a = i >= size_t(Bpp) ? Row[i - Bpp] : 0, b = Prev[i], c = i >= size_t(Bpp) ? Prev[i - Bpp] : 0;
        int pred = 0;
        switch (Type) {
        case 1: pred = a; break;
        case 2: pred = b; break;
        case 3: pred = (a + b) / 2; break;
        case 4: pred = PaethPredictor(uint8_t(a), uint8_t(b), uint8_t(c)); break;
        }
        out.push_back(uint8_t(Row[i] - pred));
    }
    return out;
}

// Adam7 data of an 8-bit grey image, each pass row with filter type
// 2, 3 or 4 in turn, so that every pass starts from a zero previous row.
std::vector<uint8_t> Adam7Gray8(const std::vector<std::vector<uint8_t>>& Image)
{
    static const int rs[7] = {0, 0, 4, 0, 2, 0, 1}, cs[7] = {0, 4, 0, 2, 0, 1, 0};
    static const int ri[7] = {8, 8, 8, 4, 4, 2, 2}, ci[7] = {8, 8, 4, 4, 2, 2, 1};
    const int h = int(Image.size()), w = int(Image[0].size());
    std::vector<uint8_t> raw;
    int n = 0;
    for (int p = 0; p < 7; ++p) {
        if (cs[p] >= w)
            continue;
        std::vector<uint8_t> prev((w - cs[p] + ci[p] - 1) / ci[p], 0);
        for (int y = rs[p]; y < h; y += ri[p]) {
            std::vector<uint8_t> row;
            for (int x = cs[p]; x < w; x += ci[p])
                row.push_back(Image[y][x]);
            const auto f = FilterRow(uint8_t(2 + n++ % 3), row, prev, 1);
            raw.insert(raw.end(), f.begin(), f.end());
            prev = row;
        }
    }
    return raw;
}

std::vector<uint8_t> IHDRData(uint32_t W, uint32_t H, uint8_t Depth, uint8_t Type)
{
    std::vector<uint8_t> d;
    pngtest::Put32(d, W);
    pngtest::Put32(d, H);
    d.insert(d.end(), {Depth, Type, 0, 0, 0});
    return d;
}

} // namespace

TEST(PngCore, CrcChainsAndMatchesTheStandardCheckValue)
{
    const char* text = "123456789";
    EXPECT_EQ(UpdateCrc(0, text, 9), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc(UpdateCrc(0, text, 4), text + 4, 5), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc(0x12345678, text, 0), 0x12345678u);
    EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
}

TEST(PngCore, FiltersReverseTheEncodersFilters)
{
    std::mt19937 rng(7);
    for (int bpp : {1, 2, 3, 4, 6, 8})
        for (uint8_t type = 0; type <= 4; ++type) {
            std::vector<uint8_t> prev(37), row(37);
            for (auto& v : prev)
                v = uint8_t(rng());
            for (auto& v : row)
                v = uint8_t(rng());
            std::vector<uint8_t> f = FilterRow(type, row, prev, bpp);
            ApplyFilter(f[0], f.data() + 1, prev.data(), f.data() + 1, bpp, 37);
            EXPECT_TRUE(std::equal(row.begin(), row.end(), f.begin() + 1)) << bpp << " " << int(type);
        }
    // An unknown filter type leaves the bytes alone.
    uint8_t line[3] = {5, 6, 7}, prev[3] = {1, 1, 1};
    ApplyFilter(9, line, prev, line, 1, 3);
    EXPECT_EQ(line[2], 7);
}

TEST(PngCore, ChunkNamesIgnoreCaseAndUnknownAncillaryChunksAreSkipped)
{
    Writer w;
    w.IHDR(2, 1, 8, 0).Chunk("teXt", {'a', 0, 'b'}).Chunk("idat", pngtest::Compress({0, 7, 9})).Chunk("iend", {});
    Decoding d;
    d.Run(w.Bytes);
    EXPECT_EQ(d.Image.Row(0)[1], 9);

    Writer critical;
    critical.IHDR(2, 1, 8, 0).Chunk("ZZZZ", {}).Chunk("IDAT", pngtest::Compress({0, 7, 9})).IEND();
    EXPECT_EQ(MessageOf(critical.Bytes), L"Cannot load PNG image. Unexpected but critical chunk detected.");
}

TEST(PngCore, ImageDataSplitOverManyChunksDecodesTheSame)
{
    const std::vector<uint8_t> raw = Gray8Rows(9, 7, 1);
    const std::vector<uint8_t> z = pngtest::Compress(raw);
    Writer w;
    w.IHDR(9, 7, 8, 0).Chunk("IDAT", {});
    for (size_t i = 0; i < z.size(); i += 3) {
        w.Chunk("IDAT", std::vector<uint8_t>(z.begin() + long(i), z.begin() + long(std::min(i + 3, z.size()))));
        w.Chunk("IDAT", {});
    }
    w.IEND();
    Decoding split, whole;
    split.Run(w.Bytes);
    whole.Run(SimplePng(9, 7, 8, 0, raw));
    EXPECT_EQ(split.Image.Bits, whole.Image.Bits);
    EXPECT_EQ(whole.Image.Row(0)[1], uint8_t(0 + 16)); // Sub: the sum of the row's first two bytes
}

TEST(PngCore, Adam7PassesStartFromAZeroRowAndOtherInterlaceBytesReadAsPlain)
{
    std::vector<std::vector<uint8_t>> image(11, std::vector<uint8_t>(13));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            image[y][x] = uint8_t(x * 19 + y * 7 + (x * y) % 5);
    Decoding d;
    d.Run(SimplePng(13, 11, 8, 0, Adam7Gray8(image), {}, 1));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(d.Image.Row(y)[x], image[y][x]) << x << "," << y;

    Decoding plain;
    plain.Run(SimplePng(2, 1, 8, 0, {0, 3, 4}, {}, 2));
    EXPECT_TRUE(plain.Decoder.ImageProperties().Interlaced); // as the header says, though read as plain
    EXPECT_EQ(plain.Image.Row(0)[1], 4);
}

TEST(PngCore, TwoBitGreyBecomesFourBitIndexesOfSixteenGreys)
{
    Decoding d;
    d.Run(SimplePng(4, 1, 2, 0, {0, 0x1B}));
    EXPECT_EQ(d.Image.Layout.BitsPerPixel, 4);
    ASSERT_EQ(d.Image.Layout.Palette.size(), 16u);
    EXPECT_EQ(d.Image.Layout.Palette[5].Red, 85);
    EXPECT_EQ(d.Image.Row(0)[0], 0x05);
    EXPECT_EQ(d.Image.Row(0)[1], 0xAF);
}

TEST(PngCore, AlphaSurvivesForGreyWithAlphaAndPaletteTransparency)
{
    Decoding ga;
    ga.Run(SimplePng(2, 1, 8, 4, {0, 10, 200, 20, 0}));
    ASSERT_EQ(ga.Image.Layout.BitsPerPixel, 32);
    const uint8_t* p = ga.Image.Row(0);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 8), (std::vector<uint8_t>{10, 10, 10, 200, 20, 20, 20, 0}));

    const std::vector<uint8_t> plte{255, 0, 0, 0, 0, 255};
    Decoding pal;
    pal.Run(SimplePng(2, 1, 8, 3, {0, 0, 1}, {{"PLTE", plte}, {"tRNS", {128}}}));
    ASSERT_EQ(pal.Image.Layout.BitsPerPixel, 32);
    p = pal.Image.Row(0);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 8), (std::vector<uint8_t>{0, 0, 255, 128, 255, 0, 0, 255}));

    // tRNS after the image data changes nothing.
    Writer late;
    late.IHDR(2, 1, 8, 3).Chunk("PLTE", plte).Chunk("IDAT", pngtest::Compress({0, 0, 1})).Chunk("tRNS", {0}).IEND();
    Decoding after;
    after.Run(late.Bytes);
    EXPECT_EQ(after.Image.Layout.BitsPerPixel, 8);
}

TEST(PngCore, ColourKeyFromTRNSComparesTheStoredSamples)
{
    // 16-bit grey: 0x1234 and 0x1235 show the same 8-bit grey, only the
    // first is transparent.
    Decoding d;
    d.Run(SimplePng(2, 1, 16, 0, {0, 0x12, 0x34, 0x12, 0x35}, {{"tRNS", {0x12, 0x34}}}));
    ASSERT_EQ(d.Image.Layout.BitsPerPixel, 32);
    EXPECT_EQ(d.Image.Row(0)[3], 0);
    EXPECT_EQ(d.Image.Row(0)[7], 255);
    EXPECT_EQ(d.Image.Row(0)[4], d.Image.Row(0)[0]);
    EXPECT_EQ(d.Decoder.TransparentColor(), 0x121212u);

    // A level outside the image's range keys nothing.
    Decoding none;
    none.Run(SimplePng(2, 1, 4, 0, {0, 0x1F}, {{"tRNS", {0, 16}}}));
    EXPECT_EQ(none.Image.Layout.BitsPerPixel, 4);
    EXPECT_EQ(none.Decoder.TransparentColor(), PNGNoColor);
}

TEST(PngCore, PaletteIndexesPastThePaletteShowBlack)
{
    Decoding d;
    d.Run(SimplePng(2, 1, 8, 3, {0, 0, 200}, {{"PLTE", {10, 20, 30}}}));
    ASSERT_EQ(d.Image.Layout.Palette.size(), 256u);
    EXPECT_EQ(d.Image.Row(0)[1], 200);
    EXPECT_EQ(d.Image.Layout.Palette[200], (TPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(d.Image.Layout.Palette[0], (TPaletteEntry{10, 20, 30, 0}));
}

TEST(PngCore, GammaAppliesToColoursAndASecondImageStartsAfresh)
{
    std::vector<uint8_t> gama;
    pngtest::Put32(gama, 100000);
    const std::vector<uint8_t> rgb = {0, 64, 128, 200};
    TColorManager manager;
    TPNGDecoder decoder(manager);
    auto load = [&](const std::vector<uint8_t>& Bytes, pngtest::MemoryImage& Image) {
        TPNGMemorySource s(Bytes.data(), Bytes.size());
        decoder.Load(s, Image);
    };
    pngtest::MemoryImage first, second, fresh;
    load(SimplePng(2, 1, 4, 0, {0, 0x3F}, {{"gAMA", gama}}), first);
    load(SimplePng(1, 1, 8, 2, rgb, {{"gAMA", gama}}), second);
    Decoding f;
    f.Run(SimplePng(1, 1, 8, 2, rgb, {{"gAMA", gama}}));
    const std::vector<uint8_t> table = pngsuite::GammaTable(100000);
    EXPECT_EQ(second.Row(0)[0], table[200]);
    EXPECT_EQ(second.Row(0)[2], table[64]);
    EXPECT_EQ(std::memcmp(second.Row(0), f.Image.Row(0), 3), 0);
    EXPECT_EQ(first.Layout.Palette[3].Red, table[51]);
}

TEST(PngCore, DamagedOrIncompleteDataIsRefused)
{
    const std::wstring incomplete = L"Cannot load image. Image data in PNG file is incomplete.";
    const std::wstring invalid = L"Cannot load image. Invalid or unexpected PNG image format.";
    const std::wstring tooLarge = L"Cannot load image. Image in PNG file is too large.";
    const std::vector<uint8_t> raw = Gray8Rows(8, 8);
    std::vector<uint8_t> shortData = pngtest::Compress(std::vector<uint8_t>(raw.begin(), raw.begin() + 40), 0);
    shortData.resize(shortData.size() - 4); // no Adler-32: the stream simply stops
    Writer hugeLength;
    hugeLength.IHDR(8, 8, 8, 0);
    hugeLength.Bytes.insert(hugeLength.Bytes.end(), {0xFF, 0xFF, 0xFF, 0xF0, 'I', 'D', 'A', 'T', 1, 2, 3});
    Writer shortIHDR;
    std::vector<uint8_t> ihdr12 = IHDRData(8, 8, 8, 0);
    ihdr12.pop_back();
    shortIHDR.Chunk("IHDR", ihdr12);
    const std::vector<uint8_t> early = pngtest::Compress(std::vector<uint8_t>(raw.begin(), raw.begin() + 40));
    Writer twoRuns;
    twoRuns.IHDR(8, 8, 8, 0).Chunk("IDAT", pngtest::Compress(raw)).Chunk("teXt", {'a', 0}).Chunk(
        "IDAT", pngtest::Compress(raw));
    twoRuns.IEND();
    Writer noData;
    noData.IHDR(8, 8, 8, 0).IEND();
    struct Case {
        const char* Name;
        std::vector<uint8_t> Data;
        std::wstring Message;
    };
    const std::vector<Case> cases = {
        {"data stops before the last row", [&] {
             Writer w;
             w.IHDR(8, 8, 8, 0).Chunk("IDAT", shortData).IEND();
             return w.Bytes;
         }(), incomplete},
        {"no image data", noData.Bytes, incomplete},
        {"chunk length past the format's limit", hugeLength.Bytes, invalid},
        {"IHDR shorter than its fields", shortIHDR.Bytes, invalid},
        {"width past the format's limit", SimplePng(0x80000000u, 1, 8, 0, raw), invalid},
        {"bitmap larger than the bound", SimplePng(0x7FFFFFFF, 0x7FFFFFFF, 8, 6, raw), tooLarge},
        {"size that the data cannot fill", SimplePng(8000, 8000, 8, 0, raw), incomplete},
        {"zlib stream ends before the last row", [&] {
             Writer w;
             w.IHDR(8, 8, 8, 0).Chunk("IDAT", early).IEND();
             return w.Bytes;
         }(), L"Cannot load image. Extra compressed data found in PNG file."},
        {"a second run of image data", twoRuns.Bytes, L"Cannot load image. Extra compressed data found in PNG file."},
        {"palette image without a palette", SimplePng(8, 8, 8, 3, raw), L"Cannot load image. Palette in PNG file is invalid."},
        {"compression method 1", [&] {
             std::vector<uint8_t> d = IHDRData(8, 8, 8, 0);
             d[10] = 1;
             Writer w;
             w.Chunk("IHDR", d).Chunk("IDAT", pngtest::Compress(raw)).IEND();
             return w.Bytes;
         }(), L"Cannot load image. The compression scheme is not supported for PNG files."},
        {"garbage instead of zlib data", [&] {
             Writer w;
             w.IHDR(8, 8, 8, 0).Chunk("IDAT", std::vector<uint8_t>(60, 0xEE)).IEND();
             return w.Bytes;
         }(), L"Cannot load image. Compression error found in PNG file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Decoding d;
        try {
            d.Run(c.Data);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        // Nothing was allocated for an image that cannot be right.
        if (c.Message == tooLarge || c.Message == invalid) {
            EXPECT_FALSE(d.Image.Prepared);
        }
    }
}

TEST(PngCore, ShortAncillaryChunksArePassedOver)
{
    const std::vector<uint8_t> raw = {0, 1, 2, 3};
    Decoding d;
    d.Run(SimplePng(1, 1, 8, 2, raw, {{"gAMA", {0, 1}}, {"bKGD", {0}}, {"tRNS", {0, 1, 0}}}));
    EXPECT_FALSE(d.Decoder.ImageProperties().Options.Contains(ioUseGamma));
    EXPECT_EQ(d.Decoder.BackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(d.Image.Layout.BitsPerPixel, 24);
    EXPECT_EQ(d.Image.Row(0)[0], 3);

    // Full-length ones take effect; a PLTE of an RGB image is only checked.
    Decoding full;
    full.Run(SimplePng(1, 1, 8, 2, raw, {{"PLTE", {1, 2, 3}}, {"bKGD", {0, 10, 0, 20, 0, 30}}}));
    EXPECT_EQ(full.Decoder.BackgroundColor(), 10u | 20u << 8 | 30u << 16);
    EXPECT_EQ(full.Image.Layout.BitsPerPixel, 24);
}

TEST(PngCore, ReadImagePropertiesStopsAtTheFirstGamma)
{
    std::vector<uint8_t> gama;
    pngtest::Put32(gama, 45455);
    const std::vector<uint8_t> png = SimplePng(3, 2, 16, 6, std::vector<uint8_t>(2 * 25), {{"gAMA", gama}});
    TColorManager m;
    TPNGDecoder d(m);
    TPNGMemorySource s(png.data(), png.size());
    ASSERT_TRUE(d.ReadImageProperties(s));
    const TImageProperties& p = d.ImageProperties();
    EXPECT_EQ(p.ColorScheme, csRGBA);
    EXPECT_EQ(p.BitsPerPixel, 64);
    EXPECT_TRUE(p.HasAlpha);
    EXPECT_FLOAT_EQ(p.FileGamma, 0.45455f);
    const uint8_t junk[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    TPNGMemorySource bad(junk, sizeof junk);
    EXPECT_FALSE(d.ReadImageProperties(bad));
}

TEST(PngCore, ImagesLargerThanOneInflateBlockDecodeExactly)
{
    // RGB rows of 901 bytes with every filter type in turn: rows straddle
    // the blocks that image data is inflated in.
    const int w = 300, h = 300;
    std::mt19937 rng(3);
    std::vector<std::vector<uint8_t>> rows(h, std::vector<uint8_t>(w * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            rows[y][x] = uint8_t(x / 3 + y * 2 + (x % 3) * 60 + int(rng() % 9));
    std::vector<uint8_t> raw, prev(w * 3, 0);
    for (int y = 0; y < h; ++y) {
        const auto f = FilterRow(uint8_t(y % 5), rows[y], prev, 3);
        raw.insert(raw.end(), f.begin(), f.end());
        prev = rows[y];
    }
    Decoding d;
    d.Run(SimplePng(w, h, 8, 2, raw));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(d.Image.Row(y)[x * 3 + c], rows[y][x * 3 + 2 - c]) << x << "," << y;

    std::vector<std::vector<uint8_t>> grey(500, std::vector<uint8_t>(700));
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 700; ++x)
            grey[y][x] = uint8_t(x * 3 + y * 5 + int(rng() % 4));
    Decoding interlaced;
    interlaced.Run(SimplePng(700, 500, 8, 0, Adam7Gray8(grey), {}, 1));
    for (int y = 0; y < 500; ++y)
        ASSERT_EQ(std::memcmp(interlaced.Image.Row(y), grey[y].data(), 700), 0) << y;
}

namespace {

// The memory bound holds for what is really allocated: the bitmap in its
// final format (transparency widens grey, RGB and palette images to 32
// bits) and the two rows of filtered data.
TEST(PngCore, TheMemoryBoundCountsTheFinalFormatAndTheRowBuffers)
{
    const std::vector<uint8_t> plte{255, 0, 0, 0, 0, 255};
    const struct {
        const char* Name;
        uint32_t W, H;
        uint8_t Depth, Type, Bpp;
        std::vector<std::pair<std::string, std::vector<uint8_t>>> Before;
        uint64_t Bound;
        bool Fits;
    } cases[] = {
        // 8-bit grey: 100 000 bytes of rows, 400 000 once keyed.
        {"grey", 1000, 100, 8, 0, 1, {}, 200000, true},
        {"keyed grey", 1000, 100, 8, 0, 1, {{"tRNS", {0, 7}}}, 200000, false},
        {"keyed 16-bit RGB", 500, 100, 16, 2, 6, {{"tRNS", {0, 1, 0, 2, 0, 3}}}, 180000, false},
        {"palette with alpha", 1000, 100, 8, 3, 1, {{"PLTE", plte}, {"tRNS", {128}}}, 200000, false},
        // RGBA: 4 000 bytes of pixels and 2 x 401 of row buffers.
        {"rows counted", 100, 10, 8, 6, 4, {}, 4500, false},
        {"rows fit", 100, 10, 8, 6, 4, {}, 4802, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Decoding d;
        d.Decoder.MaxImageBytes = c.Bound;
        d.Image.MaxBytes = c.Bound; // a request past the bound fails the test's own way
        const std::vector<uint8_t> raw(size_t(c.W * c.Bpp + 1) * c.H, 0);
        try {
            d.Run(SimplePng(c.W, c.H, c.Depth, c.Type, raw, c.Before));
            EXPECT_TRUE(c.Fits) << "decoded " << d.Image.Layout.BitsPerPixel << " bits per pixel";
        } catch (const Exception& e) {
            EXPECT_FALSE(c.Fits);
            EXPECT_NE(e.Message().find(L"large"), std::wstring::npos) << std::string(e.Message().begin(), e.Message().end());
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

} // namespace
