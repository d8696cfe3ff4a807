// Shortcuts and their texts ("Ctrl+Ins", "Shift+F10").
#include "classlib/controls/Menus.h"

#include "classlib/rtl/SysUtils.h"

namespace {
struct TKeyName {
    WORD Key;
    const wchar_t* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, L"BkSp"}, {VK_TAB, L"Tab"}, {VK_RETURN, L"Enter"}, {VK_ESCAPE, L"Esc"}, {VK_SPACE, L"Space"},
    {VK_PRIOR, L"PgUp"}, {VK_NEXT, L"PgDn"}, {VK_END, L"End"}, {VK_HOME, L"Home"}, {VK_LEFT, L"Left"},
    {VK_UP, L"Up"}, {VK_RIGHT, L"Right"}, {VK_DOWN, L"Down"}, {VK_INSERT, L"Ins"}, {VK_DELETE, L"Del"},
};
const wchar_t ShiftText[] = L"Shift+";
const wchar_t CtrlText[] = L"Ctrl+";
const wchar_t AltText[] = L"Alt+";

UnicodeString KeyName(WORD Key)
{
    for (const TKeyName& k : KeyNames)
        if (k.Key == Key)
            return k.Name;
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return UnicodeString(1, wchar_t(Key));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9)
        return UnicodeString(1, wchar_t(L'0' + (Key - VK_NUMPAD0)));
    if (Key >= VK_F1 && Key <= VK_F24)
        return L"F" + std::to_wstring(Key - VK_F1 + 1);
    // Other keys by the keyboard layout's own name.
    UINT scan = ::MapVirtualKeyW(Key, MAPVK_VK_TO_VSC);
    wchar_t buf[64] = {};
    if (scan && ::GetKeyNameTextW(LONG(scan << 16), buf, 64) > 0)
        return buf;
    return UnicodeString();
}

// Takes Prefix off the front of Text (ignoring case); true when it was there.
bool TakePrefix(UnicodeString& Text, const wchar_t* Prefix)
{
    UnicodeString p = Prefix;
    if (Text.size() < p.size() || !SameText(Text.substr(0, p.size()), p))
        return false;
    Text.erase(0, p.size());
    return true;
}
} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return 0;
    TShortCut sc = Key;
    if (Shift.Contains(ssShift)) sc |= scShift;
    if (Shift.Contains(ssCtrl)) sc |= scCtrl;
    if (Shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift)
{
    Key = ShortCut & 0xFF;
    Shift = {};
    if (ShortCut & scShift) Shift += ssShift;
    if (ShortCut & scCtrl) Shift += ssCtrl;
    if (ShortCut & scAlt) Shift += ssAlt;
}

UnicodeString ShortCutToText(TShortCut ShortCut)
{
    UnicodeString name = KeyName(ShortCut & 0xFF);
    if (name.empty())
        return UnicodeString();
    UnicodeString text;
    if (ShortCut & scShift) text += ShiftText;
    if (ShortCut & scCtrl) text += CtrlText;
    if (ShortCut & scAlt) text += AltText;
    return text + name;
}

TShortCut TextToShortCut(UnicodeString Text)
{
    TShortCut shift = 0;
    for (bool more = true; more;) {
        more = false;
        if (TakePrefix(Text, ShiftText)) { shift |= scShift; more = true; }
        if (TakePrefix(Text, CtrlText)) { shift |= scCtrl; more = true; }
        if (TakePrefix(Text, AltText)) { shift |= scAlt; more = true; }
    }
    if (Text.empty())
        return 0;
    for (WORD key = 0x08; key <= 0xFF; ++key)
        if (SameText(Text, KeyName(key)))
            return TShortCut(key | shift);
    return 0;
}
