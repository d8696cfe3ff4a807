// Where the pop-up window of an edit with a button opens: below the edit, or
// above it when there is no room below, right or left edges aligned, always
// inside the work area of the monitor that holds the edit.  The geometry is
// one pure function, so that any monitor layout can be checked as a table;
// finding the work area asks the system.
#pragma once

#include "classlib/graphics/Types.h"
#include "skin/core/sConst.h"

// Edit is the edit's rectangle and WorkArea the monitor's work area, both in
// screen coordinates (a monitor left of or above the primary one has
// negative ones); Popup is the pop-up's size.  Answers the pop-up's top-left
// corner.
TPoint PopupWindowPlace(const TRect& Edit, const TSize& Popup, TPopupWindowAlign Align, const TRect& WorkArea);

// The work area of the monitor that holds most of ScreenRect (the nearest
// one when it lies on none).
TRect MonitorWorkAreaOf(const TRect& ScreenRect);
