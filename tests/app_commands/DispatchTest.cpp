// The main window's handling of the movie's commands.
#include <gtest/gtest.h>

#include "CommandsTestUtils.h"
#include "app/ChildFormUnit.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

namespace {

const UnicodeString QuitQuestion = L"종료하시겠습니까?";

TEST(Dispatch, ExecOpensTheFilePartThroughTheShell)
{
    struct {
        const wchar_t* Args;
        UnicodeString File;        // relative to nothing: as given to the shell
        UnicodeString Parameters;
    } cases[] = {
        {L"C|/tools/viewer.exe@@@-a@@@file.txt", L"C:\\tools\\viewer.exe", L"-a file.txt"},
        {L"file://C|/docs/manual.pdf", L"C:\\docs\\manual.pdf", L""},
        {L"x file://C|/a|b", L"C:\\a:b", L""},   // after the first "file:\\"
        {L"notes.txt", L"notes.txt", L""},
        // One separator only: the parameters are a blank and the tail from
        // its third character.
        {L"help.exe@@@page", L"help.exe", L" ge"},
        {L"help.exe@@@", L"help.exe", L" "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args);
        TBook book;
        TShellRecorder shell;
        TDialogSeamScope seam;
        SetCurrentDir(TestExeDir());
        book.Command(L"exec", c.Args);
        ASSERT_EQ(shell.Calls().size(), 1u);
        const TShellCall& call = shell.Calls()[0];
        EXPECT_EQ(call.Owner, book.Form->Handle());
        EXPECT_EQ(call.Verb, "open");
        EXPECT_EQ(call.File, Ansi(c.File));
        EXPECT_EQ(call.Parameters, Ansi(c.Parameters));
        EXPECT_EQ(call.Directory, "");
        EXPECT_EQ(call.ShowCmd, SW_SHOWNORMAL);
        EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), book.Dir.Path() + L"\\");
        EXPECT_EQ(seam.Count(), 0u);
    }
}

TEST(Dispatch, ExecTriesTheShellThenRunsTheNamedFunction)
{
    TBook book;
    book.Put(L"contents\\a.pdf");
    TShellRecorder shell;
    TDialogSeamScope seam;   // the save dialog is cancelled
    book.Command(L"exec", L"function_copyfile@@@contents/a.pdf");

    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].File, "function_copyfile");
    EXPECT_EQ(shell.Calls()[0].Parameters, " ntents\\a.pdf");
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(seam.Last().FileName, L"a.pdf");
    EXPECT_EQ(seam.Last().Filter, L"PDF 파일|*.pdf");
}

// While a command's dialog is open, the movies of every window of the
// process go on sending commands: none runs (nor opens a second dialog)
// until that command is done; then they run in arrival order.
TEST(Dispatch, CommandsOfEveryWindowWaitForADialog)
{
    TBook book;
    book.Put(L"contents\\a.pdf");
    TShellRecorder shell;
    TChildForm* popUp = book.Form->OpenPopUp(L"about:blank", L"");
    size_t callsDuringDialog = 99, dialogsDuringDialog = 99;
    std::vector<bool> ranDuringDialog;
    bool inDialog = false;
    TDialogSeamScope seam([&](TDialogRequest& request) {
        if (request.Kind == TDialogKind::SaveDialog && request.Dialog == book.Form->fileSaveDialog) {
            inDialog = true;
            ranDuringDialog.push_back(popUp->ShockwaveFlash1->DoFSCommand(L"exec", L"function_copyfile@@@contents/a.pdf"));
            ranDuringDialog.push_back(book.Form->FlashPlayer->DoFSCommand(L"exec", L"notes.txt"));
            ranDuringDialog.push_back(popUp->ShockwaveFlash1->DoFSCommand(L"exec", L"popup.exe"));
            Application->ProcessMessages();
            callsDuringDialog = shell.Calls().size();
            inDialog = false;
        }
        if (inDialog)
            dialogsDuringDialog = 0;   // a second dialog over the first
        return IDCANCEL;
    });
    EXPECT_TRUE(book.Form->FlashPlayer->DoFSCommand(L"exec", L"function_copyfile@@@contents/a.pdf"));
    EXPECT_EQ(ranDuringDialog, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(callsDuringDialog, 1u);   // the outer command's own shell-open
    EXPECT_EQ(dialogsDuringDialog, 99u);

    Application->ProcessMessages();
    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Requests[1].Dialog, popUp->fileSaveDialog);
    ASSERT_EQ(shell.Calls().size(), 3u);
    EXPECT_EQ(shell.Calls()[1].File, "notes.txt");
    EXPECT_EQ(shell.Calls()[2].File, "popup.exe");
}

TEST(Dispatch, OtherCommandsOnlyKnowTheFixedWindowActions)
{
    TBook book;
    TShellRecorder shell;
    {
        TDialogSeamScope seam;
        book.Command(L"fscommand_other", L"function_copyfile@@@a.pdf");
        book.Command(L"Exec", L"notes.txt");   // commands are case-sensitive
        book.Command(L"fscommand_other", L"function_full@@@x");   // whole arguments only
        EXPECT_EQ(seam.Count(), 0u);
        EXPECT_TRUE(shell.Calls().empty());
        EXPECT_EQ(book.Form->WindowState(), wsMaximized);   // no page settings: maximised at start
    }

    book.Form->SetWindowState(wsNormal);
    book.Command(L"fscommand_other", L"function_full");
    EXPECT_EQ(book.Form->WindowState(), wsMaximized);

    // function_close asks the quit question; No keeps the window.
    TDialogSeamScope seam;
    seam.Answer(mrNo);
    book.Command(L"anything", L"function_close");
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Kind, TDialogKind::MessageDlg);
    EXPECT_EQ(seam.Last().Text, QuitQuestion);
    EXPECT_TRUE(shell.Calls().empty());
}

TEST(Dispatch, ForwardWaitsThenRunsTheFunctionWithoutTheShell)
{
    TBook book;
    book.Form->Show();
    TShellRecorder shell;
    TDialogSeamScope seam;
    DWORD start = GetTickCount();
    book.Command(L"exec", L"function_forward");
    EXPECT_GE(GetTickCount() - start, 2900u);
    EXPECT_TRUE(shell.Calls().empty());
    EXPECT_TRUE(IsWindowVisible(book.Form->Handle()));
}

TEST(Dispatch, FormControlWords)
{
    struct {
        TWindowState Before;
        const wchar_t* Word;
        TWindowState After;
    } cases[] = {
        {wsNormal, L"wsMinimized", wsMinimized},
        {wsNormal, L"wsMaximized", wsMaximized},
        {wsMaximized, L"wsMaximized", wsMaximized},
        {wsMinimized, L"wmMaximized", wsMaximized},
        {wsMaximized, L"wsNormal", wsNormal},
        {wsMinimized, L"wsNormal", wsNormal},
        {wsNormal, L"resize", wsMaximized},
        {wsMaximized, L"resize", wsNormal},
        {wsMinimized, L"resize", wsMinimized},
        {wsNormal, L"Maximize", wsNormal},
        {wsNormal, L"wsmaximized", wsNormal},
        {wsNormal, L"wsMaximized@@@x", wsNormal},
    };
    TBook book;
    book.Form->Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Word);
        book.Form->SetWindowState(c.Before);
        book.Command(L"formcontrol", c.Word);
        EXPECT_EQ(book.Form->WindowState(), c.After);
    }

    // resize twice comes back; the window itself follows.
    book.Form->SetWindowState(wsNormal);
    book.Command(L"formcontrol", L"resize");
    EXPECT_TRUE(IsZoomed(book.Form->Handle()));
    book.Command(L"formcontrol", L"resize");
    EXPECT_FALSE(IsZoomed(book.Form->Handle()));
    EXPECT_EQ(book.Form->WindowState(), wsNormal);

    TDialogSeamScope seam;
    seam.Answer(mrNo);
    book.Command(L"formcontrol", L"Close");
    ASSERT_EQ(seam.Count(), 1u);
    EXPECT_EQ(seam.Last().Text, QuitQuestion);
}

// The pop-up windows the main window owns.
std::vector<TChildForm*> PopUps(TPlayerForm* form)
{
    std::vector<TChildForm*> found;
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TChildForm*>(form->Components(i)))
            found.push_back(c);
    return found;
}

TEST(Dispatch, PopUpFormPlaysTheFirstMovieThatExists)
{
    TBook book;
    UnicodeString exeDir = book.Dir.Path() + L"\\";
    TDialogSeamScope seam;

    // Beside the executable ("/" turned into "\"), with its page.
    book.Put(L"sub\\intro.swf");
    book.Command(L"function", L"PopUpForm@@@sub/intro.swf@@@3");
    // Below the current folder's _Page_img\contents.
    book.Put(L"_Page_img\\contents\\cwd.swf");
    SetCurrentDir(book.Dir.Path());
    book.Command(L"function", L"PopUpForm@@@cwd.swf@@@4@@@more");
    // In the folder of the book named by MoveSkin.
    book.Put(L"book2_Page_img\\contents\\hint.swf");
    book.Command(L"MoveSkin", L"book2.swf");
    EXPECT_EQ(book.Form->MoveSkin(), L"book2.swf");
    book.Command(L"function", L"PopUpForm@@@hint.swf");
    // Nowhere: the executable's own book folder, unchecked.
    book.Command(L"function", L"PopUpForm@@@missing.swf@@@");

    std::vector<TChildForm*> popUps = PopUps(book.Form.get());
    ASSERT_EQ(popUps.size(), 4u);
    struct {
        UnicodeString Movie, Page;
    } expected[] = {
        {exeDir + L"sub\\intro.swf", L"3"},
        {L"_Page_img\\contents\\cwd.swf", L"4"},
        {exeDir + L"book2_Page_img\\contents\\hint.swf", L""},
        {exeDir + L"Book_Page_img\\contents\\missing.swf", L""},
    };
    for (size_t i = 0; i < popUps.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(popUps[i]->ShockwaveFlash1, nullptr);
        EXPECT_EQ(popUps[i]->ShockwaveFlash1->Movie(), expected[i].Movie);
        EXPECT_EQ(popUps[i]->ShockwaveFlash1->GetVariable(L"_root.BOOKLOAD_FIRSTPAGE"), expected[i].Page);
        EXPECT_TRUE(popUps[i]->Visible());
        EXPECT_TRUE(IsWindowVisible(popUps[i]->Handle()));
    }
    EXPECT_EQ(seam.Count(), 0u);
}

// Where a movie lies in several of the places, the earlier place wins.
TEST(Dispatch, PopUpMovieSearchOrder)
{
    struct {
        const char* Name;
        bool BesideExe, BelowCurrent, InHintedBook;
        UnicodeString Expected;   // below the book's folder
    } cases[] = {
        {"everywhere", true, true, true, L"m.swf"},
        {"beside and below the current folder", true, true, false, L"m.swf"},
        {"beside and in the hinted book", true, false, true, L"m.swf"},
        {"below the current folder and in the hinted book", false, true, true, L"_Page_img\\contents\\m.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBook book;
        TDialogSeamScope seam;
        if (c.BesideExe)
            book.Put(L"m.swf");
        if (c.BelowCurrent)
            book.Put(L"_Page_img\\contents\\m.swf");
        if (c.InHintedBook)
            book.Put(L"hint_Page_img\\contents\\m.swf");
        SetCurrentDir(book.Dir.Path());
        book.Command(L"MoveSkin", L"hint.swf");
        UnicodeString found = book.Form->FindPopUpMovie(L"m.swf");
        // The second place is relative to the current folder.
        EXPECT_EQ(ExpandFileName(found), book.Dir / c.Expected);
    }
}

TEST(Dispatch, OnlyPopUpFormIsAFunction)
{
    TBook book;
    book.Put(L"a.swf");
    TShellRecorder shell;
    for (const wchar_t* args : {L"PopUpForm", L"popupform@@@a.swf", L"Other@@@a.swf", L"@@@a.swf"})
        book.Command(L"function", args);
    EXPECT_TRUE(PopUps(book.Form.get()).empty());
    EXPECT_TRUE(shell.Calls().empty());

    // Each PopUpForm opens one more window.
    book.Command(L"function", L"PopUpForm@@@a.swf");
    book.Command(L"function", L"PopUpForm@@@a.swf");
    EXPECT_EQ(PopUps(book.Form.get()).size(), 2u);
}

} // namespace
