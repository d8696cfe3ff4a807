// Multi-piece colour gradients described by a skin's gradient text:
// "Color1;Color2;Percent;Mode1;Mode2" groups, colours as decimal TColor
// values; vertical, horizontal or four triangles meeting in the centre.
#pragma once

#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"

// Parses Text into Data (emptied first).  A word that is not an integer
// raises EConvertError, leaving the pieces read so far.
void PrepareGradArray(const UnicodeString& Text, TsGradArray& Data);
void PaintGrad(TBitmap* Bmp, const TRect& R, const UnicodeString& Text);
// OffsetX is not used; OffsetY moves a vertical gradient's pieces.
void PaintGrad(TBitmap* Bmp, const TRect& R, const TsGradArray& Data, int OffsetX, int OffsetY);

// msimg32's GradientFill (nil when the system has none: triangles are then
// not drawn).
using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
extern TGradientFill kvGradientFill;
