// INI text held in memory.
#include "skin/core/kvntUtils.h"

#include <memory>

#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"

namespace {

TStrings* SectionLines(TStringList* Sections, const UnicodeString& Section)
{
    if (!Sections)
        return nullptr;
    int i = Sections->IndexOf(Section);
    return i >= 0 ? dynamic_cast<TStrings*>(Sections->Objects(i)) : nullptr;
}

// The key of an INI line: the text before its first "=" (empty without one).
UnicodeString KeyOf(const UnicodeString& Line)
{
    size_t eq = Line.find(L'=');
    return eq == UnicodeString::npos ? UnicodeString() : Line.substr(0, eq);
}

} // namespace

void FreeIniSections(TStringList* Sections)
{
    if (!Sections)
        return;
    if (!Sections->OwnsObjects())
        for (int i = 0; i < Sections->Count(); ++i) {
            delete Sections->Objects(i);
            Sections->SetObjects(i, nullptr);
        }
    Sections->Clear();
}

void GetIniSections(TStrings* Source, TStringList* Sections)
{
    if (!Sections)
        return;
    FreeIniSections(Sections);
    if (!Source)
        return;
    TStringList* current = nullptr;
    for (int i = 0; i < Source->Count(); ++i) {
        UnicodeString line = Source->Strings(i);
        if (line.empty() || line[0] == L';')
            continue;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            // Owned by the section list only once it holds it (a sorted list
            // may refuse a duplicate name).
            auto lines = std::make_unique<TStringList>();
            int at = Sections->AddObject(line.substr(1, line.size() - 2), lines.get());
            current = at >= 0 && Sections->Objects(at) == lines.get() ? lines.release() : nullptr;
        } else if (current) {
            current->Add(line);
        }
    }
}

void GetIniSection(const UnicodeString& Section, TStringList* Sections, TStrings* Keys)
{
    if (!Keys)
        return;
    Keys->Clear();
    if (TStrings* lines = SectionLines(Sections, Section))
        for (int i = 0; i < lines->Count(); ++i)
            Keys->Add(KeyOf(lines->Strings(i)));
}

UnicodeString ReadIniString(TStrings* Source, TStringList* Sections, const UnicodeString& Section,
                            const UnicodeString& Key, const UnicodeString& Default)
{
    TStrings* lines = SectionLines(Sections, Section);
    if (!lines)
        return Default;
    for (int i = 0; i < lines->Count(); ++i) {
        UnicodeString line = lines->Strings(i);
        size_t eq = line.find(L'=');
        if (eq != UnicodeString::npos && AnsiSameText(line.substr(0, eq), Key))
            return line.substr(eq + 1);
    }
    return Default;
}

int ReadIniInteger(TStrings* Source, TStringList* Sections, const UnicodeString& Section, const UnicodeString& Key,
                   int Default)
{
    // The integer parser takes "0x" as it takes "$".
    return StrToIntDef(ReadIniString(Source, Sections, Section, Key, UnicodeString()), Default);
}
