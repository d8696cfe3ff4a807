// Pieces shared by the movie's file and text functions of the main window
// and of the pop-up windows: argument splitting, the save-dialog filters,
// copies with their result messages, the removable drive, note and list
// files, and the shell's open call.
#pragma once

#include <windows.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/rtl/System.h"

// ---------------------------------------------------------------------------
// The shell's open call.  Every shell request of the viewer goes through
// this pointer (ShellExecuteA as shipped), so that tests can record them.
using TShellExecuteAProc = HINSTANCE(WINAPI*)(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Parameters,
                                              LPCSTR Directory, INT ShowCmd);
extern TShellExecuteAProc ViewerShellExecuteA;

// Asks the shell to "open" File with Parameters (both passed in the ANSI
// code page), no working folder, SW_SHOWNORMAL.  The result is not looked at.
void ShellOpen(HWND Owner, const UnicodeString& File, const UnicodeString& Parameters);

// ---------------------------------------------------------------------------
// Arguments.  The movie separates the parts of its arguments with "@@@".
extern const wchar_t* const ArgSeparator;

// Head before the first "@@@" and tail after it; without a separator the
// head is the whole text and the tail empty.
void SplitFunctionArgs(const UnicodeString& Args, UnicodeString& Head, UnicodeString& Tail);
// The split of the functions that take two parts: without a separator the
// head is empty and the tail is the text from its third character on.
void SplitArgParts(const UnicodeString& Args, UnicodeString& Head, UnicodeString& Tail);

// The executable's folder with and without its trailing separator, and
// its file name without extension.
UnicodeString ExeFolder();
UnicodeString ExeFolderNoSep();
UnicodeString ExeBaseName();

// ---------------------------------------------------------------------------
// The save-dialog filter of an attachment by its lower-cased extension
// (dot included); "모든 파일|*.*" for unknown extensions and none.
UnicodeString AttachmentFilter(const UnicodeString& LowerExt);

// Proposes Source's file name in Dialog, with the attachment filter of its
// extension; when the reader confirms, copies Source to the chosen path
// (clearing the copy's attributes after success when ClearAttributes) and
// tells the reader the result naming ShownName.  Cancelled: nothing.
void SaveAttachmentCopy(TSaveDialog* Dialog, const UnicodeString& Source, const UnicodeString& ShownName,
                        bool ClearAttributes);

// ---------------------------------------------------------------------------
// The first drive from C to Z that the system reports removable, or 0.
wchar_t FindRemovableDrive();
