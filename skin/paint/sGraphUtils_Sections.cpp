#include "skin/paint/sGraphUtils_Sections.h"

#include <algorithm>
#include <optional>

#include "classlib/graphics/GdiHandles.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/controls/Forms.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sSkinTables.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sAlphaGraph_Masks.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Cache.h"

namespace {

// What the layers of a section paint in one state.
struct TLayerValues {
    TColor Color = 0;
    int Transparency = 0;
    int ImagePercent = 0;
    int GradientPercent = 0;
    const UnicodeString* GradientText = nullptr;
    const TsGradArray* GradientArray = nullptr;
    int Texture = -1;        // index into ma, or into pa when IsPattern
    bool IsPattern = false;
    int TextureWeightScale = 255;  // the texture's weight over a gradient: percent * scale div 100
    bool ShareIsFill = false;      // an uncovered colour share takes CI.FillColor
};

bool InsideBmp(TBitmap* Bmp, const TRect& R)
{
    return Bmp && !Bmp->Empty() && R.left >= 0 && R.top >= 0 && R.right <= Bmp->Width() &&
           R.bottom <= Bmp->Height();
}

bool ValidImage(const TsSkinTables& sm, int Index)
{
    return sm.IsValidImgIndex(Index);
}

void FillArea(TBitmap* Bmp, const TRect& R, TColor Color)
{
    if (Bmp->PixelFormat() == pf32bit) {
        FillRect32(Bmp, R, Color);
        return;
    }
    // A plain colour in a 24-bit image's memory gets the same bytes as a
    // solid brush, without a brush made and freed each time.
    const TColor rgb = ColorToRGB(Color);
    if (Bmp->PixelFormat() == pf24bit && Bmp->HandleType() == bmDIB && TopOf(rgb) == 0)
        kvPaint::FillRect24(RowsOf(Bmp), KvRect(R), rgb);
    else
        FillDC(Bmp->Canvas()->Handle(), R, Color);
}

// A bitmap to paint layers aside in: one of the skin's kept scratch bitmaps
// when it keeps them (it reads as a new one over W x H), else a new one.
// Under 2 x 2 always a new one: the pixel loops refuse bitmaps that small,
// and a larger scratch bitmap would not be refused.
class TLayer {
public:
    TLayer(const TsSkinTables& sm, TBitmap* Like, int W, int H, bool Allow32)
    {
        const bool is32 = Allow32 && Like->PixelFormat() == pf32bit;
        TsPaintCache* cache = W >= 2 && H >= 2 ? TsPaintCache::Of(&sm) : nullptr;
        if (cache)
            FLease.emplace(cache->Scratch(W, H, is32 ? pf32bit : pf24bit));
        else
            FOwn.reset(is32 ? CreateBmp32(W, H) : CreateBmp24(W, H));
    }
    TBitmap* get() const { return FLease ? FLease->get() : FOwn.get(); }
    TBitmap* operator->() const { return get(); }

private:
    std::optional<TsPaintCache::TLease> FLease;
    TOwned<TBitmap> FOwn;
};

TkvFillMode FillModeOf(const TsMaskData& Md)
{
    return Md.DrawMode >= 0 && Md.DrawMode < 15 ? kvFillModes[Md.DrawMode] : fmTiled;
}

TCacheInfo Moved(TCacheInfo CI, const TPoint& Offset)
{
    CI.X += Offset.x;
    CI.Y += Offset.y;
    return CI;
}

// The texture tiled over WR; the part it left uncovered takes the colour.
void PaintTexture(const TsSkinTables& sm, TBitmap* Target, const TRect& WR, const TCacheInfo& CI,
                  const TLayerValues& V)
{
    TRect left = WR;
    if (V.IsPattern) {
        if (V.Texture >= 0 && V.Texture < int(sm.pa.size()))
            TileBitmap(Target->Canvas(), left, sm.pa[std::size_t(V.Texture)].Img, TsMaskData{}, fmTiled);
    } else if (ValidImage(sm, V.Texture)) {
        const TsMaskData& md = sm.ma[std::size_t(V.Texture)];
        if (md.MaskType > 0)
            TileMasked(Target, left, CI, md, FillModeOf(md));
        else
            TileBitmap(Target->Canvas(), left, md.Bmp, md, FillModeOf(md));
    }
    if (left.right != -1)
        FillArea(Target, left, V.Color);
}

// A gradient's line from the skin's kept ones; false when it keeps none or
// the gradient is not one of rows or columns.
bool PaintKeptGradient(const TsSkinTables& sm, TBitmap* Bmp, const TRect& R, const TsGradArray& Data)
{
    TsPaintCache* cache = TsPaintCache::Of(&sm);
    const int bpp = Bmp->PixelFormat() == pf24bit ? 3 : (Bmp->PixelFormat() == pf32bit ? 4 : 0);
    if (!cache || Data.empty() || (Data[0].Mode1 != 0 && Data[0].Mode1 != 1) || bpp == 0 || Bmp->HandleType() != bmDIB)
        return false;
    const TBitmapRows rows = RowsOf(Bmp);
    TkvSpan s;
    if (!ClipRect(KvRect(R), rows.Width, rows.Height, s))
        return true;
    std::vector<TkvGradPiece> pieces;
    pieces.reserve(Data.size());
    for (const TsGradPie& p : Data)
        pieces.push_back({p.Color1, p.Color2, p.Percent, p.Mode1, p.Mode2});
    const bool across = Data[0].Mode1 == 1;
    kvPaint::PaintGradLine(rows, s, cache->GradLine(pieces, s.X, across ? s.W : s.H, bpp));
    return true;
}

// The gradient (or the colour without gradient text) over the whole of Bmp's R.
void PaintGradient(const TsSkinTables& sm, TBitmap* Bmp, const TRect& R, const TLayerValues& V)
{
    if (V.GradientText && !V.GradientText->empty() && V.GradientArray) {
        if (!PaintKeptGradient(sm, Bmp, R, *V.GradientArray))
            PaintGrad(Bmp, R, *V.GradientArray, 0, 0);
    } else {
        FillArea(Bmp, R, V.Color);
    }
}

void PaintLayers(const TsSkinTables& sm, TBitmap* Target, const TRect& WR, const TCacheInfo& CI,
                 const TLayerValues& V)
{
    if (V.ImagePercent > 0)
        PaintTexture(sm, Target, WR, CI, V);
    if (V.GradientPercent > 0) {
        if (V.ImagePercent > 0) {
            TLayer layer(sm, Target, WR.Width(), WR.Height(), true);
            PaintGradient(sm, layer.get(), TRect(0, 0, WR.Width(), WR.Height()), V);
            const uint8_t w = uint8_t(IntToByte(V.ImagePercent * V.TextureWeightScale / 100));
            kvPaint::SumBmpRect(RowsOf(Target), RowsOf(layer.get()), w, {0, 0, WR.Width(), WR.Height()},
                                {int(WR.left), int(WR.top)});
        } else {
            PaintGradient(sm, Target, WR, V);
        }
    }
    const int share = V.ImagePercent + V.GradientPercent;
    if (share == 0)
        FillArea(Target, WR, V.ShareIsFill ? CI.FillColor : V.Color);
    else if (share < 100)
        BlendColorRect(Target, WR, uint8_t(share), V.Color);
}

// What lies behind R: the parent's image, or its fill colour.
void PaintBackground(TBitmap* Bmp, const TRect& R, const TCacheInfo& CI, const TPoint& Offset)
{
    if (!CI.Ready) {
        FillArea(Bmp, R, CI.FillColor);
        return;
    }
    if (CI.Bmp && CI.Bmp != Bmp)
        ::BitBlt(Bmp->Canvas()->Handle(), R.left, R.top, R.Width(), R.Height(), CI.Bmp->Canvas()->Handle(),
                 CI.X + Offset.x, CI.Y + Offset.y, SRCCOPY);
}

// The layers painted aside and mixed over the background by the transparency.
void PaintTranslucent(const TsSkinTables& sm, TBitmap* Bmp, const TRect& R, const TCacheInfo& CI,
                      const TPoint& Offset, const TLayerValues& V, bool Allow32)
{
    const int w = R.Width(), h = R.Height();
    TLayer layers(sm, Bmp, w, h, Allow32);
    PaintLayers(sm, layers.get(), TRect(0, 0, w, h), CI, V);
    PaintBackground(Bmp, R, CI, Offset);
    if (layers->PixelFormat() != Bmp->PixelFormat())
        layers->SetPixelFormat(Bmp->PixelFormat());
    const uint8_t weight = uint8_t(IntToByte(V.Transparency * 255 / 100));
    kvPaint::SumBmpRect(RowsOf(Bmp), RowsOf(layers.get()), weight, {0, 0, w, h}, {int(R.left), int(R.top)});
}

// The texture of a state: the given image when it has no mask, else the
// section's pattern image, else its JPEG pattern.
void ChooseTexture(const TsSkinTables& sm, int SkinIndex, const UnicodeString& Section, int State, int Given,
                   TLayerValues& V)
{
    const wchar_t* name = State != 0 ? s_HotPattern : s_Pattern;
    // The lookups by name are the skin's own answers: kept while it stays.
    const auto named = [&] {
        TsPaintCache::TTexture t;
        t.Image = sm.GetMaskIndex(SkinIndex, Section, name);
        t.Pattern = sm.GetPatternIndex(SkinIndex, Section, name);
        return t;
    };
    TsPaintCache* cache = TsPaintCache::Of(&sm);
    const TsPaintCache::TTexture found = cache ? cache->Texture(SkinIndex, Section, State != 0, named) : named();
    int image = -1;
    if (Given == -1)
        image = found.Image;
    else if (ValidImage(sm, Given) && sm.ma[std::size_t(Given)].MaskType == 0)
        image = Given;
    if (ValidImage(sm, image)) {
        V.Texture = image;
        return;
    }
    if (found.Pattern >= 0) {
        V.Texture = found.Pattern;
        V.IsPattern = true;
    }
}

TLayerValues SectionValues(const TsGeneralData& gd, int State)
{
    const bool hot = State != 0;
    TLayerValues v;
    v.Color = hot ? gd.HotColor : gd.Color;
    v.Transparency = hot ? gd.HotTransparency : gd.Transparency;
    v.ImagePercent = hot ? gd.HotImagePercent : gd.ImagePercent;
    v.GradientPercent = hot ? gd.HotGradientPercent : gd.GradientPercent;
    v.GradientText = hot ? &gd.HotGradientData : &gd.GradientData;
    v.GradientArray = hot ? &gd.HotGradientArray : &gd.GradientArray;
    return v;
}

// A masked texture with DrawMode 10 laid over the normal state.
void PaintMaskedOverlay(const TsSkinTables& sm, TBitmap* Bmp, const TRect& R, const TCacheInfo& CI,
                        const TPoint& Offset, int TextureIndex, int HotTextureIndex)
{
    const auto masked = [&](int i) { return ValidImage(sm, i) && sm.ma[std::size_t(i)].MaskType >= 1; };
    const auto mode10 = [&](int i) { return ValidImage(sm, i) && sm.ma[std::size_t(i)].DrawMode == 10; };
    int overlay = -1;
    if ((TextureIndex == -1 || !masked(TextureIndex)) && HotTextureIndex != -1 && masked(HotTextureIndex) &&
        mode10(HotTextureIndex))
        overlay = HotTextureIndex;
    else if (mode10(TextureIndex))
        overlay = TextureIndex;
    if (overlay < 0)
        return;
    TRect r = R;
    TileMasked(Bmp, r, Moved(CI, Offset), sm.ma[std::size_t(overlay)], fmDisTiled);
}

void DrawCornerGlyphs(const TsSkinTables& sm, const TsGeneralData& gd, TBitmap* Bmp, const TRect& R, int State)
{
    const TCacheInfo ci = MakeCacheInfo(Bmp, 0, 0);
    const auto draw = [&](int Index, bool Right, bool Bottom) {
        if (!ValidImage(sm, Index))
            return;
        const TsMaskData& md = sm.ma[std::size_t(Index)];
        const TPoint p(Right ? R.right - WidthOfImage(md) : R.left, Bottom ? R.bottom - HeightOfImage(md) : R.top);
        DrawSkinGlyph(Bmp, p, State, 1, md, ci);
    };
    draw(gd.ImgTL, false, false);
    draw(gd.ImgTR, true, false);
    draw(gd.ImgBL, false, true);
    draw(gd.ImgBR, true, true);
}

// ---------------------------------------------------------------------------
// Finished pictures of opaque sections (see sGraphUtils_Cache.h).

bool Is24BitImage(TBitmap* Bmp)
{
    return Bmp && !Bmp->Empty() && Bmp->PixelFormat() == pf24bit && Bmp->HandleType() == bmDIB;
}

// Whether PaintItem of the section over W x H at column Left paints the
// same pixels over any background and into any bitmap content, apart from
// the key-colour pixels of its border's corners: a plain opaque colour or a
// gradient of rows or columns that covers the area, no texture, corner
// glyphs inside the area, and 24-bit images the corners can be mended from.
// A gradient across is kept only for areas from column 0 (where its pieces
// end is rounded at their columns in the bitmap).
bool KeepablePicture(const TsSkinTables& sm, const TsGeneralData& gd, int State, int Left, int W, int H)
{
    const TLayerValues v = SectionValues(gd, State);
    if (v.Transparency != 0 || v.ImagePercent != 0 || v.GradientPercent < 0)
        return false;
    if (v.GradientPercent > 0 && !v.GradientText->empty()) {
        const TsGradArray& a = *v.GradientArray;
        if (a.empty() || !((a[0].Mode1 == 0 && H >= 2) || (a[0].Mode1 == 1 && W >= 2 && Left == 0)))
            return false;
    }
    for (int glyph : {gd.ImgTL, gd.ImgTR, gd.ImgBL, gd.ImgBR})
        if (ValidImage(sm, glyph)) {
            const TsMaskData& md = sm.ma[std::size_t(glyph)];
            if (WidthOfImage(md) > W || HeightOfImage(md) > H)
                return false;
        }
    return !ValidImage(sm, gd.BorderIndex) || Is24BitImage(ImageBitmapOf(sm.ma[std::size_t(gd.BorderIndex)]));
}

// The values a section's picture is painted from, to tell a kept picture
// from one the tables have changed under.
std::vector<int64_t> PictureValues(const TsSkinTables& sm, const TsGeneralData& gd, int State)
{
    const TLayerValues v = SectionValues(gd, State);
    std::vector<int64_t> out = {ColorToRGB(v.Color), v.Transparency, v.ImagePercent, v.GradientPercent,
                                v.GradientText->empty(), int64_t(v.GradientArray->size())};
    for (const TsGradPie& p : *v.GradientArray)
        out.insert(out.end(), {p.Color1, p.Color2, p.Percent, p.Mode1});
    for (int i : {gd.BorderIndex, gd.ImgTL, gd.ImgTR, gd.ImgBL, gd.ImgBR}) {
        out.push_back(i);
        if (!ValidImage(sm, i))
            continue;
        const TsMaskData& md = sm.ma[std::size_t(i)];
        const TBitmap* image = ImageBitmapOf(md);
        out.insert(out.end(), {md.R.left, md.R.top, md.R.right, md.R.bottom, md.ImageCount, md.MaskType, md.DrawMode,
                               md.WL, md.WT, md.WR, md.WB, int64_t(reinterpret_cast<intptr_t>(md.Manager)),
                               int64_t(reinterpret_cast<intptr_t>(image)), image ? image->Width() : 0,
                               image ? image->Height() : 0});
    }
    return out;
}

// The section painted over nothing into a W x H picture: the corners'
// key-colour pixels keep what lies under them.
TsPaintCache::TPicture PaintPicture(TsPaintCache& Cache, const TsSkinTables& sm, TObject* Manager, int SkinIndex,
                                    const UnicodeString& Section, bool Filling, int State, int W, int H)
{
    TsPaintCache::TPicture pic;
    pic.W = W;
    pic.H = H;
    const TsPaintCache::TLease canvas = Cache.PictureCanvas(W, H);
    const TRect r(0, 0, W, H);
    PaintItemBG(SkinIndex, Section, EmptyCI, State, r, TPoint(0, 0), canvas.get(), Manager, -1, -1, kvKeyColor);
    const TsGeneralData& gd = sm.gd[std::size_t(SkinIndex)];
    DrawCornerGlyphs(sm, gd, canvas.get(), r, State);
    if (ValidImage(sm, gd.BorderIndex))
        DrawSkinRectCorners(canvas.get(), r, Filling, sm.ma[std::size_t(gd.BorderIndex)], State, pic.Corners);
    const TBitmapRows rows = RowsOf(canvas.get());
    pic.Pixels.resize(std::size_t(W) * 3 * std::size_t(H));
    for (int y = 0; y < H; ++y)
        std::copy_n(rows.Row(y), std::size_t(W) * 3, &pic.Pixels[std::size_t(y) * W * 3]);
    return pic;
}

// PaintItem through the skin's kept pictures; false when the section or the
// background does not allow it (the caller paints it the full way).
bool PaintKeptItem(const TsSkinTables& sm, TObject* Manager, int SkinIndex, const UnicodeString& Section,
                   const TCacheInfo& CI, bool Filling, int State, const TRect& R, const TPoint& Offset, TBitmap* Bmp,
                   int TextureIndex, int HotTextureIndex)
{
    TsPaintCache* cache = TsPaintCache::Of(&sm);
    const int w = R.Width(), h = R.Height();
    // The corners are mended from a background of 24 or 32 bits that is not
    // the bitmap being painted (which would change under the paint).
    if (!cache || TextureIndex != -1 || HotTextureIndex != -1 || !Is24BitImage(Bmp) ||
        (CI.Ready && (!CI.Bmp || CI.Bmp == Bmp || CI.Bmp->Empty() ||
                      (CI.Bmp->PixelFormat() != pf24bit && CI.Bmp->PixelFormat() != pf32bit))))
        return false;
    const TsGeneralData& gd = sm.gd[std::size_t(SkinIndex)];
    if (w < 2 || h < 2 || !KeepablePicture(sm, gd, State, R.left, w, h))
        return false;
    const TsPaintCache::TPictureKey key{SkinIndex, State, w, h, Filling};
    std::vector<int64_t> made = PictureValues(sm, gd, State);
    const TsPaintCache::TPicture* pic = cache->FindPicture(key, made);
    TsPaintCache::TPicture fresh;
    if (!pic) {
        fresh = PaintPicture(*cache, sm, Manager, SkinIndex, Section, Filling, State, w, h);
        fresh.Made = std::move(made);
        pic = cache->KeepPicture(key, fresh);
        if (!pic)
            pic = &fresh;  // too large to keep: used once
    }
    const TBitmapRows rows = RowsOf(Bmp);
    for (int y = 0; y < h; ++y)
        std::copy_n(&pic->Pixels[std::size_t(y) * w * 3], std::size_t(w) * 3, rows.Pixel(R.left, R.top + y));
    const TkvBack back = BackOf(Moved(CI, Offset));
    for (const TsCornerCopy& c : pic->Corners)
        kvPaint::RepairCorner(rows, R.left + c.D.Left, R.top + c.D.Top, RowsOf(c.Src), c.S.Left, c.S.Top, c.D.Width(),
                              c.D.Height(), back);
    return true;
}

} // namespace

void PaintItemBG(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, int State, const TRect& R,
                 const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager, int TextureIndex, int HotTextureIndex,
                 TColor CustomColor)
{
    const TsSkinTables* sm = SkinTablesOf(SkinManager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || !Bmp || Bmp->Empty() || R.Width() <= 0 || R.Height() <= 0)
        return;
    TLayerValues v;
    if (CustomColor != kvKeyColor) {
        v.Color = CustomColor;
    } else {
        const TsGeneralData& gd = sm->gd[std::size_t(SkinIndex)];
        v = SectionValues(gd, State);
        if (v.Transparency == 100)
            v.ImagePercent = v.GradientPercent = 0;
        if (v.ImagePercent > 0)
            ChooseTexture(*sm, SkinIndex, Section, State, State != 0 ? HotTextureIndex : TextureIndex, v);
    }
    v.ShareIsFill = !CI.Ready && v.Transparency != 0;
    if (CI.Ready || CI.FillColor != kvKeyColor) {
        if (v.Transparency == 100)
            PaintBackground(Bmp, R, CI, Offset);
        else if (v.Transparency == 0)
            PaintLayers(*sm, Bmp, R, CI, v);
        else
            PaintTranslucent(*sm, Bmp, R, CI, Offset, v, true);
    } else {
        PaintLayers(*sm, Bmp, R, CI, v);
    }
    if (State == 0)
        PaintMaskedOverlay(*sm, Bmp, R, CI, Offset, TextureIndex, HotTextureIndex);
}

void PaintItemBGFast(int SkinIndex, int TextureIndex, int HotTextureIndex, const UnicodeString& /*Section*/,
                     const TCacheInfo& CI, int State, const TRect& R, const TPoint& Offset, TBitmap* Bmp,
                     TObject* SkinManager)
{
    const TsSkinTables* sm = SkinTablesOf(SkinManager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || !Bmp || Bmp->Empty() || R.Width() <= 0 || R.Height() <= 0)
        return;
    TLayerValues v = SectionValues(sm->gd[std::size_t(SkinIndex)], State);
    v.Texture = State != 0 ? HotTextureIndex : TextureIndex;
    v.TextureWeightScale = 256;
    v.ShareIsFill = !CI.Ready && v.Transparency == 100;
    if (!CI.Ready || v.Transparency == 0)
        PaintLayers(*sm, Bmp, R, CI, v);
    else if (v.Transparency == 100)
        PaintBackground(Bmp, R, CI, Offset);
    else if (v.Transparency > 0)
        PaintTranslucent(*sm, Bmp, R, CI, Offset, v, false);
}

void PaintItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
               const TRect& R, const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager, int TextureIndex,
               int HotTextureIndex)
{
    TObject* manager = ManagerOrDefault(SkinManager);
    const TsSkinTables* sm = SkinTablesOf(manager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || R.left >= R.right || R.top >= R.bottom || !InsideBmp(Bmp, R))
        return;
    if (PaintKeptItem(*sm, manager, SkinIndex, Section, CI, Filling, State, R, Offset, Bmp, TextureIndex,
                      HotTextureIndex))
        return;
    PaintItemBG(SkinIndex, Section, CI, State, R, Offset, Bmp, manager, TextureIndex, HotTextureIndex, kvKeyColor);
    const TsGeneralData& gd = sm->gd[std::size_t(SkinIndex)];
    DrawCornerGlyphs(*sm, gd, Bmp, R, State);
    if (ValidImage(*sm, gd.BorderIndex))
        DrawSkinRect(Bmp, R, Filling, Moved(CI, Offset), sm->ma[std::size_t(gd.BorderIndex)], State, true, nullptr);
}

void PaintItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
               const TRect& R, const TPoint& Offset, HDC DC, TObject* SkinManager)
{
    TObject* manager = ManagerOrDefault(SkinManager);
    const TsSkinTables* sm = SkinTablesOf(manager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || R.left < 0 || R.top < 0 || R.Width() < 1 || R.Height() < 1)
        return;
    SavedDC saved(DC);
    TLayer bmp(*sm, nullptr, R.Width(), R.Height(), false);
    PaintItem(SkinIndex, Section, CI, Filling, State, TRect(0, 0, R.Width(), R.Height()), Offset, bmp.get(), manager,
              -1, -1);
    ::BitBlt(DC, R.left, R.top, R.Width(), R.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void PaintItemFast(int SkinIndex, int BorderIndex, int TextureIndex, int HotTextureIndex,
                   const UnicodeString& Section, TCacheInfo& CI, bool Filling, int State, const TRect& R,
                   const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager)
{
    TObject* manager = ManagerOrDefault(SkinManager);
    const TsSkinTables* sm = SkinTablesOf(manager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || !InsideBmp(Bmp, R))
        return;
    PaintItemBGFast(SkinIndex, TextureIndex, HotTextureIndex, Section, CI, State, R, Offset, Bmp, manager);
    if (ValidImage(*sm, BorderIndex))
        DrawSkinRect(Bmp, R, Filling, Moved(CI, Offset), sm->ma[std::size_t(BorderIndex)], State, true, manager);
}

void PaintSmallItem(int SkinIndex, const UnicodeString& Section, const TCacheInfo& CI, bool Filling, int State,
                    const TRect& R, const TPoint& Offset, TBitmap* Bmp, TObject* SkinManager)
{
    TObject* manager = ManagerOrDefault(SkinManager);
    const TsSkinTables* sm = SkinTablesOf(manager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || !InsideBmp(Bmp, R))
        return;
    PaintItemBG(SkinIndex, Section, CI, State, R, Offset, Bmp, manager, -1, -1, kvKeyColor);
    const int border = sm->GetMaskIndex(SkinIndex, Section, s_BordersMask);
    if (ValidImage(*sm, border))
        DrawSmallSkinRect(Bmp, R, Filling, Moved(CI, Offset), sm->ma[std::size_t(border)], State);
}

int PaintSection(TBitmap* Bmp, const UnicodeString& Section, const UnicodeString& SecondSection, int State,
                 TObject* Manager, const TPoint& ParentOffset, TColor BGColor, HDC ParentDC)
{
    TObject* manager = ManagerOrDefault(Manager);
    const TsSkinTables* sm = SkinTablesOf(manager);
    if (!sm)
        return -1;
    UnicodeString name = Section;
    int index = sm->GetSkinIndex(Section);
    if (!sm->IsValidSkinIndex(index)) {
        name = SecondSection;
        index = sm->GetSkinIndex(SecondSection);
    }
    if (!sm->IsValidSkinIndex(index) || !Bmp || Bmp->Empty())
        return index;
    // A fill colour is an RGB value: a system colour is looked up first.
    const TColor fill = ColorToRGB(BGColor);
    TCacheInfo ci = EmptyCI;
    ci.FillColor = fill;
    if (ParentDC) {
        ::BitBlt(Bmp->Canvas()->Handle(), 0, 0, Bmp->Width(), Bmp->Height(), ParentDC, ParentOffset.x,
                 ParentOffset.y, SRCCOPY);
        ci = MakeCacheInfo(Bmp, 0, 0);
        ci.FillColor = fill;
    }
    PaintItem(index, name, ci, true, State, TRect(0, 0, Bmp->Width(), Bmp->Height()), TPoint(0, 0), Bmp, manager, -1,
              -1);
    return index;
}

// ---------------------------------------------------------------------------
namespace {

// The owner's own colour for a section painted in it: the form's for a
// form's provider, else the control's; the key colour without either.
TColor OwnerColor(TsCommonData* SkinData)
{
    if (TsProviderSeam* provider = SkinData->OwnerProvider()) {
        TCustomForm* form = ProviderForm(provider);
        return form ? ColorToRGB(form->Color()) : kvKeyColor;
    }
    return SkinData->FOwnerControl ? ColorToRGB(SkinData->FOwnerControl->Color()) : kvKeyColor;
}

// Border and corner glyphs of the control's section over R.
void PaintControlBorder(TsCommonData* SkinData, const TsSkinTables& sm, const TCacheInfo& CI, bool Filling,
                        int State, const TRect& R, const TPoint& Offset, TBitmap* Bmp, bool UpdateCorners)
{
    const int border = SkinData->BorderIndex;
    if (ValidImage(sm, border)) {
        const TsMaskData& md = sm.ma[std::size_t(border)];
        if (State != 0 || !(md.DrawMode & 2))
            DrawSkinRect(Bmp, R, Filling, Moved(CI, Offset), md, State, UpdateCorners, nullptr);
    }
    DrawCornerGlyphs(sm, sm.gd[std::size_t(SkinData->SkinIndex)], Bmp, R, State);
}

} // namespace

void PaintItemBG(TsCommonData* SkinData, const TCacheInfo& CI, int State, const TRect& R, const TPoint& Offset,
                 TBitmap* Bmp, int /*TextureIndex*/, int /*HotTextureIndex*/)
{
    if (!SkinData)
        return;
    const TColor custom = SkinData->FCustomColor ? OwnerColor(SkinData) : kvKeyColor;
    PaintItemBG(SkinData->SkinIndex, SkinData->FSkinSection, CI, State, R, Offset, Bmp, SkinData->GetSkinManager(),
                SkinData->Texture, SkinData->HotTexture, custom);
}

void PaintItem(TsCommonData* SkinData, const TCacheInfo& CI, bool Filling, int State, const TRect& R,
               const TPoint& Offset, TBitmap* Bmp, bool UpdateCorners, int TextureIndex, int HotTextureIndex)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm || !sm->IsValidSkinIndex(SkinData->SkinIndex) || !InsideBmp(Bmp, R))
        return;
    PaintItemBG(SkinData, CI, State, R, Offset, Bmp, TextureIndex, HotTextureIndex);
    PaintControlBorder(SkinData, *sm, CI, Filling, State, R, Offset, Bmp, UpdateCorners);
}

void PaintSkinControl(TsCommonData* SkinData, TControl* Parent, bool Filling, int State, const TRect& R,
                      const TPoint& Offset, TBitmap* Bmp, bool UpdateCorners, int TextureIndex, int HotTextureIndex)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm || !sm->IsValidSkinIndex(SkinData->SkinIndex) || !InsideBmp(Bmp, R))
        return;
    TkvBGInfo info;
    info.PleaseDraw = false;
    if (Parent)
        GetBGInfo(&info, Parent, false);
    const TCacheInfo ci = Parent ? BGInfoToCI(&info) : EmptyCI;
    PaintItemBG(SkinData, ci, State, R, Offset, Bmp, TextureIndex, HotTextureIndex);
    PaintControlBorder(SkinData, *sm, ci, Filling, State, R, Offset, Bmp, UpdateCorners);
}

// ---------------------------------------------------------------------------
namespace {

void AppendRuns(TAOR& AOR, const std::vector<kvPaint::TKeyRun>& Runs, int DX, int DY)
{
    for (const kvPaint::TKeyRun& r : Runs)
        AOR.push_back(TRect(r.X + DX, r.Y + DY, r.X + DX + r.Length, r.Y + DY + 1));
}

HRGN RegionWithout(int Width, int Height, const TAOR& Holes)
{
    HRGN rgn = ::CreateRectRgn(0, 0, Width, Height);
    for (const TRect& r : Holes) {
        GdiObject<HRGN> hole(::CreateRectRgn(r.left, r.top, r.right, r.bottom));
        ::CombineRgn(rgn, rgn, hole.Get(), RGN_DIFF);
    }
    return rgn;
}

} // namespace

void AddRgnBmp(TAOR& AOR, TBitmap* Bmp, TsColor TransColor)
{
    if (!Bmp || Bmp->Empty() || Bmp->PixelFormat() != pf24bit)
        return;
    const TBitmapRows rows = Bmp->Rows();
    AppendRuns(AOR, kvPaint::KeyRuns(rows, {0, 0, rows.Width, rows.Height}, TransColor.C), 0, 0);
}

void GetRgnFromBmp(HRGN& Rgn, TBitmap* Bmp, TColor TransColor)
{
    TAOR holes;
    TsColor c;
    c.C = TransColor;
    AddRgnBmp(holes, Bmp, c);
    Rgn = RegionWithout(Bmp ? Bmp->Width() : 0, Bmp ? Bmp->Height() : 0, holes);
}

void AddRgn(TAOR& AOR, int Width, const TsMaskData& MaskData, int VertOffset, bool Bottom)
{
    TBitmap* src = MaskData.Manager ? ImageBitmapOf(MaskData) : nullptr;
    const int fw = WidthOfImage(MaskData), fh = HeightOfImage(MaskData);
    // An image without picture height (no mask type) has no bands to read.
    if (!src || src->Empty() || fw <= 0 || fh <= 0)
        return;
    const int bandHeight = Bottom ? MaskData.WB : MaskData.WT;
    const int top = MaskData.R.top + (Bottom ? fh - MaskData.WB : 0);
    if (bandHeight <= 0 || src->Height() < top + bandHeight)
        return;
    const TBitmapRows rows = RowsOf(src);
    const int left = MaskData.R.left;
    // The left corner's runs keep their column; the right corner's move to the window's right edge.
    AppendRuns(AOR, kvPaint::KeyRuns(rows, {left, top, left + MaskData.WL, top + bandHeight}, kvKeyColor), -left,
               VertOffset - top);
    const int rightCol = left + fw - MaskData.WR;
    AppendRuns(AOR, kvPaint::KeyRuns(rows, {rightCol, top, left + fw, top + bandHeight}, kvKeyColor),
               Width - fw - left, VertOffset - top);
}

HRGN GetRgnForMask(int MaskIndex, int Width, int Height, TObject* SkinManager)
{
    const TsSkinTables* sm = SkinTablesOf(SkinManager);
    if (!sm || !sm->IsValidImgIndex(MaskIndex))
        return nullptr;
    const TsMaskData& md = sm->ma[std::size_t(MaskIndex)];
    TAOR holes;
    AddRgn(holes, Width, md, 0, false);
    // The bottom band's rows end at the window's last row, whatever share of
    // the image the border takes.
    AddRgn(holes, Width, md, Height - md.WB, true);
    if (holes.empty())
        return nullptr;
    return RegionWithout(Width, Height, holes);
}
