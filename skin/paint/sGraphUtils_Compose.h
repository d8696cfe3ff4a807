// The composition loops of sGraphUtils on bitmaps' row views, free of
// Windows headers: weighted and masked blends, key-colour copies over a
// parent background, 32-bit images laid over caches, real-factor blends and
// the three-band gradient.
//
// Every routine reads and writes each bitmap by its own pixel size (3 or 4
// bytes; other formats are left alone) and touches the colour bytes B, G, R
// unless it says what happens to alpha.  Every rectangle is cut to the
// bitmaps once per call, so no routine reads or writes outside them.
#pragma once

#include "skin/paint/sAlphaGraph_Fast.h"

namespace kvPaint {

// Pixel (x, y) of Src goes to (H - 1 - y, x) when CW, else (y, W - 1 - x);
// Dst is H x W of Src's format.  A source under 2 x 2 moves nothing.
void RotatePixels(const TBitmapRows& Src, const TBitmapRows& Dst, bool CW);

// Weighted sums (d * W + s * (255 - W) + 127) shr 8 on every byte, alpha
// included; W = 255 keeps d.  Both bitmaps of one format (24 or 32).
void SumBitmaps(const TBitmapRows& Dst, const TBitmapRows& Src, uint8_t W);
void SumBmpRect(const TBitmapRows& Dst, const TBitmapRows& Src, uint8_t W, TkvRect SrcRect, TkvPoint DstPoint);

// Mask mixes ((a - b) * m + b * 256) shr 8 per channel.
// Out = mix(Src1, Src2) by Msk's channel (or Percent 0..256 without a mask);
// Src1 and Src2 of one size, Out and Msk at least that size; Out's alpha stays.
void SumBitmapsByMask(const TBitmapRows& Out, const TBitmapRows& Src1, const TBitmapRows& Src2,
                      const TBitmapRows* Msk, int Percent);
// Bmp1 = mix(Bmp1, Bmp2) by Msk over R.
void SumByMask(const TBitmapRows& Bmp1, const TBitmapRows& Bmp2, const TBitmapRows& Msk, const TkvRect& R);
// Over R, where Msk's red byte is not 255, Bmp1 takes 32-bit Bmp2 by Bmp2's alpha.
void SumByMaskWith32(const TBitmapRows& Bmp1, const TBitmapRows& Bmp2, const TBitmapRows& Msk, const TkvRect& R);
// Each channel of Bmp becomes mix(pixel, BlendColor) by the mask; one size.
void BlendBmpByMask(const TBitmapRows& Bmp, const TBitmapRows& Msk, TColor BlendColor);

// Key-colour copies.  TransColor is in TColor order.
// All of Src to (X, Y); pixels of TransColor skipped; a 32-bit Dst gets alpha 255.
void CopyTransBitmaps(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TColor TransColor);
// SrcRect (Right and Bottom included) to (X, Y) without TransColor pixels; 24-bit only.
void CopyTransRectA(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect, TColor TransColor);
// The same with holes filled from what lies behind (see the routine).
// DstIsBack: Dst is the background bitmap itself.
void CopyTransRect(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect, TColor TransColor,
                   const TkvBack& CI, bool UpdateTrans, bool DstIsBack);
// A plain copy of the colour bytes of SrcRect (Right and Bottom included) to (X, Y).
void CopyRect(const TBitmapRows& Dst, const TBitmapRows& Src, int X, int Y, TkvRect SrcRect);

// R2 of a skin image onto R1 through the mask in the image's lower half
// (mask row = Src height div 2 + source row).
void CopyByMask(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
                bool UpdateTrans);
// The same with the mask MaskHeight div 2 rows below each source row (the
// image record's own height), as the border painter asks.
void CopyByMaskData(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
                    bool UpdateTrans, int MaskHeight);
// A 32-bit image R2 laid over R1 of Dst by its alpha, optionally greyed
// (GrayedColor other than kvNoColor), faded (Blend percent) and reflected.
void CopyBmp32(TkvRect R1, TkvRect R2, const TBitmapRows& Dst, const TBitmapRows& Src, const TkvBack& CI,
               bool UpdateTrans, TColor GrayedColor, int Blend, bool Reflected);

// d = Round(s - Blend * (s - d)) per channel for SrcRect (Right and Bottom
// included) at (X, Y); TransColor's top byte 255 means no key colour.
void BlendTransRectangle(const TBitmapRows& Dst, int X, int Y, const TBitmapRows& Src, TkvRect SrcRect, double Blend,
                         TColor TransColor);
// Every pixel but TransColor becomes Round(C + Blend * (c - C)).
void BlendTransBitmap(const TBitmapRows& Bmp, double Blend, TColor Color, TColor TransColor);

// The three-band gradient (gtTopBottom 0, gtLeftRight 1, gtAsBorder 2).
void GradientBmp(const TBitmapRows& Bmp, TkvRect R, TColor Color1, TColor Color2, int GradType, int Percent1,
                 int Percent2, int Size);

} // namespace kvPaint
