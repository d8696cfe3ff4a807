// TMenuItem: the item tree, its properties, and the HMENU entries made from it.
#include "classlib/controls/Menus.h"

#include <algorithm>
#include <unordered_set>

#include "classlib/rtl/SysUtils.h"

namespace {
// Command ids in use, process-wide: WM_COMMAND carries no menu, so an id
// must name one item among all menus.  0 is never given out, and ids stay
// below the system commands (0xF000).
constexpr WORD FirstCommand = 1;
constexpr WORD LastCommand = 0xEFFF;

std::vector<bool>& CommandPool()
{
    // Never freed: items may still go while the program's statics are destroyed.
    static auto* pool = new std::vector<bool>(LastCommand + 1, false);
    return *pool;
}

WORD UniqueCommand()
{
    auto& pool = CommandPool();
    for (WORD id = FirstCommand; id <= LastCommand; ++id)
        if (!pool[id]) {
            pool[id] = true;
            return id;
        }
    throw EMenuError(L"Too many menu items");
}

void FreeCommand(WORD Id)
{
    if (Id >= FirstCommand && Id <= LastCommand)
        CommandPool()[Id] = false;
}

UnicodeString StripHotkey(const UnicodeString& Text)
{
    UnicodeString s;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == L'&' && i + 1 < Text.size())
            ++i;
        else if (Text[i] == L'&')
            continue;
        s += Text[i];
    }
    return s;
}

UINT BreakType(TMenuBreak Break)
{
    switch (Break) {
    case mbBreak: return MFT_MENUBREAK;
    case mbBarBreak: return MFT_MENUBARBREAK;
    default: return 0;
    }
}
} // namespace

// ---------------------------------------------------------------------------
namespace {
// Every menu item alive (menus live on the GUI thread).
std::unordered_set<const TMenuItem*>& LiveItems()
{
    static std::unordered_set<const TMenuItem*> items;
    return items;
}
} // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(UniqueCommand())
{
    LiveItems().insert(this);
}

bool TMenuItem::Exists(const TMenuItem* Item)
{
    return Item && LiveItems().count(Item) != 0;
}

TMenuItem::~TMenuItem()
{
    LiveItems().erase(this);
    Destroying();
    if (FParent)
        FParent->Remove(this);
    // The entries go first: destroying a menu destroys the sub-menus it
    // still holds, and those belong to the children.
    if (FHandle)
        while (::GetMenuItemCount(FHandle) > 0 && ::RemoveMenu(FHandle, 0, MF_BYPOSITION)) {
        }
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        FreeAndNil(child);
    }
    if (FHandle)
        ::DestroyMenu(FHandle);
    delete FBitmap;
    FreeCommand(FCommand);
}

TMenuItem* TMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EMenuError(L"Menu index out of range");
    return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (!Item)
        return;
    if (Item->FParent)
        throw EMenuError(L"Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError(L"Menu index out of range");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EMenuError(L"A menu item cannot hold itself");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (FHandle)
        RebuildHandle();
    // Our own entry may have gained its sub-menu.
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) { Remove(Items(Index)); }

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Item->FParent = nullptr;
    if (ComponentState().Contains(csDestroying)) {
        // Going as well: the entries only have to let go of the sub-menus.
        if (FHandle)
            while (::GetMenuItemCount(FHandle) > 0 && ::RemoveMenu(FHandle, 0, MF_BYPOSITION)) {
            }
        return;
    }
    if (FHandle)
        RebuildHandle();
    MenuChanged(true);
}

void TMenuItem::Clear()
{
    while (!FItems.empty()) {
        TMenuItem* child = FItems.back();
        FreeAndNil(child);
    }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(UnicodeString ACaption) const
{
    ACaption = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (SameText(StripHotkey(item->FCaption), ACaption))
            return item;
    return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value)
{
    if (!FParent)
        return;
    TMenuItem* parent = FParent;
    Value = std::clamp(Value, 0, parent->Count() - 1);
    if (Value == MenuIndex())
        return;
    parent->FItems.erase(parent->FItems.begin() + MenuIndex());
    parent->FItems.insert(parent->FItems.begin() + Value, this);
    MenuChanged(true);
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

bool TMenuItem::IsTopLevel() const
{
    return FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu);
}

bool TMenuItem::IsOwnerDraw() const
{
    TMenu* menu = GetParentMenu();
    return menu && (menu->OwnerDraw() || menu->Images());
}

TCustomImageList* TMenuItem::ImageList() const
{
    if (FParent && FParent->FSubMenuImages)
        return FParent->FSubMenuImages;
    TMenu* menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

// ---------------------------------------------------------------------------
// Handles
HMENU TMenuItem::Handle()
{
    if (!FHandle) {
        FHandle = FMenu ? FMenu->CreateMenuHandle() : ::CreatePopupMenu();
        if (!FHandle)
            throw EMenuError(L"Cannot create a menu");
        RebuildHandle();
    }
    return FHandle;
}

void TMenuItem::RebuildHandle()
{
    while (::GetMenuItemCount(FHandle) > 0 && ::RemoveMenu(FHandle, 0, MF_BYPOSITION)) {
    }
    for (TMenuItem* child : FItems)
        if (child->FVisible)
            AppendEntry(child);
}

void TMenuItem::RebuildTree()
{
    for (TMenuItem* child : FItems)
        child->RebuildTree();
    if (FHandle)
        RebuildHandle();
}

void TMenuItem::AppendEntry(TMenuItem* Child)
{
    bool ownerDraw = Child->IsOwnerDraw();
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    mii.fType = BreakType(Child->FBreak) | (Child->FRadioItem ? MFT_RADIOCHECK : 0) |
                (ownerDraw ? MFT_OWNERDRAW : 0) | (Child->IsLine() && !ownerDraw ? MFT_SEPARATOR : 0);
    mii.fState = (Child->FChecked ? MFS_CHECKED : 0) | (Child->FEnabled ? 0 : MFS_GRAYED) |
                 (Child->FDefault ? MFS_DEFAULT : 0);
    mii.wID = Child->FCommand;
    mii.hSubMenu = Child->Count() > 0 ? Child->Handle() : nullptr;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(Child);
    // The system shows the shortcut's text right-aligned after a tab.
    UnicodeString text = Child->FCaption;
    if (Child->FShortCut)
        text += L"\t" + ShortCutToText(Child->FShortCut);
    if (!Child->IsLine() || ownerDraw) {
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = text.data();
        mii.cch = static_cast<UINT>(text.size());
    }
    if (!ownerDraw && Child->HasBitmap()) {
        mii.fMask |= MIIM_BITMAP;
        mii.hbmpItem = Child->FBitmap->Handle();
    }
    ::InsertMenuItemW(FHandle, static_cast<UINT>(::GetMenuItemCount(FHandle)), TRUE, &mii);
}

// ---------------------------------------------------------------------------
// Change propagation: the parent rebuilds the entry, the menu hears of it.
void TMenuItem::MenuChanged(bool Rebuild)
{
    if (FParent)
        FParent->SubItemChanged(this, Rebuild);
    else if (FMenu)
        FMenu->MenuChanged(FMenu, nullptr, Rebuild);
}

void TMenuItem::SubItemChanged(TMenuItem* Source, bool Rebuild)
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (Rebuild && FHandle)
        RebuildHandle();
    if (FParent)
        FParent->SubItemChanged(Source, false);
    else if (FMenu)
        FMenu->MenuChanged(FMenu, Source, Rebuild);
}

void TMenuItem::SetCaption(const UnicodeString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value)
        return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff()
{
    if (!FParent)
        return;
    for (TMenuItem* item : FParent->FItems)
        if (item != this && item->FRadioItem && item->FGroupIndex == FGroupIndex)
            item->FChecked = false;
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (FRadioItem == Value)
        return;
    FRadioItem = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    // One default item per sub-menu, as the system allows.
    if (Value && FParent)
        for (TMenuItem* item : FParent->FItems)
            if (item != this)
                item->FDefault = false;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value)
{
    if (FBreak == Value)
        return;
    FBreak = Value;
    MenuChanged(true);
}

void TMenuItem::SetGroupIndex(int Value)
{
    if (FGroupIndex == Value)
        return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap()
{
    if (!FBitmap) {
        FBitmap = new TBitmap();
        FBitmap->OnChange = Bind(this, &TMenuItem::BitmapChanged);
    }
    return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* Value)
{
    if (Value)
        Bitmap()->Assign(Value);
    else if (FBitmap)
        FBitmap->Assign(nullptr);
}

void TMenuItem::BitmapChanged(TObject*) { MenuChanged(true); }

void TMenuItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value)
{
    if (FSubMenuImages == Value)
        return;
    if (FSubMenuImages)
        FSubMenuImages->RemoveFreeNotification(this);
    FSubMenuImages = Value;
    if (Value)
        Value->FreeNotification(this);
    for (TMenuItem* item : FItems)
        item->MenuChanged(true);
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick)
        OnClick(this);
}

// ---------------------------------------------------------------------------
// Component tree: streamed items name their menu or item as parent.
TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (FParent)
        FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

void TMenuItem::GetChildren(TGetChildProc Proc, TComponent* Root)
{
    for (TMenuItem* item : FItems)
        if (!Root || item->Owner() == Root)
            Proc(item);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSubMenuImages)
        FSubMenuImages = nullptr;
}

// ---------------------------------------------------------------------------
KV_BEGIN_PUBLISHED(TMenuItem, TComponent)
    B.Enum(L"Break", &C::Break, &C::SetBreak, mbNone, {L"mbNone", L"mbBreak", L"mbBarBreak"}, L"TMenuBreak");
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Bool(L"Checked", &C::Checked, &C::SetChecked, false);
    B.Bool(L"Default", &C::Default, &C::SetDefault, false);
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Int(L"GroupIndex", &C::GroupIndex, &C::SetGroupIndex, 0);
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Int(L"ImageIndex", &C::ImageIndex, &C::SetImageIndex, -1);
    B.Bool(L"RadioItem", &C::RadioItem, &C::SetRadioItem, false);
    B.Int(L"ShortCut", &C::ShortCut, &C::SetShortCut, 0, L"TShortCut");
    B.Ref(L"SubMenuImages", &C::SubMenuImages, &C::SetSubMenuImages);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
    B.Object(L"Bitmap", &C::Bitmap, &C::SetBitmap);
    B.Event(L"OnClick", &C::OnClick);
    B.Event(L"OnDrawItem", &C::OnDrawItem);
    B.Event(L"OnAdvancedDrawItem", &C::OnAdvancedDrawItem);
    B.Event(L"OnMeasureItem", &C::OnMeasureItem);
KV_END_PUBLISHED
