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
    ~TOutputWindow() override;
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

// What a layered show needs of the window being shown: a skinned form with
// its provider and extended-border window, or a skinned dialog with its
// wrapper.  The forms layer implements it.
class TsAnimShowSeam {
public:
    virtual ~TsAnimShowSeam() = default;
    // The form or dialog itself.
    virtual HWND RealWindow() = 0;
    // The extended-border window; 0 when the window has none.
    virtual HWND BorderWindow() = 0;
    // Renders the window's image into its cache (PaintAll); the size of
    // that cache is the animation's size.
    virtual TSize RenderImage() = 0;
    // Paints the window (and its children) into Bmp; kvPrintDC is set.
    virtual void PaintInto(TBitmap* Bmp) = 0;
    // Where the cache's origin lies left of and above the real window.
    virtual TPoint BorderOffset() = 0;
    // The show has ended at MaxTransparency: a form using alpha blending
    // takes it as its AlphaBlendValue, a dialog gets its region again.
    virtual void ShowEnded(int MaxTransparency) { (void)MaxTransparency; }
    // The region the border window takes once the form itself is drawn
    // again (0: none); the caller hands it to SetWindowRgn.
    virtual HRGN BorderRegion() { return nullptr; }
};

// The constant alpha of frame Frame (0 .. Steps) of a layered show, which
// grows by MaxTransparency / Divisor per frame up to MaxTransparency.
int LayeredFrameAlpha(int Frame, int Divisor, int MaxTransparency);
// Where frame Frame of an atAero show of a W x H image is stretched to.
TRect AeroFrameRect(int Frame, int Steps, int W, int H);
// Shows Dst on the layered window Wnd in Steps + 1 frames, pausing between
// them; Divisor as for LayeredFrameAlpha.
void ShowLayeredFrames(HWND Wnd, TBitmap* Dst, int Steps, int Divisor, int MaxTransparency, TkvAnimType AnimType);

// A form with an extended-border window shown in Time ms.
void AnimShowForm(TsAnimShowSeam& Form, WORD Time, int MaxTransparency, TkvAnimType AnimType);
// The layered path of AnimShowControl for a skinned form: False (nothing
// done) when layered windows are missing or the form's provider offers no
// show interface.
bool AnimShowLayeredForm(TWinControl* Ctrl, WORD Time, int MaxTransparency, TkvAnimType AnimType);
// A skinned system dialog shown in Time ms.
void AnimShowDlg(TsAnimShowSeam& Dlg, WORD Time, int MaxTransparency, TkvAnimType AnimType);
