#include "skin/paint/kvPNG_Draw.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "classlib/graphics/GdiHandles.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// The bits of a 1-bit icon mask: 0 opaque, 1 transparent; rows are
// WORD-aligned as CreateBitmap wants them.
class TIconMask {
    int FWidth, FHeight, FStride;
    std::vector<uint8_t> FBits;

public:
    TIconMask(int Width, int Height)
        : FWidth(Width), FHeight(Height), FStride((Width + 15) / 16 * 2), FBits(size_t(FStride) * Height, 0) {}
    void SetTransparent(int X, int Y) { FBits[size_t(Y) * FStride + X / 8] |= uint8_t(0x80 >> (X % 8)); }
    // An icon of Colour (its handle is only read) and this mask; nullptr on failure.
    HICON MakeIcon(TBitmap* Colour) const
    {
        GdiObject<HBITMAP> mask(::CreateBitmap(FWidth, FHeight, 1, 1, FBits.data()));
        if (!mask)
            return nullptr;
        Colour->FreeContext();  // the system reads the bitmap, which must not be selected
        ICONINFO ii{TRUE, 0, 0, mask.Get(), Colour->Handle()};
        return ::CreateIconIndirect(&ii);
    }
};

// Dst (its whole size) receives the whole of Src by a halftone stretch.
void HalftoneStretch(TBitmap* Dst, TBitmap* Src)
{
    HDC dc = Dst->Canvas()->Handle();
    StretchModeScope mode(dc, HALFTONE);
    POINT oldOrg;
    ::SetBrushOrgEx(dc, 0, 0, &oldOrg);
    ::StretchBlt(dc, 0, 0, Dst->Width(), Dst->Height(), Src->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(),
                 SRCCOPY);
    ::SetBrushOrgEx(dc, oldOrg.x, oldOrg.y, nullptr);
}

// A 32-bit copy of the 32-bit Src with its colour weighted by its alpha:
// scaled so, a fully transparent pixel gives no colour to its neighbours.
TBitmap* Premultiplied(TBitmap* Src)
{
    TBitmap* out = CreateBmp32(Src->Width(), Src->Height());
    const TBitmapRows s = Src->Rows(), d = out->Rows();
    for (int y = 0; y < s.Height; ++y)
        std::memcpy(d.Row(y), s.Row(y), std::size_t(s.Width) * 4);
    WeightByAlpha(out, TRect(0, 0, s.Width, s.Height));
    return out;
}

// A 32-bit bitmap whose colour bytes are the alpha of the 32-bit Src.
TBitmap* AlphaAsGrey(TBitmap* Src)
{
    TBitmap* grey = CreateBmp32(Src->Width(), Src->Height());
    const TBitmapRows s = Src->Rows(), d = grey->Rows();
    for (int y = 0; y < s.Height; ++y) {
        const uint8_t* ps = s.Row(y);
        uint8_t* pd = d.Row(y);
        for (int x = 0; x < s.Width; ++x, ps += 4, pd += 4)
            pd[0] = pd[1] = pd[2] = ps[3];
    }
    return grey;
}

} // namespace

void TPNGGraphic::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (PixelFormat() != pf32bit) {
        TBitmap::Draw(ACanvas, Rect);
        return;
    }
    const int W = Rect.Width(), H = Rect.Height();
    if (Empty() || W <= 0 || H <= 0)
        return;
    // The background (with the band for the mirror image) is read, the
    // picture laid over it, and the whole written back.
    TOwned<TBitmap> work(CreateBmp24(W, H + (Reflected ? H / 2 : 0)));
    HDC dc = ACanvas->Handle();
    HDC workDC = work->Canvas()->Handle();
    ::BitBlt(workDC, 0, 0, work->Width(), work->Height(), dc, Rect.left, Rect.top, SRCCOPY);
    if (W == Width() && H == Height())
        CopyBmp32(TRect(0, 0, W, H), TRect(0, 0, W, H), work.get(), this, EmptyCI, false, clNone, 0, Reflected);
    else
        DrawScaled(work.get(), W, H);
    ::BitBlt(dc, Rect.left, Rect.top, work->Width(), work->Height(), workDC, 0, 0, SRCCOPY);
}

// Colour and alpha are scaled apart, so that the halftone stretch of the
// colour bytes does not lose the alpha; the colour is scaled weighted by
// the alpha and divided by the scaled alpha after, so that fully
// transparent pixels lend no colour to the edges.  Scaled pictures get no
// mirror.
void TPNGGraphic::DrawScaled(TBitmap* Work, int W, int H)
{
    TOwned<TBitmap> weighted(Premultiplied(this));
    TOwned<TBitmap> colour(CreateBmp32(W, H));
    HalftoneStretch(colour.get(), weighted.get());
    TOwned<TBitmap> alpha(AlphaAsGrey(this));
    TOwned<TBitmap> alphaScaled(CreateBmp32(W, H));
    HalftoneStretch(alphaScaled.get(), alpha.get());
    const TBitmapRows c = colour->Rows(), a = alphaScaled->Rows();
    for (int y = 0; y < H; ++y) {
        uint8_t* pc = c.Row(y);
        const uint8_t* pa = a.Row(y);
        for (int x = 0; x < W; ++x, pc += 4, pa += 4) {
            const int alphaHere = pa[0];
            for (int k = 0; k < 3; ++k)
                pc[k] = alphaHere ? uint8_t(std::min(255, (pc[k] * 255 + alphaHere / 2) / alphaHere)) : 0;
            pc[3] = uint8_t(alphaHere);
        }
    }
    CopyBmp32(TRect(0, 0, W, H), TRect(0, 0, W, H), Work, colour.get(), EmptyCI, false, clNone, 0, false);
}

HICON MakeIcon32(TBitmap* Bmp, bool MaskFromCorner)
{
    if (!Bmp || Bmp->Empty())
        return nullptr;
    TIconMask mask(Bmp->Width(), Bmp->Height());
    if (Bmp->PixelFormat() != pf32bit || MaskFromCorner) {
        Bmp->SetPixelFormat(pf32bit);
        TkvFast32 f;
        if (f.Attach(Bmp)) {
            const uint32_t key = uint32_t(f.GetPixel(0, 0));
            for (int y = 0; y < f.FHeight; ++y)
                for (int x = 0; x < f.FWidth; ++x)
                    if (uint32_t(f.GetPixel(x, y)) == key) {
                        mask.SetTransparent(x, y);
                        // The converted image is opaque; without this its
                        // alpha would hide the mask.
                        f.PixelAt(x, y)[3] = 0;
                    }
        }
    }
    return mask.MakeIcon(Bmp);
}

HICON MakeCompIcon(TPNGGraphic* Png, TColor BgColor)
{
    if (!Png || Png->Empty())
        return nullptr;
    const int w = Png->Width(), h = Png->Height();
    TOwned<TBitmap> bmp(CreateBmp32(w, h));
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, w, h), BgColor);
    bmp->Canvas()->Draw(0, 0, Png);
    Png->SetPixelFormat(pf32bit);
    TIconMask mask(w, h);
    TkvFast32 src, dst;
    if (src.Attach(Png) && dst.Attach(bmp.get()))
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* s = src.PixelAt(x, y);
                std::copy_n(s, 4, dst.PixelAt(x, y));
                if (s[3] == 0)
                    mask.SetTransparent(x, y);
            }
    return mask.MakeIcon(bmp.get());
}

void UpdateTransPixels(TBitmap* Bmp)
{
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf32bit)
        return;
    const TBitmapRows rows = Bmp->Rows();
    for (int y = 0; y < rows.Height; ++y) {
        uint8_t* p = rows.Row(y);
        for (int x = 0; x < rows.Width; ++x, p += 4)
            if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0)
                p[0] = p[1] = p[2] = 0;
    }
}
