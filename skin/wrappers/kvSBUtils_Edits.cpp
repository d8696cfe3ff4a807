// The edit-like wrappers: base, edit, list box and memo.
#include "skin/wrappers/kvSBUtils_Edits.h"

#include "classlib/controls/ComCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/graphics/GdiHandles.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

bool IsOwnManager(TsCommonData* SkinData, LPARAM LParam)
{
    TsSkinManager* m = SkinData ? SkinData->GetSkinManager() : nullptr;
    return m && reinterpret_cast<LPARAM>(m) == LParam;
}

void NCPaintIfVisible(HWND Wnd)
{
    if (::IsWindowVisible(Wnd))
        ::SendMessageW(Wnd, WM_NCPAINT, 0, 0);
}

bool Skinned(TsCommonData* SkinData)
{
    return SkinData && SkinData->Skinned();
}

// The window's answers from the class library's controls.
constexpr UINT CN_EDIT_CHANGE = 0xBD00; // control notifications the controls reflect
constexpr UINT CN_EDIT_UPDATE = 0xBD01;
constexpr UINT KV_SWALLOWED = 0x2100;

} // namespace

// ---------------------------------------------------------------------------
// TkvBaseWnd

void TkvBaseWnd::kvWndProc(TMessage& Message)
{
    if (Destroyed || !Skinned(SkinData)) {
        TkvScrollWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        if (Message.WParamHi == SMC_SKIN_REFRESH && IsOwnManager(SkinData, Message.LParam)) {
            TkvAliveGuard guard(this);
            TkvScrollWnd::kvWndProc(Message);
            if (guard.Alive() && !Destroyed)
                NCPaintIfVisible(CtrlHandle);
            return;
        }
        if (Message.WParamHi == SMC_PREPARE_CACHE)
            ::PrepareCache(SkinData, CtrlHandle, false);
    }
    switch (Message.Msg) {
    case WM_SIZE:
        SkinData->BGChanged = true;
        break;
    case WM_SETCURSOR:
        PassOn(Message);
        return;
    case KV_SWALLOWED:
        return;
    }
    TkvAliveGuard guard(this);
    TkvScrollWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!DontRepaint)
            UpdateScrolls(this, true);
        break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        NCPaintIfVisible(CtrlHandle);
        break;
    }
}

// ---------------------------------------------------------------------------
// TkvEditWnd: life and colours

void TkvEditWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint)
{
    if (!AHandle) {
        Destroyed = true; // an object without window: nothing to do
        return;
    }
    const UnicodeString section = SkinSection.empty() ? UnicodeString(L"EDIT") : UpperCase(SkinSection);
    if (ASkinData && ASkinData->SkinSection() != section)
        ASkinData->SetSkinSection(section);
    TkvBaseWnd::Create(AHandle, ASkinData, ASkinManager, section, Repaint);
    // A list view's wrapper leaves its control's opaqueness as it was.
    if (dynamic_cast<TCustomListView*>(SkinData ? SkinData->FOwnerControl : nullptr))
        GiveOpaqueBack();
}

void TkvEditWnd::SaveStdParams()
{
    TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!c)
        return;
    StdColor = c->Color();
    StdFontColor = c->Font()->Color();
    if (kvntUtils::HasProperty(c, L"FocusColor"))
        FocusColor = kvntUtils::GetIntProp(c, L"FocusColor");
}

void TkvEditWnd::SetSkinParams()
{
    bPreventStyleChange = true;
    ParamsChanged = true;
    TsSkinManager* m = SkinData->GetSkinManager();
    const bool valid = m && m->IsValidSkinIndex(SkinData->SkinIndex);
    if (TControl* c = SkinData->FOwnerControl) {
        if (!SkinData->FCustomColor) {
            const TColor v = GetBGColor(SkinData, ControlIsActive(SkinData) ? 1 : 0);
            if (c->Color() != v)
                c->SetColor(v);
            if (kvntUtils::HasProperty(c, L"FocusColor"))
                kvntUtils::SetIntProp(c, L"FocusColor", v);
        }
        if (!SkinData->FCustomFont && valid) {
            const TColor f = m->gd[std::size_t(SkinData->SkinIndex)].HotFontColor[1];
            if (c->Font()->Color() != f)
                c->Font()->SetColor(f);
        }
    } else {
        Color = !DlgMode && valid ? m->gd[std::size_t(SkinData->SkinIndex)].Color : clWindow;
        FrameColor = 0;
    }
    SkinData->BGChanged = true;
    bPreventStyleChange = false;
}

void TkvEditWnd::RestoreStdParams()
{
    if (::IsWindow(CtrlHandle) && ::IsWindowVisible(CtrlHandle))
        ::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!c || c->ComponentState().Contains(csDestroying) || StdColor == clNone)
        return;
    c->SetColor(StdColor);
    c->Font()->SetColor(StdFontColor);
    if (kvntUtils::HasProperty(c, L"FocusColor"))
        kvntUtils::SetIntProp(c, L"FocusColor", FocusColor);
}

// ---------------------------------------------------------------------------
// TkvEditWnd: painting

TRect TkvEditWnd::ClientPart() const
{
    const int e = cxLeftEdge;
    int w = WndSize.cx - 2 * e, h = WndSize.cy - 2 * e;
    if (sBarVert && sBarVert->fScrollVisible)
        w -= GetScrollMetric(sBarVert, 1, true);
    if (sBarHorz && sBarHorz->fScrollVisible)
        h -= GetScrollMetric(sBarHorz, 1, true);
    const int left = fLeftScrollbar && sBarVert && sBarVert->fScrollVisible ? e + WndSize.cx - 2 * e - w : e;
    return TRect(left, e, left + std::max(0, w), e + std::max(0, h));
}

void TkvEditWnd::ToClient(HDC DC, UINT Msg, LPARAM LParam)
{
    const TRect c = ClientPart();
    SavedDC saved(DC);
    ::OffsetViewportOrgEx(DC, c.left, c.top, nullptr);
    ::IntersectClipRect(DC, 0, 0, c.Width(), c.Height());
    ::SendMessageW(CtrlHandle, Msg, WPARAM(DC), LParam);
}

void TkvEditWnd::PrintWindow(HDC DC)
{
    InitCtrlData(this);
    SkinData->SetUpdating(false);
    SkinData->BGChanged = true;
    if (!ParamsChanged)
        SetSkinParams();
    ::PrepareCache(SkinData, CtrlHandle, DlgMode);
    if (!DlgMode)
        FillWrapperCorners(SkinData, 0, this);
    BitBltBorder(DC, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, cxLeftEdge);
    Kv_NCPaint(this, CtrlHandle, 0, 0, -1, DC);
    // The control paints its client area itself.
    TkvAliveGuard guard(this);
    ToClient(DC, WM_ERASEBKGND, 0);
    if (guard.Alive())
        ToClient(DC, WM_PAINT, 0);
    if (guard.Alive())
        ToClient(DC, WM_PRINTCLIENT, PRF_CLIENT | PRF_OWNED);
}

void TkvEditWnd::Paint(TMessage& Message)
{
    SkinData->SetUpdating(SkinData->GetUpdating());
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    if (!SkinData->FUpdating && (!InAnimationProcess || (dc && dc == kvPrintDC))) {
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
        if (!ParamsChanged)
            SetSkinParams();
        TkvBaseWnd::kvWndProc(Message);
        return;
    }
    // Not now: the request is only validated.
    PAINTSTRUCT ps;
    ::BeginPaint(CtrlHandle, &ps);
    ::EndPaint(CtrlHandle, &ps);
}

void TkvEditWnd::EraseBkgnd(TMessage& Message)
{
    if (RecheckUpdating(SkinData)) {
        Message.Result = 1;
        return;
    }
    if (!ParamsChanged)
        SetSkinParams();
    if (Win32MajorVersion >= 6 && InAnimationProcess && reinterpret_cast<HDC>(Message.WParam) != kvPrintDC) {
        Message.Result = 1;
        return;
    }
    TkvBaseWnd::kvWndProc(Message);
}

void TkvEditWnd::NCPaint(TMessage& Message)
{
    InitCtrlData(this);
    if (RecheckUpdating(SkinData))
        return;
    if (SkinData->BGChanged) {
        if (!ParamsChanged)
            SetSkinParams();
        ::PrepareCache(SkinData, CtrlHandle, DlgMode);
    }
    HDC dc = ::GetWindowDC(CtrlHandle);
    {
        SavedDC saved(dc);
        if (SkinData->FCacheBmp && !SkinData->FCacheBmp->Empty())
            BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0,
                         cxLeftEdge);
        Kv_NCPaint(this, CtrlHandle, 0, 0, -1, dc);
    }
    ::ReleaseDC(CtrlHandle, dc);
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// TkvEditWnd: the window procedure

bool TkvEditWnd::Command(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_REFRESH:
        if (!IsOwnManager(SkinData, Message.LParam))
            return false;
        {
            TkvAliveGuard guard(this);
            TkvBaseWnd::kvWndProc(Message);
            if (guard.Alive() && !Destroyed)
                SetSkinParams();
        }
        return true;
    case SMC_PARENT_UPDATED:
        if (SkinData->FUpdating) {
            SkinData->SetUpdating(false);
            if (!RecheckUpdating(SkinData))
                ::RedrawWindow(CtrlHandle, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        }
        TkvBaseWnd::kvWndProc(Message);
        return true;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return true;
    case SMC_GET_SKIN_INDEX:
        Message.Result = SkinData->SkinIndex + 1;
        return true;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    case SMC_PREPARE_CACHE:
        InitCtrlData(this);
        ::PrepareCache(SkinData, CtrlHandle, DlgMode);
        FillWrapperCorners(SkinData, 0, this);
        return true;
    }
    return false;
}

void TkvEditWnd::kvWndProc(TMessage& Message)
{
    if (!Skinned(SkinData) || Destroyed) {
        TkvBaseWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    const bool visible = ::IsWindowVisible(CtrlHandle) != 0;
    switch (Message.Msg) {
    case WM_PAINT:
        if (visible) {
            Paint(Message);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (visible) {
            EraseBkgnd(Message);
            return;
        }
        break;
    case WM_NCPAINT:
        if (visible) {
            if (!InAnimationProcess)
                NCPaint(Message);
            return;
        }
        break;
    case WM_PRINT:
        if (Message.WParam)
            PrintWindow(reinterpret_cast<HDC>(Message.WParam));
        return;
    case CM_FONTCHANGED:
        if (!SkinData->FUpdating)
            ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        break;
    }
    TkvAliveGuard guard(this);
    TkvBaseWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed)
        AfterBase(Message);
}

void TkvEditWnd::FocusChanged(bool Focused)
{
    auto* w = dynamic_cast<TWinControl*>(SkinData->FOwnerControl);
    if (!MayBeHot(SkinData) || !w || !w->CanFocus() || !w->TabStop())
        return;
    SkinData->BGChanged = true;
    SkinData->FFocused = Focused;
    ::RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TkvEditWnd::HoverChanged(bool Above)
{
    if (!MayBeHot(SkinData))
        return;
    SkinData->FMouseAbove = Above;
    if (Above && SkinData->COC == 227)
        ShowGlowingIfNeeded(SkinData, false, CtrlHandle);
    SkinData->BGChanged = true;
    if (auto* w = dynamic_cast<TWinControl*>(SkinData->FOwnerControl); w && w->HandleAllocated())
        ::RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    if (!Above)
        ClearGlows();
}

void TkvEditWnd::AfterBase(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        NCPaintIfVisible(CtrlHandle);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FocusChanged(Message.Msg == WM_SETFOCUS);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_EDIT_CHANGE:
    case CN_EDIT_UPDATE:
        if (!DontRepaint)
            UpdateScrolls(this, true);
        break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
        UpdateScrolls(this, true);
        break;
    case LB_GETTOPINDEX:
        if (Message.Result == 0)
            if (auto* lb = dynamic_cast<TCustomListBox*>(SkinData->FOwnerControl); lb && lb->Items()->Count() == 0)
                Message.Result = -1;
        break;
    case WM_MOUSEMOVE: {
        TsSkinManager* m = DefaultManager;
        if (!m || m->ComponentState().Contains(csDesigning) || !::IsWindowEnabled(CtrlHandle))
            break;
        if (m->ActiveControl() != CtrlHandle)
            m->SetActiveControl(CtrlHandle);
        if (!SkinData->FUpdating && ::GetCapture())
            UpdateScrolls(this, true);
        break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        HoverChanged(Message.Msg == CM_MOUSEENTER);
        break;
    }
}

// ---------------------------------------------------------------------------
// The refresh routines of the skinned views: no loading test and no flat
// bars, unlike those of the scrolling controls.

void RefreshEditScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW)
{
    RefreshWrapperScrolls(SkinData, ListSW, TkvWndClass::Of<TkvEditWnd>(), false, false);
}

void RefreshTreeScrolls(TsCommonData* SkinData, TkvScrollWnd*& ListSW)
{
    RefreshWrapperScrolls(SkinData, ListSW, TkvWndClass::Of<TkvTreeViewWnd>(), false, false);
}
