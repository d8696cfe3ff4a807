// The folder model on Wine's shell, in a folder tree the test makes: items
// listed with their names, paths and kinds, the mask applied to files only,
// names of a missing folder, and items freed without leaking handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "classlib/rtl/TempDir.h"
#include "skin/editors/kvShellFolder.h"
#include "support/KernelHandleCount.h"
#include "support/ResourceCount.h"

namespace {

void MakeFile(const std::wstring& Path)
{
    HANDLE h = ::CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
}

class ShellFolder : public testing::Test {
protected:
    TTempDir Dir;
    void SetUp() override
    {
        ::CreateDirectoryW(Dir.File(L"하위 폴더").c_str(), nullptr);
        MakeFile(Dir.File(L"문서.txt"));
        MakeFile(Dir.File(L"B.DOC"));
        MakeFile(Dir.File(L"c.bmp"));
        MakeFile(Dir.File(L"하위 폴더\\inner.txt"));
    }
    struct TList {
        std::vector<TkvShellFolder*> Items;
        ~TList()
        {
            for (auto* f : Items)
                delete f;
        }
        std::vector<std::wstring> Names()
        {
            std::vector<std::wstring> n;
            for (auto* f : Items)
                n.push_back(f->DisplayName(TkvShowExtension::seShow));
            std::sort(n.begin(), n.end());
            return n;
        }
    };
};

}  // namespace

TEST_F(ShellFolder, ListsTheTreeWithNamesPathsAndKinds)
{
    std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->PathName(), Dir.Path());
    EXPECT_TRUE(root->IsFileFolder());
    EXPECT_TRUE(root->SubFolders());
    EXPECT_TRUE(root->Properties().Contains(TkvShellFolderProperty::fpFileSystem));

    TList all;
    all.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otFolders, TkvShellObjectType::otNonFolders}, L"");
    EXPECT_EQ(all.Names(), (std::vector<std::wstring>{L"B.DOC", L"c.bmp", L"문서.txt", L"하위 폴더"}));
    for (auto* f : all.Items) {
        UnicodeString name = f->DisplayName(TkvShowExtension::seShow);
        EXPECT_EQ(f->PathName(), Dir.File(name)) << name;
        EXPECT_EQ(f->Level(), 1);
        bool folder = name == L"하위 폴더";
        EXPECT_EQ(f->IsFolder(), folder) << name;
        EXPECT_EQ(f->IsFile(), !folder) << name;
        EXPECT_EQ(f->ShellFolder() != nullptr, folder) << name;
        EXPECT_GE(f->ImageIndex(false), 0) << name;
    }

    // Folders alone, then one level down through the folder's own interface.
    TList folders;
    folders.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otFolders}, L"");
    ASSERT_EQ(folders.Items.size(), 1u);
    TList inner;
    inner.Items = EnumerateFolder(folders.Items[0], {TkvShellObjectType::otNonFolders}, L"");
    EXPECT_EQ(inner.Names(), (std::vector<std::wstring>{L"inner.txt"}));
    EXPECT_EQ(inner.Items[0]->Level(), 2);
}

TEST_F(ShellFolder, MaskKeepsFoldersAndMatchingFilesIgnoringCase)
{
    std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
    ASSERT_TRUE(root);
    TList list;
    list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otFolders, TkvShellObjectType::otNonFolders},
                                 L"*.txt;*.doc");
    EXPECT_EQ(list.Names(), (std::vector<std::wstring>{L"B.DOC", L"문서.txt", L"하위 폴더"}));
}

TEST_F(ShellFolder, MissingPathsAndFoldersGiveEmptyResults)
{
    EXPECT_EQ(FolderFromPath(Dir.File(L"없음\\없음")), nullptr);
    EXPECT_EQ(ItemDisplayName(nullptr, nullptr, SHGDN_NORMAL, TkvShowExtension::seShow), L"");
    EXPECT_TRUE(EnumerateFolder(nullptr, {TkvShellObjectType::otFolders}, L"").empty());
}

TEST_F(ShellFolder, ItemsFreedLeaveNoHandles)
{
    {  // warm-up: the shell's own caches
        std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
        TList list;
        list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otFolders, TkvShellObjectType::otNonFolders}, L"");
        for (auto* f : list.Items)
            f->ImageIndex(true);
    }
    const int handles = CountKernelHandles();
    const TResourceCount resources = CountResources();
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
        TList list;
        list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otFolders, TkvShellObjectType::otNonFolders}, L"*.txt");
        for (auto* f : list.Items)
            f->DisplayName(TkvShowExtension::seHide);
    }
    EXPECT_LE(CountKernelHandles(), handles);
    EXPECT_TRUE(NoResourceGrowth(resources, CountResources()));
}

TEST_F(ShellFolder, RenameTakesTheNewListsOrRaisesAndKeepsTheOld)
{
    std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
    ASSERT_TRUE(root);
    TList list;
    list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otNonFolders}, L"*.bmp");
    ASSERT_EQ(list.Items.size(), 1u);
    TkvShellFolder* item = list.Items[0];

    EXPECT_TRUE(item->Capabilities().Contains(TkvShellFolderCapability::fcCanRename));
    EXPECT_TRUE(item->Rename(L"그림.bmp"));
    EXPECT_EQ(item->DisplayName(TkvShowExtension::seShow), L"그림.bmp");
    EXPECT_EQ(item->PathName(), Dir.File(L"그림.bmp"));
    EXPECT_NE(::GetFileAttributesW(Dir.File(L"그림.bmp").c_str()), INVALID_FILE_ATTRIBUTES);

    // A name that is taken: refused, and the item still names its file.
    try {
        item->Rename(L"B.DOC");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"Rename to B.DOC failed");
    }
    EXPECT_EQ(item->PathName(), Dir.File(L"그림.bmp"));
}

TEST_F(ShellFolder, RootsByNameByPathAndFailuresThatKeepTheOldRoot)
{
    TkvRoot root = Dir.Path();
    TkvShellFolder* folder = ResolveRootFolder(nullptr, L"", root);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->PathName(), Dir.Path());

    root = L"C:";
    folder = ResolveRootFolder(folder, Dir.Path(), root);  // the old one is freed
    EXPECT_EQ(folder->PathName(), L"C:\\");

    root = L"rfDesktop";
    folder = ResolveRootFolder(folder, L"C:", root);
    EXPECT_EQ(PidlCount(folder->AbsoluteID()), 0);

    for (const wchar_t* bad : {L"", L"Q:\\없는\\폴더", L"rfNoSuchFolder\\x"}) {
        root = bad;
        try {
            ResolveRootFolder(folder, L"rfDesktop", root);
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), L"Error Setting Path");
        }
        EXPECT_EQ(root, L"rfDesktop");
        EXPECT_EQ(PidlCount(folder->AbsoluteID()), 0);  // still there
    }
    delete folder;
}

TEST_F(ShellFolder, ZipNamesAreFilesWhenZipFilesAreNotOpened)
{
    MakeFile(Dir.File(L"ARCHIVE.ZIP"));
    std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
    TList list;
    list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otNonFolders}, L"*.zip");
    ASSERT_EQ(list.Items.size(), 1u);
    EXPECT_FALSE(list.Items[0]->IsFolder(L"ARCHIVE.ZIP", false));
    EXPECT_TRUE(list.Items[0]->IsFile(L"ARCHIVE.ZIP", false));
}

TEST_F(ShellFolder, DetailColumnsAreLoadedOnceAndMissingOnesReported)
{
    std::unique_ptr<TkvShellFolder> root(FolderFromPath(Dir.Path()));
    ASSERT_TRUE(root);
    TList list;
    list.Items = EnumerateFolder(root.get(), {TkvShellObjectType::otNonFolders}, L"*.txt");
    ASSERT_EQ(list.Items.size(), 1u);
    TkvShellFolder* item = list.Items[0];
    try {
        item->GetDetails(1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"문서.txt: Missing call to LoadColumnDetails");
    }
    item->LoadColumnDetails(root.get(), nullptr, 3);
    // Wine's folder answers size, type and time ("0 KB", "txt file", ...).
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(item->GetDetails(i).empty()) << i;
    EXPECT_EQ(item->GetDetails(4), L"");
    item->SetDetails(2, L"x");
    EXPECT_EQ(item->GetDetails(2), L"x");
    item->LoadColumnDetails(root.get(), nullptr, 3);  // kept: loaded already
    EXPECT_EQ(item->GetDetails(2), L"x");
}
