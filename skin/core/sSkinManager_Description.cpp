#include "skin/core/sSkinManager_Description.h"

#include <algorithm>
#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinProps.h"

namespace {

// Integers are read as the description's own are: "0x" for hexadecimal;
// -1 for text that is no number.
int ToInteger(const UnicodeString& Text)
{
    if (Text.size() > 2 && Text[0] == L'0' && (Text[1] == L'x' || Text[1] == L'X'))
        return StrToIntDef(L"$" + Text.substr(2), -1);
    return StrToIntDef(Text, -1);
}

// Key and section names are mostly upper case already; those are looked up
// without a copy.
const UnicodeString& Upper(const UnicodeString& S, UnicodeString& Buffer)
{
    if (std::none_of(S.begin(), S.end(), [](wchar_t c) { return c >= L'a' && c <= L'z'; }))
        return S;
    Buffer = UpperCase(S);
    return Buffer;
}

} // namespace

TsSkinDescription::TsSkinDescription(TCustomIniFile* Ini)
    : TsSkinDescription(Ini, Ini ? ReadEntries(Ini) : std::vector<TsDescriptionEntry>())
{
}

TsSkinDescription::TsSkinDescription(TCustomIniFile* Ini, const std::vector<TsDescriptionEntry>& Entries) : FIni(Ini)
{
    for (const TsDescriptionEntry& e : Entries) {
        TKeys& keys = FIndex[UpperCase(e.Section)].Keys;
        if (e.HasValue)
            keys.emplace(UpperCase(e.Key), e.Value);
    }
    const UnicodeString parentKey = UpperCase(s_ParentClass);
    for (auto& [name, section] : FIndex) {
        const auto parent = section.Keys.find(parentKey);
        if (parent != section.Keys.end() && !parent->second.empty() && parent->second != L"?")
            section.Parent = Find(parent->second);
    }
}

const TsSkinDescription::TSection* TsSkinDescription::Find(const UnicodeString& Section) const
{
    // A section's keys are read one after another.
    if (FLastSection && Section == FLastName)
        return FLastSection;
    UnicodeString buffer;
    const auto it = FIndex.find(Upper(Section, buffer));
    FLastName = Section;
    FLastSection = it == FIndex.end() ? nullptr : &it->second;
    return FLastSection;
}

template <class Accept>
const UnicodeString* TsSkinDescription::Lookup(const UnicodeString& Section, const UnicodeString& UpperKey,
                                               Accept accept) const
{
    // Chains are short; a cycle is caught by counting the steps, which
    // cannot exceed the number of sections without one.
    size_t steps = 0;
    for (const TSection* s = Find(Section); s && steps <= FIndex.size(); s = s->Parent, ++steps) {
        const auto value = s->Keys.find(UpperKey);
        if (value != s->Keys.end() && accept(value->second))
            return &value->second;
    }
    return nullptr;
}

UnicodeString TsSkinDescription::ParentOf(const UnicodeString& Section)
{
    const TSection* s = Find(Section);
    if (!s)
        return UnicodeString();
    const auto parent = s->Keys.find(UpperCase(s_ParentClass));
    return parent == s->Keys.end() ? UnicodeString() : parent->second;
}

UnicodeString TsSkinDescription::ReadString(const UnicodeString& Section, const UnicodeString& Key,
                                            const UnicodeString& Default)
{
    UnicodeString buffer;
    const UnicodeString* v = Lookup(Section, Upper(Key, buffer), [](const UnicodeString& t) { return t != L"?"; });
    return v ? *v : Default;
}

int TsSkinDescription::ReadInteger(const UnicodeString& Section, const UnicodeString& Key, int Default)
{
    UnicodeString buffer;
    int result = Default;
    Lookup(Section, Upper(Key, buffer), [&result](const UnicodeString& t) {
        const int v = ToInteger(t);
        if (v != -1)
            result = v;
        return v != -1;
    });
    return result;
}

std::vector<TsDescriptionEntry> ReadEntries(TCustomIniFile* Ini)
{
    std::vector<TsDescriptionEntry> entries;
    TStringList sections, lines;
    Ini->ReadSections(&sections);
    std::unordered_map<UnicodeString, UnicodeString> first;
    for (int i = 0; i < sections.Count(); ++i) {
        const UnicodeString section = sections.Strings(i);
        lines.Clear();
        Ini->ReadSectionValues(section, &lines);
        first.clear();
        const size_t begin = entries.size();
        for (int j = 0; j < lines.Count(); ++j) {
            const UnicodeString line = lines.Strings(j);
            const size_t eq = line.find(L'=');
            TsDescriptionEntry& e = entries.emplace_back();
            e.Section = section;
            if (eq == UnicodeString::npos)
                continue;
            e.Key = line.substr(0, eq);
            first.emplace(UpperCase(e.Key), line.substr(eq + 1));
        }
        for (size_t k = begin; k < entries.size(); ++k) {
            const auto value = first.find(UpperCase(entries[k].Key));
            entries[k].HasValue = value != first.end();
            if (entries[k].HasValue)
                entries[k].Value = value->second;
        }
    }
    return entries;
}
