// The hint window.
#include "classlib/controls/Controls.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"

namespace {
const UINT HintTextFlags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

TAnimateWindowProc LookUpAnimateWindow()
{
    HMODULE user = ::GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<TAnimateWindowProc>(::GetProcAddress(user, "AnimateWindow")) : nullptr;
}
} // namespace

TAnimateWindowProc AnimateWindowProc = LookUpAnimateWindow();

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    // Shown by ActivateHint only, never by a parent window's showing.
    FVisible = false;
    FParentColor = false;
    FParentFont = false;
    FColor = clInfoBk;
    FBrush->SetColor(FColor);
    if (Screen)
        FFont->Assign(Screen->HintFont());
    FFont->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const UnicodeString& AHint, void*)
{
    TRect r(0, 0, MaxWidth, 0);
    ScreenDC dc;
    SelectedObject font(dc, FFont->Handle());
    ::DrawTextW(dc, AHint.c_str(), int(AHint.size()), &r,
                DT_CALCRECT | HintTextFlags | DrawTextBiDiModeFlagsReadingOnly());
    // Room for the frame and the text's margins.
    r.right += 6;
    r.bottom += 2;
    return r;
}

void THintWindow::ActivateHint(TRect Rect, const UnicodeString& AHint)
{
    SetCaption(AHint);
    // Keep the whole hint on the screen.
    int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    OffsetRect(&Rect, std::min(0, int(sw - Rect.right)), std::min(0, int(sh - Rect.bottom)));
    OffsetRect(&Rect, std::max(0, int(-Rect.left)), std::max(0, int(-Rect.top)));
    SetBoundsRect(Rect);
    ::SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, Rect.Width(), Rect.Height(),
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    if (HandleAllocated())
        DestroyHandle();
}

void THintWindow::Paint()
{
    TRect r = ClientRect();
    r.left += 2;
    r.top += 2;
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    SelectedObject font(dc, FFont->Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(FFont->Color()));
    UnicodeString text = Caption();
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r, HintTextFlags | DrawTextBiDiModeFlagsReadingOnly());
}

void THintWindow::WndProc(TMessage& Message)
{
    // The mouse passes through a hint to what lies below.
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(Message);
}

KV_BEGIN_PUBLISHED(THintWindow, TCustomControl)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
