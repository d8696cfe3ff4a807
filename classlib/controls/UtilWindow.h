// Hidden utility windows whose messages go to a bound method: the timers'
// tick windows and the popup menus' command window.  They share the class
// "TPUtilWindow", which the skinning hook knows to leave alone.
#pragma once

#include <windows.h>

#include "classlib/controls/Messages.h"

// Makes a hidden window whose every message is handed to Method (with the
// message's Result answered); an exception in Method goes to the
// application's handler.  Raises EOutOfResources when no window can be made.
HWND AllocateHWnd(TWndMethod Method);
// Cuts the window off from its method, then destroys it.  Safe to call from
// inside the method itself.
void DeallocateHWnd(HWND Wnd);
