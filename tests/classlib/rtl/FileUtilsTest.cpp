// This file includes <windows.h> after FileUtils.h on purpose: DeleteFile
// must reach our routine in either order.
#include "classlib/rtl/FileUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "classlib/rtl/Streams.h"
#include "TempDir.h"

namespace {

void WriteFile(const UnicodeString& Name, const char* Text)
{
    TFileStream f(Name, fmCreate);
    f.WriteBuffer(Text, int32_t(strlen(Text)));
}

std::map<UnicodeString, TSearchRec> Search(const UnicodeString& Pattern, int Attr)
{
    std::map<UnicodeString, TSearchRec> found;
    TSearchRec sr;
    if (FindFirst(Pattern, Attr, sr) == 0) {
        do
            found[sr.Name] = sr;
        while (FindNext(sr) == 0);
        FindClose(sr);
    }
    EXPECT_EQ(sr.FindHandle, nullptr);
    return found;
}

std::vector<UnicodeString> Names(const std::map<UnicodeString, TSearchRec>& Found)
{
    std::vector<UnicodeString> names;
    for (auto& [name, rec] : Found)
        names.push_back(name);
    return names;
}

} // namespace

TEST(FindFirstTest, ListsEntriesByMaskAndAttributes)
{
    TTempDir dir;
    WriteFile(dir.File(L"a.txt"), "hello");
    WriteFile(dir.File(L"메모.txt"), "");
    WriteFile(dir.File(L"other.dat"), "x");
    WriteFile(dir.File(L"hidden.txt"), "h");
    SetFileAttributesW(dir.File(L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CreateDir(dir.File(L"folder.txt")));

    // Mask 511: every kind of entry, folders whose names match included.
    auto any = Search(dir.File(L"*.txt"), 511);
    EXPECT_EQ(Names(any), (std::vector<UnicodeString>{L"a.txt", L"folder.txt", L"hidden.txt", L"메모.txt"}));
    EXPECT_EQ(any[L"a.txt"].Size, 5);
    EXPECT_FALSE(any[L"a.txt"].Attr & faDirectory);
    EXPECT_TRUE(any[L"folder.txt"].Attr & faDirectory);
    EXPECT_TRUE(any[L"hidden.txt"].Attr & faHidden);
    EXPECT_EQ(any[L"a.txt"].Time, FileAge(dir.File(L"a.txt")));

    // Plain files only: folders and hidden entries are left out.
    EXPECT_EQ(Names(Search(dir.File(L"*.txt"), 0)), (std::vector<UnicodeString>{L"a.txt", L"메모.txt"}));
    EXPECT_EQ(Names(Search(dir.File(L"*.txt"), faDirectory)),
              (std::vector<UnicodeString>{L"a.txt", L"folder.txt", L"메모.txt"}));

    // "*" also meets the folder's own "." and "..".
    auto all = Search(dir.File(L"*"), faAnyFile);
    EXPECT_TRUE(all.count(L".") && all.count(L".."));
}

TEST(FindFirstTest, MissingFolderAndExhaustedSearch)
{
    TTempDir dir;
    TSearchRec sr;
    EXPECT_NE(FindFirst(dir.File(L"nowhere\\*.txt"), faAnyFile, sr), 0);
    EXPECT_EQ(sr.FindHandle, nullptr);
    EXPECT_NE(FindNext(sr), 0); // no search: an error code, not a crash
    FindClose(sr);

    EXPECT_NE(FindFirst(dir.File(L"*.none"), faAnyFile, sr), 0);

    WriteFile(dir.File(L"one.txt"), "1");
    ASSERT_EQ(FindFirst(dir.File(L"*.txt"), faAnyFile, sr), 0);
    EXPECT_EQ(FindNext(sr), ERROR_NO_MORE_FILES);
    FindClose(sr);
    FindClose(sr);
}

TEST(FileUtilsTest, FilesAndFolders)
{
    TTempDir dir;
    UnicodeString f = dir.File(L"f.txt");
    UnicodeString sub = dir.File(L"sub");
    EXPECT_FALSE(FileExists(f));
    EXPECT_EQ(FileAge(f), -1);
    EXPECT_EQ(FileGetSize(f), -1);
    WriteFile(f, "12345678");
    EXPECT_TRUE(FileExists(f));
    EXPECT_FALSE(DirectoryExists(f));
    EXPECT_EQ(FileGetSize(f), 8);

    EXPECT_TRUE(CreateDir(sub));
    EXPECT_FALSE(CreateDir(sub));
    EXPECT_TRUE(DirectoryExists(sub));
    EXPECT_FALSE(FileExists(sub));
    EXPECT_EQ(FileGetSize(sub), -1);

    EXPECT_TRUE(RenameFile(f, sub + L"\\g.txt"));
    EXPECT_FALSE(FileExists(f));
    EXPECT_FALSE(RemoveDir(sub)); // not empty
    EXPECT_TRUE(DeleteFile(sub + L"\\g.txt"));
    EXPECT_FALSE(DeleteFile(sub + L"\\g.txt"));
    EXPECT_TRUE(RemoveDir(sub));
    EXPECT_FALSE(DirectoryExists(sub));
    EXPECT_FALSE(FileExists(L""));
    EXPECT_FALSE(DirectoryExists(L""));
}

TEST(FileUtilsTest, ForceDirectoriesMakesEveryLevel)
{
    TTempDir dir;
    UnicodeString deep = dir.File(L"a\\b/종료\\c\\");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(dir.File(L"a\\b\\종료\\c")));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    WriteFile(dir.File(L"file"), "x");
    EXPECT_FALSE(ForceDirectories(dir.File(L"file\\below")));
    EXPECT_THROW(ForceDirectories(L""), EInOutError);
}

TEST(FileUtilsTest, FileAgeIsTheLocalDosTime)
{
    TTempDir dir;
    UnicodeString f = dir.File(L"t.txt");
    WriteFile(f, "x");
    // 2024-05-06 13:14:16 local time.
    WORD date = WORD(((2024 - 1980) << 9) | (5 << 5) | 6), time = WORD((13 << 11) | (14 << 5) | (16 / 2));
    FILETIME local, utc;
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    HANDLE h = CreateFileW(f.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
    EXPECT_EQ(FileAge(f), int((uint32_t(date) << 16) | time));
}

TEST(FileUtilsTest, CurrentFolder)
{
    TTempDir dir;
    UnicodeString old = GetCurrentDir();
    ASSERT_FALSE(old.empty());
    ASSERT_TRUE(SetCurrentDir(dir.Path()));
    EXPECT_EQ(GetCurrentDir(), dir.Path());
    EXPECT_FALSE(SetCurrentDir(dir.File(L"missing")));
    EXPECT_THROW(ChDir(dir.File(L"missing")), EInOutError);
    EXPECT_EQ(GetCurrentDir(), dir.Path());
    ChDir(old);
    EXPECT_EQ(GetCurrentDir(), old);
}

TEST(FileUtilsTest, DeleteFileKeepsItsNameNextToTheSystemHeader)
{
    // <windows.h> came last here, so DeleteFile is the system's macro.
    TTempDir dir;
    WriteFile(dir.File(L"d.txt"), "x");
    EXPECT_TRUE(DeleteFile(UnicodeString(dir.File(L"d.txt"))));
    EXPECT_FALSE(FileExists(dir.File(L"d.txt")));
}
