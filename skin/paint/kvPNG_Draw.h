// The drawing side of the PNG picture (kvPNG): TPNGGraphic::Draw lays the
// picture over the canvas by its per-pixel alpha, and these routines turn
// pictures into icons for image lists.  Icons returned belong to the caller.
#pragma once

#include <windows.h>

#include "classlib/graphics/Graphics.h"

class TPNGGraphic;

// An icon of Bmp.  A 32-bit Bmp keeps its alpha and gets an all-opaque
// mask; any other Bmp, or any Bmp with MaskFromCorner, is made 32-bit and
// every pixel equal to its top-left one becomes transparent.
HICON MakeIcon32(TBitmap* Bmp, bool MaskFromCorner = false);
// An icon of Png with its colours and alpha; a picture under 2 x 2 pixels
// is drawn over BgColor instead, with an opaque mask.
HICON MakeCompIcon(TPNGGraphic* Png, TColor BgColor);
// Clears fully transparent white pixels (B, G, R 255 and alpha 0) of a
// 32-bit bitmap to 0 in all four bytes, so that blending them adds no
// white; other bitmaps are left alone.
void UpdateTransPixels(TBitmap* Bmp);
