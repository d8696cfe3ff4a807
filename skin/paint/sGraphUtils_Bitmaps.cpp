// Bitmap creation, the composition loops bound to bitmaps, soft shadows and
// the three-band gradient.
#include "skin/paint/sGraphUtils.h"

#include <algorithm>

#include "classlib/graphics/GdiHandles.h"

namespace {

TBitmap* CreateBmp(int Width, int Height, TPixelFormat Format)
{
    TBitmap* bmp = New<TBitmap>();
    bmp->SetPixelFormat(Format);
    bmp->SetHandleType(bmDIB);
    bmp->SetSize(Width, Height);
    return bmp;
}

} // namespace

TBitmap* CreateBmp24(int Width, int Height)
{
    return CreateBmp(Width, Height, pf24bit);
}

TBitmap* CreateBmp32(int Width, int Height)
{
    return CreateBmp(Width, Height, pf32bit);
}

TBitmap* CreateBmpLike(TBitmap* Bmp)
{
    return CreateBmp(Bmp->Width(), Bmp->Height(), Bmp->PixelFormat());
}

TBitmap* MakeRotated90(TBitmap*& Bmp, bool CW, bool KillSource)
{
    TBitmap* result = nullptr;
    if (Bmp && (Bmp->PixelFormat() == pf24bit || Bmp->PixelFormat() == pf32bit)) {
        result = CreateBmp(Bmp->Height(), Bmp->Width(), Bmp->PixelFormat());
        kvPaint::RotatePixels(RowsOf(Bmp), RowsOf(result), CW);
    }
    if (KillSource)
        FreeAndNil(Bmp);
    return result;
}

void InitCI(TCacheInfo& CI, TBitmap* Bmp, int X, int Y)
{
    CI.Bmp = Bmp;
    CI.X = X;
    CI.Y = Y;
    CI.Ready = true;
}

// ---------------------------------------------------------------------------
void SumBitmaps(TBitmap* Dst, TBitmap* Src, TsColor Color)
{
    kvPaint::SumBitmaps(RowsOf(Dst), RowsOf(Src), Color.R);
}

void SumBmpRect(TBitmap* Dst, TBitmap* Src, TsColor Color, const TRect& SrcRect, const TPoint& DstPoint)
{
    kvPaint::SumBmpRect(RowsOf(Dst), RowsOf(Src), Color.R, KvRect(SrcRect), KvPoint(DstPoint));
}

void SumBitmapsByMask(TBitmap*& Out, TBitmap*& Src1, TBitmap*& Src2, TBitmap* Msk, uint16_t Percent)
{
    const TBitmapRows mask = RowsOf(Msk);
    kvPaint::SumBitmapsByMask(RowsOf(Out), RowsOf(Src1), RowsOf(Src2), Msk ? &mask : nullptr, Percent);
}

void SumByMask(TBitmap*& Bmp1, TBitmap*& Bmp2, TBitmap*& Msk, const TRect& R)
{
    kvPaint::SumByMask(RowsOf(Bmp1), RowsOf(Bmp2), RowsOf(Msk), KvRect(R));
}

void SumByMaskWith32(TBitmap* Bmp1, TBitmap* Bmp2, TBitmap* Msk, const TRect& R)
{
    kvPaint::SumByMaskWith32(RowsOf(Bmp1), RowsOf(Bmp2), RowsOf(Msk), KvRect(R));
}

void BlendBmpByMask(TBitmap* Bmp, TBitmap* Msk, TsColor BlendColor)
{
    kvPaint::BlendBmpByMask(RowsOf(Bmp), RowsOf(Msk), BlendColor.C);
}

void CopyTransBitmaps(TBitmap* Dst, TBitmap* Src, int X, int Y, TsColor TransColor)
{
    kvPaint::CopyTransBitmaps(RowsOf(Dst), RowsOf(Src), X, Y, TransColor.C);
}

void CopyTransRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor,
                   const TCacheInfo& CI, bool UpdateTrans)
{
    kvPaint::CopyTransRect(RowsOf(Dst), RowsOf(Src), X, Y, KvRect(SrcRect), TransColor, BackOf(CI), UpdateTrans,
                           Dst && CI.Bmp == Dst);
}

void CopyTransRectA(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor,
                    const TCacheInfo& CI)
{
    kvPaint::CopyTransRectA(RowsOf(Dst), RowsOf(Src), X, Y, KvRect(SrcRect), TransColor);
}

void CopyRect(TBitmap* Dst, TBitmap* Src, int X, int Y, const TRect& SrcRect, TColor TransColor)
{
    kvPaint::CopyRect(RowsOf(Dst), RowsOf(Src), X, Y, KvRect(SrcRect));
}

void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans)
{
    kvPaint::CopyByMask(KvRect(R1), KvRect(R2), RowsOf(Dst), RowsOf(Src), BackOf(CI), UpdateTrans);
}

void CopyByMask(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans,
                const TsMaskData& MaskData)
{
    kvPaint::CopyByMaskData(KvRect(R1), KvRect(R2), RowsOf(Dst), RowsOf(Src), BackOf(CI), UpdateTrans,
                            MaskData.R.Height());
}

void CopyBmp32(const TRect& R1, const TRect& R2, TBitmap* Dst, TBitmap* Src, const TCacheInfo& CI, bool UpdateTrans,
               TColor GrayedColor, int Blend, bool Reflected)
{
    if (!Src || Src->Empty())
        return;
    Src->SetPixelFormat(pf32bit);
    kvPaint::CopyBmp32(KvRect(R1), KvRect(R2), RowsOf(Dst), RowsOf(Src), BackOf(CI), UpdateTrans, GrayedColor, Blend,
                       Reflected);
}

void BlendTransRectangle(TBitmap* Dst, int X, int Y, TBitmap* Src, const TRect& SrcRect, double Blend,
                         TsColor TransColor)
{
    kvPaint::BlendTransRectangle(RowsOf(Dst), X, Y, RowsOf(Src), KvRect(SrcRect), Blend, TransColor.C);
}

void BlendTransBitmap(TBitmap* Bmp, double Blend, TsColor Color, TsColor TransColor)
{
    kvPaint::BlendTransBitmap(RowsOf(Bmp), Blend, Color.C, TransColor.C);
}

void GradientBmp(TBitmap* Bmp, const TRect& R, TsColor Color1, TsColor Color2, TGradientTypes GradType,
                 uint8_t Percent1, uint8_t Percent2, int Size)
{
    if (!Bmp || Bmp->Empty())
        return;
    Bmp->SetPixelFormat(pf24bit);
    kvPaint::GradientBmp(RowsOf(Bmp), KvRect(R), Color1.C, Color2.C, GradType, Percent1, Percent2, Size);
}

// ---------------------------------------------------------------------------
// Soft shadows: a grey mask of nested rounded shapes, darker (more colour)
// toward the middle, lays the colour over a copy of the area.
namespace {

struct TShadowMask {
    TOwned<TBitmap> Bmp;
    int L;        // grey of the middle: Transparency * 255 div 100
    double Step;  // grey step between rings

    TShadowMask(int W, int H, int Transparency, int Blur)
        : Bmp(CreateBmp24(W, H)), L(Transparency * 255 / 100), Step((255 - L) / (Blur + 1.0))
    {
        TCanvas* c = Bmp->Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, W, H));
        c->Pen()->SetStyle(psClear);
        c->Brush()->SetStyle(bsSolid);
    }
    TCanvas* Grey(int G)
    {
        const int g = ClampByte(G);
        Bmp->Canvas()->Brush()->SetColor(MakeColor(g, g, g));
        return Bmp->Canvas();
    }
};

int CutBlur(int Blur, int W, int H)
{
    return std::max(0, std::min(Blur, std::min(W / 2, H / 2)));
}

} // namespace

void FadeBmp(TBitmap* Bmp, const TRect& R, int Transparency, TsColor Color, int Blur, int Radius)
{
    const int w = R.Width(), h = R.Height();
    if (!Bmp || Bmp->Empty() || w <= 0 || h <= 0)
        return;
    Blur = CutBlur(Blur, w, h);
    Radius = CutBlur(Radius, w, h);
    TOwned<TBitmap> copy(CreateBmp24(w, h));
    ::BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, Bmp->Canvas()->Handle(), R.left, R.top, SRCCOPY);
    TShadowMask mask(w, h, Transparency, Blur);
    for (int i = 0; i <= Blur; ++i)
        mask.Grey(i == 0 ? 255 : RoundEven((Blur - i + 1) * mask.Step) + mask.L)->RoundRect(i, i, w - i, h - i, Radius,
                                                                                             Radius);
    mask.Grey(mask.L)->RoundRect(Blur, Blur, w - Blur, h - Blur, Blur, Blur);
    BlendBmpByMask(copy.get(), mask.Bmp.get(), Color);
    ::BitBlt(Bmp->Canvas()->Handle(), R.left, R.top, w, h, copy->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape, int Radius)
{
    const int w = SrcRect.Width(), h = SrcRect.Height();
    if (!SrcCanvas || !DstDC || w <= 0 || h <= 0)
        return;
    HDC src = SrcCanvas->Handle();
    SavedDC savedSrc(src), savedDst(DstDC);
    if (Transparency <= 0) {
        FillDC(DstDC, Bounds(DstPoint.x, DstPoint.y, w, h), Color);
        return;
    }
    if (Transparency >= 100) {
        ::BitBlt(DstDC, DstPoint.x, DstPoint.y, w, h, src, SrcRect.left, SrcRect.top, SRCCOPY);
        return;
    }
    Blur = CutBlur(Blur, w, h);
    TOwned<TBitmap> copy(CreateBmp24(w, h));
    ::BitBlt(copy->Canvas()->Handle(), 0, 0, w, h, src, SrcRect.left, SrcRect.top, SRCCOPY);
    TShadowMask mask(w, h, Transparency, Blur);
    for (int i = 0; i <= Blur; ++i) {
        TCanvas* c = mask.Grey(RoundEven(mask.Step * (Blur - i)) + mask.L);
        if (Shape == ssRectangle)
            c->RoundRect(i, i, w - i + 1, h - i + 1, Radius + Blur, Radius + Blur);
        else if (Shape == ssEllipse)
            c->Ellipse(i, i, w - i, h - i);
    }
    BlendBmpByMask(copy.get(), mask.Bmp.get(), TsColor{.C = ColorToRGB(Color)});
    ::BitBlt(DstDC, DstPoint.x, DstPoint.y, w, h, copy->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void FadeRect(TCanvas* SrcCanvas, const TRect& SrcRect, HDC DstDC, const TPoint& DstPoint, int Transparency,
              TColor Color, int Blur, TsShadowingShape Shape)
{
    FadeRect(SrcCanvas, SrcRect, DstDC, DstPoint, Transparency, Color, Blur, Shape, 0);
}
