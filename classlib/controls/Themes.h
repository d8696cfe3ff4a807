// Theme services: whether visual styles are in use, and the system's
// SetWindowTheme looked up at run time (uxtheme may be missing).  Under Wine
// without a theme they are off, and the controls draw their classic look.
#pragma once

#include <windows.h>

#include "classlib/rtl/System.h"

class TThemeServices : public TObject {
    KV_CLASS(TThemeServices)
public:
    TThemeServices();
    ~TThemeServices() override;

    // The visual-styles library is there.
    bool ThemesAvailable() const { return FLibrary != nullptr; }
    // Visual styles are in use: available, a theme active, this program
    // themed and the common controls of version 6 loaded.
    bool ThemesEnabled() const { return FThemesEnabled; }
    // Reads the state again (after WM_THEMECHANGED).
    void UpdateThemes();
    HRESULT SetWindowTheme(HWND Wnd, const wchar_t* SubAppName, const wchar_t* SubIdList) const;

private:
    using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    using TBoolProc = BOOL(WINAPI*)();
    HMODULE FLibrary = nullptr;
    TSetWindowTheme FSetWindowTheme = nullptr;
    TBoolProc FIsThemeActive = nullptr;
    TBoolProc FIsAppThemed = nullptr;
    bool FThemesEnabled = false;
};

// The process's theme services, made when first asked for.
TThemeServices* ThemeServices();
inline bool ThemesEnabled() { return ThemeServices()->ThemesEnabled(); }
// Gives a window another visual-style association (nullptr, nullptr: its
// default); E_NOTIMPL without the library.  Stands in for the system's
// declaration, so <uxtheme.h> is not included beside this header.
HRESULT SetWindowTheme(HWND Wnd, const wchar_t* SubAppName, const wchar_t* SubIdList);
