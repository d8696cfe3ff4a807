// Start-up of the viewer: making sure the Flash control is registered, and
// running the installer carried at the end of the executable when it is not.
#pragma once

#include "classlib/rtl/System.h"

class TIcon;

// The registry key whose default value names the Flash control's server.
extern const wchar_t* const FlashServerKey;

// The default value of Key under HKEY_CLASSES_ROOT, read-only access;
// empty text when the key or the value cannot be read.
UnicodeString ReadFlashRegistration(const UnicodeString& Key = FlashServerKey);

// False only when the registered server is an existing file whose path
// names Flash but not the old "flash10b" server.
bool FlashProvisioningNeeded(const UnicodeString& ServerPath);

// The drive of the system folder followed by "\temp"; the folder is created
// (a failure is ignored).  Buffer receives the ANSI path, zero-terminated.
void GetTempFolder(char* Buffer, size_t Size);

// The installer path: the temporary folder and "\flash10.exe".
UnicodeString FlashInstallerPath();

// Writes the installer carried by ExePath (payload, then its length as a
// 4-byte big-endian number at the very end) to InstallerPath.  False when
// nothing was written: unreadable file, no payload, a length larger than
// the file, or a write that failed (a partial file is removed).
bool ExtractFlashInstaller(const UnicodeString& ExePath, const UnicodeString& InstallerPath);

enum class TFlashSetup {
    Registered,     // the control is there: nothing done
    NoInstaller,    // the installer could not be extracted
    NotStarted,     // the installer did not start
    Ran             // the installer ran and was deleted
};

// The whole provisioning step: the skip test on the registry answer, then
// extraction, the installer's run (waited for), its exit-code messages and
// its deletion.  Any failure skips the rest; start-up goes on regardless.
TFlashSetup ProvisionFlash(const UnicodeString& ExePath, const UnicodeString& Registered,
                           const UnicodeString& InstallerPath);

// A new icon holding the shell's icon for the file type of Path (by its
// extension: the file's own icon resource is not looked at).
TIcon* GetFileTypeIcon(const UnicodeString& Path);

// The application icon: the ".ico" beside the executable when there is one,
// otherwise the shell's icon for the executable's file type.
TIcon* ApplicationIconFor(const UnicodeString& ExePath);
