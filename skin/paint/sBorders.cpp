#include "skin/paint/sBorders.h"

#include <algorithm>

#include "classlib/graphics/GdiHandles.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sAlphaGraph_Masks.h"

namespace {

void CutRuns(HRGN Rgn, const std::vector<kvPaint::TKeyRun>& Runs)
{
    for (const kvPaint::TKeyRun& r : Runs) {
        GdiObject<HRGN> hole(::CreateRectRgn(r.X, r.Y, r.X + r.Length, r.Y + 1));
        ::CombineRgn(Rgn, Rgn, hole.Get(), RGN_DIFF);
    }
}

// Every piece through CopyMask; stretched sides and centre by StretchBlt.
class TRgnSink : public kvPaint::TPieceSink {
public:
    TBitmap* Bmp;
    TBitmap* Src;
    HRGN Rgn;
    const TsMaskData& MaskData;
    TRgnSink(TBitmap* B, TBitmap* S, HRGN R, const TsMaskData& M) : Bmp(B), Src(S), Rgn(R), MaskData(M) {}
    void Copy(kvPaint::TPiece Piece, const TkvRect& D, const TkvRect& S, bool Stretch) override
    {
        if (Stretch) {
            ::StretchBlt(Bmp->Canvas()->Handle(), D.Left, D.Top, D.Width(), D.Height(), Src->Canvas()->Handle(),
                         S.Left, S.Top, S.Width(), S.Height(), SRCCOPY);
            return;
        }
        CopyMask(D.Left, D.Top, D.Right - 1, D.Bottom - 1, S.Left, S.Top, S.Right - 1, S.Bottom - 1, Bmp, Rgn,
                 MaskData, kvPaint::IsCorner(Piece));
    }
};

} // namespace

void CopyMask(int DstX1, int DstY1, int DstX2, int DstY2, int SrcX1, int SrcY1, int SrcX2, int SrcY2, TBitmap* Bmp,
              HRGN Rgn, const TsMaskData& MaskData, bool UpdateRgn)
{
    if (DstX1 < 0 || DstY1 < 0 || DstX2 < 0 || DstY2 < 0 || !Bmp || Bmp->Width() < 2 || Bmp->Height() < 2 ||
        !MaskData.Manager)
        return;
    TBitmap* src = ImageBitmapOf(MaskData);
    if (!src || src->Empty())
        return;
    const int w = std::min(DstX2 - DstX1, SrcX2 - SrcX1) + 1, h = std::min(DstY2 - DstY1, SrcY2 - SrcY1) + 1;
    const int maskOffset = MaskData.MaskType == 1 ? MaskData.R.Height() / 2 : 0;
    std::vector<kvPaint::TKeyRun> holes;
    kvPaint::CopyPiece(RowsOf(Bmp), DstX1, DstY1, RowsOf(src), SrcX1, SrcY1, w, h, maskOffset, UpdateRgn,
                       Rgn ? &holes : nullptr);
    if (Rgn)
        CutRuns(Rgn, holes);
}

void PaintRgnBorder(TBitmap* Bmp, HRGN Rgn, bool Filling, const TsMaskData& MaskData, int State)
{
    if (!Bmp || Bmp->Width() <= 1 || Bmp->Height() <= 1 || !MaskData.Manager)
        return;
    TBitmap* src = ImageBitmapOf(MaskData);
    if (!src || src->Empty())
        return;
    kvPaint::TNineImage image = NineImageOf(MaskData);
    int frame = FrameOf(MaskData, State);
    if (MaskData.ImageCount < 1) {
        if (!MaskData.Bmp)
            return;
        image.R = {0, 0, src->Width(), src->Height()};
        image.ImageCount = 1;
        image.PictureHeight = src->Height() / std::max(1, MaskData.MaskType + 1);
        frame = 0;
    }
    const bool stretch = (MaskData.DrawMode & 1) && MaskData.MaskType != 1;
    const kvPaint::TNineOptions options{frame, stretch, stretch, Filling && (MaskData.DrawMode & 4)};
    if (stretch) {
        HDC dc = Bmp->Canvas()->Handle();
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
    }
    TRgnSink sink(Bmp, src, Rgn, MaskData);
    kvPaint::PlanNinePieces({0, 0, Bmp->Width(), Bmp->Height()}, image, options, sink);
}
