// Animated change of a control's look: steps and cross-fade weights, the
// frames drawn into an off-screen target, and a control animation that
// leaves no flag, device context, bitmap or window behind, also when the
// control's painting fails.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "skin/core/sVclUtils.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/paint/sGraphUtils.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

int gPauses = 0;
void CountPause(DWORD)
{
    ++gPauses;
}

// Paints green; records what the animation machinery says while it paints.
class TAnimControl : public TCustomControl {
    KV_CLASS(TAnimControl)
public:
    using TCustomControl::TCustomControl;
    bool Fail = false;
    bool SawAnimation = false;
    bool SawPrintDC = false;

protected:
    void Paint() override
    {
        SawAnimation = SawAnimation || InAnimationProcess;
        SawPrintDC = SawPrintDC || kvPrintDC != nullptr;
        if (Fail)
            throw Exception(L"paint failed");
        Canvas()->Brush()->SetColor(clGreen);
        Canvas()->FillRect(ClientRect());
    }
};

struct AnimFixture : ::testing::Test {
    void (*oldPause)(DWORD) = kvAnimPause;
    AnimFixture()
    {
        kvAnimPause = CountPause;
        gPauses = 0;
    }
    ~AnimFixture() override { kvAnimPause = oldPause; }
};

} // namespace

TEST(AnimSteps, StepsAndWeights)
{
    EXPECT_EQ(AnimSteps(0), 0);
    EXPECT_EQ(AnimSteps(7), 0);
    EXPECT_EQ(AnimSteps(100), 12);
    std::vector<int> w;
    for (int i = 0; i <= 12; ++i)
        w.push_back(CrossFadeWeight(i, 12));
    EXPECT_EQ(w.front(), 255);
    EXPECT_EQ(w[1], 234);
    EXPECT_EQ(w.back(), 3);
}

TEST_F(AnimFixture, CrossFadeDrawsEveryFrameThenTheNewImage)
{
    auto src = loadtest::Solid(4, 4, Rgb(255, 0, 0));
    auto dst = loadtest::Solid(4, 4, Rgb(0, 0, 255));
    auto target = loadtest::Solid(4, 4, Rgb(0, 0, 0));
    std::vector<int> reds;
    CrossFade(src.get(), dst.get(), 12, target->Canvas()->Handle(),
              [&] { reds.push_back(PixelOf(target.get(), 1, 1).R); });
    ASSERT_EQ(reds.size(), 14u) << "13 mixed frames and the new image";
    EXPECT_EQ(reds.front(), (255 * 255) >> 8) << "the old image at weight 255";
    EXPECT_TRUE(std::is_sorted(reds.rbegin(), reds.rend()));
    EXPECT_EQ(reds.back(), 0);
    EXPECT_EQ(gPauses, 12);

    reds.clear();
    gPauses = 0;
    CrossFade(src.get(), dst.get(), 0, target->Canvas()->Handle(), [&] { reds.push_back(PixelOf(target.get(), 1, 1).R); });
    EXPECT_EQ(reds, std::vector<int>{0}) << "no steps: the new image at once";
    EXPECT_EQ(gPauses, 0);
}

TEST_F(AnimFixture, ControlAnimationCleansUpAfterItselfAlsoWhenPaintingFails)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    form->SetBounds(0, 0, 200, 150);
    auto* ctrl = New<TAnimControl>(form.get());
    ctrl->SetParent(form.get());
    ctrl->SetBounds(10, 10, 40, 30);
    form->Show();
    Application->ProcessMessages();
    const int windows = ThreadWindowCount();
    const DWORD gdi = GdiCount();

    PrepareForAnimation(ctrl);
    ASSERT_TRUE(ow);
    EXPECT_TRUE(::IsWindowVisible(ow->Handle()));
    AnimShowControl(ctrl, 100);
    EXPECT_TRUE(ctrl->SawAnimation);
    EXPECT_TRUE(ctrl->SawPrintDC);
    EXPECT_EQ(gPauses, 12);

    ctrl->Fail = true;
    EXPECT_THROW(AnimShowControl(ctrl, 100), Exception);
    for (bool after : {false, true}) {
        EXPECT_FALSE(InAnimationProcess) << after;
        EXPECT_EQ(kvPrintDC, nullptr) << after;
        EXPECT_EQ(ow, nullptr) << after;
        EXPECT_EQ(kvSrcBmp, nullptr) << after;
        EXPECT_EQ(kvDstBmp, nullptr) << after;
        ctrl->Fail = false;
        AnimShowControl(ctrl, 0);
    }
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_LE(GdiCount(), gdi + 2);
}
