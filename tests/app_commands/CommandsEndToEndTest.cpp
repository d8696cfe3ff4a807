// The built viewer on a book of its own, driven through its Flash stand-in
// the way the movie would: pop-up windows, window words, a note saved on a
// removable drive, and an attachment saved through the system's save dialog.
#include <gtest/gtest.h>

#include "../app/ViewerProcess.h"
#include "CommandsTestUtils.h"

#include <dlgs.h>   // the save dialog's control ids; needs <windows.h> first

namespace {

// Starts Exe in Dir and waits for its player window (30 s at most).
HWND StartPlayer(TViewerProcess& viewer, const UnicodeString& exe, const UnicodeString& dir)
{
    HWND player = nullptr;
    if (viewer.Start(exe, L"", dir))
        WaitFor(30000, [&] {
            std::vector<HWND> found = TopWindows(viewer.Id(), L"TPlayerForm");
            player = found.empty() ? nullptr : found[0];
            return player != nullptr;
        });
    return player;
}

// The first visible top-level window of class Class in process Pid, waited
// for TimeoutMs at most; nullptr when none came.
HWND WaitForWindow(DWORD pid, const UnicodeString& Class, DWORD TimeoutMs)
{
    HWND found = nullptr;
    WaitFor(TimeoutMs, [&] {
        std::vector<HWND> windows = TopWindows(pid, Class);
        found = windows.empty() ? nullptr : windows[0];
        return found != nullptr;
    });
    return found;
}

// The save dialog's file-name edit: the field itself, or the edit inside the
// (extended) combo box that holds it.
HWND FileNameField(HWND dialog)
{
    if (HWND edit = GetDlgItem(dialog, edt1))
        return edit;
    HWND inner = GetDlgItem(dialog, cmb13);
    while (inner && ClassOf(inner) != L"Edit")
        inner = GetWindow(inner, GW_CHILD);
    return inner;
}

// The text a control holds: asked of the control itself, since the system
// answers for another process's window with the text it was created with.
UnicodeString HeldText(HWND wnd)
{
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(wnd, WM_GETTEXT, 512, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

// The descriptions the dialog's file-type list offers, in order.
std::vector<UnicodeString> FileTypes(HWND dialog)
{
    std::vector<UnicodeString> types;
    HWND combo = GetDlgItem(dialog, cmb1);
    DWORD_PTR count = 0;
    if (!combo || !SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return types;
    for (int i = 0; i < int(count); ++i) {
        wchar_t text[256] = {};
        DWORD_PTR length = 0;
        if (SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length) && length < 256)
            SendMessageTimeoutW(combo, CB_GETLBTEXT, i, LPARAM(text), SMTO_ABORTIFHUNG, 5000, &length);
        types.push_back(text);
    }
    return types;
}

bool SetText(HWND wnd, const UnicodeString& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(wnd, WM_SETTEXT, 0, LPARAM(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result) &&
           result;
}

// Clicks the dialog's button Id the way the button itself would tell it.
void ClickDialogButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

struct TButtonSearch {
    UnicodeString Caption;
    HWND Found;
};

BOOL CALLBACK MatchButton(HWND w, LPARAM p)
{
    auto* s = reinterpret_cast<TButtonSearch*>(p);
    if (TextOf(w) == s->Caption && ClassOf(w).find(L"utton") != UnicodeString::npos) {
        s->Found = w;
        return FALSE;
    }
    return TRUE;
}

// The form's button captioned Caption, or nullptr.
HWND FindButton(HWND form, const UnicodeString& caption)
{
    TButtonSearch search{caption, nullptr};
    EnumChildWindows(form, MatchButton, LPARAM(&search));
    return search.Found;
}

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
    HWND player = StartPlayer(viewer, dir / L"Cmds.exe", dir.Path());
    ASSERT_NE(player, nullptr);
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

// "exec" with "function_copyfile": the system's save dialog proposes the
// attachment's name under the filter of its extension; cancelling copies
// nothing and says nothing, confirming copies the file and tells the reader.
TEST(CommandsEndToEnd, CopiesAnAttachmentThroughTheSaveDialog)
{
    std::string image = ReadBytes(TestExeDir() + L"\\..\\app\\viewer.exe");
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";

    TTempDir dir;
    WriteBytes(dir / L"CopyBook.exe", image + std::string(4, '\0'));   // no installer
    WriteBytes(dir / L"CopyBook_Page_Img\\Page_var.txt", "&title=Attachments&&width=640&&height=480&");
    WriteBytes(dir / L"CopyBook.swf", "FWS");
    // Bytes that a text-mode or truncating copy would change: zeros, line
    // ends, a ^Z, high bytes, and more than one buffer's worth.
    std::string guide("%PDF-1.4\r\n\0\x1a\n\xff\xfe", 15);
    for (int i = 0; i < 200000; ++i)
        guide += char(i * 7 + i / 256);
    WriteBytes(dir / L"CopyBook_Page_Img\\contents\\Guide.PDF", guide);
    WriteBytes(dir / L"CopyBook_Page_Img\\contents\\data.zip", "PK\x03\x04");
    TTempDir target;

    TViewerProcess viewer;
    HWND player = StartPlayer(viewer, dir / L"CopyBook.exe", dir.Path());
    ASSERT_NE(player, nullptr);
    HWND flash = FlashOf(player);
    ASSERT_NE(flash, nullptr);

    {   // Cancelled: an extension not listed offers every file.
        TPendingCommand copy(viewer, flash, L"exec", L"function_copyfile@@@CopyBook_Page_Img/contents/data.zip");
        HWND dialog = WaitForWindow(viewer.Id(), L"#32770", 20000);
        ASSERT_NE(dialog, nullptr) << "no save dialog";
        ASSERT_NE(FileNameField(dialog), nullptr);
        EXPECT_EQ(HeldText(FileNameField(dialog)), L"data.zip");
        EXPECT_EQ(FileTypes(dialog), std::vector<UnicodeString>{L"모든 파일"});
        ClickDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(copy.Finished(20000)) << "the dialog stayed";
        EXPECT_EQ(copy.Result(), 1);
        // The handler has returned, so no message is waiting to be seen.
        EXPECT_TRUE(TopWindows(viewer.Id(), L"TMessageForm").empty());
        EXPECT_TRUE(TopWindows(viewer.Id(), L"#32770").empty());
        // A cancelled dialog's name, taken as a choice, would land beside the book.
        EXPECT_FALSE(FileThere(dir / L"data.zip"));
    }

    {   // Confirmed: the name as the book has it, the PDF filter whatever the
        // extension's case, a byte-exact copy and the success message.
        TPendingCommand copy(viewer, flash, L"exec", L"function_copyfile@@@CopyBook_Page_Img/contents/Guide.PDF");
        HWND dialog = WaitForWindow(viewer.Id(), L"#32770", 20000);
        ASSERT_NE(dialog, nullptr) << "no save dialog";
        HWND field = FileNameField(dialog);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(HeldText(field), L"Guide.PDF");
        EXPECT_EQ(FileTypes(dialog), std::vector<UnicodeString>{L"PDF 파일"});
        UnicodeString saved = target / L"Saved guide.pdf";
        ASSERT_TRUE(SetText(field, saved));
        ClickDialogButton(dialog, IDOK);

        HWND message = WaitForWindow(viewer.Id(), L"TMessageForm", 20000);
        ASSERT_NE(message, nullptr) << "no result message";
        EXPECT_EQ(TextOf(message), L"CopyBook");   // the application's title
        EXPECT_FALSE(copy.Finished(0));            // shown modally
        EXPECT_TRUE(FileThere(saved));
        HWND ok = FindButton(message, L"OK");
        ASSERT_NE(ok, nullptr);
        PostMessageW(message, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED), LPARAM(ok));
        ASSERT_TRUE(copy.Finished(20000)) << "the message stayed";
        EXPECT_EQ(copy.Result(), 1);
        EXPECT_TRUE(TopWindows(viewer.Id(), L"TMessageForm").empty());
        EXPECT_TRUE(ReadBytes(saved) == guide) << "the copy differs";
    }

    // The viewer goes on answering the movie.
    TMovieDriver movie;
    EXPECT_TRUE(movie.Command(flash, L"fscommand_other", L"nothing"));
}

// The process's save dialog holds back the commands of every window: a
// pop-up's command answers "waits" and opens no second dialog; the driver
// reads the main window's variables as they were until the waiting commands
// have run, one dialog after the other.
TEST(CommandsEndToEnd, CommandsOfEveryWindowWaitForTheOpenDialog)
{
    std::string image = ReadBytes(TestExeDir() + L"\\..\\app\\viewer.exe");
    ASSERT_FALSE(image.empty()) << "viewer.exe not built";

    TTempDir dir;
    WriteBytes(dir / L"Order.exe", image + std::string(4, '\0'));   // no installer
    WriteBytes(dir / L"Order_Page_Img\\Page_var.txt", "&title=Order&&width=640&&height=480&");
    WriteBytes(dir / L"Order.swf", "FWS");
    WriteBytes(dir / L"pop.swf", "FWS");
    WriteBytes(dir / L"Order_Page_Img\\contents\\data.zip", "PK");
    WriteBytes(dir / L"lists\\a.txt", "a");

    TViewerProcess viewer;
    HWND player = StartPlayer(viewer, dir / L"Order.exe", dir.Path());
    ASSERT_NE(player, nullptr);
    HWND flash = FlashOf(player);
    ASSERT_NE(flash, nullptr);
    TMovieDriver movie;
    ASSERT_TRUE(movie.Command(flash, L"function", L"PopUpForm@@@pop.swf"));
    HWND popUp = WaitForWindow(viewer.Id(), L"TChildForm", 10000);
    ASSERT_NE(popUp, nullptr);
    HWND popUpFlash = FlashOf(popUp);
    ASSERT_NE(popUpFlash, nullptr);

    TPendingCommand mainCopy(viewer, flash, L"exec", L"function_copyfile@@@Order_Page_Img/contents/data.zip");
    HWND first = WaitForWindow(viewer.Id(), L"#32770", 20000);
    ASSERT_NE(first, nullptr) << "no save dialog";

    EXPECT_EQ(movie.Send(popUpFlash, L"exec", L"function_copyfile@@@Order_Page_Img/contents/data.zip"),
              FlashCommandWaits);
    EXPECT_EQ(movie.Send(flash, L"exec", L"function_searchList@@@lists"), FlashCommandWaits);
    Sleep(500);
    EXPECT_EQ(TopWindows(viewer.Id(), L"#32770"), std::vector<HWND>{first});
    EXPECT_EQ(movie.Variable(flash, L"resultList"), L"");

    ClickDialogButton(first, IDCANCEL);
    ASSERT_TRUE(mainCopy.Finished(20000)) << "the dialog stayed";
    EXPECT_EQ(mainCopy.Result(), FlashCommandRan);

    // The pop-up's command has its turn: its own dialog, the list still waiting.
    HWND second = nullptr;
    ASSERT_TRUE(WaitFor(20000, [&] {
        std::vector<HWND> dialogs = TopWindows(viewer.Id(), L"#32770");
        second = dialogs.size() == 1 && dialogs[0] != first ? dialogs[0] : nullptr;
        return second != nullptr;
    })) << "the pop-up's dialog did not follow";
    EXPECT_EQ(HeldText(FileNameField(second)), L"data.zip");
    EXPECT_EQ(movie.Variable(flash, L"resultList"), L"");

    ClickDialogButton(second, IDCANCEL);
    EXPECT_TRUE(WaitFor(20000, [&] { return movie.Variable(flash, L"resultList") == L"a.txt@@@"; }));
    EXPECT_TRUE(TopWindows(viewer.Id(), L"#32770").empty());
    EXPECT_EQ(movie.Send(popUpFlash, L"formcontrol", L"nothing"), FlashCommandRan);
}

} // namespace
