#include "skin/controls/sBitBtn.h"

#include <algorithm>

#include "classlib/controls/ActnList.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/controls/sButton_Layout.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"

TsBitBtn::TsBitBtn(TComponent* AOwner)
    : TBitBtn(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)),
      FFrame(std::make_unique<TsCtrlFrame>(*this)), FCore(std::make_unique<TsPushButtonCore>(*this, *this, *FFrame))
{
    FControlStyle -= csOpaque;
    FCommonData->COC = 94;
    FOldSpacing = Spacing();
    OldLayout = Layout();
    SetWordWrap(true);
}

TsBitBtn::~TsBitBtn()
{
    FFrame->StopFade();
    SetImages(nullptr);
    FCore.reset();
    FFrame.reset();
    FCommonData.reset();
}

void TsBitBtn::AfterConstruction()
{
    TBitBtn::AfterConstruction();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
}

void TsBitBtn::Loaded()
{
    TBitBtn::Loaded();
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    FCommonData->Loaded();
    // The image list wins over the glyph.
    if (ImageValid())
        SetGlyph(nullptr);
}

void TsBitBtn::Notification(TComponent* AComponent, TOperation Operation)
{
    TBitBtn::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

bool TsBitBtn::Skinned() const { return FCommonData && FCommonData->Skinned(true); }

void TsBitBtn::Changed()
{
    if (FCommonData)
        FCommonData->Invalidate();
}

// --- properties

void TsBitBtn::SetDown(bool Value)
{
    if (Value == FCore->Down)
        return;
    FCore->Down = Value;
    FCore->RegionChanged = true;
    FCommonData->BGChanged = true;
    Repaint();
}

void TsBitBtn::SetDisabledKind(TsDisabledKind Value)
{
    if (Value != FFrame->DisabledKind) {
        FFrame->DisabledKind = Value;
        Changed();
    }
}

void TsBitBtn::SetDisabledGlyphKind(TsDisabledGlyphKind Value)
{
    if (Value != FDisabledGlyphKind) {
        FDisabledGlyphKind = Value;
        Changed();
    }
}

void TsBitBtn::SetGrayed(bool Value)
{
    if (Value != FGrayed) {
        FGrayed = Value;
        Changed();
    }
}

void TsBitBtn::SetBlend(int Value)
{
    Value = std::clamp(Value, 0, 100);
    if (Value != FBlend) {
        FBlend = Value;
        Changed();
    }
}

void TsBitBtn::SetTextOffset(int Value)
{
    if (Value != FOffset) {
        FOffset = Value;
        Changed();
    }
}

void TsBitBtn::SetImageIndex(int Value)
{
    if (Value != FImageIndex) {
        FImageIndex = Value;
        Changed();
    }
}

void TsBitBtn::SetImages(TCustomImageList* Value)
{
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    Changed();
}

void TsBitBtn::SetShowCaption(bool Value)
{
    if (Value != FShowCaption) {
        FShowCaption = Value;
        Changed();
    }
}

void TsBitBtn::SetShowFocus(bool Value)
{
    if (Value != FShowFocus) {
        FShowFocus = Value;
        Changed();
    }
}

void TsBitBtn::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Changed();
    }
}

void TsBitBtn::SetDrawOverBorder(bool Value)
{
    if (Value != FDrawOverBorder) {
        FDrawOverBorder = Value;
        Changed();
    }
}

void TsBitBtn::SetTextAlignment(TAlignment Value)
{
    if (Value != FTextAlignment) {
        FTextAlignment = Value;
        Changed();
    }
}

void TsBitBtn::SetReflected(bool Value)
{
    if (Value != FReflected) {
        FReflected = Value;
        Changed();
    }
}

void TsBitBtn::SetButtonStyle(bool ADefault)
{
    TBitBtn::SetButtonStyle(ADefault);
    FCore->IsFocused = ADefault;
    Changed();
}

void TsBitBtn::Invalidate()
{
    if (Layout() != OldLayout && FCommonData) {
        OldLayout = Layout();
        FCommonData->BGChanged = true;
    }
    TBitBtn::Invalidate();
}

bool TsBitBtn::ActionDisabled()
{
    auto* a = dynamic_cast<TCustomAction*>(Action());
    return a && !a->Enabled();
}

void TsBitBtn::ActionChange(TObject* Sender, bool CheckDefaults)
{
    TBitBtn::ActionChange(Sender, CheckDefaults);
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a)
        return;
    if (a->ActionList() && a->ActionList()->Images())
        SetImages(a->ActionList()->Images());
    SetImageIndex(a->ImageIndex());
    if (!ComponentState().Contains(csDestroying) && !ComponentState().Contains(csLoading))
        Changed();
}

// --- geometry

bool TsBitBtn::ImageValid() const
{
    return FImages && FImages->Count() > 0 && FImageIndex >= 0 && FImageIndex < FImages->Count();
}

int TsBitBtn::GlyphWidth()
{
    TBitmap* g = Glyph();
    return BitBtnGlyphSize(ImageValid(), FImages ? TSize(FImages->Width(), FImages->Height()) : TSize(),
                           TSize(g->Width(), g->Height()), NumGlyphs())
        .cx;
}

int TsBitBtn::GlyphHeight()
{
    TBitmap* g = Glyph();
    return BitBtnGlyphSize(ImageValid(), FImages ? TSize(FImages->Width(), FImages->Height()) : TSize(),
                           TSize(g->Width(), g->Height()), NumGlyphs())
        .cy;
}

int TsBitBtn::MaxCaptionWidth()
{
    TsBitBtnGeometry g;
    g.Width = Width();
    g.GlyphWidth = GlyphWidth();
    g.Layout = Layout();
    g.Margin = Margin();
    g.Spacing = Spacing();
    g.ShowCaption = FShowCaption;
    g.HasCaption = !Caption().empty();
    return BitBtnMaxCaptionWidth(g);
}

TSize TsBitBtn::TextRectSize()
{
    // A caption that is not shown takes no room.
    const int w = MaxCaptionWidth();
    if (w == 0)
        return TSize();
    TCanvas* c = FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    TRect r(0, 0, w, 0);
    UINT flags = GetStringFlags(this, FTextAlignment) | DT_CALCRECT | DT_EXPANDTABS;
    if (WordWrap())
        flags |= DT_WORDBREAK;
    kvDrawText(c->Handle(), Caption(), r, flags);
    return TSize(r.Width(), r.Height());
}

TRect TsBitBtn::ImgRect()
{
    TsBitBtnGeometry g;
    g.Width = Width();
    g.Height = Height();
    g.Text = TextRectSize();
    g.GlyphWidth = GlyphWidth();
    g.GlyphHeight = GlyphHeight();
    g.Layout = Layout();
    g.Alignment = FAlignment;
    g.Margin = Margin();
    g.Spacing = Spacing();
    g.ShowCaption = FShowCaption;
    g.HasCaption = !Caption().empty();
    g.Reflected = FReflected;
    g.Pressed = CurrentState() == 2;
    return BitBtnImgRect(g);
}

TRect TsBitBtn::CaptionRect()
{
    TPoint glyphPos;
    TRect r;
    CalcButtonLayout(ClientRect(), TPoint{GlyphWidth(), GlyphHeight()}, TextRectSize(), Layout(), FAlignment,
                     Margin(), Spacing(), glyphPos, r, int(DrawTextBiDiModeFlags(0)));
    return r;
}

TsBtnGlyphInfo TsBitBtn::GlyphInfo()
{
    TsBtnGlyphInfo info;
    info.Glyph = Glyph();
    info.Images = FImages;
    info.ImageIndex = FImageIndex;
    info.ImgRect = ImgRect();
    info.NumGlyphs = NumGlyphs();
    info.Enabled = Enabled() && !ActionDisabled();
    info.Blend = FBlend;
    info.Down = FCore->Down;
    info.Grayed = FGrayed;
    info.State = CurrentState();
    info.DisabledGlyphKind = FDisabledGlyphKind;
    info.Reflected = FReflected;
    info.Skinned = Skinned();
    if (info.Skinned) {
        TsSkinManager* m = FCommonData->GetSkinManager();
        info.SectionColor = m->gd[FCommonData->SkinIndex].Color;
    }
    info.Active = ControlIsActive(FCommonData.get());
    info.Width = Width();
    info.Height = Height();
    info.Cache = FCommonData->FCacheBmp;
    return info;
}

// --- painting

void TsBitBtn::PrepareCache()
{
    TCacheInfo ci = FFrame->BeginCache(false);
    const int state = CurrentState();
    PaintItemBG(FCommonData.get(), ci, state, TRect(0, 0, Width(), Height()), TPoint{Left(), Top()},
                FCommonData->FCacheBmp);
    FCore->NewRegionIfChanged();
    auto content = [&] {
        if (FShowCaption)
            DrawCaption();
        DrawBtnGlyph(this, nullptr);
    };
    if (FDrawOverBorder) {
        FCore->PaintBorder(state);
        content();
    } else {
        content();
        FCore->PaintBorder(state);
    }
    FFrame->EndCache();
}

void TsBitBtn::DoDrawText(TCanvas* Canvas, TRect& R, UINT Flags)
{
    Flags = DrawTextBiDiModeFlags(Flags);
    UnicodeString text = Caption();
    kvWriteTextEx(Canvas, text.c_str(), true, R, Flags, FCommonData.get(), CurrentState() != 0);
}

void TsBitBtn::DrawCaption(TCanvas* Canvas)
{
    TCanvas* c = Canvas ? Canvas : FCommonData->FCacheBmp->Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    TRect r = CaptionRect();
    const bool pressed = CurrentState() == 2;
    if (pressed)
        OffsetRect(&r, 1, 1);
    const UINT flags = GetStringFlags(this, FTextAlignment) | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0);
    if (Skinned()) {
        DoDrawText(c, r, flags);
        TsSkinManager* m = FCommonData->GetSkinManager();
        const bool sectionShowsFocus = m->gd[FCommonData->SkinIndex].ShowFocus;
        if (Enabled() && Focused() && !Caption().empty() && FShowCaption && sectionShowsFocus && FShowFocus) {
            InflateRect(&r, FFocusMargin, FFocusMargin);
            FocusRect(c, r);
        }
        return;
    }
    const UINT f = DrawTextBiDiModeFlags(flags);
    if (Enabled()) {
        kvDrawText(c->Handle(), Caption(), r, f);
        return;
    }
    TRect lit = r;
    OffsetRect(&lit, 1, 1);
    c->Font()->SetColor(clBtnHighlight);
    kvDrawText(c->Handle(), Caption(), lit, f);
    c->Font()->SetColor(clBtnShadow);
    kvDrawText(c->Handle(), Caption(), r, f);
}

bool TsBitBtn::OwnPaintHandler(HDC DC)
{
    if (Spacing() != FOldSpacing) {
        FOldSpacing = Spacing();
        FCommonData->BGChanged = true;
    }
    FCore->PaintHandler(DC);
    return true;
}

void TsBitBtn::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const bool ownGlyph = ImageValid() || Glyph()->PixelFormat() == pf32bit;
    if (Skinned() || !ownGlyph || !dis) {
        TBitBtn::CNDrawItem(Message);
        return;
    }
    StdDrawItem(*dis);
    Message.Result = TRUE;
}

// The classic face with an image-list or 32-bit glyph, which the class
// library's drawing does not know.
void TsBitBtn::StdDrawItem(const DRAWITEMSTRUCT& Dis)
{
    HDC dc = Dis.hDC;
    TRect r = Dis.rcItem;
    const bool pressed = Dis.itemState & ODS_SELECTED;
    const bool focused = FCore->IsFocused || (Dis.itemState & ODS_FOCUS);
    if (focused) {
        GdiObject<HBRUSH> frame(::CreateSolidBrush(RGB(0, 0, 0)));
        ::FrameRect(dc, &r, frame.Get());
        InflateRect(&r, -1, -1);
    }
    if (pressed) {
        GdiObject<HBRUSH> face(::CreateSolidBrush(ColorToRGB(clBtnFace)));
        GdiObject<HBRUSH> shadow(::CreateSolidBrush(ColorToRGB(clBtnShadow)));
        ::FillRect(dc, &r, face.Get());
        ::FrameRect(dc, &r, shadow.Get());
    } else {
        ::DrawFrameControl(dc, &r, DFC_BUTTON,
                           DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Enabled() ? 0 : DFCS_INACTIVE));
    }
    TCanvas canvas;
    canvas.SetHandle(dc);
    DrawCaption(&canvas);
    DrawBtnGlyph(this, &canvas);
    if (Dis.itemState & ODS_FOCUS) {
        TRect fr = Dis.rcItem;
        InflateRect(&fr, -4, -4);
        ::DrawFocusRect(dc, &fr);
    }
    canvas.SetHandle(nullptr);
}

// --- mouse and messages

void TsBitBtn::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && Enabled() && !ComponentState().Contains(csDesigning))
        FCore->MouseDown(Button);
    TBitBtn::MouseDown(Button, Shift, X, Y);
}

void TsBitBtn::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Skinned() && Enabled() && !ComponentState().Contains(csDesigning))
        FCore->MouseUp(Button, true);
    TBitBtn::MouseUp(Button, Shift, X, Y);
}

void TsBitBtn::SkinRemovedAdapt()
{
    FCore->RemoveWindowRegion();
    FCore->RegionChanged = true;
}

bool TsBitBtn::OwnSkinnedMessage(TMessage& Message)
{
    TsCommonData* d = FCommonData.get();
    const bool shown = Visible() || ComponentState().Contains(csDesigning);
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGING:
        FCore->BoundsMayChange(false);
        return false;
    case WM_WINDOWPOSCHANGED:
        FCore->BoundsMayChange(true);
        return false;
    case CN_COMMAND:
    case WM_LBUTTONUP:
        // A click may free the button: nothing of it is touched afterwards.
        if (!CommonWndProc(Message, d))
            TsPushButtonCore::PassOn(*this, *this, Message);
        return true;
    case WM_SETTEXT:
        if (IsShowing()) {
            FFrame->StopFade();
            ::SendMessageW(Handle(), WM_SETREDRAW, 0, 0);
            TBitBtn::WndProc(Message);
            ::SendMessageW(Handle(), WM_SETREDRAW, 1, 0);
            return true;
        }
        return false;
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
        if (shown) {
            Message.Result = 0;
            return true;
        }
        return false;
    case WM_PRINT:
        FCore->RegionChanged = true;
        FCore->PaintHandler(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case CM_DIALOGCHAR:
        if (Message.WParam == VK_SPACE && Enabled() && Focused()) {
            FFrame->StopFade();
            FCore->RegionChanged = true;
            d->BGChanged = true;
            Repaint();
        }
        return false;
    case CM_TEXTCHANGED:
        if (!ComponentState().Contains(csDestroying) && shown) {
            d->Invalidate();
            return true;
        }
        return false;
    case CM_UIACTIVATE:
        d->SetUpdating(false);
        return false;
    case CN_DRAWITEM:
        Message.Result = 1;
        return true;
    case WM_KEYUP:
        if (!TsPushButtonCore::PassOn(*this, *this, Message))
            return true;
        if (Message.WParam == VK_SPACE) {
            FCore->RegionChanged = true;
            d->BGChanged = true;
            Repaint();
        }
        return true;
    }
    return false;
}

void TsBitBtn::AfterInherited(TMessage& Message)
{
    if (Message.Msg == CM_ACTIONUPDATE)
        if (auto* a = dynamic_cast<TCustomAction*>(Action()))
            SetEnabled(a->Enabled());
}

void TsBitBtn::WndProc(TMessage& Message)
{
    TsCommonData* d = FCommonData.get();
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_REFRESH && OwnManagerCommand(Message, d))
        FCore->RegionChanged = true;
    if (d && !Skinned() && Enabled() && !ComponentState().Contains(csDesigning)) {
        if (Message.Msg == CM_MOUSEENTER)
            d->FMouseAbove = true;
        else if (Message.Msg == CM_MOUSELEAVE)
            d->FMouseAbove = false;
    }
    FFrame->WndProc(Message);
}

KV_BEGIN_PUBLISHED(TsBitBtn, TBitBtn)
    B.Object(L"SkinData", &C::SkinData);
    B.Set(L"AnimatEvents", &C::AnimatEvents, &C::SetAnimatEvents, TkvAnimatEvents{aeGlobalDef}.Ord(),
          {L"aeMouseEnter", L"aeMouseLeave", L"aeMouseDown", L"aeMouseUp", L"aeGlobalDef"}, L"TkvAnimatEvents");
    B.Set(L"DisabledKind", &C::DisabledKind, &C::SetDisabledKind, 1, {L"dkBlended", L"dkGrayed"}, L"TsDisabledKind");
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taCenter,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Int(L"Blend", &C::Blend, &C::SetBlend, 0);
    B.Set(L"DisabledGlyphKind", &C::DisabledGlyphKind, &C::SetDisabledGlyphKind, 1, {L"dgBlended", L"dgGrayed"},
          L"TsDisabledGlyphKind");
    B.Bool(L"Down", &C::Down, &C::SetDown, false);
    B.Int(L"FocusMargin", &C::FocusMargin, &C::SetFocusMargin, 1);
    B.Bool(L"Grayed", &C::Grayed, &C::SetGrayed, false);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"Reflected", &C::Reflected, &C::SetReflected, false);
    B.Bool(L"ShowCaption", &C::ShowCaption, &C::SetShowCaption, true);
    B.Bool(L"ShowFocus", &C::ShowFocus, &C::SetShowFocus, true);
    B.Bool(L"DrawOverBorder", &C::DrawOverBorder, &C::SetDrawOverBorder, true);
    B.Int(L"TextOffset", &C::TextOffset, &C::SetTextOffset, 0);
    B.Enum(L"TextAlignment", &C::TextAlignment, &C::SetTextAlignment, taCenter,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Bool(L"WordWrap", &C::WordWrap, &C::SetWordWrap, true);
    B.Event(L"OnPaint", &C::OnPaint, &C::SetOnPaint);
KV_END_PUBLISHED

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterClasses<TsBitBtn>(), true);
} // namespace
