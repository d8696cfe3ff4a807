// Fill and blend primitives of sAlphaGraph on a bitmap's row view, free of
// Windows headers.  Every routine cuts its rectangle to the bitmaps once, so
// a wrong rectangle from a caller never reaches memory outside them.
#pragma once

#include "skin/paint/sAlphaGraph_Fast.h"

namespace kvPaint {

// The opaque 32-bit pixel value of a TColor (R and B exchanged, top 0xFF).
uint32_t SwapColor(TColor Color);
// B, G, R of each pixel of R (Right and Bottom excluded) become
// Round(old * Percent / 100 + colour * (1 - Percent / 100)); a 32-bit alpha
// stays.  24- and 32-bit bitmaps only.
void BlendColorRect(const TBitmapRows& Bmp, const TkvRect& R, int Percent, TColor RGB);
// The alpha byte of every pixel of R of a 32-bit bitmap.
void FillAlphaRect(const TBitmapRows& Bmp, const TkvRect& R, uint8_t Value);
// R of a 32-bit bitmap filled with the opaque pixel of Color.
void FillRect32(const TBitmapRows& Bmp, const TkvRect& R, TColor Color);
// R of a 24-bit bitmap filled with the colour bytes of RGB (in pixel order).
void FillRect24(const TBitmapRows& Bmp, const TkvRect& R, TColor RGB);
// Destination pixel (R.Left + x, R.Top + y) of 32-bit Dst takes source pixel
// (Offset.X + x, Offset.Y + y) of 32-bit Src where the key test passes: with
// no KeyImage the destination's colour bytes are the key colour; otherwise
// the colour bytes of KeyImage's pixel at KeyOrigin + (x, y) are.
void FillTransPixels32(const TBitmapRows& Dst, const TBitmapRows& Src, const TkvRect& R, TkvPoint Offset,
                       const TBitmapRows* KeyImage, TkvPoint KeyOrigin);

} // namespace kvPaint
