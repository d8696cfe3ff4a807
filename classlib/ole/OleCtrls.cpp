#include "classlib/ole/OleCtrls.h"

#include <objbase.h>

KV_BEGIN_PUBLISHED(TOleControl, TWinControl)
KV_END_PUBLISHED

TOleControl::TOleControl(TComponent* AOwner) : TWinControl(AOwner)
{
}

bool TOleControl::ClassRegistered(const CLSID& ClassID)
{
    wchar_t guid[64] = {};
    if (!StringFromGUID2(ClassID, guid, 64))
        return false;
    UnicodeString path = UnicodeString(L"CLSID\\") + guid + L"\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void TOleControl::CreateWnd()
{
    TWinControl::CreateWnd();
    FHosted = ClassRegistered(ControlClassID()) && HostControl();
}
