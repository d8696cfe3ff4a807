// The unpacker as the GUI uses it: its warnings in a message box.  Kept
// apart so that the packed-skin reader needs no GUI units.
#include "skin/core/kvSkinPack.h"

#include "classlib/controls/Dialogs.h"

namespace {
void ShowPackWarning(const UnicodeString& Text)
{
    MessageDlg(Text, mtWarning, {mbOK}, 0);
}
} // namespace

void UnpackSkinFile(const UnicodeString& FileName, const UnicodeString& DestDir)
{
    UnpackSkinFile(FileName, DestDir, ShowPackWarning);
}
