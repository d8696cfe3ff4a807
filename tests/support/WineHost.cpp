#include "WineHost.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>

namespace {

template <class F>
F WineExport(const wchar_t* Module, const char* Name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(Module), Name)));
}

UnicodeString FromUtf8(const std::string& s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    UnicodeString w(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

// The Windows name of a host file ("Z:\usr\bin\ln").
UnicodeString DosPath(const char* Host)
{
    using TDosName = WCHAR*(CDECL*)(LPCSTR);
    auto dosName = WineExport<TDosName>(L"kernel32", "wine_get_dos_file_name");
    WCHAR* name = dosName ? dosName(Host) : nullptr;
    if (!name)
        return UnicodeString();
    UnicodeString result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a host program.  Wine gives no handle to wait on for one, so the
// caller watches for its effect instead.
bool StartHostProgram(const char* Program, const std::string& Arguments)
{
    UnicodeString exe = DosPath(Program);
    if (exe.empty())
        return false;
    UnicodeString cmd = FromUtf8(std::string(std::strrchr(Program, '/') + 1) + " " + Arguments);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    if (pi.hThread)
        CloseHandle(pi.hThread);
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    return true;
}

template <class F>
bool WaitFor(F Done)
{
    for (int i = 0; i < 200; ++i) {
        if (Done())
            return true;
        Sleep(50);
    }
    return Done();
}

bool IsLink(const UnicodeString& Path)
{
    DWORD attr = GetFileAttributesW(Path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::string Quoted(const std::string& s)
{
    return "\"" + s + "\"";
}

// The mount manager's request to map or unmap a drive letter to a host
// folder (the layout Wine's mount manager reads).
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

void RemoveTree(const UnicodeString& Dir)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((Dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            UnicodeString n = fd.cFileName;
            if (n == L"." || n == L"..")
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(Dir + n + L"\\");
            } else {
                SetFileAttributesW((Dir + n).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((Dir + n).c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(Dir.c_str());
}

} // namespace

bool DefineWineDrive(wchar_t Letter, const std::string& HostFolder, unsigned DriveType)
{
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    std::string buffer(sizeof(TUnixDriveRequest), '\0');
    TUnixDriveRequest request{};
    request.Letter = Letter;
    if (!HostFolder.empty()) {
        request.Type = DriveType;
        request.MountPointOffset = USHORT(buffer.size());
        buffer += HostFolder;
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

bool RunningUnderWine()
{
    return WineExport<void*>(L"ntdll", "wine_get_version") != nullptr;
}

std::string HostPath(const UnicodeString& Path)
{
    using TUnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = WineExport<TUnixName>(L"kernel32", "wine_get_unix_file_name");
    char* name = unixName ? unixName(Path.c_str()) : nullptr;
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool MakeFolderLink(const UnicodeString& Link, const UnicodeString& Target)
{
    if (!RunningUnderWine())
        return CreateSymbolicLinkW(Link.c_str(), Target.c_str(),
                                   SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
               IsLink(Link);
    // Wine answers CreateSymbolicLinkW without making anything; the host
    // makes a real link, which Wine then lists as a reparse point.
    std::string link = HostPath(Link), target = HostPath(Target);
    if (link.empty() || target.empty() || !StartHostProgram("/bin/ln", "-s -- " + Quoted(target) + " " + Quoted(link)))
        return false;
    return WaitFor([&] { return IsLink(Link); });
}

bool RemoveFolderLink(const UnicodeString& Link)
{
    if (!RunningUnderWine())
        return RemoveDirectoryW(Link.c_str()) != FALSE;
    std::string link = HostPath(Link);
    if (link.empty() || !StartHostProgram("/bin/rm", "-f -- " + Quoted(link)))
        return false;
    return WaitFor([&] { return GetFileAttributesW(Link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

TScratchDrive::TScratchDrive(wchar_t Letter) : FLetter(Letter)
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    FFolder = UnicodeString(tmp) + L"kvdrive_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(GetTickCount()) + L"\\";
    CreateDirectoryW(FFolder.c_str(), nullptr);
    DefineWineDrive(FLetter, std::string());   // a leftover of an interrupted run
    const std::string host = HostPath(FFolder);
    const wchar_t root[] = {FLetter, L':', L'\\', L'\0'};
    FMapped = !host.empty() && DefineWineDrive(FLetter, host, DRIVE_FIXED) && GetDriveTypeW(root) == DRIVE_FIXED;
}

TScratchDrive::~TScratchDrive()
{
    DefineWineDrive(FLetter, std::string());
    RemoveTree(FFolder);
}
