#include "skin/paint/sGraphUtils.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/controls/Controls.h"
#include "classlib/controls/ImgList.h"
#include "skin/core/kvntUtils.h"
#include "classlib/graphics/GdiHandles.h"

// ---------------------------------------------------------------------------
// Colours.

bool kvLayered()
{
    return kvUpdateLayeredWindow != nullptr;
}

TsColor ColorToSColor(TColor Color)
{
    return TsColor{.C = Color};
}

TsColor AverageColor(TsColor C1, TsColor C2)
{
    return TsColor{.C = AverageColor(C1.C, C2.C)};
}

TColor ChangeHue(int Delta, TColor Color)
{
    return ChangeHueRGB(Delta, ColorToRGB(Color));
}

// ---------------------------------------------------------------------------
// Device contexts.

void FillDC(HDC DC, const TRect& R, TColor Color)
{
    SavedDC saved(DC);
    GdiObject<HBRUSH> brush(::CreateSolidBrush(COLORREF(ColorToRGB(Color))));
    ::FillRect(DC, &R, brush.Get());
}

void FillDCBorder(HDC DC, const TRect& R, int WL, int WT, int WR, int WB, TColor Color)
{
    SavedDC saved(DC);
    GdiObject<HBRUSH> brush(::CreateSolidBrush(COLORREF(ColorToRGB(Color))));
    const TRect strips[] = {
        {R.left, R.top, R.right, R.top + WT},
        {R.left, R.top + WT, R.left + WL, R.bottom},
        {R.left + WL, R.bottom - WB, R.right, R.bottom},
        {R.right - WR, R.top + WT, R.right, R.bottom - WB},
    };
    for (const TRect& s : strips)
        ::FillRect(DC, &s, brush.Get());
}

void BitBltBorder(HDC DestDC, int X, int Y, int Width, int Height, HDC SrcDC, int XSrc, int YSrc, int BorderWidth)
{
    const int b = BorderWidth;
    const int strips[4][4] = {
        {0, 0, b, Height},
        {b, 0, Width - b, b},
        {Width - b, b, b, Height - b},
        {b, Height - b, Width - 2 * b, b},
    };
    for (const auto& s : strips)
        ::BitBlt(DestDC, X + s[0], Y + s[1], s[2], s[3], SrcDC, XSrc + s[0], YSrc + s[1], SRCCOPY);
}

void ExcludeControls(HDC DC, TWinControl* Ctrl, TkvCtrlType CtrlType, int OffsetX, int OffsetY)
{
    if (StdTransparency || !Ctrl)
        return;
    for (int i = 0; i < Ctrl->ControlCount(); ++i) {
        TControl* child = Ctrl->Controls(i);
        if (dynamic_cast<TWinControl*>(child) || !child->Visible() || child->ClassNameIs(L"TsSplitter"))
            continue;
        const TRect b = child->BoundsRect();
        ::ExcludeClipRect(DC, b.left + OffsetX, b.top + OffsetY, b.right + OffsetX, b.bottom + OffsetY);
    }
}

void DrawRectangleOnDC(HDC DC, TRect& R, TColor ColorTop, TColor ColorBottom, int& Width)
{
    GdiObject<HPEN> top(::CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(ColorTop))));
    GdiObject<HPEN> bottom(::CreatePen(PS_SOLID, 1, COLORREF(ColorToRGB(ColorBottom))));
    // Restored before the pens go, so neither is selected when deleted.
    SavedDC saved(DC);
    ::SelectObject(DC, ::GetStockObject(NULL_BRUSH));
    --R.right;
    --R.bottom;
    while (Width > 0) {
        --Width;
        ::SelectObject(DC, top.Get());
        const POINT t[3] = {{R.left, R.bottom}, {R.left, R.top}, {R.right, R.top}};
        ::Polyline(DC, t, 3);
        ::SelectObject(DC, bottom.Get());
        const POINT b[3] = {{R.right, R.top}, {R.right, R.bottom}, {R.left - 1, R.bottom}};
        ::Polyline(DC, b, 3);
        ::InflateRect(&R, -1, -1);
    }
    ++R.right;
    ++R.bottom;
}

// ---------------------------------------------------------------------------
// Whole bitmaps.

void GrayScale(TBitmap* Bmp)
{
    kvPaint::GrayScale(RowsOf(Bmp));
}

void GrayScaleTrans(TBitmap* Bmp, TsColor TransColor)
{
    kvPaint::GrayScaleTrans(RowsOf(Bmp), TransColor.C);
}

void CopyChannel32(TBitmap* Dst, TBitmap* Src, int Channel)
{
    kvPaint::CopyChannel32(RowsOf(Dst), RowsOf(Src), Channel);
}

void CopyChannel(TBitmap* Bmp32, TBitmap* Bmp8, int Channel, bool From32To8)
{
    kvPaint::CopyChannel(RowsOf(Bmp32), RowsOf(Bmp8), Channel, From32To8);
}

void CopyImage(TBitmap* Bmp, TCustomImageList* ImageList, int Index)
{
    if (!Bmp || !ImageList)
        return;
    Bmp->SetSize(ImageList->Width(), ImageList->Height());
    if (Bmp->Empty())
        return;
    const TColor bk = ImageList->BkColor() == clNone ? kvKeyColor : ImageList->BkColor();
    FillDC(Bmp->Canvas()->Handle(), TRect(0, 0, Bmp->Width(), Bmp->Height()), bk);
    if (Index >= 0 && Index < ImageList->Count())
        ::ImageList_DrawEx(ImageList->Handle(), Index, Bmp->Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT,
                           ILD_TRANSPARENT);
}

// ---------------------------------------------------------------------------
// Nine-piece templates.

namespace {

struct TTemplate {
    HDC Dst, Src;
    TRect D, S, C;   // destination, source, corner sizes
    int dL, dT, dR, dB, MW, MH;

    void Copy(int X, int Y, int W, int H, int SX, int SY) const
    {
        if (W > 0 && H > 0)
            ::BitBlt(Dst, X, Y, W, H, Src, SX, SY, SRCCOPY);
    }
    void StretchCopy(int X, int Y, int W, int H, int SX, int SY, int SW, int SH) const
    {
        if (W > 0 && H > 0 && SW > 0 && SH > 0)
            ::StretchBlt(Dst, X, Y, W, H, Src, SX, SY, SW, SH, SRCCOPY);
    }
    // Cells of CW x CH from (SX, SY) over the area, cut at its right and bottom.
    void Tile(int X, int Y, int W, int H, int SX, int SY, int CW, int CH) const
    {
        if (CW <= 0 || CH <= 0)
            return;
        for (int y = Y; y < Y + H; y += CH)
            for (int x = X; x < X + W; x += CW)
                Copy(x, y, std::min(CW, X + W - x), std::min(CH, Y + H - y), SX, SY);
    }
    void Side(int Mode, int X, int Y, int W, int H, int SX, int SY, int CW, int CH) const
    {
        if (Mode == 0)
            Tile(X, Y, W, H, SX, SY, CW, CH);
        else if (Mode == 1)
            StretchCopy(X, Y, W, H, SX, SY, CW, CH);
    }
    void Corners() const;
    void Sides(const TRect& Modes) const;
    void Centre(bool Stretched) const;
};

void TTemplate::Corners() const
{
    // Each corner is an L: the full corner width along the edge, the border
    // thickness down (or up) the side.
    Copy(D.left, D.top, C.left, dT, S.left, S.top);
    if (dT != C.top)
        Copy(D.left, D.top + dT, dL, C.top - dT, S.left, S.top + dT);
    Copy(D.left, D.bottom - dB, C.left, dB, S.left, S.bottom - dB);
    if (dB != C.bottom)
        Copy(D.left, D.bottom - C.bottom, dL, C.bottom - dB, S.left, S.bottom - C.bottom);
    Copy(D.right - C.right, D.top, C.right, dT, S.right - C.right, S.top);
    if (dT != C.top)
        Copy(D.right - dR, D.top + dT, dR, C.top - dT, S.right - dR, S.top + dT);
    Copy(D.right - C.right, D.bottom - dB, C.right, dB, S.right - C.right, S.bottom - dB);
    if (dB != C.bottom)
        Copy(D.right - dR, D.bottom - C.bottom, dR, C.bottom - dB, S.right - dR, S.bottom - C.bottom);
}

void TTemplate::Sides(const TRect& Modes) const
{
    const int midH = D.Height() - C.top - C.bottom, midW = D.Width() - C.left - C.right;
    Side(Modes.left, D.left, D.top + C.top, dL, midH, S.left, S.top + C.top, dL, MH);
    Side(Modes.right, D.right - dR, D.top + C.top, dR, midH, S.right - dR, S.top + C.top, dR, MH);
    Side(Modes.top, D.left + C.left, D.top, midW, dT, S.left + C.left, S.top, MW, dT);
    Side(Modes.bottom, D.left + C.left, D.bottom - dB, midW, dB, S.left + C.left, S.bottom - dB, MW, dB);
}

void TTemplate::Centre(bool Stretched) const
{
    const int x = D.left + C.left, y = D.top + C.top;
    const int w = D.Width() - C.left - C.right, h = D.Height() - C.top - C.bottom;
    if (Stretched)
        StretchCopy(x, y, w, h, S.left + C.left, S.top + C.top, MW, MH);
    else
        Tile(x, y, w, h, S.left + C.left, S.top + C.top, MW, MH);
}

} // namespace

void PaintControlByTemplate(TBitmap* DstBmp, TBitmap* SrcBmp, const TRect& DstRect, const TRect& SrcRect,
                            const TRect& CornerRect, const TRect& BorderRect, const TRect& SideModes,
                            bool StretchCenter, bool DrawCenter)
{
    if (!DstBmp || !SrcBmp || DstBmp->Empty() || SrcBmp->Empty())
        return;
    TTemplate t{DstBmp->Canvas()->Handle(), SrcBmp->Canvas()->Handle(), DstRect, SrcRect, CornerRect,
                int(std::min(CornerRect.left, BorderRect.left)), int(std::min(CornerRect.top, BorderRect.top)),
                int(std::min(CornerRect.right, BorderRect.right)), int(std::min(CornerRect.bottom, BorderRect.bottom)),
                SrcRect.Width() - int(CornerRect.left + CornerRect.right),
                SrcRect.Height() - int(CornerRect.top + CornerRect.bottom)};
    ::SetStretchBltMode(t.Dst, BLACKONWHITE);
    t.Corners();
    t.Sides(SideModes);
    if (DrawCenter)
        t.Centre(StretchCenter);
}

// ---------------------------------------------------------------------------
// Glyph strips.

namespace {

// The bottom pixel of column X, as a colour.
TColor BottomPixel(TBitmap* Bmp, int X)
{
    const TBitmapRows rows = RowsOf(Bmp);
    if (rows.Empty() || rows.BytesPerPixel < 3 || X < 0 || X >= rows.Width)
        return kvKeyColor;
    const uint8_t* p = rows.Pixel(X, rows.Height - 1);
    return MakeColor(p[2], p[1], p[0]);
}

int GlyphFrame(TBitmap* Glyph, int NumGlyphs, bool Enabled, int State, bool Down)
{
    const bool oldOrder = kvOldGlyphsOrder || Glyph->PixelFormat() == pf4bit;
    if (!Enabled || State == 0)
        return 0;
    if (State == 1)
        return oldOrder ? 0 : 1;
    if (State == 2) {
        const int pressed = Down ? 3 : 2;
        if (NumGlyphs > pressed)
            return pressed;
        return oldOrder ? 0 : std::min(NumGlyphs - 1, 1);
    }
    return 0;
}

void DrawSingleGlyph(TBitmap* Copy, TBitmap* DstBmp, const TRect& R, bool Enabled,
                     TsDisabledGlyphKind DisabledGlyphKind, int State, int Blend)
{
    const TsColor trans{.C = BottomPixel(Copy, 0)};
    const double k = Blend / 100.0;
    if (Enabled) {
        if (State != 0 || Blend < 1)
            CopyTransBitmaps(DstBmp, Copy, R.left, R.top, trans);
        else
            BlendTransRectangle(DstBmp, R.left, R.top, Copy, TRect(0, 0, R.Width(), R.Height()), k, trans);
        return;
    }
    // Greying keeps the key colour, so the glyph stays cut out.
    if (DisabledGlyphKind.Contains(dgGrayed))
        GrayScaleTrans(Copy, trans);
    if (DisabledGlyphKind.Contains(dgBlended))
        BlendTransRectangle(DstBmp, R.left, R.top, Copy, TRect(0, 0, Copy->Width() - 1, Copy->Height() - 1), 0.5,
                            trans);
    else
        CopyTransBitmaps(DstBmp, Copy, R.left, R.top, trans);
}

} // namespace

void DrawGlyphEx(TBitmap* Glyph, TBitmap* DstBmp, const TRect& R, int NumGlyphs, bool Enabled,
                 TsDisabledGlyphKind DisabledGlyphKind, int State, int Blend, bool Down, bool Reflected)
{
    if (!Glyph || Glyph->Empty() || !DstBmp || DstBmp->Empty())
        return;
    TOwned<TBitmap> copy(New<TBitmap>());
    copy->Assign(Glyph);
    copy->SetPixelFormat(pf24bit);
    if (NumGlyphs <= 1) {
        DrawSingleGlyph(copy.get(), DstBmp, R, Enabled, DisabledGlyphKind, State, Blend);
        return;
    }
    const int fw = copy->Width() / NumGlyphs, h = copy->Height();
    const int f = GlyphFrame(Glyph, NumGlyphs, Enabled, State, Down);
    const TRect frame(f * fw, 0, (f + 1) * fw - 1, h - 1);
    if (!Enabled && State == 0 && Blend > 0) {
        BlendTransRectangle(DstBmp, R.left, R.top, copy.get(), frame, Blend / 100.0,
                            TsColor{.C = BottomPixel(copy.get(), f * fw)});
        return;
    }
    const TColor trans = BottomPixel(copy.get(), Enabled ? f * fw : 0);
    CopyTransRectA(DstBmp, copy.get(), R.left, R.top, frame, trans, MakeCacheInfo(DstBmp, 0, 0));
}
