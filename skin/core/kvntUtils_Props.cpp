// Published properties by name, through the class tables of the class library.
#include "skin/core/kvntUtils.h"

#include <algorithm>
#include <vector>

#include "classlib/rtl/TypInfo.h"

namespace {

const TPropInfo* FindProp(TObject* Component, const UnicodeString& PropName)
{
    return Component ? GetPropInfo(Component, PropName) : nullptr;
}

bool IsOrdinal(const TPropInfo* p)
{
    switch (p->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
        return true;
    default:
        return false;
    }
}

const TPropInfo* FindSetProp(TObject* Component, const UnicodeString& PropName)
{
    const TPropInfo* p = FindProp(Component, PropName);
    return p && p->Kind == tkSet && p->GetOrd ? p : nullptr;
}

// The bit of the element named Element, -1 when the set type has none.
int ElementBit(const TPropInfo* p, const UnicodeString& Element)
{
    size_t n = std::min<size_t>(p->Names.size(), 32);
    for (size_t i = 0; i < n; ++i)
        if (p->Names[i] == Element)
            return static_cast<int>(i);
    return -1;
}

} // namespace

namespace kvntUtils {

bool HasProperty(TObject* Component, const UnicodeString& PropName)
{
    return FindProp(Component, PropName) != nullptr;
}

TObject* GetObjProp(TObject* Component, const UnicodeString& PropName)
{
    const TPropInfo* p = FindProp(Component, PropName);
    return p && p->Kind == tkClass && p->GetObj ? p->GetObj(Component) : nullptr;
}

void SetObjProp(TObject* Component, const UnicodeString& PropName, TObject* Value)
{
    const TPropInfo* p = FindProp(Component, PropName);
    if (p && p->Kind == tkClass && p->SetObj && (!p->AcceptsObject || p->AcceptsObject(Value)))
        p->SetObj(Component, Value);
}

int GetIntProp(TObject* Component, const UnicodeString& PropName)
{
    const TPropInfo* p = FindProp(Component, PropName);
    return p && IsOrdinal(p) && p->GetOrd ? static_cast<int>(p->GetOrd(Component)) : -1;
}

void SetIntProp(TObject* Component, const UnicodeString& PropName, int Value)
{
    const TPropInfo* p = FindProp(Component, PropName);
    if (p && IsOrdinal(p) && p->SetOrd)
        p->SetOrd(Component, Value);
}

bool CheckSetProp(TObject* Component, const UnicodeString& PropName, const UnicodeString& Element)
{
    const TPropInfo* p = FindSetProp(Component, PropName);
    if (!p)
        return false;
    int bit = ElementBit(p, Element);
    return bit >= 0 && ((static_cast<uint32_t>(p->GetOrd(Component)) >> bit) & 1u);
}

bool SetSetPropValue(TObject* Component, const UnicodeString& PropName, const UnicodeString& Element, bool Include)
{
    // Works on the elements themselves: a set already holding the element is
    // left alone, and removing "akTop" never touches "akTopLeft".
    const TPropInfo* p = FindSetProp(Component, PropName);
    if (!p || !p->SetOrd)
        return false;
    int bit = ElementBit(p, Element);
    if (bit < 0)
        return false;
    uint32_t value = static_cast<uint32_t>(p->GetOrd(Component));
    uint32_t changed = Include ? value | (1u << bit) : value & ~(1u << bit);
    if (changed != value)
        p->SetOrd(Component, changed);
    return false;
}

} // namespace kvntUtils
