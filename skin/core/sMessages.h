// The skin library's command message: one window message whose high word of
// WParam carries a sub-command and whose low word a small argument; LParam
// carries the skin manager, a record or a control; the answer is the
// message's result (0 from a window that does not know the sub-command).
#pragma once

#include <windows.h>

// 0xA100; every sender and receiver compares with this variable.
extern UINT SM_KORVEXCMD;

// Sub-commands ("down": manager or parent to forms and controls; "up": child
// to its parent window; "self": to the window concerned).
constexpr int SMC_SKIN_SET = 1;          // down, LParam = the manager
constexpr int SMC_SKIN_REMOVE = 2;       // down, LParam = the manager
constexpr int SMC_SKIN_REFRESH = 3;      // down, LParam = the manager
constexpr int SMC_GET_PROVIDER = 4;      // self: the form's skin provider, 0 when none
constexpr int SMC_PARENT_UPDATED = 6;    // down
constexpr int SMC_IS_SKINNED = 7;        // self: 1 from every skinned window
constexpr int SMC_SET_UPDATING = 8;      // argument 1 = updating on
constexpr int SMC_SET_URGENT = 9;        // argument 1 = on
constexpr int SMC_GET_UPDATING = 10;     // 1 when the picture is not ready
constexpr int SMC_GET_HALFVISIBLE = 11;
constexpr int SMC_BG_MAY_CHANGE = 12;    // argument 1 = yes
constexpr int SMC_SECTION_UPDATE = 13;   // down, section in GlobalSectionName
constexpr int SMC_GET_DROPPED = 14;
constexpr int SMC_STOP_FADING = 16;
constexpr int SMC_BG_CHANGED = 17;
constexpr int SMC_REPAINT_NOW = 18;
constexpr int SMC_GET_TEXTURED = 19;
constexpr int SMC_REPAINT_IF_MOVED = 20; // argument 1 = redraw now
constexpr int SMC_GET_BG_COLOR = 21;
constexpr int SMC_SET_HALFVISIBLE = 22;
constexpr int SMC_PREPARE_CACHE = 23;
constexpr int SMC_FADE_FRAME = 24;       // LParam = the frame bitmap
constexpr int SMC_ADD_TO_ADAPTER = 25;   // up, LParam = the control
constexpr int SMC_GET_SKIN_INDEX = 26;   // section index + 1, 0 = not skinned
constexpr int SMC_GET_MANAGER = 27;      // self: the window's skin manager, never anything else
constexpr int SMC_MOUSE_ENTER = 29;      // LParam = the manager
constexpr int SMC_MOUSE_LEAVE = 30;      // LParam = the manager
constexpr int SMC_BEGIN_UPDATE = 31;
constexpr int SMC_END_UPDATE = 32;
constexpr int SMC_GET_BG_INFO = 34;      // up, LParam = a TkvBGInfo record
constexpr int SMC_CTRL_STATE = 36;       // LParam 1: recompute and tell children
constexpr int SMC_UPDATE_BORDER_POS = 37;
// The height of a group box's caption band, asked by cache copies that leave
// out a group box's frame.  It has its own number so that whoever asks
// SMC_GET_MANAGER always gets a manager.
constexpr int SMC_GET_CAPTION_HEIGHT = 38;
constexpr int SMC_SCROLL_BEGIN = 51;
constexpr int SMC_SCROLL_END = 52;
constexpr int SMC_GET_APPLICATION = 60;
constexpr int SMC_GET_OFFSETS = 61;      // OffsetY shl 16 or OffsetX

// The WParam of a sub-command with its argument.
constexpr WPARAM MakeKorvexWParam(int Cmd, int Arg = 0)
{
    return (static_cast<WPARAM>(static_cast<WORD>(Cmd)) << 16) | static_cast<WORD>(Arg);
}
