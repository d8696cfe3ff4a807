// Streams: the abstract byte stream and its memory, file and resource kinds.
// Portable header: handles are void* here, <windows.h> stays in the .cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/rtl/System.h"

KV_EXCEPTION(EResNotFound, Exception)

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// Open modes of TFileStream: one access mode, or'ed with one share mode.
// fmCreate creates (or truncates) the file and opens it for reading and
// writing; it may be or'ed with a share mode too.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

// Resource type of raw data resources (the same value as RT_RCDATA of
// <windows.h>, which may be passed as well).
inline const wchar_t* const rtRCData = reinterpret_cast<const wchar_t*>(uintptr_t(10));

// ---------------------------------------------------------------------------
class TStream : public TObject {
    KV_CLASS(TStream)
public:
    // Read and Write answer the number of bytes moved (0 at the end, on
    // failure or for a negative count).
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    // Answers the new position.  A position before the start raises EStreamError.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);

    // All or nothing: a short transfer raises EReadError / EWriteError.
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);

    // Copies Count bytes from Source's current position; Count <= 0 copies
    // the whole of Source from its start.  Answers the bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);
};

// ---------------------------------------------------------------------------
// A stream over a block of memory (read side shared by memory and resource
// streams).
class TCustomMemoryStream : public TStream {
    KV_CLASS(TCustomMemoryStream)
    void* FMemory = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;

protected:
    void SetPointer(void* Ptr, int64_t Size);

public:
    int32_t Read(void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return FSize; }
    void* Memory() const { return FMemory; }

    void SaveToStream(TStream* Stream);
    void SaveToFile(const UnicodeString& FileName);
};

// A growable stream in memory; bytes skipped by writing past the end read as 0.
class TMemoryStream : public TCustomMemoryStream {
    KV_CLASS(TMemoryStream)
    std::vector<uint8_t> FData;

public:
    int32_t Write(const void* Buffer, int32_t Count) override;
    void SetSize(int64_t NewSize) override;
    void Clear();

    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const UnicodeString& FileName);
};

// A memory stream made from and read back as bytes.
class TStringStream : public TMemoryStream {
    KV_CLASS(TStringStream)
public:
    explicit TStringStream(const AnsiString& Data = AnsiString());
    AnsiString DataString();
};

// ---------------------------------------------------------------------------
// A stream over an open file handle.
class THandleStream : public TStream {
    KV_CLASS(THandleStream)
protected:
    void* FHandle = nullptr;

public:
    explicit THandleStream(void* AHandle) : FHandle(AHandle) {}
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    void* Handle() const { return FHandle; }
};

// A named file, opened or created by the constructor and closed by the
// destructor.  Failure raises EFCreateError / EFOpenError naming the file.
class TFileStream : public THandleStream {
    KV_CLASS(TFileStream)
    UnicodeString FFileName;

public:
    TFileStream(const UnicodeString& FileName, uint16_t Mode);
    ~TFileStream() override;
    const UnicodeString& FileName() const { return FFileName; }
};

// ---------------------------------------------------------------------------
// A read-only stream over a resource of a module (Instance is its HINSTANCE;
// nullptr means the executable).  Name may be "#123" for a numbered
// resource.  A missing resource raises EResNotFound.
class TResourceStream : public TCustomMemoryStream {
    KV_CLASS(TResourceStream)
    void Initialize(void* Instance, const wchar_t* Name, const wchar_t* ResType);

public:
    TResourceStream(void* Instance, const UnicodeString& ResName, const wchar_t* ResType = rtRCData);
    TResourceStream(void* Instance, int ResID, const wchar_t* ResType = rtRCData);
    int32_t Write(const void* Buffer, int32_t Count) override;
    void SetSize(int64_t NewSize) override;
};
