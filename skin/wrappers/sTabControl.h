// The skinned tab control (TsTabControl): a class-library tab control that
// paints its page area and tabs from the skin as the tab wrappers do, with
// hot tracking of single tabs (without leaving the mouse message it is
// handling) and owner-drawn tabs over their skinned backgrounds.
// GUI thread only.
#pragma once

#include "classlib/controls/ComCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/wrappers/kvSBUtils_Tabs.h"

class TsTabControl : public TTabControl, public TkvTabPainter {
    KV_CLASS(TsTabControl)
    KV_PUBLISHED
public:
    explicit TsTabControl(TComponent* AOwner);
    ~TsTabControl() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData; }

    // The hot-tracked tab, -1 none.
    int CurItem = -1;
    UnicodeString ChangedSkinSection;

    TRect GetClRect();
    TRect PageRect();
    TRect TabsRect();
    int TabRow(int TabIndex);
    TRect SkinTabRect(int Index, bool Active);
    // The tab whose rectangle holds P (client coordinates), -1 none.
    int GetTabUnderMouse(const TPoint& P);
    // Tab i painted in State now: into TabDC, or into the window clipped
    // to the tab and around the selected one.
    void RepaintTab(int i, int State, HDC TabDC);
    void KV_WMPaint(HDC DC);
    // The arrow buttons' wrapper, once the control is placed and has its window.
    void CheckTabUpDown();

    // TkvTabPainter
    TkvTabLayout Layout() override;
    HWND TabWnd() const override { return const_cast<TsTabControl*>(this)->Handle(); }
    TsCommonData* TabData() const override { return FCommonData; }
    TPoint PosInParent() override { return TPoint(Left(), Top()); }
    TCacheInfo ParentCI() override { return GetParentCache(FCommonData); }
    void AssignTabFont(TCanvas* Canvas) override;
    TSize IconSize() override;
    bool DrawTabImage(TCanvas* Canvas, int X, int Y, int Image, bool Transparent) override;
    bool OwnerDrawTab(TBitmap* Bmp, int Index, const TRect& R) override;
    void AfterPaint(HDC DC) override;
    void CopyCache(HDC DC) override;

private:
    bool Reading() const;
    bool Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
    void FocusChanged(const TMessage& Message);
    void MouseMove(TMessage& Message);
    void MouseLeft(TMessage& Message);
    void AfterMessage(const TMessage& Message, const TSize& OldSize);
    TsCommonData* FCommonData;
};
