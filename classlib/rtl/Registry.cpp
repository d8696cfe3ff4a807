#include <windows.h>

#include <vector>

#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Registry.h"
#include "classlib/rtl/SysUtils.h"

namespace {

HKEY H(TRegKey k) { return static_cast<HKEY>(k); }

bool IsRelative(const UnicodeString& Key) { return Key.empty() || Key[0] != L'\\'; }

UnicodeString Unrooted(const UnicodeString& Key) { return IsRelative(Key) ? Key : Key.substr(1); }

[[noreturn]] void RegError(const wchar_t* Fmt, const UnicodeString& Name)
{
    throw ERegistryException(UnicodeString(Fmt) + L" '" + Name + L"'");
}

void PutData(TRegKey Key, const UnicodeString& Name, DWORD Type, const void* Data, size_t Size)
{
    if (!Key || RegSetValueExW(H(Key), Name.c_str(), 0, Type, static_cast<const BYTE*>(Data), DWORD(Size)) != ERROR_SUCCESS)
        RegError(L"Failed to set data for", Name);
}

// Text is stored with its terminating null.
void PutText(TRegKey Key, const UnicodeString& Name, DWORD Type, const UnicodeString& Value)
{
    PutData(Key, Name, Type, Value.c_str(), (Value.size() + 1) * sizeof(wchar_t));
}

bool DeleteTree(HKEY Base, const UnicodeString& Key)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(Base, Key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key) == ERROR_SUCCESS) {
        std::vector<UnicodeString> subkeys;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD len = 256;
            if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            subkeys.emplace_back(name, len);
        }
        for (const UnicodeString& s : subkeys)
            DeleteTree(key, s);
        RegCloseKey(key);
    }
    return RegDeleteKeyW(Base, Key.c_str()) == ERROR_SUCCESS;
}

} // namespace

TRegistry::TRegistry(uint32_t AAccess) : FRootKey(HKEY_CURRENT_USER), FAccess(AAccess) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(TRegKey Value)
{
    if (FRootKey != Value) {
        FRootKey = Value;
        CloseKey();
    }
}

void TRegistry::CloseKey()
{
    if (FCurrentKey) {
        if (!FLazyWrite)
            RegFlushKey(H(FCurrentKey));
        RegCloseKey(H(FCurrentKey));
        FCurrentKey = nullptr;
        FCurrentPath.clear();
    }
}

void TRegistry::ChangeKey(TRegKey Value, const UnicodeString& Path)
{
    CloseKey();
    FCurrentKey = Value;
    FCurrentPath = Path;
}

TRegKey TRegistry::GetKey(const UnicodeString& Key)
{
    bool relative = IsRelative(Key);
    HKEY base = (FCurrentKey && relative) ? H(FCurrentKey) : H(FRootKey);
    HKEY result = nullptr;
    if (RegOpenKeyExW(base, Unrooted(Key).c_str(), 0, FAccess, &result) != ERROR_SUCCESS)
        return nullptr;
    return result;
}

bool TRegistry::OpenKey(const UnicodeString& Key, bool CanCreate)
{
    bool relative = IsRelative(Key);
    UnicodeString s = Unrooted(Key);
    HKEY base = (FCurrentKey && relative) ? H(FCurrentKey) : H(FRootKey);
    HKEY key = nullptr;
    LONG rc;
    if (!CanCreate || s.empty())
        rc = RegOpenKeyExW(base, s.c_str(), 0, FAccess, &key);
    else
        rc = RegCreateKeyExW(base, s.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return false;
    if (FCurrentKey && relative)
        s = s.empty() ? FCurrentPath : FCurrentPath + L"\\" + s;
    ChangeKey(key, s);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const UnicodeString& Key)
{
    uint32_t old = FAccess;
    FAccess = KEY_READ;
    bool ok = OpenKey(Key, false);
    if (!ok)
        FAccess = old;
    return ok;
}

bool TRegistry::CreateKey(const UnicodeString& Key)
{
    bool relative = IsRelative(Key);
    HKEY base = (FCurrentKey && relative) ? H(FCurrentKey) : H(FRootKey);
    HKEY key = nullptr;
    if (RegCreateKeyExW(base, Unrooted(Key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw ERegistryException(L"Failed to create key " + Key);
    RegCloseKey(key);
    return true;
}

bool TRegistry::DeleteKey(const UnicodeString& Key)
{
    bool relative = IsRelative(Key);
    UnicodeString s = Unrooted(Key);
    if (s.empty())
        return false;
    HKEY base = (FCurrentKey && relative) ? H(FCurrentKey) : H(FRootKey);
    return DeleteTree(base, s);
}

bool TRegistry::KeyExists(const UnicodeString& Key)
{
    uint32_t old = FAccess;
    FAccess = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
    TRegKey key = GetKey(Key);
    FAccess = old;
    if (key)
        RegCloseKey(H(key));
    return key != nullptr;
}

bool TRegistry::HasSubKeys()
{
    DWORD count = 0;
    return FCurrentKey &&
           RegQueryInfoKeyW(H(FCurrentKey), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           count > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings)
{
    Strings->Clear();
    if (!FCurrentKey)
        return;
    std::vector<wchar_t> name(256);
    for (DWORD i = 0;; ++i) {
        DWORD len = DWORD(name.size());
        if (RegEnumKeyExW(H(FCurrentKey), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Strings->Add(UnicodeString(name.data(), len));
    }
}

bool TRegistry::ValueExists(const UnicodeString& Name)
{
    return GetDataSize(Name) >= 0;
}

bool TRegistry::DeleteValue(const UnicodeString& Name)
{
    return FCurrentKey && RegDeleteValueW(H(FCurrentKey), Name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetValueNames(TStrings* Strings)
{
    Strings->Clear();
    if (!FCurrentKey)
        return;
    DWORD maxLen = 0;
    RegQueryInfoKeyW(H(FCurrentKey), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr,
                     nullptr, nullptr);
    std::vector<wchar_t> name(maxLen + 2);
    for (DWORD i = 0;; ++i) {
        DWORD len = DWORD(name.size());
        if (RegEnumValueW(H(FCurrentKey), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Strings->Add(UnicodeString(name.data(), len));
    }
}

int TRegistry::GetDataSize(const UnicodeString& Name)
{
    DWORD size = 0;
    if (!FCurrentKey || RegQueryValueExW(H(FCurrentKey), Name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

TRegDataType TRegistry::GetDataType(const UnicodeString& Name)
{
    DWORD type = 0;
    if (!FCurrentKey || RegQueryValueExW(H(FCurrentKey), Name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

UnicodeString TRegistry::ReadString(const UnicodeString& Name)
{
    int size = GetDataSize(Name);
    if (size <= 0)
        return UnicodeString();
    std::vector<BYTE> data(size_t(size) + sizeof(wchar_t), 0);
    DWORD len = DWORD(size);
    DWORD type = 0;
    if (RegQueryValueExW(H(FCurrentKey), Name.c_str(), nullptr, &type, data.data(), &len) != ERROR_SUCCESS)
        RegError(L"Failed to get data for", Name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        RegError(L"Invalid data type for", Name);
    UnicodeString s(reinterpret_cast<const wchar_t*>(data.data()), len / sizeof(wchar_t));
    // The stored length may or may not count the terminating null.
    while (!s.empty() && s.back() == L'\0')
        s.pop_back();
    return s;
}

int TRegistry::ReadInteger(const UnicodeString& Name)
{
    DWORD value = 0, len = sizeof(value), type = 0;
    if (!FCurrentKey)
        RegError(L"Failed to get data for", Name);
    LONG rc = RegQueryValueExW(H(FCurrentKey), Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &len);
    if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && type != REG_DWORD))
        RegError(L"Invalid data type for", Name);
    if (rc != ERROR_SUCCESS)
        RegError(L"Failed to get data for", Name);
    return static_cast<int>(value);
}

void TRegistry::WriteString(const UnicodeString& Name, const UnicodeString& Value)
{
    PutText(FCurrentKey, Name, REG_SZ, Value);
}

void TRegistry::WriteExpandString(const UnicodeString& Name, const UnicodeString& Value)
{
    PutText(FCurrentKey, Name, REG_EXPAND_SZ, Value);
}

void TRegistry::WriteInteger(const UnicodeString& Name, int Value)
{
    DWORD v = static_cast<DWORD>(Value);
    PutData(FCurrentKey, Name, REG_DWORD, &v, sizeof(v));
}

// ---------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const UnicodeString& FileName, uint32_t AAccess) : TRegistry(AAccess), FFileName(FileName)
{
    OpenKey(FileName, true);
}

// Makes a section's key the current key for a while (opening it, or
// creating it when asked); the previous current key comes back afterwards.
class TRegIniFile::TSectionScope {
public:
    TSectionScope(TRegIniFile& Ini, const UnicodeString& Section, bool Create) : FIni(Ini), FOld(Ini.CurrentKey())
    {
        if (Create && !Section.empty())
            Ini.CreateKey(Section);
        FKey = Ini.GetKey(Section);
        if (FKey)
            Ini.SetCurrentKey(FKey);
    }
    ~TSectionScope()
    {
        if (FKey) {
            FIni.SetCurrentKey(FOld);
            RegCloseKey(H(FKey));
        }
    }
    bool Open() const { return FKey != nullptr; }

private:
    TRegIniFile& FIni;
    TRegKey FOld;
    TRegKey FKey = nullptr;
};

UnicodeString TRegIniFile::ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                                      const UnicodeString& Default)
{
    TSectionScope scope(*this, Section, false);
    if (scope.Open() && ValueExists(Ident))
        return TRegistry::ReadString(Ident);
    return Default;
}

int TRegIniFile::ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default)
{
    TSectionScope scope(*this, Section, false);
    if (!scope.Open() || !ValueExists(Ident))
        return Default;
    if (GetDataType(Ident) == rdString)
        return StrToIntDef(TRegistry::ReadString(Ident), Default);
    return TRegistry::ReadInteger(Ident);
}

bool TRegIniFile::ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value)
{
    TSectionScope scope(*this, Section, true);
    if (!scope.Open())
        throw ERegistryException(L"Failed to create key " + Section);
    TRegistry::WriteString(Ident, Value);
}

void TRegIniFile::WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

void TRegIniFile::WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? L"1" : L"0");
}

void TRegIniFile::ReadSection(const UnicodeString& Section, TStrings* Strings)
{
    TSectionScope scope(*this, Section, false);
    if (scope.Open())
        GetValueNames(Strings);
    else
        Strings->Clear();
}

void TRegIniFile::ReadSections(TStrings* Strings)
{
    GetKeyNames(Strings);
}

void TRegIniFile::ReadSectionValues(const UnicodeString& Section, TStrings* Strings)
{
    TStringList names;
    ReadSection(Section, &names);
    Strings->BeginUpdate();
    Strings->Clear();
    for (int i = 0; i < names.Count(); ++i)
        Strings->Add(names[i] + L"=" + ReadString(Section, names[i], UnicodeString()));
    Strings->EndUpdate();
}

void TRegIniFile::EraseSection(const UnicodeString& Section)
{
    TRegistry::DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const UnicodeString& Section, const UnicodeString& Ident)
{
    TSectionScope scope(*this, Section, false);
    if (scope.Open())
        DeleteValue(Ident);
}
