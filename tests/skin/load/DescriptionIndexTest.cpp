// A skin description read through its index: inheritance up PARENTCLASS,
// names in any case, a key written twice, and the walk over every key.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/TempDir.h"
#include "skin/core/sSkinManager_Description.h"

namespace {

const wchar_t* const DescriptionText =
    L"[BUTTON]\r\nCOLOR=10\r\nHOTCOLOR=0x20\r\nGRADIENT=?\r\nTEXT=a=b\r\n"
    L"[MyButton]\r\nParentClass=button\r\nColor=11\r\ncolor=12\r\nHOTCOLOR=word\r\nnokey\r\n"
    L"[LOOP1]\r\nPARENTCLASS=LOOP2\r\n[LOOP2]\r\nPARENTCLASS=LOOP1\r\n";

struct TDescription {
    TMemIniFile Ini;
    TDescription()
    {
        TStringList lines;
        lines.SetText(DescriptionText);
        Ini.SetStrings(&lines);
    }
};

} // namespace

TEST(DescriptionIndex, ValuesComeFromTheSectionElseItsParents)
{
    TDescription d;
    TsSkinDescription desc(&d.Ini);
    const struct {
        const wchar_t* Section;
        const wchar_t* Key;
        int Expected;
    } ints[] = {
        {L"MYBUTTON", L"COLOR", 11},       // the first of a key written twice
        {L"mybutton", L"hotcolor", 0x20},  // not a number here: the parent's, in hexadecimal
        {L"BUTTON", L"MISSING", -5},
        {L"LOOP1", L"COLOR", -5},          // a cycle of parents ends in the default
        {L"NOSUCH", L"COLOR", -5},
    };
    for (const auto& c : ints)
        EXPECT_EQ(desc.ReadInteger(c.Section, c.Key, -5), c.Expected) << c.Section << L"." << c.Key;
    EXPECT_EQ(desc.ReadString(L"MyButton", L"GRADIENT", L"dflt"), L"dflt");  // "?" counts as missing
    EXPECT_EQ(desc.ReadString(L"MyButton", L"TEXT", L""), L"a=b");
    EXPECT_EQ(desc.ParentOf(L"MYBUTTON"), L"button");
    EXPECT_EQ(desc.ParentOf(L"BUTTON"), L"");
}

TEST(DescriptionIndex, EveryKeyIsVisitedInOrderWithWhatReadStringGives)
{
    TDescription d;
    std::vector<std::wstring> seen;
    for (const TsDescriptionEntry& e : ReadEntries(&d.Ini)) {
        const UnicodeString value = e.HasValue ? e.Value : UnicodeString(L"<none>");
        const UnicodeString section(e.Section), key(e.Key);
        seen.push_back(section + L"." + key + L"=" + value);
        EXPECT_EQ(value, d.Ini.ReadString(section, key, L"<none>"));
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{
                        L"BUTTON.COLOR=10", L"BUTTON.HOTCOLOR=0x20", L"BUTTON.GRADIENT=?", L"BUTTON.TEXT=a=b",
                        L"MyButton.ParentClass=button", L"MyButton.Color=11", L"MyButton.color=11",
                        L"MyButton.HOTCOLOR=word", L"MyButton.=<none>", L"LOOP1.PARENTCLASS=LOOP2",
                        L"LOOP2.PARENTCLASS=LOOP1"}));
}

// A description on disk is copied while it is read: its entries stay
// readable after the reading, and hold what the file gives.
TEST(DescriptionIndex, EntriesOfADescriptionOnDiskOutliveTheReading)
{
    TTempDir dir;
    const std::wstring name = dir.File(L"Options.dat");
    {
        TStringList lines;
        lines.SetText(L"[BUTTON]\r\nCOLOR=10\r\nLONGER_KEY_NAME=a much longer value\r\n"
                      L"[ANOTHER_SECTION]\r\nPARENTCLASS=BUTTON\r\n");
        lines.SaveToFile(name);
    }
    TIniFile ini(name);
    const TsDescriptionEntries entries = ReadEntries(&ini);
    std::vector<std::wstring> seen;
    for (const TsDescriptionEntry& e : entries)
        seen.push_back(UnicodeString(e.Section) + L"." + UnicodeString(e.Key) + L"=" + e.Value);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"BUTTON.COLOR=10", L"BUTTON.LONGER_KEY_NAME=a much longer value",
                                               L"ANOTHER_SECTION.PARENTCLASS=BUTTON"}));
}
