// Words, strings and numbers.
#include "skin/core/kvntUtils.h"

#include <windows.h>

#include <cmath>
#include <cwchar>

#include "classlib/rtl/SysUtils.h"

namespace {

wchar_t UpperCaseCharLocale(wchar_t c)
{
    CharUpperBuffW(&c, 1);
    return c;
}

// Walks S word by word, a word being a run of characters outside Delims.
// Answers the 1-based start of word N, or 0 when S has fewer words (always
// for N <= 0); Count receives the number of words passed.
int ScanWords(const UnicodeString& S, const TsCharSet& Delims, int N, int& Count)
{
    const size_t len = S.size();
    size_t i = 0;
    Count = 0;
    while (i < len) {
        while (i < len && Delims.Contains(S[i]))
            ++i;
        if (i == len)
            break;
        if (++Count == N)
            return static_cast<int>(i) + 1;
        while (i < len && !Delims.Contains(S[i]))
            ++i;
    }
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Character sets

TsCharSet::TsCharSet(const wchar_t* chars)
{
    for (; chars && *chars; ++chars)
        Include(*chars);
}

TsCharSet::TsCharSet(std::initializer_list<wchar_t> chars)
{
    for (wchar_t c : chars)
        Include(c);
}

TsCharSet& TsCharSet::Include(unsigned c)
{
    if (c < 256)
        FBits.set(c);
    return *this;
}

bool WideCharInSet(wchar_t C, const TsCharSet& CharSet)
{
    // Only single-byte characters can be members: testing wider ones by
    // their low byte would turn Hangul syllables such as U+AC20 into blanks.
    // So the kv word routines answer as the plain ones do.
    return CharSet.Contains(C);
}

// ---------------------------------------------------------------------------
// Words

int WordPosition(int N, const UnicodeString& S, const TsCharSet& Delims)
{
    int count = 0;
    return ScanWords(S, Delims, N, count);
}

int kvWordPosition(int N, const UnicodeString& S, const TsCharSet& WordDelims)
{
    return WordPosition(N, S, WordDelims);
}

UnicodeString ExtractWord(int N, const UnicodeString& S, const TsCharSet& WordDelims)
{
    int i = WordPosition(N, S, WordDelims);
    if (i == 0)
        return UnicodeString();
    UnicodeString result;
    for (size_t k = static_cast<size_t>(i - 1); k < S.size() && !WordDelims.Contains(S[k]); ++k)
        result += S[k];
    return result;
}

int WordCount(const UnicodeString& S, const TsCharSet& Delims)
{
    int count = 0;
    ScanWords(S, Delims, 0, count);
    return count;
}

int kvWordCount(const UnicodeString& S, const TsCharSet& WordDelims)
{
    return WordCount(S, WordDelims);
}

int GetWordNumber(const UnicodeString& W, const UnicodeString& S, const TsCharSet& WordDelims)
{
    int n = WordCount(S, WordDelims);
    for (int i = 1; i <= n; ++i)
        if (ExtractWord(i, S, WordDelims) == W)
            return i;
    return -1;
}

bool IsWordPresent(const UnicodeString& W, const UnicodeString& S, const TsCharSet& WordDelims)
{
    return GetWordNumber(W, S, WordDelims) > 0;
}

UnicodeString ExtractSubStr(const UnicodeString& S, int& Pos, const TsCharSet& Delims)
{
    const int len = static_cast<int>(S.size());
    if (Pos < 1)
        Pos = 1;
    int i = Pos;
    while (i <= len && !Delims.Contains(S[i - 1]))
        ++i;
    UnicodeString result = i > Pos && Pos <= len ? S.substr(static_cast<size_t>(Pos - 1), static_cast<size_t>(i - Pos)) : UnicodeString();
    Pos = i <= len ? i + 1 : len + 1;
    return result;
}

bool IsEmptyStr(const UnicodeString& S, const TsCharSet& EmptyChars)
{
    for (wchar_t c : S)
        if (!EmptyChars.Contains(c))
            return false;
    return true;
}

UnicodeString AnsiProperCase(const UnicodeString& S, const TsCharSet& WordDelims)
{
    UnicodeString result = AnsiLowerCase(S);
    size_t i = 0;
    while (i < result.size()) {
        while (i < result.size() && WordDelims.Contains(result[i]))
            ++i;
        if (i < result.size())
            result[i] = UpperCaseCharLocale(result[i]);
        while (i < result.size() && !WordDelims.Contains(result[i]))
            ++i;
    }
    return result;
}

bool SubStrInclude(const UnicodeString& SubString, const UnicodeString& S, bool CaseInsensitive)
{
    if (CaseInsensitive)
        return UpperCase(S).find(UpperCase(SubString)) != UnicodeString::npos;
    return S.find(SubString) != UnicodeString::npos;
}

UnicodeString ReplaceStr(const UnicodeString& S, const UnicodeString& Srch, const UnicodeString& Replace)
{
    if (Srch.empty())
        return S;
    UnicodeString result;
    size_t from = 0;
    for (size_t at; (at = S.find(Srch, from)) != UnicodeString::npos; from = at + Srch.size())
        result.append(S, from, at - from).append(Replace);
    return result.append(S, from, UnicodeString::npos);
}

UnicodeString DelChars(const UnicodeString& S, wchar_t Chr)
{
    UnicodeString result;
    for (wchar_t c : S)
        if (c != Chr)
            result += c;
    return result;
}

UnicodeString DelBSpace(const UnicodeString& S)
{
    size_t i = S.find_first_not_of(L' ');
    return i == UnicodeString::npos ? UnicodeString() : S.substr(i);
}

UnicodeString DelESpace(const UnicodeString& S)
{
    size_t i = S.find_last_not_of(L' ');
    return i == UnicodeString::npos ? UnicodeString() : S.substr(0, i + 1);
}

UnicodeString DelRSpace(const UnicodeString& S)
{
    return DelBSpace(DelESpace(S));
}

UnicodeString CorrectString(const UnicodeString& S)
{
    UnicodeString result = S;
    for (wchar_t& c : result) {
        switch (c) {
        case L'\'': c = L'`'; break;
        case L'?': c = L'I'; break;
        case L'\r':
        case L'\n': c = L' '; break;
        default: break;
        }
    }
    return DelRSpace(result);
}

AnsiString MakeStr(char C, int N)
{
    return N < 1 ? AnsiString() : AnsiString(static_cast<size_t>(N), C);
}

AnsiString AddChar(char C, const AnsiString& S, int N)
{
    int len = static_cast<int>(S.size());
    return len < N ? MakeStr(C, N - len) + S : S;
}

AnsiString AddCharR(char C, const AnsiString& S, int N)
{
    int len = static_cast<int>(S.size());
    return len < N ? S + MakeStr(C, N - len) : S;
}

void kvFillString(UnicodeString& S, int Count, wchar_t Ch)
{
    S = kvMakeString(Ch, Count);
}

UnicodeString kvMakeString(wchar_t Ch, int Count)
{
    return Count <= 0 ? UnicodeString() : UnicodeString(static_cast<size_t>(Count), Ch);
}

bool kvSameText(const UnicodeString& S1, const UnicodeString& S2)
{
    return AnsiSameText(S1, S2);
}

AnsiString OemToAnsiStr(const AnsiString& OemStr)
{
    // OEM and ANSI code pages may use a different number of bytes for the
    // same character (code page 949 is a double-byte page), so convert
    // through UTF-16 instead of in place.
    if (OemStr.empty())
        return AnsiString();
    int n = MultiByteToWideChar(CP_OEMCP, 0, OemStr.data(), static_cast<int>(OemStr.size()), nullptr, 0);
    if (n <= 0)
        return OemStr;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, OemStr.data(), static_cast<int>(OemStr.size()), wide.data(), n);
    int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (m <= 0)
        return OemStr;
    AnsiString result(static_cast<size_t>(m), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), n, result.data(), m, nullptr, nullptr);
    return result;
}

UnicodeString BoolToStr(bool B)
{
    return sBoolArray[B ? 1 : 0];
}

// ---------------------------------------------------------------------------
// Numbers

int IntToByte(int Value)
{
    return Value < 0 ? 0 : Value > 255 ? 255 : Value;
}

int CheckLimits(int Value, int MinValue, int MaxValue)
{
    return Value < MinValue ? MinValue : Value > MaxValue ? MaxValue : Value;
}

int LimitIt(int Value, int MinValue, int MaxValue)
{
    return CheckLimits(Value, MinValue, MaxValue);
}

bool Between(int Value, int MinValue, int MaxValue)
{
    return MinValue <= Value && Value <= MaxValue;
}

int Maxi(int A, int B) { return A > B ? A : B; }
int Mini(int A, int B) { return A < B ? A : B; }

void Changei(int& A, int& B)
{
    int t = A;
    A = B;
    B = t;
}

UnicodeString iff(bool L, const UnicodeString& S1, const UnicodeString& S2) { return L ? S1 : S2; }
int iffi(bool L, int A, int B) { return L ? A : B; }
TObject* iffo(bool L, TObject* O1, TObject* O2) { return L ? O1 : O2; }

int SumTrans(int A, int B)
{
    return static_cast<int>(std::llrint((100 - B) * A / 100.0 + B));
}

int GetCents(long double X)
{
    long double whole;
    long double frac = std::modf(X, &whole);
    return static_cast<int>(std::llrint(frac * 100));
}

long double CurRound(long double X)
{
    // Beyond the 64-bit integer range the rounding has no integer to give.
    const long double cents = (X + 0.000001L) * 100;
    if (!(std::fabs(cents) < 0x1p63L))
        throw EConvertError(L"Cannot round " + FloatToStr(X) + L" to cents");
    return std::llrint(cents) / 100.0L;
}

long double StringToFloat(const UnicodeString& S)
{
    // Either separator reads as a decimal point, whatever the locale says.
    UnicodeString t = Trim(S);
    for (wchar_t& c : t)
        if (c == L',')
            c = L'.';
    TFormatSettings dot = FormatSettings;
    dot.DecimalSeparator = L'.';
    long double v = 0;
    return TryStrToFloat(t, v, dot) ? v : 0;
}

bool IsValidFloat(const UnicodeString& Value, long double& RetValue)
{
    const wchar_t sep = FormatSettings.DecimalSeparator;
    if (Value.empty())
        return false;
    for (wchar_t c : Value)
        if (!((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'E' || c == L'e' || c == sep))
            return false;
    return TryStrToFloat(Value.substr(0, 127), RetValue);
}

UnicodeString FormatFloatStr(const UnicodeString& S, bool Thousands)
{
    const wchar_t sep = FormatSettings.DecimalSeparator;
    const wchar_t thousand = FormatSettings.ThousandSeparator;
    size_t end = S.size();
    for (size_t i = 0; i < S.size(); ++i)
        if (S[i] == sep || S[i] == L'E' || S[i] == L'e') {
            end = i;
            break;
        }
    size_t start = 0;
    UnicodeString sign;
    if (end > 0 && (S[0] == L'+' || S[0] == L'-')) {
        sign = S.substr(0, 1);
        start = 1;
    }
    UnicodeString digits = S.substr(start, end - start);
    UnicodeString grouped;
    if (Thousands) {
        const size_t n = digits.size();
        for (size_t i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped += thousand;
            grouped += digits[i];
        }
    } else {
        grouped = digits;
    }
    return sign + grouped + S.substr(end);
}

int64_t HexToInt(const UnicodeString& S)
{
    if (S.empty())
        return 0;
    UnicodeString t = UpperCase(S);
    if (t.back() == L'H')
        t.pop_back();
    uint64_t v = 0;
    for (wchar_t c : t) {
        int d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        else
            return 0;
        v = v * 16 + static_cast<uint64_t>(d);
    }
    return static_cast<int64_t>(v);
}

TMessage MakeMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT Result)
{
    TMessage m = MakeMessage(Msg, WParam, LParam);
    m.Result = Result;
    return m;
}
