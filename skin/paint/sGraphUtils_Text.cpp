#include "skin/paint/sGraphUtils_Text.h"

#include <algorithm>
#include <cwchar>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinTables.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils_Blur.h"
#include "skin/paint/sGraphUtils_Cache.h"
#include "skin/paint/sGraphUtils_Colors.h"

namespace {

int TextLength(const wchar_t* Text)
{
    return Text ? int(std::wcslen(Text)) : 0;
}

void DrawOnce(HDC DC, const wchar_t* Text, const TRect& R, unsigned Flags)
{
    TRect r = R;
    ::DrawTextW(DC, Text, TextLength(Text), &r, Flags);
}

void DrawIn(TCanvas* Canvas, const wchar_t* Text, const TRect& R, unsigned Flags, TColor Color)
{
    Canvas->Font()->SetColor(Color);
    DrawOnce(Canvas->Handle(), Text, R, Flags);
}

// The four one-pixel copies left, up, right and down in the contour colours
// (entries 2 to 5; -1 skips one).
void DrawContours(TCanvas* Canvas, const wchar_t* Text, const TRect& R, unsigned Flags, const TsFontColors& Colors)
{
    static constexpr POINT shifts[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        const TColor c = Colors[i + 2];
        if (c == TColor(-1))
            continue;
        TRect r = R;
        ::OffsetRect(&r, shifts[i].x, shifts[i].y);
        DrawIn(Canvas, Text, r, Flags, c);
    }
}

// The text box of WriteText: fitted to the text unless it breaks words.
TRect FitTextBox(HDC DC, const wchar_t* Text, TRect& R, unsigned Flags)
{
    if (!(Flags & DT_WORDBREAK)) {
        SIZE ext{};
        ::GetTextExtentPoint32W(DC, Text ? Text : L"", TextLength(Text), &ext);
        const int dy = (R.Height() - ext.cy) / 2;
        if (Flags & DT_CENTER) {
            ::InflateRect(&R, -(R.Width() - ext.cx) / 2, -dy);
        } else {
            R.top += dy;
            R.bottom -= dy;
            if (Flags & DT_RIGHT)
                R.left = R.right - ext.cx;
            else
                R.right = R.left + ext.cx;
        }
    }
    const TRect box = R;
    ::InflateRect(&R, 1, 1);
    return box;
}

} // namespace

void kvWriteText(TCanvas* Canvas, const wchar_t* Text, bool /*Enabled*/, TRect& R, unsigned Flags)
{
    ::DrawTextW(Canvas->Handle(), Text, TextLength(Text), &R, Flags);
}

int kvDrawText(HDC DC, const UnicodeString& Text, TRect& R, unsigned Flags)
{
    return ::DrawTextW(DC, Text.c_str(), int(Text.size()), &R, Flags);
}

int kvTextWidth(TCanvas* Canvas, const UnicodeString& Text)
{
    return Canvas->TextExtent(Text).cx;
}

int kvTextHeight(TCanvas* Canvas, const UnicodeString& Text)
{
    return Canvas->TextExtent(Text).cy;
}

TSize kvTextExtent(TCanvas* Canvas, const UnicodeString& Text)
{
    return Canvas->TextExtent(Text);
}

void kvTextRect(TCanvas* Canvas, const TRect& R, int X, int Y, const UnicodeString& Text)
{
    Canvas->TextRect(R, X, Y, Text);
}

UnicodeString CutText(TCanvas* Canvas, const UnicodeString& Text, int MaxWidth)
{
    UnicodeString result = MaxWidth > 0 ? Text : UnicodeString();
    if (result.empty() || Canvas->TextWidth(result) <= MaxWidth)
        return result;
    while (!result.empty() && Canvas->TextWidth(result + L"...") > MaxWidth)
        result.pop_back();
    if (!result.empty())
        result += L"...";
    return result;
}

void WriteText(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags)
{
    HDC dc = Canvas->Handle();
    TRect box = FitTextBox(dc, Text, R, Flags);
    Canvas->Brush()->SetStyle(bsClear);
    if (TextLength(Text) == 0)
        return;
    if (!Enabled) {
        TRect shifted = box;
        ::OffsetRect(&shifted, 1, 1);
        DrawIn(Canvas, Text, shifted, Flags, clBtnHighlight);
        Canvas->Font()->SetColor(clBtnShadow);
    }
    DrawOnce(Canvas->Handle(), Text, box, Flags);
}

void WriteTextOnDC(HDC DC, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags)
{
    ::SetBkMode(DC, TRANSPARENT);
    TRect box = FitTextBox(DC, Text, R, Flags);
    if (TextLength(Text) == 0)
        return;
    if (!Enabled) {
        TRect shifted = box;
        ::OffsetRect(&shifted, 1, 1);
        DrawOnce(DC, Text, shifted, Flags);
    }
    DrawOnce(DC, Text, box, Flags);
}

void WriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, int SkinIndex,
                 bool Hot, TObject* SkinManager)
{
    const TsSkinTables* sm = SkinTablesOf(SkinManager);
    if (!sm || !sm->IsValidSkinIndex(SkinIndex) || TextLength(Text) == 0)
        return;
    const TsGeneralData& gd = sm->gd[std::size_t(SkinIndex)];
    Canvas->Brush()->SetStyle(bsClear);
    if (!Enabled) {
        DrawIn(Canvas, Text, R, Flags, MixColors(gd.FontColor[1], gd.Color, 0.4));
        return;
    }
    const TsFontColors& colors = Hot ? gd.HotFontColor : gd.FontColor;
    DrawContours(Canvas, Text, R, Flags, colors);
    DrawIn(Canvas, Text, R, Flags, colors[1]);
}

void kvWriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, int SkinIndex,
                   bool Hot, TObject* SkinManager)
{
    WriteTextEx(Canvas, Text, Enabled, R, Flags, SkinIndex, Hot, SkinManager);
}

namespace {

// The section whose colours a control's caption takes.
int CaptionSection(TsCommonData* SkinData, TsSkinManager* Manager, bool Hot)
{
    const int index = SkinData->SkinIndex;
    TControl* owner = SkinData->FOwnerControl;
    if (!owner || !Manager->IsValidSkinIndex(index))
        return index;
    const int coc = SkinData->COC;
    const bool kind = coc == 32 || coc == 33 || coc == 74 || !dynamic_cast<TWinControl*>(owner);
    const TsGeneralData& gd = Manager->gd[std::size_t(index)];
    if (kind && owner->ParentFont() && owner->Parent() && (Hot ? gd.HotTransparency : gd.Transparency) >= 1)
        return GetFontIndex(owner, index, Manager);
    return index;
}

void DrawGlow(TsCommonData* SkinData, const TsGeneralData& gd, const wchar_t* Text, const TRect& R, unsigned Flags,
              bool Hot)
{
    const int size = Hot ? gd.HotGlowSize : gd.GlowSize;
    if (!SkinData->FCacheBmp || size == 0)
        return;
    DrawTextGlow(SkinData->GetSkinManager(), SkinData->FCacheBmp, Text, R, Flags, 15, size,
                 Hot ? gd.HotGlowColor : gd.GlowColor);
}

} // namespace

void WriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags, TsCommonData* SkinData,
                 bool Hot)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm)
        return;
    if (TControl* owner = SkinData->FOwnerControl)
        Canvas->Font()->Assign(owner->Font());
    if (Hot && SkinData->FSkinSection == L"WEBBUTTON") {
        TFontStyles style = Canvas->Font()->Style();
        style.Include(fsUnderline);
        Canvas->Font()->SetStyle(style);
    }
    HDC dc = Canvas->Handle();
    SavedDC saved(dc);
    ::IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    if (TextLength(Text) == 0)
        return;
    const int index = CaptionSection(SkinData, sm, Hot);
    Canvas->Brush()->SetStyle(bsClear);
    if (!sm->IsValidSkinIndex(index)) {
        DrawOnce(Canvas->Handle(), Text, R, Flags);
        return;
    }
    const TsGeneralData& gd = sm->gd[std::size_t(index)];
    DrawGlow(SkinData, gd, Text, R, Flags, Hot);
    if (!Enabled) {
        DrawIn(Canvas, Text, R, Flags, MixColors(gd.FontColor[1], sm->GetGlobalColor(), 0.4));
        return;
    }
    if (SkinData->FCustomFont) {
        DrawOnce(Canvas->Handle(), Text, R, Flags | DT_NOCLIP);
        return;
    }
    const TsFontColors& colors = Hot ? gd.HotFontColor : gd.FontColor;
    DrawContours(Canvas, Text, R, Flags, colors);
    DrawIn(Canvas, Text, R, Flags | DT_NOCLIP, colors[1]);
}

void kvWriteTextEx(TCanvas* Canvas, const wchar_t* Text, bool Enabled, TRect& R, unsigned Flags,
                   TsCommonData* SkinData, bool Hot, TObject* /*SkinManager*/)
{
    WriteTextEx(Canvas, Text, Enabled, R, Flags, SkinData, Hot);
}

// ---------------------------------------------------------------------------
namespace {

void FillRows(const TBitmapRows& Rows, uint8_t Value)
{
    for (int y = 0; y < Rows.Height; ++y)
        std::fill_n(Rows.Row(y), std::size_t(Rows.Width) * std::size_t(Rows.BytesPerPixel), Value);
}

// Black text on white, once for each Side bit shifted by a pixel, then in place.
void DrawMaskText(TBitmap* Mask, TBitmap* DstBmp, const wchar_t* Text, const TRect& Box, unsigned Flags,
                  unsigned Side)
{
    TCanvas* c = Mask->Canvas();
    c->Font()->Assign(DstBmp->Canvas()->Font());
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    static constexpr POINT shifts[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    for (int i = 0; i < 4; ++i)
        if (Side & (1u << i)) {
            TRect r = Box;
            ::OffsetRect(&r, shifts[i].x, shifts[i].y);
            DrawOnce(c->Handle(), Text, r, Flags);
        }
    DrawOnce(c->Handle(), Text, Box, Flags);
}

void BlurOf(TBitmap* Bmp, double Radius, TPixelFormat Format)
{
    if (!Bmp || Bmp->Empty() || Bmp->HandleType() != bmDIB || Bmp->PixelFormat() != Format)
        return;
    kvPaint::Blur(Bmp->Rows(), Radius);
}

// The glow mask's margin around R.
int GlowMargin(int BlurSize)
{
    return BlurSize + 4;
}

// Makes MaskBmp the glow mask of Text over R (8-bit, white, the text in
// black, blurred); false when it has no pixels.
bool MakeGlowMask(TBitmap* MaskBmp, TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags,
                  unsigned Side, int BlurSize)
{
    const int d = GlowMargin(BlurSize);
    MaskBmp->SetPixelFormat(pf8bit);
    MaskBmp->SetSize(std::max(0, R.Width() + 2 * d), std::max(0, R.Height() + 2 * d));
    if (MaskBmp->Empty())
        return false;
    FillRows(MaskBmp->Rows(), 255);
    DrawMaskText(MaskBmp, DstBmp, Text, TRect(d, d, R.Width() + d, R.Height() + d), Flags, Side);
    Blur8(MaskBmp, BlurSize);
    return true;
}

// What a glow mask is made from: the text, the font the mask text is drawn
// in, the flags, the sides, the blur and the size of R.
std::wstring GlowKey(TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags, unsigned Side,
                     int BlurSize)
{
    TFont* f = DstBmp->Canvas()->Font();
    std::wstring key = Text ? Text : L"";
    key += L'\0';
    key += f->Name();
    for (long long v : {(long long)f->Height(), (long long)f->Style().Ord(), (long long)f->Charset(),
                        (long long)f->Pitch(), (long long)f->PixelsPerInch(), (long long)Flags, (long long)Side,
                        (long long)BlurSize, (long long)R.Width(), (long long)R.Height()})
        key += L'\0' + std::to_wstring(v);
    return key;
}

} // namespace

void kvDrawGlowForText(TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags, unsigned Side,
                       int BlurSize, TColor Color, TBitmap*& MaskBmp)
{
    if (!DstBmp)
        return;
    const int d = GlowMargin(BlurSize);
    const int w = std::max(0, R.Width() + 2 * d), h = std::max(0, R.Height() + 2 * d);
    if (!MaskBmp || MaskBmp->Width() != w || MaskBmp->Height() != h) {
        if (!MaskBmp)
            MaskBmp = New<TBitmap>();
        if (!MakeGlowMask(MaskBmp, DstBmp, Text, R, Flags, Side, BlurSize))
            return;
    }
    kvPaint::BlendGlow(RowsOf(DstBmp), RowsOf(MaskBmp), R.left - d, R.top - d, ColorToRGB(Color));
}

void DrawTextGlow(TObject* SkinManager, TBitmap* DstBmp, const wchar_t* Text, const TRect& R, unsigned Flags,
                  unsigned Side, int BlurSize, TColor Color)
{
    // The skin keeps the blurred masks: a glow is made once for each text,
    // font and size, and blended where its mask is not white.
    TsPaintCache* cache = DstBmp ? TsPaintCache::Of(SkinTablesOf(SkinManager)) : nullptr;
    if (cache) {
        const std::wstring key = GlowKey(DstBmp, Text, R, Flags, Side, BlurSize);
        const TsPaintCache::TGlowMask* mask = cache->FindGlow(key);
        TsPaintCache::TGlowMask made;
        if (!mask) {
            TBitmap bmp;
            if (MakeGlowMask(&bmp, DstBmp, Text, R, Flags, Side, BlurSize))
                made = TsPaintCache::TGlowMask::Of(bmp.Rows());
            mask = cache->KeepGlow(key, made);
            if (!mask)
                mask = &made;
        }
        const TBitmapRows dst = RowsOf(DstBmp);
        const int d = GlowMargin(BlurSize);
        const TColor rgb = ColorToRGB(Color);
        const kvPaint::TGlowTable* tables[3] = {&cache->GlowTable(BlueOf(rgb)), &cache->GlowTable(GreenOf(rgb)),
                                                &cache->GlowTable(RedOf(rgb))};
        for (const TsPaintCache::TGlowMask::TRun& run : mask->Runs) {
            TBitmapRows part;
            part.First = const_cast<uint8_t*>(&mask->Bytes[std::size_t(run.Y) * std::size_t(mask->W) + run.X]);
            part.Step = mask->W;
            part.Width = run.Length;
            part.Height = 1;
            part.BytesPerPixel = 1;
            kvPaint::BlendGlow(dst, part, R.left - d + run.X, R.top - d + run.Y, tables);
        }
        return;
    }
    TBitmap* mask = nullptr;
    try {
        kvDrawGlowForText(DstBmp, Text, R, Flags, Side, BlurSize, Color, mask);
    } catch (...) {
        FreeAndNil(mask);
        throw;
    }
    FreeAndNil(mask);
}

void Blur8(TBitmap* Bmp, double Radius)
{
    BlurOf(Bmp, Radius, pf8bit);
}

void Blur24(TBitmap* Bmp, double Radius)
{
    BlurOf(Bmp, Radius, pf24bit);
}
