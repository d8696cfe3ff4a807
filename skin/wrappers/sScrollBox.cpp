// The skinned scroll box.
#include "skin/wrappers/sScrollBox.h"

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_BGInfo.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/wrappers/kvSBUtils_Paint.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

namespace {

// The wheel is being handed to the form's active control.
bool WheelForwarding = false;
// The position of the scrolled bar when a scroll began.
int ScrollStartPos = 0;

void Redraw(HWND Wnd, UINT Flags, const TRect* R = nullptr)
{
    ::RedrawWindow(Wnd, R, nullptr, Flags);
}

} // namespace

TsScrollBox::TsScrollBox(TComponent* AOwner)
    : TScrollingWinControl(AOwner), FCommonData(new TsCommonData(this, true)), FCanvas(new TControlCanvas())
{
    FCommonData->COC = 58;
    SetControlStyle(ControlStyle() + csAcceptsControls);
    FCanvas->SetControl(this);
    SetBounds(Left(), Top(), 185, 41);
    SetAutoScroll(true);
}

TsScrollBox::~TsScrollBox()
{
    if (ListSW)
        FreeAndNil(ListSW);
    delete FCommonData;
    FCommonData = nullptr;
    delete FCanvas;
    FCanvas = nullptr;
}

void TsScrollBox::AfterConstruction()
{
    TScrollingWinControl::AfterConstruction();
    FCommonData->Loaded();
}

void TsScrollBox::Loaded()
{
    TScrollingWinControl::Loaded();
    FCommonData->Loaded();
}

void TsScrollBox::SetParent(TWinControl* AParent)
{
    TScrollingWinControl::SetParent(AParent);
    if (AParent && FCommonData)
        FCommonData->Loaded();
}

int TsScrollBox::FrameWidth() const
{
    return BorderWidth() + (FBorderStyle == bsSingle ? 2 : 0);
}

void TsScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TsScrollBox::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle != bsSingle)
        return;
    Params.Style |= WS_BORDER;
    if (NewStyleControls && Ctl3D()) {
        Params.Style &= ~DWORD(WS_BORDER);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

void TsScrollBox::CMCtl3DChanged(TMessage& Message)
{
    if (NewStyleControls && FBorderStyle == bsSingle)
        RecreateWnd();
    TScrollingWinControl::CMCtl3DChanged(Message);
}

void TsScrollBox::ScrollBy(int DeltaX, int DeltaY)
{
    if (HandleAllocated())
        ::SendMessageW(Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SCROLL_BEGIN), 0);
    TScrollingWinControl::ScrollBy(DeltaX, DeltaY);
    if (HandleAllocated())
        ::SendMessageW(Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SCROLL_END), 0);
}

bool TsScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    if (!FAutoMouseWheel)
        return TScrollingWinControl::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelForwarding)
        return false;
    LRESULT handled = 0;
    TCustomForm* form = GetOwnerForm(this);
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (active && active != this && active->HandleAllocated()) {
        TFlagScope forwarding(WheelForwarding, true);
        handled = ::SendMessageW(active->Handle(), WM_MOUSEWHEEL,
                                 MAKEWPARAM(WORD(Shift.Ord() & 0xFFFF), WORD(short(WheelDelta))),
                                 MAKELPARAM(WORD(short(MousePos.x)), WORD(short(MousePos.y))));
    }
    if (handled == 0) {
        // Turns smaller than a notch add up until they make one.
        FWheelRest += WheelDelta;
        const int notches = FWheelRest / WHEEL_DELTA;
        FWheelRest -= notches * WHEEL_DELTA;
        if (notches != 0) {
            TControlScrollBar* bar = VertScrollBar();
            bar->SetPosition(bar->Position() - notches * bar->Increment());
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Painting.

bool TsScrollBox::Cached() const
{
    return (IsCached(FCommonData) && !FCommonData->FCustomColor) || OnPaint;
}

void TsScrollBox::PrepareCache()
{
    FCommonData->InitCacheBmp();
    PaintSkinControl(FCommonData, Parent(), false, 0, TRect(0, 0, Width(), Height()), TPoint(Left(), Top()),
                     FCommonData->FCacheBmp, true);
    FCommonData->BGChanged = false;
    if (OnPaint)
        OnPaint(FCommonData->FCacheBmp);
}

void TsScrollBox::PaintCached(HDC DC)
{
    if (RecheckUpdating(FCommonData))
        return;
    const bool need = FCommonData->HalfVisible || FCommonData->BGChanged;
    const bool ifMoved = FCommonData->RepaintIfMoved();
    if (ifMoved) {
        // Half visible: the context shows less than the whole client area.
        TRect clip;
        ::GetClipBox(DC, &clip);
        const TRect client = GetClientRect();
        FCommonData->HalfVisible = clip.Width() != client.Width() || clip.Height() != client.Height();
    } else {
        FCommonData->HalfVisible = false;
    }
    if (need || !FCommonData->FCacheBmp || FCommonData->FCacheBmp->Empty())
        PrepareCache();
    UpdateCorners(FCommonData, 0);
    const int d = FrameWidth();
    CopyWinControlCache(this, FCommonData, TRect(d, d, Width(), Height()), TRect(0, 0, Width() - 2 * d, Height() - 2 * d),
                        DC, false);
    ::PaintControls(DC, this, need && ifMoved, TPoint(0, 0));
}

void TsScrollBox::PaintDirect(HDC DC)
{
    FCommonData->SetUpdating(false);
    TsSkinManager* m = FCommonData->GetSkinManager();
    const int w = SkinBorderMaxWidth(FCommonData);
    const int d = FrameWidth();
    {
        SavedDC saved(DC);
        ExcludeControls(DC, this, kvtGraphic, 0, 0);
        ::OffsetViewportOrgEx(DC, -d, -d, nullptr);
        TkvBGInfo bg{};
        if (FCommonData->FCustomColor) {
            bg.BgType = btFill;
            bg.Color = ColorToRGB(Color());
        } else {
            GetBGInfo(&bg, this, false);
        }
        const TsGeneralData& g = m->gd[size_t(FCommonData->SkinIndex)];
        const TRect all(0, 0, Width(), Height());
        FCommonData->InitCacheBmp();
        if (g.Transparency == 100 && bg.BgType == btCache && bg.Bmp) {
            const HDC parent = bg.Bmp->Canvas()->Handle();
            if (w > 0) {
                PaintBorderFast(DC, all, w, FCommonData, 0);
                ::BitBlt(DC, w, w, Width() - 2 * w, Height() - 2 * w, parent, bg.Offset.x + w, bg.Offset.y + w,
                         SRCCOPY);
            } else {
                ::BitBlt(DC, 0, 0, Width(), Height(), parent, bg.Offset.x, bg.Offset.y, SRCCOPY);
            }
        } else if (w > 0) {
            const TRect client = PaintBorderFast(DC, all, w, FCommonData, 0);
            FillDC(DC, client, g.Transparency == 100 ? bg.Color : GetBGColor(FCommonData, 0));
        } else {
            FillDC(DC, all, bg.Color);
        }
    }
    ::PaintControls(DC, this, true, TPoint(0, 0));
    FreeAndNil(FCommonData->FCacheBmp);
}

void TsScrollBox::Paint(HDC aDC, bool SendUpdated)
{
    if (!HandleAllocated())
        return;
    TkvTargetDC dc(Handle(), aDC);
    if (Cached())
        PaintCached(dc);
    else
        PaintDirect(dc);
    if (SendUpdated)
        SetParentUpdated(this);
}

void TsScrollBox::WMNCPaint(TMessage& Message)
{
    if (!FCommonData->Skinned() || FBorderStyle == bsNone || !Visible()) {
        TScrollingWinControl::WndProc(Message);
        return;
    }
    if (InAnimationProcess)
        return;
    if (ComponentState().Contains(csDesigning))
        TScrollingWinControl::WndProc(Message);
    const int d = FrameWidth();
    TkvTargetDC dc(Handle(), nullptr, true);
    SavedDC saved(dc);
    if (Cached()) {
        if (!ControlIsReady(this) || RecheckUpdating(FCommonData))
            return;
        if (FCommonData->BGChanged || !FCommonData->FCacheBmp || FCommonData->FCacheBmp->Empty())
            PrepareCache();
        UpdateCorners(FCommonData, 0);
        BitBltBorder(dc, 0, 0, Width(), Height(), FCommonData->FCacheBmp->Canvas()->Handle(), 0, 0, d);
        if (ListSW && ListSW->sBarVert)
            Kv_NCPaint(ListSW, Handle(), 0, 0, -1, dc);
        return;
    }
    FCommonData->InitCacheBmp();
    PaintBorderFast(dc, TRect(0, 0, Width(), Height()), d, FCommonData, 0);
    FreeAndNil(FCommonData->FCacheBmp);
}

void TsScrollBox::WMEraseBkgnd(TMessage& Message)
{
    if (!FCommonData->Skinned()) {
        TScrollingWinControl::WndProc(Message);
        return;
    }
    Message.Result = 1;
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (InAnimationProcess && dc != kvPrintDC)
        return;
    TsSkinManager* m = FCommonData->GetSkinManager();
    const bool opaque = m->gd[size_t(FCommonData->SkinIndex)].Transparency == 0;
    if (opaque || (Parent() && (SendAMessage(Parent(), SMC_CTRL_STATE, 0) & 1)))
        Paint(dc, true);
}

void TsScrollBox::WMPrint(TMessage& Message)
{
    if (!FCommonData->Skinned()) {
        DefaultHandler(Message);
        return;
    }
    FCommonData->SetUpdating(false);
    if (!ControlIsReady(this))
        return;
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    const int d = FrameWidth();
    PrepareCache();
    UpdateCorners(FCommonData, 0);
    BitBltBorder(dc, 0, 0, Width(), Height(), FCommonData->FCacheBmp->Canvas()->Handle(), 0, 0, d);
    if (ListSW)
        Kv_NCPaint(ListSW, Handle(), 0, 0, -1, dc);
    SavedDC saved(dc);
    ::OffsetViewportOrgEx(dc, d, d, nullptr);
    const TRect client = GetClientRect();
    ::IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
    FCommonData->HalfVisible = false;
    Paint(dc, true);
}

// ---------------------------------------------------------------------------
// The window procedure.

void TsScrollBox::ScrollBegin(const TMessage& Message)
{
    if (OnBeforeScroll)
        OnBeforeScroll(this);
    const bool horz = HIWORD(Message.LParam) == WM_HSCROLL;
    ScrollStartPos = (horz ? HorzScrollBar() : VertScrollBar())->Position();
    if (Cached() && IsThumbTracking(Handle()) && (::GetWindowLongW(Handle(), GWL_STYLE) & WS_VISIBLE)) {
        ::SendMessageW(Handle(), WM_SETREDRAW, 0, 0);
        FRedrawOff = true;
    }
}

void TsScrollBox::ScrollEnd(const TMessage& Message)
{
    const bool horz = HIWORD(Message.LParam) == WM_HSCROLL;
    const bool tracked = IsThumbTracking(Handle());
    if (FRedrawOff) {
        // A drag that ended inside the request (capture lost) ends here too.
        FRedrawOff = false;
        ::SendMessageW(Handle(), WM_SETREDRAW, 1, 0);
        Redraw(Handle(), RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    } else if (Cached()) {
        Redraw(Handle(), RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | (tracked ? RDW_ALLCHILDREN : 0));
    } else if (tracked) {
        const int delta = ScrollStartPos - (horz ? HorzScrollBar() : VertScrollBar())->Position();
        const int w = Width(), h = Height();
        TRect strip;
        if (horz)
            strip = delta < 0 ? TRect(w + delta, 0, w, h) : TRect(0, 0, delta, h);
        else
            strip = delta < 0 ? TRect(0, h + delta, w, h) : TRect(0, 0, w, delta);
        Redraw(Handle(), RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE, &strip);
    }
    if (OnAfterScroll)
        OnAfterScroll(this);
}

bool TsScrollBox::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(FCommonData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        if (own) {
            KorvexBroadCast(this, Message);
            CommonWndProc(Message, FCommonData);
        } else {
            KorvexBroadCast(this, Message);
        }
        return true;
    case SMC_SKIN_REMOVE:
        if (own) {
            if (ListSW) {
                FreeAndNil(ListSW);
                if (Kv_InitializeFlatSB && HandleAllocated())
                    Kv_InitializeFlatSB(Handle());
            }
            CommonWndProc(Message, FCommonData);
            if (!ComponentState().Contains(csDestroying)) {
                FCommonData->BorderIndex = -1;
                FCommonData->SkinIndex = -1;
                SetControlStyle(ControlStyle() - csOpaque);
                if (HandleAllocated())
                    Redraw(Handle(), RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
            }
        }
        KorvexBroadCast(this, Message);
        return true;
    case SMC_SKIN_REFRESH:
        if (own) {
            CommonWndProc(Message, FCommonData);
            const bool updating = FCommonData->GetUpdating();
            if (HandleAllocated())
                Redraw(Handle(), RDW_FRAME | RDW_ERASE | RDW_INVALIDATE |
                                     (updating || InAnimationProcess ? 0 : RDW_UPDATENOW));
            RefreshScrolls(FCommonData, ListSW);
        }
        KorvexBroadCast(this, Message);
        return true;
    case SMC_PARENT_UPDATED:
        if (FCommonData->FUpdating) {
            if (HandleAllocated())
                Redraw(Handle(), RDW_FRAME | RDW_INVALIDATE);
            FCommonData->SetUpdating(false);
        } else {
            CommonMessage(Message, FCommonData);
        }
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case SMC_REPAINT_NOW:
        if (HandleAllocated())
            Redraw(Handle(), RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
        return false;
    case SMC_SCROLL_BEGIN:
        ScrollBegin(Message);
        return false;
    case SMC_SCROLL_END:
        ScrollEnd(Message);
        return false;
    }
    return false;
}

bool TsScrollBox::SkinnedCommand(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_GET_UPDATING:
        Message.Result = Cached() && FCommonData->FUpdating ? 1 : 0;
        return true;
    case SMC_GET_BG_INFO: {
        auto* bg = reinterpret_cast<PkvBGInfo>(Message.LParam);
        if (!FCommonData->FCacheBmp) {
            Message.Result = 0;
            return true;
        }
        const bool drawing = bg->PleaseDraw;
        InitBGInfo(FCommonData, bg, 0);
        if (bg->BgType == btCache && !drawing) {
            bg->Offset.x += FrameWidth();
            bg->Offset.y += FrameWidth();
        }
        Message.Result = 1;
        return true;
    }
    }
    CommonMessage(Message, FCommonData);
    return true;
}

bool TsScrollBox::SkinnedMessage(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD)
        return SkinnedCommand(Message);
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam) {
            Paint(reinterpret_cast<HDC>(Message.WParam), true);
        } else if (Cached()) {
            TkvPaintScope paint(Handle(), nullptr);
            Paint(nullptr, true);
        } else {
            ::InvalidateRect(Handle(), nullptr, TRUE);
            WindowPaint paint(Handle());
            if (paint.DC)
                ::PaintControls(paint.DC, this, true, TPoint(0, 0));
        }
        return true;
    case CM_VISIBLECHANGED:
        FCommonData->BGChanged = true;
        return false;
    case CM_ENTER:
    case CM_EXIT:
        FCommonData->BeginUpdate();
        TScrollingWinControl::WndProc(Message);
        FCommonData->EndUpdate(false);
        return true;
    }
    return false;
}

void TsScrollBox::AfterMessage(const TMessage& Message)
{
    const bool canUpdate = ListSW && !FCommonData->FUpdating && AutoScroll();
    switch (Message.Msg) {
    case WM_SIZE:
        Redraw(Handle(), RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_MOUSEWHEEL:
    case CM_CONTROLLISTCHANGE:
    case CM_CONTROLCHANGE:
        if (canUpdate)
            UpdateScrolls(ListSW, true);
        break;
    case WM_PARENTNOTIFY:
        if ((Message.WParamLo == WM_CREATE || Message.WParamLo == WM_DESTROY) && AutoScroll() && ListSW)
            UpdateScrolls(ListSW, true);
        break;
    case CM_FOCUSCHANGED:
        if (ListSW)
            UpdateScrolls(ListSW, true);
        break;
    case CM_SHOWINGCHANGED:
        RefreshScrolls(FCommonData, ListSW);
        break;
    }
}

void TsScrollBox::WndProc(TMessage& Message)
{
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    if (!ControlIsReady(this)) {
        TScrollingWinControl::WndProc(Message);
        return;
    }
    const bool skinned = FCommonData->Skinned();
    if (skinned && SkinnedMessage(Message))
        return;
    if (CommonWndProc(Message, FCommonData))
        return;
    switch (Message.Msg) {
    case WM_NCHITTEST:
        DefaultHandler(Message);
        return;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_PRINT:
        WMPrint(Message);
        return;
    }
    TScrollingWinControl::WndProc(Message);
    if (skinned && FCommonData && HandleAllocated())
        AfterMessage(Message);
}

void SkinScrollInView(TControl* AControl, TsScrollBox* Box)
{
    if (Box && AControl)
        Box->ScrollInView(AControl);
}

KV_BEGIN_PUBLISHED(TsScrollBox, TScrollingWinControl)
    B.Bool(L"AutoMouseWheel", &C::AutoMouseWheel, &C::SetAutoMouseWheel, false);
    B.Bool(L"AutoScroll", &C::AutoScroll, &C::SetAutoScroll, true);
    B.Enum(L"BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle, {L"bsNone", L"bsSingle"}, L"TBorderStyle");
    B.Event(L"OnAfterScroll", &C::OnAfterScroll);
    B.Event(L"OnBeforeScroll", &C::OnBeforeScroll);
    B.Event(L"OnPaint", &C::OnPaint);
    B.Object(L"SkinData", &C::SkinData);
KV_END_PUBLISHED
