// The shadow templates of extended borders: two frames of the skin's
// EXBORDER image (its own bitmap or a region of the master image), else the
// default shadow pictures; nothing while shadows are not wanted.
#include <gtest/gtest.h>

#include <memory>

#include "LoadTestUtil.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/kvPNG.h"

using namespace loadtest;

namespace {

// Two frames side by side: alpha 90 on the left, 200 on the right.
std::unique_ptr<TBitmap> TwoFrames(int W, int H)
{
    return MakeBitmap(2 * W, H, pf32bit, [W](int x, int) { return x < W ? Rgb(1, 2, 3, 90) : Rgb(4, 5, 6, 200); });
}

class Shadows : public ::testing::Test {
protected:
    TTestStore s;

    void SetUp() override
    {
        s.WantShadows = true;
        s.Data.ExContentOffs = 8;
        TsGeneralData g;
        g.ClassName = L"GLOBALINFO";
        s.gd.push_back(g);
    }
    // EXBORDER with widths 20, 21, 22, 23.
    void AddExBorder(TBitmap* Own, TRect R, int Frames)
    {
        TsMaskData m;
        m.ClassName = L"GLOBALINFO";
        m.PropertyName = s_ExBorder;
        m.Bmp = Own;
        m.R = R;
        m.ImageCount = int16_t(Frames);
        m.WL = 20;
        m.WT = 21;
        m.WR = 22;
        m.WB = 23;
        s.ma.push_back(m);
        s.InitConstantIndexes();
    }
};

TEST_F(Shadows, FramesOfTheExBorderImage)
{
    AddExBorder(TwoFrames(40, 30).release(), TRect(0, 0, 80, 30), 2);
    EXPECT_EQ(s.FormShadowSize, TRect(12, 13, 14, 15));
    ASSERT_NE(s.ShdiTemplate, nullptr);
    EXPECT_EQ(s.ShdiTemplate->Width(), 40);
    EXPECT_EQ(s.ShdiTemplate->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(s.ShdiTemplate, 39, 29), Rgb(1, 2, 3, 90));
    EXPECT_EQ(PixelOf(s.ShdaTemplate, 0, 0), Rgb(4, 5, 6, 200));

    s.Data.ExDrawMode = 1;
    s.InitConstantIndexes();
    EXPECT_EQ(s.FormShadowSize, TRect(8, 8, 8, 8));
}

TEST_F(Shadows, OneFrameServesBothTemplates)
{
    AddExBorder(TwoFrames(40, 30).release(), TRect(0, 0, 80, 30), 1);
    EXPECT_EQ(s.ShdaTemplate->Width(), 80);
    EXPECT_EQ(PixelOf(s.ShdaTemplate, 79, 0), PixelOf(s.ShdiTemplate, 79, 0));
    EXPECT_NE(s.ShdaTemplate, s.ShdiTemplate);
}

// An EXBORDER given as a region of the master image is read from there
// (24-bit pixels become opaque).
TEST_F(Shadows, ARegionOfTheMasterImage)
{
    s.MasterBitmap = MakeBitmap(100, 40, pf24bit, [](int x, int) {
                         return x < 50 ? Rgb(9, 9, 9) : x < 70 ? Rgb(50, 60, 70) : Rgb(80, 90, 100);
                     }).release();
    AddExBorder(nullptr, TRect(50, 10, 90, 40), 2);
    ASSERT_EQ(s.ShdiTemplate->Width(), 20);
    EXPECT_EQ(s.ShdiTemplate->Height(), 30);
    EXPECT_EQ(PixelOf(s.ShdiTemplate, 0, 0), Rgb(50, 60, 70, 255));
    EXPECT_EQ(PixelOf(s.ShdaTemplate, 19, 29), Rgb(80, 90, 100, 255));
}

TEST_F(Shadows, DefaultPicturesWithoutExBorder)
{
    // The program's own pictures are read from its resources.
    ASSERT_NE(ShdaImage(), nullptr);
    ASSERT_NE(ShdiImage(), nullptr);
    auto keepA = std::make_unique<TPNGGraphic>(), keepI = std::make_unique<TPNGGraphic>();
    keepA->Assign(ShdaImage());
    keepI->Assign(ShdiImage());

    // Known pictures: a white pixel of alpha 0 is cleared in the templates.
    SetShadowImages(MakeBitmap(4, 4, pf32bit, [](int x, int) { return x == 0 ? Rgb(255, 255, 255, 0) : Rgb(7, 7, 7, 60); }).release(),
                    Solid(4, 4, Rgb(8, 8, 8, 30), pf32bit).release());
    s.InitConstantIndexes();
    const int grow = AeroIsEnabled() ? 1 : 0;
    EXPECT_EQ(s.FormShadowSize, TRect(11 + grow, 7 + grow, 11 + grow, 11 + grow));
    EXPECT_EQ(PixelOf(s.ShdaTemplate, 0, 0), Rgb(0, 0, 0, 0));
    EXPECT_EQ(PixelOf(s.ShdaTemplate, 1, 0), Rgb(7, 7, 7, 60));
    EXPECT_EQ(PixelOf(s.ShdiTemplate, 0, 0), Rgb(8, 8, 8, 30));
    EXPECT_EQ(PixelOf(ShdaImage(), 0, 0), Rgb(255, 255, 255, 0));   // the picture itself stays

    SetShadowImages(keepA.release(), keepI.release());
}

TEST_F(Shadows, NothingWhileShadowsAreNotWanted)
{
    AddExBorder(TwoFrames(40, 30).release(), TRect(0, 0, 80, 30), 2);
    TBitmap* active = s.ShdaTemplate;
    s.WantShadows = false;
    s.InitConstantIndexes();
    EXPECT_EQ(s.FormShadowSize, TRect());
    EXPECT_EQ(s.ShdaTemplate, active);
}

} // namespace
