// Button glyphs on skinned pictures and on plain canvases: frames by state,
// greying and blending, image lists of both kinds, and tool-bar images.
#include <gtest/gtest.h>

#include "classlib/controls/Forms.h"
#include "skin/core/sThirdParty.h"
#include "classlib/rtl/TempDir.h"
#include "skin/paint/kvAlphaImageList.h"
#include "tests/skin/effects/EffectsTestUtil.h"

using namespace fxtest;

namespace {

const Px kBg = Rgb(0, 0, 200);
const Px kFrames[3] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(255, 255, 0)};

// A 32-bit strip of three opaque 4 x 4 frames.
std::unique_ptr<TBitmap> Strip()
{
    return loadtest::MakeBitmap(12, 4, pf32bit, [](int x, int) { return kFrames[x / 4]; });
}

struct Button {
    std::unique_ptr<TBitmap> cache = loadtest::Solid(20, 10, kBg);
    TsBtnGlyphInfo info;
    Button()
    {
        info.ImgRect = TRect(2, 2, 6, 6);
        info.Width = 20;
        info.Height = 10;
        info.Cache = cache.get();
        info.Skinned = true;
        info.SectionColor = clWhite;
    }
    Px At(int X = 3, int Y = 3) { return PixelOf(cache.get(), X, Y); }
};

} // namespace

TEST(BtnGlyph, GlyphFrameFollowsTheStateUpToTheLastFrame)
{
    auto strip = Strip();
    struct Case {
        int NumGlyphs, State, Frame;
    } cases[] = {{1, 0, 0}, {1, 2, 0}, {3, 0, 0}, {3, 1, 1}, {3, 2, 2}, {2, 2, 1}, {0, 2, 0}, {-1, 1, 0}};
    for (const Case& c : cases) {
        Button b;
        b.info.Glyph = strip.get();
        b.info.NumGlyphs = c.NumGlyphs;
        b.info.State = c.State;
        DrawBtnGlyph(b.info);
        EXPECT_TRUE(Near(b.At(), kFrames[c.Frame])) << c.NumGlyphs << "/" << c.State;
        EXPECT_EQ(b.At(7, 3), kBg) << "nothing beyond the glyph rectangle";
    }
}

TEST(BtnGlyph, GrayedAndBlendedGlyphsInTheNormalStateOnly)
{
    auto strip = Strip();
    for (int state : {0, 1}) {
        Button b;
        b.info.Glyph = strip.get();
        b.info.NumGlyphs = 1;
        b.info.Grayed = true;
        b.info.State = state;
        DrawBtnGlyph(b.info);
        const Px p = b.At();
        const bool grey = std::abs(p.R - p.G) <= 2 && std::abs(p.G - p.B) <= 2;
        EXPECT_EQ(grey, state == 0) << state << ": " << int(p.R) << "," << int(p.G) << "," << int(p.B);
    }
    Button blended;
    blended.info.Glyph = strip.get();
    blended.info.NumGlyphs = 3;
    blended.info.Blend = 50;
    DrawBtnGlyph(blended.info);
    EXPECT_NEAR(blended.At().R, 128, 4);
    EXPECT_NEAR(blended.At().B, 100, 4);
}

TEST(BtnGlyph, GlyphOnAnotherCanvasBlendsOverWhatIsThere)
{
    auto strip = Strip();
    Button b;
    b.info.Glyph = strip.get();
    b.info.NumGlyphs = 3;
    b.info.Blend = 50;
    auto canvas = loadtest::Solid(20, 10, Rgb(0, 0, 0));
    DrawBtnGlyph(b.info, canvas->Canvas());
    EXPECT_NEAR(PixelOf(canvas.get(), 3, 3).R, 128, 4);
    EXPECT_EQ(PixelOf(canvas.get(), 8, 3), Rgb(0, 0, 0));
    EXPECT_EQ(b.At(), kBg) << "the cache is left alone";

    Button plain;  // a 24-bit glyph goes through the glyph drawing
    // The bottom-left colour of a plain glyph is its transparent colour.
    auto rgb = loadtest::MakeBitmap(4, 4, pf24bit, [](int x, int y) { return x == 0 && y == 3 ? Rgb(1, 1, 1) : Rgb(0, 200, 0); });
    plain.info.Glyph = rgb.get();
    DrawBtnGlyph(plain.info);
    EXPECT_EQ(plain.At(), Rgb(0, 200, 0));
}

TEST(BtnGlyph, BlendOutsideZeroToHundredActsAsTheNearestLimitOnEveryTarget)
{
    auto strip = Strip();
    const struct {
        int Blend;
        bool Shows;
    } cases[] = {{150, false}, {-50, true}};
    for (const auto& c : cases)
        for (bool onCache : {true, false}) {
            Button b;
            b.info.Glyph = strip.get();
            b.info.NumGlyphs = 3;
            b.info.Blend = c.Blend;
            auto canvas = loadtest::Solid(20, 10, kBg);
            DrawBtnGlyph(b.info, onCache ? nullptr : canvas->Canvas());
            const Px p = onCache ? b.At() : PixelOf(canvas.get(), 3, 3);
            EXPECT_EQ(Near(p, kFrames[0]), c.Shows) << c.Blend << " " << onCache;
            EXPECT_EQ(p == kBg, !c.Shows) << c.Blend << " " << onCache;
        }
}

TEST(BtnGlyph, ImagesOfAnAlphaListOnlyForValidIndexes)
{
    TTempDir dir;
    const std::wstring file = dir.File(L"g.png");
    loadtest::WriteBytes(file, loadtest::PngBytes(12, 4, [](int x, int) {
        return x % 4 == 3 ? Rgb(0, 0, 0, 0) : Rgb(kFrames[x / 4].R, kFrames[x / 4].G, kFrames[x / 4].B);
    }));
    TsAlphaImageList list(nullptr);
    list.AfterConstruction();
    list.SetWidth(12);
    list.SetHeight(4);
    ASSERT_TRUE(list.TryLoadFromFile(file));
    for (int index : {-1, 1}) {
        Button b;
        b.info.Images = &list;
        b.info.ImageIndex = index;
        b.info.NumGlyphs = 3;
        DrawBtnGlyph(b.info);
        EXPECT_EQ(b.At(), kBg) << index;
    }
    Button pressed;  // pressed and down: state 3 shows the last frame
    pressed.info.Images = &list;
    pressed.info.ImageIndex = 0;
    pressed.info.NumGlyphs = 3;
    pressed.info.State = 2;
    pressed.info.Down = true;
    DrawBtnGlyph(pressed.info);
    EXPECT_TRUE(Near(pressed.At(), kFrames[2]));
    EXPECT_EQ(pressed.At(5, 3), kBg);

    Button noCount;  // a glyph count below 1 counts as 1: the whole image, first frame
    noCount.info.Images = &list;
    noCount.info.ImageIndex = 0;
    noCount.info.NumGlyphs = 0;
    noCount.info.State = 2;
    DrawBtnGlyph(noCount.info);
    EXPECT_TRUE(Near(noCount.At(), kFrames[0]));
    EXPECT_TRUE(Near(noCount.At(7, 3), kFrames[1]));

    Button unskinned;
    unskinned.info.Skinned = false;
    unskinned.info.Images = &list;
    unskinned.info.ImageIndex = 0;
    unskinned.info.NumGlyphs = 3;
    unskinned.info.Enabled = false;
    unskinned.info.DisabledGlyphKind = TsDisabledGlyphKind{dgBlended};
    auto canvas = loadtest::Solid(20, 10, Rgb(0, 0, 0));
    DrawBtnGlyph(unskinned.info, canvas->Canvas());
    EXPECT_NEAR(PixelOf(canvas.get(), 3, 3).R, 128, 4);
}

TEST(BtnGlyph, PlainListImagesKeepTheirKeyColourOut)
{
    TImageList list(nullptr);
    list.SetWidth(4);
    list.SetHeight(4);
    auto bmp = loadtest::MakeBitmap(4, 4, pf24bit, [](int x, int) { return x < 2 ? Rgb(255, 0, 0) : Rgb(255, 0, 255); });
    ASSERT_EQ(list.Add(bmp.get(), nullptr), 0);
    struct Case {
        bool Skinned, Enabled;
        int Blend;
        Px Left;
    } cases[] = {
        {false, true, 0, Rgb(255, 0, 0)},
        {true, true, 0, Rgb(255, 0, 0)},
        {true, false, 0, Rgb(128, 0, 100)},  // disabled and blended: half over the background
    };
    for (const Case& c : cases) {
        Button b;
        b.info.Skinned = c.Skinned;
        b.info.Enabled = c.Enabled;
        b.info.DisabledGlyphKind = TsDisabledGlyphKind{dgBlended};
        b.info.Images = &list;
        b.info.ImageIndex = 0;
        DrawBtnGlyph(b.info);
        EXPECT_TRUE(Near(b.At(2, 3), c.Left, 3)) << c.Skinned << c.Enabled;
        EXPECT_EQ(b.At(5, 3), kBg) << "the key colour stays out";
    }
}

TEST(ToolBtnGlyph, PlaceAndListFollowTheDrawingState)
{
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    form->SetBounds(0, 0, 300, 200);
    TImageList images(nullptr), hot(nullptr);
    for (TImageList* l : {&images, &hot}) {
        l->SetWidth(4);
        l->SetHeight(4);
        auto bmp = loadtest::Solid(4, 4, l == &images ? Rgb(255, 0, 0) : Rgb(0, 255, 0));
        l->Add(bmp.get(), nullptr);
    }
    auto* bar = New<TToolBar>(form.get());
    bar->SetParent(form.get());
    bar->SetList(true);
    bar->SetImages(&images);
    bar->SetHotImages(&hot);
    auto* button = New<TToolButton>(form.get());
    button->SetParent(bar);
    button->SetImageIndex(0);
    const int top = (button->Height() - 4) / 2;
    struct Case {
        TCustomDrawState State;
        int Left, Top;
        Px Colour;
    } cases[] = {
        {TCustomDrawState{}, 5, top, Rgb(255, 0, 0)},
        {TCustomDrawState{cdsDisabled}, 5, top, Rgb(255, 0, 0)},
        {TCustomDrawState{cdsDisabled, cdsHot}, 5, top, Rgb(0, 255, 0)},
        {TCustomDrawState{cdsSelected}, 6, top + 1, Rgb(0, 255, 0)},
    };
    for (const Case& c : cases) {
        auto bg = loadtest::Solid(button->Width(), button->Height(), kBg);
        CopyToolBtnGlyph(bar, button, c.State, cdPrePaint, TTBCustomDrawFlags{}, bg.get());
        EXPECT_EQ(PixelOf(bg.get(), c.Left, c.Top), c.Colour) << c.Left;
        EXPECT_EQ(PixelOf(bg.get(), c.Left - 1, c.Top), kBg);
        EXPECT_EQ(PixelOf(bg.get(), c.Left, c.Top - 1), kBg);
    }
    EXPECT_EQ(GetImageCount(nullptr), 0);
    EXPECT_FALSE(CheckDevEx(bar));
}

namespace {

// A button as the library's bit and speed buttons present themselves.
class TGlyphButtonStub : public TGraphicControl, public TsBtnGlyphSource {
public:
    explicit TGlyphButtonStub(TComponent* AOwner) : TGraphicControl(AOwner) {}
    TsBtnGlyphInfo Info;
    TsBtnGlyphInfo GlyphInfo() override { return Info; }
};

} // namespace

TEST(BtnGlyph, ControlEntryDrawsForLibraryButtonsOnly)
{
    auto strip = Strip();
    Button b;
    b.info.Glyph = strip.get();
    b.info.NumGlyphs = 3;
    b.info.State = 1;
    TOwned<TGlyphButtonStub> button(New<TGlyphButtonStub>(nullptr));
    button->Info = b.info;
    DrawBtnGlyph(button.get());
    EXPECT_TRUE(Near(b.At(), kFrames[1]));

    Button other;
    TOwned<TGraphicControl> plain(New<TGraphicControl>(nullptr));
    DrawBtnGlyph(plain.get(), other.cache->Canvas());
    EXPECT_EQ(other.At(), kBg);
}

namespace {

// The library's tool bar as the tool-button painter sees it.
class TSkinnedBarStub : public TToolBar, public TsToolBarGlyphSeam {
public:
    using TToolBar::TToolBar;
    bool Skinned = true;
    bool BarSkinned() override { return Skinned; }
    TCanvas* BarCacheCanvas() override { return nullptr; }
};

} // namespace

TEST(ToolBtnGlyph, AlphaListsOnTheLibraryBarDrawThemselves)
{
    TTempDir dir;
    const std::wstring path = dir.Path() + L"\\half.png";
    loadtest::WriteBytes(path, loadtest::PngBytes(4, 4, [](int, int) { return Rgb(255, 0, 0, 128); }));
    TsAlphaImageList images(nullptr);
    images.AfterConstruction();
    images.SetWidth(4);
    images.SetHeight(4);
    images.Handle();
    ASSERT_TRUE(images.TryLoadFromFile(path));
    TOwned<TForm> form(TForm::CreateNew(nullptr));
    auto* bar = New<TSkinnedBarStub>(form.get());
    bar->SetParent(form.get());
    bar->SetList(true);
    bar->SetImages(&images);
    auto* button = New<TToolButton>(form.get());
    button->SetParent(bar);
    button->SetImageIndex(0);
    const int top = (button->Height() - 4) / 2;
    auto bg = loadtest::Solid(button->Width(), button->Height(), Rgb(0, 0, 0));
    CopyToolBtnGlyph(bar, button, TCustomDrawState{}, cdPrePaint, TTBCustomDrawFlags{}, bg.get());
    EXPECT_NEAR(PixelOf(bg.get(), 6, top + 1).R, 128, 3) << "half-transparent red over black";
}
