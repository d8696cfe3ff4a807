// The extended-border window of a skinned form and the caption buttons'
// fade animation.  Until the border window is made, a skinned form has
// none: its frame is its own window's, with no shadow, and a caption
// button shows its new state at once.
#include "skin/forms/sSkinProvider.h"

void TsSkinProvider::InitExBorders(bool Active)
{
    (void)Active;
}

void TsSkinProvider::UpdateExBordersPos(bool Redraw, int Blend)
{
    (void)Redraw;
    (void)Blend;
}

void TsSkinProvider::KillAnimations() {}

TRect TsSkinProvider::ShadowSize()
{
    return TRect();
}
