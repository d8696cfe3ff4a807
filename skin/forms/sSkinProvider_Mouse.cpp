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
    if (code == HTSYSMENU) {
        SetHotHT(0, true);
        if (!Manager()->SkinnedPopups()) {
            Delay(200);
            // The pause pumped messages: the form or this provider may be gone.
            if (!Alive(this) || FormGoing() || FCommonData->FUpdating)
                return;
        }
        DropSysMenu(Form->Left() + SysBorderWidth(), Form->Top() + BorderHeight(true) + SysBorderHeight(false));
        return;
    }
    if (code == HTMENU) {
        OldWndProc(Message);
        return;
    }
    if (IsCaptionButton(code)) {
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
    if (Zoomed(Form) && code == HTCAPTION) {
        if (!Form->Active())
            Form->SetFocus();
        return;
    }
    OldWndProc(Message);
}

void TsSkinProvider::NCLButtonDownUnframed(TMessage& Message)
{
    if (Message.WParam != HTSYSMENU) {
        OldWndProc(Message);
        return;
    }
    SetHotHT(0, true);
    DropSysMenu(Form->Left() + SysBorderWidth(false), Form->Top() + CaptionHeight(true));
}

void TsSkinProvider::WMNCLButtonUp(TMessage& Message, int HitCode)
{
    if (!FDrawNonClientArea) {
        OldWndProc(Message);
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
    default:
        if (HitCode >= HTUDBTN && HitCode < HTUDBTN + FTitleButtons->Count())
            FTitleButtons->Items(HitCode - HTUDBTN)->MouseUp(mbLeft, TShiftState(), GET_X_LPARAM(Message.LParam),
                                                               GET_Y_LPARAM(Message.LParam));
        break;
    }
}

void TsSkinProvider::WMNCLButtonDblClk(TMessage& Message)
{
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
    OldWndProc(Message);
    if (!Alive(this) || FormGoing())
        return;
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
        if ((command & 0xFFF0) == SC_KEYMENU && Message.LParam == VK_SPACE && SystemMenu &&
            SystemMenu->VisibleClose() && HaveBorder(this))
            DropSysMenu(Form->Left() + SysBorderWidth(), Form->Top() + BorderHeight(true));
        break;
    }
}
