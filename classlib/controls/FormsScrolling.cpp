// Scrolling controls: their scroll bars, ranges that follow the children,
// scrolling the children, and the scroll box.
#include "classlib/controls/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TControlScrollBar

TControlScrollBar::TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind)
    : FControl(AControl), FKind(AKind)
{
}

TPersistent* TControlScrollBar::GetOwner() { return FControl; }

void TControlScrollBar::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TControlScrollBar*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    FIncrement = other->FIncrement;
    FMargin = other->FMargin;
    FTracking = other->FTracking;
    SetVisible(other->FVisible);
    SetRange(other->FRange);
    SetPosition(other->FPosition);
}

void TControlScrollBar::SetMargin(int Value)
{
    FMargin = std::max(Value, 0);
    FControl->CalcAutoRange();
}

void TControlScrollBar::SetRange(int Value)
{
    // A range set by hand turns AutoScroll off, as the ranges are no
    // longer the children's.
    if (!FControl->ComponentState().Contains(csReading))
        FControl->FAutoScroll = false;
    FRange = std::max(Value, 0);
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetAutoRange(int Value) { FRange = std::max(Value, 0); }

void TControlScrollBar::SetVisible(bool Value)
{
    FVisible = Value;
    FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value)
{
    if (FControl->ComponentState().Contains(csReading)) {
        FPosition = Value;
        return;
    }
    Value = std::clamp(Value, 0, FCalcRange);
    if (Value != FPosition) {
        int old = FPosition;
        FPosition = Value;
        if (FKind == sbHorizontal)
            FControl->ScrollBy(old - Value, 0);
        else
            FControl->ScrollBy(0, old - Value);
    }
    if (FControl->HandleAllocated() && FShown)
        ::SetScrollPos(FControl->Handle(), BarCode(), FPosition, TRUE);
}

void TControlScrollBar::Apply(bool Show, int PageSize)
{
    FShown = Show;
    FPageSize = std::max(PageSize, 0);
    FCalcRange = Show ? std::max(FRange - FPageSize, 0) : 0;
    HWND wnd = FControl->Handle();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMax = Show ? FRange - 1 : 0;
    si.nPage = Show ? UINT(FPageSize) : 0;
    si.nPos = std::min(FPosition, FCalcRange);
    ::SetScrollInfo(wnd, BarCode(), &si, TRUE);
    ::ShowScrollBar(wnd, BarCode(), Show);
    if (FPosition > FCalcRange)
        SetPosition(FCalcRange);
}

void TControlScrollBar::ScrollMessage(TMessage& Message)
{
    int pos = FPosition;
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: pos -= FIncrement; break;
    case SB_LINEDOWN: pos += FIncrement; break;
    case SB_PAGEUP: pos -= FPageSize; break;
    case SB_PAGEDOWN: pos += FPageSize; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = FCalcRange; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        if (LOWORD(Message.WParam) == SB_THUMBTRACK && !FTracking)
            return;
        // The 32-bit track position (the message carries 16 bits).
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_TRACKPOS;
        pos = ::GetScrollInfo(FControl->Handle(), BarCode(), &si) ? si.nTrackPos : HIWORD(Message.WParam);
        break;
    }
    default: return;
    }
    SetPosition(pos);
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// TScrollingWinControl

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner), FHorzScrollBar(new TControlScrollBar(this, sbHorizontal)),
      FVertScrollBar(new TControlScrollBar(this, sbVertical))
{
}

TScrollingWinControl::~TScrollingWinControl()
{
    delete FHorzScrollBar;
    delete FVertScrollBar;
}

void TScrollingWinControl::SetAutoScroll(bool Value)
{
    if (FAutoScroll == Value)
        return;
    FAutoScroll = Value;
    if (Value)
        CalcAutoRange();
    else {
        FHorzScrollBar->SetAutoRange(0);
        FVertScrollBar->SetAutoRange(0);
        UpdateScrollBars();
    }
}

void TScrollingWinControl::EnableAutoRange()
{
    if (FAutoRangeCount > 0 && --FAutoRangeCount == 0)
        CalcAutoRange();
}

int TScrollingWinControl::AutoRange(TScrollBarKind Kind) const
{
    bool horz = Kind == sbHorizontal;
    int pos = horz ? FHorzScrollBar->FPosition : FVertScrollBar->FPosition;
    int range = 0, alignMargin = 0;
    for (TControl* c : FControls) {
        if (!c->Visible())
            continue;
        TAlign nearSide = horz ? alLeft : alTop, farSide = horz ? alRight : alBottom;
        TAnchorKind nearAnchor = horz ? akLeft : akTop, farAnchor = horz ? akRight : akBottom;
        bool nearOnly = c->Anchors().Contains(nearAnchor) && !c->Anchors().Contains(farAnchor);
        if (c->Align() == nearSide || (c->Align() == alNone && nearOnly))
            range = std::max(range, pos + (horz ? c->Left() + c->Width() : c->Top() + c->Height()));
        else if (c->Align() == farSide)
            alignMargin += horz ? c->Width() : c->Height();
    }
    return range + alignMargin + (horz ? FHorzScrollBar->FMargin : FVertScrollBar->FMargin);
}

void TScrollingWinControl::CalcAutoRange()
{
    if (FAutoRangeCount > 0 || FScrolling || ComponentState().Contains(csLoading))
        return;
    if (FAutoScroll) {
        FHorzScrollBar->SetAutoRange(AutoRange(sbHorizontal));
        FVertScrollBar->SetAutoRange(AutoRange(sbVertical));
    }
    UpdateScrollBars();
}

void TScrollingWinControl::UpdateScrollBars()
{
    if (!HandleAllocated() || FUpdatingBars || ComponentState().Contains(csLoading))
        return;
    TStateScope<TControlStateItem> aligning(FControlState, csAligning);
    FUpdatingBars = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FUpdatingBars};
    // The client size without bars, then the bars each range needs, each
    // bar taking room from the other direction.
    RECT r;
    ::GetClientRect(FHandle, &r);
    LONG style = ::GetWindowLongW(FHandle, GWL_STYLE);
    int cxv = ::GetSystemMetrics(SM_CXVSCROLL), cyh = ::GetSystemMetrics(SM_CYHSCROLL);
    int w = r.right + ((style & WS_VSCROLL) ? cxv : 0);
    int h = r.bottom + ((style & WS_HSCROLL) ? cyh : 0);
    TControlScrollBar* hb = FHorzScrollBar;
    TControlScrollBar* vb = FVertScrollBar;
    bool needH = hb->FVisible && hb->FRange > w;
    bool needV = vb->FVisible && vb->FRange > h;
    if (needH && !needV)
        needV = vb->FVisible && vb->FRange > h - cyh;
    if (needV && !needH)
        needH = hb->FVisible && hb->FRange > w - cxv;
    hb->Apply(needH, w - (needV ? cxv : 0));
    vb->Apply(needV, h - (needH ? cyh : 0));
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect)
{
    int w = std::max(FHorzScrollBar->FRange, Rect.Width());
    int h = std::max(FVertScrollBar->FRange, Rect.Height());
    Rect = Bounds(-FHorzScrollBar->FPosition, -FVertScrollBar->FPosition, w, h);
    TWinControl::AdjustClientRect(Rect);
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    CalcAutoRange();
}

void TScrollingWinControl::ControlBoundsChanged(TControl*) { CalcAutoRange(); }

void TScrollingWinControl::CreateWnd()
{
    TWinControl::CreateWnd();
    CalcAutoRange();
}

void TScrollingWinControl::Loaded()
{
    TWinControl::Loaded();
    CalcAutoRange();
}

void TScrollingWinControl::ScrollBy(int DeltaX, int DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0)
        return;
    FScrolling = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FScrolling};
    DisableAlign();
    std::vector<TControl*> list = FControls;
    for (TControl* c : list)
        c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    EnableAlign();
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* AControl)
{
    if (!AControl || AControl->Parent() != this)
        return;
    TRect client = GetClientRect();
    auto scroll = [](TControlScrollBar* Bar, int Lo, int Size, int ClientSize) {
        if (Lo < 0)
            Bar->SetPosition(Bar->Position() + Lo);
        else if (Lo + Size > ClientSize)
            Bar->SetPosition(Bar->Position() + (Size > ClientSize ? Lo : Lo + Size - ClientSize));
    };
    scroll(FHorzScrollBar, AControl->Left(), AControl->Width(), client.Width());
    scroll(FVertScrollBar, AControl->Top(), AControl->Height(), client.Height());
}

void TScrollingWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Our own bars send no window; a child's bar goes to the child.
        if (Message.LParam == 0) {
            (Message.Msg == WM_HSCROLL ? FHorzScrollBar : FVertScrollBar)->ScrollMessage(Message);
            return;
        }
        break;
    case CM_CONTROLCHANGE:
    case CM_SHOWINGCHANGED:
        TWinControl::WndProc(Message);
        CalcAutoRange();
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------
// TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FWidth = 185;
    FHeight = 41;
}

void TScrollBox::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TControlScrollBar, TPersistent)
    B.Int(L"Increment", &C::Increment, &C::SetIncrement, 8);
    B.Int(L"Margin", &C::Margin, &C::SetMargin, 0);
    B.Int(L"Range", &C::Range, &C::SetRange, 0);
    B.Int(L"Position", &C::Position, &C::SetPosition, 0);
    B.Bool(L"Tracking", &C::Tracking, &C::SetTracking, false);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TScrollingWinControl, TWinControl)
    B.Bool(L"AutoScroll", &C::AutoScroll, &C::SetAutoScroll, true);
    B.Object(L"HorzScrollBar", &C::HorzScrollBar, &C::SetHorzScrollBar);
    B.Object(L"VertScrollBar", &C::VertScrollBar, &C::SetVertScrollBar);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TScrollBox, TScrollingWinControl)
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
KV_END_PUBLISHED
