// The resampler on bitmaps, button layout, text metrics, picture loading,
// the focus frame, and the unit's start-up and shut-down.
#include "skin/paint/sGraphUtils.h"

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

void CalcButtonLayout(const TRect& Client, const TPoint& GlyphSize, const TSize& TextSize, TButtonLayout Layout,
                      TAlignment Alignment, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                      int BiDiFlags)
{
    if (BiDiFlags & DT_RIGHT) {
        if (Layout == blGlyphLeft)
            Layout = blGlyphRight;
        else if (Layout == blGlyphRight)
            Layout = blGlyphLeft;
    }
    const bool across = Layout == blGlyphLeft || Layout == blGlyphRight;
    const int cw = Client.Width(), ch = Client.Height();
    TPoint textPos;
    GlyphPos = TPoint();
    if (across) {
        GlyphPos.y = (ch - GlyphSize.y + 1) / 2;
        textPos.y = (ch - TextSize.cy + 1) / 2;
    } else {
        GlyphPos.x = (cw - GlyphSize.x + 1) / 2;
        textPos.x = (cw - TextSize.cx + 1) / 2;
    }
    if (TextSize.cx == 0 || GlyphSize.x == 0)
        Spacing = 0;
    // Extents along the layout's axis.
    const int c = across ? cw : ch, g = across ? GlyphSize.x : GlyphSize.y, t = across ? TextSize.cx : TextSize.cy;
    if (Margin == -1) {
        if (Spacing < 0) {
            Margin = (c - (g + t)) / 3;
            Spacing = Margin;
        } else {
            Margin = Alignment == taCenter ? (c - (g + Spacing + t) + 1) / 2 : 2;
        }
    } else if (Spacing < 0) {
        Spacing = (c - Margin - g - t) / 2;
    }
    switch (Layout) {
    case blGlyphLeft:
        if (Alignment == taLeftJustify) {
            GlyphPos.x = Margin;
            textPos.x = Margin + g + Spacing;
        } else if (Alignment == taRightJustify) {
            textPos.x = c - Margin - t;
            GlyphPos.x = textPos.x - Spacing - g;
        } else {
            GlyphPos.x = (c - t - Spacing - g) / 2;
            textPos.x = GlyphPos.x + g + Spacing;
        }
        break;
    case blGlyphRight:
        if (Alignment == taLeftJustify) {
            textPos.x = Margin;
            GlyphPos.x = Margin + t + Spacing;
        } else if (Alignment == taRightJustify) {
            GlyphPos.x = c - Margin - g;
            textPos.x = GlyphPos.x - Spacing - t;
        } else {
            textPos.x = (c - t - Spacing - g) / 2;
            GlyphPos.x = textPos.x + t + Spacing;
        }
        break;
    case blGlyphTop:
        GlyphPos.y = (c - g - Spacing - t) / 2;
        textPos.y = GlyphPos.y + g + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.y = (c - g) - ((c - g - Spacing - t) / 2);
        textPos.y = GlyphPos.y - Spacing - t;
        break;
    }
    GlyphPos = TPoint(GlyphPos.x + Client.left, GlyphPos.y + Client.top);
    TextBounds = Bounds(Client.left + textPos.x, Client.top + textPos.y, TextSize.cx, TextSize.cy);
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
