// The skinned scroll box (TsScrollBox): a framed scrolling area painted from
// the skin ("PANEL_LOW" by default) with the library's skinned scroll bars,
// events around scrolling, and an optional wheel that gives the form's
// active control the first turn and otherwise scrolls the box (turns of the
// wheel smaller than a notch add up).  GUI thread only.
#pragma once

#include "classlib/controls/Forms.h"
#include "skin/core/sCommonData.h"

class TkvScrollWnd;

using TsPaintEvent = TMethod<void(TBitmap* ControlBmp)>;

class TsScrollBox : public TScrollingWinControl {
    KV_CLASS(TsScrollBox)
    KV_PUBLISHED
public:
    explicit TsScrollBox(TComponent* AOwner);
    ~TsScrollBox() override;
    void AfterConstruction() override;
    void Loaded() override;
    void SetParent(TWinControl* AParent) override;
    void WndProc(TMessage& Message) override;
    void ScrollBy(int DeltaX, int DeltaY) override;

    TsCommonData* SkinData() const { return FCommonData; }
    TControlCanvas* Canvas() const { return FCanvas; }
    bool AutoMouseWheel() const { return FAutoMouseWheel; }
    void SetAutoMouseWheel(bool Value) { FAutoMouseWheel = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The width of the frame round the client area.
    int FrameWidth() const;

    TsPaintEvent OnPaint;
    TNotifyEvent OnBeforeScroll;
    TNotifyEvent OnAfterScroll;

    // The skinned scroll bars, nil while there are none.
    TkvScrollWnd* ListSW = nullptr;

    virtual void PrepareCache();
    // The client area (and, direct, the frame) into aDC, the window's
    // context when 0.
    virtual void Paint(HDC aDC, bool SendUpdated);
    // A wheel turn forwarded by the box's form (its provider finds the box
    // under the cursor): handled as one that reached the box itself.
    bool MouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
    {
        return DoMouseWheel(Shift, WheelDelta, MousePos);
    }

protected:
    void CreateParams(TCreateParams& Params) override;
    // The class library's own painting never runs.
    void PaintWindow(HDC) override {}
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos) override;
    void CMCtl3DChanged(TMessage& Message) override;

private:
    void PaintCached(HDC DC);
    void PaintDirect(HDC DC);
    bool Command(TMessage& Message);
    bool SkinnedCommand(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void AfterMessage(const TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPrint(TMessage& Message);
    void ScrollBegin(const TMessage& Message);
    void ScrollEnd(const TMessage& Message);
    bool Cached() const;
    TsCommonData* FCommonData;
    TControlCanvas* FCanvas;
    bool FAutoMouseWheel = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FAutoFrameSize = false;
    // Wheel turns not yet worth a notch (120).
    int FWheelRest = 0;
    // ScrollBegin switched redrawing off (a thumb drag of a cached box):
    // ScrollEnd switches it on whatever became of the drag meanwhile.
    bool FRedrawOff = false;
};

// Scrolls Box so that AControl shows.
void SkinScrollInView(TControl* AControl, TsScrollBox* Box);
