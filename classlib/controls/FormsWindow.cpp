// The form's window: its styles, border, owner, window state and position.
#include "classlib/controls/Forms.h"

#include <algorithm>

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style &= ~DWORD(WS_CHILD | WS_GROUP | WS_TABSTOP);
    Params.Style |= WS_CLIPCHILDREN;
    if (FParent)
        Params.Style |= WS_CHILD;
    else
        AddOwnerWindow(Params);
    AddBorderStyles(Params);
    if (FFormStyle == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;

    if (FPosition == poDefault || FPosition == poDefaultPosOnly)
        Params.X = Params.Y = CW_USEDEFAULT;
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly)
        Params.Width = Params.Height = CW_USEDEFAULT;

    Params.WindowClass.style = CS_DBLCLKS;
    Params.WindowClass.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON");
    if (!Params.WindowClass.hIcon)
        Params.WindowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    AddMDIChildStyles(Params);
}

void TCustomForm::AddOwnerWindow(TCreateParams& Params)
{
    TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
    bool onTaskBar = Application && Application->MainFormOnTaskBar();
    bool isMain = Application && (mainForm == this || !mainForm);
    if (isMain && onTaskBar) {
        Params.WndParent = nullptr;
        Params.ExStyle |= WS_EX_APPWINDOW;
    } else if (!isMain && onTaskBar && mainForm->HandleAllocated()) {
        Params.WndParent = mainForm->FHandle;
    } else if (Application) {
        Params.WndParent = Application->Handle();
    }
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && owner->HandleAllocated())
        Params.WndParent = owner->FHandle;
}

void TCustomForm::AddBorderStyles(TCreateParams& Params)
{
    TBorderIcons icons = FBorderIcons;
    switch (FBorderStyle) {
    case bsNone:
        if (!FParent)
            Params.Style |= WS_POPUP;
        icons = {};
        break;
    case bsSingle:
        Params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsToolWindow:
        Params.Style |= WS_CAPTION | WS_BORDER;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        icons = icons * TBorderIcons{biSystemMenu};
        break;
    case bsSizeable:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        icons = icons * TBorderIcons{biSystemMenu};
        break;
    case bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        icons = icons * TBorderIcons{biSystemMenu, biHelp};
        break;
    }
    if (icons.Contains(biSystemMenu))
        Params.Style |= WS_SYSMENU;
    if (icons.Contains(biMinimize))
        Params.Style |= WS_MINIMIZEBOX;
    if (icons.Contains(biMaximize))
        Params.Style |= WS_MAXIMIZEBOX;
    if (icons.Contains(biHelp) && (FBorderStyle == bsDialog || !(icons.Contains(biMinimize) || icons.Contains(biMaximize))))
        Params.ExStyle |= WS_EX_CONTEXTHELP;
}

void TCustomForm::CreateWnd()
{
    TScrollingWinControl::CreateWnd();
    CreateMDIClient();
    SetLayeredAttribs();
    // CW_USEDEFAULT placements come back from the window.
    if (FPosition != poDesigned)
        UpdateBounds();
    HICON icon = nullptr;
    if (!FIcon->Empty())
        icon = FIcon->Handle();
    else if (Application && Application->Icon() && !Application->Icon()->Empty())
        icon = Application->Icon()->Handle();
    if (icon)
        ::SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    AttachMenu();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (!FHandle)
        return;
    // Restyle the window in place: it keeps its handle (and whoever watches
    // it) and its outer bounds.
    TCreateParams params;
    CreateParams(params);
    DWORD keep = DWORD(::GetWindowLongW(FHandle, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
    ::SetWindowLongW(FHandle, GWL_STYLE, LONG(params.Style | keep));
    ::SetWindowLongW(FHandle, GWL_EXSTYLE, LONG(params.ExStyle));
    ::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value)
{
    if (FBorderIcons == Value)
        return;
    FBorderIcons = Value;
    if (FHandle) {
        TFormBorderStyle bs = FBorderStyle;
        FBorderStyle = bs == bsNone ? bsSingle : bsNone;
        SetBorderStyle(bs);
    }
}

void TCustomForm::SetFormStyle(TFormStyle Value)
{
    if (FFormStyle == Value)
        return;
    bool mdi = Value == fsMDIForm || Value == fsMDIChild || FFormStyle == fsMDIForm || FFormStyle == fsMDIChild;
    FFormStyle = Value;
    // An MDI frame or child is another kind of window.
    if (FHandle && mdi)
        RecreateWnd();
    else if (FHandle)
        ::SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState()
{
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value)
{
    if (FWindowState == Value)
        return;
    FWindowState = Value;
    if (FHandle && FShowing) {
        static const int cmds[] = {SW_RESTORE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ::ShowWindow(FHandle, cmds[Value]);
    }
}

void TCustomForm::ApplyPosition()
{
    // A child's place is in its frame's client (or the client's choice).
    if (FPositioned || FParent || FFormStyle == fsMDIChild)
        return;
    FPositioned = true;
    int x = FLeft, y = FTop;
    switch (FPosition) {
    case poScreenCenter:
        x = (Screen->Width() - FWidth) / 2;
        y = (Screen->Height() - FHeight) / 2;
        break;
    case poDesktopCenter:
        x = Screen->DesktopLeft() + (Screen->DesktopWidth() - FWidth) / 2;
        y = Screen->DesktopTop() + (Screen->DesktopHeight() - FHeight) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* center = Application ? Application->MainForm() : nullptr;
        if (FPosition == poOwnerFormCenter)
            if (auto* owner = dynamic_cast<TCustomForm*>(Owner()))
                center = owner;
        if (center) {
            x = center->Left() + (center->Width() - FWidth) / 2;
            y = center->Top() + (center->Height() - FHeight) / 2;
        } else {
            x = (Screen->Width() - FWidth) / 2;
            y = (Screen->Height() - FHeight) / 2;
        }
        x = std::max(x, Screen->DesktopLeft());
        y = std::max(y, Screen->DesktopTop());
        break;
    }
    default:
        return;
    }
    SetBounds(x, y, FWidth, FHeight);
}
