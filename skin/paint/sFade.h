// sFade: the change of a skinned control's look (normal, hot, pressed) shown
// as a short cross-fade from the old cached picture to the new one, one
// frame per 10 ms tick of a class-library timer.
#pragma once

#include "classlib/controls/ExtCtrls.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sConst.h"

class TsCommonData;
class TsSkinManager;

// The fade of a button, check box or radio button: each frame is painted on
// the control's window, or handed to the control (SMC_FADE_FRAME).
class TsFadeTimer : public TTimer {
    KV_CLASS(TsFadeTimer)
public:
    explicit TsFadeTimer(TComponent* AOwner);
    ~TsFadeTimer() override;

    TFadeDirection Direction() const { return FDirection; }
    // Runs exactly while the direction is not fdNone.
    void SetDirection(TFadeDirection Value);
    TsCommonData* OwnerData() const { return FOwnerData; }
    // Binds the control, keeps its present picture and counts the frames.
    void SetOwnerData(TsCommonData* Value);
    // Paints one frame.
    void Change();
    // The fade is over (and the control was told so).
    bool ToEnd();
    // One tick; public so that a fade can be stepped without a clock.
    void Timer() override;

    TFadeDirection FDirection = fdNone;
    TsCommonData* FOwnerData = nullptr;
    int Iterations = 0;
    int FadeLevel = 0;
    TBitmap* BmpFrom;  // owned: the look before the change
    TBitmap* Shown;    // owned: the last frame painted (empty when none)

private:
    void Idle(TObject*) {}
    void PaintFrame(TBitmap* Frame);
    // The control shows its cached look, once a fade ends without its last frame.
    void ShowFinalLook();
    bool FFinalShown = false;
};

// The fade of a speed button: the frame is kept in TmpBmp, which the button
// paints while it fades.
class TsAnimTimer : public TTimer {
    KV_CLASS(TsAnimTimer)
public:
    explicit TsAnimTimer(TComponent* AOwner);
    ~TsAnimTimer() override;

    void SetOwnerData(TsCommonData* Value);
    // Makes one frame in TmpBmp and has the control repaint.
    void DoFade();
    void Repaint();
    bool ToEnd();
    void Timer() override;

    bool FadeInProcess = false;
    TBitmap* BmpFrom;  // owned
    TBitmap* TmpBmp;   // owned: the frame shown now
    TsCommonData* FOwnerData = nullptr;
    int Iterations = 0;
    int FadeLevel = 0;

private:
    void Idle(TObject*) {}
};

// The weight of the old picture in frame Level of Iterations.
int FadeWeight(int Level, int Iterations);
// Whether a mouse event is animated (SkinManager nil: DefaultManager).
bool EventEnabled(TkvAnimatEvent Event, TkvAnimatEvents CurrentProperty, TsSkinManager* SkinManager = nullptr);
// Repaints a control after its state changed, faded where allowed.
void DoChangePaint(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Clicked, bool AllowAnimation,
                   TFadeDirection Direction);
// Starts or restarts a fade.
void AnimChange(TsFadeTimer*& Timer, TsCommonData* SkinData, bool Clicked, TFadeDirection Direction);
// Stops and frees a fade timer; the variable becomes nil.
void StopFading(TsFadeTimer*& Timer, TsCommonData* SkinData);
