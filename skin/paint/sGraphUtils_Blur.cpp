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

void BlendGlow(const TBitmapRows& Dst, const TBitmapRows& Mask, int X, int Y, TColor Color)
{
    const int db = Dst.BytesPerPixel;
    if (Dst.Empty() || Mask.Empty() || Mask.BytesPerPixel != 1 || (db != 3 && db != 4))
        return;
    const int ch[3] = {BlueOf(Color), GreenOf(Color), RedOf(Color)};
    const int q0 = std::max(0, -Y), q1 = std::min(Mask.Height, Dst.Height - Y);
    const int i0 = std::max(0, -X), i1 = std::min(Mask.Width, Dst.Width - X);
    for (int q = q0; q < q1; ++q) {
        const uint8_t* m = Mask.Row(q);
        for (int i = i0; i < i1; ++i) {
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

} // namespace kvPaint
