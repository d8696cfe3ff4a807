// Forms, the application object and the screen.
//
// A form class with a form resource is created with New<TMyForm>(Owner) or
// Application->CreateForm(MyForm): once constructed, its resource (RCDATA
// named after the upper-case class name) is read, then OnCreate runs.  A form
// made in code is created with the CreateNew constructor, TForm(Owner, 0),
// which reads nothing.
#pragma once

#include <windows.h>

#include <new>
#include <vector>

#include "classlib/controls/Controls.h"

class TMainMenu;
class TMenuItem;
class TForm;

// ---------------------------------------------------------------------------
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TTileMode { tbHorizontal, tbVertical };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;          // 1
constexpr TModalResult mrCancel = IDCANCEL;  // 2
constexpr TModalResult mrAbort = IDABORT;    // 3
constexpr TModalResult mrRetry = IDRETRY;    // 4
constexpr TModalResult mrIgnore = IDIGNORE;  // 5
constexpr TModalResult mrYes = IDYES;        // 6
constexpr TModalResult mrNo = IDNO;          // 7
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;
constexpr TModalResult mrClose = mrYesToAll + 1;

using TCloseEvent = TMethod<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TMethod<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = TMethod<void(TObject* Sender, Exception* E)>;
using TWindowHook = TMethod<bool(TMessage& Message)>;

// ---------------------------------------------------------------------------
// Scrolling controls.  With AutoScroll the ranges follow the children: the
// right and bottom edges of the children that are not aligned to the far
// side, plus the sizes of those that are.  A bar shows while its range is
// larger than the client area; moving it moves the children.
enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollingWinControl;

class TControlScrollBar : public TPersistent {
    KV_CLASS(TControlScrollBar)
    KV_PUBLISHED
public:
    TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind);

    TScrollBarKind Kind() const { return FKind; }
    // The step of the bar's arrows.
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value > 0 ? Value : 1; }
    // Room added after the farthest child.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Range() const { return FRange; }
    void SetRange(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Tracking() const { return FTracking; }
    void SetTracking(bool Value) { FTracking = Value; }
    // Whether the bar shows now.
    bool IsScrollBarVisible() const { return FShown; }
    // Position while the bar shows, 0 otherwise.
    int ScrollPos() const { return FShown ? FPosition : 0; }
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    friend class TScrollingWinControl;
    // Sets the range a child layout asks for (AutoScroll).
    void SetAutoRange(int Value);
    // Shows or hides the bar for a client extent of PageSize.
    void Apply(bool Show, int PageSize);
    void ScrollMessage(TMessage& Message);
    int BarCode() const { return FKind == sbHorizontal ? SB_HORZ : SB_VERT; }

    TScrollingWinControl* FControl;
    TScrollBarKind FKind;
    int FIncrement = 8;
    int FMargin = 0;
    int FPosition = 0;
    int FRange = 0;
    int FCalcRange = 0;
    int FPageSize = 0;
    bool FVisible = true;
    bool FTracking = false;
    bool FShown = false;
};

class TScrollingWinControl : public TWinControl {
    KV_CLASS(TScrollingWinControl)
    KV_PUBLISHED
public:
    explicit TScrollingWinControl(TComponent* AOwner);
    ~TScrollingWinControl() override;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);
    TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar; }
    void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
    TControlScrollBar* VertScrollBar() const { return FVertScrollBar; }
    void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }
    // Moves the children by (DeltaX, DeltaY) and repaints.
    virtual void ScrollBy(int DeltaX, int DeltaY);
    // Scrolls so that AControl (a child) lies inside the client area.
    void ScrollInView(TControl* AControl);
    // While disabled, child changes do not recompute the ranges.
    void DisableAutoRange() { ++FAutoRangeCount; }
    void EnableAutoRange();
    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void Loaded() override;
    // Children are aligned in the scrolled area, at least the client size.
    void AdjustClientRect(TRect& Rect) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void ControlBoundsChanged(TControl* Control) override;
    // Recomputes the ranges (AutoScroll) and shows or hides the bars.
    void CalcAutoRange();
    void UpdateScrollBars();

private:
    friend class TControlScrollBar;
    int AutoRange(TScrollBarKind Kind) const;
    TControlScrollBar* FHorzScrollBar;
    TControlScrollBar* FVertScrollBar;
    bool FAutoScroll = true;
    int FAutoRangeCount = 0;
    bool FUpdatingBars = false;
    bool FScrolling = false;
};

// A framed scrolling area placed on forms.
class TScrollBox : public TScrollingWinControl {
    KV_CLASS(TScrollBox)
    KV_PUBLISHED
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TBorderStyle FBorderStyle = bsSingle;
};

// A frame: a group of controls designed once and placed on forms.  A frame
// class with a form resource of its own (RCDATA named after the upper-case
// class name) reads it when created, as a form does; its components are
// owned by the frame.
class TCustomFrame : public TScrollingWinControl {
    KV_CLASS(TCustomFrame)
    KV_PUBLISHED
public:
    explicit TCustomFrame(TComponent* AOwner);
    void AfterConstruction() override;
};

class TFrame : public TCustomFrame {
    KV_CLASS(TFrame)
    KV_PUBLISHED
public:
    explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// ---------------------------------------------------------------------------
class TMonitor;

class TCustomForm : public TScrollingWinControl {
    KV_CLASS(TCustomForm)
    KV_PUBLISHED
public:
    // Reads the class's form resource after construction (AfterConstruction).
    explicit TCustomForm(TComponent* AOwner);
    // CreateNew: a form without a form resource.
    TCustomForm(TComponent* AOwner, int Dummy);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // The display the form is on (Screen's).
    TMonitor* Monitor();
    void Show();
    void Hide();
    // Asks OnCloseQuery, then OnClose; the action decides: caHide hides,
    // caFree releases, caMinimize minimises, caNone keeps the window.  A
    // modal form's Close only sets ModalResult to mrCancel.
    void Close();
    // Frees the form once the messages already queued have been handled.
    void Release();
    // Shows the form modally and returns its ModalResult.
    virtual TModalResult ShowModal();
    virtual bool CloseQuery();

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TWindowState WindowState();
    void SetWindowState(TWindowState Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TFormState FormState() const { return FFormState; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TIcon* Icon() const { return FIcon; }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    TCanvas* Canvas() const { return FCanvas; }
    bool Active() const { return FActive; }
    // The menu bar: set, the window shows it; its commands and owner-draw
    // messages come to the form and go on to the menu's items.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // The whole window drawn with constant alpha AlphaBlendValue (a layered
    // window; top-level forms only).
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(BYTE Value);
    // A key down message: true when a shortcut of the form's menu took it.
    virtual bool IsShortCut(TMessage& Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Client size as stored in form resources: kept while the form is read
    // and applied afterwards.
    int ClientWidthProp() { return ClientWidth(); }
    int ClientHeightProp() { return ClientHeight(); }
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Focus bookkeeping: CM_EXIT to the old control, CM_ENTER to the new one,
    // then CM_FOCUSCHANGED.
    bool SetFocusedControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    void SetFocus() override;

    // Events.
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

    // MDI.  A form of style fsMDIForm keeps its MDI children in an MDI client
    // window (ClientHandle) that fills the client area its aligned controls
    // leave; a form of style fsMDIChild is made inside the client of the
    // application's main form.  The frame's unhandled messages go to
    // DefFrameProc, a child's to DefMDIChildProc.
    HWND ClientHandle() const { return FClientHandle; }
    // The MDI children, the active one first (z-order in the client).
    int MDIChildCount();
    TForm* MDIChildren(int Index);
    TForm* ActiveMDIChild();
    // The menu item whose sub-menu lists the MDI children.
    TMenuItem* WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TMenuItem* Value);
    TTileMode TileMode() const { return FTileMode; }
    void SetTileMode(TTileMode Value) { FTileMode = Value; }
    void Tile();
    void Cascade();

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void PaintWindow(HDC DC) override;
    virtual void Paint();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void CMShowingChanged(TMessage& Message) override;
    void CMDialogKey(TMessage& Message) override;
    void WMSize(TMessage& Message) override;
    void WMNCDestroy(TMessage& Message) override;
    virtual void WMClose(TMessage& Message);
    virtual void WMActivate(TMessage& Message);
    virtual void WMSysCommand(TMessage& Message);
    virtual void CMRelease(TMessage& Message);
    virtual void CMActivate(TMessage& Message);
    virtual void CMDeactivate(TMessage& Message);
    // The menu's messages.
    virtual void CMMenuChanged(TMessage& Message);
    virtual void WMInitMenuPopup(TMessage& Message);
    virtual void WMMenuChar(TMessage& Message);
    void WMCommand(TMessage& Message) override;
    void WMDrawItem(TMessage& Message) override;
    void WMMeasureItem(TMessage& Message) override;
    void WMDestroy(TMessage& Message) override;
    // Makes the window layered, or not, as AlphaBlend says.
    void SetLayeredAttribs();
    // Puts the menu on the window (a top-level window only).
    void AttachMenu();
    // Places the window by Position before it first shows.
    void ApplyPosition();
    // CreateParams' parts: the window's owner, and the styles of
    // BorderStyle and BorderIcons.
    void AddOwnerWindow(TCreateParams& Params);
    void AddBorderStyles(TCreateParams& Params);
    // The MDI parts: a child's window in the main form's client, the
    // frame's client window, and the children's activation.
    void AddMDIChildStyles(TCreateParams& Params);
    void CreateWindowHandle(const TCreateParams& Params) override;
    void DestroyWindowHandle() override;
    void CreateMDIClient();
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void AttachMDIMenu();
    virtual void WMMDIActivate(TMessage& Message);

    TModalResult FModalResult = mrNone;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = {biSystemMenu, biMinimize, biMaximize};
    TWindowState FWindowState = wsNormal;
    TPosition FPosition = poDesigned;
    TFormStyle FFormStyle = fsNormal;
    TFormState FFormState;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FCreatedNew = false;
    bool FPositioned = false;
    bool FClosing = false;
    // Release was asked for while modal (or OnClose gave caFree): done
    // once ShowModal returns, by one posted CM_RELEASE.
    bool FReleaseAfterModal = false;
    TIcon* FIcon = nullptr;
    TControlCanvas* FCanvas = nullptr;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TMainMenu* FMenu = nullptr;
    HWND FClientHandle = nullptr;
    TMenuItem* FWindowMenu = nullptr;
    TTileMode FTileMode = tbHorizontal;
    bool FAlphaBlend = false;
    BYTE FAlphaBlendValue = 255;
    int FStoredClientWidth = -1;
    int FStoredClientHeight = -1;
    int FStoredPixelsPerInch = 96;
    int FStoredTextHeight = 13;
    bool FStoredOldCreateOrder = false;
    bool FStoredScaled = true;

private:
    void Init();
    void IconChanged(TObject* Sender);
    // Takes the form off the screen's list and out of MainForm.
    void Unlist();
    TModalResult ModalLoop();
    void CloseModal();
    friend class TApplication;
};

class TForm : public TCustomForm {
    KV_CLASS(TForm)
    KV_PUBLISHED
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}
    // A form made in code (no form resource).
    template <class T = TForm>
    static T* CreateNew(TComponent* AOwner)
    {
        return New<T>(AOwner, 0);
    }
};

// The form that holds Control (the outermost when TopForm).
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
// As GetParentForm, but raises EInvalidOperation when there is none.
TCustomForm* ValidParentForm(TControl* Control, bool TopForm = true);

// ---------------------------------------------------------------------------
class TApplication : public TComponent {
    KV_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    // Creates a form of class T owned by the application.  Reference is
    // filled before T's constructor runs (code reached while the form is
    // built may read it).  The first form becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference)
    {
        void* storage = ::operator new(sizeof(T));
        Reference = static_cast<T*>(storage);
        T* form = nullptr;
        try {
            form = new (storage) T(this);
        } catch (...) {
            Reference = nullptr;
            ::operator delete(storage);
            throw;
        }
        FinishCreateForm(form, [&Reference] { Reference = nullptr; });
    }
    // Runs the message loop until the main form closes or Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the queued messages and returns.
    void ProcessMessages();
    // Handles one message, waiting for one when the queue is empty.
    void HandleMessage();
    // One message from the queue; false when there was none.
    bool ProcessMessage(MSG& Msg);

    TCustomForm* MainForm() const { return FMainForm; }
    bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool Value) { FMainFormOnTaskBar = Value; }
    TIcon* Icon() const { return FIcon; }
    void SetIcon(TIcon* Value);
    UnicodeString Title() const;
    void SetTitle(const UnicodeString& Value);
    UnicodeString ExeName() const;
    // The hidden "TApplication" window.
    HWND Handle();
    bool ShowMainForm = true;

    void HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(TWindowHook Hook);

    void Minimize();
    void Restore();
    void BringToFront();

    void ModalStarted();
    void ModalFinished();
    int ModalLevel() const { return FModalLevel; }
    TNotifyEvent OnModalBegin;
    TNotifyEvent OnModalEnd;

    // Shows the current exception (inside a catch), or hands it to
    // OnException; EAbort is silent.
    void HandleException(TObject* Sender);
    void ShowException(const Exception* E);
    void ShowException(const std::exception& E);
    TExceptionEvent OnException;
    // Hands one exception object (not necessarily the current one) on.
    void HandleExceptionObject(TObject* Sender, const std::exception_ptr& E);

    // A message box over the active window (through the dialog seam).
    int MessageBox(const UnicodeString& Text, const UnicodeString& Caption, UINT Flags = MB_OK);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnIdle;
    bool Active() const { return FActive; }

    // Hints (FormsHint.cpp).  While ShowHint is on, the control under the
    // mouse whose ShowHint holds (its own or, with ParentShowHint, a
    // parent's) shows the short part of its Hint after HintPause (HintShortPause
    // when a hint was just shown), for HintHidePause.  Before a hint shows
    // the control gets CM_HINTSHOW with a THintInfo it may change; a
    // non-zero answer keeps the hint hidden.
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    // Every control passes its mouse messages here.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    // Shows the hint control's hint for the cursor at CursorPos (screen), as
    // the pause's end does; false when none is shown.
    bool ActivateHint(const TPoint& CursorPos);
    void CancelHint();
    TControl* HintControl() const { return FHintControl; }
    THintWindow* HintWindow() const { return FHintWindow; }
    // A hint is waiting for its pause to end.
    bool HintPending() const { return FHintTimer != 0; }
    // Forgets a control that is going.
    void ControlDestroyed(TControl* Control);

private:
    template <class F>
    void FinishCreateForm(TCustomForm* Form, F ClearReference)
    {
        try {
            Form->AfterConstruction();
        } catch (...) {
            ClearReference();
            TObject* obj = Form;
            FreeAndNil(obj);
            throw;
        }
        if (!FMainForm)
            FMainForm = Form;
    }
    static LRESULT CALLBACK AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void WndProc(TMessage& Message);
    void Idle();
    // Offers a key message to its control (CN_KEYDOWN...); true when taken.
    bool IsKeyMsg(const MSG& Msg);
    // The MDI keys (Ctrl+F4, Ctrl+F6) of a message inside the main form's
    // MDI client; true when taken.
    bool IsMDIMsg(const MSG& Msg);
    void CheckMainFormClosed();
    friend class TCustomForm;

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FMainFormOnTaskBar = false;
    bool FTerminated = false;
    bool FActive = true;
    bool FRunning = false;
    TIcon* FIcon = nullptr;
    UnicodeString FTitle;
    std::vector<TWindowHook> FWindowHooks;
    int FModalLevel = 0;
    bool FShowHint = true;
    bool FHintActive = false;
    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    UINT_PTR FHintTimer = 0;
    bool FHintTimerHides = false;
    TRect FHintCursorRect;
    void StartHintTimer(int Pause, bool Hides);
    void StopHintTimer();
    void HideHint();
    friend void CALLBACK HintTimerExpired(HWND, UINT, UINT_PTR, DWORD);
};

// ---------------------------------------------------------------------------
// One display of the desktop.
class TMonitor : public TObject {
    KV_CLASS(TMonitor)
public:
    explicit TMonitor(HMONITOR Handle) : FHandle(Handle) {}
    HMONITOR Handle() const { return FHandle; }
    TRect BoundsRect() const;
    // The display less the task bar and docked bars.
    TRect WorkareaRect() const;
    bool Primary() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }

private:
    HMONITOR FHandle;
};

// ---------------------------------------------------------------------------
class TScreen : public TComponent {
    KV_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int Width() const;
    int Height() const;
    int DesktopLeft() const;
    int DesktopTop() const;
    int DesktopWidth() const;
    int DesktopHeight() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const;
    // The display that shows most of the window (the nearest one for a
    // window off every display); the screen owns it.
    TMonitor* MonitorFromWindow(HWND Wnd);

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(Index); }
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // The system's menu font, read when first asked for.
    TFont* MenuFont();
    // The system's font of hints and status bars, read when first asked for.
    TFont* HintFont();

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TCursor FCursor = crDefault;
    std::vector<TMonitor*> FMonitors;
    TFont* FMenuFont = nullptr;
    TFont* FHintFont = nullptr;
};

extern TApplication* Application;
extern TScreen* Screen;

// ---------------------------------------------------------------------------
// Command line: the program's arguments split by the class library's rules
// (blanks separate, double quotes group and are dropped, "" pairs before an
// argument are skipped).  ParamStr(0) is the executable's full path; an
// index out of range gives empty text.
int ParamCount();
UnicodeString ParamStr(int Index);
// The same split of any command line (the first item being the program).
std::vector<UnicodeString> SplitCommandLine(const wchar_t* CommandLine);

// The module handle of the program.
inline const HINSTANCE HInstance = ::GetModuleHandleW(nullptr);
