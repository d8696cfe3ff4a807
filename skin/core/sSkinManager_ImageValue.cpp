#include "skin/core/sSkinManager_ImageValue.h"

#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"

namespace {

// The text at 1-based column Pos, Len characters long, cut at the end of S:
// a column past the end reads as empty text (and then as no number).
UnicodeString Column(const UnicodeString& S, int Pos, int Len)
{
    const size_t from = static_cast<size_t>(Pos - 1);
    return from < S.size() ? S.substr(from, static_cast<size_t>(Len)) : UnicodeString();
}

int ColumnInt(const UnicodeString& S, int Pos, int Len)
{
    return StrToInt(Column(S, Pos, Len));
}

// Left, Top, Right, Bottom in columns 2, 7, 12 and 17.
TRect ColumnRect(const UnicodeString& S)
{
    return TRect(ColumnInt(S, 2, 4), ColumnInt(S, 7, 4), ColumnInt(S, 12, 4), ColumnInt(S, 17, 4));
}

bool Contains(const UnicodeString& S, const wchar_t* Sub)
{
    return S.find(Sub) != UnicodeString::npos;
}

int WordInt(int N, const UnicodeString& S, const TsCharSet& Delims)
{
    return StrToInt(ExtractWord(N, S, Delims));
}

void ParseFile(const UnicodeString& Value, TsImageValue& v)
{
    const TsCharSet bang{L'!'};
    v.FileName = ExtractWord(1, Value, bang);
    v.ImageCount = WordInt(2, Value, bang);
    v.MaskType = WordInt(3, Value, bang);
    v.ImgType = WordInt(4, Value, bang);
    v.HasWidths = WordCount(Value, bang) > 4;
    if (v.HasWidths) {
        v.WL = WordInt(5, Value, bang);
        v.WT = WordInt(6, Value, bang);
        v.WR = WordInt(7, Value, bang);
        v.WB = WordInt(8, Value, bang);
    }
}

void ParseGlyph(const UnicodeString& Value, TsImageValue& v)
{
    v.R = ColumnRect(Value);
    v.ImageCount = ColumnInt(Value, 22, 1);
    v.MaskType = ColumnInt(Value, 24, 1);
}

void ParseBorder(const UnicodeString& Value, TsImageValue& v)
{
    v.R = ColumnRect(Value);
    v.WL = ColumnInt(Value, 22, 4);
    v.WT = ColumnInt(Value, 27, 4);
    v.WR = ColumnInt(Value, 32, 4);
    v.WB = ColumnInt(Value, 37, 4);
    v.ImageCount = ColumnInt(Value, 42, 1);
    v.MaskType = ColumnInt(Value, 44, 1);
    v.DrawMode = ColumnInt(Value, 46, 1);
    v.BorderWidth = ColumnInt(Value, 48, 1);
}

void ParseTexture(const UnicodeString& Value, TsImageValue& v)
{
    v.R = ColumnRect(Value);
    v.DrawMode = ColumnInt(Value, 22, 2);
    v.MaskType = Value.size() >= 25 ? ColumnInt(Value, 25, 1) : 0;
    v.ImageCount = 1;
}

// "#MASTER (10,20,40,60) 3,1[,bw[,dm]]": word 2 the rectangle, word 3 the counts.
void ParseRegion(const UnicodeString& Value, TsImageValue& v)
{
    const TsCharSet words{L' ', L'(', L')'};
    const TsCharSet numbers{L',', L' '};
    const UnicodeString rect = ExtractWord(2, Value, words);
    const UnicodeString counts = ExtractWord(3, Value, words);
    v.R = TRect(WordInt(1, rect, numbers), WordInt(2, rect, numbers), WordInt(3, rect, numbers),
                WordInt(4, rect, numbers));
    v.ImageCount = WordInt(1, counts, numbers);
    v.MaskType = WordInt(2, counts, numbers);
    const int given = WordCount(counts, numbers);
    v.HasBorderWidth = given > 2;
    v.HasDrawMode = given > 3;
    if (v.HasBorderWidth)
        v.BorderWidth = WordInt(3, counts, numbers);
    if (v.HasDrawMode)
        v.DrawMode = WordInt(4, counts, numbers);
}

// "!name!...": an image only when the name has an image file's extension.
bool NamesImageFile(const UnicodeString& Value)
{
    const size_t end = Value.find(L'!', 1);
    const UnicodeString name = AnsiUpperCase(Value.substr(1, end == UnicodeString::npos ? UnicodeString::npos : end - 1));
    return Contains(name, L".BMP") || Contains(name, L".PNG");
}

} // namespace

bool IsTextKey(std::wstring_view Key)
{
    return SameText(Key, L"VERSION") || SameText(Key, L"AUTHOR") || SameText(Key, L"DESCRIPTION");
}

UnicodeString QuotedValue(const UnicodeString& Value)
{
    constexpr size_t kShown = 64;
    if (Value.size() <= kShown)
        return Value;
    return Value.substr(0, kShown) + L"... (" + IntToStr(int(Value.size())) + L" characters)";
}

TsImageForm ImageFormOf(const UnicodeString& Value)
{
    if (Value.empty())
        return ifNone;
    switch (Value[0]) {
    case L'!': return NamesImageFile(Value) ? ifFile : ifNone;
    case L'@': return ifGlyph;
    case L'^': return ifBorder;
    case L'~': return ifTexture;
    default: break;
    }
    if (Value != L"#" && Contains(Value, L"#"))
        return ifRegion;
    // Most values are numbers or colours: no extension, no upper-cased copy.
    if (!Contains(Value, L"."))
        return ifNone;
    const UnicodeString upper = AnsiUpperCase(Value);
    if (Contains(upper, L".BMP"))
        return ifPlainBmp;
    if (Contains(upper, L".JPG") || Contains(upper, L".JPEG"))
        return ifJpeg;
    return ifNone;
}

TsImageValue ParseImageValue(const UnicodeString& Value)
{
    TsImageValue v;
    v.Form = ImageFormOf(Value);
    switch (v.Form) {
    case ifFile: ParseFile(Value, v); break;
    case ifGlyph: ParseGlyph(Value, v); break;
    case ifBorder: ParseBorder(Value, v); break;
    case ifTexture: ParseTexture(Value, v); break;
    case ifRegion: ParseRegion(Value, v); break;
    case ifPlainBmp:
    case ifJpeg: v.FileName = AnsiUpperCase(Value); break;
    case ifNone: break;
    }
    return v;
}

void DeriveBorderWidths(TsMaskData& Mask)
{
    if (Mask.WL + Mask.WT + Mask.WR + Mask.WB != 0)
        return;
    if (Mask.BorderWidth != 0) {
        Mask.WL = Mask.WT = Mask.WR = Mask.WB = Mask.BorderWidth;
        return;
    }
    // A third of one frame each way: without frames there is nothing to divide.
    if (Mask.ImageCount < 1 || Mask.MaskType < 0)
        throw EConvertError(Mask.ClassName + L"/" + Mask.PropertyName + L": image count " +
                            IntToStr(int(Mask.ImageCount)) + L" and mask type " + IntToStr(int(Mask.MaskType)) +
                            L" give no frame to take the border widths from");
    Mask.WL = Mask.WR = ClampTo<int16_t>(Mask.R.Width() / (Mask.ImageCount * 3));
    Mask.WT = Mask.WB = ClampTo<int16_t>(Mask.R.Height() / ((Mask.MaskType + 1) * 3));
}

TkvImgType ImgTypeOf(int Value)
{
    return static_cast<TkvImgType>(Value < 0 ? 0 : (Value > 4 ? 4 : Value));
}
