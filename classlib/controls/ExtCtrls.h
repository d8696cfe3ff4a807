// Panels and timers.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"

// ---------------------------------------------------------------------------
// Panels.

// Draws Width nested frames inside Rect, the top and left sides in TopColor,
// the bottom and right in BottomColor; Rect shrinks by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

class TCustomPanel : public TCustomControl {
    KV_CLASS(TCustomPanel)
    KV_PUBLISHED
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelWidth BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
    bool FShowCaption = true;
    bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
    KV_CLASS(TPanel)
    KV_PUBLISHED
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

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
    void WndProc(TMessage& Message);
    void UpdateTimer();

    HWND FWindowHandle = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
};

// Registers the classes of this unit for form resources.
void RegisterExtCtrlsClasses();
