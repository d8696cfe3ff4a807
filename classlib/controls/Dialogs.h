// Message boxes, message dialogs and the common file dialogs, and the one
// seam that every modal dialog of the program passes.
//
// The dialog seam
// ---------------
// Every message box and modal dialog (ShowMessage, MessageDlg, InputQuery,
// KvMessageBox and so Application->MessageBox, TOpenDialog/TSaveDialog
// Execute, forms shown through ShowModalThroughSeam) first builds a
// TDialogRequest and offers it to the process-wide seam handler.
//  - No handler installed (the program as shipped): the real window is shown.
//  - A handler installed (tests): the handler answers, no window appears.
//
// What a handler returns:
//  - MessageBox:          IDOK, IDCANCEL, IDYES, IDNO ... (1..7, as MessageBoxW)
//  - MessageDlg:          mrOk, mrCancel, mrYes, mrNo ... (same numbers, 8+ for
//                         mrAll, mrNoToAll, mrYesToAll)
//  - ShowMessage:         ignored
//  - OpenDialog/SaveDialog, InputQuery:
//                         IDOK (1, or simply `true`) confirms, anything else
//                         cancels; on confirm the handler may put the chosen
//                         name (or the entered text) in req.FileName, and for
//                         a multi-selection every name in req.Files
//  - ModalForm:           the modal result the form would have returned
//
// Typical test use (GUI thread):
//
//     TDialogSeamScope seam;                   // records, answers IDCANCEL
//     seam.Answer(mrNo);                       // queued answers, in order
//     seam.Answer(IDOK, L"C:\\out\\a.pdf");    // a file dialog's choice
//     ...code under test...
//     ASSERT_EQ(seam.Count(), 2u);
//     EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::MessageDlg);
//     EXPECT_EQ(seam.Requests[0].Text, L"...");
//
// or with a handler of its own: TDialogSeamScope seam([](TDialogRequest& r) {
// return r.Kind == TDialogKind::SaveDialog ? IDOK : IDCANCEL; });
// Scopes nest; each restores the handler that was there before it.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/System.h"
#include "classlib/rtl/TypInfo.h"

// ---------------------------------------------------------------------------
// Message dialog types and buttons.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
    mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose
};

// A set of buttons: MessageDlg(L"...", mtConfirmation, {mbYes, mbNo}, 0).
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// ---------------------------------------------------------------------------
// The seam.
enum class TDialogKind {
    MessageBox,   // KvMessageBox / Application->MessageBox
    MessageDlg,   // MessageDlg
    ShowMessage,  // ShowMessage
    InputQuery,   // InputQuery
    OpenDialog,   // TOpenDialog::Execute
    SaveDialog,   // TSaveDialog::Execute
    ModalForm,    // ShowModalThroughSeam (Dialog = the form, Caption its caption)
    Other         // any other modal dialog
};

struct TDialogRequest {
    TDialogKind Kind = TDialogKind::Other;
    UnicodeString Caption;            // window caption; a file dialog's Title
    UnicodeString Text;               // message text; InputQuery's prompt
    UINT Flags = 0;                   // MessageBox: the MB_* flags as given
    TMsgDlgType DlgType = mtCustom;   // MessageDlg, ShowMessage
    TMsgDlgButtons Buttons;           // MessageDlg, ShowMessage ({mbOK})
    int HelpCtx = 0;                  // MessageDlg
    HWND Owner = nullptr;             // the window that owns the dialog
    TObject* Dialog = nullptr;        // the TOpenDialog/TSaveDialog or the form
    // File dialogs: the proposed name on the way in, the chosen one on the
    // way out; InputQuery: the value likewise.
    UnicodeString FileName;
    std::vector<UnicodeString> Files; // file dialogs: every chosen name
    UnicodeString Filter;             // file dialogs: Filter at Execute
    int FilterIndex = 0;              // file dialogs: FilterIndex at Execute
    UnicodeString DefaultExt;         // file dialogs
    UnicodeString InitialDir;         // file dialogs
};

using TDialogSeamHandler = std::function<int(TDialogRequest& req)>;

// Installs a handler (empty: none) and returns the one it replaces.
TDialogSeamHandler SetDialogSeam(TDialogSeamHandler handler);
bool DialogSeamInstalled();

// For dialog code: when a handler is installed, it answers req and the
// answer goes to result (true); otherwise false and the caller shows the
// real dialog.
bool AskDialogSeam(TDialogRequest& req, int& result);

// Installs a recording handler for its lifetime.  Answers come from the
// queue filled by Answer(), then DefaultAnswer (IDCANCEL: "closed without a
// button", a cancelled file dialog).  With a handler given, that handler
// answers instead and the scope still records.
class TDialogSeamScope {
    TDialogSeamHandler FPrevious;
    TDialogSeamHandler FHandler;
    struct TAnswer {
        int Result;
        UnicodeString FileName;
    };
    std::deque<TAnswer> FAnswers;
    int Handle(TDialogRequest& req);

public:
    TDialogSeamScope();
    explicit TDialogSeamScope(TDialogSeamHandler handler);
    ~TDialogSeamScope();
    TDialogSeamScope(const TDialogSeamScope&) = delete;
    TDialogSeamScope& operator=(const TDialogSeamScope&) = delete;

    // Queues the next answer; fileName is the choice of a file dialog (or
    // the text of an InputQuery) when not empty.
    TDialogSeamScope& Answer(int result, const UnicodeString& fileName = UnicodeString());

    int DefaultAnswer = IDCANCEL;
    // The requests as they were asked (FileName = the proposed name).
    std::vector<TDialogRequest> Requests;
    size_t Count() const { return Requests.size(); }
    const TDialogRequest& Last() const { return Requests.back(); }
};

// ---------------------------------------------------------------------------
// Message boxes.

// The system message box behind the seam; Application->MessageBox calls it.
int KvMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption, UINT flags);

// Captions by dialog type ("Warning", "Error", "Information", "Confirm", "").
UnicodeString MsgDlgCaption(TMsgDlgType type);
// Button captions ("&Yes", "&No", "OK", ...).
UnicodeString MsgDlgButtonCaption(TMsgDlgBtn button);
// The modal result a button gives (mbYes -> mrYes ...; mbHelp gives none).
int MsgDlgButtonResult(TMsgDlgBtn button);

// Shows Msg in the TMessageForm of CreateMessageDialog and returns the modal
// result of the button pressed (mrCancel when the box is closed otherwise).
int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// Msg in a box with the application's title and an OK button.
void ShowMessage(const UnicodeString& Msg);
// Asks for a line of text in a small dialog (caption ACaption, the prompt
// above an edit holding Value).  OK: true and Value = the text entered;
// Cancel: false and Value unchanged.
bool InputQuery(const UnicodeString& ACaption, const UnicodeString& APrompt, UnicodeString& Value);

// The message box form: an icon ("Image", none for mtCustom), the text (the
// label "Message", an '&' shown as it is) and one TButton per button in enumeration order, named
// "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll",
// "YesToAll", "Help", "Close", each with its ModalResult; the OK button (else
// Yes, else Retry) is the default, Cancel (else No, else OK) the cancel one.
// The form is sized to the text (lines wrap at half the screen's width).
class TMessageForm : public TForm {
    KV_CLASS(TMessageForm)
public:
    explicit TMessageForm(TComponent* AOwner) : TForm(AOwner, 0) {}
    TLabel* Message() const { return FMessage; }
    // The button made for B, or nullptr.
    TButton* Button(TMsgDlgBtn B) const;

private:
    friend TForm* CreateMessageDialog(const UnicodeString&, TMsgDlgType, TMsgDlgButtons);
    TLabel* FMessage = nullptr;
    TButton* FButtons[mbClose + 1] = {};
};

// A new TMessageForm, owned by the application; the caller shows and frees it.
TForm* CreateMessageDialog(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// Shows Form modally, through the seam (kind ModalForm: a handler's answer
// is returned, and becomes the form's ModalResult, without showing it).
TModalResult ShowModalThroughSeam(TCustomForm* Form);

// ---------------------------------------------------------------------------
// Common dialogs.

// The skin manager clears it to have the classic dialogs, which it can skin.
// Our file dialogs are always the classic Explorer-style kind and message
// dialogs always a "TMessageForm", so nothing here depends on it.
extern bool UseLatestCommonDialogs;

class TCommonDialog : public TComponent {
    KV_CLASS(TCommonDialog)
    KV_PUBLISHED
public:
    explicit TCommonDialog(TComponent* AOwner);

    // Shows the dialog modally; true when the user confirmed.
    virtual bool Execute() = 0;
    // The dialog's window while it is shown, else nullptr.
    HWND Handle() const { return FHandle; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

    // Called when the dialog window has appeared and when it goes.
    virtual void DoShow();
    virtual void DoClose();

protected:
    HWND FHandle = nullptr;
    int FHelpContext = 0;
};

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp,
    ofNoValidate, ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist,
    ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog,
    ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
    ofDontAddToRecent, ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

// The pairs of a filter "Text files|*.txt|All|*.*": description, patterns.
// A description without patterns at the end is dropped.
std::vector<std::pair<UnicodeString, UnicodeString>> ParseDialogFilter(const UnicodeString& Filter);

class TOpenDialog : public TCommonDialog {
    KV_CLASS(TOpenDialog)
    KV_PUBLISHED
public:
    explicit TOpenDialog(TComponent* AOwner);

    // Shows the system's open dialog owned by the active window.  On OK,
    // FileName, Files and FilterIndex hold the choice.
    bool Execute() override;

    const UnicodeString& Filter() const { return FFilter; }
    void SetFilter(const UnicodeString& Value) { FFilter = Value; }
    int FilterIndex() const { return FFilterIndex; }           // 1-based
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const UnicodeString& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const UnicodeString& Value) { FDefaultExt = Value; }
    // The proposed name before Execute, the chosen one after.
    const UnicodeString& FileName() const { return FFileName; }
    void SetFileName(const UnicodeString& Value) { FFileName = Value; }
    const UnicodeString& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const UnicodeString& Value) { FInitialDir = Value; }
    const UnicodeString& Title() const { return FTitle; }
    void SetTitle(const UnicodeString& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // Every chosen name (full paths), also for a single choice.
    const std::vector<UnicodeString>& Files() const { return FFiles; }
    std::vector<UnicodeString>& HistoryList() { return FHistoryList; }

protected:
    virtual TDialogKind SeamKind() const { return TDialogKind::OpenDialog; }
    // Runs the system dialog on a filled record (GetOpenFileNameW).
    virtual bool RunDialog(OPENFILENAMEW& ofn);

private:
    UnicodeString FFilter;
    int FFilterIndex = 1;
    UnicodeString FDefaultExt;
    UnicodeString FFileName;
    UnicodeString FInitialDir;
    UnicodeString FTitle;
    TOpenOptions FOptions = {ofHideReadOnly, ofEnableSizing};
    std::vector<UnicodeString> FFiles;
    std::vector<UnicodeString> FHistoryList;

    bool ExecuteThroughSeam(bool& confirmed);
    static UINT_PTR CALLBACK HookProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

class TSaveDialog : public TOpenDialog {
    KV_CLASS(TSaveDialog)
    KV_PUBLISHED
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    TDialogKind SeamKind() const override { return TDialogKind::SaveDialog; }
    bool RunDialog(OPENFILENAMEW& ofn) override;
};

// Registers the classes of this unit for form resources.
void RegisterDialogsClasses();
