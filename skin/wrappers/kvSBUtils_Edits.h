// Wrappers of windows that paint their own client area (text, lines,
// cells) and whose frame and scroll bars the library paints: edits and
// memos, list boxes, tree views and grids.  The wrapper gives the control the
// skin's colours (background, font, focus colour, grid colours), paints the
// frame from the section's cache and the bars from the scroll engine, keeps
// the cache current on focus, hover, size and skin changes, gives the
// control its own colours back when the skin goes and the skin's again each
// time a skin is set.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "skin/wrappers/kvSBUtils_Scroll.h"

// What the edit-like wrappers share.
class TkvBaseWnd : public TkvScrollWnd {
    KV_CLASS(TkvBaseWnd)
public:
    void kvWndProc(TMessage& Message) override;
};

// Edits, memos and list boxes.
class TkvEditWnd : public TkvBaseWnd {
    KV_CLASS(TkvEditWnd)
public:
    // The section is SkinSection, "EDIT" when empty, whatever section the
    // skin data had.  With no window, only the (inert) object is made.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    TColor Color = clWindow;     // the background of a window without owner control
    TColor FocusColor = clNone;  // the control's own published "FocusColor"
    int FrameColor = 0;          // the frame of a window without owner control

protected:
    // The client part the window paints itself, in window coordinates.
    TRect ClientPart() const;
    // Paints the whole window into DC for a print: frame, bars, then the
    // control's client area through its own erase and paint.
    void PrintWindow(HDC DC);
    // Msg with DC, moved and clipped to the client part.
    void ToClient(HDC DC, UINT Msg, LPARAM LParam);

private:
    bool Command(TMessage& Message);
    void Paint(TMessage& Message);
    void EraseBkgnd(TMessage& Message);
    void NCPaint(TMessage& Message);
    void AfterBase(TMessage& Message);
    void FocusChanged(bool Focused);
    void HoverChanged(bool Above);
};

// Tree views: the section's hot colour as the tree's background.
class TkvTreeViewWnd : public TkvEditWnd {
    KV_CLASS(TkvTreeViewWnd)
public:
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    COLORREF StdTreeBkColor = 0xFFFFFFFF; // the tree's own background (TVM_GETBKCOLOR; CLR_NONE: the system's)
};

// For the skinned edit-like controls: keep an edit wrapper (a tree-view
// wrapper) on the owner control of SkinData in ListSW while it is skinned,
// made again after its window was, freed when the skin no longer applies.
void RefreshEditScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW);
void RefreshTreeScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW);

// Grids: the skin's global and edit colours in the grid's colour
// properties, found by name on any control that publishes them.
class TkvGridWnd : public TkvEditWnd {
    KV_CLASS(TkvGridWnd)
public:
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    TColor FixedColor = 0, FooterColor = 0, FooterCellColor = 0, TitleFontColor = 0, TitleColor = 0, IndColor = 0,
           SelectionColor = 0, SelectionTextColor = 0, GridLineColor = 0, GridFixedLineColor = 0,
           FixedGradientFrom = 0, FixedGradientTo = 0;
    int DrawingStyle = 0;
    // Which of the values above the control publishes (and so gets back).
    unsigned Saved = 0;

protected:
    bool StylesOffWanted(const UnicodeString& SkinSection, bool Repaint) const override;

private:
    void DataAwareScroll(const TMessage& Message);
};

// Grids of the manager's second grid list.
class TkvGridEhWnd : public TkvGridWnd {
    KV_CLASS(TkvGridEhWnd)
};
