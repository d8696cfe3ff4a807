// Published properties and methods: one table per class, chained to the
// parent class's table.  The same table serves form resources and the
// routines that read and write properties by name.
//
// Declaring a class's table:
//
//   // in the class (after KV_CLASS):
//   class TMyPanel : public TWinControl {
//       KV_CLASS(TMyPanel)
//       KV_PUBLISHED
//   ...
//   // in the .cpp:
//   KV_BEGIN_PUBLISHED(TMyPanel, TWinControl)
//       B.Int(L"BevelWidth", &C::BevelWidth, &C::SetBevelWidth, 1);
//       B.Enum(L"Align", &C::Align, &C::SetAlign, alNone, {L"alNone", L"alTop", ...}, L"TAlign");
//       B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
//       B.Str(L"Caption", &C::Caption, &C::SetCaption);
//       B.Set(L"Anchors", &C::Anchors, &C::SetAnchors, 3, {L"akLeft", L"akTop", ...});
//       B.Object(L"Font", &C::Font, &C::SetFont);     // owned, filled in place
//       B.Ref(L"PopupMenu", &C::PopupMenu, &C::SetPopupMenu); // link by name
//       B.Event(L"OnClick", &C::OnClick);            // a TMethod<...> field
//       B.Method(L"Button1Click", &C::Button1Click); // a form's handler
//   KV_END_PUBLISHED
//
// Getters may be member functions (const or not) or fields; setters may be
// member functions, fields, or nullptr for read-only properties.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "classlib/rtl/Classes.h"

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration, // Boolean included: elements False, True
    tkFloat,
    tkString,
    tkSet,
    tkClass, // an owned sub-object, or a component reference (IsReference)
    tkMethod,
    tkInt64
};

// ---------------------------------------------------------------------------
// A bound method of any signature: what an event property holds, seen
// without its type.  As<Sig>() gives it back typed; a signature mismatch
// raises EPropertyError.
class TMethodValue {
    std::any FValue;
    void* FData = nullptr;
    bool FAssigned = false;

public:
    TMethodValue() = default;
    template <class Sig>
    TMethodValue(const TMethod<Sig>& m) : FValue(m), FData(m.Data()), FAssigned(m.Assigned())
    {
    }

    bool Assigned() const { return FAssigned; }
    void* Data() const { return FData; }
    bool HasType() const { return FValue.has_value(); }
    const std::type_info& Type() const { return FValue.type(); }
    template <class Sig>
    bool Holds() const
    {
        return std::any_cast<TMethod<Sig>>(&FValue) != nullptr;
    }
    template <class Sig>
    TMethod<Sig> As() const
    {
        if (!FValue.has_value())
            return TMethod<Sig>();
        if (const TMethod<Sig>* m = std::any_cast<TMethod<Sig>>(&FValue))
            return *m;
        ThrowMismatch();
    }

private:
    [[noreturn]] static void ThrowMismatch();
};

// ---------------------------------------------------------------------------
struct TPropInfo {
    UnicodeString Name;
    TTypeKind Kind = tkUnknown;
    // "Integer", "Boolean", "TColor", "TAlign"...: integer properties whose
    // type has registered identifiers (RegisterIntegerConsts) accept them.
    UnicodeString TypeName;
    // Writers leave out a value equal to the default; a Default of
    // NoDefault means "always stored".
    static constexpr int64_t NoDefault = INT64_MIN;
    int64_t Default = NoDefault;
    UnicodeString DefaultString;
    // Element names of an enumeration (value i) or of a set (bit i).
    std::vector<UnicodeString> Names;
    // tkClass: a component found by name rather than an owned sub-object.
    bool IsReference = false;

    std::function<int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<UnicodeString(TObject*)> GetStr;
    std::function<void(TObject*, const UnicodeString&)> SetStr;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;
    // tkClass: whether a value is of the property's class.
    std::function<bool(TObject*)> AcceptsObject;
    std::function<TMethodValue(TObject*)> GetMethod;
    std::function<void(TObject*, const TMethodValue&)> SetMethod;
    // tkMethod: the TMethod<Sig> type the event holds.
    const std::type_info* MethodType = nullptr;

    bool Writable() const { return SetOrd || SetFloat || SetStr || SetObj || SetMethod; }
};

// A published method (a form's event handler) bound to an instance on demand.
struct TMethodEntry {
    UnicodeString Name;
    std::function<TMethodValue(TObject*)> Bind;
};

struct TClassInfo {
    const wchar_t* Name;
    const TClassInfo* Parent;
    std::vector<TPropInfo> Props;     // this class's own, in declaration order
    std::vector<TMethodEntry> Methods; // this class's own

    TClassInfo(const wchar_t* AName, const TClassInfo* AParent) : Name(AName), Parent(AParent) {}
    // Search this class, then its ancestors; names ignore case.
    const TPropInfo* FindProp(const UnicodeString& PropName) const;
    const TMethodEntry* FindMethod(const UnicodeString& MethodName) const;
    bool InheritsFrom(const UnicodeString& ClassName) const;
};

// ---------------------------------------------------------------------------
// Table-building helpers (used through KV_BEGIN_PUBLISHED).
namespace typinfo_detail {
template <class C, class G>
decltype(auto) Get(C* obj, G get)
{
    if constexpr (std::is_member_function_pointer_v<G>)
        return (obj->*get)();
    else
        return (obj->*get);
}

template <class C, class S, class V>
void Put(C* obj, S set, V&& value)
{
    if constexpr (std::is_member_function_pointer_v<S>)
        (obj->*set)(std::forward<V>(value));
    else
        obj->*set = std::forward<V>(value);
}

template <class C, class G>
using ValueOf = std::remove_cvref_t<decltype(Get(static_cast<C*>(nullptr), std::declval<G>()))>;

template <class T, class = void>
struct IsSet : std::false_type {};
template <class T>
struct IsSet<T, std::void_t<decltype(T::FromOrd(0u)), decltype(std::declval<T>().Ord())>> : std::true_type {};

template <class V>
int64_t ToOrd(const V& v)
{
    if constexpr (IsSet<V>::value)
        return static_cast<int64_t>(v.Ord());
    else if constexpr (std::is_same_v<V, bool>)
        return v ? 1 : 0;
    else
        return static_cast<int64_t>(v);
}

template <class V>
V FromOrd(int64_t v)
{
    if constexpr (IsSet<V>::value)
        return V::FromOrd(static_cast<uint32_t>(v));
    else if constexpr (std::is_same_v<V, bool>)
        return v != 0;
    else
        return static_cast<V>(v);
}

template <class T>
struct MethodSig;
template <class Sig>
struct MethodSig<TMethod<Sig>> {
    using type = Sig;
};
} // namespace typinfo_detail

template <class C>
class TPublisher {
    TClassInfo* FInfo;

    TPropInfo& NewProp(const wchar_t* Name, TTypeKind Kind)
    {
        FInfo->Props.emplace_back();
        TPropInfo& p = FInfo->Props.back();
        p.Name = Name;
        p.Kind = Kind;
        return p;
    }

    template <class G, class S>
    TPropInfo& Ordinal(const wchar_t* Name, TTypeKind Kind, G get, S set, int64_t Default)
    {
        using namespace typinfo_detail;
        using V = ValueOf<C, G>;
        TPropInfo& p = NewProp(Name, Kind);
        p.Default = Default;
        p.GetOrd = [get](TObject* o) -> int64_t { return ToOrd<V>(Get(static_cast<C*>(o), get)); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetOrd = [set](TObject* o, int64_t v) { Put(static_cast<C*>(o), set, FromOrd<V>(v)); };
        return p;
    }

public:
    explicit TPublisher(TClassInfo* Info) : FInfo(Info) {}

    template <class G, class S>
    TPropInfo& Int(const wchar_t* Name, G get, S set, int64_t Default = 0, const wchar_t* TypeName = L"Integer")
    {
        TPropInfo& p = Ordinal(Name, tkInteger, get, set, Default);
        p.TypeName = TypeName;
        return p;
    }

    template <class G, class S>
    TPropInfo& Int64(const wchar_t* Name, G get, S set, int64_t Default = 0)
    {
        TPropInfo& p = Ordinal(Name, tkInt64, get, set, Default);
        p.TypeName = L"Int64";
        return p;
    }

    template <class G, class S>
    TPropInfo& Char(const wchar_t* Name, G get, S set, wchar_t Default = 0)
    {
        TPropInfo& p = Ordinal(Name, tkChar, get, set, Default);
        p.TypeName = L"Char";
        return p;
    }

    template <class G, class S>
    TPropInfo& Enum(const wchar_t* Name, G get, S set, int64_t Default, std::initializer_list<const wchar_t*> Names,
                    const wchar_t* TypeName = L"")
    {
        TPropInfo& p = Ordinal(Name, tkEnumeration, get, set, Default);
        p.TypeName = TypeName;
        for (const wchar_t* n : Names)
            p.Names.emplace_back(n);
        return p;
    }

    template <class G, class S>
    TPropInfo& Bool(const wchar_t* Name, G get, S set, bool Default = false)
    {
        return Enum(Name, get, set, Default ? 1 : 0, {L"False", L"True"}, L"Boolean");
    }

    template <class G, class S>
    TPropInfo& Set(const wchar_t* Name, G get, S set, uint32_t Default, std::initializer_list<const wchar_t*> Names,
                   const wchar_t* TypeName = L"")
    {
        TPropInfo& p = Ordinal(Name, tkSet, get, set, Default);
        p.TypeName = TypeName;
        for (const wchar_t* n : Names)
            p.Names.emplace_back(n);
        return p;
    }

    template <class G, class S>
    TPropInfo& Float(const wchar_t* Name, G get, S set)
    {
        using namespace typinfo_detail;
        using V = ValueOf<C, G>;
        TPropInfo& p = NewProp(Name, tkFloat);
        p.TypeName = L"Double";
        p.GetFloat = [get](TObject* o) -> double { return static_cast<double>(Get(static_cast<C*>(o), get)); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetFloat = [set](TObject* o, double v) { Put(static_cast<C*>(o), set, static_cast<V>(v)); };
        return p;
    }

    template <class G, class S>
    TPropInfo& Str(const wchar_t* Name, G get, S set, const wchar_t* Default = L"")
    {
        using namespace typinfo_detail;
        TPropInfo& p = NewProp(Name, tkString);
        p.TypeName = L"string";
        p.DefaultString = Default;
        p.GetStr = [get](TObject* o) -> UnicodeString { return UnicodeString(Get(static_cast<C*>(o), get)); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetStr = [set](TObject* o, const UnicodeString& v) { Put(static_cast<C*>(o), set, UnicodeString(v)); };
        return p;
    }

    // An owned sub-object (font, string list, collection, skin data): the
    // reader fills it in place through the getter; the setter, when given,
    // is used by SetObjectProp (typically an Assign).
    template <class G, class S = std::nullptr_t>
    TPropInfo& Object(const wchar_t* Name, G get, S set = nullptr)
    {
        TPropInfo& p = ClassProp(Name, get, set);
        p.IsReference = false;
        return p;
    }

    // A link to another component, stored as its name and resolved after the
    // whole form has been read.
    template <class G, class S>
    TPropInfo& Ref(const wchar_t* Name, G get, S set)
    {
        TPropInfo& p = ClassProp(Name, get, set);
        p.IsReference = true;
        return p;
    }

    // An event held in a TMethod<Sig> field.
    template <class F>
    TPropInfo& Event(const wchar_t* Name, F field)
    {
        return Event(Name, field, field);
    }

    // An event with a getter and a setter (or fields).
    template <class G, class S>
    TPropInfo& Event(const wchar_t* Name, G get, S set)
    {
        using namespace typinfo_detail;
        using M = ValueOf<C, G>;
        using Sig = typename MethodSig<M>::type;
        TPropInfo& p = NewProp(Name, tkMethod);
        p.MethodType = &typeid(M);
        p.GetMethod = [get](TObject* o) -> TMethodValue { return TMethodValue(M(Get(static_cast<C*>(o), get))); };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetMethod = [set](TObject* o, const TMethodValue& v) {
                Put(static_cast<C*>(o), set, v.template As<Sig>());
            };
        return p;
    }

    // A published method: a handler that form resources bind events to.
    template <class R, class CM, class... A>
    void Method(const wchar_t* Name, R (CM::*fn)(A...))
    {
        FInfo->Methods.push_back(TMethodEntry{Name, [fn](TObject* o) -> TMethodValue {
                                                   return TMethodValue(TMethod<R(A...)>(static_cast<CM*>(static_cast<C*>(o)), fn));
                                               }});
    }

private:
    template <class G, class S>
    TPropInfo& ClassProp(const wchar_t* Name, G get, S set)
    {
        using namespace typinfo_detail;
        using P = ValueOf<C, G>; // T*
        using T = std::remove_pointer_t<P>;
        TPropInfo& p = NewProp(Name, tkClass);
        p.TypeName = T::StaticClassName();
        p.GetObj = [get](TObject* o) -> TObject* { return Get(static_cast<C*>(o), get); };
        p.AcceptsObject = [](TObject* v) { return v == nullptr || dynamic_cast<T*>(v) != nullptr; };
        if constexpr (!std::is_null_pointer_v<S>)
            p.SetObj = [set](TObject* o, TObject* v) { Put(static_cast<C*>(o), set, dynamic_cast<T*>(v)); };
        return p;
    }
};

// In the class body: declares the class's published table.
#define KV_PUBLISHED                                                                  \
public:                                                                               \
    static const TClassInfo* StaticClassInfo();                                       \
    const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }        \
                                                                                      \
private:

// In the .cpp: defines it.  Inside, C names the class and B is the publisher.
#define KV_BEGIN_PUBLISHED(Class, ParentClass)                                        \
    const TClassInfo* Class::StaticClassInfo()                                        \
    {                                                                                 \
        static const TClassInfo* info = [] {                                          \
            using C = Class;                                                          \
            static_assert(sizeof(C) > 0);                                             \
            TClassInfo* ci = new TClassInfo(L## #Class, ParentClass::StaticClassInfo()); \
            TPublisher<Class> B(ci);

#define KV_END_PUBLISHED                                                              \
            (void)B;                                                                  \
            return static_cast<const TClassInfo*>(ci);                                \
        }();                                                                          \
        return info;                                                                  \
    }

// ---------------------------------------------------------------------------
// Property access by name.  Instances without a table (not TPersistent) have
// no properties.  Unknown properties raise EPropertyError
// "Property X does not exist"; a property of another kind raises
// EPropertyError "Invalid property type: X".
// (<windows.h> renames GetClassInfo to GetClassInfoW: both spellings work.)
#pragma push_macro("GetClassInfo")
#undef GetClassInfo
const TClassInfo* GetClassInfo(TObject* Instance);
inline const TClassInfo* GetClassInfoW(TObject* Instance) { return GetClassInfo(Instance); }
#pragma pop_macro("GetClassInfo")
const TPropInfo* GetPropInfo(TObject* Instance, const UnicodeString& PropName); // nullptr when none
const TPropInfo* GetPropInfo(const TClassInfo* Info, const UnicodeString& PropName);
bool IsPublishedProp(TObject* Instance, const UnicodeString& PropName);
inline bool HasProperty(TObject* Instance, const UnicodeString& PropName) { return IsPublishedProp(Instance, PropName); }
// All published properties, ancestors' first; a redeclared property appears
// once, where the ancestor declared it.
std::vector<const TPropInfo*> GetPropList(TObject* Instance);
std::vector<const TPropInfo*> GetPropList(const TClassInfo* Info);
TTypeKind PropType(TObject* Instance, const UnicodeString& PropName);
bool PropIsType(TObject* Instance, const UnicodeString& PropName, TTypeKind Kind);

// Ordinal: integer, char, enumeration, Boolean, set (bit mask).
int64_t GetOrdProp(TObject* Instance, const UnicodeString& PropName);
void SetOrdProp(TObject* Instance, const UnicodeString& PropName, int64_t Value);
int64_t GetOrdProp(TObject* Instance, const TPropInfo* Prop);
void SetOrdProp(TObject* Instance, const TPropInfo* Prop, int64_t Value);
inline int GetIntProp(TObject* Instance, const UnicodeString& PropName)
{
    return static_cast<int>(GetOrdProp(Instance, PropName));
}
inline void SetIntProp(TObject* Instance, const UnicodeString& PropName, int Value)
{
    SetOrdProp(Instance, PropName, Value);
}
UnicodeString GetEnumProp(TObject* Instance, const UnicodeString& PropName);
// By element name (ignoring case), or a number in range; EPropertyError otherwise.
void SetEnumProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value);
// Set text: "a,b" ("[a,b]" with Brackets).
UnicodeString GetSetProp(TObject* Instance, const UnicodeString& PropName, bool Brackets = false);
// Accepts "a,b", "[a, b]", "[]"; an unknown element raises EPropertyError.
void SetSetProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value);
// Adds or removes one element of a set property, by name.
void IncludeSetElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element);
void ExcludeSetElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element);
bool SetHasElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element);

UnicodeString GetStrProp(TObject* Instance, const UnicodeString& PropName);
void SetStrProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value);
double GetFloatProp(TObject* Instance, const UnicodeString& PropName);
void SetFloatProp(TObject* Instance, const UnicodeString& PropName, double Value);

TObject* GetObjectProp(TObject* Instance, const UnicodeString& PropName);
inline TObject* GetObjProp(TObject* Instance, const UnicodeString& PropName) { return GetObjectProp(Instance, PropName); }
// Value must be of the property's class (or nullptr): EPropertyError otherwise.
void SetObjectProp(TObject* Instance, const UnicodeString& PropName, TObject* Value);

TMethodValue GetMethodProp(TObject* Instance, const UnicodeString& PropName);
// A value of another signature raises EPropertyError; an empty value clears.
void SetMethodProp(TObject* Instance, const UnicodeString& PropName, const TMethodValue& Value);
template <class Sig>
TMethod<Sig> GetMethodProp(TObject* Instance, const UnicodeString& PropName)
{
    return GetMethodProp(Instance, PropName).template As<Sig>();
}

// A published method of Instance's class, bound to Instance; an empty value
// when there is none.
TMethodValue MethodAddress(TObject* Instance, const UnicodeString& MethodName);
bool HasPublishedMethod(TObject* Instance, const UnicodeString& MethodName);

// Element names.
UnicodeString GetEnumName(const TPropInfo* Prop, int64_t Value);
int GetEnumValue(const TPropInfo* Prop, const UnicodeString& Name); // -1 when unknown
UnicodeString SetToString(const TPropInfo* Prop, uint32_t Value, bool Brackets = false);
uint32_t StringToSet(const TPropInfo* Prop, const UnicodeString& Value);

// Identifiers of integer types ("clBtnFace" for TColor), registered by the
// unit that owns the type; form resources may store them.
using TIdentToInt = bool (*)(const UnicodeString& Ident, int64_t& Value);
using TIntToIdent = bool (*)(int64_t Value, UnicodeString& Ident);
void RegisterIntegerConsts(const UnicodeString& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
bool IdentToIntOfType(const UnicodeString& TypeName, const UnicodeString& Ident, int64_t& Value);
bool IntToIdentOfType(const UnicodeString& TypeName, int64_t Value, UnicodeString& Ident);
