#include <gtest/gtest.h>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/TempDir.h"

namespace {

std::vector<std::wstring> Lines(TStrings& s)
{
    std::vector<std::wstring> v;
    for (int i = 0; i < s.Count(); ++i)
        v.push_back(s[i]);
    return v;
}

void Fill(TMemIniFile& ini, const wchar_t* Text)
{
    TStringList l;
    l.SetText(Text);
    ini.SetStrings(&l);
}

} // namespace

TEST(MemIniFile, ParsesLikeTheClassLibrary)
{
    TMemIniFile ini;
    Fill(ini, L"orphan=1\n"
              L"; comment\n"
              L"[Second]\n"
              L"  Key One  =  spaced value  \n"
              L"dup=first\n"
              L"dup=second\n"
              L"no equals sign\n"
              L"\n"
              L"[ First ]\n"
              L"a=1\n"
              L"[second]\n"
              L"late=yes\n");
    TStringList s;
    ini.ReadSections(&s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"Second", L"First"})); // file order
    EXPECT_EQ(ini.ReadString(L"SECOND", L"key one", L"-"), L"spaced value");
    EXPECT_EQ(ini.ReadString(L"Second", L"dup", L"-"), L"first");
    EXPECT_EQ(ini.ReadString(L"Second", L"late", L"-"), L"yes"); // repeated section kept
    EXPECT_EQ(ini.ReadString(L"Second", L"orphan", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"Nowhere", L"a", L"def"), L"def");
    ini.ReadSection(L"Second", &s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"Key One", L"dup", L"dup", L"", L"late"}));
    ini.ReadSectionValues(L"first", &s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"a=1"}));
    EXPECT_TRUE(ini.SectionExists(L"first"));
    EXPECT_TRUE(ini.ValueExists(L"first", L"A"));
    EXPECT_FALSE(ini.ValueExists(L"first", L"b"));
}

// Text read whole splits at CR, LF and CR LF as a string list does, and
// gives the content SetStrings gives for the same lines.
TEST(MemIniFile, SetTextReadsAsSetStrings)
{
    const wchar_t* const text = L"orphan=1\r[A]\r\n k = v \n\n\r\nx\r\r[B]\nq=1\r\n[a]\nlast=z\n[ C\t]\nc=1\n[]\ne=2";
    TMemIniFile fromText, fromList;
    fromText.SetText(text);
    Fill(fromList, text);
    TStringList a, b;
    fromText.GetStrings(&a);
    fromList.GetStrings(&b);
    EXPECT_EQ(Lines(a), Lines(b));
    EXPECT_EQ(Lines(a), (std::vector<std::wstring>{L"[A]", L"k=v", L"x", L"last=z", L"", L"[B]", L"q=1", L"", L"[C]",
                                                   L"c=1", L"", L"[]", L"e=2", L""}));
    fromText.SetText(L"");
    fromText.GetStrings(&a);
    EXPECT_EQ(a.Count(), 0);
}

// Keys are matched whole, up to the first "=", however the line was written.
TEST(MemIniFile, KeysMatchWholeNames)
{
    TMemIniFile ini;
    Fill(ini, L"[S]\nAB=long\nA=short\nabc =spaced\nx=a=b\n=nameless\nk\t=\ttab\n");
    struct Case {
        const wchar_t* Key;
        const wchar_t* Expected;
    };
    for (const Case& c : {Case{L"a", L"short"}, Case{L"ab", L"long"}, Case{L"ABC", L"spaced"}, Case{L"x", L"a=b"},
                          Case{L"x=a", L"-"}, Case{L"", L"nameless"}, Case{L"k", L"tab"}, Case{L"abcd", L"-"},
                          Case{L"b", L"-"}})
        EXPECT_EQ(ini.ReadString(L"s", c.Key, L"-"), c.Expected) << c.Key;
    ini.SetCaseSensitive(true);
    EXPECT_EQ(ini.ReadString(L"S", L"ab", L"-"), L"-");
    EXPECT_EQ(ini.ReadString(L"S", L"AB", L"-"), L"long");
}

TEST(MemIniFile, ReadIntegerAndBool)
{
    TMemIniFile ini;
    Fill(ini, L"[S]\ndec=12\nneg=-5\ndollar=$1F\nhex=0x1f\nupper=0X10\nbad=12x\nempty=\nzero=0\nbare=0x\nneghex=-0x10\n"
              L"wide=0xFFFFFFFF\nlong=0x100000000\n");
    struct Case {
        const wchar_t* Key;
        int Expected;
    };
    for (const Case& c : {Case{L"dec", 12}, Case{L"neg", -5}, Case{L"dollar", 31}, Case{L"hex", 31}, Case{L"upper", 16},
                          Case{L"bad", 77}, Case{L"empty", 77}, Case{L"missing", 77}, Case{L"bare", 77},
                          Case{L"neghex", -16}, Case{L"wide", -1}, Case{L"long", 77}})
        EXPECT_EQ(ini.ReadInteger(L"S", c.Key, 77), c.Expected) << c.Key;
    EXPECT_TRUE(ini.ReadBool(L"S", L"dec", false));
    EXPECT_FALSE(ini.ReadBool(L"S", L"zero", true));
    EXPECT_TRUE(ini.ReadBool(L"S", L"bad", true));
}

TEST(MemIniFile, EditsAndWritesBack)
{
    TTempDir dir;
    std::wstring name = dir.File(L"a.ini");
    {
        TMemIniFile ini(name); // no file yet: empty
        ini.WriteString(L"B", L"x", L"1");
        ini.WriteString(L"A", L"k", L"\uD55C\uAE00");
        ini.WriteInteger(L"B", L"y", -3);
        ini.WriteString(L"B", L"X", L"2"); // replaces the line in place, ignoring case
        ini.WriteBool(L"B", L"z", true);
        ini.DeleteKey(L"B", L"y");
        ini.WriteString(L"C", L"gone", L"1");
        ini.EraseSection(L"c");
        EXPECT_FALSE(FileExists(name));
        ini.UpdateFile();
    }
    TMemIniFile again(name);
    TStringList text;
    again.GetStrings(&text);
    EXPECT_EQ(Lines(text), (std::vector<std::wstring>{L"[B]", L"X=2", L"z=1", L"", L"[A]", L"k=\uD55C\uAE00", L""}));

    // Without a file name nothing reaches the disk.
    TMemIniFile memory;
    memory.WriteString(L"S", L"k", L"v");
    memory.UpdateFile();
    EXPECT_EQ(memory.ReadString(L"S", L"k", L""), L"v");
}

TEST(IniFile, RoundTripOnTheFile)
{
    TTempDir dir;
    std::wstring name = dir.File(L"viewer.ini");
    {
        TIniFile missing(name);
        EXPECT_EQ(missing.ReadString(L"MainForm", L"BorderStyle", L""), L"");
        EXPECT_EQ(missing.ReadInteger(L"ChildForm", L"Width", 1024), 1024);
        EXPECT_FALSE(missing.SectionExists(L"MainForm"));
    }
    {
        TIniFile ini(name);
        ini.WriteString(L"MainForm", L"BorderStyle", L"bsNone");
        ini.WriteString(L"ChildForm", L"Scale", L"\uD55C\uAE00 ShowAll");
        ini.WriteInteger(L"ChildForm", L"Width", 800);
        ini.WriteBool(L"ChildForm", L"Flag", true);
        ini.WriteString(L"Other", L"x", L"1");
    }
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString(L"mainform", L"borderstyle", L""), L"bsNone");
    EXPECT_EQ(ini.ReadString(L"ChildForm", L"Scale", L""), L"\uD55C\uAE00 ShowAll");
    EXPECT_EQ(ini.ReadInteger(L"ChildForm", L"Width", 0), 800);
    EXPECT_TRUE(ini.ReadBool(L"ChildForm", L"Flag", false));
    EXPECT_EQ(ini.ReadInteger(L"ChildForm", L"Scale", 5), 5);
    TStringList s;
    ini.ReadSections(&s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"MainForm", L"ChildForm", L"Other"}));
    ini.ReadSection(L"ChildForm", &s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"Scale", L"Width", L"Flag"}));
    ini.ReadSectionValues(L"MainForm", &s);
    EXPECT_EQ(Lines(s), (std::vector<std::wstring>{L"BorderStyle=bsNone"}));
    ini.DeleteKey(L"ChildForm", L"Width");
    ini.EraseSection(L"Other");
    EXPECT_FALSE(ini.ValueExists(L"ChildForm", L"Width"));
    EXPECT_TRUE(ini.ValueExists(L"ChildForm", L"Scale"));
    EXPECT_FALSE(ini.SectionExists(L"Other"));

    TIniFile nowhere(dir.File(L"no such folder\\x.ini"));
    EXPECT_THROW(nowhere.WriteString(L"S", L"k", L"v"), EIniFileException);

    // A long value comes back whole.
    std::wstring longValue(5000, L'v');
    ini.WriteString(L"Long", L"v", longValue);
    EXPECT_EQ(ini.ReadString(L"Long", L"v", L""), longValue);
}
