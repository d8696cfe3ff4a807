// The bottom of the painting engine, free of Windows headers: rectangles,
// points and backgrounds as the pixel kernels see them, and the pixel
// accessors and rectangle blenders that both the composition loops and the
// fill and blend primitives use.  Everything works on a bitmap's row view
// (first row plus signed row step), so both row orders behave alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "classlib/graphics/BitmapRows.h"
#include "classlib/rtl/System.h"

class TBitmap;

// R in the lowest byte, then G, B and a top byte (same alias as Graphics.h).
using TColor = int32_t;

constexpr TColor kvKeyColor = 0xFF00FF;   // holes in skin images
constexpr TColor kvNoColor = 0x1FFFFFFF;  // "no colour given"

struct TkvPoint {
    int X = 0;
    int Y = 0;
};

// V limited to the range of int: sums of coordinates are formed in 64 bits
// and cut back, so that no rectangle or point overflows a computation.
inline int SaturateInt(int64_t V)
{
    return V < INT32_MIN ? INT32_MIN : (V > INT32_MAX ? INT32_MAX : int(V));
}

// Right and Bottom exclusive unless a routine says otherwise.  Width and
// Height saturate for rectangles spanning more than the range of int.
struct TkvRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return SaturateInt(int64_t(Right) - Left); }
    int Height() const { return SaturateInt(int64_t(Bottom) - Top); }
};

// What lies behind the painted area: a piece of a parent's bitmap (Bmp at
// X, Y) when Ready and Bmp is not empty, else the plain FillColor.
struct TkvBack {
    TBitmapRows Bmp;
    int X = 0;
    int Y = 0;
    TColor FillColor = 0;
    bool Ready = false;
};

inline uint8_t RedOf(TColor C) { return uint8_t(C); }
inline uint8_t GreenOf(TColor C) { return uint8_t(C >> 8); }
inline uint8_t BlueOf(TColor C) { return uint8_t(C >> 16); }
inline uint8_t TopOf(TColor C) { return uint8_t(uint32_t(C) >> 24); }
inline TColor MakeColor(int R, int G, int B, int Top = 0)
{
    return TColor(uint32_t(R & 0xFF) | uint32_t(G & 0xFF) << 8 | uint32_t(B & 0xFF) << 16 | uint32_t(Top & 0xFF) << 24);
}

// Rounds to the nearest integer, halves to the even neighbour; values past
// the range of int give its nearer limit, NaN gives 0.
int RoundEven(double X);
// Limits to 0..255.
inline int ClampByte(int V) { return V < 0 ? 0 : (V > 255 ? 255 : V); }

// Raises the class library's assertion failure of the accessors.
[[noreturn]] void RaiseFormatNotSupported();

// ---------------------------------------------------------------------------
// Pixel accessors of a 24-bit and a 32-bit bitmap.  No bounds are checked:
// callers keep X in 0..FWidth-1 and Y in 0..FHeight-1.
template <int Bpp>
class TkvFastPixels : public TObject {
public:
    TBitmap* FBitmap = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    std::ptrdiff_t FDelta = 0;
    uint8_t* FStart = nullptr;
    int FLength = 0;
    int DstStart = 0;

    uint8_t* PixelAt(int X, int Y) const { return FStart + std::ptrdiff_t(Y) * FDelta + std::ptrdiff_t(X) * Bpp; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight; }
};

class TkvFast24 : public TkvFastPixels<3> {
public:
    // False (FWidth 0) for a missing bitmap or one under 2 x 2; a bitmap of
    // another format raises "Bitmap format is not supported".
    bool Attach(TBitmap* Bmp);
    bool Attach(const TBitmapRows& Rows);
    TColor GetPixel(int X, int Y) const
    {
        const uint8_t* p = PixelAt(X, Y);
        return TColor(p[2] | p[1] << 8 | p[0] << 16);
    }
    void SetPixel(int X, int Y, TColor Value)
    {
        uint8_t* p = PixelAt(X, Y);
        p[0] = BlueOf(Value);
        p[1] = GreenOf(Value);
        p[2] = RedOf(Value);
    }
};

class TkvFast32 : public TkvFastPixels<4> {
public:
    bool Attach(TBitmap* Bmp);
    bool Attach(const TBitmapRows& Rows);
    TColor GetPixel(int X, int Y) const
    {
        const uint8_t* p = PixelAt(X, Y);
        return TColor(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16 | uint32_t(p[3]) << 24);
    }
    void SetPixel(int X, int Y, TColor Value)
    {
        uint8_t* p = PixelAt(X, Y);
        p[0] = BlueOf(Value);
        p[1] = GreenOf(Value);
        p[2] = RedOf(Value);
        p[3] = TopOf(Value);
    }
    // Color is a pixel value (B lowest, A top).
    void FillBitmap(uint32_t Color);
    // Rows Top..Bottom-1, columns Left..Right-1, cut to the bitmap.
    void FillRect(const TkvRect& R, uint32_t Color);
};

// ---------------------------------------------------------------------------
// Weighted sum of a source into a destination: every byte becomes
// (d * Alpha + s * (255 - Alpha) + 127) shr 8.
class TkvFastSum : public TObject {
protected:
    TBitmapRows FSrc;
    TBitmapRows FDst;
    int FBpp;

    explicit TkvFastSum(int Bpp) : FBpp(Bpp) {}

public:
    TBitmap* FBmpSrc = nullptr;
    TBitmap* FBmpDst = nullptr;
    int FWidthDst = 0;
    int FHeightDst = 0;
    uint8_t* FStartSrc = nullptr;
    uint8_t* FStartDst = nullptr;
    std::ptrdiff_t FDeltaSrc = 0;
    std::ptrdiff_t FDeltaDst = 0;
    uint8_t Alpha = 0;
    int DstX1 = 0, DstY1 = 0, DstX2 = 0, DstY2 = 0;
    int SrcX1 = 0, SrcY1 = 0, SrcX2 = 0, SrcY2 = 0;

    // False when either bitmap is under 2 x 2 or not of the class's format
    // (a blender bound to another format would run past its rows).
    bool Attach(TBitmap* BmpSrc, TBitmap* BmpDst);
    bool Attach(const TBitmapRows& Src, const TBitmapRows& Dst);
    void BlendBitmaps();
    // DstX1..DstX2-1 x DstY1..DstY2-1; rows aligned at the bottom edges
    // (DstY2 with SrcY2), columns at the left (DstX1 with SrcX1).  Parts of
    // either rectangle outside its bitmap are left out.
    void BlendBitmapsRect();
};

class TkvFastSum24 : public TkvFastSum {
public:
    TkvFastSum24() : TkvFastSum(3) {}
};

class TkvFastSum32 : public TkvFastSum {
public:
    TkvFastSum32() : TkvFastSum(4) {}
};

// The weighted-sum rule over N bytes (shared with the composition loops).
void BlendBytes(uint8_t* D, const uint8_t* S, std::size_t N, uint8_t Alpha);

// The part of (X, Y, W, H) that lies inside 0..Width x 0..Height, with the
// amount cut off at the left and top; false when nothing is left.  Taken in
// 64 bits, so that coordinates anywhere in the range of int clip exactly.
struct TkvSpan {
    int X, Y, W, H;          // clipped area
    int64_t CutX, CutY;      // columns and rows removed at the left and top
};
bool ClipArea(int64_t X, int64_t Y, int64_t W, int64_t H, int Width, int Height, TkvSpan& Out);
// The same for a rectangle (Right and Bottom exclusive).
bool ClipRect(const TkvRect& R, int Width, int Height, TkvSpan& Out);
