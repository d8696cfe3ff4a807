// Status bars painted from the skin: the wrapper over a class-library bar
// and over a plain status-bar window, and the skinned status bar; printed
// into bitmaps and checked by pixels against the built-in skin's
// "STATUSBAR" section, its panel frame, the "DIVIDER" strip and the grip.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "StdWrapFixture.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/wrappers/kvSBUtils_StatusBar.h"
#include "skin/wrappers/sStatusBar.h"
#include "support/ResourceCount.h"

using namespace stdwraptest;

namespace {

TRect PartRectOf(HWND Bar, int Index)
{
    TRect r;
    ::SendMessageW(Bar, SB_GETRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

TRect Shrunk(TRect R, int By = 1)
{
    ::InflateRect(&R, -By, -By);
    return R;
}

// The picture a bar of Section shows without its texts: the section, then
// the panel frame over each of Frames.
TOwned<TBitmap> ExpectedBar(TsSkinManager* Manager, const wchar_t* Section, int Width, int Height,
                            const std::vector<TRect>& Frames)
{
    TOwned<TBitmap> b = stdwraptest::Section(Manager, Section, 0, Width, Height, TPoint(0, 0), false);
    const int mask = Manager->GetMaskIndex(Manager->GetSkinIndex(Section), Section, L"STATUSPANELMASK");
    for (const TRect& f : Frames)
        DrawSkinRect(b.get(), f, true, EmptyCI, Manager->ma[size_t(mask)], 0, true, Manager);
    return b;
}

// Pixels outside the text boxes that differ.
int DiffOutside(TBitmap* A, TBitmap* B, const std::vector<TRect>& TextBoxes)
{
    int n = 0;
    for (int y = 0; y < A->Height(); ++y)
        for (int x = 0; x < A->Width(); ++x) {
            bool inText = false;
            for (const TRect& t : TextBoxes)
                inText = inText || ::PtInRect(&t, TPoint(x, y));
            n += !inText && Px(A, x, y) != Px(B, x, y);
        }
    return n;
}

TRect TextBoxOf(const TRect& Panel)
{
    return kvStatusPanels::TextRect(Panel);
}

TColor DividerColor()
{
    return RGB(0xB4, 0xBE, 0xC9);
}

// A class-library bar on Form with panels of the given widths and texts.
TStatusBar* NewBar(TForm* Form, std::initializer_list<std::pair<int, const wchar_t*>> Panels, bool Skinned = false)
{
    TStatusBar* bar = Skinned ? static_cast<TStatusBar*>(New<TsStatusBar>(Form)) : New<TStatusBar>(Form);
    bar->SetSizeGrip(false);
    bar->SetParent(Form);
    for (const auto& p : Panels) {
        TStatusPanel* panel = bar->Panels()->Add();
        panel->SetWidth(p.first);
        panel->SetText(p.second);
    }
    bar->HandleNeeded();
    return bar;
}

} // namespace

// ---------------------------------------------------------------------------
// The wrapper.

TEST_F(WrapperTest, StatusBarWrapperFramesEachPanelAndWritesItsText)
{
    TStatusBar* bar = NewBar(Form.get(), {{60, L"One"}, {70, L""}, {50, L"Three"}});
    TsCommonData data(bar, true);
    TOwned<TkvStatusBarWnd> w(CreateWnd<TkvStatusBarWnd>(bar->Handle(), &data, Manager, L"", false));
    EXPECT_EQ(data.SkinSection(), L"STATUSBAR");
    EXPECT_EQ(w->StatusBar, bar);
    TOwned<TBitmap> got = Printed(bar->Handle());
    SaveArtifact(got.get(), "statusbar-wrapper.png");

    std::vector<TRect> frames, texts;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(Shrunk(PartRectOf(bar->Handle(), i)));
        texts.push_back(TextBoxOf(frames.back()));
    }
    TOwned<TBitmap> want = ExpectedBar(Manager, L"STATUSBAR", bar->Width(), bar->Height(), frames);
    EXPECT_EQ(DiffOutside(got.get(), want.get(), texts), 0);
    EXPECT_GT(DiffCount(got.get(), want.get(), texts[0]), 0) << "the first panel's text";
    EXPECT_EQ(DiffCount(got.get(), want.get(), texts[1]), 0) << "an empty panel";
    EXPECT_GT(DiffCount(got.get(), want.get(), texts[2]), 0) << "the last panel's text";
}

TEST_F(WrapperTest, StatusBarWrapperWithoutPanelImageDrawsDividersBetweenPanels)
{
    // "TOOLBAR" has no panel image: the parts are divided by "DIVIDER" strips.
    TStatusBar* bar = NewBar(Form.get(), {{60, L""}, {70, L""}, {50, L""}});
    TsCommonData data(bar, true);
    TOwned<TkvStatusBarWnd> w(CreateWnd<TkvStatusBarWnd>(bar->Handle(), &data, Manager, L"TOOLBAR", false));
    TOwned<TBitmap> got = Printed(bar->Handle());
    const int y = bar->Height() / 2;
    for (int i = 0; i < 2; ++i) {
        const TRect p = Shrunk(PartRectOf(bar->Handle(), i));
        // A strip two pixels wide ending at the panel's right edge: the
        // divider's dark column, then its empty one.
        EXPECT_EQ(Px(got.get(), p.right - 2, y), DividerColor()) << i;
    }
    const TRect last = Shrunk(PartRectOf(bar->Handle(), 2));
    EXPECT_EQ(CountColor(got.get(), TRect(last.left, 0, bar->Width(), bar->Height()), DividerColor()), 0);

    // A simple bar has one panel and no divider at all.
    bar->SetSimplePanel(true);
    data.BGChanged = true;
    got = Printed(bar->Handle());
    EXPECT_EQ(CountColor(got.get(), TRect(0, 0, bar->Width(), bar->Height()), DividerColor()), 0);
}

TEST_F(WrapperTest, StatusBarWrapperOfASimpleBarFramesTheWholeBar)
{
    TStatusBar* bar = NewBar(Form.get(), {{60, L"One"}});
    bar->SetSimpleText(L"Simple");
    bar->SetSimplePanel(true);
    TsCommonData data(bar, true);
    TOwned<TkvStatusBarWnd> w(CreateWnd<TkvStatusBarWnd>(bar->Handle(), &data, Manager, L"", false));
    TOwned<TBitmap> got = Printed(bar->Handle());
    const TRect whole(0, 0, bar->Width(), bar->Height());
    const TRect text = TextBoxOf(TRect(0, 1, bar->Width() - 1, bar->Height() - 1));
    TOwned<TBitmap> want = ExpectedBar(Manager, L"STATUSBAR", bar->Width(), bar->Height(), {whole});
    EXPECT_EQ(DiffOutside(got.get(), want.get(), {text}), 0);
    EXPECT_GT(DiffCount(got.get(), want.get(), text), 0) << "the simple text";
}

// A status bar of no class-library control keeps its own texts: the
// wrapper writes what the window holds for each part (left, centred or
// right as its tabs ask), and nothing for an owner-drawn part.
TEST_F(WrapperTest, StatusBarWrapperOfAPlainWindowWritesItsPartTexts)
{
    HWND h = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0,
                               200, 300, 22, Host(), nullptr, nullptr, nullptr);
    int edges[] = {100, 200, -1};
    ::SendMessageW(h, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    ::SendMessageW(h, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Left"));
    ::SendMessageW(h, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"\t\tRight"));
    ::SendMessageW(h, SB_SETTEXTW, 2 | SBT_OWNERDRAW, 0x1234);
    TOwned<TkvStatusBarWnd> w(CreateWnd<TkvStatusBarWnd>(h, nullptr, Manager, L"", false));
    EXPECT_EQ(w->StatusBar, nullptr);
    EXPECT_EQ(w->PartText(1), L"\t\tRight");
    EXPECT_EQ(w->PartText(2), L"");
    TOwned<TBitmap> got = Printed(h);
    SaveArtifact(got.get(), "statusbar-raw.png");

    std::vector<TRect> frames, texts;
    for (int i = 0; i < 3; ++i) {
        frames.push_back(Shrunk(PartRectOf(h, i)));
        texts.push_back(TextBoxOf(frames.back()));
    }
    TOwned<TBitmap> want = ExpectedBar(Manager, L"STATUSBAR", 300, 22, frames);
    EXPECT_EQ(DiffOutside(got.get(), want.get(), texts), 0);
    const TRect left = DiffBox(got.get(), want.get());
    ASSERT_FALSE(left.IsEmpty());
    EXPECT_LE(left.left, texts[0].left + 2) << "left-aligned text";
    const TRect t1 = texts[1];
    int rightmost = -1, leftmost = 1000;
    for (int y = t1.top; y < t1.bottom; ++y)
        for (int x = t1.left; x < t1.right; ++x)
            if (Px(got.get(), x, y) != Px(want.get(), x, y)) {
                rightmost = std::max(rightmost, x);
                leftmost = std::min(leftmost, x);
            }
    EXPECT_GE(rightmost, t1.right - 3) << "right-aligned text";
    EXPECT_GT(leftmost, t1.left + 20);
    EXPECT_EQ(DiffCount(got.get(), want.get(), texts[2]), 0) << "owner-drawn part";
    w.reset();
    ::DestroyWindow(h);
}

// ---------------------------------------------------------------------------
// The skinned status bar.

namespace {

TOwned<TBitmap> PrintBar(TStatusBar* Bar)
{
    TOwned<TBitmap> b(New<TBitmap>(Bar->Width(), Bar->Height(), pf24bit));
    FillDC(b->Canvas()->Handle(), TRect(0, 0, Bar->Width(), Bar->Height()), 0x00FF00);
    ::SendMessageW(Bar->Handle(), WM_PRINTCLIENT, WPARAM(b->Canvas()->Handle()), PRF_CLIENT);
    return b;
}

} // namespace

TEST_F(WrapperTest, SkinnedStatusBarCentresDividersOnPanelBorders)
{
    auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{60, L"One"}, {70, L"Two"}, {50, L""}}, true));
    ASSERT_TRUE(bar->SkinData()->Skinned());
    EXPECT_EQ(bar->SkinData()->SkinSection(), L"STATUSBAR");
    TOwned<TBitmap> got = PrintBar(bar);
    SaveArtifact(got.get(), "statusbar-skinned.png");
    // Panel i spans (offset, 0, offset + width, height) and is framed inside by 1.
    std::vector<TRect> frames = {TRect(1, 1, 59, bar->Height() - 1), TRect(61, 1, 129, bar->Height() - 1),
                                 TRect(131, 1, bar->Width() - 1, bar->Height() - 1)};
    std::vector<TRect> texts;
    for (const TRect& f : frames)
        texts.push_back(TextBoxOf(f));
    TOwned<TBitmap> want = ExpectedBar(Manager, L"STATUSBAR", bar->Width(), bar->Height(), frames);
    EXPECT_EQ(DiffOutside(got.get(), want.get(), texts), 0);
    EXPECT_GT(DiffCount(got.get(), want.get(), texts[1]), 0);

    // Without a panel image the strips are centred on the panel borders.
    bar->SkinData()->SetSkinSection(L"TOOLBAR");
    bar->SkinData()->BGChanged = true;
    got = PrintBar(bar);
    const int y = bar->Height() / 2;
    // Strip of width 2 at (P.Right - 1 - 1): its dark column is at x = P.Right - 2
    // where P is the panel shrunk by 1 (right edge 59): 57.
    EXPECT_EQ(Px(got.get(), 57, y), DividerColor());
    EXPECT_EQ(Px(got.get(), 127, y), DividerColor());
    EXPECT_EQ(CountColor(got.get(), TRect(131, 0, bar->Width(), bar->Height()), DividerColor()), 0);
}

// The cache follows what the bar shows: a new panel text (SB_SETTEXTW) or a
// new panel layout (SB_SETPARTS) repaints; a query of a part's rectangle
// does not mark anything stale.
TEST_F(WrapperTest, SkinnedStatusBarRepaintsWhenItsTextsOrPartsChange)
{
    auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{80, L"Before"}, {60, L""}}, true));
    TOwned<TBitmap> before = PrintBar(bar);
    EXPECT_FALSE(bar->SkinData()->BGChanged);
    PartRectOf(bar->Handle(), 0);
    EXPECT_FALSE(bar->SkinData()->BGChanged) << "SB_GETRECT";

    bar->Panels()->Items(0)->SetText(L"After!");
    TOwned<TBitmap> after = PrintBar(bar);
    auto* fresh = static_cast<TsStatusBar*>(NewBar(Form.get(), {{80, L"After!"}, {60, L""}}, true));
    fresh->SetBounds(bar->Left(), bar->Top(), bar->Width(), bar->Height());
    TOwned<TBitmap> want = PrintBar(fresh);
    EXPECT_GT(DiffCount(before.get(), after.get()), 0);
    EXPECT_EQ(DiffCount(after.get(), want.get()), 0);

    bar->Panels()->Items(0)->SetWidth(40);
    EXPECT_TRUE(bar->SkinData()->BGChanged) << "SB_SETPARTS";
}

TEST_F(WrapperTest, SkinnedStatusBarOwnerDrawPanelShowsTheHandlersDrawingOnItsFrame)
{
    auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{80, L"Hidden"}, {60, L"Two"}}, true));
    std::vector<TRect> drawn;
    struct THandler {
        std::vector<TRect>* Drawn;
        void Draw(TStatusBar* Bar, TStatusPanel*, const TRect& R)
        {
            Drawn->push_back(R);
            Bar->Canvas()->Brush()->SetColor(clRed);
            TRect inner = R;
            ::InflateRect(&inner, -3, -3);
            Bar->Canvas()->FillRect(inner);
        }
    } handler{&drawn};
    bar->OnDrawPanel = Bind(&handler, &THandler::Draw);
    bar->Panels()->Items(0)->SetStyle(psOwnerDraw);
    bar->SkinData()->BGChanged = true;
    TOwned<TBitmap> got = PrintBar(bar);
    ASSERT_FALSE(drawn.empty());
    const TRect frame(1, 1, 79, bar->Height() - 1), second(81, 1, bar->Width() - 1, bar->Height() - 1);
    EXPECT_EQ(drawn.back(), frame);
    TOwned<TBitmap> want = ExpectedBar(Manager, L"STATUSBAR", bar->Width(), bar->Height(), {frame, second});
    TRect inner = frame;
    ::InflateRect(&inner, -3, -3);
    EXPECT_EQ(CountColor(got.get(), inner, clRed), inner.Width() * inner.Height());
    // The frame stays, and no text is written around the handler's drawing.
    EXPECT_EQ(DiffOutside(got.get(), want.get(), {inner, TextBoxOf(second)}), 0);
}

TEST_F(WrapperTest, SkinnedStatusBarDrawsTheSkinsGrip)
{
    auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{60, L""}}, true));
    bar->SetSizeGrip(true);
    bar->SkinData()->BGChanged = true;
    TOwned<TBitmap> got = PrintBar(bar);
    const int g = Manager->GetMaskIndex(Manager->ConstData.IndexGLobalInfo, L"GLOBALINFO", L"GRIPIMAGE");
    ASSERT_GE(g, 0);
    const TsMaskData& md = Manager->ma[size_t(g)];
    const TSize size(md.R.Width() / md.ImageCount, md.R.Height() / 2);
    const TPoint at(bar->Width() - size.cx, bar->Height() - size.cy);
    // The grip glyph's dots (the bottom-right one is at 9..10 of its 12 pixels).
    EXPECT_EQ(Px(got.get(), at.x + 9, at.y + 9), RGB(0xA7, 0xB2, 0xBE));
    EXPECT_NE(Px(got.get(), at.x + 7, at.y + 7), RGB(0xA7, 0xB2, 0xBE));
}

TEST_F(WrapperTest, SkinnedStatusBarHalfVisibleOnlyWhenACornerLeavesTheParent)
{
    auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{60, L""}}, true));
    bar->SetAlign(alNone);
    const TRect client = Form->GetClientRect();
    const struct {
        const char* Name;
        TRect Bounds;
        bool Half;
    } cases[] = {
        {"along the bottom edge", TRect(0, client.bottom - 20, client.right, client.bottom), false},
        {"inside", TRect(10, 10, 110, 30), false},
        {"past the right edge", TRect(client.right - 50, 10, client.right + 50, 30), true},
        {"above the top", TRect(10, -5, 110, 15), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bar->SetBounds(c.Bounds.left, c.Bounds.top, c.Bounds.Width(), c.Bounds.Height());
        PrintBar(bar);
        EXPECT_EQ(bar->SkinData()->HalfVisible, c.Half);
    }
}

TEST_F(WrapperTest, StatusBarsLeakNothing)
{
    auto cycle = [&] {
        auto* bar = static_cast<TsStatusBar*>(NewBar(Form.get(), {{60, L"One"}, {60, L""}}, true));
        PrintBar(bar);
        delete bar;
        TStatusBar* plain = NewBar(Form.get(), {{60, L"One"}, {60, L""}});
        TsCommonData data(plain, true);
        TOwned<TkvStatusBarWnd> w(CreateWnd<TkvStatusBarWnd>(plain->Handle(), &data, Manager, L"TOOLBAR", false));
        Printed(plain->Handle());
        w.reset();
        delete plain;
    };
    cycle();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 5; ++i)
        cycle();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
