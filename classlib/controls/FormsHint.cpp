// The application's hints: the control under the mouse shows its hint after
// a pause, for a while, unless it refuses in CM_HINTSHOW.
#include "classlib/controls/Forms.h"

#include <algorithm>

namespace {
// Room between the cursor's hot spot and the hint below it.
constexpr int CursorMargin = 20;

// ShowHint of the control, or of a parent while ParentShowHint says so.
bool ShowsHint(TControl* Control)
{
    for (TControl* c = Control; c; c = c->Parent()) {
        if (c->ShowHint())
            return true;
        if (!c->ParentShowHint())
            return false;
    }
    return false;
}

// The control whose hint the mouse over Control asks for: the first one up
// the parent chain with a hint, when hints show there.
TControl* HintControlFor(TControl* Control)
{
    TControl* c = Control;
    while (c && c->Hint().empty())
        c = c->Parent();
    if (!c || c->ComponentState().Contains(csDesigning) || !ShowsHint(c))
        return nullptr;
    return c;
}
} // namespace

UnicodeString GetShortHint(const UnicodeString& Hint)
{
    const size_t bar = Hint.find(L'|');
    return bar == UnicodeString::npos ? Hint : Hint.substr(0, bar);
}

void CALLBACK HintTimerExpired(HWND, UINT, UINT_PTR Id, DWORD)
{
    TApplication* app = Application;
    if (!app || Id != app->FHintTimer)
        return;
    const bool hides = app->FHintTimerHides;
    app->StopHintTimer();
    // An exception never unwinds through the system's timer dispatch.
    try {
        if (hides)
            app->HideHint();
        else {
            POINT p{};
            ::GetCursorPos(&p);
            app->ActivateHint(TPoint(p.x, p.y));
        }
    } catch (...) {
        app->HandleException(app);
    }
}

void TApplication::StartHintTimer(int Pause, bool Hides)
{
    StopHintTimer();
    FHintTimerHides = Hides;
    FHintTimer = ::SetTimer(nullptr, 0, UINT(std::max(Pause, 1)), &HintTimerExpired);
}

void TApplication::StopHintTimer()
{
    if (FHintTimer)
        ::KillTimer(nullptr, FHintTimer);
    FHintTimer = 0;
}

void TApplication::SetShowHint(bool Value)
{
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    if (!Value) {
        CancelHint();
        TObject* w = FHintWindow;
        FHintWindow = nullptr;
        FreeAndNil(w);
    }
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message)
{
    if (!FShowHint)
        return;
    TControl* target = HintControlFor(Control);
    if (!target) {
        CancelHint();
        return;
    }
    const TPoint p = Control->ClientToScreen(
        TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))));
    const TPoint inTarget = target->ScreenToClient(p);
    if (target == FHintControl && FHintCursorRect.Contains(inTarget))
        return;
    const bool wasActive = FHintActive;
    CancelHint();
    FHintControl = target;
    FHintCursorRect = target->ClientRect();
    StartHintTimer(wasActive ? HintShortPause : HintPause, false);
}

bool TApplication::ActivateHint(const TPoint& CursorPos)
{
    TControl* c = FHintControl;
    if (!FShowHint || !c)
        return false;
    THintInfo info;
    info.HintControl = c;
    info.HintPos = TPoint(CursorPos.x, CursorPos.y + CursorMargin);
    info.HintMaxWidth = Screen ? Screen->Width() : ::GetSystemMetrics(SM_CXSCREEN);
    info.HintColor = HintColor;
    info.CursorRect = c->ClientRect();
    info.CursorPos = c->ScreenToClient(CursorPos);
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(c->Hint());
    if (c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) {
        HideHint();
        return false;
    }
    FHintCursorRect = info.CursorRect;
    if (!FHintWindow)
        FHintWindow = New<THintWindow>(this);
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    ::OffsetRect(&r, info.HintPos.x, info.HintPos.y);
    FHintWindow->ActivateHint(r, info.HintStr);
    FHintActive = true;
    if (info.HideTimeout > 0)
        StartHintTimer(info.HideTimeout, true);
    return true;
}

void TApplication::HideHint()
{
    if (FHintWindow)
        FHintWindow->ReleaseHandle();
    FHintActive = false;
}

void TApplication::CancelHint()
{
    StopHintTimer();
    HideHint();
    FHintControl = nullptr;
}

void TApplication::ControlDestroyed(TControl* Control)
{
    if (Control && Control == FHintControl)
        CancelHint();
    if (Control && Control == FHintWindow)
        FHintWindow = nullptr;
}
