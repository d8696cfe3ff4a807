// How skinned controls, form providers, window wrappers and the skin manager
// talk to one another with the command message, pass a message down a tree
// of controls, ask a control for its colour or readiness, paint graphic
// children into a device context and paint a control tree into a bitmap.
// GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/Controls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/graphics/Graphics.h"
#include "skin/core/sMessages.h"

class TCustomPanel;

// Text-drawing flag of each alignment.
extern const UINT AlignToInt[3];
// The text-drawing flags of a caption with Alignment in Control: the
// alignment's flag with DT_EXPANDTABS and DT_VCENTER, mirrored for a
// right-to-left control.
UINT GetStringFlags(TControl* Control, TAlignment Alignment);

// The visual-style library and its SetWindowTheme, loaded at start-up
// (0 and nullptr when missing).
using TSetWindowTheme = HRESULT(WINAPI*)(HWND Wnd, LPCWSTR SubAppName, LPCWSTR SubIdList);
extern HMODULE uxthemeLib;
extern TSetWindowTheme Kv_SetWindowTheme;

// Windows before version 6, where a window draws itself again on
// WM_SETREDRAW and the layered and composition paths differ.
bool OldWindows();

// While an animation paints a form or control off screen: skinned controls
// paint into kvPrintDC and skip screen-only work.
extern bool InAnimationProcess;
extern HDC kvPrintDC;

// ---------------------------------------------------------------------------
// Command-message senders.  WParam is Cmd shl 16.

LRESULT SendAMessage(HWND Handle, int Cmd, LPARAM LParam = 0);
// A control without a window by Perform; a windowed control only through a
// window it already has (none is made here), and not while it is being
// destroyed: 0 then.
LRESULT SendAMessage(TControl* Control, int Cmd, LPARAM LParam = 0);
// Cmd with 1 (Value) or 0 as its argument; the answer is dropped.
void SetBoolMsg(HWND Handle, int Cmd, bool Value);
// The low byte of the answer is not 0.
bool GetBoolMsg(TWinControl* Control, int Cmd);
// The answer is exactly 1.
bool GetBoolMsg(HWND Handle, int Cmd);
// Asks the control's form to have its control adapter take the control's
// standard children (not while loading or designing).
void AddToAdapter(TWinControl* Control);
// SMC_PARENT_UPDATED to the children that can repaint: windowed ones that
// show, and controls that are neither graphic nor windowed.  Nothing while
// an animation runs.
void SetParentUpdated(TWinControl* Parent);
// SMC_PARENT_UPDATED to every child window (WS_CHILD) of Handle.
void SetParentUpdated(HWND Handle);
// Hands Message to the design-time entry of the form's first skin provider.
void SendToProvider(TCustomForm* Form, TMessage& Message);

// ---------------------------------------------------------------------------
// Broadcasts (answers are not collected).

// Message to every child control in Controls order: by Perform to a child
// without a window, by SendMessage to a skinned windowed child, and on
// through any other windowed child to its own children, so that skinned
// grandchildren inside unskinned containers are reached.  A child that is
// being destroyed, or that has left the parent meanwhile, is skipped and
// the rest still get the message.
void KorvexBroadCast(TWinControl* Control, TMessage& Message);
// Message to every direct child window of Handle.
void KorvexBroadCast(HWND Handle, TMessage& Message);
// Message to every window of Handle's child list that has WS_CHILD.
void BroadCastMsg(HWND Handle, TMessage& Message);

// ---------------------------------------------------------------------------
// Questions to controls and windows.

// The RGB colour a control shows: a skinned control's answer to
// SMC_GET_BG_COLOR, else its Color; 0xFF00FF for nil.
TColor GetControlColor(TControl* Control);
TColor GetControlColor(HWND Handle);
// The control exists, has its window (windowed), is neither being created,
// read, loaded nor destroyed, and has a parent.
bool ControlIsReady(TControl* Control);
// The first form in the owner chain, the component itself included.
TCustomForm* GetOwnerForm(TComponent* Component);
// The first frame in the owner chain, the component itself included.
TCustomFrame* GetOwnerFrame(TComponent* Component);
// The edit's whole text is selected (an empty text counts as selected).
bool AllEditSelected(TCustomEdit* Edit);
// The outermost window reached through GetParent (Handle when it has none).
HWND GetParentFormHandle(HWND Handle);
// An owned component of Parent by name (ignoring case); "Frame.Control"
// finds a component owned by the frame of that name.
TComponent* GetControlByName(TWinControl* Parent, const UnicodeString& Name);
// Dimension 0: the horizontal span of the children (largest right edge less
// smallest left edge), 1: the vertical one; 0 when empty or not positive.
int GetCtrlRange(TWinControl* Parent, int Dimension);
// The sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of
// Parent's visible children with that Align; graphic ones with GraphCtrlsToo.
int GetAlignShift(TWinControl* Parent, TAlign Align, bool GraphCtrlsToo = false);
// The client rectangle in window coordinates.
TRect KVClientRect(HWND Handle);
// The desktop work area.
TRect WorkRect();
// The mouse position on the screen.
TPoint kvMousePos();

// ---------------------------------------------------------------------------
// Routines over children.

// Invalidates every ready child that is not a graphic control.
void RepaintsControls(TWinControl* Parent, bool Unused = false);
// Repaints every ready graphic child.
void RepaintsGraphicControls(TWinControl* Parent);
// Enabled := Value on every child that is not a panel.
void SetControlsEnabled(TWinControl* Parent, bool Value);
// Focuses the first enabled tab stop of Parent's tab order.
void SetPanelFocus(TWinControl* Parent);
// False when an edit or combo box child has an empty text.
bool CheckPanelFilled(TCustomPanel* Panel);

// ---------------------------------------------------------------------------
// Painting.

// Paints the visible graphic children of Parent into DC, each over the
// background Parent shows behind it; Offset is where Parent's client origin
// lies in DC.  A child whose picture starts with the key colour is left out.
void PaintControls(HDC DC, TWinControl* Parent, bool ChangeCache, const TPoint& Offset, HWND Handle = nullptr);
// Paints Ctrl with its windowed children into Bmp at (Left, Top); an
// invisible Ctrl gets its parent's background there instead.  With the
// form's SkinProvider (a form with an extended-border window) the client
// area's alpha is made opaque.
void SkinPaintTo(TBitmap* Bmp, TControl* Ctrl, int Left = 0, int Top = 0, TComponent* SkinProvider = nullptr);
