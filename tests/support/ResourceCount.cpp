#include "ResourceCount.h"

#include <windows.h>

#include <mutex>
#include <set>
#include <utility>

#include "WineHost.h"

namespace {

// ---- timers and hooks: the executable's own calls, watched ----

struct TTally {
    std::mutex Lock;
    std::set<std::pair<HWND, UINT_PTR>> Timers;
    std::set<HHOOK> Hooks;
};

TTally& Tally()
{
    static TTally* tally = new TTally; // never freed: timers may be killed by static destructors
    return *tally;
}

using TSetTimer = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
using TKillTimer = BOOL(WINAPI*)(HWND, UINT_PTR);
using TSetHookW = HHOOK(WINAPI*)(int, HOOKPROC, HINSTANCE, DWORD);
using TUnhook = BOOL(WINAPI*)(HHOOK);

TSetTimer RealSetTimer;
TKillTimer RealKillTimer;
TSetHookW RealSetHookW, RealSetHookA;
TUnhook RealUnhook;

UINT_PTR WINAPI WatchedSetTimer(HWND Wnd, UINT_PTR Id, UINT Elapse, TIMERPROC Proc)
{
    const UINT_PTR result = RealSetTimer(Wnd, Id, Elapse, Proc);
    if (result) {
        std::lock_guard<std::mutex> lock(Tally().Lock);
        // A window's timer is named by its id; a thread timer by the id answered.
        Tally().Timers.insert({Wnd, Wnd ? Id : result});
    }
    return result;
}

BOOL WINAPI WatchedKillTimer(HWND Wnd, UINT_PTR Id)
{
    const BOOL result = RealKillTimer(Wnd, Id);
    if (result) {
        std::lock_guard<std::mutex> lock(Tally().Lock);
        Tally().Timers.erase({Wnd, Id});
    }
    return result;
}

HHOOK AddHook(HHOOK Hook)
{
    if (Hook) {
        std::lock_guard<std::mutex> lock(Tally().Lock);
        Tally().Hooks.insert(Hook);
    }
    return Hook;
}

HHOOK WINAPI WatchedSetHookW(int Id, HOOKPROC Proc, HINSTANCE Module, DWORD Thread)
{
    return AddHook(RealSetHookW(Id, Proc, Module, Thread));
}

HHOOK WINAPI WatchedSetHookA(int Id, HOOKPROC Proc, HINSTANCE Module, DWORD Thread)
{
    return AddHook(RealSetHookA(Id, Proc, Module, Thread));
}

BOOL WINAPI WatchedUnhook(HHOOK Hook)
{
    const BOOL result = RealUnhook(Hook);
    if (result) {
        std::lock_guard<std::mutex> lock(Tally().Lock);
        Tally().Hooks.erase(Hook);
    }
    return result;
}

// Points every import-table entry of Module that holds Original at Replacement.
void Redirect(HMODULE Module, void* Original, void* Replacement)
{
    auto* base = reinterpret_cast<BYTE*>(Module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!Original || !dir.VirtualAddress)
        return;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t) {
            if (reinterpret_cast<void*>(t->u1.Function) != Original)
                continue;
            DWORD old = 0;
            ::VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), PAGE_READWRITE, &old);
            t->u1.Function = reinterpret_cast<ULONG_PTR>(Replacement);
            ::VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), old, &old);
        }
}

template <class F>
F Export(HMODULE Module, const char* Name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(Module, Name)));
}

template <class F>
void Watch(HMODULE User, const char* Name, F& Real, F Watched)
{
    Real = Export<F>(User, Name);
    Redirect(::GetModuleHandleW(nullptr), reinterpret_cast<void*>(Real), reinterpret_cast<void*>(Watched));
}

int LiveTimers()
{
    std::lock_guard<std::mutex> lock(Tally().Lock);
    auto& timers = Tally().Timers;
    // A window takes its timers with it when it is destroyed.
    for (auto it = timers.begin(); it != timers.end();)
        it = it->first && !::IsWindow(it->first) ? timers.erase(it) : std::next(it);
    return int(timers.size());
}

int LiveHooks()
{
    std::lock_guard<std::mutex> lock(Tally().Lock);
    return int(Tally().Hooks.size());
}

// ---- GDI and USER handle tables ----

int LiveGdiObjects()
{
    int live = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)))
            ++live;
    return live;
}

bool IsIconOrCursor(HANDLE Handle)
{
    ICONINFO info{};
    if (!::GetIconInfo(static_cast<HICON>(Handle), &info))
        return false;
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return true;
}

void CountUserTable(TResourceCount& Count)
{
    const bool wine = RunningUnderWine();
    const ULONG_PTR first = wine ? 0x20 : 1, step = wine ? 2 : 1;
    for (ULONG_PTR low = first; low < 0x10000; low += step) {
        const auto handle = reinterpret_cast<HANDLE>(low);
        if (::IsMenu(static_cast<HMENU>(handle)))
            ++Count.Menus;
        else if (IsIconOrCursor(handle))
            ++Count.Icons;
    }
}

BOOL CALLBACK CountWindow(HWND, LPARAM Param)
{
    ++*reinterpret_cast<int*>(Param);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND Wnd, LPARAM Param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(Wnd, &pid);
    if (pid == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<int*>(Param);
        // Descendants, all levels (EnumChildWindows walks the whole tree).
        ::EnumChildWindows(Wnd, CountWindow, Param);
    }
    return TRUE;
}

int LiveWindows()
{
    int count = 0;
    ::EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));)
        CountOwnWindow(w, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct TKindOf {
    const char* Name;
    int TResourceCount::*Field;
};

constexpr TKindOf kKinds[] = {
    {"GDI objects", &TResourceCount::Gdi},     {"windows", &TResourceCount::Windows},
    {"icons and cursors", &TResourceCount::Icons}, {"menus", &TResourceCount::Menus},
    {"timers", &TResourceCount::Timers},       {"hooks", &TResourceCount::Hooks},
};

} // namespace

void WatchTimersAndHooks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        HMODULE user = ::GetModuleHandleW(L"user32.dll");
        Watch(user, "SetTimer", RealSetTimer, &WatchedSetTimer);
        Watch(user, "KillTimer", RealKillTimer, &WatchedKillTimer);
        Watch(user, "SetWindowsHookExW", RealSetHookW, &WatchedSetHookW);
        Watch(user, "SetWindowsHookExA", RealSetHookA, &WatchedSetHookA);
        Watch(user, "UnhookWindowsHookEx", RealUnhook, &WatchedUnhook);
    });
}

TResourceCount CountResources()
{
    WatchTimersAndHooks();
    TResourceCount count;
    CountUserTable(count);
    count.Windows = LiveWindows();
    count.Timers = LiveTimers();
    count.Hooks = LiveHooks();
    // Last: the icon test above makes and frees bitmaps.
    count.Gdi = LiveGdiObjects();
    return count;
}

testing::AssertionResult NoResourceGrowth(const TResourceCount& Before, const TResourceCount& After,
                                          const TResourceCount& Allowed)
{
    testing::AssertionResult result = testing::AssertionSuccess();
    bool grew = false;
    for (const TKindOf& kind : kKinds) {
        const int growth = After.*kind.Field - Before.*kind.Field;
        if (growth <= Allowed.*kind.Field)
            continue;
        if (!grew)
            result = testing::AssertionFailure();
        grew = true;
        result << kind.Name << ": " << Before.*kind.Field << " -> " << After.*kind.Field << " (+" << growth
               << ", allowed +" << Allowed.*kind.Field << "); ";
    }
    return result;
}
