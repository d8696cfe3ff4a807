// Painting the skinned bars into a window's frame: each bar is composed in a
// bitmap of its size (tracks, arrow buttons, thumb and their glyphs over the
// window's background, faded when the bar cannot be used) and copied in one
// BitBlt, so it never flickers part by part; and the routines that keep a
// control's scroll wrapper and its bars up to date.
#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

// The window's whole-window context, taken for one paint when none was given.
class TNonClientDC {
public:
    explicit TNonClientDC(HWND Wnd) : FWnd(Wnd), FDC(Wnd ? ::GetWindowDC(Wnd) : nullptr) {}
    ~TNonClientDC()
    {
        if (FDC)
            ::ReleaseDC(FWnd, FDC);
    }
    TNonClientDC(const TNonClientDC&) = delete;
    TNonClientDC& operator=(const TNonClientDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
};

// The skin of one part of a bar: section, border image, textures, glyph.
struct TPartSkin {
    const wchar_t* Name;
    int Section, Mask, BG, HotBG, Glyph;
};

enum TPart { ptTrack1H, ptTrack2H, ptTrack1V, ptTrack2V, ptLeft, ptRight, ptTop, ptBottom, ptThumbH, ptThumbV };

TPartSkin PartSkin(TsSkinManager* M, TPart Part)
{
    const TConstantSkinData& c = M->ConstData;
    switch (Part) {
    case ptTrack1H: return {s_ScrollBar1H, c.IndexScrollBar1H, c.MaskScrollBar1H, c.BGScrollBar1H, c.BGHotScrollBar1H, -1};
    case ptTrack2H: return {s_ScrollBar2H, c.IndexScrollBar2H, c.MaskScrollBar2H, c.BGScrollBar2H, c.BGHotScrollBar2H, -1};
    case ptTrack1V: return {s_ScrollBar1V, c.IndexScrollBar1V, c.MaskScrollBar1V, c.BGScrollBar1V, c.BGHotScrollBar1V, -1};
    case ptTrack2V: return {s_ScrollBar2V, c.IndexScrollBar2V, c.MaskScrollBar2V, c.BGScrollBar2V, c.BGHotScrollBar2V, -1};
    case ptLeft:
        return {s_ScrollBtnLeft, c.IndexScrollLeft, c.MaskScrollLeft, c.IndexBGScrollLeft, c.IndexBGHotScrollLeft,
                c.MaskArrowLeft};
    case ptRight:
        return {s_ScrollBtnRight, c.IndexScrollRight, c.MaskScrollRight, c.IndexBGScrollRight,
                c.IndexBGHotScrollRight, c.MaskArrowRight};
    case ptTop:
        return {s_ScrollBtnTop, c.IndexScrollTop, c.MaskScrollTop, c.IndexBGScrollTop, c.IndexBGHotScrollTop,
                c.MaskArrowTop};
    case ptBottom:
        return {s_ScrollBtnBottom, c.IndexScrollBottom, c.MaskScrollBottom, c.IndexBGScrollBottom,
                c.IndexBGHotScrollBottom, c.MaskArrowBottom};
    case ptThumbH:
        return {s_ScrollSliderH, c.IndexSliderHorz, c.MaskSliderHorz, c.ScrollSliderBGHorz, c.ScrollSliderBGHotHorz,
                c.MaskSliderGlyphHorz};
    case ptThumbV:
        return {s_ScrollSliderV, c.IndexSliderVert, c.MaskSliderVert, c.ScrollSliderBGVert, c.ScrollSliderBGHotVert,
                c.MaskSliderGlyphVert};
    }
    return {L"", -1, -1, -1, -1, -1};
}

// Where a part's glyph goes inside the part (R at the origin): an arrow in
// the button's first or last arrow length, a thumb's in its middle.
TRect GlyphArea(TPart Part, const TRect& R)
{
    const int b = kvScrollBtnLength;
    switch (Part) {
    case ptLeft: return TRect(0, 0, std::min<int>(b, R.Width()), R.Height());
    case ptRight: return TRect(std::max<int>(R.Width() - b, 0), 0, R.Width(), R.Height());
    case ptTop: return TRect(0, 0, R.Width(), std::min<int>(b, R.Height()));
    case ptBottom: return TRect(0, std::max<int>(R.Height() - b, 0), R.Width(), R.Height());
    default: return TRect(0, 0, R.Width(), R.Height());
    }
}

// A button or the thumb: painted aside over the bar bitmap, then copied in.
void PaintPart(TPart Part, const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    if (!Manager || R.Width() <= 0 || R.Height() <= 0)
        return;
    const TPartSkin s = PartSkin(Manager, Part);
    if (!Manager->IsValidSkinIndex(s.Section))
        return;
    TOwned<TBitmap> part(CreateBmp24(R.Width(), R.Height()));
    TCacheInfo ci = MakeCacheInfo(BarBitmap, R.left, R.top);
    const TRect whole(0, 0, R.Width(), R.Height());
    PaintItemFast(s.Section, s.Mask, s.BG, s.HotBG, s.Name, ci, true, State, whole, TPoint(0, 0), part.get(), Manager);
    DrawArrowGlyph(part.get(), s.Glyph, State, GlyphArea(Part, whole), Manager);
    ::BitBlt(BarBitmap->Canvas()->Handle(), R.left, R.top, R.Width(), R.Height(), part->Canvas()->Handle(), 0, 0,
             SRCCOPY);
}

// A track half straight into the bar bitmap over the window's background.
void PaintTrack(TPart Part, const TRect& R, int State, TBitmap* BarBitmap, TCacheInfo CI, const TPoint& BarOrigin,
                TsSkinManager* Manager)
{
    const TPartSkin s = PartSkin(Manager, Part);
    if (R.Width() <= 0 || R.Height() <= 0 || !Manager->IsValidSkinIndex(s.Section))
        return;
    PaintItemFast(s.Section, s.Mask, s.BG, s.HotBG, s.Name, CI, true, State, R,
                  TPoint(BarOrigin.x + R.left, BarOrigin.y + R.top), BarBitmap, Manager);
}

// The stretch [A, B) along the bar as a rectangle of the bar bitmap.
TRect Span(bool Vertical, int A, int B, int Thickness)
{
    return Vertical ? TRect(0, A, Thickness, B) : TRect(A, 0, B, Thickness);
}

TsSkinManager* ManagerOf(TkvScrollWnd* W)
{
    return W && W->SkinData ? W->SkinData->GetSkinManager() : nullptr;
}

int BarIndex(TkvScrollBar* Bar)
{
    return Bar->Vertical() ? 1 : 0;
}

// What the bar stands on; with a background bitmap its pixels at R (window
// coordinates) come back in Behind.
TCacheInfo BarBackground(TkvScrollWnd* W, bool ProviderAtOrigin)
{
    TkvBGInfo info;
    W->BarBackground(info);
    if (ProviderAtOrigin && W->SkinData->OwnerProvider())
        info.Offset = TPoint(0, 0);
    return BGInfoToCI(&info);
}

// A bar that cannot be used is drawn at 40 % over its background.
void FadeInactive(TkvScrollWnd* W, TBitmap* Bmp, const TRect& R)
{
    const TCacheInfo ci = BarBackground(W, true);
    if (ci.Ready && ci.Bmp) {
        TsColor none;
        none.I = -1;
        TOwned<TBitmap> behind(CreateBmp24(R.Width(), R.Height()));
        ::BitBlt(behind->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), ci.Bmp->Canvas()->Handle(), ci.X + R.left,
                 ci.Y + R.top, SRCCOPY);
        BlendTransRectangle(Bmp, 0, 0, behind.get(), TRect(0, 0, R.Width() - 1, R.Height() - 1), 0.4, none);
    } else {
        FadeBmp(Bmp, TRect(0, 0, R.Width() + 1, R.Height() + 1), 60, ColorToSColor(ci.FillColor), 0, 0);
    }
}

struct TBarLook {
    int Before = 0, After = 0, Thumb = 0; // part states
    int Track1 = 0, Track2 = 0;
    bool Active = false;
};

TBarLook LookOf(TkvScrollBar* Bar, HWND Wnd, int Pressed)
{
    const TkvScrollInteraction& s = kvScrollState;
    TBarLook look;
    TControl* owner = Bar->sw->SkinData ? Bar->sw->SkinData->FOwnerControl : nullptr;
    look.Active = Kv_IsScrollbarActive(Bar) && (!owner || owner->Enabled());
    const bool mine = Wnd == s.MouseWnd;
    if (!mine)
        Pressed = -1;
    const bool hovered = mine && look.Active && s.HoverWnd == Wnd && s.HoverBar == BarIndex(Bar);
    const auto state = [&](int Portion) { return Pressed == Portion ? 2 : hovered && s.HoverPortion == Portion ? 1 : 0; };
    look.Before = state(SBP_LINE_BEFORE);
    look.After = state(SBP_LINE_AFTER);
    look.Thumb = hovered && s.HoverPortion == SBP_THUMB ? 1 : 0;
    look.Track1 = Pressed == SBP_PAGE_BEFORE ? 2 : 0;
    look.Track2 = Pressed == SBP_PAGE_AFTER ? 2 : 0;
    return look;
}

void RefreshInfo(TkvScrollBar* Bar, HWND Wnd)
{
    Bar->ScrollInfo.cbSize = sizeof(SCROLLINFO);
    Bar->ScrollInfo.fMask = SIF_ALL;
    ::GetScrollInfo(Wnd, Bar->nBarType, &Bar->ScrollInfo);
}

// The bar's bitmap: tracks split at the thumb's centre, the arrow buttons
// and (shown) the thumb.
void ComposeBar(TkvScrollBar* Bar, TBitmap* Bmp, const TRect& R, const TkvBarGeometry& G, const TBarLook& Look,
                bool ShowThumb, int ThumbState, TsSkinManager* M)
{
    TkvScrollWnd* w = Bar->sw;
    const bool v = Bar->Vertical();
    const int thick = v ? R.Width() : R.Height();
    const int len = G.Length;
    const TCacheInfo ci = BarBackground(w, false);
    const TPoint origin = R.TopLeft();
    const int split = G.ButtonsFit ? G.ThumbCentre() : len / 2;
    PaintTrack(v ? ptTrack1V : ptTrack1H, Span(v, 0, split, thick), G.ButtonsFit ? Look.Track1 : 0, Bmp, ci, origin, M);
    PaintTrack(v ? ptTrack2V : ptTrack2H, Span(v, split, len, thick), G.ButtonsFit ? Look.Track2 : 0, Bmp, ci, origin,
               M);
    PaintPart(v ? ptTop : ptLeft, Span(v, 0, G.Arrow, thick), Look.Before, Bmp, M);
    PaintPart(v ? ptBottom : ptRight, Span(v, len - G.Arrow, len, thick), Look.After, Bmp, M);
    if (ShowThumb) {
        const int t = G.ThumbStart - G.Start;
        PaintPart(v ? ptThumbV : ptThumbH, Span(v, t, t + G.ThumbSize, thick), ThumbState, Bmp, M);
    }
}

bool CanPaintBar(TkvScrollBar* Bar, const TRect& R, TsSkinManager* M)
{
    if (!Bar || !Bar->sw || !Bar->fScrollVisible || !M)
        return false;
    const int section = Bar->Vertical() ? M->ConstData.IndexScrollBar1V : M->ConstData.IndexScrollBar1H;
    const int len = Bar->Vertical() ? R.Height() : R.Width();
    return M->IsValidSkinIndex(section) && len > 1 && R.Width() > 0 && R.Height() > 0;
}

// The square between both bars: the window's background, and the size grip
// when the corner sizes a top-level window.
void PaintCorner(TkvScrollWnd* W, HWND Wnd, HDC DC, const TRect& WindowRect)
{
    TRect c = KV_GetCornerRect(W, Wnd);
    if (c.IsEmpty())
        return;
    const bool grip = IsAtParentCorner(W, Wnd, c);
    ::OffsetRect(&c, -WindowRect.left, -WindowRect.top);
    TOwned<TBitmap> bmp(CreateBmp24(c.Width(), c.Height()));
    const TCacheInfo ci = BarBackground(W, false);
    if (ci.Ready && ci.Bmp)
        ::BitBlt(bmp->Canvas()->Handle(), 0, 0, c.Width(), c.Height(), ci.Bmp->Canvas()->Handle(), ci.X + c.left,
                 ci.Y + c.top, SRCCOPY);
    else
        FillDC(bmp->Canvas()->Handle(), TRect(0, 0, c.Width(), c.Height()), ci.FillColor);
    TsSkinManager* m = ManagerOf(W);
    const int image = grip && m ? m->GetMaskIndex(m->ConstData.IndexGLobalInfo, s_GlobalInfo, s_GripImage) : -1;
    if (m && m->IsValidImgIndex(image)) {
        const TsMaskData& md = m->ma[std::size_t(image)];
        const TPoint p(c.Width() - WidthOfImage(md), c.Height() - HeightOfImage(md));
        DrawSkinGlyph(bmp.get(), p, 0, 1, md, MakeCacheInfo(bmp.get(), 0, 0));
    }
    ::BitBlt(DC, c.left, c.top, c.Width(), c.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The real rectangle of a shown bar in window coordinates; empty when hidden.
TRect BarInWindow(TkvScrollWnd* W, TkvScrollBar* Bar, HWND Wnd, const TRect& WindowRect)
{
    if (!Bar || !Bar->fScrollVisible)
        return TRect();
    TRect r;
    GetBarRectByType(W, Bar->nBarType, Wnd, r);
    Kv_GetRealScrollRect(Bar, r);
    ::OffsetRect(&r, -WindowRect.left, -WindowRect.top);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
void PaintBtnLeft(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptLeft, R, State, BarBitmap, Manager);
}

void PaintBtnRight(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptRight, R, State, BarBitmap, Manager);
}

void PaintBtnTop(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptTop, R, State, BarBitmap, Manager);
}

void PaintBtnBottom(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptBottom, R, State, BarBitmap, Manager);
}

void PaintSliderH(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptThumbH, R, State, BarBitmap, Manager);
}

void PaintSliderV(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager)
{
    PaintPart(ptThumbV, R, State, BarBitmap, Manager);
}

void DrawArrowGlyph(TBitmap* Bitmap, int MaskIndex, int State, const TRect& R, TsSkinManager* Manager)
{
    if (!Bitmap || !Manager || !Manager->IsValidImgIndex(MaskIndex))
        return;
    const TsMaskData& md = Manager->ma[std::size_t(MaskIndex)];
    const TPoint p(R.left + (R.Width() - WidthOfImage(md)) / 2, R.top + (R.Height() - HeightOfImage(md)) / 2);
    DrawSkinGlyph(Bitmap, p, State, 1, md, MakeCacheInfo(Bitmap, 0, 0));
}

bool Kv_NCDrawScrollbar(TkvScrollBar* Bar, HWND Wnd, HDC DC, const TRect& R, int Pressed, int ThumbPos)
{
    TsSkinManager* m = Bar ? ManagerOf(Bar->sw) : nullptr;
    if (!CanPaintBar(Bar, R, m) || Bar->sw->fThumbTracking)
        return false;
    RefreshInfo(Bar, Wnd);
    const TBarLook look = LookOf(Bar, Wnd, Pressed);
    TkvBarGeometry g = Kv_BarGeometry(Bar, R);
    if (ThumbPos != -1)
        g.ThumbStart = ThumbPos;
    TOwned<TBitmap> bmp(CreateBmp24(R.Width(), R.Height()));
    ComposeBar(Bar, bmp.get(), R, g, look, look.Active && g.HasThumb, look.Thumb, m);
    if (!look.Active)
        FadeInactive(Bar->sw, bmp.get(), R);
    TNonClientDC own(DC ? nullptr : Wnd);
    HDC dc = DC ? DC : own.Handle();
    ::BitBlt(dc, R.left, R.top, R.Width(), R.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    return true;
}

void Kv_DrawDraggedBar(TkvScrollBar* Bar, HWND Wnd, int ThumbStart)
{
    TkvScrollWnd* w = Bar ? Bar->sw : nullptr;
    TsSkinManager* m = ManagerOf(w);
    if (!w)
        return;
    TRect wr;
    ::GetWindowRect(Wnd, &wr);
    const TRect r = BarInWindow(w, Bar, Wnd, wr);
    if (!CanPaintBar(Bar, r, m))
        return;
    TkvBarGeometry g = Kv_BarGeometry(Bar, r);
    g.ThumbStart = ThumbStart;
    g.ThumbSize = kvScrollState.DragThumbSize;
    TOwned<TBitmap> bmp(CreateBmp24(r.Width(), r.Height()));
    ComposeBar(Bar, bmp.get(), r, g, TBarLook{}, true, 2, m);
    TNonClientDC dc(Wnd);
    ::BitBlt(dc.Handle(), r.left, r.top, r.Width(), r.Height(), bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void Kv_NCPaint(TkvScrollWnd* ScrollWnd, HWND Wnd, int, int, int ThumbPos, HDC DC)
{
    if (!ScrollWnd || ScrollWnd->Destroyed)
        return;
    if (TsCommonData* d = ScrollWnd->SkinData) {
        if (d->GetUpdating())
            return;
        if (TControl* c = d->FOwnerControl)
            if (c->ControlState().Contains(csCreating) || !c->IsShowing())
                return;
        if (d->BGChanged)
            ::SendMessageW(Wnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_PREPARE_CACHE), 0);
    }
    if (!ScrollWnd->sBarHorz || !ScrollWnd->sBarVert)
        return;
    TRect wr;
    ::GetWindowRect(Wnd, &wr);
    TNonClientDC own(DC ? nullptr : Wnd);
    HDC dc = DC ? DC : own.Handle();
    const TkvScrollInteraction& s = kvScrollState;
    for (TkvScrollBar* bar : {ScrollWnd->sBarHorz, ScrollWnd->sBarVert}) {
        const TRect r = BarInWindow(ScrollWnd, bar, Wnd, wr);
        if (!r.IsEmpty())
            Kv_NCDrawScrollbar(bar, Wnd, dc, r, s.ActiveBar == BarIndex(bar) ? s.ShownPortion : -1, ThumbPos);
    }
    PaintCorner(ScrollWnd, Wnd, dc, wr);
}

void UpdateScrolls(TkvScrollWnd* ScrollWnd, bool Repaint)
{
    if (!ScrollWnd || ScrollWnd->Destroyed || !ScrollWnd->SkinData || ScrollWnd->SkinData->GetUpdating())
        return;
    if (!ScrollWnd->sBarHorz || !ScrollWnd->sBarVert)
        return;
    RefreshInfo(ScrollWnd->sBarHorz, ScrollWnd->CtrlHandle);
    RefreshInfo(ScrollWnd->sBarVert, ScrollWnd->CtrlHandle);
    if (Repaint && !InAnimationProcess)
        Kv_NCPaint(ScrollWnd, ScrollWnd->CtrlHandle, 1, 0, -1, nullptr);
}

// ---------------------------------------------------------------------------
void RefreshWrapperScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW, const TkvWndClass& WndClass,
                           bool WithLoadingTest, bool WithFlatSB)
{
    auto* owner = SkinData ? dynamic_cast<TWinControl*>(SkinData->FOwnerControl) : nullptr;
    if (!owner)
        return;
    if (WithLoadingTest) {
        const TComponentState s = owner->ComponentState();
        if (s.Contains(csLoading) || s.Contains(csDestroying) || s.Contains(csDesigning))
            return;
    }
    if (!SkinData->Skinned()) {
        UninitializeKVScroll(owner->HandleAllocated() ? owner->Handle() : nullptr, true, true, ListSW);
        if (WithFlatSB && Kv_InitializeFlatSB && owner->HandleAllocated())
            Kv_InitializeFlatSB(owner->Handle());
        return;
    }
    if (WithFlatSB && Kv_UninitializeFlatSB)
        Kv_UninitializeFlatSB(owner->Handle());
    if (ListSW && ListSW->Destroyed)
        FreeAndNil(ListSW);
    if (!ListSW)
        ListSW = static_cast<TkvScrollWnd*>(
            WndClass.Create(owner->Handle(), SkinData, SkinData->GetSkinManager(), SkinData->SkinSection(), true));
}

void RefreshScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW)
{
    RefreshWrapperScrolls(SkinData, ListSW, TkvWndClass::Of<TkvScrollWnd>(), true, true);
}
