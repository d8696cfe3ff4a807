#include "skin/paint/sFade.h"

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// The section of a skinned control; nullptr when it has none.
const TsGeneralData* SectionOf(TsCommonData* SkinData)
{
    if (!SkinData)
        return nullptr;
    TsSkinManager* m = SkinData->GetSkinManager();
    return m && m->IsValidSkinIndex(SkinData->SkinIndex) ? &m->gd[size_t(SkinData->SkinIndex)] : nullptr;
}

bool FadingEnabled(TsCommonData* SkinData)
{
    const TsGeneralData* s = SectionOf(SkinData);
    return s && s->FadingEnabled;
}

int FadingIterations(TsCommonData* SkinData)
{
    const TsGeneralData* s = SectionOf(SkinData);
    return s ? s->FadingIterations : 0;
}

bool IsDestroying(TComponent* C)
{
    return C && C->ComponentState().Contains(csDestroying);
}

// The control of a fade, when it is there and not going away.
TControl* LiveControl(TsCommonData* SkinData)
{
    TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
    return c && !IsDestroying(c) ? c : nullptr;
}

bool Terminating()
{
    return Application && Application->Terminated();
}

LRESULT Command(TControl* Control, int Cmd, LPARAM LParam = 0)
{
    return Control->Perform(SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
}

// Old and new pictures mixed by the weight of frame Level; nullptr when the
// two pictures no longer match (the control was resized meanwhile).
TBitmap* MakeFrame(TBitmap* From, TBitmap* To, int Level, int Iterations)
{
    if (!To || From->Empty() || From->Width() != To->Width() || From->Height() != To->Height() ||
        From->PixelFormat() != To->PixelFormat())
        return nullptr;
    TOwned<TBitmap> frame(New<TBitmap>());
    const int weight = FadeWeight(Level, Iterations);
    // The last frame is the new picture itself, not a mix that rounds short of it.
    frame->Assign(weight == 0 ? To : From);
    frame->SetHandleType(bmDIB);
    if (weight == 0)
        return frame.release();
    TsColor w;
    w.I = 0;
    w.R = w.G = w.B = uint8_t(weight);
    SumBitmaps(frame.get(), To, w);
    return frame.release();
}

// The magnifier shows what the screen shows.
void RefreshMagnifier()
{
    if (kvMagnForm && kvMagnForm->HandleAllocated())
        ::SendMessageW(kvMagnForm->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), 0);
}

} // namespace

int FadeWeight(int Level, int Iterations)
{
    return Iterations == 0 ? 0 : IntToByte(255 - Level * 256 / Iterations);
}

// ---------------------------------------------------------------------------
TsFadeTimer::TsFadeTimer(TComponent* AOwner) : TTimer(AOwner), BmpFrom(New<TBitmap>()), Shown(New<TBitmap>())
{
    SetEnabled(false);
    SetOnTimer(Bind(this, &TsFadeTimer::Idle));
}

TsFadeTimer::~TsFadeTimer()
{
    SetEnabled(false);
    FreeAndNil(BmpFrom);
    FreeAndNil(Shown);
}

void TsFadeTimer::SetDirection(TFadeDirection Value)
{
    FDirection = Value;
    SetEnabled(Value != fdNone);
}

void TsFadeTimer::SetOwnerData(TsCommonData* Value)
{
    FOwnerData = Value;
    FFinalShown = false;
    if (!Value)
        return;
    if (Value->BGChanged && (!Value->FCacheBmp || Value->FCacheBmp->Empty()) && Value->FOwnerControl)
        Command(Value->FOwnerControl, SMC_PREPARE_CACHE);
    // A fade turned back midway starts from the frame on the screen, not
    // from the look it was heading for.
    if (!Shown->Empty() && Value->FCacheBmp && Shown->Width() == Value->FCacheBmp->Width() &&
        Shown->Height() == Value->FCacheBmp->Height())
        BmpFrom->Assign(Shown);
    else if (Value->FCacheBmp)
        BmpFrom->Assign(Value->FCacheBmp);
    else
        BmpFrom->SetSize(0, 0);
    Shown->SetSize(0, 0);
    SetInterval(10);
    const int full = FadingIterations(Value);
    Iterations = FDirection == fdUp ? FadeLevel : FDirection == fdDown ? full - FadeLevel : full;
}

void TsFadeTimer::Timer()
{
    if (!FOwnerData || IsDestroying(this) || ToEnd())
        return;
    if (FDirection == fdUp || FDirection == fdDown)
        Change();
}

bool TsFadeTimer::ToEnd()
{
    TControl* c = LiveControl(FOwnerData);
    if (!c || Terminating()) {
        SetDirection(fdNone);
        return false;
    }
    if (FadeLevel >= 0 && FadeLevel <= Iterations)
        return false;
    // The fade is over: the timer stops itself, so that a control that does
    // not stop it (or fails to) leaves no timer ticking.
    SetDirection(fdNone);
    ShowFinalLook();
    try {
        Command(c, SMC_STOP_FADING);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

void TsFadeTimer::ShowFinalLook()
{
    if (FFinalShown || !FOwnerData)
        return;
    FFinalShown = true;
    if (TControl* c = LiveControl(FOwnerData))
        c->Invalidate();
}

void TsFadeTimer::Change()
{
    TControl* c = LiveControl(FOwnerData);
    if (!c || Iterations == 0)
        return;
    if (!c->Enabled()) {
        SetEnabled(false);
        Iterations = 0;
        FOwnerData->Invalidate();
        return;
    }
    // The next tick shows the next frame, also when painting this one fails.
    struct NextLevel {
        int& Level;
        ~NextLevel() { ++Level; }
    } next{FadeLevel};
    TOwned<TBitmap> frame(MakeFrame(BmpFrom, FOwnerData->FCacheBmp, FadeLevel, Iterations));
    if (frame) {
        PaintFrame(frame.get());
        Shown->Assign(frame.get());
    }
    if (FadeLevel >= Iterations)
        FFinalShown = frame != nullptr;
}

void TsFadeTimer::PaintFrame(TBitmap* Frame)
{
    TControl* c = FOwnerData->FOwnerControl;
    if (Command(c, SMC_FADE_FRAME, reinterpret_cast<LPARAM>(Frame)) == 0) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && w->HandleAllocated() && LiveControl(FOwnerData)) {
            WindowDC dc(w->Handle());
            SavedDC saved(dc);
            ::BitBlt(dc, 0, 0, Frame->Width(), Frame->Height(), Frame->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
    }
    RefreshMagnifier();
}

// ---------------------------------------------------------------------------
TsAnimTimer::TsAnimTimer(TComponent* AOwner) : TTimer(AOwner), BmpFrom(New<TBitmap>()), TmpBmp(New<TBitmap>())
{
    SetEnabled(false);
    SetOnTimer(Bind(this, &TsAnimTimer::Idle));
}

TsAnimTimer::~TsAnimTimer()
{
    SetEnabled(false);
    FreeAndNil(BmpFrom);
    FreeAndNil(TmpBmp);
}

void TsAnimTimer::SetOwnerData(TsCommonData* Value)
{
    FOwnerData = Value;
    SetInterval(10);
    Iterations = FadingIterations(Value);
}

void TsAnimTimer::Timer()
{
    if (!IsDestroying(this) && !ToEnd())
        DoFade();
}

bool TsAnimTimer::ToEnd()
{
    TControl* c = LiveControl(FOwnerData);
    if (IsDestroying(this) || !c || Terminating())
        return true;
    if (FadeLevel >= 0 && FadeLevel <= Iterations)
        return false;
    SetEnabled(false);  // no ticks after the end, whatever the control does
    try {
        Command(c, SMC_STOP_FADING);
    } catch (const Exception&) {
    }
    return true;
}

void TsAnimTimer::DoFade()
{
    if (!FadeInProcess && LiveControl(FOwnerData) && Iterations != 0 && FadeLevel >= 0) {
        FadeInProcess = true;
        try {
            TOwned<TBitmap> frame(MakeFrame(BmpFrom, FOwnerData->FCacheBmp, FadeLevel, Iterations));
            if (frame)
                TmpBmp->Assign(frame.get());
            Repaint();
            RefreshMagnifier();
        } catch (...) {
            ++FadeLevel;
            FadeInProcess = false;
            throw;
        }
        FadeInProcess = false;
    }
    ++FadeLevel;
}

void TsAnimTimer::Repaint()
{
    if (TControl* c = LiveControl(FOwnerData)) {
        Command(c, SMC_SET_UPDATING);
        Command(c, SMC_REPAINT_NOW);
    }
}

// ---------------------------------------------------------------------------
bool EventEnabled(TkvAnimatEvent Event, TkvAnimatEvents CurrentProperty, TsSkinManager* SkinManager)
{
    if (CurrentProperty.Contains(Event))
        return true;
    if (!CurrentProperty.Contains(aeGlobalDef))
        return false;
    TsSkinManager* m = SkinManager ? SkinManager : DefaultManager;
    return m && m->AnimEffects() && m->AnimEffects()->Buttons() &&
           m->AnimEffects()->Buttons()->Events.Contains(kvBtnEvents[Event]);
}

void DoChangePaint(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Clicked, bool AllowAnimation,
                   TFadeDirection Direction)
{
    if (!SkinData || !SkinData->Skinned())
        return;
    const bool fade = AllowAnimation && !aSkinChanging && FadingEnabled(SkinData) && !FadingForbidden &&
                      SkinData->FCacheBmp && !SkinData->BGChanged;
    SkinData->BGChanged = true;
    if (fade) {
        AnimChange(Timer, SkinData, Clicked, Direction);
    } else {
        StopFading(Timer, SkinData);
        if (TControl* c = LiveControl(SkinData))
            c->Repaint();
    }
    ShowGlowingIfNeeded(SkinData, Clicked);
}

void AnimChange(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Clicked, TFadeDirection Direction)
{
    if (!FadingEnabled(SkinData))
        return;
    if (!Timer) {
        Timer = New<TsFadeTimer>(SkinData->FOwnerControl);
        Timer->FadeLevel = 1;
    } else {
        Timer->FadeLevel = FadingIterations(SkinData);
    }
    Timer->SetOwnerData(SkinData);
    if (Clicked)
        Timer->Iterations /= 2;
    if (Timer->FadeLevel >= Timer->Iterations || Timer->FadeLevel <= 0)
        Timer->FadeLevel = 1;
    if (SkinData->FOwnerControl)
        Command(SkinData->FOwnerControl, SMC_PREPARE_CACHE);
    Timer->SetDirection(Direction);
}

void StopFading(TsFadeTimer*& Timer, TsCommonData*)
{
    if (!Timer || IsDestroying(Timer))
        return;
    Timer->SetEnabled(false);
    Timer->SetDirection(fdNone);
    FreeAndNil(Timer);
}
