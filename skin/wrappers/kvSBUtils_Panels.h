// Wrappers of panels: class-library panels on skinned forms (TkvPanelWnd),
// panels inside standard dialogs (TkvDlgPanelWnd), nested dialog panes
// (TkvTransPanelWnd), and a tab-control frame (TkvTabWnd).
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/ExtCtrls.h"
#include "skin/wrappers/kvSBUtils.h"

// A class-library panel that holds controls: the section (chosen by its
// bevels when the creator names none), its caption centred, and its graphic
// children, painted on erase; the frame in the non-client paint.
class TkvPanelWnd : public TkvMainWnd {
    KV_CLASS(TkvPanelWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // The section a panel's bevels and border ask for.
    static UnicodeString SectionFor(TCustomPanel* Panel);
    virtual void PrepareCache();
    // Paints the panel (window coordinates) into DC, or its window context.
    void KV_WMPaint(HDC DC);
    void KV_WMNCPaint(HDC DC);
    void WriteText(TRect R, TCanvas* Canvas);

private:
    TCustomPanel* Panel() const;
    bool Serves() const;
    void Command(TMessage& Message);
    bool SkinnedMessage(TMessage& Message);
};

// A panel of a standard dialog: the section's frame around what the panel
// paints itself (inside a 6-pixel margin).  A class-library TPanel behind
// the window takes the skin's global colour meanwhile and gets its own back.
class TkvDlgPanelWnd : public TkvMainWnd {
    KV_CLASS(TkvDlgPanelWnd)
public:
    // Sets its own section whatever the creator names: "CHECKBOX" for a
    // TPanel, "GROUPBOX" for anything else.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void SaveStdParams() override;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void kvWndProc(TMessage& Message) override;

    virtual void PrepareCache();
    void KV_WMPaint(HDC DC);
    void KV_WMNCPaint(HDC DC);

    TCustomPanel* Panel = nullptr; // the class-library panel of the window, if any

private:
    void EraseBkgnd(TMessage& Message);
    TColor GlobalColor() const;
    void TakeGlobalColor();
};

// A dialog nested in a dialog: its own cache (the parent's background under
// the section) over the whole window.
class TkvTransPanelWnd : public TkvMainWnd {
    KV_CLASS(TkvTransPanelWnd)
public:
    void kvWndProc(TMessage& Message) override;
    // Paints into DC (window coordinates) or the window's context.
    virtual void KV_WMPaint(HDC DC);
};

// A tab control's frame: the bands above and left of its display area
// copied from the cache (which holds the section over the parent's
// background).
class TkvTabWnd : public TkvMainWnd {
    KV_CLASS(TkvTabWnd)
public:
    void kvWndProc(TMessage& Message) override;
    TRect DisplayRect() const;
    void PrepareCache();
    void KV_WMPaint(HDC DC);
    void KV_WMNCPaint(HDC DC);
};
