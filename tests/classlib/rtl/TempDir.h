// A fresh temporary folder for one test, removed with its contents afterwards.
#pragma once

#include <windows.h>

#include <string>

class TTempDir {
    std::wstring FPath;

    static void RemoveTree(const std::wstring& dir)
    {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring full = dir + L"\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else {
                    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }

public:
    TTempDir()
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        for (unsigned n = GetTickCount();; ++n) {
            FPath = std::wstring(base) + L"kvrtl" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(n);
            if (CreateDirectoryW(FPath.c_str(), nullptr))
                break;
        }
    }
    ~TTempDir() { RemoveTree(FPath); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::wstring& Path() const { return FPath; }
    std::wstring File(const std::wstring& name) const { return FPath + L"\\" + name; }
};
