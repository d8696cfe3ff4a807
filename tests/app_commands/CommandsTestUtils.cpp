#include "CommandsTestUtils.h"

#include <cstdio>

#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "support/WineHost.h"

std::string Ansi(const UnicodeString& s)
{
    return UnicodeToAnsi(s);
}

// ---------------------------------------------------------------------------
TBook::TBook(std::vector<UnicodeString> args) : FSavedLine(ViewerCommandLine()), FSavedCurrentDir(GetCurrentDir())
{
    ViewerCommandLine().ExeName = Exe();
    ViewerCommandLine().Args = std::move(args);
    PlayerForm = nullptr;
    Form.reset(New<TPlayerForm>(nullptr));
}

TBook::~TBook()
{
    Form.reset();
    ViewerCommandLine() = FSavedLine;
    PlayerForm = nullptr;
    SetCurrentDir(FSavedCurrentDir);
}

UnicodeString TBook::Put(const UnicodeString& relative, const std::string& bytes)
{
    UnicodeString path = Dir / relative;
    WriteBytes(path, bytes);
    return path;
}

void TBook::Command(const UnicodeString& command, const UnicodeString& args)
{
    Form->FlashPlayerFSCommand(Form->FlashPlayer, command, args);
}

UnicodeString TBook::Variable(const UnicodeString& name)
{
    return Form->FlashPlayer->GetVariable(name);
}

// ---------------------------------------------------------------------------
namespace {

TShellExecuteAProc SavedShellExecute = nullptr;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                    INT show)
{
    auto text = [](LPCSTR s) { return s ? std::string(s) : std::string("(null)"); };
    TShellRecorder::Calls().push_back({owner, text(verb), text(file), text(parameters), text(directory), show});
    return reinterpret_cast<HINSTANCE>(2);   // "file not found", as for a function name
}

} // namespace

TShellRecorder::TShellRecorder()
{
    Calls().clear();
    SavedShellExecute = ViewerShellExecuteA;
    ViewerShellExecuteA = RecordShellExecute;
}

TShellRecorder::~TShellRecorder()
{
    ViewerShellExecuteA = SavedShellExecute;
}

std::vector<TShellCall>& TShellRecorder::Calls()
{
    static std::vector<TShellCall> calls;
    return calls;
}

// ---------------------------------------------------------------------------
bool TRemovableDrive::Define(wchar_t letter, const std::string& unixPath)
{
    return DefineWineDrive(letter, unixPath, DRIVE_REMOVABLE);
}

TRemovableDrive::TRemovableDrive(wchar_t letter) : FLetter(letter)
{
    Define(FLetter, std::string());   // a leftover of an interrupted run
    std::string host = HostPath(FFolder.Path());
    const char root[] = {char(FLetter), ':', '\\', '\0'};
    FMapped = !host.empty() && Define(FLetter, host) && GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

TRemovableDrive::~TRemovableDrive()
{
    Define(FLetter, std::string());
}
