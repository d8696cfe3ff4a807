// The WM_COPYDATA messages through which another program drives the Flash
// stand-in control: it delivers FSCommand events and reads movie variables.
// Texts are UTF-16, each ended by one zero character.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "classlib/rtl/System.h"

// "command\0args\0": raise FSCommand(command, args).
constexpr ULONG_PTR FlashCopyDataCommand = 0x4B564643;     // "KVFC"
// Its answers: the handler has run, or the event waits its turn (it runs
// later, after the handler in progress and the open modal windows); 0 for
// a malformed payload.
constexpr LRESULT FlashCommandRan = 1;
constexpr LRESULT FlashCommandWaits = 2;
// "name\0", WParam = the window that receives the reply.
constexpr ULONG_PTR FlashCopyDataGetVariable = 0x4B564756; // "KVGV"
// The reply: "name\0value\0", WParam = the control's window.
constexpr ULONG_PTR FlashCopyDataVariable = 0x4B565641;    // "KVVA"

// The payload of the given texts, each followed by its zero character.
std::vector<wchar_t> PackFlashTexts(std::initializer_list<UnicodeString> Texts);

// Splits a payload into exactly Count zero-ended texts.  False when the
// data is not that (odd size, a missing terminator, extra characters).
bool UnpackFlashTexts(const COPYDATASTRUCT* Data, size_t Count, std::vector<UnicodeString>& Texts);

// Sends Texts to Target as a WM_COPYDATA of kind Kind; From goes in WParam.
// The result is the message's result, or 0 when it timed out.
LRESULT SendFlashCopyData(HWND Target, HWND From, ULONG_PTR Kind, std::initializer_list<UnicodeString> Texts,
                          UINT TimeoutMs = 0);
