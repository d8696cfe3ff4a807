// The screen object: metrics, the screen cursor and the list of forms.
#include "classlib/controls/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TScreen
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen()
{
    for (TMonitor* m : FMonitors)
        delete m;
    delete FMenuFont;
    delete FHintFont;
}

TFont* TScreen::MenuFont()
{
    if (!FMenuFont) {
        FMenuFont = new TFont();
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof(ncm);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            FMenuFont->SetHandle(::CreateFontIndirectW(&ncm.lfMenuFont));
    }
    return FMenuFont;
}

TFont* TScreen::HintFont()
{
    if (!FHintFont) {
        FHintFont = new TFont();
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof(ncm);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            FHintFont->SetHandle(::CreateFontIndirectW(&ncm.lfStatusFont));
        FHintFont->SetColor(clInfoText);
    }
    return FHintFont;
}

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
// Displays.
namespace {
MONITORINFO InfoOf(HMONITOR Handle)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoW(Handle, &mi)) {
        // A display that went away: the primary one's size.
        mi.rcMonitor = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        mi.rcWork = mi.rcMonitor;
    }
    return mi;
}
} // namespace

TRect TMonitor::BoundsRect() const
{
    return InfoOf(FHandle).rcMonitor;
}

TRect TMonitor::WorkareaRect() const
{
    return InfoOf(FHandle).rcWork;
}

bool TMonitor::Primary() const
{
    return (InfoOf(FHandle).dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TMonitor* TScreen::MonitorFromWindow(HWND Wnd)
{
    const HMONITOR h = ::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST);
    for (TMonitor* m : FMonitors)
        if (m->Handle() == h)
            return m;
    FMonitors.push_back(new TMonitor(h));
    return FMonitors.back();
}

TMonitor* TCustomForm::Monitor()
{
    return Screen ? Screen->MonitorFromWindow(HandleAllocated() ? FHandle : nullptr) : nullptr;
}
