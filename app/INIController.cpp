#include "app/INIController.h"

#include <windows.h>

#include <memory>

#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/SysUtils.h"

INIController* INIController::GetInstance()
{
    static INIController* instance = new INIController();
    return instance;
}

void INIController::Load()
{
    // Always the executable's own name, whichever book is opened.
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    LoadFromFile(ChangeFileExt(UnicodeString(path, n), L".ini"));
}

void INIController::LoadFromFile(const UnicodeString& FileName)
{
    std::unique_ptr<TIniFile> ini(new TIniFile(FileName));
    FMainFormBorderStyle = ini->ReadString(L"MainForm", L"BorderStyle", L"");
    FChildWindowState = ini->ReadString(L"ChildForm", L"WindowState", L"");
    FChildWidth = ini->ReadString(L"ChildForm", L"Width", L"");
    FChildHeight = ini->ReadString(L"ChildForm", L"Height", L"");
    FChildBorderStyle = ini->ReadString(L"ChildForm", L"BorderStyle", L"");
    FChildScale = ini->ReadString(L"ChildForm", L"Scale", L"");
}
