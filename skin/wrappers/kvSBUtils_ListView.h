// The list-view wrapper: on top of the edit wrapper it gives a list view
// ("SysListView32" windows and class-library list views) the skin's
// background and text colours, turns the skinned bars' thumb drags into
// LVM_SCROLL requests, and in report view takes over the column header
// ("SysHeader32" child): it subclasses the header window and paints every
// column from the section "COLHEADER" ("BUTTON" when the skin lacks it) in
// its normal, hot and pressed state, with sort arrows, column images and
// the skin's text colours.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "classlib/controls/ComCtrls.h"
#include "skin/wrappers/kvSBUtils_Edits.h"

class TkvListViewWnd : public TkvEditWnd {
    KV_CLASS(TkvListViewWnd)
public:
    ~TkvListViewWnd() override;
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    // The owner list view's view style; of a raw window, from LVM_GETVIEW.
    TViewStyle ViewStyle();
    bool HotTrack() const { return true; }
    // The widths of the owner list view's columns added up (0 without one).
    int AllColWidth();
    // The rectangle, in the header, of the column shown at position Index.
    TRect GetHeaderColumnRect(int Index);
    // The position of the column under the screen point P; -2 for none.
    int HeaderColumnAt(const TPoint& P);
    // Paints the header's columns into DC (0: the header's own paint).
    void PaintHeader(HDC DC);
    // One column (cIndex: its index; -2 the free area after the last one).
    void ColumnSkinPaint(const TRect& ControlRect, int cIndex, HDC DC);
    // The header's messages, before its own procedure.
    void HeaderWndProc(TMessage& Message);

    HWND FhWndHeader = nullptr;                // the subclassed header, 0 when none
    TObjectInstance FhHeaderProc = nullptr;    // the subclassing that routes to HeaderWndProc
    WNDPROC FhDefHeaderProc = nullptr;         // the header's procedure when it was taken
    int FPressedColumn = -1;                   // index pressed with the left button
    int HoverColIndex = -1;                    // index under the mouse
    int ListLineHeight = 0;                    // the header's height at the last paint
    bool FFlag = false;                        // the left button went down on the header

    // The window's own colours, given back when the skin goes.
    COLORREF StdBkColor = CLR_NONE;
    COLORREF StdTextBkColor = CLR_NONE;
    COLORREF StdTextColor = CLR_NONE;
    bool FColoursSaved = false;

private:
    TCustomListView* Owner() const;
    // Gives the list the skin's colours; sends only what differs.
    void ApplyListColours();
    void HoldHeader(HWND Header);
    // Takes the list's header again after the skin's removal let it go.
    void RetakeHeader(const TMessage& Message);
    void ReleaseHeader();
    void RepaintHeader();
    // The column index of header position P (-1 for none).
    int IndexOfPosition(int P);
    void PrintHeader(HDC DC);
    void ThumbTrack(TMessage& Message, bool Vertical);
    void ParentNotify(const TMessage& Message);
    // The edit wrapper's handling; false when the wrapper went meanwhile.
    bool PassToEdit(TMessage& Message);
    // A skin is on: the header is painted from it, whether or not the skin
    // has the list's own section.
    bool HeaderSkinned() const;
    void ClearHeaderStates();
    // The list's messages while the skin lacks its section.
    void UnskinnedMessage(TMessage& Message);
    void HeaderMessage(TMessage& Message);
    void HeaderDestroyed(TMessage& Message);
    void PassOnHeader(TMessage& Message);
    void HeaderHitTest(TMessage& Message);
    void HeaderButtonDown(TMessage& Message);
};
