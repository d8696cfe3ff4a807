#include "app/VKBStartupUnit.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Registry.h"
#include "classlib/rtl/SysUtils.h"

const wchar_t* const FlashServerKey = L"\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";

namespace {

// Closes a C runtime file whatever happens.
struct TCFile {
    FILE* F;
    explicit TCFile(FILE* f) : F(f) {}
    ~TCFile()
    {
        if (F)
            std::fclose(F);
    }
    TCFile(const TCFile&) = delete;
    TCFile& operator=(const TCFile&) = delete;
};

// Copies Count bytes in pieces, so a large payload needs no large buffer.
bool CopyBytes(FILE* from, FILE* to, unsigned long long count)
{
    std::vector<char> piece(64 * 1024);
    while (count > 0) {
        size_t want = count < piece.size() ? size_t(count) : piece.size();
        if (std::fread(piece.data(), 1, want, from) != want)
            return false;
        if (std::fwrite(piece.data(), 1, want, to) != want)
            return false;
        count -= want;
    }
    return true;
}

} // namespace

UnicodeString ReadFlashRegistration(const UnicodeString& Key)
{
    std::unique_ptr<TRegistry> reg(new TRegistry(0x20019)); // read access
    reg->SetRootKey(HKEY_CLASSES_ROOT);
    try {
        if (reg->OpenKey(Key, false))
            return reg->ReadString(L"");
    } catch (const ERegistryException&) {
        // A default value that is not text counts as no registration.
    }
    return UnicodeString();
}

bool FlashProvisioningNeeded(const UnicodeString& ServerPath)
{
    if (ServerPath.empty() || !FileExists(ServerPath))
        return true;
    UnicodeString lower = AnsiLowerCase(ServerPath);
    if (lower.find(L"flash") == UnicodeString::npos)
        return true;
    return lower.find(L"flash10b") != UnicodeString::npos;
}

void GetTempFolder(char* Buffer, size_t Size)
{
    if (!Buffer || Size == 0)
        return;
    char system[1024] = {};
    GetSystemDirectoryA(system, sizeof(system));
    std::snprintf(Buffer, Size, "%.2s\\temp", system);
    CreateDirectoryA(Buffer, nullptr); // an existing folder is fine
}

UnicodeString FlashInstallerPath()
{
    char folder[1024] = {};
    GetTempFolder(folder, sizeof(folder));
    return AnsiToUnicode(folder) + L"\\flash10.exe";
}

bool ExtractFlashInstaller(const UnicodeString& ExePath, const UnicodeString& InstallerPath)
{
    TCFile exe(std::fopen(UnicodeToAnsi(ExePath).c_str(), "rb"));
    long long size = -1;
    if (!exe.F || _fseeki64(exe.F, 0, SEEK_END) != 0 || (size = _ftelli64(exe.F)) < 4)
        return false;
    unsigned char trailer[4];
    if (_fseeki64(exe.F, size - 4, SEEK_SET) != 0 || std::fread(trailer, 1, 4, exe.F) != 4)
        return false;
    unsigned long long payload = (unsigned long long)trailer[0] << 24 | (unsigned long long)trailer[1] << 16 |
                                 (unsigned long long)trailer[2] << 8 | trailer[3];
    // No payload, or a length the file cannot hold: nothing to install.
    if (payload == 0 || payload > (unsigned long long)(size - 4))
        return false;
    if (_fseeki64(exe.F, size - 4 - (long long)payload, SEEK_SET) != 0)
        return false;

    AnsiString target = UnicodeToAnsi(InstallerPath);
    FILE* out = std::fopen(target.c_str(), "wb");
    if (!out)
        return false;
    bool written = CopyBytes(exe.F, out, payload);
    if (std::fclose(out) != 0)
        written = false;
    if (!written)
        DeleteFileA(target.c_str());   // no partial installer is left behind
    return written;
}

TFlashSetup ProvisionFlash(const UnicodeString& ExePath, const UnicodeString& Registered,
                           const UnicodeString& InstallerPath)
{
    if (!FlashProvisioningNeeded(Registered))
        return TFlashSetup::Registered;
    if (!ExtractFlashInstaller(ExePath, InstallerPath))
        return TFlashSetup::NoInstaller;

    AnsiString path = UnicodeToAnsi(InstallerPath);
    std::vector<char> commandLine(path.begin(), path.end());
    commandLine.push_back('\0');
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        DeleteFileA(path.c_str());
        return TFlashSetup::NotStarted;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (!GetExitCodeProcess(pi.hProcess, &code))
        ShowMessage(L"GetExitCodeProcess() failed\n");
    else if (code == STILL_ACTIVE)
        ShowMessage(L"Process is still active\n");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileA(path.c_str());
    return TFlashSetup::Ran;
}

TIcon* GetFileTypeIcon(const UnicodeString& Path)
{
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    SHGetFileInfoA(UnicodeToAnsi(Path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                   SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES | SHGFI_LARGEICON);
    TIcon* icon = New<TIcon>();
    if (info.hIcon)
        icon->SetHandle(info.hIcon);
    return icon;
}

TIcon* ApplicationIconFor(const UnicodeString& ExePath)
{
    UnicodeString ico = ChangeFileExt(ExePath, L".ico");
    if (FileExists(ico)) {
        TIcon* icon = New<TIcon>();
        try {
            icon->LoadFromFile(ico);
            return icon;
        } catch (const Exception&) {
            // An unreadable ".ico" is no reason not to start: the file type's icon serves.
            delete icon;
        }
    }
    return GetFileTypeIcon(ExePath);
}
