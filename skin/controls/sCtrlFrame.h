// sCtrlFrame: what every skinned control of the library does alike, written
// once.  A skinned control derives from a class-library control, owns one
// TsCommonData, paints itself from the skin into a cache bitmap and copies
// that bitmap to the screen.  The control implements TsFrameHost (what the
// frame needs of it) and owns one TsCtrlFrame, which runs the window
// procedure's order, the cache protocol around the control's own drawing,
// mouse enter and leave, focus, the disabled look, fades and hints while a
// button is held.  Each control then writes only its deviations and its
// drawing.  FRAME.md beside this file is the contract in prose.
//
// Graphic controls (the speed button and its descendants) have no window
// and paint on their parent's canvas; they use the pieces they share with
// the windowed controls (the command table, hints, the background, the
// disabled look) and keep their own fade protocol.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"

class TsFadeTimer;

// ---------------------------------------------------------------------------
// Hints while a button is held: the application's hints are off from the
// press until the pressed look is drawn or the button is released.  Each
// control holds one; a control freed while it holds the hints (freed in its
// own OnClick, say) gives them back in its destructor.
class TsHintHold {
public:
    TsHintHold() = default;
    ~TsHintHold() { Release(); }
    TsHintHold(const TsHintHold&) = delete;
    TsHintHold& operator=(const TsHintHold&) = delete;

    // Saves Application.ShowHint and switches hints off, unless some control
    // already holds them.
    void Hold();
    // Gives the saved setting back when this control took it.
    void Release();
    // Gives the saved setting back whoever took it (the speed button's
    // release does so).
    void ReleaseAny();
    bool Holding() const { return FHolding; }

private:
    bool FHolding = false;
};

// ---------------------------------------------------------------------------
// What the frame needs of a skinned windowed control.
class TsFrameHost {
public:
    virtual ~TsFrameHost() = default;

    // The control itself and its skin data (nil once the destructor dropped it).
    virtual TWinControl* FrameControl() = 0;
    virtual TsCommonData* FrameSkinData() = 0;
    // The class-library ancestor's window procedure.
    virtual void InheritedWndProc(TMessage& Message) = 0;
    // Rebuilds the cache bitmap: TsCtrlFrame::BeginCache, the control's own
    // drawing, TsCtrlFrame::EndCache.
    virtual void PrepareCache() = 0;
    // A paint handler of the control's own (buttons renew their window
    // region); false leaves the paint to TsCtrlFrame::PaintHandler.
    virtual bool OwnPaintHandler(HDC) { return false; }

    // Control-specific steps of the skin messages (buttons renew their window
    // region, restore their native style); nothing by default.
    virtual void SkinSetAdapt() {}
    virtual void SkinRemovedAdapt() {}
    // The control's own entries while ready and skinned (its Part's table),
    // before the frame's common entries; true when the message is finished.
    virtual bool OwnSkinnedMessage(TMessage&) { return false; }
    // After the ancestor's procedure, besides the frame's after-steps.
    virtual void AfterInherited(TMessage&) {}
    // Check boxes, radio buttons and the group box run CommonWndProc before
    // their own entries; buttons after.
    virtual bool CommonWndProcFirst() { return false; }
    // Buttons ignore WM_KILLFOCUS while they are being destroyed.
    virtual bool IgnoresKillFocusWhileDestroying() { return false; }
    // Sub-command 24: buttons delete the region their last cache made.
    virtual void FadeFrameArrived() {}
    // The control's action is disabled (it paints the disabled look).
    virtual bool ActionDisabled() { return false; }
};

// ---------------------------------------------------------------------------
// The frame of one windowed skinned control.  The control owns it (after its
// skin data, so that it goes first) and publishes the fields below under the
// frame's names (DisabledKind, AnimatEvents, OnPaint).
class TsCtrlFrame {
public:
    explicit TsCtrlFrame(TsFrameHost& Host);
    // Stops a running fade and gives held hints back.
    ~TsCtrlFrame();
    TsCtrlFrame(const TsCtrlFrame&) = delete;
    TsCtrlFrame& operator=(const TsCtrlFrame&) = delete;

    TsDisabledKind DisabledKind{dkBlended};
    TkvAnimatEvents AnimatEvents{aeGlobalDef};
    TsFadeTimer* FadeTimer = nullptr;  // owned through StopFade
    TBmpPaintEvent OnPaint;
    TsHintHold Hints;

    // The window procedure in the frame's order (FRAME.md).
    void WndProc(TMessage& Message);

    // The cache protocol.  BeginCache asks the parent what lies behind the
    // control (PleaseDraw lets an unskinned parent paint into the cache) and
    // sizes the cache bitmap; EndCache adds the disabled look, calls OnPaint
    // and clears BGChanged.
    TCacheInfo BeginCache(bool PleaseDraw = false);
    void EndCache();

    // Copies the cache to DC (or the window's own DC when 0), rebuilding it
    // first when it is out of date.
    void PaintHandler(HDC DC);

    // Repaints after a state change, faded where the events and the skin
    // allow it.
    void ChangePaint(bool Clicked, TkvAnimatEvent Event);
    void StopFade();

    // The command sub-commands every skinned control answers alike, by the
    // table in FRAME.md; true when the message is finished.
    bool Command(TMessage& Message);

private:
    TsFrameHost& FHost;

    TsCommonData* Data() { return FHost.FrameSkinData(); }
    TWinControl* Ctrl() { return FHost.FrameControl(); }
    bool Designing();
    bool Destroying();
    bool Ready();
    void NotSkinned(TMessage& Message);
    bool CommonEntries(TMessage& Message);
    void MouseEnterLeave(TMessage& Message);
    void FocusGained(TMessage& Message);
    void FocusLost(TMessage& Message);
    void AfterSteps(TMessage& Message);
    void MoveRepaint();
};

// Focus nesting: a focus message inside the handling of another must not
// switch redraw twice.  One flag for each control unit.
class TsFocusNesting {
public:
    explicit TsFocusNesting(bool& Flag) : FFlag(Flag), FOwner(!Flag) { FFlag = true; }
    ~TsFocusNesting()
    {
        if (FOwner)
            FFlag = false;
    }
    TsFocusNesting(const TsFocusNesting&) = delete;
    TsFocusNesting& operator=(const TsFocusNesting&) = delete;
    // This scope switched the flag on (the outermost one).
    bool Outermost() const { return FOwner; }

private:
    bool& FFlag;
    bool FOwner;
};

// ---------------------------------------------------------------------------
// Pieces shared with graphic controls.

// The control's sub-commands 1, 2 and 3 are acted on only when LParam is
// its own manager.
bool OwnManagerCommand(const TMessage& Message, TsCommonData* SkinData);
// The disabled look over the cache: grey, then mixed with what lies behind.
void PaintDisabledLook(TControl* Control, TsCommonData* SkinData, TsDisabledKind Kind);
// What lies behind Control as cache info; PleaseDraw asks an unskinned
// parent to paint into the cache.
TCacheInfo ControlBackground(TControl* Control, TsCommonData* SkinData, bool PleaseDraw);
// Recomputes HalfVisible and tells whether the cache must be rebuilt for it:
// the control was, or its parent is, only partly visible.
bool HalfVisibleChanged(TControl* Control, TsCommonData* SkinData);
