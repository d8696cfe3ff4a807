#include "skin/paint/sGraphUtils_Blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kvPaint {

TKernel BuildBlurKernel(double Radius)
{
    TKernel k;
    double sum = 0;
    for (int j = -100; j <= 100; ++j) {
        const double q = j / Radius;
        k.Weights[j + 100] = float(std::exp(-q * q / 2));
        sum += k.Weights[j + 100];
    }
    for (float& w : k.Weights)
        w = float(w / sum);
    // Taps whose weights together stay under half a step of 255 change nothing.
    const double step = 1.0, largest = 255.0;
    double dropped = 0;
    k.Size = 100;
    while (dropped < step / (2 * largest) && k.Size > 1) {
        dropped += 2.0 * k.Weight(k.Size);
        --k.Size;
    }
    sum = 0;
    for (int j = -k.Size; j <= k.Size; ++j)
        sum += k.Weight(j);
    for (int j = -k.Size; j <= k.Size; ++j)
        k.Weights[j + 100] = float(k.Weight(j) / sum);
    return k;
}

int LimitReal(int Lower, int Upper, double X)
{
    if (X < Lower)
        return Lower;
    if (X >= Upper)
        return Upper;
    return int(X);
}

int LimitInt(int Lower, int Upper, int I)
{
    return std::max(Lower, std::min(Upper, I));
}

void BlurLine(const TKernel& K, uint8_t* Line, int N, std::ptrdiff_t Stride, int Bpp, uint8_t* Buffer)
{
    // The weights sum to 1 only up to single-precision rounding; the tiny
    // lift keeps a flat line flat under truncation.
    constexpr double Lift = 1e-4;
    for (int i = 0; i < N; ++i)
        for (int c = 0; c < Bpp; ++c) {
            double sum = Lift;
            for (int j = -K.Size; j <= K.Size; ++j)
                sum += double(K.Weight(j)) * Line[std::ptrdiff_t(LimitInt(0, N - 1, i - j)) * Stride + c];
            Buffer[i * Bpp + c] = uint8_t(LimitReal(0, 255, sum));
        }
    for (int i = 0; i < N; ++i)
        std::copy_n(Buffer + i * Bpp, Bpp, Line + std::ptrdiff_t(i) * Stride);
}

void Blur(const TBitmapRows& Bmp, double Radius)
{
    const int bpp = Bmp.BytesPerPixel;
    if (Bmp.Empty() || (bpp != 1 && bpp != 3) || !(Radius > 0))
        return;
    const TKernel k = BuildBlurKernel(Radius);
    std::vector<uint8_t> buffer(std::size_t(std::max(Bmp.Width, Bmp.Height)) * std::size_t(bpp));
    for (int y = 0; y < Bmp.Height; ++y)
        BlurLine(k, Bmp.Row(y), Bmp.Width, bpp, bpp, buffer.data());
    for (int x = 0; x < Bmp.Width; ++x)
        BlurLine(k, Bmp.Pixel(x, 0), Bmp.Height, Bmp.Step, bpp, buffer.data());
}

namespace {

// The part of Mask (placed at X, Y of Dst) that lies over Dst, in the mask's
// coordinates; false when none does.
bool MaskPart(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, TkvSpan& S)
{
    TkvSpan d;
    if (!ClipArea(X, Y, Mask.Width, Mask.Height, Dst.Width, Dst.Height, d))
        return false;
    S = {int(d.CutX), int(d.CutY), d.W, d.H, 0, 0};
    return true;
}

} // namespace

void BlendGlow(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, TColor Color)
{
    const int db = Dst.BytesPerPixel;
    if (Dst.Empty() || Mask.Empty() || Mask.BytesPerPixel != 1 || (db != 3 && db != 4))
        return;
    const int ch[3] = {BlueOf(Color), GreenOf(Color), RedOf(Color)};
    TkvSpan s;
    if (!MaskPart(Dst, Mask, X, Y, s))
        return;
    for (int q = s.Y; q < s.Y + s.H; ++q) {
        const uint8_t* m = Mask.Row(q);
        for (int i = s.X; i < s.X + s.W; ++i) {
            const int a = m[i];
            if (a == 255)
                continue;
            uint8_t* d = Dst.Pixel(X + i, Y + q);
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t(ch[c] + (d[c] - ch[c]) * a / 255);
            if (db == 4)
                d[3] = uint8_t(std::max(0, d[3] + a - 255));
        }
    }
}

TGlowTable MakeGlowTable(int C)
{
    TGlowTable t(256 * 256);
    for (int m = 0; m < 256; ++m)
        for (int c = 0; c < 256; ++c)
            t[std::size_t(m * 256 + c)] = uint8_t(C + (c - C) * m / 255);
    return t;
}

void BlendGlow(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, const TGlowTable* const Tables[3])
{
    const int db = Dst.BytesPerPixel;
    if (Dst.Empty() || Mask.Empty() || Mask.BytesPerPixel != 1 || (db != 3 && db != 4))
        return;
    for (int c = 0; c < 3; ++c)
        if (!Tables[c] || Tables[c]->size() != 256 * 256)
            return;
    const uint8_t* const t0 = Tables[0]->data();
    const uint8_t* const t1 = Tables[1]->data();
    const uint8_t* const t2 = Tables[2]->data();
    TkvSpan s;
    if (!MaskPart(Dst, Mask, X, Y, s))
        return;
    for (int q = s.Y; q < s.Y + s.H; ++q) {
        const uint8_t* m = Mask.Row(q);
        uint8_t* d = Dst.Pixel(X + s.X, Y + q);
        for (int i = s.X; i < s.X + s.W; ++i, d += db) {
            const unsigned a = m[i];
            if (a == 255)
                continue;
            const unsigned row = a << 8;
            d[0] = t0[row | d[0]];
            d[1] = t1[row | d[1]];
            d[2] = t2[row | d[2]];
            if (db == 4)
                d[3] = uint8_t(std::max(0, int(d[3]) + int(a) - 255));
        }
    }
}

} // namespace kvPaint
