#include "skin/editors/sCustomComboEdit_Popup.h"

#include <algorithm>

namespace {

// Keeps a span of Size inside [Lo, Hi); a span wider than the room starts at Lo.
LONG KeepInside(LONG Pos, LONG Size, LONG Lo, LONG Hi)
{
    if (Pos + Size > Hi)
        Pos = Hi - Size;
    return std::max(Pos, Lo);
}

} // namespace

TPoint PopupWindowPlace(const TRect& Edit, const TSize& Popup, TPopupWindowAlign Align, const TRect& WorkArea)
{
    // Vertical: below the edit; above it when it does not fit below; when it
    // fits neither way, on the side with more room, kept inside.
    LONG y = Edit.bottom;
    if (y + Popup.cy > WorkArea.bottom) {
        LONG above = Edit.top - Popup.cy;
        if (above >= WorkArea.top || Edit.top - WorkArea.top > WorkArea.bottom - Edit.bottom)
            y = above;
    }
    y = KeepInside(y, Popup.cy, WorkArea.top, WorkArea.bottom);

    // Horizontal: right edges aligned (pwaRight) or left edges (pwaLeft),
    // the other alignment when the first leaves the work area.
    LONG x;
    if (Align == pwaRight) {
        x = Edit.right - Popup.cx;
        if (x < WorkArea.left)
            x = Edit.left;
    } else {
        x = Edit.left;
        if (x + Popup.cx > WorkArea.right)
            x = Edit.right - Popup.cx;
    }
    x = KeepInside(x, Popup.cx, WorkArea.left, WorkArea.right);
    return {x, y};
}

TRect MonitorWorkAreaOf(const TRect& ScreenRect)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = MonitorFromRect(&ScreenRect, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfoW(monitor, &info))
        return TRect(info.rcWork);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return TRect(work);
}
