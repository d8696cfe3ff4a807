#include "classlib/controls/ExtCtrls.h"

#include "classlib/controls/Forms.h"
#include "classlib/controls/UtilWindow.h"
#include "classlib/graphics/GdiHandles.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
} // namespace

// ---------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    FWindowHandle = AllocateHWnd(Bind(this, &TTimer::WndProc));
}

TTimer::~TTimer()
{
    // The window is cut off from this object first: nothing queued for it
    // may reach a freed timer.
    KillTimer(FWindowHandle, kTimerId);
    DeallocateHWnd(FWindowHandle);
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

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER && Message.WParam == kTimerId) {
        // A tick fetched before the timer stopped is dropped.
        if (FEnabled && FInterval != 0 && FOnTimer) {
            try {
                Timer();
            } catch (...) {
                // Reported with the timer as the sender.
                if (Application)
                    Application->HandleException(this);
            }
        }
        return;
    }
    Message.Result = DefWindowProcW(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

KV_BEGIN_PUBLISHED(TTimer, TComponent)
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Int(L"Interval", &C::Interval, &C::SetInterval, 1000, L"Cardinal");
    B.Event(L"OnTimer", &C::OnTimer, &C::SetOnTimer);
KV_END_PUBLISHED

// ---------------------------------------------------------------------------
// Panels

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    --Rect.bottom;
    --Rect.right;
    TPen* pen = Canvas->Pen();
    pen->SetWidth(1);
    pen->SetStyle(psSolid);
    for (; Width > 0; --Width) {
        TPoint topRight(Rect.right, Rect.top);
        TPoint bottomLeft(Rect.left, Rect.bottom);
        pen->SetColor(TopColor);
        Canvas->Polyline({bottomLeft, TPoint(Rect.left, Rect.top), topRight});
        pen->SetColor(BottomColor);
        --bottomLeft.x;
        Canvas->Polyline({topRight, TPoint(Rect.right, Rect.bottom), bottomLeft});
        InflateRect(&Rect, -1, -1);
    }
    ++Rect.bottom;
    ++Rect.right;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                     csDoubleClicks, csReplicatable, csParentBackground};
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FParentColor = false;
}

void TCustomPanel::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    TCustomControl::AdjustClientRect(Rect); // takes off BorderWidth
    int bevel = 0;
    if (FBevelOuter != bvNone)
        bevel += FBevelWidth;
    if (FBevelInner != bvNone)
        bevel += FBevelWidth;
    InflateRect(&Rect, -bevel, -bevel);
}

namespace {

void BevelColors(TBevelCut Bevel, TColor& TopColor, TColor& BottomColor)
{
    TopColor = Bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    BottomColor = Bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

void TCustomPanel::Paint()
{
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    Frame3D(canvas, rect, Color(), Color(), BorderWidth());
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(rect);

    UnicodeString caption = Caption();
    if (FShowCaption && !caption.empty()) {
        HDC dc = canvas->Handle();
        SelectedObject font(dc, Font()->Handle());
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        rect.top = (rect.bottom + rect.top - tm.tmHeight) / 2;
        rect.bottom = rect.top + tm.tmHeight;
        BkModeScope mode(dc, TRANSPARENT);
        TextColorScope colour(dc, ColorToRGB(Font()->Color()));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &rect,
                  DT_EXPANDTABS | DT_VCENTER | alignments[FAlignment]);
    }
}

void TCustomPanel::CMTextChanged(TMessage& Message)
{
    TCustomControl::CMTextChanged(Message);
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Invalidate();
    }
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    if (Value != FBevelInner) {
        FBevelInner = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    if (Value != FBevelOuter) {
        FBevelOuter = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value)
{
    if (Value != FBevelWidth) {
        FBevelWidth = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

void TCustomPanel::SetShowCaption(bool Value)
{
    if (Value != FShowCaption) {
        FShowCaption = Value;
        Invalidate();
    }
}

KV_BEGIN_PUBLISHED(TCustomPanel, TCustomControl)
    static const std::initializer_list<const wchar_t*> bevels = {L"bvNone", L"bvLowered", L"bvRaised", L"bvSpace"};
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, taCenter,
           {L"taLeftJustify", L"taRightJustify", L"taCenter"}, L"TAlignment");
    B.Enum(L"BevelInner", &C::BevelInner, &C::SetBevelInner, bvNone, bevels, L"TBevelCut");
    B.Enum(L"BevelOuter", &C::BevelOuter, &C::SetBevelOuter, bvRaised, bevels, L"TBevelCut");
    B.Int(L"BevelWidth", &C::BevelWidth, &C::SetBevelWidth, 1, L"TBevelWidth");
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsNone, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
    B.Bool(L"FullRepaint", &C::FullRepaint, &C::SetFullRepaint, true);
    B.Bool(L"ShowCaption", &C::ShowCaption, &C::SetShowCaption, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TPanel, TCustomPanel)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED

void RegisterExtCtrlsClasses()
{
    RegisterClasses<TPanel, TSplitter, TTimer>();
}

namespace {
// Form resources may name these classes as soon as this unit is linked in.
[[maybe_unused]] const bool kRegistered = (RegisterExtCtrlsClasses(), true);
} // namespace
