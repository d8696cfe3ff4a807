#include "CommandsTestUtils.h"

#include <winioctl.h>

#include <cstdio>
#include <cstring>

#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

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
    WriteBytes(path, bytes);
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
