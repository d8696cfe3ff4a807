// Settings stored in INI files (directly, or through an in-memory INI object
// of the caller) and in the registry: values, string lists, fonts and form
// placements under fixed key suffixes.
#pragma once

#include <windows.h>

#include "classlib/rtl/System.h"

class TMemIniFile;
class TStrings;
class TFont;
class TForm;

// Missing value: empty text.
UnicodeString ReadIniString(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& FileName);
UnicodeString ReadIniString(const UnicodeString& Section, const UnicodeString& Key, TMemIniFile* IniFile);
// Missing or empty value: Default; a value that is not an integer: -1; no INI object: -1.
int ReadIniInteger(const UnicodeString& Section, const UnicodeString& Key, int Default, const UnicodeString& FileName);
int ReadIniInteger(const UnicodeString& Section, const UnicodeString& Key, int Default, TMemIniFile* IniFile);

// A string list under the name N: N + "Count", then N + "Item0", N + "Item1"...
// A stored count of 0 leaves List as it was.
void ReadIniStrings(TStrings* List, const UnicodeString& Section, const UnicodeString& Name,
                    const UnicodeString& FileName);
void ReadIniStrings(TStrings* List, const UnicodeString& Section, const UnicodeString& Name, TMemIniFile* IniFile);
void WriteIniStrings(const UnicodeString& Section, const UnicodeString& Name, TStrings* List, TMemIniFile* IniFile);
// Writes through an in-memory copy of the file and saves it.
void WriteIniStrings(const UnicodeString& Section, const UnicodeString& Name, const UnicodeString& FileName,
                     TStrings* List);

void WriteIniStr(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& Value,
                 const UnicodeString& FileName);
void WriteIniStr(const UnicodeString& Section, const UnicodeString& Key, const UnicodeString& Value,
                 TMemIniFile* IniFile);

// A font under the name N: N + "_Color", "_Name", "_Size", "_Bold", "_Italic",
// "_Underline", "_StrikeOut".  Reading adds the stored styles and never
// removes one.
void WriteIniFont(const UnicodeString& Section, const UnicodeString& Name, TFont* Font, TMemIniFile* IniFile);
void ReadIniFont(const UnicodeString& Section, const UnicodeString& Name, TFont* Font, TMemIniFile* IniFile);

// The form's bounds (while it is in the normal state) and its window state,
// in the section named after the form.
void SaveFormPlacement(TForm* Form, const UnicodeString& FileName);
// A stored state other than 0 (normal), 1 (minimised) or 2 (maximised)
// leaves the form as it is.
void RestoreFormPlacement(TForm* Form, const UnicodeString& FileName);

// Registry values; a missing value reads as empty text.
UnicodeString ReadRegString(HKEY Key, const UnicodeString& Section, const UnicodeString& Named);
void WriteRegString(HKEY Key, const UnicodeString& Section, const UnicodeString& Named, const UnicodeString& Value);
void DeleteRegParam(HKEY Key, const UnicodeString& Section, const UnicodeString& Named);
// Under HKEY_CURRENT_USER.
void WriteRegInteger(const UnicodeString& Section, const UnicodeString& Named, int Value);
