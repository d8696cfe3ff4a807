// Pixel loops of the skin-mask renderer, free of Windows headers: glyphs
// laid over a bitmap through their mask, border pieces copied with the runs
// of key-colour pixels collected for a window region, transparent corners
// repaired from the background, and key-colour runs of a bitmap.
//
// Skin images are 24-bit.  Every loop cuts its rectangles to the bitmaps,
// so no caller's rectangle reaches memory outside them.
#pragma once

#include <vector>

#include "skin/paint/sAlphaGraph_Fast.h"

namespace kvPaint {

// The W x H glyph at (SX, SY) of Src onto (DX, DY) of Dst through the mask
// MaskOffset rows below each source pixel: key-colour pixels are left out,
// the others mixed by the mask formula.  Faint raises every mask byte by 100
// (up to 255) first.  A 32-bit Dst gets alpha 255 where written.  Rows whose
// mask would lie past Src's bottom are not drawn.
void BlendGlyph(const TBitmapRows& Dst, int DX, int DY, const TBitmapRows& Src, int SX, int SY, int W, int H,
                int MaskOffset, bool Faint);

// Area of Dst tiled with the W x H piece at (SX, SY) of the 24-bit Src
// through the mask MaskOffset rows below it: key-colour pixels leave the
// destination, the others are mixed by the mask formula, exactly as one
// masked copy per tile would do.  False (nothing drawn) unless Area lies in
// Dst and the piece and its mask lie in Src.
bool TileByMask(const TBitmapRows& Dst, const TkvRect& Area, const TBitmapRows& Src, int SX, int SY, int W, int H,
                int MaskOffset);

// A run of Length key-colour pixels starting at (X, Y).
struct TKeyRun {
    int X, Y, Length;
};

// The W x H piece at (SX, SY) of Src onto (DX, DY) of the 24-bit Dst.
// MaskOffset > 0: mixed through the mask that many rows below; 0: copied.
// With KeyHoles, key-colour pixels are not drawn and their runs (in Dst's
// coordinates, one row each) are added to Holes when it is given.
void CopyPiece(const TBitmapRows& Dst, int DX, int DY, const TBitmapRows& Src, int SX, int SY, int W, int H,
               int MaskOffset, bool KeyHoles, std::vector<TKeyRun>* Holes);

// Where the W x H image piece at (SX, SY) holds the key colour, the Cache
// pixel at (CX, CY) + (x, y) takes what lies behind it: the Back bitmap's
// pixel at the cache position plus (Back.X, Back.Y) when Back.Ready (a
// position outside it is skipped), else Back.FillColor.
void RepairCorner(const TBitmapRows& Cache, int CX, int CY, const TBitmapRows& Image, int SX, int SY, int W, int H,
                  const TkvBack& Back);

// Runs of Key-coloured pixels (TColor order) of Area, row by row, in the
// bitmap's coordinates.  24-bit bitmaps only.
std::vector<TKeyRun> KeyRuns(const TBitmapRows& Bmp, const TkvRect& Area, TColor Key);

} // namespace kvPaint
