// System queries and the library's message boxes.
#include "skin/core/kvntUtils.h"

#include <windows.h>

#include "classlib/controls/Forms.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sInputSource.h"
#include "skin/core/sMsgDlg.h"

namespace {

DWORD MajorVersion()
{
    OSVERSIONINFOW v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    return GetVersionExW(&v) ? v.dwMajorVersion : 0;
}

bool CaptionFontMetrics(NONCLIENTMETRICSW& ncm, UINT size)
{
    ncm = {};
    ncm.cbSize = size;
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &ncm, 0) != 0;
}

// Size of NONCLIENTMETRICSW with and without the padded-border field that
// Windows 6 added.
constexpr UINT MetricsSizeV6 = 504;
constexpr UINT MetricsSizeOld = 500;
static_assert(sizeof(NONCLIENTMETRICSW) >= MetricsSizeV6);

void ProcessApplicationMessages()
{
    if (Application) {
        Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

int GetCaptionFontSize()
{
    NONCLIENTMETRICSW ncm;
    if (!CaptionFontMetrics(ncm, MajorVersion() >= 6 ? MetricsSizeV6 : MetricsSizeOld))
        return 0;
    return ncm.lfCaptionFont.lfHeight;
}

HFONT kvGetTitleFont()
{
    NONCLIENTMETRICSW ncm;
    if (!CaptionFontMetrics(ncm, MetricsSizeV6))
        return nullptr;
    return CreateFontIndirectW(&ncm.lfCaptionFont);
}

bool IsNTFamily()
{
    OSVERSIONINFOW v = {};
    v.dwOSVersionInfoSize = sizeof(v);
    if (!GetVersionExW(&v))
        return false;
    return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion >= 1);
}

void Delay(DWORD MSecs)
{
    DWORD start = kvTickCount();
    while (kvTickCount() - start < MSecs) {
        ProcessApplicationMessages();
        Sleep(1);
    }
}

void ShowWarning(const UnicodeString& Text)
{
    sMessageDlg(Text, mtWarning, {mbOK}, 0);
}

void ShowError(const UnicodeString& Text)
{
    sMessageDlg(Text, mtError, {mbOK}, 0);
}

void Alert()
{
    ShowWarning(L"Alert");
}

void Alert(const UnicodeString& Text)
{
    ShowWarning(Text);
}

void Alert(int Number)
{
    ShowWarning(IntToStr(Number));
}

bool DeleteRequest()
{
    return CustomRequest(L"Delete this item?");
}

bool CustomRequest(const UnicodeString& Text)
{
    return sMessageDlg(Text, mtConfirmation, {mbYes, mbNo}, 0) == IDYES;
}
