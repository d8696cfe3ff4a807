#include "skin/core/sStoreUtils.h"

#include <algorithm>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/Registry.h"
#include "classlib/rtl/SysUtils.h"

namespace {

const wchar_t* const FontStyleKeys[] = {L"_Bold", L"_Italic", L"_Underline", L"_StrikeOut"};
const TFontStyle FontStyleOrder[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};

int ReadInteger(TCustomIniFile* Ini, const UnicodeString& Section, const UnicodeString& Key, int Default)
{
    if (!Ini)
        return -1;
    UnicodeString s = Ini->ReadString(Section, Key, UnicodeString());
    return s.empty() ? Default : StrToIntDef(s, -1);
}

void ReadStrings(TStrings* List, const UnicodeString& Section, const UnicodeString& Name, TCustomIniFile* Ini)
{
    int count = ReadInteger(Ini, Section, Name + L"Count", 0);
    if (count == 0 || !List)
        return;
    List->Clear();
    // A damaged count ("SkinsCount=2000000000") must not make us add
    // millions of empty items: a list never has more items than its
    // section has keys.
    if (count > 0) {
        TStringList keys;
        Ini->ReadSection(Section, &keys);
        count = std::min(count, keys.Count());
    }
    for (int i = 0; i < count; ++i)
        List->Add(Ini->ReadString(Section, Name + L"Item" + IntToStr(i), UnicodeString()));
}

void WriteStrings(const UnicodeString& Section, const UnicodeString& Name, TStrings* List, TCustomIniFile* Ini)
{
    int count = List ? List->Count() : 0;
    Ini->WriteInteger(Section, Name + L"Count", count);
    for (int i = 0; i < count; ++i)
        Ini->WriteString(Section, Name + L"Item" + IntToStr(i), List->Strings(i));
}

} // namespace

UnicodeString ReadIniString(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& FileName)
{
    TIniFile ini(FileName);
    return ini.ReadString(Section, Key, UnicodeString());
}

UnicodeString ReadIniString(const UnicodeString& Section, const UnicodeString& Key, TMemIniFile* IniFile)
{
    return IniFile ? IniFile->ReadString(Section, Key, UnicodeString()) : UnicodeString();
}

int ReadIniInteger(const UnicodeString& Section, const UnicodeString& Key, int Default, const UnicodeString& FileName)
{
    TIniFile ini(FileName);
    return ReadInteger(&ini, Section, Key, Default);
}

int ReadIniInteger(const UnicodeString& Section, const UnicodeString& Key, int Default, TMemIniFile* IniFile)
{
    return ReadInteger(IniFile, Section, Key, Default);
}

void ReadIniStrings(TStrings* List, const UnicodeString& Section, const UnicodeString& Name,
                    const UnicodeString& FileName)
{
    TIniFile ini(FileName);
    ReadStrings(List, Section, Name, &ini);
}

void ReadIniStrings(TStrings* List, const UnicodeString& Section, const UnicodeString& Name, TMemIniFile* IniFile)
{
    ReadStrings(List, Section, Name, IniFile);
}

void WriteIniStrings(const UnicodeString& Section, const UnicodeString& Name, TStrings* List, TMemIniFile* IniFile)
{
    if (IniFile)
        WriteStrings(Section, Name, List, IniFile);
}

void WriteIniStrings(const UnicodeString& Section, const UnicodeString& Name, const UnicodeString& FileName,
                     TStrings* List)
{
    // Key by key through the system, which leaves the rest of the file (its
    // other sections, comments and encoding) as it was; a rewrite from
    // memory would not.
    TIniFile ini(FileName);
    WriteStrings(Section, Name, List, &ini);
}

void WriteIniStr(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& Value,
                 const UnicodeString& FileName)
{
    TIniFile ini(FileName);
    ini.WriteString(Section, Key, Value);
}

void WriteIniStr(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& Value,
                 TMemIniFile* IniFile)
{
    if (IniFile)
        IniFile->WriteString(Section, Key, Value);
}

void WriteIniFont(const UnicodeString& Section, const UnicodeString& Name, TFont* Font, TMemIniFile* IniFile)
{
    if (!Font || !IniFile)
        return;
    IniFile->WriteInteger(Section, Name + L"_Color", Font->Color());
    IniFile->WriteString(Section, Name + L"_Name", Font->Name());
    IniFile->WriteInteger(Section, Name + L"_Size", Font->Size());
    TFontStyles style = Font->Style();
    for (size_t i = 0; i < 4; ++i)
        IniFile->WriteInteger(Section, Name + FontStyleKeys[i], style.Contains(FontStyleOrder[i]) ? 1 : 0);
}

void ReadIniFont(const UnicodeString& Section, const UnicodeString& Name, TFont* Font, TMemIniFile* IniFile)
{
    if (!Font || !IniFile)
        return;
    Font->SetColor(ReadInteger(IniFile, Section, Name + L"_Color", 0));
    Font->SetName(IniFile->ReadString(Section, Name + L"_Name", UnicodeString()));
    Font->SetSize(ReadInteger(IniFile, Section, Name + L"_Size", 8));
    TFontStyles style = Font->Style();
    for (size_t i = 0; i < 4; ++i)
        if (ReadInteger(IniFile, Section, Name + FontStyleKeys[i], 0) == 1)
            style.Include(FontStyleOrder[i]);
    Font->SetStyle(style);
}

void SaveFormPlacement(TForm* Form, const UnicodeString& FileName)
{
    if (!Form)
        return;
    TIniFile ini(FileName);
    const UnicodeString section = Form->Name();
    TWindowState state = Form->WindowState();
    if (state == wsNormal) {
        ini.WriteInteger(section, L"Left", Form->Left());
        ini.WriteInteger(section, L"Top", Form->Top());
        ini.WriteInteger(section, L"Width", Form->Width());
        ini.WriteInteger(section, L"Height", Form->Height());
    }
    ini.WriteInteger(section, L"State", static_cast<int>(state));
}

void RestoreFormPlacement(TForm* Form, const UnicodeString& FileName)
{
    if (!Form)
        return;
    TIniFile ini(FileName);
    const UnicodeString section = Form->Name();
    int state = ReadInteger(&ini, section, L"State", -1);
    // Only the three window states mean anything; other values were not
    // written by SaveFormPlacement and must not reach the form.
    if (state < wsNormal || state > wsMaximized)
        return;
    Form->SetWindowState(static_cast<TWindowState>(state));
    if (state != wsNormal)
        return;
    int left = ReadInteger(&ini, section, L"Left", -1);
    int top = ReadInteger(&ini, section, L"Top", -1);
    int width = ReadInteger(&ini, section, L"Width", -1);
    int height = ReadInteger(&ini, section, L"Height", -1);
    if (left != -1)
        Form->SetLeft(left);
    if (top != -1)
        Form->SetTop(top);
    if (width != -1)
        Form->SetWidth(width);
    if (height != -1)
        Form->SetHeight(height);
}

UnicodeString ReadRegString(HKEY Key, const UnicodeString& Section, const UnicodeString& Named)
{
    TRegIniFile reg(UnicodeString(), KEY_READ);
    reg.SetRootKey(Key);
    try {
        return reg.ReadString(Section, Named, UnicodeString());
    } catch (const ERegistryException&) {
        // A value of another type reads like a missing one.
        return UnicodeString();
    }
}

void WriteRegString(HKEY Key, const UnicodeString& Section, const UnicodeString& Named, const UnicodeString& Value)
{
    TRegistry reg;
    reg.SetRootKey(Key);
    if (reg.OpenKey(Section, true))
        reg.WriteString(Named, Value);
}

void DeleteRegParam(HKEY Key, const UnicodeString& Section, const UnicodeString& Named)
{
    TRegistry reg;
    reg.SetRootKey(Key);
    if (reg.OpenKey(Section, false))
        reg.DeleteValue(Named);
}

void WriteRegInteger(const UnicodeString& Section, const UnicodeString& Named, int Value)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(Section, true))
        reg.WriteInteger(Named, Value);
}
