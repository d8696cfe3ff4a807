// The built-in skin as the build wrote it: the description's form and
// content, the rules of the master image that the painters rely on, chosen
// pixels, and the packed skin made from the folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "BuiltinSkin.h"
#include "classlib/rtl/Lists.h"
#include "skin/core/kvSkinPack.h"

using namespace builtin;

namespace {

std::vector<std::wstring> Sections(TMemIniFile& ini)
{
    TStringList list;
    ini.ReadSections(&list);
    std::vector<std::wstring> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

std::vector<std::wstring> Keys(TMemIniFile& ini, const std::wstring& section)
{
    TStringList list;
    ini.ReadSection(section, &list);
    std::vector<std::wstring> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

bool IsImageValue(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    return !(section == L"GLOBALINFO" && key == L"MASTERBITMAP") && !value.empty() &&
           (value[0] == L'@' || value[0] == L'^');
}

std::wstring Upper(std::wstring s)
{
    for (wchar_t& c : s)
        c = (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
    return s;
}

bool IsUpperName(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

} // namespace

// ASCII, CRLF line ends, upper-case names, KEY=VALUE with nothing around
// "=", no blank lines: the form every INI reader takes the same way.
TEST(BuiltinSkinDescription, IsPlainIniTextWithCrlf)
{
    const std::vector<uint8_t> bytes = FileBytes(Path(L"builtin/Options.dat"));
    ASSERT_FALSE(bytes.empty());
    const std::string text(bytes.begin(), bytes.end());
    ASSERT_TRUE(text.ends_with("\r\n"));
    size_t start = 0;
    int line = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string s = text.substr(start, end - start);
        start = end + 2;
        ++line;
        SCOPED_TRACE("line " + std::to_string(line) + ": " + s);
        for (char c : s)
            ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "not printable ASCII";
        ASSERT_FALSE(s.empty()) << "a blank line";
        if (s.front() == '[') {
            EXPECT_TRUE(s.back() == ']' && IsUpperName(s.substr(1, s.size() - 2)));
            continue;
        }
        const size_t eq = s.find('=');
        ASSERT_NE(eq, std::string::npos);
        EXPECT_TRUE(IsUpperName(s.substr(0, eq)));
        ASSERT_LT(eq + 1, s.size()) << "empty value";
        EXPECT_NE(s[eq + 1], ' ');
        EXPECT_NE(s.back(), ' ');
    }
    // Every line was ended by CRLF above; no carriage return or line feed
    // stands anywhere else.
    const auto count = [&](char c) { return std::count(text.begin(), text.end(), c); };
    EXPECT_EQ(count('\r'), line);
    EXPECT_EQ(count('\n'), line);
}

TEST(BuiltinSkinDescription, HoldsEveryValueOfTheMinimumSet)
{
    TMemIniFile ini(Path(L"builtin/Options.dat"));
    for (const WantedText& t : MinimumTexts()) {
        SCOPED_TRACE(std::wstring(t.Section) + L"/" + t.Key);
        EXPECT_EQ(ini.ReadString(t.Section, t.Key, L"(missing)"), t.Value);
    }
}

// The viewer's windows and the constant-index table find every section
// they look up, so nothing falls back to the unskinned look.
TEST(BuiltinSkinDescription, HasEverySectionTheViewerAndTheConstantIndexesUse)
{
    TMemIniFile ini(Path(L"builtin/Options.dat"));
    const std::vector<std::wstring> have = Sections(ini);
    EXPECT_EQ(std::set<std::wstring>(have.begin(), have.end()).size(), have.size()) << "a section twice";
    for (const wchar_t* s :
         {L"GLOBALINFO", L"FORM", L"FORMTITLE", L"DIALOG", L"BUTTON", L"SPEEDBUTTON_SMALL", L"MAINMENU",
          L"MENUITEM", L"ICOLINE", L"TOOLBAR", L"DIVIDERV", L"SCROLLBAR1H", L"SCROLLBAR2H", L"SCROLLBAR1V",
          L"SCROLLBAR2V", L"SCROLLBTNLEFT", L"SCROLLBTNRIGHT", L"SCROLLBTNTOP", L"SCROLLBTNBOTTOM",
          L"SCROLLSLIDERH", L"SCROLLSLIDERV", L"CHECKBOX", L"TABTOP", L"TABBOTTOM", L"TABLEFT", L"TABRIGHT",
          L"COMBOBTN", L"COMBOBOX", L"EDIT"})
        EXPECT_NE(std::find(have.begin(), have.end(), s), have.end()) << s;
    // Left out on purpose: no caption frame, title bar strip, extended
    // border or glow pictures.
    for (const wchar_t* s : {L"CAPTION", L"TITLEBAR"})
        EXPECT_EQ(std::find(have.begin(), have.end(), s), have.end()) << s;
    for (const wchar_t* k : {L"EXBORDER", L"BICONCLOSEGLOW0", L"BICONMAXGLOW0", L"BICONMINGLOW0"})
        EXPECT_EQ(ini.ReadString(L"GLOBALINFO", k, L""), L"") << k;
}

TEST(BuiltinSkinDescription, EveryImageLiesInsideTheMasterImageWithItsFrames)
{
    BuiltSkin skin;
    ASSERT_EQ(skin.Rows.BytesPerPixel, 3);
    for (const WantedImage& s : MinimumImages()) {
        SCOPED_TRACE(std::wstring(s.Section) + L"/" + s.Key);
        const ImageValue v = skin.Image(s.Section, s.Key);
        ASSERT_TRUE(v.Valid);
        EXPECT_EQ(v.Form, s.Form);
        EXPECT_EQ(v.Frames, s.Frames);
        EXPECT_EQ(v.MaskType, 1);
        EXPECT_TRUE(0 <= v.Left && v.Left < v.Right && v.Right <= skin.Rows.Width);
        EXPECT_TRUE(0 <= v.Top && v.Top < v.Bottom && v.Bottom <= skin.Rows.Height);
        EXPECT_EQ(v.Right - v.Left, s.Frames * s.FrameW);
        EXPECT_EQ(v.Bottom - v.Top, 2 * s.FrameH);
        if (s.Form == L'^') {
            EXPECT_EQ((std::vector<int>{v.WL, v.WT, v.WR, v.WB, v.DrawMode}),
                      (std::vector<int>{s.WL, s.WT, s.WR, s.WB, s.DrawMode}));
        }
    }
}

// The rules every image of the master image keeps: masks are exact greys
// (recolouring leaves greys alone), the key colour stands only in the
// corner pieces of borders (outside the arcs of rounded corners) with a
// white mask, regions are picture plus mask of even height, and no text
// value looks like an image value to the loader.
TEST(BuiltinSkinAtlas, KeepsTheRulesOfMasksHolesAndTexts)
{
    BuiltSkin skin;
    int images = 0;
    for (const std::wstring& section : Sections(skin.Ini)) {
        for (const std::wstring& key : Keys(skin.Ini, section)) {
            const std::wstring value = skin.Ini.ReadString(section, key, L"");
            SCOPED_TRACE(section + L"/" + key + L"=" + value);
            if (!IsImageValue(section, key, value)) {
                if (section == L"GLOBALINFO" && key == L"MASTERBITMAP")
                    continue;
                for (const wchar_t* bad : {L"#", L"!", L"@", L"^", L"~", L".BMP", L".JPG"})
                    EXPECT_EQ(Upper(value).find(bad), std::wstring::npos) << "reserved text";
                continue;
            }
            const ImageValue v = ParseImageValue(value);
            ASSERT_TRUE(v.Valid);
            ASSERT_TRUE(v.Right <= skin.Rows.Width && v.Bottom <= skin.Rows.Height);
            ++images;
            EXPECT_EQ((v.Bottom - v.Top) % 2, 0);
            ASSERT_EQ((v.Right - v.Left) % v.Frames, 0);
            const int fw = BuiltSkin::FrameW(v), fh = BuiltSkin::FrameH(v);
            int badMasks = 0, strayKeys = 0;
            for (int f = 0; f < v.Frames; ++f) {
                for (int y = 0; y < fh; ++y) {
                    for (int x = 0; x < fw; ++x) {
                        const Rgb m = skin.Mask(v, f, x, y);
                        badMasks += !(m.R == m.G && m.G == m.B);
                        if (!(skin.Picture(v, f, x, y) == Key))
                            continue;
                        const bool corner = v.Form == L'^' && (x < v.WL || x >= fw - v.WR) &&
                                            (y < v.WT || y >= fh - v.WB);
                        strayKeys += !corner || !(m == White);
                    }
                }
            }
            EXPECT_EQ(badMasks, 0) << "mask pixels that are not grey";
            EXPECT_EQ(strayKeys, 0) << "key colour outside corner pieces";
        }
    }
    EXPECT_GE(images, int(MinimumImages().size()));
}

// The form outline in each frame, the title's cut top corners, the close
// button's face in its three states and the check-box and radio glyphs,
// pixel by pixel.
TEST(BuiltinSkinAtlas, ChosenPixelsAreRight)
{
    BuiltSkin skin;
    struct Probe {
        const wchar_t* Section;
        const wchar_t* Key;
        int Frame, X, Y;
        Rgb Picture;
        int Mask;
    };
    const Probe probes[] = {
        // window frame: a 1-pixel outline, inactive then active; inside clear
        {L"FORM", L"BORDERSMASK", 0, 0, 0, Hex(0xA9B3BD), 0},
        {L"FORM", L"BORDERSMASK", 0, 8, 4, Hex(0xA9B3BD), 0},
        {L"FORM", L"BORDERSMASK", 1, 0, 0, Hex(0x5A7896), 0},
        {L"FORM", L"BORDERSMASK", 1, 4, 8, Hex(0x5A7896), 0},
        {L"FORM", L"BORDERSMASK", 1, 4, 4, White, 255},
        // title: holes outside the radius-4 arcs, outline, separator row
        {L"FORMTITLE", L"BORDERSMASK", 0, 0, 0, Key, 255},
        {L"FORMTITLE", L"BORDERSMASK", 0, 1, 0, Key, 255},
        {L"FORMTITLE", L"BORDERSMASK", 0, 0, 1, Key, 255},
        {L"FORMTITLE", L"BORDERSMASK", 1, 12, 0, Key, 255},
        {L"FORMTITLE", L"BORDERSMASK", 1, 6, 0, Hex(0x5A7896), 0},
        {L"FORMTITLE", L"BORDERSMASK", 0, 0, 6, Hex(0xA9B3BD), 0},
        {L"FORMTITLE", L"BORDERSMASK", 0, 6, 7, Hex(0xD5DADF), 0},
        {L"FORMTITLE", L"BORDERSMASK", 1, 6, 7, Hex(0xB9C6D4), 0},
        {L"FORMTITLE", L"BORDERSMASK", 1, 6, 3, White, 255},
        // close face: a dark cross; red plates with a white cross
        {L"GLOBALINFO", L"BICONCLOSE", 0, 12, 8, Hex(0x3A4A5C), 0},
        {L"GLOBALINFO", L"BICONCLOSE", 0, 3, 9, White, 255},
        {L"GLOBALINFO", L"BICONCLOSE", 1, 3, 9, Hex(0xC85A54), 0},
        {L"GLOBALINFO", L"BICONCLOSE", 1, 12, 8, White, 0},
        {L"GLOBALINFO", L"BICONCLOSE", 2, 3, 9, Hex(0xA9443F), 0},
        {L"GLOBALINFO", L"BICONCLOSE", 2, 12, 8, White, 0},
        {L"GLOBALINFO", L"BICONCLOSE", 2, 0, 0, White, 255},
        // check boxes and radio buttons: the outline in every state (the
        // accent while hot), the middle empty, marked or filled by state
        {L"GLOBALINFO", L"BOXUNCHECKED", 0, 1, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"BOXUNCHECKED", 1, 1, 6, Hex(0x2F6FAE), 0},
        {L"GLOBALINFO", L"BOXUNCHECKED", 0, 5, 5, White, 255},
        {L"GLOBALINFO", L"BOXGRAYED", 0, 1, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"BOXGRAYED", 0, 5, 5, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"RADIOUNCHECKED", 0, 1, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"RADIOUNCHECKED", 0, 6, 6, White, 255},
        {L"GLOBALINFO", L"RADIOCHECKED", 0, 1, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"RADIOCHECKED", 0, 6, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"RADIOGRAYED", 0, 6, 6, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"RADIOGRAYED", 0, 6, 4, White, 255},
        {L"GLOBALINFO", L"SMALLUNCHECKED", 0, 1, 5, Hex(0x3F6185), 0},
        {L"GLOBALINFO", L"SMALLUNCHECKED", 0, 5, 5, White, 255},
        {L"GLOBALINFO", L"SMALLGRAYED", 0, 5, 5, Hex(0x3F6185), 0},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(std::wstring(p.Section) + L"/" + p.Key + L" frame " + std::to_wstring(p.Frame) + L" (" +
                     std::to_wstring(p.X) + L", " + std::to_wstring(p.Y) + L")");
        const ImageValue v = skin.Image(p.Section, p.Key);
        ASSERT_TRUE(v.Valid);
        const Rgb pic = skin.Picture(v, p.Frame, p.X, p.Y);
        EXPECT_TRUE(pic == p.Picture) << pic.R << "," << pic.G << "," << pic.B;
        EXPECT_TRUE(skin.Mask(v, p.Frame, p.X, p.Y) == (Rgb{p.Mask, p.Mask, p.Mask}));
    }
}

// The packed skin is the folder packed by our PackDir: the description
// first, then the master image, byte for byte.
TEST(BuiltinSkinPack, HoldsTheDescriptionThenTheMasterImage)
{
    const std::vector<uint8_t> packed = FileBytes(Path(L"internal.plz"));
    ASSERT_GT(packed.size(), 27u);
    EXPECT_EQ(std::string(packed.begin(), packed.begin() + 4), "PLzf");
    EXPECT_EQ(packed[4], 2);
    EXPECT_EQ(std::string(packed.begin() + 12, packed.begin() + 23), "Options.dat");

    TkvSkinConvertor* sc = nullptr;
    LoadSkinFromFile(Path(L"internal.plz"), sc, true);
    ASSERT_NE(sc, nullptr);
    std::unique_ptr<TkvSkinConvertor> owner(sc);
    ASSERT_NE(sc->Options, nullptr);
    ASSERT_EQ(sc->Files.size(), 1u);
    EXPECT_EQ(sc->Files[0].FileName, L"MASTER.BMP");
    EXPECT_TRUE(sc->Files[0].IsBitmap);
    auto bytes = [](TMemoryStream* s) {
        const uint8_t* p = static_cast<const uint8_t*>(s->Memory());
        return std::vector<uint8_t>(p, p + s->Size());
    };
    EXPECT_EQ(bytes(sc->Options), FileBytes(Path(L"builtin/Options.dat")));
    EXPECT_EQ(bytes(sc->Files[0].FileStream), FileBytes(Path(L"builtin/MASTER.BMP")));
}
