// sThirdParty: the glyph or image-list image of a button drawn onto the
// button's skinned picture, for the library's buttons and for tool bars.
#pragma once

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ImgList.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"

// What a button painter knows of its glyph when it calls DrawBtnGlyph: the
// bit and speed buttons fill it from their own properties.
struct TsBtnGlyphInfo {
    TBitmap* Glyph = nullptr;            // may be empty
    TCustomImageList* Images = nullptr;  // used when there is no glyph
    int ImageIndex = -1;
    TRect ImgRect;                       // where the glyph goes
    int NumGlyphs = 1;
    bool Enabled = true;
    int Blend = 0;                       // percent
    bool Down = false;
    bool Grayed = false;
    int State = 0;                       // 0 normal, 1 hot, 2 pressed
    TsDisabledGlyphKind DisabledGlyphKind;
    bool Reflected = false;
    bool Skinned = false;                // the button paints from a skin section
    TColor SectionColor = clNone;        // that section's Color
    bool Active = false;                 // focused or under the mouse
    int Width = 0, Height = 0;           // the button's size
    TBitmap* Cache = nullptr;            // the button's skinned picture
};

// Draws the glyph of Info onto Canvas, or onto Info.Cache when Canvas is nil.
void DrawBtnGlyph(const TsBtnGlyphInfo& Info, TCanvas* Canvas = nullptr);

// What the library's bit and speed buttons offer the glyph painter; they
// sit in a higher layer and implement it alongside their control class.
class TsBtnGlyphSource {
public:
    virtual ~TsBtnGlyphSource() = default;
    // The button's glyph, images, state and skinned picture, as of now.
    virtual TsBtnGlyphInfo GlyphInfo() = 0;
};

// The glyph of a library button (a control implementing TsBtnGlyphSource);
// nothing for other controls.
void DrawBtnGlyph(TControl* Control, TCanvas* Canvas = nullptr);
// What the library's tool bar (a TToolBar, in a higher layer) offers the
// tool-button painter.
class TsToolBarGlyphSeam {
public:
    virtual ~TsToolBarGlyphSeam() = default;
    // The bar paints from a skin section.
    virtual bool BarSkinned() = 0;
    // The canvas of the bar's skinned picture, where captions are measured.
    virtual TCanvas* BarCacheCanvas() = 0;
};

// The image of a tool button drawn into the bar's background picture BG;
// the library's tool bar (TsToolBarGlyphSeam) lets an alpha image list, or
// any list on an unskinned bar, draw the image itself.
void CopyToolBtnGlyph(TToolBar* ToolBar, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                      TTBCustomDrawFlags Flags, TBitmap* BG);
// The number of images, 0 for nil.
int GetImageCount(TCustomImageList* ImageList);
// Hooks for a foreign control package, which this system does not carry.
void InitDevEx(bool Active);
bool CheckDevEx(TControl* Control);
