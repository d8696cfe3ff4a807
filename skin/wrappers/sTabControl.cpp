// The skinned tab control.
#include "skin/wrappers/sTabControl.h"

#include <commctrl.h>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

TsTabControl::TsTabControl(TComponent* AOwner) : TTabControl(AOwner), FCommonData(new TsCommonData(this, true))
{
    FCommonData->COC = 143;
}

TsTabControl::~TsTabControl()
{
    delete FCommonData;
    FCommonData = nullptr;
    FreeUpDown();
}

void TsTabControl::AfterConstruction()
{
    TTabControl::AfterConstruction();
    FCommonData->Loaded();
    CheckTabUpDown();
}

void TsTabControl::Loaded()
{
    TTabControl::Loaded();
    FCommonData->Loaded();
    CheckTabUpDown();
}

bool TsTabControl::Reading() const
{
    const TComponentState s = ComponentState();
    return s.Contains(csReading) || s.Contains(csLoading);
}

void TsTabControl::CheckTabUpDown()
{
    if (Reading() || ControlState().Contains(csCreating) || !HandleAllocated() || !FCommonData->Skinned())
        return;
    CheckUpDown();
}

// ---------------------------------------------------------------------------
// Geometry.

TkvTabLayout TsTabControl::Layout()
{
    TkvTabLayout l = TkvTabPainter::Layout();
    l.Size = TSize(Width(), Height());
    l.Position = TabPosition();
    l.Style = Style();
    l.Active = TabIndex();
    if (l.Active >= l.Count())
        l.Active = -1;
    return l;
}

TRect TsTabControl::GetClRect()
{
    return Layout().Client;
}

TRect TsTabControl::PageRect()
{
    return Layout().PageRect();
}

TRect TsTabControl::TabsRect()
{
    return Layout().TabsRect();
}

int TsTabControl::TabRow(int TabIndex)
{
    return Layout().TabRow(TabIndex);
}

TRect TsTabControl::SkinTabRect(int Index, bool Active)
{
    return Layout().SkinTabRect(Index, Active);
}

int TsTabControl::GetTabUnderMouse(const TPoint& P)
{
    return Layout().TabAt(P);
}

// ---------------------------------------------------------------------------
// Painting.

void TsTabControl::AssignTabFont(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Font());
}

TSize TsTabControl::IconSize()
{
    return Images() ? TSize(Images()->Width(), Images()->Height()) : TSize(0, 0);
}

bool TsTabControl::DrawTabImage(TCanvas* Canvas, int X, int Y, int Image, bool)
{
    if (!Images())
        return false;
    Images()->Draw(Canvas, X, Y, Image, Enabled());
    return true;
}

bool TsTabControl::OwnerDrawTab(TBitmap* Bmp, int Index, const TRect&)
{
    if (!OwnerDraw() || !OnDrawTab)
        return false;
    const bool active = Index == TabIndex();
    TRect r = SkinTabRect(Index, active);
    if (Bmp != FCommonData->FCacheBmp)
        ::OffsetRect(&r, -r.left, -r.top);
    ::InflateRect(&r, -3, -3);
    TCanvasPaintScope scope(dynamic_cast<TControlCanvas*>(Canvas()), Bmp->Canvas()->Handle());
    OnDrawTab(this, Index, r, active);
    return true;
}

void TsTabControl::CopyCache(HDC DC)
{
    CopyWinControlCache(this, FCommonData, TRect(0, 0, 0, 0), TRect(0, 0, Width(), Height()), DC, false, 0, 0);
}

void TsTabControl::AfterPaint(HDC DC)
{
    SetParentUpdated(this);
    ::PaintControls(DC, this, true, TPoint(0, 0));
}

void TsTabControl::KV_WMPaint(HDC DC)
{
    PaintControl(DC);
}

void TsTabControl::RepaintTab(int i, int State, HDC TabDC)
{
    const TkvTabLayout l = Layout();
    if (i < 0 || i >= l.Count() || !HandleAllocated())
        return;
    // Outside a paint: the window's pending update region stays as it is.
    TkvTargetDC dc(Handle(), TabDC);
    SavedDC saved(dc);
    if (!TabDC) {
        const TRect r = l.Tabs[size_t(i)];
        ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        const TRect selected = l.SkinTabRect(l.Active, true);
        ::ExcludeClipRect(dc, selected.left, selected.top, selected.right, selected.bottom);
    }
    DrawSkinTab(l, i, State, dc);
}

// ---------------------------------------------------------------------------
// The window procedure.

bool TsTabControl::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (!own)
            return false;
        KorvexBroadCast(this, Message);
        CommonWndProc(Message, FCommonData);
        return true;
    case SMC_SKIN_REMOVE:
        if (own) {
            CommonWndProc(Message, FCommonData);
            CheckTabUpDown();
            FreeUpDown();
            if (HandleAllocated())
                ::RedrawWindow(Handle(), nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        KorvexBroadCast(this, Message);
        TTabControl::WndProc(Message);
        return true;
    case SMC_SKIN_REFRESH:
        if (!own)
            return false;
        CommonWndProc(Message, FCommonData);
        Repaint();
        Perform(WM_NCPAINT);
        CheckTabUpDown();
        KorvexBroadCast(this, Message);
        return true;
    case SMC_PARENT_UPDATED:
        if (!FCommonData->Skinned() || !FCommonData->FUpdating)
            return false;
        FCommonData->FUpdating = false;
        if (HandleAllocated())
            ::InvalidateRect(Handle(), nullptr, TRUE);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_UPDATING:
        Message.Result = FCommonData->FUpdating ? 1 : 0;
        return true;
    case SMC_GET_BG_INFO:
        if (!FCommonData->Skinned())
            return false;
        CommonWndProc(Message, FCommonData);
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    }
    return false;
}

void TsTabControl::FocusChanged(const TMessage& Message)
{
    if (!TabStop())
        return;
    FCommonData->FFocused = Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER;
    FCommonData->FMouseAbove = false;
    FCommonData->BGChanged = true;
    if (Reading() || ControlState().Contains(csCreating))
        return;
    Repaint();
    Perform(WM_NCPAINT);
    if (!FCommonData->FUpdating)
        FCommonData->BGChanged = false;
}

void TsTabControl::MouseMove(TMessage& Message)
{
    if (DefaultManager)
        DefaultManager->SetActiveControl(nullptr);
    const bool hot = HotTrack() || Style() != tsTabs;
    const TPoint p(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)));
    const TRect tabs = TabsRect();
    if (!hot || !::PtInRect(&tabs, p)) {
        if (CurItem != -1) {
            RepaintTab(CurItem, 0, nullptr);
            CurItem = -1;
        }
        TTabControl::WndProc(Message);
        return;
    }
    // The tab under the mouse is found from the message alone: no other
    // message is handled meanwhile.
    const int c = GetTabUnderMouse(p);
    if (c == CurItem) {
        TTabControl::WndProc(Message);
        return;
    }
    if (CurItem != -1 && HotTrack())
        RepaintTab(CurItem, 0, nullptr);
    TTabControl::WndProc(Message);
    if (ComponentState().Contains(csDestroying))
        return;
    CurItem = c;
    if (c != -1 && HotTrack()) {
        if (c == TabIndex())
            CurItem = -1;
        else
            RepaintTab(c, 1, nullptr);
    }
}

void TsTabControl::MouseLeft(TMessage& Message)
{
    TTabControl::WndProc(Message);
    if (CurItem != -1 && CurItem != TabIndex())
        RepaintTab(CurItem, 0, nullptr);
    CurItem = -1;
}

bool TsTabControl::SkinnedMessage(TMessage& Message)
{
    const bool designing = ComponentState().Contains(csDesigning);
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT:
        FocusChanged(Message);
        return false;
    case WM_PAINT:
        if (Message.WParam) {
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        } else {
            if (!ComponentState().Contains(csDestroying) && Parent())
                ::InvalidateRect(Handle(), nullptr, TRUE);
            TkvPaintScope paint(Handle(), nullptr);
        }
        return true;
    case WM_ERASEBKGND:
        if (!Visible())
            return false;
        if (!InAnimationProcess)
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_WINDOWPOSCHANGING:
        FCommonData->BGChanged = true;
        return false;
    case WM_NCPAINT:
        return true;
    case WM_MOUSEWHEEL:
    case CM_VISIBLECHANGED:
        if (!Reading()) {
            FCommonData->BGChanged = true;
            Repaint();
            if (!FCommonData->FUpdating)
                FCommonData->BGChanged = false;
        }
        return false;
    case WM_PRINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case CM_MOUSEENTER:
        if (!FCommonData->FFocused && !designing)
            FCommonData->FMouseAbove = true;
        return false;
    case WM_MOUSEMOVE:
        if (designing)
            return false;
        MouseMove(Message);
        return true;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        if (designing || !HotTrack())
            return false;
        MouseLeft(Message);
        return true;
    }
    return false;
}

void TsTabControl::AfterMessage(const TMessage& Message, const TSize& OldSize)
{
    switch (Message.Msg) {
    case WM_MOVE:
        if (!Reading())
            Repaint();
        break;
    case WM_SIZE:
        CheckTabUpDown();
        if (Width() < OldSize.cx || Height() < OldSize.cy)
            ::RedrawWindow(Handle(), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
        break;
    case TCM_SETCURSEL:
        ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        break;
    case CN_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && hdr->code == UINT(TCN_SELCHANGE) && Style() != tsTabs) {
            FCommonData->BGChanged = true;
            ::RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        }
        break;
    }
    }
}

void TsTabControl::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (CommonWndProc(Message, FCommonData) && Message.Msg == SM_KORVEXCMD)
        return;
    if (!ControlIsReady(this) || !FCommonData->Skinned()) {
        TTabControl::WndProc(Message);
        return;
    }
    if (SkinnedMessage(Message))
        return;
    const TSize oldSize(Width(), Height());
    TTabControl::WndProc(Message);
    if (FCommonData && HandleAllocated() && !ComponentState().Contains(csDestroying))
        AfterMessage(Message, oldSize);
}

KV_BEGIN_PUBLISHED(TsTabControl, TTabControl)
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED
