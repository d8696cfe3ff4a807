// The movie's commands to the main window: window-state words, pop-up
// player windows, the book-folder hint, fixed window actions, shell-open
// requests and the named file and text functions.
#include <windows.h>

#include "app/ChildFormUnit.h"
#include "app/VKBViewerMainFormUnit.h"
#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"

namespace {

// How long "function_forward" waits before bringing the window forward.
constexpr DWORD ForwardDelayMs = 3000;

using TFunctionHandler = void (TPlayerForm::*)(const UnicodeString& Args);

struct TNamedFunction {
    const wchar_t* Name;
    TFunctionHandler Handler;
};

// The functions a movie reaches with "exec", in the order they are tried.
const TNamedFunction NamedFunctions[] = {
    {L"function_imgcopy", &TPlayerForm::function_imgcopy},
    {L"function_doccopy", &TPlayerForm::function_doccopy},
    {L"function_copyfile", &TPlayerForm::function_copyfile},
    {L"function_copyfileModal", &TPlayerForm::function_copyfileModal},
    {L"function_saveTextFile", &TPlayerForm::function_saveTextFile},
    {L"function_loadTextFile", &TPlayerForm::function_loadTextFile},
    {L"function_searchList", &TPlayerForm::function_searchList},
    {L"function_InputParameter", &TPlayerForm::function_InputParameter},
    {L"function_TxtListSaveToFile", &TPlayerForm::function_TxtListSaveToFile},
    {L"function_show", &TPlayerForm::function_show},
};

} // namespace

void TPlayerForm::FlashPlayerFSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args)
{
    // The movie writes paths with "/".
    const UnicodeString arguments = StringReplace(args, L"/", L"\\", rfReplaceAll);

    if (command == L"function") {
        HandleFunctionCommand(arguments);
        return;
    }
    if (command == L"formcontrol") {
        HandleFormControl(arguments);
        return;
    }
    if (command == L"MoveSkin") {
        FMoveSkin = arguments;
        return;
    }

    UnicodeString name, functionArgs;
    SplitFunctionArgs(arguments, name, functionArgs);

    if (arguments == L"function_full") {
        SetWindowState(wsMaximized);
        return;
    }
    if (arguments == L"function_close") {
        Close();
        return;
    }
    if (arguments == L"function_forward") {
        ::Sleep(ForwardDelayMs);
        const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
        ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, flags);
        ::SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        ::SetForegroundWindow(Handle());
    } else {
        if (command != L"exec")
            return;
        ShellOpenCommand(arguments);
    }

    for (const TNamedFunction& f : NamedFunctions)
        if (name == f.Name) {
            (this->*f.Handler)(functionArgs);
            break;
        }
}

void TPlayerForm::ShellOpenCommand(const UnicodeString& Args)
{
    UnicodeString file = Args, parameters;
    if (Args.find(ArgSeparator) != UnicodeString::npos) {
        UnicodeString tail, second, rest;
        SplitFunctionArgs(Args, file, tail);
        SplitArgParts(tail, second, rest);
        parameters = second + L" " + rest;
    }

    SetCurrentDir(ExeFolder());

    const UnicodeString fileUrl = L"file:\\\\";
    size_t at = file.find(fileUrl);
    if (at != UnicodeString::npos)
        file = file.substr(at + fileUrl.size());
    // A movie writes "C|" for a drive.
    file = StringReplace(file, L"|", L":", rfReplaceAll);

    ShellOpen(Handle(), file, parameters);
}

void TPlayerForm::HandleFormControl(const UnicodeString& Args)
{
    if (Args == L"wsMinimized") {
        SetWindowState(wsMinimized);
    } else if (Args == L"wsMaximized" || Args == L"wmMaximized") {
        SetWindowState(wsMaximized);
    } else if (Args == L"wsNormal") {
        SetWindowState(wsNormal);
    } else if (Args == L"Close") {
        Close();
    } else if (Args == L"resize") {
        if (WindowState() == wsNormal)
            SetWindowState(wsMaximized);
        else if (WindowState() == wsMaximized)
            SetWindowState(wsNormal);
    }
}

void TPlayerForm::HandleFunctionCommand(const UnicodeString& Args)
{
    UnicodeString head, tail;
    SplitArgParts(Args, head, tail);
    // Both parts pass through the ANSI code page.
    head = AnsiToUnicode(UnicodeToAnsi(head));
    tail = AnsiToUnicode(UnicodeToAnsi(tail));
    if (head != L"PopUpForm")
        return;

    UnicodeString movie, pageArgs, page, rest;
    SplitFunctionArgs(tail, movie, pageArgs);
    movie = StringReplace(movie, L"/", L"\\", rfReplaceAll);
    // Only the first part of the page counts.
    SplitFunctionArgs(pageArgs, page, rest);

    OpenPopUp(FindPopUpMovie(movie), page);
}

UnicodeString TPlayerForm::FindPopUpMovie(const UnicodeString& Movie)
{
    const UnicodeString contents = L"_Page_img\\contents\\";
    const UnicodeString candidates[] = {
        ExeFolder() + Movie,
        contents + Movie,   // below the current folder, which "exec" sets
        ExeFolder() + ChangeFileExt(FMoveSkin, L"") + contents + Movie,
    };
    for (const UnicodeString& path : candidates)
        if (FileExists(path))
            return path;
    return ExeFolder() + ExeBaseName() + contents + Movie;
}

TChildForm* TPlayerForm::OpenPopUp(const UnicodeString& Movie, const UnicodeString& Page)
{
    TChildForm* popUp = New<TChildForm>(this);
    popUp->ShockwaveFlash1->SetMovie(Movie);
    popUp->ShockwaveFlash1->SetVariable(L"_root.BOOKLOAD_FIRSTPAGE", Page);
    popUp->Show();
    return popUp;
}
