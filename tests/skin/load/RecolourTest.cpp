// Hue, saturation and brightness changes on known pixels and colours: the
// key colour and (for hue and saturation) greys keep their values, alpha is
// never touched, contour colours of -1 stay "none", and the title-bar glyphs
// chosen by BIKEEPHUE keep their hue.
#include <gtest/gtest.h>

#include <memory>

#include "LoadTestUtil.h"
#include "skin/core/sSkinManager_Colors.h"
#include "skin/core/sSkinProps.h"

using namespace loadtest;

namespace {

const Px Red = Rgb(255, 0, 0);
const Px Cyan = Rgb(0, 255, 255);
const Px Grey = Rgb(128, 128, 128);
const Px Key = Rgb(255, 0, 255);

// A store with a master image (red, grey and key-colour columns), one
// 32-bit image of its own and one section.
class Recolour : public ::testing::Test {
protected:
    TTestStore s;

    void SetUp() override
    {
        s.MasterBitmap = MakeBitmap(30, 10, pf24bit, [](int x, int) { return x < 10 ? Red : x < 20 ? Grey : Key; })
                             .release();
        AddOwn(L"BUTTON", L"GLYPHMASK",
               MakeBitmap(3, 1, pf32bit, [](int x, int) { return x == 0 ? Rgb(255, 0, 0, 77) : x == 1 ? Rgb(128, 128, 128, 5) : Rgb(255, 0, 255, 9); })
                   .release());
        TsGeneralData g;
        g.ClassName = L"BUTTON";
        g.Color = 0x0000FF;      // red as a TColor
        g.HotColor = 0x808080;
        g.FontColor[1] = 0x0000FF;
        g.FontColor[2] = -1;
        g.GradientArray.push_back(TsGradPie{0x0000FF, 0x808080, 100, 0, 0});
        s.gd.push_back(g);
        s.Data.Shadow1Color = 0x0000FF;
        s.Data.BorderColor = 0x0000FF;
    }

    int AddOwn(const wchar_t* Section, const wchar_t* Key, TBitmap* Bmp)
    {
        TsMaskData m;
        m.ClassName = Section;
        m.PropertyName = Key;
        m.Bmp = Bmp;
        m.R = TRect(0, 0, Bmp->Width(), Bmp->Height());
        m.ImageCount = 1;
        s.ma.push_back(m);
        return int(s.ma.size()) - 1;
    }
    int AddRegion(const wchar_t* Key, TRect R)
    {
        TsMaskData m;
        m.ClassName = L"GLOBALINFO";
        m.PropertyName = Key;
        m.R = R;
        m.ImageCount = 1;
        s.ma.push_back(m);
        return int(s.ma.size()) - 1;
    }
    TBitmap* Own() { return s.ma[0].Bmp; }
};

TEST_F(Recolour, HueTurnsColoursButNotGreysKeyColourOrAlpha)
{
    ChangeSkinHue(&s, 180);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 0, 0), Cyan);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 15, 0), Grey);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 25, 0), Key);
    EXPECT_EQ(PixelOf(Own(), 0, 0), Rgb(0, 255, 255, 77));
    EXPECT_EQ(PixelOf(Own(), 1, 0), Rgb(128, 128, 128, 5));
    EXPECT_EQ(PixelOf(Own(), 2, 0), Rgb(255, 0, 255, 9));
    const TsGeneralData& g = s.gd[0];
    EXPECT_EQ(g.Color, 0xFFFF00);
    EXPECT_EQ(g.HotColor, 0x808080);
    EXPECT_EQ(g.FontColor[1], 0xFFFF00);
    EXPECT_EQ(g.FontColor[2], -1);
    EXPECT_EQ(g.GradientArray[0].Color1, 0xFFFF00);
    EXPECT_EQ(s.Data.Shadow1Color, 0xFFFF00);
    EXPECT_EQ(s.Data.BorderColor, 0xFFFF00);
}

TEST_F(Recolour, NothingChangesWithoutADelta)
{
    ChangeSkinHue(&s, 0);
    ChangeSkinSaturation(&s, 0);
    ChangeSkinBrightness(&s, 0);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 0, 0), Red);
    EXPECT_EQ(PixelOf(Own(), 0, 0), Rgb(255, 0, 0, 77));
    EXPECT_EQ(s.gd[0].Color, 0x0000FF);
}

// Positive saturation means stronger colours; the percentage wraps at 101.
TEST_F(Recolour, SaturationMovesAwayFromOrTowardGrey)
{
    const Px brown = Rgb(150, 100, 50);
    auto after = [&](int Saturation) {
        TTestStore t;
        t.MasterBitmap = Solid(2, 1, brown).release();
        SetPixel(t.MasterBitmap, 1, 0, Grey);
        ChangeSkinSaturation(&t, Saturation);
        EXPECT_EQ(PixelOf(t.MasterBitmap, 1, 0), Grey);
        return PixelOf(t.MasterBitmap, 0, 0);
    };
    EXPECT_EQ(after(30), Rgb(165, 100, 35));
    EXPECT_EQ(after(-40), Rgb(130, 100, 70));
    EXPECT_EQ(after(150), after(49));
    ChangeSkinSaturation(&s, 30);
    EXPECT_EQ(PixelOf(Own(), 0, 0).A, 77);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 25, 0), Key);
    EXPECT_EQ(s.gd[0].FontColor[2], -1);
}

// Brightness changes greys too; 32-bit images keep their alpha.
TEST_F(Recolour, BrightnessKeepsAlphaAndTheKeyColour)
{
    ChangeSkinBrightness(&s, 50);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 15, 0), Rgb(192, 192, 192));
    EXPECT_EQ(PixelOf(s.MasterBitmap, 25, 0), Key);
    ASSERT_EQ(Own()->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(Own(), 1, 0), Rgb(192, 192, 192, 5));
    EXPECT_EQ(PixelOf(Own(), 2, 0), Rgb(255, 0, 255, 9));
    EXPECT_EQ(s.gd[0].HotColor, 0xC0C0C0);
    EXPECT_EQ(s.gd[0].FontColor[2], -1);
    EXPECT_EQ(s.Data.Shadow1Color, 0x0000FF);   // text shadow and border keep theirs
}

// Images that are neither 24- nor 32-bit are made 24-bit before they change.
TEST_F(Recolour, PaletteImagesBecomeTwentyFourBit)
{
    std::unique_ptr<TBitmap> grey = Solid(4, 4, Rgb(90, 90, 90));
    grey->SetPixelFormat(pf8bit);
    const int i = AddOwn(L"PANEL", L"BORDERSMASK", grey.release());
    ChangeSkinHue(&s, 90);
    EXPECT_EQ(s.ma[size_t(i)].Bmp->PixelFormat(), pf24bit);
}

TEST_F(Recolour, TitleGlyphsKeepTheirHueWhenAsked)
{
    // Regions of the master image (red columns) and images of their own.
    AddRegion(s_BiconClose, TRect(0, 0, 3, 3));
    AddRegion(s_BiconMax, TRect(3, 0, 6, 3));
    const int small = AddOwn(L"GLOBALINFO", s_SiconClose, Solid(2, 2, Red).release());
    const int glow = AddOwn(L"GLOBALINFO", L"BICONCLOSEGLOW0", Solid(2, 2, Red).release());
    s.gd[0].ClassName = L"GLOBALINFO";
    auto hue = [&](int Keep) {
        for (int x = 0; x < 10; ++x)
            for (int y = 0; y < 10; ++y)
                SetPixel(s.MasterBitmap, x, y, Red);
        for (int i : {small, glow})
            SetPixel(s.ma[size_t(i)].Bmp, 0, 0, Red);
        s.Data.BIKeepHUE = int16_t(Keep);
        ChangeSkinHue(&s, 180);
    };
    hue(1);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 1, 1), Red);   // close
    EXPECT_EQ(PixelOf(s.MasterBitmap, 4, 1), Red);   // maximise
    EXPECT_EQ(PixelOf(s.MasterBitmap, 8, 8), Cyan);  // outside the glyphs
    EXPECT_EQ(PixelOf(s.ma[size_t(small)].Bmp, 0, 0), Red);
    EXPECT_EQ(PixelOf(s.ma[size_t(glow)].Bmp, 0, 0), Red);
    EXPECT_EQ(PixelOf(Own(), 0, 0), Rgb(0, 255, 255, 77));

    hue(2);   // only the close glyphs
    EXPECT_EQ(PixelOf(s.MasterBitmap, 1, 1), Red);
    EXPECT_EQ(PixelOf(s.MasterBitmap, 4, 1), Cyan);
    EXPECT_EQ(PixelOf(s.ma[size_t(small)].Bmp, 0, 0), Red);
}

} // namespace
