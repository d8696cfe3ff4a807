// Textures: whole graphics, skin images and masked skin images tiled or
// stretched over an area.
#include "skin/paint/sGraphUtils.h"

#include <functional>

#include "classlib/graphics/Jpeg.h"
#include "classlib/graphics/GdiHandles.h"

namespace {

const TRect NothingLeft(-1, -1, -1, -1);

// Paints one cell at (x, y) of w x h, copied from the source's top-left.
using TCell = std::function<void(int x, int y, int w, int h)>;

// Columns of W while x < XLimit, rows of H while y < YLimit, the last column
// and row cut at R's right and bottom.  Cut is false for whole rows only
// (no cut row at the bottom).  Needs W and H above 0.
void CellLoop(const TRect& R, int W, int H, int XLimit, int YLimit, bool Cut, const TCell& Cell)
{
    auto column = [&](int x, int w) {
        int y = R.top;
        for (; y < YLimit; y += H)
            Cell(x, y, w, H);
        if (Cut)
            Cell(x, y, w, R.bottom - y);
    };
    int x = R.left;
    for (; x < XLimit; x += W)
        column(x, W);
    column(x, R.right - x);
}

void CellLoop(const TRect& R, int W, int H, const TCell& Cell)
{
    CellLoop(R, W, H, R.right - W, R.bottom - H, true, Cell);
}

TCell BlitCell(HDC Dst, HDC Src, int SX, int SY)
{
    return [=](int x, int y, int w, int h) {
        if (w > 0 && h > 0)
            ::BitBlt(Dst, x, y, w, h, Src, SX, SY, SRCCOPY);
    };
}

void TileJpeg(TCanvas* Canvas, const TRect& R, TJPEGImage* Jpeg)
{
    const int w = Jpeg->Width(), h = Jpeg->Height();
    HDC dc = Canvas->Handle();
    SavedDC saved(dc);
    ::IntersectClipRect(dc, R.left, R.top, R.right, R.bottom);
    for (int i = 0; i <= R.Width() / w; ++i)
        for (int j = 0; j <= R.Height() / h; ++j)
            Canvas->Draw(R.left + i * w, R.top + j * h, Jpeg);
}

// A skin image of the master bitmap over R by fill mode; the part left for
// the section colour comes back in R.
void TileImage(HDC Dst, TRect& R, HDC Src, const TRect& Image, TkvFillMode FillMode)
{
    const int w = Image.Width(), h = Image.Height();
    if (w <= 0 || h <= 0)
        return;
    const TCell cell = BlitCell(Dst, Src, Image.left, Image.top);
    auto stretch = [&](int x, int y, int sw, int sh) {
        ::StretchBlt(Dst, x, y, sw, sh, Src, Image.left, Image.top, w, h, SRCCOPY);
    };
    switch (FillMode) {
    case fmTiled:
        CellLoop(R, w, h, cell);
        R = NothingLeft;
        break;
    case fmStretched:
        stretch(R.left, R.top, R.Width(), R.Height());
        R = NothingLeft;
        break;
    case fmTiledHorz:
        CellLoop(R, w, h, R.right - w, R.top, true, cell);
        R.top += h;
        break;
    case fmTiledVert:
        CellLoop(R, w, h, R.left, R.bottom - h, true, cell);
        R.left += w;
        break;
    case fmStretchHorz:
        stretch(R.left, R.top, R.Width(), h);
        R.top += h;
        break;
    case fmStretchVert:
        stretch(R.left, R.top, w, R.Height());
        R.left += w;
        break;
    case fmTileHorBtm:
        CellLoop(TRect(R.left, R.bottom - h, R.right, R.bottom), w, h, cell);
        R.bottom -= h;
        break;
    case fmTileVertRight:
        CellLoop(R, w, h, cell);
        R.right -= w;
        break;
    case fmDisTiled:
        CellLoop(R, w, h, R.right - w, R.bottom - h, false, cell);
        R = NothingLeft;
        break;
    case fmStretchHorBtm:
    case fmStretchVertRight:
    case fmDiscHorTop:
    case fmDiscVertLeft:
    case fmDiscHorBottom:
    case fmDiscVertRight:
        CellLoop(R, w, h, cell);
        R.left = R.right - w;
        break;
    }
}

} // namespace

void TileBitmap(TCanvas* Canvas, const TRect& R, TGraphic* Graphic)
{
    // A graphic without pixels would never advance the loop.
    if (!Canvas || !Graphic || Graphic->Width() <= 0 || Graphic->Height() <= 0)
        return;
    if (auto* bmp = dynamic_cast<TBitmap*>(Graphic))
        CellLoop(R, bmp->Width(), bmp->Height(), BlitCell(Canvas->Handle(), bmp->Canvas()->Handle(), 0, 0));
    else if (auto* jpeg = dynamic_cast<TJPEGImage*>(Graphic))
        TileJpeg(Canvas, R, jpeg);
}

void TileBitmap(TCanvas* Canvas, TRect& R, TGraphic* Graphic, const TsMaskData& MaskData, TkvFillMode FillMode)
{
    if (!Canvas)
        return;
    if (Graphic && !Graphic->Empty()) {
        TileBitmap(Canvas, static_cast<const TRect&>(R), Graphic);
        R = NothingLeft;
        return;
    }
    TBitmap* master = MaskData.Manager && MasterBitmapOf ? MasterBitmapOf(MaskData.Manager) : nullptr;
    if (master && !master->Empty())
        TileImage(Canvas->Handle(), R, master->Canvas()->Handle(), MaskData.R, FillMode);
}

void TileMasked(TBitmap* Bmp, TRect& R, const TCacheInfo& CI, const TsMaskData& MaskData, TkvFillMode FillMode)
{
    if (!Bmp || Bmp->Empty() || !MaskData.Manager || MaskData.ImageCount <= 0 ||
        (FillMode != fmTiled && FillMode != fmDisTiled))
        return;
    const int w = MaskData.R.Width() / MaskData.ImageCount, h = MaskData.R.Height() / 2;
    if (w <= 0 || h <= 0)
        return;
    const TRect& img = MaskData.R;
    const TCell cell = [&](int x, int y, int cw, int ch) {
        CopyMasterRect(TRect(x, y, x + cw, y + ch), TRect(img.left, img.top, img.left + cw, img.top + ch), Bmp, CI,
                       MaskData);
    };
    const bool whole = FillMode == fmDisTiled;
    // Whole rows in every column; fmTiled adds the cut last column.
    int x = R.left, y = R.top;
    for (; x < R.right - w; x += w)
        for (y = R.top; y < R.bottom - h; y += h)
            cell(x, y, w, h);
    if (!whole) {
        for (y = R.top; y < R.bottom - h; y += h)
            cell(x, y, R.right - x, h);
        R = NothingLeft;
        return;
    }
    // The strips no whole cell covers take what lies behind.
    const TRect strips[] = {{R.left, y, R.right, R.bottom}, {x, R.top, R.right, R.bottom}};
    for (const TRect& s : strips) {
        if (s.IsEmpty())
            continue;
        if (CI.Ready && CI.Bmp)
            ::BitBlt(Bmp->Canvas()->Handle(), s.left, s.top, s.Width(), s.Height(), CI.Bmp->Canvas()->Handle(),
                     s.left + CI.X, s.top + CI.Y, SRCCOPY);
        else if (Bmp->PixelFormat() == pf32bit)
            FillRect32(Bmp, s, CI.FillColor);
        else
            FillDC(Bmp->Canvas()->Handle(), s, CI.FillColor);
    }
    R = NothingLeft;
}

void TileBitmapFromOther(TCanvas* Canvas, const TRect& R, const TsMaskData& MaskData)
{
    const int w = MaskData.R.Width(), h = MaskData.R.Height();
    if (!Canvas || !MaskData.Bmp || MaskData.Bmp->Empty() || w <= 0 || h <= 0)
        return;
    CellLoop(R, w, h, BlitCell(Canvas->Handle(), MaskData.Bmp->Canvas()->Handle(), MaskData.R.left, MaskData.R.top));
}
