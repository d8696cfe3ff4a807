// Painting skin sections: colour, texture and gradient layers mixed over a
// parent's image or colour by the transparency, corner glyphs and borders
// through PaintItem, and window regions cut from transparent pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../PaintTestUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr uint32_t Parent = 0x204060;  // parent pixel (memory order B, G, R)
constexpr TColor Section = 0x0000C8;   // section colour (TColor: red 200)
constexpr uint32_t SectionPx = 0xC80000;

// A skin with one section "PANEL" (and "BUTTON" after it), an image table
// and no default manager.
struct TSkin {
    TTestManager M;
    TBitmapPtr Texture;
    TSkin()
    {
        TsGeneralData g;
        g.ClassName = L"PANEL";
        g.Color = Section;
        g.HotColor = 0x00C800;
        M.gd.push_back(g);
        g.ClassName = L"BUTTON";
        M.gd.push_back(g);
        // A 2 x 2 texture without mask: two known colours in a check.
        Texture = MakeBmp(2, 2, 24, true, 0x000000);
        SetPixelOf(Texture.get(), 0, 0, 0x6464C8);
        SetPixelOf(Texture.get(), 1, 1, 0x6464C8);
        TsMaskData t;
        t.Bmp = Texture.get();
        t.R = TRect(0, 0, 2, 2);
        t.ImageCount = 1;
        t.MaskType = 0;
        t.Manager = &M;
        M.ma.push_back(t);
    }
    TsGeneralData& G(int i = 0) { return M.gd[std::size_t(i)]; }
};

int Channel(uint32_t P, int C)
{
    return int((P >> (8 * C)) & 0xFF);
}

void ExpectNear(uint32_t Got, uint32_t Want, int Tolerance, const char* What)
{
    for (int c = 0; c < 3; ++c)
        ASSERT_LE(std::abs(Channel(Got, c) - Channel(Want, c)), Tolerance)
            << What << ": " << std::hex << Got << " vs " << Want;
}

} // namespace

TEST(Sections, TransparencyOverTheParent)
{
    TSkin skin;
    TBitmapPtr parent = MakeBmp(40, 40, 24, false, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            SetPixelOf(parent.get(), x, y, Parent + uint32_t(x));
    const TCacheInfo ci = MakeCacheInfo(parent.get(), 5, 6);
    TCacheInfo fill = EmptyCI;
    fill.FillColor = 0x0A0B0C;

    // 100: exactly the parent's pixels behind R (CI origin plus Offset), or its colour.
    skin.G().Transparency = 100;
    TBitmapPtr b = MakeBmp(20, 20, 24, false, 0x777777);
    PaintItem(0, L"PANEL", ci, true, 0, TRect(2, 3, 12, 13), TPoint(1, 1), b.get(), &skin.M);
    EXPECT_EQ(PixelOf(b.get(), 2, 3), Parent + 6u);
    EXPECT_EQ(PixelOf(b.get(), 11, 12), Parent + 15u);
    EXPECT_EQ(PixelOf(b.get(), 12, 13), 0x777777u) << "outside R";
    PaintItem(0, L"PANEL", fill, true, 0, TRect(2, 3, 12, 13), TPoint(0, 0), b.get(), &skin.M);
    EXPECT_EQ(PixelOf(b.get(), 5, 5), 0x0C0B0Au);

    // 50: (parent * 127 + section * 128 + 127) shr 8 per channel.
    skin.G().Transparency = 50;
    TBitmapPtr h = MakeBmp(20, 20, 24, false, 0x777777);
    PaintItem(0, L"PANEL", ci, true, 0, TRect(0, 0, 10, 10), TPoint(0, 0), h.get(), &skin.M);
    const uint32_t p = PixelOf(parent.get(), 5 + 3, 6 + 4), want = [&] {
        uint32_t v = 0;
        for (int c = 0; c < 3; ++c)
            v |= uint32_t((Channel(p, c) * 127 + Channel(SectionPx, c) * 128 + 127) >> 8) << (8 * c);
        return v;
    }();
    EXPECT_EQ(PixelOf(h.get(), 3, 4), want);

    // Opaque: the section colour; the hot state its hot colour.
    skin.G().Transparency = 0;
    PaintItem(0, L"PANEL", ci, true, 0, TRect(0, 0, 10, 10), TPoint(0, 0), h.get(), &skin.M);
    EXPECT_EQ(PixelOf(h.get(), 3, 4), SectionPx);
    PaintItem(0, L"PANEL", ci, true, 1, TRect(0, 0, 10, 10), TPoint(0, 0), h.get(), &skin.M);
    EXPECT_EQ(PixelOf(h.get(), 3, 4), 0x00C800u);
    // A custom colour alone, whatever the section says.
    skin.G().Transparency = 50;
    skin.G().ImagePercent = 100;
    PaintItemBG(0, L"PANEL", ci, 0, TRect(0, 0, 10, 10), TPoint(0, 0), h.get(), &skin.M, 0, 0, 0x112233);
    EXPECT_EQ(PixelOf(h.get(), 3, 4), 0x332211u);
}

TEST(Sections, TextureAndGradientLayers)
{
    TSkin skin;
    TsGeneralData& g = skin.G();
    const uint32_t texel = 0x6464C8, black = 0, blue = 0x0000FF, red = 0xFF0000;
    // Per channel: Keep % of A, the rest B (the colour share).
    const auto keep = [](uint32_t A, uint32_t B, int Keep) {
        uint32_t v = 0;
        for (int c = 0; c < 3; ++c)
            v |= uint32_t((Channel(A, c) * Keep + Channel(B, c) * (100 - Keep) + 50) / 100) << (8 * c);
        return v;
    };
    // The texture over a gradient with weight w: (t * w + g * (255 - w) + 127) shr 8.
    const auto over = [](uint32_t T, uint32_t G, int W) {
        uint32_t v = 0;
        for (int c = 0; c < 3; ++c)
            v |= uint32_t((Channel(T, c) * W + Channel(G, c) * (255 - W) + 127) >> 8) << (8 * c);
        return v;
    };
    struct Case {
        int Image, Gradient;
        uint32_t At00, At10;  // the check's two texels, or the gradient's top and bottom
    } cases[] = {
        {30, 0, keep(texel, SectionPx, 30), keep(black, SectionPx, 30)},  // 30 % texture, 70 % colour
        {50, 50, over(texel, blue, 127), over(black, blue, 127)},         // adding up to 100: no colour share
        {0, 100, blue, red},                                              // the gradient alone, top to bottom
    };
    g.GradientData = L"16711680;255;100;0;0";
    PrepareGradArray(g.GradientData, g.GradientArray);
    for (const Case& c : cases) {
        g.ImagePercent = c.Image;
        g.GradientPercent = c.Gradient;
        TBitmapPtr b = MakeBmp(10, 40, 24, true, 0x777777);
        PaintItem(0, L"PANEL", EmptyCI, true, 0, TRect(0, 0, 10, 40), TPoint(0, 0), b.get(), &skin.M, 0, 0);
        if (c.Image == 0) {
            ExpectNear(PixelOf(b.get(), 0, 0), c.At00, 1, "gradient top");
            ExpectNear(PixelOf(b.get(), 0, 39), c.At10, 8, "gradient bottom");
            continue;
        }
        ExpectNear(PixelOf(b.get(), 0, 0), c.At00, 1, "texel");
        ExpectNear(PixelOf(b.get(), 1, 0), c.At10, 1, "black texel");
    }
    // A texture given with a mask is no texture: the pattern lookup finds none, so the colour shows.
    skin.M.ma[0].MaskType = 1;
    g.ImagePercent = 100;
    g.GradientPercent = 0;
    TBitmapPtr b = MakeBmp(4, 4, 24, true, 0x777777);
    PaintItem(0, L"PANEL", EmptyCI, true, 0, TRect(0, 0, 4, 4), TPoint(0, 0), b.get(), &skin.M, 0, 0);
    EXPECT_EQ(PixelOf(b.get(), 1, 0), SectionPx);
}

TEST(Sections, BordersGlyphsAndBounds)
{
    TSkin skin;
    // A 1-frame key-colour border with 1-pixel sides and a 2 x 2 glyph for the top-right corner.
    TBitmapPtr master = MakeBmp(8, 3, 24, true, 0x010203);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            SetPixelOf(master.get(), x, y, x == 1 && y == 1 ? 0x00FF00 : 0xFFFFFF);
    SetPixelOf(master.get(), 0, 0, 0xFF00FF);
    skin.M.Master = master.get();
    TsMaskData border;
    border.R = TRect(0, 0, 3, 3);
    border.ImageCount = 1;
    border.WL = border.WT = border.WR = border.WB = 1;
    border.Manager = &skin.M;
    skin.M.ma.push_back(border);
    TsMaskData glyph = border;
    glyph.R = TRect(4, 0, 6, 2);
    skin.M.ma.push_back(glyph);
    skin.G().BorderIndex = 1;
    skin.G().ImgTR = 2;
    skin.G().ImgBL = 99;  // not in the table: skipped

    TBitmapPtr parent = MakeBmp(20, 20, 24, false, 0x333333);
    TBitmapPtr b = MakeBmp(12, 12, 24, false, 0x777777);
    PaintItem(0, L"PANEL", MakeCacheInfo(parent.get(), 0, 0), false, 0, TRect(1, 1, 11, 11), TPoint(0, 0), b.get(),
              &skin.M);
    EXPECT_EQ(PixelOf(b.get(), 1, 1), 0x333333u) << "the corner's hole shows the parent";
    EXPECT_EQ(PixelOf(b.get(), 5, 1), 0xFFFFFFu) << "top side";
    EXPECT_EQ(PixelOf(b.get(), 5, 5), SectionPx) << "the centre is the background without Filling";
    EXPECT_EQ(PixelOf(b.get(), 10, 10), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(b.get(), 9, 2), 0x010203u) << "the glyph at the top-right corner, under the border";
    EXPECT_EQ(PixelOf(b.get(), 10, 1), 0xFFFFFFu);

    // Empty or outside rectangles paint nothing.
    TBitmapPtr n = MakeBmp(12, 12, 24, false, 0x777777);
    for (const TRect& r : {TRect(0, 0, 0, 10), TRect(5, 5, 13, 10), TRect(-1, 0, 5, 5)})
        PaintItem(0, L"PANEL", EmptyCI, true, 0, r, TPoint(0, 0), n.get(), &skin.M);
    PaintItem(7, L"PANEL", EmptyCI, true, 0, TRect(0, 0, 5, 5), TPoint(0, 0), n.get(), &skin.M);
    PaintItem(0, L"PANEL", EmptyCI, true, 0, TRect(0, 0, 5, 5), TPoint(0, 0), n.get(), nullptr);  // no default manager
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(PixelOf(n.get(), x, y), 0x777777u);

    // PaintItemFast leaves the caller's CI as it was.
    TCacheInfo ci = MakeCacheInfo(parent.get(), 3, 4);
    PaintItemFast(0, 1, -1, -1, L"PANEL", ci, true, 0, TRect(0, 0, 6, 6), TPoint(2, 2), n.get(), &skin.M);
    EXPECT_EQ(ci.X, 3);
    EXPECT_EQ(ci.Y, 4);
    EXPECT_EQ(PixelOf(n.get(), 3, 0), 0xFFFFFFu);

    // The device-context form paints aside and copies to R.
    TBitmapPtr d = MakeBmp(12, 12, 24, false, 0x777777);
    PaintItem(0, L"PANEL", EmptyCI, true, 0, TRect(2, 2, 8, 8), TPoint(0, 0), d->Canvas()->Handle(), &skin.M);
    EXPECT_EQ(PixelOf(d.get(), 4, 2), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(d.get(), 4, 4), SectionPx);
    EXPECT_EQ(PixelOf(d.get(), 1, 1), 0x777777u);
}

TEST(Sections, PaintSectionFallsBackToTheSecondSection)
{
    TSkin skin;
    skin.G(1).Color = 0x0000FF;
    TBitmapPtr b = MakeBmp(6, 6, 24, false, 0x777777);
    EXPECT_EQ(PaintSection(b.get(), L"NOSUCH", L"BUTTON", 0, &skin.M, TPoint(0, 0), 0, nullptr), 1);
    EXPECT_EQ(PixelOf(b.get(), 3, 3), 0xFF0000u);
    EXPECT_EQ(PaintSection(b.get(), L"NOSUCH", L"NONE", 0, &skin.M, TPoint(0, 0), 0, nullptr), -1);
    // Over a parent's device context: a fully transparent section shows it.
    skin.G().Transparency = 100;
    TBitmapPtr parent = MakeBmp(20, 20, 24, false, 0x445566);
    EXPECT_EQ(PaintSection(b.get(), L"PANEL", L"", 0, &skin.M, TPoint(4, 4), 0, parent->Canvas()->Handle()), 0);
    EXPECT_EQ(PixelOf(b.get(), 3, 3), 0x445566u);
    // Without one it shows the colour given, in the border's corner hole
    // too: a system colour as its value.
    TBitmapPtr master = MakeBmp(3, 3, 24, true, 0xFFFFFF);
    SetPixelOf(master.get(), 0, 0, 0xFF00FF);
    skin.M.Master = master.get();
    TsMaskData border;
    border.R = TRect(0, 0, 3, 3);
    border.ImageCount = 1;
    border.WL = border.WT = border.WR = border.WB = 1;
    border.Manager = &skin.M;
    skin.M.ma.push_back(border);
    skin.G().BorderIndex = 1;
    for (int transparency : {100, 50, 0}) {
        skin.G().Transparency = transparency;
        for (TColor system : {clWindow, clBtnShadow}) {
            TBitmapPtr byName = MakeBmp(6, 6, 24, false, 0x777777), byValue = MakeBmp(6, 6, 24, false, 0x777777);
            PaintSection(byName.get(), L"PANEL", L"", 0, &skin.M, TPoint(0, 0), system, nullptr);
            PaintSection(byValue.get(), L"PANEL", L"", 0, &skin.M, TPoint(0, 0), ColorToRGB(system), nullptr);
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 6; ++x)
                    ASSERT_EQ(PixelOf(byName.get(), x, y), PixelOf(byValue.get(), x, y))
                        << transparency << " " << std::hex << system << " at " << x << "," << y;
        }
    }
}

TEST(Sections, RegionsFromKeyPixels)
{
    // Runs of the key colour per row, as one-pixel-high rectangles.
    TBitmapPtr b = MakeBmp(6, 3, 24, true, 0x111111);
    SetPixelOf(b.get(), 0, 0, 0xFF00FF);
    SetPixelOf(b.get(), 1, 0, 0xFF00FF);
    SetPixelOf(b.get(), 4, 0, 0xFF00FF);
    SetPixelOf(b.get(), 5, 2, 0xFF00FF);
    TAOR aor;
    AddRgnBmp(aor, b.get(), sFuchsia);
    ASSERT_EQ(aor.size(), 3u);
    EXPECT_EQ(aor[0], TRect(0, 0, 2, 1));
    EXPECT_EQ(aor[1], TRect(4, 0, 5, 1));
    EXPECT_EQ(aor[2], TRect(5, 2, 6, 3));
    HRGN rgn = nullptr;
    GetRgnFromBmp(rgn, b.get(), 0xFF00FF);
    GdiObject<HRGN> owned(rgn);
    EXPECT_FALSE(::PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(::PtInRegion(rgn, 2, 0));
    EXPECT_FALSE(::PtInRegion(rgn, 5, 2));

    // A border image with a 2-row bottom band in a 9-row picture: its
    // bottom corners' holes land in the window's last two rows.
    TSkin skin;
    TBitmapPtr master = MakeBmp(9, 9, 24, true, 0x222222);
    SetPixelOf(master.get(), 0, 0, 0xFF00FF);  // top-left
    SetPixelOf(master.get(), 8, 8, 0xFF00FF);  // bottom-right, last row
    SetPixelOf(master.get(), 0, 7, 0xFF00FF);  // bottom-left, first band row
    skin.M.Master = master.get();
    TsMaskData md;
    md.R = TRect(0, 0, 9, 9);
    md.ImageCount = 1;
    md.WL = md.WT = md.WR = 3;
    md.WB = 2;
    md.Manager = &skin.M;
    skin.M.ma.push_back(md);
    HRGN cut = GetRgnForMask(1, 40, 30, &skin.M);
    ASSERT_NE(cut, nullptr);
    GdiObject<HRGN> cutOwned(cut);
    EXPECT_FALSE(::PtInRegion(cut, 0, 0));
    EXPECT_FALSE(::PtInRegion(cut, 39, 29));
    EXPECT_FALSE(::PtInRegion(cut, 0, 28));
    EXPECT_TRUE(::PtInRegion(cut, 0, 29));
    EXPECT_TRUE(::PtInRegion(cut, 39, 28));
    EXPECT_TRUE(::PtInRegion(cut, 20, 15));
    // Corners without key pixels: no region at all; an unknown image neither.
    skin.M.ma.back().R = TRect(1, 1, 8, 7);
    skin.M.ma.back().WB = 1;
    EXPECT_EQ(GetRgnForMask(1, 40, 30, &skin.M), nullptr);
    EXPECT_EQ(GetRgnForMask(5, 40, 30, &skin.M), nullptr);
}

TEST(Sections, FastBackgroundCases)
{
    TSkin skin;
    TBitmapPtr parent = MakeBmp(20, 20, 24, false, Parent);
    TCacheInfo fill = EmptyCI;
    fill.FillColor = 0x0A0B0C;
    struct Case {
        int Transparency;
        bool Ready;
        uint32_t Want;
    } cases[] = {
        {100, true, Parent},        // the parent's image alone
        {-5, true, 0x777777},       // a negative transparency over an image paints nothing
        {100, false, 0x0C0B0A},     // no image: the colour share takes the fill colour
        {50, false, SectionPx},     // ... only at 100; otherwise the section's colour, unmixed
        {0, true, SectionPx},
    };
    for (const Case& c : cases) {
        skin.G().Transparency = c.Transparency;
        TBitmapPtr b = MakeBmp(10, 10, 24, false, 0x777777);
        PaintItemBGFast(0, -1, -1, L"PANEL", c.Ready ? MakeCacheInfo(parent.get(), 2, 2) : fill, 0,
                        TRect(0, 0, 10, 10), TPoint(0, 0), b.get(), &skin.M);
        EXPECT_EQ(PixelOf(b.get(), 4, 4), c.Want) << c.Transparency << (c.Ready ? " over an image" : " over a fill");
    }
}
