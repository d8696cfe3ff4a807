#include <gtest/gtest.h>

#include "classlib/rtl/Lists.h"
#include "skin/core/kvntUtils.h"

namespace {

// Section lists are freed with their sections after each test.
class UtilsIniTest : public ::testing::Test {
protected:
    TStringList Source;
    TStringList Sections;

    void Load(std::initializer_list<const wchar_t*> lines)
    {
        Source.Clear();
        for (const wchar_t* l : lines)
            Source.Add(l);
        GetIniSections(&Source, &Sections);
    }
    UnicodeString Str(const wchar_t* section, const wchar_t* key, const wchar_t* def = L"?")
    {
        return ReadIniString(&Source, &Sections, section, key, def);
    }
    void TearDown() override { FreeIniSections(&Sections); }
};

TEST_F(UtilsIniTest, SectionsCommentsAndStrayLines)
{
    Load({L"STRAY=1", L"[GLOBALINFO]", L"VERSION=6.4", L";comment", L"", L"[Button]", L"COLOR=255",
          L" [NotASection]", L"[]", L"KEY=v", L"[", L"x"});
    ASSERT_EQ(Sections.Count(), 3);
    EXPECT_EQ(Sections[0], L"GLOBALINFO");
    EXPECT_EQ(Sections[1], L"Button");
    EXPECT_EQ(Sections[2], L"");
    EXPECT_EQ(static_cast<TStrings*>(Sections.Objects(0))->Count(), 1);
    // " [NotASection]" is an ordinary line of Button; "[" and "x" belong to "".
    EXPECT_EQ(static_cast<TStrings*>(Sections.Objects(1))->Count(), 2);
    EXPECT_EQ(static_cast<TStrings*>(Sections.Objects(2))->Count(), 3);

    EXPECT_EQ(Str(L"button", L"color"), L"255");
    EXPECT_EQ(Str(L"GLOBALINFO", L"VERSION"), L"6.4");
    EXPECT_EQ(Str(L"GLOBALINFO", L"STRAY"), L"?");       // lines before any section are dropped
    EXPECT_EQ(Str(L"MISSING", L"COLOR"), L"?");
    EXPECT_EQ(Str(L"", L"KEY"), L"v");

    // Loading again replaces the sections.
    Load({L"[ONLY]", L"A=1"});
    ASSERT_EQ(Sections.Count(), 1);
    EXPECT_EQ(Str(L"Button", L"COLOR"), L"?");
}

TEST_F(UtilsIniTest, KeysAreNotTrimmedAndValuesKeepTheirText)
{
    Load({L"[S]", L"Color = 5", L"Name=a=b", L"NoEquals", L"=anonymous", L"Empty=", L"Name=second"});
    EXPECT_EQ(Str(L"S", L"Color"), L"?");
    EXPECT_EQ(Str(L"S", L"Color "), L" 5");
    EXPECT_EQ(Str(L"S", L"name"), L"a=b");               // first match, split at the first "="
    EXPECT_EQ(Str(L"S", L"NoEquals"), L"?");
    EXPECT_EQ(Str(L"S", L""), L"anonymous");
    EXPECT_EQ(Str(L"S", L"Empty"), L"");

    TStringList keys;
    keys.Add(L"old");
    GetIniSection(L"s", &Sections, &keys);
    ASSERT_EQ(keys.Count(), 6);
    EXPECT_EQ(keys[0], L"Color ");
    EXPECT_EQ(keys[2], L"");
    EXPECT_EQ(keys[3], L"");
    GetIniSection(L"missing", &Sections, &keys);
    EXPECT_EQ(keys.Count(), 0);
}

TEST_F(UtilsIniTest, Integers)
{
    Load({L"[N]", L"Hex=0x1F", L"HEX=0X10", L"Plain=1F", L"Empty=", L"Neg=-12", L"Short=0x", L"Dollar=$20",
          L"Big=99999999999"});
    struct Case {
        const wchar_t* Key;
        int Want;
    } cases[] = {
        {L"Hex", 31}, {L"Plain", -7}, {L"Empty", -7}, {L"Missing", -7}, {L"Neg", -12},
        {L"Short", -7}, {L"Dollar", 32}, {L"Big", -7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadIniInteger(&Source, &Sections, L"N", c.Key, -7), c.Want) << c.Key;
    // Keys ignore case: "HEX" is a second line of the key "Hex", never reached.
    EXPECT_EQ(ReadIniInteger(&Source, &Sections, L"n", L"hex", -7), 31);
}

} // namespace
