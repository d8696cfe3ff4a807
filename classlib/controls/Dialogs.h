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

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

#include "classlib/rtl/System.h"

// ---------------------------------------------------------------------------
// Message dialog types and buttons.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
    mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose
};

// A set of buttons: MessageDlg(L"...", mtConfirmation, {mbYes, mbNo}, 0).
class TMsgDlgButtons {
    uint32_t FBits = 0;

public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons)
            FBits |= 1u << b;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (FBits >> b) & 1u; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint32_t Bits() const { return FBits; }
    constexpr TMsgDlgButtons& operator<<(TMsgDlgBtn b) { FBits |= 1u << b; return *this; }
    constexpr TMsgDlgButtons& operator>>(TMsgDlgBtn b) { FBits &= ~(1u << b); return *this; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;
};

// ---------------------------------------------------------------------------
// The seam.
enum class TDialogKind {
    MessageBox,   // KvMessageBox / Application->MessageBox
    MessageDlg,   // MessageDlg
    ShowMessage,  // ShowMessage
    InputQuery,   // InputQuery
    OpenDialog,   // TOpenDialog::Execute
    SaveDialog,   // TSaveDialog::Execute
    ModalForm,    // ShowModalThroughSeam
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
    std::vector<TDialogRequest> Requests;   // as answered (FileName = choice)
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

// Shows Msg and returns the modal result of the button pressed.
int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// Msg in a box with the application's title and an OK button.
void ShowMessage(const UnicodeString& Msg);
