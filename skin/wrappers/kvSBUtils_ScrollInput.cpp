// The skinned bars at work: their room in the frame, hit tests, presses with
// auto-repeat, thumb dragging, hover tracking, and the scroll requests they
// send.  The cursor comes from the input source, so tests steer it.
#include <algorithm>

#include "classlib/controls/Controls.h"
#include "skin/core/sInputSource.h"
#include "skin/core/sVclUtils.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

TkvScrollInteraction kvScrollState;
int nLastSBPos = -1;

namespace {

TkvScrollInteraction& S = kvScrollState;

TPoint MessagePoint(LPARAM LParam)
{
    return TPoint(static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam)));
}

// The bar's rectangle without the extra buttons (screen).
TRect RealBarRect(TkvScrollWnd* W, TkvScrollBar* Bar)
{
    TRect r;
    GetBarRectByType(W, Bar->nBarType, W->CtrlHandle, r);
    Kv_GetRealScrollRect(Bar, r);
    return r;
}

TRect ToWindow(HWND Wnd, TRect R)
{
    TRect w;
    ::GetWindowRect(Wnd, &w);
    ::OffsetRect(&R, -w.left, -w.top);
    return R;
}

void RedrawBar(TkvScrollWnd* W, TkvScrollBar* Bar, int Pressed)
{
    if (Bar)
        Kv_NCDrawScrollbar(Bar, W->CtrlHandle, nullptr, ToWindow(W->CtrlHandle, RealBarRect(W, Bar)), Pressed, -1);
}

void RepaintBars(HWND Wnd)
{
    if (TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd))
        Kv_NCPaint(w, Wnd, 0, 0, -1, nullptr);
}

int Along(const TPoint& P, bool Vertical)
{
    return Vertical ? P.y : P.x;
}

void KillOwnTimer(HWND Wnd, UINT_PTR& Timer)
{
    if (Timer && ::IsWindow(Wnd))
        ::KillTimer(Wnd, Timer);
    Timer = 0;
}

void ResetPress()
{
    S.ActivePortion = -1;
    S.ShownPortion = -1;
    S.RepeatTimer = 0;
    S.ActiveScrollMsg = 0;
    S.ActiveBar = -1;
}

void StopHover()
{
    const HWND wnd = S.HoverWnd;
    KillOwnTimer(wnd, S.HoverTimer);
    S.HoverBar = S.HoverPortion = S.LastHoverPortion = -1;
    S.HoverWnd = nullptr;
    if (wnd && ::IsWindow(wnd))
        RepaintBars(wnd);
}

// Sends a request with the bars' repainting held back meanwhile; false when
// the wrapper did not outlive it (the window may destroy itself on the
// request), and then nothing of it may be touched.
bool SendQuietly(TkvScrollWnd* W, int Code, int Pos)
{
    kvsb_detail::TkvAliveGuard guard(W);
    const bool was = W->DontRepaint;
    W->DontRepaint = true;
    SendScrollMessage(W->CtrlHandle, S.ActiveScrollMsg, Code, Pos);
    if (!guard.Alive())
        return false;
    W->DontRepaint = was;
    return !W->Destroyed;
}

// The pressed portion is drawn pressed while the cursor is over it.
void FollowCursor(TkvScrollWnd* W, const TPoint& Cursor)
{
    TkvScrollBar* bar = W->Bar(S.ActiveBar);
    if (!bar)
        return;
    const int p = GetPortionByType(bar, RealBarRect(W, bar), Cursor);
    S.ShownPortion = p == S.ActivePortion ? S.ActivePortion : -1;
    RedrawBar(W, bar, S.ShownPortion);
}

void StartAutoScroll(TkvScrollWnd* W, TkvScrollBar* Bar, const TPoint& P)
{
    S.ShownPortion = GetPortionByType(Bar, RealBarRect(W, Bar), P);
    const HWND wnd = W->CtrlHandle;
    if (!SendQuietly(W, S.ActivePortion, 0)) {
        // The wrapper and its bars went with the request: the press too.
        if (S.MouseWnd == wnd) {
            ResetPress();
            if (::GetCapture() == wnd)
                ::ReleaseCapture();
        }
        return;
    }
    if (S.ActivePortion == -1 || S.MouseWnd != wnd)
        return;  // the press ended inside the request
    S.ShownPortion = S.ActivePortion;
    // Drawn after the request: the window's answer may have painted over it.
    RedrawBar(W, W->Bar(S.ActiveBar), S.ShownPortion);
    S.RepeatTimer = ::SetTimer(wnd, SB_TIMER_FIRST_REPEAT, 300, nullptr);
}

void StartDrag(TkvScrollWnd* W, TkvScrollBar* Bar, const TPoint& P)
{
    const TRect r = RealBarRect(W, Bar);
    Kv_CalcThumbSize(Bar, r, S.DragThumbSize, S.DragThumbPos);
    S.DragBarRect = r;
    W->fThumbTracking = true;
    Bar->ScrollInfo.nTrackPos = Bar->ScrollInfo.nPos;
    S.DragMouseOffset = Along(P, Bar->Vertical()) - S.DragThumbPos;
    nLastSBPos = Bar->ScrollInfo.nPos;
}

// The drop-down list of a combo box keeps the mouse after a release.
bool KeepsCapture(TkvScrollWnd* W)
{
    return !W->SkinData->FOwnerControl && W->IsDropDownList() && W->Tag != -1;
}

bool PassesReleaseOn(TkvScrollWnd* W)
{
    if (TControl* c = W->SkinData->FOwnerControl)
        return !c->ClassNameIs(L"TImageEnView");
    return !W->IsDropDownList();
}

} // namespace

// ---------------------------------------------------------------------------
// The frame.

LRESULT Kv_NCCalcSize(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    auto* rc = reinterpret_cast<RECT*>(LParam);
    const TRect w = rc ? TRect(*rc) : TRect();
    TMessage m = MakeMessage(WM_NCCALCSIZE, WParam, LParam);
    ScrollWnd->PassOnWithoutBars(m);
    if (!rc || ScrollWnd->Destroyed)
        return m.Result;
    TRect c(*rc);
    ScrollWnd->cxLeftEdge = c.left - w.left;
    ScrollWnd->cxRightEdge = w.right - c.right;
    ScrollWnd->cyTopEdge = c.top - w.top;
    ScrollWnd->cyBottomEdge = w.bottom - c.bottom;
    if (!ScrollWnd->sBarHorz || !ScrollWnd->sBarVert)
        return m.Result;
    const LONG style = ::GetWindowLongW(Wnd, GWL_STYLE);
    TkvScrollBar* h = ScrollWnd->sBarHorz;
    h->fScrollFlags = (style & WS_HSCROLL) ? SBF_STYLE : 0;
    const int ht = GetScrollMetric(h, 1, false);
    h->fScrollVisible = h->fScrollFlags && c.Height() >= ht;
    if (h->fScrollVisible)
        c.bottom -= ht;
    TkvScrollBar* v = ScrollWnd->sBarVert;
    v->fScrollFlags = (style & WS_VSCROLL) ? SBF_STYLE : 0;
    const int vt = GetScrollMetric(v, 1, false);
    v->fScrollVisible = v->fScrollFlags && c.Width() >= vt;
    if (v->fScrollVisible)
        (ScrollWnd->fLeftScrollbar ? c.left += vt : c.right -= vt);
    *rc = c;
    return m.Result;
}

LRESULT Kv_NCHitTest(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    const TPoint p = MessagePoint(LParam);
    TRect r;
    TkvScrollBar* h = ScrollWnd->sBarHorz;
    TkvScrollBar* v = ScrollWnd->sBarVert;
    if (h && h->fScrollVisible && (KV_GetHScrollRect(ScrollWnd, Wnd, r), r.Contains(p)))
        return Kv_IsScrollbarActive(h) ? HTHSCROLL : HTNOWHERE;
    if (v && v->fScrollVisible && (KV_GetVScrollRect(ScrollWnd, Wnd, r), r.Contains(p)))
        return Kv_IsScrollbarActive(v) ? HTVSCROLL : HTNOWHERE;
    const TRect corner = KV_GetCornerRect(ScrollWnd, Wnd);
    if (corner.Contains(p) && IsAtParentCorner(ScrollWnd, Wnd, corner))
        return HTBOTTOMRIGHT;
    LPARAM lp = LParam;
    return ScrollWnd->CallPrevWndProc(Wnd, WM_NCHITTEST, WParam, lp);
}

// ---------------------------------------------------------------------------
// The mouse.

LRESULT HandleNCMouseMove(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    S.MouseWnd = Wnd;
    const bool onBar = WParam == HTHSCROLL || WParam == HTVSCROLL;
    if (onBar) {
        const int bar = WParam == HTHSCROLL ? 0 : 1;
        if (S.HoverWnd != Wnd || S.HoverBar != bar) {
            if (S.HoverWnd && S.HoverWnd != Wnd)
                StopHover();
            S.LastHoverPortion = -1;
            S.HoverPortion = -1;
            GetBarRectByType(ScrollWnd, bar, Wnd, S.HoverBarRect);
            S.HoverBar = bar;
            S.HoverWnd = Wnd;
            S.HoverTimer = ::SetTimer(Wnd, SB_TIMER_HOVER, 20, nullptr);
            Kv_NCPaint(ScrollWnd, Wnd, 0, 0, -1, nullptr);
        }
    }
    TMessage m = MakeMessage(WM_NCMOUSEMOVE, WParam, LParam);
    // Over a bar the system must not light up its own bar there.
    if (onBar)
        ScrollWnd->PassOnWithoutBars(m);
    else
        m.Result = ScrollWnd->CallPrevWndProc(m);
    return m.Result;
}

LRESULT Kv_NCLButtonDown(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    const TPoint p = MessagePoint(LParam);
    S.MouseWnd = Wnd;
    const bool horz = WParam == HTHSCROLL;
    S.ActiveScrollMsg = horz ? WM_HSCROLL : WM_VSCROLL;
    S.ActiveBar = horz ? 0 : 1;
    TkvScrollBar* bar = ScrollWnd->Bar(S.ActiveBar);
    if (!bar) {
        ResetPress();
        return 0;
    }
    S.ActivePortion = GetPortionByType(bar, RealBarRect(ScrollWnd, bar), p);
    const int portion = S.ActivePortion;
    const bool disabledArrow = (portion == SBP_LINE_BEFORE && (bar->fScrollFlags & SBF_LEFT_DISABLED)) ||
                               (portion == SBP_LINE_AFTER && (bar->fScrollFlags & SBF_RIGHT_DISABLED));
    if (disabledArrow || portion == SBP_NONE || !Kv_IsScrollbarActive(bar)) {
        // Nothing there: no press, and the system's own tracking never starts.
        ResetPress();
        return 0;
    }
    ::SetCapture(Wnd);
    if (portion == SBP_THUMB)
        StartDrag(ScrollWnd, bar, p);
    else
        StartAutoScroll(ScrollWnd, bar, p);
    return 0;
}

void Kv_ThumbTrack(TkvScrollWnd* ScrollWnd, HWND Wnd)
{
    TkvScrollBar* bar = ScrollWnd->Bar(S.ActiveBar);
    if (!bar)
        return;
    const bool v = bar->Vertical();
    const int arrow = ArrowLength(bar);
    const int first = (v ? S.DragBarRect.top : S.DragBarRect.left) + arrow;
    const int last = (v ? S.DragBarRect.bottom : S.DragBarRect.right) - arrow;
    const int x = std::max(Along(kvCursorPos(), v) - S.DragMouseOffset, first);
    const int h = std::max(std::min(last - S.DragThumbSize, x), first);
    const int pos = Kv_ThumbPosition(bar, h - first, last - first, S.DragThumbSize);
    const int previous = nLastSBPos;
    nLastSBPos = pos;
    if (pos != previous) {
        bar->ScrollInfo.nTrackPos = pos;
        if (!SendQuietly(ScrollWnd, SB_THUMBTRACK, pos))
            return;
    }
    if (!ScrollWnd->fThumbTracking)
        return;
    TRect w;
    ::GetWindowRect(Wnd, &w);
    Kv_DrawDraggedBar(bar, Wnd, h - (v ? w.top : w.left));
}

LRESULT Kv_MouseMove(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    if (ScrollWnd->fThumbTracking && S.MouseWnd == Wnd) {
        Kv_ThumbTrack(ScrollWnd, Wnd);
        return 0;
    }
    if (S.ActivePortion == -1 || S.MouseWnd != Wnd) {
        LPARAM lp = LParam;
        return ScrollWnd->CallPrevWndProc(Wnd, WM_MOUSEMOVE, WParam, lp);
    }
    FollowCursor(ScrollWnd, kvCursorPos());
    return 0;
}

void Kv_EndPress(TkvScrollWnd* ScrollWnd, HWND Wnd, bool Released)
{
    if (S.ActivePortion == -1 || S.MouseWnd != Wnd)
        return;
    const int portion = S.ActivePortion;
    TkvScrollBar* bar = ScrollWnd->Bar(S.ActiveBar);
    const UINT msg = S.ActiveScrollMsg;
    KillOwnTimer(Wnd, S.RepeatTimer);
    const bool tracking = ScrollWnd->fThumbTracking;
    ScrollWnd->fThumbTracking = false;
    ResetPress();
    S.ActiveScrollMsg = msg; // for the requests below
    const bool alive = portion == SBP_THUMB
                           ? (!tracking || SendQuietly(ScrollWnd, SB_THUMBPOSITION, nLastSBPos)) &&
                                 SendQuietly(ScrollWnd, SB_ENDSCROLL, nLastSBPos)
                           : SendQuietly(ScrollWnd, SB_ENDSCROLL, 0);
    S.ActiveScrollMsg = 0;
    if (!alive)
        return;
    if (Released && ::GetCapture() == Wnd && !KeepsCapture(ScrollWnd))
        ::ReleaseCapture();
    RedrawBar(ScrollWnd, bar, -1);
}

LRESULT Kv_LButtonUp(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    LPARAM lp = LParam;
    if (S.ActivePortion == -1 || S.MouseWnd != Wnd)
        return ScrollWnd->CallPrevWndProc(Wnd, WM_LBUTTONUP, WParam, lp);
    TkvAliveGuard guard(ScrollWnd);
    Kv_EndPress(ScrollWnd, Wnd, true);
    if (!guard.Alive() || ScrollWnd->Destroyed || !PassesReleaseOn(ScrollWnd))
        return 0;
    return ScrollWnd->CallPrevWndProc(Wnd, WM_LBUTTONUP, WParam, lp);
}

LRESULT Kv_Timer(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    switch (WParam) {
    case SB_TIMER_HOVER:
        if (S.HoverWnd != Wnd || !S.HoverTimer) {
            ::KillTimer(Wnd, WParam); // a tick left over from before
            return 0;
        }
        if (ScrollWnd->fThumbTracking)
            return 0;
        if (S.HoverBarRect.Contains(kvCursorPos())) {
            TkvScrollBar* bar = ScrollWnd->Bar(S.HoverBar);
            S.HoverPortion = bar ? GetPortionByType(bar, RealBarRect(ScrollWnd, bar), kvCursorPos()) : -1;
            if (S.HoverPortion != S.LastHoverPortion)
                RedrawBar(ScrollWnd, bar, -1);
            S.LastHoverPortion = S.HoverPortion;
        } else {
            StopHover();
        }
        return 0;
    case SB_TIMER_FIRST_REPEAT:
        if (S.MouseWnd != Wnd || !S.RepeatTimer) {
            ::KillTimer(Wnd, WParam);
            return 0;
        }
        KillOwnTimer(Wnd, S.RepeatTimer);
        S.RepeatTimer = ::SetTimer(Wnd, SB_TIMER_REPEAT, 55, nullptr);
        return 0;
    case SB_TIMER_REPEAT:
        if (S.MouseWnd != Wnd || !S.RepeatTimer || S.ActivePortion < 0 || S.ActivePortion > 3) {
            ::KillTimer(Wnd, WParam);
            return 0;
        }
        // The cursor on the screen: a bar at the window's left lies at
        // negative client coordinates.
        FollowCursor(ScrollWnd, kvCursorPos());
        if (S.ShownPortion != -1)
            SendQuietly(ScrollWnd, S.ShownPortion, 0);
        return 0;
    }
    LPARAM lp = LParam;
    return ScrollWnd->CallPrevWndProc(Wnd, WM_TIMER, WParam, lp);
}

LRESULT Kv_Notify(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    return ScrollWnd->CallPrevWndProc(Wnd, WM_NOTIFY, WParam, LParam);
}

LRESULT Kv_SetCursor(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam)
{
    return ScrollWnd->CallPrevWndProc(Wnd, WM_SETCURSOR, WParam, LParam);
}

void Kv_ForgetWindow(HWND Wnd)
{
    if (!Wnd)
        return;
    if (S.MouseWnd == Wnd) {
        const bool pressed = S.ActivePortion != -1;
        KillOwnTimer(Wnd, S.RepeatTimer);
        ResetPress();
        S.MouseWnd = nullptr;
        if (pressed && ::GetCapture() == Wnd)
            ::ReleaseCapture();
    }
    if (S.HoverWnd == Wnd) {
        KillOwnTimer(Wnd, S.HoverTimer);
        S.HoverBar = S.HoverPortion = S.LastHoverPortion = -1;
        S.HoverWnd = nullptr;
    }
}

// ---------------------------------------------------------------------------
// Scroll requests.

WORD ScrollMessagePos(int Pos)
{
    return static_cast<WORD>(std::clamp(Pos, -32768, 0xFFFF));
}

LRESULT SendScrollMessage(HWND Wnd, UINT ScrollMsg, int ScrollCode, int Pos)
{
    const LPARAM c = LPARAM((ScrollMsg << 16) | LOWORD(ScrollCode));
    const WPARAM wp = MAKEWPARAM(ScrollCode, ScrollMessagePos(Pos));
    if (SendAMessage(Wnd, SMC_SCROLL_BEGIN, c) == 1) {
        ::SendMessageW(Wnd, ScrollMsg, wp, Pos);
    } else {
        if (ScrollCode == SB_THUMBTRACK) {
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_POS;
            si.nPos = Pos;
            ::SetScrollInfo(Wnd, ScrollMsg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
        }
        ::SendMessageW(Wnd, ScrollMsg, wp, 0);
    }
    return SendAMessage(Wnd, SMC_SCROLL_END, c);
}

int Kv_SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO& SI, bool Redraw)
{
    TkvScrollWnd* w = Kv_GetScrollWrapper(Wnd);
    TkvScrollBar* b = w && (Bar == SB_HORZ || Bar == SB_VERT) ? w->Bar(Bar) : nullptr;
    if (!b)
        return ::SetScrollInfo(Wnd, Bar, &SI, Redraw);
    // The window's own state first (the system paints nothing), so that what
    // the next paint reads from the window is what was set.
    SCROLLINFO si = SI;
    si.cbSize = sizeof(si);
    ::SetScrollInfo(Wnd, Bar, &si, FALSE);
    b->ScrollInfo.cbSize = sizeof(SCROLLINFO);
    b->ScrollInfo.fMask = SIF_ALL;
    ::GetScrollInfo(Wnd, Bar, &b->ScrollInfo);
    const SCROLLINFO& now = b->ScrollInfo;
    const bool shown = (::GetWindowLongW(Wnd, GWL_STYLE) & (Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    if ((SI.fMask & SIF_DISABLENOSCROLL) || (b->fScrollFlags & SBF_KEEP_SHOWN)) {
        if (!shown)
            ShowSkinnedBar(Wnd, Bar, true);
    } else {
        const bool cannot = now.nPage > UINT(now.nMax) || (now.nPage == 0 && now.nMax == 0) || now.nMax <= now.nMin;
        if (shown == cannot)
            ShowSkinnedBar(Wnd, Bar, !cannot);
    }
    if (Redraw && !w->fThumbTracking && ::IsWindowVisible(Wnd))
        Kv_RedrawNonClient(Wnd, true);
    return b->ScrollInfo.nPos;
}
