// A folder of 10,000 files (made in the temporary folder and removed at the
// end) listed through the shell folder model, with each item's display name
// and the list sorted by name with folders first, against its floor: the
// same folder read with FindFirstFile/FindNextFile and the names sorted, in
// the same run, best of a few rounds taken in turn.  One line: listings per
// second of each and "ratio" (model / floor, in time).
//   shell_model.exe [files]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "skin/editors/kvShellFolder.h"
#include "skin/editors/kvShellSort.h"

namespace {

double Seconds(const std::function<void()>& Run)
{
    const auto t0 = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void ListWithModel(const std::wstring& Dir)
{
    TkvShellFolder* root = FolderFromPath(Dir);
    auto items = EnumerateFolder(root, {TkvShellObjectType::otFolders, TkvShellObjectType::otNonFolders}, L"");
    std::vector<TkvSortKey> keys;
    keys.reserve(items.size());
    for (auto* f : items)
        keys.push_back({f->ShellFolder() != nullptr, f->DisplayName(), 0, UnicodeString(), 0});
    auto order = KvSortOrder(keys, TkvSortColumn::scName);
    if (order.size() != items.size())
        std::abort();
    for (auto* f : items)
        delete f;
    delete root;
}

void ListWithFind(const std::wstring& Dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((Dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        std::abort();
    do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L".."))
            names.push_back(fd.cFileName);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return CompareNamesNoCase(a, b) < 0; });
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"kvshellbench" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir.c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        std::wstring name = dir + L"\\file" + std::to_wstring((i * 7919) % files) + L".txt";
        HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(h);
    }
    double model = 1e9, floor = 1e9;
    for (int round = 0; round < 3; ++round) {
        floor = std::min(floor, Seconds([&] { ListWithFind(dir); }));
        model = std::min(model, Seconds([&] { ListWithModel(dir); }));
    }
    std::printf("shell model listing of %d files: %.2f/s, FindFirstFile and sort: %.2f/s, ratio %.2f (model / floor, in time)\n",
                files, 1 / model, 1 / floor, model / floor);
    for (int i = 0; i < files; ++i)
        ::DeleteFileW((dir + L"\\file" + std::to_wstring(i) + L".txt").c_str());
    ::RemoveDirectoryW(dir.c_str());
    return 0;
}
