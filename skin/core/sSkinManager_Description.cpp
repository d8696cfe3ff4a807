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

TsSkinDescription::TsSkinDescription(TCustomIniFile* Ini) : FIni(Ini)
{
    if (!Ini)
        return;
    TStringList sections, lines;
    Ini->ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        TKeys& keys = FIndex[UpperCase(sections.Strings(i))].Keys;
        lines.Clear();
        Ini->ReadSectionValues(sections.Strings(i), &lines);
        for (int j = 0; j < lines.Count(); ++j) {
            const UnicodeString line = lines.Strings(j);
            const size_t eq = line.find(L'=');
            if (eq != UnicodeString::npos)
                keys.emplace(UpperCase(line.substr(0, eq)), line.substr(eq + 1));
        }
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
    std::vector<const TSection*> visited;
    for (const TSection* s = Find(Section); s; s = s->Parent) {
        if (std::find(visited.begin(), visited.end(), s) != visited.end())
            return nullptr;
        const auto value = s->Keys.find(UpperKey);
        if (value != s->Keys.end() && accept(value->second))
            return &value->second;
        visited.push_back(s);
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
    const UnicodeString* v =
        Lookup(Section, Upper(Key, buffer), [](const UnicodeString& t) { return ToInteger(t) != -1; });
    return v ? ToInteger(*v) : Default;
}

void ForEachKey(TCustomIniFile* Ini, const TsDescriptionKeyFn& Fn)
{
    TStringList sections, lines;
    Ini->ReadSections(&sections);
    std::unordered_map<UnicodeString, UnicodeString> first;
    std::vector<UnicodeString> keys;
    for (int i = 0; i < sections.Count(); ++i) {
        const UnicodeString section = sections.Strings(i);
        lines.Clear();
        Ini->ReadSectionValues(section, &lines);
        first.clear();
        keys.clear();
        for (int j = 0; j < lines.Count(); ++j) {
            const UnicodeString line = lines.Strings(j);
            const size_t eq = line.find(L'=');
            keys.push_back(eq == UnicodeString::npos ? UnicodeString() : line.substr(0, eq));
            // A key written twice reads as its first value.
            if (eq != UnicodeString::npos)
                first.emplace(UpperCase(keys.back()), line.substr(eq + 1));
        }
        for (const UnicodeString& key : keys) {
            const auto value = first.find(UpperCase(key));
            Fn(section, key, value == first.end() ? nullptr : &value->second);
        }
    }
}
