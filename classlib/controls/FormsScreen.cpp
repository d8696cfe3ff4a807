// The screen object: metrics, the screen cursor and the list of forms.
#include "classlib/controls/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TScreen
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen()
{
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
