// What the painting wrappers of simple controls share (buttons, check boxes,
// group boxes, statics, up-down controls, panels): the font a wrapper draws
// with, the device context of one paint, the disabled look, and the short
// message forms of their window procedures.  Part of unit kvSBUtils.
#pragma once

#include <windows.h>

#include "classlib/graphics/GdiHandles.h"
#include "skin/wrappers/kvSBUtils.h"

// The brush kept in Brush while its colour Kept is still Want, made anew
// (the old one deleted) when the colour changes: one brush per owner for
// the answers to colour messages, never one per message.
HBRUSH KeptBrush(GdiObject<HBRUSH>& Brush, TColor& Kept, TColor Want);

// The wrapper paints: its skin data has a manager whose skin is active and
// (with NeedSection) a section the skin has.  Without one the window keeps
// its own look.
bool WrapperSkinned(const TkvMainWnd* Wnd, bool NeedSection = true);

// Canvas gets the font the control shows: the owner control's font, else a
// copy of the window's font (WM_GETFONT; the system font when it has none).
// The window's own font handle is never adopted.
void AssignWndFont(TCanvas* Canvas, HWND Wnd);
void AssignControlFont(TCanvas* Canvas, TsCommonData* SkinData, HWND Wnd);

// The device context one paint draws into: the one a message brought, else
// the window's (client or, with Frame, whole-window) context, released here.
class TkvTargetDC {
public:
    TkvTargetDC(HWND Wnd, HDC Given, bool Frame = false);
    ~TkvTargetDC();
    TkvTargetDC(const TkvTargetDC&) = delete;
    TkvTargetDC& operator=(const TkvTargetDC&) = delete;
    HDC Get() const { return FDC; }
    operator HDC() const { return FDC; }

private:
    HWND FWnd;
    HDC FDC;
    bool FOwn;
};

// BeginPaint and EndPaint of one paint handler with a paint structure of its
// own, so that a paint started inside another one (a re-entrant paint)
// leaves the outer one intact.  Nothing is validated when the message
// brought its own device context (a print or a paint into a bitmap).
class TkvPaintScope {
public:
    TkvPaintScope(HWND Wnd, HDC Given);
    ~TkvPaintScope();
    TkvPaintScope(const TkvPaintScope&) = delete;
    TkvPaintScope& operator=(const TkvPaintScope&) = delete;

private:
    HWND FWnd;
    PAINTSTRUCT FPS{};
    bool FBegun = false;
};

// The look of a disabled control: 40 % of the cache over 60 % of what lies
// behind it (the parent's cached pixels at Pos, else its fill colour).
void ApplyDisabledBlend(TBitmap* Cache, const TCacheInfo& CI, const TPoint& Pos);

// The skin data is not to paint now (SetUpdating(GetUpdating)).
bool RecheckUpdating(TsCommonData* SkinData);

// Short forms of the window procedures.
// The message goes to the root procedure between WM_SETREDRAW 0 and 1, so
// that the window's own procedure does not draw its standard look (a hidden
// window gets it plainly: WM_SETREDRAW 1 would show it); false when the
// wrapper went meanwhile.
bool QuietRoot(TkvMainWnd* Wnd, TMessage& Message);
// BGChanged, then WM_PAINT sent at once.
void RepaintNow(TkvMainWnd* Wnd);
// RedrawWindow with RDW_INVALIDATE, RDW_ERASE and RDW_UPDATENOW.
void RedrawWnd(HWND Wnd);
// The window is under the cursor (the input source's).
bool CursorInside(HWND Wnd);
// A mouse move over a window: the default manager's active control follows
// the cursor into and out of the window (not while designing or disabled).
void TrackActiveControl(HWND Wnd);
