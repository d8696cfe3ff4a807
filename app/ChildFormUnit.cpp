#include "app/ChildFormUnit.h"

#include "app/INIController.h"
#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/rtl/SysUtils.h"

namespace {

// Calling each unit's registration also links that unit in.
const bool ClassesRegistered = [] {
    RegisterFlashClasses();
    RegisterExtCtrlsClasses();
    RegisterDialogsClasses();
    RegisterClass<TChildForm>();
    return true;
}();

// The restored size when the ".ini" gives none: the movie's size plus the frame.
constexpr int DefaultChildWidth = 1024;
constexpr int DefaultChildHeight = 700;
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 32;

} // namespace

KV_BEGIN_PUBLISHED(TChildForm, TForm)
    B.Method(L"FormCreate", &C::FormCreate);
    B.Method(L"FormShow", &C::FormShow);
    B.Method(L"FormClose", &C::FormClose);
    B.Method(L"ShockwaveFlash1FSCommand", &C::ShockwaveFlash1FSCommand);
KV_END_PUBLISHED

TChildForm::TChildForm(TComponent* AOwner) : TForm(AOwner)
{
}

void TChildForm::Loaded()
{
    BackPanel = dynamic_cast<TPanel*>(FindComponent(L"BackPanel"));
    ShockwaveFlash1 = dynamic_cast<TShockwaveFlash*>(FindComponent(L"ShockwaveFlash1"));
    fileSaveDialog = dynamic_cast<TSaveDialog*>(FindComponent(L"fileSaveDialog"));
    TForm::Loaded();
}

void TChildForm::FormCreate(TObject* Sender)
{
    ShockwaveFlash1->SetMovie(L"about:blank");

    INIController* ini = INIController::GetInstance();
    if (ini->GetChildWindowState() == L"wsMaximized") {
        SetWindowState(wsMaximized);
    } else {
        // The window is designed maximised: this is its restored size.
        SetWidth(StrToIntDef(ini->GetChildWidth(), DefaultChildWidth) + FrameWidth);
        SetHeight(StrToIntDef(ini->GetChildHeight(), DefaultChildHeight) + FrameHeight);
    }

    UnicodeString border = ini->GetChildBorderStyle();
    if (border == L"bsNone")
        SetBorderStyle(bsNone);
    else if (border == L"bsDialog")
        SetBorderStyle(bsDialog);
    else if (border == L"bsSizeToolWin")
        SetBorderStyle(bsSizeToolWin);

    ShockwaveFlash1->SetScale(ini->GetChildScale());
}

void TChildForm::FormShow(TObject* Sender)
{
    if (!ShockwaveFlash1)
        return;
    ShockwaveFlash1->SetTop((Screen->Height() - ShockwaveFlash1->Height()) / 2);
    ShockwaveFlash1->SetLeft((Screen->Width() - ShockwaveFlash1->Width()) / 2);
}

void TChildForm::FormClose(TObject* Sender, TCloseAction& Action)
{
    if (FRunningCommand) {
        // A command of the movie is still running (its dialog is open) and
        // uses this window and its control: close when it is done.
        Action = caNone;
        FCloseRequested = true;
        return;
    }
    if (ShockwaveFlash1) {
        if (ShockwaveFlash1->CanFocus())
            ShockwaveFlash1->SetFocus();
        FreeAndNil(ShockwaveFlash1);   // its waiting commands go with it
    }
    Action = caFree;
}

void TChildForm::CloseRequest()
{
    FCloseRequested = true;
    if (!FRunningCommand)
        PostClose();
}

void TChildForm::PostClose()
{
    if (FClosePosted)
        return;
    FClosePosted = true;
    if (HandleAllocated())
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
    else
        Close();
}

void TChildForm::ShockwaveFlash1FSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args)
{
    if (FCloseRequested)
        return;   // the window is on its way out
    FRunningCommand = true;
    try {
        RunMovieCommand(command, args);
    } catch (...) {
        CommandDone();
        throw;
    }
    CommandDone();
}

void TChildForm::CommandDone()
{
    FRunningCommand = false;
    if (FCloseRequested)
        PostClose();
}

void TChildForm::RunMovieCommand(const UnicodeString& command, const UnicodeString& args)
{
    // The pop-up's movie writes its paths as they are: no "/" conversion here.
    UnicodeString name, functionArgs;
    SplitFunctionArgs(args, name, functionArgs);

    if (command == L"formcontrol") {
        HandleFormControl(args);
    } else if (name == L"function_close") {
        CloseRequest();
    } else if (name == L"function_copyfile") {
        UnicodeString source = ExeFolder() + functionArgs;
        SaveAttachmentCopy(fileSaveDialog, source, ExtractFileName(source), false);
    } else {
        ShellOpen(nullptr, args, UnicodeString());
    }
}

void TChildForm::HandleFormControl(const UnicodeString& args)
{
    if (args == L"wsMinimized")
        SetWindowState(wsMinimized);
    else if (args == L"wsMaximized" || args == L"wmMaximized")
        SetWindowState(wsMaximized);
    else if (args == L"Close")
        CloseRequest();
}
