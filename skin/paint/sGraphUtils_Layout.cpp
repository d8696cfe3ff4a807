// The resampler on bitmaps, button layout, text metrics, picture loading,
// the focus frame, and the unit's start-up and shut-down.
#include "skin/paint/sGraphUtils.h"

#include <tuple>
#include <utility>

#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

HMODULE User32Lib = nullptr;
TUpdateLayeredWindow kvUpdateLayeredWindow = nullptr;
TkvFast32* SharedFast32 = nullptr;

namespace {

// Binds the layered-window entry point and makes the shared accessor at
// start-up; gives both back at the end.
struct TUnitLife {
    TUnitLife()
    {
        if (!kvUpdateLayeredWindow) {
            User32Lib = ::LoadLibraryW(L"user32.dll");
            if (User32Lib)
                kvUpdateLayeredWindow =
                    reinterpret_cast<TUpdateLayeredWindow>(::GetProcAddress(User32Lib, "UpdateLayeredWindow"));
        }
        SharedFast32 = new TkvFast32;
    }
    ~TUnitLife()
    {
        delete SharedFast32;
        SharedFast32 = nullptr;
        if (User32Lib) {
            kvUpdateLayeredWindow = nullptr;
            ::FreeLibrary(User32Lib);
            User32Lib = nullptr;
        }
    }
} UnitLife;

} // namespace

// ---------------------------------------------------------------------------
void Stretch(TBitmap* Src, TBitmap* Dst, int Width, int Height, TFilterType Filter, int Param)
{
    if (!Src || !Dst)
        return;
    if (Src->Empty() || Src->Width() < 2 || Src->Height() < 2)
        throw Exception(L"Source bitmap is too small");
    if (Src->Width() == Width && Src->Height() == Height) {
        if (Dst != Src)
            Dst->Assign(Src);
        return;
    }
    const TPixelFormat format = Src->PixelFormat() == pf32bit ? pf32bit : pf24bit;
    Src->SetPixelFormat(format);
    // Resampling a bitmap into itself goes through a second one.
    TOwned<TBitmap> own;
    TBitmap* target = Dst;
    if (Dst == Src) {
        own.reset(New<TBitmap>());
        target = own.get();
    }
    target->SetPixelFormat(format);
    target->SetHandleType(bmDIB);
    target->SetSize(std::max(Width, 0), std::max(Height, 0));
    if (!target->Empty())
        kvPaint::StretchRows(Src->Rows(), target->Rows(), Filter);
    if (own)
        Dst->Assign(own.get());
}

namespace {

// Glyph and caption along the layout's axis: client extent C, glyph and
// text extents G and T, then the margin and spacing the rules settle on.
struct TLayoutAxis {
    int C, G, T, Margin, Spacing;

    void Settle(TAlignment Alignment)
    {
        if (Margin == -1 && Spacing < 0) {
            Margin = (C - (G + T)) / 3;
            Spacing = Margin;
        } else if (Margin == -1) {
            Margin = Alignment == taCenter ? (C - (G + Spacing + T) + 1) / 2 : 2;
        } else if (Spacing < 0) {
            Spacing = (C - Margin - G - T) / 2;
        }
    }
    // Glyph left of the text (or right of it when Mirrored); positions of both.
    std::pair<int, int> Across(TAlignment Alignment, bool Mirrored) const
    {
        // The first item and the second along the axis.
        const int first = Mirrored ? T : G, second = Mirrored ? G : T;
        int a;
        if (Alignment == taLeftJustify)
            a = Margin;
        else if (Alignment == taRightJustify)
            a = C - Margin - second - Spacing - first;
        else
            a = (C - T - Spacing - G) / 2;
        const int b = a + first + Spacing;
        return Mirrored ? std::pair{b, a} : std::pair{a, b};
    }
};

} // namespace

void CalcButtonLayout(const TRect& Client, const TPoint& GlyphSize, const TSize& TextSize, TButtonLayout Layout,
                      TAlignment Alignment, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                      int BiDiFlags)
{
    if ((BiDiFlags & DT_RIGHT) && (Layout == blGlyphLeft || Layout == blGlyphRight))
        Layout = Layout == blGlyphLeft ? blGlyphRight : blGlyphLeft;
    const bool across = Layout == blGlyphLeft || Layout == blGlyphRight;
    const int cw = Client.Width(), ch = Client.Height();
    if (TextSize.cx == 0 || GlyphSize.x == 0)
        Spacing = 0;
    TLayoutAxis axis{across ? cw : ch, int(across ? GlyphSize.x : GlyphSize.y), int(across ? TextSize.cx : TextSize.cy),
                     Margin, Spacing};
    axis.Settle(Alignment);
    // Centred across the axis, placed along it.
    TPoint glyph, text;
    if (across) {
        glyph.y = (ch - GlyphSize.y + 1) / 2;
        text.y = (ch - TextSize.cy + 1) / 2;
        std::tie(glyph.x, text.x) = axis.Across(Alignment, Layout == blGlyphRight);
    } else {
        glyph.x = (cw - GlyphSize.x + 1) / 2;
        text.x = (cw - TextSize.cx + 1) / 2;
        const int gap = (axis.C - axis.G - axis.Spacing - axis.T) / 2;
        glyph.y = Layout == blGlyphTop ? gap : (axis.C - axis.G) - gap;
        text.y = Layout == blGlyphTop ? glyph.y + axis.G + axis.Spacing : glyph.y - axis.Spacing - axis.T;
    }
    GlyphPos = TPoint(glyph.x + Client.left, glyph.y + Client.top);
    TextBounds = Bounds(Client.left + text.x, Client.top + text.y, TextSize.cx, TextSize.cy);
}

int GetFontHeight(HFONT Font)
{
    ScreenDC dc;
    SelectedObject sel(dc, Font);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    return tm.tmHeight + 6;
}

TSize GetStringSize(HFONT Font, const UnicodeString& Text)
{
    ScreenDC dc;
    SelectedObject sel(dc, Font);
    SIZE size = {};
    if (!::GetTextExtentPoint32W(dc, Text.c_str(), int(Text.size()), &size))
        return TSize();
    return TSize(size);
}

void LoadJpegOrBmp(TPicture* Image, const UnicodeString& FileName, bool Gray)
{
    if (!Image)
        return;
    if (!FileExists(FileName)) {
        Image->Assign(nullptr);
        return;
    }
    const UnicodeString ext = UpperCase(ExtractFileExt(FileName));
    if (ext == L".JPG" || ext == L".JPEG") {
        TOwned<TJPEGImage> jpeg(New<TJPEGImage>());
        jpeg->LoadFromFile(FileName);
        jpeg->SetGrayscale(Gray);
        Image->Assign(jpeg.get());
    } else if (ext == L".BMP") {
        Image->LoadFromFile(FileName);
        Image->Bitmap()->SetPixelFormat(pf24bit);
        if (Gray)
            GrayScale(Image->Bitmap());
    }
}

void FocusRect(TCanvas* Canvas, const TRect& R)
{
    if (!Canvas)
        return;
    for (int i = 0; i <= R.Width() / 3; ++i) {
        const int x = R.left + 3 * i;
        Canvas->SetPixels(x, R.top, clBlack);
        Canvas->SetPixels(x, R.bottom, clBlack);
        Canvas->SetPixels(x - 1, R.top - 1, clWhite);
        Canvas->SetPixels(x - 1, R.bottom - 1, clWhite);
    }
    for (int i = 0; i <= R.Height() / 3; ++i) {
        const int y = R.top + 3 * i;
        Canvas->SetPixels(R.left, y, clBlack);
        Canvas->SetPixels(R.right, y, clBlack);
        Canvas->SetPixels(R.left - 1, y - 1, clWhite);
        Canvas->SetPixels(R.right - 1, y - 1, clWhite);
    }
}
