// TColorManager: setters, row converters with masks, gamma table, palettes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "skin/paint/kvPNG_ColorManager.h"

namespace {

void Program(TColorManager& M, TColorScheme From, TColorScheme To, int SourceBits, int TargetBits, int SourceSamples,
             int TargetSamples)
{
    M.SetSourceColorScheme(From);
    M.SetTargetColorScheme(To);
    M.SetSourceBitsPerSample(uint8_t(SourceBits));
    M.SetTargetBitsPerSample(uint8_t(TargetBits));
    M.SetSourceSamplesPerPixel(uint8_t(SourceSamples));
    M.SetTargetSamplesPerPixel(uint8_t(TargetSamples));
}

std::wstring MessageOf(const std::function<void()>& F)
{
    try {
        F();
    } catch (const EColorConversionError& e) {
        return e.Message();
    }
    return L"";
}

} // namespace

TEST(ColorManager, BitWidthsAreOnlyThoseAConverterHandles)
{
    const std::wstring bad = L"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
    for (int w : {0, 3, 5, 7, 12, 15, 17, 255}) {
        TColorManager m;
        EXPECT_EQ(MessageOf([&] { m.SetSourceBitsPerSample(uint8_t(w)); }), bad) << w;
        EXPECT_EQ(MessageOf([&] { m.SetTargetBitsPerSample(uint8_t(w)); }), bad) << w;
        EXPECT_EQ(m.SourceBitsPerSample(), 8);
    }
    for (int w : {1, 2, 4, 8, 16}) {
        TColorManager m;
        m.SetSourceBitsPerSample(uint8_t(w));
        EXPECT_EQ(m.SourceBitsPerSample(), w);
    }
    TColorManager m;
    const std::wstring spp = L"Sample count per pixel does not correspond to the given color scheme.";
    EXPECT_EQ(MessageOf([&] { m.SetSourceSamplesPerPixel(0); }), spp);
    EXPECT_EQ(MessageOf([&] { m.SetTargetSamplesPerPixel(5); }), spp);
}

TEST(ColorManager, SchemePairsWithoutAConverterRaise)
{
    TColorManager m;
    uint8_t src[4] = {}, dst[4] = {};
    Program(m, csRGB, csIndexed, 8, 8, 3, 1);
    EXPECT_EQ(MessageOf([&] { m.ConvertRow(src, dst, 1, 0xFF); }),
              L"Conversion between indexed and non-indexed pixel formats is not supported.");
    Program(m, csCMY, csBGR, 8, 8, 3, 3);
    EXPECT_EQ(MessageOf([&] { m.ConvertRow(src, dst, 1, 0xFF); }),
              L"Color conversion failed. Could not find a proper method.");
    // Grey with alpha to an indexed target drops the alpha.
    Program(m, csGA, csIndexed, 8, 8, 1, 1);
    const uint8_t ga[4] = {10, 200, 20, 100};
    m.ConvertRow(ga, dst, 2, 0xFF);
    EXPECT_EQ(dst[0], 10);
    EXPECT_EQ(dst[1], 20);
}

TEST(ColorManager, MaskPlacesPixelsAndConsumesOnlyTakenOnes)
{
    TColorManager m;
    Program(m, csG, csG, 8, 8, 1, 1);
    uint8_t src[16], dst[16];
    for (int i = 0; i < 16; ++i)
        src[i] = uint8_t(100 + i), dst[i] = 0;
    m.ConvertRow(src, dst, 16, 0x55);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(dst[i], i % 2 ? 100 + i / 2 : 0) << i;

    // Packed targets keep the bits of pixels the mask leaves alone.
    Program(m, csIndexed, csIndexed, 1, 1, 1, 1);
    const uint8_t bits[1] = {0xF0};
    uint8_t packed[1] = {0x00};
    m.ConvertRow(bits, packed, 8, 0x0F);
    EXPECT_EQ(packed[0], 0x0F);
}

TEST(ColorManager, SampleWidthConversions)
{
    TColorManager m;
    uint8_t out[8] = {};
    // 2-bit levels widened to 4 bits: v * 5.
    Program(m, csG, csG, 2, 4, 1, 1);
    const uint8_t two[1] = {0x1B};
    m.ConvertRow(two, out, 4, 0xFF);
    EXPECT_EQ(out[0], 0x05);
    EXPECT_EQ(out[1], 0xAF);
    // Big-endian 16-bit grey to 8 bits: 0x1234 * 255 div 65535 = 18.
    Program(m, csG, csG, 16, 8, 1, 1);
    m.SourceOptions = {coNeedByteSwap};
    const uint8_t wide[2] = {0x12, 0x34};
    m.ConvertRow(wide, out, 1, 0xFF);
    EXPECT_EQ(out[0], 18);
    // 16-bit palette indexes to 4 bits.
    Program(m, csIndexed, csIndexed, 16, 4, 1, 1);
    const uint8_t idx[4] = {0xFF, 0xFF, 0x00, 0x00};
    m.ConvertRow(idx, out, 2, 0xFF);
    EXPECT_EQ(out[0], 0xF0);
    // 4-bit indexes to 16 bits, swapped.
    Program(m, csIndexed, csIndexed, 4, 16, 1, 1);
    const uint8_t nib[1] = {0xF1};
    m.ConvertRow(nib, out, 2, 0xFF);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0x11);
    EXPECT_EQ(out[3], 0x11);
}

TEST(ColorManager, RGBToBGRWithGammaLeavesAlphaAlone)
{
    TColorManager m;
    m.SetGamma(1.0f, 2.2f);
    Program(m, csRGBA, csBGRA, 16, 8, 4, 4);
    m.SourceOptions = {coNeedByteSwap};
    m.TargetOptions = {coApplyGamma};
    const uint8_t px[8] = {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00};
    uint8_t out[4] = {};
    m.ConvertRow(px, out, 1, 0xFF);
    const uint8_t* g = m.GammaTable();
    EXPECT_EQ(out[0], g[0]);
    EXPECT_EQ(out[1], g[0x8000 * 255 / 65535]);
    EXPECT_EQ(out[2], g[255]);
    EXPECT_EQ(out[3], 0x8000 * 255 / 65535);
    // Without a source alpha the fourth byte stays as it was.
    Program(m, csRGB, csBGRA, 8, 8, 3, 4);
    m.TargetOptions = {};
    const uint8_t rgb[3] = {1, 2, 3};
    uint8_t bgra[4] = {9, 9, 9, 77};
    m.ConvertRow(rgb, bgra, 1, 0xFF);
    EXPECT_EQ(bgra[0], 3);
    EXPECT_EQ(bgra[2], 1);
    EXPECT_EQ(bgra[3], 77);
}

TEST(ColorManager, ColourModels)
{
    struct Case {
        TColorScheme Scheme;
        int Samples;
        std::vector<uint8_t> In;
        uint8_t B, G, R;
        int Tolerance;
    };
    const Case cases[] = {
        {csCMYK, 4, {0, 0, 0, 0}, 255, 255, 255, 0},
        {csCMYK, 4, {255, 0, 0, 0}, 255, 255, 0, 0},  // cyan
        {csCMYK, 4, {0, 0, 0, 255}, 0, 0, 0, 0},
        {csYCbCr, 3, {128, 128, 128}, 128, 128, 128, 0},
        {csYCbCr, 3, {76, 85, 255}, 0, 0, 255, 2},     // red
        {csCIELab, 3, {255, 128, 128}, 255, 255, 255, 3}, // white (byte range, chroma offset)
        {csPhotoYCC, 3, {0, 156, 137}, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Scheme));
        TColorManager m;
        Program(m, c.Scheme, csBGR, 8, 8, c.Samples, 3);
        m.SourceOptions = {coLabByteRange, coLabChromaOffset};
        uint8_t out[3] = {};
        m.ConvertRow(c.In.data(), out, 1, 0xFF);
        EXPECT_NEAR(out[0], c.B, c.Tolerance);
        EXPECT_NEAR(out[1], c.G, c.Tolerance);
        EXPECT_NEAR(out[2], c.R, c.Tolerance);
        // The RGB target gets the same colour in the other order.
        m.SetTargetColorScheme(csRGB);
        uint8_t rgb[3] = {};
        m.ConvertRow(c.In.data(), rgb, 1, 0xFF);
        EXPECT_EQ(rgb[0], out[2]);
        EXPECT_EQ(rgb[2], out[0]);
    }
    // Planar CMYK: one pointer per plane.
    TColorManager m;
    Program(m, csCMYK, csBGR, 8, 8, 4, 3);
    const uint8_t c[2] = {0, 255}, mg[2] = {255, 0}, y[2] = {0, 0}, k[2] = {0, 0};
    uint8_t out[6] = {};
    m.ConvertRow({c, mg, y, k}, out, 2, 0xFF);
    EXPECT_EQ(out[1], 0); // magenta: no green
    EXPECT_EQ(out[3], 255); // cyan: blue and green 255, red 0
    EXPECT_EQ(out[4], 255);
    EXPECT_EQ(out[5], 0);
}

TEST(ColorManager, GammaTable)
{
    TColorManager m;
    m.SetGamma(0.45455f, 2.2f); // a file gamma of 1/2.2: close to identity
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(m.GammaTable()[i], i, 1) << i;
    m.SetGamma(1.0f, 2.2f);
    EXPECT_EQ(m.GammaTable()[0], 0);
    EXPECT_EQ(m.GammaTable()[255], 255);
    EXPECT_EQ(m.GammaTable()[64], uint8_t(std::nearbyint(255 * std::pow(64 / 255.0, 1 / 2.2))));
    // A table for 4-bit samples leaves no entries of the previous table.
    m.SetSourceBitsPerSample(4);
    m.SetTargetBitsPerSample(4);
    m.SetGamma(1.0f, 2.2f);
    for (int i = 0; i < 256; ++i)
        EXPECT_LE(m.GammaTable()[i], 15) << i;
    EXPECT_EQ(m.GammaTable()[200], 15);
    // Gammas of 0 or below fall back to 1.0 and 2.2.
    m.SetGamma(0, -1);
    EXPECT_FLOAT_EQ(m.MainGamma(), 1.0f);
    EXPECT_FLOAT_EQ(m.DisplayGamma(), 2.2f);
}

TEST(ColorManager, GrayscalePalettes)
{
    TColorManager m;
    m.SetTargetSamplesPerPixel(1);
    m.SetTargetBitsPerSample(1);
    TColorPalette p = m.CreateGrayscalePalette(false);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], (TPaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(p[1], (TPaletteEntry{255, 255, 255, 0}));
    m.SetTargetBitsPerSample(4);
    p = m.CreateGrayscalePalette(false);
    ASSERT_EQ(p.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p[i].Red, 17 * i);
    p = m.CreateGrayscalePalette(true);
    EXPECT_EQ(p[0].Red, 255);
    EXPECT_EQ(p[15].Red, 0);
}

TEST(ColorManager, ColorPalettes)
{
    TColorManager m;
    std::vector<uint8_t> data(300 * 3);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i);
    m.SetSourceBitsPerSample(8);
    m.SetTargetBitsPerSample(8);
    TColorPalette p = m.CreateColorPalette({data.data()}, pfInterlaced8Triple, 300, false);
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[1], (TPaletteEntry{3, 4, 5, 0}));
    p = m.CreateColorPalette({data.data()}, pfInterlaced8Quad, 2, true);
    EXPECT_EQ(p[1], (TPaletteEntry{6, 5, 4, 0}));
    const uint8_t r[2] = {1, 2}, g[2] = {3, 4}, b[2] = {5, 6};
    p = m.CreateColorPalette({r, g, b}, pfPlane8Triple, 2, false);
    EXPECT_EQ(p[1], (TPaletteEntry{2, 4, 6, 0}));
    const uint8_t w[6] = {0xFF, 0xFF, 0x00, 0x80, 0x00, 0x00}; // blue, green, red words
    m.SourceOptions = {};
    p = m.CreateColorPalette({w}, pfInterlaced16Triple, 1, false);
    EXPECT_EQ(p[0], (TPaletteEntry{0, 127, 255, 0}));

    // Two-bit palettes are spread to 16 entries, matching the widened indexes.
    m.SetSourceBitsPerSample(2);
    m.SetTargetBitsPerSample(4);
    const uint8_t four[12] = {10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0};
    p = m.CreateColorPalette({four}, pfInterlaced8Triple, 4, false);
    ASSERT_EQ(p.size(), 16u);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(p[k].Red, k < 5 ? 10 : k < 10 ? 20 : k < 15 ? 30 : 40) << k;
}

TEST(ColorManager, PixelFormats)
{
    struct Case {
        int Samples, Bits, Format;
    };
    const Case cases[] = {{1, 1, 1}, {1, 2, 4}, {1, 4, 4}, {1, 8, 8}, {1, 16, 8}, {3, 4, 15},
                          {3, 8, 24}, {4, 8, 32}, {4, 4, 0}, {2, 8, 0}};
    for (const Case& c : cases) {
        TColorManager m;
        m.SetTargetSamplesPerPixel(uint8_t(c.Samples));
        m.SetTargetBitsPerSample(uint8_t(c.Bits));
        EXPECT_EQ(m.GetPixelFormat(1), c.Format) << c.Samples << "x" << c.Bits;
    }
}
