// Glows around hot controls and caption buttons: a layered tool window laid
// around the control with the skin's glow image, which lets the mouse
// through.  Glows are kept in one process-wide list and addressed by an id
// (kept by the caller, -1 = none).
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/graphics/Types.h"
#include "classlib/rtl/System.h"

class TsSkinManager;
class TForm;
class TBitmap;

class TkvGlowEffect : public TObject {
    KV_CLASS(TkvGlowEffect)
public:
    TkvGlowEffect() = default;
    ~TkvGlowEffect() override;
    // Draws frame 0 of the glow image over a new transparent Width x Height bitmap.
    virtual void CreateAlphaBmp(int Width, int Height);
    // Creates, places and shows the window (once).
    void Show(const TRect& R, const TRect& RealRect, int Alpha, HWND WndHandle);
    int IntBorderWidth() const { return 2; }

    TsSkinManager* SkinManager = nullptr;  // not owned
    int MaskIndex = -1;
    int Margin = 0;
    TForm* Wnd = nullptr;        // owned
    TBitmap* AlphaBmp = nullptr; // owned while the window is prepared
    TWndMethod OldWndProc;

private:
    void NewWndProc(TMessage& Message);
    void CutToVisible(const TRect& R, const TRect& RealRect, int& W, int& H, int& L, int& T);
    void FreeAlphaBmp();
};

// Shows the glow image Name + "0" of SkinSection around R (screen
// coordinates; RealRect is the control's visible part in its own
// coordinates) for the window WndHandle; the id of the new glow, or -1
// when layered windows or the image are missing.  Alpha is not used.
int ShowGlow(const TRect& R, const TRect& RealRect, const UnicodeString& SkinSection, const UnicodeString& Name,
             int Margin, int Alpha, HWND WndHandle, TsSkinManager* SkinManager = nullptr);
// Destroys the glow of that id; nothing for an id that is stale or unknown.
void HideGlow(int Index);
// Destroys every glow and empties the list (the skin manager calls it when
// it changes or removes a skin, and at shut-down).  Ids are never given
// twice, so an id kept from before cannot reach a later glow.
void ClearGlows();
// The glow of that id; nullptr for a hidden, stale or unknown one.
TkvGlowEffect* GlowOf(int Index);
// Ids given so far minus those that went with ClearGlows: the list's length.
int GlowListLength();
