// The library's own scroll bars: a scroll wrapper (TkvScrollWnd) takes a
// window's WS_HSCROLL/WS_VSCROLL bars out of the system's frame, keeps their
// room itself, paints them from the skin (kvSBUtils_ScrollPaint.cpp), answers
// their hit tests and runs the mouse on them (arrows with auto-repeat, page
// areas, thumb dragging, hover), telling the window with ordinary
// WM_HSCROLL/WM_VSCROLL framed by SMC_SCROLL_BEGIN/SMC_SCROLL_END.  The
// window keeps its styles and its own scroll state, which the wrapper reads.
//
// Part of unit kvSBUtils; included by kvSBUtils.h users that need the bars.
// The cursor and the clock come from the input source (sInputSource.h).
#pragma once

#include <windows.h>

#include "skin/wrappers/kvSBUtils.h"

class TkvScrollWnd;

// Bits of TkvScrollBar::fScrollFlags.
constexpr WORD SBF_LEFT_DISABLED = 1;  // the left (up) arrow does nothing
constexpr WORD SBF_RIGHT_DISABLED = 2; // the right (down) arrow does nothing
constexpr WORD SBF_KEEP_SHOWN = 4;     // shown when the range cannot scroll, then inactive
constexpr WORD SBF_STYLE = 8;          // the window's style asks for the bar

// Portions of a bar; the arrow and page codes are the scroll requests sent.
constexpr int SBP_NONE = -1;
constexpr int SBP_LINE_BEFORE = 0; // left or up arrow
constexpr int SBP_LINE_AFTER = 1;  // right or down arrow
constexpr int SBP_PAGE_BEFORE = 2; // page area before the thumb
constexpr int SBP_PAGE_AFTER = 3;  // page area after the thumb
constexpr int SBP_THUMB = 5;

// Window timers of a wrapped window while one of its bars is used.
constexpr UINT_PTR SB_TIMER_FIRST_REPEAT = 0xFFFD; // 300 ms after a press
constexpr UINT_PTR SB_TIMER_REPEAT = 0xFFFE;       // every 55 ms after that
constexpr UINT_PTR SB_TIMER_HOVER = 0xFFF2;        // 20 ms hover tracking

// The state of one bar.
class TkvScrollBar : public TObject {
    KV_CLASS(TkvScrollBar)
public:
    WORD fScrollFlags = 0;
    bool fScrollVisible = false; // shown: asked for and room for it at the last frame computation
    SCROLLINFO ScrollInfo{};     // the window's own state, read again when needed
    int nArrowLength = -1;       // >= 0 pixels; -n: n times the default arrow length
    int nArrowWidth = -1;        // thickness: >= 0 pixels; -n: n times the system's
    int nButSizeBefore = 0;      // room of extra buttons before and after the bar
    int nButSizeAfter = 0;
    bool fButVisibleBefore = false;
    bool fButVisibleAfter = false;
    WORD nBarType = SB_HORZ;
    WORD fFlatScrollbar = 0; // kept, never painted differently
    int nMinThumbSize = 10;
    TkvScrollWnd* sw = nullptr; // the wrapper; nil once it let go of the bar

    bool Vertical() const { return nBarType == SB_VERT; }
};

// A wrapper with the library's scroll bars.  Descendants (edits, lists,
// combo lists, menus, dialogs) call TkvScrollWnd::kvWndProc for what they
// do not handle themselves.
class TkvScrollWnd : public TkvMainWnd {
    KV_CLASS(TkvScrollWnd)
public:
    // Frees both bars.
    ~TkvScrollWnd() override;
    void BeforeDestruction() override;
    void kvWndProc(TMessage& Message) override;

    TkvScrollBar* sBarHorz = nullptr;
    TkvScrollBar* sBarVert = nullptr;
    bool fThumbTracking = false;
    bool fLeftScrollbar = false; // WS_EX_LEFTSCROLLBAR: the vertical bar at the left
    int cxLeftEdge = 0, cxRightEdge = 0, cyTopEdge = 0, cyBottomEdge = 0;
    bool bPreventStyleChange = false; // the wrapper changes the style itself

    TkvScrollBar* Bar(int BarType) const { return BarType == SB_HORZ ? sBarHorz : BarType == SB_VERT ? sBarVert : nullptr; }

    // A drop-down combo box's list keeps the mouse after a release on its
    // bar, and the release does not reach it (the combo list wrapper says
    // so: a list that is not the list of a simple combo box).
    virtual bool IsDropDownList() const { return false; }
    // What the bars take as their background: the window's answer to
    // SMC_GET_BG_INFO, its offset adjusted for a form with an extended border.
    // The MDI client wrapper places it inside its form instead.
    virtual void BarBackground(TkvBGInfo& Info);

    // Passes Message on with the scroll styles hidden from the previous
    // procedure, so that the system neither keeps room for its bars nor
    // paints them.
    void PassOnWithoutBars(TMessage& Message);

protected:
    void SkinCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void NCPaint(TMessage& Message);
    void Print(TMessage& Message);
    void StyleChanged(TMessage& Message);
    void Timer(TMessage& Message);
    void CaptureLost(TMessage& Message);
    // Passes Message on and repaints the bars when the window's own handling
    // changed its scroll state (the system paints its own bars over the
    // frame where it changes them).
    void PassOnAndKeepBars(TMessage& Message);
};

// ---------------------------------------------------------------------------
// Process-wide interaction state: one bar at a time is pressed or hovered.
struct TkvScrollInteraction {
    int ActiveBar = -1;        // pressed bar: 0 horizontal, 1 vertical
    int ActivePortion = -1;    // portion where the button went down
    int ShownPortion = -1;     // portion drawn pressed (the mouse is over it)
    UINT ActiveScrollMsg = 0;  // WM_HSCROLL or WM_VSCROLL of the pressed bar
    UINT_PTR RepeatTimer = 0;
    HWND MouseWnd = nullptr;   // window of the last press or hover
    int HoverBar = -1;
    int HoverPortion = -1;
    int LastHoverPortion = -1;
    UINT_PTR HoverTimer = 0;
    HWND HoverWnd = nullptr;   // window whose hover timer runs
    TRect HoverBarRect;        // screen rectangle of the hovered bar
    int DragThumbSize = 0;
    int DragThumbPos = 0;      // screen
    TRect DragBarRect;         // screen
    int DragMouseOffset = 0;
};
extern TkvScrollInteraction kvScrollState;
// The last position sent while dragging; while the window handles an
// SB_THUMBTRACK it still holds the one sent before.
extern int nLastSBPos;

// ---------------------------------------------------------------------------
// Set-up and release.

// Called by TkvMainWnd::Create for scroll wrappers: makes the bars, reads
// their state, hooks the window and (Repaint) has it compute its frame again.
void InitializeKVScrolls(TkvScrollWnd* ScrollWnd, HWND Wnd, bool Repaint);
// As UninitializeKVWnd, also freeing the bars.
void UninitializeKVScroll(HWND Wnd, bool FreeIt, bool Repaint, TkvScrollWnd*& ScrollWnd);
template <class T>
void UninitializeKVScroll(HWND Wnd, bool FreeIt, bool Repaint, T*& ScrollWnd)
{
    TkvScrollWnd* w = ScrollWnd;
    UninitializeKVScroll(Wnd, FreeIt, Repaint, w);
    ScrollWnd = static_cast<T*>(w);
}
// A new scroll wrapper on a window that has none (else nullptr).
TkvScrollWnd* HookScrollWnd(HWND AHandle, TsSkinManager* ASkinManager, TsCommonData* ASkinData);
// HookScrollWnd when the manager is active.
TkvScrollWnd* InitControl(HWND Wnd, TsCommonData* SkinData, TsSkinManager* SkinManager);
// The window's scroll wrapper, or its bar of type Bar; nullptr when none.
TkvScrollWnd* Kv_GetScrollWrapper(HWND Wnd);
TkvScrollBar* Kv_GetScrollBarFromHwnd(HWND Wnd, int Bar);
int Kv_GetDefaultMinThumbSize();
bool Kv_SetMinThumbSize(HWND Wnd, int Bar, int Size);
bool Scrolls_SetStyle(HWND Wnd, int Bar, int Style);
bool IsThumbTracking(HWND Wnd);
// A copy of the bar's state; cbSize 0 without wrapper or for another bar.
void GetBarScrollInfo(HWND Wnd, int Bar, SCROLLINFO& SI);
// Shows or hides skinned bars (the system's ShowScrollBar without wrapper).
bool ShowSkinnedBar(HWND Wnd, int Bar, bool Show);
// The library's SetScrollInfo: sets the window's state, shows or hides the
// skinned bar by its range and repaints it; answers the resulting position.
int Kv_SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO& SI, bool Redraw);

// ---------------------------------------------------------------------------
// Geometry.  Rectangles in screen coordinates unless said otherwise.

// Metric 0: the arrow length (FromSkin: at least one frame of the skin's
// arrow-button image when its section asks for that); 1: the thickness.
int GetScrollMetric(TkvScrollBar* Bar, int Metric, bool FromSkin);
// The arrow length every painting and hit test uses: the skin's.
int ArrowLength(TkvScrollBar* Bar);
int KV_GetHScrollRect(TkvScrollWnd* ScrollWnd, HWND Wnd, TRect& R);
int KV_GetVScrollRect(TkvScrollWnd* ScrollWnd, HWND Wnd, TRect& R);
bool GetBarRectByType(TkvScrollWnd* ScrollWnd, int BarType, HWND Wnd, TRect& R);
// The square between both shown bars; empty when not both are shown.
TRect KV_GetCornerRect(TkvScrollWnd* ScrollWnd, HWND Wnd);
// R less the room of the extra buttons.
void Kv_GetRealScrollRect(TkvScrollBar* Bar, TRect& R);
void RotateRect0(TkvScrollBar* Bar, TRect& R);
// The corner R (screen) is the bottom-right of a top-level parent's client
// area, or the window has no parent: it works as a size grip.
bool IsAtParentCorner(TkvScrollWnd* ScrollWnd, HWND Wnd, const TRect& R);
bool Kv_IsScrollInfoActive(const SCROLLINFO& SI);
bool Kv_IsScrollbarActive(TkvScrollBar* Bar);

// Where the parts of one bar lie along its axis, for the bar rectangle R (in
// any frame): what painting draws and hit testing answers, computed once.
struct TkvBarGeometry {
    bool Vertical = false;
    int Start = 0;          // R's first coordinate along the axis
    int Length = 0;         // R's length along the axis
    int Arrow = 0;          // arrow length (half the bar when both do not fit)
    bool ButtonsFit = false;
    int Track = 0;          // between the arrows
    int ThumbStart = 0;     // absolute, along the axis
    int ThumbSize = 0;
    bool HasThumb = false;  // the thumb is shorter than the track
    // The portion at the coordinate Pos along the axis (inside the bar).
    int PortionAt(int Pos) const;
    // The thumb centre, relative to Start.
    int ThumbCentre() const { return ThumbStart - Start + ThumbSize / 2; }
};
TkvBarGeometry Kv_BarGeometry(TkvScrollBar* Bar, const TRect& R);
// The thumb's length and start (absolute along the axis) for R.
bool Kv_CalcThumbSize(TkvScrollBar* Bar, const TRect& R, int& ThumbSize, int& ThumbPos);
// The portion under the point (screen), -1 outside the bar across its thickness.
int GetPortionByType(TkvScrollBar* Bar, const TRect& R, const TPoint& P);
// The position a thumb dragged to Offset (pixels from the track's start)
// stands for, from nMin to the largest valid position.
int Kv_ThumbPosition(TkvScrollBar* Bar, int Offset, int TrackLength, int ThumbSize);

// ---------------------------------------------------------------------------
// Message handlers (answer the message result).
LRESULT Kv_NCCalcSize(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_NCHitTest(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT HandleNCMouseMove(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_NCLButtonDown(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_MouseMove(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_LButtonUp(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_Timer(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
// WM_NOTIFY and WM_SETCURSOR go to the window as they are (the edit-like
// wrappers route them here).
LRESULT Kv_Notify(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
LRESULT Kv_SetCursor(TkvScrollWnd* ScrollWnd, HWND Wnd, WPARAM WParam, LPARAM LParam);
// Moves the dragged thumb to the cursor and tells the window.
void Kv_ThumbTrack(TkvScrollWnd* ScrollWnd, HWND Wnd);
// Ends a press on the window's bars: Released (the button went up) or the
// mouse was taken away.  Nothing when none of its bars is pressed.
void Kv_EndPress(TkvScrollWnd* ScrollWnd, HWND Wnd, bool Released);
// Forgets the press and hover state that belongs to Wnd (it is going).
void Kv_ForgetWindow(HWND Wnd);
// A scroll request framed by SMC_SCROLL_BEGIN and SMC_SCROLL_END; answers
// the window's answer to SMC_SCROLL_END.
LRESULT SendScrollMessage(HWND Wnd, UINT ScrollMsg, int ScrollCode, int Pos);
// The 16-bit position a standard scroll message carries: a position that
// does not fit is sent as its nearest limit, a negative one as the signed word.
WORD ScrollMessagePos(int Pos);

// ---------------------------------------------------------------------------
// Painting and refreshing (kvSBUtils_ScrollPaint.cpp).

// Paints both bars and the corner into DC (window coordinates; the window's
// own context when DC is 0).  ThumbPos other than -1 places the thumbs there.
void Kv_NCPaint(TkvScrollWnd* ScrollWnd, HWND Wnd, int Unused1, int Unused2, int ThumbPos, HDC DC);
// One bar at R (window coordinates) with Pressed drawn pressed; true when painted.
bool Kv_NCDrawScrollbar(TkvScrollBar* Bar, HWND Wnd, HDC DC, const TRect& R, int Pressed, int ThumbPos);
// A bar while its thumb is dragged to ThumbStart (window coordinates), on a
// fresh window context.
void Kv_DrawDraggedBar(TkvScrollBar* Bar, HWND Wnd, int ThumbStart);
// The parts of a bar, painted into the bar's bitmap at R.
void PaintBtnLeft(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
void PaintBtnRight(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
void PaintBtnTop(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
void PaintBtnBottom(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
void PaintSliderH(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
void PaintSliderV(const TRect& R, int State, TBitmap* BarBitmap, TsSkinManager* Manager);
// Frame State of a glyph image centred in R.
void DrawArrowGlyph(TBitmap* Bitmap, int MaskIndex, int State, const TRect& R, TsSkinManager* Manager);
// Reads both bars' state from the window again and (Repaint) paints them.
void UpdateScrolls(TkvScrollWnd* ScrollWnd, bool Repaint);
// Keeps a scroll wrapper of class WndClass on the owner control of SkinData
// while it is skinned, in ListSW (made, remade after its window was, freed).
// WithLoadingTest: nothing while the control loads, goes or is designed;
// WithFlatSB: flat scroll bars off while skinned and on again afterwards.
void RefreshWrapperScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW, const TkvWndClass& WndClass,
                           bool WithLoadingTest, bool WithFlatSB);
// RefreshWrapperScrolls with TkvScrollWnd, the loading test and flat bars,
// for the class library's scrolling controls.
void RefreshScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW);
