#include <gtest/gtest.h>

#include "classlib/controls/Dialogs.h"

#include <dlgs.h>

TEST(FileDialog, SeamSeesTheProposalAndGivesTheChoice)
{
    TSaveDialog* dlg = New<TSaveDialog>(nullptr);
    dlg->SetFilter(L"PDF 파일|*.pdf");
    dlg->SetFileName(L"Guide.PDF");
    dlg->SetTitle(L"Save");

    TDialogSeamScope seam;
    seam.Answer(IDOK, L"C:\\out\\Guide.PDF");
    ASSERT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), L"C:\\out\\Guide.PDF");
    ASSERT_EQ(dlg->Files().size(), 1u);
    EXPECT_EQ(dlg->Files()[0], L"C:\\out\\Guide.PDF");

    ASSERT_EQ(seam.Count(), 1u);
    const TDialogRequest& r = seam.Last();
    EXPECT_EQ(r.Kind, TDialogKind::SaveDialog);
    EXPECT_EQ(r.Dialog, dlg);
    EXPECT_EQ(r.FileName, L"Guide.PDF");
    EXPECT_EQ(r.Filter, L"PDF 파일|*.pdf");
    EXPECT_EQ(r.FilterIndex, 1);
    EXPECT_EQ(r.Caption, L"Save");
    FreeAndNil(dlg);
}

TEST(FileDialog, CancelKeepsTheProposedNameAndAFilterSetAtRunTimeStays)
{
    TOpenDialog* dlg = New<TOpenDialog>(nullptr);
    dlg->SetFilter(L"텍스트 파일|*.txt");
    dlg->SetFileName(L"notes.txt");
    TDialogSeamScope seam;   // default answer: cancel
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), L"notes.txt");
    EXPECT_TRUE(dlg->Files().empty());
    EXPECT_EQ(seam.Last().Kind, TDialogKind::OpenDialog);

    dlg->SetFilter(L"모든 파일|*.*");
    seam.Answer(true, L"C:\\a.bin");
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->Filter(), L"모든 파일|*.*");
    EXPECT_EQ(seam.Last().Filter, L"모든 파일|*.*");
    FreeAndNil(dlg);
}

TEST(FileDialog, FilterPairs)
{
    using P = std::vector<std::pair<UnicodeString, UnicodeString>>;
    struct Case {
        const wchar_t* filter;
        P pairs;
    } cases[] = {
        {L"", {}},
        {L"PDF 파일|*.pdf", {{L"PDF 파일", L"*.pdf"}}},
        {L"ImageFile|*.jpg,*.bmp", {{L"ImageFile", L"*.jpg,*.bmp"}}},
        {L"A|*.a|B|*.b;*.c", {{L"A", L"*.a"}, {L"B", L"*.b;*.c"}}},
        {L"A|*.a|Dangling", {{L"A", L"*.a"}}},
        {L"A|*.a|", {{L"A", L"*.a"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseDialogFilter(c.filter), c.pairs) << c.filter;
}

TEST(FileDialog, PublishedPropertiesReadAsTheFormResourceStoresThem)
{
    TSaveDialog* dlg = New<TSaveDialog>(nullptr);
    EXPECT_EQ(GetSetProp(dlg, L"Options"), L"ofHideReadOnly,ofEnableSizing");
    SetSetProp(dlg, L"Options", L"[ofHideReadOnly, ofNoChangeDir, ofEnableSizing]");
    EXPECT_EQ(dlg->Options(), (TOpenOptions{ofHideReadOnly, ofNoChangeDir, ofEnableSizing}));
    SetStrProp(dlg, L"Filter", L"ImageFile|*.jpg,*.bmp");
    EXPECT_EQ(dlg->Filter(), L"ImageFile|*.jpg,*.bmp");
    EXPECT_EQ(GetIntProp(dlg, L"FilterIndex"), 1);
    EXPECT_TRUE(IsPublishedProp(dlg, L"OnShow"));
    FreeAndNil(dlg);
}

namespace {

// A save dialog whose system part is played by the test: it keeps what the
// dialog was given and answers as the system would.
class TScriptedSaveDialog : public TSaveDialog {
public:
    using TSaveDialog::TSaveDialog;
    OPENFILENAMEW Given{};   // its pointers are not kept past the call
    std::vector<wchar_t> GivenFilter;
    UnicodeString GivenFile, GivenDefExt, GivenTitle;
    // The buffer the system leaves (nulls included) and its name offset.
    std::wstring Result;
    WORD NameOffset = 0;
    DWORD ChosenFilter = 1;
    DWORD FlagsOut = 0;

protected:
    bool RunDialog(OPENFILENAMEW& ofn) override
    {
        Given = ofn;
        for (const wchar_t* p = ofn.lpstrFilter; p && (p[0] || p[1]); ++p)
            GivenFilter.push_back(*p);
        GivenFile = ofn.lpstrFile;
        GivenDefExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : L"";
        GivenTitle = ofn.lpstrTitle ? ofn.lpstrTitle : L"";
        if (Result.empty())
            return false;
        // Only what the system writes changes: the rest of the buffer stays.
        std::copy(Result.begin(), Result.end(), ofn.lpstrFile);
        ofn.nFileOffset = NameOffset;
        ofn.nFilterIndex = ChosenFilter;
        ofn.Flags |= FlagsOut;
        return true;
    }
};

} // namespace

TEST(FileDialog, GivesTheSystemItsSettingsAndTakesBackTheChoice)
{
    TScriptedSaveDialog* dlg = New<TScriptedSaveDialog>(nullptr);
    dlg->SetFilter(L"PDF 파일|*.pdf|모든 파일|*.*");
    dlg->SetDefaultExt(L".pdf");
    dlg->SetFileName(L"Guide.PDF");
    dlg->SetTitle(L"저장");
    dlg->SetOptions({ofHideReadOnly, ofNoChangeDir, ofEnableSizing});
    dlg->Result = std::wstring(L"C:\\out\\Guide.PDF") + L'\0';
    dlg->NameOffset = 7;
    dlg->ChosenFilter = 2;
    dlg->FlagsOut = OFN_READONLY;
    ASSERT_TRUE(dlg->Execute());

    const OPENFILENAMEW& g = dlg->Given;
    EXPECT_EQ(std::wstring(dlg->GivenFilter.begin(), dlg->GivenFilter.end()),
              std::wstring(L"PDF 파일\0*.pdf\0모든 파일\0*.*", 22));
    EXPECT_EQ(dlg->GivenFile, L"Guide.PDF");
    EXPECT_GE(g.nMaxFile, 4096u) << "room for a long multi-selection";
    EXPECT_EQ(dlg->GivenDefExt, L"pdf");
    EXPECT_EQ(dlg->GivenTitle, L"저장");
    EXPECT_EQ(g.nFilterIndex, 1u);
    EXPECT_EQ(g.hwndOwner, GetActiveWindow());
    DWORD expected = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING | OFN_EXPLORER;
    EXPECT_EQ(g.Flags & expected, expected);
    EXPECT_FALSE(g.Flags & (OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT));

    EXPECT_EQ(dlg->FileName(), L"C:\\out\\Guide.PDF");
    EXPECT_EQ(dlg->FilterIndex(), 2);
    EXPECT_TRUE(dlg->Options().Contains(ofReadOnly));
    FreeAndNil(dlg);
}

TEST(FileDialog, ChosenNamesAreReadByTheNameOffset)
{
    struct Case {
        const wchar_t* what;
        UnicodeString proposed;
        std::wstring result;
        WORD offset;
        std::vector<UnicodeString> files;
    } cases[] = {
        // One name over a longer proposal: the proposal's tail is no second name.
        {L"single", L"C:\\books\\a-much-longer-proposed-name.pdf", std::wstring(L"C:\\b.pdf\0", 9), 3,
         {L"C:\\b.pdf"}},
        {L"several", L"x", std::wstring(L"C:\\dir\0a.pdf\0b.pdf\0\0", 21), 7,
         {L"C:\\dir\\a.pdf", L"C:\\dir\\b.pdf"}},
        {L"several in a root", L"x", std::wstring(L"C:\\\0a\0b\0\0", 10), 4, {L"C:\\a", L"C:\\b"}},
    };
    for (const Case& c : cases) {
        TScriptedSaveDialog* dlg = New<TScriptedSaveDialog>(nullptr);
        dlg->SetOptions(dlg->Options() + ofAllowMultiSelect);
        dlg->SetFileName(c.proposed);
        dlg->Result = c.result;
        dlg->NameOffset = c.offset;
        ASSERT_TRUE(dlg->Execute()) << c.what;
        EXPECT_EQ(dlg->Files(), c.files) << c.what;
        EXPECT_EQ(dlg->FileName(), c.files.front()) << c.what;
        FreeAndNil(dlg);
    }
}

namespace {

// A folder of that name in the temporary folder.
UnicodeString MakeTempDir(const wchar_t* Name)
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    UnicodeString dir = UnicodeString(tmp) + Name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// Answers the real dialog from its OnShow: OK on the proposed name, or Cancel.
struct TDialogDriver : TObject {
    int Shows = 0, Closes = 0;
    WPARAM Button = IDCANCEL;
    void Show(TObject* Sender)
    {
        ++Shows;
        PostMessageW(static_cast<TCommonDialog*>(Sender)->Handle(), WM_COMMAND, Button, 0);
    }
    void Close(TObject*) { ++Closes; }
};

} // namespace

namespace {

// Records what the application is told while a dialog runs.
struct TAppRecorder : TObject {
    int Begins = 0, Ends = 0;
    std::vector<UnicodeString> Errors;
    void Begin(TObject*) { ++Begins; }
    void End(TObject*) { ++Ends; }
    void Error(TObject*, Exception* E) { Errors.push_back(E->Message()); }
};

// Closes the dialog, then fails.
struct TFailingShow : TObject {
    void Show(TObject* Sender)
    {
        PostMessageW(static_cast<TCommonDialog*>(Sender)->Handle(), WM_COMMAND, IDCANCEL, 0);
        throw Exception(L"OnShow 실패");
    }
};

} // namespace

TEST(FileDialog, RealDialogIsModalTimeAndItsEventsFailIntoTheApplication)
{
    ASSERT_FALSE(DialogSeamInstalled());
    TAppRecorder app;
    Application->OnModalBegin = Bind(&app, &TAppRecorder::Begin);
    Application->OnModalEnd = Bind(&app, &TAppRecorder::End);
    Application->OnException = Bind(&app, &TAppRecorder::Error);
    TFailingShow failing;
    TOpenDialog* dlg = New<TOpenDialog>(nullptr);
    dlg->OnShow = Bind(&failing, &TFailingShow::Show);
    EXPECT_FALSE(dlg->Execute());
    FreeAndNil(dlg);
    Application->OnModalBegin = {};
    Application->OnModalEnd = {};
    Application->OnException = {};
    EXPECT_EQ(app.Begins, 1);
    EXPECT_EQ(app.Ends, 1);
    EXPECT_EQ(app.Errors, std::vector<UnicodeString>{L"OnShow 실패"});
}

TEST(FileDialog, RealDialogShowsAndCloses)
{
    ASSERT_FALSE(DialogSeamInstalled());
    UnicodeString dir = MakeTempDir(L"kvdlgtest");

    TDialogDriver driver;
    TSaveDialog* dlg = New<TSaveDialog>(nullptr);
    dlg->OnShow = Bind(&driver, &TDialogDriver::Show);
    dlg->OnClose = Bind(&driver, &TDialogDriver::Close);
    dlg->SetFilter(L"PDF 파일|*.pdf|모든 파일|*.*");
    dlg->SetInitialDir(dir);
    dlg->SetFileName(L"Guide.pdf");

    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), L"Guide.pdf");
    EXPECT_EQ(driver.Shows, 1);
    EXPECT_EQ(driver.Closes, 1);
    EXPECT_EQ(dlg->Handle(), nullptr);

    driver.Button = IDOK;
    ASSERT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->FileName(), dir + L"\\Guide.pdf");
    EXPECT_EQ(dlg->FilterIndex(), 1);
    EXPECT_EQ(driver.Shows, 2);
    FreeAndNil(dlg);
    RemoveDirectoryW(dir.c_str());
}

namespace {

// Types a name into the real dialog's file name box and confirms it.
struct TNameTyper : TObject {
    UnicodeString Typed;
    void Show(TObject* Sender)
    {
        HWND dlg = static_cast<TCommonDialog*>(Sender)->Handle();
        SendMessageW(dlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(Typed.c_str()));
        SendMessageW(dlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(Typed.c_str()));
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    }
};

} // namespace

TEST(FileDialog, MultiSelectionGivesEveryChosenNameAndNothingOfTheProposal)
{
    ASSERT_FALSE(DialogSeamInstalled());
    UnicodeString dir = MakeTempDir(L"kvdlgmulti");
    for (const wchar_t* name : {L"\\a.txt", L"\\b.txt"})
        CloseHandle(CreateFileW((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    TNameTyper typer;
    TOpenDialog* dlg = New<TOpenDialog>(nullptr);
    dlg->OnShow = Bind(&typer, &TNameTyper::Show);
    dlg->SetInitialDir(dir);
    dlg->SetOptions(dlg->Options() + ofAllowMultiSelect);
    struct Case {
        UnicodeString proposed, typed;
        std::vector<UnicodeString> files;
    } cases[] = {
        // A proposal longer than the chosen path must leave no trace in the result.
        {UnicodeString(200, L'p') + L".txt", L"a.txt", {dir + L"\\a.txt"}},
        {L"x.txt", L"\"a.txt\" \"b.txt\"", {dir + L"\\a.txt", dir + L"\\b.txt"}},
    };
    for (const Case& c : cases) {
        dlg->SetFileName(c.proposed);
        typer.Typed = c.typed;
        ASSERT_TRUE(dlg->Execute()) << c.typed;
        EXPECT_EQ(dlg->Files(), c.files) << c.typed;
        EXPECT_EQ(dlg->FileName(), c.files.front()) << c.typed;
    }
    FreeAndNil(dlg);
    DeleteFileW((dir + L"\\a.txt").c_str());
    DeleteFileW((dir + L"\\b.txt").c_str());
    RemoveDirectoryW(dir.c_str());
}
