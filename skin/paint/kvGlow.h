// Glows around hot controls and caption buttons: one process-wide list of
// glow windows addressed by index (kept by the caller, -1 = none).
//
// The glow windows themselves (a layered window around the control with the
// skin's glow image) are not built yet: ShowGlow shows nothing and answers
// -1, so callers keep no glow to hide.
#pragma once

#include <windows.h>

#include "classlib/graphics/Types.h"
#include "classlib/rtl/System.h"

class TsSkinManager;

// Shows the glow image Name + "0" of SkinSection around R (screen
// coordinates; RealRect is the control's visible part in its own
// coordinates) for the window WndHandle; the index of the new glow, or -1.
int ShowGlow(const TRect& R, const TRect& RealRect, const UnicodeString& SkinSection, const UnicodeString& Name,
             int Margin, int Alpha, HWND WndHandle, TsSkinManager* SkinManager = nullptr);
// Destroys the glow of that index; nothing for an index that is stale or out of range.
void HideGlow(int Index);
// Destroys every glow and empties the list.
void ClearGlows();
