// Painting through a control's skin state: transparent border corners
// repaired from the parent, the border of a windowed control, the section
// with the control's custom colour, and captions in the control's colours.
#include <gtest/gtest.h>

#include <set>

#include "../PaintTestUtils.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"

namespace {

constexpr TColor ParentColor = 0x336699;  // TColor; pixel 0x996633
constexpr uint32_t ParentPx = 0x996633;

// A panel at (5, 7), 30 x 20, on a form of ParentColor, with its skin state
// on a manager of one section "PANEL" whose border is a 6 x 6 masked image
// with 2-pixel borders and key pixels in its top-left and bottom-right corners.
struct TControlSkin {
    TOwned<TsSkinManager> Manager{New<TsSkinManager>(nullptr)};
    TOwned<TForm> Form{New<TForm>(nullptr)};
    TPanel* Panel;
    TOwned<TsCommonData> Data;

    TControlSkin()
    {
        Form->SetColor(ParentColor);
        Panel = New<TPanel>(Form.get());
        Panel->SetParent(Form.get());
        Panel->SetBounds(5, 7, 30, 20);
        Panel->SetColor(0x0000FF);
        TsGeneralData g;
        g.ClassName = L"PANEL";
        g.Color = g.HotColor = 0x00FF00;
        g.FontColor[1] = 0x0000FF;
        g.FontColor[2] = g.FontColor[3] = g.FontColor[4] = g.FontColor[5] = TColor(-1);
        Manager->gd.push_back(g);
        TBitmap* img = New<TBitmap>();  // the manager frees its images
        img->SetPixelFormat(pf24bit);
        img->SetSize(6, 12);
        const TBitmapRows rows = img->Rows();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 6; ++x) {
                uint8_t* p = rows.Pixel(x, y);
                p[0] = p[1] = p[2] = y < 6 ? 0x40 : 0;  // picture 0x404040, mask 0 (opaque)
            }
        SetPixelOf(img, 0, 0, 0xFF00FF);
        SetPixelOf(img, 5, 5, 0xFF00FF);
        TsMaskData md;
        md.Bmp = img;
        md.R = TRect(0, 0, 6, 12);
        md.ImageCount = 1;
        md.MaskType = 1;
        md.WL = md.WT = md.WR = md.WB = 2;
        md.Manager = Manager.get();
        Manager->ma.push_back(md);
        Data.reset(new TsCommonData(Panel, true));
        Data->FOwnerControl = Panel;
        Data->FSkinManager = Manager.get();
        Data->FSkinSection = L"PANEL";
        Data->SkinIndex = 0;
        Data->BorderIndex = 0;
        Data->InitCacheBmp();
    }
    TsMaskData& Border() { return Manager->ma[0]; }
    TBitmap* Cache() { return Data->FCacheBmp; }
};

void Fill(TBitmap* B, uint32_t Px)
{
    for (int y = 0; y < B->Height(); ++y)
        for (int x = 0; x < B->Width(); ++x)
            SetPixelOf(B, x, y, Px);
}

} // namespace

TEST(ControlPaint, UpdateCornersTakesTheParentsColour)
{
    TControlSkin s;
    ASSERT_EQ(s.Cache()->Width(), 30);
    Fill(s.Cache(), 0x777777);
    UpdateCorners(s.Data.get(), 0);
    EXPECT_EQ(PixelOf(s.Cache(), 0, 0), ParentPx);
    EXPECT_EQ(PixelOf(s.Cache(), 29, 19), ParentPx);
    EXPECT_EQ(PixelOf(s.Cache(), 1, 0), 0x777777u);
    EXPECT_EQ(PixelOf(s.Cache(), 28, 19), 0x777777u);

    // Only the corners asked for.
    Fill(s.Cache(), 0x777777);
    UpdateCorners(s.Data.get(), 0, TsCorners{scLeftTop});
    EXPECT_EQ(PixelOf(s.Cache(), 0, 0), ParentPx);
    EXPECT_EQ(PixelOf(s.Cache(), 29, 19), 0x777777u);

    // A parent of the key colour, or an image without picture height: nothing.
    Fill(s.Cache(), 0x777777);
    s.Form->SetColor(0xFF00FF);
    UpdateCorners(s.Data.get(), 0);
    EXPECT_EQ(PixelOf(s.Cache(), 0, 0), 0x777777u);
    s.Form->SetColor(ParentColor);
    s.Border().MaskType = -1;
    UpdateCorners(s.Data.get(), 0);
    EXPECT_EQ(PixelOf(s.Cache(), 0, 0), 0x777777u);
}

TEST(ControlPaint, PaintBorderFastReturnsTheClientRectangle)
{
    TControlSkin s;
    TBitmapPtr screen = MakeBmp(30, 20, 24, false, 0x123456);
    HDC dc = screen->Canvas()->Handle();
    // The image's border only: R shrunk by its widths, nothing copied to DC.
    Fill(s.Cache(), 0x777777);
    EXPECT_EQ(PaintBorderFast(dc, TRect(0, 0, 30, 20), 0, s.Data.get(), 0), TRect(2, 2, 28, 18));
    EXPECT_EQ(PixelOf(screen.get(), 3, 0), 0x123456u);
    EXPECT_EQ(PixelOf(s.Cache(), 3, 0), 0x404040u);
    EXPECT_EQ(PixelOf(s.Cache(), 0, 0), ParentPx) << "the corner's hole shows the parent's colour";
    EXPECT_EQ(PixelOf(s.Cache(), 10, 10), 0x777777u) << "the inside is left alone";

    // A wider border: the band in the background colour, the frame copied to DC.
    EXPECT_EQ(PaintBorderFast(dc, TRect(0, 0, 30, 20), 4, s.Data.get(), 0), TRect(4, 4, 26, 16));
    EXPECT_EQ(PixelOf(screen.get(), 3, 0), 0x404040u);
    EXPECT_NE(PixelOf(screen.get(), 3, 3), 0x123456u);
    EXPECT_EQ(PixelOf(screen.get(), 3, 3), PixelOf(s.Cache(), 3, 3));
    EXPECT_EQ(PixelOf(screen.get(), 10, 10), 0x123456u);

    // Without a border image: the frame straight into DC, and the rectangle inside it.
    s.Data->BorderIndex = -1;
    EXPECT_EQ(PaintBorderFast(dc, TRect(0, 0, 30, 20), 3, s.Data.get(), 0), TRect(3, 3, 27, 17));
    EXPECT_EQ(PaintBorderFast(dc, TRect(0, 0, 30, 20), 0, s.Data.get(), 0), TRect(0, 0, 30, 20));
}

TEST(ControlPaint, SectionOfAControl)
{
    TControlSkin s;
    TBitmapPtr b = MakeBmp(30, 20, 24, false, 0x777777);
    PaintItem(s.Data.get(), EmptyCI, false, 0, TRect(0, 0, 30, 20), TPoint(0, 0), b.get(), true);
    EXPECT_EQ(PixelOf(b.get(), 10, 10), 0x00FF00u);
    EXPECT_EQ(PixelOf(b.get(), 3, 0), 0x404040u);
    // The custom colour is the owner's own.
    s.Data->FCustomColor = true;
    PaintItem(s.Data.get(), EmptyCI, false, 0, TRect(0, 0, 30, 20), TPoint(0, 0), b.get(), true);
    EXPECT_EQ(PixelOf(b.get(), 10, 10), 0xFF0000u);
    // DrawMode 2: no border in the normal state, but in the hot one.
    s.Data->FCustomColor = false;
    s.Border().DrawMode = 2;
    TBitmapPtr c = MakeBmp(30, 20, 24, false, 0x777777);
    PaintSkinControl(s.Data.get(), s.Form.get(), false, 0, TRect(0, 0, 30, 20), TPoint(0, 0), c.get(), true);
    EXPECT_EQ(PixelOf(c.get(), 3, 0), 0x00FF00u);
    PaintSkinControl(s.Data.get(), s.Form.get(), false, 1, TRect(0, 0, 30, 20), TPoint(0, 0), c.get(), true);
    EXPECT_EQ(PixelOf(c.get(), 3, 0), 0x404040u);
}

TEST(ControlPaint, CaptionInTheControlsColours)
{
    TControlSkin s;
    TBitmapPtr b = MakeBmp(80, 30, 24, false, 0xFFFFFF);
    s.Panel->Font()->SetHeight(-20);
    TRect r(0, 0, 80, 30);
    WriteTextEx(b->Canvas(), L"HM", true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, s.Data.get(), false);
    std::set<uint32_t> colours;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x)
            colours.insert(PixelOf(b.get(), x, y));
    EXPECT_TRUE(colours.count(0xFF0000u)) << "the section's font colour (red)";
    EXPECT_EQ(b->Canvas()->Font()->Height(), -20) << "the owner's font";
    // Disabled: 40 % font colour, 60 % the skin's global colour.
    TBitmapPtr d = MakeBmp(80, 30, 24, false, 0xFFFFFF);
    WriteTextEx(d->Canvas(), L"HM", false, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, s.Data.get(), false);
    const TColor mixed = MixColors(0x0000FF, s.Manager->GetGlobalColor(), 0.4);
    bool found = false;
    for (int y = 0; y < 30 && !found; ++y)
        for (int x = 0; x < 80 && !found; ++x)
            found = PixelOf(d.get(), x, y) == uint32_t((mixed & 0xFF) << 16 | (mixed & 0xFF00) | ((mixed >> 16) & 0xFF));
    EXPECT_TRUE(found);
    // Hot text in a "WEBBUTTON" is underlined.
    s.Data->FSkinSection = L"WEBBUTTON";
    WriteTextEx(d->Canvas(), L"HM", true, r, 0, s.Data.get(), true);
    EXPECT_TRUE(d->Canvas()->Font()->Style().Contains(fsUnderline));
    s.Data->FSkinSection = L"PANEL";
    WriteTextEx(d->Canvas(), L"HM", true, r, 0, s.Data.get(), true);
    EXPECT_FALSE(d->Canvas()->Font()->Style().Contains(fsUnderline));
}
