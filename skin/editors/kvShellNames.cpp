#include "skin/editors/kvShellNames.h"

#include <algorithm>
#include <cstring>

UnicodeString Latin1Decoder(const char* Text, size_t Length)
{
    UnicodeString s;
    s.reserve(Length);
    for (size_t i = 0; i < Length; ++i)
        s += wchar_t(static_cast<unsigned char>(Text[i]));
    return s;
}

static size_t BoundedLength(const char* Text, size_t Max)
{
    const void* end = std::memchr(Text, 0, Max);
    return end ? size_t(static_cast<const char*>(end) - Text) : Max;
}

UnicodeString StrRetText(const uint8_t* ID, size_t ItemSize, const TkvStrRet& Ret, TkvAnsiDecoder Decode,
                         void (*FreeWStr)(const char16_t*))
{
    if (!Decode)
        Decode = Latin1Decoder;
    UnicodeString text;
    switch (Ret.Kind) {
    case STRRET_KIND_WSTR:
        if (Ret.WStr) {
            for (const char16_t* p = Ret.WStr; *p; ++p)
                text += wchar_t(*p);
            if (FreeWStr)
                FreeWStr(Ret.WStr);
        }
        break;
    case STRRET_KIND_OFFSET:
        if (ID && Ret.Offset < ItemSize) {
            const char* start = reinterpret_cast<const char*>(ID) + Ret.Offset;
            text = Decode(start, BoundedLength(start, ItemSize - Ret.Offset));
        }
        break;
    case STRRET_KIND_CSTR:
        if (Ret.CStr)
            text = Decode(Ret.CStr, BoundedLength(Ret.CStr, 260));
        break;
    default:
        break;
    }
    return StripQuestionMarks(text);
}

UnicodeString StripQuestionMarks(const UnicodeString& Name)
{
    if (Name.size() < 2 || Name[0] != L'?' || Name[1] < L'0' || Name[1] > L'9')
        return Name;
    UnicodeString s = Name;
    s.erase(std::remove(s.begin(), s.end(), L'?'), s.end());
    return s;
}

UnicodeString NameExtension(const UnicodeString& Name)
{
    size_t dot = Name.find_last_of(L".\\/:");
    if (dot == UnicodeString::npos || Name[dot] != L'.')
        return UnicodeString();
    return Name.substr(dot);
}

static bool SameAscii(const UnicodeString& A, const UnicodeString& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](wchar_t a, wchar_t b) {
               auto up = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; };
               return up(a) == up(b);
           });
}

UnicodeString ApplyShowExtension(const UnicodeString& DisplayName, const UnicodeString& ParsingName,
                                 bool FileExists, TkvShowExtension Mode)
{
    if (Mode == TkvShowExtension::seSystem || !FileExists)
        return DisplayName;
    UnicodeString own = NameExtension(DisplayName);
    if (Mode == TkvShowExtension::seShow) {
        UnicodeString parsed = NameExtension(ParsingName);
        return SameAscii(own, parsed) ? DisplayName : DisplayName + parsed;
    }
    return own.empty() ? DisplayName : DisplayName.substr(0, DisplayName.size() - own.size());
}
