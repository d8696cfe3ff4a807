#include "skin/paint/sAlphaGraph_Pixels.h"

#include <algorithm>

namespace kvPaint {

namespace {

bool IsKey(const uint8_t* p)
{
    return p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;
}

} // namespace

uint32_t SwapColor(TColor Color)
{
    return uint32_t(BlueOf(Color)) | uint32_t(GreenOf(Color)) << 8 | uint32_t(RedOf(Color)) << 16 | 0xFF000000u;
}

void BlendColorRect(const TBitmapRows& Bmp, const TkvRect& R, int Percent, TColor RGB)
{
    const int bpp = Bmp.BytesPerPixel;
    TkvSpan s;
    if (Bmp.Empty() || (bpp != 3 && bpp != 4) || !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    // Every result depends on the old byte only: one table per channel.
    const double k = Percent / 100.0;
    const uint8_t col[3] = {BlueOf(RGB), GreenOf(RGB), RedOf(RGB)};
    uint8_t table[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            table[c][v] = uint8_t(ClampByte(RoundEven(v * k + col[c] * (1 - k))));
    for (int y = s.Y; y < s.Y + s.H; ++y) {
        uint8_t* p = Bmp.Pixel(s.X, y);
        for (int x = 0; x < s.W; ++x, p += bpp) {
            p[0] = table[0][p[0]];
            p[1] = table[1][p[1]];
            p[2] = table[2][p[2]];
        }
    }
}

void FillAlphaRect(const TBitmapRows& Bmp, const TkvRect& R, uint8_t Value)
{
    TkvSpan s;
    if (Bmp.Empty() || Bmp.BytesPerPixel != 4 || !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    for (int y = s.Y; y < s.Y + s.H; ++y) {
        uint8_t* p = Bmp.Pixel(s.X, y) + 3;
        for (int x = 0; x < s.W; ++x)
            p[4 * x] = Value;
    }
}

void FillRect32(const TBitmapRows& Bmp, const TkvRect& R, TColor Color)
{
    TkvFast32 fast;
    if (fast.Attach(Bmp))
        fast.FillRect(R, SwapColor(Color));
}

void FillRect24(const TBitmapRows& Bmp, const TkvRect& R, TColor RGB)
{
    TkvSpan s;
    if (Bmp.Empty() || Bmp.BytesPerPixel != 3 || !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    const uint8_t px[3] = {BlueOf(RGB), GreenOf(RGB), RedOf(RGB)};
    uint8_t* first = Bmp.Pixel(s.X, s.Y);
    for (int x = 0; x < s.W; ++x)
        std::copy_n(px, 3, first + 3 * x);
    for (int y = s.Y + 1; y < s.Y + s.H; ++y)
        std::copy_n(first, std::size_t(s.W) * 3, Bmp.Pixel(s.X, y));
}

void FillTransPixels32(const TBitmapRows& Dst, const TBitmapRows& Src, const TkvRect& R, TkvPoint Offset,
                       const TBitmapRows* KeyImage, TkvPoint KeyOrigin)
{
    if (Dst.Empty() || Src.Empty() || Dst.BytesPerPixel != 4 || Src.BytesPerPixel != 4)
        return;
    const bool byImage = KeyImage != nullptr;
    if (byImage && (KeyImage->Empty() || (KeyImage->BytesPerPixel != 3 && KeyImage->BytesPerPixel != 4)))
        return;
    // Offsets from the destination's (x, y) to the source's and the key
    // image's, in 64 bits: any int is accepted without overflow.
    const int64_t sx = int64_t(Offset.X) - R.Left, sy = int64_t(Offset.Y) - R.Top;
    const int64_t kx = int64_t(KeyOrigin.X) - R.Left, ky = int64_t(KeyOrigin.Y) - R.Top;
    int64_t x1 = std::max<int64_t>({R.Left, 0, -sx}), x2 = std::min<int64_t>({R.Right, Dst.Width, Src.Width - sx});
    int64_t y1 = std::max<int64_t>({R.Top, 0, -sy}), y2 = std::min<int64_t>({R.Bottom, Dst.Height, Src.Height - sy});
    if (byImage) {
        x1 = std::max(x1, -kx);
        x2 = std::min(x2, KeyImage->Width - kx);
        y1 = std::max(y1, -ky);
        y2 = std::min(y2, KeyImage->Height - ky);
    }
    // Every position left lies inside all three bitmaps.
    for (int64_t y = y1; y < y2; ++y)
        for (int64_t x = x1; x < x2; ++x) {
            uint8_t* d = Dst.Pixel(int(x), int(y));
            const uint8_t* key = byImage ? KeyImage->Pixel(int(x + kx), int(y + ky)) : d;
            if (IsKey(key))
                std::copy_n(Src.Pixel(int(x + sx), int(y + sy)), 4, d);
        }
}

} // namespace kvPaint
