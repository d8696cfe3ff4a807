// The component model: persistent objects, components with owners and names,
// collections, the filer interfaces that form resources are read through, and
// the class registry that turns a class name into a new component.
// Portable: no <windows.h> here.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "classlib/rtl/System.h"

class TStream;
class TFiler;
class TReader;
class TWriter;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
struct TClassInfo;

// ---------------------------------------------------------------------------
// TSet: a small set of enumeration elements (at most 32), the counterpart of
// the class library's "set of" types.  Ord() gives the bit mask, element i in
// bit i, which is also how set properties travel through the property tables.
template <class E>
class TSet {
    uint32_t FBits = 0;
    static constexpr uint32_t Bit(E e) { return uint32_t(1) << static_cast<unsigned>(e); }

public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E e : items)
            FBits |= Bit(e);
    }
    static constexpr TSet FromOrd(uint32_t bits)
    {
        TSet s;
        s.FBits = bits;
        return s;
    }
    constexpr uint32_t Ord() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E e) { FBits |= Bit(e); return *this; }
    constexpr TSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }
    constexpr TSet operator+(TSet o) const { return FromOrd(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromOrd(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromOrd(FBits & o.FBits); }
    constexpr TSet operator+(E e) const { return FromOrd(FBits | Bit(e)); }
    constexpr TSet operator-(E e) const { return FromOrd(FBits & ~Bit(e)); }
    constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
    constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
    constexpr TSet& operator+=(E e) { return Include(e); }
    constexpr TSet& operator-=(E e) { return Exclude(e); }
    constexpr bool operator==(const TSet& o) const = default;
};

// ---------------------------------------------------------------------------
// Bound methods used by the filers.
using TReaderProc = TMethod<void(TReader* Reader)>;
using TWriterProc = TMethod<void(TWriter* Writer)>;
using TStreamProc = TMethod<void(TStream* Stream)>;
using TGetChildProc = TMethod<void(TComponent* Child)>;

// ---------------------------------------------------------------------------
// TPersistent: an object that can be copied with Assign and that can store
// extra (unpublished) data in a form resource through DefineProperties.
class TPersistent : public TObject {
    KV_CLASS(TPersistent)
public:
    // The published-property table of this object's class (see TypInfo.h).
    static const TClassInfo* StaticClassInfo();
    virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }

    // Copies Source into this object.  The default asks Source to do it
    // (AssignTo), which fails with EConvertError "Cannot assign a X to a Y".
    virtual void Assign(TPersistent* Source);
    // The owner in the object tree (a sub-object's component, a collection's
    // owner); nullptr when there is none.
    virtual TPersistent* GetOwner() { return nullptr; }
    virtual UnicodeString GetNamePath();

    // Announces data stored in a form resource beyond the published
    // properties: Filer->DefineProperty / DefineBinaryProperty.
    virtual void DefineProperties(TFiler* Filer) {}

protected:
    virtual void AssignTo(TPersistent* Dest);
    // Raises the assign error for Source (nullptr reads "nil") into this object.
    [[noreturn]] void AssignError(TPersistent* Source);
};

// ---------------------------------------------------------------------------
// Filers.  The reader of form resources lives in classlib/streaming; the
// component model only needs these interfaces.
class TFiler : public TObject {
    KV_CLASS(TFiler)
public:
    // ReadData is called when the property named Name is met in the resource;
    // it reads the value through the reader.  HasData matters to writers only.
    virtual void DefineProperty(const UnicodeString& Name, TReaderProc ReadData, TWriterProc WriteData,
                                bool HasData) = 0;
    // ReadData receives a stream holding exactly the stored bytes,
    // positioned at 0.
    virtual void DefineBinaryProperty(const UnicodeString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                      bool HasData) = 0;

    TComponent* Root() const { return FRoot; }
    TComponent* LookupRoot() const { return FLookupRoot; }
    TPersistent* Ancestor() const { return FAncestor; }

protected:
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
    TPersistent* FAncestor = nullptr;
};

class TReader : public TFiler {
    KV_CLASS(TReader)
public:
    // Reads the properties and children stored for Instance (the default
    // TComponent::ReadState calls this).
    virtual void ReadData(TComponent* Instance) = 0;

    // The component that encloses the one being read (its parent component).
    TComponent* Parent() const { return FParent; }
    // The owner of the components being created (the root).
    TComponent* Owner() const { return FOwner; }

    // Value access for DefineProperty read procedures.
    virtual int32_t ReadInteger() = 0;
    virtual int64_t ReadInt64() = 0;
    virtual bool ReadBoolean() = 0;
    virtual double ReadFloat() = 0;
    virtual UnicodeString ReadString() = 0;
    virtual UnicodeString ReadIdent() = 0;
    virtual void ReadListBegin() = 0;
    virtual void ReadListEnd() = 0;
    virtual bool EndOfList() = 0;

protected:
    TComponent* FParent = nullptr;
    TComponent* FOwner = nullptr;
};

// ---------------------------------------------------------------------------
// TComponent
enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

class TComponent : public TPersistent {
    KV_CLASS(TComponent)
public:
    static const TClassInfo* StaticClassInfo();
    const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }

    // Inserts the new component into AOwner's list (AOwner may be nullptr).
    // Create components with New<T>(AOwner) so that AfterConstruction runs.
    explicit TComponent(TComponent* AOwner);
    // Frees the owned components, tells every free-notification client and
    // leaves the owner's list.  A class whose owned components must go while
    // it is still whole (controls and forms: a component may put back the
    // owner's WindowProc in its destructor) frees them in BeforeDestruction.
    ~TComponent() override;
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    const UnicodeString& Name() const { return FName; }
    // Validates the new name (an identifier, or empty; unique among the
    // owner's components ignoring case): EComponentError otherwise.
    virtual void SetName(const UnicodeString& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    // Owned components.
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    // This component's index in its owner's list (-1 without owner).
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // Owned component by name, ignoring case; nullptr when there is none.
    TComponent* FindComponent(const UnicodeString& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, the last first; the owner's Notification
    // sees opRemove for each before it goes.
    void DestroyComponents();
    void Destroying();

    // State.
    TComponentState ComponentState() const { return FComponentState; }
    TComponentStyle ComponentStyle() const { return FComponentStyle; }
    void SetSubComponent(bool IsSubComponent);
    // Used by the reader and by the layer's own state changes.
    void IncludeState(TComponentStateItem Item) { FComponentState.Include(Item); }
    void ExcludeState(TComponentStateItem Item) { FComponentState.Exclude(Item); }
    void SetDesigning(bool Value, bool SetChildren = true);
    void SetInline(bool Value);

    // Called after the form resource holding this component has been read
    // completely; the default clears csLoading.
    virtual void Loaded();
    // Owner broadcasts: opInsert when a component joins this one's owner
    // list, opRemove when a component in it, or one this component asked
    // to be told about, goes away.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // AComponent's Notification(this, opRemove) is called when this
    // component is freed (and the other way round).
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Parent component (a control's Parent); the reader calls
    // SetParentComponent with the enclosing object before reading.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value) {}
    // Calls Proc for each child stored with this component under Root.
    virtual void GetChildren(TGetChildProc Proc, TComponent* Root) {}
    virtual void SetChildOrder(TComponent* Child, int Order) {}
    // Reads this component's properties and children: Reader->ReadData(this).
    virtual void ReadState(TReader* Reader);
    virtual void Updating() { FComponentState.Include(csUpdating); }
    virtual void Updated() { FComponentState.Exclude(csUpdating); }

    TPersistent* GetOwner() override { return FOwner; }
    UnicodeString GetNamePath() override { return FName; }

protected:
    virtual void ValidateRename(TComponent* AComponent, const UnicodeString& CurName, const UnicodeString& NewName);
    virtual void ValidateInsert(TComponent* AComponent) {}
    virtual void ChangeName(const UnicodeString& NewName) { FName = NewName; }

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void RemoveFreeNotifications();

    TComponent* FOwner = nullptr;
    UnicodeString FName;
    intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    TComponentStyle FComponentStyle = {csInheritable};
};

// True for "" and for A-Z a-z _ followed by those and digits.
bool IsValidIdent(const UnicodeString& Ident);

// ---------------------------------------------------------------------------
// Collections: a list of items of one class, owned by a persistent object
// and stored in form resources as <item ... end ...>.
class TCollectionItemClass {
public:
    using Factory = TCollectionItem* (*)(TCollection* Collection);
    constexpr TCollectionItemClass() = default;
    constexpr TCollectionItemClass(const wchar_t* AName, Factory ACreate) : FName(AName), FCreate(ACreate) {}
    // TCollectionItemClass::Of<TsStoredSkin>()
    template <class T>
    static TCollectionItemClass Of()
    {
        return TCollectionItemClass(T::StaticClassName(), [](TCollection* c) -> TCollectionItem* { return New<T>(c); });
    }
    const wchar_t* Name() const { return FName; }
    bool Assigned() const { return FCreate != nullptr; }
    TCollectionItem* Create(TCollection* Collection) const { return FCreate(Collection); }
    bool operator==(const TCollectionItemClass& o) const { return FCreate == o.FCreate; }

private:
    const wchar_t* FName = L"";
    Factory FCreate = nullptr;
};

class TCollectionItem : public TPersistent {
    KV_CLASS(TCollectionItem)
public:
    // Joins Collection (which may be nullptr) as its last item.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    UnicodeString DisplayName() { return GetDisplayName(); }
    virtual void SetDisplayName(const UnicodeString& Value);
    TPersistent* GetOwner() override;
    UnicodeString GetNamePath() override;

protected:
    // The default is the class name.
    virtual UnicodeString GetDisplayName();
    // Tells the collection this item (or, with AllItems, everything) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
    KV_CLASS(TCollection)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    TCollectionItemClass ItemClass() const { return FItemClass; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" for a bad index.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* operator[](int Index) const { return Items(Index); }
    // A new item made by the item class's constructor, appended.
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;
    void Assign(TPersistent* Source) override;
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    TPersistent* GetOwner() override { return nullptr; }
    UnicodeString GetNamePath() override;

protected:
    // Item is the changed item, or nullptr when the whole collection changed.
    virtual void Update(TCollectionItem* Item) {}
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
    virtual void Added(TCollectionItem* Item) {}
    void Changed();
    virtual UnicodeString GetAttrName(int Index) { return UnicodeString(); }
    void SetItemName(TCollectionItem* Item) {}

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

class TOwnedCollection : public TCollection {
    KV_CLASS(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;
};

// ---------------------------------------------------------------------------
// Class registry: component classes by name, for the form-resource reader
// and for class references.
class TComponentClass {
public:
    using Factory = TComponent* (*)(TComponent* AOwner);
    constexpr TComponentClass() = default;
    constexpr TComponentClass(const wchar_t* AName, Factory ACreate, const TClassInfo* (*AInfo)())
        : FName(AName), FCreate(ACreate), FInfo(AInfo) {}
    template <class T>
    static TComponentClass Of()
    {
        return TComponentClass(T::StaticClassName(), [](TComponent* o) -> TComponent* { return New<T>(o); },
                               &T::StaticClassInfo);
    }
    const wchar_t* Name() const { return FName; }
    bool Assigned() const { return FCreate != nullptr; }
    // Constructs with AOwner and runs AfterConstruction.
    TComponent* Create(TComponent* AOwner) const { return FCreate(AOwner); }
    const TClassInfo* ClassInfo() const { return FInfo ? FInfo() : nullptr; }

private:
    const wchar_t* FName = L"";
    Factory FCreate = nullptr;
    const TClassInfo* (*FInfo)() = nullptr;
};

// Registers a class under its ClassName; registering a name again replaces it.
// <windows.h> renames RegisterClass to RegisterClassW; the W spellings below
// lead to the same registry, whichever order the headers come in.
#pragma push_macro("RegisterClass")
#undef RegisterClass
void RegisterClass(const TComponentClass& AClass);
template <class T>
void RegisterClass() { RegisterClass(TComponentClass::Of<T>()); }
template <class... T>
void RegisterClasses() { (RegisterClass<T>(), ...); }
inline void RegisterClassW(const TComponentClass& AClass) { RegisterClass(AClass); }
template <class T>
void RegisterClassW() { RegisterClass<T>(); }
#pragma pop_macro("RegisterClass")
void UnRegisterClass(const UnicodeString& ClassName);
// The class registered under ClassName (ignoring case); empty when none.
TComponentClass GetClass(const UnicodeString& ClassName);
// As GetClass, but raises EClassNotFound "Class %s not found".
TComponentClass FindClass(const UnicodeString& ClassName);

// ---------------------------------------------------------------------------
// Form resources (implemented by classlib/streaming).
// Reads the form resources of Instance's class and of its ancestors up to,
// not including, the class named RootAncestor ("TForm"), ancestors first,
// from RT_RCDATA resources named after the upper-case class names.  Call it
// once the object is fully constructed (AfterConstruction), so that its
// ClassName and published tables are those of the most derived class.
// Answers false when no resource was found.
bool InitInheritedComponent(TComponent* Instance, const UnicodeString& RootAncestor);
// Reads the form resource ResName of the running module onto Instance.
// Raises EReadError when it is missing.
TComponent* ReadComponentRes(const UnicodeString& ResName, TComponent* Instance);
// Reads a form resource (text) from Stream onto Instance.
TComponent* ReadComponentResFromStream(TStream* Stream, TComponent* Instance);
