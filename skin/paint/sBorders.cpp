#include "skin/paint/sBorders.h"

#include <algorithm>

#include "classlib/graphics/GdiHandles.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sAlphaGraph_Masks.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"

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

namespace {

TRect Shrunk(const TRect& R, int L, int T, int Rt, int B)
{
    TRect r(R.left + L, R.top + T, R.right - Rt, R.bottom - B);
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    return r;
}

// What lies behind the control, with the offset of the control itself.
TkvBGInfo ParentBackground(TsCommonData* SkinData)
{
    TkvBGInfo info;
    TControl* owner = SkinData->FOwnerControl;
    if (owner && owner->Parent()) {
        GetBGInfo(&info, owner->Parent(), false);
        info.Offset.x += owner->Left();
        info.Offset.y += owner->Top();
    }
    return info;
}

// The image's border over R of the cache, on the parent's background where
// a masked image lets it through.  The rectangle inside the image's border.
TRect PaintImageBorder(const TRect& R, TsCommonData* SkinData, const TsMaskData& Md, TkvBGInfo& Info, TColor BG,
                       int State)
{
    SkinData->InitCacheBmp();
    TBitmap* cache = SkinData->FCacheBmp;
    HDC dc = cache->Canvas()->Handle();
    if (Md.MaskType == 1) {
        if (Info.BgType == btCache && Info.Bmp)
            ::BitBlt(dc, R.left, R.top, R.Width(), R.Height(), Info.Bmp->Canvas()->Handle(), Info.Offset.x + R.left,
                     Info.Offset.y + R.top, SRCCOPY);
        else
            FillDCBorder(dc, R, Md.WL, Md.WT, Md.WR, Md.WB, BG);
    }
    DrawSkinRect(cache, R, false, BGInfoToCI(&Info), Md, State, true, nullptr);
    return Shrunk(R, Md.WL, Md.WT, Md.WR, Md.WB);
}

} // namespace

TRect PaintBorderFast(HDC DC, const TRect& R, int BorderWidth, TsCommonData* SkinData, int State)
{
    if (!SkinData)
        return R;
    TsSkinManager* sm = SkinData->GetSkinManager();
    const TColor BG = GetBGColor(SkinData, State);
    TkvBGInfo info = ParentBackground(SkinData);
    const int bw = BorderWidth;
    if (!sm || SkinData->BorderIndex < 0 || !sm->IsValidImgIndex(SkinData->BorderIndex)) {
        if (bw == 0)
            return R;
        FillDCBorder(DC, R, bw, bw, bw, bw, BG);
        return Shrunk(R, bw, bw, bw, bw);
    }
    const TsMaskData& md = sm->ma[std::size_t(SkinData->BorderIndex)];
    TRect result = PaintImageBorder(R, SkinData, md, info, BG, State);
    if (bw == 0)
        return result;
    // The band between the image's border and BorderWidth.
    HDC cacheDC = SkinData->FCacheBmp->Canvas()->Handle();
    const int w = R.Width(), h = R.Height();
    FillDCBorder(cacheDC, result, std::max(0, std::min(bw, w - md.WR) - md.WL),
                 std::max(0, std::min(bw, h - md.WB) - md.WT), std::max(0, std::min(bw, w - md.WL) - md.WR),
                 std::max(0, std::min(bw, h - md.WT) - md.WB), BG);
    result = Shrunk(R, bw, bw, bw, bw);
    if (DC != cacheDC)
        BitBltBorder(DC, R.left, R.top, w, h, cacheDC, R.left, R.top, bw);
    return result;
}
