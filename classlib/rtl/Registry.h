// The system registry: TRegistry works on one open key below a root key;
// TRegIniFile reads and writes it like an INI file (sections are subkeys).
// Keys are HKEY values carried as void*; the usual root-key names are
// available here without <windows.h>.
#pragma once

#include <cstdint>

#include "classlib/rtl/System.h"

class TStrings;

using TRegKey = void*;

#ifndef HKEY_CLASSES_ROOT
inline const TRegKey HKEY_CLASSES_ROOT = reinterpret_cast<TRegKey>(uintptr_t(0x80000000u));
inline const TRegKey HKEY_CURRENT_USER = reinterpret_cast<TRegKey>(uintptr_t(0x80000001u));
inline const TRegKey HKEY_LOCAL_MACHINE = reinterpret_cast<TRegKey>(uintptr_t(0x80000002u));
inline const TRegKey HKEY_USERS = reinterpret_cast<TRegKey>(uintptr_t(0x80000003u));
inline const TRegKey HKEY_CURRENT_CONFIG = reinterpret_cast<TRegKey>(uintptr_t(0x80000005u));
#endif
#ifndef KEY_READ
constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr uint32_t KEY_SET_VALUE = 0x0002;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_WRITE = 0x20006;
constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;
#endif

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
    KV_CLASS(TRegistry)
public:
    // Root key HKEY_CURRENT_USER; no key open.
    explicit TRegistry(uint32_t AAccess = 0xF003F);
    ~TRegistry() override;

    TRegKey RootKey() const { return FRootKey; }
    // Closes the open key.
    void SetRootKey(TRegKey Value);
    TRegKey CurrentKey() const { return FCurrentKey; }
    const UnicodeString& CurrentPath() const { return FCurrentPath; }
    uint32_t Access() const { return FAccess; }
    void SetAccess(uint32_t Value) { FAccess = Value; }
    bool LazyWrite() const { return FLazyWrite; }
    void SetLazyWrite(bool Value) { FLazyWrite = Value; }

    // A Key starting with "\" is taken from the root key, otherwise from the
    // open key (or the root when none is open).  Answers false on failure.
    bool OpenKey(const UnicodeString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const UnicodeString& Key);
    void CloseKey();
    // Raises ERegistryException "Failed to create key <Key>" on failure.
    bool CreateKey(const UnicodeString& Key);
    // With all its subkeys.
    bool DeleteKey(const UnicodeString& Key);
    bool KeyExists(const UnicodeString& Key);
    bool HasSubKeys();
    void GetKeyNames(TStrings* Strings);

    // Values of the open key ("" is the key's default value).
    bool ValueExists(const UnicodeString& Name);
    bool DeleteValue(const UnicodeString& Name);
    void GetValueNames(TStrings* Strings);
    int GetDataSize(const UnicodeString& Name); // -1 when missing
    TRegDataType GetDataType(const UnicodeString& Name);
    // Missing or empty value (or no open key): empty text.  A value that is
    // not text raises ERegistryException "Invalid data type for '<Name>'".
    UnicodeString ReadString(const UnicodeString& Name);
    // A missing value raises ERegistryException "Failed to get data for
    // '<Name>'"; one that is not an integer, "Invalid data type for '<Name>'".
    int ReadInteger(const UnicodeString& Name);
    bool ReadBool(const UnicodeString& Name) { return ReadInteger(Name) != 0; }
    // Failures raise ERegistryException "Failed to set data for '<Name>'".
    void WriteString(const UnicodeString& Name, const UnicodeString& Value);
    void WriteExpandString(const UnicodeString& Name, const UnicodeString& Value);
    void WriteInteger(const UnicodeString& Name, int Value);
    void WriteBool(const UnicodeString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

protected:
    // Opens Key (rules of OpenKey) with the current access; nullptr on failure.
    TRegKey GetKey(const UnicodeString& Key);
    void SetCurrentKey(TRegKey Value) { FCurrentKey = Value; }
    void ChangeKey(TRegKey Value, const UnicodeString& Path);

private:
    TRegKey FRootKey;
    TRegKey FCurrentKey = nullptr;
    UnicodeString FCurrentPath;
    uint32_t FAccess;
    bool FLazyWrite = true;
};

// Sections are subkeys of the key named at construction (below
// HKEY_CURRENT_USER unless the root key is changed), idents are values.
class TRegIniFile : public TRegistry {
    KV_CLASS(TRegIniFile)
public:
    explicit TRegIniFile(const UnicodeString& FileName, uint32_t AAccess = 0xF003F);
    const UnicodeString& FileName() const { return FFileName; }

    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Default);
    // Integers are written as text; a text or integer value is read.
    int ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default);
    bool ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default);
    void WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value);
    void WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value);
    void WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value);
    void ReadSection(const UnicodeString& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const UnicodeString& Section, TStrings* Strings);
    void EraseSection(const UnicodeString& Section);
    void DeleteKey(const UnicodeString& Section, const UnicodeString& Ident);

private:
    class TSectionScope;
    friend class TSectionScope;
    UnicodeString FFileName;
};
