// Skins written by the tests become the tables: sections with inheritance,
// the global values, every form of image value, JPEG patterns, mask indexes
// and constant indexes, from a folder, a packed file and an internal skin.
#include <gtest/gtest.h>

#include <memory>

#include "LoadTestUtil.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager_Stored.h"

using namespace loadtest;

namespace {

const char* const RichOptions =
    "[GLOBALINFO]\r\n"
    "VERSION=6.4\r\n"
    "AUTHOR=Tests\r\n"
    "MASTERBITMAP=MASTER.BMP\r\n"
    "TITLEHEIGHT=26\r\n"
    "BORDERWIDTH=5\r\n"
    "SHADOW1OFFSET=2\r\n"
    "BOXCHECKED=@0010 0020 0040 0060 3 1\r\n"
    "EXBORDER=!EXB.PNG!2!0!0!20!21!22!23\r\n"
    "[BUTTON]\r\n"
    "COLOR=255\r\n"
    "FONTCOLOR=65280\r\n"
    "TCLEFT=16711680\r\n"
    "FADINGITERATIONS=7\r\n"
    "GRADIENTDATA=255;65280;100;0;0\r\n"
    "BORDERSMASK=^0000 0000 0090 0060 0000 0000 0000 0000 3 1 4 0\r\n"
    "PATTERN=~0100 0000 0116 0016 01\r\n"
    "GLYPHMASK=!GLYPH.PNG!2!0!2\r\n"
    "HOTPATTERN=BIG.JPG\r\n"
    "[MYBUTTON]\r\n"
    "PARENTCLASS=BUTTON\r\n"
    "FONTCOLOR=-1\r\n"
    "[REDBUTTON]\r\n"
    "PARENTCLASS=BUTTON\r\n"
    "COLOR=-1\r\n"
    "[SELF]\r\n"
    "PARENTCLASS=SELF\r\n"
    "[CYCA]\r\n"
    "PARENTCLASS=CYCB\r\n"
    "[CYCB]\r\n"
    "PARENTCLASS=CYCA\r\n"
    "[EDIT]\r\n"
    "imgtopright=#master (120,0,150,30) 3,1\r\n"
    "PATTERN=small.jpg\r\n"
    "IMGTOPLEFT=edge.bmp\r\n"
    "GLYPHMASK=!lower.bmp!1!0!0\r\n"
    "HOTGLYPH=!MISSING.BMP!1!0!2\r\n";

// The images of the rich skin.
void WriteRichImages(const TSkinFolder& f)
{
    f.Bmp(L"MASTER.BMP", MakeBitmap(200, 100, pf24bit, [](int x, int) {
                             return x < 100 ? Rgb(200, 30, 30) : Rgb(30, 30, 200);
                         }).get());
    f.Bmp(L"edge.bmp", Solid(90, 60, Rgb(20, 160, 20)).get());
    f.Bmp(L"lower.bmp", Solid(12, 12, Rgb(1, 2, 3)).get());
    f.Png(L"GLYPH.PNG", PngBytes(12, 6, [](int x, int y) {
              return x == 0 && y == 0 ? Rgb(255, 255, 255, 0) : Rgb(10, 200, 30, 128);
          }));
    f.Png(L"EXB.PNG", PngBytes(80, 60, [](int x, int) { return x < 40 ? Rgb(0, 0, 0, 90) : Rgb(0, 0, 0, 200); }));
    f.CopyJpeg(L"pattern300.jpg", L"BIG.JPG");
    f.CopyJpeg(L"pattern299.jpg", L"small.jpg");
}

void WriteRichSkin(const TSkinFolder& f)
{
    f.Options(RichOptions);
    WriteRichImages(f);
}

void LoadFolder(TsSkinStore& s, const TSkinFolder& f, const TsSkinLoadSettings& Settings = {})
{
    TMemIniFile ini(f.File(L"Options.dat"));
    TsSkinSource src;
    src.SkinFile = &ini;
    src.SkinPath = f.SkinPath();
    s.LoadSkin(src, Settings);
}

const TsGeneralData& Section(TsSkinStore& s, const wchar_t* Name)
{
    const int i = s.GetSkinIndex(Name);
    EXPECT_GE(i, 0) << Name;
    return s.gd[size_t(i < 0 ? 0 : i)];
}

const TsMaskData* Image(TsSkinStore& s, const wchar_t* Section, const wchar_t* Key)
{
    const int i = s.GetMaskIndex(Section, Key);
    return i >= 0 ? &s.ma[size_t(i)] : nullptr;
}

std::vector<int> Widths(const TsMaskData& m)
{
    return {m.WL, m.WT, m.WR, m.WB};
}

class RichSkin : public ::testing::Test {
protected:
    TSkinFolder folder;
    TTestStore store;
    TObject owner;

    void SetUp() override
    {
        WriteRichSkin(folder);
        store.StoreOwner = &owner;
    }
};

TEST_F(RichSkin, SectionsInheritThroughParentClass)
{
    LoadFolder(store, folder);
    ASSERT_EQ(store.gd.size(), 8u);
    const TsGeneralData& button = Section(store, L"BUTTON");
    EXPECT_EQ(button.Color, 255);
    EXPECT_EQ(button.FadingIterations, 7);
    ASSERT_EQ(button.GradientArray.size(), 1u);
    EXPECT_EQ(button.GradientArray[0].Color2, 65280);

    // No COLOR, and FONTCOLOR written as -1: both come from BUTTON.
    const TsGeneralData& mine = Section(store, L"MYBUTTON");
    EXPECT_EQ(mine.ParentClass, L"BUTTON");
    EXPECT_EQ(mine.Color, 255);
    EXPECT_EQ(mine.FontColor[1], 65280);
    EXPECT_EQ(mine.FontColor[2], 16711680);
    EXPECT_EQ(mine.FontColor[3], -1);
    EXPECT_EQ(mine.FadingIterations, 7);
    EXPECT_EQ(Section(store, L"REDBUTTON").Color, 255);

    // A section naming itself, and a cycle of two, end with the defaults.
    for (const wchar_t* s : {L"SELF", L"CYCA", L"CYCB"}) {
        EXPECT_EQ(Section(store, s).Color, 0xFFFFFF) << s;
        EXPECT_EQ(Section(store, s).FadingIterations, 5) << s;
        EXPECT_EQ(Section(store, s).FontColor[2], -1) << s;
    }
}

TEST_F(RichSkin, GlobalValuesReadTheVersionWithAPointWhateverTheLocale)
{
    TFormatSettingsScope comma(L',', L'.');
    LoadFolder(store, folder);
    EXPECT_DOUBLE_EQ(store.Data.Version, 6.4);
    EXPECT_EQ(store.Versions, std::vector<double>{6.4});
    EXPECT_EQ(store.Data.Author, L"Tests");
    EXPECT_EQ(store.Data.SkinPath, folder.SkinPath());
    EXPECT_EQ(store.Data.ExTitleHeight, 26);
    EXPECT_EQ(store.Data.ExMaxHeight, 26);   // MAXHEIGHT absent: the title height
    EXPECT_EQ(store.Data.ExBorderWidth, 5);
    EXPECT_EQ(store.Data.ExContentOffs, 8);
    EXPECT_EQ(store.Data.Shadow1Offset, 2);
    EXPECT_EQ(store.Data.Shadow1Blur, -1);
}

TEST_F(RichSkin, RegionsOfTheMasterImage)
{
    LoadFolder(store, folder);
    ASSERT_NE(store.MasterBitmap, nullptr);
    EXPECT_EQ(store.MasterBitmap->Width(), 200);
    EXPECT_EQ(store.MasterBitmap->PixelFormat(), pf24bit);

    const TsMaskData* glyph = Image(store, L"GLOBALINFO", L"BOXCHECKED");
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->Bmp, nullptr);
    EXPECT_EQ(glyph->R, TRect(10, 20, 40, 60));
    EXPECT_EQ(glyph->ImgType, itisaGlyph);
    EXPECT_EQ(glyph->Manager, &owner);

    const TsMaskData* border = Image(store, L"BUTTON", L"BORDERSMASK");
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(Widths(*border), (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(border->DrawMode, 4);

    const TsMaskData* texture = Image(store, L"BUTTON", L"PATTERN");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->ImgType, itisaTexture);
    EXPECT_EQ(texture->ImageCount, 1);
    EXPECT_EQ(texture->DrawMode, 1);

    // "#" values get upper-cased names, at least one frame and DrawMode 1.
    const TsMaskData* region = Image(store, L"EDIT", L"IMGTOPRIGHT");
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->R, TRect(120, 0, 150, 30));
    EXPECT_EQ(region->DrawMode, 1);
    EXPECT_EQ(Widths(*region), (std::vector<int>{3, 5, 3, 5}));
}

TEST_F(RichSkin, ImagesOfTheirOwn)
{
    LoadFolder(store, folder);
    // A PNG keeps its alpha; a white pixel of alpha 0 is cleared.
    const TsMaskData* png = Image(store, L"BUTTON", L"GLYPHMASK");
    ASSERT_NE(png, nullptr);
    ASSERT_NE(png->Bmp, nullptr);
    EXPECT_EQ(png->Bmp->PixelFormat(), pf32bit);
    EXPECT_EQ(PixelOf(png->Bmp, 0, 0), Rgb(0, 0, 0, 0));
    EXPECT_EQ(PixelOf(png->Bmp, 1, 0), Rgb(10, 200, 30, 128));
    EXPECT_EQ(png->ImgType, itisaGlyph);
    EXPECT_EQ(png->DrawMode, 4);
    EXPECT_EQ(png->R, TRect(0, 0, 12, 6));
    EXPECT_EQ(Widths(*png), (std::vector<int>{2, 2, 2, 2}));

    const TsMaskData* ex = Image(store, L"GLOBALINFO", L"EXBORDER");
    ASSERT_NE(ex, nullptr);
    EXPECT_EQ(Widths(*ex), (std::vector<int>{20, 21, 22, 23}));

    // A plain ".BMP" value is a 24-bit three-state border over its mask.
    const TsMaskData* plain = Image(store, L"EDIT", L"IMGTOPLEFT");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Bmp->PixelFormat(), pf24bit);
    EXPECT_EQ(plain->ImageCount, 3);
    EXPECT_EQ(plain->MaskType, 1);
    EXPECT_EQ(Widths(*plain), (std::vector<int>{10, 10, 10, 10}));

    // "!" with a lower-case extension, and a missing file, give nothing.
    EXPECT_EQ(Image(store, L"EDIT", L"GLYPHMASK"), nullptr);
    EXPECT_EQ(Image(store, L"EDIT", L"HOTGLYPH"), nullptr);
}

TEST_F(RichSkin, LargeJpegsStayPatternsSmallOnesBecomeTextures)
{
    LoadFolder(store, folder);
    ASSERT_EQ(store.pa.size(), 1u);
    EXPECT_EQ(store.pa[0].ClassName, L"BUTTON");
    EXPECT_EQ(store.pa[0].PropertyName, L"HOTPATTERN");
    EXPECT_EQ(store.pa[0].Img->Width(), 300);
    EXPECT_EQ(store.GetPatternIndex(store.GetSkinIndex(L"MYBUTTON"), L"MYBUTTON", L"HOTPATTERN"), 0);

    const TsMaskData* small = Image(store, L"EDIT", L"PATTERN");
    ASSERT_NE(small, nullptr);
    ASSERT_NE(small->Bmp, nullptr);
    EXPECT_EQ(small->Bmp->Width(), 299);
    EXPECT_EQ(small->ImgType, itisaTexture);
    const Px c = PixelOf(small->Bmp, 150, 150);
    EXPECT_NEAR(c.R, 200, 3);
    EXPECT_NEAR(c.G, 80, 3);
}

TEST_F(RichSkin, MaskAndConstantIndexesFollowParents)
{
    LoadFolder(store, folder);
    const int border = store.GetMaskIndex(L"BUTTON", L"BORDERSMASK");
    EXPECT_EQ(Section(store, L"BUTTON").BorderIndex, border);
    EXPECT_EQ(Section(store, L"MYBUTTON").BorderIndex, border);
    EXPECT_EQ(Section(store, L"EDIT").ImgTL, store.GetMaskIndex(L"EDIT", L"IMGTOPLEFT"));
    EXPECT_EQ(Section(store, L"GLOBALINFO").BorderIndex, -1);
    EXPECT_EQ(store.ConstData.IndexGLobalInfo, store.GetSkinIndex(L"GLOBALINFO"));
    EXPECT_EQ(store.ConstData.CheckBoxChecked, store.GetMaskIndex(L"GLOBALINFO", L"BOXCHECKED"));
    EXPECT_EQ(store.ConstData.ExBorder, store.GetMaskIndex(L"GLOBALINFO", L"EXBORDER"));
}

TEST_F(RichSkin, CommonSectionsAddSectionsAndImages)
{
    TStringList common;
    common.SetText(L"[BUTTON]\r\nCOLOR=1\r\n"
                   L"[NEWSEC]\r\nPARENTCLASS=button\r\nHOTCOLOR=77\r\nBORDERSMASK=#m (0,0,30,30) 3,1\r\n"
                   L"[OTHER]\r\nFONTCOLOR=5\r\n");
    TsSkinLoadSettings settings;
    settings.CommonSections = &common;
    LoadFolder(store, folder, settings);
    EXPECT_EQ(Section(store, L"BUTTON").Color, 255);   // the skin's own section stays
    const TsGeneralData& added = Section(store, L"NEWSEC");
    EXPECT_EQ(added.ParentClass, L"BUTTON");
    EXPECT_EQ(added.Color, 255);
    EXPECT_EQ(added.HotColor, 77);
    EXPECT_EQ(added.FadingIterations, 7);
    EXPECT_EQ(added.BorderIndex, store.GetMaskIndex(L"NEWSEC", L"BORDERSMASK"));
    EXPECT_GE(added.BorderIndex, 0);
    const TsGeneralData& other = Section(store, L"OTHER");
    EXPECT_EQ(other.ParentClass, L"-1");
    EXPECT_EQ(other.Color, 0xFFFFFF);
    EXPECT_EQ(other.FontColor[1], 5);
}

// The same skin packed: images come from the entries.  Names of "!" values
// are compared as written, so a lower-case one is not found, while plain
// values are upper-cased before the lookup.
TEST_F(RichSkin, PackedFileLoadsTheSameSkin)
{
    TTestStore fromFolder;
    LoadFolder(fromFolder, folder);
    TTempDir out;
    PackDir(folder.SkinPath(), out.File(L"Rich.plz"));
    store.ReloadPackedSkin(out.File(L"Rich.plz"), out.Path() + L"\\", {});
    EXPECT_TRUE(store.SkinIsPacked);
    ASSERT_EQ(store.ma.size(), fromFolder.ma.size());
    for (size_t i = 0; i < store.ma.size(); ++i) {
        EXPECT_EQ(store.ma[i].ClassName + L"/" + store.ma[i].PropertyName,
                  fromFolder.ma[i].ClassName + L"/" + fromFolder.ma[i].PropertyName);
        EXPECT_EQ(store.ma[i].Bmp != nullptr, fromFolder.ma[i].Bmp != nullptr);
    }
    EXPECT_EQ(store.pa.size(), 1u);
    EXPECT_EQ(store.gd.size(), fromFolder.gd.size());
    EXPECT_EQ(PixelOf(store.MasterBitmap, 150, 50), Rgb(30, 30, 200));

    // In a packed skin "!" names must match an entry as written.
    TSkinFolder lower;
    lower.Options("[BUTTON]\r\nA=!button.bmp!3!1!0\r\nB=button.bmp\r\nC=!BUTTON.BMP!3!1!0\r\n");
    lower.Bmp(L"button.bmp", Solid(30, 20, Rgb(9, 9, 9)).get());
    PackDir(lower.SkinPath(), out.File(L"Lower.plz"));
    store.ReloadPackedSkin(out.File(L"Lower.plz"), out.Path() + L"\\", {});
    EXPECT_EQ(Image(store, L"BUTTON", L"A"), nullptr);
    EXPECT_NE(Image(store, L"BUTTON", L"B"), nullptr);
    EXPECT_NE(Image(store, L"BUTTON", L"C"), nullptr);
}

class InternalSkins : public RichSkin {
protected:
    TTempDir out;
    TsStoredSkins skins{nullptr};

    TsStoredSkin* AddPacked(const wchar_t* Name)
    {
        PackDir(folder.SkinPath(), out.File(L"i.plz"));
        auto* item = static_cast<TsStoredSkin*>(skins.Add());
        item->SetName(Name);
        item->PackedData->LoadFromFile(out.File(L"i.plz"));
        return item;
    }
};

TEST_F(InternalSkins, FoundByExactNameElseTheFirst)
{
    AddPacked(L"First");
    AddPacked(L"Rich (internal)");
    EXPECT_EQ(skins.IndexOf(L"Rich (internal)"), 1);
    EXPECT_EQ(skins.IndexOf(L"rich (internal)"), -1);

    UnicodeString name = L"Rich (internal)";
    EXPECT_EQ(store.ReloadSkin(out.Path() + L"\\", name, &skins, {}), rrLoaded);
    EXPECT_EQ(name, L"Rich (internal)");
    EXPECT_TRUE(store.SkinIsPacked);
    EXPECT_TRUE(store.Data.SkinPath.empty());
    EXPECT_GE(store.GetSkinIndex(L"MYBUTTON"), 0);
    EXPECT_NE(Image(store, L"BUTTON", L"GLYPHMASK"), nullptr);
    // The stored stream is lent to the reader, never taken.
    EXPECT_GT(skins.GetItem(1)->PackedData->Size(), 0);

    name = L"rich (internal)";
    EXPECT_EQ(store.ReloadSkin(out.Path() + L"\\", name, &skins, {}), rrLoaded);
    EXPECT_EQ(name, L"First");
}

TEST_F(InternalSkins, AFolderOfTheNameComesFirstAndNothingMeansNoSkin)
{
    TTempDir dir;
    CreateDirectoryW((dir.Path() + L"\\Rich").c_str(), nullptr);
    WriteBytes(dir.Path() + L"\\Rich\\Options.dat", "[FOLDERSKIN]\r\nCOLOR=3\r\n");
    AddPacked(L"Rich");
    UnicodeString name = L"Rich";
    EXPECT_EQ(store.ReloadSkin(dir.Path() + L"\\", name, &skins, {}), rrLoaded);
    EXPECT_FALSE(store.SkinIsPacked);
    EXPECT_EQ(store.gd.size(), 1u);
    EXPECT_EQ(store.Data.SkinPath, dir.Path() + L"\\\\Rich\\");

    TsStoredSkins none(nullptr);
    name = L"Elsewhere";
    EXPECT_EQ(store.ReloadSkin(dir.Path() + L"\\", name, &none, {}), rrNoSkin);
    EXPECT_EQ(store.gd.size(), 1u);   // nothing changed
}

// A stored skin without packed data is read from its collections.
TEST_F(InternalSkins, UnpackedCollectionsLoad)
{
    auto* item = static_cast<TsStoredSkin*>(skins.Add());
    item->SetName(L"Unpacked");
    TMemIniFile ini(folder.File(L"Options.dat"));
    item->LoadSkin(&ini);
    // An image of its own with no frame count is a three-state border.
    auto* own = static_cast<TsSkinImage*>(item->Images()->Add());
    own->FClassName = L"panel";
    own->FPropertyName = L"bordersmask";
    own->SetImage(Solid(90, 60, Rgb(5, 5, 5)).get());

    UnicodeString name = L"Unpacked";
    ASSERT_EQ(store.ReloadSkin(out.Path() + L"\\", name, &skins, {}), rrLoaded);
    EXPECT_FALSE(store.SkinIsPacked);
    EXPECT_DOUBLE_EQ(store.Data.Version, 6.4);
    EXPECT_EQ(Section(store, L"MYBUTTON").Color, 255);
    EXPECT_EQ(Section(store, L"MYBUTTON").FontColor[1], 65280);
    EXPECT_EQ(Section(store, L"BUTTON").GradientArray.size(), 1u);
    ASSERT_NE(store.MasterBitmap, nullptr);
    EXPECT_EQ(store.MasterBitmap->Width(), 200);
    const TsMaskData* border = Image(store, L"BUTTON", L"BORDERSMASK");
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(border->R, TRect(0, 0, 90, 60));
    const TsMaskData* panel = Image(store, L"PANEL", L"BORDERSMASK");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->ImageCount, 3);
    EXPECT_EQ(panel->MaskType, 1);
    EXPECT_EQ(Widths(*panel), (std::vector<int>{10, 10, 10, 10}));
    // An internal skin keeps every JPEG as a pattern, small ones too.
    ASSERT_EQ(store.pa.size(), 2u);
    EXPECT_EQ(store.pa[0].Img->Width(), 300);
}

} // namespace
