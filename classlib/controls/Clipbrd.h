// The clipboard's text, as edits cut, copy and paste it.
#pragma once

#include <windows.h>

#include "classlib/rtl/System.h"

KV_EXCEPTION(EClipboardException, Exception)

class TClipboard {
public:
    // The clipboard's Unicode text; empty when it holds none.  Raises
    // EClipboardException when another program keeps the clipboard open.
    UnicodeString AsText();
    void SetAsText(const UnicodeString& Value);
    bool HasFormat(UINT Format) const { return IsClipboardFormatAvailable(Format) != 0; }
    void Clear();
};

// The one clipboard object of the process.
TClipboard* Clipboard();
