// sEdit: the skinned single-line edit.  While enabled the system's edit
// paints the client area in the skin's colours (so typing, the caret and the
// selection are the system's own); the frame is always drawn from the cache
// bitmap, and so is the whole control while it is disabled or printed.
// It keeps its own window-procedure order and uses the frame's shared
// pieces (skin/controls/FRAME.md).  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"

class TsBoundLabel;

// The widths the edit paints with, from its border and bevel settings.
int EditFrameWidth(TCustomEdit* Edit);       // the frame copied at WM_NCPAINT
int EditPrintFrameWidth(TCustomEdit* Edit);  // the frame of a WM_PRINT
int EditTextInset(TCustomEdit* Edit);        // the text's inset in the cache

class TsEdit : public TEdit {
    KV_CLASS(TsEdit)
    KV_PUBLISHED
public:
    explicit TsEdit(TComponent* AOwner);
    ~TsEdit() override;
    void AfterConstruction() override;
    void Loaded() override;

    TsCommonData* SkinData() const { return FCommonData; }
    TsBoundLabel* BoundLabel() const { return FBoundLabel; }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    void WndProc(TMessage& Message) override;
    // Rebuilds the cache: the section, the text, the disabled look.
    virtual void PrepareCache();
    virtual void PaintText();
    // Copies the cache to DC (the whole window when 0).
    void OurPaintHandler(HDC DC);
    // Copies the cache's frame to the window's frame.
    void PaintBorder();

private:
    void ApplySkinColours();
    TsCommonData* FCommonData = nullptr;  // owned, freed last
    TsDisabledKind FDisabledKind{dkBlended};
    TsBoundLabel* FBoundLabel = nullptr;  // owned
};
