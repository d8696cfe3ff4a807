// The root wrapper: creation, taking a window over and giving it back, the
// root window procedure and the unit's start-up.
#include "skin/wrappers/kvSBUtils.h"

#include <memory>
#include <vector>

#include "classlib/controls/Forms.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

bool kvDlgMode = false;
bool bRemoving = false;

// ---------------------------------------------------------------------------
// Unit start-up: the optional system entries.
namespace {

struct TUnitLibraries {
    HMODULE User32 = ::LoadLibraryW(L"user32.dll");
    HMODULE Comctl32 = ::LoadLibraryW(L"comctl32.dll");
    ~TUnitLibraries()
    {
        if (Comctl32)
            ::FreeLibrary(Comctl32);
        if (User32)
            ::FreeLibrary(User32);
    }
    template <class F>
    static F Find(HMODULE Lib, const char* Name)
    {
        return Lib ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(Lib, Name))) : nullptr;
    }
};
TUnitLibraries Libraries;

} // namespace

TKvGetScrollBarInfo Kv_GetScrollBarInfo =
    TUnitLibraries::Find<TKvGetScrollBarInfo>(Libraries.User32, "GetScrollBarInfo");
TKvFlatSBProc Kv_UninitializeFlatSB = TUnitLibraries::Find<TKvFlatSBProc>(Libraries.Comctl32, "UninitializeFlatSB");
TKvFlatSBProc Kv_InitializeFlatSB = TUnitLibraries::Find<TKvFlatSBProc>(Libraries.Comctl32, "InitializeFlatSB");

// ---------------------------------------------------------------------------
// The hook in a control's WindowProc.
namespace kvsb_detail {

// Sits in a control's (or form's) WindowProc in front of the method found
// there and hands every message to its wrapper.  When the wrapper lets go
// while a later subclasser keeps this hook as its saved method, the hook
// stays: it passes everything on to the method it found, and steps out by
// itself once it is on top again.
class TkvProcHook {
public:
    TkvProcHook(TControl* Control, TkvMainWnd* Target) : FControl(Control), FTarget(Target), FOld(Control->WindowProc)
    {
        Control->WindowProc = Method();
    }
    TWndMethod Method() { return Bind(this, &TkvProcHook::Proc); }
    const TWndMethod& Old() const { return FOld; }
    bool OnTop() { return FControl->WindowProc == Method(); }

    // Lets the wrapper go.  True when the method found is back in place and
    // the hook can be freed; false when the hook must stay as a pass-through.
    bool Release()
    {
        FTarget = nullptr;
        if (!OnTop())
            return false;
        FControl->WindowProc = FOld;
        return true;
    }

    void Proc(TMessage& Message)
    {
        if (TkvMainWnd* target = FTarget) {
            target->kvWndProc(Message);
            return;
        }
        // A pass-through: the control lives, or this message would not be here.
        const TWndMethod old = FOld;
        if (OnTop())
            FControl->WindowProc = old;
        old(Message);
    }

private:
    TControl* FControl;
    TkvMainWnd* FTarget;
    TWndMethod FOld;
};

} // namespace kvsb_detail

using kvsb_detail::TkvProcHook;

namespace {

// Hooks that outlived their wrappers; each is tiny and goes with the program.
std::vector<std::unique_ptr<TkvProcHook>>& PassThroughHooks()
{
    static std::vector<std::unique_ptr<TkvProcHook>> hooks;
    return hooks;
}

// The window's text.
UnicodeString WindowText(HWND Handle)
{
    const int n = ::GetWindowTextLengthW(Handle);
    if (n <= 0)
        return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(Handle, s.data(), n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return UnicodeString(s);
}

TsSkinManager* ManagerOf(TsCommonData* SkinData)
{
    return SkinData ? SkinData->GetSkinManager() : nullptr;
}

bool IsManager(TsCommonData* SkinData, LPARAM LParam)
{
    TsSkinManager* m = ManagerOf(SkinData);
    return m && reinterpret_cast<LPARAM>(m) == LParam;
}

// Watches the wrapper's manager: the field is cleared when it is freed.
class TkvManagerWatch : public TComponent {
public:
    explicit TkvManagerWatch(TsSkinManager*& Field) : TComponent(nullptr), FField(Field)
    {
        if (Field)
            Field->FreeNotification(this);
    }
    ~TkvManagerWatch() override
    {
        if (FField)
            FField->RemoveFreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FField)
            FField = nullptr;
    }

private:
    TsSkinManager*& FField;
};

// The window's own procedure holds the wrapper: no second wrapper, no
// taking over a window of another thread.
bool TakeOverByHandle(TkvMainWnd* Wnd, HWND Handle)
{
    TObjectInstance instance = MakeObjectInstance(Bind(Wnd, &TkvMainWnd::kvWndProc));
    const WNDPROC previous = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Handle, GWLP_WNDPROC));
    if (!instance->Subclass(Handle, KVSBSC)) {
        FreeObjectInstance(instance);
        return false;
    }
    Wnd->OldProc = previous;
    Wnd->NewWndProcInstance = instance;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
TkvMainWnd* TkvWndClass::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                const UnicodeString& SkinSection, bool Repaint) const
{
    if (!FNew)
        return nullptr;
    TkvMainWnd* w = FNew();
    try {
        w->Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    } catch (...) {
        // A failed set-up gives the window back and leaves nothing behind.
        FreeAndNil(w);
        throw;
    }
    return w;
}

TkvMainWnd::~TkvMainWnd()
{
    if (!Destroyed)
        UnhookKVWnd(this);
    TkvAliveGuard::WrapperGone(FGuards);
    FGuards = nullptr;
    delete FManagerWatch;
    if (OwnSkinData)
        delete SkinData;
}

void TkvMainWnd::BeforeDestruction()
{
    TObject::BeforeDestruction();
    // While an adapter frees the items of a form being destroyed, only the
    // hook goes (no message may reach a freed wrapper); the look stays.
    if (!Destroyed)
        GiveBack(!bRemoving || aSkinRemoving, false, false);
    Destroyed = true;
    if (OwnSkinData) {
        delete SkinData;
        OwnSkinData = false;
    }
    SkinData = nullptr;
    SkinManager = nullptr;
}

void TkvMainWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                        const UnicodeString& SkinSection, bool Repaint)
{
    CtrlHandle = AHandle;
    OldWndProc = nullptr;
    OldProc = nullptr;
    if (uxthemeLib && Kv_SetWindowTheme && StylesOffWanted(SkinSection, Repaint)) {
        Kv_SetWindowTheme(AHandle, L" ", L" ");
        FStylesOff = true;
    }
    NewWndProcInstance = nullptr;
    SkinManager = ASkinManager;
    Destroyed = false;
    if (ASkinData) {
        SkinData = ASkinData;
        if (!ASkinManager)
            SkinManager = ASkinData->GetSkinManager();
    } else {
        OwnSkinData = true;
        SkinData = new TsCommonData(nullptr, true);
        if (ASkinManager)
            SkinData->StoreManager(ASkinManager == DefaultManager ? nullptr : ASkinManager);
    }
    FManagerWatch = new TkvManagerWatch(SkinManager);
    if (SkinData->SkinSection().empty() && !SkinSection.empty())
        SkinData->SetSkinSection(SkinSection);
    DlgMode = kvDlgMode;
    SaveStdParams();
    ParamsChanged = false;
    Caption = WindowText(AHandle);
    if (auto* scroll = dynamic_cast<TkvScrollWnd*>(this))
        InitializeKVScrolls(scroll, AHandle, Repaint);
    else
        InitializeKVWnd(this, AHandle);
    TakeOpaque();
}

void TkvMainWnd::TakeOpaque()
{
    FOpaqueReturned = false;
    TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!c || c->ControlStyle().Contains(csOpaque))
        return;
    c->SetControlStyle(c->ControlStyle() + csOpaque);
    FOpaqueSet = true;
}

void TkvMainWnd::GiveOpaqueBack(bool ForNow)
{
    // The control's own bit, as it was before the wrapper came.
    TControl* c = SkinData ? SkinData->FOwnerControl : nullptr;
    if (FOpaqueSet && c && !c->ComponentState().Contains(csDestroying))
        c->SetControlStyle(c->ControlStyle() - csOpaque);
    FOpaqueReturned = FOpaqueSet && ForNow;
    FOpaqueSet = false;
}

void TkvMainWnd::SkinComesBack()
{
    ParamsChanged = false;
    if (SkinData)
        SkinData->BGChanged = true;
    if (FOpaqueReturned)
        TakeOpaque();
}

bool TkvMainWnd::StylesOffWanted(const UnicodeString& SkinSection, bool) const
{
    return SkinSection != L"DIALOG";
}

TControl* TkvMainWnd::WindowProcOwner() const
{
    if (!SkinData)
        return nullptr;
    // Only the control whose window this is: a wrapper given the skin data
    // of another control (a combo box's list) subclasses its window instead.
    if (auto* w = dynamic_cast<TWinControl*>(SkinData->FOwnerControl))
        return w->HandleAllocated() && w->Handle() == CtrlHandle ? w : nullptr;
    if (SkinData->FOwnerControl)
        return nullptr;
    TCustomForm* form = ProviderForm(SkinData->OwnerProvider());
    return form && form->HandleAllocated() && form->Handle() == CtrlHandle ? form : nullptr;
}

TWndMethod TkvMainWnd::HookMethod() const
{
    return FProcHook ? FProcHook->Method() : TWndMethod();
}

LRESULT TkvMainWnd::CallPrevWndProc(HWND Handle, UINT Msg, WPARAM WParam, LPARAM& LParam)
{
    if (OldWndProc.Assigned()) {
        TMessage m = MakeMessage(Msg, WParam, LParam);
        OldWndProc(m);
        LParam = m.LParam;
        return m.Result;
    }
    if (NewWndProcInstance)
        return NewWndProcInstance->CallPrevious(Msg, WParam, LParam);
    if (OldProc && ::IsWindow(Handle))
        return ::CallWindowProcW(OldProc, Handle, Msg, WParam, LParam);
    return 0;
}

LRESULT TkvMainWnd::CallPrevWndProc(TMessage& Message)
{
    LPARAM lp = Message.LParam;
    const LRESULT r = CallPrevWndProc(CtrlHandle, Message.Msg, Message.WParam, lp);
    Message.LParam = lp;
    return r;
}

void TkvMainWnd::GiveBack(bool RestoreLook, bool RedrawFrame, bool Repaint)
{
    if (Destroyed)
        return;
    UnhookKVWnd(this);
    const bool alive = ::IsWindow(CtrlHandle);
    if (RestoreLook) {
        if (FStylesOff && alive && Kv_SetWindowTheme)
            Kv_SetWindowTheme(CtrlHandle, nullptr, nullptr);
        FStylesOff = false;
        RestoreStdParams();
        GiveOpaqueBack();
    }
    if (RedrawFrame && alive && ::IsWindowVisible(CtrlHandle))
        Kv_RedrawNonClient(CtrlHandle, Repaint);
    Destroyed = true;
}

// ---------------------------------------------------------------------------
// The root window procedure.

void TkvMainWnd::kvWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
        WMDestroy(Message);
        return;
    case WM_UPDATEUISTATE:
        return;
    case WM_SIZE:
        if (SkinData)
            SkinData->BGChanged = true;
        break;
    case WM_SETTEXT:
        WMSetText(Message);
        return;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        break;
    case WM_PRINT:
        // The given device context is painted like a normal paint.
        Message.Result = ::SendMessageW(CtrlHandle, WM_PAINT, Message.WParam, Message.LParam);
        return;
    }
    TsSkinManager* m = ManagerOf(SkinData);
    if (!m || !m->Active()) {
        PassOn(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD)
        KorvexCommand(Message);
    else
        PassOn(Message);
}

void TkvMainWnd::WMDestroy(TMessage& Message)
{
    if (SkinData && SkinData->GlowID >= 0) {
        HideGlow(SkinData->GlowID);
        SkinData->GlowID = -1;
    }
    TkvAliveGuard guard(this);
    PassOn(Message);
    // A control that lives on (its window is made anew) gets its own
    // colours back; the window itself is not asked to recompute its frame.
    if (guard.Alive() && !Destroyed)
        GiveBack(true, true, false);
}

void TkvMainWnd::WMSetText(TMessage& Message)
{
    TkvAliveGuard guard(this);
    PassOn(Message);
    if (guard.Alive())
        Caption = WindowText(CtrlHandle);
}

void TkvMainWnd::WMMouseMove(TMessage&)
{
    TsSkinManager* m = DefaultManager;
    if (m && !m->ComponentState().Contains(csDesigning) && ::IsWindowEnabled(CtrlHandle) &&
        m->ActiveControl() != CtrlHandle)
        m->SetActiveControl(CtrlHandle);
}

void TkvMainWnd::KorvexCommand(TMessage& Message)
{
    switch (Message.WParamHi) {
    case SMC_SKIN_SET:
        SkinSet(Message);
        return;
    case SMC_SKIN_REMOVE:
        if (IsManager(SkinData, Message.LParam))
            RestoreStdParams();
        break;
    case SMC_SKIN_REFRESH:
        SkinRefresh(Message);
        return;
    case SMC_PARENT_UPDATED:
        ParentUpdated(Message);
        return;
    case SMC_IS_SKINNED:
        Message.Result = 1;
        return;
    case SMC_GET_UPDATING:
        Message.Result = SkinData->FUpdating ? 1 : 0;
        return;
    case SMC_GET_TEXTURED:
        if (SkinData->FOwnerControl) {
            CommonMessage(Message, SkinData);
            return;
        }
        break;
    case SMC_GET_BG_COLOR:
        GetBGColorAnswer(Message);
        return;
    case SMC_PREPARE_CACHE:
        PrepareCache(SkinData, CtrlHandle, false);
        break;
    case SMC_GET_BG_INFO:
        InitBGInfo(SkinData, reinterpret_cast<PkvBGInfo>(Message.LParam), 0, CtrlHandle);
        return;
    case SMC_GET_APPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return;
    }
    PassOn(Message);
}

void TkvMainWnd::SkinSet(TMessage& Message)
{
    if (IsManager(SkinData, Message.LParam)) {
        SkinData->UpdateIndexes();
        SkinComesBack();
        KorvexBroadCastCheck(SkinData->FOwnerControl, CtrlHandle, Message);
    }
    PassOn(Message);
}

void TkvMainWnd::SkinRefresh(TMessage& Message)
{
    if (!IsManager(SkinData, Message.LParam)) {
        PassOn(Message);
        return;
    }
    SkinData->UpdateIndexes();
    SkinData->BGChanged = true;
    SkinData->SetUpdating(false);
    ::SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
}

void TkvMainWnd::ParentUpdated(TMessage& Message)
{
    if (!SkinData->FUpdating) {
        PassOn(Message);
        return;
    }
    SkinData->SetUpdating(false);
    SkinData->SetUpdating(SkinData->GetUpdating());
    if (!SkinData->FUpdating)
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TkvMainWnd::GetBGColorAnswer(TMessage& Message)
{
    Message.Result = 0;
    TkvAliveGuard guard(this);
    PassOn(Message);
    if (guard.Alive() && Message.Result == 0)
        Message.Result = static_cast<LRESULT>(GetBGColor(SkinData, 0, CtrlHandle));
}

// ---------------------------------------------------------------------------
// Hooking and unhooking.

TkvMainWnd* Kv_GetScrollWndFromHwnd(HWND Handle)
{
    return Handle ? static_cast<TkvMainWnd*>(::GetPropW(Handle, KVSBSC)) : nullptr;
}

void InitializeKVWnd(TkvMainWnd* Wnd, HWND Handle)
{
    Wnd->DontRepaint = false;
    Wnd->CtrlHandle = Handle;
    // A window carries one wrapper; a second one stays unhooked.
    const TkvMainWnd* other = Kv_GetScrollWndFromHwnd(Handle);
    if (!::IsWindow(Handle) || (other && other != Wnd)) {
        Wnd->Destroyed = true;
        return;
    }
    ::SetPropW(Handle, KVSBSC, Wnd);
    if (TControl* owner = Wnd->WindowProcOwner()) {
        Wnd->FProcHook = new TkvProcHook(owner, Wnd);
        Wnd->OldWndProc = Wnd->FProcHook->Old();
        return;
    }
    if (!TakeOverByHandle(Wnd, Handle)) {
        ::RemovePropW(Handle, KVSBSC);
        Wnd->Destroyed = true;
    }
}

void UnhookKVWnd(TkvMainWnd* Wnd)
{
    if (TkvProcHook* hook = std::exchange(Wnd->FProcHook, nullptr)) {
        if (hook->Release())
            delete hook;
        else
            PassThroughHooks().emplace_back(hook);
    }
    // The subclassing steps aside for good, passing on until it can go.
    FreeObjectInstance(Wnd->NewWndProcInstance);
    const HWND h = Wnd->CtrlHandle;
    if (h && ::IsWindow(h) && Kv_GetScrollWndFromHwnd(h) == Wnd)
        ::RemovePropW(h, KVSBSC);
}

void UninitializeKVWnd(HWND Handle, bool FreeIt, bool Repaint, TkvMainWnd*& Wnd)
{
    if (!Wnd)
        return;
    if (!Wnd->Destroyed) {
        (void)Handle; // the wrapper's own window
        Wnd->GiveBack(true, true, Repaint);
    }
    if (FreeIt) {
        Wnd->OldProc = nullptr;
        Wnd->OldWndProc = nullptr;
        FreeAndNil(Wnd);
    }
}

void Kv_RedrawNonClient(HWND Handle, bool FrameChanged)
{
    if (FrameChanged)
        ::SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    else
        ::SendMessageW(Handle, WM_NCPAINT, 1, 0);
}
