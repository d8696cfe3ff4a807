// Panels, dialog panels, nested dialog panes and the tab-control frame.
#include "skin/wrappers/kvSBUtils_Panels.h"

#include <commctrl.h>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/GdiHandles.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

// Half the difference between the window's width and its client width: the
// width of its non-client frame.
int FrameWidth(HWND Wnd)
{
    TRect w, c;
    ::GetWindowRect(Wnd, &w);
    ::GetClientRect(Wnd, &c);
    return (w.Width() - c.Width()) / 2;
}

// A client-area context (an erase) used in window coordinates, like the
// contexts of the non-client and print paints.
class TWindowOrigin {
public:
    TWindowOrigin(HDC DC, int Frame) : FSaved(DC)
    {
        ::OffsetViewportOrgEx(DC, -Frame, -Frame, nullptr);
    }

private:
    SavedDC FSaved;
};

bool IsCreateOrDestroy(const TMessage& Message)
{
    return Message.WParamLo == WM_CREATE || Message.WParamLo == WM_DESTROY;
}

} // namespace

// ---------------------------------------------------------------------------
// TkvPanelWnd

UnicodeString TkvPanelWnd::SectionFor(TCustomPanel* Panel)
{
    switch (Panel->BevelOuter()) {
    case bvLowered:
        return Panel->BevelInner() == bvRaised ? L"GROUPBOX" : L"PANEL_LOW";
    case bvRaised:
        return Panel->BevelInner() == bvLowered ? L"GROUPBOX" : L"PANEL";
    default:
        return Panel->BorderStyle() != bsNone ? L"PANEL_LOW" : L"CHECKBOX";
    }
}

void TkvPanelWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                         const UnicodeString& SkinSection, bool Repaint)
{
    auto* owner = ASkinData ? dynamic_cast<TCustomPanel*>(ASkinData->FOwnerControl) : nullptr;
    const UnicodeString section = owner && SkinSection.empty() ? SectionFor(owner) : SkinSection;
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, section, Repaint);
}

TCustomPanel* TkvPanelWnd::Panel() const
{
    return SkinData ? dynamic_cast<TCustomPanel*>(SkinData->FOwnerControl) : nullptr;
}

bool TkvPanelWnd::Serves() const
{
    TCustomPanel* p = Panel();
    return p && p->ControlStyle().Contains(csAcceptsControls);
}

void TkvPanelWnd::WriteText(TRect R, TCanvas* Canvas)
{
    TCustomPanel* p = Panel();
    if (!p->ShowCaption())
        return;
    Canvas->Font()->Assign(p->Font());
    Canvas->Brush()->SetStyle(bsClear);
    const int th = Canvas->TextHeight(L"W");
    R.top += (R.Height() - th) / 2;
    R.bottom = R.top + th;
    const UnicodeString caption = p->Caption();
    kvWriteTextEx(Canvas, caption.c_str(), p->Enabled(), R, DT_CENTER | DT_VCENTER, SkinData, false);
}

void TkvPanelWnd::PrepareCache()
{
    TCustomPanel* p = Panel();
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    const TCacheInfo ci = GetParentCache(SkinData);
    PaintItem(SkinData, ci, false, 0, TRect(0, 0, p->Width(), p->Height()), TPoint(p->Left(), p->Top()), cache, false);
    const int bevels = (p->BevelInner() != bvNone ? 1 : 0) + (p->BevelOuter() != bvNone ? 1 : 0);
    TRect r = p->ClientRect();
    const int inset = p->BevelWidth() * bevels + p->BorderWidth();
    ::InflateRect(&r, -inset, -inset);
    WriteText(r, cache->Canvas());
    SkinData->BGChanged = false;
}

void TkvPanelWnd::KV_WMPaint(HDC Given)
{
    TCustomPanel* p = Panel();
    if (!p || p->ComponentState().Contains(csDestroying))
        return;
    if (p->Parent() && p->Parent()->ControlState().Contains(csCreating))
        return;
    TkvTargetDC dc(CtrlHandle, Given, true);
    SavedDC saved(dc);
    if (RecheckUpdating(SkinData))
        return;
    const bool repaint = SkinData->HalfVisible || SkinData->BGChanged;
    const bool ifMoved = SkinData->RepaintIfMoved();
    if (ifMoved) {
        TRect clip;
        ::GetClipBox(dc, &clip);
        SkinData->HalfVisible = clip.Width() != p->Width() || clip.Height() != p->Height();
    } else {
        SkinData->HalfVisible = false;
    }
    if (repaint)
        PrepareCache();
    const int b = FrameWidth(CtrlHandle);
    CopyWinControlCache(p, SkinData, TRect(b, b, 0, 0), TRect(b, b, p->Width() - b, p->Height() - b), dc, true, b, b);
    PaintControls(dc, p, repaint && ifMoved, TPoint(b, b));
    SetParentUpdated(p);
}

void TkvPanelWnd::KV_WMNCPaint(HDC Given)
{
    InitCtrlData(this);
    TkvTargetDC dc(CtrlHandle, Given, true);
    // The frame is copied from a cache that is up to date.
    if (SkinData->BGChanged || !SkinData->FCacheBmp || SkinData->FCacheBmp->Empty())
        PrepareCache();
    const int b = FrameWidth(CtrlHandle);
    if (b > 0)
        BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, b);
}

void TkvPanelWnd::Command(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
    case SMC_SKIN_REFRESH: {
        TkvAliveGuard guard(this);
        TkvMainWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed)
            KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
        return;
    }
    case SMC_SKIN_REMOVE:
        SkinData->SkinIndex = -1;
        GiveOpaqueBack(true);
        break;
    case SMC_PARENT_UPDATED:
        SkinData->SetUpdating(false);
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
        return;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return;
    case SMC_PREPARE_CACHE:
        return;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
    }
    TkvMainWnd::kvWndProc(Message);
}

bool TkvPanelWnd::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT:
        if (!::IsWindowVisible(CtrlHandle))
            return false;
        if (QuietRoot(this, Message))
            RepaintNow(this);
        return true;
    case WM_PAINT: {
        // Painted in the erase that BeginPaint asks for.
        ::InvalidateRect(CtrlHandle, nullptr, TRUE);
        TkvPaintScope paint(CtrlHandle, nullptr);
        return true;
    }
    case WM_ERASEBKGND: {
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        TWindowOrigin origin(dc, FrameWidth(CtrlHandle));
        KV_WMPaint(dc);
        Message.Result = 1;
        return true;
    }
    case WM_UPDATEUISTATE:
        Message.Result = 1;
        return true;
    case WM_NCPAINT:
        KV_WMNCPaint(nullptr);
        Message.Result = 0;
        return true;
    case WM_PARENTNOTIFY:
        if (!IsCreateOrDestroy(Message))
            return false;
        {
            TkvAliveGuard guard(this);
            TkvMainWnd::kvWndProc(Message);
            if (guard.Alive() && Message.WParamLo == WM_CREATE)
                AddToAdapter(Panel());
        }
        return true;
    case WM_PRINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        KV_WMNCPaint(reinterpret_cast<HDC>(Message.WParam));
        return true;
    }
    return false;
}

void TkvPanelWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this) || !Serves()) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        Command(Message);
        return;
    }
    if (SkinData->Skinned() && SkinnedMessage(Message))
        return;
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed && Message.Msg == WM_WINDOWPOSCHANGING)
        ::SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------
// TkvDlgPanelWnd

void TkvDlgPanelWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                            const UnicodeString& SkinSection, bool Repaint)
{
    (void)SkinSection;
    Panel = dynamic_cast<TCustomPanel*>(FindControlByHandle(AHandle, Application));
    const bool plainPanel = Panel && Panel->ClassName() == L"TPanel";
    const UnicodeString section = plainPanel ? L"CHECKBOX" : L"GROUPBOX";
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, section, Repaint);
    if (SkinData->SkinSection() != section)
        SkinData->SetSkinSection(section);
    if (plainPanel)
        TakeGlobalColor();
}

TColor TkvDlgPanelWnd::GlobalColor() const
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m ? m->GetGlobalColor() : clBtnFace;
}

void TkvDlgPanelWnd::TakeGlobalColor()
{
    if (Panel && !Panel->ComponentState().Contains(csDestroying) && Panel->Color() != GlobalColor())
        Panel->SetColor(GlobalColor());
}

void TkvDlgPanelWnd::SaveStdParams()
{
    if (Panel)
        StdColor = Panel->Color();
}

void TkvDlgPanelWnd::RestoreStdParams()
{
    // The panel's own colour comes back with the window.
    if (Panel && StdColor != clNone && !Panel->ComponentState().Contains(csDestroying))
        Panel->SetColor(StdColor);
}

void TkvDlgPanelWnd::SetSkinParams()
{
    TkvMainWnd::SetSkinParams();
    TakeGlobalColor();
}

void TkvDlgPanelWnd::PrepareCache()
{
    InitCtrlData(this);
    ::InitCacheBmp(SkinData);
    TBitmap* cache = SkinData->FCacheBmp;
    if (cache->Width() != WndSize.cx || cache->Height() != WndSize.cy)
        cache->SetSize(WndSize.cx, WndSize.cy);
    PaintItem(SkinData, GetParentCacheHwnd(CtrlHandle), false, 0, TRect(0, 0, WndSize.cx, WndSize.cy), WndPos, cache,
              false);
    SkinData->BGChanged = false;
}

void TkvDlgPanelWnd::KV_WMPaint(HDC Given)
{
    if (!SkinData->Skinned())
        return;
    TkvTargetDC dc(CtrlHandle, Given, true);
    SavedDC saved(dc);
    if (RecheckUpdating(SkinData))
        return;
    PrepareCache();
    const int b = FrameWidth(CtrlHandle);
    ::BitBlt(dc, b, b, WndSize.cx - 2 * b, WndSize.cy - 2 * b, SkinData->FCacheBmp->Canvas()->Handle(), b, b, SRCCOPY);
}

void TkvDlgPanelWnd::KV_WMNCPaint(HDC Given)
{
    InitCtrlData(this);
    const int b = FrameWidth(CtrlHandle) + 6;
    TkvTargetDC dc(CtrlHandle, Given, true);
    SkinData->BGChanged = true;
    PrepareCache();
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, b);
}

void TkvDlgPanelWnd::EraseBkgnd(TMessage& Message)
{
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    InitCtrlData(this);
    {
        const int frame = FrameWidth(CtrlHandle);
        TWindowOrigin origin(dc, frame);
        KV_WMPaint(dc);
        // The panel paints its own content inside the 6-pixel margin.
        ::IntersectClipRect(dc, 6, 6, WndSize.cx - 6, WndSize.cy - 6);
        ::OffsetViewportOrgEx(dc, frame, frame, nullptr);
        TkvAliveGuard guard(this);
        CallPrevWndProc(CtrlHandle, WM_PAINT, Message.WParam, Message.LParam);
        if (!guard.Alive())
            return;
    }
    Message.Result = 1;
}

void TkvDlgPanelWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this)) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_SKIN_SET)
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
    switch (Message.Msg) {
    case WM_SETTEXT:
        if (::IsWindowVisible(CtrlHandle))
            SkinData->BGChanged = true;
        break;
    case WM_PAINT: {
        TakeGlobalColor();
        TkvPaintScope paint(CtrlHandle, nullptr);
        return;
    }
    case WM_ERASEBKGND:
        EraseBkgnd(Message);
        return;
    case WM_NCPAINT:
        KV_WMNCPaint(nullptr);
        Message.Result = 1;
        return;
    case WM_UPDATEUISTATE:
        Message.Result = 1;
        return;
    case WM_PARENTNOTIFY:
        if (IsCreateOrDestroy(Message)) {
            TkvAliveGuard guard(this);
            TkvMainWnd::kvWndProc(Message);
            if (!guard.Alive())
                return;
            TakeGlobalColor();
            if (Message.WParamLo == WM_CREATE && Panel)
                AddToAdapter(Panel);
            return;
        }
        break;
    case WM_PRINT:
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        KV_WMNCPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_THEMECHANGED:
        if (Panel && Panel->Color() != clBtnFace)
            Panel->SetColor(clBtnFace);
        break;
    }
    TkvMainWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvTransPanelWnd

void TkvTransPanelWnd::KV_WMPaint(HDC Given)
{
    ::GetWindowRect(CtrlHandle, &WndRect);
    WndSize = {WndRect.Width(), WndRect.Height()};
    TkvTargetDC dc(CtrlHandle, Given, true);
    SkinData->BGChanged = true;
    TkvAliveGuard guard(this);
    SendAMessage(CtrlHandle, SMC_PREPARE_CACHE, 0);
    if (!guard.Alive() || Destroyed || !SkinData->FCacheBmp)
        return;
    CopyHwndCache(CtrlHandle, SkinData, TRect(0, 0, 0, 0), TRect(0, 0, WndSize.cx, WndSize.cy), dc, false);
}

void TkvTransPanelWnd::kvWndProc(TMessage& Message)
{
    if (WrapperSkinned(this))
        switch (Message.Msg) {
        case WM_ERASEBKGND:
            KV_WMPaint(nullptr); // the whole window, frame included
            Message.Result = 1;
            return;
        case WM_NCPAINT:
            return;
        case WM_PRINT:
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
            return;
        }
    TkvMainWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvTabWnd

TRect TkvTabWnd::DisplayRect() const
{
    TRect r;
    ::GetClientRect(CtrlHandle, &r);
    ::SendMessageW(CtrlHandle, TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
    r.top += 2;
    return r;
}

void TkvTabWnd::PrepareCache()
{
    InitCtrlData(this);
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    // The bands copied into the frame show the section, not an empty bitmap.
    SkinData->BGChanged = true;
    ::PrepareCache(SkinData, CtrlHandle, DlgMode);
}

void TkvTabWnd::KV_WMPaint(HDC Given)
{
    TkvPaintScope paint(CtrlHandle, Given);
    if (::IsWindowVisible(CtrlHandle) || Given)
        PrepareCache();
}

void TkvTabWnd::KV_WMNCPaint(HDC Given)
{
    if (RecheckUpdating(SkinData))
        return;
    if (!SkinData->FCacheBmp || SkinData->FCacheBmp->Empty())
        PrepareCache();
    const TRect d = DisplayRect();
    TkvTargetDC dc(CtrlHandle, Given, true);
    HDC cache = SkinData->FCacheBmp->Canvas()->Handle();
    ::BitBlt(dc, 0, 0, WndSize.cx, d.top, cache, 0, 0, SRCCOPY);
    ::BitBlt(dc, 0, d.top, d.left, WndSize.cy - d.top, cache, 0, d.top, SRCCOPY);
}

void TkvTabWnd::kvWndProc(TMessage& Message)
{
    if (WrapperSkinned(this))
        switch (Message.Msg) {
        case WM_PAINT:
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
            return;
        case WM_PRINT:
            KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
            // A printed frame shows the bands its non-client paint copies.
            if (Message.WParam && (Message.LParam & PRF_NONCLIENT)) {
                InitCtrlData(this);
                KV_WMNCPaint(reinterpret_cast<HDC>(Message.WParam));
            }
            return;
        case WM_ERASEBKGND:
            return;
        case WM_NCPAINT:
            if (!DlgMode)
                break;
            InitCtrlData(this);
            KV_WMNCPaint(nullptr);
            return;
        }
    TkvMainWnd::kvWndProc(Message);
}
