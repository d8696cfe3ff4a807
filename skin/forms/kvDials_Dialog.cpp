// The dialog skinner's behaviour: creation and release, the state queries
// the caption buttons and the system menu follow, the window procedure,
// the hit test, the mouse on the caption buttons and the system menu.
#include "skin/forms/kvDials_Dialog.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/core/sInputSource.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sSkinManager_Anim.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sStrings.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials.h"
#include "skin/wrappers/kvSBUtils_Paint.h"
#include "skin/forms/sSkinMenus.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/paint/sAlphaGraph.h"

bool ButtonPressed = false;
bool InUpdateRgn = false;

namespace {

constexpr UINT CM_VISIBLECHANGED_MSG = 0xB00B;
constexpr UINT DM_SETDEFID_MSG = 0x401;
constexpr UINT KV_DLG_REFRESH_MSG = 1326;
constexpr int SMC_WALK_CONTROLS = 28;
constexpr WPARAM SC_DRAGMOVE = 0xF012;

bool IsDialogButtonCode(int Code)
{
    return Code == HTMINBUTTON || Code == HTMAXBUTTON || Code == HTCLOSE || Code == HTHELP;
}

} // namespace

TkvBorderStyle DialogBorderStyle(DWORD Style)
{
    if ((Style & WS_POPUP) && (Style & WS_CAPTION) != WS_CAPTION)
        return kvbsNone;
    if (Style & WS_THICKFRAME)
        return kvbsSizeable;
    if (Style & DS_MODALFRAME)
        return kvbsDialog;
    // A fixed frame: neither a sizing frame nor a modal one.
    return kvbsSingle;
}

TFormBorderStyle FormBorderStyleOf(TkvBorderStyle Style)
{
    switch (Style) {
    case kvbsDialog: return bsDialog;
    case kvbsSingle: return bsSingle;
    case kvbsNone: return bsNone;
    case kvbsToolWindow: return bsToolWindow;
    case kvbsSizeToolWin: return bsSizeToolWin;
    default: return bsSizeable;
    }
}

// ---------------------------------------------------------------------------
// Creation and release.

void TkvDialogWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                          const UnicodeString& SkinSection, bool Repaint)
{
    TkvScrollWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    Initialized = false;
    RgnChanged = true;
    BorderStyle = kvbsSingle;
    TempBmp = new TBitmap;
    FFormActive = true;
    FWMPaintForbidden = LOBYTE(LOWORD(::GetVersion())) > 5;
    FCaptionSkinIndex = -1;
    SystemMenu = new TkvSystemMenu(nullptr);
    SystemMenu->FOwner = this;
    SystemMenu->UpdateItems();
    SkinData->SetUpdating(true);
    InitDwm(AHandle, true);
    if (DefaultManager && DefaultManager->SkinnedPopups())
        if (auto* menus = dynamic_cast<TsSkinableMenus*>(DefaultManager->SkinableMenus()))
            menus->HookPopupMenu(SystemMenu, true);
}

// The dialog gets back what the skinner changed on it before the window
// is let go: its system-menu style and its whole window.
void TkvDialogWnd::BeforeDestruction()
{
    // Let go of the window first: the frame it computes again must not
    // reach the skinner, which would cut a new region.
    const bool giveBack = Hooked() && ::IsWindow(CtrlHandle);
    TkvScrollWnd::BeforeDestruction();
    if (giveBack)
        GiveBackLook();
}

void TkvDialogWnd::PlaceAt(int Left, int Top)
{
    FPlaceLeft = Left;
    FPlaceTop = Top;
    FPlacePending = Left != -1 || Top != -1;
    Place();
}

// A coordinate at -1 keeps the dialog's own on that axis.
void TkvDialogWnd::Place()
{
    if (!FPlacePending)
        return;
    RECT r;
    ::GetWindowRect(CtrlHandle, &r);
    const int x = FPlaceLeft != -1 ? FPlaceLeft : int(r.left);
    const int y = FPlaceTop != -1 ? FPlaceTop : int(r.top);
    ::SetWindowPos(CtrlHandle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER | SWP_NOZORDER);
}

void TkvDialogWnd::GiveBackLook()
{
    if (FSysMenuTaken) {
        const LONG s = ::GetWindowLongW(CtrlHandle, GWL_STYLE);
        ::SetWindowLongW(CtrlHandle, GWL_STYLE, s | WS_SYSMENU);
        FSysMenuTaken = false;
    }
    ::SetWindowRgn(CtrlHandle, nullptr, FALSE);
    ::SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    if (::IsWindowVisible(CtrlHandle))
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

TkvDialogWnd::~TkvDialogWnd()
{
    KillAnimations();
    InitExBorders(false);
    FreeAndNil(TitleGlyph);
    FreeAndNil(TitleBG);
    FreeAndNil(TempBmp);
    FreeAndNil(SystemMenu);
    FreeAndNil(TitleFont);
    FreeAndNil(FGlow);
    FDlgBrush.Reset();
}

void TkvDialogWnd::InitParams()
{
    dwStyle = DWORD(::GetWindowLongW(CtrlHandle, GWL_STYLE));
    dwExStyle = DWORD(::GetWindowLongW(CtrlHandle, GWL_EXSTYLE));
    BorderStyle = DialogBorderStyle(dwStyle);
    PrepareTitleGlyph();
    UpdateIconsIndexes();
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        if (HFONT f = ::CreateFontIndirectW(&ncm.lfCaptionFont)) {
            if (!TitleFont)
                TitleFont = new TFont;
            TitleFont->SetHandle(f);
        }
    // The skin draws the caption buttons; the system must not.  dwStyle
    // keeps the bit for the queries and the system menu.
    if (dwStyle & WS_SYSMENU) {
        ::SetWindowLongW(CtrlHandle, GWL_STYLE, LONG(dwStyle & ~DWORD(WS_SYSMENU)));
        FSysMenuTaken = true;
    }
    SystemMenu->UpdateItems();
}

void TkvDialogWnd::InitExBorders(bool Active)
{
    TsSkinManager* sm = SkinData ? SkinData->GetSkinManager() : nullptr;
    TBitmap* cache = SkinData ? SkinData->FCacheBmp : nullptr;
    // A frameless dialog has no frame for the skin to widen.
    const bool wanted = Active && sm && !sm->ComponentState().Contains(csDesigning) && BorderStyle != kvbsNone &&
                        !Destroyed && ::IsWindow(CtrlHandle);
    if (wanted) {
        if (BorderForm)
            return;
        BorderForm = new TkvBorderForm(this);
        SkinData->BGChanged = true;
        RgnChanged = true;
        if (cache)
            cache->SetPixelFormat(pf32bit);
        UpdateExBordersPos(true);
        return;
    }
    if (BorderForm) {
        KillAnimations();
        delete std::exchange(BorderForm, nullptr);
        if (SkinData) {
            SkinData->BGChanged = true;
            RgnChanged = true;
        }
    }
    if (cache)
        cache->SetPixelFormat(pf24bit);
}

void TkvDialogWnd::UpdateExBordersPos(bool Redraw)
{
    if (BorderForm && ::IsWindowVisible(CtrlHandle))
        BorderForm->UpdateExBordersPos(Redraw, 255);
}

void TkvDialogWnd::WMShowWindow(TMessage& Message)
{
    TkvAliveGuard guard(this);
    OwnProc(Message);
    if (!guard.Alive())
        return;
    InitDwm(CtrlHandle, true);
    if (Message.WParam != 1)
        return;
    // Placed once more when first shown: a dialog may centre itself while
    // it initialises (message boxes do).
    Place();
    FPlacePending = false;
    Caption = GetWndText(CtrlHandle);
    WalkControls();
    AnimShow();
}

// The dialog fades in when the manager's dialog-show effect asks for it;
// its caption and controls are captured before it shows.
void TkvDialogWnd::AnimShow()
{
    TsSkinManager* sm = DefaultManager;
    TkvDialogShow* show = sm && sm->AnimEffects() ? sm->AnimEffects()->DialogShow() : nullptr;
    if (!show || !show->Active() || show->Time() == 0 || InAnimationProcess || !SkinData->Skinned())
        return;
    AnimShowDlg(*this, show->Time(), 255, show->Mode());
}

void TkvDialogWnd::KillAnimations()
{
    for (TsCaptionButton* b : {&ButtonMin, &ButtonMax, &ButtonClose, &ButtonHelp})
        KillAnimation(*b);
}

// ---------------------------------------------------------------------------
// State queries.

bool TkvDialogWnd::Iconic() const
{
    return ::IsIconic(CtrlHandle) != 0;
}

bool TkvDialogWnd::Zoomed() const
{
    return ::IsZoomed(CtrlHandle) != 0;
}

bool TkvDialogWnd::VisibleClose() const
{
    return (dwStyle & WS_SYSMENU) != 0;
}

bool TkvDialogWnd::VisibleMax() const
{
    return (dwStyle & WS_MAXIMIZEBOX) != 0;
}

bool TkvDialogWnd::VisibleMin() const
{
    return (dwStyle & WS_MINIMIZEBOX) != 0;
}

bool TkvDialogWnd::VisibleHelp() const
{
    return (dwExStyle & WS_EX_CONTEXTHELP) != 0;
}

bool TkvDialogWnd::VisibleRestore() const
{
    return VisibleClose() && (BorderStyle == kvbsSingle || BorderStyle == kvbsSizeable);
}

bool TkvDialogWnd::EnabledClose() const
{
    return VisibleClose() && !(::GetClassLongW(CtrlHandle, GCL_STYLE) & CS_NOCLOSE);
}

bool TkvDialogWnd::EnabledMax() const
{
    return VisibleMax() && !Zoomed() &&
           (BorderStyle == kvbsSingle || BorderStyle == kvbsSizeable || BorderStyle == kvbsSizeToolWin);
}

bool TkvDialogWnd::EnabledMin() const
{
    return VisibleMin() && !Iconic();
}

bool TkvDialogWnd::EnabledRestore() const
{
    return VisibleMax() && (Iconic() || Zoomed());
}

// ---------------------------------------------------------------------------
// The window procedure.

void TkvDialogWnd::OwnProc(TMessage& Message)
{
    PassOn(Message);
}

void TkvDialogWnd::PassOnDialog(TMessage& Message)
{
    TkvAliveGuard guard(this);
    TkvScrollWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed)
        AfterPassedOn(Message);
}

void TkvDialogWnd::WalkControls()
{
    if (Provider)
        Provider->InitHwndControls(CtrlHandle);
}

void TkvDialogWnd::kvWndProc(TMessage& Message)
{
    // A fade's window must not outlive the dialog on the screen: the
    // skinner itself is freed later, when the list is cleaned.
    if (Message.Msg == WM_DESTROY) {
        KillAnimations();
        // The border window goes with its dialog, not when the list is cleaned.
        InitExBorders(false);
    }
    if (Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY || Destroyed || !SkinData || !SkinData->Skinned()) {
        TkvScrollWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        SkinCommand(Message);
        return;
    }
    const bool visible = ::IsWindowVisible(CtrlHandle) != 0;
    switch (Message.Msg) {
    case WM_SIZE: WMSize(Message); return;
    case WM_SETFOCUS:
        OwnProc(Message);
        ::RedrawWindow(::GetActiveWindow(), nullptr, nullptr, 0x585);
        return;
    case WM_ENABLE:
        if (!visible)
            break;
        OwnProc(Message);
        SkinData->BGChanged = true;
        ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        return;
    case WM_SETTEXT:
        if (!visible)
            break;
        WMSetText(Message);
        return;
    case WM_PAINT: WMPaintMsg(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SHOWWINDOW: WMShowWindow(Message); return;
    case WM_DRAWITEM: Kv_DrawStaticItem(Message); break;
    case WM_WINDOWPOSCHANGED: {
        SkinData->BGChanged = true;
        RgnChanged = true;
        TkvAliveGuard guard(this);
        OwnProc(Message);
        if (guard.Alive())
            UpdateExBordersPos(false);
        return;
    }
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); return;
    case WM_NCHITTEST: Kv_WMNCHitTest(Message); return;
    case WM_NCPAINT:
        if (!visible)
            break;
        WMNCPaintMsg(Message);
        return;
    case WM_NCACTIVATE:
        if (!visible)
            break;
        WMNCActivate(Message);
        return;
    case WM_GETDLGCODE: Message.Result = 0; return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); return;
    case WM_NCLBUTTONUP:
        BorderWindowCode(Message);
        Kv_WMLButtonUp(Message, int(Message.WParam));
        return;
    case WM_LBUTTONUP: {
        // WParam holds key flags here: the button under the released
        // cursor is found by the hit test.
        if (!ButtonPressed || !IsDialogButtonCode(CurrentHT))
            break;
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        ::ClientToScreen(CtrlHandle, &p);
        const int code = Metrics().HitTest(CursorToPoint(p.x, p.y));
        Message.LParam = MAKELPARAM(p.x, p.y);
        Kv_WMLButtonUp(Message, code == CurrentHT ? code : 0);
        return;
    }
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); return;
    case WM_NCRBUTTONDOWN:
        if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCRBUTTONUP: WMNCRButtonUp(Message); return;
    case WM_CTLCOLORDLG: WMCtlColorDlg(Message); return;
    case WM_MOUSEMOVE:
        if (::IsWindowEnabled(CtrlHandle) && DefaultManager)
            DefaultManager->SetActiveControl(nullptr);
        break;
    case WM_MOUSELEAVE: SetHotHT(0, true); break;
    case DM_SETDEFID_MSG: {
        TkvAliveGuard guard(this);
        TkvScrollWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed)
            WalkControls();
        return;
    }
    case KV_DLG_REFRESH_MSG:
        OwnProc(Message);
        WalkControls();
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        return;
    case CM_VISIBLECHANGED_MSG: {
        TkvAliveGuard guard(this);
        TkvScrollWnd::kvWndProc(Message);
        if (guard.Alive() && Message.WParam == 0)
            KillAnimations();
        return;
    }
    }
    PassOnDialog(Message);
}

void TkvDialogWnd::SkinCommand(TMessage& Message)
{
    TsSkinManager* sm = SkinData->GetSkinManager();
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        InitExBorders(sm && sm->ExtendedBorders());
        if (sm && Message.LParam == reinterpret_cast<LPARAM>(sm)) {
            // A running fade shows the faces (or glow) of the skin before.
            KillAnimations();
            SkinData->UpdateIndexes();
            FCaptionSkinIndex = sm->GetSkinIndex(s_Caption);
            UpdateIconsIndexes();
            SkinData->BGChanged = true;
            BroadCastHwnd(CtrlHandle, Message);
        }
        return;
    case SMC_SKIN_REFRESH:
        SkinData->UpdateIndexes();
        InitExBorders(sm && sm->ExtendedBorders());
        SkinData->BGChanged = true;
        RgnChanged = true;
        if (::IsWindowVisible(CtrlHandle))
            ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        UpdateExBordersPos(true);
        return;
    case SMC_SET_UPDATING:
        SkinData->SetUpdating(Message.WParamLo == 1);
        if (SkinData->FUpdating)
            SkinData->BGChanged = true;
        break;
    case SMC_GET_UPDATING:
        Message.Result = SkinData->FUpdating ? 1 : 0;
        return;
    case SMC_REPAINT_NOW:
        UpdateExBordersPos(false);
        break;
    case SMC_GET_TEXTURED: {
        const TsGeneralData& gd = sm->gd[std::size_t(SkinData->SkinIndex)];
        Message.Result = gd.GradientPercent + gd.ImagePercent > 0 ? 1 : 0;
        return;
    }
    case SMC_GET_BG_COLOR:
        Message.Result = LRESULT(GetBGColor(SkinData, 0));
        return;
    case SMC_WALK_CONTROLS:
        WalkControls();
        break;
    case SMC_GET_BG_INFO:
        AnswerBGInfo(Message);
        return;
    case SMC_GET_OFFSETS:
        Message.Result = LRESULT((OffsetY() << 16) | (OffsetX() & 0xFFFF));
        return;
    }
    PassOnDialog(Message);
}

void TkvDialogWnd::AnswerBGInfo(TMessage& Message)
{
    auto* info = reinterpret_cast<TkvBGInfo*>(Message.LParam);
    if (!info)
        return;
    if (SkinData->BGChanged)
        PaintAll();
    if (info->PleaseDraw) {
        info->Offset.x += OffsetX();
        info->Offset.y += OffsetY();
    }
    InitBGInfo(SkinData, info, 0);
    if (info->BgType == btCache && !info->PleaseDraw) {
        if (!info->Bmp) {
            PaintAll();
            info->Bmp = SkinData->FCacheBmp;
        }
        info->Offset = TPoint(OffsetX(), OffsetY());
    }
}

void TkvDialogWnd::AfterPassedOn(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOVE:
    case WM_SIZING:
        UpdateExBordersPos(false);
        break;
    case WM_SYSCOMMAND: {
        const WPARAM cmd = Message.WParam & 0xFFF0;
        if (Message.WParam == SC_DRAGMOVE) {
            ::UpdateWindow(CtrlHandle);
            UpdateExBordersPos(false);
        } else if (cmd == SC_MAXIMIZE || cmd == SC_RESTORE) {
            if (VisibleMax())
                CurrentHT = HTMAXBUTTON;
            SetHotHT(0, true);
        }
        break;
    }
    }
}

// A dialog being hidden lets its border window go (it would stay on the
// screen); one being shown gets it again when the manager still has
// extended borders.
void TkvDialogWnd::WMWindowPosChanging(TMessage& Message)
{
    TkvAliveGuard guard(this);
    TkvScrollWnd::kvWndProc(Message);
    if (!guard.Alive() || Destroyed)
        return;
    const auto* wp = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
    TsSkinManager* sm = SkinData->GetSkinManager();
    if (wp && (wp->flags & SWP_HIDEWINDOW))
        InitExBorders(false);
    else if (wp && (wp->flags & SWP_SHOWWINDOW) && !BorderForm)
        InitExBorders(sm && sm->ExtendedBorders());
    else
        UpdateExBordersPos(false);
}

void TkvDialogWnd::WMSize(TMessage& Message)
{
    SkinData->BGChanged = true;
    RgnChanged = true;
    TkvAliveGuard guard(this);
    OwnProc(Message);
    if (!guard.Alive())
        return;
    if (!InAnimationProcess)
        UpdateExBordersPos(true);
    ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
}

void TkvDialogWnd::WMSetText(TMessage& Message)
{
    OwnProc(Message);
    Caption = GetWndText(CtrlHandle);
    SkinData->BGChanged = true;
    // With a border window the caption shows there.
    if (BorderForm)
        UpdateExBordersPos(false);
    else
        ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
}

void TkvDialogWnd::WMPaintMsg(TMessage& Message)
{
    if (!FWMPaintForbidden) {
        OwnProc(Message);
        return;
    }
    PAINTSTRUCT ps;
    ::BeginPaint(CtrlHandle, &ps);
    ::EndPaint(CtrlHandle, &ps);
    Message.Result = 0;
}

void TkvDialogWnd::WMEraseBkgnd(TMessage& Message)
{
    InitCtrlData(this);
    if (!Initialized) {
        Initialized = true;
        WalkControls();
    }
    Kv_WMPaint(Message);
    Message.Result = 1;
}

void TkvDialogWnd::WMNCPaintMsg(TMessage& Message)
{
    InitCtrlData(this);
    Caption = GetWndText(CtrlHandle);
    // A border window hidden while its dialog shows (after an animation,
    // or made while the dialog was hidden) is shown again.
    if (BorderForm && !::IsWindowVisible(BorderForm->Handle()) && !InAnimationProcess) {
        if (AeroIsEnabled()) {
            UpdateRgn(false);
            UpdateExBordersPos(true);
            ::SetFocus(CtrlHandle);
        } else {
            UpdateExBordersPos(false);
        }
    }
    Kv_WMNCPaint(Message);
    Message.Result = 1;
}

void TkvDialogWnd::WMNCActivate(TMessage& Message)
{
    ::SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
    OwnProc(Message);
    FFormActive = LOWORD(Message.WParam) != 0;
    ::SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
    Kv_WMNCActivate();
    UpdateExBordersPos(false);
}

void TkvDialogWnd::Kv_WMNCActivate()
{
    SkinData->BGChanged = true;
    ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

// One brush for the dialog, made again only when the skin's colour changed.
void TkvDialogWnd::WMCtlColorDlg(TMessage& Message)
{
    TsSkinManager* sm = SkinData->GetSkinManager();
    const TColor c = ColorToRGB(sm ? sm->GetGlobalColor() : clBtnFace);
    Message.Result = LRESULT(KeptBrush(FDlgBrush, FDlgBrushColor, c));
}

void TkvDialogWnd::Kv_DrawStaticItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (dis && dis->CtlType == ODT_STATIC)
        ::SetBkMode(dis->hDC, TRANSPARENT);
}

// ---------------------------------------------------------------------------
// Hit test and mouse.

TPoint TkvDialogWnd::CursorToPoint(int X, int Y)
{
    RECT r;
    ::GetWindowRect(CtrlHandle, &r);
    WndRect = TRect(r.left, r.top, r.right, r.bottom);
    return TPoint(X - int(r.left), Y - int(r.top));
}

bool TkvDialogWnd::AboveBorder(TMessage& Message)
{
    const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    const TRect inner(2, 2, WndRect.Width() - 4, WndRect.Height() - 4);
    if (inner.Contains(p))
        return false;
    SetHotHT(0, true);
    return true;
}

int TkvDialogWnd::HTProcess(TMessage& Message)
{
    const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    const int code = Metrics().HitTest(p);
    if (IsDialogButtonCode(code) || code == HTSYSMENU) {
        SetHotHT(code, true);
        return code;
    }
    // The sizing borders are the skin's (the system's frame may be thinner).
    if (code >= HTLEFT && code <= HTBOTTOMRIGHT)
        return code;
    // The outer edge of a maximised dialog is no border: the click goes on
    // as the system answers it (the hot button is only let go of).
    if (Zoomed())
        AboveBorder(Message);
    return 0;
}

void TkvDialogWnd::Kv_WMNCHitTest(TMessage& Message)
{
    const int code = HTProcess(Message);
    if (code != 0) {
        Message.Result = code;
        return;
    }
    SetHotHT(0, true);
    TkvScrollWnd::kvWndProc(Message);
}

// A press is taken by the caption button or icon under it; any other code
// (caption, sizing border, scroll bar) goes on as the system gave it.
void TkvDialogWnd::WMNCLButtonDown(TMessage& Message)
{
    // The border window's own frame: the system moves or sizes the dialog.
    if (BorderForm && int(Message.WParam) == HTBORDERWND) {
        OwnProc(Message);
        return;
    }
    const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (BorderForm && int(Message.WParam) == -1) {
        BorderWindowCode(Message);
    } else {
        const int own = Metrics().HitTest(p);
        if (IsDialogButtonCode(own) || own == HTSYSMENU)
            Message.WParam = WPARAM(own);
    }
    Kv_WMNCLButtonDown(Message);
}

void TkvDialogWnd::BorderWindowCode(TMessage& Message)
{
    if (BorderForm && int(Message.WParam) == -1)
        Message.WParam = WPARAM(BorderForm->Ex_WMNCHitTest(Message));
}

void TkvDialogWnd::Kv_WMNCLButtonDown(TMessage& Message)
{
    const int code = int(Message.WParam);
    if (code == HTSYSMENU) {
        SetHotHT(0, true);
        DropSysMenu(WndRect.left + Metrics().SysBorderWidth(true),
                    WndRect.top + BorderHeight() + ::GetSystemMetrics(SM_CYSMICON));
        return;
    }
    if (IsDialogButtonCode(code)) {
        SetPressedHT(code);
        Message.Result = 0;
        return;
    }
    if (Iconic()) {
        ::SendMessageW(CtrlHandle, WM_SYSCOMMAND, SC_DRAGMOVE, 0);
        return;
    }
    SetHotHT(0, true);
    const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (Zoomed() && p.y <= BorderHeight() + CaptionHeight(true)) {
        if (!FormActive())
            ::SetFocus(CtrlHandle);
        return;
    }
    PassOnDialog(Message);
}

void TkvDialogWnd::Kv_WMLButtonUp(TMessage& Message, int HitCode)
{
    const auto sys = [this](WPARAM Cmd) { ::SendMessageW(CtrlHandle, WM_SYSCOMMAND, Cmd, 0); };
    switch (HitCode) {
    case HTMINBUTTON: {
        const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (ButtonPressed && ButtonMin.Rect.Contains(p)) {
            SetHotHT(0, true);
            sys(Iconic() ? SC_RESTORE : SC_MINIMIZE);
        } else if (ButtonPressed) {
            OwnProc(Message);
        } else {
            SetHotHT(0, true);
        }
        break;
    }
    case HTMAXBUTTON:
        if (Iconic() && !EnabledMax())
            break;
        if (ButtonPressed) {
            SetHotHT(0, true);
            sys(Zoomed() ? SC_RESTORE : SC_MAXIMIZE);
            SystemMenu->UpdateItems();
        } else {
            SetHotHT(0, true);
        }
        break;
    case HTCLOSE:
        if (ButtonPressed) {
            ButtonClose.State = 0;
            SetHotHT(0, true);
            sys(SC_CLOSE);
        }
        break;
    case HTHELP:
        if (ButtonPressed) {
            sys(SC_CONTEXTHELP);
            SetHotHT(0, true);
            SystemMenu->UpdateItems();
            ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        } else {
            SetHotHT(0, true);
        }
        break;
    default:
        PassOnDialog(Message);
        break;
    }
    Message.WParam = 0;
}

void TkvDialogWnd::WMNCLButtonDblClk(TMessage& Message)
{
    CaptionDoubleClick(int(Message.WParam));
    Message.WParam = 0;
    Message.Result = 0;
}

// On the title, or on the border window's title: maximise or restore a
// dialog that may; on the icon: close it.
void TkvDialogWnd::CaptionDoubleClick(int HitCode)
{
    if (HitCode == HTCAPTION) {
        if (EnabledMax() || EnabledRestore()) {
            TkvAliveGuard guard(this);
            ::SendMessageW(CtrlHandle, WM_SYSCOMMAND, Zoomed() || Iconic() ? SC_RESTORE : SC_MAXIMIZE, 0);
            if (guard.Alive() && SystemMenu)
                SystemMenu->UpdateItems();
        }
    } else if (HitCode == HTSYSMENU) {
        ::SendMessageW(CtrlHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void TkvDialogWnd::WMNCRButtonUp(TMessage& Message)
{
    BorderWindowCode(Message);
    if (Message.WParam == HTCAPTION || Message.WParam == HTSYSMENU) {
        SetHotHT(0, true);
        DropSysMenu(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    }
    Message.Result = 0;
}

// ---------------------------------------------------------------------------
// Caption-button states.

TsCaptionButton* TkvDialogWnd::ButtonByCode(int HitCode)
{
    switch (HitCode) {
    case HTMINBUTTON: return &ButtonMin;
    case HTMAXBUTTON: return &ButtonMax;
    case HTCLOSE: return &ButtonClose;
    case HTHELP: return &ButtonHelp;
    default: return nullptr;
    }
}

void TkvDialogWnd::SetHotHT(int i, bool Repaint)
{
    if (i == CurrentHT)
        return;
    if (TsCaptionButton* old = ButtonByCode(CurrentHT)) {
        if (old->State > 0)
            old->State = 0;
        if (Repaint)
            RepaintButton(CurrentHT);
    }
    CurrentHT = i;
    if (TsCaptionButton* b = ButtonByCode(i))
        if (b->State >= 0)
            b->State = 1;
    ButtonPressed = false;
    if (Repaint)
        RepaintButton(i);
}

void TkvDialogWnd::SetPressedHT(int i)
{
    if (i != CurrentHT)
        if (TsCaptionButton* old = ButtonByCode(CurrentHT)) {
            if (old->State > 0)
                old->State = 0;
            RepaintButton(CurrentHT);
        }
    CurrentHT = i;
    TsCaptionButton* b = ButtonByCode(i);
    const bool pressable = i != HTMAXBUTTON || EnabledMax() || (Zoomed() && EnabledRestore());
    if (b && b->State >= 0 && pressable)
        b->State = 2;
    ButtonPressed = true;
    RepaintButton(i);
}

void TkvDialogWnd::DropSysMenu(int X, int Y)
{
    SystemMenu->UpdateItems();
    SystemMenu->SetWindowHandle(CtrlHandle);
    SystemMenu->Popup(X, Y);
}

// ---------------------------------------------------------------------------
// TkvSystemMenu

TkvSystemMenu::TkvSystemMenu(TComponent* AOwner) : TsCustomSysMenu(AOwner)
{
    ItemRestore = NewDialogMenuItem(kvs_RestoreStr, L"miRestore", &TkvSystemMenu::RestoreClick);
    ItemMove = NewDialogMenuItem(kvs_MoveStr, L"miMove", &TkvSystemMenu::MoveClick);
    ItemSize = NewDialogMenuItem(kvs_SizeStr, L"miSize", &TkvSystemMenu::SizeClick);
    ItemMinimize = NewDialogMenuItem(kvs_MinimizeStr, L"miMinimize", &TkvSystemMenu::MinClick);
    ItemMaximize = NewDialogMenuItem(kvs_MaximizeStr, L"miMaximize", &TkvSystemMenu::MaxClick);
    auto* line = New<TMenuItem>(this);
    line->SetCaption(L"-");
    Items()->Add(line);
    ItemClose = NewDialogMenuItem(kvs_CloseStr, L"miClose", &TkvSystemMenu::CloseClick);
    ItemClose->SetShortCut(TShortCut(0x8073));
}

TMenuItem* TkvSystemMenu::NewDialogMenuItem(const UnicodeString& Caption, const wchar_t* Name,
                                            void (TkvSystemMenu::*Click)(TObject*))
{
    auto* item = New<TMenuItem>(this);
    item->SetCaption(Caption);
    item->SetName(Name);
    item->OnClick = Bind(this, Click);
    Items()->Add(item);
    return item;
}

void TkvSystemMenu::UpdateItems()
{
    if (!FOwner)
        return;
    ItemRestore->SetVisible(FOwner->VisibleRestore());
    ItemMove->SetVisible(true);
    ItemSize->SetVisible(VisibleSize());
    ItemMinimize->SetVisible(FOwner->VisibleMin());
    ItemMaximize->SetVisible(FOwner->VisibleMax());
    ItemClose->SetVisible(FOwner->VisibleClose());
    ItemRestore->SetEnabled(FOwner->EnabledRestore());
    ItemMove->SetEnabled(EnabledMove());
    ItemSize->SetEnabled(EnabledSize());
    ItemMinimize->SetEnabled(FOwner->EnabledMin());
    ItemMaximize->SetEnabled(FOwner->EnabledMax());
    ItemClose->SetEnabled(true);
}

bool TkvSystemMenu::VisibleClose()
{
    return FOwner && FOwner->VisibleClose();
}

bool TkvSystemMenu::EnabledMove()
{
    return FOwner && !FOwner->Zoomed();
}

bool TkvSystemMenu::EnabledSize()
{
    return FOwner && FOwner->BorderStyle != kvbsSingle && !FOwner->Iconic();
}

bool TkvSystemMenu::VisibleSize()
{
    if (!FOwner)
        return false;
    const TkvBorderStyle bs = FOwner->BorderStyle;
    return bs != kvbsDialog && bs != kvbsNone && bs != kvbsToolWindow;
}

void TkvSystemMenu::SysCommand(WPARAM Command)
{
    if (FOwner && FOwner->CtrlHandle)
        ::SendMessageW(FOwner->CtrlHandle, WM_SYSCOMMAND, Command, 0);
}

void TkvSystemMenu::RestoreClick(TObject*)
{
    SysCommand(SC_RESTORE);
    UpdateItems();
}

void TkvSystemMenu::MoveClick(TObject*)
{
    SysCommand(SC_MOVE);
}

void TkvSystemMenu::SizeClick(TObject*)
{
    SysCommand(SC_SIZE);
}

void TkvSystemMenu::MinClick(TObject*)
{
    SysCommand(SC_MINIMIZE);
}

void TkvSystemMenu::MaxClick(TObject*)
{
    SysCommand(SC_MAXIMIZE);
    UpdateItems();
}

void TkvSystemMenu::CloseClick(TObject*)
{
    SysCommand(SC_CLOSE);
}
