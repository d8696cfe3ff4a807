// One item of the shell namespace (TkvShellFolder) and the shell calls under
// it: the desktop's list and folder, display names from STRRET answers,
// binding a folder's own interface and listing a folder's items.  The item
// holds its own copies of its relative and absolute item-id lists and a
// reference to its folder interface.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "skin/editors/kvShellNames.h"
#include "skin/editors/kvShellPidl.h"
#include "skin/editors/kvShellTypes.h"

// The text of a shell answer; a wide answer is freed here, once.
UnicodeString StrRetText(PCItemIDList ID, STRRET& Ret);
// The name of ID in Folder; an empty text without a folder.
UnicodeString ItemDisplayName(IShellFolder* Folder, PCItemIDList ID, DWORD Flags, TkvShowExtension ShowExt);
// The desktop's list (free with DisposePIDL); raises EOleError on failure.
PItemIDList DesktopRootPidl();
// The desktop folder, a new reference; raises EOleError on failure.
IShellFolder* GetDesktopInterface();
bool PidlsMatch(PCItemIDList A, PCItemIDList B);
int ShellIconOf(PCItemIDList List, bool Large, bool Open);
// Set by the application: Properties asks for the slow attributes too
// (read-only, hidden) while this is True.
extern bool UseAllFolderAttributes;

// ID's own folder interface (a new reference), or null.
IShellFolder* BindSubFolder(IShellFolder* Parent, PCItemIDList ID, HWND Wnd);
bool FolderHasChildren(IShellFolder* SF, DWORD Flags);

class TkvShellFolder {
    PItemIDList FPIDL;
    PItemIDList FFullPIDL;
    TkvShellFolder* FParent;  // not owned
    IShellFolder* FIShellFolder;
    int FLevel;
    std::vector<UnicodeString> FDetails;

    ULONG Attributes(ULONG Asked);

public:
    // ID is relative to AParent (to the desktop without one); SF is the
    // item's own folder interface, or null.  Both are copied / referenced.
    TkvShellFolder(TkvShellFolder* AParent, PCItemIDList ID, IShellFolder* SF);
    ~TkvShellFolder();
    TkvShellFolder(const TkvShellFolder&) = delete;
    TkvShellFolder& operator=(const TkvShellFolder&) = delete;

    TkvShellFolder* Parent() const { return FParent; }
    int Level() const { return FLevel; }
    PCItemIDList RelativeID() const { return FPIDL; }
    PCItemIDList AbsoluteID() const { return FFullPIDL; }
    IShellFolder* ShellFolder() const { return FIShellFolder; }
    // The folder that holds the item: the parent's, or the desktop's (a new
    // reference; release it).
    IShellFolder* ParentShellFolder();

    TkvShellFolderCapabilities Capabilities();
    TkvShellFolderProperties Properties();
    bool IsFolder(const UnicodeString& Name = UnicodeString(), bool OpenZipFiles = true);
    bool IsFile(const UnicodeString& Name = UnicodeString(), bool OpenZipFiles = true);
    bool IsFileFolder();
    bool IsReadOnly();
    bool SubFolders();

    // Renames the item in its folder and takes its new lists; without the
    // right to rename, False; a refused rename raises "Rename to %s failed"
    // and the item keeps its lists.
    bool Rename(const UnicodeString& NewName);

    UnicodeString DisplayName(TkvShowExtension ShowExt = TkvShowExtension::seSystem);
    UnicodeString PathName();

    // Detail columns 1 .. ColumnCount (column 0 is the name), read once from
    // RootFolder's details interface, or for a file-system root from the
    // file itself: size (-1 for folders), extension, modification time,
    // attributes.  A file that cannot be read raises.
    void LoadColumnDetails(TkvShellFolder* RootFolder, HWND AWnd, int ColumnCount);
    // Column Index (1-based); raises "%s: Missing call to LoadColumnDetails"
    // before any were loaded, and gives an empty text past the loaded ones.
    UnicodeString GetDetails(int Index);
    void SetDetails(int Index, const UnicodeString& Value);
    int ImageIndex(bool LargeIcon);
};

// An item for an absolute list: its own folder interface, the desktop's when
// it has none.
TkvShellFolder* FolderFromAbsolutePidl(PCItemIDList ID);
// The item for a root: a TkvRootFolder name ("rfMyComputer") or a path
// ("D:" is taken as "D:\\").  On success OldFolder is freed; on failure Root
// becomes OldRoot again, OldFolder stays, and "Error Setting Path" is raised.
TkvShellFolder* ResolveRootFolder(TkvShellFolder* OldFolder, const TkvRoot& OldRoot, TkvRoot& Root);
// An item for a file-system path; null when the desktop cannot parse it.
TkvShellFolder* FolderFromPath(const UnicodeString& Path);
// The items of Folder of the given types; folders always, other items when
// their DisplayName(seShow) matches one of Mask's words (all without a word).
// The caller frees them.
std::vector<TkvShellFolder*> EnumerateFolder(TkvShellFolder* Folder, TkvShellObjectTypes Types,
                                             const UnicodeString& Mask);
