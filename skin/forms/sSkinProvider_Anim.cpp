// The fade of a caption button's state change: a small layered window over
// the button shows the new face (or the glow picture) with a constant alpha
// that rises or falls a step per timer tick.
#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSkinProvider_ExBorders.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr unsigned FadeInterval = 12;  // ms a step

bool GlowingButton(unsigned HitCode)
{
    return HitCode == HTMINBUTTON || HitCode == HTMAXBUTTON || HitCode == HTCLOSE;
}

TRect WindowRectOf(HWND Wnd)
{
    RECT r{};
    if (Wnd)
        ::GetWindowRect(Wnd, &r);
    return TRect(r);
}

// Shows Bmp in the layered window Wnd with the constant alpha Blend.
void ShowLayered(HWND Wnd, TBitmap* Bmp, int Blend)
{
    if (!kvUpdateLayeredWindow)
        return;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(std::clamp(Blend, 0, 255)), AC_SRC_ALPHA};
    SIZE size{Bmp->Width(), Bmp->Height()};
    POINT src{0, 0};
    HDC screen = ::GetDC(nullptr);
    kvUpdateLayeredWindow(Wnd, screen, nullptr, &size, Bmp->Canvas()->Handle(), &src, 0, &blend, ULW_ALPHA);
    ::ReleaseDC(nullptr, screen);
}

// The glow picture into the fade's picture as a layered window takes it:
// the skin keeps its pictures with straight alpha, the window wants the
// colour weighted by it.  A picture without alpha is opaque but for its
// key colour, which shows nothing.
void CopyGlowPicture(TBitmap* Glow, TBitmap* Dst)
{
    ::BitBlt(Dst->Canvas()->Handle(), 0, 0, Dst->Width(), Dst->Height(), Glow->Canvas()->Handle(), 0, 0, SRCCOPY);
    const bool alpha = Glow->PixelFormat() == pf32bit;
    const TBitmapRows src = Glow->Rows(), rows = Dst->Rows();
    const int w = std::min(rows.Width, src.Width), h = std::min(rows.Height, src.Height);
    if (!alpha)
        for (int y = 0; y < h; ++y) {
            uint8_t* p = rows.Row(y);
            for (int x = 0; x < w; ++x, p += 4) {
                const bool key = p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF;
                p[3] = key ? 0 : 255;
            }
        }
    WeightByAlpha(Dst, TRect(0, 0, w, h));
}

} // namespace

TkvSBAnimation::TkvSBAnimation(TkvFrameOwner* AOwner) : TTimer(nullptr), Owner(AOwner)
{
    SetEnabled(false);
    SetOnTimer(Bind(this, &TkvSBAnimation::OnAnimTimer));
}

TkvSBAnimation::~TkvSBAnimation()
{
    SetEnabled(false);
    FreeWindow();
    if (PBtnData && PBtnData->Timer == this)
        PBtnData->Timer = nullptr;
}

void TkvSBAnimation::FreeWindow()
{
    FreeAndNil(AForm);
    FreeAndNil(ABmp);
}

int TkvSBAnimation::Step() const
{
    // No steps (or a negative count) fades nothing.
    if (MaxIterations <= 0)
        return 0;
    return std::max(0, 255 / MaxIterations);
}

int TkvSBAnimation::Offset()
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm || !sm->AllowGlowing() || CurrentState != 1 || !PBtnData || !sm->SkinData)
        return 0;
    switch (PBtnData->HitCode) {
    case HTMINBUTTON: return sm->SkinData->BIMinGlowMargin;
    case HTMAXBUTTON: return sm->SkinData->BIMaxGlowMargin;
    case HTCLOSE: return sm->SkinData->BICloseGlowMargin;
    default: return 0;
    }
}

// The glow image of the button's mask in "GLOBALINFO" (-1 none).
int TkvSBAnimation::GlowMask()
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!sm || !PBtnData || !sm->IsValidImgIndex(PBtnData->ImageIndex))
        return -1;
    const UnicodeString name = sm->ma[std::size_t(PBtnData->ImageIndex)].PropertyName + L"GLOW0";
    const int mask = sm->GetMaskIndex(sm->ConstData.IndexGLobalInfo, s_GlobalInfo, name);
    return sm->IsValidImgIndex(mask) && sm->ma[std::size_t(mask)].Bmp ? mask : -1;
}

bool TkvSBAnimation::Glowing()
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    return sm && sm->AllowGlowing() && CurrentState == 1 && PBtnData && GlowingButton(PBtnData->HitCode) &&
           GlowMask() >= 0;
}

TRect TkvSBAnimation::GetFormBounds()
{
    TRect r = WindowRectOf(BorderForm ? BorderForm->Handle() : FormHandle);
    if (!PBtnData)
        return TRect(r.left, r.top, r.left, r.top);
    ::OffsetRect(&r, PBtnData->Rect.left, PBtnData->Rect.top);
    const int offset = Offset();
    const int glow = offset != 0 ? GlowMask() : -1;
    if (glow >= 0) {
        ::OffsetRect(&r, -offset, -offset);
        const TRect& g = SkinData->GetSkinManager()->ma[std::size_t(glow)].R;
        return TRect(r.left, r.top, r.left + g.Width(), r.top + g.Height());
    }
    return TRect(r.left, r.top, r.left + std::max<int>(0, PBtnData->Rect.Width()),
                 r.top + std::max<int>(0, PBtnData->Rect.Height()));
}

void TkvSBAnimation::MakeImg()
{
    if (CurrentState == 0 && ABmp)
        return;
    const TRect r = GetFormBounds();
    if (!ABmp)
        ABmp = new TBitmap(std::max<int>(1, r.Width()), std::max<int>(1, r.Height()), pf32bit);
    if (!PBtnData || !Owner)
        return;
    if (Glowing()) {
        CopyGlowPicture(SkinData->GetSkinManager()->ma[std::size_t(GlowMask())].Bmp, ABmp);
        return;
    }
    Owner->FrameButtonBackground(*PBtnData, ABmp);
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    const int face = Owner->FrameButtonFace(int(PBtnData->HitCode));
    if (sm && sm->IsValidImgIndex(face))
        DrawSkinGlyph(ABmp, TPoint{0, 0}, std::max(0, PBtnData->State), 1, sm->ma[std::size_t(face)],
                      MakeCacheInfo(ABmp));
    Owner->FrameButtonGlyph(int(PBtnData->HitCode), ABmp, PBtnData->State == 2);
    // The button lies on the opaque frame: its picture is opaque.
    FillAlphaRect(ABmp, TRect(0, 0, ABmp->Width(), ABmp->Height()), 255);
}

void TkvSBAnimation::MakeForm()
{
    if (AForm)
        return;
    AForm = TForm::CreateNew(nullptr);
    AForm->SetTag(-98);
    AForm->SetVisible(false);
    AForm->SetBorderStyle(bsNone);
    const HWND h = AForm->Handle();
    ::SetWindowLongW(h, GWL_EXSTYLE,
                     ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT);
}

void TkvSBAnimation::UpdateForm(int Blend)
{
    ShownBlend = Blend;
    if (!FormHandle || !::IsWindow(FormHandle)) {
        // The owner's window went: nothing is left to show over.
        SetEnabled(false);
        FreeWindow();
        return;
    }
    if (!ABmp)
        MakeImg();
    MakeForm();
    TRect r = GetFormBounds();
    if (r.Width() != ABmp->Width())
        ::InflateRect(&r, (ABmp->Width() - r.Width()) / 2, (ABmp->Height() - r.Height()) / 2);
    const HWND above = ::GetWindow(BorderForm ? BorderForm->Handle() : FormHandle, GW_HWNDPREV);
    const HWND h = AForm->Handle();
    OwnLikeForm(h, FormHandle);
    ::SetWindowPos(h, nullptr, r.left, r.top, ABmp->Width(), ABmp->Height(),
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    ::SetWindowPos(h, above, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    ::SetWindowLongW(h, GWL_EXSTYLE,
                     ::GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    ShowLayered(h, ABmp, Blend);
    ::ShowWindow(h, SW_SHOWNOACTIVATE);
}

void TkvSBAnimation::StartAnimation(int NewState, bool ToUp)
{
    if (NewState == CurrentState)
        return;
    CurrentState = NewState;
    if (NewState != 0) {
        if (NewState == 2)
            FreeWindow();
        CurrentLevel = 1;
        Up = ToUp;
        UpdateForm(std::min(Step(), 255));
        ++CurrentLevel;
    } else {
        Up = false;
        --CurrentLevel;
        UpdateForm(std::min(Step(), 255));
    }
    SetEnabled(MaxIterations > 1);
}

void TkvSBAnimation::ChangeState(int, bool ToUp)
{
    Up = ToUp;
    SetEnabled(true);
}

void TkvSBAnimation::OnAnimTimer(TObject*)
{
    if (Up) {
        if (CurrentLevel < MaxIterations) {
            UpdateForm(std::clamp(Step() * CurrentLevel, 0, 255));
            ++CurrentLevel;
            return;
        }
        const bool first = MaxIterations != -1;
        if (first) {
            MaxIterations = -1;
            UpdateForm(255);
        }
        // Last: telling the owner may free this animation.
        CheckMouseLeave();
        return;
    }
    if (CurrentLevel > 0) {
        UpdateForm(std::clamp(Step() * CurrentLevel, 0, 255));
        --CurrentLevel;
        return;
    }
    CurrentState = -1;
    SetEnabled(false);
    UpdateForm(0);
    FreeWindow();
}

void TkvSBAnimation::CheckMouseLeave()
{
    if (!PBtnData || !FormHandle)
        return;
    const TRect w = WindowRectOf(BorderForm ? BorderForm->Handle() : FormHandle);
    const TPoint p = kvMousePos();
    const POINT local{p.x - w.left, p.y - w.top};
    if (::PtInRect(&PBtnData->Rect, local))
        return;
    SetEnabled(false);
    // The owner answers by fading the button out, or may free it all.
    ::SendMessageW(FormHandle, WM_MOUSELEAVE, 0, 0);
}

void StartSBAnimation(TsCaptionButton* Btn, int State, int Iterations, bool Up, TkvFrameOwner* Owner)
{
    if (!Btn || !Owner)
        return;
    if (auto* anim = dynamic_cast<TkvSBAnimation*>(Btn->Timer)) {
        if (Up) {
            // Another face fades in: its picture is made again.
            if (State != anim->CurrentState && State != 2)
                FreeAndNil(anim->ABmp);
            anim->CurrentState = State;
        }
        anim->MaxIterations = Iterations;
        anim->Up = Up;
        anim->SetEnabled(true);
        if (State == 2) {
            anim->CurrentLevel = Iterations;
            FreeAndNil(anim->ABmp);
            FreeAndNil(anim->AForm);
            anim->MakeForm();
            anim->MakeImg();
        }
        return;
    }
    // A new fade.  No messages are pumped here: this runs inside the
    // owner's hit test, which must find its button and itself alive after.
    auto* anim = new TkvSBAnimation(Owner);
    anim->BorderForm = Owner->FrameBorderForm();
    anim->FormHandle = Owner->FrameHandle();
    anim->SkinData = Owner->FrameSkinData();
    anim->PBtnData = Btn;
    anim->MaxIterations = Iterations;
    anim->SetInterval(FadeInterval);
    Btn->Timer = anim;
    anim->StartAnimation(State, true);
}

void KillAnimation(TsCaptionButton& Btn)
{
    if (TObject* t = Btn.Timer) {
        Btn.Timer = nullptr;
        delete t;
    }
}
