// The status-bar wrapper (TkvStatusBarWnd): takes over a status-bar window
// by handle and builds the bar in its cache: the section, one panel frame
// ("STATUSPANELMASK") per part or, without that image, a "DIVIDER" strip
// between parts, and each part's text in the section's font colours.  The
// skinned status bar (sStatusBar) shares the panel painting below.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/ComCtrls.h"
#include "skin/wrappers/kvSBUtils.h"

// What both status-bar painters share.
namespace kvStatusPanels {

// The "STATUSPANELMASK" image of the bar's section (or its parents); -1
// without a manager, a valid section or the image.
int PanelMask(TsCommonData* SkinData);
// The panel frame of image Mask over R of the cache bitmap.
void DrawPanelFrame(TsCommonData* SkinData, int Mask, const TRect& R);
// The "DIVIDER" section's border image; -1 when the skin lacks either.
int DividerMask(TsSkinManager* Manager, int& DividerIndex);
// The "DIVIDER" section painted over Strip of the cache bitmap (the bar's
// own picture shows behind it).
void DrawDividerStrip(TsCommonData* SkinData, int DividerIndex, const TRect& Strip);
// Where a panel's text goes: P shrunk by 1, then 1 off the bottom, 2 off
// the left and 4 off the right.
TRect TextRect(const TRect& P);

} // namespace kvStatusPanels

class TkvStatusBarWnd : public TkvMainWnd {
    KV_CLASS(TkvStatusBarWnd)
public:
    // The section is "STATUSBAR" unless the creator names one.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // The owner control when it is a class-library status bar, else nil.
    TStatusBar* StatusBar = nullptr;

    // The window's own answers.
    bool SimplePanel() const;
    int PartsCount() const;
    TRect PartRect(int Index) const;
    // The text a part shows (Index -1: the simple text): the class-library
    // bar's panel or simple text, or the window's own part text for a bar of
    // no class-library control; empty for an owner-drawn part.
    UnicodeString PartText(int Index) const;

    void PaintPanels();
    // Part Index at R (client coordinates), shrunk by 1.
    void DrawPanel(int Index, TRect R);
    void InternalDrawPanel(int Index, const TRect& P);
    void DoDrawText(const UnicodeString& Text, TRect R, UINT Flags);
    void PrepareCache();
    // The cache into DC (the window's client context when 0).
    void WMPaint(HDC DC);
    // The owner's border frame from the cache into DC (the window context when 0).
    void WMNCPaint(HDC DC);

private:
    // The part's alignment and the text without the tabs that ask for it.
    TAlignment PartAlignment(int Index, UnicodeString& Text) const;
    // The font the text is written in: the owner's, else the window's.
    void AssignTextFont(TCanvas* Canvas) const;
    bool SkinnedMessage(TMessage& Message);
};
