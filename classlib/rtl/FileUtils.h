// Files and folders of the file system, and folder searches.
// Portable header; the routines call the system in the .cpp.
#pragma once

#include <cstdint>

#include "classlib/rtl/System.h"

// <windows.h> maps DeleteFile to DeleteFileW.  Our DeleteFile must keep its
// own name wherever this header is included, before or after <windows.h>.
#ifdef DeleteFile
#undef DeleteFile
#endif

bool FileExists(const UnicodeString& FileName);      // a file, not a folder
bool DirectoryExists(const UnicodeString& Directory);
bool CreateDir(const UnicodeString& Dir);            // one level; false when it fails or exists
bool ForceDirectories(const UnicodeString& Dir);     // every missing level; EInOutError for an empty name
bool RemoveDir(const UnicodeString& Dir);            // an empty folder
bool DeleteFile(const UnicodeString& FileName);
bool RenameFile(const UnicodeString& OldName, const UnicodeString& NewName);
UnicodeString GetCurrentDir();
bool SetCurrentDir(const UnicodeString& Dir);
void ChDir(const UnicodeString& Dir);                // EInOutError when it fails

// Last write time as a local DOS date and time (date in the high word); -1 when missing.
int FileAge(const UnicodeString& FileName);
// Size in bytes; -1 when the file is missing.
int64_t FileGetSize(const UnicodeString& FileName);

// Called from a TU where <windows.h> defined DeleteFile after this header.
inline bool DeleteFileW(const UnicodeString& FileName)
{
    return DeleteFile(FileName);
}

// ---------------------------------------------------------------------------
// Folder searches.
constexpr int faReadOnly = 0x00000001;
constexpr int faHidden = 0x00000002;
constexpr int faSysFile = 0x00000004;
constexpr int faVolumeID = 0x00000008;
constexpr int faDirectory = 0x00000010;
constexpr int faArchive = 0x00000020;
constexpr int faNormal = 0x00000080;
constexpr int faTemporary = 0x00000100;
constexpr int faSymLink = 0x00000400;
constexpr int faCompressed = 0x00000800;
constexpr int faEncrypted = 0x00004000;
constexpr int faVirtual = 0x00010000;
constexpr int faAnyFile = 0x000001FF;

struct TSearchRec {
    int Time = 0;          // last write, local DOS date and time
    int64_t Size = 0;
    int Attr = 0;
    UnicodeString Name;    // name only, no folder
    int ExcludeAttr = 0;
    void* FindHandle = nullptr;
};

// FindFirst answers 0 and fills F with the first entry matching Path (a
// folder and a mask, "C:\dir\*.txt") whose hidden, system and folder
// attributes are all allowed by Attr; otherwise a system error code, and F
// holds no search.  FindNext answers 0 for each further entry.  FindClose
// ends the search (also after a failed FindFirst or FindNext; twice is harmless).
int FindFirst(const UnicodeString& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);
