// The speed-button handler: skins a graphic control that has no window of
// its own, a class-library speed button (TSpeedButton or a descendant)
// whose class the skin manager lists in ThirdSpeedButton.  It takes over
// the control's WindowProc, paints the control from the skin into the
// device context the parent hands it, and answers the command message for
// it.  The form skinner's adapter item makes one per such control with its
// own skin data (owner control and object already set to the control) and
// frees it with the item.
//
// Hot state lives in the skin data (FMouseAbove, from CM_MOUSEENTER and
// CM_MOUSELEAVE); the pressed state is the button's own (ButtonState).
// GUI thread only.
#pragma once

#include <memory>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/Controls.h"
#include "skin/core/sCommonData.h"

class TsSkinManager;
class TkvWndMethodHook;

class TkvSpeedButtonHandler : public TObject {
    KV_CLASS(TkvSpeedButtonHandler)
public:
    // Takes Btn over.  The skin data's section becomes SkinSection when it
    // has none; the manager is ASkinManager, else the skin data's.  Repaint
    // is not used.
    TkvSpeedButtonHandler(TControl* Btn, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                          const UnicodeString& SkinSection, bool Repaint);
    // Gives the control its WindowProc back (see kvWndMethodHook: never
    // cutting out a later subclasser), also while an adapter frees all its
    // items: a handler that is gone must not stay in the control's chain.
    ~TkvSpeedButtonHandler() override;

    virtual void kvWndProc(TMessage& Message);
    // Hands a message to the control's previous WindowProc; LParam comes
    // back as that left it.  0 without a previous method.
    LRESULT CallPrevWndProc(TControl* Control, UINT Msg, WPARAM WParam, LPARAM& LParam);

    // --- painting and its geometry
    void KV_WMPaint(TMessage& Message);
    void PrepareCache();
    void DrawCaption();
    void DrawGlyph();
    UnicodeString Caption();
    // The glyph's rectangle and the caption's, from one layout.
    TRect ImgRect();
    TRect CaptionRect();
    int GlyphWidth();
    int GlyphHeight();
    // The caption laid out in a box at most 255 pixels wide.
    TSize TextRectSize();
    void DoDrawText(TRect& Rect, UINT Flags);
    // 2 pressed (down or held down), 1 focused or under the mouse, else 0.
    int CurrentState();

    // --- fields (the wrappers' vocabulary; the geometry is not filled)
    TRect WndRect;
    TSize WndSize{};
    TPoint WndPos;
    TRect ParentRect;
    HWND ParentWnd = nullptr;
    TControl* Ctrl = nullptr;
    TWndMethod OldWndProc;
    void* OldProc = nullptr;
    TsSkinManager* SkinManager = nullptr;
    TsCommonData* SkinData = nullptr;
    bool Destroyed = false;
    void* NewWndProcInstance = nullptr;

private:
    TSpeedButton* Button() const { return dynamic_cast<TSpeedButton*>(Ctrl); }
    TsSkinManager* Manager() const;
    bool IsManager(LPARAM LParam) const;
    void PassOn(TMessage& Message) { Message.Result = CallPrevWndProc(Ctrl, Message.Msg, Message.WParam, Message.LParam); }
    void KorvexCommand(TMessage& Message);
    void MouseEnterLeave(TMessage& Message);
    void RepaintIfVisible();
    TkvWndMethodHook* FHook = nullptr;
    // False once the handler is freed, for a message handler that outlives it.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
