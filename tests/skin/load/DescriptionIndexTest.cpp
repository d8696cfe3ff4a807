// A skin description read through its index: inheritance up PARENTCLASS,
// names in any case, a key written twice, and the walk over every key.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
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
        seen.push_back(e.Section + L"." + e.Key + L"=" + value);
        EXPECT_EQ(value, d.Ini.ReadString(e.Section, e.Key, L"<none>"));
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{
                        L"BUTTON.COLOR=10", L"BUTTON.HOTCOLOR=0x20", L"BUTTON.GRADIENT=?", L"BUTTON.TEXT=a=b",
                        L"MyButton.ParentClass=button", L"MyButton.Color=11", L"MyButton.color=11",
                        L"MyButton.HOTCOLOR=word", L"MyButton.=<none>", L"LOOP1.PARENTCLASS=LOOP2",
                        L"LOOP2.PARENTCLASS=LOOP1"}));
}
