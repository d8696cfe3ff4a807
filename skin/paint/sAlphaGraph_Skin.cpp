// The skin-mask renderer on bitmaps: nine-piece borders, glyphs and masked
// copies out of skin images.  Geometry and pixel loops are the kernels of
// sAlphaGraph_Pieces and sAlphaGraph_Masks.
#include <algorithm>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sAlphaGraph_Masks.h"
#include "skin/paint/sAlphaGraph_Pieces.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"

using kvPaint::TPiece;

TBitmap* ImageBitmapOf(const TsMaskData& MaskData)
{
    if (MaskData.Bmp)
        return MaskData.Bmp;
    return MaskData.Manager && MasterBitmapOf ? MasterBitmapOf(MaskData.Manager) : nullptr;
}

kvPaint::TNineImage NineImageOf(const TsMaskData& MaskData)
{
    kvPaint::TNineImage i;
    i.R = KvRect(MaskData.R);
    i.ImageCount = MaskData.ImageCount;
    i.PictureHeight = HeightOfImage(MaskData);
    i.WL = MaskData.WL;
    i.WT = MaskData.WT;
    i.WR = MaskData.WR;
    i.WB = MaskData.WB;
    return i;
}

int FrameOf(const TsMaskData& MaskData, int State)
{
    return std::max(0, std::min(State, MaskData.ImageCount - 1));
}

namespace {

TRect WinRect(const TkvRect& R)
{
    return TRect(R.Left, R.Top, R.Right, R.Bottom);
}

TRect Inclusive(const TkvRect& R)
{
    return TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1);
}

// Pieces of an image with a mask: every piece mixed through the mask; only
// corners see the background.  The rows are taken once: narrow side pieces
// make hundreds of copies per border.
class TMaskedSink : public kvPaint::TPieceSink {
public:
    TBitmapRows Dst, Src;
    TkvBack Back, Empty;
    int MaskHeight;
    bool UpdateCorners;
    TMaskedSink(TBitmap* D, TBitmap* S, const TCacheInfo& C, const TsMaskData& M, bool U)
        : Dst(RowsOf(D)), Src(RowsOf(S)), Back(BackOf(C)), Empty(BackOf(EmptyCI)), MaskHeight(M.R.Height()),
          UpdateCorners(U)
    {
    }
    void Copy(TPiece Piece, const TkvRect& D, const TkvRect& S, bool) override
    {
        const bool corner = kvPaint::IsCorner(Piece);
        kvPaint::CopyByMaskData(D, S, Dst, Src, corner ? Back : Empty, corner && UpdateCorners, MaskHeight);
    }
    bool Tile(TPiece, const TkvRect& Area, TkvPoint Origin, int W, int H) override
    {
        return kvPaint::TileByMask(Dst, Area, Src, Origin.X, Origin.Y, W, H, MaskHeight / 2);
    }
};

// Pieces of a key-colour image: corners let the background through their
// key pixels, sides and centre are opaque block copies.
class TKeyedSink : public kvPaint::TPieceSink {
public:
    TBitmap* Dst;
    TBitmap* Src;
    const TCacheInfo& CI;
    bool UpdateCorners;
    HDC DstDC, SrcDC;
    TKeyedSink(TBitmap* D, TBitmap* S, const TCacheInfo& C, bool U)
        : Dst(D), Src(S), CI(C), UpdateCorners(U), DstDC(D->Canvas()->Handle()), SrcDC(S->Canvas()->Handle())
    {
    }
    void Copy(TPiece Piece, const TkvRect& D, const TkvRect& S, bool Stretch) override
    {
        if (kvPaint::IsCorner(Piece))
            CopyTransRect(Dst, Src, D.Left, D.Top, Inclusive(S), sFuchsia.C, CI, UpdateCorners);
        else if (Stretch)
            ::StretchBlt(DstDC, D.Left, D.Top, D.Width(), D.Height(), SrcDC, S.Left, S.Top, S.Width(), S.Height(),
                         SRCCOPY);
        else
            ::BitBlt(DstDC, D.Left, D.Top, D.Width(), D.Height(), SrcDC, S.Left, S.Top, SRCCOPY);
    }
};

// Pieces of a master-image border drawn in thirds: every piece through
// CopyMasterRect (the centre without background).
class TMasterSink : public kvPaint::TPieceSink {
public:
    TBitmap* Dst;
    const TCacheInfo& CI;
    const TsMaskData& MaskData;
    TMasterSink(TBitmap* D, const TCacheInfo& C, const TsMaskData& M) : Dst(D), CI(C), MaskData(M) {}
    void Copy(TPiece Piece, const TkvRect& D, const TkvRect& S, bool) override
    {
        CopyMasterRect(WinRect(D), WinRect(S), Dst, Piece == TPiece::Center ? EmptyCI : CI, MaskData);
    }
};

void SetHalftone(TBitmap* Bmp)
{
    HDC dc = Bmp->Canvas()->Handle();
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
}

// Passes every piece on, listing the corner copies on the way.
class TCornerList : public kvPaint::TPieceSink {
public:
    kvPaint::TPieceSink& Inner;
    std::vector<TsCornerCopy>* Corners;
    TBitmap* Src;
    TCornerList(kvPaint::TPieceSink& I, std::vector<TsCornerCopy>* C, TBitmap* S) : Inner(I), Corners(C), Src(S) {}
    void Copy(TPiece Piece, const TkvRect& D, const TkvRect& S, bool Stretch) override
    {
        if (Corners && kvPaint::IsCorner(Piece))
            Corners->push_back({D, S, Src});
        Inner.Copy(Piece, D, S, Stretch);
    }
    bool Tile(TPiece Piece, const TkvRect& Area, TkvPoint Origin, int W, int H) override
    {
        return Inner.Tile(Piece, Area, Origin, W, H);
    }
};

void PlanImage(TBitmap* Bmp, TBitmap* Src, const TRect& R, const kvPaint::TNineImage& Image,
               const kvPaint::TNineOptions& Options, const TCacheInfo& CI, const TsMaskData& MaskData,
               bool UpdateCorners, std::vector<TsCornerCopy>* Corners = nullptr)
{
    if (MaskData.MaskType != 0) {
        TMaskedSink sink(Bmp, Src, CI, MaskData, UpdateCorners);
        TCornerList list(sink, Corners, Src);
        kvPaint::PlanNinePieces(KvRect(R), Image, Options, list);
        return;
    }
    if (Options.StretchSides || Options.StretchCenter)
        SetHalftone(Bmp);
    TKeyedSink sink(Bmp, Src, CI, UpdateCorners);
    TCornerList list(sink, Corners, Src);
    kvPaint::PlanNinePieces(KvRect(R), Image, Options, list);
}

} // namespace

namespace {

void DrawBorder(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& MaskData,
                int State, bool UpdateCorners, std::vector<TsCornerCopy>* Corners)
{
    if ((State == 0 && (MaskData.DrawMode & 2)) || R.Width() < 2 || R.Height() < 2 || !MaskData.Manager ||
        MaskData.ImageCount <= 0 || !Bmp || Bmp->Empty())
        return;
    TBitmap* src = ImageBitmapOf(MaskData);
    if (!src || src->Empty())
        return;
    const bool keyed = MaskData.MaskType == 0, stretch = keyed && (MaskData.DrawMode & 1);
    const kvPaint::TNineOptions options{FrameOf(MaskData, State), stretch, stretch,
                                        Filling && (MaskData.DrawMode & 4)};
    PlanImage(Bmp, src, R, NineImageOf(MaskData), options, CI, MaskData, UpdateCorners, Corners);
}

} // namespace

void DrawSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& MaskData,
                  int State, bool UpdateCorners, TObject* /*SkinManager*/)
{
    DrawBorder(Bmp, R, Filling, CI, MaskData, State, UpdateCorners, nullptr);
}

void DrawSkinRectCorners(TBitmap* Bmp, const TRect& R, bool Filling, const TsMaskData& MaskData, int State,
                         std::vector<TsCornerCopy>& Corners)
{
    // Key pixels stay: a masked copy leaves them without a background, a
    // key-colour copy skips them over one that is ready.
    TCacheInfo ci = EmptyCI;
    ci.Ready = MaskData.MaskType == 0;
    DrawBorder(Bmp, R, Filling, ci, MaskData, State, false, &Corners);
}

void DrawSmallSkinRect(TBitmap* Bmp, const TRect& R, bool Filling, const TCacheInfo& CI, const TsMaskData& MaskData,
                       int State)
{
    // Images of the master bitmap only, and only those with a picture part.
    if (MaskData.Bmp || !MaskData.Manager || R.Width() <= 1 || R.Height() <= 1 || MaskData.ImageCount <= 0 ||
        MaskData.MaskType < 0 || !Bmp || Bmp->Empty())
        return;
    TBitmap* src = ImageBitmapOf(MaskData);
    if (!src || src->Empty())
        return;
    // The border is a third of a frame each way; its own widths are not used.
    kvPaint::TNineImage image = NineImageOf(MaskData);
    image.WL = image.WR = MaskData.R.Width() / (MaskData.ImageCount * 3);
    image.WT = image.WB = MaskData.R.Height() / (3 * (MaskData.MaskType + 1));
    const bool stretch = MaskData.MaskType == 0 && (MaskData.DrawMode & 1);
    const kvPaint::TNineOptions options{FrameOf(MaskData, State), stretch, false,
                                        Filling && (MaskData.DrawMode & 4)};
    if (MaskData.MaskType != 0) {
        TMasterSink sink(Bmp, CI, MaskData);
        kvPaint::PlanNinePieces(KvRect(R), image, options, sink);
        return;
    }
    if (stretch)
        SetHalftone(Bmp);
    TKeyedSink sink(Bmp, src, CI, true);
    kvPaint::PlanNinePieces(KvRect(R), image, options, sink);
}

void CopyMasterRectA(const TRect& R1, const TRect& R2, TBitmap* Bmp, const TCacheInfo& /*CI*/,
                     const TsMaskData& MaskData)
{
    if (!MaskData.Manager || !MasterBitmapOf)
        return;
    // Not ready and not updating: key-colour pixels leave the destination alone.
    kvPaint::CopyByMaskData(KvRect(R1), KvRect(R2), RowsOf(Bmp), RowsOf(MasterBitmapOf(MaskData.Manager)), TkvBack{},
                            false, MaskData.R.Height());
}

void BlendGlyphByMask(const TRect& R1, const TRect& R2, TBitmap* Bmp1, TBitmap* Bmp2, TColor /*TransColor*/, int Mode,
                      const TsMaskData& MaskData)
{
    if (!Bmp1 || !Bmp2 || Bmp1->Empty() || Bmp2->Empty())
        return;
    const int fh = HeightOfImage(MaskData);
    int rows = std::min<int>({R1.Height(), R2.Height(), Bmp1->Height() - R1.top - 1, Bmp2->Height() - R2.top - fh - 1}) + 1;
    int cols = std::min<int>({R1.Width(), R2.Width(), Bmp1->Width() - R1.left - 1, Bmp2->Width() - R2.left - 1}) + 1;
    if (MaskData.ImageCount < 1) {
        // An image without frames: no further than its own picture.
        rows = std::min(rows, int(MaskData.R.top) + fh - int(R2.top));
        cols = std::min(cols, int(MaskData.R.right) - int(R2.left));
    }
    if (rows <= 0 || cols <= 0)
        return;
    if (MaskData.MaskType == 0) {
        CopyTransRectA(Bmp1, Bmp2, R1.left, R1.top, TRect(R2.left, R2.top, R2.left + cols - 1, R2.top + rows - 1),
                       sFuchsia.C, EmptyCI);
        return;
    }
    if (Bmp2->Height() < R2.top + rows - 1)
        return;
    kvPaint::BlendGlyph(RowsOf(Bmp1), R1.left, R1.top, RowsOf(Bmp2), R2.left, R2.top, cols, rows, fh, Mode != 1);
}

void DrawSkinGlyph(TBitmap* Bmp, const TPoint& P, int State, int Mode, const TsMaskData& MaskData,
                   const TCacheInfo& CI)
{
    if (!Bmp || Bmp->Empty())
        return;
    const int fw = WidthOfImage(MaskData), fh = HeightOfImage(MaskData);
    const int sx = MaskData.R.left + FrameOf(MaskData, State) * fw, sy = MaskData.R.top;
    // Inclusive rectangles of the frame and of its place.
    const TRect dst(P.x, P.y, P.x + fw - 1, P.y + fh - 1), src(sx, sy, sx + fw - 1, sy + fh - 1);
    if (MaskData.Bmp) {
        if (MaskData.Bmp->Width() >= MaskData.R.right && MaskData.Bmp->Height() >= MaskData.R.bottom)
            BlendGlyphByMask(dst, src, Bmp, MaskData.Bmp, sFuchsia.C, Mode, MaskData);
        return;
    }
    TBitmap* master = ImageBitmapOf(MaskData);
    if (!master || MaskData.ImageCount == 0 || fw <= 0 || fh <= 0)
        return;
    if (MaskData.MaskType > 0)
        BlendGlyphByMask(dst, src, Bmp, master, sFuchsia.C, Mode, MaskData);
    else if (MaskData.MaskType == 0 && Mode == 1)
        CopyTransRect(Bmp, master, P.x, P.y, src, sFuchsia.C, CI, true);
    else if (MaskData.MaskType == 0)
        BlendTransRectangle(Bmp, P.x, P.y, master, src, 0.5, sFuchsia);
}

// ---------------------------------------------------------------------------
namespace {

// What lies behind the control, in the cache's coordinates: the parent's
// cached image (Ready) or its colour.  False when nothing can be told.
bool CornerBackground(TsCommonData* SkinData, TkvBGInfo& Info, TkvBack& Back)
{
    TControl* owner = SkinData->FOwnerControl;
    if (!owner->Parent())
        return false;
    GetBGInfo(&Info, owner->Parent(), false);
    if (Info.BgType == btCache) {
        if (!Info.Bmp || Info.Bmp->Empty())
            return false;
        Back.Bmp = RowsOf(Info.Bmp);
        Back.X = Info.Offset.x + owner->Left();
        Back.Y = Info.Offset.y + owner->Top();
        Back.Ready = true;
        return true;
    }
    Back.FillColor = ColorToRGB(Info.Color);
    return Back.FillColor != kvKeyColor;
}

// The border image as UpdateCorners reads it: an own bitmap without frames
// counts as three masked frames over the whole bitmap.
TsMaskData CornerImage(const TsMaskData& Md)
{
    TsMaskData m = Md;
    if (m.ImageCount == 0 && m.Bmp) {
        m.ImageCount = 3;
        m.MaskType = 1;
        m.R = TRect(0, 0, m.Bmp->Width(), m.Bmp->Height());
    }
    return m;
}

} // namespace

void UpdateCorners(TsCommonData* SkinData, int State, TsCorners Corners)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    TControl* owner = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!sm || SkinData->BorderIndex < 0 || !sm->IsValidImgIndex(SkinData->BorderIndex) || !SkinData->FCacheBmp ||
        SkinData->FCacheBmp->Empty() || SkinData->FCacheBmp->PixelFormat() != pf24bit || !owner ||
        owner->Width() <= 1 || owner->Height() <= 1)
        return;
    TkvBGInfo info;
    TkvBack back;
    if (!CornerBackground(SkinData, info, back))
        return;
    const TsMaskData md = CornerImage(sm->ma[std::size_t(SkinData->BorderIndex)]);
    TBitmap* image = ImageBitmapOf(md);
    const int fw = WidthOfImage(md), fh = HeightOfImage(md);
    // An image without picture height (no mask type) has no corners to read.
    if (!image || image->Empty() || md.ImageCount <= 0 || fh <= 0)
        return;
    const int x0 = md.R.left + FrameOf(md, State) * md.R.Width() / md.ImageCount;
    const int mw = fw - md.WL - md.WR, w = owner->Width(), h = owner->Height();
    const int top = md.R.top, bottom = md.R.top + fh - md.WB;
    const TBitmapRows cache = RowsOf(SkinData->FCacheBmp), src = RowsOf(image);
    if (Corners.Contains(scLeftTop))
        kvPaint::RepairCorner(cache, 0, 0, src, x0, top, md.WL, md.WT, back);
    if (Corners.Contains(scLeftBottom))
        kvPaint::RepairCorner(cache, 0, h - md.WB, src, x0, bottom, md.WL, md.WB, back);
    if (Corners.Contains(scRightBottom))
        kvPaint::RepairCorner(cache, w - md.WR, h - md.WB, src, x0 + md.WL + mw, bottom, md.WR, md.WB, back);
    if (Corners.Contains(scRightTop))
        kvPaint::RepairCorner(cache, w - md.WR, 0, src, x0 + md.WL + mw, top, md.WR, md.WT, back);
}
