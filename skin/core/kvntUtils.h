// General routines of the skin library: INI text held in memory, words and
// strings, numbers and rectangles, published properties by name, files and
// folders, system queries and the library's message boxes.  All of them are
// stateless and meant for the GUI thread.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <initializer_list>

#include "classlib/controls/Messages.h"
#include "classlib/graphics/Types.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/System.h"
#include "skin/core/sConst.h"

class TIcon;
class TStrings;
class TStringList;

// A set of single-byte characters (0 to 255), used as word and field
// delimiters.  Wider characters are never members.
class TsCharSet {
    std::bitset<256> FBits;

public:
    TsCharSet() = default;
    TsCharSet(const wchar_t* chars);
    TsCharSet(std::initializer_list<wchar_t> chars);
    TsCharSet& Include(unsigned c);
    bool Contains(unsigned c) const { return c < 256 && FBits.test(c); }
};

// ---------------------------------------------------------------------------
// INI text in memory.  A section list holds one item per section, each
// owning (as its object) a TStringList of that section's lines in order.

void GetIniSections(TStrings* Source, TStringList* Sections);
// The key names of the section's lines, in order; empty when it is missing.
void GetIniSection(const UnicodeString& Section, TStringList* Sections, TStrings* Keys);
UnicodeString ReadIniString(TStrings* Source, TStringList* Sections, const UnicodeString& Section,
                            const UnicodeString& Key, const UnicodeString& Default);
// "0x"/"0X" marks hexadecimal; anything unreadable gives Default.
int ReadIniInteger(TStrings* Source, TStringList* Sections, const UnicodeString& Section, const UnicodeString& Key,
                   int Default);
// Frees the section lists owned by Sections and clears it.
void FreeIniSections(TStringList* Sections);

// ---------------------------------------------------------------------------
// Words and strings.  Positions are 1-based.

bool WideCharInSet(wchar_t C, const TsCharSet& CharSet);
int WordPosition(int N, const UnicodeString& S, const TsCharSet& WordDelims);
int kvWordPosition(int N, const UnicodeString& S, const TsCharSet& WordDelims);
UnicodeString ExtractWord(int N, const UnicodeString& S, const TsCharSet& WordDelims);
int WordCount(const UnicodeString& S, const TsCharSet& WordDelims);
int kvWordCount(const UnicodeString& S, const TsCharSet& WordDelims);
int GetWordNumber(const UnicodeString& W, const UnicodeString& S, const TsCharSet& WordDelims);
bool IsWordPresent(const UnicodeString& W, const UnicodeString& S, const TsCharSet& WordDelims);
UnicodeString ExtractSubStr(const UnicodeString& S, int& Pos, const TsCharSet& Delims);
bool IsEmptyStr(const UnicodeString& S, const TsCharSet& EmptyChars);
UnicodeString AnsiProperCase(const UnicodeString& S, const TsCharSet& WordDelims);
bool SubStrInclude(const UnicodeString& SubString, const UnicodeString& S, bool CaseInsensitive);
UnicodeString ReplaceStr(const UnicodeString& S, const UnicodeString& Srch, const UnicodeString& Replace);
UnicodeString DelChars(const UnicodeString& S, wchar_t Chr);
UnicodeString DelBSpace(const UnicodeString& S);
UnicodeString DelESpace(const UnicodeString& S);
UnicodeString DelRSpace(const UnicodeString& S);
UnicodeString CorrectString(const UnicodeString& S);
AnsiString MakeStr(char C, int N);
AnsiString AddChar(char C, const AnsiString& S, int N);
AnsiString AddCharR(char C, const AnsiString& S, int N);
void kvFillString(UnicodeString& S, int Count, wchar_t Ch);
UnicodeString kvMakeString(wchar_t Ch, int Count);
bool kvSameText(const UnicodeString& S1, const UnicodeString& S2);
AnsiString OemToAnsiStr(const AnsiString& OemStr);
UnicodeString BoolToStr(bool B);

// ---------------------------------------------------------------------------
// Numbers.

int IntToByte(int Value);
int CheckLimits(int Value, int MinValue, int MaxValue);
int LimitIt(int Value, int MinValue, int MaxValue);
bool Between(int Value, int MinValue, int MaxValue);
int Maxi(int A, int B);
int Mini(int A, int B);
void Changei(int& A, int& B);
UnicodeString iff(bool L, const UnicodeString& S1, const UnicodeString& S2);
int iffi(bool L, int A, int B);
TObject* iffo(bool L, TObject* O1, TObject* O2);
int SumTrans(int A, int B);
int GetCents(long double X);
// Raises EConvertError where the cents leave the 64-bit integer range
// (beyond about 9.2E16).
long double CurRound(long double X);
// "," or "." as the decimal point; 0 for anything that is no number.
long double StringToFloat(const UnicodeString& S);
// The separators are FormatSettings'.
bool IsValidFloat(const UnicodeString& Value, long double& RetValue);
UnicodeString FormatFloatStr(const UnicodeString& S, bool Thousands);
int64_t HexToInt(const UnicodeString& S);
TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT Result);

// ---------------------------------------------------------------------------
// Rectangles and points (right and bottom exclusive).

int WidthOf(const TRect& R, bool CheckNegative = false);
int HeightOf(const TRect& R, bool CheckNegative = false);
bool RectIsVisible(const TRect& ParentRect, const TRect& R);
bool RectInRect(const TRect& BigRect, const TRect& SmallRect);
TRect RotateRect(const TRect& R);
TRect RectsAnd(const TRect& R1, const TRect& R2);
TPoint OffsetPoint(const TPoint& P, int DX, int DY);
TCacheInfo MakeCacheInfo(TBitmap* Bmp, int X = 0, int Y = 0);

// ---------------------------------------------------------------------------
// Published properties by name.  Unlike the class library's routines of the
// same names, these never raise: a missing property gives the neutral answer
// (false, nil, -1) or does nothing.
namespace kvntUtils {
bool HasProperty(TObject* Component, const UnicodeString& PropName);
TObject* GetObjProp(TObject* Component, const UnicodeString& PropName);
void SetObjProp(TObject* Component, const UnicodeString& PropName, TObject* Value);
int GetIntProp(TObject* Component, const UnicodeString& PropName);
void SetIntProp(TObject* Component, const UnicodeString& PropName, int Value);
bool CheckSetProp(TObject* Component, const UnicodeString& PropName, const UnicodeString& Element);
bool SetSetPropValue(TObject* Component, const UnicodeString& PropName, const UnicodeString& Element, bool Include);
} // namespace kvntUtils
using kvntUtils::CheckSetProp;
using kvntUtils::SetObjProp;
using kvntUtils::SetSetPropValue;

// ---------------------------------------------------------------------------
// Files and folders.

UnicodeString NormalDir(const UnicodeString& DirName);
bool ValidFileName(const UnicodeString& FileName);
bool kvDirExists(const UnicodeString& Name);
bool kvCreateDir(const UnicodeString& Dir);
bool kvRemoveDir(const UnicodeString& Dir);
bool kvSetCurrentDir(const UnicodeString& Dir);
UnicodeString kvGetCurrentDir();
bool kvDeleteFile(const UnicodeString& FileName);
bool kvCopyFile(const UnicodeString& ExistingFileName, const UnicodeString& NewFileName, bool FailIfExists);
DWORD kvFileSetAttr(const UnicodeString& FileName, DWORD Attr);
DWORD kvFileGetAttr(const UnicodeString& FileName);
int kvFindFirst(const UnicodeString& Path, int Attr, TSearchRec& F);
int kvFindNext(TSearchRec& F);
void kvFindClose(TSearchRec& F);
HANDLE kvFindFirstFile(const UnicodeString& FileName, WIN32_FIND_DATAW& FindFileData);
bool kvFindNextFile(HANDLE FindFile, WIN32_FIND_DATAW& FindFileData);
int64_t GetFileSize(const UnicodeString& FileName);
UnicodeString ShortToLongFileName(const UnicodeString& ShortName);
UnicodeString LongToShortFileName(const UnicodeString& LongName);
UnicodeString ShortToLongPath(const UnicodeString& ShortName);
UnicodeString LongToShortPath(const UnicodeString& LongName);
void CopyFiles(const UnicodeString& Mask, const UnicodeString& SrcDir, const UnicodeString& DstDir);
bool ClearDir(const UnicodeString& Dir, bool RemoveDir);
void GetDirs(const UnicodeString& Path, TStrings* List);
UnicodeString GetSystemDir();
UnicodeString GetAppName();
UnicodeString GetAppPath();
// A new icon (the caller owns it) for an existing file; nil otherwise.
TIcon* GetIconForFile(const UnicodeString& FullFileName, UINT Flags);

// ---------------------------------------------------------------------------
// System and user interface.

int GetCaptionFontSize();
// A new font from the system caption font; the caller owns it; 0 on failure.
HFONT kvGetTitleFont();
bool IsNTFamily();
void Delay(DWORD MSecs);
void ShowWarning(const UnicodeString& Text);
void ShowError(const UnicodeString& Text);
void Alert();
void Alert(const UnicodeString& Text);
void Alert(int Number);
bool DeleteRequest();
bool CustomRequest(const UnicodeString& Text);
