// TDrawGrid: a grid of cells that its owner draws (DrawCell, OnDrawCell),
// with fixed heading rows and columns, one current cell (Col, Row) that
// the mouse and the arrow keys move as SelectCell allows, and cells of the
// default width and height.  The grid shows all its cells from the top-left
// one: it does not scroll (ScrollBars is kept for form resources only).
#pragma once

#include "classlib/controls/Controls.h"
#include "classlib/controls/StdCtrls.h"

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

using TDrawCellEvent = TMethod<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = TMethod<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TDrawGrid : public TCustomControl {
    KV_CLASS(TDrawGrid)
    KV_PUBLISHED
public:
    explicit TDrawGrid(TComponent* AOwner);

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // The current cell.  Setting it moves there when SelectCell agrees, and
    // then clicks (as the mouse and the keys do).
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);

    // A cell's rectangle in client coordinates (empty outside the grid).
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a client point; -1 and -1 when there is none.
    virtual void MouseToCell(int X, int Y, int& ACol, int& ARow);

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    // Draws one cell after the grid filled it (DefaultDrawing); the default
    // calls OnDrawCell.
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // Whether the current cell may move to (ACol, ARow); the default asks
    // OnSelectCell.
    virtual bool SelectCell(int ACol, int ARow);
    // Moves the current cell when it may (fixed cells never), then clicks.
    void FocusCell(int ACol, int ARow);

    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
    int FDefaultColWidth = 64, FDefaultRowHeight = 24, FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool FDefaultDrawing = true;
    TColor FFixedColor = clBtnFace;
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    int FCol = 1, FRow = 1;

    void Changed();
    void ClampCurrent();
    void PaintLines(TCanvas* Canvas, int ACol, int ARow, const TRect& Cell);
};
