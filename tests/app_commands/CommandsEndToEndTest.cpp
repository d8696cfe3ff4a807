// The built viewer on a book of its own, driven through its Flash stand-in
// the way the movie would: pop-up windows, window words and a note saved on
// a removable drive.
#include <gtest/gtest.h>

#include "../app/ViewerProcess.h"
#include "CommandsTestUtils.h"

namespace {

TEST(CommandsEndToEnd, PopUpsWindowWordsAndNotes)
{
    std::string image = ReadBytes(TestExeDir() + L"\\..\\app\\viewer.exe");
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";

    TRemovableDrive drive;
    ASSERT_TRUE(drive.Mapped());
    TTempDir dir;
    WriteBytes(dir / L"Cmds.exe", image + std::string(4, '\0'));   // no installer
    WriteBytes(dir / L"Cmds_Page_Img\\Page_var.txt", "&title=Commands&&width=640&&height=480&");
    WriteBytes(dir / L"Cmds.swf", "FWS");
    WriteBytes(dir / L"pop\\intro.swf", "FWS");

    TViewerProcess viewer;
    ASSERT_TRUE(viewer.Start(dir / L"Cmds.exe", L"", dir.Path()));
    HWND player = nullptr;
    ASSERT_TRUE(WaitFor(30000, [&] {
        std::vector<HWND> found = TopWindows(viewer.Id(), L"TPlayerForm");
        player = found.empty() ? nullptr : found[0];
        return player != nullptr;
    }));
    HWND flash = FlashOf(player);
    ASSERT_NE(flash, nullptr);
    TMovieDriver movie;

    // A pop-up window with the movie's page.
    ASSERT_TRUE(movie.Command(flash, L"function", L"PopUpForm@@@pop/intro.swf@@@5"));
    std::vector<HWND> popUps;
    ASSERT_TRUE(WaitFor(10000, [&] { return !(popUps = TopWindows(viewer.Id(), L"TChildForm")).empty(); }));
    HWND popUpFlash = FlashOf(popUps[0]);
    ASSERT_NE(popUpFlash, nullptr);
    EXPECT_EQ(movie.Variable(popUpFlash, L"_root.BOOKLOAD_FIRSTPAGE"), L"5");
    EXPECT_TRUE(IsZoomed(popUps[0]));

    // The pop-up's movie closes its window from inside its own event.
    ASSERT_TRUE(movie.Command(popUpFlash, L"exec", L"function_close"));
    EXPECT_TRUE(WaitFor(10000, [&] { return TopWindows(viewer.Id(), L"TChildForm").empty(); }));

    // Window words to the main window.
    ASSERT_FALSE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"resize"));
    EXPECT_TRUE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"resize"));
    EXPECT_FALSE(IsZoomed(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"wsMinimized"));
    EXPECT_TRUE(IsIconic(player));
    ASSERT_TRUE(movie.Command(flash, L"formcontrol", L"wsMaximized"));
    EXPECT_TRUE(IsZoomed(player));

    // A note on the removable drive.
    ASSERT_TRUE(movie.Command(flash, L"exec", L"function_saveTextFile@@@한글 note\n@@@e2e.txt"));
    EXPECT_EQ(movie.Variable(flash, L"saveSuccess"), L"success");
    EXPECT_EQ(ReadBytes(drive.Folder() / L"TxtData\\e2e.txt"), "\xC7\xD1\xB1\xDB note\r\n");
    ASSERT_TRUE(movie.Command(flash, L"exec", L"function_loadTextFile"));
    EXPECT_EQ(movie.Variable(flash, L"loadTxt"), UnicodeString(1, drive.Letter()) + L":\\TxtData\\");
    EXPECT_EQ(movie.Variable(flash, L"loadSuccess"), L"success");
}

} // namespace
