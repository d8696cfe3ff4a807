// Buttons with glyphs: the bit button (an owner-drawn TButton) and the speed
// button (a graphic control, no window).  A glyph bitmap holds NumGlyphs
// frames side by side: up, disabled, down, exclusive (held down); its
// bottom-left pixel gives the colour drawn transparent.
#pragma once

#include <windows.h>

#include "classlib/controls/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// Where a button's glyph and caption go inside Client.  Glyph and text are
// centred across the layout's axis; along it, Margin -1 centres them, else
// the glyph stands Margin pixels from its edge; Spacing (-1: spread evenly)
// separates glyph and text.  Right-to-left flags swap left and right.
struct TButtonContentLayout {
    TPoint GlyphPos;
    TRect TextBounds;
};
TButtonContentLayout LayoutButtonContent(HDC DC, const TRect& Client, const UnicodeString& Caption, TSize GlyphSize,
                                         TButtonLayout Layout, int Margin, int Spacing, UINT BiDiFlags);

// The glyph, its frames and its placement, shared by both buttons.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    // The size of one frame (0 x 0 without a glyph).
    TSize GlyphSize() const;
    // Draws the frame for State at Pos; a disabled glyph without a frame of
    // its own is drawn embossed.
    void Draw(HDC DC, TPoint Pos, TButtonState State) const;
    // Layout, then glyph and caption (embossed when disabled).
    void DrawContent(HDC DC, const TRect& Client, TPoint Offset, const UnicodeString& Caption, TButtonLayout Layout,
                     int Margin, int Spacing, TButtonState State, UINT BiDiFlags) const;
    TNotifyEvent OnChange;

private:
    void GlyphChanged(TObject* Sender);
    TBitmap* FGlyph;
    int FNumGlyphs = 1;
};

// ---------------------------------------------------------------------------
class TBitBtn : public TButton {
    KV_CLASS(TBitBtn)
    KV_PUBLISHED
public:
    explicit TBitBtn(TComponent* AOwner);

    TBitmap* Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph.SetGlyph(Value); }
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // A standard kind sets caption, modal result, Default and Cancel.
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);

    void Click() override;
    // The frame of the default button is drawn by the button itself.
    void SetButtonStyle(bool ADefault) override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CNDrawItem(TMessage& Message) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    void GlyphChanged(TObject* Sender);
    TButtonGlyph FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    TBitBtnKind FKind = bkCustom;
    bool FIsFocused = false;
};

// ---------------------------------------------------------------------------
// A speed button is pressed while the mouse holds it.  With a GroupIndex it
// stays Down after a click and the others of its group (same parent, same
// index) come up; AllowAllUp lets a click bring the down one up too.
class TSpeedButton : public TGraphicControl {
    KV_CLASS(TSpeedButton)
    KV_PUBLISHED
public:
    explicit TSpeedButton(TComponent* AOwner);

    TBitmap* Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph.SetGlyph(Value); }
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    // The glyph's change event, which a skinned button may replace.
    TNotifyEvent& GlyphOnChange() { return FGlyph.OnChange; }
    // The state the button shows now: bsDown while pressed, bsExclusive while
    // held Down, bsDisabled while disabled; code that paints the button in
    // place of Paint reads it.
    TButtonState ButtonState() const { return FState; }

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    // Another button of the group went down.
    virtual void CMButtonPressed(TMessage& Message);
    // Tells the group that this button went down.
    void UpdateExclusive();

    TButtonState FState = bsUp;
    bool FMouseInControl = false;
    bool FDragging = false;

private:
    void GlyphChanged(TObject* Sender);
    TButtonGlyph FGlyph;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
};

// Registers the classes of this unit for form resources.
void RegisterButtonsClasses();
