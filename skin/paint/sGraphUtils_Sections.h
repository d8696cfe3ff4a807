// Painting a skin section: its background layers (colour, texture,
// gradient) over what lies behind the control, its corner glyphs and its
// border; window regions cut from transparent pixels of bitmaps and border
// images.
//
// R is the rectangle to paint inside Bmp (Right and Bottom excluded).  CI
// describes the parent's image behind the control (CI.X, CI.Y: the
// control's origin in CI.Bmp); Offset is R's origin inside the control.
// SkinManager nil means the default manager.  State 0 is normal, any other
// state takes the section's hot values and the matching image frame.
// Texture indexes of -1 look the section's pattern up by name.
#pragma once

#include <windows.h>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"
#include "skin/core/sMaskData.h"
#include "skin/paint/sAlphaGraph_Fast.h"

// The section's background over R: a plain colour, texture or gradient
// mixed with the parent's image by the section's transparency.
// CustomColor other than the key colour paints that colour alone.
void PaintItemBG(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, int State, const TRect& R,
                 const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager = nullptr, int TextureIndex = -1,
                 int HotTextureIndex = -1, TColor CustomColor = kvKeyColor);
// The same with the texture exactly as given (no lookup, no pattern) and
// without a custom colour or masked overlay.
void PaintItemBGFast(int SkinIndex, int TextureIndex, int HotTextureIndex, const UnicodeString& Section,
                     const TCacheInfo& CI, int State, const TRect& R, const TPoint& Offset, TBitmap* Bmp,
                     TObject* SkinManager = nullptr);

// The whole section: background, corner glyphs, then the border (its
// centre when Filling).  Nothing when R is empty or not inside Bmp.
void PaintItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
               const TRect& R, const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager = nullptr,
               int TextureIndex = -1, int HotTextureIndex = -1);
// The same painted aside and copied to R of DC.
void PaintItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
               const TRect& R, const TPoint& Offset, HDC DC, TObject* SkinManager = nullptr);
// Background by PaintItemBGFast and the border image BorderIndex; no corner
// glyphs.  CI is the same on return.
void PaintItemFast(int SkinIndex, int BorderIndex, int TextureIndex, int HotTextureIndex,
                   const UnicodeString& Section, TCacheInfo& CI, bool Filling, int State, const TRect& R,
                   const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager = nullptr);
// The background and the section's "BORDERSMASK" border drawn in thirds.
void PaintSmallItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
                    const TRect& R, const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager = nullptr);
// The whole Bmp as Section (SecondSection when the skin lacks it) over
// ParentDC's image at ParentOffset, or over BGColor without ParentDC.
// The skin index used (invalid: nothing painted).
int PaintSection(TBitmap* Bmp, const UnicodeString& Section, const UnicodeString& SecondSection, int State,
                 TObject* Manager, const TPoint& ParentOffset, TColor BGColor, HDC ParentDC);

// ---------------------------------------------------------------------------
// A control's section, from its skin state.

class TsCommonData;

// The background of the control's section; with FCustomColor the owner's
// own colour alone.  The two integers are not read.
void PaintItemBG(TsCommonData* SkinData, const TCacheInfo& CI, int State, const TRect& R, const TPoint& Offset,
                 TBitmap* Bmp, int TextureIndex = -1, int HotTextureIndex = -1);
// Background, border (not in state 0 when the image's DrawMode has 2), then
// the corner glyphs.  UpdateCorners lets the border's transparent corners
// show CI.
void PaintItem(TsCommonData* SkinData, const TCacheInfo& CI, bool Filling, int State, const TRect& R,
               const TPoint& Offset, TBitmap* Bmp, bool UpdateCorners, int TextureIndex = -1,
               int HotTextureIndex = -1);
// PaintItem over what Parent answers lies behind the control.
void PaintSkinControl(TsCommonData* SkinData, TControl* Parent, bool Filling, int State, const TRect& R,
                      const TPoint& Offset, TBitmap* Bmp, bool UpdateCorners, int TextureIndex = -1,
                      int HotTextureIndex = -1);

// ---------------------------------------------------------------------------
// Regions.

// The runs of TransColor pixels of the 24-bit Bmp, row by row, as
// one-pixel-high rectangles.
void AddRgnBmp(TAOR& AOR, TBitmap* Bmp, TsColor TransColor);
// The bitmap's rectangle without its TransColor pixels.
void GetRgnFromBmp(HRGN& Rgn, TBitmap* Bmp, TColor TransColor);
// The key-colour runs of the corners of frame 0 of a border image along its
// top band (or, with Bottom, its bottom band), for a window Width wide; the
// band's rows land from VertOffset.
void AddRgn(TAOR& AOR, int Width, const TsMaskData& MaskData, int VertOffset, bool Bottom);
// A Width x Height window region without the key-colour corner pixels of
// the border image MaskIndex; 0 when it has none.
HRGN GetRgnForMask(int MaskIndex, int Width, int Height, TObject* SkinManager);
