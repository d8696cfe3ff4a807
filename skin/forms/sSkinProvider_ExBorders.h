// The extended-border window of a skinned window and the fade animation of
// its caption buttons.  Part of sSkinProvider.
//
// Both serve an owner: a form's provider or a dialog's skinner.  They reach
// it only through TkvFrameOwner, so either can own them.
//
// The border window (TkvBorderForm) is a layered top-level window right
// behind its owner that shows the owner's whole window image, with the
// shadow, rounded corners and wide frame the skin gives it.  Clicks on its
// frame reach the owner as non-client messages with WParam -1; over the
// shadow the mouse falls through to the window below.
//
// A caption button's fade (TkvSBAnimation) lays a small layered window over
// the button that shows its new face, or its glow, with an opacity that
// rises or falls a step per timer tick.  The animation belongs to the
// button's record alone (TsCaptionButton::Timer): whoever frees the record
// or its owner frees the animation first (KillAnimations), and an
// animation whose owner or window went stops where it is.
// GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sSkinProvider_Metrics.h"

struct TsCaptionButton;
class TsCustomSysMenu;
class TsSkinManager;
class TkvBorderForm;

// Gives Wnd the owner that Form has.  The system keeps an owned window above
// its owner: a window of the library's own that must lie right behind Form
// (or between Form and its border window) is never owned by Form itself,
// whoever the class library would make its owner.
void OwnLikeForm(HWND Wnd, HWND Form);

// What the border window and the caption-button fades ask of the window
// they serve.  Hit codes are those of the skinned caption.
class TkvFrameOwner {
public:
    virtual ~TkvFrameOwner() = default;
    // The owner's window (0 when it has none).
    virtual HWND FrameHandle() = 0;
    // The owner's skin data; its cache bitmap is the window image.
    virtual TsCommonData* FrameSkinData() = 0;
    virtual TkvBorderForm* FrameBorderForm() = 0;
    // Which caption buttons are shown and enabled.
    virtual TsCustomSysMenu* FrameSysMenu() = 0;
    virtual TRect FrameShadowSize() = 0;
    // Where the owner window's top-left lies in the window image.
    virtual TPoint FrameImageOrigin() = 0;
    // The system frame's width (without the skin's).
    virtual int FrameSysBorderWidth() = 0;
    // Rebuilds the window image when its background changed.
    virtual void FramePaintAll() = 0;
    virtual void FrameKillAnimations() = 0;
    // The caption button HitCode is hot (0: none).
    virtual void FrameSetHotHT(int HitCode) = 0;
    // The record of a caption button; nullptr for any other code.
    virtual TsCaptionButton* FrameButton(int HitCode) = 0;
    // The mask a caption button shows now (-1 none).
    virtual int FrameButtonFace(int HitCode) = 0;
    // The window image without the caption buttons, at the button's place,
    // into Dst at (0, 0).
    virtual void FrameButtonBackground(const TsCaptionButton& Btn, TBitmap* Dst) = 0;
    // A title button's own glyph, centred in Dst (nothing for other codes).
    virtual void FrameButtonGlyph(int HitCode, TBitmap* Dst, bool Pressed) = 0;
    // The owner's frame geometry (with the shadow and the border window's
    // widening): the border window's hit test reads it.
    virtual TsFrameMetrics FrameMetrics() = 0;
    // A hit code the owner's user answers first (0: none).
    virtual int FrameExtHitTest(TMessage& Message) { (void)Message; return 0; }
    // A double click on the caption's icon or title that the border window passes on.
    virtual void FrameDoubleClick(int HitCode) = 0;
    // Constant alpha of the whole window (255 unless the form is translucent).
    virtual BYTE FrameAlpha() = 0;
    // The rectangle of the client area in the border window, for a hole
    // there (empty: no hole).
    virtual TRect FrameClientHole() = 0;
    // The owner's image is shown as a whole by the border window now.
    virtual bool FrameReady() = 0;
    // The modal loop runs over the owner (the border window keeps its region).
    virtual bool FrameModal() = 0;
};

class TkvBorderForm : public TPersistent {
    KV_CLASS(TkvBorderForm)
public:
    explicit TkvBorderForm(TkvFrameOwner* AOwner);
    ~TkvBorderForm() override;

    // Repaints and places the window right behind its owner; Blend is the
    // constant alpha of the window.
    void UpdateExBordersPos(bool Redraw = true, int Blend = 255);
    // The hit code at the message's screen point in the owner's frame as
    // the border window shows it (-1: nothing there, or the owner is
    // disabled); a caption button there becomes hot.
    int Ex_WMNCHitTest(TMessage& Message);
    bool Ex_WMSetCursor(TMessage& Message);
    // The point of a mouse message (screen for non-client messages, the
    // window's own for client ones) lies over the shadow.
    bool MouseAboveTheShadow(TMessage& Message);
    // The region of the window (0: none).
    HRGN MakeRgn();
    HWND Handle() const;

    TkvFrameOwner* FOwner;
    TsCommonData* SkinData;
    bool kvInMouseMsg = false;
    TForm* AForm = nullptr;
    TWndMethod OldBorderProc;
    bool ExBorderShowing = false;
    TBitmap* ShadowTemplate = nullptr;  // not owned

private:
    void BorderProc(TMessage& Message);
    void PassThroughShadow(TMessage& Message);
    void ForwardClick(TMessage& Message, WPARAM Code);
    void DoubleClick(TMessage& Message);
    // The screen point of a message relative to the border window.
    TPoint LocalPoint(TMessage& Message, bool ClientMessage);
};

class TkvSBAnimation : public TTimer {
    KV_CLASS(TkvSBAnimation)
public:
    explicit TkvSBAnimation(TkvFrameOwner* AOwner);
    ~TkvSBAnimation() override;

    void StartAnimation(int NewState, bool ToUp);
    void ChangeState(int NewState, bool ToUp);
    // One timer step (the timer calls it every 12 ms; tests call it by hand).
    void OnAnimTimer(TObject* Sender);
    int Step() const;
    int Offset();
    TRect GetFormBounds();
    void MakeForm();
    void MakeImg();
    void UpdateForm(int Blend);
    void CheckMouseLeave();

    TkvFrameOwner* Owner;
    TkvBorderForm* BorderForm = nullptr;
    TsCommonData* SkinData = nullptr;
    HWND FormHandle = nullptr;
    TsCaptionButton* PBtnData = nullptr;
    int CurrentLevel = 0;
    int CurrentState = 0;
    bool Up = false;
    int MaxIterations = 0;
    TForm* AForm = nullptr;
    TBitmap* ABmp = nullptr;
    // The constant alpha shown last (0 before the first step).
    int ShownBlend = 0;

private:
    bool Glowing();
    int GlowMask();
    void FreeWindow();
};

// Gives a window image the alpha a border window shows: the shadow's
// margins see-through, the window inside them opaque, the skin's shadow
// template (active or inactive) around it, and the template's pixels where
// the frame's masks leave the corners transparent (the top corners from
// TopMask, the bottom ones from BottomMask; TopLeftMax > 0 keeps the
// top-left corner within that square).  Answers the template it used.
TBitmap* PaintExBorderAlpha(TBitmap* Image, const TRect& Shadow, TsSkinManager* Sm, bool Active, int TopMask,
                            int BottomMask, int TopLeftMax = 0);

// The same with a skin that draws its whole frame and title in the
// extended-border picture (ExDrawMode 1): the template is laid over the
// whole image with the corner sizes of that picture's mask (the side ones
// kept within SideLimit + the shadow unless SideLimit < 0; a skin without
// the mask frames it by the shadow widened by ExContentOffs).  The title's
// pieces are painted over it afterwards (KeepAlphaOfChangedPixels).
// Answers the template it used (nullptr: none, the image only prepared).
TBitmap* PaintExModeTemplate(TBitmap* Image, const TRect& Shadow, TsSkinManager* Sm, bool Active, int SideLimit);
// Every pixel of a 32-bit image that differs from the 32-bit copy Saved
// taken of its top-left part gets back the alpha it had there: what was
// painted over the copy shows with the opacity the picture below gave it.
void KeepAlphaOfChangedPixels(TBitmap* Image, TBitmap* Saved);

// Starts or redirects the fade of one caption button of Owner.
void StartSBAnimation(TsCaptionButton* Btn, int State, int Iterations, bool Up, TkvFrameOwner* Owner);
// Frees the fade of one caption button (nothing when it has none).
void KillAnimation(TsCaptionButton& Btn);
