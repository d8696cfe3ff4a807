// TColorManager: turns rows of image samples (grey, palette indexes, RGB,
// CMYK, CIE L*a*b*, YCbCr, PhotoYCC; 1 to 16 bits) into the pixel layout of
// a device-independent bitmap, with a gamma table and palette building.
// Windows-free, so that the PNG decoding core also builds natively.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"

enum TColorScheme {
    csUnknown, csIndexed, csG, csGA, csRGB, csRGBA, csBGR, csBGRA, csCMY, csCMYK, csCIELab, csYCbCr, csPhotoYCC
};

enum TConvertOption { coAlpha, coApplyGamma, coNeedByteSwap, coLabByteRange, coLabChromaOffset };
using TConvertOptions = TSet<TConvertOption>;

enum TRawPaletteFormat {
    pfInterlaced8Triple, pfInterlaced8Quad, pfPlane8Triple, pfPlane8Quad,
    pfInterlaced16Triple, pfInterlaced16Quad, pfPlane16Triple, pfPlane16Quad
};

// One entry of a logical palette (the layout of the system's PALETTEENTRY).
struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
using TColorPalette = std::vector<TPaletteEntry>;

KV_EXCEPTION(EColorConversionError, Exception)

// Number * Numerator div Denominator with a 32-bit product, truncated.
uint16_t MulDiv16(uint16_t Number, uint16_t Numerator, uint16_t Denominator);

class TColorManager : public TObject {
    KV_CLASS(TColorManager)
public:
    // One row converter: Source holds one pointer for interleaved samples,
    // or one per plane.
    using TConversionMethod = void (TColorManager::*)(const void* const* Source, int Planes, uint8_t* Target,
                                                      uint32_t Count, uint8_t Mask);

    TColorManager();

    uint8_t SourceBitsPerSample() const { return FSourceBPS; }
    uint8_t TargetBitsPerSample() const { return FTargetBPS; }
    uint8_t SourceSamplesPerPixel() const { return FSourceSPP; }
    uint8_t TargetSamplesPerPixel() const { return FTargetSPP; }
    TColorScheme SourceColorScheme() const { return FSourceScheme; }
    TColorScheme TargetColorScheme() const { return FTargetScheme; }
    // Only the widths a converter handles (1, 2, 4, 8, 16) are taken.
    void SetSourceBitsPerSample(uint8_t Value);
    void SetTargetBitsPerSample(uint8_t Value);
    void SetSourceSamplesPerPixel(uint8_t Value);
    void SetTargetSamplesPerPixel(uint8_t Value);
    void SetSourceColorScheme(TColorScheme Value);
    void SetTargetColorScheme(TColorScheme Value);

    // The owner writes the option sets directly.
    TConvertOptions SourceOptions;
    TConvertOptions TargetOptions;

    float MainGamma() const { return FMainGamma; }
    float DisplayGamma() const { return FDisplayGamma; }
    const uint8_t* GammaTable() const { return FGammaTable; }
    void SetGamma(float MainGamma, float DisplayGamma);

    void ConvertRow(const void* const* Source, int Planes, void* Target, uint32_t Count, uint8_t Mask);
    void ConvertRow(const void* Source, void* Target, uint32_t Count, uint8_t Mask)
    {
        ConvertRow(&Source, 1, Target, Count, Mask);
    }
    void ConvertRow(std::initializer_list<const void*> Source, void* Target, uint32_t Count, uint8_t Mask)
    {
        ConvertRow(Source.begin(), int(Source.size()), Target, Count, Mask);
    }

    // Bits per pixel of the bitmap format for the source (Index 0) or the
    // target (any other Index): 1, 4, 8, 15, 24 or 32; 0 for a custom format.
    int GetPixelFormat(int Index) const;

    // Palettes as entry lists; the Windows side turns them into handles.
    TColorPalette CreateColorPalette(std::initializer_list<const void*> Data, TRawPaletteFormat DataFormat,
                                     uint32_t ColorCount, bool RGB);
    TColorPalette CreateGrayscalePalette(bool MinimumIsWhite);

    [[noreturn]] void Error(const UnicodeString& Msg);

private:
    bool FChanged = true;
    uint8_t FSourceBPS = 8, FTargetBPS = 8;
    uint8_t FSourceSPP = 3, FTargetSPP = 3;
    float FMainGamma = 1.0f, FDisplayGamma = 2.2f;
    uint8_t FGammaTable[256] = {};
    float FYCbCrCoefficients[3] = {0.299f, 0.587f, 0.114f};
    uint8_t FHSubsampling = 1, FVSubSampling = 1;
    std::vector<int> FCrToRedTable, FCbToBlueTable, FCrToGreenTable, FCbToGreenTable;
    TColorScheme FSourceScheme = csRGB, FTargetScheme = csBGR;
    TConversionMethod FRowConversion = nullptr;

    void PrepareConversion();
    void CreateYCbCrLookup();

    // Row converters (ConvertRow's Count is in target pixels; Mask selects
    // which of each group of eight take a source pixel).
    void RowConvertIndexed8(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertIndexedBoth16(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertIndexedSource16(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                   uint8_t Mask);
    void RowConvertIndexedTarget16(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                   uint8_t Mask);
    void RowConvertGray(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertGray2Color(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertRGB2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertRGB2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertBGR2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertBGR2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertCMYK2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertCMYK2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertCIELAB2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertCIELAB2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertYCbCr2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertYCbCr2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask);
    void RowConvertPhotoYCC2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                uint8_t Mask);
    void RowConvertPhotoYCC2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                uint8_t Mask);

    // Shared bodies of the converters above.
    void ConvertColorRow(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask,
                         bool SwapOrder);
    template <class Model>
    void ConvertModelRow(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count, uint8_t Mask,
                         bool BGR, Model model);
};
