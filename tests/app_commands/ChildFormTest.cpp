// The pop-up player window and the download prompt.
#include <gtest/gtest.h>

#include "CommandsTestUtils.h"
#include "app/ChildFormUnit.h"
#include "app/FileDownloadFormUnit.h"
#include "app/INIController.h"
#include "classlib/ole/FlashCommandQueue.h"

namespace {

// Window styles of the ".ini" for a while; the empty ones again afterwards.
class TChildStyles {
public:
    explicit TChildStyles(const std::string& ini)
    {
        WriteBytes(FFolder / L"Book.ini", ini);
        INIController::GetInstance()->LoadFromFile(FFolder / L"Book.ini");
    }
    ~TChildStyles() { INIController::GetInstance()->LoadFromFile(FFolder / L"none.ini"); }

private:
    TTempDir FFolder;
};

// The pop-up windows owned by Owner.
int PopUpCount(TComponent* Owner)
{
    int n = 0;
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        n += dynamic_cast<TChildForm*>(Owner->Components(i)) != nullptr;
    return n;
}

TEST(ChildForm, ResourceAndStylesWithoutIni)
{
    TChildStyles styles("");
    TOwned<TChildForm> form(New<TChildForm>(nullptr));
    ASSERT_NE(form->BackPanel, nullptr);
    ASSERT_NE(form->ShockwaveFlash1, nullptr);
    ASSERT_NE(form->fileSaveDialog, nullptr);

    EXPECT_EQ(form->BackPanel->Align(), alClient);
    EXPECT_EQ(form->BackPanel->BevelOuter(), bvNone);
    EXPECT_EQ(form->BackPanel->Color(), clInfoText);
    EXPECT_FALSE(form->BackPanel->ParentBackground());
    EXPECT_EQ(form->ShockwaveFlash1->Parent(), form->BackPanel);
    EXPECT_EQ(form->ShockwaveFlash1->Align(), alClient);
    EXPECT_EQ(form->ShockwaveFlash1->WMode(), L"Window");
    EXPECT_EQ(form->ShockwaveFlash1->Quality(), L"High");
    EXPECT_TRUE(form->ShockwaveFlash1->OnFSCommand == Bind(form.get(), &TChildForm::ShockwaveFlash1FSCommand));
    EXPECT_EQ(form->fileSaveDialog->Filter(), L"PDF 파일|*.pdf");
    EXPECT_EQ(form->fileSaveDialog->Options(), (TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing}));
    EXPECT_EQ(form->Font()->Name(), L"Tahoma");
    EXPECT_EQ(form->Font()->Height(), -11);

    // FormCreate: a blank movie, the scale as the ".ini" gives it (empty),
    // maximised with a restored size of 1024 + 8 by 700 + 32.
    EXPECT_EQ(form->ShockwaveFlash1->Movie(), L"about:blank");
    EXPECT_EQ(form->ShockwaveFlash1->Scale(), L"");
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->BorderStyle(), bsSizeable);
    EXPECT_EQ(form->Width(), 1032);
    EXPECT_EQ(form->Height(), 732);

    form->Show();
    EXPECT_TRUE(IsZoomed(form->Handle()));
    form->SetWindowState(wsNormal);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 1032);
    EXPECT_EQ(r.bottom - r.top, 732);
}

TEST(ChildForm, IniStyles)
{
    struct {
        const char* Ini;
        TFormBorderStyle Border;
        int Width, Height;   // 0: not set from the ".ini"
        UnicodeString Scale;
    } cases[] = {
        {"[ChildForm]\nBorderStyle=bsDialog\nWidth=800\n", bsDialog, 808, 732, L""},
        {"[ChildForm]\nBorderStyle=bsNone\nWidth=abc\nHeight=500\nScale=ExactFit\n", bsNone, 1032, 532, L"ExactFit"},
        {"[ChildForm]\nBorderStyle=bsSizeToolWin\nHeight=\n", bsSizeToolWin, 1032, 732, L""},
        {"[ChildForm]\nBorderStyle=bsdialog\nWidth=$10\n", bsSizeable, 24, 732, L""},
        {"[ChildForm]\nWindowState=wsMaximized\nWidth=800\nHeight=500\nScale=NoBorder\n", bsSizeable, 0, 0, L"NoBorder"},
        {"[MainForm]\nBorderStyle=bsNone\n", bsSizeable, 1032, 732, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ini);
        TChildStyles styles(c.Ini);
        TOwned<TChildForm> form(New<TChildForm>(nullptr));
        EXPECT_EQ(form->WindowState(), wsMaximized);
        EXPECT_EQ(form->BorderStyle(), c.Border);
        EXPECT_EQ(form->ShockwaveFlash1->Scale(), c.Scale);
        if (c.Width) {
            EXPECT_EQ(form->Width(), c.Width);
            EXPECT_EQ(form->Height(), c.Height);
        } else {
            EXPECT_NE(form->Width(), 808);
            EXPECT_NE(form->Height(), 532);
        }
        form->Show();   // designed maximised: it opens so, whatever its border
        EXPECT_TRUE(IsZoomed(form->Handle()));
        EXPECT_EQ(form->WindowState(), wsMaximized);
    }
}

TEST(ChildForm, ShownTheControlStillFillsItsPanel)
{
    TChildStyles styles("");
    TOwned<TChildForm> form(New<TChildForm>(nullptr));
    form->Show();
    EXPECT_EQ(form->ShockwaveFlash1->BoundsRect(), form->BackPanel->ClientRect());
}

TEST(ChildForm, ClosingDestroysTheControlAndFreesTheWindow)
{
    TChildStyles styles("");
    TOwned<TComponent> owner(New<TComponent>(nullptr));
    TChildForm* form = New<TChildForm>(owner.get());
    form->Show();
    TDialogSeamScope seam;
    form->Close();
    EXPECT_EQ(form->ShockwaveFlash1, nullptr);
    EXPECT_EQ(form->BackPanel->ControlCount(), 0);
    Application->ProcessMessages();
    EXPECT_EQ(PopUpCount(owner.get()), 0);
    EXPECT_EQ(seam.Count(), 0u);   // no question
}

TEST(ChildForm, MovieCommands)
{
    TBook book;
    book.Put(L"contents\\a.pdf", "pdf");
    TTempDir out;
    TShellRecorder shell;
    TChildForm* form = book.Form->OpenPopUp(L"about:blank", L"");
    auto command = [&](const wchar_t* cmd, const wchar_t* args) {
        form->ShockwaveFlash1FSCommand(form->ShockwaveFlash1, cmd, args);
    };

    // Anything but the two names goes to the shell whole, unconverted.
    command(L"exec", L"notepad.exe");
    command(L"exec", L"notepad.exe@@@x");
    command(L"other", L"dir/file.txt");
    ASSERT_EQ(shell.Calls().size(), 3u);
    EXPECT_EQ(shell.Calls()[0].Owner, nullptr);
    EXPECT_EQ(shell.Calls()[0].Verb, "open");
    EXPECT_EQ(shell.Calls()[0].File, "notepad.exe");
    EXPECT_EQ(shell.Calls()[0].Parameters, "");
    EXPECT_EQ(shell.Calls()[0].Directory, "");
    EXPECT_EQ(shell.Calls()[0].ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(shell.Calls()[1].File, "notepad.exe@@@x");
    EXPECT_EQ(shell.Calls()[2].File, "dir/file.txt");

    // function_copyfile: the path as the movie wrote it, this window's dialog.
    {
        TDialogSeamScope seam;
        seam.Answer(IDOK, out / L"a.pdf");
        command(L"exec", L"function_copyfile@@@contents/a.pdf");
        ASSERT_EQ(seam.Count(), 2u);
        EXPECT_EQ(seam.Requests[0].Dialog, form->fileSaveDialog);
        EXPECT_EQ(seam.Requests[0].FileName, L"a.pdf");
        EXPECT_EQ(seam.Requests[0].Filter, L"PDF 파일|*.pdf");
        EXPECT_EQ(seam.Requests[1].Text, L"a.pdf 파일이 저장되었습니다.");
        EXPECT_EQ(ReadBytes(out / L"a.pdf"), "pdf");

        seam.Answer(IDOK, out / L"b.hwp");
        command(L"anything", L"function_copyfile@@@contents/b.hwp");
        ASSERT_EQ(seam.Count(), 4u);
        EXPECT_EQ(seam.Requests[2].Filter, L"한글 문서 파일|*.hwp");
        EXPECT_EQ(seam.Requests[3].Text, L"b.hwp 파일 저장 실패\r\n경로를 확인해 주세요.");
    }
    EXPECT_EQ(shell.Calls().size(), 3u);

    // Window words: only the pop-up's own.
    form->SetWindowState(wsNormal);
    for (const wchar_t* ignored : {L"resize", L"wsNormal", L"Maximize"}) {
        command(L"formcontrol", ignored);
        EXPECT_EQ(form->WindowState(), wsNormal) << ignored;
    }
    command(L"formcontrol", L"wsMinimized");
    EXPECT_EQ(form->WindowState(), wsMinimized);
    command(L"formcontrol", L"wmMaximized");
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    command(L"formcontrol", L"wsMaximized");
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(shell.Calls().size(), 3u);

    // function_close, whatever the command: gone without a question.
    TDialogSeamScope seam;
    command(L"fscommand_other", L"function_close");
    Application->ProcessMessages();
    EXPECT_EQ(PopUpCount(book.Form.get()), 0);
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_EQ(shell.Calls().size(), 3u);
}

TEST(ChildForm, CloseWordAndThroughTheControl)
{
    TBook book;
    TChildForm* first = book.Form->OpenPopUp(L"a.swf", L"1");
    book.Form->OpenPopUp(L"b.swf", L"2");
    ASSERT_EQ(PopUpCount(book.Form.get()), 2);

    // The movie's "Close" arrives through the control's event.
    first->ShockwaveFlash1->DoFSCommand(L"formcontrol", L"Close");
    Application->ProcessMessages();
    EXPECT_EQ(PopUpCount(book.Form.get()), 1);

    // The main window takes the pop-ups still open with it.
    book.Form.reset();
}

TEST(ChildForm, CommandsDuringADialogWaitTheirTurn)
{
    struct {
        const char* Name;
        bool ReaderCloses;   // the reader closes the window while the dialog is open
        std::vector<std::string> Opened;
    } cases[] = {
        // The movie's own close: what came before it runs, what came after is dropped.
        {"movie closes", false, {"notepad.exe"}},
        // The reader's close waits for the command in progress, then takes
        // the window's waiting commands with it.
        {"reader closes", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBook book;
        book.Put(L"contents\\a.pdf");
        TShellRecorder shell;
        TChildForm* form = book.Form->OpenPopUp(L"a.swf", L"");
        size_t callsDuringDialog = 99;
        bool formThereDuringDialog = false;
        TDialogSeamScope seam([&](TDialogRequest& request) {
            if (request.Kind == TDialogKind::SaveDialog) {
                form->ShockwaveFlash1->DoFSCommand(L"exec", L"notepad.exe");
                form->ShockwaveFlash1->DoFSCommand(L"exec", L"function_close");
                form->ShockwaveFlash1->DoFSCommand(L"exec", L"after.exe");
                if (c.ReaderCloses)
                    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
                Application->ProcessMessages();
                callsDuringDialog = shell.Calls().size();
                formThereDuringDialog = PopUpCount(book.Form.get()) == 1 && form->ShockwaveFlash1;
            }
            return IDCANCEL;
        });
        form->ShockwaveFlash1->DoFSCommand(L"exec", L"function_copyfile@@@contents/a.pdf");

        EXPECT_EQ(callsDuringDialog, 0u);
        EXPECT_TRUE(formThereDuringDialog);
        Application->ProcessMessages();
        std::vector<std::string> opened;
        for (const TShellCall& call : shell.Calls())
            opened.push_back(call.File);
        EXPECT_EQ(opened, c.Opened);
        EXPECT_EQ(PopUpCount(book.Form.get()), 0);
        EXPECT_EQ(TFlashCommandQueue::Instance().Waiting(), 0u);
    }
}

TEST(FileDownloadForm, Layout)
{
    TOwned<TFileDownloadForm> form(New<TFileDownloadForm>(nullptr));
    EXPECT_EQ(form->Caption(), L"파일 다운로드");
    EXPECT_EQ(form->ClientWidth(), 369);
    EXPECT_EQ(form->ClientHeight(), 83);
    EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
    EXPECT_EQ(form->Position(), poOwnerFormCenter);

    ASSERT_NE(form->Label1, nullptr);
    EXPECT_EQ(form->Label1->Left(), 20);
    EXPECT_EQ(form->Label1->Top(), 16);
    EXPECT_EQ(form->Label1->Caption(), L"이 파일을 실행 또는 저장하시겠습니까?");
    EXPECT_EQ(form->Label1->Font()->Name(), L"Tahoma");
    EXPECT_EQ(form->Label1->Font()->Height(), -12);

    struct {
        TButton* Button;
        UnicodeString Caption;
        int Left, TabOrder;
    } buttons[] = {
        {form->OpenButton, L"열기", 124, 2},
        {form->SaveButton, L"저장", 205, 0},
        {form->AbortButton, L"취소", 286, 1},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.Caption);
        ASSERT_NE(b.Button, nullptr);
        EXPECT_EQ(b.Button->Caption(), b.Caption);
        EXPECT_EQ(b.Button->BoundsRect(), Bounds(b.Left, 50, 75, 25));
        EXPECT_EQ(b.Button->TabOrder(), b.TabOrder);
    }
}

TEST(FileDownloadForm, ModalResults)
{
    struct {
        const char* Name;
        TButton* TFileDownloadForm::*Button;   // nullptr: the window is closed
        TModalResult Result;
    } cases[] = {
        {"open", &TFileDownloadForm::OpenButton, 1},
        {"save", &TFileDownloadForm::SaveButton, 6},
        {"cancel", &TFileDownloadForm::AbortButton, 2},
        {"closed", nullptr, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TOwned<TFileDownloadForm> form(New<TFileDownloadForm>(nullptr));
        form->HandleNeeded();
        if (c.Button)
            PostMessageW((form.get()->*c.Button)->Handle(), BM_CLICK, 0, 0);
        else
            PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(form->ShowModal(), c.Result);
    }
}

} // namespace
