// Routines the wrappers share: their geometry, the cache of a window without
// painting of its own, its corners, and a few questions and messages.
#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils.h"

void KorvexBroadCastCheck(TControl* Control, HWND Handle, TMessage& Message)
{
    if (auto* w = dynamic_cast<TWinControl*>(Control))
        KorvexBroadCast(w, Message);
    else if (Handle)
        KorvexBroadCast(Handle, Message);
}

bool MayBeHot(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m || SkinData->SkinIndex < 0 || !m->IsValidImgIndex(SkinData->BorderIndex))
        return false;
    return m->ma[std::size_t(SkinData->BorderIndex)].ImageCount > 1;
}

void SetIntPropIfPresent(TObject* Obj, const UnicodeString& PropName, int Value)
{
    if (Obj && kvntUtils::HasProperty(Obj, PropName))
        kvntUtils::SetIntProp(Obj, PropName, Value);
}

TColor GetColorPropIfPresent(TObject* Obj, const UnicodeString& PropName)
{
    if (!Obj || !kvntUtils::HasProperty(Obj, PropName))
        return 0;
    return ColorToRGB(static_cast<TColor>(kvntUtils::GetIntProp(Obj, PropName)));
}

TComponent* FindControlByHandle(HWND Handle, TComponent* Component)
{
    if (!Handle || !Component)
        return nullptr;
    for (int i = 0; i < Component->ComponentCount(); ++i) {
        TComponent* c = Component->Components(i);
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->HandleAllocated() && w->Handle() == Handle)
            return c;
        if (TComponent* found = FindControlByHandle(Handle, c))
            return found;
    }
    return nullptr;
}

void InitCtrlData(HWND Wnd, HWND& ParentWnd, TRect& WndRect, TRect& ParentRect, TSize& WndSize, TPoint& WndPos,
                  const UnicodeString&)
{
    ::GetWindowRect(Wnd, &WndRect);
    ParentWnd = ::GetParent(Wnd);
    ParentRect = TRect();
    if (ParentWnd)
        ::GetWindowRect(ParentWnd, &ParentRect);
    WndSize = {WndRect.Width(), WndRect.Height()};
    WndPos = WndRect.TopLeft();
    if (ParentWnd)
        ::ScreenToClient(ParentWnd, &WndPos);
}

void InitCtrlData(TkvMainWnd* Wnd)
{
    InitCtrlData(Wnd->CtrlHandle, Wnd->ParentWnd, Wnd->WndRect, Wnd->ParentRect, Wnd->WndSize, Wnd->WndPos,
                 Wnd->Caption);
}

// ---------------------------------------------------------------------------
// The cache.
namespace {

void PaintDialogLook(TBitmap* Bmp, TColor BorderColor)
{
    const TRect all(0, 0, Bmp->Width(), Bmp->Height());
    HDC dc = Bmp->Canvas()->Handle();
    FillDC(dc, all, clWindow);
    HBRUSH frame = ::CreateSolidBrush(ColorToRGB(BorderColor));
    ::FrameRect(dc, &all, frame);
    ::DeleteObject(frame);
}

// The skin's frame colour for the plain dialog look; the key colour means
// the skin has none.
TColor DialogBorderColor()
{
    TsSkinData* d = DefaultManager ? DefaultManager->SkinData : nullptr;
    return d ? d->BorderColor : clFuchsia;
}

// The cache of a disabled control mixed with what lies behind it.
void ApplyDisabledLook(TsCommonData* SkinData, HWND Wnd)
{
    TControl* c = SkinData->FOwnerControl;
    if (!c || c->Enabled())
        return;
    kvGlobalDisabledKind = TsDisabledKind{dkBlended};
    SendAMessage(Wnd, 35, 0); // the control prepares its disabled look
    BmpDisabledKind(SkinData->FCacheBmp, kvGlobalDisabledKind, c->Parent(), GetParentCache(SkinData),
                    TPoint(c->Left(), c->Top()));
}

} // namespace

void PrepareCache(TsCommonData* SkinData, HWND Wnd, bool DlgMode)
{
    if (!SkinData || !Wnd || !SkinData->BGChanged)
        return;
    TRect r;
    ::GetWindowRect(Wnd, &r);
    const TCacheInfo ci = GetParentCacheHwnd(Wnd);
    InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(r.Width(), r.Height());
    const TColor border = DialogBorderColor();
    if (DlgMode && border != clFuchsia) {
        PaintDialogLook(SkinData->FCacheBmp, border);
    } else {
        HWND parent = ::GetParent(Wnd);
        TPoint pos = r.TopLeft();
        if (!parent || !::ScreenToClient(parent, &pos))
            return; // not placed yet: BGChanged stays set
        TsSkinManager* m = SkinData->GetSkinManager();
        if (m && m->IsValidSkinIndex(SkinData->SkinIndex)) {
            const int state = SkinData->FFocused || SkinData->FMouseAbove ? 1 : 0;
            PaintItem(SkinData, ci, false, state, TRect(0, 0, r.Width(), r.Height()), pos, SkinData->FCacheBmp,
                      !DlgMode);
        }
    }
    ApplyDisabledLook(SkinData, Wnd);
    SkinData->BGChanged = false;
}

// ---------------------------------------------------------------------------
// Corners.
namespace {

// One corner: Size pixels from Src (inside the image) to Dst (inside the
// window picture).
struct TCorner {
    TPoint Src, Dst;
    TSize Size;
};

// What lies behind one window pixel: the parent's cached pixel, or the fill
// colour; false when there is nothing to take.
class TBehind {
public:
    TBehind(const TCacheInfo& CI, bool Only24) : FCI(CI)
    {
        if (CI.Ready && CI.Bmp)
            FRows = RowsOf(CI.Bmp);
        if (Only24 && FRows.BytesPerPixel != 3)
            FRows = TBitmapRows();
        FFill = ColorToRGB(CI.FillColor);
    }
    bool Pixel(int X, int Y, uint8_t* Out) const
    {
        if (!FCI.Ready) {
            if (FFill == clFuchsia)
                return false;
            Out[0] = GetBValue(FFill);
            Out[1] = GetGValue(FFill);
            Out[2] = GetRValue(FFill);
            return true;
        }
        const int x = FCI.X + X, y = FCI.Y + Y;
        if (FRows.Empty() || FRows.BytesPerPixel < 3 || x < 0 || y < 0 || x >= FRows.Width || y >= FRows.Height)
            return false;
        const uint8_t* p = FRows.Pixel(x, y);
        Out[0] = p[0];
        Out[1] = p[1];
        Out[2] = p[2];
        return true;
    }

private:
    TCacheInfo FCI;
    TBitmapRows FRows;
    TColor FFill;
};

bool IsKey(const uint8_t* P)
{
    return P[0] == 0xFF && P[1] == 0x00 && P[2] == 0xFF;
}

void FillCorner(const TBitmapRows& Image, const TBitmapRows& Cache, const TBehind& Behind, const TCorner& C)
{
    for (int y = 0; y < C.Size.cy; ++y)
        for (int x = 0; x < C.Size.cx; ++x) {
            const int sx = C.Src.x + x, sy = C.Src.y + y, dx = C.Dst.x + x, dy = C.Dst.y + y;
            if (sx < 0 || sy < 0 || sx >= Image.Width || sy >= Image.Height)
                continue;
            if (dx < 0 || dy < 0 || dx >= Cache.Width || dy >= Cache.Height)
                continue;
            if (!IsKey(Image.Pixel(sx, sy)))
                continue;
            uint8_t bgr[3];
            if (Behind.Pixel(dx, dy, bgr)) {
                uint8_t* d = Cache.Pixel(dx, dy);
                d[0] = bgr[0];
                d[1] = bgr[1];
                d[2] = bgr[2];
            }
        }
}

} // namespace

void FillWrapperCorners(TsCommonData* SkinData, int State, TkvMainWnd* Wnd)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m || !Wnd || Wnd->DlgMode || !m->IsValidImgIndex(SkinData->BorderIndex) || !SkinData->FCacheBmp ||
        Wnd->WndSize.cx <= 1 || Wnd->WndSize.cy <= 1)
        return;
    TCacheInfo ci = GetParentCacheHwnd(Wnd->CtrlHandle);
    TsMaskData md = m->ma[std::size_t(SkinData->BorderIndex)];
    if (md.ImageCount == 0 && md.Bmp) {
        md.MaskType = 1;
        md.ImageCount = 3;
        md.R = TRect(0, 0, md.Bmp->Width(), md.Bmp->Height());
    }
    if (md.ImageCount <= 0)
        return;
    if (ci.Ready) {
        ci.X += Wnd->WndPos.x;
        ci.Y += Wnd->WndPos.y;
    }
    State = std::clamp(State, 0, md.ImageCount - 1);
    const int frameW = md.R.Width() / md.ImageCount;
    const int frameH = md.R.Height() / (md.MaskType + 1);
    const TPoint frame(md.R.left + md.R.Width() * State / md.ImageCount, md.R.top);
    const TBitmapRows image = RowsOf(ImageBitmapOf(md));
    const TBitmapRows cache = RowsOf(SkinData->FCacheBmp);
    if (image.Empty() || image.BytesPerPixel < 3 || cache.Empty() || cache.BytesPerPixel < 3)
        return;
    const TBehind behind(ci, md.MaskType == 0);
    const int w = Wnd->WndSize.cx, h = Wnd->WndSize.cy;
    const TCorner corners[4] = {
        {frame, {0, 0}, {md.WL, md.WT}},
        {{frame.x, frame.y + frameH - md.WB}, {0, h - md.WB}, {md.WL, md.WB}},
        {{frame.x + frameW - md.WR, frame.y + frameH - md.WB}, {w - md.WR, h - md.WB}, {md.WR, md.WB}},
        {{frame.x + frameW - md.WR, frame.y}, {w - md.WR, 0}, {md.WR, md.WT}},
    };
    for (const TCorner& c : corners)
        FillCorner(image, cache, behind, c);
}

void SendCommandToTopParent(HWND Handle)
{
    HWND top = Handle;
    while (HWND p = ::GetParent(top))
        top = p;
    if (top)
        ::SendMessageW(top, SM_KORVEXCMD, MakeKorvexWParam(SMC_ADD_TO_ADAPTER, 0), 0);
}
