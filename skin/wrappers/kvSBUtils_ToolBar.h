// Tool-bar wrappers: a standard tool bar window of a standard dialog
// (TkvToolBarWnd), drawn button by button from what the window reports,
// and a class-library tool bar (TkvToolBarVCLWnd), painted from its
// custom-draw events, which the wrapper takes over while it lives and gives
// back as it found them.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/ComCtrls.h"
#include "skin/wrappers/kvSBUtils.h"
#include "skin/wrappers/sToolBar.h"

class TkvToolBarWnd : public TkvMainWnd {
    KV_CLASS(TkvToolBarWnd)
public:
    void kvWndProc(TMessage& Message) override;

    TRect ClientRect;    // the client rectangle, taken when the cache is rebuilt
    int BorderWidth = 0; // the non-client border: (window height - client height) div 2
    int HotBtn = -1;

    int Count() const;
    // A button's rectangle (client coordinates); empty when the window has none.
    TRect GetButtonRect(int Index) const;
    void PrepareCache();
    void DrawButtons(TBitmap* Bmp);
    // Button Index over R (Bmp coordinates) of DC, the cache under it.
    void DrawBtn(int Index, const TRect& R, HDC DC);
    void KV_WMPaint(HDC DC);
    void KV_WMPrint(HDC DC);
    void KV_WMNCPaint();

private:
    bool Updating();
    void DrawSeparator(const TRect& R, TBitmap* Work);
    void DrawButtonText(const TBBUTTON& Button, int State, int Pressed, int ImageHeight, TBitmap* Work,
                        const TRect& R);
};

class TkvToolBarVCLWnd : public TkvMainWnd, public TkvToolBarPainter {
    KV_CLASS(TkvToolBarVCLWnd)
public:
    ~TkvToolBarVCLWnd() override;
    // Takes the bar's custom-draw events (section "TOOLBAR" unless named).
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void BeforeDestruction() override;
    // Gives the bar its own custom-draw handlers back.
    void RestoreStdParams() override;
    void kvWndProc(TMessage& Message) override;

    // The owner control when it is a tool bar; nil otherwise (and once it is freed).
    TToolBar* ToolBar = nullptr;

    // The client rectangle in window coordinates when it is smaller than the window.
    TRect DisplayRect() const;
    void WMNCPaint(HDC DC);
    void OurAdvancedCustomDraw(TToolBar* Sender, TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void OurAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                     TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw);

    // TkvToolBarPainter
    TToolBar* PaintedBar() const override { return ToolBar; }
    TsCommonData* PainterData() const override { return SkinData; }
    TPoint BarPosition() override;
    void DrawButtonEvent(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags) override;

private:
    bool Painting() const;
    bool Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void AfterRoot(const TMessage& Message);
    void AnswerBGInfo(TMessage& Message);
    void RestoreEvents();
    // The bar's own handlers, put back when the wrapper goes.
    TTBAdvancedCustomDrawEvent FOldDraw;
    TTBAdvancedCustomDrawBtnEvent FOldDrawButton;
    TComponent* FBarWatch = nullptr; // clears ToolBar when the bar is freed (owned)
};
