// Icons of files, from the shell.  Apart from the file routines, which the
// packed-skin reader uses without any graphics.
#include "skin/core/kvntUtils.h"

#include <windows.h>
#include <shellapi.h>

#include "classlib/graphics/Graphics.h"

TIcon* GetIconForFile(const UnicodeString& FullFileName, UINT Flags)
{
    if (GetFileAttributesW(FullFileName.c_str()) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(FullFileName.c_str(), 0, &info, sizeof(info), Flags | SHGFI_ICON) || !info.hIcon)
        return nullptr;
    TIcon* icon = new TIcon();
    icon->SetHandle(info.hIcon);
    if (icon->Empty()) {
        delete icon;
        return nullptr;
    }
    return icon;
}
