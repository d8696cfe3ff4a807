// zlib facade of the skin library: compression and decompression streams
// over any TStream, buffer-to-buffer and stream-to-stream routines,
// checksums and the library's zlib exceptions.
#pragma once

#include <cstdint>
#include <memory>

#include <zlib.h>

#include "classlib/rtl/Streams.h"
#include "classlib/rtl/System.h"

// The zlib stream record (56 bytes on this target).
using TZStreamRec = z_stream;

enum TZCompressionLevel {
    zcNone, zcFastest, zcDefault, zcMax,
    zcLevel1, zcLevel2, zcLevel3, zcLevel4, zcLevel5, zcLevel6, zcLevel7, zcLevel8, zcLevel9
};

enum TZStrategy { zsDefault, zsFiltered, zsHuffman, zsRLE, zsFixed };

// zlib results -1 to -6, in that order.
enum TZError { zeError, zeStreamError, zeDataError, zeMemoryError, zeBufferError, zeVersionError };

// The zlib level / strategy / result code each value stands for.
int ZLevel(TZCompressionLevel Level);
int ZStrategy(TZStrategy Strategy);
int ZErrorCode(TZError Error);

// ---------------------------------------------------------------------------
// Exceptions.  The message is zlib's text for the result code ("data error",
// "buffer error" ...); the text argument is accepted for symmetry and not
// used.  A misuse of a stream direction or position carries the text
// "Invalid ZStream operation!" and the code of a stream error.
class EZLibError : public Exception {
    int FErrorCode;

public:
    explicit EZLibError(int Code, const UnicodeString& Dummy = UnicodeString());
    explicit EZLibError(TZError Error, const UnicodeString& Dummy = UnicodeString());
    // A message of the library's own (no zlib result behind it).
    EZLibError(const UnicodeString& Msg, int Code);
    int ErrorCode() const { return FErrorCode; }
    UnicodeString ClassName() const override { return L"EZLibError"; }
};

class EZCompressionError : public EZLibError {
public:
    using EZLibError::EZLibError;
    UnicodeString ClassName() const override { return L"EZCompressionError"; }
};

class EZDecompressionError : public EZLibError {
public:
    using EZLibError::EZLibError;
    UnicodeString ClassName() const override { return L"EZDecompressionError"; }
};

// zlib's text for a result code.
UnicodeString ZErrorMessage(int Code);

// A negative zlib result raises; any other is handed back.
int CheckCompressResult(int Code);
int CheckDecompressResult(int Code);

extern const wchar_t* const SZInvalid;   // "Invalid ZStream operation!"

// ---------------------------------------------------------------------------
// Streams.  The underlying stream is not owned.
class TCustomZStream : public TStream {
    KV_CLASS(TCustomZStream)
public:
    static constexpr int32_t BufferSize = 0x20000;

protected:
    TStream* FStream;
    int64_t FStreamPos;
    TNotifyEvent FOnProgress;
    TZStreamRec FZStream;
    std::unique_ptr<uint8_t[]> FBuffer;

    explicit TCustomZStream(TStream* Stream);
    virtual void DoProgress();

public:
    TNotifyEvent OnProgress() const { return FOnProgress; }
    void SetOnProgress(const TNotifyEvent& Value) { FOnProgress = Value; }
};

// Compresses what is written to it into Dest.  The zlib stream is completed
// by Finish; the destructor finishes a stream that was not finished (and
// cannot report a failure then: call Finish where a write may fail).
class TZCompressionStream : public TCustomZStream {
    KV_CLASS(TZCompressionStream)
    bool FFinished = false;

    void Init(int Level, int WindowBits, int MemLevel, int Strategy);
    void FlushBuffer();

public:
    explicit TZCompressionStream(TStream* Dest, TZCompressionLevel CompressionLevel = zcDefault);
    TZCompressionStream(TStream* Dest, TZCompressionLevel CompressionLevel, int WindowBits, int MemLevel,
                        TZStrategy Strategy);
    ~TZCompressionStream() override;

    int32_t Read(void* Buffer, int32_t Count) override;     // raises
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;   // only (0, soCurrent)

    void Finish();
    // (1 - compressed / uncompressed) * 100; 0 before anything was written.
    float GetCompressionRate() const;
};

// Decompresses one zlib stream read from Source, starting at the source's
// position at creation.  When the stream's end has been read, the source is
// moved back to stand right after its last byte, so that whatever follows it
// in the source can be read next.
class TZDecompressionStream : public TCustomZStream {
    KV_CLASS(TZDecompressionStream)
    int64_t FStartPos = 0;   // where the zlib stream begins in the source
    bool FEnded = false;

    void Init(int WindowBits);
    void Skip(int64_t Count);

public:
    explicit TZDecompressionStream(TStream* Source);
    TZDecompressionStream(TStream* Source, int WindowBits);
    ~TZDecompressionStream() override;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;   // raises
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

    // True once the zlib stream's end (its checksum included) has been read.
    bool EndOfStream() const { return FEnded; }
};

// ---------------------------------------------------------------------------
// Buffer routines.  The output buffer is allocated with new[] and belongs to
// the caller (delete[]); on failure none is left allocated and OutBuf is nullptr.
void ZCompress(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes,
               TZCompressionLevel Level = zcDefault);
void ZCompress2(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes,
                TZCompressionLevel Level, int WindowBits, int MemLevel, TZStrategy Strategy);
void ZDecompress(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes,
                 int32_t OutEstimate = 0);
void ZDecompress2(const void* InBuf, int32_t InBytes, uint8_t*& OutBuf, int32_t& OutBytes,
                  int32_t OutEstimate, int WindowBits);

// The output room ZCompress starts with for InBytes of input.
int32_t ZCompressInitialRoom(int32_t InBytes);

// Stream routines: from InStream's position to OutStream's.
void ZCompressStream(TStream* InStream, TStream* OutStream, TZCompressionLevel Level = zcDefault);
void ZCompressStream2(TStream* InStream, TStream* OutStream, TZCompressionLevel Level, int WindowBits,
                      int MemLevel, TZStrategy Strategy);
// Raw deflate (no zlib header), fastest level: the web's "deflate" encoding.
void ZCompressStreamWeb(TStream* InStream, TStream* OutStream);
void ZDecompressStream(TStream* InStream, TStream* OutStream);
void ZDecompressStream2(TStream* InStream, TStream* OutStream, int WindowBits);

// Text forms: the bytes of the text (UTF-16 code units as they lie in
// memory) are compressed; the result holds the compressed bytes.  The Ex
// forms put the uncompressed byte count in front as 4 little-endian bytes.
AnsiString ZCompressStr(const UnicodeString& S, TZCompressionLevel Level = zcDefault);
AnsiString ZCompressStrEx(const UnicodeString& S, TZCompressionLevel Level = zcDefault);
AnsiString ZCompressStr2(const UnicodeString& S, TZCompressionLevel Level, int WindowBits, int MemLevel,
                         TZStrategy Strategy);
AnsiString ZCompressStrWeb(const UnicodeString& S);
UnicodeString ZDecompressStr(const AnsiString& S);
UnicodeString ZDecompressStrEx(const AnsiString& S);
UnicodeString ZDecompressStr2(const AnsiString& S, int WindowBits);

// Checksums (continuations: start with ZAdler32(1, ...) / ZCrc32(0, ...)).
uint32_t ZAdler32(uint32_t Adler, const void* Buffer, int32_t Size);
uint32_t ZCrc32(uint32_t Crc, const void* Buffer, int32_t Size);

// zlib's inflate initialisation of a record (zlib format); the zlib result.
int InflateInit(TZStreamRec& Stream);
