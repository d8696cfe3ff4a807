#include <gtest/gtest.h>

#include <windows.h>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Registry.h"
#include "classlib/rtl/Streams.h"
#include "skin/core/sStoreUtils.h"

namespace {

UnicodeString TempIniName(const wchar_t* tag)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return UnicodeString(dir) + L"kvstore_" + tag + L"_" + std::to_wstring(GetCurrentProcessId()) + L".ini";
}

// An INI file in the temporary folder, deleted afterwards.
struct TempIni {
    UnicodeString Name;
    explicit TempIni(const wchar_t* tag) : Name(TempIniName(tag)) { DeleteFileW(Name.c_str()); }
    ~TempIni() { DeleteFileW(Name.c_str()); }
};

std::vector<UnicodeString> Items(TStrings& list)
{
    std::vector<UnicodeString> v;
    for (int i = 0; i < list.Count(); ++i)
        v.push_back(list[i]);
    return v;
}

TEST(StoreUtils, StringListsRoundTripInMemory)
{
    TMemIniFile ini;
    TStringList list;
    for (const wchar_t* s : {L"a", L"b", L"c"})
        list.Add(s);
    WriteIniStrings(L"Main", L"Skins", &list, &ini);
    EXPECT_EQ(ini.ReadString(L"Main", L"SkinsCount", L""), L"3");
    EXPECT_EQ(ini.ReadString(L"Main", L"SkinsItem0", L""), L"a");
    EXPECT_EQ(ini.ReadString(L"Main", L"SkinsItem2", L""), L"c");

    TStringList target;
    target.Add(L"x");
    ReadIniStrings(&target, L"Main", L"Skins", &ini);
    EXPECT_EQ(Items(target), (std::vector<UnicodeString>{L"a", L"b", L"c"}));

    // A count of 0 (or none stored) leaves the list as it was.
    ini.WriteString(L"Main", L"EmptyCount", L"0");
    ReadIniStrings(&target, L"Main", L"Empty", &ini);
    ReadIniStrings(&target, L"Main", L"Missing", &ini);
    EXPECT_EQ(target.Count(), 3);
    // A malformed count only clears it.
    ini.WriteString(L"Main", L"BadCount", L"3x");
    ReadIniStrings(&target, L"Main", L"Bad", &ini);
    EXPECT_EQ(target.Count(), 0);
}

TEST(StoreUtils, ADamagedHugeCountReadsNoMoreItemsThanTheSectionHolds)
{
    TMemIniFile ini;
    ini.WriteString(L"Main", L"SkinsCount", L"2000000000");
    ini.WriteString(L"Main", L"SkinsItem0", L"a");
    ini.WriteString(L"Main", L"SkinsItem1", L"b");
    TStringList target;
    ReadIniStrings(&target, L"Main", L"Skins", &ini);
    ASSERT_LE(target.Count(), 3);
    EXPECT_EQ(target.Strings(0), L"a");
    EXPECT_EQ(target.Strings(1), L"b");
}

TEST(StoreUtils, IntegersDistinguishMissingFromMalformed)
{
    TMemIniFile ini;
    ini.WriteString(L"S", L"Bad", L"12x");
    ini.WriteString(L"S", L"Empty", L"");
    ini.WriteString(L"S", L"Good", L"42");
    ini.WriteString(L"S", L"Hex", L"$10");
    EXPECT_EQ(ReadIniInteger(L"S", L"Bad", 7, &ini), -1);
    EXPECT_EQ(ReadIniInteger(L"S", L"Missing", 7, &ini), 7);
    EXPECT_EQ(ReadIniInteger(L"S", L"Empty", 7, &ini), 7);
    EXPECT_EQ(ReadIniInteger(L"S", L"Good", 7, &ini), 42);
    EXPECT_EQ(ReadIniInteger(L"S", L"Hex", 7, &ini), 16);
    EXPECT_EQ(ReadIniInteger(L"S", L"Good", 7, static_cast<TMemIniFile*>(nullptr)), -1);
    EXPECT_EQ(ReadIniString(L"S", L"Good", static_cast<TMemIniFile*>(nullptr)), L"");
    EXPECT_EQ(ReadIniString(L"S", L"Missing", &ini), L"");
}

TEST(StoreUtils, FontsAddStylesAndNeverRemoveThem)
{
    TMemIniFile ini;
    TFont written;
    written.SetName(L"Arial");
    written.SetSize(11);
    written.SetColor(0x123456);
    written.SetStyle({fsBold, fsUnderline});
    WriteIniFont(L"Fonts", L"Title", &written, &ini);
    EXPECT_EQ(ini.ReadString(L"Fonts", L"Title_Bold", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"Fonts", L"Title_Italic", L""), L"0");
    EXPECT_EQ(ini.ReadString(L"Fonts", L"Title_Color", L""), L"1193046");

    TFont read;
    read.SetStyle({fsItalic});
    ReadIniFont(L"Fonts", L"Title", &read, &ini);
    EXPECT_EQ(read.Name(), L"Arial");
    EXPECT_EQ(read.Size(), 11);
    EXPECT_EQ(read.Color(), 0x123456);
    EXPECT_EQ(read.Style(), TFontStyles({fsBold, fsItalic, fsUnderline}));

    // Nothing stored: colour 0, size 8.
    TFont defaults;
    ReadIniFont(L"Fonts", L"Other", &defaults, &ini);
    EXPECT_EQ(defaults.Color(), 0);
    EXPECT_EQ(defaults.Size(), 8);
}

TEST(StoreUtils, FileFormsReadAndWriteTheFile)
{
    TempIni file(L"file");
    WriteIniStr(L"Main", L"Skin", L"하늘", file.Name);
    EXPECT_EQ(ReadIniString(L"Main", L"Skin", file.Name), L"하늘");
    EXPECT_EQ(ReadIniInteger(L"Main", L"Skin", 5, file.Name), -1);
    EXPECT_EQ(ReadIniInteger(L"Main", L"None", 5, file.Name), 5);

    TStringList list;
    list.Add(L"one");
    list.Add(L"two");
    WriteIniStrings(L"Lists", L"L", file.Name, &list);
    TStringList back;
    ReadIniStrings(&back, L"Lists", L"L", file.Name);
    EXPECT_EQ(Items(back), (std::vector<UnicodeString>{L"one", L"two"}));
    EXPECT_EQ(ReadIniString(L"Main", L"Skin", file.Name), L"하늘");   // the earlier value stays
}

// Writing a list into a file changes that list's keys only: a UTF-16 file
// keeps its other sections, its comments and its encoding.
TEST(StoreUtils, WritingAListLeavesTheRestOfTheFile)
{
    TempIni file(L"unicode");
    const std::wstring text = L"; viewer settings\r\n[Main]\r\nSkin=하늘\r\n\r\n[Other]\r\nKey=value\r\n";
    {
        TFileStream out(file.Name, fmCreate);
        const uint8_t bom[] = {0xFF, 0xFE};
        out.WriteBuffer(bom, 2);
        out.WriteBuffer(text.data(), int32_t(text.size() * sizeof(wchar_t)));
    }
    TStringList list;
    list.Add(L"one");
    list.Add(L"둘");
    WriteIniStrings(L"Lists", L"L", file.Name, &list);

    TStringList back;
    ReadIniStrings(&back, L"Lists", L"L", file.Name);
    EXPECT_EQ(Items(back), (std::vector<UnicodeString>{L"one", L"둘"}));
    EXPECT_EQ(ReadIniString(L"Main", L"Skin", file.Name), L"하늘");
    EXPECT_EQ(ReadIniString(L"Other", L"Key", file.Name), L"value");

    TMemoryStream bytes;
    bytes.LoadFromFile(file.Name);
    ASSERT_GE(bytes.Size(), 2);
    const uint8_t* p = static_cast<const uint8_t*>(bytes.Memory());
    EXPECT_EQ(p[0], 0xFF);
    EXPECT_EQ(p[1], 0xFE);
    const std::wstring written(reinterpret_cast<const wchar_t*>(p + 2), size_t(bytes.Size() - 2) / 2);
    EXPECT_NE(written.find(L"; viewer settings"), std::wstring::npos);
    EXPECT_NE(written.find(L"LItem1=둘"), std::wstring::npos);
}

class FormPlacementTest : public ::testing::Test {
protected:
    TempIni File{L"placement"};
    TForm* Form = nullptr;
    void SetUp() override
    {
        Form = TForm::CreateNew(nullptr);
        Form->SetName(L"PlacedForm");
        Form->SetBounds(40, 50, 300, 200);
    }
    void TearDown() override { delete Form; }
    void Store(const wchar_t* key, const wchar_t* value)
    {
        TIniFile ini(File.Name);
        ini.WriteString(L"PlacedForm", key, value);
    }
};

TEST_F(FormPlacementTest, NormalFormRoundTrip)
{
    SaveFormPlacement(Form, File.Name);
    EXPECT_EQ(ReadIniString(L"PlacedForm", L"State", File.Name), L"0");
    EXPECT_EQ(ReadIniString(L"PlacedForm", L"Width", File.Name), L"300");
    Form->SetBounds(0, 0, 100, 100);
    RestoreFormPlacement(Form, File.Name);
    EXPECT_EQ(Form->BoundsRect(), Bounds(40, 50, 300, 200));
}

TEST_F(FormPlacementTest, MaximisedFormStoresOnlyItsState)
{
    Form->SetWindowState(wsMaximized);
    SaveFormPlacement(Form, File.Name);
    EXPECT_EQ(ReadIniString(L"PlacedForm", L"State", File.Name), L"2");
    EXPECT_EQ(ReadIniString(L"PlacedForm", L"Left", File.Name), L"");

    Form->SetWindowState(wsNormal);
    Form->SetBounds(10, 20, 250, 150);
    Store(L"Left", L"999");  // ignored for a maximised state
    RestoreFormPlacement(Form, File.Name);
    EXPECT_EQ(Form->WindowState(), wsMaximized);
    Form->SetWindowState(wsNormal);
    EXPECT_EQ(Form->BoundsRect(), Bounds(10, 20, 250, 150));
}

TEST_F(FormPlacementTest, UnknownStatesAndMissingValuesChangeNothing)
{
    for (const wchar_t* state : {L"3", L"-2", L"7", L"x"}) {
        Store(L"State", state);
        Store(L"Left", L"5");
        RestoreFormPlacement(Form, File.Name);
        EXPECT_EQ(Form->WindowState(), wsNormal) << state;
        EXPECT_EQ(Form->BoundsRect(), Bounds(40, 50, 300, 200)) << state;
    }
    // Normal state with only some bounds stored: the others stay.
    Store(L"State", L"0");
    Store(L"Left", L"5");
    RestoreFormPlacement(Form, File.Name);
    EXPECT_EQ(Form->BoundsRect(), Bounds(5, 50, 300, 200));
    TempIni none(L"none");
    RestoreFormPlacement(Form, none.Name);
    EXPECT_EQ(Form->BoundsRect(), Bounds(5, 50, 300, 200));
}

// Registry values under a test key of the current user, removed afterwards.
class RegistryStoreTest : public ::testing::Test {
protected:
    const UnicodeString Key = L"Software\\KvTestSkinCore" + std::to_wstring(GetCurrentProcessId());
    void TearDown() override
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.DeleteKey(Key);
        EXPECT_FALSE(reg.KeyExists(Key));
    }
};

TEST_F(RegistryStoreTest, StringsAndIntegersRoundTrip)
{
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key, L"Skin"), L"");
    WriteRegString(HKEY_CURRENT_USER, Key + L"\\Sub", L"Skin", L"푸른 하늘");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key + L"\\Sub", L"Skin"), L"푸른 하늘");
    DeleteRegParam(HKEY_CURRENT_USER, Key + L"\\Sub", L"Skin");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key + L"\\Sub", L"Skin"), L"");
    DeleteRegParam(HKEY_CURRENT_USER, Key + L"\\Missing", L"Skin");   // nothing to delete

    WriteRegInteger(Key, L"Hue", -15);
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly(Key));
    EXPECT_EQ(reg.ReadInteger(L"Hue"), -15);
    reg.CloseKey();
    TRegistry del;
    del.SetRootKey(HKEY_CURRENT_USER);
    del.DeleteKey(Key + L"\\Sub");
}

} // namespace
