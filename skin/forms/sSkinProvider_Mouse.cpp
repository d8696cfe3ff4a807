// Clicks on a skinned frame and the system commands they lead to: the
// caption buttons act on release only when the press started on them, the
// system menu drops from the icon, a double click on the caption maximises
// or restores as the system menu allows.
#include "skin/forms/sSkinProvider.h"

#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/sSkinMenus.h"

namespace {

bool Iconic(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsIconic(Form->Handle());
}

bool Zoomed(TCustomForm* Form)
{
    return Form->HandleAllocated() && ::IsZoomed(Form->Handle());
}

bool IsCaptionButton(int Code)
{
    switch (Code) {
    case HTMINBUTTON: case HTMAXBUTTON: case HTCLOSE: case HTHELP: case HTMDICLOSE: case HTMDIMAX: case HTMDIMIN:
        return true;
    default:
        return false;
    }
}

void SysCommand(TCustomForm* Form, WPARAM Command)
{
    ::SendMessageW(Form->Handle(), WM_SYSCOMMAND, Command, 0);
}

} // namespace

// A click the border window passes on carries -1: its code is the one the
// border window finds at the point.  The message then carries that code.
int TsSkinProvider::BorderWindowCode(TMessage& Message)
{
    if (BorderForm && int(Message.WParam) == -1)
        Message.WParam = WPARAM(BorderForm->Ex_WMNCHitTest(Message));
    return int(Message.WParam);
}

// WM_LBUTTONUP carries key flags, not a hit code: the code is that of the
// point where the button was released.
int TsSkinProvider::ReleaseHitCode(TMessage& Message)
{
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ClientToScreen(Form->Handle(), &p);
    TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y), 0};
    return HTProcess(hit);
}

void TsSkinProvider::WMNCLButtonDown(TMessage& Message)
{
    if (!FDrawNonClientArea) {
        NCLButtonDownUnframed(Message);
        return;
    }
    int code = int(Message.WParam);
    if (BorderForm && code == HTBORDERWND) {
        OldWndProc(Message);
        return;
    }
    code = BorderWindowCode(Message);
    if (code == HTSYSMENU) {
        SetHotHT(0, true);
        if (!Manager()->SkinnedPopups()) {
            Delay(200);
            // The pause pumped messages: the form or this provider may be gone.
            if (!Alive(this) || FormGoing() || FCommonData->FUpdating)
                return;
        }
        const TsFrameMetrics m = Metrics();
        const TPoint lt = FormLeftTop();
        if (Form->FormStyle() == fsMDIChild) {
            if (Alive(MDISkinProvider))
                DropSysMenu(lt.x, lt.y + m.CaptionHeight(false) + 4);
        } else {
            DropSysMenu(lt.x + m.SysBorderWidth(false),
                        lt.y + m.BorderHeight(true) + m.TitleIconHeight() + m.SysBorderHeight(false));
        }
        return;
    }
    if (code == HTMENU) {
        OldWndProc(Message);
        return;
    }
    if (IsCaptionButtonCode(code) && code < HTUDBTN) {
        if (Alive(MaxChildProvider) && MaxChildProvider->SystemMenu &&
            ((code == HTMDIMIN && !MaxChildProvider->SystemMenu->EnabledMin()) ||
             (code == HTMDIMAX && !MaxChildProvider->SystemMenu->EnabledRestore())))
            return;
        SetPressedHT(code);
        return;
    }
    if (code >= HTUDBTN && code < HTUDBTN + FTitleButtons->Count()) {
        SetPressedHT(code);
        FTitleButtons->Items(code - HTUDBTN)->MouseDown(mbLeft, TShiftState(), GET_X_LPARAM(Message.LParam),
                                                          GET_Y_LPARAM(Message.LParam));
        return;
    }
    if (Iconic(Form)) {
        Form->Perform(WM_SYSCOMMAND, 0xF012, 0);
        return;
    }
    SetHotHT(0, true);
    if (Zoomed(Form)) {
        const TsFrameMetrics m = Metrics();
        const TPoint p = CursorToPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (p.y < m.SysBorderHeight(true) + m.CaptionHeight(true)) {
            if (!Form->Active())
                Form->SetFocus();
            return;
        }
    }
    if (FResizeMode == rmStandard || code == HTMENU) {
        OldWndProc(Message);
        if (BorderForm && Alive(this) && !Form->Owner())
            UpdateExBordersPos(false, 255);
        return;
    }
    OutlineButtonDown(Message, code);
}

// rmBorder: a click on the caption moves, one on a border sizes the form
// by an outline that follows the mouse until the button is released.
void TsSkinProvider::OutlineButtonDown(TMessage& Message, int Code)
{
    const bool sizing = Code >= HTLEFT && Code <= HTBOTTOMRIGHT;
    if (!sizing && Code != HTCAPTION) {
        OldWndProc(Message);
        return;
    }
    // The system's own move loop must not start under the outline: the
    // move and size commands of this click only take the mouse.
    DoStartMove = true;
    bMode = !sizing;
    if (!sizing) {
        OldWndProc(Message);  // activation
        if (!Alive(this) || FormGoing())
            return;
    }
    ::SendMessageW(Form->Handle(), WM_SYSCOMMAND, sizing ? SC_SIZE : SC_MOVE, 0);
    // The border dragged is the one clicked: no hit test comes while the
    // mouse is captured.
    if (sizing)
        nDirection = Code;
    StartMove(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TsSkinProvider::NCLButtonDownUnframed(TMessage& Message)
{
    if (Message.WParam != HTSYSMENU) {
        OldWndProc(Message);
        return;
    }
    SetHotHT(0, true);
    const TsFrameMetrics m = Metrics();
    const TPoint lt = FormLeftTop();
    DropSysMenu(lt.x + m.SysBorderWidth(false), lt.y + m.BorderHeight(true) + m.TitleIconHeight());
}

void TsSkinProvider::WMNCLButtonUp(TMessage& Message, int HitCode)
{
    if (!FDrawNonClientArea) {
        OldWndProc(Message);
        return;
    }
    // The release ends an outline move wherever it happens.
    if (FResizeMode == rmBorder && bInProcess && !Zoomed(Form)) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (Message.Msg == WM_LBUTTONUP)
            ::ClientToScreen(Form->Handle(), &p);
        StopMove(p.x, p.y);
        ::ReleaseCapture();
        return;
    }
    if (IsCaptionButton(HitCode) || HitCode >= HTUDBTN) {
        CaptionButtonUp(Message, HitCode);
        return;
    }
    // A press on a caption button ends wherever the button is released.
    if (bBtnPressed)
        SetHotHT(0, true);
    if (Iconic(Form) && Alive(MDISkinProvider)) {
        DropSysMenu(kvMousePos().x, kvMousePos().y);
        return;
    }
    OldWndProc(Message);
}

void TsSkinProvider::CaptionButtonUp(TMessage& Message, int HitCode)
{
    // A release acts only on the button the press started on.
    if (!bBtnPressed || HitCode != CurrentHT) {
        SetHotHT(0, true);
        OldWndProc(Message);
        return;
    }
    SetHotHT(0, true);
    switch (HitCode) {
    case HTMINBUTTON:
        SysCommand(Form, Iconic(Form) && Form != Application->MainForm() ? SC_RESTORE : SC_MINIMIZE);
        if (Alive(this)) {
            BackgroundChanged();
            RegionChanged = true;
        }
        break;
    case HTMAXBUTTON:
        if (!SystemMenu->EnabledMax() && !(Zoomed(Form) && SystemMenu->EnabledRestore()))
            break;
        if (Form->FormStyle() == fsMDIChild) {
            // The main form's menu line is made again once the child has changed.
            if (Alive(MDISkinProvider) && MDISkinProvider->MDIForm)
                MDISkinProvider->SkinData()->BeginUpdate();
            MaxChildProvider = nullptr;
        }
        SysCommand(Form, Zoomed(Form) ? SC_RESTORE : SC_MAXIMIZE);
        if (Alive(this) && SystemMenu)
            SystemMenu->UpdateItems(false);
        break;
    case HTCLOSE:
        ButtonClose.State = 0;
        SysCommand(Form, SC_CLOSE);
        break;
    case HTHELP:
        SysCommand(Form, SC_CONTEXTHELP);
        if (Alive(this) && SystemMenu)
            SystemMenu->UpdateItems(false);
        break;
    case HTMDICLOSE:
    case HTMDIMAX:
    case HTMDIMIN:
        MDIButtonUp(HitCode);
        break;
    default:
        if (HitCode >= HTUDBTN && HitCode < HTUDBTN + FTitleButtons->Count())
            FTitleButtons->Items(HitCode - HTUDBTN)->MouseUp(mbLeft, TShiftState(), GET_X_LPARAM(Message.LParam),
                                                               GET_Y_LPARAM(Message.LParam));
        break;
    }
}

// The maximised MDI child's buttons in the main form's menu line act on
// the active child.
void TsSkinProvider::MDIButtonUp(int HitCode)
{
    TForm* child = Form->ActiveMDIChild();
    if (!child || !child->HandleAllocated())
        return;
    if (HitCode == HTMDIMIN && Alive(MDISkinProvider))
        MDISkinProvider->SkinData()->BeginUpdate();
    const WPARAM command = HitCode == HTMDICLOSE ? SC_CLOSE : HitCode == HTMDIMAX ? SC_RESTORE : SC_MINIMIZE;
    ::SendMessageW(child->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& Message)
{
    // A double click ends an outline move that was running.
    if (FResizeMode == rmBorder && bInProcess) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        StopMove(p.x, p.y);
        ::ReleaseCapture();
        bInProcess = false;
    }
    DoStartMove = false;
    // Never passed on: the system would maximise what the skin forbids.
    switch (Message.WParam) {
    case HTCAPTION:
        if ((SystemMenu->VisibleClose() && (SystemMenu->EnabledMax() || SystemMenu->EnabledRestore())) ||
            (!HaveBorder(this) && Iconic(Form))) {
            SysCommand(Form, Zoomed(Form) || Iconic(Form) ? SC_RESTORE : SC_MAXIMIZE);
            if (Alive(this) && SystemMenu)
                SystemMenu->UpdateItems(false);
        }
        break;
    case HTSYSMENU:
        if (!Manager()->SkinnedPopups())
            FCommonData->SetUpdating(true);
        Form->Close();
        break;
    default:
        break;
    }
}

void TsSkinProvider::WMSysCommand(TMessage& Message)
{
    const WPARAM command = Message.WParam;
    if (command == 0xF012)
        Form->Repaint();
    // The outline move of a click on the frame takes the mouse; the
    // system's own move and size loop stays out of it.
    const WPARAM kind = command & 0xFFF0;
    if (FResizeMode == rmBorder && DoStartMove && !bInProcess && (kind == SC_MOVE || kind == SC_SIZE)) {
        ::SetCapture(Form->Handle());
        bCapture = true;
        bMode = kind == SC_MOVE;
        if (!bMode)
            nDirection = 0;
        return;
    }
    // Alt+Space drops the skinned menu where the system drops its own: at
    // the window's top-left, below the caption's icon.  The system's menu
    // stays out of it (a window that kept its menu style would drop both).
    if (kind == SC_KEYMENU && Message.LParam == VK_SPACE && SystemMenu && SystemMenu->VisibleClose() &&
        HaveBorder(this)) {
        const TsFrameMetrics m = Metrics();
        const TPoint lt = FormLeftTop();
        DropSysMenu(lt.x + m.SysBorderWidth(false), lt.y + m.BorderHeight(true) + m.TitleIconHeight());
        Message.Result = 0;
        return;
    }
    if (Form->FormStyle() == fsMDIChild) {
        MDIChildSysCommand(Message);
        return;
    }
    OldWndProc(Message);
    if (!Alive(this) || FormGoing())
        return;
    if (Form->FormStyle() == fsMDIForm) {
        // The main form's menu line shows what its state allows.
        if ((command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE) && Alive(MDISkinProvider)) {
            MDISkinProvider->BackgroundChanged();
            MDISkinProvider->FLinesCount = -1;
            if (MDISkinProvider->Form && MDISkinProvider->Form->HandleAllocated())
                ::SendMessageW(MDISkinProvider->Form->Handle(), WM_NCPAINT, 0, 0);
        }
        return;
    }
    switch (command) {
    case SC_MINIMIZE:
        if (FCommonData->FCacheBmp)
            FCommonData->FCacheBmp->SetSize(0, 0);
        break;
    case SC_MAXIMIZE:
    case SC_RESTORE:
        if (ButtonMax.State >= 0)
            CurrentHT = HTMAXBUTTON;
        SetHotHT(0, true);
        if (command == SC_RESTORE) {
            BackgroundChanged();
            RegionChanged = true;
            if (HaveBorder(this))
                ::RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            else
                ::SetWindowRgn(Form->Handle(), nullptr, TRUE);
        }
        break;
    default:
        break;
    }
}

// An MDI child's state changes show in the main form's menu line: while a
// maximised child changes, the main form's drawing is held and its menu
// line is made again afterwards.
void TsSkinProvider::MDIChildSysCommand(TMessage& Message)
{
    const WPARAM kind = Message.WParam & 0xFFF0;
    TsSkinProvider* main = Alive(MDISkinProvider) ? MDISkinProvider : nullptr;
    bool hold = Zoomed(Form) && kind != SC_MAXIMIZE;
    if (hold && main)
        main->SkinData()->BeginUpdate();
    const bool support = main && main->MDIForm;
    switch (kind) {
    case SC_MINIMIZE:
        OldWndProc(Message);
        if (!Alive(this))
            return;
        if (hold)
            UpdateMainForm(true);
        if (SystemMenu)
            SystemMenu->UpdateItems(true);
        FreeAndNil(TitleBG);
        BackgroundChanged();
        UpdateMainForm(true);
        break;
    case SC_MAXIMIZE: {
        MaxChildProvider = this;
        // Maximised out of sight: the child shows once, already maximised.
        const HWND wnd = Form->Handle();
        const LONG style = ::GetWindowLongW(wnd, GWL_STYLE);
        ::SetWindowLongW(wnd, GWL_STYLE, style & ~WS_VISIBLE);
        OldWndProc(Message);
        if (!Alive(this))
            return;
        ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) | (style & WS_VISIBLE));
        ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INTERNALPAINT);
        if (support)
            UpdateMainForm(true);
        if (SystemMenu)
            SystemMenu->UpdateItems(true);
        break;
    }
    case SC_CLOSE:
        if (support && hold)
            UpdateMainForm(true);
        if (main)
            main->InMenu = true;
        OldWndProc(Message);
        Application->ProcessMessages();
        if (Alive(this))
            SetHotHT(0, false);
        if (Alive(MDISkinProvider)) {
            MDISkinProvider->InMenu = false;
            if (MDISkinProvider->MDIForm && hold)
                UpdateMainForm(true);
        }
        break;
    case SC_RESTORE:
        MDIChildRestore(Message, hold || Iconic(Form));
        break;
    case SC_KEYMENU:
        if (main)
            main->SkinData()->EndUpdate(false);
        break;
    default:
        OldWndProc(Message);
        if (Alive(MDISkinProvider))
            MDISkinProvider->SkinData()->EndUpdate(false);
        break;
    }
}

void TsSkinProvider::MDIChildRestore(TMessage& Message, bool Hold)
{
    if (MDICreating)
        return;
    ForbidDrawing(this, true);
    OldWndProc(Message);
    if (!Alive(this))
        return;
    BackgroundChanged();
    const HWND wnd = Form->Handle();
    ::SetWindowLongW(wnd, GWL_STYLE, ::GetWindowLongW(wnd, GWL_STYLE) & ~WS_SYSMENU);
    PermitDrawing(this, true);
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    if (Alive(MDISkinProvider) && MDISkinProvider->Form) {
        TForm* main = MDISkinProvider->Form;
        for (int i = 0; i < main->MDIChildCount(); ++i) {
            TForm* other = main->MDIChildren(i);
            if (!other || other == Form || !other->HandleAllocated())
                continue;
            if (::IsZoomed(other->Handle()))
                other->SetWindowState(wsNormal);
            ::RedrawWindow(other->Handle(), nullptr, nullptr,
                           RDW_FRAME | RDW_UPDATENOW | RDW_ERASE | RDW_INTERNALPAINT);
        }
    }
    if (Hold)
        UpdateMainForm(true);
    if (SystemMenu)
        SystemMenu->UpdateItems(true);
}
