// The skinned panels: the colour grid's geometry, colours and selection
// (clamped to its cells), the background a panel gives its children and the
// chain of containers, the grip's copy, the drag bar, the look against the
// built-in skin's PANEL and DRAGBAR sections, streaming by class name and
// teardown.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <utility>

#include "ControlsFixture.h"
#include "classlib/streaming/FormReader.h"
#include "skin/controls/sPanel.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "support/ResourceCount.h"

using namespace ctltest;

namespace {

// ---------------------------------------------------------------------------
// The colour grid without a window.

TEST(ColorsPanel, DefaultGridCellsAndColours)
{
    TOwned<TsColorsPanel> p(New<TsColorsPanel>(nullptr));
    ASSERT_EQ(p->CellCount(), 10);
    EXPECT_TRUE(p->ColorsArray[0].R == TRect(6, 6, 27, 27));
    EXPECT_TRUE(p->ColorsArray[9].R == TRect(114, 33, 135, 54));
    // An empty list grows to one white entry a cell.
    ASSERT_EQ(p->Count(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(p->Colors()->Strings(i), UnicodeString(L"FFFFFF"));
        EXPECT_EQ(p->ColorsArray[i].Color, clWhite);
        EXPECT_EQ(p->ColorsArray[i].Index, i);
    }
}

TEST(ColorsPanel, EntriesReadAsRRGGBB)
{
    struct Case {
        const wchar_t* Entry;
        TColor Color;
    };
    const Case cases[] = {
        {L"FF0000", 0x0000FF},          // pure red
        {L"ff8000 orange and more", 0x0080FF},
        {L"0000FFH", 0xFF0000},         // a trailing H is dropped
        {L"not hex", 0},
        {L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "entry " << static_cast<int>(&c - cases));
        EXPECT_EQ(ColorsPanelEntryColor(c.Entry), c.Color);
    }
    TOwned<TsColorsPanel> p(New<TsColorsPanel>(nullptr));
    TOwned<TStringList> list(New<TStringList>());
    list->Add(L"FF0000");
    list->Add(L"00FF00 green");
    p->SetColors(list.get());
    EXPECT_EQ(p->ColorsArray[0].Color, 0x0000FF);
    EXPECT_EQ(p->ColorsArray[1].Color, 0x00FF00);
    EXPECT_EQ(p->ColorsArray[2].Color, clWhite);
    EXPECT_EQ(p->Count(), 10);
}

struct ChangeCounter {
    int N = 0;
    void Changed(TObject*) { ++N; }
};

TEST(ColorsPanel, HitTestingAndSelectionStayWithinTheCells)
{
    TOwned<TsColorsPanel> p(New<TsColorsPanel>(nullptr));
    ChangeCounter changes;
    p->OnChange = Bind(&changes, &ChangeCounter::Changed);
    struct Hit {
        TPoint P;
        int Item;
    };
    const Hit hits[] = {
        {{6, 6}, 0},     {{26, 26}, 0},   {{30, 10}, 0},  // the gap belongs to the earlier cell
        {{33, 10}, 1},   {{0, 0}, 0},     {{140, 60}, -1}, {{135, 54}, 9}, {{141, 10}, -1},
    };
    for (const Hit& h : hits)
        EXPECT_EQ(p->GetItemByCoord(h.P), h.Item) << h.P.x << ", " << h.P.y;

    TOwned<TStringList> list(New<TStringList>());
    list->Add(L"FF0000");
    list->Add(L"00FF00");
    p->SetColors(list.get());
    p->SetItemIndex(1);
    EXPECT_EQ(changes.N, 1);
    EXPECT_EQ(p->ColorValue(), 0x00FF00);
    EXPECT_TRUE(p->ColorsArray[1].Selected);
    p->SetItemIndex(1);
    EXPECT_EQ(changes.N, 1) << "the same index fires nothing";
    p->SetItemIndex(0);
    EXPECT_FALSE(p->ColorsArray[1].Selected);
    EXPECT_EQ(p->OldSelected, 1);

    // Beyond the cells (or below -1) is no selection, never a read past them.
    p->SetItemIndex(50);
    EXPECT_EQ(p->ItemIndex(), -1);
    EXPECT_EQ(p->ColorValue(), 0xFFFFFF);
    p->SetItemIndex(-7);
    EXPECT_EQ(p->ItemIndex(), -1);
    // Fewer cells leave a selection of a cell that went as none.
    p->SetItemIndex(9);
    p->SetRowCount(1);
    EXPECT_EQ(p->CellCount(), 5);
    EXPECT_EQ(p->ItemIndex(), -1);
    EXPECT_EQ(p->ColorValue(), 0xFFFFFF);
    // A longer list than cells keeps its extra strings without cells.
    EXPECT_EQ(p->Count(), 10);
}

// ---------------------------------------------------------------------------
// Panels on a form with the built-in skin.

class Panels : public ControlsTest {
protected:
    template <class T>
    T* NewPanel(TWinControl* Parent, const TRect& R)
    {
        T* p = New<T>(Form.get());
        p->SetParent(Parent);
        p->SetBounds(R.left, R.top, R.Width(), R.Height());
        p->SetBevelOuter(bvNone);
        p->HandleNeeded();
        return p;
    }
    TkvBGInfo AskBG(TWinControl* Parent)
    {
        TkvBGInfo info;
        Parent->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_BG_INFO), reinterpret_cast<LPARAM>(&info));
        return info;
    }
    TColor SectionColor(const wchar_t* Section)
    {
        const int i = Manager->GetSkinIndex(Section);
        EXPECT_GE(i, 0);
        return i < 0 ? clNone : ColorToRGB(Manager->gd[size_t(i)].Color);
    }
};

TEST_F(Panels, PlainPanelShowsItsSectionBorderAndCaption)
{
    TsPanel* p = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 130, 50));
    p->SetCaption(L"Panel");
    ASSERT_TRUE(p->SkinData()->Skinned());
    EXPECT_EQ(p->SkinData()->SkinSection(), UnicodeString(L"PANEL"));
    auto b = Painted();
    SaveArtifact(b.get(), "panels_plain.png");
    const TColor surface = SectionColor(L"PANEL");
    EXPECT_EQ(Px(b.get(), 20, 14), surface);
    EXPECT_NE(Px(b.get(), 10, 10), surface) << "the outline";
    EXPECT_EQ(Px(b.get(), 5, 5), FormColour());
    // The caption's text lies centred on the panel's full height.
    const TRect textBand(11, 11, 129, 49);
    EXPECT_GT(CountColor(b.get(), textBand, ColorToRGB(Manager->gd[size_t(Manager->GetSkinIndex(L"PANEL"))].FontColor[1])), 0);
    // WM_PRINT (animations, window pictures) gives the same picture, and an
    // uncached panel keeps no cache bitmap afterwards.
    TOwned<TBitmap> printed(New<TBitmap>(120, 40, pf24bit));
    p->Perform(WM_PRINT, reinterpret_cast<WPARAM>(printed->Canvas()->Handle()), PRF_CLIENT);
    ::GdiFlush();
    EXPECT_EQ(Px(printed.get(), 10, 4), surface);
    EXPECT_EQ(Px(printed.get(), 0, 0), Px(b.get(), 10, 10));
    if (!p->UsesCache()) {
        EXPECT_EQ(p->SkinData()->FCacheBmp, nullptr);
    }
    // ShowCaption False: nothing but the surface inside the outline.
    p->SetShowCaption(false);
    b = Painted();
    EXPECT_EQ(Colours(b.get(), TRect(12, 12, 128, 48)).size(), 1u);
}

// The rows of R that hold Colour: first and last (-1, -1 when none).
std::pair<int, int> RowsWith(TBitmap* Bmp, const TRect& R, TColor Colour)
{
    int first = -1, last = -1;
    for (int y = R.top; y < R.bottom; ++y)
        if (CountColor(Bmp, TRect(R.left, y, R.right, y + 1), Colour) > 0) {
            if (first < 0)
                first = y;
            last = y;
        }
    return {first, last};
}

TEST_F(Panels, CaptionIsCentredOnTheFullHeightWhateverTheBevelsAndFollowsAlignment)
{
    TsPanel* plain = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 150, 60));
    TsPanel* bevelled = NewPanel<TsPanel>(Form.get(), TRect(160, 10, 300, 60));
    for (TsPanel* p : {plain, bevelled})
        p->SetCaption(L"Wg");
    bevelled->SetBevelOuter(bvRaised);
    bevelled->SetBevelInner(bvLowered);
    bevelled->SetBevelWidth(4);
    bevelled->SetBorderWidth(2);
    EXPECT_EQ(bevelled->BevelInset(), 10);
    TsPanel* left = NewPanel<TsPanel>(Form.get(), TRect(10, 80, 150, 120));
    left->SetCaption(L"Wg");
    left->SetAlignment(taLeftJustify);
    TsPanel* right = NewPanel<TsPanel>(Form.get(), TRect(160, 80, 300, 120));
    right->SetCaption(L"Wg");
    right->SetAlignment(taRightJustify);
    auto b = Painted();
    SaveArtifact(b.get(), "panels_captions.png");
    const TColor text = ColorToRGB(Manager->gd[size_t(Manager->GetSkinIndex(L"PANEL"))].FontColor[1]);
    auto rowsPlain = RowsWith(b.get(), TRect(11, 11, 149, 59), text);
    auto rowsBevelled = RowsWith(b.get(), TRect(161, 11, 299, 59), text);
    ASSERT_GE(rowsPlain.first, 0);
    EXPECT_EQ(rowsPlain, rowsBevelled);
    // Left-justified text starts within the inset, right-justified ends there.
    int leftmost = 1000, rightmost = -1;
    for (int x = 11; x < 149; ++x)
        if (CountColor(b.get(), TRect(x, 81, x + 1, 119), text) > 0)
            leftmost = std::min(leftmost, x);
    for (int x = 161; x < 299; ++x)
        if (CountColor(b.get(), TRect(x, 81, x + 1, 119), text) > 0)
            rightmost = std::max(rightmost, x);
    EXPECT_LT(leftmost, 10 + 20);
    EXPECT_GT(rightmost, 300 - 20);
}

TEST_F(Panels, ChildAsksThePanelForItsBackground)
{
    TsPanel* outer = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 210, 110));
    outer->SkinData()->SetSkinSection(L"DRAGBAR");  // a gradient: the panel keeps a cache
    TsPanel* inner = NewPanel<TsPanel>(outer, TRect(20, 30, 120, 70));
    inner->SkinData()->SetSkinSection(L"DRAGBAR");
    Painted();
    TkvBGInfo info = AskBG(outer);
    ASSERT_EQ(info.BgType, btCache);
    EXPECT_EQ(info.Bmp, outer->SkinData()->FCacheBmp);
    // The inner panel's picture is the outer's cache where it lies.
    TCacheInfo ci = BGInfoToCI(&info);
    EXPECT_TRUE(ci.Ready);
    auto b = Painted();
    SaveArtifact(b.get(), "panels_nested.png");
    // Gradients run top to bottom: the outer's row at the inner's top shows
    // through nowhere (the inner paints its own section), but the outer's
    // own rows above and below differ.
    EXPECT_NE(Px(b.get(), 15, 12), Px(b.get(), 15, 105));
}

TEST_F(Panels, ChainRepaintsOnlyWhenSomethingBehindChanged)
{
    // form -> outer panel (cached) -> inner panel (cached); the inner's
    // OnPaint runs each time its cache is rebuilt.
    struct Rebuilds {
        int N = 0;
        void Paint(TObject*, TCanvas*) { ++N; }
    } rebuilds;
    TsPanel* outer = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 210, 110));
    outer->SkinData()->SetSkinSection(L"DRAGBAR");
    TsPanel* inner = NewPanel<TsPanel>(outer, TRect(20, 30, 120, 70));
    inner->SkinData()->SetSkinSection(L"DRAGBAR");
    inner->SetOnPaint(Bind(&rebuilds, &Rebuilds::Paint));
    Painted();
    const int first = rebuilds.N;
    EXPECT_GE(first, 1);
    Painted();
    Painted();
    EXPECT_EQ(rebuilds.N, first) << "nothing behind changed";
    // The outer panel grows: what lies behind the inner one changed.
    outer->SetHeight(150);
    // (nothing set by hand: the change reaches the inner panel by itself)
    Painted();
    EXPECT_GT(rebuilds.N, first);
}

TEST_F(Panels, DragBarDragsItsFormWithTheLeftButtonOnly)
{
    TsDragBar* bar = New<TsDragBar>(Form.get());
    bar->SetParent(Form.get());
    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(bar->Height(), 20);
    EXPECT_EQ(bar->SkinData()->SkinSection(), UnicodeString(L"DRAGBAR"));
    EXPECT_EQ(bar->DraggedControl(), nullptr) << "made in code: nothing to drag yet";
    auto b = Painted();
    SaveArtifact(b.get(), "panels_dragbar.png");
    // The bar's gradient: its top row is lighter than its bottom one.
    EXPECT_NE(Px(b.get(), 100, 0), Px(b.get(), 100, 19));

    // Activation colours (a child gets them from its form's activation).
    bar->FormActivated(false);
    EXPECT_EQ(bar->Color(), clInactiveCaption);
    bar->FormActivated(true);
    EXPECT_EQ(bar->Color(), clActiveCaption);

    // A dragged control that is freed is forgotten.
    TsPanel* target = New<TsPanel>(Form.get());
    bar->SetDraggedControl(target);
    FreeAndNil(target);
    EXPECT_EQ(bar->DraggedControl(), nullptr);
}

TEST_F(Panels, GripCopiesTheCornerBehindItsLinkedControlClipped)
{
    TsPanel* outer = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 110, 90));
    outer->SkinData()->SetSkinSection(L"DRAGBAR");
    TsPanel* linked = NewPanel<TsPanel>(outer, TRect(50, 40, 100, 80));
    linked->SkinData()->SetSkinSection(L"DRAGBAR");  // cached: it answers with its picture
    TsGrip* grip = NewPanel<TsGrip>(Form.get(), TRect(200, 150, 220, 170));
    grip->Transparent = true;
    grip->LinkedControl = linked;
    auto b = Painted();
    SaveArtifact(b.get(), "panels_grip.png");
    // The grip shows the bottom-right 20 x 20 of the linked panel's picture:
    // grip (5, 5) is linked (35, 25), at (95, 75) on the form.
    for (int y : {0, 5, 19})
        EXPECT_EQ(Px(b.get(), 205, 150 + y), Px(b.get(), 95, 70 + y)) << y;
    // With an offset that reaches past the bitmap nothing is read beyond it.
    linked->SetBounds(90, 70, 60, 60);
    Painted();
}

TEST_F(Panels, ColorsPanelCellsAndSelectionFrames)
{
    TsColorsPanel* p = New<TsColorsPanel>(Form.get());
    p->SetParent(Form.get());
    p->SetBounds(10, 10, 140, 60);
    TOwned<TStringList> list(New<TStringList>());
    list->Add(L"FF0000");
    list->Add(L"00FF00");
    list->Add(L"0000FF");
    p->SetColors(list.get());
    p->HandleNeeded();
    p->SetItemIndex(1);
    auto b = Painted();
    SaveArtifact(b.get(), "panels_colors.png");
    EXPECT_EQ(Px(b.get(), 10 + 16, 10 + 16), 0x0000FF);
    EXPECT_EQ(Px(b.get(), 10 + 43, 10 + 16), 0x00FF00);
    EXPECT_EQ(Px(b.get(), 10 + 70, 10 + 16), 0xFF0000);
    // Cell 1 at (33, 6, 54, 27): white one pixel out, black two out.
    EXPECT_EQ(Px(b.get(), 10 + 32, 10 + 16), 0xFFFFFF);
    EXPECT_EQ(Px(b.get(), 10 + 31, 10 + 16), 0x000000);
    EXPECT_NE(Px(b.get(), 10 + 5, 10 + 16), 0x000000) << "cell 0 is not framed";

    // A click between cells 0 and 1 selects cell 0; outside every grown cell clears.
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
    p->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    EXPECT_EQ(p->ItemIndex(), 0);
    // The grown cells cover the default 140 x 60; a wider panel has room outside them.
    p->SetWidth(200);
    p->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(180, 30));
    p->Perform(WM_LBUTTONUP, 0, MAKELPARAM(180, 30));
    EXPECT_EQ(p->ItemIndex(), -1);
    EXPECT_EQ(p->ColorValue(), 0xFFFFFF);
}

TEST_F(Panels, StreamedByClassNameAndTheStreamedBarDragsItsForm)
{
    TOwned<TForm> form(TForm::CreateNew(Application));
    ReadComponentFromText(L"object F: TForm\n"
                          L"  object Body: TsPanel\n"
                          L"    Caption = 'body'\n"
                          L"    object Bar: TsDragBar\n"
                          L"    end\n"
                          L"    object Box: TsContainer\n"
                          L"    end\n"
                          L"    object Grip: TsGrip\n"
                          L"    end\n"
                          L"    object Palette: TsColorsPanel\n"
                          L"      ColCount = 2\n"
                          L"      RowCount = 1\n"
                          L"      ItemIndex = 1\n"
                          L"    end\n"
                          L"    object Std: TsStdColorsPanel\n"
                          L"    end\n"
                          L"  end\n"
                          L"end",
                          form.get());
    for (const wchar_t* name : {L"Body", L"Bar", L"Box", L"Grip", L"Palette", L"Std"})
        EXPECT_NE(dynamic_cast<TsPanel*>(form->FindComponent(name)), nullptr);
    auto* bar = dynamic_cast<TsDragBar*>(form->FindComponent(L"Bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->DraggedControl(), form.get()) << "read from a form resource: drags its form";
    auto* palette = dynamic_cast<TsColorsPanel*>(form->FindComponent(L"Palette"));
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->CellCount(), 2);
    EXPECT_EQ(palette->ItemIndex(), 1);
    EXPECT_EQ(palette->Count(), 10) << "the ten entries made before RowCount shrank stay";
}

TEST_F(Panels, TeardownInAnyOrderLeaksNothing)
{
    auto round = [&](int order) {
        TsPanel* outer = NewPanel<TsPanel>(Form.get(), TRect(10, 10, 210, 110));
        outer->SkinData()->SetSkinSection(L"DRAGBAR");
        TsPanel* inner = NewPanel<TsPanel>(outer, TRect(20, 30, 120, 70));
        TsColorsPanel* colors = New<TsColorsPanel>(Form.get());
        colors->SetParent(inner);
        colors->SetItemIndex(2);
        TsDragBar* bar = New<TsDragBar>(Form.get());
        bar->SetParent(outer);
        bar->SetDraggedControl(inner);
        Painted();
        switch (order) {
        case 0:
            delete outer;  // its children go with it
            break;
        case 1:
            delete colors;
            delete inner;
            delete bar;
            delete outer;
            break;
        default:
            outer->Perform(SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REMOVE), reinterpret_cast<LPARAM>(Manager));
            Painted();
            delete inner;  // the colours panel with it
            delete bar;
            delete outer;
            break;
        }
        Painted();
    };
    round(0);
    const TResourceCount before = CountResources();
    for (int order = 0; order < 3; ++order)
        round(order);
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

} // namespace
