// Panels and timers.
#pragma once

#include <windows.h>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

// ---------------------------------------------------------------------------
// TTimer: calls OnTimer every Interval milliseconds on the GUI thread, from
// WM_TIMER of its own hidden "TPUtilWindow" window.  It runs only while
// Enabled, Interval > 0 and OnTimer is assigned; a descendant that overrides
// Timer() assigns an OnTimer (even one that does nothing) to run.
class TTimer : public TComponent {
    KV_CLASS(TTimer)
    KV_PUBLISHED
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);

    // The hidden window that receives the ticks.
    HWND WindowHandle() const { return FWindowHandle; }

protected:
    // One tick: calls OnTimer.
    virtual void Timer();

private:
    static LRESULT CALLBACK UtilWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void UpdateTimer();

    HWND FWindowHandle = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
};
