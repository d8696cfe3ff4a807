// The application object, its message loop and exception reporting, and the
// program's command line.
#include "classlib/controls/Forms.h"

#include "classlib/controls/ControlsPrivate.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/Threads.h"

#include <cstdlib>

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

void FreeApplicationComponents()
{
    if (Application)
        Application->DestroyComponents();
}

// Frees the forms while the system is still whole, at the end of the program.
// A program that never starts the application still has them freed here,
// once the objects of the other units made before this one are gone.
struct TApplicationDone {
    ~TApplicationDone() { FreeApplicationComponents(); }
} ApplicationDone;

// A program that starts the application has its forms freed first thing at
// its end, before any object made at start-up goes: handlers registered
// with atexit run before the objects made before them are destroyed, and
// a form's last messages (a skin going away, a window's last paint) still
// reach the lists and strings of every unit.
void FreeFormsFirstAtExit()
{
    static const bool registered = std::atexit(FreeApplicationComponents) == 0;
    (void)registered;
}

// Queued again when the message loop ends: the objects made while the
// program ran (the skin library's list of providers, made with the first
// skinned form) are destroyed before anything atexit queued earlier runs,
// and the forms' teardown still uses them.
void FreeFormsBeforeTheRunsObjects()
{
    std::atexit(FreeApplicationComponents);
}
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
// TApplication
TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    FIcon = new TIcon();
}

TApplication::~TApplication()
{
    CancelHint();
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
    FreeFormsFirstAtExit();
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
    FreeFormsFirstAtExit();
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
    FreeFormsBeforeTheRunsObjects();
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
    if (IsMDIMsg(Msg) || IsKeyMsg(Msg))
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
    // Worker threads' Synchronize and Queue requests run here too.
    if (!ProcessMessage(msg) && !CheckSynchronize())
        Idle();
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
    CheckSynchronize();
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
