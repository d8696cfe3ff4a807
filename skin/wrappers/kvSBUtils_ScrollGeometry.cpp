// Where the skinned bars lie: their rectangles, the corner between them, the
// arrows and thumb along a bar and what lies under a point.  Painting and hit
// testing both read TkvBarGeometry, so the drawn parts are the clickable ones.
#include <algorithm>

#include "skin/core/kvntUtils.h"
#include "skin/core/sConst.h"
#include "skin/core/sSkinManager.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

TsSkinManager* ManagerOf(TkvScrollBar* Bar)
{
    return Bar && Bar->sw && Bar->sw->SkinData ? Bar->sw->SkinData->GetSkinManager() : nullptr;
}

// The length of one frame of the skin's arrow button along the bar, when its
// section asks for the image's own length; 0 otherwise.
int SkinArrowLength(TkvScrollBar* Bar)
{
    TsSkinManager* m = ManagerOf(Bar);
    if (!m)
        return 0;
    const TConstantSkinData& c = m->ConstData;
    const int section = Bar->Vertical() ? c.IndexScrollTop : c.IndexScrollLeft;
    const int image = Bar->Vertical() ? c.MaskScrollTop : c.MaskScrollLeft;
    if (!m->IsValidSkinIndex(section) || !m->gd[std::size_t(section)].ReservedBoolean || !m->IsValidImgIndex(image))
        return 0;
    const TsMaskData& md = m->ma[std::size_t(image)];
    return Bar->Vertical() ? HeightOfImage(md) : WidthOfImage(md);
}

int Thickness(TkvScrollBar* Bar)
{
    return Bar && Bar->fScrollVisible ? GetScrollMetric(Bar, 1, false) : 0;
}

// The parent a corner grip would size: the parent of a child window.
HWND ChildParent(HWND Wnd)
{
    return (::GetWindowLongW(Wnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(Wnd) : nullptr;
}

} // namespace

int GetScrollMetric(TkvScrollBar* Bar, int Metric, bool FromSkin)
{
    if (!Bar || (Bar->nBarType != SB_HORZ && Bar->nBarType != SB_VERT))
        return 0;
    if (Metric == 0) {
        if (Bar->nArrowLength >= 0)
            return Bar->nArrowLength;
        int base = kvScrollBtnLength;
        if (FromSkin)
            base = std::max(base, SkinArrowLength(Bar));
        return -Bar->nArrowLength * base;
    }
    if (Bar->nArrowWidth >= 0)
        return Bar->nArrowWidth;
    return -Bar->nArrowWidth * ::GetSystemMetrics(Bar->Vertical() ? SM_CXVSCROLL : SM_CYHSCROLL);
}

int ArrowLength(TkvScrollBar* Bar)
{
    return GetScrollMetric(Bar, 0, true);
}

int KV_GetHScrollRect(TkvScrollWnd* ScrollWnd, HWND Wnd, TRect& R)
{
    ::GetWindowRect(Wnd, &R);
    R.left += ScrollWnd->cxLeftEdge;
    R.right -= ScrollWnd->cxRightEdge;
    const int v = Thickness(ScrollWnd->sBarVert);
    if (ScrollWnd->fLeftScrollbar)
        R.left += v;
    else
        R.right -= v;
    R.bottom -= ScrollWnd->cyBottomEdge;
    R.top = R.bottom - Thickness(ScrollWnd->sBarHorz);
    return R.Height();
}

int KV_GetVScrollRect(TkvScrollWnd* ScrollWnd, HWND Wnd, TRect& R)
{
    ::GetWindowRect(Wnd, &R);
    R.top += ScrollWnd->cyTopEdge;
    R.bottom -= ScrollWnd->cyBottomEdge + Thickness(ScrollWnd->sBarHorz);
    const int v = Thickness(ScrollWnd->sBarVert);
    if (ScrollWnd->fLeftScrollbar) {
        R.left += ScrollWnd->cxLeftEdge;
        R.right = R.left + v;
    } else {
        R.right -= ScrollWnd->cxRightEdge;
        R.left = R.right - v;
    }
    return R.Width();
}

bool GetBarRectByType(TkvScrollWnd* ScrollWnd, int BarType, HWND Wnd, TRect& R)
{
    if (BarType == SB_HORZ)
        KV_GetHScrollRect(ScrollWnd, Wnd, R);
    else if (BarType == SB_VERT)
        KV_GetVScrollRect(ScrollWnd, Wnd, R);
    else
        return false;
    return true;
}

TRect KV_GetCornerRect(TkvScrollWnd* ScrollWnd, HWND Wnd)
{
    if (!ScrollWnd->sBarHorz || !ScrollWnd->sBarVert || !ScrollWnd->sBarHorz->fScrollVisible ||
        !ScrollWnd->sBarVert->fScrollVisible)
        return TRect();
    TRect h, v;
    KV_GetHScrollRect(ScrollWnd, Wnd, h);
    KV_GetVScrollRect(ScrollWnd, Wnd, v);
    return TRect(v.left, h.top, v.right, h.bottom);
}

void Kv_GetRealScrollRect(TkvScrollBar* Bar, TRect& R)
{
    const bool v = Bar->Vertical();
    if (Bar->fButVisibleBefore)
        (v ? R.top : R.left) += Bar->nButSizeBefore;
    if (Bar->fButVisibleAfter)
        (v ? R.bottom : R.right) -= Bar->nButSizeAfter;
}

void RotateRect0(TkvScrollBar* Bar, TRect& R)
{
    if (Bar->Vertical())
        R = RotateRect(R);
}

bool IsAtParentCorner(TkvScrollWnd* ScrollWnd, HWND Wnd, const TRect& R)
{
    HWND parent = ChildParent(Wnd);
    if (!parent)
        return true;
    if (ChildParent(parent))
        return false;
    TRect client;
    ::GetClientRect(parent, &client);
    ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const bool bottom = R.bottom + ScrollWnd->cyBottomEdge == client.bottom;
    if (ScrollWnd->fLeftScrollbar)
        return bottom && R.left - ScrollWnd->cxLeftEdge == client.left;
    return bottom && R.right + ScrollWnd->cxRightEdge == client.right;
}

bool Kv_IsScrollInfoActive(const SCROLLINFO& SI)
{
    return static_cast<UINT>(SI.nMax) >= SI.nPage && SI.nMin < SI.nMax && SI.nMax != 0;
}

bool Kv_IsScrollbarActive(TkvScrollBar* Bar)
{
    if (!Bar || !Bar->sw)
        return false;
    const HWND wnd = Bar->sw->CtrlHandle;
    if (!Kv_GetScrollBarInfo)
        return (::GetWindowLongW(wnd, GWL_STYLE) & (Bar->Vertical() ? WS_VSCROLL : WS_HSCROLL)) != 0;
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof(sbi);
    const LONG id = Bar->nBarType == SB_HORZ ? OBJID_HSCROLL : Bar->nBarType == SB_VERT ? OBJID_VSCROLL : OBJID_CLIENT;
    if (!Kv_GetScrollBarInfo(wnd, id, &sbi))
        return false;
    const WORD f = Bar->fScrollFlags;
    if ((f & SBF_LEFT_DISABLED) && (f & SBF_RIGHT_DISABLED))
        return false;
    if ((f & SBF_KEEP_SHOWN) && !Kv_IsScrollInfoActive(Bar->ScrollInfo))
        return false;
    return !(sbi.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

// ---------------------------------------------------------------------------
// Along one bar.

int TkvBarGeometry::PortionAt(int Pos) const
{
    const int end = Start + Length;
    if (Pos < Start || Pos >= end)
        return SBP_NONE;
    if (Pos < Start + Arrow)
        return SBP_LINE_BEFORE;
    if (Pos >= end - Arrow)
        return SBP_LINE_AFTER;
    if (!HasThumb)
        return SBP_NONE;
    if (Pos >= ThumbStart && Pos < ThumbStart + ThumbSize)
        return SBP_THUMB;
    return Pos < ThumbStart ? SBP_PAGE_BEFORE : SBP_PAGE_AFTER;
}

TkvBarGeometry Kv_BarGeometry(TkvScrollBar* Bar, const TRect& R)
{
    TkvBarGeometry g;
    g.Vertical = Bar->Vertical();
    g.Start = g.Vertical ? R.top : R.left;
    g.Length = g.Vertical ? R.Height() : R.Width();
    const int arrow = ArrowLength(Bar);
    g.ButtonsFit = 2 * arrow < g.Length;
    g.Arrow = g.ButtonsFit ? arrow : g.Length / 2;
    Kv_CalcThumbSize(Bar, R, g.ThumbSize, g.ThumbStart);
    g.Track = std::max(g.Length - 2 * arrow, 0);
    g.HasThumb = g.ButtonsFit && g.ThumbSize > 0 && g.ThumbSize < g.Track;
    return g;
}

bool Kv_CalcThumbSize(TkvScrollBar* Bar, const TRect& R, int& ThumbSize, int& ThumbPos)
{
    const SCROLLINFO& si = Bar->ScrollInfo;
    const int arrow = ArrowLength(Bar);
    const bool vertical = Bar->Vertical();
    const int track = (vertical ? R.Height() : R.Width()) - 2 * arrow;
    const int range = si.nMax - si.nMin + 1;
    int thumb = 0;
    if (si.nPage == 0)
        thumb = arrow;
    else if (range > 0)
        thumb = std::max(::MulDiv(int(si.nPage), track, range), Bar->nMinThumbSize);
    int offset = 0;
    if (range > 0) {
        const int span = range - std::max(int(si.nPage), 1);
        offset = ::MulDiv(si.nPos - si.nMin, track - thumb, span);
        offset = std::clamp(offset, 0, std::max(track - thumb, 0)); // a failed MulDiv (-1) gives 0
    }
    ThumbSize = thumb;
    ThumbPos = (vertical ? R.top : R.left) + arrow + offset;
    return true;
}

int GetPortionByType(TkvScrollBar* Bar, const TRect& R, const TPoint& P)
{
    if (!Bar || (Bar->nBarType != SB_HORZ && Bar->nBarType != SB_VERT))
        return SBP_NONE;
    const bool v = Bar->Vertical();
    if (v ? (P.x < R.left || P.x >= R.right) : (P.y < R.top || P.y >= R.bottom))
        return SBP_NONE;
    return Kv_BarGeometry(Bar, R).PortionAt(v ? P.y : P.x);
}

int Kv_ThumbPosition(TkvScrollBar* Bar, int Offset, int TrackLength, int ThumbSize)
{
    const SCROLLINFO& si = Bar->ScrollInfo;
    // From nMin to the largest position the window accepts.
    const int span = si.nMax - si.nMin + 1 - std::max(int(si.nPage), 1);
    const int room = TrackLength - ThumbSize;
    if (span <= 0 || room <= 0)
        return si.nMin;
    return si.nMin + std::clamp(::MulDiv(std::clamp(Offset, 0, room), span, room), 0, span);
}
