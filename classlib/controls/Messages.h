// Window messages as the controls see them: the TMessage record with its
// typed views, the window-procedure method type, and the class library's own
// notification numbers (CM_*) and reflected notifications (CN_*).
#pragma once

#include <windows.h>

#include "classlib/rtl/System.h"

// One message on its way through a control's WindowProc.  The word halves
// overlay the full values (the compiler documents union punning).
struct TMessage {
    UINT Msg;
    union {
        WPARAM WParam;
        struct { WORD WParamLo, WParamHi; };
    };
    union {
        LPARAM LParam;
        struct { WORD LParamLo, LParamHi; };
    };
    union {
        LRESULT Result;
        struct { WORD ResultLo, ResultHi; };
    };
};

// The method that handles a control's messages: WindowProc and WndProc.
using TWndMethod = TMethod<void(TMessage&)>;

// Builds a message record; Result starts at 0.
inline TMessage MakeMessage(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
{
    TMessage m{};
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    m.Result = 0;
    return m;
}

// ---------------------------------------------------------------------------
// Typed views.  Each has TMessage's layout and is read through a reference to
// the same record: TWMMouse& m = MessageAs<TWMMouse>(Message).
#define KV_MSGVIEW struct __attribute__((may_alias))

KV_MSGVIEW TWMNoParams {
    UINT Msg;
    WPARAM Unused1;
    LPARAM Unused2;
    LRESULT Result;
};

KV_MSGVIEW TWMMouse {
    UINT Msg;
    WPARAM Keys;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;
using TWMLButtonDblClk = TWMMouse;

KV_MSGVIEW TWMMouseWheel {
    UINT Msg;
    WORD Keys;
    SHORT WheelDelta;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

KV_MSGVIEW TWMKey {
    UINT Msg;
    WORD CharCode;
    WORD Unused;
    LPARAM KeyData;
    LRESULT Result;
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysChar = TWMKey;

KV_MSGVIEW TWMPaint {
    UINT Msg;
    HDC DC;
    LPARAM Unused;
    LRESULT Result;
};

KV_MSGVIEW TWMEraseBkgnd {
    UINT Msg;
    HDC DC;
    LPARAM Unused;
    LRESULT Result;
};

KV_MSGVIEW TWMSize {
    UINT Msg;
    WPARAM SizeType;
    WORD Width;
    WORD Height;
    LRESULT Result;
};

KV_MSGVIEW TWMMove {
    UINT Msg;
    WPARAM Unused;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

KV_MSGVIEW TWMCommand {
    UINT Msg;
    WORD ItemID;
    WORD NotifyCode;
    HWND Ctl;
    LRESULT Result;
};

KV_MSGVIEW TWMNotify {
    UINT Msg;
    WPARAM IDCtrl;
    NMHDR* NMHdr;
    LRESULT Result;
};

KV_MSGVIEW TWMDrawItem {
    UINT Msg;
    WPARAM Ctl;
    DRAWITEMSTRUCT* DrawItemStruct;
    LRESULT Result;
};

KV_MSGVIEW TWMMeasureItem {
    UINT Msg;
    WPARAM IDCtl;
    MEASUREITEMSTRUCT* MeasureItemStruct;
    LRESULT Result;
};

KV_MSGVIEW TWMCtlColor {
    UINT Msg;
    HDC ChildDC;
    HWND ChildWnd;
    LRESULT Result;
};

KV_MSGVIEW TWMSetFocus {
    UINT Msg;
    HWND FocusedWnd;
    LPARAM Unused;
    LRESULT Result;
};

KV_MSGVIEW TWMKillFocus {
    UINT Msg;
    HWND FocusedWnd;
    LPARAM Unused;
    LRESULT Result;
};

KV_MSGVIEW TWMNCHitTest {
    UINT Msg;
    WPARAM Unused;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

KV_MSGVIEW TWMSetCursor {
    UINT Msg;
    HWND CursorWnd;
    WORD HitTest;
    WORD MouseMsg;
    LRESULT Result;
};

KV_MSGVIEW TWMWindowPosMsg {
    UINT Msg;
    WPARAM Unused;
    WINDOWPOS* WindowPos;
    LRESULT Result;
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

KV_MSGVIEW TWMSysCommand {
    UINT Msg;
    WPARAM CmdType;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

KV_MSGVIEW TWMActivate {
    UINT Msg;
    WORD Active;
    WORD Minimized;
    HWND ActiveWindow;
    LRESULT Result;
};

KV_MSGVIEW TWMNCActivate {
    UINT Msg;
    WPARAM Active;
    LPARAM Unused;
    LRESULT Result;
};

KV_MSGVIEW TWMTimer {
    UINT Msg;
    WPARAM TimerID;
    TIMERPROC TimerProc;
    LRESULT Result;
};

KV_MSGVIEW TWMNCCalcSize {
    UINT Msg;
    WPARAM CalcValidRects;
    // With CalcValidRects 0 only its first rectangle is there.
    NCCALCSIZE_PARAMS* CalcSize_Params;
    LRESULT Result;
};

KV_MSGVIEW TWMGetMinMaxInfo {
    UINT Msg;
    WPARAM Unused;
    MINMAXINFO* MinMaxInfo;
    LRESULT Result;
};

// CM_MOUSEWHEEL, sent by a control before it handles WM_MOUSEWHEEL: the
// shift state (element i of TShiftState in bit i), the wheel delta and the
// cursor's screen position.
KV_MSGVIEW TCMMouseWheel {
    UINT Msg;
    BYTE ShiftState;
    BYTE Unused;
    SHORT WheelDelta;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

// CM_MOUSEENTER/CM_MOUSELEAVE/CM_HITTEST/CM_CHILDKEY... carry a control in
// LParam; the view keeps it untyped so this header needs no control classes.
KV_MSGVIEW TCMHitTest {
    UINT Msg;
    WPARAM Unused;
    SHORT XPos;
    SHORT YPos;
    LRESULT Result;
};

KV_MSGVIEW TCMDialogKey {
    UINT Msg;
    WORD CharCode;
    WORD Unused;
    LPARAM KeyData;
    LRESULT Result;
};
using TCMDialogChar = TCMDialogKey;
using TCMWantSpecialKey = TCMDialogKey;

#undef KV_MSGVIEW

static_assert(sizeof(TMessage) == sizeof(UINT) + sizeof(WPARAM) + sizeof(LPARAM) + sizeof(LRESULT));

template <class View>
inline View& MessageAs(TMessage& m)
{
    static_assert(sizeof(View) == sizeof(TMessage), "a message view has TMessage's layout");
    return reinterpret_cast<View&>(m);
}

// ---------------------------------------------------------------------------
// The class library's notifications, numbered from CM_BASE in its order.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_INVALIDATEDOCKHOST = CM_BASE + 70;
constexpr UINT CM_SETACTIVECONTROL = CM_BASE + 71;
constexpr UINT CM_POPUPHWNDDESTROY = CM_BASE + 72;
constexpr UINT CM_CREATEPOPUP = CM_BASE + 73;
constexpr UINT CM_DESTROYHANDLE = CM_BASE + 74;
constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 75;
constexpr UINT CM_CONTROLLISTCHANGING = CM_BASE + 76;

// Notifications a parent reflects to the child that sent them: the child's
// object receives CN_BASE + the original message number.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
