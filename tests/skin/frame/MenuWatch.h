// Watches a popup menu that the code under test tracks (a modal loop): when
// the menu loop goes idle with its popup shown, OnOpen runs with the popup
// window, and the menu is closed.  No test waits on the menu.
#pragma once

#include <windows.h>

#include <functional>

class TMenuWatch {
public:
    explicit TMenuWatch(std::function<void(HWND Popup)> OnOpen = {}) : FOnOpen(std::move(OnOpen))
    {
        Current() = this;
        FHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &TMenuWatch::Proc, nullptr, ::GetCurrentThreadId());
    }
    ~TMenuWatch()
    {
        ::UnhookWindowsHookEx(FHook);
        Current() = nullptr;
    }
    TMenuWatch(const TMenuWatch&) = delete;
    TMenuWatch& operator=(const TMenuWatch&) = delete;

    int Opened = 0;
    HWND Popup = nullptr;

private:
    static TMenuWatch*& Current()
    {
        static TMenuWatch* current = nullptr;
        return current;
    }
    static LRESULT CALLBACK Proc(int Code, WPARAM WParam, LPARAM LParam)
    {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(LParam);
        TMenuWatch* w = Current();
        if (Code == HC_ACTION && w && m->message == WM_ENTERIDLE && m->wParam == MSGF_MENU && m->lParam &&
            !w->FClosing) {
            w->FClosing = true;
            ++w->Opened;
            w->Popup = reinterpret_cast<HWND>(m->lParam);
            if (w->FOnOpen)
                w->FOnOpen(w->Popup);
            ::EndMenu();
            w->FClosing = false;
        }
        return ::CallNextHookEx(nullptr, Code, WParam, LParam);
    }
    std::function<void(HWND)> FOnOpen;
    HHOOK FHook = nullptr;
    bool FClosing = false;
};
