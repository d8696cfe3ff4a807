#include "classlib/rtl/System.h"

#include <chrono>

bool TObject::ClassNameIs(const UnicodeString& name) const
{
    UnicodeString own = ClassName();
    if (own.size() != name.size())
        return false;
    for (size_t i = 0; i < own.size(); ++i) {
        wchar_t a = own[i], b = name[i];
        if (a >= L'a' && a <= L'z') a = wchar_t(a - 32);
        if (b >= L'a' && b <= L'z') b = wchar_t(b - 32);
        if (a != b)
            return false;
    }
    return true;
}

void FreeAndNil(TObject*& obj)
{
    TObject* o = obj;
    obj = nullptr;
    if (o) {
        o->BeforeDestruction();
        delete o;
    }
}

const char* Exception::what() const noexcept
{
    // UTF-8 rendering of the message, for diagnostics outside the program.
    FWhat.clear();
    for (size_t i = 0; i < FMessage.size(); ++i) {
        uint32_t c = FMessage[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < FMessage.size()) {
            uint32_t lo = FMessage[i + 1];
            if (lo >= 0xDC00 && lo < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            FWhat += char(c);
        } else if (c < 0x800) {
            FWhat += char(0xC0 | (c >> 6));
            FWhat += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            FWhat += char(0xE0 | (c >> 12));
            FWhat += char(0x80 | ((c >> 6) & 0x3F));
            FWhat += char(0x80 | (c & 0x3F));
        } else {
            FWhat += char(0xF0 | (c >> 18));
            FWhat += char(0x80 | ((c >> 12) & 0x3F));
            FWhat += char(0x80 | ((c >> 6) & 0x3F));
            FWhat += char(0x80 | (c & 0x3F));
        }
    }
    return FWhat.c_str();
}

// ---------------------------------------------------------------------------
// Random numbers

uint32_t RandSeed = 0;

namespace {
uint32_t NextRandom()
{
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed;
}
} // namespace

void Randomize()
{
    // Both clocks, in case one of them is coarse.
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
    RandSeed = uint32_t(uint64_t(wall) ^ (uint64_t(wall) >> 32) ^ uint64_t(mono) ^ (uint64_t(mono) >> 32));
}

int Random(int Range)
{
    if (Range <= 0)
        return 0;
    // The high bits of the state are the random ones.
    return int((uint64_t(NextRandom()) * uint64_t(Range)) >> 32);
}

double Random()
{
    return NextRandom() / 4294967296.0;
}
