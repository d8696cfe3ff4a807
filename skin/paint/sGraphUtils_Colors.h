// Colour arithmetic and whole-bitmap colour kernels of sGraphUtils, free of
// Windows headers.  Colours are TColor values (R in the lowest byte); the
// routines that need a system colour turned into RGB take it already turned.
#pragma once

#include "skin/paint/sAlphaGraph_Fast.h"

struct TsHSV {
    int h = 0;       // hue in whole degrees
    double s = 0;    // saturation 0..1
    double v = 0;    // value 0..1
};

// Exchanges the lowest and the third byte (RGB and BGR order).
int SwapInteger(int Value);
// Each channel c1 - (c1 - c2) * K, limited to 0..255; top byte 0.
TColor ChangeColor(TColor Color1, TColor Color2, double K);
// Each channel K * c1 + (1 - K) * c2, limited to 0..255; Color1's top byte kept.
TColor MixColors(TColor Color1, TColor Color2, double K);
// Each channel (c1 * 127 + c2 * 129) shr 8; top byte 0.
TColor AverageColor(TColor C1, TColor C2);
// Delta percent towards white (> 0) or black (< 0); top byte kept.
TColor ChangeBrightness(TColor Color, int Delta);
// Delta percent towards the grey average (> 0) or away from it; top byte 0.
TColor ChangeSaturation(TColor Color, int Delta);
// Hue turned by Delta degrees; RGB is a plain colour (system colours
// already turned into RGB).
TColor ChangeHueRGB(int Delta, TColor RGB);
TColor Hsv2Rgb(double H, double S, double V);
TsHSV Rgb2Hsv(TColor C);
// 0..1 scale, unrounded.  Outputs are always set: a saturation of (almost)
// zero or an undefined hue gives the grey V.
void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B);
// H is left as it is for a grey (its hue is undefined).
void RGBToHSV(double R, double G, double B, double& H, double& S, double& V);

namespace kvPaint {

// Each pixel's B, G, R become (R + G + B) div 3; a 32-bit alpha stays.
// Formats other than 24- and 32-bit are left alone.
void GrayScale(const TBitmapRows& Bmp);
// 24-bit only: pixels other than TransColor (TColor order) turn grey.
void GrayScaleTrans(const TBitmapRows& Bmp, TColor TransColor);
// Byte Channel (0..3) of every 32-bit pixel of the common area.
void CopyChannel32(const TBitmapRows& Dst, const TBitmapRows& Src, int Channel);
// Between byte Channel of a 32-bit bitmap and an 8-bit one, over their common area.
void CopyChannel(const TBitmapRows& Bmp32, const TBitmapRows& Bmp8, int Channel, bool From32To8);

} // namespace kvPaint
