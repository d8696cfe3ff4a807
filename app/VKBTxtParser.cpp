#include "app/VKBTxtParser.h"

#include <cstdio>
#include <new>
#include <vector>

#include "classlib/rtl/SysUtils.h"

int VKBTxtParser::Load(const UnicodeString& Path)
{
    // Text mode: a CR LF pair reads as one LF, so fewer bytes than the file
    // size may arrive; the rest of the buffer stays zero.
    FILE* f = std::fopen(UnicodeToAnsi(Path).c_str(), "rt");
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
                UnicodeString key = AnsiToUnicode(Buffer + (K + 1));
                UnicodeString value = AnsiToUnicode(Buffer + (E + 1));
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
