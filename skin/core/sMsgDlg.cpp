#include "skin/core/sMsgDlg.h"

#include "classlib/controls/Forms.h"

int DlgLeft = -1;
int DlgTop = -1;

namespace {

UINT IconOf(TMsgDlgType DlgType)
{
    switch (DlgType) {
    case mtWarning: return MB_ICONEXCLAMATION;
    case mtError: return MB_ICONHAND;
    case mtInformation: return MB_ICONASTERISK;
    case mtConfirmation: return MB_ICONQUESTION;
    default: return 0;
    }
}

UINT LayoutOf(TMsgDlgButtons B)
{
    if (B.Contains(mbOK))
        return B.Contains(mbCancel) ? MB_OKCANCEL : MB_OK;
    if (B.Contains(mbAbort) || B.Contains(mbIgnore))
        return MB_ABORTRETRYIGNORE;
    if (B.Contains(mbYes) || B.Contains(mbNo))
        return B.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    if (B.Contains(mbRetry))
        return MB_RETRYCANCEL;
    return MB_OK;
}

// The box counts as a modal phase of the application.  It is owned by the
// thread's active window, or by the application window when there is none.
// It does not go through Application->MessageBox, which would put the
// application's title in place of the empty caption of a custom box.
int ShowApplicationMessageBox(const UnicodeString& Text, const UnicodeString& Caption, UINT Style)
{
    if (!Application)
        return KvMessageBox(GetActiveWindow(), Text, Caption, Style);
    struct TModalPhase {
        TModalPhase() { Application->ModalStarted(); }
        ~TModalPhase() { Application->ModalFinished(); }
    } phase;
    HWND active = GetActiveWindow();
    return KvMessageBox(active ? active : Application->Handle(), Text, Caption, Style);
}

// Puts the placement globals back however the box ends.
struct TPlacement {
    TPlacement(int X, int Y)
    {
        DlgLeft = X;
        DlgTop = Y;
    }
    ~TPlacement()
    {
        DlgLeft = -1;
        DlgTop = -1;
    }
};

} // namespace

UINT sMessageDlgStyle(TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    UINT style = IconOf(DlgType) | MB_TOPMOST | MB_SETFOREGROUND | LayoutOf(Buttons);
    if (Buttons.Contains(mbHelp))
        style |= MB_HELP;
    return style;
}

int sMessageDlgPosHelp(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType,
                       TMsgDlgButtons Buttons, int HelpCtx, int X, int Y, const UnicodeString& HelpFileName)
{
    UnicodeString caption = Title.empty() ? MsgDlgCaption(DlgType) : Title;
    UINT style = sMessageDlgStyle(DlgType, Buttons);
    TPlacement placement(X, Y);
    return ShowApplicationMessageBox(Msg, caption, style);
}

int sMessageDlg(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx)
{
    return sMessageDlgPosHelp(UnicodeString(), Msg, DlgType, Buttons, HelpCtx, -1, -1, UnicodeString());
}

int sMessageDlg(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                int HelpCtx)
{
    return sMessageDlgPosHelp(Title, Msg, DlgType, Buttons, HelpCtx, -1, -1, UnicodeString());
}

int sMessageDlgPos(const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y)
{
    return sMessageDlgPosHelp(UnicodeString(), Msg, DlgType, Buttons, HelpCtx, X, Y, UnicodeString());
}

int sMessageDlgPos(const UnicodeString& Title, const UnicodeString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                   int HelpCtx, int X, int Y)
{
    return sMessageDlgPosHelp(Title, Msg, DlgType, Buttons, HelpCtx, X, Y, UnicodeString());
}

void sShowMessage(const UnicodeString& Msg)
{
    sShowMessagePos(Msg, -1, -1);
}

void sShowMessage(const UnicodeString& Title, const UnicodeString& Msg)
{
    sShowMessagePos(Title, Msg, -1, -1);
}

void sShowMessagePos(const UnicodeString& Msg, int X, int Y)
{
    sMessageDlgPos(Msg, mtCustom, {mbOK}, 0, X, Y);
}

void sShowMessagePos(const UnicodeString& Title, const UnicodeString& Msg, int X, int Y)
{
    sMessageDlgPos(Title, Msg, mtCustom, {mbOK}, 0, X, Y);
}
