// The test control: a small in-process COM server that answers to the Flash
// class id with the properties, methods and FSCommand event the viewer
// uses.  Besides the COM exports it has a few plain exports through which a
// test in the same process injects faults and reads what the control saw;
// TTestFlashServer loads them.  Header-only, shared by the server and the
// tests that use it.
#pragma once

#include <windows.h>

#include <string>

// What the next controls do wrong.
struct TTestFlashFaults {
    BOOL FailCreate;     // the class factory refuses to make one
    BOOL FailActivate;   // in-place activation starts, then reports failure
    BOOL FailCalls;      // every dispatch call raises an exception
    BOOL NoClassInfo;    // the event interface is not named (IProvideClassInfo2 missing)
    BOOL RefuseWMode;    // only setting WMode raises an exception
};

// The text of the calls a control logs: "name=value" entries joined by "|".
constexpr wchar_t TestFlashLogSeparator = L'|';

// The names the control answers variable requests (FlashCopyData's
// "KVGV") with its own properties rather than movie variables.
#define TEST_FLASH_PROPERTY_PREFIX L"kv:"

extern "C" {
using TTestFlashResetProc = void (*)(const TTestFlashFaults* Faults);
using TTestFlashCountProc = LONG (*)();
using TTestFlashTextProc = int (*)(wchar_t* Buffer, int Size);
using TTestFlashGetProc = int (*)(const wchar_t* Name, wchar_t* Buffer, int Size);
using TTestFlashWindowProc = HWND (*)();
using TTestFlashFireProc = HRESULT (*)(const wchar_t* Command, const wchar_t* Args, BOOL FromOtherThread);
using TTestFlashRegisterProc = HRESULT(STDAPICALLTYPE*)();
}

// The server loaded into the test's process (the same module COM loads).
class TTestFlashServer {
public:
    explicit TTestFlashServer(const std::wstring& Path) : FModule(LoadLibraryW(Path.c_str()))
    {
        if (!FModule)
            return;
        Reset_ = Proc<TTestFlashResetProc>("KvTestFlashReset");
        LiveObjects_ = Proc<TTestFlashCountProc>("KvTestFlashLiveObjects");
        HeldReferences_ = Proc<TTestFlashCountProc>("KvTestFlashHeldReferences");
        Log_ = Proc<TTestFlashTextProc>("KvTestFlashLog");
        Get_ = Proc<TTestFlashGetProc>("KvTestFlashGet");
        Window_ = Proc<TTestFlashWindowProc>("KvTestFlashWindow");
        Fire_ = Proc<TTestFlashFireProc>("KvTestFlashFire");
        Register_ = Proc<TTestFlashRegisterProc>("DllRegisterServer");
        Unregister_ = Proc<TTestFlashRegisterProc>("DllUnregisterServer");
    }
    ~TTestFlashServer()
    {
        if (FModule)
            FreeLibrary(FModule);
    }
    TTestFlashServer(const TTestFlashServer&) = delete;
    TTestFlashServer& operator=(const TTestFlashServer&) = delete;

    bool Loaded() const { return FModule && Reset_ && LiveObjects_ && Fire_ && Register_; }
    HRESULT Register() const { return Register_(); }
    HRESULT Unregister() const { return Unregister_(); }
    // Clears the log; the faults hold for the controls made from now on.
    void Reset(const TTestFlashFaults& Faults = {}) const { Reset_(&Faults); }
    // Control objects alive.
    LONG LiveObjects() const { return LiveObjects_(); }
    // References the controls hold on the container's objects (sites, frames, sinks).
    LONG HeldReferences() const { return HeldReferences_(); }
    std::wstring Log() const { return Text(Log_); }
    // A property ("Movie", "Scale", "WMode", "Quality2") or a movie variable of the last control.
    std::wstring Get(const std::wstring& Name) const
    {
        wchar_t buffer[1024] = {};
        Get_(Name.c_str(), buffer, 1024);
        return buffer;
    }
    // The window of the last control activated in place (nullptr when none).
    HWND Window() const { return Window_(); }
    // The last control raises FSCommand.
    HRESULT Fire(const std::wstring& Command, const std::wstring& Args, bool FromOtherThread = false) const
    {
        return Fire_(Command.c_str(), Args.c_str(), FromOtherThread);
    }

private:
    template <class F>
    F Proc(const char* Name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(FModule, Name)));
    }
    static std::wstring Text(TTestFlashTextProc Proc)
    {
        int n = Proc(nullptr, 0);
        std::wstring s(size_t(n > 0 ? n : 0) + 1, L'\0');
        Proc(s.data(), int(s.size()));
        s.resize(size_t(n > 0 ? n : 0));
        return s;
    }

    HMODULE FModule;
    TTestFlashResetProc Reset_ = nullptr;
    TTestFlashCountProc LiveObjects_ = nullptr;
    TTestFlashCountProc HeldReferences_ = nullptr;
    TTestFlashTextProc Log_ = nullptr;
    TTestFlashGetProc Get_ = nullptr;
    TTestFlashWindowProc Window_ = nullptr;
    TTestFlashFireProc Fire_ = nullptr;
    TTestFlashRegisterProc Register_ = nullptr;
    TTestFlashRegisterProc Unregister_ = nullptr;
};
