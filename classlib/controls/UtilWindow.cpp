#include "classlib/controls/UtilWindow.h"

#include <memory>

#include "classlib/controls/ControlsPrivate.h"

namespace {
const wchar_t UtilWindowClass[] = L"TPUtilWindow";
// The window property that holds the window's method.
const wchar_t MethodProp[] = L"KvUtilWindowMethod";

LRESULT CALLBACK UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* method = static_cast<TWndMethod*>(::GetPropW(Wnd, MethodProp));
    if (!method)
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    // A copy: the method may deallocate this window (and its holder).
    TWndMethod call = *method;
    TMessage m = MakeMessage(Msg, WParam, LParam);
    try {
        call(m);
    } catch (...) {
        // An exception never unwinds through the system's dispatch.
        ControlsHandleException(nullptr);
    }
    return m.Result;
}

void RegisterUtilWindowClass()
{
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    if (::GetClassInfoW(inst, UtilWindowClass, &wc))
        return;
    wc.lpfnWndProc = UtilWindowProc;
    wc.hInstance = inst;
    wc.lpszClassName = UtilWindowClass;
    ::RegisterClassW(&wc);
}
} // namespace

HWND AllocateHWnd(TWndMethod Method)
{
    RegisterUtilWindowClass();
    HWND wnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, UtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!wnd)
        throw EOutOfResources(L"Cannot create a utility window");
    auto holder = std::make_unique<TWndMethod>(Method);
    if (!::SetPropW(wnd, MethodProp, holder.get())) {
        ::DestroyWindow(wnd);
        throw EOutOfResources(L"Cannot create a utility window");
    }
    holder.release();
    return wnd;
}

void DeallocateHWnd(HWND Wnd)
{
    if (!Wnd)
        return;
    delete static_cast<TWndMethod*>(::RemovePropW(Wnd, MethodProp));
    ::DestroyWindow(Wnd);
}
