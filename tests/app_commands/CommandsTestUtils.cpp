#include "CommandsTestUtils.h"

#include <winioctl.h>

#include <cstdio>
#include <cstring>

#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

namespace {

void RemoveTree(const UnicodeString& path)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            UnicodeString name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            UnicodeString full = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

} // namespace

TTestFolder::TTestFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        FPath = UnicodeString(base) + L"kvcmd" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(FPath.c_str(), nullptr))
            break;
    }
}

TTestFolder::~TTestFolder()
{
    RemoveTree(FPath);
}

void MakeFolder(const UnicodeString& path)
{
    ForceDirectories(path);
}

void WriteFileBytes(const UnicodeString& path, const std::string& bytes)
{
    MakeFolder(ExtractFileDir(path));
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadFileBytes(const UnicodeString& path)
{
    std::string out;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

bool IsFile(const UnicodeString& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

UnicodeString ProgramFolder()
{
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    UnicodeString p(buf, n);
    return p.substr(0, p.find_last_of(L"\\/"));
}

std::string Ansi(const UnicodeString& s)
{
    return UnicodeToAnsi(s);
}

// ---------------------------------------------------------------------------
TBook::TBook(std::vector<UnicodeString> args) : FSavedLine(ViewerCommandLine()), FSavedCurrentDir(GetCurrentDir())
{
    ViewerCommandLine().ExeName = Exe();
    ViewerCommandLine().Args = std::move(args);
    PlayerForm = nullptr;
    Form.reset(New<TPlayerForm>(nullptr));
}

TBook::~TBook()
{
    Form.reset();
    ViewerCommandLine() = FSavedLine;
    PlayerForm = nullptr;
    SetCurrentDir(FSavedCurrentDir);
}

UnicodeString TBook::Put(const UnicodeString& relative, const std::string& bytes)
{
    UnicodeString path = Dir / relative;
    WriteFileBytes(path, bytes);
    return path;
}

void TBook::Command(const UnicodeString& command, const UnicodeString& args)
{
    Form->FlashPlayerFSCommand(Form->FlashPlayer, command, args);
}

UnicodeString TBook::Variable(const UnicodeString& name)
{
    return Form->FlashPlayer->GetVariable(name);
}

// ---------------------------------------------------------------------------
namespace {

TShellExecuteAProc SavedShellExecute = nullptr;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT show)
{
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("(null)"); };
    TShellRecorder::Calls().push_back({owner, text(verb), text(file), text(parameters), text(directory), show});
    return reinterpret_cast<HINSTANCE>(2);   // "file not found", as for a function name
}

} // namespace

TShellRecorder::TShellRecorder()
{
    Calls().clear();
    SavedShellExecute = ViewerShellExecuteA;
    ViewerShellExecuteA = RecordShellExecute;
}

TShellRecorder::~TShellRecorder()
{
    ViewerShellExecuteA = SavedShellExecute;
}

std::vector<TShellCall>& TShellRecorder::Calls()
{
    static std::vector<TShellCall> calls;
    return calls;
}

// ---------------------------------------------------------------------------
namespace {

// The mount manager's request to map or unmap a drive letter to a folder
// of the host (the layout the prefix's mount manager reads).
struct TUnixDriveRequest {
    ULONG Size;
    ULONG Type;
    ULONG FsType;
    DWORD Serial;
    ULONGLONG UnixDev;
    WCHAR Letter;
    USHORT MountPointOffset;
    USHORT DeviceOffset;
    USHORT LabelOffset;
};

constexpr DWORD IoctlDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

std::string HostPath(const UnicodeString& path)
{
    using TUnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unixName)
        return std::string();
    char* name = unixName(path.c_str());
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

} // namespace

bool TRemovableDrive::Define(wchar_t letter, const std::string& unixPath)
{
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    std::string buffer(sizeof(TUnixDriveRequest), '\0');
    TUnixDriveRequest request{};
    request.Letter = letter;
    if (!unixPath.empty()) {
        request.Type = DRIVE_REMOVABLE;
        request.MountPointOffset = USHORT(buffer.size());
        buffer += unixPath;
        buffer += '\0';
    }
    request.Size = ULONG(buffer.size());
    std::memcpy(buffer.data(), &request, sizeof(request));
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(manager, IoctlDefineUnixDrive, buffer.data(), DWORD(buffer.size()), nullptr, 0,
                              &returned, nullptr);
    CloseHandle(manager);
    return ok != FALSE;
}

TRemovableDrive::TRemovableDrive(wchar_t letter) : FLetter(letter)
{
    Define(FLetter, std::string());   // a leftover of an interrupted run
    std::string host = HostPath(FFolder.Path());
    const char root[] = {char(FLetter), ':', '\\', '\0'};
    FMapped = !host.empty() && Define(FLetter, host) && GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

TRemovableDrive::~TRemovableDrive()
{
    Define(FLetter, std::string());
}
