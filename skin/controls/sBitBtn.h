// sBitBtn: the skinned bit button, a push button with a glyph placed by the
// speed button's rules and drawn by the library's glyph painter.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/ImgList.h"
#include "skin/controls/sButton.h"
#include "skin/core/sThirdParty.h"

class TsBitBtn : public TBitBtn, public TsFrameHost, public TsBtnGlyphSource {
    KV_CLASS(TsBitBtn)
    KV_PUBLISHED
public:
    explicit TsBitBtn(TComponent* AOwner);
    ~TsBitBtn() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    bool Down() const { return FCore->Down; }
    void SetDown(bool Value);
    int FocusMargin() const { return FFocusMargin; }
    void SetFocusMargin(int Value) { FFocusMargin = Value; }
    TsDisabledKind DisabledKind() const { return FFrame->DisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TkvAnimatEvents AnimatEvents() const { return FFrame->AnimatEvents; }
    void SetAnimatEvents(TkvAnimatEvents Value) { FFrame->AnimatEvents = Value; }
    const TBmpPaintEvent& OnPaint() const { return FFrame->OnPaint; }
    void SetOnPaint(const TBmpPaintEvent& Value) { FFrame->OnPaint = Value; }
    TsDisabledGlyphKind DisabledGlyphKind() const { return FDisabledGlyphKind; }
    void SetDisabledGlyphKind(TsDisabledGlyphKind Value);
    bool Grayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    int Blend() const { return FBlend; }
    void SetBlend(int Value);
    int TextOffset() const { return FOffset; }
    void SetTextOffset(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool DrawOverBorder() const { return FDrawOverBorder; }
    void SetDrawOverBorder(bool Value);
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    bool Reflected() const { return FReflected; }
    void SetReflected(bool Value);

    void WndProc(TMessage& Message) override;
    void SetButtonStyle(bool ADefault) override;
    void Invalidate() override;
    virtual int CurrentState() { return FCore->CurrentState(); }
    void PrepareCache() override;
    // The glyph's rectangle and the caption's.
    TRect ImgRect();
    TRect CaptionRect();
    int GlyphWidth();
    int GlyphHeight();
    // The image list holds ImageIndex.
    bool ImageValid() const;

    bool RegionChanged() const { return FCore->RegionChanged; }
    TsPushButtonCore& Core() { return *FCore; }

    // TsBtnGlyphSource
    TsBtnGlyphInfo GlyphInfo() override;

protected:
    void CNDrawItem(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    virtual void DoDrawText(TCanvas* Canvas, TRect& R, UINT Flags);
    virtual void DrawCaption(TCanvas* Canvas = nullptr);
    TSize TextRectSize();
    int MaxCaptionWidth();

    // TsFrameHost
    TWinControl* FrameControl() override { return this; }
    TsCommonData* FrameSkinData() override { return FCommonData.get(); }
    void InheritedWndProc(TMessage& Message) override { TBitBtn::WndProc(Message); }
    bool OwnPaintHandler(HDC DC) override;
    void SkinSetAdapt() override { FCore->RegionChanged = true; }
    void SkinRemovedAdapt() override;
    bool OwnSkinnedMessage(TMessage& Message) override;
    void AfterInherited(TMessage& Message) override;
    bool IgnoresKillFocusWhileDestroying() override { return true; }
    void FadeFrameArrived() override { FCore->DropRegion(); }
    bool ActionDisabled() override;

private:
    bool Skinned() const;
    void Changed();
    void StdDrawItem(const DRAWITEMSTRUCT& Dis);
    std::unique_ptr<TsCommonData> FCommonData;
    std::unique_ptr<TsCtrlFrame> FFrame;
    std::unique_ptr<TsPushButtonCore> FCore;
    int FOldSpacing = 4;
    int FFocusMargin = 1;
    TsDisabledGlyphKind FDisabledGlyphKind{dgBlended};
    bool FGrayed = false;
    int FBlend = 0;
    int FOffset = 0;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    bool FShowCaption = true;
    bool FShowFocus = true;
    TAlignment FAlignment = taCenter;
    bool FDrawOverBorder = true;
    TAlignment FTextAlignment = taCenter;
    bool FReflected = false;
    TButtonLayout OldLayout = blGlyphLeft;
};
