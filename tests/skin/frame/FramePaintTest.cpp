// A frame's picture as its adapter prints it: the section's background
// colour over the whole frame and the section's border image on its edge,
// in the context asked for (not in the frame's window).
#include <array>

#include "FrameFixture.h"
#include "classlib/controls/Forms.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sFrameAdapter.h"
#include "skin/paint/sGraphUtils.h"

using namespace frametest;

class FramePaint : public FrameTest {
protected:
    static constexpr int W = 120, H = 80;
    TsFrameAdapter* NewFrame(TForm* Form, const wchar_t* Section)
    {
        auto* frame = New<TFrame>(Form);
        frame->SetParent(Form);
        frame->SetBounds(10, 10, W, H);
        auto* adapter = New<TsFrameAdapter>(frame);
        adapter->SkinData()->SetSkinSection(Section);
        adapter->SkinData()->UpdateIndexes();
        Application->ProcessMessages();
        return adapter;
    }
    // The frame printed into a green bitmap (the caller owns it).
    static TBitmap* Printed(TsFrameAdapter* Adapter)
    {
        auto* b = new TBitmap(W, H, pf24bit);
        FillDC(b->Canvas()->Handle(), TRect(0, 0, W, H), TColor(0x00FF00));
        ::SendMessageW(Adapter->Frame->Handle(), WM_PRINT, WPARAM(b->Canvas()->Handle()), PRF_CLIENT | PRF_ERASEBKGND);
        return b;
    }
    TRgb SectionColor(TsCommonData* Sd)
    {
        const TColor c = ColorToRGB(Manager->gd[std::size_t(Sd->SkinIndex)].Color);
        return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
    }
};

TEST_F(FramePaint, PrintedWithTheSectionsColourAndBorder)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsFrameAdapter* adapter = NewFrame(form.get(), s_Dialog);
    TsCommonData* sd = adapter->SkinData();
    ASSERT_TRUE(sd->Skinned());
    ASSERT_TRUE(Manager->IsValidImgIndex(sd->BorderIndex)) << "the built-in skin's DIALOG has a border image";
    const int w = SkinBorderMaxWidth(sd);
    ASSERT_GT(w, 0);
    TOwned<TBitmap> b(Printed(adapter));
    const TRgb fill = SectionColor(sd);
    for (const TPoint& p : {TPoint(w, w), TPoint(W / 2, H / 2), TPoint(W - w - 1, H - w - 1)})
        EXPECT_EQ(PixelAt(b.get(), p.x, p.y), fill) << p.x << "," << p.y;
    // The corners: the border image where its mask is opaque, the fill
    // where it is see-through.
    const TsMaskData& md = Manager->ma[std::size_t(sd->BorderIndex)];
    const int mw = WidthOfImage(md), mh = HeightOfImage(md);
    int opaque = 0;
    for (int i = 0; i < w; ++i)
        for (const auto& [x, y, mx, my] : {std::array{i, i, i, i}, std::array{W - 1 - i, H - 1 - i, mw - 1 - i, mh - 1 - i},
                                           std::array{W - 1 - i, i, mw - 1 - i, i}, std::array{i, H - 1 - i, i, mh - 1 - i}}) {
            // A mask pixel is opaque (black), see-through (white) or a blend.
            const TRgb m = MaskMask(md, 0, mx, my);
            if (m == TRgb{0, 0, 0}) {
                ++opaque;
                EXPECT_EQ(PixelAt(b.get(), x, y), MaskPicture(md, 0, mx, my)) << x << "," << y;
            } else if (m == TRgb{255, 255, 255}) {
                EXPECT_EQ(PixelAt(b.get(), x, y), fill) << x << "," << y;
            }
        }
    EXPECT_GT(opaque, 0) << "some corner pixels come from the border image";
}

TEST_F(FramePaint, SectionWithoutBorderFilledFlat)
{
    TOwned<TForm> form(NewForm(bsSizeable));
    TsFrameAdapter* adapter = NewFrame(form.get(), s_CheckBox);
    TsCommonData* sd = adapter->SkinData();
    ASSERT_TRUE(sd->Skinned());
    if (IsCached(sd) || SkinBorderMaxWidth(sd) > 0)
        GTEST_SKIP() << "the built-in CHECKBOX has a border or a texture";
    TOwned<TBitmap> b(Printed(adapter));
    const TRgb fill = PixelAt(b.get(), W / 2, H / 2);
    EXPECT_NE(fill, (TRgb{0, 255, 0}));
    for (const TPoint& p : {TPoint(0, 0), TPoint(W - 1, 0), TPoint(0, H - 1), TPoint(W - 1, H - 1)})
        EXPECT_EQ(PixelAt(b.get(), p.x, p.y), fill) << p.x << "," << p.y;
}
