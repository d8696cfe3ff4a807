// A pop-up player window: plays a further movie of the book beside the main
// window.  Its window styles come from the "ChildForm" section of the
// executable's ".ini" file; it frees itself when closed.
#pragma once

#include "app/VKBViewerMainFormUnitFunctions.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/ole/ShockwaveFlashObjects.h"

class TChildForm : public TForm {
    KV_CLASS(TChildForm)
    KV_PUBLISHED
public:
    explicit TChildForm(TComponent* AOwner);

    // Components of the form resource.
    TPanel* BackPanel = nullptr;
    TShockwaveFlash* ShockwaveFlash1 = nullptr;   // nullptr once the window closed
    TSaveDialog* fileSaveDialog = nullptr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // The movie's commands.
    void ShockwaveFlash1FSCommand(TObject* Sender, const UnicodeString& command, const UnicodeString& args);
    // The movie's window-state words.
    void HandleFormControl(const UnicodeString& args);

protected:
    void Loaded() override;

private:
    // One command of the movie.
    void RunMovieCommand(const UnicodeString& command, const UnicodeString& args);
    // Closes the window once the movie's command in progress is done: the
    // movie asks from inside its control's event, and closing destroys
    // that control.  The movie's later commands are dropped.
    void CloseRequest();
    void PostClose();
    // After each command: a close asked for meanwhile goes ahead.
    void CommandDone();

    bool FRunningCommand = false;
    bool FCloseRequested = false;
    bool FClosePosted = false;
};
