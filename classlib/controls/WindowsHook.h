// An owner for a hook of the current thread (window creation, messages...):
// installed with SetWindowsHookExW for this thread only, removed when the
// owner goes.  A thread has at most one such hook of each kind, which lets
// one static procedure per kind find its handler.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

// Runs for every call of the hook with a code of 0 or more (the others go
// straight to the next hook); answers what the hook procedure returns,
// usually CallNext's answer.
using THookHandler = std::function<LRESULT(int Code, WPARAM WParam, LPARAM LParam)>;

class TWindowsHook {
public:
    TWindowsHook() = default;
    ~TWindowsHook();
    TWindowsHook(const TWindowsHook&) = delete;
    TWindowsHook& operator=(const TWindowsHook&) = delete;

    // Installs a hook of kind HookId (WH_CBT, WH_GETMESSAGE...) for this
    // thread.  Refused (false) when this owner holds a hook already, when
    // this thread has a hook of that kind through another owner, or when the
    // system refuses (a kind that cannot be hooked per thread).
    bool Install(int HookId, THookHandler Handler);
    // Unhooks; a call of the handler that is running finishes first.
    void Remove();
    bool Installed() const { return FHook != nullptr; }
    HHOOK Handle() const { return FHook; }
    int HookId() const { return FHookId; }
    // The next hook in the chain.
    LRESULT CallNext(int Code, WPARAM WParam, LPARAM LParam) const;

    // The owner of this thread's hook of kind HookId, or nullptr.
    static TWindowsHook* Current(int HookId);

private:
    friend struct TWindowsHookAccess;
    HHOOK FHook = nullptr;
    int FHookId = 0;
    std::shared_ptr<THookHandler> FHandler;
};
