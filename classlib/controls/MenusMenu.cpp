// TMenu, the main menu, popup menus and the popup list's window.
#include "classlib/controls/Menus.h"

#include <algorithm>

#include "classlib/controls/UtilWindow.h"

namespace {
// Depth first through the item tree, hidden items included (a hidden item
// with a shortcut still answers its key).
template <class Pred>
TMenuItem* FindInTree(TMenuItem* Item, Pred Matches)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TMenuItem* child = Item->Items(i);
        if (Matches(child))
            return child;
        if (TMenuItem* found = FindInTree(child, Matches))
            return found;
    }
    return nullptr;
}

// The character a caption marks with '&' (0 for none; "&&" is a literal '&').
wchar_t Accelerator(const UnicodeString& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i)
        if (Caption[i] == L'&') {
            if (Caption[i + 1] != L'&')
                return Caption[i + 1];
            ++i;
        }
    return 0;
}

wchar_t Fold(wchar_t C) { return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(C)))); }

bool ParentsEnabled(const TMenuItem* Item)
{
    for (const TMenuItem* p = Item; p; p = p->Parent())
        if (!p->Enabled())
            return false;
    return true;
}
} // namespace

// Never freed: popup menus may still go while the program's statics are
// destroyed.
TPopupList* PopupList = new TPopupList();

// ---------------------------------------------------------------------------
// TMenu
TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner)
{
    FItems = New<TMenuItem>(this);
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    Destroying();
    // A window frees the menu it shows: take ours back first.
    if (FWindowHandle && FItems->HandleAllocated() && ::IsWindow(FWindowHandle) &&
        ::GetMenu(FWindowHandle) == FItems->FHandle)
        ::SetMenu(FWindowHandle, nullptr);
    FreeAndNil(FItems);
}

void TMenu::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw == Value)
        return;
    FOwnerDraw = Value;
    MenuChanged(this, nullptr, true);
}

void TMenu::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    MenuChanged(this, nullptr, true);
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const
{
    switch (Kind) {
    case fkCommand:
        return FindInTree(FItems, [Value](TMenuItem* i) { return i->Command() == Value; });
    case fkHandle:
        if (Value && FItems->HandleAllocated() && reinterpret_cast<UINT_PTR>(FItems->FHandle) == Value)
            return FItems;
        return FindInTree(FItems, [Value](TMenuItem* i) {
            return Value && i->HandleAllocated() && reinterpret_cast<UINT_PTR>(i->FHandle) == Value;
        });
    case fkShortCut:
        return FindInTree(FItems, [Value](TMenuItem* i) { return i->ShortCut() != 0 && i->ShortCut() == Value; });
    }
    return nullptr;
}

bool TMenu::DispatchCommand(WORD ACommand)
{
    TMenuItem* item = FindItem(ACommand, fkCommand);
    if (!item)
        return false;
    item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU AHandle)
{
    TMenuItem* item = FindItem(reinterpret_cast<UINT_PTR>(AHandle), fkHandle);
    if (!item)
        return false;
    // The item may fill its sub-menu now (OnClick of the opening item).
    item->Click();
    return true;
}

bool TMenu::ProcessMenuChar(TMessage& Message)
{
    TMenuItem* parent = FindItem(static_cast<UINT_PTR>(Message.LParam), fkHandle);
    wchar_t key = Fold(static_cast<wchar_t>(LOWORD(Message.WParam)));
    if (!parent || !key)
        return false;
    // Positions count the visible entries, as the system's do.
    std::vector<int> matches;
    int pos = 0;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible())
            continue;
        if (item->Enabled() && Fold(Accelerator(item->Caption())) == key)
            matches.push_back(pos);
        ++pos;
    }
    if (matches.empty())
        return false;
    Message.Result = MAKELRESULT(matches.front(), matches.size() == 1 ? MNC_EXECUTE : MNC_SELECT);
    return true;
}

bool TMenu::IsShortCut(TMessage& Message)
{
    TShortCut sc = ::ShortCut(LOWORD(Message.WParam), KeyDataToShiftState(Message.LParam));
    if (sc == 0)
        return false;
    TMenuItem* item = FindItem(sc, fkShortCut);
    if (!item || !ParentsEnabled(item))
        return false;
    item->Click();
    return true;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild)
{
    if (ComponentState().Contains(csDestroying))
        return;
    // A menu-wide change (owner drawing, images) reaches every sub-menu.
    if (Source == nullptr && Rebuild)
        FItems->RebuildTree();
    if (!ComponentState().Contains(csLoading) && OnChange)
        OnChange(Sender, Source, Rebuild);
}

void TMenu::GetChildren(TGetChildProc Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        MenuChanged(this, nullptr, true);
    }
}

// ---------------------------------------------------------------------------
// TMainMenu
void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild)
{
    TMenu::MenuChanged(Sender, Source, Rebuild);
    if (FWindowHandle && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying) &&
        ::IsWindow(FWindowHandle))
        ::SendMessageW(FWindowHandle, CM_MENUCHANGED, 0, 0);
}

// ---------------------------------------------------------------------------
// TPopupMenu
TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { PopupList->Add(this); }

TPopupMenu::~TPopupMenu() { PopupList->Remove(this); }

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    if (FPopupComponent == Value)
        return;
    if (FPopupComponent)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender)
{
    if (OnPopup)
        OnPopup(Sender);
}

UINT TPopupMenu::TrackFlags() const
{
    static const UINT align[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    UINT flags = align[FAlignment] | (FTrackButton == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON);
    if (FMenuAnimation.Contains(maNone))
        return flags | TPM_NOANIMATION;
    if (FMenuAnimation.Contains(maLeftToRight)) flags |= TPM_HORPOSANIMATION;
    if (FMenuAnimation.Contains(maRightToLeft)) flags |= TPM_HORNEGANIMATION;
    if (FMenuAnimation.Contains(maTopToBottom)) flags |= TPM_VERPOSANIMATION;
    if (FMenuAnimation.Contains(maBottomToTop)) flags |= TPM_VERNEGANIMATION;
    return flags;
}

void TPopupMenu::Popup(int X, int Y)
{
    FPopupPoint = {X, Y};
    DoPopup(this);
    // After OnPopup, which may change the items.
    HMENU menu = Handle();
    ::TrackPopupMenu(menu, TrackFlags(), X, Y, 0, PopupList->Window(), nullptr);
}

// ---------------------------------------------------------------------------
// TPopupList
TPopupList::~TPopupList()
{
    if (FWindow)
        DeallocateHWnd(FWindow);
}

void TPopupList::Add(TPopupMenu* Menu)
{
    if (FMenus.empty() && !FWindow)
        FWindow = AllocateHWnd(Bind(this, &TPopupList::WndProc));
    FMenus.push_back(Menu);
}

void TPopupList::Remove(TPopupMenu* Menu)
{
    auto it = std::find(FMenus.begin(), FMenus.end(), Menu);
    if (it != FMenus.end())
        FMenus.erase(it);
    if (FMenus.empty() && FWindow) {
        DeallocateHWnd(FWindow);
        FWindow = nullptr;
    }
}

bool TPopupList::DispatchToMenus(TMessage& Message)
{
    // A copy: a handler may free popup menus.
    std::vector<TPopupMenu*> menus = FMenus;
    for (TPopupMenu* menu : menus) {
        if (std::find(FMenus.begin(), FMenus.end(), menu) == FMenus.end())
            continue;
        switch (Message.Msg) {
        case WM_COMMAND:
            if (menu->DispatchCommand(LOWORD(Message.WParam)))
                return true;
            break;
        case WM_INITMENUPOPUP:
            if (menu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam)))
                return true;
            break;
        case WM_MEASUREITEM:
            if (MenuMeasureItem(menu, reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)))
                return true;
            break;
        case WM_DRAWITEM:
            if (MenuDrawItem(menu, reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)))
                return true;
            break;
        case WM_MENUCHAR:
            if (menu->ProcessMenuChar(Message))
                return true;
            break;
        default:
            return false;
        }
    }
    return false;
}

void TPopupList::WndProc(TMessage& Message)
{
    HWND wnd = FWindow;
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
        if (DispatchToMenus(Message)) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (DispatchToMenus(Message)) {
            Message.Result = TRUE;
            return;
        }
        break;
    case WM_MENUCHAR:
        if (DispatchToMenus(Message))
            return;
        break;
    default:
        break;
    }
    Message.Result = ::DefWindowProcW(wnd, Message.Msg, Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------------------
KV_BEGIN_PUBLISHED(TMenu, TComponent)
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"OwnerDraw", &C::OwnerDraw, &C::SetOwnerDraw, false);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TMainMenu, TMenu)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TPopupMenu, TMenu)
    B.Enum(L"Alignment", &C::Alignment, &C::SetAlignment, paLeft, {L"paLeft", L"paRight", L"paCenter"},
           L"TPopupAlignment");
    B.Bool(L"AutoPopup", &C::AutoPopup, &C::SetAutoPopup, true);
    B.Set(L"MenuAnimation", &C::MenuAnimation, &C::SetMenuAnimation, 0,
          {L"maLeftToRight", L"maRightToLeft", L"maTopToBottom", L"maBottomToTop", L"maNone"}, L"TMenuAnimation");
    B.Enum(L"TrackButton", &C::TrackButton, &C::SetTrackButton, tbRightButton, {L"tbRightButton", L"tbLeftButton"},
           L"TTrackButton");
    B.Event(L"OnPopup", &C::OnPopup);
KV_END_PUBLISHED

void RegisterMenusClasses() { RegisterClasses<TMainMenu, TPopupMenu, TMenuItem>(); }

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterMenusClasses(), true);
} // namespace
