// The window image: one picture of the whole window painted from the skin
// (the form's section and border, the title bar with icon and caption
// text, the menu line with its items, the size grip and the caption
// buttons), kept in the cache bitmap of the provider's skin data and
// rebuilt only when the background changed.  Nothing here reaches the
// screen: the frame output copies pieces of the image to the window.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"

namespace {

constexpr const wchar_t* s_TitleBar = L"TITLEBAR";
constexpr const wchar_t* s_MenuLine = L"MENULINE";
// DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER
constexpr UINT CaptionFlags = 0x8824;

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

int State(bool Active)
{
    return Active ? 1 : 0;
}

HDC DCOf(TBitmap* Bmp)
{
    return Bmp->Canvas()->Handle();
}

// The glow mask kept for the active (FGlow1) or inactive (FGlow2) caption.
TBitmap*& GlowOf(TsSkinProvider* P)
{
    return P->FormActive ? P->FGlow1 : P->FGlow2;
}

void DrawIcon(HDC DC, int X, int Y, HICON Icon, int W, int H)
{
    // A zero size would draw the icon at its own size, over the caption.
    if (Icon && W > 0 && H > 0)
        ::DrawIconEx(DC, X, Y, Icon, W, H, 0, nullptr, DI_NORMAL);
}

} // namespace

TBitmap* TsSkinProvider::PrepareImage(const TsFrameMetrics& M)
{
    TBitmap*& cache = FCommonData->FCacheBmp;
    if (cache)
        return cache;
    cache = new TBitmap;
    cache->SetPixelFormat(BorderForm ? pf32bit : pf24bit);
    cache->SetSize(M.ImageWidth(), M.ImageHeight());
    UpdateSkinState(FCommonData, false);
    // The children find their skin state again now that the form keeps an image.
    if (!Form->ComponentState().Contains(csLoading)) {
        TMessage m{SM_KORVEXCMD, MakeKorvexWParam(SMC_CTRL_STATE), 1, 0};
        KorvexBroadCast(Form, m);
    }
    return cache;
}

void TsSkinProvider::PaintAll()
{
    TsSkinManager* sm = Manager();
    if (!Form || !sm || !Form->HandleAllocated() || Form->ControlState().Contains(csCreating))
        return;
    const TsFrameMetrics m = Metrics();
    TBitmap* cache = PrepareImage(m);
    if (Form->FormStyle() == fsMDIForm && MenuChanged) {
        TForm* child = Form->ActiveMDIChild();
        if (child && child->HandleAllocated() && ::IsZoomed(child->Handle()) &&
            child->FormState().Contains(fsShowing))
            return;
    }
    if (FCommonData->BGChanged) {
        if (Form->Parent() && Form->FormStyle() != fsMDIChild)
            FCommonData->CtrlSkinState &= ~CSS_NOCACHE;
        RgnChanged = true;
        // With a border window the image carries alpha, whoever made the bitmap.
        const TPixelFormat format = BorderForm ? pf32bit : pf24bit;
        if (cache->PixelFormat() != format)
            cache->SetPixelFormat(format);
        cache->SetSize(m.ImageWidth(), m.ImageHeight());
        if (sm->IsValidSkinIndex(FCommonData->SkinIndex)) {
            PaintBase(m);
            if (IsGripVisible() && IsCached(FCommonData)) {
                // The grip asks the form for its background: no rebuild meanwhile.
                FCommonData->BGChanged = false;
                PaintGrip(DCOf(cache), this);
            }
            const TCacheInfo ci = MakeCacheInfo(cache, m.OffsetX(), m.OffsetY());
            // In ExMode the title goes over the extended-border picture, below.
            if (!m.ExMode())
                PaintTitleBar(m, ci);
            PaintMenuLine(m, ci);
            if (IsBorderUnchanged(FCommonData->BorderIndex, sm) && (!TitleBG || TitleBG->Width() != m.ImageWidth()))
                MakeTitleBG();
            if (!m.ExMode())
                PaintCaptionText(m);
            PaintMDIArea(m);
            if (BorderForm)
                PaintExtendedFrame(m, ci);
            if (m.CaptionHeight(true) > 0 && FDrawNonClientArea) {
                SaveBGForBtns(true);
                PaintBorderIcons();
            }
        }
        MenuChanged = false;
        FCommonData->BGChanged = false;
        PaintOnPaintIntoImage(m);
        FirstInitialized = true;
        FCommonData->BGChanged = false;
    }
    FCommonData->SetUpdating(false);
}

// The MDI client's room in the image, for the client window to show: what
// the aligned controls leave of the client area.
void TsSkinProvider::PaintMDIArea(const TsFrameMetrics& M)
{
    if (Form->FormStyle() != fsMDIForm || !MDIForm)
        return;
    TsSkinManager* sm = Manager();
    const int area = sm->GetSkinIndex(L"MDIAREA");
    if (!sm->IsValidSkinIndex(area))
        return;
    TBitmap* cache = FCommonData->FCacheBmp;
    const TRect& s = M.Facts().Shadow;
    const int bw = M.BorderWidth(true);
    TRect r;
    r.left = GetAlignShift(Form, alLeft) + bw + s.left;
    r.top = GetAlignShift(Form, alTop) + (MenuPresent() ? M.LinesHeight() : 0) + M.TitleBottom() + Form->BorderWidth() +
            (M.MenuHeight() != 0 ? 1 : 0);
    r.right = cache->Width() - bw - GetAlignShift(Form, alRight) - s.right;
    r.bottom = cache->Height() - bw - GetAlignShift(Form, alBottom) - s.bottom;
    if (r.IsEmpty())
        return;
    PaintItem(area, L"MDIAREA", MakeCacheInfo(cache), false, 0, r, r.TopLeft(), DCOf(cache), sm);
}

void TsSkinProvider::PaintExtendedFrame(const TsFrameMetrics& M, const TCacheInfo& CI)
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    if (!M.ExMode()) {
        BorderForm->ShadowTemplate = PaintExBorderAlpha(cache, M.Facts().Shadow, Manager(), FormActive,
                                                        FCommonData->BorderIndex, FCommonData->BorderIndex);
        return;
    }
    BorderForm->ShadowTemplate =
        PaintExModeTemplate(cache, M.Facts().Shadow, Manager(), FormActive, M.BorderWidth(true));
    // The title band as the picture left it: the title's pieces painted
    // over it keep the picture's opacity, and a caption frame takes its
    // background from it.  A skin without the picture still gets its title.
    TBitmap band(M.ImageWidth(), std::max(1, M.TitleBottom()), pf32bit);
    ::BitBlt(DCOf(&band), 0, 0, band.Width(), band.Height(), DCOf(cache), 0, 0, SRCCOPY);
    PaintTitleBar(M, CI);
    PaintCaptionText(M, &band);
    KeepAlphaOfChangedPixels(cache, &band);
}

// The form's section and border over the window inside the shadow.
void TsSkinProvider::PaintBase(const TsFrameMetrics& M)
{
    TsSkinManager* sm = Manager();
    TBitmap* cache = FCommonData->FCacheBmp;
    const TRect fr = M.FrameRect();
    const TRect& s = M.Facts().Shadow;
    const int state = State(FormActive);
    if (FCommonData->CtrlSkinState & CSS_NOCACHE) {
        if (BorderForm)
            FillDC(DCOf(cache), TRect(s.left, s.top, cache->Width() - s.right, cache->Height() - s.bottom), FormColor());
        else
            FillDC(DCOf(cache),
                   TRect(0, 0, cache->Width(), M.CaptionHeight(true) + M.BorderWidth(true) + M.LinesHeight() + 1),
                   FormColor());
        // In ExMode the extended-border picture is the frame.
        if (!M.ExMode())
            PaintBorderFast(DCOf(cache), fr, M.BorderWidth(true), FCommonData, state);
        return;
    }
    TCacheInfo ci = EmptyCI;
    if (Form->Parent()) {
        TkvBGInfo info;
        GetBGInfo(&info, Form->Parent(), false);
        ci = BGInfoToCI(&info);
    }
    const TPoint offset(Form->Left(), Form->Top());
    if ((HaveBorder(this) || Form->Parent()) && !M.ExMode())
        PaintItem(FCommonData, ci, false, state, fr, offset, cache, Form->Parent() != nullptr);
    else
        PaintItemBG(FCommonData->SkinIndex, FCommonData->SkinSection(), ci, state, fr, offset, cache, sm);
}

void TsSkinProvider::PaintTitleBar(const TsFrameMetrics& M, const TCacheInfo& CI)
{
    if (M.CaptionHeight(true) <= 0 || !FDrawNonClientArea)
        return;
    TsSkinManager* sm = Manager();
    TBitmap* cache = FCommonData->FCacheBmp;
    const TRect fr = M.FrameRect();
    const int title = TitleSkinIndex();
    // In ExMode the extended-border picture is the title bar.
    if (sm->IsValidSkinIndex(title) && !M.ExMode())
        PaintItem(title, TitleSkinSection(), CI, true, State(FormActive),
                  TRect(fr.left, fr.top, fr.right, Iconic(Form) ? fr.bottom : M.TitleBottom()), TPoint(0, 0), cache,
                  sm);
    DrawAppIcon(M);
    if (M.SysButtonsCount() <= 0)
        return;
    const int bar = sm->GetMaskIndex(FCommonData->SkinIndex, FCommonData->SkinSection(), s_TitleBar);
    if (!sm->IsValidImgIndex(bar))
        return;
    const TsMaskData& md = sm->ma[std::size_t(bar)];
    const int side = md.Bmp ? md.Bmp->Width() / 9 : WidthOfImage(md);
    const int width = M.TitleBtnsWidth() + 2 * side;
    DrawSkinRect(cache, TRect(M.ImageWidth() - width, 0, cache->Width(), M.CaptionHeight(true) + M.SysBorderHeight(false)),
                 true, EmptyCI, md, State(FormActive), true, sm);
}

// The title icon: the TitleIcon glyph, else the form's icon, else the
// application's small icon, else the library's application icons.
void TsSkinProvider::DrawAppIcon(const TsFrameMetrics& M)
{
    if (!IconVisible())
        return;
    TBitmap* cache = FCommonData->FCacheBmp;
    const TRect r = M.IconRect();
    TBitmap* glyph = FTitleIcon->Glyph();
    if (!glyph->Empty()) {
        const int autoSize = IconSizeForCaption(M.HeaderHeight() - 2);
        const int w = FTitleIcon->Width() ? FTitleIcon->Width() : autoSize;
        const int h = FTitleIcon->Height() ? FTitleIcon->Height() : autoSize;
        if (glyph->PixelFormat() == pf32bit) {
            CopyByMask(TRect(r.left, r.top, r.left + glyph->Width(), r.top + glyph->Height()),
                       TRect(0, 0, glyph->Width(), glyph->Height()), cache, glyph, EmptyCI, false);
        } else {
            glyph->SetTransparent(true);
            glyph->SetTransparentColor(TColor(0xFF00FF));
            cache->Canvas()->StretchDraw(TRect(r.left, r.top, r.left + w, r.top + h), glyph);
        }
        return;
    }
    const HDC dc = DCOf(cache);
    const int iw = M.TitleIconWidth(), ih = M.TitleIconHeight();
    if (!Form->Icon()->Empty()) {
        DrawIcon(dc, r.left, r.top, Form->Icon()->Handle(), iw, ih);
        return;
    }
    if (Application && Application->Icon() && !Application->Icon()->Empty()) {
        const auto small = reinterpret_cast<HICON>(::SendMessageW(Application->Handle(), WM_GETICON, 2, 0));
        DrawIcon(dc, r.left, r.top, small, iw, ih);
        return;
    }
    // The room below the icon's top; the icon's own room when that is none.
    const int room = M.CaptionHeight(true) - r.top;
    const int w = FTitleIcon->Width() ? FTitleIcon->Width() : room > 0 ? room : iw;
    const int h = FTitleIcon->Height() ? FTitleIcon->Height() : room > 0 ? room : ih;
    if (h > 16 && AppIconLarge && !AppIconLarge->Empty())
        DrawIcon(dc, r.left, r.top, AppIconLarge->Handle(), w, h);
    else if (AppIcon && !AppIcon->Empty())
        DrawIcon(dc, r.left, r.top, AppIcon->Handle(), w, h);
    else
        DrawIcon(dc, r.left, r.top, ::LoadIconW(nullptr, IDI_APPLICATION), iw, ih);
}

// The menu line's section and the items of the main menu, drawn by their
// own handlers into the image where the system placed them.
void TsSkinProvider::PaintMenuLine(const TsFrameMetrics& M, const TCacheInfo& CI)
{
    TMainMenu* menu = Form->Menu();
    if (!menu || !MenuPresent() || M.MenuHeight() <= 0)
        return;
    TsSkinManager* sm = Manager();
    TBitmap* cache = FCommonData->FCacheBmp;
    const TRect& s = M.Facts().Shadow;
    const int top = M.TitleBottom(), linesH = M.LinesHeight(), width = cache->Width();
    UnicodeString section = s_MenuLine;
    if (!FMenuLineSkin.empty() && sm->IsValidSkinIndex(sm->GetSkinIndex(FMenuLineSkin)))
        section = FMenuLineSkin;
    const int line = sm->GetSkinIndex(section);
    if (sm->IsValidSkinIndex(line))
        PaintItem(line, section, CI, true, State(FormActive), TRect(s.left, top, width - s.right, top + linesH),
                  TPoint(s.left, top), cache, sm);
    MenuLineBmp->SetSize(std::max<int>(0, M.ImageWidth() - s.left - s.right), linesH);
    const int y = M.OffsetY() - linesH - Form->BorderWidth() - (BorderForm ? 0 : 1);
    MenuLineOrigin = TPoint(M.OffsetX() - Form->BorderWidth(), y);
    ::BitBlt(DCOf(MenuLineBmp), 0, 0, MenuLineBmp->Width(), linesH, DCOf(cache), MenuLineOrigin.x, y, SRCCOPY);
    int pos = 0;
    if (ChildIconPresent()) {
        TForm* child = Form->ActiveMDIChild();
        HICON icon = child && !child->Icon()->Empty() ? child->Icon()->Handle()
                     : AppIcon && !AppIcon->Empty()  ? AppIcon->Handle()
                                                     : ::LoadIconW(nullptr, IDI_APPLICATION);
        const int size = M.MenuHeight() - 2;
        DrawIcon(DCOf(cache), s.left + M.SysBorderWidth(true) + 1, top + 1, icon, size, size);
        // The icon takes the first place of the bar once, whatever its width.
        ++pos;
    }
    if (AeroIsEnabled())
        if (auto* menus = dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus()))
            menus->InitMenuLine(menu, FDrawNonClientArea);
    RECT wr;
    ::GetWindowRect(Form->Handle(), &wr);
    const int dx = -int(wr.left) + M.DiffBorder() + s.left;
    const int dy = -int(wr.top) + M.DiffTitle() + s.top + (FSysExHeight ? 4 : 0);
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        TMenuItem* item = menu->Items()->Items(i);
        if (!item->OnMeasureItem || !item->OnAdvancedDrawItem || !item->Visible())
            continue;
        RECT r;
        // An item the system cannot place is left out; the next keeps its own place.
        if (::GetMenuItemRect(Form->Handle(), menu->Handle(), UINT(pos++), &r)) {
            const TRect ir(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
            item->OnAdvancedDrawItem(item, cache->Canvas(), ir, TOwnerDrawState{odNoAccel, odReserved1});
        }
    }
}

// The caption text in the title section's colours (with its glow), framed
// by the "CAPTION" section when the skin has one, and the added title.
void TsSkinProvider::PaintCaptionText(const TsFrameMetrics& M, TBitmap* TitleBand)
{
    if (M.CaptionHeight(true) <= 0 || !FDrawNonClientArea)
        return;
    TRect textR = M.CaptionTextRoom();
    if (textR.IsEmpty())
        return;
    TsSkinManager* sm = Manager();
    TCanvas* cv = FCommonData->FCacheBmp->Canvas();
    SIZE addSize{0, 0};
    const UnicodeString added = FAddedTitle->Text();
    if (!added.empty()) {
        cv->SetFont(FAddedTitle->Font());
        ::GetTextExtentPoint32W(cv->Handle(), added.c_str(), int(added.size()), &addSize);
    }
    if (HFONT f = kvGetTitleFont())
        cv->Font()->SetHandle(f);
    cv->Font()->SetHeight(GetCaptionFontSize());
    if (Screen)
        cv->Font()->SetCharset(Screen->MenuFont()->Charset());
    const UnicodeString caption = Form->Caption();
    SIZE capSize{0, 0};
    ::GetTextExtentPoint32W(cv->Handle(), caption.c_str(), int(caption.size()), &capSize);
    textR.top += (textR.Height() - capSize.cy) / 2;
    textR.bottom = textR.top + capSize.cy;
    const int textW = capSize.cx + addSize.cx + 4;
    if (FCaptionAlignment == taRightJustify) {
        if (textW < textR.Width())
            textR.left = textR.right - textW;
    } else if (FCaptionAlignment == taCenter) {
        const int l = std::max<int>(textR.left, textR.left + (textR.Width() - textW) / 2);
        textR.left = l;
        textR.right = std::min<int>(textR.right, l + capSize.cx);
    }
    // A skin without a title section writes the caption in the form's colours.
    int section = TitleSkinIndex();
    if (!sm->IsValidSkinIndex(section))
        section = FCommonData->SkinIndex;
    if (FCaptionSkinIndex >= 0 && sm->IsValidSkinIndex(FCaptionSkinIndex)) {
        PaintCaptionFrame(M, textR, CaptionFlags, TitleBand);
    } else {
        const TsGeneralData& gd = sm->gd[std::size_t(section)];
        const int glow = FormActive ? gd.HotGlowSize : gd.GlowSize;
        if (glow > 0)
            kvDrawGlowForText(FCommonData->FCacheBmp, caption.c_str(), textR, CaptionFlags, 15, glow,
                              FormActive ? gd.HotGlowColor : gd.GlowColor, GlowOf(this));
        TRect r = textR;
        kvWriteTextEx(cv, caption.c_str(), Form->Enabled(), r, CaptionFlags, section, FormActive, sm);
        textR.left += capSize.cx;
    }
    if (!added.empty())
        PaintAddedTitle(textR, addSize.cx, section);
}

TRect PaintCaptionFrame(TBitmap* Image, TBitmap* TitleBand, const TsFrameMetrics& M, const UnicodeString& Caption,
                        const TRect& TextR, UINT Flags, int CaptionIndex, bool Active, TsSkinManager* Sm)
{
    TRect frame = TextR;
    kvDrawText(Image->Canvas()->Handle(), Caption, frame, Flags | DT_CALCRECT);
    frame = TRect(frame.left - 4, frame.top - 2, frame.right + 4, frame.bottom + 2);
    TBitmap own;
    TBitmap* band = TitleBand;
    if (!band) {
        band = &own;
        own.SetPixelFormat(pf32bit);
        own.SetSize(M.ImageWidth(), M.TitleBottom());
        ::BitBlt(DCOf(&own), 0, 0, own.Width(), own.Height(), DCOf(Image), 0, 0, SRCCOPY);
    }
    PaintItem(CaptionIndex, s_Caption, MakeCacheInfo(band, frame.left, frame.top), true, State(Active), frame,
              TPoint(0, 0), Image, Sm);
    return frame;
}

// The caption on its own "CAPTION" frame, with the frame's glow.
void TsSkinProvider::PaintCaptionFrame(const TsFrameMetrics& M, TRect& TextR, UINT Flags, TBitmap* TitleBand)
{
    TsSkinManager* sm = Manager();
    TBitmap* cache = FCommonData->FCacheBmp;
    TCanvas* cv = cache->Canvas();
    const UnicodeString caption = Form->Caption();
    const TRect frame =
        ::PaintCaptionFrame(cache, TitleBand, M, caption, TextR, Flags, FCaptionSkinIndex, FormActive, sm);
    const TsGeneralData& gd = sm->gd[std::size_t(FCaptionSkinIndex)];
    const int glow = FormActive ? gd.HotGlowSize : gd.GlowSize;
    if (glow > 0)
        kvDrawGlowForText(cache, caption.c_str(), TextR, Flags, 15, glow, FormActive ? gd.HotGlowColor : gd.GlowColor,
                          GlowOf(this));
    TRect r = TextR;
    kvWriteTextEx(cv, caption.c_str(), Form->Enabled(), r, Flags, FCaptionSkinIndex, FormActive, sm);
    TextR.left = frame.right;
}

void TsSkinProvider::PaintAddedTitle(TRect TextR, int AddWidth, int Section)
{
    TsSkinManager* sm = Manager();
    TCanvas* cv = FCommonData->FCacheBmp->Canvas();
    TextR.left += 4;
    TextR.right = TextR.left + AddWidth + 4;
    if (AddWidth <= 4)
        return;
    cv->SetFont(FAddedTitle->Font());
    const TColor own = FAddedTitle->Font()->Color();
    const TsGeneralData& gd = sm->gd[std::size_t(Section)];
    if (own == TColor(0x1FFFFFFF) || own == clWindowText)
        cv->Font()->SetColor(FormActive ? gd.HotFontColor[1] : gd.FontColor[1]);
    else if (!FormActive)
        cv->Font()->SetColor(MixColors(gd.FontColor[1], own, 0.5));
    ::SetBkMode(cv->Handle(), TRANSPARENT);
    ::SetTextColor(cv->Handle(), ColorToRGB(cv->Font()->Color()));
    kvDrawText(cv->Handle(), FAddedTitle->Text(), TextR, CaptionFlags);
}

// The form's OnPaint draws into the client part of the image.
void TsSkinProvider::PaintOnPaintIntoImage(const TsFrameMetrics& M)
{
    if (!Form->OnPaint || !IsCached(FCommonData))
        return;
    TCanvas* canvas = Form->Canvas();
    HDC dc = DCOf(FCommonData->FCacheBmp);
    const int saved = ::SaveDC(dc);
    ::SetViewportOrgEx(dc, M.OffsetX(), M.OffsetY(), nullptr);
    canvas->SetHandle(dc);
    try {
        Form->OnPaint(Form);
    } catch (...) {
        canvas->SetHandle(nullptr);
        ::RestoreDC(dc, saved);
        throw;
    }
    canvas->SetHandle(nullptr);
    ::RestoreDC(dc, saved);
}

void TsSkinProvider::MakeTitleBG()
{
    FreeAndNil(TitleBG);
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    const TsFrameMetrics m = Metrics();
    TitleBG = new TBitmap;
    TitleBG->SetPixelFormat(pf32bit);
    TitleBG->SetSize(m.ImageWidth(), m.SysBorderHeight(true) + m.CaptionHeight(true) + m.Facts().Shadow.top);
    ::BitBlt(DCOf(TitleBG), 0, 0, TitleBG->Width(), TitleBG->Height(), DCOf(cache), 0, 0, SRCCOPY);
}

// The strip behind the caption buttons, so that a button's new state is
// drawn on a clean background.
void TsSkinProvider::SaveBGForBtns(bool Full)
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache || !TempBmp)
        return;
    const TsFrameMetrics m = Metrics();
    const TRect& s = m.Facts().Shadow;
    TempBmp->SetPixelFormat(cache->PixelFormat());
    const int w = m.SysBorderWidth(true) + m.TitleBtnsWidth() + s.right + 10;
    const int title = m.SysBorderHeight(true) + m.CaptionHeight(true);
    const int h = title + m.SysBorderWidth(false) + m.MenuHeight() + s.top;
    TempBmp->SetSize(w, h);
    ::BitBlt(DCOf(TempBmp), 0, 0, w, Full ? h : title, DCOf(cache), cache->Width() - w - 1, 0, SRCCOPY);
}

void TsSkinProvider::RestoreBtnsBG()
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache || !TempBmp || TempBmp->Empty())
        return;
    ::BitBlt(DCOf(cache), cache->Width() - TempBmp->Width() - 1, 0, TempBmp->Width(), TempBmp->Height(), DCOf(TempBmp),
             0, 0, SRCCOPY);
}

// The size grip in a device context of image coordinates, over what the
// form shows there.
void PaintGrip(HDC DC, TsSkinProvider* Provider)
{
    TsSkinManager* sm = Provider->SkinData()->GetSkinManager();
    const int mask = sm ? sm->GetMaskIndex(s_GlobalInfo, s_GripImage) : -1;
    TBitmap* cache = Provider->SkinData()->FCacheBmp;
    if (!sm || !sm->IsValidImgIndex(mask) || !cache)
        return;
    const TsMaskData& md = sm->ma[std::size_t(mask)];
    const TsFrameMetrics m = Provider->Metrics();
    const int gw = WidthOfImage(md), gh = HeightOfImage(md);
    if (gw <= 0 || gh <= 0)
        return;
    TBitmap grip(gw, gh, pf24bit);
    const TPoint p = m.GripPoint();
    TkvBGInfo info;
    info.R = TRect(0, 0, gw, gh);
    GetBGInfo(&info, Provider->Form, false);
    const TRect& s = m.Facts().Shadow;
    const int sbw = m.SysBorderWidth(true), w = cache->Width(), h = cache->Height();
    if (info.BgType == btFill) {
        FillDC(DCOf(&grip), TRect(0, 0, gw, gh), info.Color);
        const int border = Provider->SkinData()->BorderIndex;
        const int dx = sm->MaskWidthRight(border) - sbw, dy = sm->MaskWidthBottom(border) - sbw;
        if (dx > 0 && dy > 0)
            ::BitBlt(DCOf(&grip), gw - dx, 0, dx, gh, DCOf(cache), w - sm->MaskWidthRight(border) - s.right,
                     h - sbw - gh - s.bottom, SRCCOPY);
        if (dy > 0)
            ::BitBlt(DCOf(&grip), 0, gh - dy, gw, dy, DCOf(cache), w - sbw - gw - s.right,
                     h - sm->MaskWidthBottom(border) - s.bottom, SRCCOPY);
    } else {
        ::BitBlt(DCOf(&grip), 0, 0, gw, gh, DCOf(cache), p.x, p.y, SRCCOPY);
    }
    DrawSkinGlyph(&grip, TPoint(0, 0), 0, 1, md, MakeCacheInfo(&grip));
    ::BitBlt(DC, p.x, p.y, gw, gh, DCOf(&grip), 0, 0, SRCCOPY);
}
