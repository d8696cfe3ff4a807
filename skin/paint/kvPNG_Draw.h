// The drawing side of the PNG picture (kvPNG).
#pragma once

class TBitmap;

// Clears fully transparent white pixels (B, G, R 255 and alpha 0) of a
// 32-bit bitmap to 0 in all four bytes, so that blending them adds no
// white; other bitmaps are left alone.
void UpdateTransPixels(TBitmap* Bmp);
