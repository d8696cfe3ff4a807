// The draw grid: cell geometry and hit tests, the current cell moved by
// keys, the mouse and the program as SelectCell allows, every cell drawn
// once with its state, and nothing left behind.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/Grids.h"
#include "classlib/graphics/Graphics.h"
#include "tests/support/ResourceCount.h"

namespace {

struct TGridEvents : TObject {
    int Clicks = 0;
    int RefusedCol = -1, RefusedRow = -1;
    struct Drawn {
        int Col, Row;
        TRect Rect;
        TGridDrawState State;
    };
    std::vector<Drawn> Cells;
    TColor Paint = clNone;   // a colour drawn over the whole cell, when set
    TDrawGrid* Grid = nullptr;

    void Click(TObject*) { ++Clicks; }
    void SelectCell(TObject*, int ACol, int ARow, bool& CanSelect)
    {
        if (ACol == RefusedCol || ARow == RefusedRow)
            CanSelect = false;
    }
    void DrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState State)
    {
        Cells.push_back({ACol, ARow, Rect, State});
        if (Paint != clNone && ACol == 2 && ARow == 2) {
            Grid->Canvas()->Brush()->SetColor(Paint);
            Grid->Canvas()->FillRect(Rect);
        }
    }
};

// A shown form with a 5 x 4 grid of 20 x 10 cells and 1-pixel lines, one
// fixed row and column, no border.
class DrawGrid : public ::testing::Test {
protected:
    TGridEvents Events;
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};
    TDrawGrid* Grid = nullptr;

    void SetUp() override
    {
        Form->SetClientSize(200, 100);
        Form->Show();
        Grid = New<TDrawGrid>(Form.get());
        Grid->SetBorderStyle(bsNone);
        Grid->SetBounds(0, 0, 150, 80);
        Grid->SetColCount(5);
        Grid->SetRowCount(4);
        Grid->SetDefaultColWidth(20);
        Grid->SetDefaultRowHeight(10);
        Grid->SetParent(Form.get());
        Grid->OnClick = Bind(&Events, &TGridEvents::Click);
        Grid->OnSelectCell = Bind(&Events, &TGridEvents::SelectCell);
        Grid->OnDrawCell = Bind(&Events, &TGridEvents::DrawCell);
        Events.Grid = Grid;
    }

    void Key(WORD VirtualKey, bool Ctrl = false)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = Ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(Grid->Handle(), WM_KEYDOWN, VirtualKey, 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    void ClickAt(int X, int Y)
    {
        SendMessageW(Grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        SendMessageW(Grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    }
    std::pair<int, int> Current() const { return {Grid->Col(), Grid->Row()}; }
};

TEST_F(DrawGrid, CellsAndPointsAgree)
{
    EXPECT_EQ(Grid->CellRect(0, 0), (TRect{0, 0, 20, 10}));
    EXPECT_EQ(Grid->CellRect(2, 1), (TRect{42, 11, 62, 21}));
    EXPECT_EQ(Grid->CellRect(5, 0), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(Grid->CellRect(-1, 0), (TRect{0, 0, 0, 0}));
    struct Case {
        int X, Y, Col, Row;
    } const cases[] = {
        {0, 0, 0, 0},   {19, 9, 0, 0},   {20, 10, 0, 0},  // the line after a cell is the cell's
        {21, 11, 1, 1}, {104, 43, 4, 3}, {105, 0, -1, -1}, {0, 44, -1, -1}, {-1, 5, -1, -1},
    };
    for (const Case& c : cases) {
        int col = 7, row = 7;
        Grid->MouseToCell(c.X, c.Y, col, row);
        EXPECT_EQ(col, c.Col) << c.X << "," << c.Y;
        EXPECT_EQ(row, c.Row) << c.X << "," << c.Y;
    }
    // Without lines the cells touch.
    Grid->SetGridLineWidth(0);
    int col, row;
    Grid->MouseToCell(20, 10, col, row);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 1);
}

TEST_F(DrawGrid, KeysMoveTheCurrentCellWithinTheGrid)
{
    struct Step {
        WORD Key;
        bool Ctrl;
        int Col, Row;
    } const steps[] = {
        {VK_RIGHT, false, 2, 1}, {VK_DOWN, false, 2, 2}, {VK_LEFT, false, 1, 2}, {VK_LEFT, false, 1, 2},  // fixed column
        {VK_UP, false, 1, 1},    {VK_UP, false, 1, 1},   {VK_END, false, 4, 1},  {VK_RIGHT, false, 4, 1},
        {VK_NEXT, false, 4, 3},  {VK_DOWN, false, 4, 3}, {VK_HOME, false, 1, 3}, {VK_PRIOR, false, 1, 1},
        {VK_END, true, 4, 3},    {VK_HOME, true, 1, 1},
    };
    for (const Step& s : steps) {
        Key(s.Key, s.Ctrl);
        EXPECT_EQ(Current(), std::make_pair(s.Col, s.Row)) << "key " << s.Key;
    }
}

TEST_F(DrawGrid, SelectCellDecidesWhereTheCellMayGo)
{
    Events.RefusedCol = 3;
    Key(VK_RIGHT);
    EXPECT_EQ(Current(), std::make_pair(2, 1));
    const int clicks = Events.Clicks;
    Key(VK_RIGHT);   // refused: nothing moves, nothing clicks
    EXPECT_EQ(Current(), std::make_pair(2, 1));
    EXPECT_EQ(Events.Clicks, clicks);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->Col(), 2);
    Grid->SetCol(4);
    EXPECT_EQ(Grid->Col(), 4);
    EXPECT_EQ(Events.Clicks, clicks + 1);
    // Fixed cells are never current.
    Grid->SetRow(0);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(DrawGrid, APressMovesToTheCellUnderTheMouseAndClicks)
{
    ClickAt(70, 35);   // column 3, row 3
    EXPECT_EQ(Current(), std::make_pair(3, 3));
    EXPECT_EQ(Events.Clicks, 1);
    EXPECT_TRUE(Grid->Focused());
    ClickAt(5, 35);     // the fixed column
    ClickAt(140, 35);   // right of the last column
    EXPECT_EQ(Current(), std::make_pair(3, 3));
    EXPECT_EQ(Events.Clicks, 1);
    Events.RefusedRow = 2;
    ClickAt(30, 15);    // row 1: allowed
    ClickAt(30, 25);    // row 2: refused
    EXPECT_EQ(Current(), std::make_pair(1, 1));
    EXPECT_EQ(Events.Clicks, 2);
}

TEST_F(DrawGrid, EveryCellIsDrawnOnceWithItsState)
{
    Grid->SetFixedColor(clYellow);
    Grid->SetColor(clWhite);
    Grid->SetCol(2);
    Events.Paint = clBlue;
    Events.Cells.clear();
    ASSERT_FALSE(Grid->Focused());
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(150, 80);
    Grid->PaintTo(bmp.Canvas()->Handle(), 0, 0);

    ASSERT_EQ(Events.Cells.size(), 20u);
    for (const auto& c : Events.Cells) {
        SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row);
        EXPECT_EQ(c.Rect, Grid->CellRect(c.Col, c.Row));
        EXPECT_EQ(c.State.Contains(gdFixed), c.Col == 0 || c.Row == 0);
        EXPECT_EQ(c.State.Contains(gdSelected), c.Col == 2 && c.Row == 1);
        EXPECT_FALSE(c.State.Contains(gdFocused));   // the grid has no focus
    }
    TCanvas* cv = bmp.Canvas();
    EXPECT_EQ(cv->Pixels(5, 5), clYellow);                      // fixed
    EXPECT_EQ(cv->Pixels(45, 15), ColorToRGB(clHighlight));      // current, unfocused
    EXPECT_EQ(cv->Pixels(25, 35), clWhite);                      // plain
    EXPECT_EQ(cv->Pixels(50, 25), clBlue);                       // the owner's own drawing
    EXPECT_EQ(cv->Pixels(41, 35), ColorToRGB(clSilver));         // a line
    EXPECT_EQ(cv->Pixels(20, 5), clBlack);                       // a fixed cell's line
    EXPECT_EQ(cv->Pixels(120, 70), clWhite);                     // beyond the cells

    // Without lines, the options keep the cells apart no more.
    Grid->SetOptions(TGridOptions{});
    Grid->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(cv->Pixels(41, 35), clWhite);

    // A huge grid draws what the window shows: 8 x 8 cells start in 150 x 80.
    Grid->SetColCount(100000);
    Grid->SetRowCount(100000);
    Events.Cells.clear();
    Grid->PaintTo(bmp.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(Events.Cells.size(), 64u);
}

TEST_F(DrawGrid, PublishedDefaultsAndLimits)
{
    TOwned<TDrawGrid> fresh(New<TDrawGrid>(nullptr));
    EXPECT_EQ(fresh->ColCount(), 5);
    EXPECT_EQ(fresh->RowCount(), 5);
    EXPECT_EQ(fresh->FixedCols(), 1);
    EXPECT_EQ(fresh->DefaultColWidth(), 64);
    EXPECT_EQ(fresh->DefaultRowHeight(), 24);
    EXPECT_TRUE(fresh->DefaultDrawing());
    EXPECT_TRUE(fresh->TabStop());
    EXPECT_EQ(fresh->Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}));
    EXPECT_THROW(fresh->SetFixedCols(5), EInvalidOperation);
    // Fewer columns pull the fixed ones and the current cell in.
    fresh->SetColCount(1);
    EXPECT_EQ(fresh->FixedCols(), 0);
    fresh->SetFixedRows(0);
    fresh->SetRowCount(2);
    EXPECT_EQ(fresh->Row(), 1);
    EXPECT_EQ(fresh->Col(), 0);
}

TEST(DrawGridLife, LeavesNothingBehind)
{
    auto work = [] {
        TOwned<TForm> form(TForm::CreateNew(nullptr));
        form->SetClientSize(200, 100);
        form->Show();
        auto* grid = New<TDrawGrid>(form.get());
        grid->SetParent(form.get());
        grid->SetFocus();
        TBitmap bmp;
        bmp.SetSize(200, 100);
        grid->PaintTo(bmp.Canvas()->Handle(), 0, 0);
        UpdateWindow(grid->Handle());
    };
    work();   // warms caches up
    const TResourceCount before = CountResources();
    for (int i = 0; i < 5; ++i)
        work();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

} // namespace
