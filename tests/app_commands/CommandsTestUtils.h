// Helpers of the movie-command tests: a book folder with its main window,
// a recorder of shell calls, and a folder mapped as a removable drive.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "../app/AppTestUtils.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/rtl/System.h"

// Frees a form (or any object) the class library's way.
// A book: the viewer "installed" as Dir\Book.exe (the command line the main
// window reads points there) and its main window.  The command line, the
// current folder and the main-window variable are put back at the end.
class TBook {
public:
    explicit TBook(std::vector<UnicodeString> args = {});
    ~TBook();
    TBook(const TBook&) = delete;
    TBook& operator=(const TBook&) = delete;

    UnicodeString Exe() const { return Dir / L"Book.exe"; }
    // Dir\<relative>, its folders made, holding bytes.
    UnicodeString Put(const UnicodeString& relative, const std::string& bytes = "data");
    // The movie's command to the main window.
    void Command(const UnicodeString& command, const UnicodeString& args);
    UnicodeString Variable(const UnicodeString& name);

    TTempDir Dir;
    TOwned<TPlayerForm> Form;

private:
    TViewerCommandLine FSavedLine;
    UnicodeString FSavedCurrentDir;
};

// Replaces the viewer's ShellExecuteA while it lives and records the calls.
struct TShellCall {
    HWND Owner;
    std::string Verb, File, Parameters, Directory;
    int ShowCmd;
};
class TShellRecorder {
public:
    TShellRecorder();
    ~TShellRecorder();
    TShellRecorder(const TShellRecorder&) = delete;
    TShellRecorder& operator=(const TShellRecorder&) = delete;
    static std::vector<TShellCall>& Calls();
};

// Text in the ANSI code page (for comparing recorded shell calls).
std::string Ansi(const UnicodeString& s);

// A folder of its own mapped as a removable drive of the Wine prefix while
// this lives (through the mount manager, which also records it in the
// prefix's drive list); the drive is removed again at the end.
class TRemovableDrive {
public:
    explicit TRemovableDrive(wchar_t letter = L'R');
    ~TRemovableDrive();
    TRemovableDrive(const TRemovableDrive&) = delete;
    TRemovableDrive& operator=(const TRemovableDrive&) = delete;
    bool Mapped() const { return FMapped; }
    wchar_t Letter() const { return FLetter; }
    // The folder behind the drive.
    const TTempDir& Folder() const { return FFolder; }

    // Maps (UnixPath given) or unmaps (empty) a drive letter.
    static bool Define(wchar_t letter, const std::string& unixPath);

private:
    wchar_t FLetter;
    TTempDir FFolder;
    bool FMapped = false;
};
