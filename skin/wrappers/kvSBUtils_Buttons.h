// Wrappers of button-like standard controls: push buttons (TkvBtnWnd),
// buttons with an image (TkvBitBtnWnd), check boxes and radio buttons
// (TkvCheckBoxWnd) and group boxes (TkvGroupBoxWnd).  Each paints its window
// from the skin into the cache bitmap of its skin data and copies it to the
// screen; what it does not take over goes to the root procedure.  A wrapper
// made on a class-library control reads the control (font, glyph, layout);
// one made on a bare window reads everything through window messages.
//
// Part of unit kvSBUtils.  GUI thread only; every paint keeps its state in
// locals, so a paint of another wrapper started inside it changes nothing.
#pragma once

#include <windows.h>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/sMaskData.h"
#include "skin/wrappers/kvSBUtils.h"

// Push buttons.  The painting steps are virtual so that a descendant
// replaces single ones (the glyph of TkvBitBtnWnd).
class TkvBtnWnd : public TkvMainWnd {
    KV_CLASS(TkvBtnWnd)
public:
    // "BUTTON" when the creator names no section.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // --- painting steps (in the cache bitmap)
    virtual void DrawCaption();
    virtual void DrawGlyph() {}
    // One frame of the glyph; width 0 without one.
    virtual TSize GlyphSize();
    virtual void DoDrawText(TRect& R, unsigned Flags);
    // Where the caption goes, shifted by (1, 1) while pressed.
    virtual TRect CaptionRect();
    virtual int MaxCaptionWidth();
    // The caption measured with the flags it is drawn with.
    virtual TSize TextRectSize();
    // Rebuilds the cache: section by state, corners, caption, glyph,
    // disabled look.
    virtual void PrepareCache();

    DWORD CtrlStyle() const;
    // The button shows pressed (BST_PUSHED).
    bool Down() const;
    // 2 pressed, 0 disabled, 1 focused, hot or default, else 0.
    int CurrentState();
    // The text flags of caption drawing and measuring alike: centred,
    // tabs expanded, "&" marking the mnemonic; wrapped only for a
    // multi-line button (BS_MULTILINE), one line otherwise.
    unsigned TextFlags() const;
    void KV_WMPaint(TMessage& Message);

protected:
    void MouseEnter(TMessage& Message);
    void MouseLeave(TMessage& Message);
    void SetFocusMsg(TMessage& Message);
    void KillFocusMsg(TMessage& Message);
    void QuietAndRepaint(TMessage& Message);
    void SetStateMsg(TMessage& Message);
    void MoveMsg(TMessage& Message);
    void ParentUpdatedMsg(TMessage& Message);
};

// Buttons with an image: a class-library TBitBtn (its glyph, layout,
// margin and spacing) or a bare window with a bitmap (BM_GETIMAGE).
class TkvBitBtnWnd : public TkvBtnWnd {
    KV_CLASS(TkvBitBtnWnd)
public:
    HBITMAP hBmp = nullptr; // kept for the creator; not read here
    HICON hIco = nullptr;

    void DrawGlyph() override;
    // With an owner its glyph's frame; without one the pixel size of the
    // window's bitmap.
    TSize GlyphSize() override;
    TRect CaptionRect() override;
    int MaxCaptionWidth() override;
    TRect GlyphRect();

private:
    TBitBtn* Owner() const;
};

// Check boxes and radio buttons.
class TkvCheckBoxWnd : public TkvMainWnd {
    KV_CLASS(TkvCheckBoxWnd)
public:
    // "CHECKBOX" when the creator names no section.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    TCheckBoxState State() const;
    // The glyph frame: 2 pressed, 1 focused or hot, else 0.
    int CtlState() const;
    // The check glyph's place; 16 x 16 at the left when the skin lacks it.
    TRect CheckRect();
    TRect SkinCheckRect(int i);
    int SkinGlyphWidth(int i) const;
    int SkinGlyphHeight(int i) const;
    void DrawCheckText();
    void DrawSkinGlyph(int i);
    // The skin's glyph for State by the window's button type (radio or
    // check box); -1 when the skin has none.
    int GlyphMaskIndex(TCheckBoxState State) const;
    void PrepareCache();
    void KV_WMPaint(TMessage& Message);

private:
    const TsMaskData* Mask(int i) const;
    bool LeftText() const;
};

// Group boxes: the caption on the parent's background and the section's
// frame below the caption band.  In dialog mode only the frame is painted
// (in the non-client paint), never over the dialog's children.
class TkvGroupBoxWnd : public TkvMainWnd {
    KV_CLASS(TkvGroupBoxWnd)
public:
    // "GROUPBOX" when the creator names no section.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // The caption band (window coordinates); its height is the caption
    // height the wrapper answers with SMC_GET_CAPTION_HEIGHT.
    TRect CaptionRect();
    void PrepareCache();
    // The caption over what lies behind it (Back: the parent's answer).
    void WriteText(const TRect& R, const TkvBGInfo& Back, const TPoint& Pos);
    // Paints into DC, or (none given) into the window's context.
    void KV_WMPaint(HDC DC);

private:
    void EraseBkgnd(TMessage& Message);
    void Command(TMessage& Message);
    void PaintBack(const TRect& R, const TkvBGInfo& Back, const TPoint& Pos);
};
