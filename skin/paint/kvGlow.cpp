#include "skin/paint/kvGlow.h"

int ShowGlow(const TRect&, const TRect&, const UnicodeString&, const UnicodeString&, int, int, HWND, TsSkinManager*)
{
    return -1;
}

void HideGlow(int) {}

void ClearGlows() {}
