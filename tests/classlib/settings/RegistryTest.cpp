#include <gtest/gtest.h>

#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Registry.h"

namespace {

const wchar_t* const kTestKey = L"\\Software\\KvTest";

struct RegistryTest : testing::Test {
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        TRegistry reg;
        reg.DeleteKey(kTestKey);
    }
};

std::vector<std::wstring> Sorted(TStringList& s)
{
    s.Sort();
    std::vector<std::wstring> v;
    for (int i = 0; i < s.Count(); ++i)
        v.push_back(s[i]);
    return v;
}

} // namespace

TEST_F(RegistryTest, ValuesRoundTrip)
{
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kTestKey, false)); // not there yet
    EXPECT_EQ(reg.ReadString(L""), L"");      // no key open: empty text

    ASSERT_TRUE(reg.OpenKey(kTestKey, true));
    EXPECT_EQ(reg.CurrentPath(), L"Software\\KvTest");
    reg.WriteString(L"", L"default \uD55C\uAE00");
    reg.WriteString(L"Empty", L"");
    reg.WriteInteger(L"Count", -7);
    reg.WriteBool(L"On", true);
    EXPECT_EQ(reg.ReadString(L""), L"default \uD55C\uAE00");
    EXPECT_EQ(reg.ReadString(L"Empty"), L"");
    EXPECT_EQ(reg.ReadString(L"Missing"), L"");
    EXPECT_EQ(reg.ReadInteger(L"Count"), -7);
    EXPECT_TRUE(reg.ReadBool(L"On"));
    EXPECT_EQ(reg.GetDataType(L"Count"), rdInteger);
    EXPECT_TRUE(reg.ValueExists(L"Empty"));
    EXPECT_FALSE(reg.ValueExists(L"Missing"));

    // Wrong types and missing integers are errors, as in the class library.
    EXPECT_THROW(reg.ReadString(L"Count"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger(L""), ERegistryException);
    EXPECT_THROW(reg.ReadInteger(L"Missing"), ERegistryException);

    TStringList names;
    reg.GetValueNames(&names);
    EXPECT_EQ(Sorted(names), (std::vector<std::wstring>{L"", L"Count", L"Empty", L"On"}));
    EXPECT_TRUE(reg.DeleteValue(L"Count"));
    EXPECT_FALSE(reg.DeleteValue(L"Count"));
    EXPECT_FALSE(reg.ValueExists(L"Count"));
}

TEST_F(RegistryTest, KeysRelativeAbsoluteAndDeletion)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kTestKey, true));
    ASSERT_TRUE(reg.OpenKey(L"Sub\\Deeper", true)); // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), L"Software\\KvTest\\Sub\\Deeper");
    ASSERT_TRUE(reg.OpenKey(L"", false)); // the open key again
    EXPECT_EQ(reg.CurrentPath(), L"Software\\KvTest\\Sub\\Deeper");
    reg.WriteString(L"v", L"x");
    ASSERT_TRUE(reg.OpenKey(kTestKey, false)); // absolute again
    EXPECT_TRUE(reg.KeyExists(L"Sub"));
    EXPECT_TRUE(reg.KeyExists(L"\\Software\\KvTest\\Sub\\Deeper"));
    EXPECT_FALSE(reg.KeyExists(L"Nope"));
    EXPECT_TRUE(reg.HasSubKeys());
    reg.CreateKey(L"Other");
    TStringList keys;
    reg.GetKeyNames(&keys);
    EXPECT_EQ(Sorted(keys), (std::vector<std::wstring>{L"Other", L"Sub"}));
    EXPECT_TRUE(reg.DeleteKey(L"Sub")); // with its subkeys
    EXPECT_FALSE(reg.KeyExists(L"Sub"));
    reg.CloseKey();
    EXPECT_TRUE(reg.DeleteKey(kTestKey));
    EXPECT_FALSE(reg.KeyExists(kTestKey));
}

TEST_F(RegistryTest, ReadOnlyAccess)
{
    {
        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey(kTestKey, true));
        writer.WriteString(L"", L"server.ocx");
    }
    TRegistry reg(0x20019);
    ASSERT_TRUE(reg.OpenKey(kTestKey, false));
    EXPECT_EQ(reg.ReadString(L""), L"server.ocx");
    EXPECT_THROW(reg.WriteString(L"x", L"y"), ERegistryException);
    TRegistry ro;
    ASSERT_TRUE(ro.OpenKeyReadOnly(kTestKey));
    EXPECT_EQ(ro.Access(), 0x20019u);

    // A class id that is not registered reads as empty text.
    TRegistry classes(0x20019);
    classes.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(classes.OpenKey(L"\\CLSID\\{00000000-1111-2222-3333-444444444444}\\InprocServer32", false));
    EXPECT_EQ(classes.ReadString(L""), L"");
}

TEST_F(RegistryTest, RegIniFileSections)
{
    {
        TRegIniFile ini(L"Software\\KvTest");
        EXPECT_EQ(ini.ReadString(L"Sec", L"Name", L"dflt"), L"dflt");
        ini.WriteString(L"Sec", L"Name", L"value");
        ini.WriteInteger(L"Sec", L"Num", 42);
        ini.WriteBool(L"Other", L"On", true);
    }
    TRegIniFile ini(L"Software\\KvTest");
    EXPECT_EQ(ini.ReadString(L"Sec", L"Name", L""), L"value");
    EXPECT_EQ(ini.ReadInteger(L"Sec", L"Num", 0), 42);
    EXPECT_EQ(ini.ReadInteger(L"Sec", L"Name", 9), 9);
    EXPECT_TRUE(ini.ReadBool(L"Other", L"On", false));
    TStringList s;
    ini.ReadSections(&s);
    EXPECT_EQ(Sorted(s), (std::vector<std::wstring>{L"Other", L"Sec"}));
    ini.ReadSection(L"Sec", &s);
    EXPECT_EQ(Sorted(s), (std::vector<std::wstring>{L"Name", L"Num"}));
    ini.DeleteKey(L"Sec", L"Num");
    EXPECT_EQ(ini.ReadInteger(L"Sec", L"Num", -1), -1);
    ini.EraseSection(L"Other");
    EXPECT_FALSE(ini.ReadBool(L"Other", L"On", false));
    EXPECT_EQ(ini.CurrentPath(), L"Software\\KvTest"); // sections leave the key as it was
}
