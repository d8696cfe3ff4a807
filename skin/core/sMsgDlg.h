// The skin library's message boxes: the system's own message box, topmost
// and brought to the foreground, with the caption and icon of the dialog
// type.  The library's request, warning and error routines show their
// messages through sMessageDlg.
#pragma once

#include <windows.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/rtl/System.h"

// Where the dialog skinner moves the next message box; -1 keeps the
// system's place.  Every box puts both back to -1 when it returns.
extern int DlgLeft;
extern int DlgTop;

// The message-box style for a dialog type and a set of buttons:
// MB_TOPMOST | MB_SETFOREGROUND, the type's icon, the button layout and
// MB_HELP for mbHelp.
UINT sMessageDlgStyle(TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// Shows Msg and returns the id of the button pressed (1 OK, 2 Cancel,
// 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).  An empty Title gives the dialog
// type's caption.  HelpCtx and HelpFileName are accepted and not used.
int sMessageDlgPosHelp(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType,
                       TMsgDlgButtons Buttons, int HelpCtx, int X, int Y, const UnicodeString& HelpFileName);
int sMessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int sMessageDlg(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                int HelpCtx);
int sMessageDlgPos(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
int sMessageDlgPos(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                   int HelpCtx, int X, int Y);
void sShowMessage(const UnicodeString& Msg);
void sShowMessage(const UnicodeString& Title, const UnicodeString& Msg);
void sShowMessagePos(const UnicodeString& Msg, int X, int Y);
void sShowMessagePos(const UnicodeString& Title, const UnicodeString& Msg, int X, int Y);
