#include "skin/core/sThirdParty.h"

#include <algorithm>

#include "skin/paint/kvAlphaImageList.h"
#include "skin/paint/kvPNG.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr TColor kNoListColor = 0xFF00FF;

TsColor SColor(TColor C)
{
    TsColor s;
    s.C = C;
    return s;
}

bool DisabledWith(const TsBtnGlyphInfo& I, TsDisabledGlyphKindItem Kind)
{
    return !I.Enabled && I.DisabledGlyphKind.Contains(Kind);
}

// The tint of a greyed glyph, clNone when the glyph keeps its colours.
TColor GrayColorOf(const TsBtnGlyphInfo& I)
{
    if (!((I.State == 0 && I.Grayed) || DisabledWith(I, dgGrayed)))
        return clNone;
    return I.Skinned ? I.SectionColor : ColorToRGB(clBtnFace);
}

// Runs Paint on a 24-bit copy of the button's area of Canvas and copies the
// result back, so that blending sees what lies under the glyph.
template <class F>
void OnButtonCopy(const TsBtnGlyphInfo& I, TCanvas* Canvas, F Paint)
{
    if (I.Width <= 0 || I.Height <= 0)
        return;
    TOwned<TBitmap> area(CreateBmp24(I.Width, I.Height));
    HDC dc = area->Canvas()->Handle();
    ::BitBlt(dc, 0, 0, I.Width, I.Height, Canvas->Handle(), 0, 0, SRCCOPY);
    Paint(area.get());
    ::BitBlt(Canvas->Handle(), 0, 0, I.Width, I.Height, dc, 0, 0, SRCCOPY);
}

// One frame of a 32-bit glyph drawn onto a canvas other than the cache.
void Draw32FrameOnCanvas(const TsBtnGlyphInfo& I, TCanvas* Canvas, const TRect& F, TColor Gray)
{
    const int w = I.ImgRect.Width(), h = I.ImgRect.Height();
    if (w <= 0 || h <= 0)
        return;
    TOwned<TPNGGraphic> png(New<TPNGGraphic>());
    png->SetPixelFormat(pf32bit);
    png->SetSize(w, h);
    ::BitBlt(png->Canvas()->Handle(), 0, 0, w, h, I.Glyph->Canvas()->Handle(), F.left, F.top, SRCCOPY);
    // BitBlt keeps the four bytes of 32-bit DIBs; the frame's alpha stays.
    png->Reflected = I.Reflected;
    int blend = I.Blend;
    if (DisabledWith(I, dgGrayed))
        blend = std::max(blend, 50);
    const TBitmapRows rows = png->Rows();
    if (I.State == 0 && blend != 0)
        for (int y = 0; y < rows.Height; ++y) {
            uint8_t* p = rows.Row(y);
            for (int x = 0; x < rows.Width; ++x, p += 4)
                p[3] = uint8_t(p[3] * (100 - blend) / 100);
        }
    if (Gray != clNone)
        GrayScale(png.get());
    OnButtonCopy(I, Canvas, [&](TBitmap* Area) { Area->Canvas()->Draw(I.ImgRect.left, I.ImgRect.top, png.get()); });
}

void DrawGlyphBitmap(const TsBtnGlyphInfo& I, TCanvas* Canvas, TColor Gray)
{
    TBitmap* glyph = I.Glyph;
    if (glyph->HandleType() != bmDIB)
        glyph->SetHandleType(bmDIB);
    const bool onCache = Canvas == nullptr;
    if (glyph->PixelFormat() == pf32bit) {
        const int w = I.ImgRect.Width();
        const int left = w * std::min(I.State, std::max(I.NumGlyphs, 1) - 1);
        const TRect F(left, 0, left + w, glyph->Height());
        if (onCache)
            CopyBmp32(I.ImgRect, F, I.Cache, glyph, EmptyCI, false, Gray, I.State == 0 ? I.Blend : 0, I.Reflected);
        else
            Draw32FrameOnCanvas(I, Canvas, F, Gray);
        return;
    }
    auto paint = [&](TBitmap* Dst) {
        DrawGlyphEx(glyph, Dst, I.ImgRect, I.NumGlyphs, I.Enabled, I.DisabledGlyphKind, I.State, I.Blend, I.Down,
                    I.Reflected);
    };
    if (onCache)
        paint(I.Cache);
    else
        OnButtonCopy(I, Canvas, paint);
}

// Image Index of List on the list's background colour (the key colour when
// it has none); Key receives that colour.
TBitmap* ListImage(TCustomImageList* List, TCustomImageList* ColorFrom, int Index, TColor& Key)
{
    Key = ColorFrom && ColorFrom->BkColor() != clNone ? ColorToRGB(ColorFrom->BkColor()) : kNoListColor;
    TOwned<TBitmap> bmp(CreateBmp24(List->Width(), List->Height()));
    FillDC(bmp->Canvas()->Handle(), TRect(0, 0, bmp->Width(), bmp->Height()), Key);
    List->Draw(bmp->Canvas(), 0, 0, Index, true);
    return bmp.release();
}

// Greys Bmp keeping its top-left colour.
void GrayKeepingCorner(TBitmap* Bmp)
{
    GrayScaleTrans(Bmp, SColor(Bmp->Canvas()->Pixels(0, 0)));
}

void DrawPlainListImage(const TsBtnGlyphInfo& I, TCanvas* Target, int X, int Y)
{
    TColor key;
    TOwned<TBitmap> bmp(ListImage(I.Images, I.Images, I.ImageIndex, key));
    if (!I.Skinned) {
        bmp->SetTransparentColor(kNoListColor);
        bmp->SetTransparent(true);
        if (DisabledWith(I, dgGrayed))
            GrayKeepingCorner(bmp.get());
        Target->Draw(X, Y, bmp.get());
        return;
    }
    const TRect all(0, 0, bmp->Width(), bmp->Height());
    if (I.Enabled) {
        if (!I.Active && I.Grayed)
            GrayKeepingCorner(bmp.get());
        if (I.Active || I.Blend < 1)
            CopyTransBitmaps(I.Cache, bmp.get(), X, Y, SColor(key));
        else
            BlendTransRectangle(I.Cache, X, Y, bmp.get(), all, I.Blend / 100.0, SColor(key));
        return;
    }
    if (I.DisabledGlyphKind.Contains(dgGrayed))
        GrayKeepingCorner(bmp.get());
    if (I.DisabledGlyphKind.Contains(dgBlended))
        BlendTransRectangle(I.Cache, X, Y, bmp.get(), all, 0.5, SColor(key));
    else
        CopyTransBitmaps(I.Cache, bmp.get(), X, Y, SColor(key));
}

void DrawListImage(const TsBtnGlyphInfo& I, TCanvas* Target, TColor Gray)
{
    const int x = I.ImgRect.left, y = I.ImgRect.top;
    const int state = I.State + (I.Down ? 1 : 0);
    const int blend = I.State == 0 ? I.Blend : 0;
    if (auto* alpha = dynamic_cast<TsAlphaImageList*>(I.Images)) {
        if (I.Skinned) {
            DrawAlphaImgList(alpha, I.Cache, x, y, I.ImageIndex, blend, Gray, state, I.NumGlyphs, I.Reflected);
        } else {
            const int b = std::max(DisabledWith(I, dgBlended) ? 50 : 0, blend);
            DrawAlphaImgListDC(alpha, Target->Handle(), x, y, I.ImageIndex, b, Gray, state, I.NumGlyphs, I.Reflected);
        }
        return;
    }
    DrawPlainListImage(I, Target, x, y);
}

} // namespace

void DrawBtnGlyph(const TsBtnGlyphInfo& Source, TCanvas* Canvas)
{
    // Blend is a percentage: outside 0..100 it would wrap the alpha bytes or
    // overshoot the blend weight on some of the paths below.
    TsBtnGlyphInfo Info = Source;
    Info.Blend = std::clamp(Info.Blend, 0, 100);
    const TColor gray = GrayColorOf(Info);
    if (Info.Glyph && !Info.Glyph->Empty()) {
        if (Canvas || Info.Cache)
            DrawGlyphBitmap(Info, Canvas, gray);
        return;
    }
    if (!Info.Images || Info.ImageIndex < 0 || Info.ImageIndex >= GetImageCount(Info.Images))
        return;
    // Skinned buttons draw onto their picture; Target serves the others.
    if (Info.Skinned && !Info.Cache)
        return;
    TCanvas* target = Canvas ? Canvas : Info.Cache ? Info.Cache->Canvas() : nullptr;
    if (!target)
        return;
    DrawListImage(Info, target, gray);
}

// ---------------------------------------------------------------------------
namespace {

// 0 normal, 1 hot, 2 pressed.
int ToolDrawMode(TCustomDrawState State)
{
    if (State.Empty() || State == TCustomDrawState{cdsDisabled})
        return 0;
    if (State.Contains(cdsSelected) || State.Contains(cdsChecked))
        return 2;
    return 1;
}

TPoint ToolImagePos(TToolBar* Bar, TToolButton* Button, TCustomImageList* List, TBitmap* BG, int Mode)
{
    const int bw = Button->Width(), bh = Button->Height();
    const int iw = List->Width(), ih = List->Height();
    TPoint p;
    if (Bar->List()) {
        p = TPoint(5, (bh - ih) / 2);
    } else {
        p.x = (bw - iw) / 2 + 1 - (Button->Style() == tbsDropDown ? 8 : 0);
        auto* skinned = dynamic_cast<TsToolBarGlyphSeam*>(Bar);
        TCanvas* measure = skinned && skinned->BarCacheCanvas() ? skinned->BarCacheCanvas() : BG->Canvas();
        const int caption = Bar->ShowCaptions() ? measure->TextHeight(L"A") + 3 : 0;
        p.y = (bh - ih - caption) / 2;
    }
    if (Mode == 2) {
        ++p.x;
        ++p.y;
    }
    return p;
}

} // namespace

void CopyToolBtnGlyph(TToolBar* ToolBar, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                      TTBCustomDrawFlags Flags, TBitmap* BG)
{
    if (!ToolBar || !Button || !BG)
        return;
    const int mode = ToolDrawMode(State);
    TCustomImageList* hot = ToolBar->HotImages();
    TCustomImageList* list =
        mode != 0 && hot && Button->ImageIndex() < GetImageCount(hot) ? hot : ToolBar->Images();
    if (!list || Button->ImageIndex() < 0 || Button->ImageIndex() >= GetImageCount(list))
        return;
    const TPoint p = ToolImagePos(ToolBar, Button, list, BG, mode);
    if (auto* bar = dynamic_cast<TsToolBarGlyphSeam*>(ToolBar))
        if (dynamic_cast<TsAlphaImageList*>(list) || !bar->BarSkinned()) {
            list->Draw(BG->Canvas(), p.x, p.y, Button->ImageIndex(), true);
            return;
        }
    TColor key;
    TOwned<TBitmap> bmp(ListImage(list, ToolBar->Images(), Button->ImageIndex(), key));
    CopyTransBitmaps(BG, bmp.get(), p.x, p.y, SColor(key));
}

void DrawBtnGlyph(TControl* Control, TCanvas* Canvas)
{
    if (auto* source = dynamic_cast<TsBtnGlyphSource*>(Control))
        DrawBtnGlyph(source->GlyphInfo(), Canvas);
}

int GetImageCount(TCustomImageList* ImageList)
{
    return ImageList ? ImageList->Count() : 0;
}

void InitDevEx(bool)
{
}

bool CheckDevEx(TControl*)
{
    return false;
}
