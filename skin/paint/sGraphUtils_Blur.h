// The separable Gaussian blur of 8- and 24-bit bitmaps and the blend of a
// blurred text mask into a bitmap (the glow around captions), free of
// Windows headers.
#pragma once

#include <vector>

#include "skin/paint/sAlphaGraph_Fast.h"

namespace kvPaint {

using TKernelSize = int;  // 1..100

// Weights of the taps -Size..Size, normalised to a sum of 1.
struct TKernel {
    TKernelSize Size = 1;
    float Weights[201] = {};  // index j + 100 for tap j
    float Weight(int j) const { return Weights[j + 100]; }
};

// The kernel of Radius, trimmed from both ends until the dropped weight
// reaches 1/510 (half a step of the largest sample value 255).
TKernel BuildBlurKernel(double Radius);

// Trunc(X) inside [Lower, Upper), else the nearer limit.
int LimitReal(int Lower, int Upper, double X);
// I clamped into [Lower, Upper].
int LimitInt(int Lower, int Upper, int I);

// One line of N pixels of Bpp bytes (1 or 3), Stride bytes apart; edge
// pixels repeat.  Buffer holds N * Bpp bytes.
void BlurLine(const TKernel& K, uint8_t* Line, int N, std::ptrdiff_t Stride, int Bpp, uint8_t* Buffer);

// Rows, then columns, of an 8-bit (1 byte) or 24-bit (3 bytes) bitmap.
// Nothing for other formats or a Radius that is not above 0.
void Blur(const TBitmapRows& Bmp, double Radius);

// Mask byte m (of an 8-bit mask whose pixel (0, 0) lies at (X, Y) of Dst)
// pulls each colour channel c of Dst toward Color: C + (c - C) * m / 255;
// bytes of 255 and positions outside Dst are left alone; a 32-bit pixel's
// alpha becomes max(0, A + m - 255).  24- and 32-bit Dst only.
void BlendGlow(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, TColor Color);

// The glow rule for one channel value C of a colour, every mask byte m and
// channel byte c at once: Table[m * 256 + c] = C + (c - C) * m / 255.
using TGlowTable = std::vector<uint8_t>;
TGlowTable MakeGlowTable(int C);
// BlendGlow by the tables of the colour's blue, green and red (one look-up
// a channel instead of the arithmetic, for glows painted again and again).
void BlendGlow(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, const TGlowTable* const Tables[3]);

} // namespace kvPaint
