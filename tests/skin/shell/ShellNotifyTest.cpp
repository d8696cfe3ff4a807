// The change notifier under Wine, in folders the test makes: changes reach
// the handler on the GUI thread, new settings take effect at once, and a
// notifier freed in the middle of a change neither hangs nor leaks.
#include <windows.h>

#include <gtest/gtest.h>

#include "classlib/controls/Forms.h"
#include "classlib/rtl/TempDir.h"
#include "skin/editors/kvShellNotify.h"
#include "support/KernelHandleCount.h"
#include "support/ResourceCount.h"

namespace {

class TChangeCounter {
public:
    int Changes = 0;
    DWORD LastThread = 0;
    void Changed()
    {
        ++Changes;
        LastThread = ::GetCurrentThreadId();
    }
};

// Serves the GUI thread's loop until Counter has seen more than Before
// changes, for at most five seconds.
bool WaitForChange(TChangeCounter& Counter, int Before)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 5000;) {
        Application->ProcessMessages();
        if (Counter.Changes > Before)
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

void MakeFile(const std::wstring& Path)
{
    HANDLE h = ::CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, "x", 1, &written, nullptr);
    ::CloseHandle(h);
}

TOwned<TkvShellChangeNotifier> Watch(const std::wstring& Dir, TChangeCounter& Counter)
{
    TOwned<TkvShellChangeNotifier> n(New<TkvShellChangeNotifier>(nullptr));
    n->SetRoot(Dir);
    n->SetOnChange(TThreadMethod(&Counter, &TChangeCounter::Changed));
    return n;
}

}  // namespace

TEST(ShellNotify, DefaultsAndNoThreadWithoutAHandler)
{
    TOwned<TkvShellChangeNotifier> n(New<TkvShellChangeNotifier>(nullptr));
    EXPECT_EQ(n->Root(), L"C:\\");
    EXPECT_TRUE(n->WatchSubTree());
    EXPECT_EQ(NotifyFilterFlags(n->NotifyFilters()), 0x03u);
    EXPECT_EQ(n->Thread(), nullptr);
}

TEST(ShellNotify, CreateRenameAndDeleteReachTheHandlerOnTheGuiThread)
{
    TTempDir dir;
    TChangeCounter counter;
    auto n = Watch(dir.Path(), counter);
    ASSERT_NE(n->Thread(), nullptr);

    int before = counter.Changes;
    MakeFile(dir.File(L"새 문서.txt"));
    EXPECT_TRUE(WaitForChange(counter, before)) << "create";
    EXPECT_EQ(counter.LastThread, ::GetCurrentThreadId());

    before = counter.Changes;
    ASSERT_TRUE(::MoveFileW(dir.File(L"새 문서.txt").c_str(), dir.File(L"보고서.txt").c_str()));
    EXPECT_TRUE(WaitForChange(counter, before)) << "rename";

    before = counter.Changes;
    ASSERT_TRUE(::DeleteFileW(dir.File(L"보고서.txt").c_str()));
    EXPECT_TRUE(WaitForChange(counter, before)) << "delete";
    // Changes in subfolders (WatchSubTree) are not checked: Wine does not
    // report them.
}

TEST(ShellNotify, NewRootTakesEffectWithoutWaitingForAChangeInTheOldOne)
{
    TTempDir first, second;
    TChangeCounter counter;
    auto n = Watch(first.Path(), counter);
    n->SetRoot(second.Path());
    // The thread takes the new settings while nothing happens in the old root.
    ASSERT_TRUE(n->Thread()->WaitSettled(5000));
    int before = counter.Changes;
    MakeFile(second.File(L"b.txt"));
    EXPECT_TRUE(WaitForChange(counter, before));
    before = counter.Changes;
    MakeFile(first.File(L"a.txt"));
    ::Sleep(200);
    Application->ProcessMessages();
    EXPECT_EQ(counter.Changes, before) << "the old root is no longer watched";
}

TEST(ShellNotify, AFolderThatCannotBeWatchedWaitsForABetterRoot)
{
    TTempDir dir;
    TChangeCounter counter;
    auto n = Watch(dir.File(L"없는 폴더"), counter);
    EXPECT_FALSE(n->Thread()->Finished());
    EXPECT_FALSE(n->Thread()->Watching());
    n->SetRoot(dir.Path());
    int before = counter.Changes;
    ASSERT_TRUE(n->Thread()->WaitSettled(5000));
    EXPECT_TRUE(n->Thread()->Watching());
    MakeFile(dir.File(L"c.txt"));
    EXPECT_TRUE(WaitForChange(counter, before));
}

TEST(ShellNotify, FreedMidChangeTwoHundredTimesWithoutAHangOrLeak)
{
    TTempDir dir;
    TChangeCounter counter;
    {  // warm-up: the synchronize queue's own event
        auto n = Watch(dir.Path(), counter);
        MakeFile(dir.File(L"warm.txt"));
        WaitForChange(counter, 0);
    }
    const int handles = CountKernelHandles();
    const TResourceCount resources = CountResources();
    for (int i = 0; i < 200; ++i) {
        auto n = Watch(dir.Path(), counter);
        // A change in flight: the thread is woken and asks the GUI thread to
        // run the handler while the notifier goes.
        MakeFile(dir.File(L"f" + std::to_wstring(i % 7) + L".txt"));
        if (i % 3 == 1)
            ::Sleep(1);
        if (i % 3 == 2)
            ::DeleteFileW(dir.File(L"f" + std::to_wstring(i % 7) + L".txt").c_str());
    }
    // Requests left over from freed notifiers do nothing.
    int seen = counter.Changes;
    Application->ProcessMessages();
    EXPECT_EQ(counter.Changes, seen);
    EXPECT_LE(CountKernelHandles(), handles);
    EXPECT_TRUE(NoResourceGrowth(resources, CountResources()));
}
