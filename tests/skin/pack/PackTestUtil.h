// Helpers shared by the zlib and packed-skin tests: byte buffers, files and
// a temporary folder that removes itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "classlib/rtl/Streams.h"

using Bytes = std::vector<uint8_t>;

inline Bytes RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b)
        x = uint8_t(rng());
    return b;
}

// Text-like bytes that compress well but not trivially.
inline Bytes TextBytes(size_t n, uint32_t seed)
{
    static const char* const words[] = {"skin ", "button ", "glyph ", "border ", "[SECTION]\r\n", "Color=", "1 "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % 7];
        b.insert(b.end(), w, w + strlen(w));
    }
    b.resize(n);
    return b;
}

inline Bytes StreamBytes(TMemoryStream& s)
{
    const uint8_t* p = static_cast<const uint8_t*>(s.Memory());
    return Bytes(p, p + s.Size());
}

inline void PutBytes(TStream& s, const Bytes& b)
{
    s.WriteBuffer(b.data(), int32_t(b.size()));
}

inline void WriteFileBytes(const std::wstring& path, const Bytes& b)
{
    TFileStream f(path, fmCreate);
    PutBytes(f, b);
}

inline Bytes ReadFileBytes(const std::wstring& path)
{
    TMemoryStream m;
    m.LoadFromFile(path);
    return StreamBytes(m);
}

inline bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fixture file under its Windows name (the fixtures folder is reached
// through drive Z:).
inline std::wstring FixturePath(const std::wstring& name)
{
    std::string dir = KV_FIXTURES;
    std::wstring w = L"Z:";
    for (char c : dir)
        w += c == '/' ? L'\\' : wchar_t(c);
    return w + L"\\pack\\" + name;
}

// A fresh folder under the temporary folder, removed with its content.
class TTempDir {
    std::wstring FPath;

    static void Remove(const std::wstring& dir)
    {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring n = fd.cFileName;
                if (n == L"." || n == L"..")
                    continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(dir + n + L"\\");
                else {
                    SetFileAttributesW((dir + n).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW((dir + n).c_str());
                }
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }

public:
    TTempDir()
    {
        static int counter = 0;
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        FPath = std::wstring(tmp) + L"kvpack" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter) + L"\\";
        Remove(FPath);
        CreateDirectoryW(FPath.c_str(), nullptr);
    }
    ~TTempDir() { Remove(FPath); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    // The folder, with its trailing separator.
    const std::wstring& Path() const { return FPath; }
    std::wstring operator/(const std::wstring& name) const { return FPath + name; }
};
