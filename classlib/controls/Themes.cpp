#include "classlib/controls/Themes.h"

#include <memory>

namespace {
// The major version of the loaded common controls (6 with visual styles).
DWORD CommonControlsMajorVersion()
{
    struct TDllVersionInfo {
        DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
    };
    using TDllGetVersion = HRESULT(CALLBACK*)(TDllVersionInfo*);
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    auto get = comctl ? reinterpret_cast<TDllGetVersion>(::GetProcAddress(comctl, "DllGetVersion")) : nullptr;
    TDllVersionInfo info{sizeof(TDllVersionInfo), 0, 0, 0, 0};
    return get && SUCCEEDED(get(&info)) ? info.dwMajorVersion : 0;
}
} // namespace

TThemeServices::TThemeServices()
{
    FLibrary = ::LoadLibraryW(L"uxtheme.dll");
    if (FLibrary) {
        FSetWindowTheme = reinterpret_cast<TSetWindowTheme>(::GetProcAddress(FLibrary, "SetWindowTheme"));
        FIsThemeActive = reinterpret_cast<TBoolProc>(::GetProcAddress(FLibrary, "IsThemeActive"));
        FIsAppThemed = reinterpret_cast<TBoolProc>(::GetProcAddress(FLibrary, "IsAppThemed"));
    }
    UpdateThemes();
}

TThemeServices::~TThemeServices()
{
    if (FLibrary)
        ::FreeLibrary(FLibrary);
}

void TThemeServices::UpdateThemes()
{
    FThemesEnabled = FIsThemeActive && FIsAppThemed && FIsThemeActive() && FIsAppThemed() &&
                     CommonControlsMajorVersion() >= 6;
}

HRESULT TThemeServices::SetWindowTheme(HWND Wnd, const wchar_t* SubAppName, const wchar_t* SubIdList) const
{
    return FSetWindowTheme ? FSetWindowTheme(Wnd, SubAppName, SubIdList) : E_NOTIMPL;
}

TThemeServices* ThemeServices()
{
    static std::unique_ptr<TThemeServices> services(new TThemeServices());
    return services.get();
}

HRESULT SetWindowTheme(HWND Wnd, const wchar_t* SubAppName, const wchar_t* SubIdList)
{
    return ThemeServices()->SetWindowTheme(Wnd, SubAppName, SubIdList);
}
