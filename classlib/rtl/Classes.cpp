#include "classlib/rtl/Classes.h"

#include <algorithm>

#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/TypInfo.h"

namespace {

[[noreturn]] void ListIndexError(int Index)
{
    throw EListError(L"List index out of bounds (" + std::to_wstring(Index) + L")");
}

} // namespace

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    UnicodeString source = Source ? Source->ClassName() : UnicodeString(L"nil");
    throw EConvertError(L"Cannot assign a " + source + L" to a " + ClassName());
}

UnicodeString TPersistent::GetNamePath()
{
    return ClassName();
}

// ---------------------------------------------------------------------------
// TComponent

bool IsValidIdent(const UnicodeString& Ident)
{
    for (size_t i = 0; i < Ident.size(); ++i) {
        wchar_t c = Ident[i];
        bool alpha = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
        bool digit = c >= L'0' && c <= L'9';
        if (!(alpha || (digit && i > 0)))
            return false;
    }
    return true;
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction()
{
    if (!FComponentState.Contains(csDestroying))
        Destroying();
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        // The owner (and through it the remaining siblings) hears of each
        // removal, so that it can drop what it kept of the component.
        RemoveComponent(instance);
        TObject* obj = instance;
        FreeAndNil(obj);
    }
}

void TComponent::SetName(const UnicodeString& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(L"'" + NewName + L"' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const UnicodeString& CurName, const UnicodeString& NewName)
{
    if (AComponent && !NewName.empty() && !SameText(CurName, NewName) && AComponent->FOwner == this) {
        TComponent* other = FindComponent(NewName);
        if (other && other != AComponent)
            throw EComponentError(L"A component named " + NewName + L" already exists");
    }
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        ListIndexError(Index);
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!FOwner)
        return;
    auto& list = FOwner->FComponents;
    int cur = ComponentIndex();
    if (cur < 0)
        return;
    int count = static_cast<int>(list.size());
    if (Value < 0)
        Value = 0;
    if (Value >= count)
        Value = count - 1;
    if (Value == cur)
        return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const UnicodeString& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner == this)
        return;
    ValidateInsert(AComponent);
    ValidateRename(AComponent, UnicodeString(), AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end())
        FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Pass it on to the owned components; the list may shrink meanwhile.
    for (size_t i = FComponents.size(); i > 0; --i) {
        if (i - 1 >= FComponents.size())
            continue;
        FComponents[i - 1]->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    // Siblings hear of each other's removal through the owner's broadcast.
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end())
        FFreeNotifies.erase(it);
}

void TComponent::RemoveFreeNotifications()
{
    while (!FFreeNotifies.empty()) {
        TComponent* client = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        client->RemoveNotification(this);
        client->Notification(this, opRemove);
    }
}

void TComponent::SetSubComponent(bool IsSubComponent)
{
    if (IsSubComponent)
        FComponentStyle.Include(csSubComponent);
    else
        FComponentStyle.Exclude(csSubComponent);
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    if (Value)
        FComponentState.Include(csDesigning);
    else
        FComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

void TComponent::SetInline(bool Value)
{
    if (Value)
        FComponentState.Include(csInline);
    else
        FComponentState.Exclude(csInline);
}

void TComponent::Loaded()
{
    FComponentState.Exclude(csLoading);
}

void TComponent::ReadState(TReader* Reader)
{
    Reader->ReadData(this);
}

// ---------------------------------------------------------------------------
// TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int cur = Index();
    if (cur >= 0 && cur != Value) {
        FCollection->MoveItem(this, Value);
        Changed(true);
    }
}

void TCollectionItem::SetDisplayName(const UnicodeString&)
{
    Changed(false);
}

UnicodeString TCollectionItem::GetDisplayName()
{
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner()
{
    return FCollection;
}

UnicodeString TCollectionItem::GetNamePath()
{
    if (!FCollection)
        return ClassName();
    return FCollection->GetNamePath() + L"[" + std::to_wstring(Index()) + L"]";
}

// ---------------------------------------------------------------------------
// TCollection

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection()
{
    // No Update calls from a collection that is going away.
    FUpdateCount = 1;
    while (!FItems.empty()) {
        TObject* item = FItems.back();
        FreeAndNil(item);
    }
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        ListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = FItemClass.Assigned() ? FItemClass.Create(this) : New<TCollectionItem>(this);
    if (item->FCollection != this)
        item->SetCollection(this);
    Added(item);
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    TObject* obj = item;
    FreeAndNil(obj);
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty()) {
            TObject* item = FItems.back();
            FreeAndNil(item);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source)
{
    TCollection* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : source->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

UnicodeString TCollection::GetNamePath()
{
    TPersistent* owner = GetOwner();
    return owner ? owner->GetNamePath() : ClassName();
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    Notify(Item, cnExtracting);
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end())
        FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    if (NewIndex < 0)
        NewIndex = 0;
    if (NewIndex > Count())
        NewIndex = Count();
    FItems.insert(FItems.begin() + NewIndex, Item);
}

// ---------------------------------------------------------------------------
// Class registry

namespace {
std::vector<TComponentClass>& ClassList()
{
    static std::vector<TComponentClass> list;
    return list;
}
} // namespace

void RegisterClass(const TComponentClass& AClass)
{
    auto& list = ClassList();
    for (auto& c : list)
        if (SameText(c.Name(), AClass.Name())) {
            c = AClass;
            return;
        }
    list.push_back(AClass);
}

void UnRegisterClass(const UnicodeString& ClassName)
{
    auto& list = ClassList();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const TComponentClass& c) { return SameText(c.Name(), ClassName); }),
               list.end());
}

TComponentClass GetClass(const UnicodeString& ClassName)
{
    for (auto& c : ClassList())
        if (SameText(c.Name(), ClassName))
            return c;
    return TComponentClass();
}

TComponentClass FindClass(const UnicodeString& ClassName)
{
    TComponentClass c = GetClass(ClassName);
    if (!c.Assigned())
        throw EClassNotFound(L"Class " + ClassName + L" not found");
    return c;
}
