#include "classlib/controls/Dialogs.h"

#include <utility>

namespace {

// Modal results, as the message box's button ids plus the library's own.
enum : int {
    kMrNone = 0, kMrOk = 1, kMrCancel = 2, kMrAbort = 3, kMrRetry = 4, kMrIgnore = 5,
    kMrYes = 6, kMrNo = 7, kMrAll = 8, kMrNoToAll = 9, kMrYesToAll = 10, kMrClose = 11
};

TDialogSeamHandler& SeamHandler()
{
    static TDialogSeamHandler handler;
    return handler;
}

// The program's title when no application object says otherwise: the
// executable's name without folder and extension.
UnicodeString ExeTitle()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    UnicodeString s = path;
    size_t slash = s.find_last_of(L"\\/");
    if (slash != UnicodeString::npos)
        s.erase(0, slash + 1);
    size_t dot = s.rfind(L'.');
    if (dot != UnicodeString::npos)
        s.erase(dot);
    return s;
}

// MB_* style of a message dialog shown as a system message box.
UINT MsgDlgBoxStyle(TMsgDlgType type, TMsgDlgButtons b)
{
    static const UINT icons[] = {MB_ICONEXCLAMATION, MB_ICONHAND, MB_ICONASTERISK, MB_ICONQUESTION, 0};
    UINT style = icons[type];
    if (b.Contains(mbOK) && b.Contains(mbCancel))
        style |= MB_OKCANCEL;
    else if (b.Contains(mbOK))
        style |= MB_OK;
    else if (b.Contains(mbAbort) || b.Contains(mbIgnore))
        style |= MB_ABORTRETRYIGNORE;
    else if ((b.Contains(mbYes) || b.Contains(mbNo)) && b.Contains(mbCancel))
        style |= MB_YESNOCANCEL;
    else if (b.Contains(mbYes) || b.Contains(mbNo))
        style |= MB_YESNO;
    else if (b.Contains(mbRetry))
        style |= MB_RETRYCANCEL;
    if (b.Contains(mbHelp))
        style |= MB_HELP;
    return style;
}

} // namespace

// ---------------------------------------------------------------------------
// Seam

TDialogSeamHandler SetDialogSeam(TDialogSeamHandler handler)
{
    return std::exchange(SeamHandler(), std::move(handler));
}

bool DialogSeamInstalled()
{
    return static_cast<bool>(SeamHandler());
}

bool AskDialogSeam(TDialogRequest& req, int& result)
{
    // A copy, so that a handler may replace the seam while it answers.
    TDialogSeamHandler handler = SeamHandler();
    if (!handler)
        return false;
    result = handler(req);
    return true;
}

TDialogSeamScope::TDialogSeamScope()
{
    FPrevious = SetDialogSeam([this](TDialogRequest& req) { return Handle(req); });
}

TDialogSeamScope::TDialogSeamScope(TDialogSeamHandler handler) : FHandler(std::move(handler))
{
    FPrevious = SetDialogSeam([this](TDialogRequest& req) { return Handle(req); });
}

TDialogSeamScope::~TDialogSeamScope()
{
    SetDialogSeam(std::move(FPrevious));
}

TDialogSeamScope& TDialogSeamScope::Answer(int result, const UnicodeString& fileName)
{
    FAnswers.push_back({result, fileName});
    return *this;
}

int TDialogSeamScope::Handle(TDialogRequest& req)
{
    int result = DefaultAnswer;
    if (FHandler) {
        result = FHandler(req);
    } else if (!FAnswers.empty()) {
        TAnswer a = std::move(FAnswers.front());
        FAnswers.pop_front();
        result = a.Result;
        if (!a.FileName.empty()) {
            req.FileName = a.FileName;
            req.Files.assign(1, a.FileName);
        }
    }
    Requests.push_back(req);
    return result;
}

// ---------------------------------------------------------------------------
// Message boxes

int KvMessageBox(HWND owner, const UnicodeString& text, const UnicodeString& caption, UINT flags)
{
    TDialogRequest req;
    req.Kind = TDialogKind::MessageBox;
    req.Caption = caption;
    req.Text = text;
    req.Flags = flags;
    req.Owner = owner;
    int result = 0;
    if (AskDialogSeam(req, result))
        return result;
    return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

UnicodeString MsgDlgCaption(TMsgDlgType type)
{
    static const wchar_t* const captions[] = {L"Warning", L"Error", L"Information", L"Confirm", L""};
    return (type >= mtWarning && type <= mtCustom) ? captions[type] : L"";
}

UnicodeString MsgDlgButtonCaption(TMsgDlgBtn button)
{
    static const wchar_t* const captions[] = {
        L"&Yes", L"&No", L"OK", L"Cancel", L"&Abort", L"&Retry", L"&Ignore",
        L"&All", L"N&o to All", L"Yes to &All", L"&Help", L"&Close"};
    return (button >= mbYes && button <= mbClose) ? captions[button] : L"";
}

int MsgDlgButtonResult(TMsgDlgBtn button)
{
    static const int results[] = {
        kMrYes, kMrNo, kMrOk, kMrCancel, kMrAbort, kMrRetry, kMrIgnore,
        kMrAll, kMrNoToAll, kMrYesToAll, kMrNone, kMrClose};
    return (button >= mbYes && button <= mbClose) ? results[button] : kMrNone;
}

int MessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    TDialogRequest req;
    req.Kind = TDialogKind::MessageDlg;
    req.Caption = MsgDlgCaption(DlgType);
    req.Text = Msg;
    req.DlgType = DlgType;
    req.Buttons = Buttons;
    req.HelpCtx = HelpCtx;
    req.Owner = GetActiveWindow();
    int result = 0;
    if (AskDialogSeam(req, result))
        return result;
    UnicodeString caption = DlgType == mtCustom ? ExeTitle() : req.Caption;
    return MessageBoxW(req.Owner, Msg.c_str(), caption.c_str(), MsgDlgBoxStyle(DlgType, Buttons));
}

void ShowMessage(const UnicodeString& Msg)
{
    TDialogRequest req;
    req.Kind = TDialogKind::ShowMessage;
    req.Caption = ExeTitle();
    req.Text = Msg;
    req.Buttons = {mbOK};
    req.Owner = GetActiveWindow();
    int result = 0;
    if (AskDialogSeam(req, result))
        return;
    MessageBoxW(req.Owner, Msg.c_str(), req.Caption.c_str(), MB_OK);
}
