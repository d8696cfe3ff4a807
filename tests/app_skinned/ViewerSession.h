// A run of the built viewer on a book of the tests' own, on the X screen:
// the book's files, the viewer process, its windows found and worked the
// way a reader and the movie would, and each window photographed into the
// artifacts folder with what the pixel checks need to know about it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../app/AppTestUtils.h"
#include "../app/ViewerProcess.h"
#include "Picture.h"

// One photographed window, in screen coordinates.
struct TShot {
    std::string Name;        // the picture's file name, without ".png"
    TScreenPicture Picture;        // the window's rectangle as the screen shows it
    TRect Window, Client;
    LONG Style = 0;
    bool Zoomed = false;
    bool Menu = false;       // a popup menu's window
    TRect Movie;             // the movie's window; empty when there is none
    uint32_t MovieBack = 0;  // what the movie's window shows where it has no text
    bool MovieText = false;  // it shows a line of text across its middle
    std::vector<TRect> Buttons;  // push buttons

    bool HasCaption() const { return (Style & WS_CAPTION) == WS_CAPTION; }
    bool HasBorder() const { return (Style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0; }
};

// Every window photographed in this run, in order.
std::vector<TShot>& Shots();
// The shot of that name; nullptr when none was taken.
const TShot* FindShot(const std::string& Name);

struct TBookSetup {
    std::string Ini;          // the book's ".ini" (empty: none)
    std::string PageSettings = "&title=E2E 책 %26 그림&\r\n&width=800&&height=600&\r\n";
    UnicodeString Args;       // the viewer's command line after its name
};

// A book in a fresh folder: the viewer under the book's name with no
// installer, its movie, page settings, ".ini", a pop-up movie and an
// attachment.  The viewer is killed when this goes, should it still run.
class TBookRun {
public:
    explicit TBookRun(const TBookSetup& Setup);
    ~TBookRun();
    TBookRun(const TBookRun&) = delete;
    TBookRun& operator=(const TBookRun&) = delete;

    bool Start();
    DWORD Pid() const { return Viewer.Id(); }
    // The main window once it shows (nullptr after TimeoutMs).
    HWND WaitPlayer(DWORD TimeoutMs = 60000);
    // A shown window of the viewer of the class (nullptr after TimeoutMs).
    HWND WaitWindow(const UnicodeString& Class, DWORD TimeoutMs = 20000);
    // Answers the quit question with Yes and waits for the end: the exit code.
    DWORD Quit(HWND Player);

    TTempDir Dir;
    TViewerProcess Viewer;
    TMovieDriver Driver;

private:
    TBookSetup FSetup;
};

// Presses the button of Window captioned Caption (without its '&').
bool PressButton(HWND Window, const UnicodeString& Caption);
// Waits until the window is gone or hidden.
bool WaitGone(HWND Window, DWORD TimeoutMs = 20000);

// The window's picture once the screen is steady, written to the artifacts
// and recorded with what the checks need; the record.
TShot& Photograph(HWND Window, const std::string& Name);
// A popup menu's window of the process, once shown (nullptr after TimeoutMs).
HWND WaitMenuWindow(DWORD Pid, DWORD TimeoutMs = 10000);
