#include "classlib/rtl/Streams.h"
#include "classlib/rtl/SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

[[noreturn]] void RaiseSeekError()
{
    throw EStreamError(L"Invalid stream position");
}

constexpr int32_t CopyChunk = 0xF000;

} // namespace

// ---------------------------------------------------------------------------
// TStream

int64_t TStream::Size()
{
    int64_t pos = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t)
{
}

void TStream::ReadBuffer(void* Buffer, int32_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError(L"Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count)
{
    if (Count <= 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    std::vector<uint8_t> buf(size_t(std::min<int64_t>(Count, CopyChunk)) + 1);
    int64_t left = Count;
    while (left > 0) {
        int32_t n = int32_t(std::min<int64_t>(left, CopyChunk));
        Source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        left -= n;
    }
    return Count;
}

// ---------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Ptr, int64_t Size)
{
    FMemory = Ptr;
    FSize = Size;
}

int32_t TCustomMemoryStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition >= FSize)
        return 0;
    int32_t n = int32_t(std::min<int64_t>(Count, FSize - FPosition));
    std::memcpy(Buffer, static_cast<const uint8_t*>(FMemory) + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    int64_t pos = base + Offset;
    if (pos < 0)
        RaiseSeekError();
    FPosition = pos;
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream)
{
    int64_t left = FSize;
    const uint8_t* p = static_cast<const uint8_t*>(FMemory);
    while (left > 0) {
        int32_t n = int32_t(std::min<int64_t>(left, 0x40000000));
        Stream->WriteBuffer(p, n);
        p += n;
        left -= n;
    }
}

void TCustomMemoryStream::SaveToFile(const UnicodeString& FileName)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// ---------------------------------------------------------------------------
// TMemoryStream

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0)
        return 0;
    int64_t pos = Position();
    int64_t end = pos + Count;
    if (end > Size())
        SetSize(end);
    std::memcpy(FData.data() + pos, Buffer, size_t(Count));
    Seek(end, soBeginning);
    return Count;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    if (NewSize < 0)
        NewSize = 0;
    int64_t pos = Position();
    try {
        if (uint64_t(NewSize) > FData.max_size())
            throw std::bad_alloc();
        FData.resize(size_t(NewSize));
    } catch (const std::bad_alloc&) {
        throw EStreamError(L"Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError(L"Out of memory while expanding memory stream");
    }
    SetPointer(FData.data(), NewSize);
    Seek(std::min(pos, NewSize), soBeginning);
}

void TMemoryStream::Clear()
{
    std::vector<uint8_t>().swap(FData);
    SetPointer(nullptr, 0);
    Seek(0, soBeginning);
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    int64_t count = Stream->Size();
    SetSize(count);
    uint8_t* p = FData.data();
    int64_t left = count;
    while (left > 0) {
        int32_t n = int32_t(std::min<int64_t>(left, 0x40000000));
        Stream->ReadBuffer(p, n);
        p += n;
        left -= n;
    }
    Seek(0, soBeginning);
}

void TMemoryStream::LoadFromFile(const UnicodeString& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

// ---------------------------------------------------------------------------
// TStringStream

TStringStream::TStringStream(const AnsiString& Data)
{
    WriteBuffer(Data.data(), int32_t(Data.size()));
    SetPosition(0);
}

AnsiString TStringStream::DataString()
{
    return AnsiString(static_cast<const char*>(Memory()), size_t(Size()));
}

// ---------------------------------------------------------------------------
// THandleStream

int32_t THandleStream::Read(void* Buffer, int32_t Count)
{
    DWORD done = 0;
    if (Count <= 0 || !ReadFile(FHandle, Buffer, DWORD(Count), &done, nullptr))
        return 0;
    return int32_t(done);
}

int32_t THandleStream::Write(const void* Buffer, int32_t Count)
{
    DWORD done = 0;
    if (Count <= 0 || !WriteFile(FHandle, Buffer, DWORD(Count), &done, nullptr))
        return 0;
    return int32_t(done);
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER dist, pos;
    dist.QuadPart = Offset;
    if (!SetFilePointerEx(FHandle, dist, &pos, methods[Origin]))
        RaiseSeekError();
    return pos.QuadPart;
}

void THandleStream::SetSize(int64_t NewSize)
{
    int64_t pos = Position();
    Seek(NewSize, soBeginning);
    if (!SetEndOfFile(FHandle)) {
        DWORD err = GetLastError();
        Seek(pos, soBeginning);
        throw EWriteError(L"Stream write error. " + SysErrorMessage(err));
    }
    Seek(std::min(pos, NewSize), soBeginning);
}

// ---------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const UnicodeString& FileName, uint16_t Mode)
    : THandleStream(nullptr), FFileName(FileName)
{
    static const DWORD shareModes[] = {
        0,                                   // compatibility: exclusive
        0,                                   // exclusive
        FILE_SHARE_READ,                     // deny write
        FILE_SHARE_WRITE,                    // deny read
        FILE_SHARE_READ | FILE_SHARE_WRITE,  // deny none
    };
    unsigned shareIndex = (Mode & 0xF0) >> 4;
    DWORD share = shareIndex < 5 ? shareModes[shareIndex] : 0;
    bool create = (Mode & fmCreate) == fmCreate;
    DWORD access;
    if (create)
        access = GENERIC_READ | GENERIC_WRITE;
    else if ((Mode & 3) == fmOpenWrite)
        access = GENERIC_WRITE;
    else if ((Mode & 3) == fmOpenReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;
    else
        access = GENERIC_READ;

    HANDLE h = CreateFileW(FileName.c_str(), access, share, nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        UnicodeString reason = SysErrorMessage(GetLastError());
        if (create)
            throw EFCreateError(L"Cannot create file \"" + FileName + L"\". " + reason);
        throw EFOpenError(L"Cannot open file \"" + FileName + L"\". " + reason);
    }
    FHandle = h;
}

TFileStream::~TFileStream()
{
    if (FHandle)
        CloseHandle(FHandle);
}

// ---------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(void* Instance, const UnicodeString& ResName, const wchar_t* ResType)
{
    Initialize(Instance, ResName.c_str(), ResType);
}

TResourceStream::TResourceStream(void* Instance, int ResID, const wchar_t* ResType)
{
    Initialize(Instance, MAKEINTRESOURCEW(ResID), ResType);
}

void TResourceStream::Initialize(void* Instance, const wchar_t* Name, const wchar_t* ResType)
{
    HMODULE module = static_cast<HMODULE>(Instance);
    if (!module)
        module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, Name, ResType);
    HGLOBAL data = info ? LoadResource(module, info) : nullptr;
    void* ptr = data ? LockResource(data) : nullptr;
    if (!ptr) {
        UnicodeString shown = IS_INTRESOURCE(Name) ? L"#" + std::to_wstring(uintptr_t(Name)) : UnicodeString(Name);
        throw EResNotFound(L"Resource " + shown + L" not found");
    }
    // Resources of a loaded module stay mapped for its lifetime: nothing to free.
    SetPointer(ptr, SizeofResource(module, info));
}

int32_t TResourceStream::Write(const void*, int32_t)
{
    throw EStreamError(L"Can't write to a read-only resource stream");
}

void TResourceStream::SetSize(int64_t)
{
    throw EStreamError(L"Can't write to a read-only resource stream");
}
