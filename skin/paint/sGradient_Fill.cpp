#include "skin/paint/sGradient_Fill.h"

#include <algorithm>
#include <cstring>

namespace kvPaint {

namespace {

// The running colour of one piece: single-precision channels advanced by
// double-precision steps, each position rounded halves to even.
struct TRun {
    float R, G, B;
    double dR, dG, dB;

    TRun(const TkvGradPiece& P, int Steps)
        : R(RedOf(P.Color1)), G(GreenOf(P.Color1)), B(BlueOf(P.Color1)),
          dR((double(RedOf(P.Color2)) - RedOf(P.Color1)) / Steps),
          dG((double(GreenOf(P.Color2)) - GreenOf(P.Color1)) / Steps),
          dB((double(BlueOf(P.Color2)) - BlueOf(P.Color1)) / Steps)
    {
    }
    // The current colour as pixel bytes, then one step on.
    void Next(uint8_t* Px)
    {
        Px[0] = uint8_t(ClampByte(RoundEven(B)));
        Px[1] = uint8_t(ClampByte(RoundEven(G)));
        Px[2] = uint8_t(ClampByte(RoundEven(R)));
        R = float(R + dR);
        G = float(G + dG);
        B = float(B + dB);
    }
};

// A piece's share as the skin loader reads it: 0..100.  A negative share
// would move the next piece before the area's left edge or top.
int PercentOf(const TkvGradPiece& P)
{
    return std::clamp(P.Percent, 0, 100);
}

void Horizontal(const TBitmapRows& Bmp, const TkvSpan& s, const std::vector<TkvGradPiece>& Data)
{
    const int bpp = Bmp.BytesPerPixel, right = s.X + s.W;
    // One row is computed, then copied to every row of the area.
    std::vector<uint8_t> row(std::size_t(s.W) * bpp);
    for (std::size_t i = 0; i < row.size(); i += bpp)
        if (bpp == 4)
            row[i + 3] = 255;
    const double unit = s.W / 100.0;
    int x = s.X;
    bool painted = false;
    for (std::size_t p = 0; p < Data.size(); ++p) {
        const int a = x;
        int b = std::min(RoundEven(PercentOf(Data[p]) * unit + a), right - 1);
        if (p + 1 == Data.size())
            b = right - 1;
        if (b > a) {
            TRun run(Data[p], b - a);
            for (int c = a; c <= b; ++c)
                run.Next(&row[std::size_t(c - s.X) * bpp]);
            painted = true;
        }
        x = b;
    }
    if (!painted)
        return;
    for (int y = s.Y; y < s.Y + s.H; ++y)
        std::memcpy(Bmp.Pixel(s.X, y), row.data(), row.size());
}

void FillRow(const TBitmapRows& Bmp, int Y, int X, int W, const uint8_t* Px)
{
    if (W <= 0)
        return;
    const std::size_t bpp = std::size_t(Bmp.BytesPerPixel), total = std::size_t(W) * bpp;
    uint8_t* d = Bmp.Pixel(X, Y);
    std::memcpy(d, Px, bpp);
    // Doubling what is already written: a few block copies per row instead
    // of one small copy per pixel.
    for (std::size_t done = bpp; done < total;) {
        const std::size_t n = std::min(done, total - done);
        std::memcpy(d + done, d, n);
        done += n;
    }
}

// Offsets past this many rows are taken as this many: the rows between the
// offset and the area are walked one by one (each steps the running colour),
// and an offset of the whole int range walked for seconds.
constexpr int MaxOffsetY = 1 << 20;

void Vertical(const TBitmapRows& Bmp, const TkvSpan& s, const std::vector<TkvGradPiece>& Data, int OffsetY)
{
    OffsetY = std::clamp(OffsetY, -MaxOffsetY, MaxOffsetY);
    const int bottom = s.Y + s.H;
    int y = OffsetY + s.Y;
    for (std::size_t p = 0; p < Data.size(); ++p) {
        const int a = y;
        int b = std::min(PercentOf(Data[p]) * (OffsetY + s.H) / 100 + a, bottom - 1);
        if (p + 1 == Data.size())
            b = bottom - 1;
        if (b > a) {
            TRun run(Data[p], b - a);
            for (int r = a; r <= b; ++r) {
                uint8_t px[4] = {0, 0, 0, 255};
                run.Next(px);
                // Rows an offset moves out of the area are not painted.
                if (r >= s.Y && r < bottom)
                    FillRow(Bmp, r, s.X, s.W, px);
            }
        }
        y = b;
    }
}

} // namespace

void PaintGradRows(const TBitmapRows& Bmp, TkvRect R, const std::vector<TkvGradPiece>& Data, int OffsetY)
{
    TkvSpan s;
    if (Data.empty() || Bmp.Empty() || (Bmp.BytesPerPixel != 3 && Bmp.BytesPerPixel != 4) ||
        !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    if (Data[0].Mode1 == 1)
        Horizontal(Bmp, s, Data);
    else if (Data[0].Mode1 == 0)
        Vertical(Bmp, s, Data, OffsetY);
}

} // namespace kvPaint
