#include "skin/core/kvSkinPack.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/ZLibEx.h"
#include "skin/core/kvntUtils.h"

namespace {

const char PackMagic[4] = {'P', 'L', 'z', 'f'};
const wchar_t* const SNotPackedData = L"Loaded data is not packed Pellura file";
const wchar_t* const SNotPackedFile = L" is not packed Pellura file";
const wchar_t* const SDamaged = L"Packed skin data is damaged: ";

// The smallest possible entry: name length, a one-byte name, content size
// and the shortest zlib stream (2 header bytes, an empty final block of 2
// bytes, 4 checksum bytes).
const int64_t MinEntryBytes = 4 + 1 + 4 + 8;
// deflate never packs more than about 1032 bytes into one.
const int64_t MaxInflateRatio = 1032;
const int32_t CopyPiece = 0x10000;

[[noreturn]] void Damaged(const UnicodeString& what)
{
    throw EReadError(SDamaged + what);
}

UnicodeString Quoted(const UnicodeString& s)
{
    return L"\"" + s + L"\"";
}

// Reads the fields of a container, checking each count against what is
// left in the stream before anything is allocated for it.
class TPackReader {
    TStream* FStream;
    int64_t FSize;
    // What the entries still to come may inflate to, all together.
    int64_t FInflateBudget;

public:
    explicit TPackReader(TStream* stream)
        : FStream(stream), FSize(stream->Size()),
          FInflateBudget(std::min<int64_t>(FSize * MaxInflateRatio, kvMaxPackTotalSize))
    {
    }

    int64_t Left() { return FSize - FStream->Position(); }

    bool ReadMagic()
    {
        char magic[4];
        FStream->SetPosition(0);
        return FStream->Read(magic, 4) == 4 && std::equal(magic, magic + 4, PackMagic);
    }

    int32_t ReadInt(const wchar_t* what)
    {
        uint8_t b[4];
        if (FStream->Read(b, 4) != 4)
            Damaged(UnicodeString(L"it ends inside ") + what);
        return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    }

    int32_t ReadCount()
    {
        int32_t n = ReadInt(L"the entry count");
        if (n < 0 || n > Left() / MinEntryBytes)
            Damaged(L"entry count " + IntToStr(n) + L" does not fit in " + IntToStr(FSize) + L" bytes");
        return n;
    }

    AnsiString ReadName(int32_t index)
    {
        int32_t len = ReadInt(L"a name length");
        if (len <= 0 || len > kvMaxPackNameLength || len > Left())
            Damaged(L"name length " + IntToStr(len) + L" of entry " + IntToStr(index + 1));
        AnsiString name(size_t(len), '\0');
        FStream->ReadBuffer(name.data(), len);
        return name;
    }

    // Each entry is bounded by the bytes left after it, and all of them
    // together by what the whole container can hold, so that a small file
    // cannot make the reader inflate gigabytes before it fails.
    int32_t ReadSize(const UnicodeString& name)
    {
        int32_t size = ReadInt(L"a content size");
        if (size < 0 || size > kvMaxPackEntrySize || size > Left() * MaxInflateRatio)
            Damaged(L"content size " + IntToStr(size) + L" of entry " + Quoted(name));
        if (size > FInflateBudget)
            Damaged(L"entry " + Quoted(name) + L" takes the content past " + IntToStr(kvMaxPackTotalSize) +
                    L" bytes or what " + IntToStr(FSize) + L" bytes can hold");
        FInflateBudget -= size;
        return size;
    }
};

// Inflates one entry's zlib stream from Source's position into Dest.  The
// stream must yield exactly Size bytes and end there; Source is left right
// after it.
void InflateEntry(TStream* source, int32_t size, TStream* dest, const UnicodeString& name)
{
    TZDecompressionStream z(source);
    std::vector<uint8_t> buf(size_t(std::clamp(size, 1, CopyPiece)));
    for (int32_t left = size; left > 0;) {
        int32_t n = z.Read(buf.data(), std::min(left, CopyPiece));
        if (n <= 0)
            Damaged(L"entry " + Quoted(name) + L" is shorter than its size " + IntToStr(size));
        dest->WriteBuffer(buf.data(), n);
        left -= n;
    }
    if (!z.EndOfStream()) {
        uint8_t extra;
        if (z.Read(&extra, 1) > 0)
            Damaged(L"entry " + Quoted(name) + L" holds more than its size " + IntToStr(size));
        if (!z.EndOfStream())
            Damaged(L"the compressed data of entry " + Quoted(name) + L" is cut short");
    }
}

std::unique_ptr<TMemoryStream> InflateToMemory(TStream* source, int32_t size, const UnicodeString& name)
{
    std::unique_ptr<TMemoryStream> m(New<TMemoryStream>());
    InflateEntry(source, size, m.get(), name);
    m->SetPosition(0);
    return m;
}

bool IsOptionsName(const UnicodeString& name)
{
    return UpperCase(name) == L"OPTIONS.DAT";
}

// ---------------------------------------------------------------------------
// Files and folders.

// True for a name that stays inside the folder it is put in: no folder part,
// drive, stream or wildcard, not "." or "..", no name the system trims to
// something else, and no device name.
bool IsPlainFileName(const UnicodeString& name)
{
    if (name.empty() || name.size() > MAX_PATH)
        return false;
    for (wchar_t c : name)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c))
            return false;
    if (name.back() == L'.' || name.back() == L' ')
        return false;
    UnicodeString base = UpperCase(name.substr(0, name.find(L'.')));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : devices)
        if (base == d)
            return false;
    if (base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'0' &&
        base[3] <= L'9')
        return false;
    return true;
}

std::vector<UnicodeString> CollectPackFiles(const UnicodeString& srcDir)
{
    std::vector<UnicodeString> names;
    for (const wchar_t* mask : {L"*.dat", L"*.bmp", L"*.png", L"*.jpg"}) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((srcDir + mask).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (fd.cFileName[0] != L'.' && !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return names;
}

void WriteInt(TStream* s, int32_t v)
{
    uint8_t b[4] = {uint8_t(v), uint8_t(uint32_t(v) >> 8), uint8_t(uint32_t(v) >> 16), uint8_t(uint32_t(v) >> 24)};
    s->WriteBuffer(b, 4);
}

// Names travel in the system code page.  One that does not come back from
// it unchanged would be stored as something else ("???.png") that no
// reader finds and the unpacker refuses.
AnsiString PackEntryName(const UnicodeString& srcDir, const UnicodeString& name)
{
    const AnsiString aname = UnicodeToAnsi(name);
    if (AnsiToUnicode(aname) != name)
        throw EWriteError(L"File " + Quoted(srcDir + name) + L" has a name the system code page cannot hold");
    return aname;
}

void WritePackEntry(TStream* out, const UnicodeString& srcDir, const UnicodeString& name, const AnsiString& aname)
{
    TFileStream in(srcDir + name, fmOpenRead | fmShareDenyWrite);
    const int64_t size = in.Size();
    if (size > kvMaxPackEntrySize)
        throw EWriteError(L"File " + Quoted(srcDir + name) + L" is too large to pack");
    WriteInt(out, int32_t(aname.size()));
    out->WriteBuffer(aname.data(), int32_t(aname.size()));
    WriteInt(out, int32_t(size));

    TZCompressionStream z(out, zcDefault);
    std::vector<uint8_t> buf(CopyPiece);
    for (int64_t left = size; left > 0;) {
        int32_t n = int32_t(std::min<int64_t>(left, CopyPiece));
        in.ReadBuffer(buf.data(), n);
        z.WriteBuffer(buf.data(), n);
        left -= n;
    }
    z.Finish();
}

// The whole container is made in memory, so a failure leaves no half-written
// file behind and an existing one untouched.
void WritePackFile(const UnicodeString& srcDir, const std::vector<UnicodeString>& names, const UnicodeString& fileName)
{
    std::vector<AnsiString> anames;
    for (const UnicodeString& name : names)
        anames.push_back(PackEntryName(srcDir, name));
    TMemoryStream data;
    data.WriteBuffer(PackMagic, 4);
    WriteInt(&data, int32_t(names.size()));
    for (size_t i = 0; i < names.size(); ++i)
        WritePackEntry(&data, srcDir, names[i], anames[i]);
    data.SaveToFile(fileName);
}

}  // namespace

// ---------------------------------------------------------------------------
TkvSkinConvertor::~TkvSkinConvertor()
{
    Clear();
}

void TkvSkinConvertor::ClearEntries()
{
    while (!Files.empty()) {
        FreeAndNil(Files.back().FileStream);
        Files.pop_back();
    }
    FreeAndNil(Options);
}

void TkvSkinConvertor::Clear()
{
    ClearEntries();
    FreeAndNil(PackedData);
}

void ExtractPackedData(TkvSkinConvertor* sc)
{
    if (!sc)
        throw Exception(SNotPackedData);
    if (!sc->PackedData) {
        sc->ClearEntries();
        throw Exception(SNotPackedData);
    }
    TPackReader reader(sc->PackedData);
    if (!reader.ReadMagic()) {
        // The packed data may be lent by its owner: it stays where it is.
        sc->ClearEntries();
        throw Exception(SNotPackedData);
    }
    // A second read of the same convertor replaces what the first one found.
    sc->ClearEntries();
    sc->ImageCount = -1;
    const int32_t count = reader.ReadCount();
    sc->ImageCount = count - 1;
    for (int32_t i = 0; i < count; ++i) {
        const UnicodeString name = AnsiToUnicode(reader.ReadName(i));
        const int32_t size = reader.ReadSize(name);
        std::unique_ptr<TMemoryStream> content = InflateToMemory(sc->PackedData, size, name);
        if (IsOptionsName(name)) {
            FreeAndNil(sc->Options);
            sc->Options = content.release();
        } else {
            TkvImageItem item;
            item.FileName = name;
            item.IsBitmap = UpperCase(ExtractFileExt(name)) == L".BMP";
            sc->Files.push_back(item);
            sc->Files.back().FileStream = content.release();
        }
    }
}

void LoadSkinFromFile(const UnicodeString& FileName, TkvSkinConvertor*& sc, bool FreePackedData)
{
    if (!FileExists(FileName))
        return;
    if (sc)
        sc->Clear();
    else
        sc = New<TkvSkinConvertor>();
    try {
        sc->PackedData = New<TMemoryStream>();
        sc->PackedData->LoadFromFile(FileName);
        ExtractPackedData(sc);
        if (FreePackedData)
            FreeAndNil(sc->PackedData);
    } catch (...) {
        FreeAndNil(sc);
        throw;
    }
}

void PackDir(const UnicodeString& SrcDir, const UnicodeString& FileName)
{
    const std::vector<UnicodeString> names = CollectPackFiles(SrcDir);
    if (!names.empty())
        WritePackFile(SrcDir, names, FileName);
}

void UnpackSkinFile(const UnicodeString& FileName, const UnicodeString& DestDir, TPackWarningProc Warn)
{
    const UnicodeString dir = NormalDir(DestDir);
    if (!dir.empty() && !DirectoryExists(dir))
        ForceDirectories(dir);

    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    TPackReader reader(&file);
    if (!reader.ReadMagic()) {
        if (Warn)
            Warn(FileName + SNotPackedFile);
        return;
    }
    const int32_t count = reader.ReadCount();
    for (int32_t i = 0; i < count; ++i) {
        const UnicodeString name = AnsiToUnicode(reader.ReadName(i));
        if (!IsPlainFileName(name))
            Damaged(L"entry name " + Quoted(name) + L" is not a plain file name");
        const int32_t size = reader.ReadSize(name);
        std::unique_ptr<TMemoryStream> content = InflateToMemory(&file, size, name);
        const UnicodeString target = dir + name;
        DeleteFileW(target.c_str());
        TFileStream out(target, fmCreate);
        out.WriteBuffer(content->Memory(), int32_t(content->Size()));
    }
}
