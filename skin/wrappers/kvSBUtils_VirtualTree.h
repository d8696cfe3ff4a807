// The virtual-tree wrapper: wraps the controls named in the skin manager's
// list of virtual tree classes, owner-drawn trees and grids of another
// component family that the library knows only through their published
// names.  Besides the edit wrapper's frame, bars and colours, it paints the
// control's header from the skin by putting its own handlers into the
// control's header-drawing events (only where the application left them
// empty), colours the control's file-view text colours and header, and
// switches the control's own theming off while the skin is on.  Everything
// is found by property name, so the wrapper works with any class that
// publishes these names:
//   "VETColors" (object: "CompressedTextColor", "FileTextColor",
//   "FolderTextColor"), "Header" (object: "Options" with "hoOwnerDraw" and
//   "hoVisible", "Height", "Color", "Font", "SortDirection"),
//   "PaintInfoColumn" (object: "Color", "Style"), "Themed", the events
//   "OnAdvancedHeaderDraw" and "OnHeaderDrawQueryElements"; of a header
//   column, "Text" and "Options" (with "coWrapCaption").
// A control that lacks one of them skips the step that uses it.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/rtl/Classes.h"
#include "skin/wrappers/kvSBUtils_Edits.h"

// The header-drawing types of the controls, so that the wrapper's handlers
// match their events.
enum TDropMarkMode { dmmNone, dmmLeft, dmmRight };

struct THeaderPaintInfo {
    TCanvas* TargetCanvas = nullptr;
    TCollectionItem* Column = nullptr; // nullptr: the header area right of the columns
    TRect PaintRectangle;
    TRect TextRectangle;
    bool IsHoverIndex = false;
    bool IsDownIndex = false;
    bool IsEnabled = true;
    bool ShowHeaderGlyph = false;
    bool ShowSortGlyph = false;
    bool ShowRightBorder = false;
    TDropMarkMode DropMark = dmmNone;
    TPoint GlyphPos;
    TPoint SortGlyphPos;
};

// Element i in bit i: hpeBackground 1, hpeDropMark 2, hpeHeaderGlyph 4,
// hpeSortGlyph 8, hpeText 16.
enum THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSet<THeaderPaintElement>;

using TAdvancedHeaderPaintEvent =
    TMethod<void(TObject* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
using THeaderPaintQueryElementsEvent =
    TMethod<void(TObject* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;

class TkvVirtualTreeViewWnd : public TkvEditWnd {
    KV_CLASS(TkvVirtualTreeViewWnd)
public:
    // The control never keeps handlers of a freed wrapper, also where its
    // look is not given back (its form is going).
    void BeforeDestruction() override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    // The window's own border as negative widths (x) and heights (y).
    TSize GetBorderDimensions();
    // The handlers put into the control's header events.
    void AdvancedHeaderDraw(TObject* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    void HeaderDrawQueryElements(TObject* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);

    // The control's own values, saved by SaveStdParams.
    TColor CompressedTextColor = 0, FileTextColor = 0, FolderTextColor = 0;
    bool OwnerDraw = false;           // "hoOwnerDraw" was in the header's options
    const TPropInfo* PropInfo = nullptr; // the event property last looked up
    bool Themed = true;
    TColor ColumnColor = 0, HeaderColor = 0, HeaderFontColor = 0;
    int ColumnStyle = 0;

private:
    TObject* Control() const;
    // Puts Handler into the event Name when the control publishes it and
    // it is empty; true when it did.
    bool InstallEvent(const wchar_t* Name, const TMethodValue& Handler);
    // Clears the event Name while it still holds this wrapper's handler.
    void RemoveEvent(const wchar_t* Name);
    void NCPaint(TMessage& Message);
    void Print(TMessage& Message);
    // False when the wrapper went meanwhile.
    bool PrintClient(HDC DC);
    // Passes Message on; false when the wrapper went meanwhile.
    bool PassOnAlive(TMessage& Message);
    void ThumbTrack(const TMessage& Message);
    void DrawColumn(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    bool FSaved = false;        // SaveStdParams found the control's values
    bool FEventsOwned = false;  // the wrapper put hoOwnerDraw in
};
