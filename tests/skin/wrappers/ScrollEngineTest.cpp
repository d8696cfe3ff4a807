// The scroll-bar engine: the bars' room in the frame, geometry, hit tests,
// presses with auto-repeat, thumb dragging, hover, capture loss and the
// requests the window receives.  Cursor and timers are steered by the test.
#include <gtest/gtest.h>

#include "ScrollFixture.h"

using namespace wraptest;

// ---------------------------------------------------------------------------
// Geometry.

struct TGeometryCase {
    const char* Name;
    int Length, Min, Max;
    UINT Page;
    int Pos;
    int ThumbSize, ThumbOffset; // offset from the track's start
    bool HasThumb, ButtonsFit;
};

TEST(ScrollGeometry, ThumbAndPartsAlongABar)
{
    const TGeometryCase cases[] = {
        {"top", 200, 0, 99, 10, 0, 17, 0, true, true},
        {"bottom", 200, 0, 99, 10, 90, 17, 151, true, true},
        {"middle", 200, 0, 99, 10, 45, 17, 76, true, true},
        {"page 0: arrow-long thumb", 200, 0, 99, 0, 99, 16, 152, true, true},
        {"page covers the range", 200, 0, 99, 100, 0, 168, 0, false, true},
        {"tiny page: at least 10", 200, 0, 9999, 1, 0, 10, 0, true, true},
        {"nMin not 0", 200, 50, 149, 10, 140, 17, 151, true, true},
        {"shorter than two arrows", 30, 0, 99, 10, 0, 10, 0, false, false},
    };
    for (const TGeometryCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TkvScrollBar bar;
        bar.nArrowLength = 16;
        bar.ScrollInfo = Range(c.Min, c.Max, c.Page, c.Pos);
        for (WORD type : {WORD(SB_HORZ), WORD(SB_VERT)}) {
            bar.nBarType = type;
            const TRect r = type == SB_HORZ ? TRect(100, 50, 100 + c.Length, 67) : TRect(50, 100, 67, 100 + c.Length);
            const TkvBarGeometry g = Kv_BarGeometry(&bar, r);
            EXPECT_EQ(g.ButtonsFit, c.ButtonsFit);
            EXPECT_EQ(g.HasThumb, c.HasThumb);
            if (c.HasThumb) {
                EXPECT_EQ(g.ThumbSize, c.ThumbSize);
                EXPECT_EQ(g.ThumbStart, 100 + 16 + c.ThumbOffset);
            }
            // Hit testing answers what painting draws.
            EXPECT_EQ(g.PortionAt(100), SBP_LINE_BEFORE);
            EXPECT_EQ(g.PortionAt(100 + c.Length - 1), SBP_LINE_AFTER);
            EXPECT_EQ(g.PortionAt(100 + c.Length), SBP_NONE);
            if (c.HasThumb) {
                EXPECT_EQ(g.PortionAt(g.ThumbStart), SBP_THUMB);
                EXPECT_EQ(g.PortionAt(g.ThumbStart + g.ThumbSize - 1), SBP_THUMB);
                if (g.ThumbStart > 116) {
                    EXPECT_EQ(g.PortionAt(g.ThumbStart - 1), SBP_PAGE_BEFORE);
                }
                if (g.ThumbStart + g.ThumbSize < 100 + c.Length - 16) {
                    EXPECT_EQ(g.PortionAt(g.ThumbStart + g.ThumbSize), SBP_PAGE_AFTER);
                }
            } else if (c.ButtonsFit) {
                EXPECT_EQ(g.PortionAt(100 + c.Length / 2), SBP_NONE);
            } else {
                EXPECT_EQ(g.PortionAt(100 + c.Length / 2 - 1), SBP_LINE_BEFORE);
                EXPECT_EQ(g.PortionAt(100 + c.Length / 2), SBP_LINE_AFTER);
            }
        }
    }
}

TEST(ScrollGeometry, DraggedThumbMapsOntoValidPositions)
{
    struct TCase {
        int Min, Max;
        UINT Page;
        int Offset, Expected;
    } cases[] = {
        {0, 99, 10, 0, 0},      {0, 99, 10, 151, 90},    {0, 99, 10, 1000, 90}, {0, 99, 10, -5, 0},
        {20, 119, 10, 0, 20},   {20, 119, 10, 151, 110}, {-50, 49, 10, 0, -50}, {0, 99, 0, 152, 99},
        {0, 99, 100, 50, 0},
    };
    for (const auto& c : cases) {
        TkvScrollBar bar;
        bar.nArrowLength = 16;
        bar.ScrollInfo = Range(c.Min, c.Max, c.Page, c.Min);
        const int thumb = c.Page == 0 ? 16 : 17;
        EXPECT_EQ(Kv_ThumbPosition(&bar, c.Offset, 168, thumb), c.Expected)
            << c.Min << ".." << c.Max << " page " << c.Page << " at " << c.Offset;
    }
}

TEST(ScrollGeometry, MessagePositionsAreSixteenBitWords)
{
    EXPECT_EQ(ScrollMessagePos(0), 0);
    EXPECT_EQ(ScrollMessagePos(65535), 0xFFFF);
    EXPECT_EQ(ScrollMessagePos(70000), 0xFFFF);
    EXPECT_EQ(short(ScrollMessagePos(-5)), -5);
    EXPECT_EQ(short(ScrollMessagePos(-40000)), -32768);
}

TEST(ScrollGeometry, ArrowLengthOfSkinWhenItsSectionAsksForIt)
{
    TsSkinManager* m = managertest::NewManager();
    TTarget t(nullptr, WS_POPUP | WS_VSCROLL);
    TOwned<TkvScrollWnd> w(CreateWnd<TkvScrollWnd>(t.Handle, nullptr, m, L"COMBOBOX", false));
    TkvScrollBar* bar = w->sBarVert;
    const int top = m->ConstData.IndexScrollTop;
    ASSERT_TRUE(m->IsValidSkinIndex(top));
    const int frame = HeightOfImage(m->ma[std::size_t(m->ConstData.MaskScrollTop)]);
    const int saved = kvScrollBtnLength;
    kvScrollBtnLength = frame - 5;
    EXPECT_EQ(ArrowLength(bar), frame - 5);
    m->gd[std::size_t(top)].ReservedBoolean = true;
    EXPECT_EQ(ArrowLength(bar), frame);
    // Thumb and hit test follow it: the thumb starts right after the arrow.
    bar->ScrollInfo = Range(0, 99, 10, 0);
    const TRect r(0, 0, 17, 200);
    EXPECT_EQ(Kv_BarGeometry(bar, r).ThumbStart, frame);
    EXPECT_EQ(Kv_BarGeometry(bar, r).PortionAt(frame - 1), SBP_LINE_BEFORE);
    kvScrollBtnLength = saved;
    w.reset();
    FreeAndNil(m);
}

// ---------------------------------------------------------------------------
// The frame.

TEST_F(ScrollTest, BarsTakeTheirRoomOutOfTheClientArea)
{
    struct TCase {
        const char* Name;
        DWORD Style, ExStyle;
        int Width, Height;
        bool HShown, VShown;
    } cases[] = {
        {"both", WS_HSCROLL | WS_VSCROLL, 0, 160, 120, true, true},
        {"left bar", WS_HSCROLL | WS_VSCROLL, WS_EX_LEFTSCROLLBAR, 160, 120, true, true},
        {"bordered", WS_HSCROLL | WS_VSCROLL | WS_BORDER, 0, 160, 120, true, true},
        {"too low for the horizontal bar", WS_HSCROLL | WS_VSCROLL, 0, 160, Thick - 1, false, true},
        {"vertical only", WS_VSCROLL, 0, 160, 120, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Make(c.ExStyle, c.Width, c.Height, c.Style);
        const int edge = (c.Style & WS_BORDER) ? 1 : 0;
        EXPECT_EQ(W->sBarHorz->fScrollVisible, c.HShown);
        EXPECT_EQ(W->sBarVert->fScrollVisible, c.VShown);
        EXPECT_EQ(W->cxLeftEdge, edge);
        EXPECT_EQ(W->cyBottomEdge, edge);
        const TRect client = Client();
        const int left = edge + (c.ExStyle ? Thick : 0);
        EXPECT_EQ(client.left, left);
        EXPECT_EQ(client.right, c.Width - edge - (c.ExStyle ? 0 : Thick));
        EXPECT_EQ(client.bottom, c.Height - edge - (c.HShown ? Thick : 0));
        UninitializeKVScroll(T->Handle, true, false, W);
        T.reset();
    }
}

TEST_F(ScrollTest, ExtendedStyleChangeMovesTheVerticalBar)
{
    Make();
    EXPECT_EQ(Client().left, 0);
    ::SetWindowLongW(T->Handle, GWL_EXSTYLE, WS_EX_LEFTSCROLLBAR);
    ::SetWindowPos(T->Handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    EXPECT_TRUE(W->fLeftScrollbar);
    EXPECT_EQ(Client().left, Thick);
    TRect w;
    ::GetWindowRect(T->Handle, &w);
    EXPECT_EQ(VBar().left, w.left);
}

TEST_F(ScrollTest, HitTests)
{
    Make();
    EXPECT_EQ(HitTest(OnV(40)), HTVSCROLL);
    EXPECT_EQ(HitTest(OnH(40)), HTHSCROLL);
    // The corner of a window that does not close its parent's client area
    // is the window's own business.
    const TRect corner = KV_GetCornerRect(W, T->Handle);
    ASSERT_FALSE(corner.IsEmpty());
    T->Clear();
    EXPECT_NE(HitTest(TPoint(corner.left + 2, corner.top + 2)), HTBOTTOMRIGHT);
    EXPECT_EQ(T->Count(WM_NCHITTEST), 1);

    // Placed on the bottom-right of the form's client area it sizes the form.
    TRect fc;
    ::GetClientRect(Host(), &fc);
    ::SetWindowPos(T->Handle, nullptr, fc.right - 160, fc.bottom - 120, 160, 120, SWP_NOZORDER);
    const TRect c2 = KV_GetCornerRect(W, T->Handle);
    EXPECT_EQ(HitTest(TPoint(c2.left + 2, c2.top + 2)), HTBOTTOMRIGHT);

    // A bar whose range cannot scroll answers nothing.
    SCROLLINFO si = Range(0, 5, 10, 0);
    si.fMask |= SIF_DISABLENOSCROLL;
    ::SetScrollInfo(T->Handle, SB_VERT, &si, FALSE);
    EXPECT_EQ(HitTest(OnV(40)), HTNOWHERE);
}

// ---------------------------------------------------------------------------
// Presses.

TEST_F(ScrollTest, ArrowRepeatsAfterTheFirstDelayWhileTheMouseStaysOnIt)
{
    Make();
    const TPoint down = OnV(VBar().Height() - 3);
    Press(HTVSCROLL, down);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN}));
    EXPECT_EQ(kvScrollState.ActivePortion, SBP_LINE_AFTER);
    EXPECT_EQ(::GetCapture(), T->Handle);
    EXPECT_EQ(T->Count(SM_KORVEXCMD, SMC_SCROLL_BEGIN), 1);
    EXPECT_EQ(T->Count(SM_KORVEXCMD, SMC_SCROLL_END), 1);

    Tick(SB_TIMER_FIRST_REPEAT); // 300 ms: no request, the repeat starts
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL).size(), 1u);
    Tick(SB_TIMER_REPEAT);
    Tick(SB_TIMER_REPEAT);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN}));

    Input.Cursor = OnV(40); // off the arrow: paused, still pressed
    Tick(SB_TIMER_REPEAT);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL).size(), 3u);
    EXPECT_EQ(kvScrollState.ShownPortion, -1);
    EXPECT_EQ(kvScrollState.ActivePortion, SBP_LINE_AFTER);
    Input.Cursor = down;
    Tick(SB_TIMER_REPEAT);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL).size(), 4u);

    Release();
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL).back(), SB_ENDSCROLL);
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
    EXPECT_EQ(kvScrollState.RepeatTimer, 0u);
    EXPECT_NE(::GetCapture(), T->Handle);
}

TEST_F(ScrollTest, LeftSideBarRepeatsToo)
{
    Make(WS_EX_LEFTSCROLLBAR);
    const TPoint up = OnV(3);
    Press(HTVSCROLL, up);
    Tick(SB_TIMER_FIRST_REPEAT);
    Tick(SB_TIMER_REPEAT);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEUP, SB_LINEUP}));
    Release();
}

TEST_F(ScrollTest, PageAreasAndDisabledArrows)
{
    Make();
    SetRange(SB_VERT, Range(0, 99, 10, 45));
    UpdateScrolls(W, false);
    Press(HTVSCROLL, OnV(Arrow() + 2));
    Release();
    Press(HTVSCROLL, OnV(VBar().Height() - Arrow() - 2));
    Release();
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_PAGEUP, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}));

    T->Clear();
    W->sBarVert->fScrollFlags |= SBF_LEFT_DISABLED;
    Press(HTVSCROLL, OnV(2));
    EXPECT_TRUE(T->All(WM_VSCROLL).empty());
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
    EXPECT_NE(::GetCapture(), T->Handle);
}

TEST_F(ScrollTest, ThumbDragSendsPositionsFromMinToTheLargestValid)
{
    struct TCase {
        const char* Name;
        int Bar, Min, Max;
    } cases[] = {{"vertical", SB_VERT, 0, 99}, {"horizontal from 20", SB_HORZ, 20, 119}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Make();
        SetRange(c.Bar, Range(c.Min, c.Max, 10, c.Min));
        UpdateScrolls(W, false);
        const bool v = c.Bar == SB_VERT;
        const UINT msg = v ? WM_VSCROLL : WM_HSCROLL;
        const UINT hit = v ? HTVSCROLL : HTHSCROLL;
        const TPoint onThumb = v ? OnV(Arrow() + 3) : OnH(Arrow() + 3);
        Press(hit, onThumb);
        EXPECT_TRUE(W->fThumbTracking);
        EXPECT_EQ(nLastSBPos, c.Min);

        const int len = v ? VBar().Height() : HBar().Width();
        MoveTo(v ? OnV(len + 50) : OnH(len + 50)); // past the end
        MoveTo(v ? OnV(len + 60) : OnH(len + 60)); // no change, no request
        MoveTo(onThumb);
        Release();
        const auto got = T->All(msg);
        ASSERT_EQ(got.size(), 4u);
        EXPECT_EQ(LOWORD(got[0].WParam), SB_THUMBTRACK);
        EXPECT_EQ(HIWORD(got[0].WParam), c.Max - 10 + 1);
        EXPECT_EQ(LOWORD(got[1].WParam), SB_THUMBTRACK);
        EXPECT_EQ(HIWORD(got[1].WParam), c.Min);
        EXPECT_EQ(LOWORD(got[2].WParam), SB_THUMBPOSITION);
        EXPECT_EQ(HIWORD(got[2].WParam), c.Min);
        EXPECT_EQ(LOWORD(got[3].WParam), SB_ENDSCROLL);
        EXPECT_FALSE(W->fThumbTracking);
        UninitializeKVScroll(T->Handle, true, false, W);
        T.reset();
    }
}

TEST_F(ScrollTest, WindowTakingFullPositionsGetsThemInLParam)
{
    Make();
    SetRange(SB_VERT, Range(0, 100000, 1000, 0));
    UpdateScrolls(W, false);
    T->Answers[SMC_SCROLL_BEGIN] = 1;
    Press(HTVSCROLL, OnV(Arrow() + 3));
    MoveTo(OnV(VBar().Height() + 40));
    Release();
    const auto got = T->All(WM_VSCROLL);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(HIWORD(got[0].WParam), 0xFFFF);
    EXPECT_EQ(got[0].LParam, 100000 - 1000 + 1);
}

TEST_F(ScrollTest, LostCaptureEndsThePress)
{
    Make();
    TTarget other(Host());
    Press(HTVSCROLL, OnV(VBar().Height() - 3));
    ::SetCapture(other.Handle);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
    EXPECT_EQ(kvScrollState.RepeatTimer, 0u);
    Tick(SB_TIMER_REPEAT); // a tick still on its way sends nothing
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL).size(), 2u);
    ::ReleaseCapture();

    // A drag cancelled keeps the position reached.
    T->Clear();
    Press(HTVSCROLL, OnV(Arrow() + 3));
    MoveTo(OnV(VBar().Height()));
    ::SendMessageW(T->Handle, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(T->ScrollCodes(WM_VSCROLL), (std::vector<int>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_FALSE(W->fThumbTracking);
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
}

TEST_F(ScrollTest, TeardownMidPressLeavesNoPressBehind)
{
    Make();
    Press(HTVSCROLL, OnV(VBar().Height() - 3));
    UninitializeKVScroll(T->Handle, true, false, W); // wrapper first
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
    EXPECT_EQ(kvScrollState.MouseWnd, nullptr);
    EXPECT_NE(::GetCapture(), T->Handle);

    W = CreateWnd<TkvScrollWnd>(T->Handle, nullptr, Manager, L"COMBOBOX", true);
    Press(HTVSCROLL, OnV(VBar().Height() - 3));
    ::DestroyWindow(T->Handle); // window first
    EXPECT_TRUE(W->Destroyed);
    EXPECT_EQ(W->sBarVert, nullptr);
    EXPECT_EQ(kvScrollState.ActivePortion, -1);
    EXPECT_EQ(kvScrollState.MouseWnd, nullptr);
}

namespace {

// A window that destroys itself on its first scroll request, as a form may
// close on a click.
WNDPROC SelfDestroyingOld = nullptr;
LRESULT CALLBACK SelfDestroying(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_VSCROLL) {
        ::DestroyWindow(Wnd);
        return 0;
    }
    return ::CallWindowProcW(SelfDestroyingOld, Wnd, Msg, WParam, LParam);
}

} // namespace

TEST_F(ScrollTest, WindowDestroyedByTheFirstRequestOfAPressEndsThePress)
{
    for (const char* where : {"arrow", "page area"}) {
        SCOPED_TRACE(where);
        Make();
        SelfDestroyingOld = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(T->Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SelfDestroying)));
        // Wrapped again over the window's new procedure.
        UninitializeKVScroll(T->Handle, true, false, W);
        W = CreateWnd<TkvScrollWnd>(T->Handle, nullptr, Manager, L"COMBOBOX", true);
        const HWND h = T->Handle;
        Press(HTVSCROLL, std::string(where) == "arrow" ? OnV(VBar().Height() - 3) : OnV(VBar().Height() - 30));
        EXPECT_FALSE(::IsWindow(h));
        EXPECT_TRUE(W->Destroyed);
        EXPECT_EQ(kvScrollState.ActivePortion, -1);
        EXPECT_EQ(kvScrollState.MouseWnd, nullptr);
        EXPECT_EQ(kvScrollState.RepeatTimer, 0u);
        EXPECT_EQ(::GetCapture(), nullptr);
        delete W;
        W = nullptr;
        T.reset();
    }
}

TEST_F(ScrollTest, SwallowedAndPassedMessages)
{
    Make();
    ::SendMessageW(T->Handle, WM_NCRBUTTONDOWN, HTVSCROLL, 0);
    ::SendMessageW(T->Handle, WM_NCRBUTTONUP, HTVSCROLL, 0);
    ::SendMessageW(T->Handle, WM_SYSCOMMAND, 0xF077, 0);
    ::SendMessageW(T->Handle, WM_SYSCOMMAND, SC_HSCROLL | HTHSCROLL, 0);
    EXPECT_EQ(T->Count(WM_NCRBUTTONDOWN) + T->Count(WM_NCRBUTTONUP) + T->Count(WM_SYSCOMMAND), 0);
    ::SendMessageW(T->Handle, WM_NCRBUTTONDOWN, HTCLIENT, 0);
    EXPECT_EQ(T->Count(WM_NCRBUTTONDOWN), 1);

    // The window's own timer reaches it while a bar is pressed.
    Press(HTVSCROLL, OnV(VBar().Height() - 3));
    Tick(5);
    const auto timers = T->All(WM_TIMER);
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0].WParam, 5u);
    Release();
}

TEST_F(ScrollTest, HoverFollowsTheCursorAndStopsWhenItLeaves)
{
    Make();
    Input.Cursor = OnV(40);
    ::SendMessageW(T->Handle, WM_NCMOUSEMOVE, HTVSCROLL, 0);
    EXPECT_EQ(kvScrollState.HoverBar, 1);
    EXPECT_EQ(kvScrollState.HoverWnd, T->Handle);
    EXPECT_NE(kvScrollState.HoverTimer, 0u);
    Input.Cursor = OnV(2);
    Tick(SB_TIMER_HOVER);
    EXPECT_EQ(kvScrollState.HoverPortion, SBP_LINE_BEFORE);
    Input.Cursor = TPoint(-500, -500);
    Tick(SB_TIMER_HOVER);
    EXPECT_EQ(kvScrollState.HoverBar, -1);
    EXPECT_EQ(kvScrollState.HoverTimer, 0u);
    EXPECT_EQ(kvScrollState.HoverWnd, nullptr);
}

// ---------------------------------------------------------------------------
// Setting the state.

TEST_F(ScrollTest, SetScrollInfoReachesTheWindowAndShowsOrHidesTheBar)
{
    Make();
    SCROLLINFO si = Range(0, 199, 20, 150);
    EXPECT_EQ(Kv_SetScrollInfo(T->Handle, SB_VERT, si, true), 150);
    SCROLLINFO now{};
    now.cbSize = sizeof(now);
    now.fMask = SIF_ALL;
    ::GetScrollInfo(T->Handle, SB_VERT, &now);
    EXPECT_EQ(now.nPos, 150); // the window's own state, which the next paint reads
    EXPECT_EQ(now.nMax, 199);
    SCROLLINFO copy{};
    GetBarScrollInfo(T->Handle, SB_VERT, copy);
    EXPECT_EQ(copy.nPos, 150);

    si = Range(0, 10, 20, 0); // cannot scroll: hidden
    Kv_SetScrollInfo(T->Handle, SB_VERT, si, true);
    EXPECT_FALSE(::GetWindowLongW(T->Handle, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(W->sBarVert->fScrollVisible);
    si = Range(0, 99, 10, 0);
    Kv_SetScrollInfo(T->Handle, SB_VERT, si, true);
    EXPECT_TRUE(W->sBarVert->fScrollVisible);

    // No wrapper: the system's call.
    TTarget plain(Host(), WS_CHILD | WS_VSCROLL);
    EXPECT_EQ(Kv_SetScrollInfo(plain.Handle, SB_VERT, Range(0, 99, 10, 30), false), 30);
    GetBarScrollInfo(plain.Handle, SB_VERT, copy);
    EXPECT_EQ(copy.cbSize, 0u);
}
