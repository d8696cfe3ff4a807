#include "WrapperFixture.h"

namespace wraptest {

namespace {

LRESULT CALLBACK TargetProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* t = reinterpret_cast<TTarget*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (!t)
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    const int cmd = Msg == SM_KORVEXCMD ? HIWORD(WParam) : 0;
    t->Got.push_back({Msg, cmd, WParam, LParam});
    if (Msg == SM_KORVEXCMD) {
        auto it = t->Answers.find(cmd);
        return it == t->Answers.end() ? 0 : it->second;
    }
    if (Msg == WM_PAINT && WParam)
        return 0; // painted into the given context: nothing to validate
    return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
}

const wchar_t* TargetClass()
{
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvWrapTarget";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return L"KvWrapTarget";
}

} // namespace

TTarget::TTarget(HWND Parent, DWORD Style, int Width, int Height)
{
    Handle = ::CreateWindowExW(0, TargetClass(), L"target", Style, 10, 10, Width, Height, Parent, nullptr, nullptr,
                               nullptr);
    ::SetWindowLongPtrW(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTarget::~TTarget()
{
    if (::IsWindow(Handle)) {
        ::SetWindowLongPtrW(Handle, GWLP_USERDATA, 0);
        ::DestroyWindow(Handle);
    }
}

int TTarget::Count(UINT Msg, int Cmd) const
{
    int n = 0;
    for (const TReceived& r : Got)
        n += r.Msg == Msg && r.Cmd == Cmd;
    return n;
}

std::vector<TReceived> TTarget::All(UINT Msg) const
{
    std::vector<TReceived> out;
    for (const TReceived& r : Got)
        if (r.Msg == Msg)
            out.push_back(r);
    return out;
}

std::vector<int> TTarget::ScrollCodes(UINT Msg) const
{
    std::vector<int> out;
    for (const TReceived& r : All(Msg))
        out.push_back(LOWORD(r.WParam));
    return out;
}

} // namespace wraptest
