// Animated change of a control's look: the old screen image is kept under
// a cover window, the new image is painted off screen, and the cover shows
// the cross-fade from one to the other in steps of 8 ms.  Part of
// sVclUtils; GUI thread only.
#pragma once

#include <windows.h>

#include <functional>

#include "classlib/controls/Controls.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"

// A window that never paints: shown, it keeps what the screen showed
// beneath it until an animation draws on it.
class TOutputWindow : public TCustomControl {
    KV_CLASS(TOutputWindow)
public:
    explicit TOutputWindow(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override {}
};

extern TBitmap* kvSrcBmp;  // the control's screen image before the change
extern TBitmap* kvDstBmp;  // its new image, for one animation
extern TOutputWindow* ow;  // the cover window of a control animation
// The pause between frames (::Sleep); a test steps frames without waiting.
extern void (*kvAnimPause)(DWORD Milliseconds);

// Frames of an animation of Time milliseconds, less the first.
inline int AnimSteps(int Time)
{
    return Time >> 3;
}
// The old image's weight in frame Frame (0 .. Steps) of a cross-fade.
int CrossFadeWeight(int Frame, int Steps);
// Draws the Steps + 1 mixed frames of Src and Dst into Target at (0, 0),
// pausing between them, then Dst itself; ShowFrame runs after each drawing.
void CrossFade(TBitmap* Src, TBitmap* Dst, int Steps, HDC Target, const std::function<void()>& ShowFrame);

// Keeps the control's present screen image under a cover window, before
// the control changes its look.
void PrepareForAnimation(TWinControl* Ctrl);
// Shows the control's new look as a cross-fade of Time milliseconds from
// the image PrepareForAnimation kept (kept now when it was not).
void AnimShowControl(TWinControl* Ctrl, WORD Time, int MaxTransparency = 255, TkvAnimType AnimType = atFading);
