// Colour names and system-colour resolution.
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/SysUtils.h"

TColor ColorToRGB(TColor Color)
{
    if (Color < 0)
        return static_cast<TColor>(::GetSysColor(Color & 0xFF));
    return Color;
}

const std::vector<TColorIdent>& ColorIdents()
{
    static const std::vector<TColorIdent> table = {
        {clBlack, L"clBlack"},
        {clMaroon, L"clMaroon"},
        {clGreen, L"clGreen"},
        {clOlive, L"clOlive"},
        {clNavy, L"clNavy"},
        {clPurple, L"clPurple"},
        {clTeal, L"clTeal"},
        {clGray, L"clGray"},
        {clSilver, L"clSilver"},
        {clRed, L"clRed"},
        {clLime, L"clLime"},
        {clYellow, L"clYellow"},
        {clBlue, L"clBlue"},
        {clFuchsia, L"clFuchsia"},
        {clAqua, L"clAqua"},
        {clWhite, L"clWhite"},
        {clMoneyGreen, L"clMoneyGreen"},
        {clSkyBlue, L"clSkyBlue"},
        {clCream, L"clCream"},
        {clMedGray, L"clMedGray"},
        {clActiveBorder, L"clActiveBorder"},
        {clActiveCaption, L"clActiveCaption"},
        {clAppWorkSpace, L"clAppWorkSpace"},
        {clBackground, L"clBackground"},
        {clBtnFace, L"clBtnFace"},
        {clBtnHighlight, L"clBtnHighlight"},
        {clBtnShadow, L"clBtnShadow"},
        {clBtnText, L"clBtnText"},
        {clCaptionText, L"clCaptionText"},
        {clDefault, L"clDefault"},
        {clGradientActiveCaption, L"clGradientActiveCaption"},
        {clGradientInactiveCaption, L"clGradientInactiveCaption"},
        {clGrayText, L"clGrayText"},
        {clHighlight, L"clHighlight"},
        {clHighlightText, L"clHighlightText"},
        {clHotLight, L"clHotLight"},
        {clInactiveBorder, L"clInactiveBorder"},
        {clInactiveCaption, L"clInactiveCaption"},
        {clInactiveCaptionText, L"clInactiveCaptionText"},
        {clInfoBk, L"clInfoBk"},
        {clInfoText, L"clInfoText"},
        {clMenu, L"clMenu"},
        {clMenuBar, L"clMenuBar"},
        {clMenuHighlight, L"clMenuHighlight"},
        {clMenuText, L"clMenuText"},
        {clNone, L"clNone"},
        {clScrollBar, L"clScrollBar"},
        {cl3DDkShadow, L"cl3DDkShadow"},
        {cl3DLight, L"cl3DLight"},
        {clWindow, L"clWindow"},
        {clWindowFrame, L"clWindowFrame"},
        {clWindowText, L"clWindowText"},
    };
    return table;
}

bool ColorToIdent(int32_t Color, UnicodeString& Ident)
{
    for (const TColorIdent& c : ColorIdents())
        if (c.Value == Color) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const UnicodeString& Ident, int32_t& Color)
{
    // The old names of the two grey shades are still understood.
    static const TColorIdent aliases[] = {{clLtGray, L"clLtGray"}, {clDkGray, L"clDkGray"}};
    for (const TColorIdent& c : ColorIdents())
        if (SameText(Ident, c.Name)) {
            Color = c.Value;
            return true;
        }
    for (const TColorIdent& c : aliases)
        if (SameText(Ident, c.Name)) {
            Color = c.Value;
            return true;
        }
    return false;
}

UnicodeString ColorToString(TColor Color)
{
    UnicodeString name;
    if (ColorToIdent(Color, name))
        return name;
    return L"$" + IntToHex(Color, 8);
}

TColor StringToColor(const UnicodeString& S)
{
    int32_t c;
    if (IdentToColor(S, c))
        return c;
    return StrToInt(S);
}

void GetColorValues(TGetStrProc Proc)
{
    if (!Proc)
        return;
    for (const TColorIdent& c : ColorIdents())
        Proc(c.Name);
}

namespace {

struct CharsetIdent {
    int32_t Value;
    const wchar_t* Name;
};

const CharsetIdent kCharsets[] = {
    {ANSI_CHARSET, L"ANSI_CHARSET"},         {DEFAULT_CHARSET, L"DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, L"SYMBOL_CHARSET"},     {MAC_CHARSET, L"MAC_CHARSET"},
    {SHIFTJIS_CHARSET, L"SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, L"HANGEUL_CHARSET"},
    {JOHAB_CHARSET, L"JOHAB_CHARSET"},       {GB2312_CHARSET, L"GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, L"CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, L"GREEK_CHARSET"},
    {TURKISH_CHARSET, L"TURKISH_CHARSET"},   {VIETNAMESE_CHARSET, L"VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, L"HEBREW_CHARSET"},     {ARABIC_CHARSET, L"ARABIC_CHARSET"},
    {BALTIC_CHARSET, L"BALTIC_CHARSET"},     {RUSSIAN_CHARSET, L"RUSSIAN_CHARSET"},
    {THAI_CHARSET, L"THAI_CHARSET"},         {EASTEUROPE_CHARSET, L"EASTEUROPE_CHARSET"},
    {OEM_CHARSET, L"OEM_CHARSET"},
};

bool ColorIdentToInt(const UnicodeString& Ident, int64_t& Value)
{
    int32_t c;
    if (!IdentToColor(Ident, c))
        return false;
    Value = c;
    return true;
}

bool ColorIntToIdent(int64_t Value, UnicodeString& Ident)
{
    return ColorToIdent(int32_t(Value), Ident);
}

bool CharsetIdentToInt(const UnicodeString& Ident, int64_t& Value)
{
    int32_t c;
    if (!IdentToCharset(Ident, c))
        return false;
    Value = c;
    return true;
}

bool CharsetIntToIdent(int64_t Value, UnicodeString& Ident)
{
    return CharsetToIdent(int32_t(Value), Ident);
}

// Form resources may be read before anything else of this unit is used.
const bool kIdentsRegistered = (RegisterGraphicsIdents(), true);

} // namespace

bool CharsetToIdent(int32_t Charset, UnicodeString& Ident)
{
    for (const CharsetIdent& c : kCharsets)
        if (c.Value == Charset) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToCharset(const UnicodeString& Ident, int32_t& Charset)
{
    if (SameText(Ident, L"HANGUL_CHARSET")) {
        Charset = HANGUL_CHARSET;
        return true;
    }
    for (const CharsetIdent& c : kCharsets)
        if (SameText(Ident, c.Name)) {
            Charset = c.Value;
            return true;
        }
    return false;
}

void RegisterGraphicsIdents()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterIntegerConsts(L"TColor", ColorIdentToInt, ColorIntToIdent);
    RegisterIntegerConsts(L"TFontCharset", CharsetIdentToInt, CharsetIntToIdent);
}
