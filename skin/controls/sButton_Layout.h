// sButton_Layout: the geometry and painting state of the library's push
// buttons, computed from plain facts so that painters, hit tests and tests
// share one answer.  Text sizes are given, never measured here.
#pragma once

#include <windows.h>

#include <array>

#include "classlib/controls/Buttons.h"
#include "classlib/graphics/Types.h"

// What a push button's painting state is made of.
struct TsPushStateFacts {
    bool Pushed = false;          // BM_GETSTATE answers BST_PUSHED
    bool ForcedPressed = false;   // a cut-short fade is being redrawn pressed
    bool MouseAbove = false;
    bool LButtonDownHeld = false; // csLButtonDown in ControlState
    bool Down = false;
    bool IsFocused = false;       // the default or focused button
    bool DefPushStyle = false;    // the window style says BS_DEFPUSHBUTTON
    bool ControlActive = false;
    bool DesigningDefault = false;
};
// 2 pressed, 1 hot, 0 normal.
int PushButtonState(const TsPushStateFacts& F);

// The caption rectangle of a caption-only push button whose text measures
// Text, moved by (1, 1) when pressed.
TRect ButtonCaptionRect(int Width, int Height, TSize Text, bool Pressed);

// What places a bit button's glyph.  Text is the caption's measured size
// ((0, 0) when no caption is shown).
struct TsBitBtnGeometry {
    int Width = 0, Height = 0;
    TSize Text;
    int GlyphWidth = 0, GlyphHeight = 0;
    TButtonLayout Layout = blGlyphLeft;
    TAlignment Alignment = taCenter;
    int Margin = -1;
    int Spacing = 4;
    bool ShowCaption = true;
    bool HasCaption = false;
    bool Reflected = false;
    bool Pressed = false;
};
// Where the glyph goes (GlyphWidth x GlyphHeight).
TRect BitBtnImgRect(const TsBitBtnGeometry& G);
// The width the caption may wrap in; 0 when no caption is shown.
int BitBtnMaxCaptionWidth(const TsBitBtnGeometry& G);
// The size of one glyph frame: the image list's image when the index is one
// of its images, else the glyph bitmap's frame, else nothing.
TSize BitBtnGlyphSize(bool ImageValid, TSize ImageSize, TSize GlyphBitmapSize, int NumGlyphs);

// The corner areas a button's old bounds leave behind when it shrinks
// (top-right, bottom-right, bottom-left), from the border mask's corner
// sizes; the parent repaints them when it has no cache to cover them.
std::array<TRect, 3> OldCornerRects(const TRect& LastRect, int WL, int WT, int WR, int WB);
bool ButtonShrank(const TRect& LastRect, int Width, int Height);
