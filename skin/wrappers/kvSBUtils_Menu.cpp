// The popup-menu wrapper.
#include "skin/wrappers/kvSBUtils_Menu.h"

#include "classlib/controls/Forms.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

TkvMenuWindowHost* kvMenuWindowHost = nullptr;

namespace {

constexpr int MenuBorder = 3;

bool MenusHooked()
{
    return kvMenuWindowHost && kvMenuWindowHost->CanHookMenu();
}

} // namespace

void TkvMnuWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                       const UnicodeString& SkinSection, bool Repaint)
{
    TkvScrollWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    RgnChanged = 0;
}

void TkvMnuWnd::PrepareCache()
{
    InitCtrlData(this);
    if (!SkinData->BGChanged)
        return;
    ::InitCacheBmp(SkinData);
    SkinData->FCacheBmp->SetSize(WndSize.cx, WndSize.cy);
    const TPoint pos(WndRect.left - ParentRect.left, WndRect.top - ParentRect.top);
    PaintItem(SkinData, EmptyCI, true, 0, TRect(0, 0, WndSize.cx, WndSize.cy), pos, SkinData->FCacheBmp, false);
    FillWrapperCorners(SkinData, 0, this);
    SkinData->BGChanged = false;
}

void TkvMnuWnd::kvWndProc(TMessage& Message)
{
    if (Message.Msg == WM_DESTROY || Message.Msg == WM_NCDESTROY) {
        WindowGoing(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD) {
        Command(Message);
        return;
    }
    if (MenusHooked() && !Destroyed && SkinData) {
        if (Message.Msg == WM_ERASEBKGND) {
            EraseBkgnd(Message);
            return;
        }
        if (Message.Msg == WM_NCPAINT && IsNT) {
            NCPaint();
            return;
        }
    }
    TkvScrollWnd::kvWndProc(Message);
}

void TkvMnuWnd::Command(TMessage& Message)
{
    // Every sub-command ends here: the menu window's own procedure never
    // sees the library's command message.
    switch (Message.WParamHi) {
    case SMC_IS_SKINNED:
        Message.Result = 1;
        break;
    case SMC_SET_UPDATING:
        Message.Result = RgnChanged;
        break;
    case SMC_GET_DROPPED:
        if (::IsWindowVisible(CtrlHandle))
            RgnChanged = 1;
        break;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        break;
    }
}

void TkvMnuWnd::EraseBkgnd(TMessage& Message)
{
    PrepareCache();
    TkvTargetDC dc(CtrlHandle, reinterpret_cast<HDC>(Message.WParam));
    // The client area lies inside the 3-pixel border.
    ::BitBlt(dc, 0, 0, WndSize.cx - 2 * MenuBorder, WndSize.cy - 2 * MenuBorder,
             SkinData->FCacheBmp->Canvas()->Handle(), MenuBorder, MenuBorder, SRCCOPY);
    RgnChanged = 0;
    Message.Result = 1;
}

void TkvMnuWnd::NCPaint()
{
    InitCtrlData(this);
    TsSkinManager* m = SkinData->GetSkinManager();
    TBitmap* picture = m && m->SkinableMenus() ? m->SkinableMenus()->PopupPicture(nullptr, CtrlHandle) : nullptr;
    TkvTargetDC dc(CtrlHandle, nullptr, true);
    if (picture && !picture->Empty() && picture->Width() == WndSize.cx - 2 * MenuBorder &&
        picture->Height() == WndSize.cy) {
        BitBltBorder(dc, 0, 0, picture->Width(), picture->Height(), picture->Canvas()->Handle(), 0, 0, MenuBorder);
        return;
    }
    // No picture of this window's size (a resized menu): the section's own.
    PrepareCache();
    BitBltBorder(dc, 0, 0, WndSize.cx, WndSize.cy, SkinData->FCacheBmp->Canvas()->Handle(), 0, 0, MenuBorder);
}

void TkvMnuWnd::WindowGoing(TMessage& Message)
{
    RgnChanged = 0;
    TkvMenuWindowHost* host = kvMenuWindowHost;
    if (host)
        host->Forget(this);
    TkvAliveGuard guard(this);
    PassOn(Message);
    if (!guard.Alive())
        return;
    // What is left to do reads no field: the wrapper frees itself first, so
    // that a later message of the window cannot reach it, and nothing
    // returns into it afterwards.
    const std::vector<TkvMnuWnd*> open = host ? host->OpenMenus() : std::vector<TkvMnuWnd*>();
    std::vector<HWND> others;
    for (TkvMnuWnd* w : open)
        if (w && w != this && !w->Destroyed)
            others.push_back(w->CtrlHandle);
    TkvMnuWnd* self = this;
    UninitializeKVScroll(CtrlHandle, true, false, self);
    if (!host)
        return;
    host->ClearCache();
    for (HWND h : others)
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    // Menus stay skinned while another menu window is still open (the
    // parent of a closing submenu).
    if (others.empty()) {
        host->ClearMenus();
        host->SetCanHookMenu(false);
    }
}
