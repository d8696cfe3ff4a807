// The skinned status bar (TsStatusBar): a class-library status bar that
// paints itself from the skin: its section ("STATUSBAR" by default), a
// panel frame per panel or "DIVIDER" strips between panels, the panel texts
// in the section's font colours, owner-drawn panels through OnDrawPanel on
// the skinned frame, and the skin's size grip.  GUI thread only.
#pragma once

#include "classlib/controls/ComCtrls.h"
#include "skin/core/sCommonData.h"

class TsStatusBar : public TStatusBar {
    KV_CLASS(TsStatusBar)
    KV_PUBLISHED
public:
    explicit TsStatusBar(TComponent* AOwner);
    ~TsStatusBar() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData; }

    // The widths of the panels before panel Index.
    int PanelOffset(int Index) const;
    // One panel of the cache: its frame or divider, then (unless an
    // OnDrawPanel handler draws an owner-draw panel) its text.  Panel nil
    // is the simple panel, which writes Text.
    void InternalDrawPanel(TStatusPanel* Panel, const UnicodeString& Text, const TRect& P);
    void DoDrawText(const UnicodeString& Text, TRect R, UINT Flags);
    void PaintPanels();
    void PrepareCache();
    void PaintGrip();
    // The bar's picture into DC (the window's context when 0).
    void OurPaintHandler(HDC DC);

protected:
    void PaintWindow(HDC DC) override;
    void DrawPanel(TStatusPanel* Panel, const TRect& Rect) override;

private:
    bool Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void AfterMessage(const TMessage& Message);
    void EraseBkgnd(TMessage& Message);
    void NCPaint();
    void PrintClient(TMessage& Message);
    void CopyCacheTo(HDC DC);
    // Half visible: a corner lies outside the parent's client area.
    bool CheckHalfVisible();
    TsCommonData* FCommonData;
};
