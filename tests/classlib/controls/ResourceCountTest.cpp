// The leak checks' resource count: one object of each kind made on purpose
// shows in its own figure and in no other, and goes when it is released.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/ResourceCount.h"

namespace {

LRESULT CALLBACK PassHook(int Code, WPARAM W, LPARAM L)
{
    return ::CallNextHookEx(nullptr, Code, W, L);
}

HICON MakeIcon(BOOL Icon)
{
    BYTE andBits[32 * 4] = {}, xorBits[32 * 4] = {};
    return Icon ? ::CreateIcon(nullptr, 32, 32, 1, 1, andBits, xorBits)
                : ::CreateCursor(nullptr, 0, 0, 32, 32, andBits, xorBits);
}

struct TLeakCase {
    const char* Name;
    int TResourceCount::*Field;
    std::function<void*()> Make;
    std::function<void(void*)> Release;
};

HWND MakeWindow(HWND Parent = nullptr)
{
    return ::CreateWindowExW(0, L"STATIC", L"", Parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, Parent, nullptr,
                             nullptr, nullptr);
}

} // namespace

TEST(ResourceCount, EachKindOfLeakShowsInItsOwnFigure)
{
    static HWND host = MakeWindow();
    const TLeakCase cases[] = {
        {"GDI object", &TResourceCount::Gdi, [] { return static_cast<void*>(::CreateSolidBrush(RGB(1, 2, 3))); },
         [](void* h) { ::DeleteObject(static_cast<HGDIOBJ>(h)); }},
        {"window", &TResourceCount::Windows, [] { return static_cast<void*>(MakeWindow()); },
         [](void* h) { ::DestroyWindow(static_cast<HWND>(h)); }},
        {"message-only window", &TResourceCount::Windows,
         [] {
             return static_cast<void*>(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                         nullptr, nullptr));
         },
         [](void* h) { ::DestroyWindow(static_cast<HWND>(h)); }},
        {"child window", &TResourceCount::Windows, [] { return static_cast<void*>(MakeWindow(host)); },
         [](void* h) { ::DestroyWindow(static_cast<HWND>(h)); }},
        {"icon", &TResourceCount::Icons, [] { return static_cast<void*>(MakeIcon(TRUE)); },
         [](void* h) { ::DestroyIcon(static_cast<HICON>(h)); }},
        {"cursor", &TResourceCount::Icons, [] { return static_cast<void*>(MakeIcon(FALSE)); },
         [](void* h) { ::DestroyCursor(static_cast<HCURSOR>(h)); }},
        {"menu", &TResourceCount::Menus, [] { return static_cast<void*>(::CreatePopupMenu()); },
         [](void* h) { ::DestroyMenu(static_cast<HMENU>(h)); }},
        {"window timer", &TResourceCount::Timers,
         [] { return reinterpret_cast<void*>(::SetTimer(host, 77, 100000, nullptr)); },
         [](void*) { ::KillTimer(host, 77); }},
        {"thread timer", &TResourceCount::Timers,
         [] { return reinterpret_cast<void*>(::SetTimer(nullptr, 0, 100000, nullptr)); },
         [](void* id) { ::KillTimer(nullptr, reinterpret_cast<UINT_PTR>(id)); }},
        {"hook", &TResourceCount::Hooks,
         [] {
             return static_cast<void*>(::SetWindowsHookExW(WH_CALLWNDPROC, PassHook, nullptr,
                                                           ::GetCurrentThreadId()));
         },
         [](void* h) { ::UnhookWindowsHookEx(static_cast<HHOOK>(h)); }},
    };
    for (const TLeakCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TResourceCount before = CountResources();
        void* leaked = c.Make();
        ASSERT_TRUE(leaked);
        const TResourceCount after = CountResources();
        EXPECT_EQ(after.*c.Field, before.*c.Field + 1);
        TResourceCount allowed;
        allowed.*c.Field = 1;
        // An icon keeps its pictures in bitmaps of its own.
        if (c.Field == &TResourceCount::Icons)
            allowed.Gdi = 2;
        EXPECT_TRUE(NoResourceGrowth(before, after, allowed)) << "only its own kind grew";
        EXPECT_FALSE(NoResourceGrowth(before, after)) << "the leak is reported";
        c.Release(leaked);
        EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
    }
}

TEST(ResourceCount, AWindowsTimersGoWithIt)
{
    HWND w = MakeWindow();
    const TResourceCount before = CountResources();
    ::SetTimer(w, 1, 100000, nullptr);
    ::SetTimer(w, 1, 50000, nullptr); // the same timer again
    ::SetTimer(w, 2, 100000, nullptr);
    EXPECT_EQ(CountResources().Timers, before.Timers + 2);
    ::DestroyWindow(w);
    EXPECT_EQ(CountResources().Timers, before.Timers);
}

TEST(ResourceCount, TheFailureNamesTheKindThatGrew)
{
    TResourceCount before, after;
    after.Menus = 2;
    after.Gdi = -3;
    const testing::AssertionResult r = NoResourceGrowth(before, after);
    EXPECT_FALSE(r);
    EXPECT_STREQ(r.message(), "menus: 0 -> 2 (+2, allowed +0); ");
}
