#include "classlib/rtl/SysUtils.h"
#include "classlib/rtl/DateTime.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

// ---------------------------------------------------------------------------
// Code pages

AnsiString UnicodeToAnsi(const UnicodeString& S)
{
    if (S.empty())
        return AnsiString();
    int n = WideCharToMultiByte(CP_ACP, 0, S.data(), int(S.size()), nullptr, 0, nullptr, nullptr);
    AnsiString out(size_t(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, S.data(), int(S.size()), out.data(), n, nullptr, nullptr);
    return out;
}

UnicodeString AnsiToUnicode(const AnsiString& S)
{
    return AnsiToUnicode(S.data(), S.size());
}

UnicodeString AnsiToUnicode(const char* Text, size_t Length)
{
    if (Length == 0)
        return UnicodeString();
    // Every ANSI code page keeps 0-127 as they are: text of those alone
    // (skin descriptions, settings) is widened without the system's two
    // passes over it.
    if (std::all_of(Text, Text + Length, [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return UnicodeString(Text, Text + Length);
    int n = MultiByteToWideChar(CP_ACP, 0, Text, int(Length), nullptr, 0);
    UnicodeString out(size_t(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, Text, int(Length), out.data(), n);
    return out;
}

UnicodeString SysErrorMessage(uint32_t ErrorCode)
{
    wchar_t* buf = nullptr;
    DWORD len = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, ErrorCode, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    UnicodeString text;
    if (buf) {
        text.assign(buf, len);
        LocalFree(buf);
    }
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.'))
        text.pop_back();
    return text;
}

// ---------------------------------------------------------------------------
// Integers

namespace {

// Parses S into a value of Bits (32 or 64) bits.
bool ParseInteger(std::wstring_view S, int Bits, int64_t& Value)
{
    size_t i = 0, n = S.size();
    while (i < n && (S[i] == L' ' || S[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < n && (S[i] == L'-' || S[i] == L'+'))
        negative = S[i++] == L'-';
    bool hex = false;
    if (i < n && S[i] == L'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && S[i] == L'0' && (S[i + 1] == L'x' || S[i + 1] == L'X')) {
        hex = true;
        i += 2;
    }
    if (i == n)
        return false;

    // Magnitude limits: hex spells the whole unsigned range, decimal the
    // signed one (one more on the negative side).
    uint64_t limit;
    if (hex)
        limit = Bits == 32 ? 0xFFFFFFFFull : ~0ull;
    else
        limit = (Bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull) + (negative ? 1 : 0);
    // acc * base + d > limit, told without a (library) 64-bit division per
    // digit: acc beyond limit / base, or equal to it with d beyond the rest.
    const uint64_t base = hex ? 16 : 10;
    const uint64_t most = limit / base;
    const unsigned rest = unsigned(limit % base);
    uint64_t acc = 0;
    for (; i < n; ++i) {
        wchar_t c = S[i];
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = unsigned(c - L'0');
        else if (hex && c >= L'a' && c <= L'f')
            d = unsigned(c - L'a' + 10);
        else if (hex && c >= L'A' && c <= L'F')
            d = unsigned(c - L'A' + 10);
        else
            return false;
        if (acc > most || (acc == most && d > rest))
            return false;
        acc = acc * base + d;
    }
    if (Bits == 32 && hex)
        acc = uint64_t(int64_t(int32_t(uint32_t(acc))));
    Value = negative ? int64_t(0 - acc) : int64_t(acc);
    if (Bits == 32)
        Value = int32_t(uint32_t(uint64_t(Value)));
    return true;
}

[[noreturn]] void RaiseNotInteger(const UnicodeString& S)
{
    throw EConvertError(L"'" + S + L"' is not a valid integer value");
}

UnicodeString Hex(uint64_t v, int Digits)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    UnicodeString out;
    do {
        out.insert(out.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    Digits = std::min(Digits, 32);
    if (int(out.size()) < Digits)
        out.insert(0, size_t(Digits) - out.size(), L'0');
    return out;
}

} // namespace

bool TryTextToInt(std::wstring_view S, int& Value)
{
    int64_t v;
    if (!ParseInteger(S, 32, v))
        return false;
    Value = int(v);
    return true;
}

bool TryStrToInt(const UnicodeString& S, int& Value)
{
    int64_t v;
    if (!ParseInteger(S, 32, v))
        return false;
    Value = int(v);
    return true;
}

int StrToInt(const UnicodeString& S)
{
    int v;
    if (!TryStrToInt(S, v))
        RaiseNotInteger(S);
    return v;
}

int StrToIntDef(const UnicodeString& S, int Default)
{
    int v;
    return TryStrToInt(S, v) ? v : Default;
}

bool TryStrToInt64(const UnicodeString& S, int64_t& Value)
{
    return ParseInteger(S, 64, Value);
}

int64_t StrToInt64(const UnicodeString& S)
{
    int64_t v;
    if (!TryStrToInt64(S, v))
        RaiseNotInteger(S);
    return v;
}

int64_t StrToInt64Def(const UnicodeString& S, int64_t Default)
{
    int64_t v;
    return TryStrToInt64(S, v) ? v : Default;
}

UnicodeString IntToStr(int Value)
{
    return std::to_wstring(Value);
}

UnicodeString IntToStr(int64_t Value)
{
    return std::to_wstring(Value);
}

UnicodeString IntToStr(uint64_t Value)
{
    return std::to_wstring(Value);
}

UnicodeString IntToHex(int Value, int Digits)
{
    return Hex(uint32_t(Value), Digits);
}

UnicodeString IntToHex(int64_t Value, int Digits)
{
    return Hex(uint64_t(Value), Digits);
}

// ---------------------------------------------------------------------------
// Format

TFormatArg::TFormatArg(const char* V) : FKind(fkString), FStr(AnsiToUnicode(V ? V : ""))
{
}

TFormatArg::TFormatArg(const AnsiString& V) : FKind(fkString), FStr(AnsiToUnicode(V))
{
}

namespace {

[[noreturn]] void RaiseBadFormat(const UnicodeString& Fmt)
{
    throw EConvertError(L"Format '" + Fmt + L"' invalid or incompatible with argument");
}

UnicodeString FormatOne(const UnicodeString& Fmt, wchar_t Type, int Precision, const TFormatArg& Arg)
{
    bool isInt = Arg.Kind() == TFormatArg::fkInt || Arg.Kind() == TFormatArg::fkInt64;
    bool is64 = Arg.Kind() == TFormatArg::fkInt64;
    UnicodeString body;
    switch (Type) {
    case L'd':
    case L'i':
    case L'u': {
        if (!isInt)
            RaiseBadFormat(Fmt);
        bool negative = false;
        uint64_t magnitude;
        if (Type == L'u')
            magnitude = is64 ? uint64_t(Arg.Int()) : uint64_t(uint32_t(Arg.Int()));
        else {
            negative = Arg.Int() < 0;
            magnitude = negative ? 0 - uint64_t(Arg.Int()) : uint64_t(Arg.Int());
        }
        body = std::to_wstring(magnitude);
        if (Precision > int(body.size()))
            body.insert(0, size_t(std::min(Precision, 64)) - body.size(), L'0');
        if (negative)
            body.insert(body.begin(), L'-');
        return body;
    }
    case L'x':
        if (!isInt)
            RaiseBadFormat(Fmt);
        return Hex(is64 ? uint64_t(Arg.Int()) : uint64_t(uint32_t(Arg.Int())), std::max(Precision, 0));
    case L's':
        if (Arg.Kind() == TFormatArg::fkString)
            body = Arg.Str();
        else if (Arg.Kind() == TFormatArg::fkChar)
            body = UnicodeString(1, wchar_t(Arg.Int()));
        else
            RaiseBadFormat(Fmt);
        if (Precision >= 0 && Precision < int(body.size()))
            body.resize(size_t(Precision));
        return body;
    default:
        RaiseBadFormat(Fmt);
    }
}

} // namespace

UnicodeString Format(const UnicodeString& Fmt, std::initializer_list<TFormatArg> Args)
{
    UnicodeString out;
    const TFormatArg* next = Args.begin();
    size_t i = 0, n = Fmt.size();
    while (i < n) {
        wchar_t c = Fmt[i++];
        if (c != L'%') {
            out += c;
            continue;
        }
        if (i < n && Fmt[i] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        bool left = false;
        if (i < n && Fmt[i] == L'-') {
            left = true;
            ++i;
        }
        int width = 0;
        while (i < n && Fmt[i] >= L'0' && Fmt[i] <= L'9')
            width = std::min(width * 10 + (Fmt[i++] - L'0'), 4096);
        int precision = -1;
        if (i < n && Fmt[i] == L'.') {
            ++i;
            precision = 0;
            while (i < n && Fmt[i] >= L'0' && Fmt[i] <= L'9')
                precision = std::min(precision * 10 + (Fmt[i++] - L'0'), 4096);
        }
        if (i == n || next == Args.end())
            RaiseBadFormat(Fmt);
        wchar_t type = Fmt[i++];
        if (type >= L'A' && type <= L'Z')
            type = wchar_t(type + 32);
        UnicodeString field = FormatOne(Fmt, type, precision, *next++);
        if (int(field.size()) < width) {
            size_t pad = size_t(width) - field.size();
            if (left)
                field.append(pad, L' ');
            else
                field.insert(0, pad, L' ');
        }
        out += field;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Strings

UnicodeString Trim(const UnicodeString& S)
{
    return TrimLeft(TrimRight(S));
}

UnicodeString TrimLeft(const UnicodeString& S)
{
    size_t i = 0;
    while (i < S.size() && S[i] <= L' ')
        ++i;
    return S.substr(i);
}

UnicodeString TrimRight(const UnicodeString& S)
{
    size_t n = S.size();
    while (n > 0 && S[n - 1] <= L' ')
        --n;
    return S.substr(0, n);
}

UnicodeString UpperCase(const UnicodeString& S)
{
    UnicodeString r = S;
    for (wchar_t& c : r)
        if (c >= L'a' && c <= L'z')
            c = wchar_t(c - 32);
    return r;
}

UnicodeString LowerCase(const UnicodeString& S)
{
    UnicodeString r = S;
    for (wchar_t& c : r)
        if (c >= L'A' && c <= L'Z')
            c = wchar_t(c + 32);
    return r;
}

UnicodeString AnsiUpperCase(const UnicodeString& S)
{
    UnicodeString r = S;
    if (!r.empty())
        CharUpperBuffW(r.data(), DWORD(r.size()));
    return r;
}

UnicodeString AnsiLowerCase(const UnicodeString& S)
{
    UnicodeString r = S;
    if (!r.empty())
        CharLowerBuffW(r.data(), DWORD(r.size()));
    return r;
}

int CompareStr(const UnicodeString& S1, const UnicodeString& S2)
{
    return S1.compare(S2) < 0 ? -1 : S1 == S2 ? 0 : 1;
}

int CompareText(std::wstring_view S1, std::wstring_view S2)
{
    size_t n = std::min(S1.size(), S2.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t a = S1[i], b = S2[i];
        if (a >= L'a' && a <= L'z') a = wchar_t(a - 32);
        if (b >= L'a' && b <= L'z') b = wchar_t(b - 32);
        if (a != b)
            return int(a) - int(b);
    }
    return int(S1.size()) - int(S2.size());
}

bool SameText(std::wstring_view S1, std::wstring_view S2)
{
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

namespace {
int LocaleCompare(const UnicodeString& S1, const UnicodeString& S2, DWORD Flags)
{
    int r = CompareStringW(LOCALE_USER_DEFAULT, Flags, S1.data(), int(S1.size()), S2.data(), int(S2.size()));
    if (r == 0) // the system refused: fall back to code-unit order
        return CompareStr(S1, S2);
    return r - CSTR_EQUAL;
}
}

int AnsiCompareStr(const UnicodeString& S1, const UnicodeString& S2)
{
    return LocaleCompare(S1, S2, 0);
}

int AnsiCompareText(const UnicodeString& S1, const UnicodeString& S2)
{
    return LocaleCompare(S1, S2, NORM_IGNORECASE);
}

bool AnsiSameText(const UnicodeString& S1, const UnicodeString& S2)
{
    return AnsiCompareText(S1, S2) == 0;
}

bool AnsiSameStr(const UnicodeString& S1, const UnicodeString& S2)
{
    return S1 == S2;
}

UnicodeString StringReplace(const UnicodeString& S, const UnicodeString& OldPattern,
                            const UnicodeString& NewPattern, TReplaceFlags Flags)
{
    if (OldPattern.empty())
        return S;
    // Case folding keeps the length of UTF-16 text, so positions in the
    // folded copy are positions in S.
    bool ignoreCase = Flags & rfIgnoreCase;
    UnicodeString hay = ignoreCase ? AnsiUpperCase(S) : S;
    UnicodeString needle = ignoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
    UnicodeString out;
    size_t from = 0;
    for (;;) {
        size_t at = hay.find(needle, from);
        if (at == UnicodeString::npos)
            break;
        out.append(S, from, at - from);
        out += NewPattern;
        from = at + needle.size();
        if (!(Flags & rfReplaceAll))
            break;
    }
    out.append(S, from, UnicodeString::npos);
    return out;
}

int Pos(const UnicodeString& Sub, const UnicodeString& S)
{
    if (Sub.empty())
        return 0;
    size_t at = S.find(Sub);
    return at == UnicodeString::npos ? 0 : int(at) + 1;
}

UnicodeString Copy(const UnicodeString& S, int Index, int Count)
{
    if (Index < 1)
        Index = 1;
    if (Count <= 0 || size_t(Index) > S.size())
        return UnicodeString();
    return S.substr(size_t(Index) - 1, size_t(Count));
}

void Delete(UnicodeString& S, int Index, int Count)
{
    if (Index < 1 || size_t(Index) > S.size() || Count <= 0)
        return;
    S.erase(size_t(Index) - 1, size_t(Count));
}

void Insert(const UnicodeString& Source, UnicodeString& S, int Index)
{
    size_t at = Index < 1 ? 0 : std::min(size_t(Index) - 1, S.size());
    S.insert(at, Source);
}

UnicodeString QuotedStr(const UnicodeString& S)
{
    UnicodeString r = L"'";
    for (wchar_t c : S) {
        r += c;
        if (c == L'\'')
            r += c;
    }
    return r + L"'";
}

// ---------------------------------------------------------------------------
// File names

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// 0-based index of the last folder or drive delimiter, npos when none.
size_t LastPathDelimiter(const UnicodeString& S)
{
    return S.find_last_of(L"\\/:");
}

} // namespace

UnicodeString ExtractFilePath(const UnicodeString& FileName)
{
    size_t i = LastPathDelimiter(FileName);
    return i == UnicodeString::npos ? UnicodeString() : FileName.substr(0, i + 1);
}

UnicodeString ExtractFileDir(const UnicodeString& FileName)
{
    size_t i = LastPathDelimiter(FileName);
    if (i == UnicodeString::npos)
        return UnicodeString();
    // Keep the separator of a root ("C:\", "\"), drop any other.
    if (i > 0 && IsSeparator(FileName[i]) && !IsSeparator(FileName[i - 1]) && FileName[i - 1] != L':')
        return FileName.substr(0, i);
    return FileName.substr(0, i + 1);
}

UnicodeString ExtractFileDrive(const UnicodeString& FileName)
{
    if (FileName.size() >= 2 && FileName[1] == L':')
        return FileName.substr(0, 2);
    if (FileName.size() >= 2 && IsSeparator(FileName[0]) && IsSeparator(FileName[1])) {
        // \\server\share
        size_t server = FileName.find_first_of(L"\\/", 2);
        if (server == UnicodeString::npos)
            return FileName;
        size_t share = FileName.find_first_of(L"\\/", server + 1);
        return FileName.substr(0, share);
    }
    return UnicodeString();
}

UnicodeString ExtractFileName(const UnicodeString& FileName)
{
    size_t i = LastPathDelimiter(FileName);
    return i == UnicodeString::npos ? FileName : FileName.substr(i + 1);
}

UnicodeString ExtractFileExt(const UnicodeString& FileName)
{
    size_t i = FileName.find_last_of(L".\\/:");
    if (i == UnicodeString::npos || FileName[i] != L'.')
        return UnicodeString();
    return FileName.substr(i);
}

UnicodeString ChangeFileExt(const UnicodeString& FileName, const UnicodeString& Extension)
{
    size_t i = FileName.find_last_of(L".\\/:");
    if (i == UnicodeString::npos || FileName[i] != L'.')
        return FileName + Extension;
    return FileName.substr(0, i) + Extension;
}

bool IsPathDelimiter(const UnicodeString& S, int Index)
{
    return Index >= 1 && size_t(Index) <= S.size() && IsSeparator(S[size_t(Index) - 1]);
}

UnicodeString IncludeTrailingPathDelimiter(const UnicodeString& S)
{
    if (IsPathDelimiter(S, int(S.size())))
        return S;
    return S + L"\\";
}

UnicodeString ExcludeTrailingPathDelimiter(const UnicodeString& S)
{
    if (IsPathDelimiter(S, int(S.size())))
        return S.substr(0, S.size() - 1);
    return S;
}

UnicodeString ExpandFileName(const UnicodeString& FileName)
{
    if (FileName.empty())
        return UnicodeString();
    DWORD n = GetFullPathNameW(FileName.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return UnicodeString();
    UnicodeString out(n, L'\0');
    wchar_t* filePart = nullptr;
    n = GetFullPathNameW(FileName.c_str(), n, out.data(), &filePart);
    if (n == 0 || n >= out.size())
        return UnicodeString();
    out.resize(n);
    return out;
}

// ---------------------------------------------------------------------------
// Locale

namespace {

void ReadLocaleChar(LCTYPE Type, wchar_t& Value)
{
    wchar_t buf[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, Type, buf, 8) > 1)
        Value = buf[0];
}

// The settings follow the user's locale from start-up on.
struct TLocaleAtStartup {
    TLocaleAtStartup() { GetFormatSettings(); }
} LocaleAtStartup;

} // namespace

void GetFormatSettings()
{
    ReadLocaleChar(LOCALE_SDECIMAL, FormatSettings.DecimalSeparator);
    ReadLocaleChar(LOCALE_STHOUSAND, FormatSettings.ThousandSeparator);
    GetDateFormatSettings(FormatSettings);
}

// ---------------------------------------------------------------------------
namespace {
TSysLocale ReadSysLocale()
{
    TSysLocale l;
    LCID id = ::GetUserDefaultLCID();
    l.DefaultLCID = id;
    l.PriLangID = PRIMARYLANGID(LANGIDFROMLCID(id));
    l.SubLangID = SUBLANGID(LANGIDFROMLCID(id));
    l.FarEast = ::GetSystemMetrics(SM_DBCSENABLED) != 0;
    l.MiddleEast = ::GetSystemMetrics(SM_MIDEASTENABLED) != 0;
    return l;
}
} // namespace

TSysLocale SysLocale = ReadSysLocale();

namespace {
OSVERSIONINFOW ReadVersion()
{
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    if (!::GetVersionExW(&v))
        v = OSVERSIONINFOW{};
    return v;
}
const OSVERSIONINFOW Version = ReadVersion();
} // namespace

const int Win32Platform = int(Version.dwPlatformId);
const int Win32MajorVersion = int(Version.dwMajorVersion);
const int Win32MinorVersion = int(Version.dwMinorVersion);
// The NT family keeps the whole build number; the older family its low word.
const int Win32BuildNumber = int(Version.dwPlatformId == VER_PLATFORM_WIN32_NT ? Version.dwBuildNumber
                                                                                : LOWORD(Version.dwBuildNumber));
const UnicodeString Win32CSDVersion = Version.szCSDVersion;

bool CheckWin32Version(int Major, int Minor)
{
    return Win32MajorVersion > Major || (Win32MajorVersion == Major && Win32MinorVersion >= Minor);
}
