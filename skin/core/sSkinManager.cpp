#include "skin/core/sSkinManager.h"

#include <shellapi.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/kvGlow.h"
#include "skin/paint/sGlyphUtils.h"

TsSkinManager* DefaultManager = nullptr;
bool IsNT = false;
bool NonAutoUpdate = false;
bool UnPackedFirst = false;

KV_BEGIN_PUBLISHED(TsSkinManager, TComponent)
    B.Bool(L"ExtendedBorders", &C::ExtendedBorders, &C::SetExtendedBorders, false);
    B.Bool(L"SkinnedPopups", &C::SkinnedPopups, &C::SetSkinnedPopups, true);
    B.Bool(L"AllowGlowing", &C::AllowGlowing, &C::SetAllowGlowing, true);
    B.Object(L"AnimEffects", &C::AnimEffects);
    B.Bool(L"IsDefault", &C::IsDefault, &C::SetIsDefault, true);
    B.Bool(L"Active", &C::Active, &C::SetActive, true);
    B.Object(L"CommonSections", &C::CommonSections, &C::SetCommonSections);
    B.Int(L"Saturation", &C::Saturation, &C::SetSaturation, 0);
    B.Int(L"HueOffset", &C::HueOffset, &C::SetHueOffset, 0);
    B.Object(L"InternalSkins", &C::InternalSkins, &C::SetBuiltInSkins);
    B.Object(L"MenuSupport", &C::MenuSupport);
    B.Str(L"SkinDirectory", &C::SkinDirectory, &C::SetSkinDirectory);
    B.Str(L"SkinName", &C::SkinName, &C::SetSkinName);
    B.Str(L"SkinInfo", &C::GetSkinInfo, &C::SetSkinInfo);
    B.Set(L"SkinningRules", &C::SkinningRules, &C::SetFSkinningRules, 7,
          {L"srStdForms", L"srStdDialogs", L"srThirdParty"}, L"TkvSkinningRules");
    B.Object(L"ThirdParty", &C::ThirdParty);
    // Never stored: the default is the value itself.
    B.Str(L"Version", &C::Version, nullptr, L"6.53");
    B.Event(L"OnAfterChange", &C::OnAfterChange);
    B.Event(L"OnBeforeChange", &C::OnBeforeChange);
    B.Event(L"OnGetMenuExtraLineData", &C::OnGetMenuExtraLineData);
KV_END_PUBLISHED

namespace {

constexpr int ThirdListCount = 18;

// Extended borders and glows need layered windows.
bool LayeredWindowsAvailable()
{
    static const bool found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow") != nullptr;
    return found;
}

void FillPlatform()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = 276;
    IsNT = ::GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::vector<UnicodeString> CommandLineParameters()
{
    std::vector<UnicodeString> params;
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args)
        return params;
    for (int i = 1; i < count; ++i)
        params.emplace_back(args[i]);
    ::LocalFree(args);
    return params;
}

// What the unit does once, when the first manager is made: the platform,
// the program's icons and the version switch.
void StartUnit()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    FillPlatform();
    const UnicodeString exe = Application ? Application->ExeName() : UnicodeString();
    if (!exe.empty()) {
        AppIcon = GetIconForFile(exe, 1);
        AppIconLarge = GetIconForFile(exe, 0);
    }
    CheckVersionSwitch(CommandLineParameters());
}

} // namespace

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner)
{
    StartUnit();
    FThirdParty = new ThirdPartyList;
    for (int i = 0; i < ThirdListCount; ++i)
        ThirdLists.push_back(new TStringList);
    SkinData = new TsSkinData;
    StoreOwner = this;
    FBuiltInSkins = new TsStoredSkins(this);
    FCommonSections = new TStringList;
    const TsFormsServices& forms = FormsServices();
    if (forms.CreateMenuSupport)
        FMenuSupport = forms.CreateMenuSupport();
    FAnimEffects = new TkvAnimEffects;
    FAnimEffects->Manager = this;
    FAnimEffects->Buttons()->Manager = this;
    if (!DefaultManager) {
        DefaultManager = this;
        HookMainWindow();
    }
    if (forms.CreateMenus)
        FSkinableMenus = forms.CreateMenus(this);
}

TsSkinManager::~TsSkinManager()
{
    SetActive(false);
    FExtendedBorders = false;
    FreeAndNil(FAnimEffects);
    FreeAndNil(FBuiltInSkins);
    delete FSkinableMenus;
    FSkinableMenus = nullptr;
    FreeAndNil(FCommonSections);
    ClearSkin();
    FreeAndNil(SkinData);
    FreeAndNil(FMenuSupport);
    if (DefaultManager == this) {
        UnhookMainWindow();
        DefaultManager = nullptr;
        // The program's skinning ends with its default manager: the glow
        // windows and the built-in glyph list go with it.
        ClearGlows();
        FreeResImgList();
    }
    UpdateThirdNames(FThirdParty, ThirdLists);
    for (TStringList* list : ThirdLists)
        delete list;
    ThirdLists.clear();
    FreeAndNil(FThirdParty);
}

void TsSkinManager::AfterConstruction()
{
    TComponent::AfterConstruction();
    LoadThirdNames(FThirdParty, ThirdLists, false);
    if (FSkinDirectory.empty())
        FSkinDirectory = L"c:\\Skins";
}

void TsSkinManager::Loaded()
{
    TComponent::Loaded();
    if (FSkinDirectory.empty())
        FSkinDirectory = L"c:\\Skins";
    if (FMenuSupport && FMenuSupport->IcoLineSkin().empty())
        FMenuSupport->SetIcoLineSkin(L"ICOLINE");
    LoadThirdNames(FThirdParty, ThirdLists, false);
    // The skin was loaded while its name was read; this is its first announcement.
    if (FActive && !FSkinName.empty())
        SendNewSkin(false);
    UpdateCommonDlgs(this);
}

void TsSkinManager::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
}

bool TsSkinManager::LoadingOrReading() const
{
    const TComponentState state = ComponentState();
    return state.Contains(csLoading) || state.Contains(csReading);
}

bool TsSkinManager::Designing() const
{
    return ComponentState().Contains(csDesigning);
}

bool TsSkinManager::IsDefault() const
{
    return DefaultManager == this;
}

// ---------------------------------------------------------------------------
// Properties

bool TsSkinManager::ExtendedBorders() const
{
    return FExtendedBorders && LayeredWindowsAvailable();
}

bool TsSkinManager::AllowGlowing() const
{
    return FAllowGlowing && LayeredWindowsAvailable();
}

void TsSkinManager::SetSkinnedPopups(bool Value)
{
    if (FSkinnedPopups == Value)
        return;
    FSkinnedPopups = Value;
    if (!Designing() && Value && FSkinableMenus && IsDefault())
        FSkinableMenus->UpdateMenus();
}

void TsSkinManager::SetIsDefault(bool Value)
{
    if (!Value && DefaultManager)
        return;
    TsSkinManager* previous = DefaultManager;
    if (previous != this)
        TakeOverFrom(previous);
    DefaultManager = this;
    if (LoadingOrReading())
        return;
    if (!FActive) {
        SendRemoveSkin();
    } else {
        SendNewSkin(true);
        RepaintForms();
    }
}

void TsSkinManager::SetCommonSections(TStringList* Value)
{
    FCommonSections->Assign(Value);
    for (int i = 0; i < FCommonSections->Count(); ++i) {
        const UnicodeString line = FCommonSections->Strings(i);
        if (!line.empty() && line[0] != L';')
            FCommonSections->SetStrings(i, DelChars(line, L' '));
    }
    // While the form resource is read the skin name comes later and loads then.
    if (!ComponentState().Contains(csReading))
        SetSkinName(FSkinName);
}

void TsSkinManager::SetBuiltInSkins(TsStoredSkins* Value)
{
    FBuiltInSkins->Assign(Value);
}

void TsSkinManager::SetSkinDirectory(const UnicodeString& Value)
{
    if (FSkinDirectory == Value)
        return;
    FSkinDirectory = Value;
    SkinData->SkinPath = GetFullSkinDirectory();
}

void TsSkinManager::SetFSkinningRules(TkvSkinningRules Value)
{
    FSkinningRules = Value;
    UpdateCommonDlgs(this);
}

void TsSkinManager::SetActiveControl(HWND Handle)
{
    if (Handle == FActiveControl)
        return;
    const HWND previous = FActiveControl;
    FActiveControl = Handle;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (previous)
        SendAMessage(previous, SMC_MOUSE_LEAVE, self);
    if (Handle)
        SendAMessage(Handle, SMC_MOUSE_ENTER, self);
}

bool TsSkinManager::ShadowsWanted() const
{
    return FActive && ExtendedBorders();
}

void TsSkinManager::CheckVersion(double Version)
{
    if (Designing() && Version < 6.0) {
        ShowMessage(L"You are using an old version of the \"" + FSkinName +
                    L"\" skin. Please, update a skins to latest or link with the Korvex support for upgrading of "
                    L"existing skin.\r\n\r\nThis notification occurs in design-time only for your information and "
                    L"will not occur in real-time.");
        return;
    }
    TsSkinStore::CheckVersion(Version);
}

// ---------------------------------------------------------------------------

void UpdateCommonDlgs(TsSkinManager* Manager)
{
    if (!Manager || !Manager->IsDefault())
        return;
    UseLatestCommonDialogs = !(Manager->SkinningRules().Contains(srStdDialogs) && Manager->Active());
}

void CheckVersionSwitch(const std::vector<UnicodeString>& Params)
{
    for (const UnicodeString& p : Params)
        if (LowerCase(p) == L"/kvver") {
            ShowMessage(L"Korvex v6.53");
            return;
        }
}

void RegisterSkinManagerClasses()
{
    RegisterClasses<TsSkinManager>();
}
