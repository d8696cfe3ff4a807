// The viewer's main window: hosts the Flash control that plays the book
// movie, takes its title and size from the book's page settings, passes a
// start page from the command line to the movie and asks before closing.
#pragma once

#include <vector>

#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "classlib/ole/ShockwaveFlashObjects.h"

class TChildForm;
class TsSkinManager;

class TPlayerForm : public TForm {
    KV_CLASS(TPlayerForm)
    KV_PUBLISHED
public:
    explicit TPlayerForm(TComponent* AOwner);
    ~TPlayerForm() override;

    // Components of the form resource.
    TShockwaveFlash* FlashPlayer = nullptr;
    TSaveDialog* imgSaveDialog = nullptr;
    TSaveDialog* fileSaveDialog = nullptr;
    TOpenDialog* FileOpenDialog = nullptr;
    TsSkinManager* sSkinManager1 = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The movie's commands (the control raises them one at a time).
    void FlashPlayerFSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args);

    // Movie command dispatch
    void HandleFunctionCommand(const UnicodeString& Args);
    void HandleFormControl(const UnicodeString& Args);
    // The shell-open of the command "exec".
    void ShellOpenCommand(const UnicodeString& Args);
    // The first existing of the places a pop-up movie may be.
    UnicodeString FindPopUpMovie(const UnicodeString& Movie);
    // A new pop-up window owned by this one, playing Movie from Page.
    TChildForm* OpenPopUp(const UnicodeString& Movie, const UnicodeString& Page);

    // Movie file and text functions (command "exec", name@@@arguments)
    void function_imgcopy(const UnicodeString& Args);
    void function_doccopy(const UnicodeString& Args);
    void function_copyfile(const UnicodeString& Args);
    void function_copyfileModal(const UnicodeString& Args);
    void function_saveTextFile(const UnicodeString& Args);
    void function_loadTextFile(const UnicodeString& Args);
    void function_searchList(const UnicodeString& Args);
    void function_InputParameter(const UnicodeString& Args);
    void function_TxtListSaveToFile(const UnicodeString& Args);
    void function_show(const UnicodeString& Args);

    // Replaces the component-name setter: the value becomes the main
    // window's caption, and the form keeps no component name.
    void SetName(const UnicodeString& Value) override;
    void Loaded() override;

    // The book folder hint of the movie command "MoveSkin".
    const UnicodeString& MoveSkin() const { return FMoveSkin; }

private:
    UnicodeString FMoveSkin;
};

// The main window, filled by the application object before the window's
// constructor runs, and cleared when that window is destroyed.
extern TPlayerForm* PlayerForm;

// The command line as the main window reads it: the executable's path and
// the arguments after it.  Taken from the process on first use; tests put
// their own.
struct TViewerCommandLine {
    UnicodeString ExeName;
    std::vector<UnicodeString> Args;
};
TViewerCommandLine& ViewerCommandLine();

// The book the window opens: the first argument, unless there is none or it
// contains "-p" (a start page), in which case the executable itself.
UnicodeString BookPath(const TViewerCommandLine& CommandLine);
// True when the first argument contains "-p"; Page is then that argument
// from its third character on (possibly empty).
bool StartPage(const TViewerCommandLine& CommandLine, UnicodeString& Page);
