#include "classlib/rtl/IniFiles.h"

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"

// ---------------------------------------------------------------------------
// TCustomIniFile

int TCustomIniFile::ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default)
{
    // The integer parser takes "0x" as it takes "$".
    return StrToIntDef(ReadString(Section, Ident, UnicodeString()), Default);
}

void TCustomIniFile::WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? L"1" : L"0");
}

void TCustomIniFile::FillStrings(TStrings* Strings, const std::vector<UnicodeString>& Lines)
{
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (const UnicodeString& line : Lines)
            Strings->Add(line);
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}

bool TCustomIniFile::SectionExists(const UnicodeString& Section)
{
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const UnicodeString& Section, const UnicodeString& Ident)
{
    TStringList keys;
    ReadSection(Section, &keys);
    return keys.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const UnicodeString& FileName) : TCustomIniFile(FileName)
{
    LoadValues();
}

TMemIniFile::~TMemIniFile() = default;

namespace {

// "key=value" as SetStrings keeps it: no blanks around the key or the value.
bool IsTrimmedPair(std::wstring_view S, size_t Eq)
{
    return (Eq == 0 || S[Eq - 1] > L' ') && (Eq + 1 == S.size() || S[Eq + 1] > L' ');
}

} // namespace

bool TMemIniFile::Same(std::wstring_view a, std::wstring_view b) const
{
    return FCaseSensitive ? a == b : SameText(a, b);
}

TMemIniFile::Section* TMemIniFile::FindSection(const UnicodeString& Name)
{
    for (Section& s : FSections)
        if (Same(s.Name, Name))
            return &s;
    return nullptr;
}

int TMemIniFile::FindKey(const Section& Sec, const UnicodeString& Ident) const
{
    // Compared in place: a copy of every key would cost more than the search.
    for (size_t i = 0; i < Sec.Lines.size(); ++i) {
        const std::wstring_view line = Sec.Lines[i];
        if (line.size() <= Ident.size() || line[Ident.size()] != L'=' || line.find(L'=') != Ident.size())
            continue;
        if (Same(line.substr(0, Ident.size()), Ident))
            return static_cast<int>(i);
    }
    return -1;
}

void TMemIniFile::LoadValues()
{
    if (!FileName().empty() && FileExists(FileName())) {
        TStringList list;
        list.LoadFromFile(FileName());
        SetStrings(&list);
    } else {
        Clear();
    }
}

void TMemIniFile::Clear()
{
    FSections.clear();
    FText.clear();
}

std::wstring_view TMemIniFile::Keep(UnicodeString Line)
{
    return FText.emplace_back(std::move(Line));
}

void TMemIniFile::SetStrings(TStrings* List)
{
    Clear();
    Section* current = nullptr;
    for (int i = 0; i < List->Count(); ++i)
        AddLine(Keep(List->Strings(i)), current);
}

void TMemIniFile::SetText(const UnicodeString& Text)
{
    // Lines end at CR, LF or CR LF, as a string list splits them.  The
    // lines stay views of one copy of the text.
    Clear();
    const std::wstring_view text = Keep(Text);
    Section* current = nullptr;
    const size_t n = Text.size();
    // Room for every section at once: a line opening with "[" may start one.
    size_t headers = n > 0 && text[0] == L'[' ? 1 : 0;
    for (size_t j = 1; j < n; ++j)
        if (text[j] == L'[' && (text[j - 1] == L'\n' || text[j - 1] == L'\r'))
            ++headers;
    FSections.reserve(headers);
    size_t i = 0;
    while (i < n) {
        const size_t start = i;
        while (i < n && text[i] != L'\r' && text[i] != L'\n')
            ++i;
        AddLine(text.substr(start, i - start), current);
        if (i < n && text[i] == L'\r')
            ++i;
        if (i < n && text[i] == L'\n')
            ++i;
    }
}

void TMemIniFile::AddLine(std::wstring_view s, Section*& Current)
{
    // Blanks and control characters at the ends go, as Trim drops them:
    // the view shrinks, nothing is copied.
    while (!s.empty() && s.front() <= L' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() <= L' ')
        s.remove_suffix(1);
    if (s.empty() || s[0] == L';')
        return;
    if (s[0] == L'[' && s.back() == L']') {
        // The name between the brackets, without blanks at its ends, taken
        // in one copy.
        size_t from = 1, to = s.size() - 1;
        while (from < to && s[from] <= L' ')
            ++from;
        while (to > from && s[to - 1] <= L' ')
            --to;
        UnicodeString name(s.substr(from, to - from));
        // A repeated section continues the first one, so that none of
        // its keys becomes unreachable.
        Current = FindSection(name);
        if (!Current) {
            FSections.push_back(Section{name, {}});
            Current = &FSections.back();
            // Room for a usual section's lines at once, not by doubling.
            Current->Lines.reserve(8);
        }
        return;
    }
    if (!Current)
        return;
    size_t eq = s.find(L'=');
    if (eq != std::wstring_view::npos && !IsTrimmedPair(s, eq))
        Current->Lines.push_back(
            Keep(Trim(UnicodeString(s.substr(0, eq))) + L"=" + Trim(UnicodeString(s.substr(eq + 1)))));
    else
        Current->Lines.push_back(s);
}

void TMemIniFile::GetStrings(TStrings* List)
{
    std::vector<UnicodeString> text;
    for (const Section& s : FSections) {
        text.push_back(L"[" + s.Name + L"]");
        for (std::wstring_view line : s.Lines)
            text.emplace_back(line);
        text.emplace_back();
    }
    FillStrings(List, text);
}

void TMemIniFile::Rename(const UnicodeString& FileName, bool Reload)
{
    SetFileName(FileName);
    if (Reload)
        LoadValues();
}

UnicodeString TMemIniFile::ReadString(const UnicodeString& SectionName, const UnicodeString& Ident,
                                      const UnicodeString& Default)
{
    Section* s = FindSection(SectionName);
    if (!s)
        return Default;
    int i = FindKey(*s, Ident);
    if (i < 0)
        return Default;
    const std::wstring_view line = s->Lines[static_cast<size_t>(i)];
    return UnicodeString(line.substr(line.find(L'=') + 1));
}

void TMemIniFile::WriteString(const UnicodeString& SectionName, const UnicodeString& Ident, const UnicodeString& Value)
{
    Section* s = FindSection(SectionName);
    if (!s) {
        FSections.push_back(Section{SectionName, {}});
        s = &FSections.back();
    }
    const std::wstring_view line = Keep(Ident + L"=" + Value);
    int i = FindKey(*s, Ident);
    if (i >= 0)
        s->Lines[static_cast<size_t>(i)] = line;
    else
        s->Lines.push_back(line);
}

void TMemIniFile::ReadSection(const UnicodeString& SectionName, TStrings* Strings)
{
    std::vector<UnicodeString> keys;
    if (Section* s = FindSection(SectionName))
        for (std::wstring_view line : s->Lines) {
            size_t eq = line.find(L'=');
            keys.push_back(eq == std::wstring_view::npos ? UnicodeString() : UnicodeString(line.substr(0, eq)));
        }
    FillStrings(Strings, keys);
}

void TMemIniFile::ReadSections(TStrings* Strings)
{
    std::vector<UnicodeString> names;
    for (const Section& s : FSections)
        names.push_back(s.Name);
    FillStrings(Strings, names);
}

void TMemIniFile::ReadSectionValues(const UnicodeString& SectionName, TStrings* Strings)
{
    std::vector<UnicodeString> lines;
    if (Section* s = FindSection(SectionName))
        lines.assign(s->Lines.begin(), s->Lines.end());
    FillStrings(Strings, lines);
}

void TMemIniFile::EraseSection(const UnicodeString& SectionName)
{
    for (auto it = FSections.begin(); it != FSections.end(); ++it)
        if (Same(it->Name, SectionName)) {
            FSections.erase(it);
            return;
        }
}

void TMemIniFile::DeleteKey(const UnicodeString& SectionName, const UnicodeString& Ident)
{
    if (Section* s = FindSection(SectionName)) {
        int i = FindKey(*s, Ident);
        if (i >= 0)
            s->Lines.erase(s->Lines.begin() + i);
    }
}

void TMemIniFile::UpdateFile()
{
    if (FileName().empty())
        return;
    TStringList list;
    GetStrings(&list);
    list.SaveToFile(FileName());
}
