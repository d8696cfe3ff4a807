// sButton: the skinned push button.  Owner-drawn while skinned, it paints
// from its cache bitmap, cuts its window region to the shape of the skin's
// button border, and shows a pressed look that survives a fade cut short.
// TsPushButtonCore is what it shares with the skinned bit button.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/controls/StdCtrls.h"
#include "skin/controls/sCtrlFrame.h"
#include "skin/core/sCommonData.h"

// ---------------------------------------------------------------------------
// The window region, the paint handler that applies it, the painting state
// and the press and release of a skinned windowed push button.
class TsPushButtonCore {
public:
    TsPushButtonCore(TButton& Button, TsFrameHost& Host, TsCtrlFrame& Frame);
    // Deletes a region still held (one never handed to the window).
    ~TsPushButtonCore();
    TsPushButtonCore(const TsPushButtonCore&) = delete;
    TsPushButtonCore& operator=(const TsPushButtonCore&) = delete;

    // The window region must be rebuilt at the next paint; cleared once the
    // new region is applied.
    bool RegionChanged = true;
    // The bounds when the region was last applied.
    TRect LastRect;
    bool Down = false;
    // The default or focused button (SetButtonStyle).
    bool IsFocused = false;
    bool MouseClicked = false;
    // Set while the region is handed to the window: the position messages
    // SetWindowRgn sends are not a change of bounds.
    bool ApplyingRegion = false;
    // A position message that may mean new bounds: the region is renewed.
    void BoundsMayChange(bool Changed);
    // Passes Message to the class library's button, which may click it and
    // so free it; true while the button lives.
    static bool PassOn(TButton& Button, TsFrameHost& Host, TMessage& Message);

    // 2 pressed, 1 hot, 0 normal.
    int CurrentState();
    // The region held between a cache rebuild and the next paint (nullptr
    // when none); NoRegionYet before the first one is applied.
    HRGN Region() const { return FRegion; }
    bool RegionApplied() const { return FRegion != NoRegionYet(); }

    // Cache steps: a fresh region when it must be renewed, then the border
    // mask painted and its transparent pixels cut out of the region.
    void NewRegionIfChanged();
    void PaintBorder(int State);
    // Sub-command 24 and skin removal: the held region goes.
    void DropRegion();
    // Skin removal: the window gets its full rectangle back.
    void RemoveWindowRegion();

    // The paint handler (WM_PAINT, WM_PRINT) with the region's renewal.
    void PaintHandler(HDC DC);

    // The press and release, with their fades and hints.  Answer false when
    // the inherited handling must not follow (a release whose press began
    // elsewhere, for the caption-only button).
    void MouseDown(TMouseButton Button);
    bool MouseUp(TMouseButton Button, bool InheritedWithoutPress);

private:
    static HRGN NoRegionYet() { return reinterpret_cast<HRGN>(1); }
    void DeleteHeldRegion();
    void ApplyRegion(HDC DC, bool Redraw);
    TsCommonData* Data() { return FHost.FrameSkinData(); }
    TButton& FButton;
    TsFrameHost& FHost;
    TsCtrlFrame& FFrame;
    HRGN FRegion = NoRegionYet();
};

// ---------------------------------------------------------------------------
class TsButton : public TButton, public TsFrameHost {
    KV_CLASS(TsButton)
    KV_PUBLISHED
public:
    explicit TsButton(TComponent* AOwner);
    ~TsButton() override;
    void AfterConstruction() override;
    void Loaded() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    bool Down() const { return FCore->Down; }
    void SetDown(bool Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    int FocusMargin() const { return FFocusMargin; }
    void SetFocusMargin(int Value) { FFocusMargin = Value; }
    TsDisabledKind DisabledKind() const { return FFrame->DisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TkvAnimatEvents AnimatEvents() const { return FFrame->AnimatEvents; }
    void SetAnimatEvents(TkvAnimatEvents Value) { FFrame->AnimatEvents = Value; }
    // Kept for the applications that set it; the button does not read it.
    bool Active = false;

    void WndProc(TMessage& Message) override;
    void SetButtonStyle(bool ADefault) override;
    virtual int CurrentState() { return FCore->CurrentState(); }
    // Rebuilds the cache bitmap.
    void PrepareCache() override;

    // The parts the tests and painters read.
    bool RegionChanged() const { return FCore->RegionChanged; }
    TsPushButtonCore& Core() { return *FCore; }
    // The running fade, nil when none.
    TsFadeTimer* Fade() const { return FFrame->FadeTimer; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    // An owner-drawn item is the whole button.
    void CNMeasureItem(TMessage& Message) override;
    virtual void DoDrawText(TRect& R, UINT Flags);
    virtual void DrawCaption();
    virtual TRect CaptionRect();
    TSize TextRectSize();
    int MaxCaptionWidth();

    // TsFrameHost
    TWinControl* FrameControl() override { return this; }
    TsCommonData* FrameSkinData() override { return FCommonData.get(); }
    void InheritedWndProc(TMessage& Message) override { TButton::WndProc(Message); }
    bool OwnPaintHandler(HDC DC) override;
    void SkinSetAdapt() override;
    void SkinRemovedAdapt() override;
    bool OwnSkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    bool IgnoresKillFocusWhileDestroying() override { return true; }
    void FadeFrameArrived() override { FCore->DropRegion(); }
    bool ActionDisabled() override;

private:
    bool Skinned() const;
    void SetOwnerDrawn(bool Value);
    std::unique_ptr<TsCommonData> FCommonData;
    // After the skin data, so that it goes first.
    std::unique_ptr<TsCtrlFrame> FFrame;
    std::unique_ptr<TsPushButtonCore> FCore;
    bool FShowFocus = true;
    int FFocusMargin = 1;
};
