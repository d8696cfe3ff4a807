// Small helpers shared by the viewer's tests (tests/app and tests/app_commands):
// a temporary folder and files.  Header-only, so that both test programs
// can use them.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/System.h"

namespace apptest {

inline void RemoveTree(const UnicodeString& path)
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

inline UnicodeString ModulePath()
{
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return UnicodeString(buf, n);
}

} // namespace apptest

// A fresh folder below the system's temporary folder, removed with its
// files and subfolders at the end of the scope.
class TTempDir {
public:
    TTempDir()
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static unsigned counter = 0;
        for (;;) {
            FPath = UnicodeString(base) + L"kvapp" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                    std::to_wstring(++counter);
            if (CreateDirectoryW(FPath.c_str(), nullptr))
                break;
        }
    }
    ~TTempDir() { apptest::RemoveTree(FPath); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const UnicodeString& Path() const { return FPath; }   // no trailing separator
    UnicodeString operator/(const UnicodeString& name) const { return FPath + L"\\" + name; }

private:
    UnicodeString FPath;
};

inline void MakeFolder(const UnicodeString& path)
{
    ForceDirectories(path);
}

// Writes the file, its folders made first.
inline void WriteBytes(const UnicodeString& path, const std::string& bytes)
{
    MakeFolder(ExtractFileDir(path));
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::string ReadBytes(const UnicodeString& path)
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

inline bool FileThere(const UnicodeString& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of the running test executable, without separator.
inline UnicodeString TestExeDir()
{
    UnicodeString p = apptest::ModulePath();
    return p.substr(0, p.find_last_of(L"\\/"));
}

// The ".ini" beside the running executable (where the viewer looks for its
// window styles), removed at the end of the scope.
class TExeIni {
public:
    explicit TExeIni(const std::string& text) : FPath(ExeIniPath()) { WriteBytes(FPath, text); }
    ~TExeIni() { DeleteFileW(FPath.c_str()); }
    TExeIni(const TExeIni&) = delete;
    TExeIni& operator=(const TExeIni&) = delete;
    static UnicodeString ExeIniPath()
    {
        UnicodeString exe = apptest::ModulePath();
        return exe.substr(0, exe.find_last_of(L'.')) + L".ini";
    }

private:
    UnicodeString FPath;
};
