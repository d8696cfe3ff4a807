#include "classlib/streaming/FormParser.h"

#include <cmath>
#include <cstdlib>

#include "classlib/rtl/Streams.h"

namespace {

bool IsIdentStart(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsIdentChar(wchar_t c) { return IsIdentStart(c) || IsDigit(c); }
int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// Hexadecimal spells the whole 64-bit pattern ($FFFFFFFFFFFFFFFF is -1), so
// the sign is applied in unsigned arithmetic, where -$8000000000000000 is
// representable too.
int64_t Signed(uint64_t Magnitude, bool Negative)
{
    return static_cast<int64_t>(Negative ? 0 - Magnitude : Magnitude);
}

bool SameWord(const UnicodeString& a, const wchar_t* b)
{
    size_t n = 0;
    for (; b[n]; ++n) {
        if (n >= a.size())
            return false;
        wchar_t x = a[n], y = b[n];
        if (x >= L'a' && x <= L'z') x = wchar_t(x - 32);
        if (y >= L'a' && y <= L'z') y = wchar_t(y - 32);
        if (x != y)
            return false;
    }
    return n == a.size();
}

class TParser {
public:
    explicit TParser(const UnicodeString& Text) : FText(Text) {}

    TFormObject ParseRoot()
    {
        SkipBlanks();
        TFormObject root = ParseObject();
        SkipBlanks();
        if (!AtEnd())
            Error(L"unexpected text after the final 'end'");
        return root;
    }

private:
    const UnicodeString& FText;
    size_t FPos = 0;
    int FLine = 1;
    int FDepth = 0;

    // Nesting of objects, lists and collections is bounded, so that hostile
    // text cannot exhaust the stack.
    struct TNest {
        TParser& P;
        explicit TNest(TParser& Parser) : P(Parser)
        {
            if (++P.FDepth > 200)
                P.Error(L"nested too deeply");
        }
        ~TNest() { --P.FDepth; }
    };

    [[noreturn]] void Error(const UnicodeString& Msg) const
    {
        throw EReadError(L"Invalid form resource: " + Msg + L" (line " + std::to_wstring(FLine) + L")");
    }

    bool AtEnd() const { return FPos >= FText.size(); }
    wchar_t Peek(size_t Ahead = 0) const { return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : L'\0'; }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            wchar_t c = FText[FPos];
            if (c == L'\n')
                ++FLine;
            else if (c != L' ' && c != L'\t' && c != L'\r')
                return;
            ++FPos;
        }
    }

    void Expect(wchar_t c, const wchar_t* What)
    {
        SkipBlanks();
        if (Peek() != c)
            Error(UnicodeString(L"expected ") + What);
        ++FPos;
    }

    UnicodeString ReadIdent(bool AllowDots)
    {
        SkipBlanks();
        if (!IsIdentStart(Peek()))
            Error(L"expected a name");
        size_t start = FPos;
        while (!AtEnd()) {
            wchar_t c = FText[FPos];
            if (IsIdentChar(c)) {
                ++FPos;
            } else if (AllowDots && c == L'.' && IsIdentStart(Peek(1))) {
                ++FPos;
            } else {
                break;
            }
        }
        return FText.substr(start, FPos - start);
    }

    // Reads the next word without consuming it.
    UnicodeString PeekWord()
    {
        SkipBlanks();
        size_t p = FPos;
        while (p < FText.size() && IsIdentChar(FText[p]))
            ++p;
        return FText.substr(FPos, p - FPos);
    }

    TFormObject ParseObject()
    {
        TNest nest(*this);
        TFormObject obj;
        obj.Line = FLine;
        UnicodeString kw = ReadIdent(false);
        if (SameWord(kw, L"object"))
            obj.Kind = TFormObject::okObject;
        else if (SameWord(kw, L"inherited"))
            obj.Kind = TFormObject::okInherited;
        else if (SameWord(kw, L"inline"))
            obj.Kind = TFormObject::okInline;
        else
            Error(L"expected 'object', 'inherited' or 'inline' but found '" + kw + L"'");
        UnicodeString first = ReadIdent(false);
        SkipBlanks();
        if (Peek() == L':') {
            ++FPos;
            obj.Name = first;
            obj.ClassName = ReadIdent(false);
        } else {
            obj.ClassName = first;
        }
        bool seenChild = false;
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Error(L"'end' missing for object " + (obj.Name.empty() ? obj.ClassName : obj.Name) + L" of line " +
                      std::to_wstring(obj.Line));
            UnicodeString word = PeekWord();
            if (SameWord(word, L"end")) {
                FPos += word.size();
                break;
            }
            if (SameWord(word, L"object") || SameWord(word, L"inherited") || SameWord(word, L"inline")) {
                obj.Children.push_back(ParseObject());
                seenChild = true;
                continue;
            }
            if (seenChild)
                Error(L"property " + word + L" after a child object; properties come first");
            obj.Props.push_back(ParseProperty());
        }
        return obj;
    }

    TFormProperty ParseProperty()
    {
        TFormProperty prop;
        prop.Line = FLine;
        prop.Name = ReadIdent(true);
        Expect(L'=', L"'=' after the property name");
        prop.Value = ParseValue();
        return prop;
    }

    TFormValue ParseValue()
    {
        TNest nest(*this);
        SkipBlanks();
        TFormValue v;
        v.Line = FLine;
        wchar_t c = Peek();
        if (c == L'\'' || c == L'#') {
            v.Kind = TFormValueKind::String;
            v.Str = ParseString();
        } else if (IsDigit(c) || c == L'-' || c == L'+' || c == L'$') {
            ParseNumber(v);
        } else if (IsIdentStart(c)) {
            v.Kind = TFormValueKind::Ident;
            v.Str = ReadIdent(true);
        } else if (c == L'[') {
            ++FPos;
            v.Kind = TFormValueKind::Set;
            ParseSet(v);
        } else if (c == L'(') {
            ++FPos;
            v.Kind = TFormValueKind::List;
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Error(L"')' missing at the end of a list");
                if (Peek() == L')') {
                    ++FPos;
                    break;
                }
                v.List.push_back(ParseValue());
            }
        } else if (c == L'<') {
            ++FPos;
            v.Kind = TFormValueKind::Collection;
            ParseCollection(v);
        } else if (c == L'{') {
            ++FPos;
            v.Kind = TFormValueKind::Binary;
            ParseBinary(v);
        } else if (AtEnd()) {
            Error(L"value missing at the end of the text");
        } else {
            Error(UnicodeString(L"unexpected character '") + c + L"' in a value");
        }
        return v;
    }

    // 'text' and #code pieces, adjacent or joined with '+'.
    UnicodeString ParseString()
    {
        UnicodeString s;
        for (;;) {
            SkipBlanks();
            wchar_t c = Peek();
            if (c == L'\'') {
                ++FPos;
                for (;;) {
                    if (AtEnd() || Peek() == L'\n' || Peek() == L'\r')
                        Error(L"unterminated string");
                    wchar_t ch = FText[FPos++];
                    if (ch == L'\'') {
                        if (Peek() == L'\'') {
                            s += L'\'';
                            ++FPos;
                        } else {
                            break;
                        }
                    } else {
                        s += ch;
                    }
                }
            } else if (c == L'#') {
                ++FPos;
                uint32_t code = 0;
                bool any = false;
                if (Peek() == L'$') {
                    ++FPos;
                    while (HexValue(Peek()) >= 0) {
                        code = code * 16 + uint32_t(HexValue(FText[FPos++]));
                        any = true;
                        if (code > 0x10FFFF)
                            Error(L"character code out of range");
                    }
                } else {
                    while (IsDigit(Peek())) {
                        code = code * 10 + uint32_t(FText[FPos++] - L'0');
                        any = true;
                        if (code > 0x10FFFF)
                            Error(L"character code out of range");
                    }
                }
                if (!any)
                    Error(L"digits expected after '#'");
                if (code >= 0x10000) {
                    code -= 0x10000;
                    s += wchar_t(0xD800 + (code >> 10));
                    s += wchar_t(0xDC00 + (code & 0x3FF));
                } else {
                    s += wchar_t(code);
                }
            } else {
                break;
            }
            // Pieces written without blanks between them belong together;
            // a '+' joins the next piece across blanks and lines.
            if (Peek() == L'\'' || Peek() == L'#')
                continue;
            size_t savePos = FPos;
            int saveLine = FLine;
            SkipBlanks();
            if (Peek() != L'+') {
                FPos = savePos;
                FLine = saveLine;
                break;
            }
            ++FPos;
            SkipBlanks();
            if (Peek() != L'\'' && Peek() != L'#')
                Error(L"string expected after '+'");
        }
        return s;
    }

    void ParseNumber(TFormValue& v)
    {
        bool negative = false;
        if (Peek() == L'-' || Peek() == L'+') {
            negative = Peek() == L'-';
            ++FPos;
        }
        if (Peek() == L'$') {
            ++FPos;
            uint64_t value = 0;
            int digits = 0;
            while (HexValue(Peek()) >= 0) {
                value = value * 16 + uint64_t(HexValue(FText[FPos++]));
                if (++digits > 16)
                    Error(L"number too large");
            }
            if (digits == 0)
                Error(L"hexadecimal digits expected after '$'");
            if (IsIdentChar(Peek()))
                Error(L"invalid number");
            v.Kind = TFormValueKind::Integer;
            v.Int = Signed(value, negative);
            return;
        }
        size_t start = FPos;
        while (IsDigit(Peek()))
            ++FPos;
        if (FPos == start)
            Error(L"digits expected in a number");
        bool isFloat = false;
        if (Peek() == L'.' && IsDigit(Peek(1))) {
            isFloat = true;
            ++FPos;
            while (IsDigit(Peek()))
                ++FPos;
        }
        if (Peek() == L'e' || Peek() == L'E') {
            size_t p = FPos + 1;
            if (p < FText.size() && (FText[p] == L'+' || FText[p] == L'-'))
                ++p;
            if (p < FText.size() && IsDigit(FText[p])) {
                isFloat = true;
                FPos = p;
                while (IsDigit(Peek()))
                    ++FPos;
            }
        }
        if (IsIdentChar(Peek()) || Peek() == L'.')
            Error(L"invalid number");
        std::string digits;
        for (size_t i = start; i < FPos; ++i)
            digits += char(FText[i]);
        if (isFloat) {
            v.Kind = TFormValueKind::Float;
            v.Float = std::strtod(digits.c_str(), nullptr);
            if (!std::isfinite(v.Float))
                Error(L"number too large");
            if (negative)
                v.Float = -v.Float;
            return;
        }
        if (digits.size() > 19)
            Error(L"number too large");
        uint64_t value = std::strtoull(digits.c_str(), nullptr, 10);
        if (value > uint64_t(INT64_MAX))
            Error(L"number too large");
        v.Kind = TFormValueKind::Integer;
        v.Int = Signed(value, negative);
    }

    void ParseSet(TFormValue& v)
    {
        SkipBlanks();
        if (Peek() == L']') {
            ++FPos;
            return;
        }
        for (;;) {
            v.Set.push_back(ReadIdent(false));
            SkipBlanks();
            if (Peek() == L',') {
                ++FPos;
                continue;
            }
            if (Peek() == L']') {
                ++FPos;
                return;
            }
            Error(L"',' or ']' expected in a set");
        }
    }

    void ParseCollection(TFormValue& v)
    {
        for (;;) {
            SkipBlanks();
            if (AtEnd())
                Error(L"'>' missing at the end of a collection");
            if (Peek() == L'>') {
                ++FPos;
                return;
            }
            UnicodeString word = PeekWord();
            if (!SameWord(word, L"item"))
                Error(L"'item' or '>' expected in a collection");
            TFormItem item;
            item.Line = FLine;
            FPos += word.size();
            for (;;) {
                SkipBlanks();
                if (AtEnd())
                    Error(L"'end' missing for the collection item of line " + std::to_wstring(item.Line));
                UnicodeString w = PeekWord();
                if (SameWord(w, L"end")) {
                    FPos += w.size();
                    break;
                }
                item.Props.push_back(ParseProperty());
            }
            v.Items.push_back(std::move(item));
        }
    }

    void ParseBinary(TFormValue& v)
    {
        int high = -1;
        for (;;) {
            if (AtEnd())
                Error(L"'}' missing at the end of binary data");
            wchar_t c = FText[FPos++];
            if (c == L'}')
                break;
            if (c == L'\n') {
                ++FLine;
                continue;
            }
            if (c == L' ' || c == L'\t' || c == L'\r')
                continue;
            int h = HexValue(c);
            if (h < 0)
                Error(UnicodeString(L"invalid character '") + c + L"' in binary data");
            if (high < 0) {
                high = h;
            } else {
                v.Bytes.push_back(static_cast<uint8_t>(high * 16 + h));
                high = -1;
            }
        }
        if (high >= 0)
            Error(L"odd number of hexadecimal digits in binary data");
    }
};

} // namespace

TFormObject ParseFormText(const UnicodeString& Text)
{
    TParser parser(Text);
    return parser.ParseRoot();
}

TFormObject ParseFormUtf8(const std::string& Bytes)
{
    // Decode strictly: a form resource with broken UTF-8 is refused rather
    // than read with mangled text.
    UnicodeString text;
    text.reserve(Bytes.size());
    size_t i = 0;
    if (Bytes.size() >= 3 && uint8_t(Bytes[0]) == 0xEF && uint8_t(Bytes[1]) == 0xBB && uint8_t(Bytes[2]) == 0xBF)
        i = 3;
    int line = 1;
    auto bad = [&]() {
        throw EReadError(L"Invalid form resource: text is not valid UTF-8 (line " + std::to_wstring(line) + L")");
    };
    while (i < Bytes.size()) {
        uint8_t b = uint8_t(Bytes[i]);
        uint32_t cp;
        int extra;
        if (b < 0x80) {
            cp = b;
            extra = 0;
            if (b == '\n')
                ++line;
            else if (b == 0)
                bad();
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            extra = 3;
        } else {
            bad();
        }
        if (extra > 0 && i + size_t(extra) >= Bytes.size())
            bad();
        for (int k = 1; k <= extra; ++k) {
            uint8_t cb = uint8_t(Bytes[i + size_t(k)]);
            if ((cb & 0xC0) != 0x80)
                bad();
            cp = (cp << 6) | (cb & 0x3F);
        }
        static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
            bad();
        if (cp >= 0x10000) {
            cp -= 0x10000;
            text += wchar_t(0xD800 + (cp >> 10));
            text += wchar_t(0xDC00 + (cp & 0x3FF));
        } else {
            text += wchar_t(cp);
        }
        i += size_t(extra) + 1;
    }
    return ParseFormText(text);
}

TFormObject ParseFormStream(TStream* Stream)
{
    int64_t remaining = Stream->Size() - Stream->Position();
    if (remaining < 0)
        remaining = 0;
    if (remaining > 256 * 1024 * 1024)
        throw EReadError(L"Invalid form resource: too large");
    std::string bytes(static_cast<size_t>(remaining), '\0');
    if (remaining > 0)
        Stream->ReadBuffer(bytes.data(), static_cast<int32_t>(remaining));
    return ParseFormUtf8(bytes);
}
