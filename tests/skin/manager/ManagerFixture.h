// What the manager tests share: the built-in skin the build packed, managers
// that hold it as their internal skin, and a count of the process's GDI
// objects.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/rtl/Streams.h"
#include "skin/core/sSkinManager.h"
#include "tests/support/ResourceCount.h"

#ifndef KV_BUILT_SKIN
#error "KV_BUILT_SKIN names the skin folder of the build"
#endif

namespace managertest {

inline std::wstring Widen(const std::string& S)
{
    return std::wstring(S.begin(), S.end());
}

inline std::wstring BuiltinName()
{
    return Widen(KV_INTERNAL_SKIN_NAME);
}

inline std::wstring BuiltinPackedFile()
{
    return Widen(KV_BUILT_SKIN) + L"/internal.plz";
}

// Adds an internal skin named Name holding the built-in skin's packed data.
inline TsStoredSkin* AddBuiltin(TsSkinManager* Manager, const std::wstring& Name = BuiltinName())
{
    auto* item = static_cast<TsStoredSkin*>(Manager->InternalSkins()->Add());
    item->SetName(Name);
    item->PackedData->LoadFromFile(BuiltinPackedFile());
    return item;
}

// A manager (owned by Owner) with the built-in skin loaded and announced.
inline TsSkinManager* NewManager(TComponent* Owner = nullptr)
{
    auto* sm = New<TsSkinManager>(Owner);
    AddBuiltin(sm);
    sm->SetSkinName(BuiltinName());
    return sm;
}

} // namespace managertest
