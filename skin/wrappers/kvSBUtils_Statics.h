// Wrappers of simple standard controls: static texts (TkvStaticWnd), icon
// and bitmap statics (TkvIconWnd), link windows (TkvLinkWnd), size grips
// (TkvSizerWnd) and up-down arrows (TkvSpinWnd).  Each paints its window
// from the skin over what lies behind it; what it does not take over goes to
// the root procedure.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "skin/wrappers/kvSBUtils.h"

// Static texts: the section over the parent's background, then the text.
// A static with a tab stop or a static edge keeps its own look.
class TkvStaticWnd : public TkvMainWnd {
    KV_CLASS(TkvStaticWnd)
public:
    void kvWndProc(TMessage& Message) override;
    // Draws the content over the cache (the window text here).
    virtual void PaintText();
    // Paints into DC (the window's context when none is given).
    void KV_WMPaint(HDC DC);

protected:
    // The messages a painting static takes over; false for the others.
    bool PaintingMessage(TMessage& Message);
    // The text flags: no clipping, tabs expanded, wrapped; right-aligned
    // with WS_EX_RIGHT.
    unsigned TextFlags() const;
};

// Icon and bitmap statics: the section, then the picture at 0,0 in its own
// size.  The picture stays the control's: it is drawn from its handle.
class TkvIconWnd : public TkvStaticWnd {
    KV_CLASS(TkvIconWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void PaintText() override;
    bool IsBmp = false; // the static shows a bitmap (SS_BITMAP), not an icon
};

// Link windows: the text without its anchor tags, underlined in the
// system's message font.
class TkvLinkWnd : public TkvStaticWnd {
    KV_CLASS(TkvLinkWnd)
public:
    void kvWndProc(TMessage& Message) override;
    void PaintText() override;
};

// The window text of a link without its anchor tags: every "<a ...>" (any
// attributes) and "</a>", in any case.
UnicodeString LinkDisplayText(const UnicodeString& Text);

// Size grips of dialogs: the parent's background and the skin's grip glyph.
// Only a scroll-bar window that is a size box (SBS_SIZEBOX or
// SBS_SIZEGRIP) is painted and answers its hit tests as the bottom-right
// corner; a real scroll bar is left to itself.
class TkvSizerWnd : public TkvMainWnd {
    KV_CLASS(TkvSizerWnd)
public:
    void kvWndProc(TMessage& Message) override;
    bool IsSizeBox() const;
    void KV_WMPaint(HDC DC);
};

// Up-down controls and the scroll arrows of wrapped tab controls: two
// arrow buttons of the section with the skin's arrow glyphs, hot and
// pressed by the cursor.
class TkvSpinWnd : public TkvMainWnd {
    KV_CLASS(TkvSpinWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;
    // The window lacks UDS_HORZ.
    virtual bool IsVertical() const;

    int lOffset = 0;            // left edge of the painted part of a vertical control
    bool bMousePressed = false; // the left button is held on the window
    int Btn1State = 0;          // 0 normal, 1 hot, 2 pressed: the up (left) button
    int Btn2State = 0;          // and the down (right) button

    // The two buttons in window coordinates (they share the middle line
    // when the size is odd).
    TRect FirstButton() const;
    TRect SecondButton() const;
    void PrepareCache();
    void KV_WMPaint(HDC DC);

private:
    void UpdateStates();
    void PaintButton(const TRect& R, int State, int Glyph, const TCacheInfo& CI);
};
