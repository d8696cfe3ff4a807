// Test helpers that reach past Wine to the host: scratch drives mapped to a
// folder of the test, and folder links, which Wine lists as reparse points
// but cannot make itself.  On Windows the links are the system's own.
#pragma once

#include <string>

#include "classlib/rtl/System.h"

bool RunningUnderWine();

// The host's name for a Windows path; empty when there is none (Windows).
std::string HostPath(const UnicodeString& Path);

// Maps a drive letter of the prefix to HostFolder as a drive of DriveType
// (DRIVE_FIXED, DRIVE_REMOVABLE...), or unmaps it when HostFolder is empty.
bool DefineWineDrive(wchar_t Letter, const std::string& HostFolder, unsigned DriveType = 0);

// Makes Link a link to the folder Target, or removes such a link, and waits
// until the change shows; false when it cannot be done here.
bool MakeFolderLink(const UnicodeString& Link, const UnicodeString& Target);
bool RemoveFolderLink(const UnicodeString& Link);

// A fresh folder mapped as a fixed drive (Letter:) of the Wine prefix while
// this lives, so that a test can work on a drive root without touching a
// real one.  The drive and the folder go at the end.
class TScratchDrive {
public:
    explicit TScratchDrive(wchar_t Letter = L'S');
    ~TScratchDrive();
    TScratchDrive(const TScratchDrive&) = delete;
    TScratchDrive& operator=(const TScratchDrive&) = delete;

    bool Mapped() const { return FMapped; }
    // "S:"
    UnicodeString Drive() const { return UnicodeString(1, FLetter) + L":"; }
    // The folder behind the drive, with its trailing separator.
    const UnicodeString& Folder() const { return FFolder; }

private:
    wchar_t FLetter;
    UnicodeString FFolder;
    bool FMapped = false;
};
