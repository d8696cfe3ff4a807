// Where skins are looked for and what is found there: the resolved skin
// directory, the lists of skin names, the active skin's version and
// sections, and internal skins saved as packed files.
#include <charconv>
#include <random>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStoreUtils.h"

namespace {

bool StartsWith(const UnicodeString& S, const wchar_t* Prefix)
{
    return S.rfind(Prefix, 0) == 0;
}

// The program folder one level up, with its trailing separator.
UnicodeString ParentOf(UnicodeString Folder)
{
    if (!Folder.empty())
        Folder.pop_back();
    while (!Folder.empty() && Folder.back() != L'\\' && Folder.back() != L'/')
        Folder.pop_back();
    return Folder;
}

// The skins of Dir of SkinType: folders holding a description, and ".plz"
// files by the part of their name before the first ".".
void AddExternalSkins(const UnicodeString& Dir, TkvSkinTypes SkinType, TStringList& Names)
{
    if (!DirectoryExists(Dir))
        return;
    TSearchRec sr;
    for (int found = kvFindFirst(Dir + L"*.*", faDirectory, sr); found == 0; found = kvFindNext(sr)) {
        if (sr.Name.empty() || sr.Name[0] == L'.')
            continue;
        if (sr.Attr & faDirectory) {
            if (SkinType != stPacked && FileExists(Dir + sr.Name + L"\\Options.dat"))
                Names.Add(sr.Name);
        } else if (SkinType != stUnpacked && ExtractFileExt(sr.Name) == L".plz") {
            Names.Add(ExtractWord(1, sr.Name, {L'.'}));
        }
    }
    kvFindClose(sr);
}

UnicodeString BoolText(bool Value)
{
    return Value ? L"TRUE" : L"FALSE";
}

// The five numbers of a font-colour value go to five keys.
void WriteFontColors(const UnicodeString& Section, const UnicodeString& Colors, const wchar_t* const Keys[5],
                     TMemIniFile* sf)
{
    for (int i = 0; i < 5; ++i) {
        const UnicodeString word = ExtractWord(i + 1, Colors, {L' '});
        if (!word.empty())
            WriteIniStr(Section, Keys[i], word, sf);
    }
}

void WriteSection(const TsSkinGeneral& g, TMemIniFile* sf)
{
    static const wchar_t* const font[5] = {s_FontColor, s_TcLeft, s_TcTop, s_TcRight, s_TcBottom};
    static const wchar_t* const hotFont[5] = {s_HotFontColor, s_HotTcLeft, s_HotTcTop, s_HotTcRight, s_HotTcBottom};
    const UnicodeString& s = g.FSectionName;
    if (!g.FParentClass.empty())
        WriteIniStr(s, s_ParentClass, g.FParentClass, sf);
    WriteIniStr(s, s_Color, IntToStr(g.FColor), sf);
    WriteIniStr(s, s_ReservedBoolean, BoolText(g.FReservedBoolean), sf);
    WriteIniStr(s, s_GiveOwnFont, BoolText(g.FGiveOwnFont), sf);
    WriteIniStr(s, s_Glow, IntToStr(g.FGlowCount), sf);
    WriteIniStr(s, s_GlowMargin, IntToStr(g.FGlowMargin), sf);
    WriteFontColors(s, g.FFontColor, font, sf);
    WriteFontColors(s, g.FHotFontColor, hotFont, sf);
    WriteIniStr(s, s_Transparency, IntToStr(g.FTransparency), sf);
    WriteIniStr(s, s_GradientPercent, IntToStr(g.FGradientPercent), sf);
    WriteIniStr(s, s_ImagePercent, IntToStr(g.FImagePercent), sf);
    WriteIniStr(s, s_GradientData, g.FGradientData, sf);
    WriteIniStr(s, s_ShowFocus, BoolText(g.FShowFocus), sf);
    WriteIniStr(s, s_FadingEnabled, BoolText(g.FFadingEnabled), sf);
    WriteIniStr(s, s_FadingIterations, IntToStr(g.FFadingIterations), sf);
    WriteIniStr(s, s_HotColor, IntToStr(g.FHotColor), sf);
    WriteIniStr(s, s_HotTransparency, IntToStr(g.FHotTransparency), sf);
    WriteIniStr(s, s_HotGradientPercent, IntToStr(g.FHotGradientPercent), sf);
    WriteIniStr(s, s_HotGradientData, g.FHotGradientData, sf);
    WriteIniStr(s, s_HotImagePercent, IntToStr(g.FHotImagePercent), sf);
    WriteIniStr(s, s_Hgcol, IntToStr(g.FHotGlowColor), sf);
    WriteIniStr(s, s_Hgsize, IntToStr(g.FHotGlowSize), sf);
    WriteIniStr(s, s_Gcol, IntToStr(g.FGlowColor), sf);
    WriteIniStr(s, s_Gsize, IntToStr(g.FGlowSize), sf);
}

} // namespace

UnicodeString TsSkinManager::GetFullSkinDirectory() const
{
    const UnicodeString app = GetAppPath();
    UnicodeString dir = FSkinDirectory;
    if (StartsWith(dir, L".."))
        dir = ParentOf(app) + dir.substr(std::min<size_t>(3, dir.size()));
    else if (StartsWith(dir, L".\\") || StartsWith(dir, L"./"))
        dir = app + dir.substr(2);
    else if (dir.find(L':') == UnicodeString::npos && dir.find(L"\\\\") == UnicodeString::npos)
        dir = app + dir;
    return NormalDir(dir);
}

UnicodeString TsSkinManager::GetSkinNames(TStrings* sl, TkvSkinTypes SkinType)
{
    sl->Clear();
    TStringList names;
    for (int i = 0; i < FBuiltInSkins->Count(); ++i)
        names.Add(FBuiltInSkins->GetItem(i)->Name());
    AddExternalSkins(GetFullSkinDirectory(), SkinType, names);
    const UnicodeString first = names.Count() > 0 ? names.Strings(0) : UnicodeString();
    names.Sort();
    sl->Assign(&names);
    return first;
}

UnicodeString TsSkinManager::GetExternalSkinNames(TStrings* sl, TkvSkinTypes SkinType)
{
    sl->Clear();
    TStringList names;
    AddExternalSkins(GetFullSkinDirectory(), SkinType, names);
    const UnicodeString first = names.Count() > 0 ? names.Strings(0) : UnicodeString();
    names.Sort();
    sl->Assign(&names);
    return first;
}

UnicodeString TsSkinManager::GetRandomSkin()
{
    TStringList names;
    GetSkinNames(&names, stAllSkins);
    if (names.Count() == 0)
        return UnicodeString();
    static std::mt19937 generator(static_cast<unsigned>(::GetTickCount()));
    std::uniform_int_distribution<int> pick(0, names.Count() - 1);
    return names.Strings(pick(generator));
}

void TsSkinManager::GetSkinSections(TStrings* sl)
{
    sl->Clear();
    if (!SkinData->Active)
        return;
    for (const TsGeneralData& section : gd)
        sl->Add(section.ClassName);
}

UnicodeString TsSkinManager::GetSkinInfo() const
{
    if (!SkinData->Active)
        return L"N/A";
    // The shortest form of the number, with "." whatever the locale says.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, SkinData->Version);
    return UnicodeString(text, result.ptr);
}

namespace {

// A stored skin's name as one file name: separators and drive colons
// become "_", so the file lands in the folder it is extracted to.
UnicodeString FileNamePart(UnicodeString Name)
{
    for (wchar_t& c : Name)
        if (c == L'\\' || c == L'/' || c == L':')
            c = L'_';
    return Name;
}

} // namespace

void TsSkinManager::ExtractInternalSkin(const UnicodeString& NameOfSkin, const UnicodeString& DestDir)
{
    bool found = false;
    for (int i = 0; i < FBuiltInSkins->Count(); ++i) {
        if (FBuiltInSkins->GetItem(i)->Name() != NameOfSkin)
            continue;
        found = true;
        if (DirectoryExists(DestDir))
            ExtractByIndex(i, DestDir);
        else
            ShowError(L"Directory does not exists.");
    }
    if (!found)
        ShowError(L"Skin does not exists.");
}

void TsSkinManager::ExtractByIndex(int Index, const UnicodeString& DestDir)
{
    if (Index < 0 || Index >= FBuiltInSkins->Count()) {
        ShowError(L"Skin does not exists.");
        return;
    }
    const UnicodeString dir = NormalDir(DestDir);
    if (!DirectoryExists(dir) && !CreateDir(dir)) {
        ShowError(L"Directory " + dir + L" creation error.");
        return;
    }
    TsStoredSkin* skin = FBuiltInSkins->GetItem(Index);
    if (skin->PackedData->Size() > 0)
        skin->PackedData->SaveToFile(dir + FileNamePart(skin->Name()) + L" extracted.plz");
}

void TsSkinManager::SaveToIni(int Index, TMemIniFile* sf)
{
    if (!sf || Index < 0 || Index >= FBuiltInSkins->Count())
        return;
    TsSkinGenerals* sections = FBuiltInSkins->GetItem(Index)->GeneralData();
    for (int i = 0; i < sections->Count(); ++i)
        WriteSection(*sections->GetItem(i), sf);
}
