#include "skin/paint/sGraphUtils_Compose.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "skin/paint/sGraphUtils_Colors.h"

namespace kvPaint {

namespace {

bool Usable(const TBitmapRows& B)
{
    return !B.Empty() && (B.BytesPerPixel == 3 || B.BytesPerPixel == 4);
}

bool IsColor(const uint8_t* p, TColor C)
{
    return p[0] == BlueOf(C) && p[1] == GreenOf(C) && p[2] == RedOf(C);
}

uint32_t Pixel32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// ((a - b) * m + b * 256) shr 8: m = 0 gives b, 255 almost a.
inline uint8_t MaskMix(int a, int b, int m)
{
    return uint8_t(((a - b) * m + b * 256) >> 8);
}

// ((s - d) * k + d * 256) shr 8: k = 0 keeps d.
inline uint8_t Over(int s, int d, int k)
{
    return uint8_t(((s - d) * k + d * 256) >> 8);
}

void PutColor(uint8_t* d, TColor C)
{
    d[0] = BlueOf(C);
    d[1] = GreenOf(C);
    d[2] = RedOf(C);
}

// One copy between two bitmaps: W x H pixels from (SX, SY) to (DX, DY).
struct TkvCopy {
    int SX, SY, DX, DY, W, H;
};

// A source rectangle with Right and Bottom included, cut to Src, placed at
// (X, Y) and cut to Dst.  Coordinates are summed in 64 bits: any int is
// accepted without overflow.
bool ClipInclusive(const TkvRect& S, int64_t X, int64_t Y, const TBitmapRows& Src, const TBitmapRows& Dst,
                   TkvCopy& c)
{
    const int64_t left = std::max(S.Left, 0), top = std::max(S.Top, 0);
    const int64_t right = std::min(S.Right, Src.Width - 1), bottom = std::min(S.Bottom, Src.Height - 1);
    TkvSpan s;
    if (!ClipArea(X, Y, right - left + 1, bottom - top + 1, Dst.Width, Dst.Height, s))
        return false;
    // What is left lies inside both bitmaps.
    c = {int(left + s.CutX), int(top + s.CutY), s.X, s.Y, s.W, s.H};
    return true;
}

// Destination rectangle R1 and source rectangle R2 (exclusive): negative
// lefts and tops move both origins, and the copy is as large as both
// rectangles and both bitmaps allow.  Summed in 64 bits, like ClipInclusive.
bool ClipPair(const TkvRect& R1, const TkvRect& R2, const TBitmapRows& Dst, const TBitmapRows& Src, TkvCopy& c)
{
    const int64_t dx = std::max<int64_t>(0, -int64_t(std::min(R1.Left, R2.Left)));
    const int64_t dy = std::max<int64_t>(0, -int64_t(std::min(R1.Top, R2.Top)));
    const int64_t DX = R1.Left + dx, SX = R2.Left + dx, DY = R1.Top + dy, SY = R2.Top + dy;
    const int64_t W = std::min({int64_t(R1.Right) - R1.Left - dx, int64_t(R2.Right) - R2.Left - dx, Dst.Width - DX,
                                Src.Width - SX});
    const int64_t H = std::min({int64_t(R1.Bottom) - R1.Top - dy, int64_t(R2.Bottom) - R2.Top - dy, Dst.Height - DY,
                                Src.Height - SY});
    if (W <= 0 || H <= 0)
        return false;
    // Both origins are at least 0 and lie inside their bitmaps now.
    c = {int(SX), int(SY), int(DX), int(DY), int(W), int(H)};
    return true;
}

// The background pixel behind destination pixel (x, y), or nullptr when it
// lies outside the background bitmap.
const uint8_t* BackPixel(const TkvBack& CI, int x, int y)
{
    const int64_t bx = int64_t(CI.X) + x, by = int64_t(CI.Y) + y;
    if (!Usable(CI.Bmp) || bx < 0 || by < 0 || bx >= CI.Bmp.Width || by >= CI.Bmp.Height)
        return nullptr;
    return CI.Bmp.Pixel(int(bx), int(by));
}

// What happens to a key-colour pixel of a masked copy.
enum class TKeyMode { Mix, Stay, Background, Fill };

struct TMaskCopy {
    TkvCopy C;
    int MaskRow0;         // mask row of source row C.SY
    TKeyMode Key;
    int MixAlpha = -1;    // alpha written with mixed and background pixels (-1 none)
    int FillAlpha = -1;   // alpha written with fill-colour pixels (-1 none)
};

void MaskCopy24(const TMaskCopy& m, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI)
{
    const int db = Dst.BytesPerPixel, sb = Src.BytesPerPixel;
    for (int i = 0; i < m.C.H; ++i) {
        const int dy = m.C.DY + i;
        uint8_t* d = Dst.Pixel(m.C.DX, dy);
        const uint8_t* s = Src.Pixel(m.C.SX, m.C.SY + i);
        const uint8_t* k = Src.Pixel(m.C.SX, m.MaskRow0 + i);
        for (int x = 0; x < m.C.W; ++x, d += db, s += sb, k += sb) {
            if (m.Key != TKeyMode::Mix && IsColor(s, kvKeyColor)) {
                if (m.Key == TKeyMode::Background) {
                    if (const uint8_t* b = BackPixel(CI, m.C.DX + x, dy)) {
                        std::copy_n(b, 3, d);
                        if (db == 4 && m.MixAlpha >= 0)
                            d[3] = uint8_t(m.MixAlpha);
                    }
                } else if (m.Key == TKeyMode::Fill) {
                    PutColor(d, CI.FillColor);
                    if (db == 4 && m.FillAlpha >= 0)
                        d[3] = uint8_t(m.FillAlpha);
                }
                continue;
            }
            for (int c = 0; c < 3; ++c)
                d[c] = MaskMix(d[c], s[c], k[c]);
            if (db == 4 && m.MixAlpha >= 0)
                d[3] = uint8_t(m.MixAlpha);
        }
    }
}

// The alpha-over rule of a run of 32-bit source pixels over Dst pixels of
// Bpp bytes, 4 pixels at a time: each colour byte d becomes
// ((s - d) * k + d * 256) shr 8 with k = A, or (100 - Blend) * A div 100
// when Blend is not 0.  The fourth byte of each destination pixel keeps its
// value, or becomes 255 with Opaque (4-byte pixels only).  With StopAtKey
// the run ends before a group holding a key pixel (0x00FF00FF as one
// integer, or its colour bytes with KeyColourOnly), which the caller treats
// one by one.  Whole groups only (16 pixels for 3-byte destinations); the
// caller does the rest by the same rule.
struct TOverRun {
    int Blend = 0;               // 0..100
    bool Opaque = false;
    bool StopAtKey = false;
    bool KeyColourOnly = false;  // the key test reads the colour bytes only
};

#if defined(__SSE2__)
// k = (100 - Blend) * A div 100 for A in the low byte of each 32-bit lane;
// (x * 41944) shr 22 is x div 100 for every x up to 25500.
inline __m128i FadedAlpha(__m128i A, int Blend)
{
    const __m128i x = _mm_mullo_epi16(A, _mm_set1_epi32(100 - Blend));
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi32(41944)), 6);
}

// Four pixels: S and D as four 32-bit lanes each.  Bytes 0 and 2 of each
// pixel (blue, red) and bytes 1 and 3 (green, alpha) are worked as 16-bit
// lanes side by side, which needs no unpacking: shifts, masks, adds and
// 16-bit multiplies only (also cheap where SSE2 is emulated).
inline __m128i OverGroup(__m128i S, __m128i D, const TOverRun& Run)
{
    const __m128i even = _mm_set1_epi32(0x00FF00FF);
    __m128i k = _mm_srli_epi32(S, 24);
    if (Run.Blend != 0)
        k = FadedAlpha(k, Run.Blend);
    // k of each pixel in both 16-bit lanes of its 32-bit lane.
    k = _mm_or_si128(k, _mm_slli_epi32(k, 16));
    const __m128i k2 = _mm_sub_epi16(_mm_set1_epi16(256), k);
    // s * k + d * (256 - k) is at most 65280: 16-bit lanes hold it exactly.
    const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(S, even), k),
                                                    _mm_mullo_epi16(_mm_and_si128(D, even), k2)),
                                      8);
    const __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(S, 8), k), _mm_mullo_epi16(_mm_srli_epi16(D, 8), k2));
    // hi's results sit in the upper byte of each 16-bit lane already.
    const __m128i mixed = _mm_or_si128(lo, _mm_andnot_si128(even, hi));
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i top = Run.Opaque ? _mm_set1_epi32(int(0xFF000000u)) : _mm_andnot_si128(colour, D);
    return _mm_or_si128(_mm_and_si128(mixed, colour), top);
}

inline bool HasKey(__m128i S, const TOverRun& Run)
{
    if (Run.KeyColourOnly)
        S = _mm_and_si128(S, _mm_set1_epi32(0x00FFFFFF));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(S, _mm_set1_epi32(0x00FF00FF))) != 0;
}

// Four 3-byte pixels at the start of Q spread to four 32-bit lanes (the
// fourth byte of each lane is whatever follows the pixel), and back: the
// colour bytes of four lanes gathered into bytes 0..11, the rest 0.
inline __m128i Spread3(__m128i Q)
{
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(Q, _mm_srli_si128(Q, 3)),
                              _mm_unpacklo_epi32(_mm_srli_si128(Q, 6), _mm_srli_si128(Q, 9)));
}

inline __m128i Pack3(__m128i R)
{
    // Pixels 0 and 1 into bytes 0..5, pixels 2 and 3 into bytes 8..13, then 6..11.
    const __m128i first = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i second = _mm_set_epi32(0x0000FFFF, int(0xFF000000u), 0x0000FFFF, int(0xFF000000u));
    const __m128i pairs = _mm_or_si128(_mm_and_si128(R, first), _mm_and_si128(_mm_srli_epi64(R, 8), second));
    const __m128i low6 = _mm_set_epi32(0, 0, 0x0000FFFF, -1), next6 = _mm_set_epi32(0, -1, int(0xFFFF0000u), 0);
    return _mm_or_si128(_mm_and_si128(pairs, low6), _mm_and_si128(_mm_srli_si128(pairs, 2), next6));
}
#endif

// Pixels From..N-1 of a row (D and S at its pixel 0); returns the first
// pixel not done.
inline int OverRun(uint8_t* D, int Bpp, const uint8_t* S, int N, const TOverRun& Run, int From = 0)
{
    int x = From;
#if defined(__SSE2__)
    if (Bpp == 4) {
        for (; x + 4 <= N; x += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(S + 4 * x));
            if (Run.StopAtKey && HasKey(s, Run))
                break;
            __m128i* d = reinterpret_cast<__m128i*>(D + 4 * x);
            _mm_storeu_si128(d, OverGroup(s, _mm_loadu_si128(d), Run));
        }
    } else if (Bpp == 3) {
        // Sixteen pixels (48 bytes) a step, so that no load reads what the
        // step before has just stored.
        for (; x + 16 <= N; x += 16) {
            const __m128i* s = reinterpret_cast<const __m128i*>(S + 4 * x);
            const __m128i s0 = _mm_loadu_si128(s), s1 = _mm_loadu_si128(s + 1), s2 = _mm_loadu_si128(s + 2),
                          s3 = _mm_loadu_si128(s + 3);
            if (Run.StopAtKey && (HasKey(s0, Run) || HasKey(s1, Run) || HasKey(s2, Run) || HasKey(s3, Run)))
                break;
            __m128i* d = reinterpret_cast<__m128i*>(D + 3 * x);
            const __m128i a = _mm_loadu_si128(d), b = _mm_loadu_si128(d + 1), c = _mm_loadu_si128(d + 2);
            // The four 12-byte quarters, each at the start of a register.
            const __m128i q0 = a, q1 = _mm_or_si128(_mm_srli_si128(a, 12), _mm_slli_si128(b, 4)),
                          q2 = _mm_or_si128(_mm_srli_si128(b, 8), _mm_slli_si128(c, 8)), q3 = _mm_srli_si128(c, 4);
            const __m128i p0 = Pack3(OverGroup(s0, Spread3(q0), Run)), p1 = Pack3(OverGroup(s1, Spread3(q1), Run)),
                          p2 = Pack3(OverGroup(s2, Spread3(q2), Run)), p3 = Pack3(OverGroup(s3, Spread3(q3), Run));
            _mm_storeu_si128(d, _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
            _mm_storeu_si128(d + 1, _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
            _mm_storeu_si128(d + 2, _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
        }
    }
#else
    (void)D;
    (void)Bpp;
    (void)S;
    (void)N;
    (void)Run;
#endif
    return x;
}

// A 32-bit image laid over Dst by its own alpha (first CopyByMask form).
void AlphaCopy32(const TkvCopy& c, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI, TKeyMode Key)
{
    const int db = Dst.BytesPerPixel;
    TOverRun run;
    run.Opaque = db == 4;
    run.StopAtKey = Key != TKeyMode::Mix;
    run.KeyColourOnly = true;
    for (int i = 0; i < c.H; ++i) {
        const int dy = c.DY + i;
        uint8_t* row = Dst.Pixel(c.DX, dy);
        const uint8_t* srow = Src.Pixel(c.SX, c.SY + i);
        for (int x = OverRun(row, db, srow, c.W, run); x < c.W; x = OverRun(row, db, srow, c.W, run, x + 1)) {
            uint8_t* d = row + x * db;
            const uint8_t* s = srow + 4 * x;
            if (Key != TKeyMode::Mix && IsColor(s, kvKeyColor)) {
                if (Key == TKeyMode::Background)
                    if (const uint8_t* b = BackPixel(CI, c.DX + x, dy)) {
                        std::copy_n(b, 3, d);
                        if (db == 4)
                            d[3] = 255;
                    }
                continue;
            }
            for (int ch = 0; ch < 3; ++ch)
                d[ch] = Over(s[ch], d[ch], s[3]);
            if (db == 4)
                d[3] = 255;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------
void RotatePixels(const TBitmapRows& Src, const TBitmapRows& Dst, bool CW)
{
    const int bpp = Src.BytesPerPixel;
    if (!Usable(Src) || Src.Width < 2 || Src.Height < 2 || Dst.BytesPerPixel != bpp || Dst.Width != Src.Height ||
        Dst.Height != Src.Width)
        return;
    for (int y = 0; y < Src.Height; ++y) {
        const uint8_t* s = Src.Row(y);
        for (int x = 0; x < Src.Width; ++x, s += bpp) {
            const int tx = CW ? Src.Height - 1 - y : y, ty = CW ? x : Src.Width - 1 - x;
            std::copy_n(s, bpp, Dst.Pixel(tx, ty));
        }
    }
}

void SumBitmaps(const TBitmapRows& Dst, const TBitmapRows& Src, uint8_t W)
{
    if (Dst.Width != Src.Width || Dst.Height != Src.Height || Dst.BytesPerPixel != Src.BytesPerPixel)
        return;
    // Each format with its own blender: a 32-bit pair blends alpha too.
    TkvFastSum24 sum24;
    TkvFastSum32 sum32;
    TkvFastSum& sum = Src.BytesPerPixel == 4 ? static_cast<TkvFastSum&>(sum32) : sum24;
    if (!sum.Attach(Src, Dst))
        return;
    sum.Alpha = W;
    sum.BlendBitmaps();
}

void SumBmpRect(const TBitmapRows& Dst, const TBitmapRows& Src, uint8_t W, TkvRect SrcRect, TkvPoint DstPoint)
{
    // In 64 bits: moving a corner by the other's overhang may leave the range of int.
    int64_t left = SrcRect.Left, top = SrcRect.Top, x = DstPoint.X, y = DstPoint.Y;
    if (x < 0) {
        left -= x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        y = 0;
    }
    if (left < 0) {
        x -= left;
        left = 0;
    }
    if (top < 0) {
        y -= top;
        top = 0;
    }
    if (left >= SrcRect.Right || top >= SrcRect.Bottom || x >= Dst.Width || y >= Dst.Height || left >= Src.Width ||
        top >= Src.Height)
        return;
    // Both corners lie inside their bitmaps now.
    SrcRect.Left = int(left);
    SrcRect.Top = int(top);
    DstPoint = {int(x), int(y)};
    const int w = std::min(std::min(SrcRect.Right, Src.Width) - SrcRect.Left, Dst.Width - DstPoint.X);
    const int h = std::min(std::min(SrcRect.Bottom, Src.Height) - SrcRect.Top, Dst.Height - DstPoint.Y);
    if (Dst.BytesPerPixel != Src.BytesPerPixel)
        return;
    TkvFastSum24 sum24;
    TkvFastSum32 sum32;
    TkvFastSum& sum = Src.BytesPerPixel == 4 ? static_cast<TkvFastSum&>(sum32) : sum24;
    if (!sum.Attach(Src, Dst))
        return;
    sum.Alpha = W;
    sum.DstX1 = DstPoint.X;
    sum.DstY1 = DstPoint.Y;
    sum.DstX2 = DstPoint.X + w;
    sum.DstY2 = DstPoint.Y + h;
    sum.SrcX1 = SrcRect.Left;
    sum.SrcY1 = SrcRect.Top;
    sum.SrcX2 = SrcRect.Left + w;
    sum.SrcY2 = SrcRect.Top + h;
    sum.BlendBitmapsRect();
}

void SumBitmapsByMask(const TBitmapRows& Out, const TBitmapRows& Src1, const TBitmapRows& Src2,
                      const TBitmapRows* Msk, int Percent)
{
    if (!Usable(Out) || !Usable(Src1) || !Usable(Src2) || Src1.Width != Src2.Width || Src1.Height != Src2.Height)
        return;
    const int w = Src1.Width, h = Src1.Height;
    if (Out.Width < w || Out.Height < h || (Msk && (!Usable(*Msk) || Msk->Width < w || Msk->Height < h)))
        return;
    const int pct = std::clamp(Percent, 0, 256);
    const int ob = Out.BytesPerPixel, b1 = Src1.BytesPerPixel, b2 = Src2.BytesPerPixel, mb = Msk ? Msk->BytesPerPixel : 0;
    for (int y = 0; y < h; ++y) {
        uint8_t* o = Out.Row(y);
        const uint8_t* s1 = Src1.Row(y);
        const uint8_t* s2 = Src2.Row(y);
        const uint8_t* m = Msk ? Msk->Row(y) : nullptr;
        for (int x = 0; x < w; ++x, o += ob, s1 += b1, s2 += b2)
            for (int c = 0; c < 3; ++c)
                o[c] = MaskMix(s1[c], s2[c], m ? m[x * mb + c] : pct);
    }
}

namespace {

// R cut to the common area of three bitmaps.
bool ClipToAll(const TkvRect& R, const TBitmapRows& A, const TBitmapRows& B, const TBitmapRows& C, TkvSpan& s)
{
    return ClipRect(R, std::min({A.Width, B.Width, C.Width}), std::min({A.Height, B.Height, C.Height}), s);
}

} // namespace

void SumByMask(const TBitmapRows& Bmp1, const TBitmapRows& Bmp2, const TBitmapRows& Msk, const TkvRect& R)
{
    TkvSpan s;
    if (!Usable(Bmp1) || !Usable(Bmp2) || !Usable(Msk) || !ClipToAll(R, Bmp1, Bmp2, Msk, s))
        return;
    for (int y = s.Y; y < s.Y + s.H; ++y) {
        uint8_t* a = Bmp1.Pixel(s.X, y);
        const uint8_t* b = Bmp2.Pixel(s.X, y);
        const uint8_t* m = Msk.Pixel(s.X, y);
        for (int x = 0; x < s.W; ++x, a += Bmp1.BytesPerPixel, b += Bmp2.BytesPerPixel, m += Msk.BytesPerPixel)
            for (int c = 0; c < 3; ++c)
                a[c] = MaskMix(a[c], b[c], m[c]);
    }
}

void SumByMaskWith32(const TBitmapRows& Bmp1, const TBitmapRows& Bmp2, const TBitmapRows& Msk, const TkvRect& R)
{
    TkvSpan s;
    if (!Usable(Bmp1) || Bmp2.BytesPerPixel != 4 || !Usable(Bmp2) || !Usable(Msk) || !ClipToAll(R, Bmp1, Bmp2, Msk, s))
        return;
    for (int y = s.Y; y < s.Y + s.H; ++y) {
        uint8_t* a = Bmp1.Pixel(s.X, y);
        const uint8_t* b = Bmp2.Pixel(s.X, y);
        const uint8_t* m = Msk.Pixel(s.X, y);
        for (int x = 0; x < s.W; ++x, a += Bmp1.BytesPerPixel, b += 4, m += Msk.BytesPerPixel)
            if (m[2] != 255)
                for (int c = 0; c < 3; ++c)
                    a[c] = Over(b[c], a[c], b[3]);
    }
}

void BlendBmpByMask(const TBitmapRows& Bmp, const TBitmapRows& Msk, TColor BlendColor)
{
    if (!Usable(Bmp) || !Usable(Msk) || Bmp.Width != Msk.Width || Bmp.Height != Msk.Height)
        return;
    const uint8_t col[3] = {BlueOf(BlendColor), GreenOf(BlendColor), RedOf(BlendColor)};
    for (int y = 0; y < Bmp.Height; ++y) {
        uint8_t* p = Bmp.Row(y);
        const uint8_t* m = Msk.Row(y);
        for (int x = 0; x < Bmp.Width; ++x, p += Bmp.BytesPerPixel, m += Msk.BytesPerPixel)
            for (int c = 0; c < 3; ++c)
                p[c] = MaskMix(p[c], col[c], m[c]);
    }
}

// ---------------------------------------------------------------------------
void CopyTransBitmaps(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TColor TransColor)
{
    TkvCopy c;
    if (!Usable(Dst) || !Usable(Src) || !ClipInclusive({0, 0, Src.Width - 1, Src.Height - 1}, X, Y, Src, Dst, c))
        return;
    const int db = Dst.BytesPerPixel, sb = Src.BytesPerPixel;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += db, s += sb)
            if (!IsColor(s, TransColor)) {
                std::copy_n(s, 3, d);
                if (db == 4)
                    d[3] = 255;
            }
    }
}

void CopyTransRectA(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect, TColor TransColor)
{
    TkvCopy c;
    if (Dst.Empty() || Src.Empty() || Dst.BytesPerPixel != 3 || Src.BytesPerPixel != 3 ||
        !ClipInclusive(SrcRect, X, Y, Src, Dst, c))
        return;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += 3, s += 3)
            if (!IsColor(s, TransColor))
                std::copy_n(s, 3, d);
    }
}

namespace {

// Key pixels take the background; Dst alpha 255 when 32-bit.
void CopyTransOverBack(const TkvCopy& c, const TBitmapRows& Dst, const TBitmapRows& Src, TColor TransColor,
                       const TkvBack& CI, bool DstIsBack)
{
    const int db = Dst.BytesPerPixel, sb = Src.BytesPerPixel;
    // A 32-bit destination is only served from a 32-bit background.
    if (db == 4 && CI.Bmp.BytesPerPixel != 4)
        return;
    for (int i = 0; i < c.H; ++i) {
        const int dy = c.DY + i;
        uint8_t* d = Dst.Pixel(c.DX, dy);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += db, s += sb) {
            const uint8_t* from = s;
            if (IsColor(s, TransColor)) {
                from = DstIsBack ? nullptr : BackPixel(CI, c.DX + x, dy);
                if (!from)
                    continue;
            }
            std::copy_n(from, 3, d);
            if (db == 4)
                d[3] = 255;
        }
    }
}

void CopyTrans24(const TkvCopy& c, const TBitmapRows& Dst, const TBitmapRows& Src, TColor TransColor,
                 const TkvBack& CI)
{
    const int db = Dst.BytesPerPixel;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += db, s += 3) {
            const bool key = IsColor(s, TransColor);
            if (key && CI.Ready)
                continue;
            if (key)
                PutColor(d, CI.FillColor);
            else
                std::copy_n(s, 3, d);
            if (db == 4 && !CI.Ready)
                d[3] = 255;
        }
    }
}

void CopyTrans32(const TkvCopy& c, const TBitmapRows& Dst, const TBitmapRows& Src, TColor TransColor,
                 const TkvBack& CI)
{
    // The whole pixel (blue, green, red, zero) is the key.
    const uint32_t key = uint32_t(BlueOf(TransColor)) | uint32_t(GreenOf(TransColor)) << 8 |
                         uint32_t(RedOf(TransColor)) << 16;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += 4, s += 4) {
            if (Pixel32(s) != key)
                std::copy_n(s, 4, d);
            else if (!CI.Ready) {
                PutColor(d, CI.FillColor);
                d[3] = TopOf(CI.FillColor);
            }
        }
    }
}

} // namespace

void CopyTransRect(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect, TColor TransColor,
                   const TkvBack& CI, bool UpdateTrans, bool DstIsBack)
{
    TkvCopy c;
    if (!Usable(Dst) || !Usable(Src) || !ClipInclusive(SrcRect, X, Y, Src, Dst, c))
        return;
    if (UpdateTrans && CI.Ready && Usable(CI.Bmp))
        CopyTransOverBack(c, Dst, Src, TransColor, CI, DstIsBack);
    else if (Src.BytesPerPixel == 3)
        CopyTrans24(c, Dst, Src, TransColor, CI);
    else if (Dst.BytesPerPixel == 4)
        CopyTrans32(c, Dst, Src, TransColor, CI);
}

void CopyRect(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect)
{
    TkvCopy c;
    if (!Usable(Dst) || !Usable(Src) || !ClipInclusive(SrcRect, X, Y, Src, Dst, c))
        return;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        if (Dst.BytesPerPixel == 3 && Src.BytesPerPixel == 3)
            std::copy_n(s, std::size_t(c.W) * 3, d);
        else
            for (int x = 0; x < c.W; ++x, d += Dst.BytesPerPixel, s += Src.BytesPerPixel)
                std::copy_n(s, 3, d);
    }
}

// ---------------------------------------------------------------------------
void CopyByMask(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
                bool UpdateTrans)
{
    TMaskCopy m;
    if (!Usable(Dst) || !Usable(Src) || !ClipPair(R1, R2, Dst, Src, m.C))
        return;
    if (Src.BytesPerPixel == 4) {
        const TKeyMode key = !CI.Ready ? TKeyMode::Mix : (UpdateTrans ? TKeyMode::Background : TKeyMode::Stay);
        AlphaCopy32(m.C, Dst, Src, CI, key);
        return;
    }
    m.MaskRow0 = Src.Height / 2 + m.C.SY;
    // Mask rows past the image's end are not read.
    m.C.H = std::min(m.C.H, Src.Height - m.MaskRow0);
    if (m.C.H < 1)
        return;
    m.Key = !CI.Ready ? TKeyMode::Mix : (UpdateTrans ? TKeyMode::Background : TKeyMode::Stay);
    MaskCopy24(m, Dst, Src, CI);
}

void CopyByMaskData(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
                    bool UpdateTrans, int MaskHeight)
{
    TMaskCopy m;
    if (!Usable(Dst) || !Usable(Src) || !ClipPair(R1, R2, Dst, Src, m.C))
        return;
    m.MaskRow0 = int(std::max<int64_t>(0, std::min<int64_t>(int64_t(m.C.SY) + MaskHeight / 2, Src.Height - m.C.H)));
    if (CI.Ready && UpdateTrans) {
        const int cb = CI.Bmp.BytesPerPixel;
        if (cb != 3 && cb != 4)
            return;
        m.Key = TKeyMode::Background;
        if (cb == 4 && Dst.BytesPerPixel == 4)
            m.MixAlpha = 255;
    } else if (CI.Ready) {
        m.Key = TKeyMode::Mix;
    } else if (!UpdateTrans) {
        m.Key = TKeyMode::Stay;
    } else {
        m.Key = TKeyMode::Fill;
        m.FillAlpha = TopOf(CI.FillColor);
    }
    MaskCopy24(m, Dst, Src, CI);
}

// ---------------------------------------------------------------------------
namespace {

struct TAlphaLook {
    bool Gray;
    uint8_t Tint[3];  // GrayedColor's B, G, R
};

// One pixel of a 32-bit image over a destination pixel with alpha k.
inline void OverPixel(uint8_t* d, const uint8_t* s, int k, const TAlphaLook& look)
{
    if (!look.Gray) {
        for (int c = 0; c < 3; ++c)
            d[c] = Over(s[c], d[c], k);
        return;
    }
    const int g = (s[0] + s[1] + s[2]) / 3;
    for (int c = 0; c < 3; ++c)
        d[c] = Over(std::min(255, RoundEven(g * look.Tint[c] / 255.0)), d[c], k);
}

void Reflect32(const TkvCopy& c, const TBitmapRows& Dst, const TBitmapRows& Src, int DstBottom, int SrcBottom,
               int Blend, const TAlphaLook& look)
{
    const int half = Src.Height / 2;
    const int64_t rows = std::min<int64_t>(half - 1, int64_t(Dst.Height) - DstBottom - 1);
    if (rows < 1)
        return;
    const int drop = 255 / half;
    int f = 255;
    for (int t = 1; t <= rows; ++t, f -= drop) {
        const int64_t dy = int64_t(DstBottom) + t, sy = int64_t(SrcBottom) - t - 1;
        if (dy < 0 || dy >= Dst.Height || sy < 0 || sy >= Src.Height)
            continue;
        uint8_t* d = Dst.Pixel(c.DX, int(dy));
        const uint8_t* s = Src.Pixel(c.SX, int(sy));
        for (int x = 0; x < c.W; ++x, d += Dst.BytesPerPixel, s += 4) {
            if (Pixel32(s) == 0x00FF00FFu)
                continue;
            int k;
            if (Blend != 0) {
                k = (100 - Blend) * s[3] / 300 * f / 255;
                if (k < 1)
                    continue;
            } else {
                k = f * (s[3] / 3) / 255;
            }
            OverPixel(d, s, k, look);
        }
    }
}

} // namespace

void CopyBmp32(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
               bool UpdateTrans, TColor GrayedColor, int Blend, bool Reflected)
{
    // A negative fade would push alpha past 255; one past 100 shows nothing, as 100.
    Blend = std::clamp(Blend, 0, 100);
    TkvCopy c;
    if (!Usable(Dst) || Src.Empty() || Src.BytesPerPixel != 4 || !ClipPair(R1, R2, Dst, Src, c))
        return;
    const TAlphaLook look{GrayedColor != kvNoColor, {BlueOf(GrayedColor), GreenOf(GrayedColor), RedOf(GrayedColor)}};
    const int db = Dst.BytesPerPixel;
    // Greyed images go pixel by pixel; the others in groups, up to key pixels.
    TOverRun run;
    run.Blend = Blend;
    run.StopAtKey = CI.Ready;
    const auto groups = [&](uint8_t* Row, const uint8_t* SRow, int From) {
        return look.Gray ? From : OverRun(Row, db, SRow, c.W, run, From);
    };
    for (int i = 0; i < c.H; ++i) {
        const int dy = c.DY + i;
        uint8_t* row = Dst.Pixel(c.DX, dy);
        const uint8_t* srow = Src.Pixel(c.SX, c.SY + i);
        for (int x = groups(row, srow, 0); x < c.W; x = groups(row, srow, x + 1)) {
            uint8_t* d = row + x * db;
            const uint8_t* s = srow + 4 * x;
            if (CI.Ready && Pixel32(s) == 0x00FF00FFu) {
                if (UpdateTrans)
                    if (const uint8_t* b = BackPixel(CI, c.DX + x, dy))
                        std::copy_n(b, 3, d);
                continue;
            }
            const int k = Blend == 0 ? s[3] : (100 - Blend) * s[3] / 100;
            if (k <= 0)
                continue;  // nothing of the image shows
            OverPixel(d, s, k, look);
        }
    }
    if (Reflected)
        Reflect32(c, Dst, Src, R1.Bottom, R2.Bottom, Blend, look);
}

// ---------------------------------------------------------------------------
void BlendTransRectangle(const TBitmapRows& Dst, int X, int Y, const TBitmapRows& Src, TkvRect SrcRect, double Blend,
                         TColor TransColor)
{
    if (!Usable(Dst) || !Usable(Src))
        return;
    // A negative source corner moves the destination instead (in 64 bits).
    int64_t x = X, y = Y;
    if (SrcRect.Top < 0) {
        y -= SrcRect.Top;
        SrcRect.Top = 0;
    }
    if (SrcRect.Left < 0) {
        x -= SrcRect.Left;
        SrcRect.Left = 0;
    }
    TkvCopy c;
    if (!ClipInclusive(SrcRect, x, y, Src, Dst, c))
        return;
    const bool keyed = TopOf(TransColor) != 255;
    const int db = Dst.BytesPerPixel, sb = Src.BytesPerPixel;
    for (int i = 0; i < c.H; ++i) {
        uint8_t* d = Dst.Pixel(c.DX, c.DY + i);
        const uint8_t* s = Src.Pixel(c.SX, c.SY + i);
        for (int x = 0; x < c.W; ++x, d += db, s += sb) {
            if (keyed && (sb == 4 ? Pixel32(s) == uint32_t(TransColor) : IsColor(s, TransColor)))
                continue;
            for (int ch = 0; ch < 3; ++ch)
                d[ch] = uint8_t(ClampByte(RoundEven(s[ch] - Blend * (s[ch] - d[ch]))));
        }
    }
}

void BlendTransBitmap(const TBitmapRows& Bmp, double Blend, TColor Color, TColor TransColor)
{
    if (!Usable(Bmp))
        return;
    const uint8_t col[3] = {BlueOf(Color), GreenOf(Color), RedOf(Color)};
    uint8_t table[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            table[c][v] = uint8_t(ClampByte(RoundEven(col[c] + Blend * (v - col[c]))));
    const int bpp = Bmp.BytesPerPixel;
    for (int y = 0; y < Bmp.Height; ++y) {
        uint8_t* p = Bmp.Row(y);
        for (int x = 0; x < Bmp.Width; ++x, p += bpp) {
            if (bpp == 4 ? Pixel32(p) == uint32_t(TransColor) : IsColor(p, TransColor))
                continue;
            for (int c = 0; c < 3; ++c)
                p[c] = table[c][p[c]];
        }
    }
}

// ---------------------------------------------------------------------------
namespace {

// Colours along one gradient axis of Extent pixels: a band of A from Color1
// toward the middle, a plateau, and a band of B from the middle toward Color2.
std::vector<TColor> ThreeBands(int Extent, TColor Color1, TColor Color2, int A, int B)
{
    const TColor mid = AverageColor(Color1, Color2);
    std::vector<TColor> out(std::size_t(Extent > 0 ? Extent : 0));
    auto step = [](TColor from, TColor to, int j, int n) {
        auto ch = [&](uint8_t f, uint8_t t) { return ClampByte(RoundEven(f + j * (double(t) - f) / n)); };
        return MakeColor(ch(RedOf(from), RedOf(to)), ch(GreenOf(from), GreenOf(to)), ch(BlueOf(from), BlueOf(to)));
    };
    for (int j = 0; j < Extent; ++j)
        out[j] = j < A ? step(Color1, mid, j, A) : step(Color1, mid, A - 1, A);
    for (int j = 0; j < B && j < Extent; ++j)
        out[Extent - B + j] = step(mid, Color2, j, B);
    return out;
}

int BandSize(int Size, int Percent, int Extent)
{
    return int(std::max<int64_t>(1, std::min<int64_t>(std::max<int64_t>(int64_t(Size) * Percent / 100, 1), Extent)));
}

} // namespace

void GradientBmp(const TBitmapRows& Bmp, TkvRect R, TColor Color1, TColor Color2, int GradType, int Percent1,
                 int Percent2, int Size)
{
    TkvSpan s;
    if (!Usable(Bmp) || !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    const int bpp = Bmp.BytesPerPixel;
    const bool across = GradType == 1;  // gtLeftRight
    const int extent = across ? s.W : s.H;
    std::vector<TColor> along = ThreeBands(extent, Color1, Color2, BandSize(Size, Percent1, extent),
                                           BandSize(Size, Percent2, extent));
    std::vector<TColor> down;
    if (GradType == 2) {
        // Bands at every edge: the nearer edge's band decides.
        down = ThreeBands(s.H, Color1, Color2, BandSize(Size, Percent1, s.H), BandSize(Size, Percent2, s.H));
        along = ThreeBands(s.W, Color1, Color2, BandSize(Size, Percent1, s.W), BandSize(Size, Percent2, s.W));
    }
    for (int y = 0; y < s.H; ++y) {
        uint8_t* p = Bmp.Pixel(s.X, y + s.Y);
        for (int x = 0; x < s.W; ++x, p += bpp) {
            TColor c;
            if (GradType == 2) {
                const int dx = std::min(x, s.W - 1 - x), dy = std::min(y, s.H - 1 - y);
                c = dx <= dy ? along[x] : down[y];
            } else {
                c = along[across ? x : y];
            }
            PutColor(p, c);
        }
    }
}

} // namespace kvPaint
