// The shell model's enumerations and their flag conversions (Windows-free).
#pragma once

#include <cstdint>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"

enum class TkvRootFolder {
    rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory, rfCommonPrograms,
    rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory, rfFavorites, rfFonts, rfInternet,
    rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup, rfTemplates
};
// A root: either the name of a TkvRootFolder value ("rfDesktop") or a path.
using TkvRoot = UnicodeString;

enum class TkvShellObjectType { otFolders, otNonFolders, otHidden };
using TkvShellObjectTypes = TSet<TkvShellObjectType>;
enum class TkvShowExtension { seSystem, seShow, seHide };
enum class TkvNotifyFilter {
    nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange, nfSecurityChange
};
using TkvNotifyFilters = TSet<TkvNotifyFilter>;

enum class TkvShellFolderCapability { fcCanCopy, fcCanDelete, fcCanLink, fcCanMove, fcCanRename, fcDropTarget, fcHasPropSheet };
using TkvShellFolderCapabilities = TSet<TkvShellFolderCapability>;
enum class TkvShellFolderProperty {
    fpCut, fpIsLink, fpReadOnly, fpShared, fpFileSystem, fpFileSystemAncestor, fpRemovable, fpValidate
};
using TkvShellFolderProperties = TSet<TkvShellFolderProperty>;

// The CSIDL of the same meaning.
int RootFolderCSIDL(TkvRootFolder Folder);
// True when Root names a TkvRootFolder value (ignoring case).
bool RootFolderFromName(const UnicodeString& Root, TkvRootFolder& Folder);
UnicodeString RootFolderName(TkvRootFolder Folder);

// SHCONTF_FOLDERS 0x20, SHCONTF_NONFOLDERS 0x40, SHCONTF_INCLUDEHIDDEN 0x80.
uint32_t ObjectTypesToFlags(TkvShellObjectTypes Types);
// FILE_NOTIFY_CHANGE_FILE_NAME .. LAST_WRITE (0x01 .. 0x10), SECURITY 0x100.
uint32_t NotifyFilterFlags(TkvNotifyFilters Filters);
