// The manager's properties and defaults, its skin directory and skin lists,
// internal skins saved as files, and the version switch.
#include <gtest/gtest.h>

#include <memory>

#include "FakeFormsServices.h"
#include "ManagerFixture.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"

using namespace managertest;

namespace {

const bool Registered = [] {
    UseFakeFormsServices();
    return true;
}();

// A scratch folder of skins, removed with what it holds.
struct TSkinFolder {
    UnicodeString Dir = GetCurrentDir() + L"\\skins-" + IntToStr(static_cast<int>(::GetTickCount()));
    TSkinFolder() { CreateDir(Dir); }
    ~TSkinFolder() { ClearDir(Dir, true); }
    void File(const UnicodeString& Name)
    {
        TStringStream s("x");
        s.SaveToFile(Dir + L"\\" + Name);
    }
    void Folder(const UnicodeString& Name, bool WithDescription)
    {
        CreateDir(Dir + L"\\" + Name);
        if (WithDescription)
            File(Name + L"\\Options.dat");
    }
};

std::vector<std::wstring> Lines(TStrings* S)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < S->Count(); ++i)
        v.push_back(S->Strings(i));
    return v;
}

} // namespace

TEST(ManagerProperties, ANewManagerHasItsDeclaredDefaults)
{
    ASSERT_TRUE(Registered);
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    EXPECT_TRUE(sm->IsDefault());
    EXPECT_TRUE(sm->Active());
    EXPECT_FALSE(sm->ExtendedBorders());
    EXPECT_TRUE(sm->SkinnedPopups());
    EXPECT_EQ(sm->Saturation(), 0);
    EXPECT_EQ(sm->HueOffset(), 0);
    EXPECT_EQ(sm->SkinDirectory(), L"c:\\Skins");
    EXPECT_EQ(sm->SkinningRules(), (TkvSkinningRules{srStdForms, srStdDialogs, srThirdParty}));
    EXPECT_EQ(sm->Version(), L"6.53");
    EXPECT_EQ(sm->GetSkinInfo(), L"N/A");
    EXPECT_FALSE(sm->SkinData->Active);
    EXPECT_TRUE(sm->AnimEffects()->SkinChanging()->Active());
    EXPECT_EQ(sm->AnimEffects()->SkinChanging()->Time(), 100);
    EXPECT_EQ(sm->AnimEffects()->Manager, sm.get());
    EXPECT_EQ(sm->ThirdParty()->GetString(tpButton), L"TButton");

    // The menu skinner and its settings come from the form skinning.
    auto* menus = dynamic_cast<TFakeMenus*>(sm->SkinableMenus());
    ASSERT_NE(menus, nullptr);
    EXPECT_EQ(menus->Owner, sm.get());
    EXPECT_NE(dynamic_cast<TFakeMenuSupport*>(sm->MenuSupport()), nullptr);

    // A second manager is not the default and leaves the first in place.
    std::unique_ptr<TsSkinManager> second(New<TsSkinManager>(nullptr));
    EXPECT_FALSE(second->IsDefault());
    EXPECT_EQ(DefaultManager, sm.get());
    second->SetIsDefault(false);
    EXPECT_EQ(DefaultManager, sm.get());
}

TEST(ManagerProperties, SkinDirectoryIsResolvedAgainstTheProgramFolder)
{
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    const UnicodeString app = GetAppPath();  // with its "\"
    UnicodeString up = app.substr(0, app.size() - 1);
    up = up.substr(0, up.find_last_of(L"\\/") + 1);
    const struct {
        const wchar_t* Value;
        UnicodeString Expected;
    } cases[] = {
        {L"..\\Skins", up + L"Skins\\"},
        {L".\\Skins", app + L"Skins\\"},
        {L"./Skins", app + L"Skins\\"},
        {L"Skins", app + L"Skins\\"},
        {L"C:\\Skins", L"C:\\Skins\\"},
        {L"\\\\server\\share\\Skins", L"\\\\server\\share\\Skins\\"},
    };
    for (const auto& c : cases) {
        sm->SetSkinDirectory(c.Value);
        EXPECT_EQ(sm->GetFullSkinDirectory(), c.Expected) << c.Value;
        EXPECT_EQ(sm->SkinData->SkinPath, c.Expected) << c.Value;
    }
}

TEST(ManagerProperties, SkinListsTakeInternalSkinsFoldersWithADescriptionAndPackedFiles)
{
    TSkinFolder skins;
    skins.Folder(L"Folder skin", true);
    skins.Folder(L"No description", false);
    skins.Folder(L".hidden", true);
    skins.File(L"Packed.v2.plz");
    skins.File(L"Upper.PLZ");
    skins.File(L"notes.txt");
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    AddBuiltin(sm.get(), L"Zeta internal");
    sm->SetSkinDirectory(skins.Dir);

    TStringList names;
    EXPECT_EQ(sm->GetSkinNames(&names), L"Zeta internal");
    EXPECT_EQ(Lines(&names), (std::vector<std::wstring>{L"Folder skin", L"Packed", L"Zeta internal"}));
    sm->GetSkinNames(&names, stPacked);
    EXPECT_EQ(Lines(&names), (std::vector<std::wstring>{L"Packed", L"Zeta internal"}));
    sm->GetSkinNames(&names, stUnpacked);
    EXPECT_EQ(Lines(&names), (std::vector<std::wstring>{L"Folder skin", L"Zeta internal"}));
    sm->GetExternalSkinNames(&names);
    EXPECT_EQ(Lines(&names), (std::vector<std::wstring>{L"Folder skin", L"Packed"}));
    const UnicodeString random = sm->GetRandomSkin();
    EXPECT_TRUE(random == L"Folder skin" || random == L"Packed" || random == L"Zeta internal") << random;

    sm->SetSkinDirectory(skins.Dir + L"\\missing");
    EXPECT_EQ(sm->GetExternalSkinNames(&names), L"");
    EXPECT_EQ(names.Count(), 0);
}

TEST(ManagerProperties, SkinInfoAndSectionsOfTheActiveSkin)
{
    std::unique_ptr<TsSkinManager> sm(NewManager());
    {
        TFormatSettingsScope comma(L',', L'.');
        EXPECT_EQ(sm->GetSkinInfo(), L"6.4");
    }
    TStringList sections;
    sm->GetSkinSections(&sections);
    ASSERT_EQ(sections.Count(), static_cast<int>(sm->gd.size()));
    EXPECT_EQ(sections.Strings(0), sm->gd[0].ClassName);
    EXPECT_GE(sections.IndexOf(L"BUTTON"), 0);
}

TEST(ManagerProperties, InternalSkinsAreSavedAsPackedFiles)
{
    TSkinFolder out;
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    AddBuiltin(sm.get(), L"Kept");
    TDialogSeamScope seam;
    sm->ExtractInternalSkin(L"Kept", out.Dir);
    EXPECT_EQ(GetFileSize(out.Dir + L"\\Kept extracted.plz"), GetFileSize(BuiltinPackedFile()));
    sm->ExtractInternalSkin(L"kept", out.Dir);
    sm->ExtractInternalSkin(L"Kept", out.Dir + L"\\missing");
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Requests[0].Text, L"Skin does not exists.");
    EXPECT_EQ(seam.Requests[1].Text, L"Directory does not exists.");
}

TEST(ManagerProperties, ExtractionStaysInTheFolderAndRefusesABadIndex)
{
    TSkinFolder out;
    CreateDir(out.Dir + L"\\inner");
    const UnicodeString outside = GetCurrentDir() + L"\\Escaped extracted.plz";
    DeleteFile(outside);
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    AddBuiltin(sm.get(), L"..\\..\\Escaped");
    AddBuiltin(sm.get(), L"C:/Rooted");
    TDialogSeamScope seam;
    sm->ExtractByIndex(0, out.Dir + L"\\inner");
    sm->ExtractByIndex(1, out.Dir + L"\\inner");
    EXPECT_TRUE(FileExists(out.Dir + L"\\inner\\.._.._Escaped extracted.plz"));
    EXPECT_TRUE(FileExists(out.Dir + L"\\inner\\C__Rooted extracted.plz"));
    EXPECT_FALSE(FileExists(outside));
    for (int bad : {-1, 2})
        sm->ExtractByIndex(bad, out.Dir);
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Last().Text, L"Skin does not exists.");
}

TEST(ManagerProperties, AFailedColourReloadKeepsTheColoursOfTheSkinInPlace)
{
    std::unique_ptr<TsSkinManager> sm(NewManager());
    sm->SetHueOffset(10);
    // The skin's data goes bad under the manager: the next reload fails.
    TsStoredSkin* stored = static_cast<TsStoredSkin*>(sm->InternalSkins()->GetItem(0));
    TStringStream garbage("PLzf garbage");
    stored->PackedData->LoadFromStream(&garbage);
    EXPECT_ANY_THROW(sm->SetHueOffset(40));
    EXPECT_EQ(sm->HueOffset(), 10);
    EXPECT_ANY_THROW(sm->SetSaturation(30));
    EXPECT_EQ(sm->Saturation(), 0);
    EXPECT_TRUE(sm->SkinData->Active);
}

TEST(ManagerProperties, TheVersionSwitchIsAnyCaseButExact)
{
    TDialogSeamScope seam;
    CheckVersionSwitch({L"book.exe", L"/KVVER"});
    CheckVersionSwitch({L"-kvver", L"/kvverx"});
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Requests[0].Text, L"Korvex v6.53");
}

TEST(ManagerProperties, SaveToIniWritesSectionsThatReadBackTheSame)
{
    std::unique_ptr<TsSkinManager> sm(New<TsSkinManager>(nullptr));
    auto* skin = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    TMemIniFile source;
    TStringList lines;
    lines.SetText(L"[BUTTON]\r\nCOLOR=255\r\nFONTCOLOR=1\r\nTCLEFT=2\r\nSHOWFOCUS=TRUE\r\nGRADIENT=0;50;1\r\n"
                  L"[MYBUTTON]\r\nPARENTCLASS=BUTTON\r\nHOTCOLOR=77\r\n");
    source.SetStrings(&lines);
    skin->LoadFromIni(skin->GeneralData(), &source);

    TMemIniFile saved;
    sm->SaveToIni(0, &saved);
    EXPECT_EQ(saved.ReadString(L"MYBUTTON", L"PARENTCLASS", L""), L"BUTTON");
    EXPECT_EQ(saved.ReadString(L"MYBUTTON", L"COLOR", L""), L"255");  // inherited values are written out
    sm->SaveToIni(5, &saved);                                         // no such skin: nothing

    auto* again = static_cast<TsStoredSkin*>(sm->InternalSkins()->Add());
    again->LoadFromIni(again->GeneralData(), &saved);
    ASSERT_EQ(again->GeneralData()->Count(), skin->GeneralData()->Count());
    for (int i = 0; i < skin->GeneralData()->Count(); ++i) {
        const TsSkinGeneral& a = *skin->GeneralData()->GetItem(i);
        const TsSkinGeneral& b = *again->GeneralData()->GetItem(i);
        EXPECT_EQ(b.FSectionName, a.FSectionName);
        EXPECT_EQ(b.FParentClass, a.FParentClass);
        EXPECT_EQ((std::vector<int>{int(b.FColor), int(b.FHotColor), b.FFadingIterations, b.FShowFocus}),
                  (std::vector<int>{int(a.FColor), int(a.FHotColor), a.FFadingIterations, a.FShowFocus}))
            << a.FSectionName;
        EXPECT_EQ(b.FFontColor, a.FFontColor) << a.FSectionName;
        EXPECT_EQ(b.FGradientData, a.FGradientData) << a.FSectionName;
    }
}
