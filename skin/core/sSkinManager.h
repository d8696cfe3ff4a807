// The skin manager: the non-visual component that owns the one skin in use.
// It finds the skin (an internal skin, a packed ".plz" file or a skin
// folder), has the loader turn it into its tables, and announces every
// change to all windows with the command message.  The first manager made
// becomes DefaultManager, which serves every control without a manager of
// its own; the default manager also hooks the application's main window and
// installs the window-creation hook of the form skinning (through the seam
// of sFormsSeam, so the manager also works without the form skinning).
// GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Messages.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/TypInfo.h"
#include "skin/core/sFormsSeam.h"
#include "skin/core/sSkinManager_Anim.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinManager_Stored.h"
#include "skin/core/sSkinManager_Third.h"
#include "skin/core/sStyleSimply.h"

class TBitmap;
class TMemIniFile;
class TMenuItem;
class TStringList;
class TStrings;

enum TkvSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TkvSkinningRules = TSet<TkvSkinningRule>;

enum TkvSkinTypes { stUnpacked, stPacked, stAllSkins };

// Asked by the menu skinning for the extra line of a popup menu.
using TkvGetExtraLineData = TMethod<void(TMenuItem* FirstItem, UnicodeString& SkinSection, UnicodeString& Caption,
                                         TBitmap*& Glyph, bool& LineVisible)>;

class TsSkinManager;
// The manager that serves every control without its own manager.
extern TsSkinManager* DefaultManager;

class TsSkinManager : public TComponent, public TsSkinStore {
    KV_CLASS(TsSkinManager)
    KV_PUBLISHED
public:
    explicit TsSkinManager(TComponent* AOwner);
    ~TsSkinManager() override;
    void AfterConstruction() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // --- published properties
    bool ExtendedBorders() const;
    void SetExtendedBorders(bool Value);
    bool SkinnedPopups() const { return FSkinnedPopups; }
    void SetSkinnedPopups(bool Value);
    bool AllowGlowing() const;
    void SetAllowGlowing(bool Value) { FAllowGlowing = Value; }
    TkvAnimEffects* AnimEffects() const { return FAnimEffects; }
    bool IsDefault() const;
    void SetIsDefault(bool Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TStringList* CommonSections() const { return FCommonSections; }
    void SetCommonSections(TStringList* Value);
    int Saturation() const { return FSaturation; }
    void SetSaturation(int Value);
    int HueOffset() const { return FHueOffset; }
    void SetHueOffset(int Value);
    TsStoredSkins* InternalSkins() const { return FBuiltInSkins; }
    void SetBuiltInSkins(TsStoredSkins* Value);
    // nullptr while the form skinning is not linked in.
    TsMenuSupportSeam* MenuSupport() const { return FMenuSupport; }
    const UnicodeString& SkinDirectory() const { return FSkinDirectory; }
    void SetSkinDirectory(const UnicodeString& Value);
    const UnicodeString& SkinName() const { return FSkinName; }
    void SetSkinName(const UnicodeString& Value);
    // Reading gives GetSkinInfo; writing does nothing.
    void SetSkinInfo(const UnicodeString&) {}
    TkvSkinningRules SkinningRules() const { return FSkinningRules; }
    void SetFSkinningRules(TkvSkinningRules Value);
    ThirdPartyList* ThirdParty() const { return FThirdParty; }
    UnicodeString Version() const { return L"6.53"; }
    TNotifyEvent OnAfterChange;
    TNotifyEvent OnBeforeChange;
    TkvGetExtraLineData OnGetMenuExtraLineData;

    // --- skin changes
    // Announces the skin when Active (SendNewSkin with repaint).
    void UpdateSkin();
    // Loads the next skin without telling anybody until EndUpdate.
    void BeginUpdate();
    void EndUpdate(bool Repaint);
    // Announces the loaded skin: SMC_SKIN_SET to every window, the creation
    // hook installed by the default manager, then (Repaint) RepaintForms.
    void SendNewSkin(bool Repaint);
    // Announces the removal (SMC_SKIN_REMOVE) and empties the tables.
    void SendRemoveSkin();
    // Stops fades and repaints every skinned window.
    void RepaintForms();
    // Tells the controls of one section to repaint.
    void UpdateSkinSection(const UnicodeString& SectionName);

    // --- directories and skin lists
    // SkinDirectory resolved against the program folder, with a trailing "\".
    UnicodeString GetFullSkinDirectory() const;
    // The internal skins and the skins of the skin directory of SkinType,
    // sorted, into sl; the first name found (an internal skin when there is
    // one), or empty.
    UnicodeString GetSkinNames(TStrings* sl, TkvSkinTypes SkinType = stAllSkins);
    UnicodeString GetExternalSkinNames(TStrings* sl, TkvSkinTypes SkinType = stAllSkins);
    UnicodeString GetRandomSkin();
    // The section names of the active skin in table order.
    void GetSkinSections(TStrings* sl);
    // The skin version with "." as decimal separator; "N/A" without a skin.
    UnicodeString GetSkinInfo() const;
    // Saves the internal skin named NameOfSkin as a packed file in DestDir.
    void ExtractInternalSkin(const UnicodeString& NameOfSkin, const UnicodeString& DestDir);
    void ExtractByIndex(int Index, const UnicodeString& DestDir);
    // Writes the sections of internal skin Index into sf in the description
    // format, one key per value.
    void SaveToIni(int Index, TMemIniFile* sf);

    // --- hooks and mouse tracking
    void InstallHook();
    void UnInstallHook();
    bool HookInstalled() const { return GlobalHookInstalled; }
    // The application's main window, before the class library: True when
    // handled.
    bool MainWindowHook(TMessage& Message);
    // Tells the previous and the new hovered window.
    void SetActiveControl(HWND Handle);
    HWND ActiveControl() const { return FActiveControl; }

    // The menu skinner; nullptr while the form skinning is not linked in.
    TsMenusSeam* SkinableMenus() const { return FSkinableMenus; }

    // One string list per class-name list of ThirdParty, in kind order.
    TsThirdLists ThirdLists;

protected:
    bool ShadowsWanted() const override;
    void CheckVersion(double Version) override;

private:
    bool LoadingOrReading() const;
    bool Designing() const;
    // Loads the skin of the current name and announces it (SetSkinName);
    // a failed load gives the name back PreviousName.
    void ChangeSkin(const UnicodeString& PreviousName);
    // The reload of the current name: packed when a ".plz" of that name
    // exists (a folder first with UnPackedFirst), else a folder or an
    // internal skin.  False when no skin could be found.
    bool Reload(bool ConsultUnpackedFirst, const UnicodeString& PreviousName);
    // The reload after a colour or border setting changed.
    void ReloadForSettings();
    // Sets a colour setting and reloads the skin with it; a failed reload
    // puts the old value back.
    void ReloadForSetting(int& Setting, int Value);
    TsSkinLoadSettings LoadSettings() const;
    void HookMainWindow();
    void UnhookMainWindow();
    // Takes the creation hook and the main-window hook over from the
    // previous default manager.
    void TakeOverFrom(TsSkinManager* Previous);
    void DrawMenuBorder(TMenuItem* Item, HWND Wnd);

    UnicodeString FSkinName;
    UnicodeString FSkinDirectory;
    bool FActive = true;
    TsStoredSkins* FBuiltInSkins = nullptr;
    TsMenusSeam* FSkinableMenus = nullptr;
    bool FSkinnedPopups = true;
    TStringList* FCommonSections = nullptr;
    TsMenuSupportSeam* FMenuSupport = nullptr;
    TkvAnimEffects* FAnimEffects = nullptr;
    HWND FActiveControl = nullptr;
    bool GlobalHookInstalled = false;
    bool FMainWindowHooked = false;
    TkvSkinningRules FSkinningRules{srStdForms, srStdDialogs, srThirdParty};
    ThirdPartyList* FThirdParty = nullptr;
    bool FAllowGlowing = true;
    bool FExtendedBorders = false;
    int FHueOffset = 0;
    int FSaturation = 0;
};

// Filled when the first manager is made: the platform is NT.
extern bool IsNT;
// Set by BeginUpdate: a new skin loads but is not announced.
extern bool NonAutoUpdate;
// A skin folder is preferred to a packed file of the same name.
extern bool UnPackedFirst;

// With the default manager: the system's newest common dialogs unless the
// manager skins standard dialogs.
void UpdateCommonDlgs(TsSkinManager* Manager);
// Shows the library's version when one of Params is "/kvver" in any case.
void CheckVersionSwitch(const std::vector<UnicodeString>& Params);
// Makes the manager known to form resources.
void RegisterSkinManagerClasses();
