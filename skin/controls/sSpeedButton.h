// sSpeedButton: the skinned speed button (TsSpeedButton) and its timer
// variant (TsTimerSpeedButton).  A graphic control: it paints on its
// parent's canvas from a cache bitmap and hears the skin command message by
// Perform from its parent.  Besides the class library's speed button it has
// the tool-button styles (button, check, drop-down with a menu, separator,
// divider, text button), a glyph from Glyph or an image list, grey, blended
// and reflected glyphs, a caption that can be hidden, and fades through an
// animation timer.
//
// The virtual interface below (PrepareCache, DrawGlyph, DrawCaption,
// CurrentState, CaptionRect, ImgRect, GraphRepaint and the text and glyph
// measures) is what the tab sheets' close buttons, the spin and edit buttons
// and the calendar's buttons override; the glyph painter reaches the button
// through TsBtnGlyphSource, the glyph settings of combo edits through
// TsGlyphModeButton.  GUI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/ImgList.h"
#include "classlib/controls/Menus.h"
#include "skin/controls/sCtrlFrame.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sConst.h"
#include "skin/core/sThirdParty.h"
#include "skin/paint/sGlyphUtils.h"

class TsAnimTimer;

// The class-of-control code of the speed button (section "SPEEDBUTTON").
constexpr int COC_TsSpeedButton = 92;
// Width of the drop-down arrow zone at the button's right edge.
constexpr int sArrowZoneWidth = 16;

class TsSpeedButton : public TSpeedButton, public TsBtnGlyphSource, public TsGlyphModeButton {
    KV_CLASS(TsSpeedButton)
    KV_PUBLISHED
public:
    explicit TsSpeedButton(TComponent* AOwner);
    ~TsSpeedButton() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Invalidate() override;

    // --- the interface descendants override
    virtual void DoDrawText(TRect& R, UINT Flags);
    virtual void DrawCaption();
    // The caption's size, measured for MaxCaptionWidth.
    virtual TSize TextRectSize();
    virtual void DrawGlyph();
    virtual int GlyphWidth();
    virtual int GlyphHeight();
    // Rebuilds the cache bitmap for the present state.
    virtual void PrepareCache();
    // The unskinned look; Full paints the button face too.
    virtual void StdPaint(bool Full = true);
    // 0 normal, 1 hot, 2 pressed.
    virtual int CurrentState();
    virtual TRect CaptionRect();
    virtual TRect ImgRect();
    // Repaints from the cache without invalidating (setters, messages).
    virtual void GraphRepaint();

    // --- derived values
    int ArrowWidth() const { return FButtonStyle == tbsDropDown ? sArrowZoneWidth : 0; }
    int GenMargin() const { return Margin() < 0 ? 0 : Margin() + 3; }
    bool ImageValid() const;
    int MaxCaptionWidth();

    // --- published
    TsCommonData* SkinData() const { return FCommonData; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TkvAnimatEvents AnimatEvents() const { return FAnimatEvents; }
    void SetAnimatEvents(TkvAnimatEvents Value) { FAnimatEvents = Value; }
    int Blend() override { return FBlend; }
    int GetBlend() const { return FBlend; }
    void SetBlend(int Value) override;
    TToolButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TToolButtonStyle Value);
    TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    bool Grayed() override { return FGrayed; }
    bool GetGrayed() const { return FGrayed; }
    void SetGrayed(bool Value) override;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool Reflected() const { return FReflected; }
    void SetReflected(bool Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool DrawOverBorder() const { return FDrawOverBorder; }
    void SetDrawOverBorder(bool Value);
    int TextOffset() const { return FOffset; }
    void SetTextOffset(int Value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    TBmpPaintEvent OnPaint;

    // The caption as drawn: empty while ShowCaption is off (Caption itself
    // is kept, so that it is stored with the form).
    UnicodeString ShownCaption();
    // True while the drop-down menu is open.
    bool IsDroppedDown() const { return DroppedDown; }
    // The fade running now (nil when none).
    TsAnimTimer* Fade() const { return FadeTimer; }

    // --- TsBtnGlyphSource
    TsBtnGlyphInfo GlyphInfo() override;
    // --- TsGlyphModeButton
    TControl* ButtonControl() override { return this; }
    void SetNumGlyphs(int Value) override { TSpeedButton::SetNumGlyphs(Value); }
    void InvalidateButton() override;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void WMPaint(TMessage& Message) override;
    // Paint's skinned part: the cache, rebuilt when out of date, copied to DC.
    void SkinnedPaint(HDC DC);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The action's caption, state and hint, and its image from the list's images.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    // Paints the siblings that overlap the button onto Canvas (the cache), so
    // that the picture copied straight to the parent shows them.
    void PaintOverlappingSiblings(TCanvas* Canvas);
    // Fades: ChangeStatePaint starts one where allowed, else repaints at once.
    void ChangeStatePaint(bool Clicked, TkvAnimatEvent Event);
    void StartFade(bool Clicked);
    void StopFade();
    // ShowCaption changed: the caption is kept, only its drawing follows.
    void SetFakeCaption();
    // Opens the drop-down menu below the button; returns when it closed.
    void DropDown();

    int FOldNumGlyphs = 1;
    int FOldSpacing = 4;
    bool FStoredDown = false;
    TsCommonData* FCommonData = nullptr;
    TsDisabledKind FDisabledKind{dkBlended};
    TsAnimTimer* FadeTimer = nullptr;
    TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
    bool FGrayed = false;
    int FBlend = 0;
    int FOffset = 0;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    bool FShowCaption = true;
    TAlignment FAlignment = taCenter;
    int FTextLayout = 0;
    TToolButtonStyle FButtonStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    bool FDrawOverBorder = true;
    TAlignment FTextAlignment = taCenter;
    TkvAnimatEvents FAnimatEvents{aeGlobalDef};
    bool FReflected = false;
    bool DroppedDown = false;
    TNotifyEvent OldOnChange;
    TButtonLayout OldLayout = blGlyphLeft;
    TsHintHold FHints;
    // False once the button is freed (an OnClick or a menu item may free it).
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
    void GlyphChanged(TObject* Sender);
    // Store, then the look is rebuilt when the button shows.
    void LookChanged(bool SkipInUpdate = false);
    bool Creating() const;
    bool Destroying() const { return ComponentState().Contains(csDestroying); }
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool Loading() const { return ComponentState().Contains(csLoading); }
    bool Command(TMessage& Message);
    void NotSkinnedMouse(TMessage& Message);
    void SkinnedMouse(TMessage& Message);
    void AfterInherited(TMessage& Message);
    void PaintArrowZone(const TCacheInfo& CI);
    void StdPaintFace(HDC DC, const TRect& R, bool Pressed, bool Hot);
    void StdPaintDivider(HDC DC);
    bool FCreated = false;
    // The caption's size, measured once while the cache is rebuilt.
    TSize TextSize();
    TSize FTextSize{0, 0};
    bool FTextSizeKnown = false;
    bool FInCache = false;
};

// The speed button of a spin or calendar: created Height - 4 wide.
class TsTimerSpeedButton : public TsSpeedButton {
    KV_CLASS(TsTimerSpeedButton)
    KV_PUBLISHED
public:
    explicit TsTimerSpeedButton(TComponent* AOwner);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool Value) { FAllowTimer = Value; }

private:
    bool FAllowTimer = true;
};

// True while some speed button's drop-down menu is open (one at a time).
bool SpeedButtonDropDownOpen();
