// The window image of skinned forms, painted into memory and checked by
// pixels against the built-in skin's own images: the frame from the form's
// border image, the title band in its active and inactive colours, the
// caption buttons' faces where the buttons are placed, the caption text
// inside the title band; the window region cut from the title's corners.
// A contact sheet of every border style goes to KV_ARTIFACTS/frame-images.png.
#include <algorithm>
#include <vector>

#include "../paint/sections/PngFile.h"
#include "FrameFixture.h"
#include "classlib/controls/Dialogs.h"
#include "skin/paint/sGraphUtils.h"

using namespace frametest;

namespace {

struct TShot {
    TsSkinProvider* Sp;
    TBitmap* Bmp;
};

// Every pixel where two images of the same size differ.
[[maybe_unused]] std::vector<TPoint> Differences(TBitmap* A, TBitmap* B)
{
    std::vector<TPoint> out;
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x)
            if (!(PixelAt(A, x, y) == PixelAt(B, x, y)))
                out.emplace_back(x, y);
    return out;
}

[[maybe_unused]] TRect BoundsOf(const std::vector<TPoint>& Points)
{
    TRect r(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    for (const TPoint& p : Points) {
        r.left = std::min<LONG>(r.left, p.x);
        r.top = std::min<LONG>(r.top, p.y);
        r.right = std::max<LONG>(r.right, p.x + 1);
        r.bottom = std::max<LONG>(r.bottom, p.y + 1);
    }
    return r;
}

[[maybe_unused]] TBitmap* Copy(TBitmap* Src)
{
    TBitmap* b = CreateBmp24(Src->Width(), Src->Height());
    ::BitBlt(b->Canvas()->Handle(), 0, 0, Src->Width(), Src->Height(), Src->Canvas()->Handle(), 0, 0, SRCCOPY);
    return b;
}

bool Between(uint8_t V, uint8_t A, uint8_t B)
{
    return V >= std::min(A, B) && V <= std::max(A, B);
}

TRgb RgbOf(TColor C)
{
    return {uint8_t(C >> 16), uint8_t(C >> 8), uint8_t(C)};
}

} // namespace

class WindowImage : public FrameTest {};

TEST_F(WindowImage, FrameTitleAndClientFromTheSkinInEachStyleAndState)
{
    const TsMaskData& border = Mask(s_Form, s_BordersMask);
    const int fh = HeightOfImage(border);
    const TsGeneralData& formSection = Manager->gd[std::size_t(Manager->GetSkinIndex(s_Form))];
    const TsGeneralData& title = Manager->gd[std::size_t(Manager->GetSkinIndex(s_FormTitle))];
    for (const TStyleCase& c : AllStyles)
        for (bool zoomed : {false, true})
            for (bool active : {true, false}) {
                SCOPED_TRACE(std::string(c.Name) + (zoomed ? " maximised" : " normal") +
                             (active ? " active" : " inactive"));
                TOwned<TForm> form(NewForm(c.Style));
                if (zoomed)
                    form->SetWindowState(wsMaximized);
                TsSkinProvider* sp = ProviderOf(form.get());
                sp->FormActive = active;
                TBitmap* img = Image(sp);
                RECT wr;
                ::GetWindowRect(form->Handle(), &wr);
                ASSERT_EQ(img->Width(), wr.right - wr.left);
                ASSERT_EQ(img->Height(), wr.bottom - wr.top);
                std::unique_ptr<TBitmap> shown(Shown(form.get()));
                const TsFrameMetrics m = sp->Metrics();
                // The client area in the section's colour of the state.
                const TRgb client = RgbOf(active ? formSection.HotColor : formSection.Color);
                EXPECT_EQ(PixelAt(shown.get(), m.OffsetX() + 5, m.OffsetY() + 5), client);
                EXPECT_EQ(PixelAt(shown.get(), img->Width() / 2, img->Height() / 2), client);
                if (c.Style == bsNone) {
                    // No frame, no title: the client is the whole window.
                    EXPECT_EQ(PixelAt(shown.get(), 0, 0), client);
                    EXPECT_EQ(PixelAt(shown.get(), img->Width() - 1, img->Height() - 1), client);
                    continue;
                }
                // The left edge is the border image's left edge in the form's state.
                const int mid = img->Height() / 2;
                ASSERT_EQ(MaskMask(border, active, 0, fh / 2), TRgb{}) << "the border image is opaque there";
                EXPECT_EQ(PixelAt(shown.get(), 0, mid), MaskPicture(border, active, 0, fh / 2));
                EXPECT_EQ(PixelAt(img, 0, mid), PixelAt(shown.get(), 0, mid));
                // The title band lies between the title gradient's colours of the state.
                const TsGradArray& grad = active ? title.HotGradientArray : title.GradientArray;
                ASSERT_FALSE(grad.empty());
                const TRgb a = RgbOf(grad.front().Color1), b = RgbOf(grad.front().Color2);
                const int y = m.SysBorderHeight(false) + m.CaptionHeight(true) / 2;
                const TRgb t = PixelAt(shown.get(), m.IconRect().right + 2, y);
                EXPECT_TRUE(Between(t.R, a.R, b.R) && Between(t.G, a.G, b.G) && Between(t.B, a.B, b.B)) << t;
            }
}

// Each style active, inactive and with its close button hot, for a reader
// to look at.
TEST_F(WindowImage, ContactSheetOfEveryStyle)
{
    constexpr int Gap = 8, W = 320, H = 200;
    std::unique_ptr<TBitmap> sheet(CreateBmp24(Gap + 3 * (W + Gap), Gap + int(std::size(AllStyles)) * (H + Gap)));
    FillDC(sheet->Canvas()->Handle(), TRect(0, 0, sheet->Width(), sheet->Height()), TColor(0x808080));
    int row = 0;
    for (const TStyleCase& c : AllStyles) {
        TOwned<TForm> form(NewForm(c.Style, UnicodeString(L"Style ") + std::wstring(c.Name, c.Name + strlen(c.Name))));
        TsSkinProvider* sp = ProviderOf(form.get());
        for (int col = 0; col < 3; ++col) {
            sp->FormActive = col != 1;
            Image(sp);
            if (col == 2)
                sp->SetHotHT(HTCLOSE, true);
            std::unique_ptr<TBitmap> shown(Shown(form.get()));
            ::BitBlt(sheet->Canvas()->Handle(), Gap + col * (W + Gap), Gap + row * (H + Gap), shown->Width(),
                     shown->Height(), shown->Canvas()->Handle(), 0, 0, SRCCOPY);
            sp->SetHotHT(0, true);
        }
        ++row;
    }
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/frame-images.png";
    EXPECT_TRUE(pngfile::Write(sheet.get(), path)) << path;
}
