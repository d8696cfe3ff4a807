#include "skin/forms/kvDials.h"

#include <algorithm>
#include <memory>

#include "classlib/controls/WindowsHook.h"
#include "skin/core/sMessages.h"
#include "skin/core/sMsgDlg.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/forms/kvDials_Dialog.h"
#include "skin/wrappers/kvSBUtils_Menu.h"
#include "skin/forms/sSkinProvider.h"

HHOOK HookCallback = nullptr;
std::vector<TkvProvider*>* kvSupportedList = nullptr;
TkvMnuArray MnuArray;

namespace {

// The thread's one creation hook.  Its owner is the default skin manager,
// which removes it when its skin goes; no static destructor unhooks it at
// exit, where the system's state for the thread may be gone already.
TWindowsHook* CreationHook = nullptr;

// Frees every entry and the list itself; entries of forms empty their own
// slot while they go, so the list is taken out of reach first.
void FreeSupportedList()
{
    std::unique_ptr<std::vector<TkvProvider*>> list(kvSupportedList);
    kvSupportedList = nullptr;
    if (!list)
        return;
    for (TkvProvider*& entry : *list) {
        TObject* o = std::exchange(entry, nullptr);
        FreeAndNil(o);
    }
}

// Whatever is left goes with the program.
struct TDialsUnitEnd {
    ~TDialsUnitEnd()
    {
        ClearMnuArray();
        FreeSupportedList();
        MnuArray.shrink_to_fit();
    }
} DialsUnitEnd;

bool ApplicationGoing()
{
    return !Application || Application->ComponentState().Contains(csDestroying);
}

bool IsSkinnedWindow(HWND Handle)
{
    return GetBoolMsg(Handle, SMC_IS_SKINNED);
}

bool HasRule(TkvSkinningRule Rule)
{
    return DefaultManager && DefaultManager->SkinningRules().Contains(Rule);
}

bool AttachFormSkinner(TCustomForm* Form)
{
    auto* form = dynamic_cast<TForm*>(Form);
    if (!form || !kvSupportedList)
        return false;
    TkvProvider* entry = New<TkvProvider>(form);
    kvSupportedList->push_back(entry);
    entry->InitForm(form);
    // The children an MDI form has already: made with a parent, the hook
    // passed them over.
    if (form->FormStyle() == fsMDIForm)
        for (int i = 0; i < form->MDIChildCount(); ++i) {
            TForm* child = form->MDIChildren(i);
            if (!child || (child->HandleAllocated() && IsSkinnedWindow(child->Handle())))
                continue;
            TkvProvider* childEntry = New<TkvProvider>(child);
            kvSupportedList->push_back(childEntry);
            childEntry->InitForm(child);
        }
    return true;
}

// The dialog gets its skinner; an entry that made none leaves the list.
bool AttachDialogSkinner(HWND Handle)
{
    if (!kvSupportedList)
        return false;
    TkvProvider* entry = New<TkvProvider>(nullptr);
    kvSupportedList->push_back(entry);
    if (entry->InitSkin(Handle))
        return true;
    TObject* o = entry;
    FreeAndNil(o);
    return false;
}

// The popup-menu window gets its wrapper, kept among the open menus; the
// wrapper frees itself with its window.
bool AttachMenuWrapper(HWND Handle)
{
    if (Kv_GetScrollWndFromHwnd(Handle))
        return false;
    TkvMnuWnd* w = CreateWnd<TkvMnuWnd>(Handle, nullptr, DefaultManager, L"MAINMENU", false);
    if (w->Destroyed) {
        FreeAndNil(w);
        return false;
    }
    MnuArray.push_back(w);
    return true;
}

void OnCreateWindow(HWND Handle, const CREATESTRUCTW* cs)
{
    if (!Handle || !cs)
        return;
    if (IS_INTRESOURCE(cs->lpszClass)) {
        const WORD atom = LOWORD(reinterpret_cast<ULONG_PTR>(cs->lpszClass));
        if (atom == 32770)
            AddSupportedForm(Handle, nullptr);
        else if (atom == 32768 && PopupMenuWanted(Handle))
            AttachMenuWrapper(Handle);
        return;
    }
    if (TakenAtCreation(Handle, *cs))
        AddSupportedForm(Handle, nullptr);
}

} // namespace

TkvProvider::~TkvProvider()
{
    // Whatever happened to its provider, the entry leaves no pointer to
    // itself behind.
    if (kvSupportedList) {
        auto& list = *kvSupportedList;
        if (auto it = std::find(list.begin(), list.end(), this); it != list.end())
            *it = nullptr;
    }
    if (sp)
        sp->RemoveFreeNotification(this);
    // A dialog's entry gives the children their windows back first, then the dialog.
    for (TkvMainWnd*& w : kvSkinnedCtrls)
        FreeAndNil(w);
    kvSkinnedCtrls.clear();
    FreeAndNil(ListSW);
}

void TkvProvider::InitForm(TForm* Form)
{
    sp = TsSkinProvider::CreateRT(Form, true);
    sp->Form = Form;
    sp->SetMakeSkinMenu(false);
    sp->FreeNotification(this);
}

void TkvProvider::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    // The provider can go before its entry (a provider placed later on the
    // form replaces one that never started).
    if (Operation == opRemove && AComponent == sp)
        sp = nullptr;
}

LRESULT CALLBACK SkinHookCBT(int Code, WPARAM WParam, LPARAM LParam)
{
    const LRESULT result = ::CallNextHookEx(HookCallback, Code, WParam, LParam);
    if (ApplicationGoing())
        return result;
    // Once the message loop has ended the forms are being freed: windows
    // that go or get activated now are left alone.
    if (Application->Terminated())
        return result;
    // An exception never unwinds through the system's window creation.
    try {
        switch (Code) {
        case HCBT_CREATEWND:
            OnCreateWindow(reinterpret_cast<HWND>(WParam),
                           LParam ? reinterpret_cast<CBT_CREATEWNDW*>(LParam)->lpcs : nullptr);
            break;
        case HCBT_DESTROYWND:
            CleanArray();
            break;
        case HCBT_ACTIVATE:
            AddSupportedForm(reinterpret_cast<HWND>(WParam), nullptr);
            break;
        }
    } catch (...) {
        Application->HandleException(nullptr);
    }
    return result;
}

bool TakenAtCreation(HWND Handle, const CREATESTRUCTW& cs)
{
    if (GetWndClassName(Handle) == L"TPUtilWindow" || cs.dwExStyle == 0 || cs.style == 0)
        return false;
    // Before the main form has its window nothing is taken at creation:
    // activation takes the windows later.
    if (TCustomForm* main = Application ? Application->MainForm() : nullptr)
        if (!main->HandleAllocated() || main->Handle() == Handle)
            return false;
    // An MDI child is made with a parent (the MDI client) and is never
    // activated through the hook: it is taken here or not at all.
    return ::GetParent(Handle) == nullptr || (cs.dwExStyle & WS_EX_MDICHILD);
}

bool PopupMenuWanted(HWND Handle)
{
    return !AeroIsEnabled() && DefaultManager && DefaultManager->SkinnedPopups() && !IsSkinnedWindow(Handle);
}

TkvSkinnerKind SkinnerFor(HWND Handle, const CREATESTRUCTW* CreateStruct, TCustomForm*& Form)
{
    Form = nullptr;
    // Asked before the form search: a form in creation learns its handle here.
    if (!Handle || !DefaultManager || ApplicationGoing() || IsSkinnedWindow(Handle))
        return skNone;
    const UnicodeString className =
        CreateStruct && !IS_INTRESOURCE(CreateStruct->lpszClass) && CreateStruct->lpszClass[0]
            ? UnicodeString(CreateStruct->lpszClass)
            : GetWndClassName(Handle);
    if (FindFormInList(Handle))
        return skNone;
    if (TCustomForm* form = FindFormOnScreen(Handle)) {
        if (form->Tag() == -98 || className == L"TApplication" || className == L"TQRStandardPreview" ||
            className == L"TfcPopup")
            return skNone;
        if (!HasRule(form->ClassName() == L"TMessageForm" ? srStdDialogs : srStdForms))
            return skNone;
        Form = form;
        return skForm;
    }
    if (className != L"#32770" || ::GetParent(Handle) || !HasRule(srStdDialogs))
        return skNone;
    // While one skinned dialog is on screen, another is taken only with a toolbar.
    if (VisibleDlgCount() > 0 && !ControlExists(Handle, L"toolbarwindow32"))
        return skNone;
    return skDialog;
}

bool AddSupportedForm(HWND Handle, const CREATESTRUCTW* CreateStruct)
{
    TCustomForm* form = nullptr;
    switch (SkinnerFor(Handle, CreateStruct, form)) {
    case skForm:
        return AttachFormSkinner(form);
    case skDialog:
        return AttachDialogSkinner(Handle);
    default:
        return false;
    }
}

UnicodeString GetWndClassName(HWND Handle)
{
    wchar_t name[128] = {};
    const int n = ::GetClassNameW(Handle, name, 128);
    return UnicodeString(name, n > 0 ? static_cast<size_t>(n) : 0);
}

TkvProvider* FindFormInList(HWND Handle)
{
    if (!kvSupportedList || !Handle)
        return nullptr;
    for (TkvProvider* entry : *kvSupportedList)
        if (entry && entry->CtrlHandle == Handle)
            return entry;
    return nullptr;
}

TCustomForm* FindFormOnScreen(HWND Handle)
{
    if (!Screen)
        return nullptr;
    for (int i = Screen->CustomFormCount() - 1; i >= 0; --i) {
        TCustomForm* form = Screen->CustomForms(i);
        // A form that is going must not get a new window from the search.
        if (!form || form->ComponentState().Contains(csDestroying))
            continue;
        if (form->Handle() == Handle)
            return form;
        if (form->FormStyle() == fsMDIForm)
            for (int j = 0; j < form->MDIChildCount(); ++j)
                if (TForm* child = form->MDIChildren(j); child && child->Handle() == Handle)
                    return child;
    }
    return nullptr;
}

int VisibleDlgCount()
{
    return static_cast<int>(VisibleSkinnedDialogs().size());
}

std::vector<HWND> VisibleSkinnedDialogs()
{
    std::vector<HWND> visible;
    if (kvSupportedList)
        for (TkvProvider* entry : *kvSupportedList)
            if (entry && entry->ListSW && ::IsWindowVisible(entry->CtrlHandle))
                visible.push_back(entry->CtrlHandle);
    return visible;
}

bool ControlExists(HWND Handle, const UnicodeString& ClassName)
{
    for (HWND child = ::GetTopWindow(Handle); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        UnicodeString name = GetWndClassName(child);
        std::transform(name.begin(), name.end(), name.begin(), ::towlower);
        if (name == ClassName || ControlExists(child, ClassName))
            return true;
    }
    return false;
}

void BroadCastHwnd(HWND Handle, const TMessage& Message)
{
    for (HWND child = ::GetTopWindow(Handle); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, Message.Msg, Message.WParam, Message.LParam);
}

void CleanArray()
{
    if (!kvSupportedList)
        return;
    // A dialog's entry goes once its window is gone; forms empty their own slot.
    for (TkvProvider*& entry : *kvSupportedList)
        if (entry && entry->ListSW && (entry->ListSW->Destroyed || !::IsWindow(entry->CtrlHandle))) {
            TObject* o = std::exchange(entry, nullptr);
            FreeAndNil(o);
        }
}

void ClearMnuArray()
{
    MnuArray.clear();
}

bool InstallSkinHook()
{
    if (CreationHook || TWindowsHook::Current(WH_CBT))
        return false;
    auto fresh = std::make_unique<TWindowsHook>();
    if (!fresh->Install(WH_CBT, [](int Code, WPARAM WParam, LPARAM LParam) { return SkinHookCBT(Code, WParam, LParam); }))
        return false;
    if (!kvSupportedList)
        kvSupportedList = new std::vector<TkvProvider*>;
    CreationHook = fresh.release();
    HookCallback = CreationHook->Handle();
    return true;
}

void UnInstallSkinHook()
{
    ClearMnuArray();
    std::unique_ptr<TWindowsHook> hook(std::exchange(CreationHook, nullptr));
    if (hook)
        hook->Remove();
    FreeSupportedList();
    HookCallback = nullptr;
}
