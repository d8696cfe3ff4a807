// Forms drawn with constant alpha: a layered window while AlphaBlend is on.
#include "classlib/controls/Forms.h"

void TCustomForm::SetAlphaBlend(bool Value)
{
    if (FAlphaBlend == Value)
        return;
    FAlphaBlend = Value;
    SetLayeredAttribs();
}

void TCustomForm::SetAlphaBlendValue(BYTE Value)
{
    if (FAlphaBlendValue == Value)
        return;
    FAlphaBlendValue = Value;
    SetLayeredAttribs();
}

void TCustomForm::SetLayeredAttribs()
{
    // A child window cannot be layered here.
    if (!FHandle || (::GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD))
        return;
    LONG ex = ::GetWindowLongW(FHandle, GWL_EXSTYLE);
    if (FAlphaBlend) {
        if (!(ex & WS_EX_LAYERED))
            ::SetWindowLongW(FHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
    } else if (ex & WS_EX_LAYERED) {
        ::SetWindowLongW(FHandle, GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
        ::RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
