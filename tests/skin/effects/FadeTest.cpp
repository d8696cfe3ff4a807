// Fades stepped by hand (the timers' ticks are called directly): frame
// weights, frame counts, reversal, stopping, failures while stopping, the
// speed-button timer, which mouse events fade, and no leak over many fades.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/controls/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/paint/sFade.h"
#include "skin/paint/sGraphUtils.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

constexpr uint8_t kOld = 255, kNew = 0;

// A skinned control whose cache holds a grey of kOld until it is asked to
// prepare its cache, then kNew; it records the frames it is handed.
class TFadeControl : public TCustomControl {
    KV_CLASS(TFadeControl)
public:
    explicit TFadeControl(TComponent* AOwner) : TCustomControl(AOwner), SkinData(new TsCommonData(this, true))
    {
        SetBounds(0, 0, 8, 8);
    }
    ~TFadeControl() override
    {
        StopFading(Timer, SkinData);
        delete SkinData;
    }
    TsCommonData* SkinData;
    TsFadeTimer* Timer = nullptr;
    std::vector<int> Frames;  // the red byte of each frame
    std::vector<int> Commands;
    LRESULT FrameAnswer = 1;
    uint8_t Look = kNew;  // what preparing the cache draws
    bool FailFrame = false;
    std::function<void()> OnStop = [this] { StopFading(Timer, SkinData); };

    void Fill(uint8_t V)
    {
        SkinData->FCacheBmp->SetPixelFormat(pf24bit);
        SkinData->FCacheBmp->SetSize(8, 8);
        FillDC(SkinData->FCacheBmp->Canvas()->Handle(), TRect(0, 0, 8, 8), TColor(V | V << 8 | V << 16));
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg != SM_KORVEXCMD) {
            TCustomControl::WndProc(Message);
            return;
        }
        const int cmd = HIWORD(Message.WParam);
        Commands.push_back(cmd);
        Message.Result = 0;
        if (cmd == SMC_PREPARE_CACHE)
            Fill(Look);
        else if (cmd == SMC_FADE_FRAME) {
            if (FailFrame)
                throw Exception(L"frame refused");
            Frames.push_back(PixelOf(reinterpret_cast<TBitmap*>(Message.LParam), 0, 0).R);
            Message.Result = FrameAnswer;
        } else if (cmd == SMC_STOP_FADING)
            OnStop();
    }
    int Count(int Cmd) const { return int(std::count(Commands.begin(), Commands.end(), Cmd)); }
};

struct FadeFixture : ::testing::Test {
    TsSkinManager* manager = New<TsSkinManager>(nullptr);
    TOwned<TForm> form{TForm::CreateNew(nullptr)};
    TFadeControl* control;

    FadeFixture()
    {
        TsGeneralData g;
        g.ClassName = L"BUTTON";
        g.FadingEnabled = true;
        g.FadingIterations = 10;
        manager->gd.push_back(g);
        form->SetBounds(0, 0, 100, 100);
        control = New<TFadeControl>(form.get());
        control->SetParent(form.get());
        control->SkinData->SetSkinManager(manager);
        control->SkinData->SetSkinSection(L"BUTTON");
        Reset();
    }
    ~FadeFixture() override
    {
        form.reset();
        FreeAndNil(manager);
    }
    // The control shows its old look, drawn and up to date.
    void Reset()
    {
        control->Fill(kOld);
        control->SkinData->BGChanged = false;
        control->Frames.clear();
        control->Commands.clear();
    }
    // Ticks until the timer is gone or stopped, or Max ticks passed; the ticks made.
    int Run(int Max = 100)
    {
        int n = 0;
        while (control->Timer && control->Timer->Enabled() && n < Max) {
            control->Timer->Timer();
            ++n;
        }
        return n;
    }
    void Change(bool Clicked, TFadeDirection Direction = fdUp)
    {
        DoChangePaint(control->Timer, control->SkinData, Clicked, true, Direction);
    }
};

std::vector<int> Weights(int Iterations)
{
    std::vector<int> w;
    for (int level = 1; level <= Iterations; ++level)
        w.push_back(FadeWeight(level, Iterations));
    return w;
}

} // namespace

TEST(FadeWeights, FollowTheFrameNumber)
{
    EXPECT_EQ(Weights(10), (std::vector<int>{230, 204, 179, 153, 127, 102, 76, 51, 25, 0}));
    EXPECT_EQ(Weights(5), (std::vector<int>{204, 153, 102, 51, 0}));
    EXPECT_EQ(FadeWeight(1, 0), 0);
}

TEST_F(FadeFixture, AFadeShowsEveryFrameThenAsksToStop)
{
    for (bool clicked : {false, true}) {
        Reset();
        Change(clicked);
        ASSERT_TRUE(control->Timer);
        EXPECT_TRUE(control->Timer->Enabled());
        EXPECT_EQ(control->Timer->Interval(), 10u);
        EXPECT_EQ(Run(), clicked ? 6 : 11) << "frames and the tick that ends the fade";
        ASSERT_EQ(control->Frames.size(), clicked ? 5u : 10u);
        // Each frame mixes the kept old picture with the new one afresh.
        std::vector<int> expected;
        for (int w : Weights(clicked ? 5 : 10))
            expected.push_back((kOld * w + 127) >> 8);
        EXPECT_EQ(control->Frames, expected);
        EXPECT_EQ(control->Count(SMC_STOP_FADING), 1);
        EXPECT_TRUE(control->SkinData->BGChanged);
    }
}

TEST_F(FadeFixture, NoFadeWhereItIsNotAllowed)
{
    struct Case {
        const char* What;
        std::function<void()> Set, Undo;
    } cases[] = {
        {"skin changing", [] { aSkinChanging = true; }, [] { aSkinChanging = false; }},
        {"forbidden", [] { FadingForbidden = true; }, [] { FadingForbidden = false; }},
        {"cache out of date", [this] { control->SkinData->BGChanged = true; }, [] {}},
        {"section without fading", [this] { manager->gd[0].FadingEnabled = false; },
         [this] { manager->gd[0].FadingEnabled = true; }},
    };
    for (const Case& c : cases) {
        Reset();
        c.Set();
        Change(false);
        c.Undo();
        EXPECT_FALSE(control->Timer) << c.What;
        EXPECT_TRUE(control->Frames.empty()) << c.What;
        EXPECT_TRUE(control->SkinData->BGChanged) << c.What;
    }
    Reset();
    DoChangePaint(control->Timer, control->SkinData, false, false, fdUp);
    EXPECT_FALSE(control->Timer) << "animation not allowed by the caller";
}

TEST_F(FadeFixture, ControlThatPaintsNothingGetsTheFramePaintedForIt)
{
    control->FrameAnswer = 0;
    form->Show();
    Change(false);
    // The window shows each frame: blue before, the first frame's grey after.
    auto windowPixel = [this] {
        HDC dc = ::GetWindowDC(control->Handle());
        const COLORREF c = ::GetPixel(dc, 2, 2);
        ::ReleaseDC(control->Handle(), dc);
        return c;
    };
    {
        HDC dc = ::GetWindowDC(control->Handle());
        FillDC(dc, TRect(0, 0, 8, 8), TColor(0xFF0000));
        ::ReleaseDC(control->Handle(), dc);
    }
    ASSERT_EQ(windowPixel(), COLORREF(0xFF0000));
    control->Timer->Timer();
    const int first = (kOld * FadeWeight(1, 10) + 127) >> 8;
    EXPECT_EQ(windowPixel(), COLORREF(first | first << 8 | first << 16));
    Run();
    EXPECT_EQ(control->Frames.size(), 10u);
    EXPECT_EQ(windowPixel(), COLORREF(kNew | kNew << 8 | kNew << 16)) << "the last frame";
    EXPECT_FALSE(control->Timer);
}

TEST_F(FadeFixture, ReversalRestartsAndAlwaysEndsOnTheNewLook)
{
    form->Show();
    Change(false, fdUp);
    for (int i = 0; i < 3; ++i)
        control->Timer->Timer();
    // Back while fading up: a full fade from the first frame.
    Reset();
    Change(false, fdDown);
    ASSERT_TRUE(control->Timer);
    EXPECT_EQ(control->Timer->FadeLevel, 1);
    EXPECT_EQ(control->Timer->Iterations, 10);
    control->Timer->Timer();
    // Reversed again while fading down: no frames are left, and the control
    // is repainted with its new look instead of keeping the last frame.
    Reset();
    ::ValidateRect(control->Handle(), nullptr);
    Change(false, fdUp);
    ASSERT_TRUE(control->Timer);
    EXPECT_EQ(control->Timer->Iterations, 0);
    Run();
    EXPECT_TRUE(control->Frames.empty());
    EXPECT_FALSE(control->Timer);
    EXPECT_TRUE(::GetUpdateRect(control->Handle(), nullptr, FALSE)) << "the control repaints";
}

// Turned back midway, a fade goes on from the frame the screen shows, and
// every fade ends on the new look exactly.
TEST_F(FadeFixture, AReversedFadeGoesOnFromTheScreenAndEndsOnTheNewLook)
{
    form->Show();
    Change(false, fdUp);
    for (int i = 0; i < 5; ++i)
        control->Timer->Timer();
    ASSERT_EQ(control->Frames.back(), (kOld * 127 + 127) >> 8) << "halfway";
    const int screen = control->Frames.back();
    control->Frames.clear();
    control->SkinData->BGChanged = false;  // the control has painted meanwhile
    control->Look = kOld;                  // back to the old look
    Change(false, fdDown);
    Run();
    ASSERT_FALSE(control->Frames.empty());
    EXPECT_NEAR(control->Frames.front(), screen, 15) << "no jump";
    EXPECT_TRUE(std::is_sorted(control->Frames.begin(), control->Frames.end()));
    EXPECT_EQ(control->Frames.back(), kOld);

    // From black to white: the last frame is white, not a rounding short of it.
    Reset();
    control->Fill(0);
    control->Look = 255;
    Change(false);
    Run();
    ASSERT_EQ(control->Frames.size(), 10u);
    EXPECT_EQ(control->Frames.back(), 255);
}

TEST_F(FadeFixture, AnEndedFadeStopsTicksEvenWhenTheControlDoesNotStopIt)
{
    int stops = 0;
    for (bool raises : {false, true}) {
        Reset();
        control->OnStop = [&stops, raises] {
            ++stops;
            if (raises)
                throw Exception(L"refused");
        };
        Change(false);
        EXPECT_EQ(Run(30), 11);
        ASSERT_TRUE(control->Timer) << "the timer stays with the control";
        EXPECT_FALSE(control->Timer->Enabled()) << "but ticks no more";
        EXPECT_EQ(control->Frames.size(), 10u);
        control->OnStop = [this] { StopFading(control->Timer, control->SkinData); };
        StopFading(control->Timer, control->SkinData);
    }
    EXPECT_EQ(stops, 2) << "told once each";
}

TEST_F(FadeFixture, FailedFramesStillMoveTheFadeOnToItsEnd)
{
    form->Show();
    control->FailFrame = true;
    Change(false);
    const TResourceCount before = CountResources();
    for (int level = 1; level <= 10; ++level) {
        EXPECT_THROW(control->Timer->Timer(), Exception);
        EXPECT_EQ(control->Timer->FadeLevel, level + 1);
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources())) << "no frame bitmap or window DC left behind";
    // No frame reached the screen: the control shows its new look instead.
    ::ValidateRect(control->Handle(), nullptr);
    control->Timer->Timer();
    EXPECT_FALSE(control->Timer);
    EXPECT_TRUE(::GetUpdateRect(control->Handle(), nullptr, FALSE));
}

TEST_F(FadeFixture, SectionWithoutFramesEndsAtTheFirstTick)
{
    manager->gd[0].FadingIterations = 0;
    form->Show();
    Change(false);
    ASSERT_TRUE(control->Timer);
    ::ValidateRect(control->Handle(), nullptr);
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(control->Frames.empty());
    EXPECT_FALSE(control->Timer);
    EXPECT_TRUE(::GetUpdateRect(control->Handle(), nullptr, FALSE)) << "the new look is drawn at once";
}

TEST_F(FadeFixture, DisabledOrDestroyedControlEndsTheFadeQuietly)
{
    Change(false);
    control->Timer->Timer();
    control->SetEnabled(false);
    control->Timer->Timer();
    EXPECT_FALSE(control->Timer->Enabled());
    EXPECT_EQ(control->Timer->Iterations, 0);
    EXPECT_EQ(control->Frames.size(), 1u);
    control->SetEnabled(true);
    StopFading(control->Timer, control->SkinData);
    // A control destroyed while fading frees its timer with it.
    Reset();
    Change(false);
    EXPECT_EQ(control->ComponentCount(), 1);
    const TResourceCount before = CountResources();
    delete control;
    const TResourceCount after = CountResources();
    EXPECT_EQ(after.Windows, before.Windows - 1) << "the timer's window went with it";
    EXPECT_EQ(after.Timers, before.Timers - 1);
}

TEST_F(FadeFixture, SpeedButtonTimerKeepsTheFrameAndAsksForARepaint)
{
    TsAnimTimer anim(nullptr);
    anim.BmpFrom->Assign(control->SkinData->FCacheBmp);
    control->Fill(kNew);
    anim.SetOwnerData(control->SkinData);
    EXPECT_EQ(anim.Iterations, 10);
    anim.FadeLevel = 1;
    anim.SetEnabled(true);
    anim.Timer();
    EXPECT_EQ(PixelOf(anim.TmpBmp, 0, 0).R, 229);
    EXPECT_EQ(control->Commands, (std::vector<int>{SMC_SET_UPDATING, SMC_REPAINT_NOW}));
    for (int i = 0; i < 9; ++i)
        anim.Timer();
    EXPECT_EQ(PixelOf(anim.TmpBmp, 0, 0).R, kNew);
    control->OnStop = [] {};
    anim.Timer();
    EXPECT_EQ(control->Count(SMC_STOP_FADING), 1);
    EXPECT_FALSE(anim.Enabled());
}

TEST_F(FadeFixture, MouseEventsFadeByTheirOwnSetOrTheManagers)
{
    manager->AnimEffects()->Buttons()->Events = TkvBtnEvents{beMouseEnter};
    struct Case {
        TkvAnimatEvent Event;
        TkvAnimatEvents Property;
        bool Fades;
    } cases[] = {
        {aeMouseDown, TkvAnimatEvents{aeMouseDown}, true},
        {aeMouseDown, TkvAnimatEvents{aeGlobalDef}, false},
        {aeMouseEnter, TkvAnimatEvents{aeGlobalDef}, true},
        {aeMouseEnter, TkvAnimatEvents{}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EventEnabled(c.Event, c.Property, manager), c.Fades) << int(c.Event);
    manager->AnimEffects()->Buttons()->Events = TkvBtnEvents{beMouseDown};
    EXPECT_TRUE(EventEnabled(aeMouseDown, TkvAnimatEvents{aeGlobalDef}, manager));
}

TEST_F(FadeFixture, AThousandFadesLeakNothing)
{
    auto fade = [&](bool clicked) {
        Reset();
        Change(clicked);
        Run();
    };
    fade(false);
    const TResourceCount before = CountResources();
    for (int i = 0; i < 1000; ++i)
        fade(i % 2 == 1);
    EXPECT_FALSE(control->Timer);
    EXPECT_EQ(control->ComponentCount(), 0);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
