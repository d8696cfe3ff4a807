#include "skin/paint/sAlphaGraph.h"

#include <algorithm>

#include "classlib/controls/Controls.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinTables.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"

namespace {

TBitmap* StoredMasterBitmap(TObject* Manager)
{
    auto* store = dynamic_cast<TsSkinStore*>(Manager);
    return store ? store->MasterBitmap : nullptr;
}

} // namespace

TMasterBitmapOf MasterBitmapOf = StoredMasterBitmap;
TObject* ManagerOrDefault(TObject* Manager)
{
    return Manager ? Manager : static_cast<TObject*>(DefaultManager);
}

TsSkinTables* SkinTablesOf(TObject* Manager)
{
    return dynamic_cast<TsSkinTables*>(ManagerOrDefault(Manager));
}

namespace {

// A 24- or 32-bit accessor binds only its own format.
template <class Fast>
bool AttachBitmap(Fast& F, TBitmap* Bmp, TPixelFormat Format)
{
    if (!Bmp || Bmp->Width() < 2 || Bmp->Height() < 2) {
        F.FWidth = 0;
        return false;
    }
    F.FBitmap = Bmp;
    if (Bmp->PixelFormat() != Format) {
        F.FWidth = 0;
        RaiseFormatNotSupported();
    }
    return F.Attach(Bmp->Rows());
}

} // namespace

bool TkvFast24::Attach(TBitmap* Bmp)
{
    return AttachBitmap(*this, Bmp, pf24bit);
}

bool TkvFast32::Attach(TBitmap* Bmp)
{
    return AttachBitmap(*this, Bmp, pf32bit);
}

bool TkvFastSum::Attach(TBitmap* BmpSrc, TBitmap* BmpDst)
{
    if (!BmpSrc || !BmpDst || !Attach(BmpSrc->Rows(), BmpDst->Rows()))
        return false;
    FBmpSrc = BmpSrc;
    FBmpDst = BmpDst;
    return true;
}

TBitmapRows RowsOf(TBitmap* Bmp)
{
    return Bmp && !Bmp->Empty() ? Bmp->Rows() : TBitmapRows{};
}

TkvBack BackOf(const TCacheInfo& CI)
{
    TkvBack back;
    back.Bmp = CI.Ready ? RowsOf(CI.Bmp) : TBitmapRows{};
    back.X = CI.X;
    back.Y = CI.Y;
    back.FillColor = CI.FillColor;
    back.Ready = CI.Ready;
    return back;
}

TsMaskArray* MaskTableOf(TObject* Manager)
{
    auto* tables = dynamic_cast<TsSkinTables*>(Manager);
    return tables ? &tables->ma : nullptr;
}

// ---------------------------------------------------------------------------
uint32_t SwapColor(TColor Color)
{
    return kvPaint::SwapColor(Color);
}

namespace {

// The origin of a skin image's corner (window hit-test codes).
TkvPoint CornerOrigin(const TsMaskData& Md, unsigned Corner)
{
    TkvPoint p{int(Md.R.left), int(Md.R.top)};
    if (Corner == HTTOPRIGHT || Corner == HTBOTTOMRIGHT)
        p.X += WidthOfImage(Md) - Md.WR;
    if (Corner == HTBOTTOMLEFT || Corner == HTBOTTOMRIGHT)
        p.Y += HeightOfImage(Md) - Md.WB;
    return p;
}

} // namespace

void FillTransPixels32(TBitmap* DstBmp, TBitmap* SrcBmp, const TRect& R, const TPoint& Offset, int MaskIndex,
                       TObject* SkinManager, unsigned Corner)
{
    if (MaskIndex == -1) {
        kvPaint::FillTransPixels32(RowsOf(DstBmp), RowsOf(SrcBmp), KvRect(R), KvPoint(Offset), nullptr, {});
        return;
    }
    TsMaskArray* ma = MaskTableOf(SkinManager);
    if (!ma || MaskIndex < 0 || MaskIndex >= int(ma->size()))
        return;
    const TsMaskData& md = (*ma)[std::size_t(MaskIndex)];
    TBitmap* image = md.Bmp ? md.Bmp : (MasterBitmapOf ? MasterBitmapOf(SkinManager) : nullptr);
    const TBitmapRows key = RowsOf(image);
    kvPaint::FillTransPixels32(RowsOf(DstBmp), RowsOf(SrcBmp), KvRect(R), KvPoint(Offset), &key,
                               CornerOrigin(md, Corner));
}

void BlendColorRect(TBitmap* Bmp, const TRect& R, uint8_t Percent, TColor Color)
{
    kvPaint::BlendColorRect(RowsOf(Bmp), KvRect(R), Percent, ColorToRGB(Color));
}

void FillRect32(TBitmap* Bmp, const TRect& R, TColor Color)
{
    TkvFast32 fast;
    if (fast.Attach(Bmp))
        fast.FillRect(KvRect(R), SwapColor(Color));
}

void FillAlphaRect(TBitmap* Bmp, const TRect& R, uint8_t Value)
{
    kvPaint::FillAlphaRect(RowsOf(Bmp), KvRect(R), Value);
}

void WeightByAlpha(TBitmap* Bmp, const TRect& R)
{
    const TBitmapRows rows = RowsOf(Bmp);
    const int x0 = std::max(0, int(R.left)), x1 = std::min(rows.Width, int(R.right));
    const int y0 = std::max(0, int(R.top)), y1 = std::min(rows.Height, int(R.bottom));
    for (int y = y0; y < y1; ++y) {
        uint8_t* p = rows.Row(y) + 4 * x0;
        for (int x = x0; x < x1; ++x, p += 4)
            for (int k = 0; k < 3; ++k)
                p[k] = uint8_t((p[k] * p[3] + 127) / 255);
    }
}

void BmpDisabledKind(TBitmap* Bmp, TsDisabledKind DisabledKind, TControl* Parent, const TCacheInfo& CI,
                     const TPoint& Offset)
{
    if (!Bmp || Bmp->Empty())
        return;
    if (DisabledKind.Contains(dkGrayed))
        GrayScale(Bmp);
    if (!DisabledKind.Contains(dkBlended))
        return;
    const int w = Bmp->Width(), h = Bmp->Height();
    if (CI.Ready && CI.Bmp) {
        // 60 % background, 40 % glyph; no key colour.
        const int x = CI.X + Offset.x, y = CI.Y + Offset.y;
        TsColor noKey{.C = TColor(0xFF000000)};
        BlendTransRectangle(Bmp, 0, 0, CI.Bmp, TRect(x, y, x + w - 1, y + h - 1), 0.4, noKey);
        return;
    }
    const TColor c = CI.FillColor == kvKeyColor ? GetControlColor(Parent) : CI.FillColor;
    BlendColorRect(Bmp, TRect(0, 0, w, h), 50, c);
}

void CopyMasterRect(const TRect& R1, const TRect& R2, TBitmap* Bmp, const TCacheInfo& CI, const TsMaskData& MaskData)
{
    if (!MaskData.Manager || !MasterBitmapOf)
        return;
    const TBitmapRows master = RowsOf(MasterBitmapOf(MaskData.Manager));
    const int maskHeight = MaskData.R.Height();
    TkvBack back = BackOf(CI);
    bool update = true;
    if (!CI.Ready) {
        // Without a background a hole takes the fill colour, if one is given.
        update = CI.FillColor != kvKeyColor;
    } else if (back.Bmp.BytesPerPixel == 4 && CI.FillColor != kvKeyColor) {
        back = TkvBack{};
        back.FillColor = CI.FillColor;
    } else if (back.Bmp.BytesPerPixel != 3 && back.Bmp.BytesPerPixel != 4) {
        return;
    }
    kvPaint::CopyByMaskData(KvRect(R1), KvRect(R2), RowsOf(Bmp), master, back, update, maskHeight);
}
