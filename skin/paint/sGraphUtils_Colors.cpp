#include "skin/paint/sGraphUtils_Colors.h"

#include <algorithm>
#include <cmath>

namespace {

double Limit255(double X) { return X < 0 ? 0 : (X > 255 ? 255 : X); }

int Chan(double X) { return ClampByte(RoundEven(X)); }

// Hue in degrees (0..360) of a colour with its maximum and spread, tested
// in the order R, G, B.
double HueOf(double R, double G, double B, double Max, double Delta)
{
    double h;
    if (R == Max)
        h = 60 * (G - B) / Delta;
    else if (G == Max)
        h = 120 + 60 * (B - R) / Delta;
    else
        h = 240 + 60 * (R - G) / Delta;
    return h < 0 ? h + 360 : h;
}

// The six sectors of the HSV cone.
void Sector(int i, double V, double p, double q, double t, double& R, double& G, double& B)
{
    switch (i) {
    case 0: R = V; G = t; B = p; break;
    case 1: R = q; G = V; B = p; break;
    case 2: R = p; G = V; B = t; break;
    case 3: R = p; G = q; B = V; break;
    case 4: R = t; G = p; B = V; break;
    default: R = V; G = p; B = q; break;
    }
}

// p, q', t of a sector on the 0..255 scale, each limited to 0..255.
TColor FromSector(int i, double f, double s, double V)
{
    const double p = Limit255(V * (1 - s)), q = Limit255(V * (1 - f * s)), t = Limit255(V * (1 - (1 - f) * s));
    double r, g, b;
    Sector(i, V, p, q, t, r, g, b);
    return MakeColor(Chan(r), Chan(g), Chan(b));
}

} // namespace

int SwapInteger(int Value)
{
    const uint32_t v = uint32_t(Value);
    return int(((v >> 16) + ((v & 0xFF) << 16)) | (v & 0xFF00));
}

TColor ChangeColor(TColor Color1, TColor Color2, double K)
{
    auto ch = [&](uint8_t c1, uint8_t c2) { return Chan(c1 - (c1 - c2) * K); };
    return MakeColor(ch(RedOf(Color1), RedOf(Color2)), ch(GreenOf(Color1), GreenOf(Color2)),
                     ch(BlueOf(Color1), BlueOf(Color2)));
}

TColor MixColors(TColor Color1, TColor Color2, double K)
{
    auto ch = [&](uint8_t c1, uint8_t c2) { return Chan(K * c1 + (1 - K) * c2); };
    return MakeColor(ch(RedOf(Color1), RedOf(Color2)), ch(GreenOf(Color1), GreenOf(Color2)),
                     ch(BlueOf(Color1), BlueOf(Color2)), TopOf(Color1));
}

TColor AverageColor(TColor C1, TColor C2)
{
    auto ch = [](unsigned a, unsigned b) { return int((a * 127 + b * 129) >> 8); };
    return MakeColor(ch(RedOf(C1), RedOf(C2)), ch(GreenOf(C1), GreenOf(C2)), ch(BlueOf(C1), BlueOf(C2)));
}

TColor ChangeBrightness(TColor Color, int Delta)
{
    if (Delta == 0)
        return Color;
    auto ch = [Delta](uint8_t c) {
        const double k = Delta > 0 ? (255 - c) / 100.0 : c / 100.0;
        return Chan(c + Delta * k);
    };
    return MakeColor(ch(RedOf(Color)), ch(GreenOf(Color)), ch(BlueOf(Color)), TopOf(Color));
}

TColor ChangeSaturation(TColor Color, int Delta)
{
    if (Delta == 0)
        return Color;
    const double avg = (RedOf(Color) + GreenOf(Color) + BlueOf(Color)) / 3.0;
    auto ch = [&](uint8_t c) { return Chan(c + Delta * (avg - c) / 100); };
    return MakeColor(ch(RedOf(Color)), ch(GreenOf(Color)), ch(BlueOf(Color)));
}

TColor ChangeHueRGB(int Delta, TColor RGB)
{
    const double r = RedOf(RGB), g = GreenOf(RGB), b = BlueOf(RGB);
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
    const double s = mx == 0 ? 0 : d / mx;
    if (s == 0)
        return MakeColor(int(r), int(g), int(b));
    int n = RoundEven(HueOf(r, g, b, mx, d) + Delta) % 360;
    if (n < 0)
        n += 360;
    const double q = n / 60.0;
    const int i = int(q);
    return FromSector(i, q - i, s, mx);
}

TColor Hsv2Rgb(double H, double S, double V)
{
    if (S == 0) {
        const int c = Chan(V * 255);
        return MakeColor(c, c, c);
    }
    if (H == 360)
        H = 0;
    const double h = H / 60;
    const int i = int(h);
    return FromSector(i >= 0 && i <= 4 ? i : 5, h - i, S, V * 255);
}

TsHSV Rgb2Hsv(TColor C)
{
    const double r = RedOf(C), g = GreenOf(C), b = BlueOf(C);
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
    TsHSV out;
    out.v = mx / 255;
    out.s = mx == 0 ? 0 : d / mx;
    out.h = out.s == 0 ? 0 : RoundEven(HueOf(r, g, b, mx, d));
    return out;
}

void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B)
{
    // A grey has no hue: its channels are V.  (Leaving them unset handed
    // callers whatever their variables held before.)
    if (std::isnan(H) || std::fabs(S - 0.0001) <= 0.0001) {
        R = G = B = V;
        return;
    }
    // Hues outside 0..360 wrap around instead of leaving the outputs unset.
    H = std::fmod(H, 360);
    if (H < 0)
        H += 360;
    const double q = H / 60;
    const int i = std::min(int(q), 5);
    const double f = q - i;
    Sector(i, V, V * (1 - S), V * (1 - S * f), V * (1 - S * (1 - f)), R, G, B);
}

void RGBToHSV(double R, double G, double B, double& H, double& S, double& V)
{
    V = std::max({R, G, B});
    const double d = V - std::min({R, G, B});
    S = V == 0 ? 0 : d / V;
    if (S != 0)
        H = HueOf(R, G, B, V, d);
}

// ---------------------------------------------------------------------------
namespace kvPaint {

void GrayScale(const TBitmapRows& Bmp)
{
    const int bpp = Bmp.BytesPerPixel;
    if (Bmp.Empty() || (bpp != 3 && bpp != 4))
        return;
    for (int y = 0; y < Bmp.Height; ++y) {
        uint8_t* p = Bmp.Row(y);
        for (int x = 0; x < Bmp.Width; ++x, p += bpp)
            p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
    }
}

void GrayScaleTrans(const TBitmapRows& Bmp, TColor TransColor)
{
    if (Bmp.Empty() || Bmp.BytesPerPixel != 3)
        return;
    const uint8_t tb = BlueOf(TransColor), tg = GreenOf(TransColor), tr = RedOf(TransColor);
    for (int y = 0; y < Bmp.Height; ++y) {
        uint8_t* p = Bmp.Row(y);
        for (int x = 0; x < Bmp.Width; ++x, p += 3)
            if (p[0] != tb || p[1] != tg || p[2] != tr)
                p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
    }
}

void CopyChannel32(const TBitmapRows& Dst, const TBitmapRows& Src, int Channel)
{
    if (Dst.Empty() || Src.Empty() || Dst.BytesPerPixel != 4 || Src.BytesPerPixel != 4 || Channel < 0 || Channel > 3)
        return;
    const int w = std::min(Dst.Width, Src.Width), h = std::min(Dst.Height, Src.Height);
    for (int y = 0; y < h; ++y) {
        uint8_t* d = Dst.Row(y) + Channel;
        const uint8_t* s = Src.Row(y) + Channel;
        for (int x = 0; x < w; ++x)
            d[4 * x] = s[4 * x];
    }
}

void CopyChannel(const TBitmapRows& Bmp32, const TBitmapRows& Bmp8, int Channel, bool From32To8)
{
    if (Bmp32.Empty() || Bmp8.Empty() || Bmp32.BytesPerPixel != 4 || Bmp8.BytesPerPixel != 1 || Channel < 0 ||
        Channel > 3)
        return;
    const int w = std::min(Bmp32.Width, Bmp8.Width), h = std::min(Bmp32.Height, Bmp8.Height);
    for (int y = 0; y < h; ++y) {
        uint8_t* p32 = Bmp32.Row(y) + Channel;
        uint8_t* p8 = Bmp8.Row(y);
        for (int x = 0; x < w; ++x) {
            if (From32To8)
                p8[x] = p32[4 * x];
            else
                p32[4 * x] = p8[x];
        }
    }
}

} // namespace kvPaint
