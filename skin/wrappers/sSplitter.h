// The skinned splitter (TsSplitter): the class library's splitter painted
// from the skin section "SPLITTER", hot under the mouse and pressed while it
// sizes (rsUpdate), with an optional glyph in its centre.  The application's
// hints are off during a drag and come back however the drag ends: released,
// the mouse taken away, or the splitter freed.  A top- or left-aligned
// splitter with AutoSnap puts closed neighbours back at its side when a drag
// starts.  GUI thread only.
#pragma once

#include <memory>

#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/SubclassWindow.h"
#include "skin/core/sCommonData.h"

class TsSplitter : public TSplitter {
    KV_CLASS(TsSplitter)
    KV_PUBLISHED
public:
    explicit TsSplitter(TComponent* AOwner);
    ~TsSplitter() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData; }
    TBitmap* Glyph() const { return FGlyph; }
    // Takes a copy of Value and repaints.
    void SetGlyph(TBitmap* Value);
    // A drag (a press) is under way.
    bool Pressed() const { return FSizing; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void PaintSkinned();
    void DrawGlyph(TBitmap* Target, const TPoint& At);
    // The end of a press, however it came: the look and the hints come back.
    void EndSizing(bool Repainting);
    void WatchParentCapture();
    // The parent's messages while a drag runs: losing the mouse ends it.
    void ParentDragProc(TMessage& Message);
    bool Command(TMessage& Message);
    TsCommonData* FCommonData;
    bool FSizing = false;
    TBitmap* FGlyph;
    std::unique_ptr<TSubclassedWindow> FParentWatch;
    HWND FWatchedWnd = nullptr;
};
