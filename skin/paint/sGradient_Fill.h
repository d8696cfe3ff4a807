// Vertical and horizontal multi-piece gradients of sGradient on a bitmap's
// row view, free of Windows headers.
#pragma once

#include <vector>

#include "skin/paint/sAlphaGraph_Fast.h"

// One piece of a gradient as the kernel reads it (the fields of TsGradPie).
struct TkvGradPiece {
    TColor Color1 = 0;
    TColor Color2 = 0;
    int Percent = 0;
    int Mode1 = 0;
    int Mode2 = 0;
};

namespace kvPaint {

// The colours of a gradient along one line of Extent pixels, as
// PaintGradRows paints them: across (the first piece's Mode1 1) a row of
// pixels that is copied to every row when any piece painted it; down (Mode1
// 0) one pixel a row, each row painted or left alone.  Left is the area's
// first column (a horizontal piece's end is rounded at its column in the
// bitmap), OffsetY the vertical offset.  Other directions paint nothing.
struct TGradLine {
    int Mode = -1;                 // 0 down, 1 across, -1 nothing
    int Bpp = 3;
    std::vector<uint8_t> Pixels;   // Extent * Bpp bytes (32-bit pixels opaque)
    std::vector<uint8_t> Painted;  // down: 1 for each row a piece painted
    bool AnyPainted = false;       // across: some piece painted the row
};
TGradLine MakeGradLine(const std::vector<TkvGradPiece>& Data, int Left, int Extent, int Bpp, int OffsetY);
// Line over the area S (already cut to the bitmap, of Line's extent).
void PaintGradLine(const TBitmapRows& Bmp, const TkvSpan& S, const TGradLine& Line);

// R (cut to the bitmap) of a 24- or 32-bit bitmap (32-bit pixels get alpha
// 255) painted with the pieces, in the direction of the first piece's Mode1:
// 0 top to bottom, 1 left to right; other directions paint nothing here.
void PaintGradRows(const TBitmapRows& Bmp, TkvRect R, const std::vector<TkvGradPiece>& Data, int OffsetY);

} // namespace kvPaint
