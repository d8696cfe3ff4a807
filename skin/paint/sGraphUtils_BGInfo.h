// Asking a parent what lies behind a child (the command message's
// SMC_GET_BG_INFO) and turning the answer into the cache info painting
// reads.  Part of the painting entry points of sGraphUtils.
#pragma once

#include <windows.h>

#include "skin/core/sConst.h"

class TControl;

// Asks the window Handle to fill BGInfo.  True when it answered.  A window
// that does not answer is asked to paint itself into DrawDC when the record
// asked for drawing on entry; otherwise the answer becomes the default
// manager's global colour (the button face without a manager).
bool GetBGInfo(PkvBGInfo BGInfo, HWND Handle, bool PleaseDraw);
// The same for a control: through its window when it has one, else by
// Perform.  A control that does not answer gives the colour it shows.
bool GetBGInfo(PkvBGInfo BGInfo, TControl* Control, bool PleaseDraw);
// A bitmap answer as a ready cache info at the answered offset; a colour
// answer as a fill colour (RGB).
TCacheInfo BGInfoToCI(PkvBGInfo BGInfo);
