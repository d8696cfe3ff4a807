// Floating-point text conversions.  Windows-free: the native sanitizer
// build compiles this file as it stands.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "classlib/rtl/SysUtils.h"

constinit TFormatSettings FormatSettings;

TFormatSettingsScope::TFormatSettingsScope(const TFormatSettings& Settings) : FSaved(FormatSettings)
{
    FormatSettings = Settings;
}

TFormatSettingsScope::TFormatSettingsScope(wchar_t DecimalSeparator, wchar_t ThousandSeparator)
    : FSaved(FormatSettings)
{
    FormatSettings.DecimalSeparator = DecimalSeparator;
    FormatSettings.ThousandSeparator = ThousandSeparator;
}

TFormatSettingsScope::~TFormatSettingsScope()
{
    FormatSettings = FSaved;
}

// ---------------------------------------------------------------------------
// Text to number

namespace {

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Checks the grammar and spells the number in ASCII with '.' as the
// decimal point, ready for the C library; false when S is no number.
bool ToCNumber(const UnicodeString& S, wchar_t Decimal, std::string& Out)
{
    size_t i = 0, n = S.size();
    while (i < n && S[i] <= L' ')
        ++i;
    while (n > i && S[n - 1] <= L' ')
        --n;
    if (i < n && (S[i] == L'+' || S[i] == L'-'))
        Out += char(S[i++]);
    size_t digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (IsDigit(S[i])) {
            Out += char(S[i]);
            ++digits;
        } else if (S[i] == Decimal && !point) {
            Out += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (S[i] == L'E' || S[i] == L'e')) {
        Out += 'e';
        ++i;
        if (i < n && (S[i] == L'+' || S[i] == L'-'))
            Out += char(S[i++]);
        size_t expDigits = 0;
        for (; i < n && IsDigit(S[i]); ++i, ++expDigits)
            Out += char(S[i]);
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

bool TryStrToFloat(const UnicodeString& S, Extended& Value, const TFormatSettings& Settings)
{
    std::string text;
    if (!ToCNumber(S, Settings.DecimalSeparator, text))
        return false;
    errno = 0;
    Extended v = std::strtold(text.c_str(), nullptr);
    // Overflow gives infinity; an underflow is a value of (almost) zero and
    // stands as it is.
    if (std::isinf(v))
        return false;
    Value = v;
    return true;
}

bool TryStrToFloat(const UnicodeString& S, Extended& Value)
{
    return TryStrToFloat(S, Value, FormatSettings);
}

Extended StrToFloat(const UnicodeString& S, const TFormatSettings& Settings)
{
    Extended v = 0;
    if (!TryStrToFloat(S, v, Settings))
        throw EConvertError(L"'" + S + L"' is not a valid floating point value");
    return v;
}

Extended StrToFloat(const UnicodeString& S)
{
    return StrToFloat(S, FormatSettings);
}

// ---------------------------------------------------------------------------
// Number to text

namespace {

constexpr int MaxPrecision = 18;   // what an Extended holds reliably
constexpr int PicturePrecision = 15;  // FormatFloat's, as FloatToStr's

// |value| = 0.Digits x 10^Exponent; Digits has no leading or trailing
// zeros and is empty for zero.
struct TDecimal {
    bool Negative = false;
    int Exponent = 0;
    std::string Digits;

    bool IsZero() const { return Digits.empty(); }
};

void DropTrailingZeros(std::string& s)
{
    while (!s.empty() && s.back() == '0')
        s.pop_back();
}

// 64 significant digits: enough to tell an exact tie at any of the first 18
// digits from a value merely close to one, so rounding can be done on text.
TDecimal Decompose(Extended Value)
{
    TDecimal d;
    d.Negative = std::signbit(Value);
    if (Value == 0)
        return d;
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.63Le", std::fabs(Value));
    // "d.ddd...e+X"
    d.Digits = buf[0];
    const char* p = buf + 2;
    while (*p && *p != 'e')
        d.Digits += *p++;
    d.Exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    DropTrailingZeros(d.Digits);
    return d;
}

// Keeps Count significant digits, rounding half away from zero; a Count
// below zero leaves nothing (zero).
void RoundDigits(TDecimal& d, int Count)
{
    if (Count >= int(d.Digits.size()))
        return;
    if (Count < 0) {
        d.Digits.clear();
        return;
    }
    bool up = d.Digits[size_t(Count)] >= '5';
    d.Digits.resize(size_t(Count));
    if (up) {
        int i = Count - 1;
        while (i >= 0 && d.Digits[size_t(i)] == '9')
            d.Digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++d.Digits[size_t(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    DropTrailingZeros(d.Digits);
}

UnicodeString Widen(const std::string& s)
{
    return UnicodeString(s.begin(), s.end());
}

UnicodeString SpecialValue(Extended Value)
{
    if (std::isnan(Value))
        return L"NAN";
    return Value < 0 ? L"-INF" : L"INF";
}

// "d.dddE-x": the exponent gets a sign only when negative and at least
// ExpDigits digits.
UnicodeString Scientific(const TDecimal& d, int ExpDigits, const TFormatSettings& Settings)
{
    UnicodeString out = d.Negative ? L"-" : L"";
    out += wchar_t(d.Digits[0]);
    if (d.Digits.size() > 1) {
        out += Settings.DecimalSeparator;
        out += Widen(d.Digits.substr(1));
    }
    int e = d.Exponent - 1;
    out += L'E';
    if (e < 0)
        out += L'-';
    std::string exp = std::to_string(std::abs(e));
    if (int(exp.size()) < ExpDigits)
        exp.insert(0, size_t(ExpDigits) - exp.size(), '0');
    return out + Widen(exp);
}

// The digit at position Index of 0.Digits (0-based), '0' beyond them.
char DigitAt(const TDecimal& d, int Index)
{
    return Index >= 0 && Index < int(d.Digits.size()) ? d.Digits[size_t(Index)] : '0';
}

// Integer digits of d, "0" for a value below one.
std::string IntegerDigits(const TDecimal& d)
{
    std::string s;
    for (int i = 0; i < d.Exponent; ++i)
        s += DigitAt(d, i);
    return s.empty() ? "0" : s;
}

// Count decimals of d.
std::string FractionDigits(const TDecimal& d, int Count)
{
    std::string s;
    for (int i = 0; i < Count; ++i)
        s += DigitAt(d, d.Exponent + i);
    return s;
}

UnicodeString General(TDecimal d, int Precision, int ExpDigits, const TFormatSettings& Settings)
{
    RoundDigits(d, Precision);
    if (d.IsZero())
        return L"0";
    if (d.Exponent > Precision || d.Exponent < -3)
        return Scientific(d, ExpDigits, Settings);
    UnicodeString out = d.Negative ? L"-" : L"";
    out += Widen(IntegerDigits(d));
    int decimals = int(d.Digits.size()) - d.Exponent;
    if (decimals > 0)
        out += Settings.DecimalSeparator + Widen(FractionDigits(d, decimals));
    return out;
}

UnicodeString Fixed(TDecimal d, int Precision, int Decimals, const TFormatSettings& Settings)
{
    // Twice: to the precision, then to the decimals (2.675 held as
    // 2.67499999... is 2.675 at 15 digits, and then 2.68).
    RoundDigits(d, Precision);
    if (d.Exponent > Precision)
        return Scientific(d, 0, Settings);
    RoundDigits(d, d.Exponent + Decimals);
    UnicodeString out = d.Negative && !d.IsZero() ? L"-" : L"";
    out += Widen(IntegerDigits(d));
    if (Decimals > 0)
        out += Settings.DecimalSeparator + Widen(FractionDigits(d, Decimals));
    return out;
}

} // namespace

UnicodeString FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                          const TFormatSettings& Settings)
{
    if (!std::isfinite(Value))
        return SpecialValue(Value);
    Precision = std::clamp(Precision, 1, MaxPrecision);
    TDecimal d = Decompose(Value);
    if (Format == ffFixed)
        return Fixed(d, Precision, std::clamp(Digits, 0, MaxPrecision), Settings);
    return General(d, Precision, std::clamp(Digits, 0, 4), Settings);
}

UnicodeString FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits)
{
    return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

UnicodeString FloatToStr(Extended Value, const TFormatSettings& Settings)
{
    return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

UnicodeString FloatToStr(Extended Value)
{
    return FloatToStr(Value, FormatSettings);
}

// ---------------------------------------------------------------------------
// FormatFloat

namespace {

// One section of a picture, split into what the renderer needs.
struct TPicture {
    UnicodeString Text;
    int IntPlaces = 0;     // '0'/'#' before the decimal point
    int IntMin = 0;        // integer digits always shown (from the first '0')
    int FracPlaces = 0;    // '0'/'#' after it
    int FracMin = 0;       // decimals always shown (up to the last '0')
    bool Thousands = false;

    bool HasPlaces() const { return IntPlaces + FracPlaces > 0; }
};

// Calls Visit(char, quoted) for each character of a section.
template <class F>
void ForEachPictureChar(const UnicodeString& s, F Visit)
{
    wchar_t quote = 0;
    for (wchar_t c : s) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                Visit(c, true);
        } else if (c == L'\'' || c == L'"') {
            quote = c;
        } else {
            Visit(c, false);
        }
    }
}

std::vector<UnicodeString> SplitSections(const UnicodeString& Format)
{
    std::vector<UnicodeString> sections(1);
    wchar_t quote = 0;
    for (wchar_t c : Format) {
        if (quote && c == quote)
            quote = 0;
        else if (!quote && (c == L'\'' || c == L'"'))
            quote = c;
        else if (!quote && c == L';') {
            if (sections.size() == 3)
                break;
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

TPicture Analyse(const UnicodeString& Section)
{
    TPicture p;
    p.Text = Section;
    bool point = false;
    int firstZero = -1;
    ForEachPictureChar(Section, [&](wchar_t c, bool quoted) {
        if (quoted)
            return;
        if (c == L'0' || c == L'#') {
            if (point) {
                ++p.FracPlaces;
                if (c == L'0')
                    p.FracMin = p.FracPlaces;
            } else {
                if (c == L'0' && firstZero < 0)
                    firstZero = p.IntPlaces;
                ++p.IntPlaces;
            }
        } else if (c == L'.') {
            point = true;
        } else if (c == L',' && !point) {
            p.Thousands = true;
        }
    });
    p.IntMin = firstZero < 0 ? 0 : p.IntPlaces - firstZero;
    return p;
}

// Writes a picture with the digits of an already rounded value.
class TPictureWriter {
    const TPicture& FPic;
    const TFormatSettings& FSettings;
    std::string FInt;    // integer digits, at least IntMin of them
    std::string FFrac;   // decimals to show
    UnicodeString FOut;
    int FIntSeen = 0;    // integer places passed
    bool FIntWritten = false;
    bool FPoint = false;

    void PutIntDigit(size_t Index)
    {
        FOut += wchar_t(FInt[Index]);
        size_t fromRight = FInt.size() - 1 - Index;
        if (FPic.Thousands && fromRight > 0 && fromRight % 3 == 0)
            FOut += FSettings.ThousandSeparator;
        FIntWritten = true;
    }

    // Integer digits that have no place of their own go with the first one.
    void IntPlace()
    {
        const int pos = FPic.IntPlaces - 1 - FIntSeen++;   // place counted from the right
        const int len = int(FInt.size());
        if (FIntSeen == 1)
            for (int i = 0; i < len - pos - 1; ++i)
                PutIntDigit(size_t(i));
        if (pos < len)
            PutIntDigit(size_t(len - 1 - pos));
    }

    void FracPlace(int& Index)
    {
        if (Index < int(FFrac.size()))
            FOut += wchar_t(FFrac[size_t(Index)]);
        ++Index;
    }

    // A picture with decimal places only still shows the integer part; one
    // without any places shows no number at all.
    void IntWithoutPlaces()
    {
        if (FPic.IntPlaces == 0 && FPic.HasPlaces() && !FIntWritten)
            for (size_t i = 0; i < FInt.size(); ++i)
                PutIntDigit(i);
        FIntWritten = true;
    }

public:
    TPictureWriter(const TPicture& Pic, const TDecimal& d, const TFormatSettings& Settings)
        : FPic(Pic), FSettings(Settings)
    {
        FInt = d.Exponent > 0 ? IntegerDigits(d) : std::string();
        if (int(FInt.size()) < Pic.IntMin)
            FInt.insert(0, size_t(Pic.IntMin) - FInt.size(), '0');
        FFrac = FractionDigits(d, Pic.FracPlaces);
        while (int(FFrac.size()) > Pic.FracMin && FFrac.back() == '0')
            FFrac.pop_back();
    }

    UnicodeString Write()
    {
        int fracIndex = 0;
        ForEachPictureChar(FPic.Text, [&](wchar_t c, bool quoted) {
            bool inInteger = !FPoint && FIntSeen > 0 && FIntSeen < FPic.IntPlaces;
            if (quoted) {
                FOut += c;
            } else if ((c == L'0' || c == L'#') && !FPoint) {
                IntPlace();
            } else if (c == L'0' || c == L'#') {
                FracPlace(fracIndex);
            } else if (c == L'.' && !FPoint) {
                IntWithoutPlaces();
                FPoint = true;
                if (!FFrac.empty())
                    FOut += FSettings.DecimalSeparator;
            } else if (c == L',' && !FPoint) {
                // a switch, not a character of the result
            } else if (!inInteger || FIntWritten) {
                FOut += c;
            }
        });
        if (!FPoint)
            IntWithoutPlaces();
        return FOut;
    }
};

UnicodeString WritePicture(const TPicture& Pic, const TDecimal& d, bool Minus, const TFormatSettings& Settings)
{
    UnicodeString text = TPictureWriter(Pic, d, Settings).Write();
    return Minus ? L"-" + text : text;
}

// As FloatToStr shows the value (15 significant digits), then to the
// picture's decimals.
TDecimal RoundForPicture(TDecimal d, const TPicture& Pic)
{
    RoundDigits(d, PicturePrecision);
    RoundDigits(d, d.Exponent + Pic.FracPlaces);
    return d;
}

} // namespace

UnicodeString FormatFloat(const UnicodeString& Format, Extended Value, const TFormatSettings& Settings)
{
    if (Format.empty() || !std::isfinite(Value) || std::fabs(Value) >= 1e18L)
        return FloatToStr(Value, Settings);
    const std::vector<UnicodeString> sections = SplitSections(Format);
    auto section = [&](size_t i) { return i < sections.size() && !sections[i].empty() ? i : 0; };

    const TDecimal exact = Decompose(Value);
    const size_t chosen = exact.Negative ? section(1) : 0;
    TPicture pic = Analyse(sections[chosen]);
    TDecimal d = RoundForPicture(exact, pic);
    if (d.IsZero()) {
        pic = Analyse(sections[section(2)]);
        return WritePicture(pic, TDecimal(), false, Settings);
    }
    // The first section stands for negative values too, with a sign.
    const bool minus = exact.Negative && chosen == 0 && pic.HasPlaces();
    return WritePicture(pic, d, minus, Settings);
}

UnicodeString FormatFloat(const UnicodeString& Format, Extended Value)
{
    return FormatFloat(Format, Value, FormatSettings);
}
