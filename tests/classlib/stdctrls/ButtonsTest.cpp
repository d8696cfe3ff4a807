// Bit buttons and speed buttons: glyph layout, frames by state, groups.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

// A strip of square frames, each filled with its own colour round a
// one-pixel border of the transparent colour (the bottom-left pixel).
const COLORREF FrameColours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
const COLORREF KeyColour = RGB(255, 0, 255);

TBitmap* GlyphStrip(int Frames, int Size = 16)
{
    auto* bmp = new TBitmap();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(Size * Frames, Size);
    HDC dc = bmp->Canvas()->Handle();
    GdiObject<HBRUSH> key(CreateSolidBrush(KeyColour));
    RECT all{0, 0, Size * Frames, Size};
    FillRect(dc, &all, key.Get());
    for (int i = 0; i < Frames; ++i) {
        GdiObject<HBRUSH> b(CreateSolidBrush(FrameColours[i]));
        RECT r{i * Size + 1, 1, (i + 1) * Size - 1, Size - 1};
        FillRect(dc, &r, b.Get());
    }
    return bmp;
}

// The bounding box of the pixels of Colour in a bitmap.
TRect FindColour(HDC DC, int W, int H, COLORREF Colour)
{
    TRect r(W, H, -1, -1);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (GetPixel(DC, x, y) == Colour) {
                r.left = std::min<LONG>(r.left, x);
                r.top = std::min<LONG>(r.top, y);
                r.right = std::max<LONG>(r.right, x + 1);
                r.bottom = std::max<LONG>(r.bottom, y + 1);
            }
    return r;
}

struct TClicks : TObject {
    int Count = 0;
    void Click(TObject*) { ++Count; }
};

} // namespace

TEST(ButtonLayout, GlyphAndTextPlacedByLayoutMarginAndSpacing)
{
    ScreenDC dc;
    TRect client(0, 0, 100, 40);
    SIZE text{};
    GetTextExtentPoint32W(dc, L"OK", 2, &text);
    TSize glyph{16, 16};
    struct Case {
        TButtonLayout Layout;
        int Margin;
        int Spacing;
        TPoint Glyph;
        int TextLeft; // -1: centred horizontally
        int TextTop;  // -1: centred vertically
    } cases[] = {
        // Margin -1 centres glyph, spacing and text together.
        {blGlyphLeft, -1, 4, {(100 - 16 - 4 - int(text.cx) + 1) / 2, 12}, (100 - 16 - 4 - int(text.cx) + 1) / 2 + 20,
         -1},
        {blGlyphLeft, 5, 4, {5, 12}, 25, -1},
        {blGlyphRight, 5, 4, {100 - 5 - 16, 12}, 100 - 5 - 16 - 4 - int(text.cx), -1},
        {blGlyphTop, 2, 3, {(100 - 16 + 1) / 2, 2}, -1, 21},
        {blGlyphBottom, 2, 3, {(100 - 16 + 1) / 2, 40 - 2 - 16}, -1, 40 - 2 - 16 - 3 - int(text.cy)},
    };
    for (const Case& c : cases) {
        TButtonContentLayout l = LayoutButtonContent(dc, client, L"OK", glyph, c.Layout, c.Margin, c.Spacing, 0);
        EXPECT_EQ(l.GlyphPos, c.Glyph) << int(c.Layout) << " " << c.Margin;
        int textLeft = c.TextLeft >= 0 ? c.TextLeft : (100 - int(text.cx) + 1) / 2;
        int textTop = c.TextTop >= 0 ? c.TextTop : (40 - int(text.cy) + 1) / 2;
        EXPECT_EQ(l.TextBounds, Bounds(textLeft, textTop, text.cx, text.cy)) << int(c.Layout) << " " << c.Margin;
    }
    // Without a caption the glyph alone is centred; right-to-left flags swap the sides.
    TButtonContentLayout lone = LayoutButtonContent(dc, client, L"", glyph, blGlyphLeft, -1, 4, 0);
    EXPECT_EQ(lone.GlyphPos, TPoint(42, 12));
    TButtonContentLayout rtl = LayoutButtonContent(dc, client, L"OK", glyph, blGlyphLeft, 5, 4, DT_RIGHT);
    EXPECT_EQ(rtl.GlyphPos, TPoint(100 - 5 - 16, 12));
}

TEST(BitBtn, DrawsItsGlyphFrameForTheState)
{
    TOwned<TForm> form = NewForm();
    auto* btn = New<TBitBtn>(form.get());
    btn->SetParent(form.get());
    btn->SetBounds(10, 10, 80, 30);
    std::unique_ptr<TBitmap> glyph(GlyphStrip(2));
    btn->SetGlyph(glyph.get());
    btn->SetMargin(6);
    EXPECT_EQ(btn->NumGlyphs(), 2); // a strip of square frames tells its count
    EXPECT_EQ(GetWindowLongW(btn->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(80, 30);
    HDC dc = target.Canvas()->Handle();
    // The window paints through WM_DRAWITEM, reflected from its parent.
    btn->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    TRect red = FindColour(dc, 80, 30, FrameColours[0]);
    // Frame at margin 6 inside the push frame's 2-pixel border, key colour left out.
    EXPECT_EQ(red, TRect(2 + 6 + 1, (26 - 16 + 1) / 2 + 2 + 1, 2 + 6 + 15, (26 - 16 + 1) / 2 + 2 + 15));
    EXPECT_EQ(FindColour(dc, 80, 30, KeyColour).right, -1);

    btn->SetEnabled(false);
    btn->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(FindColour(dc, 80, 30, FrameColours[0]).right, -1);
    EXPECT_NE(FindColour(dc, 80, 30, FrameColours[1]).right, -1);
}

TEST(BitBtn, KindsSetCaptionResultAndDefault)
{
    TOwned<TForm> form = NewForm();
    auto* btn = New<TBitBtn>(form.get());
    btn->SetKind(bkOK);
    EXPECT_EQ(btn->Caption(), L"OK");
    EXPECT_EQ(btn->ModalResult(), mrOk);
    EXPECT_TRUE(btn->Default());
    btn->SetKind(bkNo);
    EXPECT_EQ(btn->Caption(), L"&No");
    EXPECT_EQ(btn->ModalResult(), mrNo);
    EXPECT_TRUE(btn->Cancel());
    EXPECT_FALSE(btn->Default());
}

TEST(SpeedButton, GroupKeepsOneDownAndClicksComeFromTheMouse)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    TClicks clicks;
    std::vector<TSpeedButton*> group;
    for (int i = 0; i < 3; ++i) {
        auto* b = New<TSpeedButton>(form.get());
        b->SetParent(form.get());
        b->SetBounds(10 + i * 30, 10, 25, 25);
        b->SetGroupIndex(1);
        b->OnClick = Bind(&clicks, &TClicks::Click);
        group.push_back(b);
    }
    auto click = [&](TSpeedButton* b) {
        LPARAM at = MAKELPARAM(b->Left() + 5, b->Top() + 5);
        SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(form->Handle(), WM_LBUTTONUP, 0, at);
    };
    click(group[0]);
    EXPECT_TRUE(group[0]->Down());
    click(group[2]);
    EXPECT_FALSE(group[0]->Down());
    EXPECT_TRUE(group[2]->Down());
    // Without AllowAllUp the down button stays down.
    click(group[2]);
    EXPECT_TRUE(group[2]->Down());
    EXPECT_EQ(clicks.Count, 3);
    group[1]->SetAllowAllUp(true); // the whole group learns it
    click(group[2]);
    EXPECT_FALSE(group[2]->Down());

    // A button of no group never stays down.
    group[0]->SetGroupIndex(0);
    click(group[0]);
    EXPECT_FALSE(group[0]->Down());
}

TEST(SpeedButton, PaintsTheFrameOfItsState)
{
    TOwned<TForm> form = NewForm();
    auto* b = New<TSpeedButton>(form.get());
    b->SetParent(form.get());
    b->SetBounds(0, 0, 40, 30);
    std::unique_ptr<TBitmap> glyph(GlyphStrip(4));
    b->SetGlyph(glyph.get());
    EXPECT_EQ(b->NumGlyphs(), 4);
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(40, 30);
    HDC dc = target.Canvas()->Handle();
    struct Case {
        int Group;
        bool Down;
        bool Enabled;
        COLORREF Colour;
    } cases[] = {
        {0, false, true, FrameColours[0]},
        {0, false, false, FrameColours[1]},
        {1, true, true, FrameColours[3]},
    };
    for (const Case& c : cases) {
        b->SetGroupIndex(c.Group);
        b->SetDown(c.Down);
        b->SetEnabled(c.Enabled);
        b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        TRect r = FindColour(dc, 40, 30, c.Colour);
        int shift = c.Down ? 1 : 0;
        EXPECT_EQ(r, TRect(12 + shift + 1, 7 + shift + 1, 12 + shift + 15, 7 + shift + 15)) << c.Group;
    }
}

namespace {
// Takes WM_PAINT from a control, as code that paints it in place of its own
// Paint does, and hands every other message on.
struct TPaintTaker : TObject {
    TWndMethod Old;
    int Paints = 0;
    void WndProc(TMessage& Message)
    {
        if (Message.Msg == WM_PAINT)
            ++Paints;
        else
            Old(Message);
    }
};
} // namespace

TEST(SpeedButton, ButtonStateFollowsTheMouseAndTheSettersWithoutPaint)
{
    TOwned<TForm> form = NewForm();
    form->Show();
    auto* b = New<TSpeedButton>(form.get());
    b->SetParent(form.get());
    b->SetBounds(20, 20, 30, 30);
    TPaintTaker taker;
    taker.Old = b->WindowProc;
    b->WindowProc = Bind(&taker, &TPaintTaker::WndProc);
    HWND wnd = form->Handle();
    const LPARAM inside = MAKELPARAM(30, 30), outside = MAKELPARAM(150, 150);

    struct Step {
        const char* What;
        std::function<void()> Do;
        TButtonState State;
    } steps[] = {
        {"start", [] {}, bsUp},
        {"press", [&] { SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, inside); }, bsDown},
        {"drag out", [&] { SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, outside); }, bsUp},
        {"drag back", [&] { SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, inside); }, bsDown},
        {"release", [&] { SendMessageW(wnd, WM_LBUTTONUP, 0, inside); }, bsUp},
        {"grouped click",
         [&] {
             b->SetGroupIndex(1);
             SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
             SendMessageW(wnd, WM_LBUTTONUP, 0, inside);
         },
         bsExclusive},
        {"disabled", [&] { b->SetEnabled(false); }, bsDisabled},
        {"enabled again", [&] { b->SetEnabled(true); }, bsExclusive},
        {"up by the setter",
         [&] {
             b->SetAllowAllUp(true);
             b->SetDown(false);
         },
         bsUp},
    };
    for (const Step& s : steps) {
        s.Do();
        EXPECT_EQ(b->ButtonState(), s.State) << s.What;
    }
    b->WindowProc = taker.Old;
}
