#include "app/VKBTxtParser.h"

#include <windows.h>

#include <cstdio>
#include <new>
#include <vector>

namespace {

UnicodeString FromAnsi(const char* s)
{
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 1)
        return UnicodeString();
    UnicodeString w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    w.resize(size_t(n - 1));
    return w;
}

AnsiString ToAnsi(const UnicodeString& s)
{
    if (s.empty())
        return AnsiString();
    int n = WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return AnsiString();
    AnsiString a(size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, a.data(), n, nullptr, nullptr);
    a.resize(size_t(n - 1));
    return a;
}

} // namespace

int VKBTxtParser::Load(const UnicodeString& Path)
{
    // Text mode: a CR LF pair reads as one LF, so fewer bytes than the file
    // size may arrive; the rest of the buffer stays zero.
    FILE* f = std::fopen(ToAnsi(Path).c_str(), "rt");
    if (!f)
        return -1;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::vector<char> buffer;
    if (size >= 0) {
        try {
            buffer.assign(size_t(size) + 1, '\0');
        } catch (const std::bad_alloc&) {
            size = -1;
        }
    }
    if (size < 0) {
        std::fclose(f);
        return -1;
    }
    std::fseek(f, 0, SEEK_SET);
    if (size > 0)
        std::fread(buffer.data(), 1, size_t(size), f);
    std::fclose(f);
    ParseBuffer(buffer.data(), size_t(size));
    return 0;
}

void VKBTxtParser::ParseBuffer(char* Buffer, size_t Size)
{
    // K: position of the '&' that opened the pair, E: position of its last
    // '='.  Both -1 when no pair is open; a key then starts at position 0.
    long K = -1, E = -1;
    for (size_t i = 0; i < Size; ++i) {
        char c = Buffer[i];
        if (c == '=') {
            Buffer[i] = '\0';
            E = long(i);
        } else if (c == '&') {
            Buffer[i] = '\0';
            if (E == -1) {
                K = long(i);
            } else {
                UnicodeString key = FromAnsi(Buffer + (K + 1));
                UnicodeString value = FromAnsi(Buffer + (E + 1));
                FMap.emplace(key, value); // the first value of a key wins
                K = -1;
                E = -1;
            }
        }
    }
}

UnicodeString VKBTxtParser::Get(const UnicodeString& Key) const
{
    auto it = FMap.find(Key);
    return it == FMap.end() ? UnicodeString() : it->second;
}
