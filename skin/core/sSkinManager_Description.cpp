#include "skin/core/sSkinManager_Description.h"

#include <algorithm>
#include <cstddef>
#include <ranges>
#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinProps.h"

namespace {

// Key and section names are mostly upper case already; those are looked up
// without a copy.
const UnicodeString& Upper(const UnicodeString& S, UnicodeString& Buffer)
{
    if (std::none_of(S.begin(), S.end(), [](wchar_t c) { return c >= L'a' && c <= L'z'; }))
        return S;
    Buffer = UpperCase(S);
    return Buffer;
}

const UnicodeString& ParentKey()
{
    static const UnicodeString key = UpperCase(s_ParentClass);
    return key;
}

} // namespace

int DescriptionInteger(const UnicodeString& Text)
{
    // The integer parser takes "0x" as it takes "$".
    return StrToIntDef(Text, -1);
}

TsSkinDescription::TsSkinDescription(TCustomIniFile* Ini)
    : TsSkinDescription(Ini, Ini ? ReadEntries(Ini) : TsDescriptionEntries())
{
}

TsSkinDescription::TsSkinDescription(TCustomIniFile* Ini, const TsDescriptionEntries& Entries) : FIni(Ini)
{
    // Entries come section by section: a section is looked up once per run
    // of its keys, not once per key.
    std::wstring_view lastSection;
    TKeys* keys = nullptr;
    UnicodeString name, buffer;
    for (const TsDescriptionEntry& e : Entries) {
        if (!keys || e.Section != lastSection) {
            name.assign(e.Section);
            keys = &FIndex[Upper(name, buffer)].Keys;
            lastSection = e.Section;
        }
        if (e.HasValue) {
            name.assign(e.Key);
            keys->emplace(Upper(name, buffer), e.Value);
        }
    }
    for (auto& [name, section] : FIndex) {
        const auto parent = section.Keys.find(ParentKey());
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
    const auto parent = s->Keys.find(ParentKey());
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
        const int v = DescriptionInteger(t);
        if (v != -1)
            result = v;
        return v != -1;
    });
    return result;
}

namespace {

// Appends the entries of one section.  A key written again takes the value
// of its first line; a section has few keys, so the earlier ones are
// searched rather than indexed.
template <class TLines>
void AddSection(std::vector<TsDescriptionEntry>& Entries, const UnicodeString& Section, const TLines& Lines)
{
    const size_t first = Entries.size();
    for (const std::wstring_view line : Lines) {
        const size_t eq = line.find(L'=');
        TsDescriptionEntry& e = Entries.emplace_back();
        e.Section = Section;
        if (eq == std::wstring_view::npos)
            continue;
        e.Key = line.substr(0, eq);
        e.HasValue = true;
        const TsDescriptionEntry* earlier = nullptr;
        for (size_t i = first; i + 1 < Entries.size() && !earlier; ++i)
            if (Entries[i].HasValue && SameText(Entries[i].Key, e.Key))
                earlier = &Entries[i];
        if (earlier)
            e.Value = earlier->Value;
        else
            e.Value.assign(line.substr(eq + 1));
    }
}

} // namespace

TsDescriptionEntries ReadEntries(TCustomIniFile* Ini)
{
    TsDescriptionEntries entries;
    // A description in memory is read in place: this runs on every skin load.
    if (auto* mem = dynamic_cast<TMemIniFile*>(Ini)) {
        size_t lines = 0;
        mem->ForEachSection([&lines](const UnicodeString&, const std::vector<std::wstring_view>& Lines) {
            lines += Lines.size();
        });
        entries.Items.reserve(lines);
        mem->ForEachSection([&](const UnicodeString& Section, const std::vector<std::wstring_view>& Lines) {
            AddSection(entries.Items, Section, Lines);
        });
        return entries;
    }
    TStringList sections, lines;
    Ini->ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        lines.Clear();
        const UnicodeString& section = entries.Text.emplace_back(sections.Strings(i));
        Ini->ReadSectionValues(section, &lines);
        // The lines stay in Text, whose strings never move, for the views.
        const size_t from = entries.Text.size();
        for (int j = 0; j < lines.Count(); ++j)
            entries.Text.push_back(lines.Strings(j));
        AddSection(entries.Items, section,
                   std::ranges::subrange(entries.Text.begin() + static_cast<std::ptrdiff_t>(from), entries.Text.end()));
    }
    return entries;
}
