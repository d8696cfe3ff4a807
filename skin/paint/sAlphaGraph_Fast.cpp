#include "skin/paint/sAlphaGraph_Fast.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int RoundEven(double X)
{
    // The default rounding mode rounds halves to even.
    return int(std::nearbyint(X));
}

void RaiseFormatNotSupported()
{
    throw EAssertionFailed(L"Bitmap format is not supported (sAlphaGraph)");
}

bool ClipArea(int X, int Y, int W, int H, int Width, int Height, TkvSpan& Out)
{
    Out.CutX = X < 0 ? -X : 0;
    Out.CutY = Y < 0 ? -Y : 0;
    Out.X = X + Out.CutX;
    Out.Y = Y + Out.CutY;
    Out.W = std::min(W - Out.CutX, Width - Out.X);
    Out.H = std::min(H - Out.CutY, Height - Out.Y);
    return Out.W > 0 && Out.H > 0;
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
    if (!FStart || !ClipArea(R.Left, R.Top, R.Width(), R.Height(), FWidth, FHeight, s))
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
    // source column (X - DstX1 + SrcX1) exist in both bitmaps.
    const int dy = SrcY2 - DstY2, dx = SrcX1 - DstX1;
    const int y1 = std::max({DstY1, 0, -dy}), y2 = std::min({DstY2, FDst.Height, FSrc.Height - dy});
    const int x1 = std::max({DstX1, 0, -dx}), x2 = std::min({DstX2, FDst.Width, FSrc.Width - dx});
    if (x2 <= x1)
        return;
    for (int y = y2 - 1; y >= y1; --y)
        BlendBytes(FDst.Pixel(x1, y), FSrc.Pixel(x1 + dx, y + dy), std::size_t(x2 - x1) * FBpp, Alpha);
}
