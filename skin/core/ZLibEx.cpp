#include "skin/core/ZLibEx.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

static_assert(sizeof(TZStreamRec) == 56, "the zlib stream record of the 1.2.3 interface");

namespace {

// The interface version asked of zlib (any 1.x accepts it).
const char* const ZVersion = "1.2.3";
const int ZRecSize = sizeof(TZStreamRec);

const int32_t StreamPiece = 32768;   // stream routines read and write in such pieces
const int32_t SkipPiece = 16384;     // forward seeks read and drop in such pieces

int DeflateInit(TZStreamRec& z, int level, int windowBits, int memLevel, int strategy)
{
    return deflateInit2_(&z, level, Z_DEFLATED, windowBits, memLevel, strategy, ZVersion, ZRecSize);
}

int InflateInit2(TZStreamRec& z, int windowBits)
{
    return inflateInit2_(&z, windowBits, ZVersion, ZRecSize);
}

// inflate, raising on zlib errors and on a stream that asks for a preset
// dictionary (none is ever supplied, and inflate would make no progress).
int Inflate(TZStreamRec& z, int flush)
{
    int r = CheckDecompressResult(inflate(&z, flush));
    if (r == Z_NEED_DICT)
        throw EZDecompressionError(Z_NEED_DICT);
    return r;
}

// inflate without flushing in a loop that stops when it needs input: a
// call that can make no progress (all input used, no output pending) is
// not an error there.
int InflateMore(TZStreamRec& z)
{
    int r = inflate(&z, Z_NO_FLUSH);
    if (r == Z_BUF_ERROR && z.avail_in == 0)
        return Z_OK;
    if (r == Z_NEED_DICT)
        throw EZDecompressionError(Z_NEED_DICT);
    return CheckDecompressResult(r);
}

int Deflate(TZStreamRec& z, int flush)
{
    return CheckCompressResult(deflate(&z, flush));
}

// Ends inflate/deflate however the routine that started it leaves.
struct InflateGuard {
    TZStreamRec& z;
    ~InflateGuard() { inflateEnd(&z); }
};
struct DeflateGuard {
    TZStreamRec& z;
    ~DeflateGuard() { deflateEnd(&z); }
};

// Hands a finished vector out as a caller-owned buffer of exactly Size bytes.
void HandOut(const std::vector<uint8_t>& data, uint32_t size, uint8_t*& outBuf, int32_t& outBytes)
{
    uint8_t* p = new uint8_t[size ? size : 1];
    std::copy_n(data.data(), size, p);
    outBuf = p;
    outBytes = int32_t(size);
}

// Grows a work buffer; the output of a buffer routine must stay a 32-bit count.
void Grow(std::vector<uint8_t>& data, int64_t newSize, bool compressing)
{
    if (newSize > INT32_MAX) {
        if (compressing)
            throw EZCompressionError(Z_MEM_ERROR);
        throw EZDecompressionError(Z_MEM_ERROR);
    }
    try {
        data.resize(size_t(newSize));
    } catch (const std::bad_alloc&) {
        if (compressing)
            throw EZCompressionError(Z_MEM_ERROR);
        throw EZDecompressionError(Z_MEM_ERROR);
    }
}

void CompressBuffer(const void* inBuf, int32_t inBytes, uint8_t*& outBuf, int32_t& outBytes, int level,
                    int windowBits, int memLevel, int strategy)
{
    outBuf = nullptr;
    outBytes = 0;
    if (inBytes < 0 || (inBytes > 0 && !inBuf))
        throw EZCompressionError(Z_STREAM_ERROR);
    std::vector<uint8_t> data;
    Grow(data, ZCompressInitialRoom(inBytes), true);

    TZStreamRec z{};
    z.next_in = static_cast<Bytef*>(const_cast<void*>(inBuf));
    z.avail_in = uInt(inBytes);
    z.next_out = data.data();
    z.avail_out = uInt(data.size());
    CheckCompressResult(DeflateInit(z, level, windowBits, memLevel, strategy));
    DeflateGuard guard{z};

    while (Deflate(z, Z_FINISH) != Z_STREAM_END) {
        Grow(data, int64_t(data.size()) + 256, true);
        z.next_out = data.data() + z.total_out;
        z.avail_out = uInt(data.size() - z.total_out);
    }
    HandOut(data, z.total_out, outBuf, outBytes);
}

void DecompressBuffer(const void* inBuf, int32_t inBytes, uint8_t*& outBuf, int32_t& outBytes,
                      int32_t outEstimate, int windowBits)
{
    outBuf = nullptr;
    outBytes = 0;
    if (inBytes < 0 || (inBytes > 0 && !inBuf))
        throw EZDecompressionError(Z_STREAM_ERROR);
    const int64_t step = std::max<int64_t>((int64_t(inBytes) + 255) & ~int64_t(255), 256);
    std::vector<uint8_t> data;
    Grow(data, outEstimate > 0 ? outEstimate : step, false);

    TZStreamRec z{};
    z.next_in = static_cast<Bytef*>(const_cast<void*>(inBuf));
    z.avail_in = uInt(inBytes);
    z.next_out = data.data();
    z.avail_out = uInt(data.size());
    CheckDecompressResult(InflateInit2(z, windowBits));
    InflateGuard guard{z};

    while (Inflate(z, Z_NO_FLUSH) != Z_STREAM_END) {
        // Grow by the step, or by half the room once that is larger, so
        // that highly compressed input does not take quadratic time.
        const int64_t room = int64_t(data.size());
        Grow(data, room + std::max(step, room / 2), false);
        z.next_out = data.data() + z.total_out;
        z.avail_out = uInt(data.size() - z.total_out);
    }
    HandOut(data, z.total_out, outBuf, outBytes);
}

void WriteOut(TStream* out, const uint8_t* buf, int32_t count)
{
    if (count > 0)
        out->WriteBuffer(buf, count);
}

void CheckStreams(TStream* in, TStream* out, bool compressing)
{
    if (in && out)
        return;
    if (compressing)
        throw EZCompressionError(SZInvalid, Z_STREAM_ERROR);
    throw EZDecompressionError(SZInvalid, Z_STREAM_ERROR);
}

void CompressStream(TStream* in, TStream* out, int level, int windowBits, int memLevel, int strategy)
{
    CheckStreams(in, out, true);
    std::vector<uint8_t> inBuf(StreamPiece), outBuf(StreamPiece);
    TZStreamRec z{};
    CheckCompressResult(DeflateInit(z, level, windowBits, memLevel, strategy));
    DeflateGuard guard{z};

    for (int32_t n = in->Read(inBuf.data(), StreamPiece); n > 0; n = in->Read(inBuf.data(), StreamPiece)) {
        z.next_in = inBuf.data();
        z.avail_in = uInt(n);
        do {
            z.next_out = outBuf.data();
            z.avail_out = StreamPiece;
            Deflate(z, Z_NO_FLUSH);
            WriteOut(out, outBuf.data(), StreamPiece - int32_t(z.avail_out));
        } while (z.avail_in > 0);
    }
    int r;
    do {
        z.next_out = outBuf.data();
        z.avail_out = StreamPiece;
        r = Deflate(z, Z_FINISH);
        WriteOut(out, outBuf.data(), StreamPiece - int32_t(z.avail_out));
    } while (r != Z_STREAM_END);
}

void DecompressStream(TStream* in, TStream* out, int windowBits)
{
    CheckStreams(in, out, false);
    std::vector<uint8_t> inBuf(StreamPiece), outBuf(StreamPiece);
    TZStreamRec z{};
    CheckDecompressResult(InflateInit2(z, windowBits));
    InflateGuard guard{z};

    int r = Z_OK;
    int32_t n = in->Read(inBuf.data(), StreamPiece);
    while (n > 0 && r != Z_STREAM_END) {
        z.next_in = inBuf.data();
        z.avail_in = uInt(n);
        do {
            z.next_out = outBuf.data();
            z.avail_out = StreamPiece;
            r = InflateMore(z);
            WriteOut(out, outBuf.data(), StreamPiece - int32_t(z.avail_out));
        } while (r != Z_STREAM_END && z.avail_out == 0);
        if (r == Z_STREAM_END) {
            // Leave the input right after the zlib stream.
            if (z.avail_in > 0)
                in->Seek(-int64_t(z.avail_in), soCurrent);
        } else {
            n = in->Read(inBuf.data(), StreamPiece);
        }
    }
    // The input ended first: a complete stream finishes here, a truncated
    // one makes inflate report a buffer error.
    while (r != Z_STREAM_END) {
        z.next_out = outBuf.data();
        z.avail_out = StreamPiece;
        r = Inflate(z, Z_FINISH);
        WriteOut(out, outBuf.data(), StreamPiece - int32_t(z.avail_out));
    }
}

AnsiString ToAnsiBytes(const uint8_t* p, int32_t n)
{
    return AnsiString(reinterpret_cast<const char*>(p), size_t(n));
}

// Compressed bytes back to text: the byte count must be whole code units.
UnicodeString ToText(const uint8_t* p, int32_t n)
{
    if (n % int32_t(sizeof(wchar_t)) != 0)
        throw EZDecompressionError(Z_DATA_ERROR);
    UnicodeString s(size_t(n) / sizeof(wchar_t), L'\0');
    std::memcpy(s.data(), p, size_t(n));
    return s;
}

struct OwnedBuffer {
    uint8_t* p = nullptr;
    int32_t n = 0;
    ~OwnedBuffer() { delete[] p; }
};

int32_t TextBytes(const UnicodeString& s)
{
    if (s.size() > size_t(INT32_MAX) / sizeof(wchar_t))
        throw EZCompressionError(Z_MEM_ERROR);
    return int32_t(s.size() * sizeof(wchar_t));
}

}  // namespace

const wchar_t* const SZInvalid = L"Invalid ZStream operation!";

// ---------------------------------------------------------------------------
int ZLevel(TZCompressionLevel Level)
{
    static const int levels[] = {0, 1, -1, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    if (unsigned(Level) < std::size(levels))
        return levels[Level];
    return INT_MAX;   // zlib rejects it with a stream error
}

int ZStrategy(TZStrategy Strategy)
{
    return int(Strategy);
}

int ZErrorCode(TZError Error)
{
    return -1 - int(Error);
}

UnicodeString ZErrorMessage(int Code)
{
    switch (Code) {
    case Z_NEED_DICT: return L"need dictionary";
    case Z_STREAM_END: return L"stream end";
    case Z_OK: return L"ok";
    case Z_ERRNO: return L"file error";
    case Z_STREAM_ERROR: return L"stream error";
    case Z_DATA_ERROR: return L"data error";
    case Z_MEM_ERROR: return L"insufficient memory";
    case Z_BUF_ERROR: return L"buffer error";
    case Z_VERSION_ERROR: return L"incompatible version";
    default: return L"unknown zlib error";
    }
}

EZLibError::EZLibError(int Code, const UnicodeString&) : Exception(ZErrorMessage(Code)), FErrorCode(Code) {}

EZLibError::EZLibError(TZError Error, const UnicodeString& Dummy) : EZLibError(ZErrorCode(Error), Dummy) {}

EZLibError::EZLibError(const UnicodeString& Msg, int Code) : Exception(Msg), FErrorCode(Code) {}

int CheckCompressResult(int Code)
{
    if (Code < 0)
        throw EZCompressionError(Code);
    return Code;
}

int CheckDecompressResult(int Code)
{
    if (Code < 0)
        throw EZDecompressionError(Code);
    return Code;
}

// ---------------------------------------------------------------------------
TCustomZStream::TCustomZStream(TStream* Stream) : FStream(Stream), FStreamPos(0), FZStream{}
{
    if (!Stream)
        throw EZLibError(SZInvalid, Z_STREAM_ERROR);
    FStreamPos = Stream->Position();
    FBuffer = std::make_unique<uint8_t[]>(BufferSize);
}

void TCustomZStream::DoProgress()
{
    if (FOnProgress)
        FOnProgress(this);
}

// ---------------------------------------------------------------------------
TZCompressionStream::TZCompressionStream(TStream* Dest, TZCompressionLevel CompressionLevel)
    : TCustomZStream(Dest)
{
    Init(ZLevel(CompressionLevel), MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

TZCompressionStream::TZCompressionStream(TStream* Dest, TZCompressionLevel CompressionLevel, int WindowBits,
                                         int MemLevel, TZStrategy Strategy)
    : TCustomZStream(Dest)
{
    Init(ZLevel(CompressionLevel), WindowBits, MemLevel, ZStrategy(Strategy));
}

void TZCompressionStream::Init(int Level, int WindowBits, int MemLevel, int Strategy)
{
    FZStream.next_out = FBuffer.get();
    FZStream.avail_out = BufferSize;
    CheckCompressResult(DeflateInit(FZStream, Level, WindowBits, MemLevel, Strategy));
}

TZCompressionStream::~TZCompressionStream()
{
    if (!FFinished) {
        try {
            Finish();
        } catch (...) {
            // A destructor cannot report it; callers that must know call Finish.
        }
    }
    deflateEnd(&FZStream);
}

void TZCompressionStream::FlushBuffer()
{
    FStream->WriteBuffer(FBuffer.get(), BufferSize - int32_t(FZStream.avail_out));
    FZStream.next_out = FBuffer.get();
    FZStream.avail_out = BufferSize;
    FStreamPos = FStream->Position();
    DoProgress();
}

int32_t TZCompressionStream::Read(void*, int32_t)
{
    throw EZCompressionError(SZInvalid, Z_STREAM_ERROR);
}

int32_t TZCompressionStream::Write(const void* Buffer, int32_t Count)
{
    if (FFinished)
        throw EZCompressionError(SZInvalid, Z_STREAM_ERROR);
    if (Count <= 0)
        return 0;
    if (FStream->Position() != FStreamPos)
        FStream->SetPosition(FStreamPos);
    FZStream.next_in = static_cast<Bytef*>(const_cast<void*>(Buffer));
    FZStream.avail_in = uInt(Count);
    while (FZStream.avail_in > 0) {
        Deflate(FZStream, Z_NO_FLUSH);
        if (FZStream.avail_out == 0)
            FlushBuffer();
    }
    FZStream.next_in = nullptr;
    return Count;
}

int64_t TZCompressionStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    if (Offset == 0 && Origin == soCurrent)
        return int64_t(FZStream.total_in);
    throw EZCompressionError(SZInvalid, Z_STREAM_ERROR);
}

void TZCompressionStream::Finish()
{
    if (FFinished)
        return;
    FFinished = true;   // a failed finish is not tried again
    if (FStream->Position() != FStreamPos)
        FStream->SetPosition(FStreamPos);
    FZStream.next_in = nullptr;
    FZStream.avail_in = 0;
    while (Deflate(FZStream, Z_FINISH) != Z_STREAM_END) {
        if (FZStream.avail_out == 0)
            FlushBuffer();
    }
    if (FZStream.avail_out < uInt(BufferSize))
        FlushBuffer();
}

float TZCompressionStream::GetCompressionRate() const
{
    if (FZStream.total_in == 0)
        return 0.0f;
    return float((1.0 - double(FZStream.total_out) / double(FZStream.total_in)) * 100.0);
}

// ---------------------------------------------------------------------------
TZDecompressionStream::TZDecompressionStream(TStream* Source) : TCustomZStream(Source)
{
    Init(MAX_WBITS);
}

TZDecompressionStream::TZDecompressionStream(TStream* Source, int WindowBits) : TCustomZStream(Source)
{
    Init(WindowBits);
}

void TZDecompressionStream::Init(int WindowBits)
{
    FStartPos = FStreamPos;
    FZStream.next_in = FBuffer.get();
    FZStream.avail_in = 0;
    CheckDecompressResult(InflateInit2(FZStream, WindowBits));
}

TZDecompressionStream::~TZDecompressionStream()
{
    inflateEnd(&FZStream);
}

int32_t TZDecompressionStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0)
        return 0;
    FZStream.next_out = static_cast<Bytef*>(Buffer);
    FZStream.avail_out = uInt(Count);
    if (FStream->Position() != FStreamPos)
        FStream->SetPosition(FStreamPos);

    while (FZStream.avail_out > 0 && !FEnded) {
        if (FZStream.avail_in == 0) {
            int32_t n = FStream->Read(FBuffer.get(), BufferSize);
            if (n <= 0)
                break;
            FZStream.next_in = FBuffer.get();
            FZStream.avail_in = uInt(n);
            FStreamPos = FStream->Position();
            DoProgress();
        }
        FEnded = Inflate(FZStream, Z_NO_FLUSH) == Z_STREAM_END;
    }
    if (FEnded && FZStream.avail_in > 0) {
        // Give back what follows the zlib stream.
        FStreamPos -= FZStream.avail_in;
        FStream->SetPosition(FStreamPos);
        FZStream.avail_in = 0;
    }
    FZStream.next_out = nullptr;
    return Count - int32_t(FZStream.avail_out);
}

int32_t TZDecompressionStream::Write(const void*, int32_t)
{
    throw EZDecompressionError(SZInvalid, Z_STREAM_ERROR);
}

void TZDecompressionStream::Skip(int64_t Count)
{
    uint8_t buf[SkipPiece];
    while (Count > 0) {
        int32_t n = int32_t(std::min<int64_t>(Count, SkipPiece));
        ReadBuffer(buf, n);
        Count -= n;
    }
}

int64_t TZDecompressionStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int64_t pos = int64_t(FZStream.total_out);
    if (Offset == 0 && Origin == soBeginning) {
        // Start over where this zlib stream began in the source.
        CheckDecompressResult(inflateReset(&FZStream));
        FZStream.next_in = FBuffer.get();
        FZStream.avail_in = 0;
        FEnded = false;
        FStreamPos = FStartPos;
        FStream->SetPosition(FStreamPos);
    } else if (Offset >= 0 && Origin == soCurrent) {
        Skip(Offset);
    } else if (Origin == soBeginning && Offset >= pos) {
        Skip(Offset - pos);
    } else if (Offset == 0 && Origin == soEnd) {
        uint8_t buf[SkipPiece];
        while (Read(buf, SkipPiece) > 0) {
        }
    } else {
        throw EZDecompressionError(SZInvalid, Z_STREAM_ERROR);
    }
    return int64_t(FZStream.total_out);
}

// ---------------------------------------------------------------------------
int32_t ZCompressInitialRoom(int32_t InBytes)
{
    int64_t n = int64_t(InBytes) + InBytes / 10 + 12 + 255;
    return int32_t(std::min<int64_t>(n & ~int64_t(255), INT32_MAX & ~255));
}

void ZCompress(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes, TZCompressionLevel Level)
{
    CompressBuffer(InBuf, InBytes, OutBuf, OutBytes, ZLevel(Level), MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

void ZCompress2(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes,
                TZCompressionLevel Level, int WindowBits, int MemLevel, TZStrategy Strategy)
{
    CompressBuffer(InBuf, InBytes, OutBuf, OutBytes, ZLevel(Level), WindowBits, MemLevel, ZStrategy(Strategy));
}

void ZDecompress(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes, int32_t OutEstimate)
{
    DecompressBuffer(InBuf, InBytes, OutBuf, OutBytes, OutEstimate, MAX_WBITS);
}

void ZDecompress2(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes, int32_t OutEstimate,
                  int WindowBits)
{
    DecompressBuffer(InBuf, InBytes, OutBuf, OutBytes, OutEstimate, WindowBits);
}

void ZCompressStream(TStream* InStream, TStream* OutStream, TZCompressionLevel Level)
{
    CompressStream(InStream, OutStream, ZLevel(Level), MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

void ZCompressStream2(TStream* InStream, TStream* OutStream, TZCompressionLevel Level, int WindowBits,
                      int MemLevel, TZStrategy Strategy)
{
    CompressStream(InStream, OutStream, ZLevel(Level), WindowBits, MemLevel, ZStrategy(Strategy));
}

void ZCompressStreamWeb(TStream* InStream, TStream* OutStream)
{
    ZCompressStream2(InStream, OutStream, zcFastest, -15, 9, zsDefault);
}

void ZDecompressStream(TStream* InStream, TStream* OutStream)
{
    DecompressStream(InStream, OutStream, MAX_WBITS);
}

void ZDecompressStream2(TStream* InStream, TStream* OutStream, int WindowBits)
{
    DecompressStream(InStream, OutStream, WindowBits);
}

// ---------------------------------------------------------------------------
AnsiString ZCompressStr(const UnicodeString& S, TZCompressionLevel Level)
{
    OwnedBuffer b;
    ZCompress(S.data(), TextBytes(S), b.p, b.n, Level);
    return ToAnsiBytes(b.p, b.n);
}

AnsiString ZCompressStrEx(const UnicodeString& S, TZCompressionLevel Level)
{
    const int32_t bytes = TextBytes(S);
    AnsiString head(4, '\0');
    for (int i = 0; i < 4; ++i)
        head[i] = char((uint32_t(bytes) >> (8 * i)) & 0xFF);
    return head + ZCompressStr(S, Level);
}

AnsiString ZCompressStr2(const UnicodeString& S, TZCompressionLevel Level, int WindowBits, int MemLevel,
                         TZStrategy Strategy)
{
    OwnedBuffer b;
    ZCompress2(S.data(), TextBytes(S), b.p, b.n, Level, WindowBits, MemLevel, Strategy);
    return ToAnsiBytes(b.p, b.n);
}

AnsiString ZCompressStrWeb(const UnicodeString& S)
{
    return ZCompressStr2(S, zcFastest, -15, 9, zsDefault);
}

UnicodeString ZDecompressStr(const AnsiString& S)
{
    return ZDecompressStr2(S, MAX_WBITS);
}

UnicodeString ZDecompressStrEx(const AnsiString& S)
{
    if (S.size() < 4)
        throw EZDecompressionError(Z_DATA_ERROR);
    uint32_t bytes = 0;
    for (int i = 0; i < 4; ++i)
        bytes |= uint32_t(uint8_t(S[i])) << (8 * i);
    if (S.size() - 4 > size_t(INT32_MAX))
        throw EZDecompressionError(Z_MEM_ERROR);
    OwnedBuffer b;
    // The stored length is only an estimate of the room needed.
    const int32_t estimate = bytes <= 0x1000000u ? int32_t(bytes) : 0;
    ZDecompress(S.data() + 4, int32_t(S.size() - 4), b.p, b.n, estimate);
    if (uint32_t(b.n) != bytes)
        throw EZDecompressionError(Z_DATA_ERROR);
    return ToText(b.p, b.n);
}

UnicodeString ZDecompressStr2(const AnsiString& S, int WindowBits)
{
    if (S.size() > size_t(INT32_MAX))
        throw EZDecompressionError(Z_MEM_ERROR);
    OwnedBuffer b;
    ZDecompress2(S.data(), int32_t(S.size()), b.p, b.n, 0, WindowBits);
    return ToText(b.p, b.n);
}

// ---------------------------------------------------------------------------
uint32_t ZAdler32(uint32_t Adler, const void* Buffer, int32_t Size)
{
    if (Size <= 0)
        return Adler;
    return uint32_t(adler32(Adler, static_cast<const Bytef*>(Buffer), uInt(Size)));
}

uint32_t ZCrc32(uint32_t Crc, const void* Buffer, int32_t Size)
{
    if (Size <= 0)
        return Crc;
    return uint32_t(crc32(Crc, static_cast<const Bytef*>(Buffer), uInt(Size)));
}

int InflateInit(TZStreamRec& Stream)
{
    return inflateInit_(&Stream, ZVersion, ZRecSize);
}
