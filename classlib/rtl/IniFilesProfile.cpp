// TIniFile: on the file, through the system's profile functions.
#include <windows.h>

#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"

namespace {

// Calls Get with a growing buffer until the answer fits; Get answers the
// number of characters copied, which reaches Size - Slack when cut short.
template <class F>
std::vector<wchar_t> ProfileBuffer(F Get, DWORD Slack)
{
    DWORD size = 2048;
    for (;;) {
        std::vector<wchar_t> buf(size, L'\0');
        DWORD n = Get(buf.data(), size);
        if (n + Slack < size || size >= (64u << 20)) {
            buf.resize(n < size ? n : size);
            return buf;
        }
        size *= 4;
    }
}

// A double-null-terminated list of names.
std::vector<UnicodeString> Names(const std::vector<wchar_t>& Buf)
{
    std::vector<UnicodeString> names;
    size_t i = 0;
    while (i < Buf.size() && Buf[i]) {
        names.emplace_back(&Buf[i]);
        i += names.back().size() + 1;
    }
    return names;
}

} // namespace

TIniFile::~TIniFile()
{
    UpdateFile();
}

UnicodeString TIniFile::ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                                   const UnicodeString& Default)
{
    std::vector<wchar_t> buf = ProfileBuffer(
        [&](wchar_t* b, DWORD size) {
            return GetPrivateProfileStringW(Section.c_str(), Ident.c_str(), Default.c_str(), b, size,
                                            FileName().c_str());
        },
        1);
    return UnicodeString(buf.data(), buf.size());
}

void TIniFile::WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    if (!WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), Value.c_str(), FileName().c_str()))
        throw EIniFileException(L"Unable to write to " + FileName());
}

void TIniFile::ReadSection(const UnicodeString& Section, TStrings* Strings)
{
    std::vector<wchar_t> buf = ProfileBuffer(
        [&](wchar_t* b, DWORD size) {
            return GetPrivateProfileStringW(Section.c_str(), nullptr, nullptr, b, size, FileName().c_str());
        },
        2);
    FillStrings(Strings, Names(buf));
}

void TIniFile::ReadSections(TStrings* Strings)
{
    std::vector<wchar_t> buf = ProfileBuffer(
        [&](wchar_t* b, DWORD size) {
            return GetPrivateProfileStringW(nullptr, nullptr, nullptr, b, size, FileName().c_str());
        },
        2);
    FillStrings(Strings, Names(buf));
}

void TIniFile::ReadSectionValues(const UnicodeString& Section, TStrings* Strings)
{
    TStringList keys;
    ReadSection(Section, &keys);
    std::vector<UnicodeString> values;
    for (int i = 0; i < keys.Count(); ++i)
        values.push_back(keys[i] + L"=" + ReadString(Section, keys[i], UnicodeString()));
    FillStrings(Strings, values);
}

void TIniFile::EraseSection(const UnicodeString& Section)
{
    if (!WritePrivateProfileStringW(Section.c_str(), nullptr, nullptr, FileName().c_str()))
        throw EIniFileException(L"Unable to write to " + FileName());
}

void TIniFile::DeleteKey(const UnicodeString& Section, const UnicodeString& Ident)
{
    WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile()
{
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, FileName().c_str());
}
