// The dialog skinner's painting: the window image rebuilt from the skin
// when the background changed (the "DIALOG" section, the "FORMTITLE"
// title with icon and caption text, the caption buttons), the frame bands
// and the client part copied from it, and the window region cut from the
// skin's transparent corners.  Every place comes from the skinned frame's
// metrics, the same the hit test asks.
#include "skin/forms/kvDials_Dialog.h"

#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER
constexpr UINT CaptionFlags = 0x8824;
// A window that answers this message's WParam keeps its own region.
constexpr UINT KV_OWN_REGION_MSG = 0xBC4D;
constexpr WPARAM KV_OWN_REGION = 16802;

HDC DCOf(TBitmap* Bmp)
{
    return Bmp->Canvas()->Handle();
}

// One frame of a skin image: side by side over two rows (picture and mask)
// when the image has its own bitmap.
TSize FaceSize(const TsSkinManager* Manager, int MaskIndex)
{
    if (!Manager || !Manager->IsValidImgIndex(MaskIndex))
        return {0, 0};
    const TsMaskData& md = Manager->ma[std::size_t(MaskIndex)];
    if (md.Bmp)
        return {md.ImageCount > 0 ? md.Bmp->Width() / md.ImageCount : 0, md.Bmp->Height() / 2};
    return {WidthOfImage(md), HeightOfImage(md)};
}

// The width a visible button takes: its face's, 21 when the skin has none.
int ButtonWidth(const TsSkinManager* Manager, int MaskIndex)
{
    const int w = FaceSize(Manager, MaskIndex).cx;
    return w > 0 ? w : 21;
}

void PlaceButton(TsCaptionButton& Btn, const TRect& R)
{
    Btn.Rect = R;
    if (R.IsEmpty())
        Btn.State = -1;
    else if (Btn.State < 0)
        Btn.State = 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Geometry.

TsFrameFacts TkvDialogWnd::FrameFacts() const
{
    TsFrameFacts f;
    RECT w, c;
    ::GetWindowRect(CtrlHandle, &w);
    ::GetClientRect(CtrlHandle, &c);
    f.Width = int(w.right - w.left);
    f.Height = int(w.bottom - w.top);
    f.ClientWidth = int(c.right);
    f.ClientHeight = int(c.bottom);
    f.Style = DWORD(::GetWindowLongW(CtrlHandle, GWL_STYLE));
    f.BorderStyle = FormBorderStyleOf(BorderStyle);
    f.Iconic = Iconic();
    f.Zoomed = Zoomed();
    f.BorderForm = BorderForm != nullptr;
    f.Shadow = ShadowSize();
    f.CxFrame = ::GetSystemMetrics(SM_CXFRAME);
    f.CxDlgFrame = ::GetSystemMetrics(SM_CXDLGFRAME);
    f.CyCaption = ::GetSystemMetrics(SM_CYCAPTION);
    f.CySmCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
    f.CyMenu = ::GetSystemMetrics(SM_CYMENU);
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (sm && sm->SkinData) {
        const TsSkinData* sd = sm->SkinData;
        f.ExBorderWidth = sd->ExBorderWidth;
        f.ExTitleHeight = sd->ExTitleHeight;
        f.ExMaxHeight = sd->ExMaxHeight;
        f.ExCenterOffs = sd->ExCenterOffs;
        f.ExDrawMode = sd->ExDrawMode;
        f.BILeftMargin = sd->BILeftMargin;
        f.BIRightMargin = sd->BIRightMargin;
        f.BISpacing = sd->BISpacing;
        f.BIVAlign = sd->BIVAlign;
    }
    f.VisibleClose = VisibleClose();
    f.VisibleMax = VisibleMax();
    f.VisibleMin = VisibleMin();
    f.ShowHelp = VisibleHelp();
    f.EnabledMax = EnabledMax();
    f.EnabledMin = EnabledMin();
    f.EnabledRestore = EnabledRestore();
    // A close button without a face is not placed; the others keep their
    // room (and their hit test) without one.
    f.CloseWidth = FaceSize(sm, ButtonClose.ImageIndex).cx;
    f.MaxWidth = ButtonWidth(sm, ButtonMax.ImageIndex);
    f.MinWidth = ButtonWidth(sm, ButtonMin.ImageIndex);
    f.HelpWidth = ButtonWidth(sm, ButtonHelp.ImageIndex);
    const TSize close = FaceSize(sm, ButtonClose.ImageIndex);
    f.ButtonHeight = close.cy > 0 ? close.cy : 21;
    const bool big = BorderStyle == kvbsSingle || BorderStyle == kvbsSizeable;
    f.BigButtons = big || (sm && ButtonClose.ImageIndex >= 0 &&
                           ButtonClose.ImageIndex == sm->GetMaskIndex(s_GlobalInfo, s_BiconClose));
    f.ButtonsAligned = ButtonClose.HaveAlignment;
    f.IconVisible = TitleIcon != nullptr;
    f.TitleIconWidth = ::GetSystemMetrics(SM_CXSMICON);
    f.TitleIconHeight = ::GetSystemMetrics(SM_CYSMICON);
    f.CaptionFrame = FCaptionSkinIndex >= 0;
    return f;
}

TRect TkvDialogWnd::ShadowSize() const
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    return BorderForm && sm ? sm->FormShadowSize : TRect();
}

int TkvDialogWnd::CaptionHeight(bool CheckSkin) const
{
    return Metrics().CaptionHeight(CheckSkin);
}

int TkvDialogWnd::HeaderHeight() const
{
    return Metrics().HeaderHeight();
}

int TkvDialogWnd::BorderHeight() const
{
    return Metrics().SysBorderHeight(true);
}

int TkvDialogWnd::OffsetX() const
{
    return Metrics().OffsetX();
}

int TkvDialogWnd::OffsetY() const
{
    return Metrics().OffsetY();
}

// ---------------------------------------------------------------------------
// Faces of the caption buttons.

void TkvDialogWnd::UpdateIconsIndexes()
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm || !sm->IsValidSkinIndex(sm->ConstData.IndexGLobalInfo))
        return;
    const int gi = sm->ConstData.IndexGLobalInfo;
    auto mask = [&](const wchar_t* Name) { return sm->GetMaskIndex(gi, s_GlobalInfo, Name); };
    ButtonMin.HitCode = HTMINBUTTON;
    ButtonMax.HitCode = HTMAXBUTTON;
    ButtonClose.HitCode = HTCLOSE;
    ButtonHelp.HitCode = HTHELP;
    if (BorderStyle != kvbsSingle && BorderStyle != kvbsSizeable) {
        ButtonClose.ImageIndex = mask(s_SiconClose);
        ButtonMin.ImageIndex = mask(s_SiconMin);
        ButtonMax.ImageIndex = mask(s_SiconMax);
        ButtonHelp.ImageIndex = mask(s_SiconHelp);
        if (!sm->IsValidImgIndex(ButtonHelp.ImageIndex))
            ButtonHelp.ImageIndex = mask(s_BiconHelp);
        for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
            b->HaveAlignment = false;
        if (sm->IsValidImgIndex(ButtonClose.ImageIndex))
            return;
    }
    const int alone = mask(s_BiCloseAlone);
    const bool others = VisibleMax() || VisibleMin();
    ButtonClose.ImageIndex = !others && sm->IsValidImgIndex(alone) ? alone : mask(s_BiconClose);
    ButtonMin.ImageIndex = mask(s_BiconMin);
    ButtonMax.ImageIndex = mask(s_BiconMax);
    ButtonHelp.ImageIndex = mask(s_BiconHelp);
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
        b->HaveAlignment = true;
}

// The face a button shows now, and whether it is drawn disabled.
int TkvDialogWnd::FaceOf(int HitCode, bool& Disabled)
{
    TsSkinManager* sm = SkinData->GetSkinManager();
    auto restoreFace = [&]() {
        int i = sm->GetMaskIndex(s_GlobalInfo, s_BiconNorm);
        if (!sm->IsValidImgIndex(i))
            i = sm->GetMaskIndex(SkinData->SkinIndex, SkinData->SkinSection(), s_BiconNorm);
        return i;
    };
    Disabled = false;
    switch (HitCode) {
    case HTMAXBUTTON:
        if (Zoomed()) {
            Disabled = !EnabledRestore();
            return restoreFace();
        }
        Disabled = !EnabledMax();
        return ButtonMax.ImageIndex;
    case HTMINBUTTON:
        if (Iconic()) {
            Disabled = !EnabledRestore();
            return restoreFace();
        }
        Disabled = !EnabledMin();
        return ButtonMin.ImageIndex;
    case HTCLOSE:
        Disabled = !EnabledClose();
        return ButtonClose.ImageIndex;
    case HTHELP:
        return ButtonHelp.ImageIndex;
    default:
        return -1;
    }
}

void TkvDialogWnd::PrepareTitleGlyph()
{
    auto icon = reinterpret_cast<HICON>(::SendMessageW(CtrlHandle, WM_GETICON, ICON_SMALL, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(::SendMessageW(CtrlHandle, WM_GETICON, ICON_BIG, 0));
    TitleIcon = icon;
    if (!icon)
        return;
    const int w = ::GetSystemMetrics(SM_CXSMICON), h = ::GetSystemMetrics(SM_CYSMICON);
    if (!TitleGlyph)
        TitleGlyph = new TBitmap;
    TitleGlyph->SetPixelFormat(pf24bit);
    TitleGlyph->SetSize(w, h);
    FillDC(DCOf(TitleGlyph), TRect(0, 0, w, h), TColor(0xFF00FF));
    if (auto copy = static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, w, h, LR_COPYFROMRESOURCE))) {
        ::DrawIconEx(DCOf(TitleGlyph), 0, 0, copy, w, h, 0, nullptr, DI_NORMAL);
        ::DestroyIcon(copy);
    }
}

// ---------------------------------------------------------------------------
// The window image.

void TkvDialogWnd::PaintAll()
{
    InitCtrlData(this);
    TsSkinManager* sm = SkinData->GetSkinManager();
    if (!sm)
        return;
    const TsFrameMetrics m = Metrics();
    // With a border window the image carries the shadow's alpha.
    const TPixelFormat format = BorderForm ? pf32bit : pf24bit;
    TBitmap*& cache = SkinData->FCacheBmp;
    if (!cache) {
        cache = new TBitmap;
        cache->SetPixelFormat(format);
        cache->SetSize(m.ImageWidth(), m.ImageHeight());
    }
    if (!SkinData->BGChanged)
        return;
    RgnChanged = true;
    cache->SetPixelFormat(format);
    cache->SetSize(m.ImageWidth(), m.ImageHeight());
    if (sm->IsValidSkinIndex(SkinData->SkinIndex)) {
        const int state = FormActive() ? 1 : 0;
        // In ExMode the extended-border picture is the frame and the title,
        // which goes over it (PaintExtendedFrame).
        if (m.ExMode()) {
            PaintItemBG(SkinData->SkinIndex, SkinData->SkinSection(), EmptyCI, state, m.FrameRect(), TPoint(0, 0),
                        cache, sm);
        } else {
            PaintItem(SkinData, EmptyCI, false, state, m.FrameRect(), TPoint(0, 0), cache, false);
            PaintDialogTitle(m);
        }
        if (BorderForm)
            PaintExtendedFrame(m);
        if (IsBorderUnchanged(SkinData->BorderIndex, sm) && (!TitleBG || TitleBG->Width() != m.ImageWidth()))
            MakeTitleBG();
        if (m.CaptionHeight(true) > 0) {
            SaveBGForBtns();
            PaintBorderIcons();
        }
    }
    SkinData->BGChanged = false;
}

// The shadow and the rounded corners around the opaque window: the top
// corners are the title's when the skin frames its title, else the
// dialog's own (the top-left kept small).
void TkvDialogWnd::PaintExtendedFrame(const TsFrameMetrics& M)
{
    TsSkinManager* sm = SkinData->GetSkinManager();
    if (M.ExMode()) {
        TBitmap* cache = SkinData->FCacheBmp;
        BorderForm->ShadowTemplate = PaintExModeTemplate(cache, M.Facts().Shadow, sm, FormActive(), -1);
        // The title's pieces keep the picture's opacity where they go over it.
        TBitmap band(M.ImageWidth(), std::max(1, M.TitleBottom()), pf32bit);
        ::BitBlt(DCOf(&band), 0, 0, band.Width(), band.Height(), DCOf(cache), 0, 0, SRCCOPY);
        PaintDialogTitle(M, &band);
        KeepAlphaOfChangedPixels(cache, &band);
        return;
    }
    const int title = sm->GetSkinIndex(s_FormTitle);
    const int titleMask = sm->IsValidSkinIndex(title) ? sm->GetMaskIndex(title, s_FormTitle, s_BordersMask) : -1;
    const bool titleCorners = sm->IsValidImgIndex(titleMask);
    BorderForm->ShadowTemplate =
        PaintExBorderAlpha(SkinData->FCacheBmp, M.Facts().Shadow, sm, FormActive(),
                           titleCorners ? titleMask : SkinData->BorderIndex, SkinData->BorderIndex, titleCorners ? 0 : 8);
}

void TkvDialogWnd::PaintDialogTitle(const TsFrameMetrics& M, TBitmap* TitleBand)
{
    if (M.CaptionHeight(true) == 0)
        return;
    TsSkinManager* sm = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->FCacheBmp;
    const TRect fr = M.FrameRect();
    const int title = sm->GetSkinIndex(s_FormTitle);
    if (sm->IsValidSkinIndex(title) && !M.ExMode())
        PaintItem(title, s_FormTitle, MakeCacheInfo(cache, M.OffsetX(), M.OffsetY()), true, FormActive() ? 1 : 0,
                  TRect(fr.left, fr.top, fr.right, Iconic() ? fr.bottom : M.TitleBottom()), TPoint(0, 0), cache, sm);
    DrawAppIcon(M);
    PaintCaptionText(M, TitleBand);
}

void TkvDialogWnd::DrawAppIcon(const TsFrameMetrics& M)
{
    if (!TitleIcon)
        return;
    const TRect r = M.IconRect();
    const int w = ::GetSystemMetrics(SM_CXSMICON), h = ::GetSystemMetrics(SM_CYSMICON);
    const HDC dc = DCOf(SkinData->FCacheBmp);
    if (auto copy = static_cast<HICON>(::CopyImage(TitleIcon, IMAGE_ICON, w, h, LR_COPYFROMRESOURCE))) {
        ::DrawIconEx(dc, r.left, r.top, copy, w, h, 0, nullptr, DI_NORMAL);
        ::DestroyIcon(copy);
    } else {
        ::DrawIconEx(dc, r.left, r.top, ::LoadIconW(nullptr, IDI_APPLICATION), w, h, 0, nullptr, DI_NORMAL);
    }
}

// The caption in the title section's colours with its glow, or on the
// skin's "CAPTION" frame when it has one.
void TkvDialogWnd::PaintCaptionText(const TsFrameMetrics& M, TBitmap* TitleBand)
{
    TRect textR = M.CaptionTextRoom();
    if (textR.IsEmpty() || Caption.empty())
        return;
    TsSkinManager* sm = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->FCacheBmp;
    TCanvas* cv = cache->Canvas();
    if (HFONT f = kvGetTitleFont())
        cv->Font()->SetHandle(f);
    cv->Font()->SetHeight(GetCaptionFontSize());
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(cv->Handle(), Caption.c_str(), int(Caption.size()), &size);
    textR.top += (textR.Height() - size.cy) / 2;
    textR.bottom = textR.top + size.cy;
    int section = sm->GetSkinIndex(s_FormTitle);
    if (FCaptionSkinIndex >= 0 && sm->IsValidSkinIndex(FCaptionSkinIndex)) {
        PaintCaptionFrame(cache, TitleBand, M, Caption, textR, CaptionFlags, FCaptionSkinIndex, FormActive(), sm);
        section = FCaptionSkinIndex;
    } else {
        if (!sm->IsValidSkinIndex(section))
            return;
        const TsGeneralData& gd = sm->gd[std::size_t(section)];
        const int glow = FormActive() ? gd.HotGlowSize : gd.GlowSize;
        if (glow > 0) {
            kvDrawGlowForText(cache, Caption.c_str(), textR, CaptionFlags, 15, glow,
                              FormActive() ? gd.HotGlowColor : gd.GlowColor, FGlow);
            FreeAndNil(FGlow);
        }
    }
    kvWriteTextEx(cv, Caption.c_str(), true, textR, CaptionFlags, section, FormActive(), sm);
}

void TkvDialogWnd::MakeTitleBG()
{
    FreeAndNil(TitleBG);
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    TitleBG = new TBitmap;
    TitleBG->SetPixelFormat(pf24bit);
    TitleBG->SetSize(cache->Width(), m.TitleBottom());
    ::BitBlt(DCOf(TitleBG), 0, 0, TitleBG->Width(), TitleBG->Height(), DCOf(cache), 0, 0, SRCCOPY);
}

// The title's strip behind the caption buttons before they are drawn,
// aligned with the image's right edge.
void TkvDialogWnd::SaveBGForBtns()
{
    TBitmap* cache = SkinData->FCacheBmp;
    const TsFrameMetrics m = Metrics();
    const int w = std::min<int>(cache->Width(), m.TitleBtnsWidth() + m.SysBorderWidth(true) + 10);
    const int h = std::min<int>(cache->Height(), m.TitleBottom());
    // The image's format: a fade over a border window takes its alpha from here.
    TempBmp->SetPixelFormat(cache->PixelFormat());
    TempBmp->SetSize(w, h);
    ::BitBlt(DCOf(TempBmp), 0, 0, w, h, DCOf(cache), cache->Width() - w, 0, SRCCOPY);
}

void TkvDialogWnd::PlaceDialogButton(TsCaptionButton& Btn, const TRect& R, int Mask, bool Enabled)
{
    PlaceButton(Btn, R);
    TsSkinManager* sm = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->FCacheBmp;
    if (R.IsEmpty() || !sm->IsValidImgIndex(Mask))
        return;
    const int state = std::max(Btn.State, 0);
    const int mode = !Enabled || (state == 0 && !FormActive()) ? 2 : 1;
    DrawSkinGlyph(cache, R.TopLeft(), state, mode, sm->ma[std::size_t(Mask)], MakeCacheInfo(cache));
}

void TkvDialogWnd::PaintBorderIcons()
{
    if (!SkinData->FCacheBmp || !VisibleClose())
        return;
    const TsFrameMetrics m = Metrics();
    const TsButtonPlaces& l = m.Buttons();
    bool disabled;
    int face = FaceOf(HTCLOSE, disabled);
    PlaceDialogButton(ButtonClose, l.Close, face, !disabled);
    face = FaceOf(HTMAXBUTTON, disabled);
    PlaceDialogButton(ButtonMax, l.Max, face, !disabled);
    face = FaceOf(HTMINBUTTON, disabled);
    PlaceDialogButton(ButtonMin, l.Min, face, !disabled);
    face = FaceOf(HTHELP, disabled);
    PlaceDialogButton(ButtonHelp, l.Help, face, true);
}

// One button's new state: drawn on the strip saved behind the buttons and
// copied to the window.
void TkvDialogWnd::RepaintButton(int i)
{
    TsCaptionButton* b = ButtonByCode(i);
    TBitmap* cache = SkinData ? SkinData->FCacheBmp : nullptr;
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    // The border window shows the frame: a new state reaches the screen
    // only as a fade over it.
    if (b && b->State >= 0 && sm && (sm->AllowGlowing() || BorderForm)) {
        // The image keeps the button's normal face; the fade shows the new one over it.
        if (!b->Rect.IsEmpty() && ::IsWindowVisible(CtrlHandle))
            StartSBAnimation(b, b->State, b->State == 2 ? 1 : 10, b->State != 0, this);
        return;
    }
    if (!b || b->State < 0 || b->Rect.IsEmpty() || !cache || !sm || TempBmp->Empty())
        return;
    const TsFrameMetrics m = Metrics();
    if (b->Rect.left <= m.SysBorderWidth(true) + ::GetSystemMetrics(SM_CXSMICON))
        return;
    const TRect& r = b->Rect;
    const int dx = cache->Width() - TempBmp->Width();
    ::BitBlt(DCOf(cache), r.left, r.top, r.Width(), r.Height(), DCOf(TempBmp), r.left - dx, r.top, SRCCOPY);
    bool disabled;
    const int face = FaceOf(i, disabled);
    if (sm->IsValidImgIndex(face)) {
        const int mode = disabled || (b->State == 0 && !FormActive()) ? 2 : 1;
        DrawSkinGlyph(cache, r.TopLeft(), b->State, mode, sm->ma[std::size_t(face)], MakeCacheInfo(cache));
    }
    if (!::IsWindowVisible(CtrlHandle))
        return;
    const HDC dc = ::GetWindowDC(CtrlHandle);
    ::BitBlt(dc, r.left, r.top, r.Width(), r.Height(), DCOf(cache), r.left, r.top, SRCCOPY);
    ::ReleaseDC(CtrlHandle, dc);
}

// ---------------------------------------------------------------------------
// Output.

void TkvDialogWnd::PaintCaption(HDC DC)
{
    if (BorderForm)
        return;
    if (SkinData->BGChanged) {
        PaintAll();
        SkinData->SetUpdating(false);
    }
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    const TsFrameFacts& f = m.Facts();
    const HDC src = DCOf(cache);
    const int top = m.OffsetY(), left = m.OffsetX();
    const int right = f.Width - left - f.ClientWidth, bottom = f.Height - top - f.ClientHeight;
    // Header, left, bottom and right bands around the client area.
    ::BitBlt(DC, 0, 0, f.Width, top, src, 0, 0, SRCCOPY);
    ::BitBlt(DC, 0, top, left, f.Height - top, src, 0, top, SRCCOPY);
    ::BitBlt(DC, left, f.Height - bottom, f.Width - left, bottom, src, left, f.Height - bottom, SRCCOPY);
    ::BitBlt(DC, f.Width - right, top, right, f.Height - top, src, f.Width - right, top, SRCCOPY);
}

void TkvDialogWnd::PaintForm(HDC DC, bool SendUpdated)
{
    if (SkinData->BGChanged)
        PaintAll();
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    ::BitBlt(DC, 0, 0, m.Facts().ClientWidth, m.Facts().ClientHeight, DCOf(cache), m.OffsetX(), m.OffsetY(), SRCCOPY);
    if (!SendUpdated)
        return;
    for (HWND child = ::GetTopWindow(CtrlHandle); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetWindowLongW(child, GWL_STYLE) & WS_CHILD)
            SetParentUpdated(child);
}

void TkvDialogWnd::Kv_WMPaint(TMessage& Msg)
{
    const HDC given = reinterpret_cast<HDC>(Msg.WParam);
    const HDC dc = given ? given : ::GetDC(CtrlHandle);
    const int saved = ::SaveDC(dc);
    SkinData->SetUpdating(false);
    for (HWND child = ::GetTopWindow(CtrlHandle); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const DWORD s = DWORD(::GetWindowLongW(child, GWL_STYLE));
        if (!(s & WS_VISIBLE))
            continue;
        // See-through children take the dialog's background from under them.
        if ((GetWndClassName(child) == L"Static" || GetWndClassName(child) == L"static") && (s & WS_TABSTOP))
            continue;
        if ((s & 7) == 7)
            continue;
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, CtrlHandle, reinterpret_cast<POINT*>(&r), 2);
        ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    PaintForm(dc, true);
    ::RestoreDC(dc, saved);
    if (!given)
        ::ReleaseDC(CtrlHandle, dc);
}

void TkvDialogWnd::Kv_WMNCPaint(TMessage& Message)
{
    (void)Message;
    WalkControls();
    const DWORD style = DWORD(::GetWindowLongW(CtrlHandle, GWL_STYLE));
    if (!InUpdateRgn && RgnChanged && (BorderStyle != kvbsNone || (style & WS_THICKFRAME))) {
        FillArOR();
        RgnChanged = false;
        UpdateRgn(true);
    }
    const HDC dc = ::GetWindowDC(CtrlHandle);
    const int saved = ::SaveDC(dc);
    PaintCaption(dc);
    if ((sBarHorz && sBarHorz->fScrollVisible) || (sBarVert && sBarVert->fScrollVisible))
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    ::RestoreDC(dc, saved);
    ::ReleaseDC(CtrlHandle, dc);
    SkinData->SetUpdating(false);
    InUpdateRgn = false;
}

// ---------------------------------------------------------------------------
// Window region.

void TkvDialogWnd::FillArOR()
{
    ArOR.clear();
    TsSkinManager* sm = SkinData->GetSkinManager();
    if (!sm)
        return;
    InitCtrlData(this);
    const int bi = SkinData->BorderIndex;
    if (sm->IsValidImgIndex(bi)) {
        const TsMaskData& md = sm->ma[std::size_t(bi)];
        AddRgn(ArOR, WndSize.cx, md, 0, false);
        AddRgn(ArOR, WndSize.cx, md, WndSize.cy - md.WB, true);
    }
    const int title = sm->GetSkinIndex(s_FormTitle);
    if (sm->IsValidSkinIndex(title)) {
        const int tm = sm->GetMaskIndex(title, s_FormTitle, s_BordersMask);
        if (sm->IsValidImgIndex(tm))
            AddRgn(ArOR, WndSize.cx, sm->ma[std::size_t(tm)], 0, false);
    }
}

HRGN TkvDialogWnd::GetRgnFromArOR(int X, int Y)
{
    HRGN rgn = ::CreateRectRgn(X, Y, X + WndSize.cx, Y + WndSize.cy);
    for (const TRect& r : ArOR) {
        HRGN cut = ::CreateRectRgn(X + r.left, Y + r.top, X + r.right, Y + r.bottom);
        ::CombineRgn(rgn, rgn, cut, RGN_DIFF);
        ::DeleteObject(cut);
    }
    return rgn;
}

void TkvDialogWnd::UpdateRgn(bool Repaint)
{
    if (BorderStyle == kvbsNone && !Iconic())
        return;
    if (::SendMessageW(CtrlHandle, KV_OWN_REGION_MSG, KV_OWN_REGION, 0) == LRESULT(KV_OWN_REGION))
        return;
    InUpdateRgn = true;
    // The system owns the region once it is set; a refused one is ours to free.
    HRGN rgn;
    if (BorderForm) {
        // The border window shows the frame and title.
        const TRect r = Metrics().ExBorderRegion();
        rgn = ::CreateRectRgn(r.left, r.top, r.right, r.bottom);
    } else {
        rgn = GetRgnFromArOR(0, 0);
    }
    if (!::SetWindowRgn(CtrlHandle, rgn, Repaint ? TRUE : FALSE)) {
        ::DeleteObject(rgn);
        InUpdateRgn = false;
    } else if (!Repaint) {
        // No non-client paint follows to clear the flag: left set, it would
        // keep every dialog from updating its region.
        InUpdateRgn = false;
    }
}

// ---------------------------------------------------------------------------
// The show animation's view of the dialog.

HWND TkvDialogWnd::BorderWindow()
{
    return BorderForm ? BorderForm->Handle() : nullptr;
}

TSize TkvDialogWnd::RenderImage()
{
    SkinData->BGChanged = true;
    PaintAll();
    TBitmap* cache = SkinData->FCacheBmp;
    return cache ? TSize{cache->Width(), cache->Height()} : TSize{WndSize.cx, WndSize.cy};
}

void TkvDialogWnd::PaintInto(TBitmap* Bmp)
{
    const HDC dc = Bmp->Canvas()->Handle();
    if (TBitmap* cache = SkinData->FCacheBmp)
        ::BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
    const int saved = ::SaveDC(dc);
    ::SetWindowOrgEx(dc, -OffsetX(), -OffsetY(), nullptr);
    PrintHwndControls(CtrlHandle, dc);
    ::RestoreDC(dc, saved);
}

TPoint TkvDialogWnd::BorderOffset()
{
    return Metrics().ImageOrigin();
}

// The animation took the dialog's region for its own window: the dialog
// gets its skinned region back.
void TkvDialogWnd::ShowEnded(int MaxTransparency)
{
    (void)MaxTransparency;
    RgnChanged = true;
    UpdateRgn(false);
}

// ---------------------------------------------------------------------------
// What the caption buttons' fades ask of the dialog.

TsCustomSysMenu* TkvDialogWnd::FrameSysMenu()
{
    return SystemMenu;
}

int TkvDialogWnd::FrameButtonFace(int HitCode)
{
    bool disabled = false;
    return FaceOf(HitCode, disabled);
}

// The title under the button as the last rebuild left it.
void TkvDialogWnd::FrameButtonBackground(const TsCaptionButton& Btn, TBitmap* Dst)
{
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache)
        return;
    const TRect& r = Btn.Rect;
    if (TempBmp && !TempBmp->Empty())
        ::BitBlt(DCOf(Dst), 0, 0, r.Width(), r.Height(), DCOf(TempBmp), r.left - (cache->Width() - TempBmp->Width()),
                 r.top, SRCCOPY);
    else
        ::BitBlt(DCOf(Dst), 0, 0, r.Width(), r.Height(), DCOf(cache), r.left, r.top, SRCCOPY);
}

void TkvDialogWnd::FrameButtonGlyph(int HitCode, TBitmap* Dst, bool Pressed)
{
    // A dialog has no title buttons of its own.
    (void)HitCode;
    (void)Dst;
    (void)Pressed;
}
