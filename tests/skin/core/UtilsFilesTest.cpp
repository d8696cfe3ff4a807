#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include "classlib/graphics/Graphics.h"

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/Lists.h"
#include "skin/core/kvntUtils.h"
#include "support/WineHost.h"

namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class UtilsFilesTest : public ::testing::Test {
protected:
    UnicodeString Root;

    void SetUp() override
    {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        Root = UnicodeString(tmp) + L"kvskincore_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
               std::to_wstring(GetTickCount()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(Root.c_str(), nullptr));
    }
    void TearDown() override
    {
        ClearDir(Root, true);
    }
    void Write(const UnicodeString& name, const char* text = "x")
    {
        HANDLE h = CreateFileW((Root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << name;
        DWORD written = 0;
        WriteFile(h, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(h);
    }
    bool Exists(const UnicodeString& name) const
    {
        return GetFileAttributesW((Root + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST(UtilsPaths, NormalDirAndValidFileName)
{
    const std::pair<const wchar_t*, const wchar_t*> dirs[] = {
        {L"", L""}, {L"C", L"C:\\"}, {L"C:/x/", L"C:/x\\"}, {L"C:\\x\\", L"C:\\x\\"}, {L"C:\\x", L"C:\\x\\"},
        {L"폴더", L"폴더\\"},
    };
    for (const auto& d : dirs)
        EXPECT_EQ(NormalDir(d.first), d.second) << d.first;
    EXPECT_TRUE(ValidFileName(L"노트 1.txt"));
    EXPECT_TRUE(ValidFileName(L"C:\\dir\\a.txt"));
    for (const wchar_t* bad : {L"", L"a<b", L"a>b", L"a\"b", L"a|b", L"a*b", L"a?b", L"a/b"})
        EXPECT_FALSE(ValidFileName(bad)) << bad;
}

TEST_F(UtilsFilesTest, ClearDirEmptiesAndRemovesNestedFolders)
{
    ASSERT_TRUE(kvCreateDir(Root + L"sub"));
    ASSERT_TRUE(kvCreateDir(Root + L"sub\\deeper"));
    Write(L"a.txt");
    Write(L"sub\\b.txt");
    Write(L"sub\\deeper\\c.txt");
    SetFileAttributesW((Root + L"sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(ClearDir(Root + L"sub", false));
    EXPECT_TRUE(kvDirExists(Root + L"sub"));
    EXPECT_TRUE(kvDirExists(Root + L"sub\\deeper"));  // folders stay without RemoveDir
    EXPECT_FALSE(Exists(L"sub\\b.txt"));
    EXPECT_FALSE(Exists(L"sub\\deeper\\c.txt"));
    EXPECT_TRUE(Exists(L"a.txt"));

    EXPECT_TRUE(ClearDir(Root + L"sub", true));
    EXPECT_FALSE(kvDirExists(Root + L"sub"));
    EXPECT_FALSE(ClearDir(Root + L"missing", true));
}

// On a scratch drive of its own, so that a faulty ClearDir could only empty
// a folder of the test, never the system drive.
TEST(UtilsPaths, ClearDirNeverTouchesADriveRoot)
{
    TScratchDrive scratch;
    ASSERT_TRUE(scratch.Mapped()) << "could not map a scratch drive";
    const UnicodeString drive = scratch.Drive();
    ASSERT_TRUE(kvCreateDir(drive + L"\\sub"));
    HANDLE h = CreateFileW((drive + L"\\sub\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    for (const UnicodeString& root : {drive, drive + L"\\", drive + L"/"}) {
        EXPECT_FALSE(ClearDir(root, true)) << root;
        EXPECT_FALSE(ClearDir(root, false)) << root;
    }
    EXPECT_TRUE(kvDirExists(scratch.Folder() + L"sub"));
    EXPECT_NE(kvFileGetAttr(scratch.Folder() + L"sub\\f.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UtilsFilesTest, ClearDirRemovesALinkedFolderButNotWhatItPointsTo)
{
    // sub\link points back at the folder above: following it would delete
    // outside the folder being cleared and never end.
    ASSERT_TRUE(kvCreateDir(Root + L"sub"));
    Write(L"keep.txt");
    Write(L"sub\\gone.txt");
    const UnicodeString link = Root + L"sub\\link";
    if (!MakeFolderLink(link, Root)) {
        ASSERT_FALSE(RunningUnderWine()) << "the host could not make a folder link";
        GTEST_SKIP() << "folder links need a privilege here";
    }
    ASSERT_TRUE(kvFileGetAttr(link) & FILE_ATTRIBUTE_REPARSE_POINT);

    EXPECT_TRUE(ClearDir(Root + L"sub", false));
    EXPECT_TRUE(Exists(L"keep.txt"));
    EXPECT_FALSE(Exists(L"sub\\gone.txt"));
    EXPECT_TRUE(Exists(L"sub\\link"));

    // Windows removes the link itself; Wine can only reach the folder it
    // points to (not empty, so nothing goes) and reports the failure.
    const bool removed = ClearDir(Root + L"sub", true);
    EXPECT_EQ(removed, !kvDirExists(Root + L"sub"));
    if (!RunningUnderWine()) {
        EXPECT_TRUE(removed);
    }
    EXPECT_TRUE(Exists(L"keep.txt"));
    if (!removed) {
        EXPECT_TRUE(RemoveFolderLink(link));
    }
}

TEST_F(UtilsFilesTest, ClearDirRefusesAOneLetterFolderThatNormalDirTurnsIntoADrive)
{
    // Pick a letter that names no drive, so even a faulty ClearDir could
    // only fail to search "Q:\", never clear a real root.
    DWORD drives = GetLogicalDrives();
    wchar_t letter = L'Q';
    while (letter > L'D' && (drives & (1u << (letter - L'A'))))
        --letter;
    const UnicodeString name(1, letter);
    ASSERT_TRUE(kvCreateDir(Root + name));
    Write(name + L"\\f.txt");
    UnicodeString old = kvGetCurrentDir();
    ASSERT_TRUE(kvSetCurrentDir(Root));
    EXPECT_FALSE(ClearDir(name, true));
    kvSetCurrentDir(old);
    EXPECT_TRUE(Exists(name + L"\\f.txt"));
}

TEST_F(UtilsFilesTest, CopyFilesCreatesTheTargetAndOverwrites)
{
    Write(L"one.dat", "1");
    Write(L"two.dat", "22");
    Write(L"skip.txt");
    ASSERT_TRUE(kvCreateDir(Root + L"out"));
    Write(L"out\\two.dat", "old");
    CopyFiles(L"*.dat", Root, Root + L"out");
    EXPECT_TRUE(Exists(L"out\\one.dat"));
    EXPECT_FALSE(Exists(L"out\\skip.txt"));
    EXPECT_EQ(GetFileSize(Root + L"out\\two.dat"), 2);

    CopyFiles(L"*.dat", Root, Root + L"new/");
    EXPECT_TRUE(Exists(L"new\\one.dat"));
}

TEST_F(UtilsFilesTest, FileQueries)
{
    Write(L"size.bin", "12345");
    EXPECT_EQ(GetFileSize(Root + L"size.bin"), 5);
    EXPECT_EQ(GetFileSize(Root + L"none.bin"), -1);
    EXPECT_EQ(kvFileGetAttr(Root + L"none.bin"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(kvFileSetAttr(Root + L"size.bin", FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_TRUE(kvFileGetAttr(Root + L"size.bin") & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(kvFileSetAttr(Root + L"none.bin", FILE_ATTRIBUTE_NORMAL), 0u);
    kvFileSetAttr(Root + L"size.bin", FILE_ATTRIBUTE_NORMAL);

    EXPECT_TRUE(kvCopyFile(Root + L"size.bin", Root + L"copy.bin", true));
    EXPECT_FALSE(kvCopyFile(Root + L"size.bin", Root + L"copy.bin", true));
    EXPECT_TRUE(kvDeleteFile(Root + L"copy.bin"));
    EXPECT_FALSE(kvDeleteFile(Root + L"copy.bin"));

    ASSERT_TRUE(kvCreateDir(Root + L"b"));
    ASSERT_TRUE(kvCreateDir(Root + L"a"));
    ASSERT_TRUE(kvCreateDir(Root + L".hidden"));
    Write(L"file.txt");
    TStringList dirs;
    dirs.Add(L"stale");
    GetDirs(Root, &dirs);
    dirs.Sort();
    ASSERT_EQ(dirs.Count(), 2);
    EXPECT_EQ(dirs[0], L"a");
    EXPECT_EQ(dirs[1], L"b");
}

TEST_F(UtilsFilesTest, LongAndShortNames)
{
    ASSERT_TRUE(kvCreateDir(Root + L"Long Folder Name"));
    Write(L"Long Folder Name\\Some Long File.text");
    UnicodeString longPath = Root + L"Long Folder Name\\Some Long File.text";
    EXPECT_EQ(ShortToLongFileName(longPath), L"Some Long File.text");
    EXPECT_EQ(ShortToLongFileName(Root + L"none.txt"), L"");

    UnicodeString shortPath = LongToShortPath(longPath);
    UnicodeString again = ShortToLongPath(shortPath);
    EXPECT_EQ(again, longPath);
    EXPECT_EQ(ShortToLongPath(shortPath), again);  // the argument is left as it was
    // A component that cannot be found keeps its written form.
    EXPECT_EQ(ShortToLongPath(Root + L"gone\\x.txt"), ShortToLongPath(Root.substr(0, Root.size() - 1)) + L"\\gone\\x.txt");
}

TEST(UtilsSystem, ApplicationAndSystemFolders)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    UnicodeString path(exe);
    size_t slash = path.rfind(L'\\');
    EXPECT_EQ(GetAppPath(), path.substr(0, slash + 1));
    EXPECT_EQ(GetAppName(), L"test_skin_core");
    EXPECT_TRUE(kvDirExists(GetSystemDir()));
    EXPECT_EQ(kvGetCurrentDir().empty(), false);
    EXPECT_TRUE(IsNTFamily());
    EXPECT_NE(GetCaptionFontSize(), 0);
    HFONT f = kvGetTitleFont();
    EXPECT_NE(f, nullptr);
    DeleteObject(f);
}

TEST(UtilsSystem, IconForFile)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    TIcon* icon = GetIconForFile(exe, SHGFI_SMALLICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(icon->Handle(), nullptr);
    delete icon;
    EXPECT_EQ(GetIconForFile(UnicodeString(exe) + L".missing", SHGFI_SMALLICON), nullptr);
}

TEST(UtilsSystem, DelayWaitsAtLeastTheTime)
{
    DWORD start = GetTickCount();
    Delay(30);
    EXPECT_GE(GetTickCount() - start, 30u);
}

} // namespace
