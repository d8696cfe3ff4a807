// sPanel: the skinned panel (TsPanel) and the panels built on it: the title
// and drag bar (TsDragBar), the plain container (TsContainer), the corner
// grip (TsGrip) and the colour-cell grids (TsColorsPanel, TsStdColorsPanel).
//
// A panel is a windowed container: besides painting itself from its skin
// section it answers its children's background requests (SMC_GET_BG_INFO)
// from its own cache, and its graphic children are painted with it.  What
// the containers answer is tabled in CONTAINERS.md beside this file.
// GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/rtl/Classes.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"

// Class-of-control codes (sections "PANEL" and "DRAGBAR").
constexpr int COC_TsPanel = 51;
constexpr int COC_TsDragBar = 56;

class TsPanel : public TPanel {
    KV_CLASS(TsPanel)
    KV_PUBLISHED
public:
    explicit TsPanel(TComponent* AOwner);
    ~TsPanel() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // Paints the whole panel into DC (0: the panel canvas's own handle);
    // SendUpdated tells the children afterwards that the picture is ready.
    virtual void OurPaint(HDC DC = nullptr, bool SendUpdated = true);
    // The caption on the panel's full height, in the section's colours;
    // into aCanvas, or a temporary canvas on aDC when aCanvas is nil.
    virtual void WriteText(TRect R, TCanvas* aCanvas = nullptr, HDC aDC = nullptr);
    // Rebuilds the cache bitmap (only for a panel that keeps one).
    void PrepareCache();

    // BevelWidth for each bevel that is not bvNone, plus BorderWidth.
    int BevelInset() const;
    // The panel keeps a cache bitmap and paints from it.
    bool UsesCache();

    TsCommonData* SkinData() const { return FCommonData; }
    const TPaintEvent& OnPaint() const { return FOnPaint; }
    void SetOnPaint(const TPaintEvent& Value) { FOnPaint = Value; }
    TNotifyEvent FOnMouseEnter;
    TNotifyEvent FOnMouseLeave;

protected:
    void Paint() override;
    void PaintWindow(HDC DC) override;
    // The background answer to a child (SMC_GET_BG_INFO).
    void AnswerBGInfo(PkvBGInfo Info);

    TsCommonData* FCommonData = nullptr;  // owned
    TPaintEvent FOnPaint;

private:
    bool CommandFirst(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void NotSkinnedMessage(TMessage& Message);
    void DefaultSkinned(TMessage& Message);
    void WMPaintSkinned(TMessage& Message);
    void WMPrintSkinned(TMessage& Message);
    void RedrawAll();
    void PaintDirect(HDC DC);
    void PaintCached(HDC DC);
};

// A title bar that drags its form: made from a form resource it drags the
// form it lies on; made in code it drags DraggedControl once that is set.
class TsDragBar : public TsPanel {
    KV_CLASS(TsDragBar)
    KV_PUBLISHED
public:
    explicit TsDragBar(TComponent* AOwner);
    void ReadState(TReader* Reader) override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TControl* DraggedControl() const { return FDraggedControl; }
    void SetDraggedControl(TControl* Value);
    // The caption colours of an active or inactive form.
    void FormActivated(bool Active);

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TControl* FDraggedControl = nullptr;  // not owned; cleared by its free notification
};

class TsContainer : public TsPanel {
    KV_CLASS(TsContainer)
    KV_PUBLISHED
public:
    using TsPanel::TsPanel;
};

// A size grip: shows the bottom-right corner of what lies behind
// LinkedControl when Transparent.
class TsGrip : public TsPanel {
    KV_CLASS(TsGrip)
    KV_PUBLISHED
public:
    explicit TsGrip(TComponent* AOwner);
    bool Transparent = false;
    TWinControl* LinkedControl = nullptr;  // not owned
    void OurPaint(HDC DC = nullptr, bool SendUpdated = true) override;

protected:
    void Paint() override;

private:
    void PaintGrip(HDC DC);
};

// One cell of a colour grid.
struct TsColInfo {
    int Index = 0;
    TColor Color = clWhite;
    TRect R{};
    bool Selected = false;
};

class TsColorsPanel : public TsPanel {
    KV_CLASS(TsColorsPanel)
    KV_PUBLISHED
public:
    explicit TsColorsPanel(TComponent* AOwner);
    ~TsColorsPanel() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void OurPaint(HDC DC = nullptr, bool SendUpdated = true) override;

    // Rebuilds ColorsArray from Colors, filling Colors up to the cell count.
    void GenerateColors();
    void PaintColors(HDC DC);
    int Count() const { return FColors->Count(); }
    // The cell whose rectangle grown by ItemMargin holds P; -1 for none.
    int GetItemByCoord(const TPoint& P) const;
    // White without a selection.
    TColor ColorValue() const;
    int CellCount() const { return static_cast<int>(ColorsArray.size()); }

    TStrings* Colors() const { return FColors; }
    void SetColors(TStrings* Value);
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ColCount() const { return FColCount; }
    void SetColCount(int Value) { SetLayoutValue(FColCount, Value); }
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value) { SetLayoutValue(FRowCount, Value); }
    int ItemWidth() const { return FItemWidth; }
    void SetItemWidth(int Value) { SetLayoutValue(FItemWidth, Value); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { SetLayoutValue(FItemHeight, Value); }
    int ItemMargin() const { return FItemMargin; }
    void SetItemMargin(int Value) { SetLayoutValue(FItemMargin, Value); }

    TNotifyEvent OnChange;
    int OldSelected = -1;
    std::vector<TsColInfo> ColorsArray;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetLayoutValue(int& Field, int Value);
    void PaintSelection(HDC DC);

    TStrings* FColors = nullptr;  // owned
    int FItemIndex = -1;
    int FItemWidth = 21;
    int FItemHeight = 21;
    int FItemMargin = 6;
    int FColCount = 5;
    int FRowCount = 2;
};

class TsStdColorsPanel : public TsColorsPanel {
    KV_CLASS(TsStdColorsPanel)
    KV_PUBLISHED
public:
    using TsColorsPanel::TsColorsPanel;
};

// Registers the panels with the form reader (also done when the unit is linked).
void RegisterPanelClasses();

// The colour of a colours-panel entry: its first word read as RRGGBB in
// hexadecimal (black when it is not hexadecimal).
TColor ColorsPanelEntryColor(const UnicodeString& Entry);
