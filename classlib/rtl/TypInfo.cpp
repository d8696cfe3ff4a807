#include "classlib/rtl/TypInfo.h"

#include <set>

#include "classlib/rtl/SysUtils.h"

namespace {

[[noreturn]] void UnknownProperty(const UnicodeString& Name)
{
    throw EPropertyError(L"Property " + Name + L" does not exist");
}

[[noreturn]] void InvalidType(const TPropInfo* Prop)
{
    throw EPropertyError(L"Invalid property type: " + Prop->Name);
}

[[noreturn]] void ReadOnly(const TPropInfo* Prop)
{
    throw EPropertyError(L"Property " + Prop->Name + L" is read-only");
}

const TPropInfo* NeedProp(TObject* Instance, const UnicodeString& Name)
{
    const TPropInfo* p = GetPropInfo(Instance, Name);
    if (!p)
        UnknownProperty(Name);
    return p;
}

bool IsOrdinal(TTypeKind k)
{
    return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet || k == tkInt64;
}

const TPropInfo* NeedKind(TObject* Instance, const UnicodeString& Name, TTypeKind Kind)
{
    const TPropInfo* p = NeedProp(Instance, Name);
    if (p->Kind != Kind)
        InvalidType(p);
    return p;
}

struct IntConsts {
    UnicodeString TypeName;
    TIdentToInt IdentToInt;
    TIntToIdent IntToIdent;
};

std::vector<IntConsts>& IntConstList()
{
    static std::vector<IntConsts> list;
    return list;
}

} // namespace

void TMethodValue::ThrowMismatch()
{
    throw EPropertyError(L"Incompatible method type");
}

// ---------------------------------------------------------------------------
// Tables

const TClassInfo* TPersistent::StaticClassInfo()
{
    static const TClassInfo info(L"TPersistent", nullptr);
    return &info;
}

KV_BEGIN_PUBLISHED(TComponent, TPersistent)
    B.Str(L"Name", &C::Name, &C::SetName);
    B.Int(L"Tag", &C::Tag, &C::SetTag, 0);
KV_END_PUBLISHED

const TPropInfo* TClassInfo::FindProp(const UnicodeString& PropName) const
{
    for (const TClassInfo* ci = this; ci; ci = ci->Parent)
        for (const TPropInfo& p : ci->Props)
            if (SameText(p.Name, PropName))
                return &p;
    return nullptr;
}

const TMethodEntry* TClassInfo::FindMethod(const UnicodeString& MethodName) const
{
    for (const TClassInfo* ci = this; ci; ci = ci->Parent)
        for (const TMethodEntry& m : ci->Methods)
            if (SameText(m.Name, MethodName))
                return &m;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const UnicodeString& ClassName) const
{
    for (const TClassInfo* ci = this; ci; ci = ci->Parent)
        if (SameText(ci->Name, ClassName))
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Lookup

const TClassInfo* GetClassInfo(TObject* Instance)
{
    TPersistent* p = dynamic_cast<TPersistent*>(Instance);
    return p ? p->ClassInfo() : nullptr;
}

const TPropInfo* GetPropInfo(const TClassInfo* Info, const UnicodeString& PropName)
{
    return Info ? Info->FindProp(PropName) : nullptr;
}

const TPropInfo* GetPropInfo(TObject* Instance, const UnicodeString& PropName)
{
    return GetPropInfo(GetClassInfo(Instance), PropName);
}

bool IsPublishedProp(TObject* Instance, const UnicodeString& PropName)
{
    return GetPropInfo(Instance, PropName) != nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo* Info)
{
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* ci = Info; ci; ci = ci->Parent)
        chain.push_back(ci);
    std::vector<const TPropInfo*> list;
    std::set<UnicodeString> seen;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->Props) {
            UnicodeString key = UpperCase(p.Name);
            if (seen.insert(key).second) {
                list.push_back(&p);
            } else {
                // A redeclaration in a descendant replaces the entry in place.
                for (auto& e : list)
                    if (SameText(e->Name, p.Name))
                        e = &p;
            }
        }
    return list;
}

std::vector<const TPropInfo*> GetPropList(TObject* Instance)
{
    return GetPropList(GetClassInfo(Instance));
}

TTypeKind PropType(TObject* Instance, const UnicodeString& PropName)
{
    return NeedProp(Instance, PropName)->Kind;
}

bool PropIsType(TObject* Instance, const UnicodeString& PropName, TTypeKind Kind)
{
    return PropType(Instance, PropName) == Kind;
}

// ---------------------------------------------------------------------------
// Ordinal properties

int64_t GetOrdProp(TObject* Instance, const TPropInfo* Prop)
{
    if (!IsOrdinal(Prop->Kind) || !Prop->GetOrd)
        InvalidType(Prop);
    return Prop->GetOrd(Instance);
}

void SetOrdProp(TObject* Instance, const TPropInfo* Prop, int64_t Value)
{
    if (!IsOrdinal(Prop->Kind))
        InvalidType(Prop);
    if (!Prop->SetOrd)
        ReadOnly(Prop);
    Prop->SetOrd(Instance, Value);
}

int64_t GetOrdProp(TObject* Instance, const UnicodeString& PropName)
{
    return GetOrdProp(Instance, NeedProp(Instance, PropName));
}

void SetOrdProp(TObject* Instance, const UnicodeString& PropName, int64_t Value)
{
    SetOrdProp(Instance, NeedProp(Instance, PropName), Value);
}

UnicodeString GetEnumName(const TPropInfo* Prop, int64_t Value)
{
    if (Value >= 0 && Value < static_cast<int64_t>(Prop->Names.size()))
        return Prop->Names[static_cast<size_t>(Value)];
    return std::to_wstring(Value);
}

int GetEnumValue(const TPropInfo* Prop, const UnicodeString& Name)
{
    for (size_t i = 0; i < Prop->Names.size(); ++i)
        if (SameText(Prop->Names[i], Name))
            return static_cast<int>(i);
    return -1;
}

UnicodeString GetEnumProp(TObject* Instance, const UnicodeString& PropName)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkEnumeration);
    return GetEnumName(p, GetOrdProp(Instance, p));
}

void SetEnumProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkEnumeration);
    int v = GetEnumValue(p, Trim(Value));
    if (v < 0) {
        // A number in range is accepted as well.
        UnicodeString t = Trim(Value);
        bool digits = !t.empty() && t.size() < 9;
        for (wchar_t c : t)
            digits = digits && c >= L'0' && c <= L'9';
        if (digits && std::stoi(t) < static_cast<int>(p->Names.size()))
            v = std::stoi(t);
    }
    if (v < 0)
        throw EPropertyError(L"Invalid enumeration value " + Value + L" for property " + p->Name);
    SetOrdProp(Instance, p, v);
}

UnicodeString SetToString(const TPropInfo* Prop, uint32_t Value, bool Brackets)
{
    UnicodeString r;
    for (size_t i = 0; i < 32; ++i) {
        if (!(Value & (uint32_t(1) << i)))
            continue;
        if (!r.empty())
            r += L',';
        r += i < Prop->Names.size() ? Prop->Names[i] : std::to_wstring(i);
    }
    return Brackets ? L"[" + r + L"]" : r;
}

uint32_t StringToSet(const TPropInfo* Prop, const UnicodeString& Value)
{
    UnicodeString s = Trim(Value);
    if (!s.empty() && s.front() == L'[') {
        if (s.back() != L']')
            throw EPropertyError(L"Invalid set text " + Value + L" for property " + Prop->Name);
        s = s.substr(1, s.size() - 2);
    }
    uint32_t result = 0;
    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(L',', start);
        UnicodeString item = Trim(s.substr(start, comma == UnicodeString::npos ? UnicodeString::npos : comma - start));
        if (!item.empty()) {
            int bit = GetEnumValue(Prop, item);
            if (bit < 0 || bit >= 32)
                throw EPropertyError(L"Invalid property element: " + item + L" in " + Prop->Name);
            result |= uint32_t(1) << bit;
        } else if (comma != UnicodeString::npos) {
            throw EPropertyError(L"Invalid set text " + Value + L" for property " + Prop->Name);
        }
        if (comma == UnicodeString::npos)
            break;
        start = comma + 1;
    }
    return result;
}

UnicodeString GetSetProp(TObject* Instance, const UnicodeString& PropName, bool Brackets)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkSet);
    return SetToString(p, static_cast<uint32_t>(GetOrdProp(Instance, p)), Brackets);
}

void SetSetProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkSet);
    SetOrdProp(Instance, p, StringToSet(p, Value));
}

namespace {
int SetBit(const TPropInfo* p, const UnicodeString& Element)
{
    int bit = GetEnumValue(p, Trim(Element));
    if (bit < 0 || bit >= 32)
        throw EPropertyError(L"Invalid property element: " + Element + L" in " + p->Name);
    return bit;
}
} // namespace

void IncludeSetElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkSet);
    uint32_t v = static_cast<uint32_t>(GetOrdProp(Instance, p));
    SetOrdProp(Instance, p, v | (uint32_t(1) << SetBit(p, Element)));
}

void ExcludeSetElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkSet);
    uint32_t v = static_cast<uint32_t>(GetOrdProp(Instance, p));
    SetOrdProp(Instance, p, v & ~(uint32_t(1) << SetBit(p, Element)));
}

bool SetHasElement(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Element)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkSet);
    uint32_t v = static_cast<uint32_t>(GetOrdProp(Instance, p));
    return (v & (uint32_t(1) << SetBit(p, Element))) != 0;
}

// ---------------------------------------------------------------------------
// Strings, floats, objects, methods

UnicodeString GetStrProp(TObject* Instance, const UnicodeString& PropName)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkString);
    return p->GetStr(Instance);
}

void SetStrProp(TObject* Instance, const UnicodeString& PropName, const UnicodeString& Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkString);
    if (!p->SetStr)
        ReadOnly(p);
    p->SetStr(Instance, Value);
}

double GetFloatProp(TObject* Instance, const UnicodeString& PropName)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkFloat);
    return p->GetFloat(Instance);
}

void SetFloatProp(TObject* Instance, const UnicodeString& PropName, double Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkFloat);
    if (!p->SetFloat)
        ReadOnly(p);
    p->SetFloat(Instance, Value);
}

TObject* GetObjectProp(TObject* Instance, const UnicodeString& PropName)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkClass);
    return p->GetObj(Instance);
}

void SetObjectProp(TObject* Instance, const UnicodeString& PropName, TObject* Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkClass);
    if (!p->SetObj)
        ReadOnly(p);
    if (p->AcceptsObject && !p->AcceptsObject(Value))
        throw EPropertyError(L"Invalid property value: a " + Value->ClassName() + L" is not a " + p->TypeName);
    p->SetObj(Instance, Value);
}

TMethodValue GetMethodProp(TObject* Instance, const UnicodeString& PropName)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkMethod);
    return p->GetMethod(Instance);
}

void SetMethodProp(TObject* Instance, const UnicodeString& PropName, const TMethodValue& Value)
{
    const TPropInfo* p = NeedKind(Instance, PropName, tkMethod);
    if (!p->SetMethod)
        ReadOnly(p);
    try {
        p->SetMethod(Instance, Value);
    } catch (const EPropertyError&) {
        throw EPropertyError(L"Incompatible method type for property " + p->Name);
    }
}

TMethodValue MethodAddress(TObject* Instance, const UnicodeString& MethodName)
{
    const TClassInfo* ci = GetClassInfo(Instance);
    const TMethodEntry* m = ci ? ci->FindMethod(MethodName) : nullptr;
    return m ? m->Bind(Instance) : TMethodValue();
}

bool HasPublishedMethod(TObject* Instance, const UnicodeString& MethodName)
{
    const TClassInfo* ci = GetClassInfo(Instance);
    return ci && ci->FindMethod(MethodName);
}

// ---------------------------------------------------------------------------
// Integer identifiers

void RegisterIntegerConsts(const UnicodeString& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent)
{
    for (auto& c : IntConstList())
        if (SameText(c.TypeName, TypeName)) {
            c.IdentToInt = IdentToInt;
            c.IntToIdent = IntToIdent;
            return;
        }
    IntConstList().push_back(IntConsts{TypeName, IdentToInt, IntToIdent});
}

bool IdentToIntOfType(const UnicodeString& TypeName, const UnicodeString& Ident, int64_t& Value)
{
    for (auto& c : IntConstList())
        if (SameText(c.TypeName, TypeName))
            return c.IdentToInt && c.IdentToInt(Ident, Value);
    return false;
}

bool IntToIdentOfType(const UnicodeString& TypeName, int64_t Value, UnicodeString& Ident)
{
    for (auto& c : IntConstList())
        if (SameText(c.TypeName, TypeName))
            return c.IntToIdent && c.IntToIdent(Value, Ident);
    return false;
}
