#include "classlib/controls/WindowsHook.h"

#include <algorithm>
#include <array>
#include <utility>

#include "classlib/controls/ControlsPrivate.h"

namespace {
constexpr int kKinds = WH_MAX - WH_MIN + 1;

// This thread's hook owners by kind, in a system TLS slot rather than a
// thread_local: a hook may be removed by a static destructor at exit, when
// the runtime's thread-local storage is already gone.
using TOwners = std::array<TWindowsHook*, kKinds>;

DWORD OwnersSlot()
{
    static const DWORD slot = ::TlsAlloc();
    return slot;
}

TOwners* ThreadOwners()
{
    return static_cast<TOwners*>(::TlsGetValue(OwnersSlot()));
}

TWindowsHook*& OwnerOf(int HookId)
{
    TOwners* owners = ThreadOwners();
    if (!owners) {
        owners = new TOwners{};
        ::TlsSetValue(OwnersSlot(), owners);
    }
    return (*owners)[size_t(HookId - WH_MIN)];
}

TWindowsHook* FindOwner(int HookId)
{
    TOwners* owners = ThreadOwners();
    return owners ? (*owners)[size_t(HookId - WH_MIN)] : nullptr;
}

// The table goes with the thread's last hook.
void ReleaseOwnersIfEmpty()
{
    TOwners* owners = ThreadOwners();
    if (owners && std::all_of(owners->begin(), owners->end(), [](TWindowsHook* h) { return !h; })) {
        ::TlsSetValue(OwnersSlot(), nullptr);
        delete owners;
    }
}

bool ValidKind(int HookId) { return HookId >= WH_MIN && HookId <= WH_MAX; }
} // namespace

struct TWindowsHookAccess {
    static LRESULT Call(int HookId, int Code, WPARAM WParam, LPARAM LParam)
    {
        TWindowsHook* owner = FindOwner(HookId);
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
    OwnerOf(HookId) = this;
    return true;
}

void TWindowsHook::Remove()
{
    if (!FHook)
        return;
    ::UnhookWindowsHookEx(std::exchange(FHook, nullptr));
    if (FindOwner(FHookId) == this) {
        OwnerOf(FHookId) = nullptr;
        ReleaseOwnersIfEmpty();
    }
    FHandler.reset();
    FHookId = 0;
}

LRESULT TWindowsHook::CallNext(int Code, WPARAM WParam, LPARAM LParam) const
{
    return ::CallNextHookEx(FHook, Code, WParam, LParam);
}

TWindowsHook* TWindowsHook::Current(int HookId)
{
    return ValidKind(HookId) ? FindOwner(HookId) : nullptr;
}
