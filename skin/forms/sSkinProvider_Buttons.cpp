// The caption buttons of a skinned form: their faces in the current skin,
// their layout and drawing into the window image, the repaint of one
// button when its state changes, the hot and pressed tracking, and the
// hints of the user's title buttons.  Places come from the frame's metrics,
// the same that the hit test uses.
//
// A state change shows at once: the buttons' fade animation and glow
// windows come with the extended-border window.
#include "skin/forms/sSkinProvider.h"

#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/kvGlow.h"

namespace {

HDC DCOf(TBitmap* Bmp)
{
    return Bmp->Canvas()->Handle();
}

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

bool Zoomed(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsZoomed(Form->Handle());
}

void Place(TsCaptionButton& Btn, const TRect& R)
{
    Btn.Rect = R;
    if (R.IsEmpty())
        Btn.State = -1;
    else if (Btn.State < 0)
        Btn.State = 0;
}

} // namespace

bool TsSkinProvider::PaintsCaptionButtons() const
{
    return true;
}

void TsSkinProvider::UpdateIconsIndexes()
{
    TsSkinManager* sm = Manager();
    if (!sm || !sm->IsValidSkinIndex(sm->ConstData.IndexGLobalInfo))
        return;
    const int gi = sm->ConstData.IndexGLobalInfo;
    auto mask = [&](const wchar_t* Name) { return sm->GetMaskIndex(gi, s_GlobalInfo, Name); };
    ButtonMin.HitCode = HTMINBUTTON;
    ButtonMax.HitCode = HTMAXBUTTON;
    ButtonClose.HitCode = HTCLOSE;
    bool aligned;
    if (BigButtons(this)) {
        ButtonMin.ImageIndex = mask(s_BiconMin);
        ButtonMax.ImageIndex = mask(s_BiconMax);
        const bool others = SystemMenu && (SystemMenu->VisibleMax() || SystemMenu->VisibleMin());
        const int alone = mask(s_BiCloseAlone);
        ButtonClose.ImageIndex = others || !sm->IsValidImgIndex(alone) ? mask(s_BiconClose) : alone;
        ButtonHelp.ImageIndex = mask(s_BiconHelp);
        aligned = true;
    } else {
        ButtonClose.ImageIndex = mask(s_SiconClose);
        ButtonMin.ImageIndex = mask(s_SiconMin);
        ButtonMax.ImageIndex = mask(s_SiconMax);
        ButtonHelp.ImageIndex = mask(s_SiconHelp);
        if (!sm->IsValidImgIndex(ButtonHelp.ImageIndex))
            ButtonHelp.ImageIndex = mask(s_BiconHelp);
        aligned = false;
    }
    const bool mdiForm = Form && Form->FormStyle() == fsMDIForm;
    if (!sm->IsValidImgIndex(ButtonClose.ImageIndex)) {
        ButtonClose.ImageIndex = mask(s_BiconClose);
        ButtonMin.ImageIndex = mask(s_BiconMin);
        ButtonMax.ImageIndex = mask(s_BiconMax);
        ButtonHelp.ImageIndex = mask(s_BiconHelp);
        aligned = true;
        if (mdiForm) {
            MDIMin.ImageIndex = mask(s_BiconMin);
            MDIMax.ImageIndex = mask(s_BiconMax);
            MDIClose.ImageIndex = mask(s_BiconClose);
        }
        MDIMin.HaveAlignment = MDIMax.HaveAlignment = MDIClose.HaveAlignment = true;
    } else if (mdiForm) {
        MDIMin.ImageIndex = mask(s_SiconMin);
        MDIMax.ImageIndex = mask(s_SiconMax);
        MDIClose.ImageIndex = mask(s_SiconClose);
        MDIMin.HaveAlignment = MDIMax.HaveAlignment = MDIClose.HaveAlignment = false;
        if (!sm->IsValidImgIndex(MDIMin.ImageIndex)) {
            MDIMin.ImageIndex = ButtonMin.ImageIndex;
            MDIMax.ImageIndex = ButtonMax.ImageIndex;
            MDIClose.ImageIndex = ButtonClose.ImageIndex;
            MDIMin.HaveAlignment = MDIMax.HaveAlignment = MDIClose.HaveAlignment = true;
        }
    }
    ButtonMin.HaveAlignment = ButtonMax.HaveAlignment = ButtonClose.HaveAlignment = ButtonHelp.HaveAlignment = aligned;
    UserBtnIndex = mask(s_TitleButtonMask);
}

TsCaptionButton* TsSkinProvider::ButtonByCode(int HitCode)
{
    switch (HitCode) {
    case HTMINBUTTON: return &ButtonMin;
    case HTMAXBUTTON: return &ButtonMax;
    case HTCLOSE: return &ButtonClose;
    case HTHELP: return &ButtonHelp;
    case HTMDICLOSE: return &MDIClose;
    case HTMDIMAX: return &MDIMax;
    case HTMDIMIN: return &MDIMin;
    default:
        if (HitCode >= HTUDBTN && HitCode < HTUDBTN + FTitleButtons->Count())
            return &FTitleButtons->Items(HitCode - HTUDBTN)->BtnData;
        return nullptr;
    }
}

// A system button's face in its state: faint while normal on an inactive
// form, and whenever it is disabled.
void TsSkinProvider::DrawCaptionButton(TsCaptionButton& Btn, int Face, bool Enabled)
{
    TsSkinManager* sm = Manager();
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!sm || !cache || !sm->IsValidImgIndex(Face) || Btn.Rect.IsEmpty())
        return;
    const int state = Btn.Timer ? 0 : std::max(Btn.State, 0);
    const bool faint = (state == 0 || Btn.Timer) && (!FormActive || !Enabled);
    DrawSkinGlyph(cache, Btn.Rect.TopLeft(), state, faint ? 2 : 1, sm->ma[std::size_t(Face)], MakeCacheInfo(cache));
}

// A title button's glyph, centred in R; a pressed button's moves one pixel
// right and down.
void TsSkinProvider::DrawTitleGlyph(TsTitleButton* Button, const TRect& R, bool Pressed, TBitmap* Dst)
{
    TBitmap* glyph = Button->Glyph();
    TBitmap* cache = Dst ? Dst : FCommonData->FCacheBmp;
    if (glyph->Empty() || !cache)
        return;
    const int x = R.left + (R.Width() - glyph->Width()) / 2 + (Pressed ? 1 : 0);
    const int y = R.top + (R.Height() - glyph->Height()) / 2 + (Pressed ? 1 : 0);
    if (glyph->PixelFormat() == pf32bit) {
        CopyByMask(TRect(x, y, x + glyph->Width(), y + glyph->Height()), TRect(0, 0, glyph->Width(), glyph->Height()),
                   cache, glyph, MakeCacheInfo(cache), false);
        return;
    }
    TBitmap bmp;
    bmp.Assign(glyph);
    bmp.SetPixelFormat(pf24bit);
    const TColor key = TColor(::GetPixel(DCOf(&bmp), 0, bmp.Height() - 1));
    CopyTransBitmaps(cache, &bmp, x, y, ColorToSColor(key));
}

void TsSkinProvider::PaintBorderIcons()
{
    if (!HaveBorder(this) || !FCommonData->FCacheBmp)
        return;
    RestoreBtnsBG();
    const TsFrameMetrics m = Metrics();
    const TsButtonPlaces& l = m.Buttons();
    const TsFrameFacts& f = m.Facts();
    Place(ButtonClose, l.Close);
    Place(ButtonMax, l.Max);
    Place(ButtonMin, l.Min);
    Place(ButtonHelp, l.Help);
    DrawCaptionButton(ButtonClose, ButtonClose.ImageIndex, true);
    DrawCaptionButton(ButtonMax, MaxFace(), Zoomed(Form) ? f.EnabledRestore : f.EnabledMax);
    DrawCaptionButton(ButtonMin, MinFace(), Iconic(Form) ? f.EnabledRestore : f.EnabledMin);
    DrawCaptionButton(ButtonHelp, ButtonHelp.ImageIndex, true);
    TsSkinManager* sm = Manager();
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        b->BtnData.HitCode = unsigned(HTUDBTN + i);
        b->BtnData.ImageIndex = b->UseSkinData() && sm->IsValidImgIndex(UserBtnIndex) ? UserBtnIndex : -1;
        Place(b->BtnData, l.Title[std::size_t(i)]);
        if (b->BtnData.Rect.IsEmpty())
            continue;
        DrawCaptionButton(b->BtnData, b->BtnData.ImageIndex, b->Enabled());
        DrawTitleGlyph(b, b->BtnData.Rect, b->BtnData.State == 2);
    }
    if (f.MDIButtons)
        DrawMDIButtons(m);
}

// The maximised MDI child's buttons at the right end of the menu line.
void TsSkinProvider::DrawMDIButtons(const TsFrameMetrics& M)
{
    const TsButtonPlaces& l = M.Buttons();
    TsSystemMenu* childMenu = Alive(MaxChildProvider) ? MaxChildProvider->SystemMenu : nullptr;
    Place(MDIMin, l.MDIMin);
    Place(MDIMax, l.MDIMax);
    Place(MDIClose, l.MDIClose);
    int face;
    bool disabled;
    for (int code : {HTMDIMIN, HTMDIMAX, HTMDICLOSE}) {
        TsCaptionButton* b = ButtonByCode(code);
        if (!ButtonFaceOf(code, face, disabled))
            continue;
        const bool enabled = FormActive && !disabled && (code != HTMDIMIN || (childMenu && childMenu->EnabledMin()));
        DrawCaptionButton(*b, face, enabled);
    }
}

// The face a button shows now and whether it is disabled; False for a
// code without button.
bool TsSkinProvider::ButtonFaceOf(int HitCode, int& Face, bool& Disabled)
{
    TsCaptionButton* b = ButtonByCode(HitCode);
    if (!b)
        return false;
    TsSystemMenu* childMenu = Alive(MaxChildProvider) ? MaxChildProvider->SystemMenu : nullptr;
    Disabled = false;
    Face = b->ImageIndex;
    switch (HitCode) {
    case HTMAXBUTTON:
        Face = MaxFace();
        if (Iconic(Form))
            Disabled = SystemMenu && !SystemMenu->EnabledMax();
        else
            Disabled = SystemMenu && !(Zoomed(Form) ? SystemMenu->EnabledRestore() : SystemMenu->EnabledMax());
        break;
    case HTMINBUTTON:
        Face = MinFace();
        if (SystemMenu)
            Disabled = !(Iconic(Form) ? SystemMenu->EnabledRestore() : SystemMenu->EnabledMin());
        break;
    case HTMDIMAX: {
        TForm* active = Form->ActiveMDIChild();
        if (active && active->HandleAllocated() && ::IsZoomed(active->Handle()))
            Face = NormFace(MDIMax);
        Disabled = childMenu && !childMenu->EnabledRestore();
        break;
    }
    case HTMDIMIN:
        Disabled = childMenu && !childMenu->EnabledMin();
        break;
    default:
        if (HitCode >= HTUDBTN)
            Disabled = !FTitleButtons->Items(HitCode - HTUDBTN)->Enabled();
        break;
    }
    return true;
}

// One button's new state into the image, on the background saved before
// the buttons were drawn, and from the image to the window.
void TsSkinProvider::RepaintButton(int HitCode)
{
    TsCaptionButton* b = ButtonByCode(HitCode);
    TBitmap* cache = FCommonData->FCacheBmp;
    if (b && ButtonFades(HitCode)) {
        // The image keeps the button's normal face; the fade shows the new one over it.
        if (b->State >= 0 && !b->Rect.IsEmpty() && Form->HandleAllocated())
            StartSBAnimation(b, b->State, b->State == 2 ? 1 : 10, b->State != 0, this);
        return;
    }
    if (!b)
        return;
    if (b->State < 0) {
        DropGlow(*b);
        return;
    }
    if (b->Rect.IsEmpty() || !cache || !Form->HandleAllocated())
        return;
    if (IconRect().right >= b->Rect.left)
        return;
    int face;
    bool disabled;
    ButtonFaceOf(HitCode, face, disabled);
    if (HitCode == HTMDIMIN && disabled)
        return;
    const TRect& r = b->Rect;
    if (TempBmp && !TempBmp->Empty()) {
        const int stripLeft = cache->Width() - TempBmp->Width() - 1;
        ::BitBlt(DCOf(cache), r.left, r.top, r.Width(), r.Height(), DCOf(TempBmp), r.left - stripLeft, r.top, SRCCOPY);
    }
    TsSkinManager* sm = Manager();
    if (sm->IsValidImgIndex(face)) {
        int mode;
        if (HitCode < HTUDBTN)
            mode = (disabled || b->State == 0) && (disabled || !FormActive) ? 2 : 1;
        else
            mode = b->State == 0 && !FormActive ? 2 : 1;
        DrawSkinGlyph(cache, r.TopLeft(), b->State, mode, sm->ma[std::size_t(face)], MakeCacheInfo(cache));
    }
    if (HitCode >= HTUDBTN)
        DrawTitleGlyph(FTitleButtons->Items(HitCode - HTUDBTN), r, b->State == 2);
    CopyButtonToWindow(r);
    // Painted directly, the button shows its glow only while the mouse is over it.
    const bool glowing = HitCode == HTMINBUTTON || HitCode == HTMAXBUTTON || HitCode == HTCLOSE;
    if (!(b->State == 1 && glowing))
        DropGlow(*b);
}

void TsSkinProvider::DropGlow(TsCaptionButton& Btn)
{
    if (Btn.GlowID >= 0)
        HideGlow(Btn.GlowID);
    Btn.GlowID = -1;
}

// A state change of the button fades (every one but the MDI child's
// buttons) when the manager allows glowing or the form has a border window.
bool TsSkinProvider::ButtonFades(int HitCode)
{
    if (HitCode == HTMDIMIN || HitCode == HTMDIMAX || HitCode == HTMDICLOSE)
        return false;
    TsSkinManager* sm = Manager();
    return BorderForm || (sm && sm->AllowGlowing());
}

int TsSkinProvider::FrameButtonFace(int HitCode)
{
    int face = -1;
    bool disabled = false;
    ButtonFaceOf(HitCode, face, disabled);
    return face;
}

void TsSkinProvider::FrameButtonBackground(const TsCaptionButton& Btn, TBitmap* Dst)
{
    TBitmap* cache = FCommonData->FCacheBmp;
    if (!cache)
        return;
    const TRect& r = Btn.Rect;
    if (TempBmp && !TempBmp->Empty()) {
        const int stripLeft = cache->Width() - TempBmp->Width() - 1;
        ::BitBlt(DCOf(Dst), 0, 0, r.Width(), r.Height(), DCOf(TempBmp), r.left - stripLeft, r.top, SRCCOPY);
    } else {
        ::BitBlt(DCOf(Dst), 0, 0, r.Width(), r.Height(), DCOf(cache), r.left, r.top, SRCCOPY);
    }
}

void TsSkinProvider::FrameButtonGlyph(int HitCode, TBitmap* Dst, bool Pressed)
{
    if (HitCode >= HTUDBTN && HitCode - HTUDBTN < FTitleButtons->Count())
        DrawTitleGlyph(FTitleButtons->Items(HitCode - HTUDBTN), TRect(0, 0, Dst->Width(), Dst->Height()), Pressed, Dst);
}

void TsSkinProvider::CopyButtonToWindow(const TRect& R)
{
    const TsFrameMetrics m = Metrics();
    const TRect& s = m.Facts().Shadow;
    const int x = R.left - s.left - (BorderForm ? m.DiffBorder() : 0);
    const int y = R.top - s.top - (BorderForm ? m.DiffTitle() : 0);
    const HWND wnd = Form->Handle();
    HDC dc = ::GetWindowDC(wnd);
    const int saved = ::SaveDC(dc);
    ::BitBlt(dc, x, y, R.Width(), R.Height(), DCOf(FCommonData->FCacheBmp), R.left, R.top, SRCCOPY);
    ::RestoreDC(dc, saved);
    ::ReleaseDC(wnd, dc);
}

// The mouse is over the button HitCode now (0 or -1: over none).  A button
// that becomes hot asks the system to say when the mouse leaves the frame,
// so that it does not stay lit.
void TsSkinProvider::SetHotHT(int HitCode, bool Repaint)
{
    if (!FDrawNonClientArea)
        return;
    if (HitCode == CurrentHT || (CurrentHT == -1 && HitCode == 0))
        return;
    if (CurrentHT > 0)
        if (TsCaptionButton* old = ButtonByCode(CurrentHT)) {
            if (old->State >= 0)
                old->State = 0;
            if (CurrentHT >= HTUDBTN)
                HideTitleButtonHint(FTitleButtons->Items(CurrentHT - HTUDBTN));
            if (Repaint)
                RepaintButton(CurrentHT);
        }
    CurrentHT = HitCode;
    if (TsCaptionButton* now = ButtonByCode(HitCode)) {
        if (now->State >= 0)
            now->State = 1;
        if (HitCode >= HTUDBTN)
            ShowTitleButtonHint(FTitleButtons->Items(HitCode - HTUDBTN));
        if (Form && Form->HandleAllocated()) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_NONCLIENT, Form->Handle(), 0};
            ::TrackMouseEvent(&tme);
        }
    }
    bBtnPressed = false;
    if (Repaint)
        RepaintButton(CurrentHT);
}

void TsSkinProvider::SetPressedHT(int HitCode)
{
    if (HitCode != CurrentHT && CurrentHT != 0)
        if (TsCaptionButton* old = ButtonByCode(CurrentHT)) {
            if (old->State >= 0)
                old->State = 0;
            RepaintButton(CurrentHT);
        }
    CurrentHT = HitCode;
    TsCaptionButton* b = ButtonByCode(HitCode);
    if (HitCode == HTMAXBUTTON && SystemMenu &&
        !(SystemMenu->EnabledMax() || (Zoomed(Form) && SystemMenu->EnabledRestore()))) {
        CurrentHT = 0;
        return;
    }
    // The child's restore button is pressed as far as the child allows it.
    const bool mdiMaxLocked = HitCode == HTMDIMAX && Alive(MaxChildProvider) && MaxChildProvider->SystemMenu &&
                              !MaxChildProvider->SystemMenu->EnabledRestore();
    if (b && b->State >= 0 && !mdiMaxLocked)
        b->State = 2;
    bBtnPressed = true;
    RepaintButton(CurrentHT);
}

// ---------------------------------------------------------------------------
// Title-button hints.

void ShowTitleButtonHint(TsTitleButton* Button)
{
    HideTitleButtonHint(Button);
    const UnicodeString hint = Button->Hint();
    if (hint.empty())
        return;
    auto* wnd = new THintWindow(Application);
    Button->HintWnd = wnd;
    wnd->SetColor(clInfoBk);
    const TPoint mouse = kvMousePos();
    TRect r = wnd->CalcHintRect(800, hint, nullptr);
    ::OffsetRect(&r, mouse.x + 8, mouse.y + 16);
    TsTitleButtons* owner = dynamic_cast<TsTitleButtons*>(Button->Collection());
    if (owner && owner->FOwner && owner->FOwner->Form && owner->FOwner->Form->HandleAllocated()) {
        const TRect wa = FormWorkArea(owner->FOwner->Form);
        if (r.right > wa.right)
            ::OffsetRect(&r, wa.right - r.right, 0);
        if (r.bottom > wa.bottom)
            ::OffsetRect(&r, 0, wa.bottom - r.bottom);
    }
    r.bottom += 4;
    wnd->SetCaption(hint);
    wnd->SetBoundsRect(r);
    const HWND h = wnd->Handle();
    ::SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    BOOL animate = FALSE, fade = FALSE;
    ::SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animate, 0);
    ::SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    if (hint.size() < 100 && AnimateWindowProc && animate && fade)
        AnimateWindowProc(h, 200, AW_BLEND);
    ::ShowWindow(h, SW_SHOWNOACTIVATE);
    wnd->Invalidate();
}

void HideTitleButtonHint(TsTitleButton* Button)
{
    if (Button->HintWnd) {
        TObject* o = std::exchange(Button->HintWnd, nullptr);
        FreeAndNil(o);
    }
}
