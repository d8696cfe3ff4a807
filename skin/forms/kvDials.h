// The window-creation hook: the door through which the skin library reaches
// windows nobody hands to it.  The default skin manager installs it (WH_CBT,
// GUI thread only) when it announces its first skin and removes it with the
// skin; every window created or activated on that thread passes through
// SkinHookCBT, and AddSupportedForm's rule decides what the window gets.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/rtl/Classes.h"

class TkvDialogWnd;
class TkvMainWnd;
class TkvMnuWnd;
class TsSkinProvider;

// One window the hook took over: a form (sp set) or a standard dialog
// (CtrlHandle and ListSW set).
class TkvProvider : public TComponent {
    KV_CLASS(TkvProvider)
public:
    explicit TkvProvider(TComponent* AOwner) : TComponent(AOwner) {}
    // The entry empties its own slot of kvSupportedList.
    ~TkvProvider() override;
    // Puts a run-time skin provider on the form (the form owns it; this
    // entry only watches it).
    void InitForm(TForm* Form);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Makes the dialog skinner of aHandle and wraps its standard controls.
    // False when a control could not be walked (the entry then leaves
    // kvSupportedList).  Without an active manager nothing is made: the
    // answer is False and the entry leaves the list too.
    bool InitSkin(HWND aHandle);
    // Wraps the child windows of hWnd, each after its own children.
    bool InitHwndControls(HWND hWnd);
    // Wraps one child window with the wrapper its class and style call for.
    bool AddControl(HWND aHwnd);
    // The wrapper of the child window hwnd; nullptr when it has none.
    TkvMainWnd* FindCtrlInList(HWND hwnd) const;

    TForm* FForm = nullptr;
    bool BiDiLeft = false;
    HWND CtrlHandle = nullptr;      // the dialog; 0 for a form
    TsSkinProvider* sp = nullptr;   // the form's provider (the form owns it)
    TkvDialogWnd* ListSW = nullptr; // the dialog's wrapper (owned)
    std::vector<TkvMainWnd*> kvSkinnedCtrls; // the wrappers of its children (owned)
};

// DlgLeft and DlgTop (skin/core/sMsgDlg.h): where the next dialog the
// skinner takes is placed; -1 keeps the dialog's own coordinate on that axis.

// Makes (or, without an active default manager, frees) the dialog
// wrapper of AHandle; a wrapper whose window went is remade.
void InitDialog(HWND AHandle, TkvDialogWnd*& Wnd);
// The window's text.
UnicodeString GetWndText(HWND hwnd);
// Prints the visible child windows of hWnd, at any depth, into DC in
// hWnd's client coordinates (WM_PRINT).
void PrintHwndControls(HWND hWnd, HDC DC);

using TkvMnuArray = std::vector<TkvMnuWnd*>;

// The hook's handle, through which it calls the next hook; 0 when not installed.
extern HHOOK HookCallback;
// One entry per window handled by the hook; slots may be empty (nullptr).
// Exists while the hook is installed.
extern std::vector<TkvProvider*>* kvSupportedList;
// The wrappers of the open popup-menu windows; slots may be empty.
extern TkvMnuArray MnuArray;

LRESULT CALLBACK SkinHookCBT(int Code, WPARAM WParam, LPARAM LParam);

// What the hook's rule gives a window.
enum TkvSkinnerKind { skNone, skForm, skDialog };

// The rule of AddSupportedForm: a form of the class library gets a form
// skinner (Form is set), a parentless standard dialog a dialog skinner.
TkvSkinnerKind SkinnerFor(HWND Handle, const CREATESTRUCTW* CreateStruct, TCustomForm*& Form);
// Attaches a skinner to the window when the rule allows it; True when one
// was attached.
bool AddSupportedForm(HWND Handle, const CREATESTRUCTW* CreateStruct);
// A popup-menu window being created gets a menu wrapper.
bool PopupMenuWanted(HWND Handle);
// A top-level window being created is looked at by the rule (the others
// wait for their activation).
bool TakenAtCreation(HWND Handle, const CREATESTRUCTW& CreateStruct);

// The window's class name (at most 127 characters).
UnicodeString GetWndClassName(HWND Handle);
// The entry of the skinned dialog Handle, else nullptr.
TkvProvider* FindFormInList(HWND Handle);
// The form of the class library that owns the window (an MDI child
// included), else nullptr; a form's window is made when it has none yet.
TCustomForm* FindFormOnScreen(HWND Handle);
// How many skinned dialogs are visible.
int VisibleDlgCount();
// Some descendant of Handle, at any depth, has the lower-cased class name ClassName.
bool ControlExists(HWND Handle, const UnicodeString& ClassName);
// Sends the message to each direct child of Handle; answers are dropped.
void BroadCastHwnd(HWND Handle, const TMessage& Message);
// Frees the entries of skinned dialogs whose window is gone, leaving holes.
void CleanArray();
// Forgets the popup-menu wrappers (each frees itself with its window).
void ClearMnuArray();

// Installs the thread's creation hook: False when the thread has one
// already or the system refused.
bool InstallSkinHook();
// Removes it, with every skinner it attached to a dialog.
void UnInstallSkinHook();
// The windows of the skinned dialogs that are visible now.
std::vector<HWND> VisibleSkinnedDialogs();

// Registers the form skinning's services with the skin manager.
void RegisterSkinFormsServices();
