#include "skin/controls/sButton_Layout.h"

int PushButtonState(const TsPushStateFacts& F)
{
    if (((F.Pushed || F.ForcedPressed) && (F.MouseAbove || !F.LButtonDownHeld)) || F.Down)
        return 2;
    if (F.IsFocused || F.DefPushStyle || F.ControlActive || F.DesigningDefault)
        return 1;
    return 0;
}

TRect ButtonCaptionRect(int Width, int Height, TSize Text, bool Pressed)
{
    int x0 = (Width - Text.cx) / 2;
    int y0 = (Height - Text.cy) / 2;
    TRect r(x0 - 1, y0, Width - x0 + 2, Height - y0);
    if (Pressed)
        OffsetRect(&r, 1, 1);
    return r;
}

namespace {
int GenMargin(int Margin) { return Margin < 0 ? 0 : Margin + 3; }
} // namespace

TRect BitBtnImgRect(const TsBitBtnGeometry& G)
{
    const int gw = G.GlyphWidth, gh = G.GlyphHeight;
    const int tw = G.Text.cx, th = G.Text.cy;
    const int sp = G.ShowCaption && gw > 0 && G.HasCaption ? G.Spacing : 0;
    const int gm = GenMargin(G.Margin);
    const int dx = (G.Width - gw - sp - tw) / 2 - gm;
    const int dy = (G.Height - gh - sp - th) / 2 - gm;
    int x = 0, y = (G.Height - gh) / 2;
    switch (G.Layout) {
    case blGlyphLeft:
        x = G.Alignment == taLeftJustify ? gm : G.Alignment == taCenter ? gm + dx : gm + 2 * dx;
        break;
    case blGlyphRight:
        x = G.Alignment == taLeftJustify ? G.Width - gm - 2 * dx - sp - gw
            : G.Alignment == taCenter    ? (G.Width + sp + tw - gw) / 2
                                         : G.Width - gw - gm;
        break;
    case blGlyphTop:
        x = (G.Width - gw) / 2 + 1;
        y = dy + gm;
        break;
    case blGlyphBottom:
        x = (G.Width - gw) / 2 + 1;
        y = G.Height - gm - dy - gh;
        break;
    }
    if (G.Pressed) {
        ++x;
        ++y;
    }
    // The reflection is drawn below the glyph, which moves up to make room.
    if (G.Reflected)
        y -= gw / 6;
    return TRect(x, y, x + gw, y + gh);
}

int BitBtnMaxCaptionWidth(const TsBitBtnGeometry& G)
{
    if (!G.ShowCaption || !G.HasCaption)
        return 0;
    int w = G.Width - 2 * G.Margin;
    if ((G.Layout == blGlyphLeft || G.Layout == blGlyphRight) && G.GlyphWidth > 0)
        w -= G.GlyphWidth + G.Spacing;
    return w;
}

TSize BitBtnGlyphSize(bool ImageValid, TSize ImageSize, TSize GlyphBitmapSize, int NumGlyphs)
{
    const int n = NumGlyphs > 0 ? NumGlyphs : 1;
    if (ImageValid)
        return TSize(ImageSize.cx / n, ImageSize.cy);
    if (GlyphBitmapSize.cx > 0)
        return TSize(GlyphBitmapSize.cx / n, GlyphBitmapSize.cy);
    return TSize();
}

std::array<TRect, 3> OldCornerRects(const TRect& L, int WL, int WT, int WR, int WB)
{
    return {TRect(L.right - WR, L.top, L.right, L.top + WT), TRect(L.right - WR, L.bottom - WB, L.right, L.bottom),
            TRect(L.left, L.bottom - WB, L.left + WL, L.bottom)};
}

bool ButtonShrank(const TRect& LastRect, int Width, int Height)
{
    return Width < LastRect.Width() || Height < LastRect.Height();
}
