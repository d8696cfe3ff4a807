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
std::vector<TPoint> Differences(TBitmap* A, TBitmap* B)
{
    std::vector<TPoint> out;
    const TBitmapRows a = A->Rows(), b = B->Rows();
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (!std::equal(a.Pixel(x, y), a.Pixel(x, y) + 3, b.Pixel(x, y)))
                out.emplace_back(x, y);
    return out;
}

TRect BoundsOf(const std::vector<TPoint>& Points)
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

TBitmap* Copy(TBitmap* Src)
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
                // So are the right and bottom edges, in the window image itself.
                const int bw = WidthOfImage(border);
                ASSERT_EQ(MaskMask(border, active, bw - 1, fh / 2), TRgb{});
                ASSERT_EQ(MaskMask(border, active, bw / 2, fh - 1), TRgb{});
                EXPECT_EQ(PixelAt(img, img->Width() - 1, mid), MaskPicture(border, active, bw - 1, fh / 2));
                EXPECT_EQ(PixelAt(img, img->Width() / 2, img->Height() - 1),
                          MaskPicture(border, active, bw / 2, fh - 1));
                // The title band lies between the title gradient's colours of the state.
                const TsGradArray& grad = active ? title.HotGradientArray : title.GradientArray;
                ASSERT_FALSE(grad.empty());
                const TRgb a = RgbOf(grad.front().Color1), b = RgbOf(grad.front().Color2);
                const int y = m.SysBorderHeight(false) + m.CaptionHeight(true) / 2;
                const TRgb t = PixelAt(shown.get(), m.IconRect().right + 2, y);
                EXPECT_TRUE(Between(t.R, a.R, b.R) && Between(t.G, a.G, b.G) && Between(t.B, a.B, b.B)) << t;
            }
}

namespace {

// A glyph of a title button: blue with its bottom-left pixel in the key
// colour (the transparent colour of a plain glyph is that pixel's).
void FillGlyph(TsTitleButton* B, int W, int H)
{
    TBitmap g(W, H, pf24bit);
    FillDC(g.Canvas()->Handle(), TRect(0, 0, W, H), TColor(0xC04020));
    ::SetPixel(g.Canvas()->Handle(), 0, H - 1, RGB(255, 0, 255));
    B->SetGlyph(&g);
}

struct TPlacedButton {
    int Code;
    TRect Rect;
};

std::vector<TPlacedButton> PlacedButtons(TsSkinProvider* Sp)
{
    std::vector<TPlacedButton> out;
    for (int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP})
        if (TsCaptionButton* b = Sp->ButtonByCode(code); b && !b->Rect.IsEmpty())
            out.push_back({code, b->Rect});
    for (int i = 0; i < Sp->TitleButtons()->Count(); ++i)
        if (!Sp->TitleButtons()->Items(i)->BtnData.Rect.IsEmpty())
            out.push_back({HTUDBTN + i, Sp->TitleButtons()->Items(i)->BtnData.Rect});
    return out;
}

TRect Inflated(TRect R, int D)
{
    return TRect(R.left - D, R.top - D, R.right + D, R.bottom + D);
}

} // namespace

// Where the hit test finds a caption button, that button is drawn: the
// pixels that change when the button is pressed all answer its code, and
// its code is answered nowhere beyond them (2 pixels of rounded corners
// aside).  A hidden title button ahead of a shown one moves nothing.
TEST_F(WindowImage, HitTestFindsTheButtonsWhereTheyAreDrawn)
{
    Manager->SetAllowGlowing(false);  // states drawn into the image, not faded over it
    for (const TStyleCase& c : AllStyles)
        for (bool zoomed : {false, true})
            for (bool active : {true, false}) {
                if (c.Style == bsNone)
                    continue;
                SCOPED_TRACE(std::string(c.Name) + (zoomed ? " maximised" : " normal") +
                             (active ? " active" : " inactive"));
                TOwned<TForm> form(NewForm(c.Style));
                form->SetBorderIcons({biSystemMenu, biMinimize, biMaximize, biHelp});
                TsSkinProvider* sp = ProviderOf(form.get());
                sp->TitleButtons()->Add()->SetVisible(false);
                FillGlyph(sp->TitleButtons()->Add(), 19, 14);
                if (zoomed)
                    form->SetWindowState(wsMaximized);
                sp->FormActive = active;
                Image(sp);
                const std::vector<TPlacedButton> buttons = PlacedButtons(sp);
                ASSERT_GE(buttons.size(), 2u) << "the close button and the shown title button";
                EXPECT_EQ(buttons.back().Code, HTUDBTN + 1) << "the shown title button answers its own code";
                for (const TPlacedButton& b : buttons) {
                    SCOPED_TRACE(b.Code);
                    sp->SetPressedHT(b.Code);
                    std::unique_ptr<TBitmap> pressed(Copy(sp->SkinData()->FCacheBmp));
                    sp->SetHotHT(0, true);
                    std::unique_ptr<TBitmap> normal(Copy(sp->SkinData()->FCacheBmp));
                    const std::vector<TPoint> drawn = Differences(pressed.get(), normal.get());
                    ASSERT_FALSE(drawn.empty());
                    const TsFrameMetrics m = sp->Metrics();
                    for (const TPoint& p : drawn)
                        ASSERT_EQ(m.HitTest(p), b.Code) << p.x << "," << p.y;
                    const TRect box = BoundsOf(drawn), around = Inflated(box, 2), probe = Inflated(box, 3);
                    for (int y = probe.top; y < probe.bottom; ++y)
                        for (int x = probe.left; x < probe.right; ++x)
                            if (m.HitTest(TPoint(x, y)) == b.Code) {
                                ASSERT_TRUE(around.Contains(TPoint(x, y))) << x << "," << y;
                            }
                }
            }
}

// The faces of the caption buttons are the skin's own pictures where
// their masks are opaque, big or small by the border style, the restore
// face on a maximised form; normal and pressed.
TEST_F(WindowImage, CaptionButtonFacesAreTheSkinsPictures)
{
    Manager->SetAllowGlowing(false);  // states drawn into the image, not faded over it
    const struct {
        TFormBorderStyle Style;
        bool Zoomed;
        int Code;
        const wchar_t* Face;
    } cases[] = {
        {bsSizeable, false, HTCLOSE, s_BiconClose}, {bsSizeable, false, HTMAXBUTTON, s_BiconMax},
        {bsSizeable, false, HTMINBUTTON, s_BiconMin}, {bsSizeable, true, HTMAXBUTTON, s_BiconNorm},
        {bsSingle, false, HTCLOSE, s_BiconClose},     {bsDialog, false, HTCLOSE, s_SiconClose},
        {bsSizeToolWin, false, HTCLOSE, s_SiconClose}, {bsToolWindow, false, HTCLOSE, s_SiconClose},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Zoomed ? "maximised " : "") + std::to_string(int(c.Style)) + " code " +
                     std::to_string(c.Code));
        TOwned<TForm> form(NewForm(c.Style));
        if (c.Zoomed)
            form->SetWindowState(wsMaximized);
        TsSkinProvider* sp = ProviderOf(form.get());
        sp->FormActive = true;
        TBitmap* img = Image(sp);
        const TRect r = sp->ButtonByCode(c.Code)->Rect;
        const TsMaskData& md = Mask(s_GlobalInfo, c.Face);
        ASSERT_EQ(r.Width(), WidthOfImage(md));
        ASSERT_EQ(r.Height(), HeightOfImage(md));
        for (int state : {0, 2}) {
            if (state == 2)
                sp->SetPressedHT(c.Code);
            int compared = 0;
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) {
                    const TRgb pic = MaskPicture(md, state, x, y);
                    if (!(MaskMask(md, state, x, y) == TRgb{}) || pic == (TRgb{255, 0, 255}))
                        continue;
                    ASSERT_EQ(PixelAt(img, r.left + x, r.top + y), pic) << state << ": " << x << "," << y;
                    ++compared;
                }
            // The glyph at least is opaque in every face.
            EXPECT_GT(compared, 6) << state;
        }
        sp->SetHotHT(0, true);
    }
}

// The caption text lands inside the title band, between the icon and the
// buttons, whatever the alignment, and where the alignment puts it.
TEST_F(WindowImage, CaptionTextStaysInsideTheTitleBand)
{
    for (const TStyleCase& c : AllStyles) {
        if (c.Style == bsNone)
            continue;
        std::vector<int> lefts;
        for (TAlignment align : {taLeftJustify, taCenter, taRightJustify}) {
            SCOPED_TRACE(std::string(c.Name) + " alignment " + std::to_string(int(align)));
            TOwned<TForm> form(NewForm(c.Style, L""));
            TsSkinProvider* sp = ProviderOf(form.get());
            sp->SetCaptionAlignment(align);
            std::unique_ptr<TBitmap> empty(Copy(Image(sp)));
            form->SetCaption(L"WWWWWWWW");
            std::unique_ptr<TBitmap> titled(Copy(Image(sp)));
            const std::vector<TPoint> text = Differences(empty.get(), titled.get());
            ASSERT_FALSE(text.empty());
            const TsFrameMetrics m = sp->Metrics();
            const TRect box = BoundsOf(text);
            int buttons = m.ImageWidth();
            for (const TPlacedButton& b : PlacedButtons(sp))
                buttons = std::min<int>(buttons, b.Rect.left);
            EXPECT_GE(box.top, 0);
            EXPECT_LE(box.bottom, m.TitleBottom());
            EXPECT_GE(box.left, m.IconRect().right);
            EXPECT_LE(box.right, buttons);
            lefts.push_back(box.left);
        }
        SCOPED_TRACE(c.Name);
        ASSERT_EQ(lefts.size(), 3u);
        EXPECT_LT(lefts[0], lefts[1]) << "centred lies right of left-aligned";
        EXPECT_LT(lefts[1], lefts[2]) << "right-aligned lies right of centred";
    }
}

// The window region leaves out exactly the key-colour pixels of the title
// image's top corners; a maximised form's region is the window without its
// frame; a form without border has none.
TEST_F(WindowImage, RegionIsCutFromTheSkinsCorners)
{
    const TsMaskData& title = Mask(s_FormTitle, s_BordersMask);
    const int fw = WidthOfImage(title);
    for (const TStyleCase& c : AllStyles) {
        SCOPED_TRACE(c.Name);
        TOwned<TForm> form(NewForm(c.Style));
        form->Perform(WM_NCPAINT, 1, 0);
        Application->ProcessMessages();
        const HWND wnd = form->Handle();
        HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
        const int kind = ::GetWindowRgn(wnd, rgn);
        if (c.Style == bsNone) {
            EXPECT_EQ(kind, ERROR) << "no region";
            ::DeleteObject(rgn);
            continue;
        }
        ASSERT_NE(kind, ERROR);
        const int w = form->Width();
        int holes = 0;
        for (int y = 0; y < title.WT; ++y)
            for (int x = 0; x < title.WL; ++x) {
                const bool leftKey = MaskPicture(title, 0, x, y) == (TRgb{255, 0, 255});
                const bool rightKey = MaskPicture(title, 0, fw - title.WR + x, y) == (TRgb{255, 0, 255});
                EXPECT_EQ(::PtInRegion(rgn, x, y) != 0, !leftKey) << x << "," << y;
                EXPECT_EQ(::PtInRegion(rgn, w - title.WR + x, y) != 0, !rightKey) << x << "," << y;
                holes += leftKey + rightKey;
            }
        EXPECT_GT(holes, 0) << "the built-in title has rounded corners";
        EXPECT_TRUE(::PtInRegion(rgn, w / 2, 0));
        EXPECT_TRUE(::PtInRegion(rgn, 0, form->Height() - 1)) << "the bottom corners are square";
        form->SetWindowState(wsMaximized);
        form->Perform(WM_NCPAINT, 1, 0);
        Application->ProcessMessages();
        ASSERT_NE(::GetWindowRgn(wnd, rgn), ERROR);
        RECT box;
        ::GetRgnBox(rgn, &box);
        const int sbw = ProviderOf(form.get())->Metrics().SysBorderWidth(false);
        EXPECT_EQ(TRect(box), TRect(sbw, sbw, form->Width() - sbw, form->Height() - sbw));
        EXPECT_EQ(::GetWindowRgn(wnd, rgn), SIMPLEREGION);
        ::DeleteObject(rgn);
    }
}

// Each style active, inactive and with its close button hot, for a reader
// to look at.
TEST_F(WindowImage, ContactSheetOfEveryStyle)
{
    constexpr int Gap = 8, W = 320, H = 200;
    std::unique_ptr<TBitmap> sheet(CreateBmp24(Gap + 3 * (W + Gap), Gap + int(std::size(AllStyles)) * (H + Gap)));
    FillDC(sheet->Canvas()->Handle(), TRect(0, 0, sheet->Width(), sheet->Height()), TColor(0x808080));
    // The hot state drawn into the image at once, not faded in over it later.
    Manager->SetAllowGlowing(false);
    // Pixels of the close button in Shown that differ from the skin's face in
    // State where the face is opaque; Compared counts those looked at.
    auto faceMismatches = [&](TBitmap* Shown, const TRect& R, int State, int& Compared) {
        const TsMaskData& md = Mask(s_GlobalInfo, R.Width() == WidthOfImage(Mask(s_GlobalInfo, s_BiconClose))
                                                      ? s_BiconClose
                                                      : s_SiconClose);
        int bad = 0;
        Compared = 0;
        for (int y = 0; y < R.Height(); ++y)
            for (int x = 0; x < R.Width(); ++x) {
                const TRgb pic = MaskPicture(md, State, x, y);
                if (!(MaskMask(md, State, x, y) == TRgb{}) || pic == (TRgb{255, 0, 255}))
                    continue;
                ++Compared;
                bad += !(PixelAt(Shown, R.left + x, R.top + y) == pic);
            }
        return bad;
    };
    int row = 0;
    for (const TStyleCase& c : AllStyles) {
        TOwned<TForm> form(NewForm(c.Style, UnicodeString(L"Style ") + std::wstring(c.Name, c.Name + strlen(c.Name))));
        TsSkinProvider* sp = ProviderOf(form.get());
        for (int col = 0; col < 3; ++col) {
            SCOPED_TRACE(std::string(c.Name) + " column " + std::to_string(col));
            sp->FormActive = col != 1;
            Image(sp);
            if (col == 2)
                sp->SetHotHT(HTCLOSE, true);
            std::unique_ptr<TBitmap> shown(Shown(form.get()));
            // Each cell shows what its caption says: the active form's close
            // button normal in the first column, hot in the third.
            if (TsCaptionButton* close = sp->ButtonByCode(HTCLOSE); col != 1 && close && !close->Rect.IsEmpty()) {
                int compared = 0;
                EXPECT_EQ(faceMismatches(shown.get(), close->Rect, col == 2 ? 1 : 0, compared), 0);
                EXPECT_GT(compared, 6);
            }
            ::BitBlt(sheet->Canvas()->Handle(), Gap + col * (W + Gap), Gap + row * (H + Gap), shown->Width(),
                     shown->Height(), shown->Canvas()->Handle(), 0, 0, SRCCOPY);
            // ... and the sheet holds the cell as shown.
            EXPECT_EQ(PixelAt(sheet.get(), Gap + col * (W + Gap) + shown->Width() / 2,
                              Gap + row * (H + Gap) + shown->Height() / 2),
                      PixelAt(shown.get(), shown->Width() / 2, shown->Height() / 2));
            sp->SetHotHT(0, true);
        }
        ++row;
    }
    ::CreateDirectoryW(Widen(KV_ARTIFACTS).c_str(), nullptr);
    const std::string path = std::string(KV_ARTIFACTS) + "/frame-images.png";
    EXPECT_TRUE(pngfile::Write(sheet.get(), path)) << path;
}
