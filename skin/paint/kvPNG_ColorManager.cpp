#include "skin/paint/kvPNG_ColorManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const wchar_t* const SInvalidBPS = L"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
const wchar_t* const SInvalidSPP = L"Sample count per pixel does not correspond to the given color scheme.";
const wchar_t* const SIndexedNotSupported =
    L"Conversion between indexed and non-indexed pixel formats is not supported.";
const wchar_t* const SConversionFailed = L"Color conversion failed. Could not find a proper method.";

bool ValidWidth(uint8_t Value)
{
    return Value == 1 || Value == 2 || Value == 4 || Value == 8 || Value == 16;
}

bool IsRGBFamily(TColorScheme S) { return S == csRGB || S == csRGBA; }
bool IsBGRFamily(TColorScheme S) { return S == csBGR || S == csBGRA; }
bool IsColorTarget(TColorScheme S) { return IsRGBFamily(S) || IsBGRFamily(S); }
bool HasAlpha(TColorScheme S) { return S == csGA || S == csRGBA || S == csBGRA; }

// 16-bit samples are read and written byte by byte: row buffers carry a
// leading filter byte, so their words are not aligned.
inline uint16_t Word(const uint8_t* P) { return uint16_t(P[0] | P[1] << 8); }
inline uint16_t SwappedWord(const uint8_t* P) { return uint16_t(P[0] << 8 | P[1]); }
inline void PutWord(uint8_t* P, uint16_t V)
{
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}
inline uint16_t Swap16(uint16_t V) { return uint16_t(V << 8 | V >> 8); }
inline uint8_t Scale16(uint16_t V) { return uint8_t(MulDiv16(V, 255, 65535)); }
inline uint16_t Widen8(uint8_t V) { return MulDiv16(V, 65535, 255); }

// Calls F(X) for each target pixel X that the mask gives the next source
// pixel, in order; the others are left alone.  Only the taken pixels are
// visited, so an interlace pass costs what it converts.
template <class F>
inline void ForEachTaken(uint32_t Count, uint8_t Mask, F Take)
{
    if (Mask == 0xFF) {
        for (uint32_t x = 0; x < Count; ++x)
            Take(x);
        return;
    }
    uint32_t at[8];
    int n = 0;
    for (uint32_t b = 0; b < 8; ++b)
        if (Mask & (0x80 >> b))
            at[n++] = b;
    for (uint32_t group = 0; group < Count; group += 8)
        for (int k = 0; k < n; ++k) {
            const uint32_t x = group + at[k];
            if (x >= Count)
                return;
            Take(x);
        }
}

// The component converters: one sample in, one target sample out.
enum TComponentKind { ckNoConvert8, ckGamma, ckScale, ckScaleGamma, ckSwapScale, ckSwapScaleGamma };

struct TComponent8 {
    TComponentKind Kind;
    const uint8_t* Gamma;
    // Value is a byte for the 8-bit kinds and a native word for the others.
    uint8_t operator()(uint16_t Value) const
    {
        switch (Kind) {
        case ckNoConvert8: return uint8_t(Value);
        case ckGamma: return Gamma[Value & 0xFF];
        case ckScale: return Scale16(Value);
        case ckScaleGamma: return Gamma[Scale16(Value)];
        case ckSwapScale: return Scale16(Swap16(Value));
        case ckSwapScaleGamma: return Gamma[Scale16(Swap16(Value))];
        }
        return 0;
    }
};

TComponentKind Kind16(bool Gamma, bool Swap)
{
    if (Gamma)
        return Swap ? ckSwapScaleGamma : ckScaleGamma;
    return Swap ? ckSwapScale : ckScale;
}

// Reads packed values of 1 to 8 bits, most significant bits first.
struct TPackedReader {
    const uint8_t* P;
    int Bits;
    int Shift;
    TPackedReader(const uint8_t* Data, int ABits) : P(Data), Bits(ABits), Shift(8 - ABits) {}
    unsigned Next()
    {
        unsigned v = (*P >> Shift) & ((1u << Bits) - 1);
        Shift -= Bits;
        if (Shift < 0) {
            Shift = 8 - Bits;
            ++P;
        }
        return v;
    }
};

// Writes value V at packed position Index, keeping the other bits of the byte.
inline void PutPacked(uint8_t* Target, uint32_t Index, int Bits, unsigned V)
{
    const uint32_t bit = Index * uint32_t(Bits);
    const int shift = 8 - Bits - int(bit & 7);
    const unsigned mask = ((1u << Bits) - 1) << shift;
    uint8_t& b = Target[bit >> 3];
    b = uint8_t((b & ~mask) | ((V << shift) & mask));
}

// The painting layer has an int ClampByte of its own; this one stays here.
uint8_t ClampByte(int Value)
{
    return Value < 0 ? 0 : Value > 255 ? 255 : uint8_t(Value);
}

} // namespace

uint16_t MulDiv16(uint16_t Number, uint16_t Numerator, uint16_t Denominator)
{
    if (Denominator == 0)
        return 0;
    return uint16_t(uint32_t(Number) * Numerator / Denominator);
}

// ---------------------------------------------------------------------------
TColorManager::TColorManager()
{
    SetGamma(1.0f, 2.2f);
}

void TColorManager::Error(const UnicodeString& Msg)
{
    throw EColorConversionError(Msg);
}

void TColorManager::SetSourceBitsPerSample(uint8_t Value)
{
    if (!ValidWidth(Value))
        Error(SInvalidBPS);
    if (Value != FSourceBPS)
        FSourceBPS = Value, FChanged = true;
}

void TColorManager::SetTargetBitsPerSample(uint8_t Value)
{
    if (!ValidWidth(Value))
        Error(SInvalidBPS);
    if (Value != FTargetBPS)
        FTargetBPS = Value, FChanged = true;
}

void TColorManager::SetSourceSamplesPerPixel(uint8_t Value)
{
    if (Value < 1 || Value > 4)
        Error(SInvalidSPP);
    if (Value != FSourceSPP)
        FSourceSPP = Value, FChanged = true;
}

void TColorManager::SetTargetSamplesPerPixel(uint8_t Value)
{
    if (Value < 1 || Value > 4)
        Error(SInvalidSPP);
    if (Value != FTargetSPP)
        FTargetSPP = Value, FChanged = true;
}

void TColorManager::SetSourceColorScheme(TColorScheme Value)
{
    if (Value != FSourceScheme)
        FSourceScheme = Value, FChanged = true;
}

void TColorManager::SetTargetColorScheme(TColorScheme Value)
{
    if (Value != FTargetScheme)
        FTargetScheme = Value, FChanged = true;
}

void TColorManager::SetGamma(float MainGamma, float DisplayGamma)
{
    FMainGamma = MainGamma > 0 ? MainGamma : 1.0f;
    FDisplayGamma = DisplayGamma > 0 ? DisplayGamma : 2.2f;
    const double e = 1.0 / (double(FMainGamma) * double(FDisplayGamma));
    const int sourceHigh = FSourceBPS >= 8 ? 255 : (1 << FSourceBPS) - 1;
    const int targetHigh = FTargetBPS >= 8 ? 255 : (1 << FTargetBPS) - 1;
    for (int i = 0; i <= sourceHigh; ++i)
        FGammaTable[i] = uint8_t(std::nearbyint(targetHigh * std::pow(double(i) / sourceHigh, e)));
    // Values above the source's range cannot come from this table's samples;
    // they read the top value rather than what an earlier call left there.
    for (int i = sourceHigh + 1; i < 256; ++i)
        FGammaTable[i] = uint8_t(targetHigh);
}

int TColorManager::GetPixelFormat(int Index) const
{
    const int spp = Index == 0 ? FSourceSPP : FTargetSPP;
    const int bps = Index == 0 ? FSourceBPS : FTargetBPS;
    switch (spp) {
    case 1:
        if (bps == 1)
            return 1;
        if (bps >= 2 && bps <= 4)
            return 4;
        if (bps >= 8 && bps <= 16)
            return 8;
        return 0;
    case 3: return bps >= 1 && bps <= 5 ? 15 : 24;
    case 4: return bps >= 8 ? 32 : 0;
    default: return 0;
    }
}

void TColorManager::PrepareConversion()
{
    FRowConversion = nullptr;
    const bool sourceIndexed = FSourceScheme == csIndexed || FSourceScheme == csG || FSourceScheme == csGA;
    const bool targetIndexed = FTargetScheme == csIndexed || FTargetScheme == csG;
    // Grey sources may also become colour pixels (grey with alpha keeps its
    // alpha that way); every other mix of indexed and colour is refused.
    const bool grayToColor = (FSourceScheme == csG || FSourceScheme == csGA) && IsColorTarget(FTargetScheme);
    if (sourceIndexed != targetIndexed && !grayToColor)
        Error(SIndexedNotSupported);
    if (HasAlpha(FSourceScheme))
        SourceOptions.Include(coAlpha);
    else
        SourceOptions.Exclude(coAlpha);
    if (HasAlpha(FTargetScheme))
        TargetOptions.Include(coAlpha);
    else
        TargetOptions.Exclude(coAlpha);

    const bool toRGB = IsRGBFamily(FTargetScheme), toBGR = IsBGRFamily(FTargetScheme);
    auto pick = [&](TConversionMethod RGB, TConversionMethod BGR) {
        FRowConversion = toRGB ? RGB : toBGR ? BGR : nullptr;
    };
    switch (FSourceScheme) {
    case csIndexed:
        if (FSourceBPS == 16 && FTargetBPS == 16)
            FRowConversion = &TColorManager::RowConvertIndexedBoth16;
        else if (FSourceBPS == 16)
            FRowConversion = &TColorManager::RowConvertIndexedSource16;
        else if (FTargetBPS == 16)
            FRowConversion = &TColorManager::RowConvertIndexedTarget16;
        else
            FRowConversion = &TColorManager::RowConvertIndexed8;
        break;
    case csG:
    case csGA:
        if (grayToColor) {
            if (FTargetBPS == 8 && (FSourceBPS == 8 || FSourceBPS == 16))
                FRowConversion = &TColorManager::RowConvertGray2Color;
        } else if (FSourceScheme == csGA) {
            if ((FSourceBPS == 8 || FSourceBPS == 16) && (FTargetBPS == 8 || FTargetBPS == 16))
                FRowConversion = &TColorManager::RowConvertGray;
        } else if (FSourceBPS == 16 || FTargetBPS == 16) {
            if (FSourceBPS >= 8 && FTargetBPS >= 8)
                FRowConversion = &TColorManager::RowConvertGray;
        } else {
            // Grey levels of up to 8 bits are indexes of a grey ramp.
            FRowConversion = &TColorManager::RowConvertIndexed8;
        }
        break;
    case csRGB:
    case csRGBA: pick(&TColorManager::RowConvertRGB2RGB, &TColorManager::RowConvertRGB2BGR); break;
    case csBGR:
    case csBGRA: pick(&TColorManager::RowConvertBGR2RGB, &TColorManager::RowConvertBGR2BGR); break;
    case csCMYK: pick(&TColorManager::RowConvertCMYK2RGB, &TColorManager::RowConvertCMYK2BGR); break;
    case csCIELab: pick(&TColorManager::RowConvertCIELAB2RGB, &TColorManager::RowConvertCIELAB2BGR); break;
    case csYCbCr:
        CreateYCbCrLookup();
        pick(&TColorManager::RowConvertYCbCr2RGB, &TColorManager::RowConvertYCbCr2BGR);
        break;
    case csPhotoYCC:
        CreateYCbCrLookup();
        pick(&TColorManager::RowConvertPhotoYCC2RGB, &TColorManager::RowConvertPhotoYCC2BGR);
        break;
    case csCMY:
    case csUnknown: break;
    }
    FChanged = false;
}

void TColorManager::CreateYCbCrLookup()
{
    const double kr = FYCbCrCoefficients[0], kg = FYCbCrCoefficients[1], kb = FYCbCrCoefficients[2];
    const double f1 = 2 - 2 * kr, f2 = kr * f1 / kg, f3 = 2 - 2 * kb, f4 = kb * f3 / kg;
    const bool photo = FSourceScheme == csPhotoYCC;
    FCrToRedTable.assign(256, 0);
    FCbToBlueTable.assign(256, 0);
    FCrToGreenTable.assign(256, 0);
    FCbToGreenTable.assign(256, 0);
    for (int i = 0; i < 256; ++i) {
        const double cr = photo ? i - 137 : i - 128;
        const double cb = photo ? i - 156 : i - 128;
        FCrToRedTable[i] = int(std::nearbyint(f1 * cr));
        FCbToBlueTable[i] = int(std::nearbyint(f3 * cb));
        FCrToGreenTable[i] = -int(std::nearbyint(f2 * cr));
        FCbToGreenTable[i] = -int(std::nearbyint(f4 * cb));
    }
}

void TColorManager::ConvertRow(const void* const* Source, int Planes, void* Target, uint32_t Count, uint8_t Mask)
{
    if (FChanged)
        PrepareConversion();
    if (!FRowConversion)
        Error(SConversionFailed);
    (this->*FRowConversion)(Source, Planes, static_cast<uint8_t*>(Target), Count, Mask);
}

// ---------------------------------------------------------------------------
// Palette indexes and grey levels.
void TColorManager::RowConvertIndexed8(const void* const* Source, int, uint8_t* Target, uint32_t Count,
                                       uint8_t Mask)
{
    const uint8_t* src = static_cast<const uint8_t*>(Source[0]);
    if (FSourceBPS == FTargetBPS && Mask == 0xFF) {
        std::memcpy(Target, src, (size_t(Count) * FSourceBPS + 7) / 8);
        return;
    }
    const uint16_t sourceHigh = uint16_t((1u << FSourceBPS) - 1), targetHigh = uint16_t((1u << FTargetBPS) - 1);
    TPackedReader reader(src, FSourceBPS);
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        PutPacked(Target, X, FTargetBPS, MulDiv16(uint16_t(reader.Next()), targetHigh, sourceHigh));
    });
}

void TColorManager::RowConvertIndexedBoth16(const void* const* Source, int, uint8_t* Target, uint32_t Count,
                                            uint8_t Mask)
{
    const uint8_t* src = static_cast<const uint8_t*>(Source[0]);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    if (Mask == 0xFF && !swap) {
        std::memcpy(Target, src, size_t(Count) * 2);
        return;
    }
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        PutWord(Target + 2 * X, swap ? SwappedWord(src) : Word(src));
        src += 2;
    });
}

void TColorManager::RowConvertIndexedSource16(const void* const* Source, int, uint8_t* Target, uint32_t Count,
                                              uint8_t Mask)
{
    const uint8_t* src = static_cast<const uint8_t*>(Source[0]);
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const uint16_t targetHigh = uint16_t((1u << FTargetBPS) - 1);
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        PutPacked(Target, X, FTargetBPS, MulDiv16(swap ? SwappedWord(src) : Word(src), targetHigh, 65535));
        src += 2;
    });
}

void TColorManager::RowConvertIndexedTarget16(const void* const* Source, int, uint8_t* Target, uint32_t Count,
                                              uint8_t Mask)
{
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    const uint16_t sourceHigh = uint16_t((1u << FSourceBPS) - 1);
    TPackedReader reader(static_cast<const uint8_t*>(Source[0]), FSourceBPS);
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        const uint16_t v = MulDiv16(uint16_t(reader.Next()), 65535, sourceHigh);
        PutWord(Target + 2 * X, swap ? Swap16(v) : v);
    });
}

void TColorManager::RowConvertGray(const void* const* Source, int, uint8_t* Target, uint32_t Count, uint8_t Mask)
{
    const uint8_t* src = static_cast<const uint8_t*>(Source[0]);
    const int samples = SourceOptions.Contains(coAlpha) ? 2 : 1;
    const bool swap = SourceOptions.Contains(coNeedByteSwap);
    if (FSourceBPS == 8 && FTargetBPS == 8) {
        ForEachTaken(Count, Mask, [&](uint32_t X) { Target[X] = *src, src += samples; });
    } else if (FSourceBPS == 8 && FTargetBPS == 16) {
        ForEachTaken(Count, Mask, [&](uint32_t X) { PutWord(Target + 2 * X, Widen8(*src)), src += samples; });
    } else if (FSourceBPS == 16 && FTargetBPS == 8) {
        const TComponent8 conv{swap ? ckSwapScale : ckScale, FGammaTable};
        ForEachTaken(Count, Mask, [&](uint32_t X) { Target[X] = conv(Word(src)), src += 2 * samples; });
    } else if (FSourceBPS == 16 && FTargetBPS == 16) {
        ForEachTaken(Count, Mask, [&](uint32_t X) {
            PutWord(Target + 2 * X, swap ? SwappedWord(src) : Word(src)), src += 2 * samples;
        });
    }
}

// Grey (with or without alpha) to 8-bit colour pixels: the level goes into
// all three colour bytes, through the gamma table when asked, as these
// pixels have no palette to carry the gamma.
void TColorManager::RowConvertGray2Color(const void* const* Source, int, uint8_t* Target, uint32_t Count,
                                         uint8_t Mask)
{
    if (FTargetBPS != 8 || (FSourceBPS != 8 && FSourceBPS != 16))
        return;
    const uint8_t* src = static_cast<const uint8_t*>(Source[0]);
    const bool sourceAlpha = SourceOptions.Contains(coAlpha), targetAlpha = TargetOptions.Contains(coAlpha);
    const bool gamma = TargetOptions.Contains(coApplyGamma), swap = SourceOptions.Contains(coNeedByteSwap);
    const int bytes = FSourceBPS / 8, step = bytes * (sourceAlpha ? 2 : 1), targetStep = targetAlpha ? 4 : 3;
    const TComponent8 conv{bytes == 1 ? (gamma ? ckGamma : ckNoConvert8) : Kind16(gamma, swap), FGammaTable};
    const TComponent8 alpha{bytes == 1 ? ckNoConvert8 : Kind16(false, swap), FGammaTable};
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        uint8_t* t = Target + X * targetStep;
        t[0] = t[1] = t[2] = conv(bytes == 1 ? *src : Word(src));
        if (sourceAlpha && targetAlpha)
            t[3] = alpha(bytes == 1 ? src[1] : Word(src + 2));
        src += step;
    });
}

// ---------------------------------------------------------------------------
// RGB and BGR.  SwapOrder reverses the three colour samples.
void TColorManager::ConvertColorRow(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                    uint8_t Mask, bool SwapOrder)
{
    const bool sourceAlpha = SourceOptions.Contains(coAlpha), targetAlpha = TargetOptions.Contains(coAlpha);
    const bool copyAlpha = sourceAlpha && targetAlpha;
    const bool gamma = TargetOptions.Contains(coApplyGamma), swap = SourceOptions.Contains(coNeedByteSwap);
    const int sb = FSourceBPS / 8, tb = FTargetBPS / 8;
    if ((FSourceBPS != 8 && FSourceBPS != 16) || (FTargetBPS != 8 && FTargetBPS != 16))
        return;
    const bool planar = Planes > 1;
    const int sourceStep = planar ? sb : sb * (sourceAlpha ? 4 : 3);
    const int targetStep = tb * (targetAlpha ? 4 : 3);
    const uint8_t* p[4] = {};
    for (int i = 0; i < (planar ? std::min(Planes, 4) : 1); ++i)
        p[i] = static_cast<const uint8_t*>(Source[i]);
    const bool alphaPlane = planar && Planes >= 4;
    auto sample = [&](int Index) -> const uint8_t* {
        return planar ? p[Index] : p[0] + Index * sb;
    };
    const int first = SwapOrder ? 2 : 0, last = SwapOrder ? 0 : 2;

    // The common case gets loops of its own: 8-bit samples, no gamma.
    if (sb == 1 && tb == 1 && !gamma && !planar) {
        const uint8_t* s = p[0];
        if (Mask == 0xFF && SwapOrder && sourceStep == 4 && targetStep == 4) {
            for (uint32_t i = 0; i < Count; ++i, s += 4, Target += 4) {
                uint32_t v;
                std::memcpy(&v, s, 4);
                v = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16; // red and blue change places
                std::memcpy(Target, &v, 4);
            }
            return;
        }
        ForEachTaken(Count, Mask, [&](uint32_t X) {
            uint8_t* t = Target + X * targetStep;
            t[0] = s[first];
            t[1] = s[1];
            t[2] = s[last];
            if (copyAlpha)
                t[3] = s[3];
            s += sourceStep;
        });
        return;
    }

    const TComponent8 conv{sb == 1 ? (gamma ? ckGamma : ckNoConvert8) : Kind16(gamma, swap), FGammaTable};
    const TComponent8 alphaConv{sb == 1 ? ckNoConvert8 : Kind16(false, swap), FGammaTable};
    auto read = [&](const uint8_t* S) -> uint16_t { return sb == 1 ? *S : Word(S); };
    auto put = [&](uint8_t* T, const uint8_t* S, bool IsAlpha) {
        if (tb == 1) {
            *T = IsAlpha ? alphaConv(read(S)) : conv(read(S));
        } else if (sb == 1) {
            // 8 -> 16: the 8-bit result widened, in the source's byte order.
            const uint16_t w = Widen8(IsAlpha ? *S : conv(*S));
            PutWord(T, swap ? Swap16(w) : w);
        } else {
            PutWord(T, swap ? SwappedWord(S) : Word(S));
        }
    };
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        uint8_t* t = Target + X * targetStep;
        put(t, sample(first), false);
        put(t + tb, sample(1), false);
        put(t + 2 * tb, sample(last), false);
        if (copyAlpha && (!planar || alphaPlane))
            put(t + 3 * tb, sample(3), true);
        for (auto& q : p)
            if (q)
                q += sourceStep;
    });
}

void TColorManager::RowConvertRGB2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                      uint8_t Mask)
{
    ConvertColorRow(Source, Planes, Target, Count, Mask, true);
}

void TColorManager::RowConvertRGB2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                      uint8_t Mask)
{
    ConvertColorRow(Source, Planes, Target, Count, Mask, false);
}

void TColorManager::RowConvertBGR2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                      uint8_t Mask)
{
    ConvertColorRow(Source, Planes, Target, Count, Mask, false);
}

void TColorManager::RowConvertBGR2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                      uint8_t Mask)
{
    ConvertColorRow(Source, Planes, Target, Count, Mask, true);
}

// ---------------------------------------------------------------------------
// Colour models.  A model turns the samples of one pixel (native words for
// 16-bit sources, already in machine byte order) into red, green and blue.
namespace {

struct TRGB {
    int R, G, B;
};

struct TSourceSamples {
    uint16_t S[4];
    bool Wide; // 16-bit samples
    uint8_t Byte(int i) const { return Wide ? Scale16(S[i]) : uint8_t(S[i]); }
};

} // namespace

template <class Model>
void TColorManager::ConvertModelRow(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                    uint8_t Mask, bool BGR, Model model)
{
    if ((FSourceBPS != 8 && FSourceBPS != 16) || (FTargetBPS != 8 && FTargetBPS != 16))
        return;
    const int sb = FSourceBPS / 8, tb = FTargetBPS / 8;
    const bool planar = Planes > 1, swap = SourceOptions.Contains(coNeedByteSwap);
    const int n = std::max<int>(1, std::min<int>(FSourceSPP, 4));
    const int sourceStep = planar ? sb : sb * n;
    const int targetStep = tb * (TargetOptions.Contains(coAlpha) ? 4 : 3);
    const uint8_t* p[4] = {};
    for (int i = 0; i < (planar ? std::min(Planes, 4) : 1); ++i)
        p[i] = static_cast<const uint8_t*>(Source[i]);
    ForEachTaken(Count, Mask, [&](uint32_t X) {
        TSourceSamples s{{}, sb == 2};
        for (int i = 0; i < n; ++i) {
            const uint8_t* q = planar ? (i < Planes ? p[i] : nullptr) : p[0] + i * sb;
            if (q)
                s.S[i] = sb == 1 ? *q : swap ? SwappedWord(q) : Word(q);
        }
        const TRGB c = model(s);
        const int out[3] = {BGR ? c.B : c.R, c.G, BGR ? c.R : c.B};
        uint8_t* t = Target + X * targetStep;
        for (int i = 0; i < 3; ++i) {
            const uint8_t v = ClampByte(out[i]);
            if (tb == 1)
                t[i] = v;
            else
                PutWord(t + 2 * i, Widen8(v));
        }
        for (auto& q : p)
            if (q)
                q += sourceStep;
    });
}

namespace {

TRGB CMYKModel(const TSourceSamples& s)
{
    auto channel = [&](int X) {
        const uint16_t x = s.S[X], k = s.S[3];
        if (!s.Wide)
            return int(ClampByte(255 - x - k + MulDiv16(x, k, 255)));
        const int sum = std::min(65535, x + k - MulDiv16(x, k, 65535));
        return int(ClampByte(255 - MulDiv16(uint16_t(sum), 255, 65535)));
    };
    return {channel(0), channel(1), channel(2)};
}

} // namespace

void TColorManager::RowConvertCMYK2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                       uint8_t Mask)
{
    ConvertModelRow(Source, Planes, Target, Count, Mask, true, CMYKModel);
}

void TColorManager::RowConvertCMYK2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                       uint8_t Mask)
{
    ConvertModelRow(Source, Planes, Target, Count, Mask, false, CMYKModel);
}

void TColorManager::RowConvertCIELAB2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                         uint8_t Mask)
{
    const bool byteRange = SourceOptions.Contains(coLabByteRange);
    const bool chromaOffset = SourceOptions.Contains(coLabChromaOffset);
    auto model = [=](const TSourceSamples& s) -> TRGB {
        double l = s.Byte(0);
        if (byteRange)
            l /= 2.55;
        const double a = chromaOffset ? s.Byte(1) - 128.0 : double(int8_t(s.Byte(1)));
        const double b = chromaOffset ? s.Byte(2) - 128.0 : double(int8_t(s.Byte(2)));
        double x, y, z;
        if (l < 7.9996) {
            y = l / 903.3;
            x = y + a / 3893.5;
            z = y - b / 1557.4;
        } else {
            const double f = (l + 16) / 116;
            x = std::pow(f + a / 500, 3);
            y = f * f * f;
            z = std::pow(f - b / 200, 3);
        }
        auto level = [](double v) { return int(std::nearbyint(v * 255)); };
        return {level(2.998 * x - 1.458 * y - 0.541 * z), level(-0.952 * x + 1.893 * y + 0.059 * z),
                level(0.099 * x - 0.198 * y + 1.099 * z)};
    };
    ConvertModelRow(Source, Planes, Target, Count, Mask, FTargetScheme != csRGB && FTargetScheme != csRGBA, model);
}

void TColorManager::RowConvertCIELAB2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                         uint8_t Mask)
{
    RowConvertCIELAB2BGR(Source, Planes, Target, Count, Mask);
}

void TColorManager::RowConvertYCbCr2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                        uint8_t Mask)
{
    auto model = [this](const TSourceSamples& s) -> TRGB {
        const int y = s.Byte(0), cb = s.Byte(1), cr = s.Byte(2);
        return {y + FCrToRedTable[cr], y + FCbToGreenTable[cb] + FCrToGreenTable[cr], y + FCbToBlueTable[cb]};
    };
    ConvertModelRow(Source, Planes, Target, Count, Mask, FTargetScheme != csRGB && FTargetScheme != csRGBA, model);
}

void TColorManager::RowConvertYCbCr2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                        uint8_t Mask)
{
    RowConvertYCbCr2BGR(Source, Planes, Target, Count, Mask);
}

void TColorManager::RowConvertPhotoYCC2BGR(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                           uint8_t Mask)
{
    auto model = [this](const TSourceSamples& s) -> TRGB {
        if (!s.Wide) {
            const int y = s.S[0], cb = s.S[1], cr = s.S[2];
            return {y + FCrToRedTable[cr], y + FCbToGreenTable[cb] + FCrToGreenTable[cr], y + FCbToBlueTable[cb]};
        }
        // 16-bit: computed on the 16-bit scale, then brought to bytes.
        const double y = s.S[0] * 1.3584, c1 = double(s.S[1]) - 0x9C9C, c2 = double(s.S[2]) - 0x8989;
        auto level = [](double v) {
            const long w = std::lround(std::clamp(v, 0.0, 65535.0));
            return int(Scale16(uint16_t(w)));
        };
        return {level(y + 1.8215 * c2), level(y - 0.9271435 * c2 - 0.4302726 * c1), level(y + 2.2179 * c1)};
    };
    ConvertModelRow(Source, Planes, Target, Count, Mask, FTargetScheme != csRGB && FTargetScheme != csRGBA, model);
}

void TColorManager::RowConvertPhotoYCC2RGB(const void* const* Source, int Planes, uint8_t* Target, uint32_t Count,
                                           uint8_t Mask)
{
    RowConvertPhotoYCC2BGR(Source, Planes, Target, Count, Mask);
}

// ---------------------------------------------------------------------------
// Palettes.
TColorPalette TColorManager::CreateColorPalette(std::initializer_list<const void*> Data,
                                                TRawPaletteFormat DataFormat, uint32_t ColorCount, bool RGB)
{
    const uint32_t count = std::min<uint32_t>(ColorCount, 256);
    // Built over all 256 entries, so that spreading never reads past the data.
    TColorPalette entries(256);
    const bool gamma = TargetOptions.Contains(coApplyGamma), swap = SourceOptions.Contains(coNeedByteSwap);
    const bool wide = DataFormat >= pfInterlaced16Triple;
    const bool planar = DataFormat == pfPlane8Triple || DataFormat == pfPlane8Quad || DataFormat == pfPlane16Triple ||
                        DataFormat == pfPlane16Quad;
    const bool quad = DataFormat == pfInterlaced8Quad || DataFormat == pfInterlaced16Quad;
    const TComponent8 conv{wide ? Kind16(gamma, swap) : gamma ? ckGamma : ckNoConvert8, FGammaTable};
    const int sampleBytes = wide ? 2 : 1;
    const void* const* ptr = Data.begin();
    const int planes = int(Data.size());
    if (planes == 0 || (planar && planes < 3))
        return TColorPalette(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t s[3];
        for (int c = 0; c < 3; ++c) {
            const uint8_t* q = planar ? static_cast<const uint8_t*>(ptr[c]) + i * sampleBytes
                                      : static_cast<const uint8_t*>(ptr[0]) + (i * (quad ? 4 : 3) + c) * sampleBytes;
            s[c] = wide ? Word(q) : *q;
        }
        // 8-bit entries read red first unless RGB; 16-bit ones the other way.
        const bool redFirst = planar || (wide ? RGB : !RGB);
        TPaletteEntry& e = entries[i];
        e.Red = conv(redFirst ? s[0] : s[2]);
        e.Green = conv(s[1]);
        e.Blue = conv(redFirst ? s[2] : s[0]);
    }
    const uint32_t sourceHigh = (1u << FSourceBPS) - 1, targetHigh = (1u << FTargetBPS) - 1;
    if (FTargetBPS <= 8 && sourceHigh != targetHigh) {
        TColorPalette spread(targetHigh + 1);
        for (uint32_t k = 0; k <= targetHigh; ++k) {
            const uint32_t from = MulDiv16(uint16_t(k), uint16_t(sourceHigh), uint16_t(targetHigh));
            spread[k] = from < 256 ? entries[from] : TPaletteEntry{};
        }
        return spread;
    }
    entries.resize(count);
    return entries;
}

TColorPalette TColorManager::CreateGrayscalePalette(bool MinimumIsWhite)
{
    const int bits = std::min(FTargetBPS * FTargetSPP, 8);
    const int n = 1 << bits, upper = n - 1, step = 255 / upper;
    const bool gamma = TargetOptions.Contains(coApplyGamma);
    TColorPalette entries(n);
    for (int i = 0; i <= upper; ++i) {
        const uint8_t v = gamma ? FGammaTable[i * step] : uint8_t(i * step);
        entries[MinimumIsWhite ? upper - i : i] = TPaletteEntry{v, v, v, 0};
    }
    return entries;
}
