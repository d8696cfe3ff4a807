// Window life of windowed controls: the one window procedure, creating and
// destroying windows, and finding the control of a window.
#include "classlib/controls/Controls.h"

#include <algorithm>
#include <map>

#include "classlib/controls/ControlsPrivate.h"
#include "classlib/rtl/SysUtils.h"

using namespace controls_detail;

namespace {
// The window property that links a window to its control.
const wchar_t* const ControlProp = L"KvControlObject";
// The control whose window is being created: the class procedure adopts the
// first window it sees while this is set, so the control knows its HWND from
// the very first message (WM_GETMINMAXINFO, WM_NCCREATE...).
thread_local TWinControl* CreationControl = nullptr;

// System procedure of each class we registered, by class name, for the
// messages that arrive when no control is attached any more.  Never freed:
// windows still go away while the program's statics are destroyed.
std::map<UnicodeString, WNDPROC>& ClassDefaultProcs()
{
    static auto* procs = new std::map<UnicodeString, WNDPROC>();
    return *procs;
}

WNDPROC DefaultProcOfWindow(HWND Wnd)
{
    wchar_t name[256] = {};
    ::GetClassNameW(Wnd, name, 255);
    auto& procs = ClassDefaultProcs();
    auto it = procs.find(UpperCase(name));
    return it != procs.end() && it->second ? it->second : ::DefWindowProcW;
}
} // namespace

namespace controls_detail {
UnicodeString WindowText(HWND Wnd)
{
    int n = ::GetWindowTextLengthW(Wnd);
    UnicodeString s(size_t(std::max(n, 0)), L'\0');
    if (n > 0)
        s.resize(size_t(std::max(::GetWindowTextW(Wnd, s.data(), n + 1), 0)));
    return s;
}
} // namespace controls_detail

// The one window procedure of every class we register.
LRESULT CALLBACK KvControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* control = static_cast<TWinControl*>(::GetPropW(Wnd, ControlProp));
    if (!control && CreationControl) {
        control = CreationControl;
        CreationControl = nullptr;
        control->FHandle = Wnd;
        ::SetPropW(Wnd, ControlProp, control);
    }
    if (!control)
        return ::CallWindowProcW(DefaultProcOfWindow(Wnd), Wnd, Msg, WParam, LParam);

    TMessage m = MakeMessage(Msg, WParam, LParam);
    try {
        if (control->WindowProc)
            control->WindowProc(m);
        else
            control->WndProc(m);
    } catch (...) {
        // An exception never unwinds through the system's dispatch.
        ControlsHandleException(control);
    }
    if (Msg == WM_NCDESTROY) {
        TControlCanvas::FreeWindowContexts(Wnd);
        ::RemovePropW(Wnd, ControlProp);
        if (control->FHandle == Wnd) {
            control->FHandle = nullptr;
            control->FShowing = false;
        }
    }
    return m.Result;
}

// ---------------------------------------------------------------------------
// TWinControl
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner)
{
    FBrush = new TBrush();
    FBrush->SetColor(FColor);
}

void TWinControl::BeforeDestruction()
{
    StartDestruction();
    // The window goes while the object is whole, so that every handler and
    // every subclasser still sees WM_DESTROY; then the owned components,
    // which may put back a WindowProc they swapped.
    if (FHandle)
        DestroyWindowHandle();
    DestroyComponents();
}

TWinControl::~TWinControl()
{
    // Leaves the parent while still a windowed control, so that it also
    // leaves the parent's tab order and its form's focus.
    if (FParent)
        FParent->RemoveControl(this);
    if (FHandle) {
        // Freed without BeforeDestruction: detach first, no handler of a
        // destroyed derived class may run.
        ::RemovePropW(FHandle, ControlProp);
        HWND h = FHandle;
        FHandle = nullptr;
        TControlCanvas::FreeWindowContexts(h);
        ::DestroyWindow(h);
    }
    // A parent frees the controls it holds.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        FControls.pop_back();
        c->FParent = nullptr;
        TObject* obj = c;
        FreeAndNil(obj);
    }
    delete FBrush;
    delete FWindowFonts[0];
    delete FWindowFonts[1];
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    CreateWnd();
    for (TControl* c : FControls)
        c->UpdateAnchorRules();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const wchar_t* ClassName)
{
    WNDCLASSW wc{};
    HINSTANCE inst = nullptr;
    if (!::GetClassInfoW(nullptr, ClassName, &wc)) {
        inst = ::GetModuleHandleW(nullptr);
        if (!::GetClassInfoW(inst, ClassName, &wc))
            throw EOutOfResources(UnicodeString(L"Window class ") + ClassName + L" is not registered");
    }
    Params.WindowClass = wc;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls))
        Params.Style |= WS_CLIPCHILDREN;
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent)
        Params.WndParent = FParent->FHandle;
    else
        Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = ::DefWindowProcW;
    Params.WindowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    Params.WindowClass.hbrBackground = nullptr;
    Params.WinClassName = ClassName();
    AddBiDiModeExStyle(Params.ExStyle);
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(L"Control '" + Name() + L"' has no parent window");

    FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : ::DefWindowProcW;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSW existing{};
    bool registered = ::GetClassInfoW(inst, params.WinClassName.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != KvControlWndProc) {
        if (registered)
            ::UnregisterClassW(params.WinClassName.c_str(), inst);
        WNDCLASSW wc = params.WindowClass;
        wc.lpfnWndProc = KvControlWndProc;
        wc.hInstance = inst;
        wc.lpszClassName = params.WinClassName.c_str();
        wc.lpszMenuName = nullptr;
        if (!::RegisterClassW(&wc))
            throw EOutOfResources(L"Cannot register window class " + params.WinClassName);
    }
    ClassDefaultProcs()[UpperCase(params.WinClassName)] = FDefWndProc;
    CreateWindowHandle(params);
    if (!FHandle)
        throw EOutOfResources(L"Error creating window " + params.WinClassName);
    // A child's id is its handle, so that WM_MEASUREITEM (which names the
    // sender only by id) finds it with GetDlgItem.
    if ((params.Style & WS_CHILD) && ::GetWindowLongPtrW(FHandle, GWLP_ID) == 0)
        ::SetWindowLongPtrW(FHandle, GWLP_ID, reinterpret_cast<LONG_PTR>(FHandle));
    UpdateWindowFont();
}

void TWinControl::UpdateWindowFont()
{
    if (!FHandle || !FFont)
        return;
    FWindowFontSlot ^= 1;
    TFont*& font = FWindowFonts[FWindowFontSlot];
    if (!font)
        font = new TFont();
    font->Assign(FFont);
    ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(font->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl* saved = CreationControl;
    CreationControl = this;
    HWND h = ::CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                               Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                               ::GetModuleHandleW(nullptr), Params.Param);
    CreationControl = saved;
    if (h && !FHandle) {
        FHandle = h;
        ::SetPropW(h, ControlProp, this);
    }
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    FText = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    FControlState += csDestroyingHandle;
    HWND h = FHandle;
    if (h)
        ::DestroyWindow(h);
    FControlState -= csDestroyingHandle;
    FShowing = false;
    FHandle = nullptr;
}

void TWinControl::RecreateWnd()
{
    if (FHandle)
        Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&)
{
    bool wasFocused = Focused();
    bool hadHandle = FHandle != nullptr;
    FControlState += csRecreating;
    DestroyHandle();
    FControlState -= csRecreating;
    UpdateControlState();
    if (hadHandle && !FHandle && (FParent || FParentWindow))
        HandleNeeded();
    if (wasFocused && FHandle)
        ::SetFocus(FHandle);
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && Value)
        ::SetParent(FHandle, Value);
    else if (FHandle)
        DestroyHandle();
    FParentWindow = Value;
    UpdateControlState();
}

void TWinControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (FHandle && !AParent && !FParentWindow)
        DestroyHandle();
    TControl::SetParent(AParent);
    if (FHandle && FParent) {
        if (FParent->HandleAllocated())
            ::SetParent(FHandle, FParent->FHandle);
        else
            DestroyHandle();
    }
    UpdateControlState();
}

void TWinControl::WMDestroy(TMessage& Message)
{
    // The text outlives the window (RecreateWnd, a parent's destruction).
    if (FHandle)
        FText = WindowText(FHandle);
    if (MouseInControl == this)
        MouseInControl = nullptr;
    DefaultHandler(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message)
{
    DefaultHandler(Message);
    FShowing = false;
}

TWinControl* TWinControl::FindControl(HWND Wnd)
{
    if (!Wnd)
        return nullptr;
    auto* control = static_cast<TWinControl*>(::GetPropW(Wnd, ControlProp));
    // A window of our classes without its control yet is the one being
    // created (a creation hook asks before the window's first message).
    if (!control && CreationControl &&
        reinterpret_cast<WNDPROC>(::GetClassLongPtrW(Wnd, GCLP_WNDPROC)) == KvControlWndProc) {
        control = CreationControl;
        CreationControl = nullptr;
        control->FHandle = Wnd;
        ::SetPropW(Wnd, ControlProp, control);
    }
    return control;
}

TWinControl* FindVCLWindow(const TPoint& Pos)
{
    HWND wnd = ::WindowFromPoint(Pos);
    while (wnd) {
        if (TWinControl* c = TWinControl::FindControl(wnd))
            return c;
        wnd = ::GetParent(wnd);
    }
    return nullptr;
}
