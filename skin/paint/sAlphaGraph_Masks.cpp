#include "skin/paint/sAlphaGraph_Masks.h"

#include <algorithm>

namespace kvPaint {

namespace {

bool IsKey(const uint8_t* p)
{
    return p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;
}

// ((d - s) * m + s * 256) shr 8: m = 0 gives the source, 255 nearly keeps d.
inline uint8_t MaskMix(int d, int s, int m)
{
    return uint8_t(((d - s) * m + s * 256) >> 8);
}

// A W x H copy from (SX, SY) to (DX, DY), cut to both bitmaps; false when
// nothing is left.
struct TSpan {
    int SX, SY, DX, DY, W, H;
};

bool Cut(const TBitmapRows& Dst, const TBitmapRows& Src, TSpan& s)
{
    if (Dst.Empty() || Src.Empty())
        return false;
    // Negative origins on either side move both; in 64 bits, so that any int
    // is accepted without overflow.
    const int64_t cx = std::max({int64_t(0), -int64_t(s.SX), -int64_t(s.DX)});
    const int64_t cy = std::max({int64_t(0), -int64_t(s.SY), -int64_t(s.DY)});
    const int64_t sx = s.SX + cx, dx = s.DX + cx, sy = s.SY + cy, dy = s.DY + cy;
    const int64_t w = std::min({s.W - cx, Src.Width - sx, Dst.Width - dx});
    const int64_t h = std::min({s.H - cy, Src.Height - sy, Dst.Height - dy});
    if (w <= 0 || h <= 0)
        return false;
    // Both origins lie inside their bitmaps now.
    s = {int(sx), int(sy), int(dx), int(dy), int(w), int(h)};
    return true;
}

bool Is24or32(const TBitmapRows& B)
{
    return B.BytesPerPixel == 3 || B.BytesPerPixel == 4;
}

} // namespace

void BlendGlyph(const TBitmapRows& Dst, int DX, int DY, const TBitmapRows& Src, int SX, int SY, int W, int H,
                int MaskOffset, bool Faint)
{
    TSpan s{SX, SY, DX, DY, W, H};
    if (!Is24or32(Dst) || Src.BytesPerPixel != 3 || MaskOffset < 0 || !Cut(Dst, Src, s))
        return;
    s.H = std::min(s.H, Src.Height - MaskOffset - s.SY);
    const int db = Dst.BytesPerPixel;
    for (int y = 0; y < s.H; ++y) {
        uint8_t* d = Dst.Pixel(s.DX, s.DY + y);
        const uint8_t* p = Src.Pixel(s.SX, s.SY + y);
        const uint8_t* m = Src.Pixel(s.SX, s.SY + y + MaskOffset);
        for (int x = 0; x < s.W; ++x, d += db, p += 3, m += 3) {
            if (IsKey(p))
                continue;
            for (int c = 0; c < 3; ++c)
                d[c] = MaskMix(d[c], p[c], Faint ? std::min(255, m[c] + 100) : m[c]);
            if (db == 4)
                d[3] = 255;
        }
    }
}

void CopyPiece(const TBitmapRows& Dst, int DX, int DY, const TBitmapRows& Src, int SX, int SY, int W, int H,
               int MaskOffset, bool KeyHoles, std::vector<TKeyRun>* Holes)
{
    TSpan s{SX, SY, DX, DY, W, H};
    if (Dst.BytesPerPixel != 3 || Src.BytesPerPixel != 3 || MaskOffset < 0 || !Cut(Dst, Src, s))
        return;
    if (MaskOffset > 0)
        s.H = std::min(s.H, Src.Height - MaskOffset - s.SY);
    for (int y = 0; y < s.H; ++y) {
        uint8_t* d = Dst.Pixel(s.DX, s.DY + y);
        const uint8_t* p = Src.Pixel(s.SX, s.SY + y);
        const uint8_t* m = MaskOffset > 0 ? Src.Pixel(s.SX, s.SY + y + MaskOffset) : nullptr;
        int run = -1;  // first column of the current key run
        for (int x = 0; x < s.W; ++x, d += 3, p += 3) {
            if (KeyHoles && IsKey(p)) {
                if (run < 0)
                    run = x;
                continue;
            }
            if (run >= 0 && Holes)
                Holes->push_back({s.DX + run, s.DY + y, x - run});
            run = -1;
            if (m)
                for (int c = 0; c < 3; ++c)
                    d[c] = MaskMix(d[c], p[c], m[3 * x + c]);
            else
                std::copy_n(p, 3, d);
        }
        if (run >= 0 && Holes)
            Holes->push_back({s.DX + run, s.DY + y, s.W - run});
    }
}

void RepairCorner(const TBitmapRows& Cache, int CX, int CY, const TBitmapRows& Image, int SX, int SY, int W, int H,
                  const TkvBack& Back)
{
    TSpan s{SX, SY, CX, CY, W, H};
    if (!Is24or32(Cache) || Image.BytesPerPixel != 3 || !Cut(Cache, Image, s))
        return;
    const bool fromBmp = Back.Ready;
    if (fromBmp && !Is24or32(Back.Bmp))
        return;
    const int cb = Cache.BytesPerPixel;
    for (int y = 0; y < s.H; ++y) {
        const int cy = s.DY + y;
        const int64_t by = int64_t(cy) + Back.Y;
        if (fromBmp && (by < 0 || by >= Back.Bmp.Height))
            continue;
        uint8_t* d = Cache.Pixel(s.DX, cy);
        const uint8_t* p = Image.Pixel(s.SX, s.SY + y);
        for (int x = 0; x < s.W; ++x, d += cb, p += 3) {
            if (!IsKey(p))
                continue;
            if (!fromBmp) {
                d[0] = BlueOf(Back.FillColor);
                d[1] = GreenOf(Back.FillColor);
                d[2] = RedOf(Back.FillColor);
                continue;
            }
            const int64_t bx = int64_t(s.DX) + x + Back.X;
            if (bx >= Back.Bmp.Width)
                break;
            if (bx >= 0)
                std::copy_n(Back.Bmp.Pixel(int(bx), int(by)), 3, d);
        }
    }
}

std::vector<TKeyRun> KeyRuns(const TBitmapRows& Bmp, const TkvRect& Area, TColor Key)
{
    std::vector<TKeyRun> runs;
    // A pixel read as a colour has a top byte of 0, so a key with another
    // top byte matches nothing.
    if (Bmp.Empty() || Bmp.BytesPerPixel != 3 || TopOf(Key) != 0)
        return runs;
    const int x0 = std::max(Area.Left, 0), x1 = std::min(Area.Right, Bmp.Width);
    const int y0 = std::max(Area.Top, 0), y1 = std::min(Area.Bottom, Bmp.Height);
    const uint8_t kb = BlueOf(Key), kg = GreenOf(Key), kr = RedOf(Key);
    for (int y = y0; y < y1; ++y) {
        int run = -1;
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = Bmp.Pixel(x, y);
            const bool key = p[0] == kb && p[1] == kg && p[2] == kr;
            if (key && run < 0)
                run = x;
            else if (!key && run >= 0) {
                runs.push_back({run, y, x - run});
                run = -1;
            }
        }
        if (run >= 0)
            runs.push_back({run, y, x1 - run});
    }
    return runs;
}

bool TileByMask(const TBitmapRows& Dst, const TkvRect& Area, const TBitmapRows& Src, int SX, int SY, int W, int H,
                int MaskOffset)
{
    const int db = Dst.BytesPerPixel;
    if (Dst.Empty() || Src.Empty() || Src.BytesPerPixel != 3 || (db != 3 && db != 4) || W <= 0 || H <= 0 ||
        Area.Left < 0 || Area.Top < 0 || Area.Right > Dst.Width || Area.Bottom > Dst.Height || SX < 0 || SY < 0 ||
        int64_t(SX) + W > Src.Width || MaskOffset < 0 || int64_t(SY) + MaskOffset + H > Src.Height)
        return false;
    for (int y = Area.Top; y < Area.Bottom; ++y) {
        const int sy = SY + (y - Area.Top) % H;
        const uint8_t* srow = Src.Pixel(SX, sy);
        const uint8_t* krow = Src.Pixel(SX, sy + MaskOffset);
        uint8_t* d = Dst.Pixel(Area.Left, y);
        for (int x = Area.Left, i = 0; x < Area.Right; ++x, d += db) {
            const uint8_t* s = srow + 3 * i;
            const uint8_t* k = krow + 3 * i;
            if (++i == W)
                i = 0;
            if (s[0] == 0xFF && s[1] == 0x00 && s[2] == 0xFF)
                continue;
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t(((d[c] - s[c]) * k[c] + s[c] * 256) >> 8);
        }
    }
    return true;
}

} // namespace kvPaint
