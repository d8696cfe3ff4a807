// The painting work a skin keeps between paints (finished section pictures,
// texture lookups, gradient lines, glow masks, scratch bitmaps) gives
// exactly the pixels of the full way, follows table entries changed in
// place, and is released with the skin.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "../PaintTestUtils.h"
#include "classlib/controls/Dialogs.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Cache.h"
#include "tests/support/ResourceCount.h"

#ifndef KV_BUILT_SKIN
#error "KV_BUILT_SKIN names the skin folder of the build"
#endif

namespace {

class TBuiltinStore : public TObject, public TsSkinStore {
public:
    TsSkinData Data;
    TBuiltinStore()
    {
        SkinData = &Data;
        StoreOwner = this;
    }
    void Load()
    {
        const std::string d = KV_BUILT_SKIN;
        const std::wstring dir(d.begin(), d.end());
        ReloadPackedSkin(dir + L"/internal.plz", dir, {});
    }
};

// Switches the kept work off for a scope.
struct TFullWay {
    bool Was = kvKeepPaintWork;
    TFullWay() { kvKeepPaintWork = false; }
    ~TFullWay() { kvKeepPaintWork = Was; }
};

// A bitmap whose every pixel differs from its neighbours.
TBitmapPtr Patterned(int W, int H, uint32_t Seed)
{
    TBitmapPtr b = MakeBmp(W, H, 24);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            SetPixelOf(b.get(), x, y, (uint32_t(x) * 2654435761u + uint32_t(y) * 40503u + Seed) >> 8 & 0xFFFFFF);
    return b;
}

testing::AssertionResult SamePixels(TBitmap* A, TBitmap* B)
{
    const TBitmapRows a = A->Rows(), b = B->Rows();
    if (a.Width != b.Width || a.Height != b.Height || a.BytesPerPixel != b.BytesPerPixel)
        return testing::AssertionFailure() << "bitmaps of different sizes or formats";
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (std::memcmp(a.Pixel(x, y), b.Pixel(x, y), std::size_t(a.BytesPerPixel)) != 0)
                return testing::AssertionFailure() << "pixel " << x << "," << y << ": " << std::hex
                                                   << PixelOf(A, x, y) << " against " << PixelOf(B, x, y);
    return testing::AssertionSuccess();
}

} // namespace

// Every section of the built-in skin, each state, several sizes and places,
// over a parent's image reaching past the control or over a colour: the
// kept picture (made, then used again) paints what the full way paints,
// inside R and out of it.
TEST(KeptWork, PicturesPaintAsTheFullWay)
{
    TDialogSeamScope seam;
    TBuiltinStore skin;
    ASSERT_NO_THROW(skin.Load());
    TBitmapPtr parent = Patterned(260, 90, 7);
    TCacheInfo fill = EmptyCI;
    fill.FillColor = 0x3060A0;
    const TCacheInfo backs[] = {MakeCacheInfo(parent.get(), 3, 2), MakeCacheInfo(parent.get(), -4, 60), fill};
    const TSize sizes[] = {{76, 24}, {170, 44}, {5, 3}};
    const TPoint places[] = {{0, 0}, {7, 3}};
    for (int i = 0; i < int(skin.gd.size()); ++i)
        for (int state = 0; state < 3; ++state)
            for (const TSize& size : sizes)
                for (const TPoint& at : places)
                    for (const TCacheInfo& ci : backs) {
                        const TRect r(at.x, at.y, at.x + size.cx, at.y + size.cy);
                        const UnicodeString& name = skin.gd[std::size_t(i)].ClassName;
                        TBitmapPtr want = Patterned(190, 50, 3);
                        {
                            TFullWay full;
                            PaintItem(i, name, ci, true, state, r, TPoint(2, 1), want.get(), &skin);
                        }
                        for (int pass = 0; pass < 2; ++pass) {
                            TBitmapPtr got = Patterned(190, 50, 3);
                            PaintItem(i, name, ci, true, state, r, TPoint(2, 1), got.get(), &skin);
                            ASSERT_TRUE(SamePixels(got.get(), want.get()))
                                << std::string(name.begin(), name.end()) << " state " << state << " size "
                                << size.cx << "x" << size.cy << " at " << at.x << "," << at.y << " pass " << pass;
                        }
                    }
    // The pictures were kept (the comparison above went through them).
    TsPaintCache* cache = TsPaintCache::Of(&skin);
    ASSERT_NE(cache, nullptr);
    EXPECT_GT(cache->PictureCount(), 20);
}

// Table entries changed in place after a paint: the next paint shows them.
TEST(KeptWork, EntriesChangedInPlacePaintAfresh)
{
    TDialogSeamScope seam;
    TBuiltinStore skin;
    ASSERT_NO_THROW(skin.Load());
    const int button = skin.GetSkinIndex(L"BUTTON");
    ASSERT_GE(button, 0);
    TsGeneralData& gd = skin.gd[std::size_t(button)];
    const TRect r(0, 0, 60, 22);
    const auto paintBoth = [&] {
        TBitmapPtr want = MakeBmp(60, 22, 24), got = MakeBmp(60, 22, 24);
        {
            TFullWay full;
            PaintItem(button, L"BUTTON", EmptyCI, true, 0, r, TPoint(0, 0), want.get(), &skin);
        }
        PaintItem(button, L"BUTTON", EmptyCI, true, 0, r, TPoint(0, 0), got.get(), &skin);
        return SamePixels(want.get(), got.get());
    };
    ASSERT_TRUE(paintBoth());
    gd.GradientArray[0].Color2 = 0x0000FF;
    EXPECT_TRUE(paintBoth()) << "a gradient colour";
    gd.GradientPercent = 0;
    gd.Color = 0x00FF00;
    EXPECT_TRUE(paintBoth()) << "the colour alone";
    gd.BorderIndex = -1;
    EXPECT_TRUE(paintBoth()) << "no border";
}

// Layers painted aside (a translucent section with a texture under a
// gradient) in the kept scratch bitmaps give the full way's pixels, also
// after a larger paint has left other pixels in them.
TEST(KeptWork, ScratchBitmapsReadAsNewOnes)
{
    TTestManager m;
    TsGeneralData g;
    g.ClassName = L"PANEL";
    g.Color = 0x0000C8;
    g.Transparency = 40;
    g.ImagePercent = 30;
    g.GradientPercent = 50;
    g.GradientData = L"255;16711680;100;1;0";
    g.GradientArray = {{255, 16711680, 100, 1, 0}};
    m.gd.push_back(g);
    TBitmapPtr texture = Patterned(3, 5, 9);
    TsMaskData t;
    t.Bmp = texture.get();
    t.R = TRect(0, 0, 3, 5);
    t.ImageCount = 1;
    t.Manager = &m;
    m.ma.push_back(t);
    TBitmapPtr parent = Patterned(120, 60, 1);
    const TCacheInfo ci = MakeCacheInfo(parent.get(), 2, 3);
    for (const TRect& r : {TRect(0, 0, 100, 40), TRect(3, 2, 30, 17), TRect(1, 1, 2, 2)}) {
        TBitmapPtr want = Patterned(110, 50, 5), got = Patterned(110, 50, 5);
        {
            TFullWay full;
            PaintItem(0, L"PANEL", ci, true, 0, r, TPoint(0, 0), want.get(), &m, 0, 0);
        }
        PaintItem(0, L"PANEL", ci, true, 0, r, TPoint(0, 0), got.get(), &m, 0, 0);
        EXPECT_TRUE(SamePixels(want.get(), got.get())) << r.Width() << "x" << r.Height();
    }
}

// A glow made once and blended again, for a text, a colour and a font that
// change between paints: as the full way each time.
TEST(KeptWork, GlowsAsTheFullWay)
{
    TDialogSeamScope seam;
    TBuiltinStore skin;
    ASSERT_NO_THROW(skin.Load());
    const TRect r(6, 4, 150, 30);
    struct TCase {
        const wchar_t* Text;
        TColor Color;
        int FontHeight;
    } cases[] = {{L"Glow", 0xFFFFFF, -13}, {L"Glow", 0xFFFFFF, -13}, {L"Glow", 0x00A0FF, -13},
                 {L"Other text", 0x00A0FF, -13}, {L"Other text", 0x00A0FF, -17}, {L"Glow", 0xFFFFFF, -13}};
    for (const TCase& c : cases) {
        TBitmapPtr want = Patterned(170, 40, 4), got = Patterned(170, 40, 4);
        for (TBitmap* b : {want.get(), got.get()})
            b->Canvas()->Font()->SetHeight(c.FontHeight);
        {
            TFullWay full;
            DrawTextGlow(&skin, want.get(), c.Text, r, DT_SINGLELINE | DT_VCENTER, 15, 4, c.Color);
        }
        DrawTextGlow(&skin, got.get(), c.Text, r, DT_SINGLELINE | DT_VCENTER, 15, 4, c.Color);
        EXPECT_TRUE(SamePixels(want.get(), got.get()))
            << std::string(c.Text, c.Text + std::wcslen(c.Text)) << " " << c.FontHeight;
    }
    EXPECT_EQ(TsPaintCache::Of(&skin)->GlowCount(), 3);
}

// What the skin keeps holds bitmaps; a new skin and the skin's end let go
// of every one of them.
TEST(KeptWork, ReleasedOnSkinChangeAndAtTheEnd)
{
    TDialogSeamScope seam;
    const TResourceCount start = CountResources();
    {
        TBuiltinStore skin;
        ASSERT_NO_THROW(skin.Load());
        const TResourceCount loaded = CountResources();
        const auto paint = [&] {
            TBitmapPtr b = MakeBmp(120, 40, 24);
            for (int i = 0; i < int(skin.gd.size()); ++i)
                PaintItem(i, skin.gd[std::size_t(i)].ClassName, EmptyCI, true, 1, TRect(0, 0, 120, 40), TPoint(0, 0),
                          b.get(), &skin);
            DrawTextGlow(&skin, b.get(), L"Caption", TRect(0, 0, 120, 40), DT_SINGLELINE, 15, 3, 0xFFFFFF);
        };
        paint();
        EXPECT_FALSE(NoResourceGrowth(loaded, CountResources())) << "the kept work holds a bitmap";
        ASSERT_NO_THROW(skin.Load());
        EXPECT_TRUE(NoResourceGrowth(loaded, CountResources())) << "after a new skin";
        paint();
    }
    EXPECT_TRUE(NoResourceGrowth(start, CountResources())) << "after the skin's end";
}
