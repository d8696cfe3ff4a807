#include "skin/core/sSkinManager_Description.h"

#include <algorithm>
#include <vector>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinProps.h"

UnicodeString TsSkinDescription::ParentOf(const UnicodeString& Section)
{
    return FIni->ReadString(Section, s_ParentClass, UnicodeString());
}

// Walks Section and its parents until found() answers true for one of them.
template <class Found>
bool TsSkinDescription::Search(const UnicodeString& Section, Found found)
{
    std::vector<UnicodeString> visited;
    UnicodeString s = Section;
    for (;;) {
        if (found(s))
            return true;
        visited.push_back(s);
        const UnicodeString parent = ParentOf(s);
        if (parent.empty() || parent == L"?")
            return false;
        // Section names ignore case when values are read, so cycles do too.
        if (std::any_of(visited.begin(), visited.end(), [&](const UnicodeString& v) { return SameText(v, parent); }))
            return false;
        s = parent;
    }
}

UnicodeString TsSkinDescription::ReadString(const UnicodeString& Section, const UnicodeString& Key,
                                            const UnicodeString& Default)
{
    // No real value contains this text, so it marks "missing" unambiguously.
    static const UnicodeString missing(1, L'\x1');
    UnicodeString result = Default;
    Search(Section, [&](const UnicodeString& s) {
        UnicodeString v = FIni->ReadString(s, Key, missing);
        if (v == missing || v == L"?")
            return false;
        result = v;
        return true;
    });
    return result;
}

int TsSkinDescription::ReadInteger(const UnicodeString& Section, const UnicodeString& Key, int Default)
{
    int result = Default;
    Search(Section, [&](const UnicodeString& s) {
        int v = FIni->ReadInteger(s, Key, -1);
        if (v == -1)
            return false;
        result = v;
        return true;
    });
    return result;
}
