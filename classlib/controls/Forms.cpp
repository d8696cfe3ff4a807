#include "classlib/controls/Forms.h"

#include <algorithm>

#include "classlib/controls/Dialogs.h"
#include "classlib/rtl/SysUtils.h"

TApplication* Application = New<TApplication>(nullptr);
TScreen* Screen = New<TScreen>(nullptr);

void ControlsHandleException(TObject* Sender)
{
    if (Application)
        Application->HandleException(Sender);
}

namespace {
UnicodeString ModuleFileName()
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

// The message of a standard exception (UTF-8 by convention).
UnicodeString Utf8ToText(const char* what)
{
    if (!what)
        return UnicodeString();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, what, -1, nullptr, 0);
    UnicodeString msg;
    if (n > 1) {
        msg.resize(size_t(n - 1));
        ::MultiByteToWideChar(CP_UTF8, 0, what, -1, msg.data(), n);
    }
    return msg;
}

// Frees the forms while the system is still whole, at the end of the program.
struct TApplicationDone {
    ~TApplicationDone()
    {
        if (Application)
            Application->DestroyComponents();
    }
} ApplicationDone;
} // namespace

// ---------------------------------------------------------------------------
// Command line
std::vector<UnicodeString> SplitCommandLine(const wchar_t* P)
{
    std::vector<UnicodeString> result;
    if (!P)
        return result;
    for (;;) {
        // Blanks, and "" pairs, before an item are skipped.
        for (;;) {
            while (*P && *P <= L' ')
                ++P;
            if (P[0] == L'"' && P[1] == L'"')
                P += 2;
            else
                break;
        }
        if (!*P)
            break;
        UnicodeString item;
        while (*P > L' ') {
            if (*P == L'"') {
                ++P;
                while (*P && *P != L'"')
                    item += *P++;
                if (*P)
                    ++P;
            } else {
                item += *P++;
            }
        }
        result.push_back(item);
    }
    return result;
}

int ParamCount()
{
    auto items = SplitCommandLine(::GetCommandLineW());
    return items.empty() ? 0 : int(items.size()) - 1;
}

UnicodeString ParamStr(int Index)
{
    if (Index == 0)
        return ModuleFileName();
    if (Index < 0)
        return UnicodeString();
    auto items = SplitCommandLine(::GetCommandLineW());
    return size_t(Index) < items.size() ? items[size_t(Index)] : UnicodeString();
}

// ---------------------------------------------------------------------------
TCustomForm* GetParentForm(TControl* Control, bool TopForm)
{
    if (!Control)
        return nullptr;
    if (TopForm) {
        while (Control->Parent())
            Control = Control->Parent();
        return dynamic_cast<TCustomForm*>(Control);
    }
    for (; Control; Control = Control->Parent())
        if (auto* f = dynamic_cast<TCustomForm*>(Control))
            return f;
    return nullptr;
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm)
{
    TCustomForm* f = GetParentForm(Control, TopForm);
    if (!f)
        throw EInvalidOperation(L"Control '" + (Control ? Control->Name() : UnicodeString()) + L"' has no parent form");
    return f;
}

// ---------------------------------------------------------------------------
// TCustomForm
TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) { Init(); }

TCustomForm::TCustomForm(TComponent* AOwner, int) : TWinControl(AOwner)
{
    FCreatedNew = true;
    Init();
}

void TCustomForm::Init()
{
    FVisible = false;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FParentColor = false;
    FParentFont = false;
    FColor = clBtnFace;
    FBrush->SetColor(FColor);
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    FIcon = new TIcon();
    FIcon->OnChange = Bind(this, &TCustomForm::IconChanged);
    FCanvas = new TControlCanvas();
    FCanvas->SetControl(this);
    if (Screen)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Unlist();
    delete FCanvas;
    FCanvas = nullptr;
    delete FIcon;
    FIcon = nullptr;
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    if (!FCreatedNew) {
        UnicodeString cls = ClassName();
        if (cls != L"TForm" && cls != L"TCustomForm") {
            TStateScope creating(FFormState, fsCreating);
            if (!InitInheritedComponent(this, L"TForm"))
                throw EReadError(L"Resource " + UpperCase(cls) + L" not found");
        }
    }
    DoCreate();
}

void TCustomForm::BeforeDestruction()
{
    DoDestroy();
    Unlist();
    TWinControl::BeforeDestruction();
}

void TCustomForm::Unlist()
{
    if (Screen)
        Screen->RemoveForm(this);
    if (Application && Application->FMainForm == this)
        Application->FMainForm = nullptr;
}

void TCustomForm::DoCreate()
{
    // An exception in OnCreate ends the handler; the form still opens.
    try {
        if (OnCreate)
            OnCreate(this);
    } catch (...) {
        ControlsHandleException(this);
    }
}

void TCustomForm::DoDestroy()
{
    try {
        if (OnDestroy)
            OnDestroy(this);
    } catch (...) {
        ControlsHandleException(this);
    }
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    if (FStoredClientWidth >= 0 || FStoredClientHeight >= 0) {
        TRect r = GetClientRect();
        int w = FStoredClientWidth >= 0 ? FStoredClientWidth : r.Width();
        int h = FStoredClientHeight >= 0 ? FStoredClientHeight : r.Height();
        FStoredClientWidth = FStoredClientHeight = -1;
        SetClientSize(w, h);
    }
    Realign();
    if (FVisible)
        UpdateControlState();
}

void TCustomForm::SetClientWidth(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStoredClientWidth = Value;
        return;
    }
    TWinControl::SetClientWidth(Value);
}

void TCustomForm::SetClientHeight(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FStoredClientHeight = Value;
        return;
    }
    TWinControl::SetClientHeight(Value);
}

void TCustomForm::IconChanged(TObject*)
{
    if (FHandle)
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Empty() ? nullptr : FIcon->Handle()));
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style &= ~DWORD(WS_CHILD | WS_GROUP | WS_TABSTOP);
    Params.Style |= WS_CLIPCHILDREN;
    if (FParent)
        Params.Style |= WS_CHILD;
    else
        AddOwnerWindow(Params);
    AddBorderStyles(Params);
    if (FFormStyle == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;

    if (FPosition == poDefault || FPosition == poDefaultPosOnly)
        Params.X = Params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly)
        Params.Width = Params.Height = CW_USEDEFAULT;

    Params.WindowClass.style = CS_DBLCLKS;
    Params.WindowClass.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON");
    if (!Params.WindowClass.hIcon)
        Params.WindowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
}

void TCustomForm::AddOwnerWindow(TCreateParams& Params)
{
    TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
    bool onTaskBar = Application && Application->MainFormOnTaskBar();
    bool isMain = Application && (mainForm == this || !mainForm);
    if (isMain && onTaskBar) {
        Params.WndParent = nullptr;
        Params.ExStyle |= WS_EX_APPWINDOW;
    } else if (!isMain && onTaskBar && mainForm->HandleAllocated()) {
        Params.WndParent = mainForm->FHandle;
    } else if (Application) {
        Params.WndParent = Application->Handle();
    }
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner->HandleAllocated())
        Params.WndParent = owner->FHandle;
}

void TCustomForm::AddBorderStyles(TCreateParams& Params)
{
    TBorderIcons icons = FBorderIcons;
    switch (FBorderStyle) {
    case bsNone:
        if (!FParent)
            Params.Style |= WS_POPUP;
        icons = {};
        break;
    case bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION | WS_BORDER;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        icons = icons * TBorderIcons{biSystemMenu};
        break;
    case bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        icons = icons * TBorderIcons{biSystemMenu};
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        icons = icons * TBorderIcons{biSystemMenu, biHelp};
        break;
    }
    if (icons.Contains(biSystemMenu))
        Params.Style |= WS_SYSMENU;
    if (icons.Contains(biMinimize))
        Params.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize))
        Params.Style |= WS_MAXIMIZEBOX;
    if (icons.Contains(biHelp) && (FBorderStyle == bsDialog || !(icons.Contains(biMinimize) || icons.Contains(biMaximize))))
        Params.ExStyle |= WS_EX_CONTEXTHELP;
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    // CW_USEDEFAULT placements come back from the window.
    if (FPosition != poDesigned)
        UpdateBounds();
    HICON icon = nullptr;
    if (!FIcon->Empty())
        icon = FIcon->Handle();
    else if (Application && Application->Icon() && !Application->Icon()->Empty())
        icon = Application->Icon()->Handle();
    if (icon)
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (!FHandle)
        return;
    // Restyle the window in place: it keeps its handle (and whoever watches
    // it) and its outer bounds.
    TCreateParams params;
    CreateParams(params);
    DWORD keep = DWORD(::GetWindowLongW(FHandle, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
    ::SetWindowLongW(FHandle, GWL_STYLE, LONG(params.Style | keep));
    ::SetWindowLongW(FHandle, GWL_EXSTYLE, LONG(params.ExStyle));
    ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    if (FHandle) {
        TFormBorderStyle bs = FBorderStyle;
        FBorderStyle = bs == bsNone ? bsSingle : bsNone;
        SetBorderStyle(bs);
    }
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    FFormStyle = Value;
    if (FHandle)
        ::SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState()
{
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (FWindowState == Value)
        return;
    FWindowState = Value;
    if (FHandle && FShowing) {
        static const int cmds[] = {SW_RESTORE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ::ShowWindow(FHandle, cmds[Value]);
    }
}

void TCustomForm::ApplyPosition()
{
    if (FPositioned || FParent)
        return;
    FPositioned = true;
    int x = FLeft, y = FTop;
    switch (FPosition) {
    case poScreenCenter:
        x = (Screen->Width() - FWidth) / 2;
        y = (Screen->Height() - FHeight) / 2;
        break;
    case poDesktopCenter:
        x = Screen->DesktopLeft() + (Screen->DesktopWidth() - FWidth) / 2;
        y = Screen->DesktopTop() + (Screen->DesktopHeight() - FHeight) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = Application ? Application->MainForm() : nullptr;
        if (FPosition == poOwnerFormCenter)
            if (auto* owner = dynamic_cast<TCustomForm*>(Owner()))
                center = owner;
        if (center) {
            x = center->Left() + (center->Width() - FWidth) / 2;
            y = center->Top() + (center->Height() - FHeight) / 2;
        } else {
            x = (Screen->Width() - FWidth) / 2;
            y = (Screen->Height() - FHeight) / 2;
        }
        x = std::max(x, Screen->DesktopLeft());
        y = std::max(y, Screen->DesktopTop());
        break;
    }
    default:
        return;
    }
    SetBounds(x, y, FWidth, FHeight);
}

void TCustomForm::CMShowingChanged(TMessage&)
{
    if (!FHandle)
        return;
    if (FShowing) {
        {
            TStateScope showing(FFormState, fsShowing);
            ApplyPosition();
            try {
                DoShow();
            } catch (...) {
                ControlsHandleException(this);
            }
            static const int cmds[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
            ::ShowWindow(FHandle, cmds[FWindowState]);
            if (FFormStyle == fsStayOnTop)
                ::SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        FFormState += fsVisible;
    } else {
        try {
            DoHide();
        } catch (...) {
            ControlsHandleException(this);
        }
        ::ShowWindow(FHandle, SW_HIDE);
        FFormState -= fsVisible;
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (FHandle && FShowing)
        ::SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    // Idempotent: a form already on its way out is not closed again.
    if (FClosing)
        return;
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    FClosing = true;
    try {
        DoClose(action);
    } catch (...) {
        FClosing = false;
        throw;
    }
    FClosing = false;
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release()
{
    if (FFormState.Contains(fsCreatedMDIChild))
        return;
    // A posted message: the form goes after the current handler returns.
    FClosing = true;
    ::PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&)
{
    // A modal form's loop still runs on this object: the loop ends, and the
    // form goes once ShowModal has returned.
    if (FFormState.Contains(fsModal)) {
        FReleaseAfterModal = true;
        if (FModalResult == mrNone)
            FModalResult = mrCancel;
        return;
    }
    TObject* self = this;
    FreeAndNil(self);
}

namespace {
// The visible, enabled top-level windows of this thread but Keep, disabled
// while a modal form runs.
std::vector<HWND> DisableThreadWindows(HWND Keep)
{
    struct TEnum {
        HWND Keep;
        std::vector<HWND> List;
        static BOOL CALLBACK Proc(HWND Wnd, LPARAM Self)
        {
            auto* e = reinterpret_cast<TEnum*>(Self);
            if (Wnd != e->Keep && ::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd)) {
                e->List.push_back(Wnd);
                ::EnableWindow(Wnd, FALSE);
            }
            return TRUE;
        }
    } e{Keep, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), TEnum::Proc, reinterpret_cast<LPARAM>(&e));
    return e.List;
}
} // namespace

TModalResult TCustomForm::ShowModal()
{
    if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
        throw EInvalidOperation(L"Cannot make a visible window modal");
    if (HWND capture = ::GetCapture()) {
        ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
        ::ReleaseCapture();
    }
    HWND activeWindow = ::GetActiveWindow();
    // Made before anything changes, so that a window that cannot be made
    // leaves no modal state behind.
    HandleNeeded();
    Application->ModalStarted();
    FFormState += fsModal;
    std::vector<HWND> disabled = DisableThreadWindows(FHandle);
    auto restore = [&] {
        for (HWND w : disabled)
            if (::IsWindow(w))
                ::EnableWindow(w, TRUE);
        if (activeWindow && ::IsWindow(activeWindow))
            ::SetActiveWindow(activeWindow);
        FFormState -= fsModal;
        Application->ModalFinished();
    };
    TModalResult result = mrNone;
    try {
        result = ModalLoop();
    } catch (...) {
        try {
            Hide();
        } catch (...) {
        }
        restore();
        throw;
    }
    restore();
    if (FReleaseAfterModal) {
        FReleaseAfterModal = false;
        Release();
    }
    return result;
}

TModalResult TCustomForm::ModalLoop()
{
    FModalResult = mrNone;
    Show();
    ::SendMessageW(FHandle, CM_ACTIVATE, 0, 0);
    do {
        Application->HandleMessage();
        // A window destroyed from outside ends the loop as a cancel would.
        if (Application->Terminated() || !FHandle)
            FModalResult = mrCancel;
        else if (FModalResult != mrNone)
            CloseModal();
    } while (FModalResult == mrNone);
    TModalResult result = FModalResult;
    if (FHandle)
        ::SendMessageW(FHandle, CM_DEACTIVATE, 0, 0);
    Hide();
    return result;
}

void TCustomForm::CloseModal()
{
    // The modal form may refuse to close (OnCloseQuery, caNone).
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        FReleaseAfterModal = true;
}

void TCustomForm::SetActiveControl(TWinControl* Control)
{
    if (FActiveControl == Control)
        return;
    if (Control && (Control == this || GetParentForm(Control) != this))
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (!ComponentState().Contains(csLoading) && FActive && Control && Control->CanFocus())
        ::SetFocus(Control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    if (FFocusedControl == Control)
        return true;
    TWinControl* common = FFocusedControl;
    // CM_EXIT up from the old control to the first parent that holds the new one.
    while (common && common != this && !common->ContainsControl(Control)) {
        TWinControl* next = common->Parent();
        common->Perform(CM_EXIT, 0, 0);
        common = next;
    }
    FFocusedControl = Control;
    if (Control && Control != this)
        FActiveControl = Control;
    // CM_ENTER down from there to the new control.
    std::vector<TWinControl*> chain;
    for (TWinControl* p = Control; p && p != common && p != this; p = p->Parent())
        chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        (*it)->Perform(CM_ENTER, 0, 0);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return true;
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    FActiveControl = Control;
    HWND h = Control ? Control->Handle() : Handle();
    if (h)
        ::SetFocus(h);
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing)
{
    if (!Control)
        return;
    if (FActiveControl && Control->ContainsControl(FActiveControl))
        FActiveControl = nullptr;
    if (FFocusedControl && Control->ContainsControl(FFocusedControl)) {
        FFocusedControl = nullptr;
        if (!Removing && FHandle && ::IsWindowVisible(FHandle))
            ::SetFocus(FHandle);
    }
}

void TCustomForm::SetFocus()
{
    if (!FVisible || !FEnabled)
        throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::CMActivate(TMessage&)
{
    FActive = true;
    if (Screen)
        Screen->FActiveForm = this;
    Activate();
}

void TCustomForm::CMDeactivate(TMessage&)
{
    FActive = false;
    Deactivate();
}

void TCustomForm::WMActivate(TMessage& Message)
{
    DefaultHandler(Message);
    bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    if (active == FActive)
        return;
    if (active) {
        Perform(CM_ACTIVATE, 0, 0);
        if (FActiveControl && FActiveControl->HandleAllocated() && ::IsWindowVisible(FActiveControl->Handle()))
            ::SetFocus(FActiveControl->Handle());
    } else {
        Perform(CM_DEACTIVATE, 0, 0);
    }
}

void TCustomForm::WMSize(TMessage& Message)
{
    // The window state follows the system's (the user minimises, restores...)
    // once the window is shown.  A hidden window is sized while it is made
    // (a popup-style one is told "restored" at once), restyled or placed;
    // that says nothing of the state it is to show in.
    if (::GetWindowLongW(FHandle, GWL_STYLE) & WS_VISIBLE) {
        switch (Message.WParam) {
        case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
        case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
        case SIZE_RESTORED: FWindowState = wsNormal; break;
        default: break;
        }
    }
    TWinControl::WMSize(Message);
}

void TCustomForm::WMNCDestroy(TMessage& Message)
{
    TWinControl::WMNCDestroy(Message);
    // Destroyed from outside (not by us, nor by a recreation): the form is
    // no longer shown, and a later Show makes a new window.
    if (!FControlState.Contains(csDestroyingHandle)) {
        FVisible = false;
        FFormState -= fsVisible;
    }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMSysCommand(TMessage& Message)
{
    if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this &&
        !Application->MainFormOnTaskBar()) {
        Application->Minimize();
        return;
    }
    DefaultHandler(Message);
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
    if (::GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParamLo) {
        case VK_TAB:
            if (::GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, ::GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            if (FActiveControl && FActiveControl->Parent()) {
                FActiveControl->Parent()->SelectNext(FActiveControl,
                                                     Message.WParamLo == VK_RIGHT || Message.WParamLo == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default:
            break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    TCanvasPaintScope scope(FCanvas, DC);
    Paint();
}

void TCustomForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    case CM_RELEASE: CMRelease(Message); return;
    case CM_ACTIVATE: CMActivate(Message); return;
    case CM_DEACTIVATE: CMDeactivate(Message); return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TApplication
TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    FIcon = new TIcon();
}

TApplication::~TApplication()
{
    DestroyComponents();
    if (FHandle) {
        ::DestroyWindow(FHandle);
        FHandle = nullptr;
    }
    delete FIcon;
    if (Application == this)
        Application = nullptr;
}

void TApplication::Initialize()
{
    Handle();
}

HWND TApplication::Handle()
{
    if (FHandle)
        return FHandle;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (!::GetClassInfoW(inst, L"TApplication", &wc)) {
        wc = WNDCLASSW{};
        wc.lpfnWndProc = AppWndProc;
        wc.hInstance = inst;
        wc.hIcon = ::LoadIconW(inst, L"MAINICON");
        if (!wc.hIcon)
            wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"TApplication";
        ::RegisterClassW(&wc);
    }
    UnicodeString title = Title();
    FHandle = ::CreateWindowExW(0, L"TApplication", title.c_str(),
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                nullptr, nullptr, inst, nullptr);
    if (FHandle && !FIcon->Empty())
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
    return FHandle;
}

LRESULT CALLBACK TApplication::AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (!Application || Application->FHandle != Wnd)
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    TMessage m = MakeMessage(Msg, WParam, LParam);
    try {
        Application->WndProc(m);
    } catch (...) {
        Application->HandleException(Application);
    }
    // Destroyed by whoever: the next Handle makes a new window.
    if (Msg == WM_NCDESTROY && Application && Application->FHandle == Wnd)
        Application->FHandle = nullptr;
    return m.Result;
}

void TApplication::WndProc(TMessage& Message)
{
    // Hooks see every message first, the latest hook first; one that
    // answers true has handled it.
    std::vector<TWindowHook> hooks = FWindowHooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it)
        if ((*it)(Message))
            return;
    switch (Message.Msg) {
    case WM_CLOSE:
        if (FMainForm)
            FMainForm->Close();
        return;
    case WM_ACTIVATEAPP:
        // Told again through the queue, where the hooks see CM_ACTIVATE.
        FActive = Message.WParam != 0;
        ::PostMessageW(FHandle, FActive ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
        break;
    case CM_ACTIVATE:
        if (OnActivate)
            OnActivate(this);
        return;
    case CM_DEACTIVATE:
        if (OnDeactivate)
            OnDeactivate(this);
        return;
    default:
        break;
    }
    Message.Result = ::DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::HookMainWindow(TWindowHook Hook)
{
    if (std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end())
        FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(TWindowHook Hook)
{
    auto it = std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook);
    if (it != FWindowHooks.end())
        FWindowHooks.erase(it);
}

void TApplication::SetIcon(TIcon* Value)
{
    FIcon->Assign(Value);
    if (FHandle && !FIcon->Empty())
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

UnicodeString TApplication::ExeName() const { return ModuleFileName(); }

UnicodeString TApplication::Title() const
{
    if (!FTitle.empty())
        return FTitle;
    return ChangeFileExt(ExtractFileName(ModuleFileName()), L"");
}

void TApplication::SetTitle(const UnicodeString& Value)
{
    FTitle = Value;
    if (FHandle)
        ::SetWindowTextW(FHandle, Value.c_str());
}

void TApplication::Run()
{
    FRunning = true;
    FTerminated = false;
    if (FMainForm && ShowMainForm) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
        CheckMainFormClosed();
    }
    FRunning = false;
}

void TApplication::CheckMainFormClosed()
{
    // A main form that was freed some other way also ends the loop.
    if (FRunning && !FMainForm && !FTerminated)
        Terminate();
}

void TApplication::Terminate()
{
    ::PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!::PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (IsKeyMsg(Msg))
        return true;
    ::TranslateMessage(&Msg);
    ::DispatchMessageW(&Msg);
    return true;
}

bool TApplication::IsKeyMsg(const MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    // Keys go to the control first (CN_KEYDOWN...), which may offer them to
    // its form as dialog keys.
    HWND wnd = Msg.hwnd;
    TWinControl* control = nullptr;
    while (wnd && !(control = TWinControl::FindControl(wnd)))
        wnd = ::GetParent(wnd);
    if (!control)
        return false;
    // Handled as its window procedure would be: a failing handler is
    // reported and the key counts as taken, whichever loop runs.
    try {
        return control->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
    } catch (...) {
        HandleException(control);
        return true;
    }
}

void TApplication::Idle()
{
    try {
        if (OnIdle)
            OnIdle(this);
    } catch (...) {
        HandleException(this);
    }
    if (!FTerminated)
        ::WaitMessage();
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg))
        Idle();
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::Minimize()
{
    if (FMainForm && FMainForm->HandleAllocated())
        ::ShowWindow(FMainForm->FHandle, SW_MINIMIZE);
}

void TApplication::Restore()
{
    if (FMainForm && FMainForm->HandleAllocated())
        ::ShowWindow(FMainForm->FHandle, SW_RESTORE);
}

void TApplication::BringToFront()
{
    if (FMainForm && FMainForm->HandleAllocated())
        ::SetForegroundWindow(FMainForm->FHandle);
}

void TApplication::ModalStarted()
{
    ++FModalLevel;
    if (OnModalBegin)
        OnModalBegin(this);
}

void TApplication::ModalFinished()
{
    if (FModalLevel > 0)
        --FModalLevel;
    if (OnModalEnd)
        OnModalEnd(this);
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr e = std::current_exception();
    if (e)
        HandleExceptionObject(Sender, e);
}

void TApplication::HandleExceptionObject(TObject* Sender, const std::exception_ptr& E)
{
    // Nothing may escape from here: this runs at the window-procedure boundary.
    try {
        try {
            std::rethrow_exception(E);
        } catch (const EAbort&) {
            return;
        } catch (Exception& ex) {
            if (OnException)
                OnException(Sender, &ex);
            else
                ShowException(&ex);
        } catch (const std::exception& ex) {
            Exception wrapped(Utf8ToText(ex.what()));
            if (OnException)
                OnException(Sender, &wrapped);
            else
                ShowException(&wrapped);
        } catch (...) {
            Exception wrapped(L"");
            if (OnException)
                OnException(Sender, &wrapped);
            else
                ShowException(&wrapped);
        }
    } catch (...) {
    }
}

void TApplication::ShowException(const Exception* E)
{
    if (!E)
        return;
    UnicodeString msg = E->Message();
    // A sentence gets its full stop.
    if (!msg.empty() && msg.back() > L'.')
        msg += L'.';
    KvMessageBox(::GetActiveWindow() ? ::GetActiveWindow() : Handle(), msg, Title(), MB_OK | MB_ICONSTOP);
}

void TApplication::ShowException(const std::exception& E)
{
    Exception wrapped(Utf8ToText(E.what()));
    ShowException(&wrapped);
}

int TApplication::MessageBox(const UnicodeString& Text, const UnicodeString& Caption, UINT Flags)
{
    HWND owner = ::GetActiveWindow();
    if (!owner)
        owner = Handle();
    return KvMessageBox(owner, Text, Caption.empty() ? Title() : Caption, Flags);
}

// ---------------------------------------------------------------------------
// TScreen
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

int TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }
int TScreen::DesktopLeft() const { return ::GetSystemMetrics(SM_XVIRTUALSCREEN); }
int TScreen::DesktopTop() const { return ::GetSystemMetrics(SM_YVIRTUALSCREEN); }
int TScreen::DesktopWidth() const { return ::GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int TScreen::DesktopHeight() const { return ::GetSystemMetrics(SM_CYVIRTUALSCREEN); }

TRect TScreen::WorkAreaRect() const
{
    RECT r{0, 0, Width(), Height()};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

int TScreen::PixelsPerInch() const
{
    ScreenDC dc;
    return ::GetDeviceCaps(dc, LOGPIXELSY);
}

void TScreen::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    ::SetCursor(CursorHandle(Value == crDefault ? crArrow : Value));
}

void TScreen::AddForm(TCustomForm* Form)
{
    if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end())
        FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form)
{
    auto it = std::find(FForms.begin(), FForms.end(), Form);
    if (it != FForms.end())
        FForms.erase(it);
    if (FActiveForm == Form)
        FActiveForm = nullptr;
}

// ---------------------------------------------------------------------------
// Published properties.
KV_BEGIN_PUBLISHED(TCustomForm, TWinControl)
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSizeable,
           {L"bsNone", L"bsSingle", L"bsSizeable", L"bsDialog", L"bsToolWindow", L"bsSizeToolWin"},
           L"TFormBorderStyle");
    B.Set(L"BorderIcons", &C::BorderIcons, &C::SetBorderIcons, 7,
          {L"biSystemMenu", L"biMinimize", L"biMaximize", L"biHelp"}, L"TBorderIcons");
    B.Enum(L"WindowState", &C::WindowState, &C::SetWindowState, wsNormal,
           {L"wsNormal", L"wsMinimized", L"wsMaximized"}, L"TWindowState");
    B.Enum(L"Position", &C::Position, &C::SetPosition, poDesigned,
           {L"poDesigned", L"poDefault", L"poDefaultPosOnly", L"poDefaultSizeOnly", L"poScreenCenter",
            L"poDesktopCenter", L"poMainFormCenter", L"poOwnerFormCenter"},
           L"TPosition");
    B.Enum(L"FormStyle", &C::FormStyle, &C::SetFormStyle, fsNormal,
           {L"fsNormal", L"fsMDIChild", L"fsMDIForm", L"fsStayOnTop"}, L"TFormStyle");
    B.Int(L"ClientWidth", &C::ClientWidthProp, &C::SetClientWidth, TPropInfo::NoDefault);
    B.Int(L"ClientHeight", &C::ClientHeightProp, &C::SetClientHeight, TPropInfo::NoDefault);
    B.Bool(L"KeyPreview", &C::KeyPreview, &C::SetKeyPreview, false);
    B.Object(L"Icon", &C::Icon, &C::SetIcon);
    B.Ref(L"ActiveControl", &C::ActiveControl, &C::SetActiveControl);
    // Kept by form resources for the designer's sake; nothing reads them.
    B.Int(L"PixelsPerInch", &C::FStoredPixelsPerInch, &C::FStoredPixelsPerInch, 96);
    B.Int(L"TextHeight", &C::FStoredTextHeight, &C::FStoredTextHeight, 13);
    B.Bool(L"OldCreateOrder", &C::FStoredOldCreateOrder, &C::FStoredOldCreateOrder, false);
    B.Bool(L"Scaled", &C::FStoredScaled, &C::FStoredScaled, true);
    B.Event(L"OnCreate", &C::OnCreate);
    B.Event(L"OnDestroy", &C::OnDestroy);
    B.Event(L"OnShow", &C::OnShow);
    B.Event(L"OnHide", &C::OnHide);
    B.Event(L"OnClose", &C::OnClose);
    B.Event(L"OnCloseQuery", &C::OnCloseQuery);
    B.Event(L"OnActivate", &C::OnActivate);
    B.Event(L"OnDeactivate", &C::OnDeactivate);
    B.Event(L"OnPaint", &C::OnPaint);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TForm, TCustomForm)
KV_END_PUBLISHED
