// What the viewer's windows need of the built-in skin, and readers for the
// files the build drew (the skin folder, the packed skin, the pictures).
// The expectations are written out here, apart from the builder, so that a
// slip in the builder shows as a difference.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/IniFiles.h"

#ifndef KV_BUILT_SKIN
#error "KV_BUILT_SKIN names the skin folder of the build"
#endif

namespace builtin {

inline std::wstring Path(const std::wstring& rel)
{
    const std::string base = KV_BUILT_SKIN;
    return std::wstring(base.begin(), base.end()) + L"/" + rel;
}

inline std::vector<uint8_t> FileBytes(const std::wstring& path)
{
    std::ifstream f(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

struct Rgb {
    int R, G, B;
    bool operator==(const Rgb&) const = default;
};

inline Rgb Hex(uint32_t v) { return {int(v >> 16) & 255, int(v >> 8) & 255, int(v) & 255}; }

inline constexpr Rgb Key{255, 0, 255};
inline constexpr Rgb White{255, 255, 255};

// An image of the minimum set: '@' glyph or '^' nine-piece border.
struct WantedImage {
    const wchar_t* Section;
    const wchar_t* Key;
    wchar_t Form;
    int Frames, FrameW, FrameH;
    int WL = 0, WT = 0, WR = 0, WB = 0, DrawMode = 0;
};

inline const std::vector<WantedImage>& MinimumImages()
{
    static const std::vector<WantedImage> images = {
        {L"GLOBALINFO", L"BICONCLOSE", '@', 3, 26, 18},
        {L"GLOBALINFO", L"BICONMAX", '@', 3, 26, 18},
        {L"GLOBALINFO", L"BICONNORM", '@', 3, 26, 18},
        {L"GLOBALINFO", L"BICONMIN", '@', 3, 26, 18},
        {L"GLOBALINFO", L"BICONHELP", '@', 3, 26, 18},
        {L"GLOBALINFO", L"SICONCLOSE", '@', 3, 20, 16},
        {L"GLOBALINFO", L"SICONMAX", '@', 3, 20, 16},
        {L"GLOBALINFO", L"SICONNORM", '@', 3, 20, 16},
        {L"GLOBALINFO", L"SICONMIN", '@', 3, 20, 16},
        {L"GLOBALINFO", L"SICONHELP", '@', 3, 20, 16},
        {L"GLOBALINFO", L"CHECK", '@', 3, 12, 12},
        {L"GLOBALINFO", L"BOXCHECKED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"BOXUNCHECKED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"BOXGRAYED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"RADIOCHECKED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"RADIOUNCHECKED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"RADIOGRAYED", '@', 3, 12, 12},
        {L"GLOBALINFO", L"SMALLCHECKED", '@', 3, 10, 10},
        {L"GLOBALINFO", L"SMALLUNCHECKED", '@', 3, 10, 10},
        {L"GLOBALINFO", L"SMALLGRAYED", '@', 3, 10, 10},
        {L"GLOBALINFO", L"GRIPIMAGE", '@', 1, 12, 12},
        {L"FORM", L"BORDERSMASK", '^', 2, 9, 9, 4, 4, 4, 4, 0},
        {L"FORMTITLE", L"BORDERSMASK", '^', 2, 13, 8, 6, 6, 6, 1, 0},
        {L"BUTTON", L"BORDERSMASK", '^', 3, 9, 9, 4, 4, 4, 4, 4},
        {L"MAINMENU", L"BORDERSMASK", '^', 1, 7, 7, 3, 3, 3, 3, 0},
        {L"MENUITEM", L"BORDERSMASK", '^', 2, 7, 7, 3, 3, 3, 3, 2},
        {L"DIVIDERV", L"BORDERSMASK", '^', 1, 3, 2, 1, 1, 1, 1, 0},
        {L"SCROLLBTNLEFT", L"BORDERSMASK", '^', 3, 17, 17, 8, 8, 8, 8, 6},
        {L"SCROLLBTNRIGHT", L"BORDERSMASK", '^', 3, 17, 17, 8, 8, 8, 8, 6},
        {L"SCROLLBTNTOP", L"BORDERSMASK", '^', 3, 17, 17, 8, 8, 8, 8, 6},
        {L"SCROLLBTNBOTTOM", L"BORDERSMASK", '^', 3, 17, 17, 8, 8, 8, 8, 6},
        {L"SCROLLBTNLEFT", L"GLYPHMASK", '@', 3, 8, 8},
        {L"SCROLLBTNRIGHT", L"GLYPHMASK", '@', 3, 8, 8},
        {L"SCROLLBTNTOP", L"GLYPHMASK", '@', 3, 8, 8},
        {L"SCROLLBTNBOTTOM", L"GLYPHMASK", '@', 3, 8, 8},
        {L"SCROLLSLIDERH", L"BORDERSMASK", '^', 3, 13, 17, 6, 8, 6, 8, 4},
        {L"SCROLLSLIDERV", L"BORDERSMASK", '^', 3, 17, 13, 8, 6, 8, 6, 4},
        // Plain and focused field.
        {L"EDIT", L"BORDERSMASK", '^', 2, 5, 5, 2, 2, 2, 2, 0},
    };
    return images;
}

// Text values of the minimum set, exactly as written.
struct WantedText {
    const wchar_t* Section;
    const wchar_t* Key;
    const wchar_t* Value;
};

inline const std::vector<WantedText>& MinimumTexts()
{
    static const std::vector<WantedText> texts = {
        {L"GLOBALINFO", L"VERSION", L"6.4"},
        {L"GLOBALINFO", L"AUTHOR", L"Viewer team"},
        {L"GLOBALINFO", L"DESCRIPTION", L"Calm blue-grey built-in skin"},
        {L"GLOBALINFO", L"MASTERBITMAP", L"MASTER.BMP"},
        {L"GLOBALINFO", L"COLOR", L"16052718"},
        {L"GLOBALINFO", L"HOTCOLOR", L"16777215"},
        {L"GLOBALINFO", L"FONTCOLOR", L"3812126"},
        {L"GLOBALINFO", L"TCTOP", L"11431727"},
        {L"GLOBALINFO", L"TCBOTTOM", L"8741183"},
        {L"GLOBALINFO", L"BORDERCOLOR", L"16711935"},
        {L"GLOBALINFO", L"SHADOW1COLOR", L"0"},
        {L"GLOBALINFO", L"SHADOW1OFFSET", L"0"},
        {L"GLOBALINFO", L"SHADOW1BLUR", L"-1"},
        {L"GLOBALINFO", L"SHADOW1TRANSPARENCY", L"0"},
        {L"GLOBALINFO", L"BISPACE", L"2"},
        {L"GLOBALINFO", L"BIVALIGN", L"0"},
        {L"GLOBALINFO", L"BIRIGHT", L"2"},
        {L"GLOBALINFO", L"BILEFT", L"4"},
        {L"GLOBALINFO", L"BIKEEPHUE", L"0"},
        {L"FORM", L"COLOR", L"16052718"},
        {L"FORM", L"HOTCOLOR", L"16052718"},
        {L"FORM", L"FONTCOLOR", L"3812126"},
        {L"FORM", L"HOTFONTCOLOR", L"3812126"},
        {L"FORM", L"GIVEOWNFONT", L"TRUE"},
        {L"FORMTITLE", L"GRADIENTPERCENT", L"100"},
        {L"FORMTITLE", L"GRADIENTDATA", L"15855339;15394530;100;0;0"},
        {L"FORMTITLE", L"HOTGRADIENTPERCENT", L"100"},
        {L"FORMTITLE", L"HOTGRADIENTDATA", L"15656412;15063244;100;0;0"},
        {L"FORMTITLE", L"COLOR", L"15394530"},
        {L"FORMTITLE", L"HOTCOLOR", L"15063244"},
        {L"FORMTITLE", L"FONTCOLOR", L"7299670"},
        {L"FORMTITLE", L"HOTFONTCOLOR", L"3812126"},
        {L"DIALOG", L"PARENTCLASS", L"FORM"},
        {L"BUTTON", L"GRADIENTPERCENT", L"100"},
        {L"BUTTON", L"GRADIENTDATA", L"16645371;15854824;100;0;0"},
        {L"BUTTON", L"HOTGRADIENTPERCENT", L"100"},
        {L"BUTTON", L"HOTGRADIENTDATA", L"16777215;16050913;100;0;0"},
        {L"BUTTON", L"COLOR", L"15854824"},
        {L"BUTTON", L"HOTCOLOR", L"16050913"},
        {L"BUTTON", L"FONTCOLOR", L"3812126"},
        {L"BUTTON", L"HOTFONTCOLOR", L"4007440"},
        {L"BUTTON", L"SHOWFOCUS", L"TRUE"},
        {L"SPEEDBUTTON_SMALL", L"PARENTCLASS", L"BUTTON"},
        {L"MAINMENU", L"COLOR", L"16579578"},
        {L"MAINMENU", L"FONTCOLOR", L"3812126"},
        {L"MENUITEM", L"COLOR", L"16579578"},
        {L"MENUITEM", L"TRANSPARENCY", L"100"},
        {L"MENUITEM", L"HOTTRANSPARENCY", L"0"},
        {L"MENUITEM", L"HOTCOLOR", L"15853276"},
        {L"MENUITEM", L"FONTCOLOR", L"3812126"},
        {L"MENUITEM", L"HOTFONTCOLOR", L"4007440"},
        {L"ICOLINE", L"COLOR", L"16118253"},
        {L"TOOLBAR", L"COLOR", L"16118253"},
        {L"TOOLBAR", L"FONTCOLOR", L"7299670"},
        {L"SCROLLBAR1H", L"COLOR", L"15657702"},
        {L"SCROLLBAR1H", L"HOTCOLOR", L"14933206"},
        {L"SCROLLBAR2H", L"PARENTCLASS", L"SCROLLBAR1H"},
        {L"SCROLLBAR1V", L"PARENTCLASS", L"SCROLLBAR1H"},
        {L"SCROLLBAR2V", L"PARENTCLASS", L"SCROLLBAR1H"},
        {L"SCROLLBTNLEFT", L"TRANSPARENCY", L"100"},
        {L"SCROLLBTNLEFT", L"HOTTRANSPARENCY", L"100"},
        {L"SCROLLBTNRIGHT", L"TRANSPARENCY", L"100"},
        {L"SCROLLBTNRIGHT", L"HOTTRANSPARENCY", L"100"},
        {L"SCROLLBTNTOP", L"TRANSPARENCY", L"100"},
        {L"SCROLLBTNTOP", L"HOTTRANSPARENCY", L"100"},
        {L"SCROLLBTNBOTTOM", L"TRANSPARENCY", L"100"},
        {L"SCROLLBTNBOTTOM", L"HOTTRANSPARENCY", L"100"},
        {L"SCROLLSLIDERH", L"TRANSPARENCY", L"100"},
        {L"SCROLLSLIDERH", L"HOTTRANSPARENCY", L"100"},
        {L"SCROLLSLIDERV", L"TRANSPARENCY", L"100"},
        {L"SCROLLSLIDERV", L"HOTTRANSPARENCY", L"100"},
        {L"CHECKBOX", L"TRANSPARENCY", L"100"},
        {L"CHECKBOX", L"HOTTRANSPARENCY", L"100"},
        {L"CHECKBOX", L"FONTCOLOR", L"3812126"},
        {L"CHECKBOX", L"HOTFONTCOLOR", L"3812126"},
    };
    return texts;
}

// An image value read by the loader's fixed columns (1-based positions:
// rectangle at 2, 7, 12, 17; '@': count at 22, mask type at 24; '^': widths
// at 22, 27, 32, 37, count 42, mask type 44, draw mode 46, border width 48).
struct ImageValue {
    wchar_t Form = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Frames = 0, MaskType = 0;
    int WL = 0, WT = 0, WR = 0, WB = 0, DrawMode = 0, BorderWidth = 0;
    bool Valid = false;
};

inline int Field(const std::wstring& v, size_t pos, size_t len)
{
    if (v.size() < pos - 1 + len)
        throw std::out_of_range("short image value");
    return std::stoi(v.substr(pos - 1, len));
}

inline ImageValue ParseImageValue(const std::wstring& v)
{
    ImageValue iv;
    if (v.empty() || (v[0] != L'@' && v[0] != L'^'))
        return iv;
    try {
        iv.Form = v[0];
        iv.Left = Field(v, 2, 4);
        iv.Top = Field(v, 7, 4);
        iv.Right = Field(v, 12, 4);
        iv.Bottom = Field(v, 17, 4);
        if (iv.Form == L'@') {
            iv.Frames = Field(v, 22, 1);
            iv.MaskType = Field(v, 24, 1);
        } else {
            iv.WL = Field(v, 22, 4);
            iv.WT = Field(v, 27, 4);
            iv.WR = Field(v, 32, 4);
            iv.WB = Field(v, 37, 4);
            iv.Frames = Field(v, 42, 1);
            iv.MaskType = Field(v, 44, 1);
            iv.DrawMode = Field(v, 46, 1);
            iv.BorderWidth = Field(v, 48, 1);
        }
        iv.Valid = true;
    } catch (const std::exception&) {
        iv.Valid = false;
    }
    return iv;
}

// The skin folder as the build wrote it.
class BuiltSkin {
public:
    BuiltSkin() : Ini(Path(L"builtin/Options.dat"))
    {
        Master.LoadFromFile(Path(L"builtin/MASTER.BMP"));
        Rows = Master.Rows();
    }

    ImageValue Image(const std::wstring& Section, const std::wstring& Key)
    {
        return ParseImageValue(Ini.ReadString(Section, Key, L""));
    }

    Rgb At(int X, int Y) const
    {
        const uint8_t* p = Rows.Pixel(X, Y);
        return {p[2], p[1], p[0]};
    }
    // Pixel (X, Y) of frame F of an image, and its mask below it.
    Rgb Picture(const ImageValue& V, int F, int X, int Y) const { return At(V.Left + F * FrameW(V) + X, V.Top + Y); }
    Rgb Mask(const ImageValue& V, int F, int X, int Y) const
    {
        return At(V.Left + F * FrameW(V) + X, V.Top + FrameH(V) + Y);
    }
    static int FrameW(const ImageValue& V) { return (V.Right - V.Left) / V.Frames; }
    static int FrameH(const ImageValue& V) { return (V.Bottom - V.Top) / 2; }

    TMemIniFile Ini;
    TBitmap Master;
    TBitmapRows Rows;
};

} // namespace builtin
