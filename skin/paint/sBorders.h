// Borders of windowed controls: the frame painted into a control's cache,
// a whole-window border whose transparent corners are cut out of the
// window's region, and the piece copy both use.
#pragma once

#include <windows.h>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sMaskData.h"

class TsCommonData;

// The inclusive source rectangle of the image's bitmap onto the inclusive
// destination rectangle of the 24-bit Bmp (the smaller of the two, cut to
// both bitmaps): through the mask for an image with one, else copied.  With
// UpdateRgn, key-colour pixels are not drawn and each run of them in a row
// is removed from Rgn (when given).  Nothing for a negative destination
// coordinate, a Bmp under 2 x 2 or an image without manager.
void CopyMask(int DstX1, int DstY1, int DstX2, int DstY2, int SrcX1, int SrcY1, int SrcX2, int SrcY2, TBitmap* Bmp,
              HRGN Rgn, const TsMaskData& MaskData, bool UpdateRgn);

// Frame State of a border image over the whole Bmp; its corners' key-colour
// pixels are cut out of the window region Rgn.  An image without frames
// counts as one frame over its whole bitmap.
void PaintRgnBorder(TBitmap* Bmp, HRGN Rgn, bool Filling, const TsMaskData& MaskData, int State);

// Paints the border of a windowed control into its cache bitmap (the border
// image over R, a band of the background colour out to BorderWidth) and
// copies the BorderWidth frame to DC when DC is not the cache's own.
// Returns the rectangle inside the border: R shrunk by BorderWidth when it
// is given, else by the image's border widths (R itself without either).
TRect PaintBorderFast(HDC DC, const TRect& R, int BorderWidth, TsCommonData* SkinData, int State);
