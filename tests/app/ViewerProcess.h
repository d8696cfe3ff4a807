// The end-to-end tests' side of the built viewer: the process, its windows,
// and a driver that plays the movie's part through the Flash stand-in's
// WM_COPYDATA channel.  Header-only, shared by tests/app and tests/app_commands.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "classlib/ole/FlashCopyData.h"
#include "classlib/rtl/System.h"

// The viewer process; killed at the end of the scope when it still runs.
class TViewerProcess {
public:
    TViewerProcess() = default;
    TViewerProcess(const TViewerProcess&) = delete;
    TViewerProcess& operator=(const TViewerProcess&) = delete;
    ~TViewerProcess()
    {
        if (!FInfo.hProcess)
            return;
        Kill();
        CloseHandle(FInfo.hThread);
        CloseHandle(FInfo.hProcess);
    }
    // Ends the process now when it still runs.
    void Kill()
    {
        if (FInfo.hProcess && WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(FInfo.hProcess, 1);
            WaitForSingleObject(FInfo.hProcess, 5000);
        }
    }

    bool Start(const UnicodeString& exe, const UnicodeString& args, const UnicodeString& dir)
    {
        UnicodeString line = L"\"" + exe + L"\"";
        if (!args.empty())
            line += L" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                              &FInfo);
    }
    DWORD Id() const { return FInfo.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended within TimeoutMs.
    DWORD WaitExit(DWORD TimeoutMs)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(FInfo.hProcess, TimeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(FInfo.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION FInfo{};
};

inline UnicodeString ClassOf(HWND wnd)
{
    wchar_t buf[256] = {};
    GetClassNameW(wnd, buf, 256);
    return buf;
}

inline UnicodeString TextOf(HWND wnd)
{
    wchar_t buf[512] = {};
    GetWindowTextW(wnd, buf, 512);
    return buf;
}

namespace apptest {

struct TWindowSearch {
    DWORD Pid;
    const UnicodeString* Class;   // nullptr: any class
    std::vector<HWND> Found;
};

inline BOOL CALLBACK CollectWindow(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<TWindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->Pid && IsWindowVisible(w) && (!s->Class || ClassOf(w) == *s->Class))
        s->Found.push_back(w);
    return TRUE;
}

} // namespace apptest

// The visible top-level windows of process Pid (of class Class when given).
inline std::vector<HWND> TopWindows(DWORD Pid, const UnicodeString& Class = UnicodeString())
{
    apptest::TWindowSearch search{Pid, Class.empty() ? nullptr : &Class, {}};
    EnumWindows(apptest::CollectWindow, LPARAM(&search));
    return search.Found;
}

// Polls Test every 50 ms until it answers true or TimeoutMs passes.
inline bool WaitFor(DWORD TimeoutMs, const std::function<bool()>& Test)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < TimeoutMs) {
        if (Test())
            return true;
        Sleep(50);
    }
    return Test();
}

// The stand-in control of a player window (the pop-up's sits on its panel).
inline HWND FlashOf(HWND window)
{
    if (HWND flash = FindWindowExW(window, nullptr, L"TShockwaveFlash", nullptr))
        return flash;
    HWND panel = FindWindowExW(window, nullptr, L"TPanel", nullptr);
    return panel ? FindWindowExW(panel, nullptr, L"TShockwaveFlash", nullptr) : nullptr;
}

// Plays the movie's part: commands to a stand-in control, and its variables.
// The replies arrive at a message-only window while the request is sent.
class TMovieDriver {
public:
    TMovieDriver()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvMovieDriver";
        RegisterClassW(&wc);
        FWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~TMovieDriver() { DestroyWindow(FWnd); }
    TMovieDriver(const TMovieDriver&) = delete;
    TMovieDriver& operator=(const TMovieDriver&) = delete;

    // True once the control's handler has run (10 s at most).
    bool Command(HWND flash, const UnicodeString& command, const UnicodeString& args)
    {
        return Send(flash, command, args) == FlashCommandRan;
    }
    // The control's answer: FlashCommandRan, FlashCommandWaits (a dialog
    // is open: the command runs after it), or 0 (refused, or no answer).
    LRESULT Send(HWND flash, const UnicodeString& command, const UnicodeString& args)
    {
        return SendFlashCopyData(flash, FWnd, FlashCopyDataCommand, {command, args}, 10000);
    }
    // False when the control gave no answer.
    bool Variable(HWND flash, const UnicodeString& name, UnicodeString& value)
    {
        Replies().erase(name);
        if (SendFlashCopyData(flash, FWnd, FlashCopyDataGetVariable, {name}, 10000) != 1)
            return false;
        auto it = Replies().find(name);
        if (it == Replies().end())
            return false;
        value = it->second;
        return true;
    }
    // The value, or "(no answer)".
    UnicodeString Variable(HWND flash, const UnicodeString& name)
    {
        UnicodeString value;
        return Variable(flash, name, value) ? value : UnicodeString(L"(no answer)");
    }

private:
    static std::map<UnicodeString, UnicodeString>& Replies()
    {
        static std::map<UnicodeString, UnicodeString> replies;
        return replies;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_COPYDATA) {
            std::vector<UnicodeString> texts;
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (data && data->dwData == FlashCopyDataVariable && UnpackFlashTexts(data, 2, texts)) {
                Replies()[texts[0]] = texts[1];
                return 1;
            }
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    HWND FWnd = nullptr;
};

// A command whose handler shows a modal window (a save dialog, a message):
// the request waits in a worker thread while the test works the windows.
// Should the handler still run when this goes, the viewer is killed first,
// so that the request returns and the thread can be joined.
class TPendingCommand {
public:
    TPendingCommand(TViewerProcess& Viewer, HWND flash, const UnicodeString& command, const UnicodeString& args,
                    UINT TimeoutMs = 60000)
        : FViewer(Viewer)
    {
        FThread = std::thread([=, this] {
            FResult = SendFlashCopyData(flash, nullptr, FlashCopyDataCommand, {command, args}, TimeoutMs);
            FDone = true;
        });
    }
    ~TPendingCommand()
    {
        if (!FDone)
            FViewer.Kill();
        FThread.join();
    }
    TPendingCommand(const TPendingCommand&) = delete;
    TPendingCommand& operator=(const TPendingCommand&) = delete;

    // True once the handler has returned (within TimeoutMs).
    bool Finished(DWORD TimeoutMs) { return WaitFor(TimeoutMs, [this] { return FDone.load(); }); }
    // The control's answer: 1 once the handler has run, 2 when the command
    // waits its turn, 0 when the request failed.
    LRESULT Result() const { return FResult; }

private:
    TViewerProcess& FViewer;
    std::thread FThread;
    std::atomic<bool> FDone{false};
    std::atomic<LRESULT> FResult{0};
};
