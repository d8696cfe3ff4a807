// Panels, splitters and timers.
#pragma once

#include <windows.h>

#include "classlib/graphics/GdiHandles.h"
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
// TSplitter: a bar between an aligned control and the rest of its parent;
// dragging it resizes that control (the one it touches on its aligned side).
// The new size stays between MinSize and what leaves MinSize for the rest;
// with AutoSnap a size at MinSize or below closes the control (size 0).
// While dragging, rsUpdate resizes at once, rsLine and rsPattern show an
// inverted bar on the parent and resize on release, rsNone only resizes on
// release.
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
using TCanResizeEvent = TMethod<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
    KV_CLASS(TSplitter)
    KV_PUBLISHED
public:
    explicit TSplitter(TComponent* AOwner);
    ~TSplitter() override;

    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool Value);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value > 0 ? Value : 1; }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The cursor follows the direction of the bar.
    void RequestAlign() override;
    virtual bool CanResize(int& NewSize);
    // A drag is under way.
    bool Sizing() const { return FControl != nullptr; }
    // Ends a drag as it stands, without resizing (the bar on the parent
    // goes); nothing without a drag.
    void StopSizing();

private:
    // The control the bar sizes: the visible, enabled one next to its
    // aligned side.
    TControl* FindSizedControl() const;
    void CalcSplitSize(int X, int Y, int& NewSize, int& Split) const;
    bool DoCanResize(int& NewSize);
    void UpdateControlSize();
    void StartSizing(int X, int Y);
    void AllocateLineDC();
    void ReleaseLineDC();
    void DrawLine();
    bool Vertical() const { return FAlign == alLeft || FAlign == alRight; }

    bool FAutoSnap = true;
    bool FBeveled = false;
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsPattern;
    // The drag.
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FMaxSize = 0;
    int FNewSize = 0;
    int FOldSize = -1;
    int FSplit = 0;
    bool FLineVisible = false;
    HWND FLineWnd = nullptr;
    HDC FLineDC = nullptr;
    HGDIOBJ FPrevBrush = nullptr;
    GdiObject<HBRUSH> FPatternBrush;
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
