// The skinned tool bar (TsToolBar) and the painting it shares with the
// wrapper of a class-library tool bar (TkvToolBarVCLWnd, kvSBUtils_ToolBar):
// both paint from the tool bar's custom-draw events, the bar from its
// section over the parent's background and each button from "TOOLBUTTON"
// with its caption, image and drop-down arrow; a non-flat bar tracks its
// hot button itself.  TsToolBar adds skinned dividers, a published
// disabled look and the hooking of its popup menus.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/ComCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sThirdParty.h"

// The painting of a class-library tool bar from its custom-draw events,
// shared by its two painters.  The painter names the bar, its skin data
// and where the bar stands in its parent; the rest lives here.
class TkvToolBarPainter {
public:
    virtual ~TkvToolBarPainter() = default;

    // The button under the mouse of a non-flat bar (-1 none), and the
    // drop-down button whose menu is open (nil none).
    int HotButtonIndex = -1;
    TToolButton* DroppedButton = nullptr;

    // The bar painted; nil while there is none.
    virtual TToolBar* PaintedBar() const = 0;
    virtual TsCommonData* PainterData() const = 0;
    // The bar's top-left corner in its parent's client area.
    virtual TPoint BarPosition() = 0;
    // The painter's custom-draw handler of one button.
    virtual void DrawButtonEvent(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags) = 0;
    // The look of a disabled button.
    virtual TsDisabledKind ButtonDisabledKind() const { return TsDisabledKind{dkBlended}; }

    // Where the bar's client area lies in its window (its edges and border):
    // one offset for the cache under the buttons and for the background
    // the bar's children are given.
    TPoint ClientOffset() const;
    // The section over the parent's background, window-sized.
    void PrepareCache();
    TRect GetButtonRect(int Index) const;
    // The first button whose rectangle holds P when it is a button, a check
    // button or a drop-down button; -1 otherwise.
    int IndexByMouse(const TPoint& P) const;
    // The bar's background into its canvas, over the whole client area.
    void PaintBackground();
    // One button into the bar's canvas.
    void PaintButton(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags);
    // The button painted at once into the bar's window.
    void RepaintButton(int Index);
    // Hot tracking of a non-flat bar and the drop-down state.
    void TrackMouse(const TPoint& P);
    void MouseLeft();
    void DropDownClosed();
    void Notified(const TMessage& Message);
    // The four bands of the cache around the client area into DC (window
    // coordinates), the client area clipped out.
    void PaintFrameBands(HDC DC);
    // A print into DC: the bands, then the client area through WM_PAINT.
    void Print(HDC DC);

private:
    TToolButton* ButtonByCommand(int Command) const;
    void RepaintUnlessDown(int Index);
};

// The bar's background: the cache from R.TopLeft (the client area's place
// in the window) into ARect of DC, children that paint themselves clipped out.
void PaintBarBackground(TWinControl* Control, TsCommonData* SkinData, const TRect& R, HDC DC, const TRect& ARect);

class TsToolBar;
// The skinned separators and dividers of ToolBar into DC (client
// coordinates), over the background the bar gives its children.
void PaintDivider(HDC DC, TsToolBar* ToolBar);

class TsToolBar : public TToolBar, public TsToolBarGlyphSeam, public TkvToolBarPainter {
    KV_CLASS(TsToolBar)
    KV_PUBLISHED
public:
    explicit TsToolBar(TComponent* AOwner);
    ~TsToolBar() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData; }
    TsDisabledKind BtnDisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);

    // The custom-draw events follow the skin: ours while skinned, none otherwise.
    void UpdateEvents();
    // Where the client area lies in the window.
    int OffsetX() const;
    int OffsetY() const;

    void OurAdvancedCustomDraw(TToolBar* Sender, TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void OurAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                     TCustomDrawStage Stage, TTBCustomDrawFlags& Flags, bool& DefaultDraw);

    // TkvToolBarPainter
    TToolBar* PaintedBar() const override { return const_cast<TsToolBar*>(this); }
    TsCommonData* PainterData() const override { return FCommonData; }
    TPoint BarPosition() override { return TPoint(Left(), Top()); }
    void DrawButtonEvent(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags) override;
    TsDisabledKind ButtonDisabledKind() const override { return FDisabledKind; }

    // TsToolBarGlyphSeam
    bool BarSkinned() override { return FCommonData && FCommonData->Skinned(); }
    TCanvas* BarCacheCanvas() override;

private:
    bool Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void AfterMessage(const TMessage& Message);
    void WMNCPaint();
    void PrintAndDividers(HDC DC);
    void PaintDividers(HDC DC);
    void AnswerBGInfo(TMessage& Message);
    void SetVisualStyles(bool On);
    TsCommonData* FCommonData;
    TsDisabledKind FDisabledKind{dkBlended};
};
