#include "AppTestUtils.h"

#include <cstdio>

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
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

} // namespace

TTempDir::TTempDir()
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

TTempDir::~TTempDir()
{
    RemoveTree(FPath);
}

void WriteBytes(const UnicodeString& path, const std::string& bytes)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadBytes(const UnicodeString& path)
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

bool FileThere(const UnicodeString& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

UnicodeString TestExeDir()
{
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    UnicodeString p(buf, n);
    return p.substr(0, p.find_last_of(L"\\/"));
}

TExeIni::TExeIni(const std::string& text) : FPath(ExeIniPath())
{
    WriteBytes(FPath, text);
}

TExeIni::~TExeIni()
{
    DeleteFileW(FPath.c_str());
}

UnicodeString TExeIni::ExeIniPath()
{
    wchar_t buf[MAX_PATH];
    UnicodeString exe(buf, GetModuleFileNameW(nullptr, buf, MAX_PATH));
    return exe.substr(0, exe.find_last_of(L'.')) + L".ini";
}
