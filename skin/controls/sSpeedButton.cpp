// The skinned speed button: layout, cache, fades, drop-down menu and the
// window procedure.  The unskinned look is in sSpeedButton_Std.cpp.
#include "skin/controls/sSpeedButton.h"

#include <algorithm>
#include <memory>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Forms.h"
#include "skin/core/sInputSource.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

namespace {

// One drop-down menu open at a time, whichever button opened it.
bool DropDownOpen = false;

bool SectionFades(TsCommonData* SkinData)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    return m && m->IsValidSkinIndex(SkinData->SkinIndex) && m->gd[SkinData->SkinIndex].FadingEnabled &&
           m->gd[SkinData->SkinIndex].FadingIterations > 0;
}

void CopyBackground(TBitmap* Cache, const TCacheInfo& CI, int Left, int Top)
{
    HDC dc = Cache->Canvas()->Handle();
    if (CI.Ready && CI.Bmp) {
        ::BitBlt(dc, 0, 0, Cache->Width(), Cache->Height(), CI.Bmp->Canvas()->Handle(), Left + CI.X, Top + CI.Y,
                 SRCCOPY);
    } else {
        GdiObject<HBRUSH> brush(::CreateSolidBrush(ColorToRGB(CI.FillColor)));
        RECT r{0, 0, Cache->Width(), Cache->Height()};
        ::FillRect(dc, &r, brush.Get());
    }
}

} // namespace

bool SpeedButtonDropDownOpen() { return DropDownOpen; }

// ---------------------------------------------------------------------------
// Construction and lifetime.
TsSpeedButton::TsSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    FCommonData = New<TsCommonData>(this, true);
    FCommonData->COC = COC_TsSpeedButton;
    OldOnChange = GlyphOnChange();
    GlyphOnChange() = Bind(this, &TsSpeedButton::GlyphChanged);
    OldLayout = Layout();
    FOldSpacing = Spacing();
    FOldNumGlyphs = NumGlyphs();
}

TsSpeedButton::~TsSpeedButton()
{
    *FAlive = false;
    // No repaint now: the timer simply goes.
    FreeAndNil(FadeTimer);
    if (TempControl == this)
        TempControl = nullptr;
    // A button freed in its own OnClick between press and release gives the
    // hints back here (FHints).
    FHints.Release();
    TsCommonData* d = FCommonData;
    FCommonData = nullptr;
    delete d;
}

bool TsSpeedButton::Creating() const
{
    return !FCreated;
}

void TsSpeedButton::AfterConstruction()
{
    TSpeedButton::AfterConstruction();
    FCreated = true;
    FCommonData->Loaded();
    if (FCommonData->Skinned())
        FControlStyle += csOpaque;
}

void TsSpeedButton::Loaded()
{
    TSpeedButton::Loaded();
    FCommonData->Loaded();
    if (FCommonData->Skinned())
        FControlStyle += csOpaque;
    // The image list wins over Glyph.
    if (ImageValid() && Glyph() && !Glyph()->Empty())
        Glyph()->Assign(nullptr);
}

void TsSpeedButton::GlyphChanged(TObject* Sender)
{
    if (OldOnChange)
        OldOnChange(Sender);
    if (!Loading() && !Destroying() && !Creating() && FCommonData)
        FCommonData->Invalidate();
}

void TsSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TSpeedButton::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FDropdownMenu)
        FDropdownMenu = nullptr;
}

// ---------------------------------------------------------------------------
// Properties.
bool TsSpeedButton::ImageValid() const
{
    return FImages && FImages->Count() > 0 && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

void TsSpeedButton::LookChanged(bool SkipInUpdate)
{
    if (!FCommonData || (SkipInUpdate && (FCommonData->CtrlSkinState & CSS_INUPDATE)))
        return;
    if (Visible() || Designing()) {
        FCommonData->BGChanged = true;
        GraphRepaint();
    }
}

void TsSpeedButton::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        LookChanged();
    }
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle Value)
{
    if (FButtonStyle == Value)
        return;
    const TToolButtonStyle old = FButtonStyle;
    FButtonStyle = Value;
    if (!Loading()) {
        if (Value == tbsDropDown)
            SetWidth(Width() + sArrowZoneWidth);
        else if (old == tbsDropDown)
            SetWidth(Width() - sArrowZoneWidth);
    }
    LookChanged();
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKind Value)
{
    if (FDisabledGlyphKind != Value) {
        FDisabledGlyphKind = Value;
        LookChanged();
    }
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind Value)
{
    if (FDisabledKind != Value) {
        FDisabledKind = Value;
        LookChanged();
    }
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* Value)
{
    if (FDropdownMenu == Value)
        return;
    if (FDropdownMenu)
        FDropdownMenu->RemoveFreeNotification(this);
    FDropdownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsSpeedButton::SetBlend(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (FBlend != Value) {
        FBlend = Value;
        LookChanged(true);
    }
}

void TsSpeedButton::SetGrayed(bool Value)
{
    if (FGrayed != Value) {
        FGrayed = Value;
        LookChanged(true);
    }
}

void TsSpeedButton::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        LookChanged(true);
    }
}

void TsSpeedButton::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    LookChanged(true);
}

void TsSpeedButton::SetReflected(bool Value)
{
    if (FReflected != Value) {
        FReflected = Value;
        if (FCommonData)
            FCommonData->BGChanged = true;
        GraphRepaint();
    }
}

void TsSpeedButton::SetShowCaption(bool Value)
{
    if (FShowCaption != Value) {
        FShowCaption = Value;
        SetFakeCaption();
        LookChanged();
    }
}

void TsSpeedButton::SetFakeCaption()
{
    // The caption itself is kept (it is stored with the form); only the
    // drawing leaves it out while ShowCaption is off.
}

UnicodeString TsSpeedButton::ShownCaption()
{
    return FShowCaption ? Caption() : UnicodeString();
}

void TsSpeedButton::SetDrawOverBorder(bool Value)
{
    if (FDrawOverBorder != Value) {
        FDrawOverBorder = Value;
        LookChanged();
    }
}

void TsSpeedButton::SetTextOffset(int Value)
{
    if (FOffset != Value) {
        FOffset = Value;
        LookChanged();
    }
}

void TsSpeedButton::SetTextAlignment(TAlignment Value)
{
    if (FTextAlignment != Value) {
        FTextAlignment = Value;
        Repaint();
    }
}

void TsSpeedButton::Invalidate()
{
    if (FCommonData && Layout() != OldLayout) {
        OldLayout = Layout();
        FCommonData->BGChanged = true;
    }
    TSpeedButton::Invalidate();
}

void TsSpeedButton::InvalidateButton()
{
    if (FCommonData)
        FCommonData->Invalidate();
}

// ---------------------------------------------------------------------------
// Glyph source.
TsBtnGlyphInfo TsSpeedButton::GlyphInfo()
{
    TsBtnGlyphInfo i;
    i.Glyph = Glyph() && !Glyph()->Empty() ? Glyph() : nullptr;
    i.Images = ImageValid() ? FImages : nullptr;
    i.ImageIndex = FImageIndex;
    i.ImgRect = ImgRect();
    i.NumGlyphs = NumGlyphs();
    i.Enabled = Enabled();
    i.Blend = FBlend;
    i.Down = Down();
    i.Grayed = FGrayed;
    i.State = CurrentState();
    i.DisabledGlyphKind = FDisabledGlyphKind;
    i.Reflected = FReflected;
    i.Skinned = FCommonData && FCommonData->Skinned();
    i.Width = Width();
    i.Height = Height();
    if (i.Skinned) {
        TsSkinManager* m = FCommonData->GetSkinManager();
        i.SectionColor = m->gd[FCommonData->SkinIndex].Color;
        i.Cache = FCommonData->FCacheBmp;
    }
    i.Active = FCommonData && ControlIsActive(FCommonData);
    return i;
}

// ---------------------------------------------------------------------------
// Measures and layout.
int TsSpeedButton::GlyphWidth()
{
    if (Glyph() && Glyph()->Width() > 0)
        return Glyph()->Width() / std::max(1, NumGlyphs());
    if (ImageValid())
        return FImages->Width() / std::max(1, NumGlyphs());
    return 0;
}

int TsSpeedButton::GlyphHeight()
{
    if (Glyph() && Glyph()->Height() > 0)
        return Glyph()->Height();
    if (ImageValid())
        return FImages->Height();
    return 0;
}

int TsSpeedButton::MaxCaptionWidth()
{
    if (ShownCaption().empty())
        return 0;
    int w = Width() - 2 * Margin() - ArrowWidth();
    const int gw = GlyphWidth();
    if ((Layout() == blGlyphLeft || Layout() == blGlyphRight) && gw != 0)
        w -= gw + Spacing();
    return w;
}

TSize TsSpeedButton::TextRectSize()
{
    const UnicodeString text = ShownCaption();
    if (text.empty() || !FCommonData || !FCommonData->FCacheBmp)
        return TSize{0, 0};
    TCanvas* c = FCommonData->FCacheBmp->Canvas();
    if (!FInCache)
        c->Font()->Assign(Font());
    TRect r(0, 0, MaxCaptionWidth(), 0);
    kvDrawText(c->Handle(), text, r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return TSize{r.Width(), r.Height()};
}

TSize TsSpeedButton::TextSize()
{
    if (FTextSizeKnown)
        return FTextSize;
    return TextRectSize();
}

TRect TsSpeedButton::CaptionRect()
{
    const TSize ts = TextSize();
    const int tw = ts.cx, th = ts.cy;
    const int W = Width(), H = Height();
    const int A = ArrowWidth(), GW = GlyphWidth(), GH = GlyphHeight(), GM = GenMargin();
    const bool hasText = !ShownCaption().empty();
    const int sgw = GW > 0 ? Spacing() : 0;
    int l = 0, t = 0, r = 0, b = 0;
    switch (Layout()) {
    case blGlyphLeft:
    case blGlyphRight: {
        const int sp = GW > 0 && hasText ? Spacing() : 0;
        const int dx = (W - A - GW - sp - tw) / 2 - GM;
        t = (H - th) / 2;
        b = H - t;
        if (Layout() == blGlyphLeft) {
            FTextLayout = 0;
            switch (FAlignment) {
            case taLeftJustify: l = GW + Margin() + sgw; r = W - A - GM - 2 * dx; break;
            case taCenter: l = GM + dx + GW + sgw; r = W - A - GM - dx; break;
            case taRightJustify: l = GM + 2 * dx + GW + sgw; r = W - A - GM; break;
            }
        } else {
            FTextLayout = 2;
            switch (FAlignment) {
            case taLeftJustify: l = GM; r = GM + tw; break;
            case taCenter: l = GM + dx; r = l + tw; break;
            case taRightJustify: l = GM + 2 * dx; r = l + tw; break;
            }
        }
        break;
    }
    case blGlyphTop:
    case blGlyphBottom: {
        FTextLayout = 1;
        const int sp = GH > 0 && hasText ? Spacing() : 0;
        const int dy = (H - GH - sp - th) / 2 - GM;
        l = (W - tw - A) / 2;
        r = W - l - A;
        if (Layout() == blGlyphTop) {
            t = GH + GM + dy + sp;
            b = H - dy - GM;
        } else {
            t = GM + dy;
            b = H - dy - GM - GH - sp;
        }
        break;
    }
    }
    TRect R(l - 1 + FOffset, t, r + 2 + FOffset, b);
    if (CurrentState() == 2)
        ::OffsetRect(&R, 1, 1);
    return R;
}

TRect TsSpeedButton::ImgRect()
{
    const int W = Width(), H = Height();
    const int A = ArrowWidth(), GW = GlyphWidth(), GH = GlyphHeight(), GM = GenMargin();
    const TSize ts = TextSize();
    const int tw = ts.cx, th = ts.cy;
    const int sp = FShowCaption && GW > 0 && !ShownCaption().empty() ? Spacing() : 0;
    const int dx = (W - A - GW - sp - tw) / 2 - GM;
    const int dy = (H - GH - sp - th) / 2 - GM;
    int x = 0, y = (H - GH) / 2;
    switch (Layout()) {
    case blGlyphLeft:
        x = FAlignment == taLeftJustify ? GM : FAlignment == taCenter ? GM + dx : GM + 2 * dx;
        break;
    case blGlyphRight:
        x = FAlignment == taLeftJustify ? W - A - GM - 2 * dx - sp - GW
            : FAlignment == taCenter    ? (W + sp + tw - A - GW) / 2
                                        : W - A - GW - GM;
        break;
    case blGlyphTop:
        x = (W - A - GW) / 2 + 1;
        y = dy + GM;
        break;
    case blGlyphBottom:
        x = (W - A - GW) / 2 + 1;
        y = H - GM - dy - GH;
        break;
    }
    if (CurrentState() == 2) {
        ++x;
        ++y;
    }
    if (FReflected)
        y -= GH / 6;
    return TRect(x, y, x + GW, y + GH);
}

int TsSpeedButton::CurrentState()
{
    const TButtonState s = ButtonState();
    if (s == bsDown || s == bsExclusive)
        return 2;
    if (FCommonData && ControlIsActive(FCommonData))
        return 1;
    return 0;
}

// ---------------------------------------------------------------------------
// Drawing into the cache.
void TsSpeedButton::DoDrawText(TRect& R, UINT Flags)
{
    Flags = DrawTextBiDiModeFlags(Flags) & ~UINT(DT_SINGLELINE);
    const UnicodeString text = ShownCaption();
    if (FCommonData && FCommonData->Skinned()) {
        TCanvas* c = FCommonData->FCacheBmp->Canvas();
        if (!FInCache)
            c->Font()->Assign(Font());
        kvWriteTextEx(c, text.c_str(), true, R, Flags, FCommonData, CurrentState() != 0);
        return;
    }
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    HDC dc = c->Handle();
    if (Enabled()) {
        kvDrawText(dc, text, R, Flags);
        return;
    }
    TRect shifted = R;
    ::OffsetRect(&shifted, 1, 1);
    c->Font()->SetColor(clBtnHighlight);
    kvDrawText(c->Handle(), text, shifted, Flags);
    c->Font()->SetColor(clBtnShadow);
    kvDrawText(c->Handle(), text, R, Flags);
}

void TsSpeedButton::DrawCaption()
{
    if (!FShowCaption || Caption().empty())
        return;
    if (FCommonData && FCommonData->FCacheBmp) {
        TCanvas* c = FCommonData->FCacheBmp->Canvas();
        if (!FInCache)
            c->Font()->Assign(Font());
        c->Brush()->SetStyle(bsClear);
    }
    TRect r = CaptionRect();
    DoDrawText(r, GetStringFlags(this, FTextAlignment) | DT_WORDBREAK | DT_EXPANDTABS);
}

void TsSpeedButton::DrawGlyph()
{
    if (FCommonData && FCommonData->Skinned())
        DrawBtnGlyph(GlyphInfo(), nullptr);
    else
        DrawBtnGlyph(GlyphInfo(), Canvas());
}

void TsSpeedButton::PaintArrowZone(const TCacheInfo& CI)
{
    TsCommonData* d = FCommonData;
    TsSkinManager* m = d->GetSkinManager();
    TBitmap* cache = d->FCacheBmp;
    const int W = Width(), H = Height();
    const TButtonState s = ButtonState();
    int state = 0;
    if ((FDropdownMenu && DroppedDown) || Down() || s == bsDown || s == bsExclusive)
        state = 2;
    else if (ControlIsActive(d))
        state = 1;
    const TRect R(W - sArrowZoneWidth, 0, W, H);
    const TPoint pos(Left() + W - sArrowZoneWidth, Top());
    if (FDrawOverBorder) {
        PaintItem(d, CI, true, state, R, pos, cache, true);
    } else {
        PaintItemBG(d, CI, state, R, pos, cache);
        if (m->IsValidImgIndex(d->BorderIndex)) {
            TCacheInfo ci = CI;
            ci.X += Left();
            ci.Y += Top();
            DrawSkinRect(cache, R, true, ci, m->ma[d->BorderIndex], state, true, m);
        }
    }
    const int arrow = m->ConstData.MaskArrowBottom;
    if (m->IsValidImgIndex(arrow)) {
        const TsMaskData& md = m->ma[arrow];
        const int frames = std::max<int>(1, md.ImageCount);
        const int w = md.R.Width() / frames;
        const int h = md.R.Height() / (md.MaskType + 1 > 0 ? md.MaskType + 1 : 1);
        TCacheInfo self;
        InitCI(self, cache, 0, 0);
        DrawSkinGlyph(cache, TPoint(W - sArrowZoneWidth + (sArrowZoneWidth - w) / 2 + 1, (H - h) / 2), state, 1, md,
                      self);
    }
}

void TsSpeedButton::PrepareCache()
{
    TsCommonData* d = FCommonData;
    if (!d || !d->Skinned())
        return;
    TsSkinManager* m = d->GetSkinManager();
    InitCacheBmp(d);
    TBitmap* cache = d->FCacheBmp;
    cache->Canvas()->Font()->Assign(Font());
    const TCacheInfo CI = ControlBackground(this, d, false);
    if (CI.Ready && CI.Bmp && CI.Bmp->Width() == 0)
        return;
    const TPoint pos(Left(), Top());
    // The caption is measured once for the caption's and the glyph's places.
    // The cache's font is set once above for all the text of this rebuild.
    FInCache = true;
    FTextSize = TextRectSize();
    FTextSizeKnown = true;
    struct TForget {
        bool& Known;
        bool& InCache;
        ~TForget() { Known = InCache = false; }
    } forget{FTextSizeKnown, FInCache};
    switch (FButtonStyle) {
    case tbsSeparator:
        CopyBackground(cache, CI, Left(), Top());
        break;
    case tbsDivider: {
        CopyBackground(cache, CI, Left(), Top());
        const int section = m->GetSkinIndex(s_Divider);
        const int mask = section >= 0 ? m->GetMaskIndex(section, s_Divider, s_BordersMask) : -1;
        if (m->IsValidImgIndex(mask)) {
            const int mw = m->MaskSize(mask).cx;
            const TRect R((Width() - mw) / 2, 0, (Width() + mw) / 2, Height());
            DrawSkinRect(cache, R, true, CI, m->ma[mask], 0, true, m);
        }
        break;
    }
    default: {
        const int state = CurrentState();
        const TRect R(0, 0, Width() - ArrowWidth(), Height());
        if (FDrawOverBorder) {
            // PaintItem lets the border's corners show what lies behind.
            PaintItem(d, CI, true, state, R, pos, cache, true);
            DrawCaption();
            DrawGlyph();
        } else {
            PaintItemBG(d, CI, state, R, pos, cache);
            DrawCaption();
            DrawGlyph();
            if (m->IsValidImgIndex(d->BorderIndex)) {
                TCacheInfo ci = CI;
                ci.X += Left();
                ci.Y += Top();
                DrawSkinRect(cache, R, true, ci, m->ma[d->BorderIndex], state, true, m);
            }
        }
        if (FButtonStyle == tbsDropDown)
            PaintArrowZone(CI);
        if (!Enabled())
            PaintDisabledLook(this, d, FDisabledKind);
        if (OnPaint)
            OnPaint(this, cache);
        break;
    }
    }
    d->BGChanged = false;
}

// ---------------------------------------------------------------------------
// Painting.
void TsSpeedButton::Paint()
{
    TsCommonData* d = FCommonData;
    TsSkinManager* m = d->GetSkinManager();
    if (m && d->SkinIndex < 0 && !m->SkinName().empty())
        d->UpdateIndexes();
    if (!d->Skinned()) {
        StdPaint(true);
        return;
    }
    SkinnedPaint(Canvas()->Handle());
}

void TsSpeedButton::WMPaint(TMessage& Message)
{
    // A skinned button copies its cache to the given context straight away:
    // the canvas's font, pen and brush are not needed for that.
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TsCommonData* d = FCommonData;
    if (dc && d && d->SkinIndex >= 0 && d->Skinned() && !Designing()) {
        SkinnedPaint(dc);
        return;
    }
    TSpeedButton::WMPaint(Message);
}

void TsSpeedButton::SkinnedPaint(HDC dc)
{
    TsCommonData* d = FCommonData;
    if (Width() <= 0 || Height() <= 0)
        return;
    if (FadeTimer && FadeTimer->Enabled() && FadeTimer->TmpBmp->Width() == Width()) {
        ::BitBlt(dc, 0, 0, Width(), Height(), FadeTimer->TmpBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        return;
    }
    d->BGChanged = CurrentState() > 0 || Down() != FStoredDown || d->BGChanged || d->HalfVisible;
    FStoredDown = Down();
    d->HalfVisible = d->RepaintIfMoved();
    if (d->BGChanged) {
        FOldNumGlyphs = NumGlyphs();
        FOldSpacing = Spacing();
    } else if (FOldNumGlyphs != NumGlyphs() || FOldSpacing != Spacing()) {
        FOldNumGlyphs = NumGlyphs();
        FOldSpacing = Spacing();
        d->BGChanged = true;
    }
    if (d->BGChanged && !d->UrgentPainting) {
        PrepareCache();
        // Over the border the cache has its corners already; a ready cache
        // is copied as it is.
        if (!FDrawOverBorder)
            UpdateCorners(d, 0);
    }
    ::BitBlt(dc, 0, 0, Width(), Height(), d->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TsSpeedButton::GraphRepaint()
{
    if (Creating() || Destroying() || Loading() || !Visible() || !Parent() || !Parent()->HandleAllocated())
        return;
    TsCommonData* d = FCommonData;
    if (!d || !d->Skinned() || Designing()) {
        Repaint();
        return;
    }
    const bool fading = FadeTimer && FadeTimer->Enabled() && FadeTimer->TmpBmp->Width() == Width();
    // While fading the cache already holds the look the fade goes to.
    if (d->BGChanged && !fading) {
        PrepareCache();
        if (!ControlState().Contains(csPaintCopy))
            PaintOverlappingSiblings(d->FCacheBmp->Canvas());
    }
    TBitmap* src = fading ? FadeTimer->TmpBmp : d->FCacheBmp;
    if (!src || src->Width() == 0)
        return;
    HWND wnd = Parent()->Handle();
    HDC dc = ::GetDC(wnd);
    ::BitBlt(dc, Left(), Top(), Width(), Height(), src->Canvas()->Handle(), 0, 0, SRCCOPY);
    ::ReleaseDC(wnd, dc);
}

void TsSpeedButton::PaintOverlappingSiblings(TCanvas* Canvas)
{
    TWinControl* parent = Parent();
    if (!parent || !Canvas)
        return;
    const TRect mine = BoundsRect();
    HDC dc = Canvas->Handle();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible())
            continue;
        const TRect b = c->BoundsRect();
        RECT both;
        const RECT r1{mine.left, mine.top, mine.right, mine.bottom}, r2{b.left, b.top, b.right, b.bottom};
        if (!::IntersectRect(&both, &r1, &r2))
            continue;
        const int saved = ::SaveDC(dc);
        c->SetControlState(c->ControlState() + csPaintCopy);
        ::SetViewportOrgEx(dc, b.left - mine.left, b.top - mine.top, nullptr);
        ::IntersectClipRect(dc, 0, 0, b.Width(), b.Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        c->SetControlState(c->ControlState() - csPaintCopy);
        ::RestoreDC(dc, saved);
    }
}

// ---------------------------------------------------------------------------
// Fades.
void TsSpeedButton::ChangeStatePaint(bool Clicked, TkvAnimatEvent Event)
{
    TsCommonData* d = FCommonData;
    if (!d)
        return;
    const bool allow = EventEnabled(Event, FAnimatEvents, d->GetSkinManager());
    if (allow && !aSkinChanging && d->Skinned() && SectionFades(d) && !FadingForbidden && !d->BGChanged) {
        d->BGChanged = true;
        StartFade(Clicked);
    } else {
        d->BGChanged = true;
        StopFade();
        GraphRepaint();
    }
    if (d->Skinned())
        ShowGlowingIfNeeded(d, Clicked);
}

void TsSpeedButton::StartFade(bool Clicked)
{
    TsCommonData* d = FCommonData;
    if (Designing() || !d)
        return;
    int start = 1;
    if (FadeTimer) {
        start = FadeTimer->Iterations - FadeTimer->FadeLevel;
        FreeAndNil(FadeTimer);
    }
    if (!SectionFades(d) || FadingForbidden || !Visible() || !Parent() || !Parent()->HandleAllocated()) {
        GraphRepaint();
        return;
    }
    if (!d->FCacheBmp || d->FCacheBmp->Width() != Width() || d->FCacheBmp->Height() != Height())
        PrepareCache();
    FadeTimer = New<TsAnimTimer>(nullptr);
    FadeTimer->SetOwnerData(d);
    if (Clicked)
        FadeTimer->Iterations /= 2;
    FadeTimer->FadeLevel = start > 0 && start < FadeTimer->Iterations ? start : 1;
    TCanvas* cc = d->FCacheBmp->Canvas();
    PaintOverlappingSiblings(cc);
    FadeTimer->BmpFrom->Assign(d->FCacheBmp);
    PrepareCache();
    PaintOverlappingSiblings(d->FCacheBmp->Canvas());
    UpdateCorners(d, 1);
    FadeTimer->SetEnabled(true);
    FadeTimer->Timer();
}

void TsSpeedButton::StopFade()
{
    if (!FadeTimer)
        return;
    TsAnimTimer* t = FadeTimer;
    FadeTimer = nullptr;
    const bool stepped = t->FadeLevel > 1;
    t->SetEnabled(false);
    delete t;
    if (!Destroying() && !Designing() && stepped && FCommonData) {
        FCommonData->BGChanged = true;
        Repaint();
    }
}

// ---------------------------------------------------------------------------
// Mouse and drop-down.
void TsSpeedButton::DropDown()
{
    StopFade();
    if (DropDownOpen)
        return;
    TempControl = this;
    DropDownOpen = true;
    DroppedDown = true;
    const bool noClick = !OnClick;
    std::shared_ptr<bool> alive = FAlive;
    // The flags are cleared however the menu ends, OnPopup or Popup raising included.
    auto cleanup = [&] {
        DropDownOpen = false;
        if (TempControl == this || !*alive)
            TempControl = nullptr;
        if (!*alive)
            return;
        DroppedDown = false;
        if (noClick)
            FState = bsUp;
    };
    try {
        if (FCommonData)
            FCommonData->BGChanged = true;
        if (noClick)
            FState = bsDown;
        GraphRepaint();
        const TPoint p = ClientToScreen(TPoint(0, Height() + 1));
        FDropdownMenu->SetPopupComponent(this);
        FDropdownMenu->Popup(p.x, p.y);
        cleanup();
        if (!*alive)
            return;
        const TPoint cur = kvCursorPos();
        const TRect r(p.x, p.y - Height() - 1, p.x + Width(), p.y - 1);
        if (!r.Contains(cur))
            Perform(CM_MOUSELEAVE, 0, 0);
        if (*alive && (!FCommonData || !FCommonData->Skinned()))
            Repaint();
        else if (*alive) {
            FCommonData->BGChanged = true;
            GraphRepaint();
        }
    } catch (...) {
        cleanup();
        throw;
    }
}

void TsSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FHints.Hold();
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown && FDropdownMenu &&
        (X > Width() - sArrowZoneWidth || !OnClick)) {
        std::shared_ptr<bool> alive = FAlive;
        try {
            DropDown();
        } catch (...) {
            if (*alive)
                FHints.Release();
            throw;
        }
        // The release went to the menu: the hints come back now.
        if (*alive)
            FHints.Release();
        return;
    }
    TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TsSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FHints.ReleaseAny();
    if (Button == mbLeft && Enabled() && FButtonStyle == tbsDropDown) {
        DroppedDown = false;
        if (TempControl == this)
            TempControl = nullptr;
    }
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TsSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TSpeedButton::ActionChange(Sender, CheckDefaults);
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (a->ActionList() && a->ActionList()->Images())
        SetImages(a->ActionList()->Images());
    SetImageIndex(a->ImageIndex());
}

// ---------------------------------------------------------------------------
// Window procedure.
bool TsSpeedButton::Command(TMessage& Message)
{
    TsCommonData* d = FCommonData;
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!OwnManagerCommand(Message, d))
            return false;
        StopFade();
        CommonWndProc(Message, d);
        if (d->Skinned())
            FControlStyle += csOpaque;
        return true;
    case SMC_SKIN_REMOVE:
        if (!OwnManagerCommand(Message, d) || Destroying())
            return false;
        StopFade();
        CommonWndProc(Message, d);
        FControlStyle -= csOpaque;
        if (Visible())
            Repaint();
        return false;  // goes on as an ordinary message
    case SMC_SKIN_REFRESH:
        if (!OwnManagerCommand(Message, d))
            return false;
        StopFade();
        CommonWndProc(Message, d);
        if (Visible())
            Repaint();
        return true;
    case SMC_PARENT_UPDATED:
        if (d->FUpdating) {
            d->SetUpdating(false);
            GraphRepaint();
        }
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_REPAINT_NOW:
        d->FUpdating = false;
        d->BGChanged = true;
        GraphRepaint();
        return false;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    }
    return false;
}

void TsSpeedButton::NotSkinnedMouse(TMessage& Message)
{
    if (!Enabled() || Designing())
        return;
    if (Message.Msg == CM_MOUSEENTER) {
        FCommonData->FMouseAbove = true;
    } else {
        FCommonData->FMouseAbove = false;
        if (FState == bsDown)
            FState = bsUp;
    }
}

void TsSpeedButton::SkinnedMouse(TMessage& Message)
{
    TsCommonData* d = FCommonData;
    if (!Enabled())
        return;
    if (Message.Msg == CM_MOUSEENTER) {
        if (FMouseInControl || Designing() || d->FMouseAbove)
            return;
        d->FMouseAbove = true;
        ChangeStatePaint(false, aeMouseEnter);
    } else {
        if (!d->FMouseAbove)
            return;
        d->FMouseAbove = false;
        if (FState == bsDown)
            FState = bsUp;
        if (Visible())
            ChangeStatePaint(false, aeMouseLeave);
    }
}

void TsSpeedButton::AfterInherited(TMessage& Message)
{
    TsCommonData* d = FCommonData;
    switch (Message.Msg) {
    case WM_MOVE:
        if (Designing() && !d->FUpdating)
            Repaint();
        break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (Designing() && !d->FUpdating)
            GraphRepaint();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Designing())
            ChangeStatePaint(true, aeMouseDown);
        break;
    case WM_LBUTTONUP:
        if (Designing() || Destroying())
            Message.Result = 1;
        else
            ChangeStatePaint(true, aeMouseUp);
        break;
    case CM_VISIBLECHANGED:
        d->FMouseAbove = false;
        break;
    case CM_ENABLEDCHANGED:
        if ((Visible() || Designing()) && !Loading()) {
            d->BGChanged = true;
            GraphRepaint();
        }
        break;
    case CM_BUTTONPRESSED:
        d->BGChanged = true;
        GraphRepaint();
        break;
    }
}

void TsSpeedButton::WndProc(TMessage& Message)
{
    TsCommonData* d = FCommonData;
    if (!d) {
        TSpeedButton::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    const bool skinned = ControlIsReady(this) && d->Skinned();
    if (skinned && Message.Msg == WM_PAINT && Message.WParam && !Designing()) {
        // The common procedure has nothing to do with a paint: the cache goes
        // straight to the context.
        SkinnedPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    if (!skinned) {
        if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE)
            NotSkinnedMouse(Message);
        TSpeedButton::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        switch (Message.WParamHi) {
        case SMC_GET_UPDATING:
            Message.Result = d->FUpdating ? 1 : 0;
            return;
        case SMC_SECTION_UPDATE:
            GraphRepaint();
            return;
        case SMC_STOP_FADING:
            StopFade();
            return;
        }
    }
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (Visible())
            d->BGChanged = true;
        break;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_LBUTTONUP:
        if (!Designing() && FadeTimer && FadeTimer->Enabled()) {
            StopFade();
            PrepareCache();
            GraphRepaint();
        }
        break;
    case CM_TEXTCHANGED:
        if (FShowCaption) {
            d->BGChanged = true;
            GraphRepaint();
            return;
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        SkinnedMouse(Message);
        break;
    }
    std::shared_ptr<bool> alive = FAlive;
    if (CommonWndProc(Message, d))
        return;
    TSpeedButton::WndProc(Message);
    // The button may have been freed by its own OnClick.
    if (!*alive || !FCommonData)
        return;
    AfterInherited(Message);
}

// ---------------------------------------------------------------------------
TsTimerSpeedButton::TsTimerSpeedButton(TComponent* AOwner) : TsSpeedButton(AOwner)
{
    SetWidth(Height() - 4);
}

// ---------------------------------------------------------------------------
KV_BEGIN_PUBLISHED(TsSpeedButton, TSpeedButton)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taCenter,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Set(L"AnimatEvents", &C::AnimatEvents, &C::SetAnimatEvents, TkvAnimatEvents{aeGlobalDef}.Ord(),
          {L"aeMouseEnter", L"aeMouseLeave", L"aeMouseDown", L"aeMouseUp", L"aeGlobalDef"}, L"TkvAnimatEvents");
    B.Int(L"Blend", &C::GetBlend, &C::SetBlend, 0);
    B.Enum(L"ButtonStyle", &C::ButtonStyle, &C::SetButtonStyle, tbsButton,
           {L"tbsButton", L"tbsCheck", L"tbsDropDown", L"tbsSeparator", L"tbsDivider", L"tbsTextButton"},
           L"TToolButtonStyle");
    B.Object(L"SkinData", &C::SkinData);
    B.Set(L"DisabledGlyphKind", &C::DisabledGlyphKind, &C::SetDisabledGlyphKind, 1, {L"dgBlended", L"dgGrayed"},
          L"TsDisabledGlyphKind");
    B.Set(L"DisabledKind", &C::DisabledKind, &C::SetDisabledKind, 1, {L"dkBlended", L"dkGrayed"}, L"TsDisabledKind");
    B.Ref(L"DropdownMenu", &C::DropdownMenu, &C::SetDropdownMenu);
    B.Bool(L"Grayed", &C::GetGrayed, &C::SetGrayed, false);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"Reflected", &C::Reflected, &C::SetReflected, false);
    B.Bool(L"ShowCaption", &C::ShowCaption, &C::SetShowCaption, true);
    B.Bool(L"DrawOverBorder", &C::DrawOverBorder, &C::SetDrawOverBorder, true);
    B.Int(L"TextOffset", &C::TextOffset, &C::SetTextOffset, 0);
    B.Enum(L"TextAlignment", &C::TextAlignment, &C::SetTextAlignment, taCenter,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Event(L"OnPaint", &C::OnPaint);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TsTimerSpeedButton, TsSpeedButton)
    B.Bool(L"AllowTimer", &C::AllowTimer, &C::SetAllowTimer, true);
KV_END_PUBLISHED

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterClasses<TsSpeedButton, TsTimerSpeedButton>(), true);
} // namespace
