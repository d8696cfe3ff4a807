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
