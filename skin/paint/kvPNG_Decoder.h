// The PNG decoding core of kvPNG: signature and chunk walk with CRC checks,
// inflate through zlib, unfiltering, Adam7 de-interlacing and the colour
// manager's row conversion into a bitmap's rows.  Windows-free: TPNGGraphic
// (kvPNG.h) supplies the bitmap, a native test supplies plain memory.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/graphics/BitmapRows.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"
#include "skin/paint/kvPNG_ColorManager.h"

extern const uint8_t PNGMagic[8];

KV_EXCEPTION(EGraphicCompression, Exception)

// CRC-32 of the PNG format, continued from Crc: chained calls give the CRC
// of the joined data.
uint32_t UpdateCrc(uint32_t Crc, const void* Buffer, size_t Length);
uint32_t SwapLong(uint32_t Value);
void SwapLong(void* P, int Count);

// The colour value used for "no transparent colour" (the class library's clNone).
constexpr uint32_t PNGNoColor = 0x1FFFFFFF;

enum TCompressionType { ctUnknown, ctNone, ctLZ77 };
enum TImageOption { ioBigEndian, ioUseGamma };
using TImageOptions = TSet<TImageOption>;

struct TImageProperties {
    TImageOptions Options;
    uint32_t Width = 0;
    uint32_t Height = 0;
    TColorScheme ColorScheme = csUnknown;
    uint8_t BitsPerSample = 0;
    uint8_t SamplesPerPixel = 0;
    uint8_t BitsPerPixel = 0;
    TCompressionType Compression = ctUnknown;
    float FileGamma = 1.0f;
    bool Interlaced = false;
    bool HasAlpha = false;
    uint8_t FilterMode = 0;
};

struct TPNGChunkHeader {
    uint32_t Length = 0;  // machine order
    char ChunkType[4] = {};
};

// Inflate over the zlib stream record.
class TLZ77Decoder : public TObject {
    KV_CLASS(TLZ77Decoder)
    z_stream FStream{};
    int FZLibResult = 0;
    int FFlushMode;
    bool FAutoReset;
    bool FInitialized = false;

public:
    TLZ77Decoder(int FlushMode, bool AutoReset);
    ~TLZ77Decoder() override;
    void DecodeInit();
    // Inflates from Source into Dest and moves both to where inflate
    // stopped; does nothing once a call answered anything but Z_OK.
    void Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize, uint32_t UnpackedSize);
    void DecodeEnd();
    void Encode() {}
    uint32_t GetAvailableInput() const { return FStream.avail_in; }
    uint32_t GetAvailableOutput() const { return FStream.avail_out; }
    int ZLibResult() const { return FZLibResult; }
};

// The byte stream a PNG is read from.
class TPNGSource {
public:
    virtual ~TPNGSource() = default;
    // Reads up to Count bytes; answers how many came.
    virtual size_t Read(void* Buffer, size_t Count) = 0;
    virtual uint64_t Position() = 0;
    virtual void SetPosition(uint64_t Pos) = 0;
    // Bytes left after the position; UINT64_MAX when the stream cannot say.
    virtual uint64_t Remaining() = 0;
};

// A source over bytes in memory (the bytes are not copied).
class TPNGMemorySource : public TPNGSource {
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;

public:
    TPNGMemorySource(const void* Data, size_t Size) : FData(static_cast<const uint8_t*>(Data)), FSize(Size) {}
    size_t Read(void* Buffer, size_t Count) override;
    uint64_t Position() override { return FPos; }
    void SetPosition(uint64_t Pos) override { FPos = Pos < FSize ? size_t(Pos) : FSize; }
    uint64_t Remaining() override { return FSize - FPos; }
};

// What the decoded image needs from the bitmap that receives it.
struct TPNGImageLayout {
    uint32_t Width = 0;
    uint32_t Height = 0;
    int BitsPerPixel = 0;            // 1, 4, 8, 24 or 32
    TColorPalette Palette;           // the colour table of 1-, 4- and 8-bit images
    uint32_t BackgroundColor = 0xFFFFFF;
};

enum TPNGProgressStage { ppsStarting, ppsRunning, ppsEnding };

struct TPNGProgressRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TPNGImageTarget {
public:
    virtual ~TPNGImageTarget() = default;
    // Makes the bitmap and hands out its rows.
    virtual TBitmapRows PrepareImage(const TPNGImageLayout& Layout) = 0;
    virtual void Progress(TPNGProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TPNGProgressRect& R,
                          const wchar_t* Msg)
    {
    }
};

class TPNGDecoder {
public:
    explicit TPNGDecoder(TColorManager& ColorManager) : FColorManager(ColorManager) {}
    ~TPNGDecoder();
    TPNGDecoder(const TPNGDecoder&) = delete;
    TPNGDecoder& operator=(const TPNGDecoder&) = delete;

    // The most memory (the bitmap's pixel rows in their final format, after
    // any widening for transparency, and the decoder's row buffers) a file
    // may ask for; beyond it the file is refused before anything is allocated.
    uint64_t MaxImageBytes = uint64_t(512) << 20;

    // Reads the signature, the header and the first gAMA from the source's
    // position; False when the data is no PNG image.
    bool ReadImageProperties(TPNGSource& Source);
    // Decodes the PNG at the source's position into the target's rows.
    void Load(TPNGSource& Source, TPNGImageTarget& Target);

    const TImageProperties& ImageProperties() const { return FImageProperties; }
    // The colour in which the pixels of the tRNS grey level or colour are
    // shown (those pixels get alpha 0); PNGNoColor when there is none.
    uint32_t TransparentColor() const { return FTransparentColor; }
    uint32_t BackgroundColor() const { return FBackgroundColor; }
    // tRNS alpha of the palette entries (255 where the chunk gave none).
    const uint8_t* Transparency() const { return FTransparency; }

private:
    // IHDR's fields, in file order.
    struct TIHDRChunk {
        uint32_t Width = 0, Height = 0;
        uint8_t BitDepth = 0, ColorType = 0, Compression = 0, Filter = 0, Interlace = 0;
    };

    TColorManager& FColorManager;
    TPNGSource* FSource = nullptr;
    TPNGImageTarget* FTarget = nullptr;
    TImageProperties FImageProperties;
    TIHDRChunk FIHDR;
    TLZ77Decoder* FDecoder = nullptr;
    TPNGChunkHeader FHeader;
    uint32_t FCurrentCRC = 0;
    uint32_t FChunkLeft = 0;         // data bytes of the current chunk not read yet
    std::vector<uint8_t> FRawBuffer; // compressed data read but not inflated yet
    const uint8_t* FCurrentSource = nullptr;
    uint32_t FSourceLeft = 0;
    std::vector<uint8_t> FInflated;  // a block of inflated image data
    size_t FInflatedPos = 0, FInflatedEnd = 0;
    uint64_t FImageBytesLeft = 0;    // image data not inflated yet
    int FSourceBPP = 1;
    TPNGProgressRect FProgressRect;
    bool FDepthSetUp = false;
    bool FImageDone = false;
    bool FInIDAT = false;            // the current chunk is IDAT and its CRC is not read yet
    int FTargetBits = 0;
    TColorPalette FPalette;          // palette of the bitmap (PLTE or grey ramp)
    TColorPalette FPLTE;             // PLTE entries as read, for bKGD
    uint8_t FTransparency[256];
    bool FHasTransparency = false;
    uint16_t FKey[3] = {};           // tRNS grey level or RGB samples
    int FKeySamples = 0;
    uint32_t FTransparentColor = PNGNoColor;
    uint32_t FBackgroundColor = 0xFFFFFF;
    std::vector<uint32_t> FExpandTable; // index or grey level -> B, G, R, A, for tRNS images
    bool FKeyAlpha = false;          // alpha from comparing samples with tRNS

    uint32_t LoadAndSwapHeader();
    void LoadChunks();
    void ResetState();
    void Cleanup(bool Succeeded);
    uint64_t RowBytes(uint32_t Width) const;
    bool SampleLevel(uint16_t Sample, uint8_t& Level) const;
    bool IsChunk(const char* ChunkType) const;
    void ReadExact(void* Buffer, size_t Count);
    void SkipBytes(uint64_t Count);
    // Reads the current chunk's data (the first Max bytes kept in Data) and
    // checks its CRC.
    size_t ReadDataAndCheckCRC(uint8_t* Data, size_t Max);
    void CheckCRC();
    void ReadIHDR();
    void CheckImageSize();
    void CheckImageBytes(int BitsPerPixel) const;
    int SetupColorDepth(int ColorType, int BitDepth);
    void LoadPalette();
    void LoadGamma();
    void LoadBackgroundColor();
    void LoadTransparency();
    uint32_t TransparentKey() const;
    void LoadIDAT();
    TPNGImageLayout MakeLayout();
    void DecodeRows(const TBitmapRows& Rows);
    enum TDirectRows { drNo, drSame, drSwapped };
    TDirectRows DirectRows() const;
    void ConvertPixels(const uint8_t* Line, uint8_t* Target, uint8_t Mask);
    static void PassColumns(uint8_t Mask, uint32_t& Start, uint32_t& Step);
    void ExpandPixels(const uint8_t* Line, uint8_t* Target, uint8_t Mask) const;
    void SetKeyAlpha(const uint8_t* Line, uint8_t* Target, uint8_t Mask) const;
    bool NextIDATData();
    uint64_t ImageDataBytes() const;
    const uint8_t* ReadRow(uint8_t* RowBuffer, uint32_t BytesPerRow);
    void InflateBlock();
    [[noreturn]] void CompressionFailed(const wchar_t* Message);
    void FinishIDAT();
    void Progress(TPNGProgressStage Stage, uint8_t Percent, bool Redraw, const wchar_t* Msg);
};

// Reverses the PNG filter of one row in place (Line == Target).
void ApplyFilter(uint8_t Filter, uint8_t* Line, const uint8_t* PrevLine, uint8_t* Target, int BPP, int BytesPerRow);
uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c);

// Error texts of the reader, with "PNG" in place of the format name.
UnicodeString PNGMessage(const wchar_t* Format, const wchar_t* Arg1 = L"PNG", const wchar_t* Arg2 = L"PNG");
