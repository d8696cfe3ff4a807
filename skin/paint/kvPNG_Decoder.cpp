#include "skin/paint/kvPNG_Decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

const uint8_t PNGMagic[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

namespace {

const wchar_t* const SInvalidImage = L"Cannot load image. Invalid or unexpected %s image format.";
const wchar_t* const SUnsupportedScheme = L"Cannot load image. %s not supported for %s files.";
const wchar_t* const SCompressionScheme = L"The compression scheme is";
const wchar_t* const SInvalidPalette = L"Cannot load image. Palette in %s file is invalid.";
const wchar_t* const SCRCError = L"Cannot load image. CRC error found in %s file.";
const wchar_t* const SUnknownCriticalChunk = L"Cannot load PNG image. Unexpected but critical chunk detected.";
const wchar_t* const SInvalidColorFormat = L"Invalid color format in %s file.";
const wchar_t* const SExtraCompressedData = L"Cannot load image. Extra compressed data found in %s file.";
const wchar_t* const SCompressionError = L"Cannot load image. Compression error found in %s file.";
const wchar_t* const SLZ77Error = L"LZ77 decompression error.";
const wchar_t* const SImageDataMissing = L"Cannot load image. Image data in %s file is incomplete.";
const wchar_t* const SImageTooLarge = L"Cannot load image. Image in %s file is too large.";
const wchar_t* const SStreamRead = L"Stream read error";

// Compressed data is read in pieces of this size, whatever a chunk's length
// claims, so that a damaged length cannot force a large allocation.
constexpr uint32_t KReadPiece = 64 * 1024;
// Image data is inflated in blocks of up to this size (many rows per call).
constexpr uint64_t KInflateBlock = 128 * 1024;
// Deflate cannot expand data by more than this factor.
constexpr uint64_t KMaxInflateRatio = 1032;
// The PNG format's limit for chunk lengths, widths and heights.
constexpr uint32_t KMaxPNGValue = 0x7FFFFFFF;

// The CRC table from the polynomial's exponents, with seven derived tables
// so that eight bytes go through per round.
struct TCrcTables {
    uint32_t T[8][256];
    TCrcTables()
    {
        static const int exponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
        uint32_t poly = 0;
        for (int e : exponents)
            poly |= 1u << (31 - e);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? poly ^ (c >> 1) : c >> 1;
            T[0][n] = c;
        }
        for (int t = 1; t < 8; ++t)
            for (uint32_t n = 0; n < 256; ++n)
                T[t][n] = (T[t - 1][n] >> 8) ^ T[0][T[t - 1][n] & 0xFF];
    }
};

const TCrcTables& CrcTables()
{
    static const TCrcTables tables; // MakeCrcTable, on the first CRC
    return tables;
}

inline uint32_t BigEndian32(const uint8_t* P)
{
    return uint32_t(P[0]) << 24 | uint32_t(P[1]) << 16 | uint32_t(P[2]) << 8 | P[3];
}

inline uint16_t BigEndian16(const uint8_t* P) { return uint16_t(P[0] << 8 | P[1]); }

inline uint32_t ColorValue(uint8_t R, uint8_t G, uint8_t B) { return R | uint32_t(G) << 8 | uint32_t(B) << 16; }

// Adam7: row start, column start, row increment, column increment, mask.
struct TAdam7Pass {
    uint32_t RowStart, ColumnStart, RowIncrement, ColumnIncrement;
    uint8_t Mask;
};
constexpr TAdam7Pass KAdam7[7] = {
    {0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
    {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF},
};

} // namespace

UnicodeString PNGMessage(const wchar_t* Format, const wchar_t* Arg1, const wchar_t* Arg2)
{
    UnicodeString s(Format);
    const wchar_t* args[2] = {Arg1, Arg2};
    size_t from = 0;
    for (const wchar_t* a : args) {
        const size_t at = s.find(L"%s", from);
        if (at == UnicodeString::npos)
            break;
        s.replace(at, 2, a);
        from = at + std::wcslen(a);
    }
    return s;
}

uint32_t UpdateCrc(uint32_t Crc, const void* Buffer, size_t Length)
{
    const TCrcTables& t = CrcTables();
    const uint8_t* p = static_cast<const uint8_t*>(Buffer);
    uint32_t c = ~Crc;
    for (; Length >= 8; Length -= 8, p += 8) {
        const uint32_t lo = c ^ (p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        const uint32_t hi = p[4] | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        c = t.T[7][lo & 0xFF] ^ t.T[6][(lo >> 8) & 0xFF] ^ t.T[5][(lo >> 16) & 0xFF] ^ t.T[4][lo >> 24] ^
            t.T[3][hi & 0xFF] ^ t.T[2][(hi >> 8) & 0xFF] ^ t.T[1][(hi >> 16) & 0xFF] ^ t.T[0][hi >> 24];
    }
    for (; Length > 0; --Length, ++p)
        c = t.T[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}

uint32_t SwapLong(uint32_t Value)
{
    return Value >> 24 | (Value >> 8 & 0xFF00) | (Value << 8 & 0xFF0000) | Value << 24;
}

void SwapLong(void* P, int Count)
{
    uint8_t* b = static_cast<uint8_t*>(P);
    for (int i = 0; i < Count; ++i, b += 4) {
        std::swap(b[0], b[3]);
        std::swap(b[1], b[2]);
    }
}

size_t TPNGMemorySource::Read(void* Buffer, size_t Count)
{
    const size_t n = std::min(Count, FSize - FPos);
    if (n)
        std::memcpy(Buffer, FData + FPos, n);
    FPos += n;
    return n;
}

// ---------------------------------------------------------------------------
TLZ77Decoder::TLZ77Decoder(int FlushMode, bool AutoReset) : FFlushMode(FlushMode), FAutoReset(AutoReset) {}

TLZ77Decoder::~TLZ77Decoder()
{
    if (FInitialized)
        inflateEnd(&FStream);
}

void TLZ77Decoder::DecodeInit()
{
    if (inflateInit(&FStream) < 0)
        throw EGraphicCompression(SLZ77Error);
    FInitialized = true;
}

void TLZ77Decoder::Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize, uint32_t UnpackedSize)
{
    FStream.next_in = const_cast<Bytef*>(Source);
    FStream.avail_in = PackedSize;
    if (FAutoReset)
        FZLibResult = inflateReset(&FStream);
    if (FZLibResult != Z_OK)
        return;
    FStream.next_out = Dest;
    FStream.avail_out = UnpackedSize;
    FZLibResult = inflate(&FStream, FFlushMode);
    Source = FStream.next_in;
    Dest = FStream.next_out;
}

void TLZ77Decoder::DecodeEnd()
{
    if (!FInitialized)
        return;
    FInitialized = false;
    if (inflateEnd(&FStream) < 0)
        throw EGraphicCompression(SLZ77Error);
}

// ---------------------------------------------------------------------------
// Filters.
uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c)
{
    const int pa = std::abs(int(b) - c), pb = std::abs(int(a) - c), pc = std::abs(int(a) + b - 2 * c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

namespace {

template <int B>
void UnfilterPaeth(const uint8_t* Line, const uint8_t* Prev, uint8_t* T, int N)
{
    for (int i = 0; i < B && i < N; ++i)
        T[i] = uint8_t(Line[i] + Prev[i]);
    for (int i = B; i < N; ++i) {
        const int a = T[i - B], b = Prev[i], c = Prev[i - B];
        const int p = b - c, q = a - c;
        const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
        // The predictor's choice written so that it compiles without jumps
        // (photographs make these comparisons unpredictable).
        int pred = a, best = pa;
        pred = pb < best ? b : pred;
        best = pb < best ? pb : best;
        pred = pc < best ? c : pred;
        T[i] = uint8_t(Line[i] + pred);
    }
}

// Four bytes at once in a 32-bit word: byte-wise sums and floor averages
// that carry nothing into the next byte.
inline uint32_t Load32(const uint8_t* P)
{
    uint32_t v;
    std::memcpy(&v, P, 4);
    return v;
}
inline void Store32(uint8_t* P, uint32_t V) { std::memcpy(P, &V, 4); }
inline uint32_t AddBytes(uint32_t X, uint32_t Y)
{
    return ((X & 0x7F7F7F7Fu) + (Y & 0x7F7F7F7Fu)) ^ ((X ^ Y) & 0x80808080u);
}
inline uint32_t AverageBytes(uint32_t X, uint32_t Y) { return (X & Y) + (((X ^ Y) & 0xFEFEFEFEu) >> 1); }

template <int B>
void UnfilterAverage(const uint8_t* Line, const uint8_t* Prev, uint8_t* T, int N)
{
    for (int i = 0; i < B && i < N; ++i)
        T[i] = uint8_t(Line[i] + (Prev[i] >> 1));
    int i = B;
    if constexpr (B % 4 == 0) {
        // Pixels of 4 or 8 bytes: the left neighbour's bytes are all known.
        for (; i + 4 <= N; i += 4)
            Store32(T + i, AddBytes(Load32(Line + i), AverageBytes(Load32(T + i - B), Load32(Prev + i))));
    }
    for (; i < N; ++i)
        T[i] = uint8_t(Line[i] + ((T[i - B] + Prev[i]) >> 1));
}

template <int B>
void UnfilterSub(const uint8_t* Line, uint8_t* T, int N)
{
    for (int i = 0; i < B && i < N; ++i)
        T[i] = Line[i];
    int i = B;
    if constexpr (B % 4 == 0) {
        for (; i + 4 <= N; i += 4)
            Store32(T + i, AddBytes(Load32(Line + i), Load32(T + i - B)));
    }
    for (; i < N; ++i)
        T[i] = uint8_t(Line[i] + T[i - B]);
}

// Picks the instance for the pixel size; bytes per pixel run from 1 to 8.
template <template <int> class F, class... A>
void ForBPP(int BPP, A... Args)
{
    switch (BPP) {
    case 1: F<1>::Run(Args...); break;
    case 2: F<2>::Run(Args...); break;
    case 3: F<3>::Run(Args...); break;
    case 4: F<4>::Run(Args...); break;
    case 6: F<6>::Run(Args...); break;
    default: F<8>::Run(Args...); break;
    }
}

template <int B>
struct TPaethFilter {
    static void Run(const uint8_t* L, const uint8_t* P, uint8_t* T, int N) { UnfilterPaeth<B>(L, P, T, N); }
};
template <int B>
struct TAverageFilter {
    static void Run(const uint8_t* L, const uint8_t* P, uint8_t* T, int N) { UnfilterAverage<B>(L, P, T, N); }
};
template <int B>
struct TSubFilter {
    static void Run(const uint8_t* L, uint8_t* T, int N) { UnfilterSub<B>(L, T, N); }
};

// Red and blue change places in each pixel of a row (RGB to BGR, RGBA to
// BGRA); the PNG filters work on each byte of a pixel alone, so a row may be
// swapped before it is unfiltered against a row already swapped.
inline uint32_t SwapRedBlue(uint32_t V) { return (V & 0xFF00FF00u) | (V >> 16 & 0xFFu) | (V & 0xFFu) << 16; }

void SwapRedBlue(uint8_t* Line, int BPP, int N)
{
    if (BPP == 4) {
        for (int i = 0; i + 4 <= N; i += 4)
            Store32(Line + i, SwapRedBlue(Load32(Line + i)));
        return;
    }
    for (int i = 0; i + BPP <= N; i += BPP)
        std::swap(Line[i], Line[i + 2]);
}

// Unfilters a row of 4-byte pixels straight into BGRA, one pass: the
// swapped pixel is added to its prediction from the pixels already swapped.
void UnfilterSwapped4(uint8_t Filter, const uint8_t* Line, const uint8_t* Prev, uint8_t* T, int N)
{
    uint32_t left = 0;
    int i = 0;
    switch (Filter) {
    case 1:
        for (; i + 4 <= N; i += 4)
            Store32(T + i, left = AddBytes(SwapRedBlue(Load32(Line + i)), left));
        break;
    case 2:
        for (; i + 4 <= N; i += 4)
            Store32(T + i, AddBytes(SwapRedBlue(Load32(Line + i)), Load32(Prev + i)));
        break;
    case 3:
        for (; i + 4 <= N; i += 4)
            Store32(T + i, left = AddBytes(SwapRedBlue(Load32(Line + i)), AverageBytes(left, Load32(Prev + i))));
        break;
    default:
        // None, Paeth and unknown types (left as they are): swapped first.
        for (; i + 4 <= N; i += 4)
            Store32(T + i, SwapRedBlue(Load32(Line + i)));
        if (Filter == 4)
            UnfilterPaeth<4>(T, Prev, T, N);
        break;
    }
}

} // namespace

void ApplyFilter(uint8_t Filter, uint8_t* Line, const uint8_t* PrevLine, uint8_t* Target, int BPP, int BytesPerRow)
{
    // Bytes per pixel of a PNG row are 1, 2, 3, 4, 6 or 8.
    BPP = std::clamp(BPP, 1, 8);
    switch (Filter) {
    case 0:
        if (Target != Line)
            std::memmove(Target, Line, size_t(BytesPerRow));
        break;
    case 1: ForBPP<TSubFilter>(BPP, static_cast<const uint8_t*>(Line), Target, BytesPerRow); break;
    case 2:
        for (int i = 0; i < BytesPerRow; ++i)
            Target[i] = uint8_t(Line[i] + PrevLine[i]);
        break;
    case 3: ForBPP<TAverageFilter>(BPP, static_cast<const uint8_t*>(Line), PrevLine, Target, BytesPerRow); break;
    case 4: ForBPP<TPaethFilter>(BPP, static_cast<const uint8_t*>(Line), PrevLine, Target, BytesPerRow); break;
    default:
        // Unknown filter types leave the bytes as they are.
        if (Target != Line)
            std::memmove(Target, Line, size_t(BytesPerRow));
        break;
    }
}

// ---------------------------------------------------------------------------
TPNGDecoder::~TPNGDecoder()
{
    delete FDecoder;
}

void TPNGDecoder::ReadExact(void* Buffer, size_t Count)
{
    if (FSource->Read(Buffer, Count) != Count)
        throw EReadError(SStreamRead);
}

void TPNGDecoder::SkipBytes(uint64_t Count)
{
    const uint64_t left = FSource->Remaining();
    if (left != UINT64_MAX && Count > left)
        throw EReadError(SStreamRead);
    FSource->SetPosition(FSource->Position() + Count);
}

bool TPNGDecoder::IsChunk(const char* ChunkType) const
{
    for (int i = 0; i < 4; ++i)
        if ((uint8_t(FHeader.ChunkType[i]) & 0xDF) != (uint8_t(ChunkType[i]) & 0xDF))
            return false;
    return true;
}

uint32_t TPNGDecoder::LoadAndSwapHeader()
{
    uint8_t raw[8];
    ReadExact(raw, 8);
    FHeader.Length = BigEndian32(raw);
    std::memcpy(FHeader.ChunkType, raw + 4, 4);
    if (FHeader.Length > KMaxPNGValue)
        throw EInvalidGraphic(PNGMessage(SInvalidImage));
    return UpdateCrc(0, FHeader.ChunkType, 4);
}

void TPNGDecoder::CheckCRC()
{
    uint8_t stored[4];
    ReadExact(stored, 4);
    if (BigEndian32(stored) != FCurrentCRC)
        throw EInvalidGraphic(PNGMessage(SCRCError));
}

size_t TPNGDecoder::ReadDataAndCheckCRC(uint8_t* Data, size_t Max)
{
    const size_t kept = std::min<size_t>(FHeader.Length, Max);
    if (kept) {
        ReadExact(Data, kept);
        FCurrentCRC = UpdateCrc(FCurrentCRC, Data, kept);
    }
    uint64_t rest = FHeader.Length - kept;
    uint8_t scratch[4096];
    while (rest > 0) {
        const size_t n = size_t(std::min<uint64_t>(rest, sizeof scratch));
        ReadExact(scratch, n);
        FCurrentCRC = UpdateCrc(FCurrentCRC, scratch, n);
        rest -= n;
    }
    CheckCRC();
    return kept;
}

bool TPNGDecoder::ReadImageProperties(TPNGSource& Source)
{
    FImageProperties = TImageProperties();
    FSource = &Source;
    uint8_t signature[8];
    if (Source.Read(signature, 8) != 8 || std::memcmp(signature, PNGMagic, 8) != 0)
        return false;
    FCurrentCRC = LoadAndSwapHeader();
    if (!IsChunk("IHDR") || FHeader.Length < 13)
        return false;
    FImageProperties.Options = {ioBigEndian};
    uint8_t h[13];
    ReadDataAndCheckCRC(h, 13);
    const uint32_t width = BigEndian32(h), height = BigEndian32(h + 4);
    if (width == 0 || height == 0 || width > KMaxPNGValue || height > KMaxPNGValue)
        return false;
    TImageProperties& p = FImageProperties;
    p.Width = width;
    p.Height = height;
    p.Compression = h[10] == 0 ? ctLZ77 : ctUnknown;
    p.BitsPerSample = h[8];
    p.SamplesPerPixel = 1;
    switch (h[9]) {
    case 0: p.ColorScheme = csG; break;
    case 2: p.ColorScheme = csRGB, p.SamplesPerPixel = 3; break;
    case 3: p.ColorScheme = csIndexed; break;
    case 4: p.ColorScheme = csGA; break;
    case 6: p.ColorScheme = csRGBA, p.SamplesPerPixel = 4; break;
    default: p.ColorScheme = csUnknown;
    }
    p.BitsPerPixel = uint8_t(p.SamplesPerPixel * p.BitsPerSample);
    p.FilterMode = h[11];
    p.Interlaced = h[12] != 0;
    p.HasAlpha = p.ColorScheme == csGA || p.ColorScheme == csRGBA || p.ColorScheme == csBGRA;
    for (;;) {
        FCurrentCRC = LoadAndSwapHeader();
        if (IsChunk("gAMA")) {
            uint8_t g[4];
            if (ReadDataAndCheckCRC(g, 4) == 4)
                p.FileGamma = float(BigEndian32(g) / 100000.0);
            break;
        }
        if (IsChunk("IEND"))
            break;
        SkipBytes(uint64_t(FHeader.Length) + 4);
    }
    return true;
}

// ---------------------------------------------------------------------------
void TPNGDecoder::Progress(TPNGProgressStage Stage, uint8_t Percent, bool Redraw, const wchar_t* Msg)
{
    FTarget->Progress(Stage, Percent, Redraw, FProgressRect, Msg);
}

void TPNGDecoder::Load(TPNGSource& Source, TPNGImageTarget& Target)
{
    FSource = &Source;
    FTarget = &Target;
    try {
        LoadChunks();
    } catch (...) {
        Cleanup(false);
        throw;
    }
    Cleanup(true);
}

void TPNGDecoder::Cleanup(bool Succeeded)
{
    std::unique_ptr<TLZ77Decoder> decoder(FDecoder);
    FDecoder = nullptr;
    FRawBuffer = std::vector<uint8_t>();
    FInflated = std::vector<uint8_t>();
    FInflatedPos = FInflatedEnd = 0;
    FCurrentSource = nullptr;
    FSourceLeft = 0;
    if (decoder) {
        if (Succeeded)
            decoder->DecodeEnd();
        // after a failure the decoder's destructor ends inflate quietly
    }
    Progress(ppsEnding, 0, false, L"");
}

void TPNGDecoder::ResetState()
{
    FPalette.clear();
    FPLTE.clear();
    std::fill(std::begin(FTransparency), std::end(FTransparency), uint8_t(255));
    FHasTransparency = false;
    FKeySamples = 0;
    FTransparentColor = PNGNoColor;
    FBackgroundColor = 0xFFFFFF;
    FDepthSetUp = false;
    FImageDone = false;
    FInIDAT = false;
    FExpandTable.clear();
    FTargetBits = 0;
    // Each image starts from the manager's first settings, so nothing of a
    // previous image (sample widths, gamma table) carries over.
    TColorManager& cm = FColorManager;
    cm.SetSourceBitsPerSample(8);
    cm.SetTargetBitsPerSample(8);
    cm.SetSourceSamplesPerPixel(3);
    cm.SetTargetSamplesPerPixel(3);
    cm.SetSourceColorScheme(csRGB);
    cm.SetTargetColorScheme(csBGR);
    cm.SetGamma(1.0f, 2.2f);
    cm.SourceOptions = {coNeedByteSwap}; // 16-bit samples are big-endian
    cm.TargetOptions.Exclude(coApplyGamma);
}

void TPNGDecoder::LoadChunks()
{
    const uint64_t base = FSource->Position();
    if (!ReadImageProperties(*FSource))
        throw EInvalidGraphic(PNGMessage(SInvalidImage));
    FSource->SetPosition(base + 8);
    FProgressRect = {0, 0, int(std::min<uint32_t>(FImageProperties.Width, 0x7FFFFFFF)), 1};
    Progress(ppsStarting, 0, false, L"Preparing...");
    ResetState();
    FCurrentCRC = LoadAndSwapHeader();
    ReadIHDR();
    if (FImageProperties.Compression != ctLZ77)
        throw EInvalidGraphic(PNGMessage(SUnsupportedScheme, SCompressionScheme, L"PNG"));
    FDecoder = new TLZ77Decoder(Z_PARTIAL_FLUSH, false);
    FDecoder->DecodeInit();

    for (;;) {
        FCurrentCRC = LoadAndSwapHeader();
        if (IsChunk("IDAT")) {
            Progress(ppsEnding, 0, false, L"");
            LoadIDAT(); // leaves the header of the chunk after the image data
        } else if (IsChunk("PLTE")) {
            LoadPalette();
            continue;
        } else if (IsChunk("gAMA")) {
            LoadGamma();
            continue;
        } else if (IsChunk("bKGD")) {
            LoadBackgroundColor();
            continue;
        } else if (IsChunk("tRNS")) {
            LoadTransparency();
            continue;
        }
        if (IsChunk("IEND")) {
            SkipBytes(std::min<uint64_t>(uint64_t(FHeader.Length) + 4, FSource->Remaining()));
            break;
        }
        if ((FHeader.ChunkType[0] & 0x20) == 0)
            throw EInvalidGraphic(SUnknownCriticalChunk);
        SkipBytes(uint64_t(FHeader.Length) + 4);
    }
    // A file without image data has no image to show.
    if (!FImageDone)
        throw EInvalidGraphic(PNGMessage(SImageDataMissing));
}

void TPNGDecoder::ReadIHDR()
{
    uint8_t h[13];
    if (!IsChunk("IHDR") || FHeader.Length < 13)
        throw EInvalidGraphic(PNGMessage(SInvalidImage));
    ReadDataAndCheckCRC(h, 13);
    FIHDR.Width = BigEndian32(h);
    FIHDR.Height = BigEndian32(h + 4);
    FIHDR.BitDepth = h[8];
    FIHDR.ColorType = h[9];
    FIHDR.Compression = h[10];
    FIHDR.Filter = h[11];
    FIHDR.Interlace = h[12];
    if (FIHDR.Width == 0 || FIHDR.Height == 0 || FIHDR.Width > KMaxPNGValue || FIHDR.Height > KMaxPNGValue)
        throw EInvalidGraphic(PNGMessage(SInvalidImage));
    const int d = FIHDR.BitDepth;
    bool valid;
    switch (FIHDR.ColorType) {
    case 0: valid = d == 1 || d == 2 || d == 4 || d == 8 || d == 16; break;
    case 3: valid = d == 1 || d == 2 || d == 4 || d == 8; break;
    case 2:
    case 4:
    case 6: valid = d == 8 || d == 16; break;
    default: valid = false;
    }
    if (!valid)
        throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
    CheckImageSize();
}

// The bitmap of BitsPerPixel and the two rows of filtered data the decoding
// holds must fit the bound.
void TPNGDecoder::CheckImageBytes(int BitsPerPixel) const
{
    const uint64_t stride = (uint64_t(FIHDR.Width) * uint64_t(BitsPerPixel) + 31) / 32 * 4;
    if (stride * FIHDR.Height + 2 * RowBytes(FIHDR.Width) > MaxImageBytes)
        throw EInvalidGraphic(PNGMessage(SImageTooLarge));
}

uint64_t TPNGDecoder::RowBytes(uint32_t Width) const
{
    const uint64_t samples = FIHDR.ColorType == 2 ? 3 : FIHDR.ColorType == 4 ? 2 : FIHDR.ColorType == 6 ? 4 : 1;
    return (uint64_t(Width) * FIHDR.BitDepth + 7) / 8 * samples + 1;
}

// Refuses, before anything is allocated, an image that would not fit the
// bound or whose data could not possibly be in the rest of the stream.
void TPNGDecoder::CheckImageSize()
{
    const int bits = FIHDR.ColorType == 2 ? 24 : FIHDR.ColorType == 0 ? (FIHDR.BitDepth < 8 ? 4 : 8) : 32;
    CheckImageBytes(bits);
    const uint64_t raw = RowBytes(FIHDR.Width) * FIHDR.Height;
    const uint64_t left = FSource->Remaining();
    if (left != UINT64_MAX && raw > (left + 16) * KMaxInflateRatio)
        throw EInvalidGraphic(PNGMessage(SImageDataMissing));
}

int TPNGDecoder::SetupColorDepth(int ColorType, int BitDepth)
{
    TColorManager& cm = FColorManager;
    auto program = [&](TColorScheme From, TColorScheme To, int SourceSamples, int TargetSamples, int TargetWidth) {
        cm.SetSourceColorScheme(From);
        cm.SetTargetColorScheme(To);
        cm.SetSourceSamplesPerPixel(uint8_t(SourceSamples));
        cm.SetTargetSamplesPerPixel(uint8_t(TargetSamples));
        cm.SetSourceBitsPerSample(uint8_t(BitDepth));
        cm.SetTargetBitsPerSample(uint8_t(TargetWidth));
    };
    int result;
    switch (ColorType) {
    case 0:
        if (BitDepth != 1 && BitDepth != 2 && BitDepth != 4 && BitDepth != 8 && BitDepth != 16)
            throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
        program(csG, csG, 1, 1, BitDepth == 2 ? 4 : BitDepth == 16 ? 8 : BitDepth);
        FTargetBits = cm.GetPixelFormat(1);
        FPalette = cm.CreateGrayscalePalette(false);
        result = (BitDepth + 7) / 8;
        break;
    case 2:
        if (BitDepth != 8 && BitDepth != 16)
            throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
        program(csRGB, csBGR, 3, 3, 8);
        FTargetBits = 24;
        result = BitDepth * 3 / 8;
        break;
    case 3:
        if (BitDepth != 1 && BitDepth != 2 && BitDepth != 4 && BitDepth != 8)
            throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
        program(csIndexed, csIndexed, 1, 1, BitDepth == 2 ? 4 : BitDepth);
        FTargetBits = cm.GetPixelFormat(1);
        result = 1;
        break;
    case 4:
        // Grey with alpha keeps its alpha: a 32-bit bitmap of grey pixels.
        if (BitDepth != 8 && BitDepth != 16)
            throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
        program(csGA, csBGRA, 2, 4, 8);
        FTargetBits = 32;
        result = BitDepth * 2 / 8;
        break;
    case 6:
        if (BitDepth != 8 && BitDepth != 16)
            throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
        program(csRGBA, csBGRA, 4, 4, 8);
        FTargetBits = 32;
        result = BitDepth * 4 / 8;
        break;
    default: throw EInvalidGraphic(PNGMessage(SInvalidColorFormat));
    }
    FDepthSetUp = true;
    return std::max(result, 1);
}

// ---------------------------------------------------------------------------
// Ancillary and palette chunks.
void TPNGDecoder::LoadPalette()
{
    if (FHeader.Length % 3 != 0)
        throw EInvalidGraphic(PNGMessage(SInvalidPalette));
    uint8_t data[768];
    const size_t kept = ReadDataAndCheckCRC(data, sizeof data);
    FPLTE.clear();
    for (size_t i = 0; i + 2 < kept; i += 3)
        FPLTE.push_back(TPaletteEntry{data[i], data[i + 1], data[i + 2], 0});
    if (FIHDR.ColorType != 3)
        return;
    FSourceBPP = SetupColorDepth(3, FIHDR.BitDepth);
    FPalette = FColorManager.CreateColorPalette({data}, pfInterlaced8Triple, uint32_t(kept / 3), false);
}

void TPNGDecoder::LoadGamma()
{
    uint8_t data[4];
    // A chunk too short for its value is passed over.
    if (ReadDataAndCheckCRC(data, 4) < 4)
        return;
    FColorManager.SetGamma(float(BigEndian32(data) / 100000.0), 2.2f);
    FColorManager.TargetOptions.Include(coApplyGamma);
    FImageProperties.Options.Include(ioUseGamma);
}

// The 8-bit level of a sample of the image's own depth.
bool TPNGDecoder::SampleLevel(uint16_t Sample, uint8_t& Level) const
{
    const int d = FIHDR.BitDepth;
    if (d == 16) {
        Level = uint8_t(MulDiv16(Sample, 255, 65535));
        return true;
    }
    const unsigned high = (1u << d) - 1;
    if (Sample > high)
        return false;
    Level = uint8_t(Sample * 255 / high);
    return true;
}

void TPNGDecoder::LoadBackgroundColor()
{
    uint8_t data[6];
    const size_t kept = ReadDataAndCheckCRC(data, sizeof data);
    uint8_t r, g, b;
    switch (FIHDR.ColorType) {
    case 2:
    case 6:
        if (kept < 6)
            return;
        if (FIHDR.BitDepth == 16) {
            r = uint8_t(MulDiv16(BigEndian16(data), 255, 65535));
            g = uint8_t(MulDiv16(BigEndian16(data + 2), 255, 65535));
            b = uint8_t(MulDiv16(BigEndian16(data + 4), 255, 65535));
        } else {
            r = data[1], g = data[3], b = data[5];
        }
        FBackgroundColor = ColorValue(r, g, b);
        break;
    case 0:
    case 4:
        if (kept >= 2 && SampleLevel(BigEndian16(data), g))
            FBackgroundColor = ColorValue(g, g, g);
        break;
    case 3:
        if (kept >= 1 && data[0] < FPLTE.size()) {
            const TPaletteEntry& e = FPLTE[data[0]];
            FBackgroundColor = ColorValue(e.Red, e.Green, e.Blue);
        }
        break;
    }
}

void TPNGDecoder::LoadTransparency()
{
    uint8_t data[256];
    const size_t kept = ReadDataAndCheckCRC(data, sizeof data);
    switch (FIHDR.ColorType) {
    case 0:
        if (kept >= 2)
            FKey[0] = BigEndian16(data), FKeySamples = 1;
        break;
    case 2:
        if (kept >= 6)
            FKey[0] = BigEndian16(data), FKey[1] = BigEndian16(data + 2), FKey[2] = BigEndian16(data + 4),
            FKeySamples = 3;
        break;
    case 3:
        std::fill(std::begin(FTransparency), std::end(FTransparency), uint8_t(255));
        std::copy(data, data + kept, FTransparency);
        FHasTransparency = true;
        break;
    default: break; // grey with alpha and RGBA carry alpha in their pixels
    }
    FTransparentColor = TransparentKey();
}

// The colour in which the pixels of the tRNS level or colour are drawn
// (after the grey ramp and the gamma table), so that the bitmap's
// transparent colour matches exactly those pixels; none when the value is
// outside the image's range.
uint32_t TPNGDecoder::TransparentKey() const
{
    if (FKeySamples == 0 || (FIHDR.ColorType != 0 && FIHDR.ColorType != 2))
        return PNGNoColor;
    const bool gamma = FColorManager.TargetOptions.Contains(coApplyGamma);
    const uint8_t* table = FColorManager.GammaTable();
    uint8_t level[3];
    for (int i = 0; i < FKeySamples; ++i) {
        if (FIHDR.ColorType == 2 && FIHDR.BitDepth == 8 && FKey[i] > 255)
            return PNGNoColor;
        if (!SampleLevel(FKey[i], level[i]))
            return PNGNoColor;
        if (gamma)
            level[i] = table[level[i]];
    }
    if (FKeySamples == 1)
        return ColorValue(level[0], level[0], level[0]);
    return ColorValue(level[0], level[1], level[2]);
}

// ---------------------------------------------------------------------------
// Image data.
TPNGImageLayout TPNGDecoder::MakeLayout()
{
    TPNGImageLayout layout;
    layout.Width = FIHDR.Width;
    layout.Height = FIHDR.Height;
    layout.BackgroundColor = FBackgroundColor;
    FExpandTable.clear();
    FKeyAlpha = false;
    FTransparentColor = TransparentKey();
    if (FTargetBits <= 8) {
        // Indexes past the palette's end show black rather than whatever
        // the bitmap's colour table would hold there.
        layout.Palette = FPalette;
        layout.Palette.resize(size_t(1) << FTargetBits);
    }
    // Transparency from tRNS becomes the alpha of 32-bit pixels, decided on
    // the samples as stored: a colour key on the shown colours would also
    // hit pixels that the gamma table or the 16-bit scaling merge with it.
    const bool keyed = FTransparentColor != PNGNoColor;
    const bool alphaPalette = FIHDR.ColorType == 3 && FHasTransparency &&
                              std::any_of(std::begin(FTransparency), std::end(FTransparency),
                                          [](uint8_t a) { return a < 255; });
    if (alphaPalette || (keyed && FIHDR.ColorType == 0 && FIHDR.BitDepth <= 8)) {
        const uint16_t sourceHigh = uint16_t((1u << FIHDR.BitDepth) - 1);
        const uint16_t targetHigh = uint16_t((1u << FColorManager.TargetBitsPerSample()) - 1);
        FExpandTable.assign(size_t(sourceHigh) + 1, 0);
        for (uint32_t v = 0; v <= sourceHigh; ++v) {
            const TPaletteEntry& e = layout.Palette[MulDiv16(uint16_t(v), targetHigh, sourceHigh)];
            const uint8_t alpha = alphaPalette ? FTransparency[v] : v == FKey[0] ? 0 : 255;
            FExpandTable[v] = e.Blue | uint32_t(e.Green) << 8 | uint32_t(e.Red) << 16 | uint32_t(alpha) << 24;
        }
        FTargetBits = 32;
        layout.Palette.clear();
    } else if (keyed) {
        // 16-bit grey and RGB: converted to 32-bit, alpha set per pixel.
        TColorManager& cm = FColorManager;
        cm.SetSourceColorScheme(FIHDR.ColorType == 0 ? csG : csRGB);
        cm.SetTargetColorScheme(csBGRA);
        cm.SetTargetSamplesPerPixel(4);
        cm.SetTargetBitsPerSample(8);
        FKeyAlpha = true;
        FTargetBits = 32;
        layout.Palette.clear();
    }
    layout.BitsPerPixel = FTargetBits;
    return layout;
}

void TPNGDecoder::LoadIDAT()
{
    // Image data comes in one run of IDAT chunks; a second run is more
    // data than the image holds.
    if (FImageDone)
        throw EInvalidGraphic(PNGMessage(SExtraCompressedData));
    Progress(ppsStarting, 0, false, L"Transfering...");
    if (!FDepthSetUp) {
        // A palette image must bring its palette before its pixels.
        if (FIHDR.ColorType == 3)
            throw EInvalidGraphic(PNGMessage(SInvalidPalette));
        FSourceBPP = SetupColorDepth(FIHDR.ColorType, FIHDR.BitDepth);
    }
    const TPNGImageLayout layout = MakeLayout();
    // Transparency may have widened the pixels since the header was checked.
    CheckImageBytes(layout.BitsPerPixel);
    const TBitmapRows rows = FTarget->PrepareImage(layout);
    if (rows.Empty() || uint32_t(rows.Width) != FIHDR.Width || uint32_t(rows.Height) != FIHDR.Height)
        throw EInvalidGraphic(PNGMessage(SImageTooLarge));
    FInIDAT = true;
    FChunkLeft = FHeader.Length;
    FSourceLeft = 0;
    DecodeRows(rows);
    FImageDone = true;
    FinishIDAT();
}

void TPNGDecoder::DecodeRows(const TBitmapRows& Rows)
{
    const uint32_t width = FIHDR.Width, height = FIHDR.Height;
    const size_t rowBytes = size_t(RowBytes(width));
    std::vector<uint8_t> a(rowBytes, 0), b(rowBytes, 0);
    uint8_t* row = a.data();
    uint8_t* prev = b.data();
    FImageBytesLeft = ImageDataBytes();
    FInflated.resize(size_t(std::min<uint64_t>(FImageBytesLeft, KInflateBlock)));
    FInflatedPos = FInflatedEnd = 0;
    if (FIHDR.Interlace != 1 && DirectRows() != drNo) {
        // The rows are unfiltered straight into the bitmap, each against the
        // bitmap's row above it.
        const bool swap = DirectRows() == drSwapped;
        const uint8_t* above = prev + 1; // zeros
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* line = const_cast<uint8_t*>(ReadRow(row, uint32_t(rowBytes)));
            uint8_t* target = Rows.Row(int(y));
            const int n = int(rowBytes - 1);
            if (swap && FSourceBPP == 4) {
                UnfilterSwapped4(line[0], line + 1, above, target, n);
            } else {
                if (swap)
                    SwapRedBlue(line + 1, FSourceBPP, n);
                ApplyFilter(line[0], line + 1, above, target, FSourceBPP, n);
            }
            above = target;
            Progress(ppsRunning, uint8_t(uint64_t(y) * 100 / height), true, L"");
            ++FProgressRect.Top, ++FProgressRect.Bottom;
        }
        return;
    }
    if (FIHDR.Interlace != 1) {
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* line = ReadRow(row, uint32_t(rowBytes));
            ApplyFilter(line[0], const_cast<uint8_t*>(line + 1), prev + 1, row + 1, FSourceBPP, int(rowBytes - 1));
            ConvertPixels(row + 1, Rows.Row(int(y)), 0xFF);
            Progress(ppsRunning, uint8_t(uint64_t(y) * 100 / height), true, L"");
            ++FProgressRect.Top, ++FProgressRect.Bottom;
            std::swap(row, prev);
        }
        return;
    }
    for (int pass = 0; pass < 7; ++pass) {
        const TAdam7Pass& p = KAdam7[pass];
        if (p.ColumnStart >= width)
            continue;
        const uint32_t passWidth = (width + p.ColumnIncrement - p.ColumnStart - 1) / p.ColumnIncrement;
        const size_t passBytes = size_t(RowBytes(passWidth));
        std::fill(prev, prev + passBytes, uint8_t(0));
        for (uint32_t y = p.RowStart; y < height; y += p.RowIncrement) {
            const uint8_t* line = ReadRow(row, uint32_t(passBytes));
            ApplyFilter(line[0], const_cast<uint8_t*>(line + 1), prev + 1, row + 1, FSourceBPP, int(passBytes - 1));
            ConvertPixels(row + 1, Rows.Row(int(y)), p.Mask);
            if (pass == 6) {
                Progress(ppsRunning, uint8_t(std::min<uint64_t>(uint64_t(y + 1) * 100 / height, 100)), true, L"");
                ++FProgressRect.Top, ++FProgressRect.Bottom;
            }
            std::swap(row, prev);
        }
    }
}

// Whether the bitmap's rows hold the unfiltered bytes themselves (palette
// indexes and grey levels of the bitmap's own depth) or them with red and
// blue swapped (8-bit RGB and RGBA without gamma), so that no conversion is
// needed after unfiltering.
TPNGDecoder::TDirectRows TPNGDecoder::DirectRows() const
{
    if (!FExpandTable.empty() || FKeyAlpha)
        return drNo;
    if ((FIHDR.ColorType == 0 || FIHDR.ColorType == 3) && FTargetBits == FIHDR.BitDepth)
        return drSame;
    if (FIHDR.BitDepth == 8 && !FColorManager.TargetOptions.Contains(coApplyGamma) &&
        ((FIHDR.ColorType == 2 && FTargetBits == 24) || (FIHDR.ColorType == 6 && FTargetBits == 32)))
        return drSwapped;
    return drNo;
}

void TPNGDecoder::ConvertPixels(const uint8_t* Line, uint8_t* Target, uint8_t Mask)
{
    if (!FExpandTable.empty())
        ExpandPixels(Line, Target, Mask);
    else
        FColorManager.ConvertRow(Line, Target, FIHDR.Width, Mask);
    if (FKeyAlpha)
        SetKeyAlpha(Line, Target, Mask);
}

// The target pixels of an interlace pass: X from Start in steps of Step
// (the pass's column start and increment; 0 and 1 for a whole row).
void TPNGDecoder::PassColumns(uint8_t Mask, uint32_t& Start, uint32_t& Step)
{
    Start = 0, Step = 1;
    for (const TAdam7Pass& p : KAdam7)
        if (p.Mask == Mask)
            Start = p.ColumnStart, Step = p.ColumnIncrement;
}

// Packed palette indexes or grey levels through the expansion table.
void TPNGDecoder::ExpandPixels(const uint8_t* Line, uint8_t* Target, uint8_t Mask) const
{
    const int bits = FIHDR.BitDepth;
    const unsigned high = (1u << bits) - 1;
    const uint32_t* table = FExpandTable.data();
    uint32_t start, step;
    PassColumns(Mask, start, step);
    int shift = 8 - bits;
    for (uint32_t x = start; x < FIHDR.Width; x += step) {
        const uint32_t c = table[(*Line >> shift) & high];
        uint8_t* t = Target + size_t(x) * 4;
        t[0] = uint8_t(c), t[1] = uint8_t(c >> 8), t[2] = uint8_t(c >> 16), t[3] = uint8_t(c >> 24);
        shift -= bits;
        if (shift < 0)
            shift = 8 - bits, ++Line;
    }
}

// Alpha 0 for the pixels whose stored samples equal those of tRNS.
void TPNGDecoder::SetKeyAlpha(const uint8_t* Line, uint8_t* Target, uint8_t Mask) const
{
    const int bytes = FIHDR.BitDepth / 8, samples = FKeySamples;
    uint8_t key[6];
    for (int i = 0; i < samples; ++i) {
        key[i * bytes + bytes - 1] = uint8_t(FKey[i]);
        if (bytes == 2)
            key[i * 2] = uint8_t(FKey[i] >> 8);
    }
    const size_t size = size_t(bytes * samples);
    uint32_t start, step;
    PassColumns(Mask, start, step);
    for (uint32_t x = start; x < FIHDR.Width; x += step, Line += size)
        Target[size_t(x) * 4 + 3] = std::memcmp(Line, key, size) == 0 ? 0 : 255;
}

// Makes the next piece of IDAT data the decoder's input; False when the run
// of IDAT chunks has ended.
bool TPNGDecoder::NextIDATData()
{
    while (FInIDAT) {
        if (FChunkLeft > 0) {
            const uint32_t n = std::min(FChunkLeft, KReadPiece);
            if (FRawBuffer.size() < n)
                FRawBuffer.resize(n);
            ReadExact(FRawBuffer.data(), n);
            FCurrentCRC = UpdateCrc(FCurrentCRC, FRawBuffer.data(), n);
            FChunkLeft -= n;
            FCurrentSource = FRawBuffer.data();
            FSourceLeft = n;
            return true;
        }
        CheckCRC();
        FCurrentCRC = LoadAndSwapHeader();
        FInIDAT = IsChunk("IDAT");
        FChunkLeft = FInIDAT ? FHeader.Length : 0;
    }
    return false;
}

// The filtered bytes of the whole image (every pass of an interlaced one).
uint64_t TPNGDecoder::ImageDataBytes() const
{
    if (FIHDR.Interlace != 1)
        return RowBytes(FIHDR.Width) * FIHDR.Height;
    uint64_t total = 0;
    for (const TAdam7Pass& p : KAdam7)
        if (p.ColumnStart < FIHDR.Width && p.RowStart < FIHDR.Height)
            total += RowBytes((FIHDR.Width + p.ColumnIncrement - p.ColumnStart - 1) / p.ColumnIncrement) *
                     ((FIHDR.Height + p.RowIncrement - p.RowStart - 1) / p.RowIncrement);
    return total;
}

// The next row's filtered bytes: inside the inflated block when they lie
// there in one piece, else gathered into RowBuffer.
const uint8_t* TPNGDecoder::ReadRow(uint8_t* RowBuffer, uint32_t BytesPerRow)
{
    if (FInflatedEnd - FInflatedPos >= BytesPerRow) {
        const uint8_t* p = FInflated.data() + FInflatedPos;
        FInflatedPos += BytesPerRow;
        return p;
    }
    uint32_t done = 0;
    while (done < BytesPerRow) {
        if (FInflatedPos == FInflatedEnd)
            InflateBlock();
        const size_t n = std::min<size_t>(BytesPerRow - done, FInflatedEnd - FInflatedPos);
        std::memcpy(RowBuffer + done, FInflated.data() + FInflatedPos, n);
        FInflatedPos += n;
        done += uint32_t(n);
    }
    return RowBuffer;
}

// Inflates the next block of image data, never past the image's end:
// inflate is called for many rows at once, and the end of the zlib stream
// is met only when it lies inside the image's data.
void TPNGDecoder::InflateBlock()
{
    const uint32_t want = uint32_t(std::min<uint64_t>(FImageBytesLeft, FInflated.size()));
    uint8_t* dest = FInflated.data();
    uint32_t missing = want;
    while (missing > 0) {
        const bool noInput = FSourceLeft == 0 && FDecoder->ZLibResult() == Z_OK && !NextIDATData();
        const uint8_t* src = FCurrentSource;
        uint8_t* out = dest;
        FDecoder->Decode(src, out, FSourceLeft, missing);
        FSourceLeft -= uint32_t(src - FCurrentSource);
        FCurrentSource = src;
        // Inflate may still hold output when the input has run out; rows
        // it cannot fill then are an error, not stale pixels.
        if (noInput && out == dest)
            throw EInvalidGraphic(PNGMessage(SImageDataMissing));
        missing -= uint32_t(out - dest);
        dest = out;
        const int result = FDecoder->ZLibResult();
        if (result == Z_STREAM_END) {
            if (missing > 0 || FSourceLeft > 0 || FChunkLeft > 0)
                CompressionFailed(SExtraCompressedData);
            break;
        }
        if (result != Z_OK)
            CompressionFailed(SCompressionError);
    }
    FImageBytesLeft -= want;
    FInflatedPos = 0;
    FInflatedEnd = want;
}

// Damaged data shows as a zlib error before the damaged chunk's CRC is
// reached: the rest of the chunk is read first, so that a CRC error is
// reported as such.
void TPNGDecoder::CompressionFailed(const wchar_t* Message)
{
    try {
        while (FInIDAT && FChunkLeft > 0) {
            FSourceLeft = 0;
            NextIDATData();
        }
        if (FInIDAT)
            CheckCRC();
        FInIDAT = false;
    } catch (const EReadError&) {
    }
    throw EInvalidGraphic(PNGMessage(Message));
}

// Reads (and checks) what is left of the run of IDAT chunks; the decoder
// has what it needs, so the rest is not inflated.
void TPNGDecoder::FinishIDAT()
{
    FSourceLeft = 0;
    while (NextIDATData())
        FSourceLeft = 0;
}
