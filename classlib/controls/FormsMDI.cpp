// MDI: the frame's client window, the children made inside it, and the
// system's MDI procedures that take the messages neither handles.
#include "classlib/controls/Forms.h"

#include "classlib/controls/Menus.h"

namespace {
// The command id of the first child in the window menu.
constexpr UINT FirstChildId = 0xFF00;
// The request an MDI client makes of itself to show or hide its scroll
// bars for its children's extent.
constexpr UINT WM_MDICALCCHILDSCROLL = 0x003F;

// The frame MDI children are made in: the main form, when it is one.
TCustomForm* MDIFrame()
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->FormStyle() == fsMDIForm ? main : nullptr;
}
} // namespace

// ---------------------------------------------------------------------------
// Windows

void TCustomForm::AddMDIChildStyles(TCreateParams& Params)
{
    if (FFormStyle != fsMDIChild || FParent)
        return;
    TCustomForm* frame = MDIFrame();
    if (!frame || frame == this)
        throw EInvalidOperation(L"Cannot create form. No MDI forms are currently active");
    frame->HandleNeeded();
    if (!frame->FClientHandle)
        throw EInvalidOperation(L"Cannot create form. No MDI forms are currently active");
    Params.WndParent = frame->FClientHandle;
    Params.Style &= ~DWORD(WS_POPUP);
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle &= ~DWORD(WS_EX_APPWINDOW | WS_EX_TOPMOST);
    Params.ExStyle |= WS_EX_MDICHILD;
    // What the form does not handle goes to the child's MDI procedure.
    Params.WindowClass.lpfnWndProc = ::DefMDIChildProcW;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params)
{
    TScrollingWinControl::CreateWindowHandle(Params);
    if (FHandle && (Params.ExStyle & WS_EX_MDICHILD))
        FFormState += fsCreatedMDIChild;
}

void TCustomForm::CreateMDIClient()
{
    if (FFormStyle != fsMDIForm || FParent || FClientHandle)
        return;
    CLIENTCREATESTRUCT ccs{nullptr, FirstChildId};
    // The children keep the styles their forms ask for (MDIS_ALLCHILDSTYLES).
    FClientHandle = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
        WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL |
            MDIS_ALLCHILDSTYLES,
        0, 0, 0, 0, FHandle, nullptr, ::GetModuleHandleW(nullptr), &ccs);
    if (!FClientHandle)
        throw EOutOfResources(L"Error creating window MDICLIENT");
    Realign();
}

// A child leaves through its client, which then activates the next one and
// takes it off the window menu.
void TCustomForm::DestroyWindowHandle()
{
    HWND client = FHandle ? ::GetParent(FHandle) : nullptr;
    if (!FFormState.Contains(fsCreatedMDIChild) || !client) {
        TScrollingWinControl::DestroyWindowHandle();
        return;
    }
    FFormState -= fsCreatedMDIChild;
    FControlState += csDestroyingHandle;
    ::SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
    FControlState -= csDestroyingHandle;
    FShowing = false;
    FHandle = nullptr;
}

// The client fills what the aligned controls leave, below them.
void TCustomForm::AlignControls(TControl* AControl, TRect& Rect)
{
    TScrollingWinControl::AlignControls(AControl, Rect);
    if (!FClientHandle)
        return;
    ::SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, Rect.Width(), Rect.Height(), SWP_NOACTIVATE);
    // The client shows or hides its scroll bars for the new size now, not
    // when its own posted request comes round.
    ::SendMessageW(FClientHandle, WM_MDICALCCHILDSCROLL, 0, 0);
}

void TCustomForm::DefaultHandler(TMessage& Message)
{
    // The class library's own messages never reach the system's procedures.
    if (!FHandle || !FClientHandle || Message.Msg >= WM_USER) {
        TScrollingWinControl::DefaultHandler(Message);
        return;
    }
    // DefFrameProc would give the client the whole client area; the
    // alignment places it instead.
    if (Message.Msg == WM_SIZE)
        Message.Result = ::DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
    else
        Message.Result = ::DefFrameProcW(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
    // The client went with the frame's window.
    if (Message.Msg == WM_NCDESTROY)
        FClientHandle = nullptr;
}

// ---------------------------------------------------------------------------
// Children

int TCustomForm::MDIChildCount()
{
    int n = 0;
    while (MDIChildren(n))
        ++n;
    return n;
}

TForm* TCustomForm::MDIChildren(int Index)
{
    if (!FClientHandle || Index < 0)
        return nullptr;
    for (HWND w = ::GetWindow(FClientHandle, GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
        auto* form = dynamic_cast<TForm*>(TWinControl::FindControl(w));
        if (form && form->FFormStyle == fsMDIChild && Index-- == 0)
            return form;
    }
    return nullptr;
}

TForm* TCustomForm::ActiveMDIChild()
{
    if (!FClientHandle)
        return nullptr;
    auto active = reinterpret_cast<HWND>(::SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(TWinControl::FindControl(active));
}

void TCustomForm::Tile()
{
    if (FClientHandle)
        ::SendMessageW(FClientHandle, WM_MDITILE, FTileMode == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL,
                       0);
}

void TCustomForm::Cascade()
{
    if (FClientHandle)
        ::SendMessageW(FClientHandle, WM_MDICASCADE, 0, 0);
}

// A child becomes the active one, or stops being it: the form's own
// activation, as a top-level form has it from WM_ACTIVATE.
void TCustomForm::WMMDIActivate(TMessage& Message)
{
    DefaultHandler(Message);
    if (FFormStyle != fsMDIChild)
        return;
    bool active = reinterpret_cast<HWND>(Message.LParam) == FHandle;
    if (active == FActive)
        return;
    Perform(active ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
    if (active && FActiveControl && FActiveControl->HandleAllocated() && ::IsWindowVisible(FActiveControl->Handle()))
        ::SetFocus(FActiveControl->Handle());
}

// ---------------------------------------------------------------------------
// The window menu

void TCustomForm::SetWindowMenu(TMenuItem* Value)
{
    if (FWindowMenu == Value)
        return;
    if (FWindowMenu)
        FWindowMenu->RemoveFreeNotification(this);
    FWindowMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    AttachMDIMenu();
}

// The client shows the frame's menu and lists the children in the window
// menu's sub-menu.
void TCustomForm::AttachMDIMenu()
{
    if (!FClientHandle || ComponentState().Contains(csDestroying))
        return;
    // Two steps: a client asked for the menu the frame shows already may
    // stop there and never take the window menu.
    HMENU frameMenu = FMenu ? FMenu->Handle() : nullptr;
    if (frameMenu && ::GetMenu(FHandle) != frameMenu)
        ::SendMessageW(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(frameMenu), 0);
    if (FWindowMenu)
        ::SendMessageW(FClientHandle, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(FWindowMenu->Handle()));
    ::SendMessageW(FClientHandle, WM_MDIREFRESHMENU, 0, 0);
    ::DrawMenuBar(FHandle);
}

// ---------------------------------------------------------------------------
// The message loop: Ctrl+F4 and Ctrl+F6 among the children.

bool TApplication::IsMDIMsg(const MSG& Msg)
{
    TCustomForm* frame = MDIFrame();
    if (!frame || !frame->ClientHandle() || !::IsChild(frame->ClientHandle(), Msg.hwnd))
        return false;
    MSG m = Msg;
    return ::TranslateMDISysAccel(frame->ClientHandle(), &m) != FALSE;
}
