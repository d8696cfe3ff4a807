// Glow windows: ids and the list, the window's place around the control
// (also with a hidden side), mouse input passing through, ids that stay
// unique across ClearGlows, and no leak over many glows.
#include <gtest/gtest.h>

#include "classlib/controls/Forms.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/kvGlow.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

struct GlowFixture : ::testing::Test {
    TsSkinManager* manager = New<TsSkinManager>(nullptr);
    // Three 12 x 12 frames over their masks (a 32-bit image carries its own alpha).
    std::unique_ptr<TBitmap> image = loadtest::MakeBitmap(
        36, 24, pf32bit, [](int x, int y) {
            return y >= 12 ? Rgb(0, 0, 0, 0) : Rgb(255, 255, 0, (x % 12 < 4 || y < 4) ? 200 : 0);
        });
    const TRect R{100, 100, 140, 120};

    GlowFixture()
    {
        TsGeneralData g;
        g.ClassName = L"BUTTON";
        manager->gd.push_back(g);
        TsMaskData m;
        m.ClassName = L"BUTTON";
        m.PropertyName = L"GLOW0";
        m.Bmp = image.get();
        m.R = TRect(0, 0, 36, 24);
        m.ImageCount = 3;
        m.MaskType = 1;
        m.WL = m.WT = m.WR = m.WB = 4;
        m.Manager = manager;
        manager->ma.push_back(m);
    }
    ~GlowFixture() override
    {
        ClearGlows();
        Application->ProcessMessages();
        if (manager)
            manager->ma.clear();  // the image belongs to the test
        FreeAndNil(manager);
    }
    int Show(const TRect& Real, int Margin = 1)
    {
        return ShowGlow(R, Real, L"BUTTON", L"GLOW", Margin, 255, nullptr, manager);
    }
    static TRect WindowRect(int Id)
    {
        TkvGlowEffect* e = GlowOf(Id);
        RECT r{};
        if (e && e->Wnd)
            ::GetWindowRect(e->Wnd->Handle(), &r);
        return TRect(r.left, r.top, r.right, r.bottom);
    }
};

} // namespace

TEST_F(GlowFixture, MissingImageGivesNoGlow)
{
    const int before = GlowListLength();
    EXPECT_EQ(ShowGlow(R, TRect(0, 0, 40, 20), L"BUTTON", L"NOSUCH", 1, 255, nullptr, manager), -1);
    EXPECT_EQ(ShowGlow(R, TRect(0, 0, 40, 20), L"EDIT", L"GLOW", 1, 255, nullptr, manager), -1);
    EXPECT_EQ(GlowListLength(), before);
}

TEST_F(GlowFixture, WindowSurroundsTheVisiblePartOfTheControl)
{
    struct Case {
        TRect Real, Expected;
    } cases[] = {
        {TRect(0, 0, 40, 20), TRect(97, 97, 143, 123)},   // wholly visible: borders minus the margin
        {TRect(10, 0, 40, 20), TRect(110, 97, 143, 123)}, // the left 10 pixels hidden
        {TRect(0, 0, 40, 15), TRect(97, 97, 143, 115)},   // the bottom 5 hidden
    };
    for (const Case& c : cases) {
        const int id = Show(c.Real);
        ASSERT_GE(id, 0);
        EXPECT_EQ(WindowRect(id), c.Expected) << c.Expected.left << "," << c.Expected.bottom;
        HWND h = GlowOf(id)->Wnd->Handle();
        EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(::IsWindowVisible(h));
        EXPECT_EQ(::SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(120, 110)), HTTRANSPARENT) << "the mouse passes";
        EXPECT_EQ(GlowOf(id)->AlphaBmp, nullptr) << "the image is given to the window and freed";
        HideGlow(id);
    }
}

TEST_F(GlowFixture, IdsStayWithTheirGlows)
{
    const int a = Show(TRect(0, 0, 40, 20)), b = Show(TRect(0, 0, 40, 20));
    ASSERT_EQ(b, a + 1);
    HideGlow(a);
    EXPECT_EQ(GlowOf(a), nullptr);
    EXPECT_NE(GlowOf(b), nullptr);
    EXPECT_EQ(Show(TRect(0, 0, 40, 20)), b + 1) << "hidden ids are not given again";
    HideGlow(a);  // again: nothing
    HideGlow(-1);
    HideGlow(1000);
    EXPECT_NE(GlowOf(b), nullptr);

    // An id kept from before ClearGlows cannot reach a glow shown after it.
    ClearGlows();
    EXPECT_EQ(GlowListLength(), 0);
    const int c = Show(TRect(0, 0, 40, 20));
    ASSERT_GE(c, 0);
    EXPECT_GT(c, b + 1);
    HideGlow(a);
    HideGlow(b);
    EXPECT_NE(GlowOf(c), nullptr);
}

TEST_F(GlowFixture, ManyGlowsLeakNothing)
{
    auto round = [&] {
        HideGlow(Show(TRect(0, 0, 40, 20)));
        Application->ProcessMessages();  // released windows go through their queue
    };
    round();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 200; ++i)
        round();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

TEST_F(GlowFixture, ImageIsTheGlowMaskWithItsAlpha)
{
    TkvGlowEffect effect;
    effect.SkinManager = manager;
    effect.MaskIndex = 0;
    effect.CreateAlphaBmp(20, 16);
    ASSERT_TRUE(effect.AlphaBmp);
    EXPECT_EQ(effect.AlphaBmp->PixelFormat(), pf32bit);
    const Px corner = PixelOf(effect.AlphaBmp, 1, 1);
    // A layered window shows by alpha, over colours already multiplied by it.
    EXPECT_TRUE(corner.R > 0 && corner.G > 0 && corner.B == 0 && corner.A > 0 && corner.R <= corner.A)
        << "a corner of the mask: " << int(corner.R) << "," << int(corner.G) << "," << int(corner.B) << "," << int(corner.A);
    EXPECT_EQ(PixelOf(effect.AlphaBmp, 10, 8), Rgb(0, 0, 0, 0)) << "the centre is left transparent";

    TkvGlowEffect none;
    none.CreateAlphaBmp(4, 4);
    EXPECT_EQ(PixelOf(none.AlphaBmp, 2, 2), Rgb(0, 0, 0, 0));
}

TEST_F(GlowFixture, GlowsGoWithTheDefaultManager)
{
    ASSERT_EQ(DefaultManager, manager);
    const int id = Show(TRect(0, 0, 40, 20));
    ASSERT_NE(GlowOf(id), nullptr);
    manager->ma.clear();
    FreeAndNil(manager);
    EXPECT_EQ(GlowOf(id), nullptr);
    EXPECT_EQ(GlowListLength(), 0);
}

namespace {

// Notes, as it goes, whether its owner was still a whole form.
struct TWitness : TComponent {
    KV_CLASS(TWitness)
public:
    explicit TWitness(TComponent* AOwner) : TComponent(AOwner), Form(AOwner) {}
    static inline int Whole = -1;
    TComponent* Form;  // the owner, alive until this goes
    ~TWitness() override { Whole = dynamic_cast<TForm*>(Form) != nullptr; }
};

} // namespace

// A glow's window freed with its manager goes the class library's way: its
// owned components go while it is still a whole form.
TEST_F(GlowFixture, AGlowWindowFreedWithItsManagerGoesWhole)
{
    const int id = Show(TRect(0, 0, 40, 20));
    ASSERT_NE(GlowOf(id), nullptr);
    ASSERT_NE(GlowOf(id)->Wnd, nullptr);
    New<TWitness>(GlowOf(id)->Wnd);
    TWitness::Whole = -1;
    manager->ma.clear();
    FreeAndNil(manager);
    EXPECT_EQ(TWitness::Whole, 1);
    EXPECT_EQ(GlowListLength(), 0);
}
