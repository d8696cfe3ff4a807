// The movie's file and text functions: saving attachments through save
// dialogs, notes on a removable drive, lists of a book folder's text files
// and opening files of the book through the shell.  The movie gets its
// answers in movie variables, the reader in message boxes.
#include "app/VKBViewerMainFormUnitFunctions.h"

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "app/FileDownloadFormUnit.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

TShellExecuteAProc ViewerShellExecuteA = ::ShellExecuteA;

const wchar_t* const ArgSeparator = L"@@@";

namespace {

constexpr int SeparatorLength = 3;

// Text through the ANSI code page and back: what survives in ANSI paths.
UnicodeString ThroughAnsi(const UnicodeString& S)
{
    return AnsiToUnicode(UnicodeToAnsi(S));
}

struct TExtFilter {
    const wchar_t* Ext;   // lower case, dot included
    const wchar_t* Filter;
};

// Filters of "function_doccopy"; an extension not listed keeps the filter.
const TExtFilter DocumentFilters[] = {
    {L".hwp", L"한글 파일|*.hwp"},
    {L".doc", L"마이크로소프트 워드 파일|*.doc;*.docx"},
    {L".docx", L"마이크로소프트 워드 파일|*.doc;*.docx"},
    {L".xls", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx"},
    {L".xlsx", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx"},
    {L".ppt", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx"},
    {L".pptx", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx"},
    {L".wmv", L"동영상 파일|*.wmv"},
};

// Filters of the attachment copies.
const TExtFilter AttachmentFilters[] = {
    {L".hwp", L"한글 문서 파일|*.hwp"},
    {L".doc", L"마이크로소프트 워드 파일|*.doc;*.docx;"},
    {L".docx", L"마이크로소프트 워드 파일|*.doc;*.docx;"},
    {L".xls", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx;"},
    {L".xlsx", L"마이크로소프트 엑셀 파일|*.xls;*.xlsx;"},
    {L".ppt", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx;"},
    {L".pptx", L"마이크로소프트 파워포인트 파일|*.ppt;*.pptx;"},
    {L".jpg", L"이미지파일|*.jpg;*.bmp;*.png;"},
    {L".bmp", L"이미지파일|*.jpg;*.bmp;*.png;"},
    {L".png", L"이미지파일|*.jpg;*.bmp;*.png;"},
    {L".swf", L"플래시 파일|*.swf"},
    {L".pdf", L"PDF 파일|*.pdf"},
    {L".wmv", L"동영상 파일|*.wmv"},
};

// The filter of LowerExt in Table; empty text when it is not listed.
template <size_t N>
UnicodeString FilterFor(const TExtFilter (&Table)[N], const UnicodeString& LowerExt)
{
    for (const TExtFilter& row : Table)
        if (LowerExt == row.Ext)
            return row.Filter;
    return UnicodeString();
}

UnicodeString LowerExt(const UnicodeString& Path)
{
    return AnsiLowerCase(ExtractFileExt(Path));
}

bool CopyFileOver(const UnicodeString& Source, const UnicodeString& Dest)
{
    return ::CopyFileA(UnicodeToAnsi(Source).c_str(), UnicodeToAnsi(Dest).c_str(), FALSE) != FALSE;
}

// Proposes Proposed in Dialog; the chosen path when the reader confirms.
bool AskSavePath(TSaveDialog* Dialog, const UnicodeString& Proposed, UnicodeString& Chosen)
{
    Dialog->SetFileName(Proposed);
    if (!Dialog->Execute())
        return false;
    Chosen = Dialog->FileName();
    return true;
}

// The entries matching Pattern, of any kind (folders too), without "." and "..".
std::vector<UnicodeString> ListEntries(const UnicodeString& Pattern)
{
    std::vector<UnicodeString> names;
    TSearchRec rec;
    if (FindFirst(Pattern, faAnyFile, rec) == 0) {
        do {
            if (rec.Name != L"." && rec.Name != L"..")
                names.push_back(rec.Name);
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return names;
}

} // namespace

// ---------------------------------------------------------------------------
// Shared pieces

void ShellOpen(HWND Owner, const UnicodeString& File, const UnicodeString& Parameters)
{
    AnsiString file = UnicodeToAnsi(File);
    AnsiString parameters = UnicodeToAnsi(Parameters);
    ViewerShellExecuteA(Owner, "open", file.c_str(), parameters.c_str(), "", SW_SHOWNORMAL);
}

void SplitFunctionArgs(const UnicodeString& Args, UnicodeString& Head, UnicodeString& Tail)
{
    size_t at = Args.find(ArgSeparator);
    if (at == UnicodeString::npos) {
        Head = Args;
        Tail.clear();
    } else {
        Head = Args.substr(0, at);
        Tail = Args.substr(at + SeparatorLength);
    }
}

void SplitArgParts(const UnicodeString& Args, UnicodeString& Head, UnicodeString& Tail)
{
    size_t at = Args.find(ArgSeparator);
    if (at == UnicodeString::npos) {
        // Without a separator the parts are taken as if one stood before
        // the text: no head, and the tail after its first two characters.
        Head.clear();
        Tail = Args.size() > 2 ? Args.substr(2) : UnicodeString();
    } else {
        Head = Args.substr(0, at);
        Tail = Args.substr(at + SeparatorLength);
    }
}

UnicodeString ExeFolder()
{
    return ExtractFilePath(ViewerCommandLine().ExeName);
}

UnicodeString ExeFolderNoSep()
{
    return ExtractFileDir(ViewerCommandLine().ExeName);
}

UnicodeString ExeBaseName()
{
    return ChangeFileExt(ExtractFileName(ViewerCommandLine().ExeName), L"");
}

UnicodeString AttachmentFilter(const UnicodeString& LowerExt)
{
    UnicodeString filter = FilterFor(AttachmentFilters, LowerExt);
    return filter.empty() ? UnicodeString(L"모든 파일|*.*") : filter;
}

void SaveAttachmentCopy(TSaveDialog* Dialog, const UnicodeString& Source, const UnicodeString& ShownName,
                        bool ClearAttributes)
{
    Dialog->SetFilter(AttachmentFilter(LowerExt(Source)));
    UnicodeString chosen;
    if (!AskSavePath(Dialog, ExtractFileName(Source), chosen))
        return;
    if (CopyFileOver(Source, chosen)) {
        if (ClearAttributes)
            ::SetFileAttributesA(UnicodeToAnsi(chosen).c_str(), FILE_ATTRIBUTE_NORMAL);
        ShowMessage(ShownName + L" 파일이 저장되었습니다.");
    } else {
        ShowMessage(ShownName + L" 파일 저장 실패\r\n경로를 확인해 주세요.");
    }
}

wchar_t FindRemovableDrive()
{
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (::GetDriveTypeA(root) == DRIVE_REMOVABLE)
            return wchar_t(letter);
    }
    return 0;
}

namespace {

UnicodeString NoteFolder(wchar_t Drive)
{
    return UnicodeString(1, Drive) + L":\\TxtData\\";
}

// Creates or truncates FileName in text mode (line feeds become CR LF) and
// writes Text in the ANSI code page.  A file that cannot be created gets
// nothing; false then, and when the text was not written whole.
bool WriteAnsiTextFile(const UnicodeString& FileName, const UnicodeString& Text)
{
    FILE* f = std::fopen(UnicodeToAnsi(FileName).c_str(), "wt");
    if (!f)
        return false;
    AnsiString bytes = UnicodeToAnsi(Text);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

// ---------------------------------------------------------------------------
// The functions

void TPlayerForm::function_imgcopy(const UnicodeString& Args)
{
    UnicodeString source = ExeFolder() + ExeBaseName() + L"_page_img\\contents\\" + Args;
    UnicodeString chosen;
    if (AskSavePath(imgSaveDialog, Args, chosen))
        CopyFileOver(source, chosen);
}

void TPlayerForm::function_doccopy(const UnicodeString& Args)
{
    UnicodeString filter = FilterFor(DocumentFilters, LowerExt(Args));
    if (!filter.empty())
        fileSaveDialog->SetFilter(filter);
    UnicodeString source = ExeFolder() + Args;
    UnicodeString chosen;
    if (AskSavePath(fileSaveDialog, ExtractFileName(Args), chosen))
        CopyFileOver(source, chosen);
}

void TPlayerForm::function_copyfile(const UnicodeString& Args)
{
    UnicodeString source = ExeFolder() + Args;
    SaveAttachmentCopy(fileSaveDialog, source, ExtractFileName(source), false);
}

void TPlayerForm::function_copyfileModal(const UnicodeString& Args)
{
    UnicodeString folder, file;
    SplitArgParts(Args, folder, file);
    UnicodeString base = ExeFolder() + folder;

    TModalResult answer;
    {
        std::unique_ptr<TFileDownloadForm, void (*)(TFileDownloadForm*)> prompt(
            New<TFileDownloadForm>(this), [](TFileDownloadForm* f) { FreeAndNil(f); });
        answer = ShowModalThroughSeam(prompt.get());
    }

    if (answer == TFileDownloadForm::OpenResult)
        ShellOpen(nullptr, base + file, UnicodeString());
    else if (answer == TFileDownloadForm::SaveResult)
        SaveAttachmentCopy(fileSaveDialog, base + L"\\" + file, file, true);
}

void TPlayerForm::function_saveTextFile(const UnicodeString& Args)
{
    UnicodeString text, name;
    SplitArgParts(Args, text, name);
    wchar_t drive = FindRemovableDrive();
    if (!drive) {
        FlashPlayer->SetVariable(L"saveSuccess", L"fail");
        return;
    }
    UnicodeString folder = NoteFolder(drive);
    CreateDir(folder);   // usually there already
    bool saved = WriteAnsiTextFile(folder + name, text);
    // A note that could not be written is reported as such.
    FlashPlayer->SetVariable(L"saveSuccess", saved ? L"success" : L"fail");
}

void TPlayerForm::function_loadTextFile(const UnicodeString& Args)
{
    wchar_t drive = FindRemovableDrive();
    if (!drive) {
        FlashPlayer->SetVariable(L"loadSuccess", L"fail");
        return;
    }
    FlashPlayer->SetVariable(L"loadTxt", NoteFolder(drive));
    FlashPlayer->SetVariable(L"loadSuccess", L"success");
}

void TPlayerForm::function_searchList(const UnicodeString& Args)
{
    UnicodeString list;
    for (const UnicodeString& name : ListEntries(ExeFolderNoSep() + L"\\" + Args + L"\\*.txt"))
        list += name + ArgSeparator;
    FlashPlayer->SetVariable(L"resultList", list);
}

void TPlayerForm::function_InputParameter(const UnicodeString& Args)
{
    const std::vector<UnicodeString>& args = ViewerCommandLine().Args;
    FlashPlayer->SetVariable(L"변수명", args.empty() ? UnicodeString() : args[0]);
}

void TPlayerForm::function_TxtListSaveToFile(const UnicodeString& Args)
{
    UnicodeString folder, suffix;
    SplitArgParts(Args, folder, suffix);
    folder = ThroughAnsi(L"\\" + folder);
    suffix = ThroughAnsi(suffix);
    UnicodeString dir = ExeFolderNoSep() + folder;

    // "&name=a,b&": the base names of the folder's text files, the list
    // files themselves left out; "&name&" when there are none.
    UnicodeString text = L"&name=";
    for (const UnicodeString& name : ListEntries(dir + L"\\*.txt"))
        if (Pos(L"TxtList", name) == 0)
            text += ChangeFileExt(name, L"") + L",";
    text.pop_back();
    text += L"&";

    UnicodeString path = StringReplace(dir + L"\\TxtList" + suffix, L"\\\\\\", L"\\", rfReplaceAll);
    WriteAnsiTextFile(path, text);
}

void TPlayerForm::function_show(const UnicodeString& Args)
{
    UnicodeString file, parameter;
    SplitArgParts(Args, file, parameter);
    ShellOpen(nullptr, L"\"" + ExeFolderNoSep() + L"\\" + file + L"\"", L"\"" + parameter + L"\"");
}
