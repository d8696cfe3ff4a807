// The built viewer started under a book's name beside a generated book, and
// driven from outside the way a reader and the movie would.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "AppTestUtils.h"
#include "ViewerProcess.h"

namespace {

// A dialog of the process: a visible message form.  Not just any window
// besides the player: a skinned form's caption cover, a top-level window
// of its own, shows for a moment while a form shows or changes its caption.
HWND FindDialog(DWORD pid)
{
    std::vector<HWND> forms = TopWindows(pid, L"TMessageForm");
    return forms.empty() ? nullptr : forms[0];
}

struct TButtonSearch {
    UnicodeString Caption;
    HWND Found;
};

BOOL CALLBACK MatchButton(HWND w, LPARAM p)
{
    auto* c = reinterpret_cast<TButtonSearch*>(p);
    UnicodeString text = TextOf(w);
    std::erase(text, L'&');
    if (text == c->Caption && ClassOf(w).find(L"utton") != UnicodeString::npos) {
        c->Found = w;
        return FALSE;
    }
    return TRUE;
}

// Presses the dialog's button: the system message box's button Id (its
// captions follow the system's language), else the one whose caption,
// without '&', is Caption.
bool PressButton(HWND dialog, int Id, const UnicodeString& Caption)
{
    TButtonSearch ctx{Caption, GetDlgItem(dialog, Id)};
    if (!ctx.Found)
        EnumChildWindows(dialog, MatchButton, LPARAM(&ctx));
    if (!ctx.Found)
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ctx.Found), BN_CLICKED), LPARAM(ctx.Found));
    return true;
}

std::string BigEndian(uint32_t n)
{
    return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

// Answers the quit question with Yes and waits for the program to end.
void CloseViewer(TViewerProcess& viewer, HWND player)
{
    PostMessageW(player, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (question = FindDialog(viewer.Id())) != nullptr; }));
    ASSERT_TRUE(PressButton(question, IDYES, L"Yes"));
    EXPECT_EQ(viewer.WaitExit(15000), 0u);
}

TEST(ViewerEndToEnd, RunsTheCarriedInstallerBeforeTheWindowOpens)
{
    UnicodeString viewer = TestExeDir() + L"\\..\\app\\viewer.exe";
    std::string image = ReadBytes(viewer);
    std::string installer = ReadBytes(TestExeDir() + L"\\exitcode259.exe");
    ASSERT_FALSE(image.empty());
    ASSERT_FALSE(installer.empty());

    TTempDir dir;
    WriteBytes(dir / L"Carrier.exe", image + installer + BigEndian(uint32_t(installer.size())));
    TViewerProcess viewerProcess;
    ASSERT_TRUE(viewerProcess.Start(dir / L"Carrier.exe", L"", dir.Path()));

    // The installer ends with the "still active" code: one message (its
    // text is checked through the dialog seam in the unit tests), shown
    // before any window of the viewer.
    HWND message = nullptr;
    ASSERT_TRUE(WaitFor(30000, [&] { return (message = FindDialog(viewerProcess.Id())) != nullptr; }));
    HWND player = nullptr;
    for (HWND w : TopWindows(viewerProcess.Id()))
        if (ClassOf(w) == L"TPlayerForm")
            player = w;
    EXPECT_EQ(player, nullptr);
    ASSERT_TRUE(PressButton(message, IDOK, L"OK"));

    ASSERT_TRUE(WaitFor(30000, [&] {
        for (HWND w : TopWindows(viewerProcess.Id()))
            if (ClassOf(w) == L"TPlayerForm")
                player = w;
        return player != nullptr;
    }));
    EXPECT_EQ(FindDialog(viewerProcess.Id()), nullptr);   // no second message
    // No page settings: the book's name as title.
    EXPECT_EQ(TextOf(player), L"Carrier");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(GetFileAttributesA((std::string(system, 2) + "\\temp\\flash10.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    CloseViewer(viewerProcess, player);
}

TEST(ViewerEndToEnd, OpensTheBookAndAnswersTheMovieChannel)
{
    UnicodeString viewer = TestExeDir() + L"\\..\\app\\viewer.exe";
    std::string image = ReadBytes(viewer);
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";

    TTempDir dir;
    // The viewer under the book's name; a zero-length trailer: no installer.
    WriteBytes(dir / L"E2EBook.exe", image + std::string(4, '\0'));
    CreateDirectoryW((dir / L"E2EBook_Page_Img").c_str(), nullptr);
    WriteBytes(dir / L"E2EBook_Page_Img\\Page_var.txt", "&title=E2E %26 Book&\r\n&width=640&&height=480&\r\n");
    WriteBytes(dir / L"E2EBook.swf", "FWS\x08\x0f\0\0\0");

    TViewerProcess viewerProcess;
    ASSERT_TRUE(viewerProcess.Start(dir / L"E2EBook.exe", L"-p7", dir.Path()));

    // The start page is shown twice (as given, then as read back from the
    // movie) before or while the window appears; dismiss both.
    HWND player = nullptr;
    int dialogs = 0;
    WaitFor(30000, [&] {
        if (HWND d = FindDialog(viewerProcess.Id())) {
            if (PressButton(d, IDOK, L"OK") || PostMessageW(d, WM_CLOSE, 0, 0)) {
                ++dialogs;
                WaitFor(5000, [&] { return !IsWindow(d) || !IsWindowVisible(d); });
            }
        }
        for (HWND w : TopWindows(viewerProcess.Id()))
            if (ClassOf(w) == L"TPlayerForm")
                player = w;
        return player && dialogs >= 2;
    });
    ASSERT_NE(player, nullptr) << "no player window";
    EXPECT_EQ(dialogs, 2);

    EXPECT_EQ(TextOf(player), L"E2E & Book");
    RECT r;
    GetWindowRect(player, &r);
    EXPECT_EQ(r.right - r.left, std::min(640, GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(r.bottom - r.top, std::min(480, GetSystemMetrics(SM_CYSCREEN)));

    HWND flash = FindWindowExW(player, nullptr, L"TShockwaveFlash", nullptr);
    ASSERT_NE(flash, nullptr);
    TMovieDriver driver;
    UnicodeString page;
    ASSERT_TRUE(driver.Variable(flash, L"_root.BOOKLOAD_FIRSTPAGE", page));
    EXPECT_EQ(page, L"7");
    ASSERT_TRUE(driver.Variable(flash, L"never.set", page));
    EXPECT_EQ(page, L"");
    EXPECT_TRUE(driver.Command(flash, L"fscommand_other", L"nothing@@@here"));

    // Closing asks first: No keeps the window, Yes ends the program.
    PostMessageW(player, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (question = FindDialog(viewerProcess.Id())) != nullptr; }));
    ASSERT_TRUE(PressButton(question, IDNO, L"No"));
    ASSERT_TRUE(WaitFor(5000, [&] { return FindDialog(viewerProcess.Id()) == nullptr; }));
    EXPECT_TRUE(IsWindow(player));
    EXPECT_EQ(viewerProcess.WaitExit(300), STILL_ACTIVE);

    CloseViewer(viewerProcess, player);
}

} // namespace
