#include "classlib/controls/WindowsHook.h"

#include <array>
#include <utility>

#include "classlib/controls/ControlsPrivate.h"

namespace {
constexpr int kKinds = WH_MAX - WH_MIN + 1;

// This thread's hook owners by kind.
thread_local std::array<TWindowsHook*, kKinds> Owners{};

bool ValidKind(int HookId) { return HookId >= WH_MIN && HookId <= WH_MAX; }
} // namespace

struct TWindowsHookAccess {
    static LRESULT Call(int HookId, int Code, WPARAM WParam, LPARAM LParam)
    {
        TWindowsHook* owner = Owners[size_t(HookId - WH_MIN)];
        if (Code < 0 || !owner || !owner->FHandler)
            return ::CallNextHookEx(owner ? owner->FHook : nullptr, Code, WParam, LParam);
        // Kept alive for this call: the handler may remove its own hook.
        std::shared_ptr<THookHandler> handler = owner->FHandler;
        try {
            return (*handler)(Code, WParam, LParam);
        } catch (...) {
            // An exception never unwinds through the system's dispatch.
            ControlsHandleException(nullptr);
        }
        return ::CallNextHookEx(nullptr, Code, WParam, LParam);
    }
};

namespace {
template <int Kind>
LRESULT CALLBACK HookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    return TWindowsHookAccess::Call(Kind, Code, WParam, LParam);
}

template <int... Index>
constexpr auto MakeHookProcs(std::integer_sequence<int, Index...>)
{
    return std::array<HOOKPROC, sizeof...(Index)>{HookProc<WH_MIN + Index>...};
}
const auto HookProcs = MakeHookProcs(std::make_integer_sequence<int, kKinds>());
} // namespace

TWindowsHook::~TWindowsHook() { Remove(); }

bool TWindowsHook::Install(int HookId, THookHandler Handler)
{
    if (FHook || !Handler || !ValidKind(HookId) || Current(HookId))
        return false;
    HHOOK hook = ::SetWindowsHookExW(HookId, HookProcs[size_t(HookId - WH_MIN)], nullptr, ::GetCurrentThreadId());
    if (!hook)
        return false;
    FHook = hook;
    FHookId = HookId;
    FHandler = std::make_shared<THookHandler>(std::move(Handler));
    Owners[size_t(HookId - WH_MIN)] = this;
    return true;
}

void TWindowsHook::Remove()
{
    if (!FHook)
        return;
    ::UnhookWindowsHookEx(std::exchange(FHook, nullptr));
    if (Owners[size_t(FHookId - WH_MIN)] == this)
        Owners[size_t(FHookId - WH_MIN)] = nullptr;
    FHandler.reset();
    FHookId = 0;
}

LRESULT TWindowsHook::CallNext(int Code, WPARAM WParam, LPARAM LParam) const
{
    return ::CallNextHookEx(FHook, Code, WParam, LParam);
}

TWindowsHook* TWindowsHook::Current(int HookId)
{
    return ValidKind(HookId) ? Owners[size_t(HookId - WH_MIN)] : nullptr;
}
