#include "classlib/controls/ExtCtrls.h"

#include "classlib/controls/Dialogs.h"

namespace {

const wchar_t kUtilWindowClass[] = L"TPUtilWindow";
constexpr UINT_PTR kTimerId = 1;

// The hidden windows of the layer's utility objects share one class; each
// window's user data is its object.
void RegisterUtilWindowClass(WNDPROC proc)
{
    WNDCLASSW wc{};
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoW(inst, kUtilWindowClass, &wc))
        return;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.lpszClassName = kUtilWindowClass;
    RegisterClassW(&wc);
}

// An exception from an event must not unwind through the system's dispatch.
void HandleEventException()
{
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        KvMessageBox(GetActiveWindow(), e.Message(), L"", MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

} // namespace

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    RegisterUtilWindowClass(&TTimer::UtilWndProc);
    FWindowHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!FWindowHandle)
        throw EOutOfResources(L"Not enough timers available");
    SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer()
{
    // Cut the window off from this object first: nothing queued for it may
    // reach a freed timer.
    SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, 0);
    KillTimer(FWindowHandle, kTimerId);
    DestroyWindow(FWindowHandle);
}

void TTimer::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(unsigned Value)
{
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(const TNotifyEvent& Value)
{
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    KillTimer(FWindowHandle, kTimerId);
    if (FEnabled && FInterval != 0 && FOnTimer)
        if (!SetTimer(FWindowHandle, kTimerId, FInterval, nullptr))
            throw EOutOfResources(L"Not enough timers available");
}

void TTimer::Timer()
{
    if (FOnTimer)
        FOnTimer(this);
}

LRESULT CALLBACK TTimer::UtilWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER && wParam == kTimerId) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        // A tick fetched before the timer stopped (or was freed) is dropped.
        if (timer && timer->FEnabled && timer->FInterval != 0 && timer->FOnTimer) {
            try {
                timer->Timer();
            } catch (...) {
                HandleEventException();
            }
        }
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}

KV_BEGIN_PUBLISHED(TTimer, TComponent)
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Int(L"Interval", &C::Interval, &C::SetInterval, 1000, L"Cardinal");
    B.Event(L"OnTimer", &C::OnTimer, &C::SetOnTimer);
KV_END_PUBLISHED
