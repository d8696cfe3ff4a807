// The movie's file and text functions, on real folders.
#include <gtest/gtest.h>

#include <algorithm>

#include "CommandsTestUtils.h"
#include "app/FileDownloadFormUnit.h"
#include "classlib/rtl/SysUtils.h"

namespace {

const UnicodeString FailedTail = L" 파일 저장 실패\r\n경로를 확인해 주세요.";
const UnicodeString SavedTail = L" 파일이 저장되었습니다.";

TEST(CopyFunctions, CopyfileOverwritesAndTellsTheReader)
{
    TBook book;
    book.Put(L"contents\\Guide.PDF", "new pdf");
    TTempDir out;
    UnicodeString target = out / L"kept.pdf";
    WriteBytes(target, "old content");

    TShellRecorder shell;
    TDialogSeamScope seam;
    seam.Answer(IDOK, target);
    book.Command(L"exec", L"function_copyfile@@@contents/Guide.PDF");

    ASSERT_EQ(seam.Count(), 2u);
    EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(seam.Requests[0].FileName, L"Guide.PDF");
    EXPECT_EQ(seam.Requests[0].Filter, L"PDF 파일|*.pdf");
    EXPECT_EQ(seam.Requests[1].Kind, TDialogKind::ShowMessage);
    EXPECT_EQ(seam.Requests[1].Text, L"Guide.PDF" + SavedTail);
    EXPECT_EQ(ReadBytes(target), "new pdf");
}

TEST(CopyFunctions, CopyfileFailureAndCancel)
{
    TBook book;
    TTempDir out;
    {
        // No such attachment.
        TDialogSeamScope seam;
        seam.Answer(IDOK, out / L"x.zip");
        book.Command(L"exec", L"function_copyfile@@@contents/data.zip");
        ASSERT_EQ(seam.Count(), 2u);
        EXPECT_EQ(seam.Requests[0].Filter, L"모든 파일|*.*");
        EXPECT_EQ(seam.Requests[1].Text, L"data.zip" + FailedTail);
        EXPECT_FALSE(FileThere(out / L"x.zip"));
    }
    {
        // Cancelled: no copy, no message.
        book.Put(L"contents\\a.pdf");
        TDialogSeamScope seam;
        book.Command(L"exec", L"function_copyfile@@@contents/a.pdf");
        EXPECT_EQ(seam.Count(), 1u);
    }
}

TEST(CopyFunctions, FiltersByLowerCasedExtension)
{
    struct {
        const wchar_t* File;
        UnicodeString Attachment;   // function_copyfile
        UnicodeString Document;     // function_doccopy (empty: unchanged)
    } cases[] = {
        {L"a.HWP", L"한글 문서 파일|*.hwp", L"한글 파일|*.hwp"},
        {L"report.DOCX", L"마이크로소프트 워드 파일|*.doc;*.docx;", L"마이크로소프트 워드 파일|*.doc;*.docx"},
        {L"a.doc", L"마이크로소프트 워드 파일|*.doc;*.docx;", L"마이크로소프트 워드 파일|*.doc;*.docx"},
        {L"a.xlsx", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx;", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx"},
        {L"a.Ppt", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx;", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx"},
        {L"a.pptx", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx;", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx"},
        {L"a.JPG", L"이미지파일|*.jpg;*.bmp;*.png;", L""},
        {L"a.bmp", L"이미지파일|*.jpg;*.bmp;*.png;", L""},
        {L"a.png", L"이미지파일|*.jpg;*.bmp;*.png;", L""},
        {L"a.swf", L"플래시 파일|*.swf", L""},
        {L"a.wmv", L"동영상 파일|*.wmv", L"동영상 파일|*.wmv"},
        {L"notes.txt", L"모든 파일|*.*", L""},
        {L"dir.pdf/noext", L"모든 파일|*.*", L""},   // the extension of the name only
    };
    TBook book;
    const UnicodeString designed = book.Form->fileSaveDialog->Filter();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TDialogSeamScope seam;   // every dialog cancelled
        book.Form->fileSaveDialog->SetFilter(L"before");
        book.Command(L"exec", UnicodeString(L"function_copyfile@@@") + c.File);
        ASSERT_EQ(seam.Count(), 1u);
        EXPECT_EQ(seam.Last().Filter, c.Attachment);

        book.Form->fileSaveDialog->SetFilter(L"before");
        book.Command(L"exec", UnicodeString(L"function_doccopy@@@docs/") + c.File);
        ASSERT_EQ(seam.Count(), 2u);
        EXPECT_EQ(seam.Last().Filter, c.Document.empty() ? UnicodeString(L"before") : c.Document);
        EXPECT_EQ(seam.Last().FileName, ExtractFileName(StringReplace(c.File, L"/", L"\\", rfReplaceAll)));
    }
    EXPECT_EQ(designed, L"PDF 파일|*.pdf");
}

TEST(CopyFunctions, ImgcopyAndDoccopyCopySilently)
{
    TBook book;
    book.Put(L"Book_page_img\\contents\\pics\\a.jpg", "jpeg");
    book.Put(L"docs\\r.docx", "word");
    TTempDir out;
    TDialogSeamScope seam;
    seam.Answer(IDOK, out / L"a.jpg").Answer(IDOK, out / L"r.docx");
    book.Command(L"exec", L"function_imgcopy@@@pics/a.jpg");
    book.Command(L"exec", L"function_doccopy@@@docs/r.docx");

    ASSERT_EQ(seam.Count(), 2u);   // two save dialogs, no messages
    EXPECT_EQ(seam.Requests[0].FileName, L"pics\\a.jpg");   // proposed as given
    EXPECT_EQ(seam.Requests[0].Filter, L"ImageFile|*.jpg,*.bmp");
    EXPECT_EQ(seam.Requests[1].FileName, L"r.docx");
    EXPECT_EQ(ReadBytes(out / L"a.jpg"), "jpeg");
    EXPECT_EQ(ReadBytes(out / L"r.docx"), "word");

    // A failed copy is not reported either.
    TDialogSeamScope again;
    again.Answer(IDOK, out / L"none.jpg");
    book.Command(L"exec", L"function_imgcopy@@@missing.jpg");
    EXPECT_EQ(again.Count(), 1u);
}

TEST(CopyFunctions, CopyfileModalFollowsThePrompt)
{
    TBook book;
    UnicodeString exeDir = book.Dir.Path() + L"\\";
    UnicodeString source = book.Put(L"contents\\sub\\a.pdf", "attachment");
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY);
    TTempDir out;
    TShellRecorder shell;

    // Open: the base and the file joined as they are.
    {
        TDialogSeamScope seam;
        seam.Answer(TFileDownloadForm::OpenResult).Answer(TFileDownloadForm::OpenResult);
        book.Command(L"exec", L"function_copyfileModal@@@contents/@@@a.pdf");
        book.Command(L"exec", L"function_copyfileModal@@@contents@@@a.pdf");
        ASSERT_EQ(seam.Count(), 2u);
        EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::ModalForm);
        EXPECT_EQ(seam.Requests[0].Caption, L"파일 다운로드");
        ASSERT_EQ(shell.Calls().size(), 4u);   // each after the exec's own shell-open
        EXPECT_EQ(shell.Calls()[1].Owner, nullptr);
        EXPECT_EQ(shell.Calls()[1].File, Ansi(exeDir + L"contents\\a.pdf"));
        EXPECT_EQ(shell.Calls()[1].Parameters, "");
        EXPECT_EQ(shell.Calls()[3].File, Ansi(exeDir + L"contentsa.pdf"));
    }
    shell.Calls().clear();

    // Save: base, "\" and the file (a doubled "\" is harmless); the copy
    // loses the read-only attribute; the message names the file as given.
    {
        TDialogSeamScope seam;
        seam.Answer(TFileDownloadForm::SaveResult).Answer(IDOK, out / L"copy.pdf");
        book.Command(L"exec", L"function_copyfileModal@@@contents/@@@sub/a.pdf");
        ASSERT_EQ(seam.Count(), 3u);
        EXPECT_EQ(seam.Requests[1].FileName, L"a.pdf");
        EXPECT_EQ(seam.Requests[1].Filter, L"PDF 파일|*.pdf");
        EXPECT_EQ(seam.Requests[2].Text, L"sub\\a.pdf" + SavedTail);
        EXPECT_EQ(ReadBytes(out / L"copy.pdf"), "attachment");
        EXPECT_EQ(GetFileAttributesW((out / L"copy.pdf").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

        seam.Answer(TFileDownloadForm::SaveResult).Answer(IDOK, out / L"none.pdf");
        book.Command(L"exec", L"function_copyfileModal@@@contents@@@missing.pdf");
        ASSERT_EQ(seam.Count(), 6u);
        EXPECT_EQ(seam.Requests[5].Text, L"missing.pdf" + FailedTail);
    }
    EXPECT_EQ(shell.Calls().size(), 2u);   // only the exec's own shell-opens

    // Cancel, or the window closed: nothing more.
    for (int answer : {int(TFileDownloadForm::AbortResult), 0, 3}) {
        TDialogSeamScope seam;
        seam.Answer(answer);
        book.Command(L"exec", L"function_copyfileModal@@@contents@@@a.pdf");
        EXPECT_EQ(seam.Count(), 1u);
    }
    EXPECT_EQ(shell.Calls().size(), 5u);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ListFunctions, SearchListNamesEveryMatchingEntry)
{
    TBook book;
    book.Put(L"contents\\notes\\a.txt");
    book.Put(L"contents\\notes\\b.TXT");
    book.Put(L"contents\\notes\\c.doc");
    MakeFolder(book.Dir / L"contents\\notes\\d.txt");   // a folder that matches
    book.Command(L"exec", L"function_searchList@@@contents/notes");

    UnicodeString list = book.Variable(L"resultList");
    std::vector<UnicodeString> names;
    for (size_t at; (at = list.find(L"@@@")) != UnicodeString::npos; list.erase(0, at + 3))
        names.push_back(list.substr(0, at));
    EXPECT_EQ(list, L"");   // every name ends with "@@@"
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<UnicodeString>{L"a.txt", L"b.TXT", L"d.txt"}));

    book.Form->FlashPlayer->SetVariable(L"resultList", L"before");
    book.Command(L"exec", L"function_searchList@@@missing");
    EXPECT_EQ(book.Variable(L"resultList"), L"");
}

TEST(ListFunctions, TxtListWritesTheBaseNames)
{
    TBook book;
    book.Put(L"contents\\notes\\a.txt");
    book.Put(L"contents\\notes\\b.txt");
    book.Put(L"contents\\notes\\TxtList.txt", "old list");
    book.Put(L"contents\\notes\\c.v2.txt");
    book.Put(L"contents\\notes\\MyTxtListing.txt");   // contains "TxtList"
    book.Put(L"contents\\notes\\e.doc");
    book.Command(L"exec", L"function_TxtListSaveToFile@@@contents/notes@@@.txt");

    std::string text = ReadBytes(book.Dir / L"contents\\notes\\TxtList.txt");
    ASSERT_EQ(text.substr(0, 6), "&name=");
    ASSERT_EQ(text.back(), '&');
    std::vector<std::string> names;
    std::string value = text.substr(6, text.size() - 7);
    for (size_t at; (at = value.find(',')) != std::string::npos; value.erase(0, at + 1))
        names.push_back(value.substr(0, at));
    names.push_back(value);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c.v2"}));
}

TEST(ListFunctions, TxtListEdgeCases)
{
    TBook book;
    MakeFolder(book.Dir / L"empty");
    MakeFolder(book.Dir / L"notes");
    book.Put(L"notes\\x.txt");

    // No entries: "&name&", the suffix is used as given.
    book.Command(L"exec", L"function_TxtListSaveToFile@@@empty@@@_all.txt");
    EXPECT_EQ(ReadBytes(book.Dir / L"empty\\TxtList_all.txt"), "&name&");

    // Three backslashes in the path become one.
    book.Command(L"exec", L"function_TxtListSaveToFile@@@//notes@@@.lst");
    EXPECT_EQ(ReadBytes(book.Dir / L"notes\\TxtList.lst"), "&name=x&");

    // A folder that does not exist: no list, nothing written anywhere.
    book.Command(L"exec", L"function_TxtListSaveToFile@@@missing@@@.txt");
    EXPECT_FALSE(FileThere(book.Dir / L"missing\\TxtList.txt"));
    EXPECT_FALSE(FileThere(book.Dir / L"missingTxtList.txt"));

    // Without a separator: no folder, and the suffix after two characters.
    book.Command(L"exec", L"function_TxtListSaveToFile@@@ab.out");
    EXPECT_EQ(ReadBytes(book.Dir / L"TxtList.out"), "&name&");
}

TEST(MovieVariables, InputParameterIsTheFirstArgument)
{
    {
        TBook book({L"-p12", L"second"});
        book.Command(L"exec", L"function_InputParameter@@@ignored");
        EXPECT_EQ(book.Variable(L"변수명"), L"-p12");
    }
    {
        TBook book;
        book.Form->FlashPlayer->SetVariable(L"변수명", L"before");
        book.Command(L"exec", L"function_InputParameter");
        EXPECT_EQ(book.Variable(L"변수명"), L"");
    }
}

TEST(ShellFunctions, ShowOpensAFileOfTheBookQuoted)
{
    TBook book;
    TShellRecorder shell;
    book.Command(L"exec", L"function_show@@@tools/help.exe@@@page 2");
    book.Command(L"exec", L"function_show@@@xyhelp.exe");   // no separator
    ASSERT_EQ(shell.Calls().size(), 4u);
    const TShellCall& call = shell.Calls()[1];
    EXPECT_EQ(call.Owner, nullptr);
    EXPECT_EQ(call.Verb, "open");
    EXPECT_EQ(call.File, Ansi(L"\"" + book.Dir.Path() + L"\\tools\\help.exe\""));
    EXPECT_EQ(call.Parameters, "\"page 2\"");
    EXPECT_EQ(call.Directory, "");
    EXPECT_EQ(call.ShowCmd, SW_SHOWNORMAL);
    EXPECT_EQ(shell.Calls()[3].File, Ansi(L"\"" + book.Dir.Path() + L"\\\""));
    EXPECT_EQ(shell.Calls()[3].Parameters, "\"help.exe\"");
}

} // namespace
