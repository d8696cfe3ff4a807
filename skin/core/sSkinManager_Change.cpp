// Loading and announcing skins: the name, activity and colour settings,
// the four broadcasts, and the flags and locks that a change raises, put
// back on every path out of it.
#include <windows.h>

#include <utility>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"

namespace {

void Broadcast(int Cmd, LPARAM LParam)
{
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(Cmd), LParam);
    AppBroadCastS(m);
}

} // namespace

void TsSkinManager::SetSkinName(const UnicodeString& Value)
{
    const UnicodeString previous = FSkinName;
    FSkinName = Value;
    if (FActive)
        ChangeSkin(previous);
    UpdateCommonDlgs(this);
}

void TsSkinManager::ChangeSkin(const UnicodeString& PreviousName)
{
    if (OnBeforeChange.Assigned())
        OnBeforeChange(this);
    {
        // Raises aSkinChanging; a failure gives the skin in place its Active back.
        TsSkinChangeScope change(SkinData);
        if (!Reload(true, PreviousName)) {
            FActive = false;
            SendRemoveSkin();
        } else if (!NonAutoUpdate) {
            SendNewSkin(true);
        }
    }
    if (OnAfterChange.Assigned())
        OnAfterChange(this);
}

TsSkinLoadSettings TsSkinManager::LoadSettings() const
{
    return {FCommonSections, FHueOffset, FSaturation};
}

bool TsSkinManager::Reload(bool ConsultUnpackedFirst, const UnicodeString& PreviousName)
{
    const UnicodeString dir = NormalDir(FSkinDirectory);
    const UnicodeString packed = dir + FSkinName + L".plz";
    SkinIsPacked = false;
    const bool folderFirst = ConsultUnpackedFirst && UnPackedFirst && DirectoryExists(dir + FSkinName);
    try {
        if (!folderFirst && FileExists(packed)) {
            ReloadPackedSkin(packed, GetFullSkinDirectory(), LoadSettings());
            return true;
        }
        return ReloadSkin(GetFullSkinDirectory(), FSkinName, FBuiltInSkins, LoadSettings()) == rrLoaded;
    } catch (...) {
        // The previous skin stays in place, and so does its name.
        FSkinName = PreviousName;
        throw;
    }
}

void TsSkinManager::ReloadForSettings()
{
    if (!SkinData->Active)
        return;
    {
        TFlagScope changing(aSkinChanging, true);
        Reload(false, FSkinName);
    }
    if (!LoadingOrReading())
        RepaintForms();
}

void TsSkinManager::ReloadForSetting(int& Setting, int Value)
{
    if (Setting == Value)
        return;
    const int previous = std::exchange(Setting, Value);
    try {
        ReloadForSettings();
    } catch (...) {
        // The skin in place keeps the colours it was loaded with.
        Setting = previous;
        throw;
    }
}

void TsSkinManager::SetHueOffset(int Value)
{
    ReloadForSetting(FHueOffset, Value);
}

void TsSkinManager::SetSaturation(int Value)
{
    ReloadForSetting(FSaturation, Value);
}

void TsSkinManager::SetExtendedBorders(bool Value)
{
    if (FExtendedBorders == Value)
        return;
    FExtendedBorders = Value;
    ReloadForSettings();
}

void TsSkinManager::SetActive(bool Value)
{
    if (FActive == Value)
        return;
    FActive = Value;
    if (Value) {
        SetSkinName(FSkinName);
        return;
    }
    if (!ComponentState().Contains(csLoading))
        SendRemoveSkin();
    InitConstantIndexes();
    UpdateCommonDlgs(this);
}

void TsSkinManager::UpdateSkin()
{
    if (FActive)
        SendNewSkin(true);
}

void TsSkinManager::BeginUpdate()
{
    NonAutoUpdate = true;
}

void TsSkinManager::EndUpdate(bool Repaint)
{
    NonAutoUpdate = false;
    UpdateSkin();
    if (Repaint)
        RepaintForms();
}

// ---------------------------------------------------------------------------
// Broadcasts

void TsSkinManager::SendNewSkin(bool Repaint)
{
    if (LoadingOrReading())
        return;
    ClearGlows();
    const bool lock = Repaint && !Designing();
    if (lock)
        LockForms(this);
    try {
        if (FSkinableMenus)
            FSkinableMenus->SetSkinBorderWidth(-1);
        SkinData->Active = false;
        {
            TFlagScope restrict(RestrictDrawing, true);
            InitConstantIndexes();
            Broadcast(SMC_SKIN_SET, reinterpret_cast<LPARAM>(this));
        }
        SkinData->Active = true;
        if (IsDefault() && !GlobalHookInstalled)
            InstallHook();
        if (Repaint)
            RepaintForms();
    } catch (...) {
        // Frozen forms would stay blank.
        if (lock)
            UnLockForms(this, false);
        throw;
    }
}

void TsSkinManager::SendRemoveSkin()
{
    TFlagScope removing(aSkinRemoving, true);
    ClearGlows();
    UnInstallHook();
    SkinData->Active = false;
    Broadcast(SMC_SKIN_REMOVE, reinterpret_cast<LPARAM>(this));
    ClearSkin();
}

void TsSkinManager::RepaintForms()
{
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (!Designing())
        Broadcast(SMC_STOP_FADING, self);
    const bool lock = !ComponentState().Contains(csLoading);
    if (lock)
        LockForms(this);
    try {
        Broadcast(SMC_SKIN_REFRESH, self);
    } catch (...) {
        if (lock)
            UnLockForms(this, false);
        throw;
    }
    if (lock)
        UnLockForms(this, true);
    if (kvMagnForm && kvMagnForm->HandleAllocated())
        ::SendMessageW(kvMagnForm->Handle(), SM_KORVEXCMD, MakeKorvexWParam(SMC_SKIN_REFRESH), self);
    if (const auto visible = FormsServices().VisibleSkinnedDialogs)
        for (HWND dlg : visible())
            ::RedrawWindow(dlg, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinManager::UpdateSkinSection(const UnicodeString& SectionName)
{
    GlobalSectionName = UpperCase(SectionName);
    Broadcast(SMC_SECTION_UPDATE, 0);
}
