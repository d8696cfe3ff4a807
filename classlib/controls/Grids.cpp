#include "classlib/controls/Grids.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = {csCaptureMouse, csOpaque, csDoubleClicks};
    FWidth = 320;
    FHeight = 120;
    FColor = clWindow;
    FParentColor = false;
    FTabStop = true;
}

// ---------------------------------------------------------------------------
// Properties

void TDrawGrid::Changed()
{
    ClampCurrent();
    Invalidate();
}

// The current cell stays a cell of the grid outside the fixed ones (or the
// first cell after them when there is none).
void TDrawGrid::ClampCurrent()
{
    if (FCol >= FColCount)
        FCol = FColCount - 1;
    if (FRow >= FRowCount)
        FRow = FRowCount - 1;
    if (FCol < FFixedCols)
        FCol = FFixedCols;
    if (FRow < FFixedRows)
        FRow = FFixedRows;
}

void TDrawGrid::SetColCount(int Value)
{
    if (Value < 1)
        Value = 1;
    if (Value != FColCount) {
        FColCount = Value;
        if (FFixedCols >= FColCount)
            FFixedCols = FColCount - 1;
        Changed();
    }
}

void TDrawGrid::SetRowCount(int Value)
{
    if (Value < 1)
        Value = 1;
    if (Value != FRowCount) {
        FRowCount = Value;
        if (FFixedRows >= FRowCount)
            FFixedRows = FRowCount - 1;
        Changed();
    }
}

void TDrawGrid::SetFixedCols(int Value)
{
    if (Value < 0 || Value >= FColCount)
        throw EInvalidOperation(L"Fixed column count must be less than column count");
    if (Value != FFixedCols) {
        FFixedCols = Value;
        Changed();
    }
}

void TDrawGrid::SetFixedRows(int Value)
{
    if (Value < 0 || Value >= FRowCount)
        throw EInvalidOperation(L"Fixed row count must be less than row count");
    if (Value != FFixedRows) {
        FFixedRows = Value;
        Changed();
    }
}

void TDrawGrid::SetDefaultColWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value != FDefaultColWidth) {
        FDefaultColWidth = Value;
        Invalidate();
    }
}

void TDrawGrid::SetDefaultRowHeight(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value != FDefaultRowHeight) {
        FDefaultRowHeight = Value;
        Invalidate();
    }
}

void TDrawGrid::SetGridLineWidth(int Value)
{
    if (Value < 0)
        Value = 0;
    if (Value != FGridLineWidth) {
        FGridLineWidth = Value;
        Invalidate();
    }
}

void TDrawGrid::SetOptions(TGridOptions Value)
{
    if (!(Value == FOptions)) {
        FOptions = Value;
        Invalidate();
    }
}

void TDrawGrid::SetDefaultDrawing(bool Value)
{
    if (Value != FDefaultDrawing) {
        FDefaultDrawing = Value;
        Invalidate();
    }
}

void TDrawGrid::SetFixedColor(TColor Value)
{
    if (Value != FFixedColor) {
        FFixedColor = Value;
        Invalidate();
    }
}

void TDrawGrid::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

void TDrawGrid::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ---------------------------------------------------------------------------
// Cells

TRect TDrawGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= FColCount || ARow < 0 || ARow >= FRowCount)
        return TRect{0, 0, 0, 0};
    const int x = ACol * (FDefaultColWidth + FGridLineWidth);
    const int y = ARow * (FDefaultRowHeight + FGridLineWidth);
    return TRect{x, y, x + FDefaultColWidth, y + FDefaultRowHeight};
}

void TDrawGrid::MouseToCell(int X, int Y, int& ACol, int& ARow)
{
    ACol = ARow = -1;
    const int w = FDefaultColWidth + FGridLineWidth, h = FDefaultRowHeight + FGridLineWidth;
    if (X < 0 || Y < 0 || w <= 0 || h <= 0)
        return;
    // A point on a grid line belongs to the cell before it.
    const int c = X / w, r = Y / h;
    if (c < FColCount && r < FRowCount)
        ACol = c, ARow = r;
}

bool TDrawGrid::SelectCell(int ACol, int ARow)
{
    bool can = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, can);
    return can;
}

void TDrawGrid::FocusCell(int ACol, int ARow)
{
    if (ACol < FFixedCols || ACol >= FColCount || ARow < FFixedRows || ARow >= FRowCount)
        return;
    if (!SelectCell(ACol, ARow))
        return;
    if (ACol != FCol || ARow != FRow) {
        if (HandleAllocated()) {
            const TRect old = CellRect(FCol, FRow);
            InvalidateRect(Handle(), &old, FALSE);
        }
        FCol = ACol;
        FRow = ARow;
        if (HandleAllocated()) {
            const TRect now = CellRect(FCol, FRow);
            InvalidateRect(Handle(), &now, FALSE);
        }
    }
    Click();
}

void TDrawGrid::SetCol(int Value)
{
    if (Value != FCol)
        FocusCell(Value, FRow);
}

void TDrawGrid::SetRow(int Value)
{
    if (Value != FRow)
        FocusCell(FCol, Value);
}

// ---------------------------------------------------------------------------
// Input

void TDrawGrid::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomControl::WndProc(Message);
        // The current cell shows the focus.
        if (HandleAllocated()) {
            const TRect cell = CellRect(FCol, FRow);
            InvalidateRect(Handle(), &cell, FALSE);
        }
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;   // Paint covers the whole client area
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

void TDrawGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int c = FCol, r = FRow;
    const bool ctrl = Shift.Contains(ssCtrl);
    switch (Key) {
    case VK_LEFT: --c; break;
    case VK_RIGHT: ++c; break;
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    // The whole grid is shown: a page is the grid.
    case VK_PRIOR: r = FFixedRows; break;
    case VK_NEXT: r = FRowCount - 1; break;
    case VK_HOME:
        c = FFixedCols;
        if (ctrl)
            r = FFixedRows;
        break;
    case VK_END:
        c = FColCount - 1;
        if (ctrl)
            r = FRowCount - 1;
        break;
    default: return;
    }
    if (c != FCol || r != FRow)
        FocusCell(c, r);
}

void TDrawGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && CanFocus() && !Focused())
        SetFocus();
    if (Button == mbLeft) {
        int c, r;
        MouseToCell(X, Y, c, r);
        if (c >= 0)
            FocusCell(c, r);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// Painting

void TDrawGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState)
{
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

// The lines right of and below a cell, in the gap that follows it.
void TDrawGrid::PaintLines(TCanvas* Canvas, int ACol, int ARow, const TRect& Cell)
{
    if (FGridLineWidth <= 0)
        return;
    const bool fixed = ACol < FFixedCols || ARow < FFixedRows;
    const bool vert = FOptions.Contains(fixed ? goFixedVertLine : goVertLine);
    const bool horz = FOptions.Contains(fixed ? goFixedHorzLine : goHorzLine);
    const TColor line = fixed ? clBlack : (ColorToRGB(Color()) == ColorToRGB(clSilver) ? clGray : clSilver);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(line);
    if (vert)
        Canvas->FillRect(TRect{Cell.right, Cell.top, Cell.right + FGridLineWidth, Cell.bottom + FGridLineWidth});
    if (horz)
        Canvas->FillRect(TRect{Cell.left, Cell.bottom, Cell.right + FGridLineWidth, Cell.bottom + FGridLineWidth});
}

void TDrawGrid::Paint()
{
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    const bool focused = Focused();
    // What no cell covers.
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);

    // Only the cells that start inside the client area (however many the
    // grid has); cells of no width or height show nothing.
    const int colStep = FDefaultColWidth + FGridLineWidth, rowStep = FDefaultRowHeight + FGridLineWidth;
    const int cols = colStep > 0 ? std::min(FColCount, int((client.right + colStep - 1) / colStep)) : 0;
    const int rows = rowStep > 0 ? std::min(FRowCount, int((client.bottom + rowStep - 1) / rowStep)) : 0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const TRect cell = CellRect(c, r);
            TGridDrawState state;
            if (c < FFixedCols || r < FFixedRows)
                state += gdFixed;
            else if (c == FCol && r == FRow) {
                state += gdSelected;
                if (focused)
                    state += gdFocused;
            }
            if (FDefaultDrawing) {
                TColor fill = Color();
                if (state.Contains(gdFixed))
                    fill = FFixedColor;
                else if (state.Contains(gdSelected) && (!state.Contains(gdFocused) || FOptions.Contains(goDrawFocusSelected)))
                    fill = clHighlight;
                canvas->Brush()->SetStyle(bsSolid);
                canvas->Brush()->SetColor(fill);
                canvas->FillRect(cell);
                canvas->Font()->SetColor(fill == clHighlight ? clHighlightText : Font()->Color());
            }
            canvas->Brush()->SetColor(state.Contains(gdFixed) ? FFixedColor : Color());
            DrawCell(c, r, cell, state);
            if (FDefaultDrawing && state.Contains(gdFocused))
                canvas->DrawFocusRect(cell);
            PaintLines(canvas, c, r, cell);
        }
    }
}

KV_BEGIN_PUBLISHED(TDrawGrid, TCustomControl)
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
    B.Int(L"ColCount", &C::ColCount, &C::SetColCount, 5);
    B.Int(L"DefaultColWidth", &C::DefaultColWidth, &C::SetDefaultColWidth, 64);
    B.Bool(L"DefaultDrawing", &C::DefaultDrawing, &C::SetDefaultDrawing, true);
    B.Int(L"DefaultRowHeight", &C::DefaultRowHeight, &C::SetDefaultRowHeight, 24);
    B.Int(L"FixedColor", &C::FixedColor, &C::SetFixedColor, clBtnFace, L"TColor");
    B.Int(L"FixedCols", &C::FixedCols, &C::SetFixedCols, 1);
    B.Int(L"FixedRows", &C::FixedRows, &C::SetFixedRows, 1);
    B.Int(L"GridLineWidth", &C::GridLineWidth, &C::SetGridLineWidth, 1);
    B.Set(L"Options", &C::Options, &C::SetOptions,
          TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect}.Ord(),
          {L"goFixedVertLine", L"goFixedHorzLine", L"goVertLine", L"goHorzLine", L"goRangeSelect",
           L"goDrawFocusSelected", L"goRowSizing", L"goColSizing", L"goRowMoving", L"goColMoving", L"goEditing",
           L"goTabs", L"goRowSelect", L"goAlwaysShowEditor", L"goThumbTracking"},
          L"TGridOptions");
    B.Enum(L"ScrollBars", &C::ScrollBars, &C::SetScrollBars, ssBoth,
           {L"ssNone", L"ssHorizontal", L"ssVertical", L"ssBoth"}, L"TScrollStyle");
    B.Event(L"OnDrawCell", &C::OnDrawCell);
    B.Event(L"OnSelectCell", &C::OnSelectCell);
KV_END_PUBLISHED
