// The built viewer on the sample book where a Flash control is installed:
// the test control, registered under the Flash class id in this test's own
// Wine prefix, plays the book's part.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../app/AppTestUtils.h"
#include "../app/ViewerProcess.h"
#include "app/VKBStartupUnit.h"
#include "servers/TestFlash/TestFlashRegistration.h"

namespace {

TEST_FLASH_REGISTERED_FOR_THE_RUN();

// The sample book's files, from the source tree (reached through drive Z:).
UnicodeString SampleBookFolder()
{
    UnicodeString path = L"Z:";
    for (char c : std::string(KV_FIXTURES))
        path += c == '/' ? L'\\' : wchar_t(c);
    return path + L"\\..\\..\\samples\\SampleBook";
}

void CopyTree(const UnicodeString& From, const UnicodeString& To)
{
    MakeFolder(To);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((From + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        UnicodeString name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(From + L"\\" + name, To + L"\\" + name);
        else
            CopyFileW((From + L"\\" + name).c_str(), (To + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::string BigEndian(uint32_t n)
{
    return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
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

// Presses the dialog's button captioned Caption (without its '&').
bool PressButton(HWND dialog, const UnicodeString& Caption)
{
    TButtonSearch search{Caption, nullptr};
    EnumChildWindows(dialog, MatchButton, LPARAM(&search));
    if (!search.Found)
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(search.Found), BN_CLICKED), LPARAM(search.Found));
    return true;
}

// Whether the process has made its player window (shown or not yet).
bool HasPlayerWindow(DWORD pid)
{
    for (HWND w = FindWindowExW(nullptr, nullptr, L"TPlayerForm", nullptr); w;
         w = FindWindowExW(nullptr, w, L"TPlayerForm", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid)
            return true;
    }
    return false;
}

// A visible message form of the process.  Not just any window besides the
// player: a skinned form's caption cover, a top-level window of its own,
// shows for a moment while a form shows or changes its caption.
HWND FindMessageForm(DWORD pid)
{
    std::vector<HWND> forms = TopWindows(pid, L"TMessageForm");
    return forms.empty() ? nullptr : forms[0];
}

// The test control's window in a player window's Flash control.
HWND MovieOf(HWND player)
{
    HWND flash = FlashOf(player);
    return flash ? FindWindowExW(flash, nullptr, L"KvTestFlashMovie", nullptr) : nullptr;
}

TEST(HostedViewer, StartUpTakesTheRegisteredServerForAnInstalledControl)
{
    UnicodeString registered = ReadFlashRegistration();
    EXPECT_EQ(lstrcmpiW(registered.c_str(), TestFlashServerPath().c_str()), 0) << registered;
    EXPECT_FALSE(FlashProvisioningNeeded(registered));
}

TEST(HostedViewer, PlaysTheSampleBookThroughTheInstalledControl)
{
    std::string image = ReadBytes(TestExeDir() + L"\\..\\app\\viewer.exe");
    std::string installer = ReadBytes(TestExeDir() + L"\\exitcode259.exe");
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";
    ASSERT_FALSE(installer.empty());

    TTempDir dir;
    CopyTree(SampleBookFolder(), dir.Path());
    ASSERT_TRUE(FileThere(dir / L"SampleBook_Page_Img\\Page_var.txt"));
    // It carries an installer whose run would show a message: with the
    // control installed, none runs.
    WriteBytes(dir / L"SampleBook.exe", image + installer + BigEndian(uint32_t(installer.size())));
    WriteBytes(dir / L"SampleBook.swf", "FWS");
    WriteBytes(dir / L"intro.swf", "FWS");

    TViewerProcess viewer;
    ASSERT_TRUE(viewer.Start(dir / L"SampleBook.exe", L"-p7", dir.Path()));

    // The start page, as given and then as the movie answers it back; an
    // installer's message would come before the player window is made.
    int messages = 0;
    HWND player = nullptr;
    WaitFor(60000, [&] {
        if (HWND d = FindMessageForm(viewer.Id())) {
            EXPECT_TRUE(HasPlayerWindow(viewer.Id())) << "a message before the player window";
            ++messages;
            EXPECT_TRUE(PressButton(d, L"OK"));
            WaitFor(5000, [&] { return !IsWindow(d) || !IsWindowVisible(d); });
        }
        std::vector<HWND> players = TopWindows(viewer.Id(), L"TPlayerForm");
        player = players.empty() ? nullptr : players[0];
        return player && messages >= 2;
    });
    ASSERT_NE(player, nullptr) << "no player window";
    EXPECT_EQ(messages, 2);

    // The control plays the book's movie in the player window, with the
    // stored settings and the start page.
    HWND movie = MovieOf(player);
    ASSERT_NE(movie, nullptr) << "the control is not hosted";
    EXPECT_EQ(lstrcmpiW(TextOf(movie).c_str(), (dir / L"SampleBook.swf").c_str()), 0) << TextOf(movie);
    RECT host, inner;
    GetClientRect(GetParent(movie), &host);
    GetClientRect(movie, &inner);
    EXPECT_TRUE(EqualRect(&host, &inner));
    TMovieDriver driver;
    EXPECT_EQ(driver.Variable(movie, TEST_FLASH_PROPERTY_PREFIX L"WMode"), L"Window");
    EXPECT_EQ(driver.Variable(movie, TEST_FLASH_PROPERTY_PREFIX L"Quality2"), L"High");
    EXPECT_EQ(driver.Variable(movie, TEST_FLASH_PROPERTY_PREFIX L"Scale"), L"NoScale");
    EXPECT_EQ(driver.Variable(movie, L"_root.BOOKLOAD_FIRSTPAGE"), L"7");
    // The stand-in's channel is not there.
    EXPECT_EQ(driver.Send(FlashOf(player), L"formcontrol", L"wsMinimized"), 0);

    // The movie's command reaches the main window.
    ASSERT_TRUE(driver.Command(movie, L"formcontrol", L"wsMinimized"));
    EXPECT_TRUE(IsIconic(player));
    ASSERT_TRUE(driver.Command(movie, L"formcontrol", L"wsNormal"));
    EXPECT_FALSE(IsIconic(player));

    // A pop-up window plays its movie through a control of its own, with
    // the scale of the book's ".ini", and closes when its movie says so.
    ASSERT_TRUE(driver.Command(movie, L"function", L"PopUpForm@@@intro.swf@@@5"));
    std::vector<HWND> popUps;
    ASSERT_TRUE(WaitFor(10000, [&] { return !(popUps = TopWindows(viewer.Id(), L"TChildForm")).empty(); }));
    HWND popUpMovie = MovieOf(popUps[0]);
    ASSERT_NE(popUpMovie, nullptr);
    EXPECT_EQ(lstrcmpiW(TextOf(popUpMovie).c_str(), (dir / L"intro.swf").c_str()), 0) << TextOf(popUpMovie);
    EXPECT_EQ(driver.Variable(popUpMovie, TEST_FLASH_PROPERTY_PREFIX L"Scale"), L"ShowAll");
    EXPECT_EQ(driver.Variable(popUpMovie, L"_root.BOOKLOAD_FIRSTPAGE"), L"5");
    ASSERT_TRUE(driver.Command(popUpMovie, L"formcontrol", L"Close"));
    EXPECT_TRUE(WaitFor(10000, [&] { return TopWindows(viewer.Id(), L"TChildForm").empty(); }));

    // Closing asks first; Yes ends the program.
    PostMessageW(player, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (question = FindMessageForm(viewer.Id())) != nullptr; }));
    ASSERT_TRUE(PressButton(question, L"Yes"));
    EXPECT_EQ(viewer.WaitExit(15000), 0u);
}

} // namespace
