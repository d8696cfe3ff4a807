#include "SkinLook.h"

#include <algorithm>
#include <cstdio>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sMaskData.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinProps.h"
#include "support/WineHost.h"

#ifndef KV_BUILT_SKIN
#error "KV_BUILT_SKIN names the skin folder of the build"
#endif

namespace {

// The built-in skin as the build packed it, loaded on its own.
class TBuiltinStore : public TObject, public TsSkinStore {
public:
    TsSkinData Data;
    TBuiltinStore()
    {
        SkinData = &Data;
        StoreOwner = this;
    }
};

uint32_t Rgb(TColor C)
{
    const uint32_t v = uint32_t(ColorToRGB(C));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

uint32_t PixelRgb(TBitmap* Bmp, int X, int Y)
{
    const TBitmapRows rows = Bmp->Rows();
    const uint8_t* p = rows.Pixel(X, Y);
    return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

// One state of a skin image: its picture and, for a masked image, the
// mask below it (black opaque, white transparent); a key-coloured image is
// transparent where it shows the key colour.
class TMaskReader {
public:
    TMaskReader(TsSkinStore& Skin, int Index) : FData(Skin.ma[std::size_t(Index)])
    {
        FBmp = FData.Bmp ? FData.Bmp : Skin.MasterBitmap;
        FOrigin = FData.Bmp ? TPoint(0, 0) : FData.R.TopLeft();
        if (FBmp && FBmp->PixelFormat() != pf24bit && FBmp->PixelFormat() != pf32bit)
            FBmp = nullptr;
    }
    bool Valid() const { return FBmp && Width() > 0 && Height() > 0; }
    int Width() const { return WidthOfImage(FData); }
    int Height() const { return HeightOfImage(FData); }
    int States() const { return std::max<int>(1, FData.ImageCount); }
    const TsMaskData& Data() const { return FData; }

    uint32_t Colour(int State, int X, int Y) const
    {
        return PixelRgb(FBmp, FOrigin.x + State * Width() + X, FOrigin.y + Y);
    }
    uint8_t Opacity(int State, int X, int Y) const
    {
        if (FData.MaskType == 1) {
            const uint32_t m = PixelRgb(FBmp, FOrigin.x + State * Width() + X, FOrigin.y + Height() + Y);
            return uint8_t(255 - (m & 0xFF));
        }
        if (FData.MaskType == 0)
            return Colour(State, X, Y) == 0xFF00FF ? 0 : 255;
        return 255;
    }

private:
    const TsMaskData& FData;
    TBitmap* FBmp = nullptr;
    TPoint FOrigin;
};

void AddUnique(std::vector<uint32_t>& Colours, uint32_t C)
{
    if (std::find(Colours.begin(), Colours.end(), C) == Colours.end())
        Colours.push_back(C);
}

// The opaque colours of the image's outermost column beside its middle
// (the piece a tall border is made of), every state.
std::vector<uint32_t> LeftEdge(const TMaskReader& M)
{
    std::vector<uint32_t> out;
    const int top = std::min<int>(M.Data().WT, M.Height() - 1);
    const int bottom = std::max(top + 1, M.Height() - M.Data().WB);
    for (int s = 0; s < M.States(); ++s)
        for (int y = top; y < bottom; ++y)
            if (M.Opacity(s, 0, y) == 255)
                AddUnique(out, M.Colour(s, 0, y));
    return out;
}

// The opaque colours of the image's top row beside its middle, every state.
std::vector<uint32_t> TopEdge(const TMaskReader& M)
{
    std::vector<uint32_t> out;
    const int left = std::min<int>(M.Data().WL, M.Width() - 1);
    const int right = std::max(left + 1, M.Width() - M.Data().WR);
    for (int s = 0; s < M.States(); ++s)
        for (int x = left; x < right; ++x)
            if (M.Opacity(s, x, 0) == 255)
                AddUnique(out, M.Colour(s, x, 0));
    return out;
}

TSkinGlyph GlyphOf(const TMaskReader& M, int State)
{
    TSkinGlyph g;
    g.Width = M.Width();
    g.Height = M.Height();
    for (int y = 0; y < g.Height; ++y)
        for (int x = 0; x < g.Width; ++x) {
            g.Colour.push_back(M.Colour(State, x, y));
            g.Opacity.push_back(M.Opacity(State, x, y));
        }
    return g;
}

void AddFill(TColourBox& Box, const TsGeneralData& Section)
{
    Box.Add(Rgb(Section.Color));
    Box.Add(Rgb(Section.HotColor));
    for (const TsGradArray* grads : {&Section.GradientArray, &Section.HotGradientArray})
        for (const TsGradPie& pie : *grads) {
            Box.Add(Rgb(pie.Color1));
            Box.Add(Rgb(pie.Color2));
        }
}

std::wstring SkinFile()
{
    std::wstring path = RunningUnderWine() ? L"Z:" : L"";
    for (char c : std::string(KV_BUILT_SKIN))
        path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

} // namespace

void TColourBox::Add(uint32_t C)
{
    for (int i = 0; i < 3; ++i) {
        const uint8_t v = uint8_t(C >> (16 - 8 * i));
        Lo[i] = std::min(Lo[i], v);
        Hi[i] = std::max(Hi[i], v);
    }
}

bool TColourBox::Holds(uint32_t C, int Slack) const
{
    for (int i = 0; i < 3; ++i) {
        const int v = uint8_t(C >> (16 - 8 * i));
        if (v < Lo[i] - Slack || v > Hi[i] + Slack)
            return false;
    }
    return true;
}

std::string TColourBox::Describe() const
{
    char buf[64];
    std::snprintf(buf, sizeof(buf), "#%02x%02x%02x..#%02x%02x%02x", Lo[0], Lo[1], Lo[2], Hi[0], Hi[1], Hi[2]);
    return buf;
}

bool OneOf(uint32_t C, const std::vector<uint32_t>& Colours, int Slack)
{
    for (uint32_t k : Colours) {
        bool close = true;
        for (int s = 0; s < 24 && close; s += 8)
            close = std::abs(int((C >> s) & 0xFF) - int((k >> s) & 0xFF)) <= Slack;
        if (close)
            return true;
    }
    return false;
}

std::string Hex(uint32_t C)
{
    char buf[16];
    std::snprintf(buf, sizeof(buf), "#%06x", unsigned(C & 0xFFFFFF));
    return buf;
}

std::string Hexes(const std::vector<uint32_t>& Colours)
{
    std::string out;
    for (uint32_t c : Colours)
        out += (out.empty() ? "" : " ") + Hex(c);
    return out;
}

bool LoadSkinLook(TSkinLook& Look, std::string& Error)
{
    TBuiltinStore skin;
    const std::wstring dir = SkinFile();
    try {
        skin.ReloadPackedSkin(dir + L"\\internal.plz", dir, {});
    } catch (const Exception& e) {
        Error = "the built-in skin cannot be read: " + UnicodeToAnsi(e.Message());
        return false;
    }
    auto mask = [&](const wchar_t* Section, const wchar_t* Key, const char* What) -> int {
        const int i = skin.GetMaskIndex(Section, Key);
        if (!skin.IsValidImgIndex(i) || !TMaskReader(skin, i).Valid()) {
            Error += std::string(Error.empty() ? "" : ", ") + What + " missing";
            return -1;
        }
        return i;
    };
    const int form = mask(s_Form, s_BordersMask, "the form's border");
    const int title = mask(s_FormTitle, s_BordersMask, "the title's border");
    const int button = mask(s_Button, s_BordersMask, "the button's border");
    const int close = mask(s_GlobalInfo, s_BiconClose, "the close button");
    const int titleSection = skin.GetSkinIndex(s_FormTitle);
    if (!Error.empty() || titleSection < 0)
        return false;

    Look.FrameEdge = LeftEdge(TMaskReader(skin, form));
    Look.TitleEdge = TopEdge(TMaskReader(skin, title));
    Look.ButtonEdge = LeftEdge(TMaskReader(skin, button));
    Look.Closes = {GlyphOf(TMaskReader(skin, close), 0)};
    for (const wchar_t* other : {s_BiCloseAlone, s_SiconClose}) {
        const int i = skin.GetMaskIndex(s_GlobalInfo, other);
        if (skin.IsValidImgIndex(i) && TMaskReader(skin, i).Valid())
            Look.Closes.push_back(GlyphOf(TMaskReader(skin, i), 0));
    }
    Look.TitleFill = TColourBox();
    AddFill(Look.TitleFill, skin.gd[std::size_t(titleSection)]);
    Look.MenuBack.clear();
    for (const wchar_t* section : {s_MainMenu, s_MenuItem}) {
        const int i = skin.GetSkinIndex(section);
        if (i >= 0)
            AddUnique(Look.MenuBack, Rgb(skin.gd[std::size_t(i)].Color));
    }
    return true;
}

TPoint FindGlyph(const TScreenPicture& Picture, const TRect& Area, const TSkinGlyph& Glyph, int Slack)
{
    std::vector<TPoint> solid, clear;
    for (int y = 0; y < Glyph.Height; ++y)
        for (int x = 0; x < Glyph.Width; ++x) {
            if (Glyph.OpacityAt(x, y) == 255)
                solid.push_back(TPoint(x, y));
            else if (Glyph.OpacityAt(x, y) == 0)
                clear.push_back(TPoint(x, y));
        }
    if (solid.empty())
        return TPoint(-1, -1);
    // The transparent pixels right beside the solid ones: the glyph's shape
    // shows only when they differ from its colour.
    std::vector<TPoint> rim;
    for (const TPoint& c : clear)
        for (const TPoint& s : solid)
            if (std::abs(int(c.x - s.x)) + std::abs(int(c.y - s.y)) == 1) {
                rim.push_back(c);
                break;
            }
    for (int top = Area.top; top + Glyph.Height <= Area.bottom; ++top)
        for (int left = Area.left; left + Glyph.Width <= Area.right; ++left) {
            bool match = true;
            for (const TPoint& s : solid) {
                const uint32_t want = Glyph.At(s.x, s.y);
                if (!Picture.Holds(left + s.x, top + s.y) ||
                    !OneOf(Picture.At(left + s.x, top + s.y), {want}, Slack)) {
                    match = false;
                    break;
                }
            }
            if (!match)
                continue;
            int differing = 0;
            for (const TPoint& r : rim)
                differing += !OneOf(Picture.At(left + r.x, top + r.y), {Glyph.At(solid[0].x, solid[0].y)}, Slack);
            if (differing * 2 >= int(rim.size()))
                return TPoint(left, top);
        }
    return TPoint(-1, -1);
}
