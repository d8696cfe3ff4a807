// String, number and file-name routines of the runtime layer.
// Portable header; the code-page and locale routines call the system in the .cpp.
#pragma once

#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "classlib/rtl/System.h"

// ---------------------------------------------------------------------------
// Code-page conversion through the system ANSI code page (CP_ACP).
// Characters the code page cannot hold become its default character '?'.
AnsiString UnicodeToAnsi(const UnicodeString& S);
UnicodeString AnsiToUnicode(const AnsiString& S);
// The same for Length bytes at Text.
UnicodeString AnsiToUnicode(const char* Text, size_t Length);

// The system's text for an error code, without the trailing period.
UnicodeString SysErrorMessage(uint32_t ErrorCode);

// ---------------------------------------------------------------------------
// Integers.  Leading blanks and a sign are accepted, then decimal digits or
// hexadecimal after "$", "0x" or "0X"; nothing may follow.  Hexadecimal
// wraps like the 32-bit (or 64-bit) value it spells: "$FFFFFFFF" is -1.
int StrToInt(const UnicodeString& S);                    // EConvertError when invalid
int StrToIntDef(const UnicodeString& S, int Default);
bool TryStrToInt(const UnicodeString& S, int& Value);    // Value untouched when false
// The same over a piece of a text, read in place.
bool TryTextToInt(std::wstring_view S, int& Value);
int64_t StrToInt64(const UnicodeString& S);
int64_t StrToInt64Def(const UnicodeString& S, int64_t Default);
bool TryStrToInt64(const UnicodeString& S, int64_t& Value);

UnicodeString IntToStr(int Value);
UnicodeString IntToStr(int64_t Value);
UnicodeString IntToStr(uint64_t Value);
// The other integer types (size_t, DWORD-like longs) pick one of the above.
// Where long is 64 bits wide (native builds) it already is int64_t.
inline UnicodeString IntToStr(unsigned Value) { return IntToStr(int64_t(Value)); }
#if LONG_MAX == INT_MAX
inline UnicodeString IntToStr(long Value) { return IntToStr(int(Value)); }
inline UnicodeString IntToStr(unsigned long Value) { return IntToStr(int64_t(Value)); }
#endif
// Upper-case hex, at least Digits digits; negative values as two's complement.
UnicodeString IntToHex(int Value, int Digits);
UnicodeString IntToHex(int64_t Value, int Digits);
inline UnicodeString IntToHex(uint64_t Value, int Digits) { return IntToHex(int64_t(Value), Digits); }
inline UnicodeString IntToHex(unsigned Value, int Digits) { return IntToHex(int(Value), Digits); }
#if LONG_MAX == INT_MAX
inline UnicodeString IntToHex(long Value, int Digits) { return IntToHex(int(Value), Digits); }
inline UnicodeString IntToHex(unsigned long Value, int Digits) { return IntToHex(int(Value), Digits); }
#endif

// ---------------------------------------------------------------------------
// Format: "%" ["-"] [width] ["." precision] type, types d i u x X s and
// "%%" (a character argument goes with s).  For integers the precision is
// the least number of digits ("%0.2d" of 5 is "05"); for strings the most
// characters taken.  A missing or
// mismatched argument or an unknown type raises EConvertError.
class TFormatArg {
public:
    enum TKind { fkInt, fkInt64, fkString, fkChar };
    TFormatArg(int V) : FKind(fkInt), FInt(V) {}
    TFormatArg(unsigned V) : FKind(fkInt), FInt(int32_t(V)) {}
    TFormatArg(long V) : FKind(fkInt), FInt(int32_t(V)) {}
    TFormatArg(unsigned long V) : FKind(fkInt), FInt(int32_t(V)) {}
    TFormatArg(long long V) : FKind(fkInt64), FInt(V) {}
    TFormatArg(unsigned long long V) : FKind(fkInt64), FInt(int64_t(V)) {}
    TFormatArg(wchar_t V) : FKind(fkChar), FInt(V) {}
    TFormatArg(const wchar_t* V) : FKind(fkString), FStr(V ? V : L"") {}
    TFormatArg(const UnicodeString& V) : FKind(fkString), FStr(V) {}
    TFormatArg(const char* V);                 // ANSI text, through the code page
    TFormatArg(const AnsiString& V);

    TKind Kind() const { return FKind; }
    int64_t Int() const { return FInt; }
    const UnicodeString& Str() const { return FStr; }

private:
    TKind FKind;
    int64_t FInt = 0;
    UnicodeString FStr;
};

UnicodeString Format(const UnicodeString& Fmt, std::initializer_list<TFormatArg> Args);
// Format(L"%s: %d", Name, Count) reads the same as the list form.
template <class... A>
UnicodeString Format(const UnicodeString& Fmt, const A&... Args)
{
    return Format(Fmt, {TFormatArg(Args)...});
}

// ---------------------------------------------------------------------------
// Strings.  Indexes are 1-based like the class library's; out-of-range
// indexes and counts are clamped, never an error.
UnicodeString Trim(const UnicodeString& S);        // drops characters <= ' '
UnicodeString TrimLeft(const UnicodeString& S);
UnicodeString TrimRight(const UnicodeString& S);

constexpr unsigned rfReplaceAll = 1;
constexpr unsigned rfIgnoreCase = 2;
using TReplaceFlags = unsigned;
// Replaces the first (or every) occurrence; an empty OldPattern changes nothing.
UnicodeString StringReplace(const UnicodeString& S, const UnicodeString& OldPattern,
                            const UnicodeString& NewPattern, TReplaceFlags Flags);

UnicodeString UpperCase(const UnicodeString& S);     // a-z only
UnicodeString LowerCase(const UnicodeString& S);     // A-Z only
UnicodeString AnsiUpperCase(const UnicodeString& S); // every letter, by the system's rules
UnicodeString AnsiLowerCase(const UnicodeString& S);
int CompareStr(const UnicodeString& S1, const UnicodeString& S2);      // ordinal
int CompareText(std::wstring_view S1, std::wstring_view S2);     // ordinal, a-z folded
bool SameText(std::wstring_view S1, std::wstring_view S2);
int AnsiCompareStr(const UnicodeString& S1, const UnicodeString& S2);  // by the user's locale
int AnsiCompareText(const UnicodeString& S1, const UnicodeString& S2); // locale, case ignored
bool AnsiSameText(const UnicodeString& S1, const UnicodeString& S2);
bool AnsiSameStr(const UnicodeString& S1, const UnicodeString& S2);

int Pos(const UnicodeString& Sub, const UnicodeString& S); // 1-based, 0 = not found
UnicodeString Copy(const UnicodeString& S, int Index, int Count);
void Delete(UnicodeString& S, int Index, int Count);
void Insert(const UnicodeString& Source, UnicodeString& S, int Index);
UnicodeString QuotedStr(const UnicodeString& S);

// ---------------------------------------------------------------------------
// File names.  "\" and "/" separate folders, ":" ends a drive.
UnicodeString ExtractFilePath(const UnicodeString& FileName);  // "C:\a\" of "C:\a\b.txt"
UnicodeString ExtractFileDir(const UnicodeString& FileName);   // "C:\a"
UnicodeString ExtractFileDrive(const UnicodeString& FileName); // "C:" or "\\server\share"
UnicodeString ExtractFileName(const UnicodeString& FileName);  // "b.txt"
UnicodeString ExtractFileExt(const UnicodeString& FileName);   // ".txt"
UnicodeString ChangeFileExt(const UnicodeString& FileName, const UnicodeString& Extension);
UnicodeString IncludeTrailingPathDelimiter(const UnicodeString& S);
UnicodeString ExcludeTrailingPathDelimiter(const UnicodeString& S);
bool IsPathDelimiter(const UnicodeString& S, int Index);       // 1-based
UnicodeString ExpandFileName(const UnicodeString& FileName);   // full path; empty when impossible

// ---------------------------------------------------------------------------
// Floating-point numbers and the locale's separators.  The conversions are
// Windows-free (SysUtils_Float.cpp); only GetFormatSettings asks the system.
using Extended = long double;

struct TFormatSettings {
    wchar_t DecimalSeparator = L'.';
    wchar_t ThousandSeparator = L',';
    // Dates and times (classlib/rtl/DateTime.h).  The texts start empty, so
    // that the process-wide value needs no start-up code of its own: the
    // locale reader fills them (DefaultDateSettings gives known values).
    wchar_t DateSeparator = L'/';
    wchar_t TimeSeparator = L':';
    UnicodeString ShortDateFormat{};
    UnicodeString LongDateFormat{};
    UnicodeString ShortTimeFormat{};
    UnicodeString LongTimeFormat{};
    UnicodeString TimeAMString{};
    UnicodeString TimePMString{};
    UnicodeString ShortMonthNames[12]{};   // January first
    UnicodeString LongMonthNames[12]{};
    UnicodeString ShortDayNames[7]{};      // Sunday first
    UnicodeString LongDayNames[7]{};
    int FirstDayOfWeek = 6;              // 0 Monday .. 6 Sunday
    int TwoDigitYearCenturyWindow = 50;
};

// The process-wide settings every conversion without a settings argument
// uses; read from the user's locale at start-up.  Constant-initialised, so
// the locale reader may fill it before or after any other unit starts.
extern constinit TFormatSettings FormatSettings;

// Reads the user's locale into FormatSettings (again after a change of the
// system's settings).  A separator the locale does not give keeps its value.
void GetFormatSettings();

// Replaces FormatSettings while it lives and puts the old value back, so a
// caller (or a test) can work with known separators for a while.
class TFormatSettingsScope {
    TFormatSettings FSaved;

public:
    explicit TFormatSettingsScope(const TFormatSettings& Settings);
    TFormatSettingsScope(wchar_t DecimalSeparator, wchar_t ThousandSeparator);
    ~TFormatSettingsScope();
    TFormatSettingsScope(const TFormatSettingsScope&) = delete;
    TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;
};

// Text to number: blanks around it, a sign, digits with at most one decimal
// separator (the settings' one; thousand separators are not taken) and an
// optional exponent "E"/"e" with a sign.  Infinity, NaN, hexadecimal and a
// value beyond the Extended range are refused.  Value is untouched when the
// result is false; StrToFloat raises EConvertError.
bool TryStrToFloat(const UnicodeString& S, Extended& Value);
bool TryStrToFloat(const UnicodeString& S, Extended& Value, const TFormatSettings& Settings);
Extended StrToFloat(const UnicodeString& S);
Extended StrToFloat(const UnicodeString& S, const TFormatSettings& Settings);

// ffGeneral: the shortest text with at most Precision (1 to 18) significant
// digits, fixed unless the number has more than Precision integer digits or
// is below 0.0001, then scientific ("1.5E20", "1E-5") with at least Digits
// (0 to 4) exponent digits.  ffFixed: Digits (0 to 18) decimals, the value
// rounded to Precision significant digits first and that result then to
// Digits decimals (2.675, held as 2.67499999..., gives "2.68" at precision
// 15, as FloatToStr shows "2.675"); scientific as ffGeneral when the
// integer part has more than Precision digits.  Rounding is half away from
// zero; "NAN", "INF" and "-INF" stand for the special values.
enum TFloatFormat { ffGeneral, ffFixed };
UnicodeString FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits);
UnicodeString FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                          const TFormatSettings& Settings);
// FloatToStrF(Value, ffGeneral, 15, 0).
UnicodeString FloatToStr(Extended Value);
UnicodeString FloatToStr(Extended Value, const TFormatSettings& Settings);

// Formats with a picture of up to three sections separated by ';' (for
// positive, negative and zero values; an empty or missing one falls back to
// the first, which then gets a "-" for negative values).  In a section '0'
// is a digit always shown, '#' a digit shown when significant, the first
// '.' the decimal separator, a ',' before it turns on thousand separators,
// text in quotes and any other character is copied.  A character between
// integer digits (a blank in "# ##0") is shown only once a digit stands
// before it.  The value is rounded as ffFixed rounds it, at precision 15
// (FloatToStr's): to 15 significant digits, then to the picture's decimals.
// A value that rounds to zero takes the zero section.  An empty picture, a
// value of 1E18 or more and the special values give FloatToStr.
UnicodeString FormatFloat(const UnicodeString& Format, Extended Value);
UnicodeString FormatFloat(const UnicodeString& Format, Extended Value, const TFormatSettings& Settings);

// ---------------------------------------------------------------------------
// The user's locale as the controls see it, read at start-up.  MiddleEast
// (a right-to-left system) decides whether BiDiMode has any effect; tests
// may set it for a while.
struct TSysLocale {
    unsigned DefaultLCID = 0;
    unsigned PriLangID = 0;
    unsigned SubLangID = 0;
    bool FarEast = false;
    bool MiddleEast = false;
};
extern TSysLocale SysLocale;

// ---------------------------------------------------------------------------
// The Windows version the program runs on, read at start-up: the platform
// (2 for the NT family), major and minor version, build number and service
// pack text.
extern const int Win32Platform;
extern const int Win32MajorVersion;
extern const int Win32MinorVersion;
extern const int Win32BuildNumber;
extern const UnicodeString Win32CSDVersion;
// The version is Major.Minor or later.
bool CheckWin32Version(int Major, int Minor = 0);
