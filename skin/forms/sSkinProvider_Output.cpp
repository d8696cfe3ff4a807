// The window image reaches the screen: the non-client paint copies the
// frame bands of the image to the window (after setting the window region
// when the corners changed), the background and client paints copy its
// client part.  These routines only copy; they rebuild the image first when
// it is out of date.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// The window's device context, its state restored and the context
// released however the painting ends.
class TWindowDCScope {
public:
    explicit TWindowDCScope(HWND Wnd) : FWnd(Wnd), FDC(::GetWindowDC(Wnd)), FSaved(::SaveDC(FDC)) {}
    ~TWindowDCScope()
    {
        ::RestoreDC(FDC, FSaved);
        ::ReleaseDC(FWnd, FDC);
    }
    TWindowDCScope(const TWindowDCScope&) = delete;
    TWindowDCScope& operator=(const TWindowDCScope&) = delete;
    HDC DC() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
    int FSaved;
};

bool Iconic(TCustomForm* Form)
{
    return ::IsIconic(Form->Handle()) != 0;
}

bool Zoomed(TCustomForm* Form)
{
    return ::IsZoomed(Form->Handle()) != 0;
}

HDC DCOf(TBitmap* Bmp)
{
    return Bmp->Canvas()->Handle();
}

void Copy(HDC Dst, int X, int Y, int W, int H, HDC Src, int SX, int SY)
{
    if (W > 0 && H > 0)
        ::BitBlt(Dst, X, Y, W, H, Src, SX, SY, SRCCOPY);
}

} // namespace

// Another MDI child is maximised and active: only that one paints.
bool TsSkinProvider::BehindMaximisedChild()
{
    if (Form->FormStyle() != fsMDIChild || !Alive(MDISkinProvider) || !MDISkinProvider->Form)
        return false;
    TForm* active = MDISkinProvider->Form->ActiveMDIChild();
    return active && active != Form && active->HandleAllocated() && ::IsZoomed(active->Handle());
}

void TsSkinProvider::KV_WMNCPaint(TMessage& Message)
{
    (void)Message;
    if (MDICreating || !FDrawNonClientArea)
        return;
    if (FResizeMode == rmBorder && AeroIsEnabled())
        FResizeMode = rmStandard;
    if (BehindMaximisedChild())
        return;
    if (!MenusInitialized && UpdateMenu())
        MenusInitialized = true;
    const HWND wnd = Form->Handle();
    if (!RgnChanging && RgnChanged) {
        if (HaveBorder(this) || (::GetWindowLongW(wnd, GWL_STYLE) & WS_THICKFRAME) || Iconic(Form)) {
            FillArOR();
            RgnChanged = false;
            const bool quiet = Form->FormState().Contains(fsShowing) && Form->Position() != poDefault && !Zoomed(Form);
            // A region set with a repaint brings a paint request of its own.
            if (UpdateRgn(!quiet) && !quiet)
                return;
        } else {
            ::SetWindowRgn(wnd, nullptr, FALSE);
        }
    }
    FCommonData->SetUpdating(false);
    if (FCommonData->FCacheBmp && FCommonData->FCacheBmp->Width() == 0)
        FCommonData->BGChanged = true;
    TWindowDCScope dc(wnd);
    if (BorderForm)
        PaintBorderWindowBands(dc.DC());
    else if (!HaveBorder(this) && (::GetWindowLongW(wnd, GWL_STYLE) & WS_THICKFRAME) && !Iconic(Form))
        PaintThinFrame(dc.DC());
    else
        PaintCaption(dc.DC());
    RgnChanging = false;
}

// With a border window the form itself shows only its menu line and the
// bands of its own BorderWidth; the image holds them inside the shadow and
// the skin's frame, so they are taken from there.
void TsSkinProvider::PaintBorderWindowBands(HDC DC)
{
    if (FCommonData->BGChanged)
        PaintAll();
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    const TRect s = ShadowSize();
    // Each band is taken from the image where the window lies in it.
    const TPoint o = m.ImageOrigin();
    const int sbw0 = m.SysBorderWidth(false);
    const int lines = m.LinesHeight(), menu = m.Facts().HasMenu ? 1 : 0, bw = Form->BorderWidth();
    const int y0 = m.CaptionHeight(false) + sbw0 - (FSysExHeight ? 4 : 0);
    const int w = m.Facts().Width, h = m.Facts().Height;
    const HDC src = DCOf(cache);
    auto band = [&](int X, int Y, int W, int H) { Copy(DC, X, Y, W, H, src, X + o.x, Y + o.y); };
    band(sbw0, y0, cache->Width() - s.left - s.right, lines + menu + bw);
    if (bw <= 0)
        return;
    const int y2 = y0 + lines + menu + bw, bottom = h - sbw0 - bw;
    band(sbw0, y2, bw, bottom - y2);
    band(sbw0, bottom, w - 2 * sbw0, bw);
    band(w - sbw0 - bw, y2, bw, bottom - y2);
}

// A sizable form without caption: a frame BorderWidth(True) + 3 wide.
void TsSkinProvider::PaintThinFrame(HDC DC)
{
    if (FCommonData->BGChanged)
        PaintAll();
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    const int t = m.BorderWidth(true) + 3, w = m.Facts().Width, h = m.Facts().Height;
    const HDC src = DCOf(cache);
    Copy(DC, 0, 0, w, t, src, 0, 0);
    Copy(DC, 0, t, t, cache->Height(), src, 0, t);
    Copy(DC, t, h - t, w - t, t, src, t, h - t);
    Copy(DC, cache->Width() - t, t, t, cache->Height(), src, cache->Width() - t, t);
}

void TsSkinProvider::PaintCaption(HDC DC)
{
    TsSkinManager* sm = Manager();
    if (!sm || !Form->HandleAllocated())
        return;
    if (FCommonData->BGChanged || !IsCached(FCommonData)) {
        TBitmap* cache = FCommonData->FCacheBmp;
        const bool structural = MenuChanged || !IsBorderUnchanged(FCommonData->BorderIndex, sm) || !TitleBG ||
                                TitleBG->Width() != CaptionWidth() || !cache || cache->Height() != Form->Height() ||
                                !HaveBorder(this);
        if (structural)
            ControlsChanged = !FirstInitialized;
        PaintAll();
        FCommonData->BGChanged = false;
        FCommonData->SetUpdating(false);
    }
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    const int y = m.SysBorderHeight(true) + m.CaptionHeight(true) + (Iconic(Form) ? 1 : 0);
    const int menu = MenuPresent() ? m.LinesHeight() + 1 : 0;
    const int hh = m.HeaderHeight(), bw = m.BorderWidth(true), bh = m.BorderHeight(true);
    const int fb = Form->BorderWidth(), sb = m.SysBorderWidth(true), sbh = m.SysBorderHeight(true);
    const int w = m.Facts().Width, h = m.Facts().Height, iw = cache->Width(), ih = cache->Height();
    const HDC src = DCOf(cache);
    Copy(DC, 0, 0, w, hh, src, 0, 0);
    Copy(DC, 0, hh, bw, ih - hh, src, 0, y + menu + fb);
    Copy(DC, bw, h - bh, w - bw, bh, src, sb + fb, h - sbh - fb);
    Copy(DC, iw - sb - fb, hh, sb + fb, ih - bh, src, iw - sb - fb, y + menu + fb);
}

void TsSkinProvider::PaintForm(HDC DC, bool SendUpdated)
{
    const TRect client = Form->GetClientRect();
    if (FCommonData->CtrlSkinState & CSS_NOCACHE) {
        FillDC(DC, client, FormColor());
    } else {
        const bool changed = FCommonData->BGChanged;
        if (!FCommonData->UrgentPainting)
            PaintAll();
        if (Form->FormStyle() != fsMDIForm && FCommonData->FCacheBmp) {
            const int ox = OffsetX(), oy = OffsetY();
            CopyWinControlCache(Form, FCommonData, TRect(ox, oy, ox + client.Width(), oy + client.Height()),
                                TRect(0, 0, client.Width(), client.Height()), DC, false, 0, 0);
            PaintControls(DC, Form, changed || ControlsChanged, TPoint(0, 0));
        }
    }
    if (SendUpdated) {
        SetParentUpdated(Form);
        TMessage m{SM_KORVEXCMD, MakeKorvexWParam(SMC_PARENT_UPDATED), 0, 0};
        SendToAdapter(m);
    }
    ControlsChanged = false;
}

// The client background.  A device context that another window gave is
// not painted into (it may clip differently); the form's own is, unless
// the form is being painted into an animation's picture.
void TsSkinProvider::KV_WMEraseBkGnd(TMessage& Message, HDC DC)
{
    (void)Message;
    const HWND wnd = Form->Handle();
    const bool own = !DC || DC != kvPrintDC;
    HDC dc = own ? ::GetDC(wnd) : DC;
    FCommonData->FUpdating = false;
    if (!fAnimating && !FormGoing() && !(BehindMaximisedChild() && !MDICreating)) {
        const int saved = ::SaveDC(dc);
        ExcludeControls(dc, Form, kvtGraphic, 0, 0);
        PaintForm(dc, true);
        if (IsGripVisible()) {
            ::OffsetViewportOrgEx(dc, -OffsetX(), -OffsetY(), nullptr);
            PaintGrip(dc, this);
        }
        ::RestoreDC(dc, saved);
        PaintControls(dc, Form, true, TPoint(0, 0));
    }
    if (own)
        ::ReleaseDC(wnd, dc);
}

void TsSkinProvider::OurPaintHandler(TMessage& Message)
{
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    if (InAnimationProcess && !given)
        return;
    PAINTSTRUCT ps{};
    const bool begin = !InAnimationProcess;
    HDC dc = given;
    if (begin) {
        HDC paint = ::BeginPaint(Form->Handle(), &ps);
        if (!dc)
            dc = paint;
    }
    FCommonData->FUpdating = false;
    if (dc && !fAnimating && !FormGoing() && !BehindMaximisedChild()) {
        const int saved = ::SaveDC(dc);
        PaintForm(dc, true);
        ::RestoreDC(dc, saved);
    }
    if (begin)
        ::EndPaint(Form->Handle(), &ps);
}

TColor TsSkinProvider::FormColor()
{
    TsSkinManager* sm = Manager();
    if (!FCommonData->Skinned(false) || FCommonData->CustomColor() || !sm)
        return ColorToRGB(Form->Color());
    const TsGeneralData& gd = sm->gd[std::size_t(FCommonData->SkinIndex)];
    return ColorToRGB(FormActive ? gd.HotColor : gd.Color);
}
