// Captions: contour copies in a section's colours, disabled mixes, the glow
// blurred out of a text mask, the blur of bitmaps, the ellipsis cutter and
// the embossed writer's text box.
#include <gtest/gtest.h>

#include <set>

#include "../PaintTestUtils.h"
#include "skin/paint/sGraphUtils.h"

namespace {

// A bitmap whose canvas writes with a large bold font, so that the inside of
// its strokes has the exact colour it was drawn in.
TBitmapPtr TextBmp(int W, int H, uint32_t Fill)
{
    TBitmapPtr b = MakeBmp(W, H, 24, false, Fill);
    b->Canvas()->Font()->SetHandle(::CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                                 NONANTIALIASED_QUALITY, 0, L"Tahoma"));
    return b;
}

void FillRows(const TBitmapRows& Rows, uint8_t Value)
{
    for (int y = 0; y < Rows.Height; ++y)
        std::fill_n(Rows.Row(y), std::size_t(Rows.Width) * std::size_t(Rows.BytesPerPixel), Value);
}

std::set<uint32_t> ColoursOf(TBitmap* B)
{
    std::set<uint32_t> s;
    for (int y = 0; y < B->Height(); ++y)
        for (int x = 0; x < B->Width(); ++x)
            s.insert(PixelOf(B, x, y));
    return s;
}

// Memory order (B, G, R) of a TColor.
uint32_t Px(TColor C)
{
    return uint32_t((C & 0xFF) << 16 | (C & 0xFF00) | ((C >> 16) & 0xFF));
}

// One section with known font colours.
struct TSectionSkin {
    TTestManager Manager;
    TSectionSkin()
    {
        TsGeneralData g;
        g.ClassName = L"BUTTON";
        g.Color = 0x00FF00;
        g.FontColor.Items[0] = 0x0000FF;
        g.FontColor.Items[1] = 0xFF0000;
        g.FontColor.Items[2] = TColor(-1);
        g.FontColor.Items[3] = 0x00FFFF;
        g.FontColor.Items[4] = TColor(-1);
        for (TColor& c : g.HotFontColor.Items)
            c = TColor(-1);
        g.HotFontColor.Items[0] = 0x808080;
        Manager.gd.push_back(g);
    }
};

} // namespace

TEST(Text, ContourCopiesInTheSectionColours)
{
    TSectionSkin skin;
    TBitmapPtr b = TextBmp(80, 40, 0xFFFFFF);
    TRect r(4, 4, 76, 36);
    WriteTextEx(b->Canvas(), L"HM", true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, false, &skin.Manager);
    // Main red, left blue and right yellow copies show; the skipped ones (-1) do not.
    std::set<uint32_t> c = ColoursOf(b.get());
    EXPECT_TRUE(c.count(Px(0x0000FF)));
    EXPECT_TRUE(c.count(Px(0xFF0000)));
    EXPECT_TRUE(c.count(Px(0x00FFFF)));

    // Hot colours with every contour at -1: plain text.
    TBitmapPtr h = TextBmp(80, 40, 0xFFFFFF);
    kvWriteTextEx(h->Canvas(), L"HM", true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, true, &skin.Manager);
    std::set<uint32_t> hot = ColoursOf(h.get());
    EXPECT_TRUE(hot.count(Px(0x808080)));
    for (uint32_t p : hot)
        EXPECT_EQ(p, (p & 0xFF) * 0x010101u) << "only greys (smoothed edges included)";

    // Disabled: one draw in 40 % of the font colour and 60 % of the section's colour.
    TBitmapPtr d = TextBmp(80, 40, 0xFFFFFF);
    WriteTextEx(d->Canvas(), L"HM", false, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, false, &skin.Manager);
    std::set<uint32_t> disabled = ColoursOf(d.get());
    EXPECT_TRUE(disabled.count(Px(MixColors(0x0000FF, 0x00FF00, 0.4))));
    EXPECT_FALSE(disabled.count(Px(0x0000FF)));
    EXPECT_FALSE(disabled.count(Px(0xFF0000))) << "no contours";

    // An unknown section, an empty text or no manager at all draws nothing.
    TBitmapPtr n = TextBmp(80, 40, 0xFFFFFF);
    WriteTextEx(n->Canvas(), L"HM", true, r, 0, 5, false, &skin.Manager);
    WriteTextEx(n->Canvas(), L"", true, r, 0, 0, false, &skin.Manager);
    WriteTextEx(n->Canvas(), L"HM", true, r, 0, 0, false, nullptr);
    EXPECT_EQ(ColoursOf(n.get()).size(), 1u);
}

TEST(Text, GlowAroundText)
{
    for (int bits : {24, 32}) {
        TBitmapPtr b = MakeBmp(120, 60, bits, false, bits == 32 ? 0xFF000000 : 0);
        b->Canvas()->Font()->SetHeight(-20);
        TBitmap* mask = nullptr;
        const TRect r(30, 20, 90, 40);
        kvDrawGlowForText(b.get(), L"Glow", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 15, 3, 0x0000FF, mask);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask->Width(), r.Width() + 14);
        EXPECT_EQ(mask->Height(), r.Height() + 14);
        EXPECT_EQ(mask->PixelFormat(), pf8bit);
        // The middle of the text turns red; far outside nothing changes.
        const uint32_t mid = PixelOf(b.get(), 60, 30) & 0xFFFFFF;
        EXPECT_GT(mid >> 16, 0x40u);
        EXPECT_EQ(mid & 0xFFFF, 0u);
        EXPECT_EQ(PixelOf(b.get(), 2, 2), bits == 32 ? 0xFF000000u : 0u);
        if (bits == 32) {
            EXPECT_LT(PixelOf(b.get(), 60, 30) >> 24, 0xFFu) << "alpha lowered under the glow";
        }
        // A mask of the right size is reused as it is: a white one adds nothing.
        TBitmapPtr c = MakeBmp(120, 60, bits, false, 0);
        FillRows(mask->Rows(), 255);
        kvDrawGlowForText(c.get(), L"Glow", r, DT_CENTER, 15, 3, 0x0000FF, mask);
        EXPECT_EQ(PixelOf(c.get(), 60, 30) & 0xFFFFFF, 0u);
        FreeAndNil(mask);
    }
}

TEST(Text, BlurOnlyOfItsOwnFormat)
{
    TBitmapPtr b8(New<TBitmap>());
    b8->SetPixelFormat(pf8bit);
    b8->SetSize(9, 9);
    FillRows(b8->Rows(), 255);
    b8->Rows().Pixel(4, 4)[0] = 0;
    TBitmapPtr b24 = MakeBmp(9, 9, 24, false, 0xFFFFFF);
    SetPixelOf(b24.get(), 4, 4, 0);

    Blur8(b24.get(), 1);  // wrong format: unchanged
    EXPECT_EQ(PixelOf(b24.get(), 4, 4), 0u);
    Blur24(b8.get(), 1);
    EXPECT_EQ(b8->Rows().Pixel(4, 4)[0], 0);

    Blur8(b8.get(), 1);
    Blur24(b24.get(), 1);
    const TBitmapRows r8 = b8->Rows();
    EXPECT_GT(r8.Pixel(4, 4)[0], 0);
    EXPECT_LT(r8.Pixel(4, 4)[0], r8.Pixel(3, 4)[0]);
    EXPECT_EQ(r8.Pixel(3, 4)[0], r8.Pixel(5, 4)[0]) << "symmetric";
    EXPECT_EQ(r8.Pixel(4, 3)[0], r8.Pixel(3, 4)[0]);
    EXPECT_EQ(r8.Pixel(0, 0)[0], 255) << "a flat area stays flat";
    // Both formats blur alike, channel by channel.
    EXPECT_EQ(PixelOf(b24.get(), 3, 4), uint32_t(r8.Pixel(3, 4)[0]) * 0x010101u);

    // A device-dependent 8-bit bitmap is left alone.
    TBitmapPtr ddb(New<TBitmap>());
    ddb->SetHandle(::CreateBitmap(9, 9, 1, 8, nullptr));
    const TPixelFormat before = ddb->PixelFormat();
    Blur8(ddb.get(), 1);
    EXPECT_EQ(ddb->HandleType(), bmDDB);
    EXPECT_EQ(ddb->PixelFormat(), before);
}

TEST(Text, CutTextAndMeasures)
{
    TBitmapPtr b = TextBmp(10, 10, 0);
    TCanvas* c = b->Canvas();
    const UnicodeString text = L"A rather long caption";
    const int full = kvTextWidth(c, text);
    EXPECT_EQ(kvTextExtent(c, text).cx, full);
    EXPECT_GT(kvTextHeight(c, text), 0);
    EXPECT_EQ(CutText(c, text, 0), L"");
    EXPECT_EQ(CutText(c, text, full), text);
    const UnicodeString cut = CutText(c, text, full / 2);
    ASSERT_GE(cut.size(), 4u);
    EXPECT_EQ(cut.substr(cut.size() - 3), L"...");
    EXPECT_LE(kvTextWidth(c, cut), full / 2);
    EXPECT_GT(kvTextWidth(c, cut.substr(0, cut.size() - 3) + text[cut.size() - 3] + L"..."), full / 2)
        << "as many characters as fit";
    EXPECT_EQ(CutText(c, text, 3), L"") << "not even one character fits with the ellipsis";
}

TEST(Text, EmbossedTextBox)
{
    TBitmapPtr b = TextBmp(200, 60, 0xFFFFFF);
    TCanvas* c = b->Canvas();
    const TSize ext = kvTextExtent(c, L"Text");
    struct Case {
        unsigned Flags;
        int Left, Right;  // of the box, -1: centred
    } cases[] = {{0, 10, 10 + ext.cx}, {DT_RIGHT, 190 - ext.cx, 190}, {DT_CENTER, -1, -1}};
    for (const Case& k : cases) {
        TRect r(10, 10, 190, 50);
        WriteText(c, L"Text", true, r, k.Flags);
        const int dy = (40 - ext.cy) / 2;
        if (k.Left >= 0) {
            EXPECT_EQ(r.left, k.Left - 1);
            EXPECT_EQ(r.right, k.Right + 1);
        } else {
            const int dx = (180 - ext.cx) / 2;
            EXPECT_EQ(r.left, 10 + dx - 1);
            EXPECT_EQ(r.right, 190 - dx + 1);
        }
        EXPECT_EQ(r.top, 10 + dy - 1);
        EXPECT_EQ(r.bottom, 50 - dy + 1);
    }
    // Disabled: the highlight copy and the shadow-coloured text.
    TBitmapPtr d = TextBmp(200, 60, 0x000000);
    TRect r(10, 10, 190, 50);
    WriteText(d->Canvas(), L"Text", false, r, 0);
    std::set<uint32_t> colours = ColoursOf(d.get());
    EXPECT_TRUE(colours.count(Px(ColorToRGB(clBtnHighlight))));
    EXPECT_TRUE(colours.count(Px(ColorToRGB(clBtnShadow))));
}
