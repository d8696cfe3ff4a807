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

// R (cut to the bitmap) of a 24- or 32-bit bitmap (32-bit pixels get alpha
// 255) painted with the pieces, in the direction of the first piece's Mode1:
// 0 top to bottom, 1 left to right; other directions paint nothing here.
void PaintGradRows(const TBitmapRows& Bmp, TkvRect R, const std::vector<TkvGradPiece>& Data, int OffsetY);

} // namespace kvPaint
