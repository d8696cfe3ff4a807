#include "skin/paint/sAlphaGraph_Fast.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int RoundEven(double X)
{
    // NaN fails both tests and lands on 0.
    if (!(X > -2147483648.5 && X < 2147483647.5))
        return X > 0 ? INT32_MAX : (X < 0 ? INT32_MIN : 0);
    // The default rounding mode rounds halves to even.
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(X));
#else
    return int(std::nearbyint(X));
#endif
}

void RaiseFormatNotSupported()
{
    throw EAssertionFailed(L"Bitmap format is not supported (sAlphaGraph)");
}

bool ClipArea(int64_t X, int64_t Y, int64_t W, int64_t H, int Width, int Height, TkvSpan& Out)
{
    Out.CutX = X < 0 ? -X : 0;
    Out.CutY = Y < 0 ? -Y : 0;
    const int64_t x = X + Out.CutX, y = Y + Out.CutY;
    const int64_t w = std::min(W - Out.CutX, Width - x), h = std::min(H - Out.CutY, Height - y);
    if (w <= 0 || h <= 0) {
        Out.X = Out.Y = Out.W = Out.H = 0;
        return false;
    }
    // Inside the bitmap now, so every value fits an int.
    Out.X = int(x);
    Out.Y = int(y);
    Out.W = int(w);
    Out.H = int(h);
    return true;
}

bool ClipRect(const TkvRect& R, int Width, int Height, TkvSpan& Out)
{
    return ClipArea(R.Left, R.Top, int64_t(R.Right) - R.Left, int64_t(R.Bottom) - R.Top, Width, Height, Out);
}

// ---------------------------------------------------------------------------
namespace {

template <class Fast>
bool AttachRows(Fast& F, const TBitmapRows& Rows, int Bpp)
{
    if (Rows.Empty() || Rows.Width < 2 || Rows.Height < 2) {
        F.FWidth = 0;
        return false;
    }
    F.FWidth = Rows.Width;
    F.FHeight = Rows.Height;
    if (Rows.BytesPerPixel != Bpp) {
        F.FWidth = 0;
        RaiseFormatNotSupported();
    }
    F.FStart = Rows.First;
    F.FDelta = Rows.Step;
    return true;
}

} // namespace

bool TkvFast24::Attach(const TBitmapRows& Rows)
{
    return AttachRows(*this, Rows, 3);
}

bool TkvFast32::Attach(const TBitmapRows& Rows)
{
    return AttachRows(*this, Rows, 4);
}

void TkvFast32::FillBitmap(uint32_t Color)
{
    FillRect(TkvRect{0, 0, FWidth, FHeight}, Color);
}

void TkvFast32::FillRect(const TkvRect& R, uint32_t Color)
{
    TkvSpan s;
    if (!FStart || !ClipRect(R, FWidth, FHeight, s))
        return;
    for (int y = s.Y; y < s.Y + s.H; ++y) {
        uint8_t* p = PixelAt(s.X, y);
        for (int x = 0; x < s.W; ++x, p += 4) {
            p[0] = uint8_t(Color);
            p[1] = uint8_t(Color >> 8);
            p[2] = uint8_t(Color >> 16);
            p[3] = uint8_t(Color >> 24);
        }
    }
}

// ---------------------------------------------------------------------------
void BlendBytes(uint8_t* D, const uint8_t* S, std::size_t N, uint8_t Alpha)
{
    const unsigned a = Alpha, b = 255u - Alpha;
    std::size_t i = 0;
#if defined(__SSE2__)
    // d * a + s * b + 127 is at most 65152, so 16-bit lanes hold it exactly.
    const __m128i va = _mm_set1_epi16(short(a)), vb = _mm_set1_epi16(short(b));
    const __m128i round = _mm_set1_epi16(127), zero = _mm_setzero_si128();
    for (; i + 16 <= N; i += 16) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(D + i));
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + i));
        __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), va),
                                   _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), vb));
        __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), va),
                                   _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), vb));
        lo = _mm_srli_epi16(_mm_add_epi16(lo, round), 8);
        hi = _mm_srli_epi16(_mm_add_epi16(hi, round), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(D + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < N; ++i)
        D[i] = uint8_t((D[i] * a + S[i] * b + 127) >> 8);
}

bool TkvFastSum::Attach(const TBitmapRows& Src, const TBitmapRows& Dst)
{
    if (Src.Empty() || Dst.Empty() || Src.Width < 2 || Src.Height < 2 || Dst.Width < 2 || Dst.Height < 2)
        return false;
    if (Src.BytesPerPixel != FBpp || Dst.BytesPerPixel != FBpp)
        return false;
    FSrc = Src;
    FDst = Dst;
    FWidthDst = std::min(Src.Width, Dst.Width);
    FHeightDst = std::min(Src.Height, Dst.Height);
    FStartSrc = Src.First;
    FStartDst = Dst.First;
    FDeltaSrc = Src.Step;
    FDeltaDst = Dst.Step;
    return true;
}

void TkvFastSum::BlendBitmaps()
{
    if (!FStartDst)
        return;
    for (int y = FHeightDst - 1; y >= 0; --y)
        BlendBytes(FStartDst + y * FDeltaDst, FStartSrc + y * FDeltaSrc, std::size_t(FWidthDst) * FBpp, Alpha);
}

void TkvFastSum::BlendBitmapsRect()
{
    if (!FStartDst)
        return;
    // Destination rows whose source row (Y - DstY2 + SrcY2) and columns whose
    // source column (X - DstX1 + SrcX1) exist in both bitmaps; in 64 bits,
    // so that fields anywhere in the range of int cannot overflow.
    const int64_t dy = int64_t(SrcY2) - DstY2, dx = int64_t(SrcX1) - DstX1;
    const int64_t y1 = std::max({int64_t(DstY1), int64_t(0), -dy});
    const int64_t y2 = std::min({int64_t(DstY2), int64_t(FDst.Height), FSrc.Height - dy});
    const int64_t x1 = std::max({int64_t(DstX1), int64_t(0), -dx});
    const int64_t x2 = std::min({int64_t(DstX2), int64_t(FDst.Width), FSrc.Width - dx});
    if (x2 <= x1)
        return;
    // Every row and column left lies inside both bitmaps.
    for (int64_t y = y2 - 1; y >= y1; --y)
        BlendBytes(FDst.Pixel(int(x1), int(y)), FSrc.Pixel(int(x1 + dx), int(y + dy)), std::size_t(x2 - x1) * FBpp,
                   Alpha);
}
