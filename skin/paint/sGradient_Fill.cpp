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

void Across(TGradLine& Line, const std::vector<TkvGradPiece>& Data, int Left, int Extent)
{
    const int bpp = Line.Bpp, right = Left + Extent;
    Line.Pixels.assign(std::size_t(Extent) * bpp, 0);
    if (bpp == 4)
        for (std::size_t i = 3; i < Line.Pixels.size(); i += 4)
            Line.Pixels[i] = 255;
    const double unit = Extent / 100.0;
    int x = Left;
    for (std::size_t p = 0; p < Data.size(); ++p) {
        const int a = x;
        int b = std::min(RoundEven(PercentOf(Data[p]) * unit + a), right - 1);
        if (p + 1 == Data.size())
            b = right - 1;
        if (b > a) {
            TRun run(Data[p], b - a);
            for (int c = a; c <= b; ++c)
                run.Next(&Line.Pixels[std::size_t(c - Left) * bpp]);
            Line.AnyPainted = true;
        }
        x = b;
    }
}

// Offsets past this many rows are taken as this many: the rows between the
// offset and the area are walked one by one (each steps the running colour),
// and an offset of the whole int range walked for seconds.
constexpr int MaxOffsetY = 1 << 20;

void Down(TGradLine& Line, const std::vector<TkvGradPiece>& Data, int Extent, int OffsetY)
{
    OffsetY = std::clamp(OffsetY, -MaxOffsetY, MaxOffsetY);
    const int bpp = Line.Bpp;
    Line.Pixels.assign(std::size_t(Extent) * bpp, 0);
    Line.Painted.assign(std::size_t(Extent), 0);
    int y = OffsetY;
    for (std::size_t p = 0; p < Data.size(); ++p) {
        const int a = y;
        int b = int(std::min<int64_t>(int64_t(PercentOf(Data[p])) * (int64_t(OffsetY) + Extent) / 100 + a, Extent - 1));
        if (p + 1 == Data.size())
            b = Extent - 1;
        if (b > a) {
            TRun run(Data[p], b - a);
            for (int r = a; r <= b; ++r) {
                uint8_t px[4] = {0, 0, 0, 255};
                run.Next(px);
                // Rows an offset moves out of the area are not painted.
                if (r >= 0) {
                    std::copy_n(px, bpp, &Line.Pixels[std::size_t(r) * bpp]);
                    Line.Painted[std::size_t(r)] = 1;
                }
            }
        }
        y = b;
    }
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

} // namespace

TGradLine MakeGradLine(const std::vector<TkvGradPiece>& Data, int Left, int Extent, int Bpp, int OffsetY)
{
    TGradLine line;
    line.Bpp = Bpp;
    if (Data.empty() || Extent <= 0 || (Bpp != 3 && Bpp != 4))
        return line;
    line.Mode = Data[0].Mode1 == 1 ? 1 : (Data[0].Mode1 == 0 ? 0 : -1);
    if (line.Mode == 1)
        Across(line, Data, Left, Extent);
    else if (line.Mode == 0)
        Down(line, Data, Extent, OffsetY);
    return line;
}

void PaintGradLine(const TBitmapRows& Bmp, const TkvSpan& S, const TGradLine& Line)
{
    if (Line.Bpp != Bmp.BytesPerPixel)
        return;
    if (Line.Mode == 1 && Line.AnyPainted && int(Line.Pixels.size()) == S.W * Line.Bpp) {
        for (int y = S.Y; y < S.Y + S.H; ++y)
            std::memcpy(Bmp.Pixel(S.X, y), Line.Pixels.data(), Line.Pixels.size());
    } else if (Line.Mode == 0 && int(Line.Painted.size()) == S.H) {
        for (int r = 0; r < S.H; ++r)
            if (Line.Painted[std::size_t(r)])
                FillRow(Bmp, S.Y + r, S.X, S.W, &Line.Pixels[std::size_t(r) * Line.Bpp]);
    }
}

void PaintGradRows(const TBitmapRows& Bmp, TkvRect R, const std::vector<TkvGradPiece>& Data, int OffsetY)
{
    TkvSpan s;
    if (Data.empty() || Bmp.Empty() || (Bmp.BytesPerPixel != 3 && Bmp.BytesPerPixel != 4) ||
        !ClipRect(R, Bmp.Width, Bmp.Height, s))
        return;
    const bool across = Data[0].Mode1 == 1;
    PaintGradLine(Bmp, s, MakeGradLine(Data, s.X, across ? s.W : s.H, Bmp.BytesPerPixel, OffsetY));
}

} // namespace kvPaint
