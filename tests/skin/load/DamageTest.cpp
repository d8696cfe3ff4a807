// Damaged skins are refused with an exception of the class library, and the
// skin that was loaded before stays whole: its tables, images, global
// values and indexes, the announced state, and aSkinChanging cleared.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "LoadTestUtil.h"
#include "classlib/rtl/IniFiles.h"
#include "skin/core/kvSkinPack.h"
#include "skin/core/sSkinManager_Stored.h"
#include "tests/support/ResourceCount.h"

using namespace loadtest;

namespace {

const std::string GoodOptions =
    "[GLOBALINFO]\r\nVERSION=6.0\r\nMASTERBITMAP=MASTER.BMP\r\nBOXCHECKED=@0010 0020 0040 0060 3 1\r\n"
    "[BUTTON]\r\nCOLOR=255\r\nBORDERSMASK=!B.BMP!3!1!0\r\nGLYPHMASK=!G.PNG!1!0!2\r\nPATTERN=P.JPG\r\n";

void WriteGoodSkin(const TSkinFolder& f, const std::string& Options = GoodOptions)
{
    f.Options(Options);
    f.Bmp(L"MASTER.BMP", Solid(64, 64, Rgb(90, 90, 200)).get());
    f.Bmp(L"B.BMP", Solid(30, 20, Rgb(200, 90, 90)).get());
    f.Png(L"G.PNG", PngBytes(8, 8, [](int, int) { return Rgb(10, 20, 30, 40); }));
    f.CopyJpeg(L"pattern299.jpg", L"P.JPG");
}

std::string Replace(std::string Text, const std::string& From, const std::string& To)
{
    Text.replace(Text.find(From), From.size(), To);
    return Text;
}

void LoadFolder(TsSkinStore& s, const TSkinFolder& f)
{
    TMemIniFile ini(f.File(L"Options.dat"));
    TsSkinSource src;
    src.SkinFile = &ini;
    src.SkinPath = f.SkinPath();
    s.LoadSkin(src, {});
}

// Everything a failed load must leave as it was.
struct Snapshot {
    std::vector<UnicodeString> Sections;
    std::vector<const void*> Images;
    const void* Master;
    double Version;
    UnicodeString Path;
    TConstantSkinData Const;

    static Snapshot Of(TTestStore& s)
    {
        Snapshot n{{}, {}, s.MasterBitmap, s.Data.Version, s.Data.SkinPath, s.ConstData};
        for (const TsGeneralData& g : s.gd)
            n.Sections.push_back(g.ClassName);
        for (const TsMaskData& m : s.ma)
            n.Images.push_back(m.Bmp);
        for (const TsPatternData& p : s.pa)
            n.Images.push_back(p.Img);
        return n;
    }
    bool operator==(const Snapshot& o) const
    {
        return Sections == o.Sections && Images == o.Images && Master == o.Master && Version == o.Version &&
               Path == o.Path && std::memcmp(&Const, &o.Const, sizeof(Const)) == 0;
    }
};

class Damaged : public ::testing::Test {
protected:
    TSkinFolder good;
    TTestStore store;

    void SetUp() override
    {
        WriteGoodSkin(good);
        LoadFolder(store, good);
        store.Data.Active = true;
        ASSERT_EQ(store.gd.size(), 2u);
        ASSERT_EQ(store.ma.size(), 4u);
    }

    // Load must fail with an exception of the class library and change
    // nothing.
    void ExpectRefused(const std::string& What, const std::function<void()>& Load)
    {
        SCOPED_TRACE(What);
        const Snapshot before = Snapshot::Of(store);
        bool refused = false;
        try {
            TsSkinChangeScope change(store.SkinData);
            EXPECT_TRUE(aSkinChanging);
            Load();
        } catch (const Exception& e) {
            refused = !e.Message().empty();
        } catch (...) {
            ADD_FAILURE() << "an exception outside the class library's family";
        }
        EXPECT_TRUE(refused);
        EXPECT_TRUE(Snapshot::Of(store) == before);
        EXPECT_FALSE(aSkinChanging);
        EXPECT_TRUE(store.Data.Active);
    }
};

TEST_F(Damaged, DescriptionsWithBadNumbersOrNoFramesAreRefused)
{
    const std::pair<std::string, std::string> edits[] = {
        {"@0010 0020 0040 0060 3 1", "@00x0 0020 0040 0060 3 1"},
        {"@0010 0020 0040 0060 3 1", "@0010 0020 0040"},
        {"!B.BMP!3!1!0", "!B.BMP!0!1!0"},
        {"!B.BMP!3!1!0", "!B.BMP!3!-1!0"},
        {"!B.BMP!3!1!0", "^0000 0000 0030 0020 0000 0000 0000 0000 0 1 4 0"},
        {"VERSION=6.0", "VERSION=6.0\r\nSHADOW1OFFSET=two"},
        {"COLOR=255", "GRADIENTDATA=255;x;100;0;0"},
    };
    for (const auto& e : edits) {
        TSkinFolder bad;
        WriteGoodSkin(bad, Replace(GoodOptions, e.first, e.second));
        ExpectRefused(e.second, [&] { LoadFolder(store, bad); });
    }
}

TEST_F(Damaged, TruncatedOrCorruptImagesAreRefused)
{
    for (const wchar_t* file : {L"MASTER.BMP", L"B.BMP", L"G.PNG", L"P.JPG"}) {
        TSkinFolder bad;
        WriteGoodSkin(bad);
        const std::string bytes = ReadBytes(bad.File(file));
        WriteBytes(bad.File(file), bytes.substr(0, bytes.size() / 3));
        ExpectRefused(std::string(file, file + wcslen(file)), [&] { LoadFolder(store, bad); });
    }
}

TEST_F(Damaged, BrokenPackedSkinsAreRefused)
{
    TTempDir out;
    PackDir(good.SkinPath(), out.File(L"Good.plz"));
    const std::string packed = ReadBytes(out.File(L"Good.plz"));
    WriteBytes(out.File(L"Cut.plz"), packed.substr(0, packed.size() - 200));
    WriteBytes(out.File(L"Text.plz"), "[GLOBALINFO]\r\n");
    TSkinFolder imagesOnly;
    imagesOnly.Bmp(L"B.BMP", Solid(30, 20, Rgb(1, 2, 3)).get());
    PackDir(imagesOnly.SkinPath(), out.File(L"NoOptions.plz"));

    for (const wchar_t* name : {L"Cut.plz", L"Text.plz", L"NoOptions.plz", L"Missing.plz"})
        ExpectRefused(std::string(name, name + wcslen(name)),
                      [&] { store.ReloadPackedSkin(out.File(name), out.Path() + L"\\", {}); });

    TsStoredSkins skins(nullptr);
    auto* cut = static_cast<TsStoredSkin*>(skins.Add());
    cut->SetName(L"Cut");
    cut->PackedData->LoadFromFile(out.File(L"Cut.plz"));
    UnicodeString name = L"Cut";
    ExpectRefused("internal", [&] { store.ReloadSkin(out.Path() + L"\\", name, &skins, {}); });
    EXPECT_EQ(name, L"Cut");
    EXPECT_EQ(cut->PackedData->Size(), int64_t(packed.size() - 200));
}

// A missing image is left out: the skin loads without it.
TEST_F(Damaged, MissingImagesAreSkipped)
{
    TSkinFolder partial;
    WriteGoodSkin(partial);
    DeleteFileW(partial.File(L"G.PNG").c_str());
    DeleteFileW(partial.File(L"P.JPG").c_str());
    LoadFolder(store, partial);
    EXPECT_EQ(store.GetMaskIndex(L"BUTTON", L"GLYPHMASK"), -1);
    EXPECT_EQ(store.GetMaskIndex(L"BUTTON", L"PATTERN"), -1);
    EXPECT_GE(store.GetMaskIndex(L"BUTTON", L"BORDERSMASK"), 0);
}

// Refused loads free what they had built.
TEST_F(Damaged, RefusedLoadsLeaveNoGdiObjects)
{
    TSkinFolder bad;
    WriteGoodSkin(bad, GoodOptions + "[LAST]\r\nBORDERSMASK=@0010\r\n");
    auto attempt = [&] {
        try {
            LoadFolder(store, bad);
        } catch (const EConvertError&) {
        }
    };
    attempt();
    const TResourceCount before = CountResources();
    for (int i = 0; i < 20; ++i)
        attempt();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

} // namespace

namespace {

// Skins of other authors: texts in text keys and "!" values that name no
// image file are no images, and do not refuse the skin.
TEST_F(Damaged, TextValuesThatLookLikeImagesLoadAsText)
{
    TSkinFolder f;
    WriteGoodSkin(f, Replace(Replace(GoodOptions, "VERSION=6.0",
                                     "VERSION=6.0\r\nAUTHOR=!Me\r\nDESCRIPTION=Dark skin #2"),
                             "COLOR=255", "COLOR=255\r\nAUTHOR=@skinner\r\nDESCRIPTION=^up\r\nNOTES=!readme!x"));
    LoadFolder(store, f);
    EXPECT_EQ(store.Data.Author, L"!Me");
    EXPECT_EQ(store.Data.Description, L"Dark skin #2");
    EXPECT_EQ(store.ma.size(), 4u) << "the images are those of the good skin";
    EXPECT_EQ(store.GetMaskIndex(L"BUTTON", L"NOTES"), -1);
}

// A number past a field's range becomes the field's limit, never a wrapped
// value of the other sign.
TEST_F(Damaged, LargeNumbersTakeTheLimitsOfTheirFields)
{
    TSkinFolder f;
    WriteGoodSkin(f, Replace(Replace(GoodOptions, "!B.BMP!3!1!0", "!B.BMP!40000!1!0!70000!5!-70000!7"),
                             "COLOR=255", "COLOR=255\r\nGSIZE=300\r\nHGSIZE=-5"));
    LoadFolder(store, f);
    const TsMaskData& m = store.ma[store.GetMaskIndex(L"BUTTON", L"BORDERSMASK")];
    EXPECT_EQ(m.ImageCount, 32767);
    EXPECT_EQ(m.WL, 32767);
    EXPECT_EQ(m.WR, -32768);
    EXPECT_EQ(m.WT, 5);
    const TsGeneralData& button = store.gd[store.GetSkinIndex(L"BUTTON")];
    EXPECT_EQ(button.GlowSize, kvMaxSkinGlow);
    EXPECT_EQ(button.HotGlowSize, 0);
}

// Sizes at the 32-bit limits load bounded to what painting can use: a
// frame or title no larger than a screen could use, glows and blurs of a
// sane size, fades of a bounded number of steps.
TEST_F(Damaged, SizesAtTheIntegerLimitsAreBounded)
{
    const std::string big = "2147483647", small = "-2147483648";
    std::string globals;
    for (const char* key : {"BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT", "FORMOFFSET", "CENTEROFFSET", "BISPACE",
                            "BIVALIGN", "BILEFT", "BIRIGHT", "BICONCLOSEGLOWMARGIN", "BICONMAXGLOWMARGIN",
                            "BICONMINGLOWMARGIN", "SHADOW1BLUR", "SHADOW1OFFSET"})
        globals += std::string(key) + "=" + big + "\r\n";
    std::string section;
    for (const char* key : {"GSIZE", "HGSIZE", "GLOWMARGIN", "FADINGITERATIONS"})
        section += std::string(key) + "=" + big + "\r\n";
    TSkinFolder f;
    WriteGoodSkin(f, Replace(Replace(GoodOptions, "VERSION=6.0\r\n", "VERSION=6.0\r\n" + globals), "COLOR=255\r\n",
                             "COLOR=255\r\n" + section));
    LoadFolder(store, f);
    const TsSkinData& d = store.Data;
    for (int v : {int(d.ExBorderWidth), int(d.ExContentOffs), int(d.BISpacing), int(d.BIVAlign), int(d.BILeftMargin),
                  int(d.BIRightMargin)})
        EXPECT_EQ(v, kvMaxSkinBorder);
    for (int v : {int(d.ExTitleHeight), int(d.ExMaxHeight), int(d.ExCenterOffs)})
        EXPECT_EQ(v, kvMaxSkinTitle);
    for (int v : {int(d.BICloseGlowMargin), int(d.BIMaxGlowMargin), int(d.BIMinGlowMargin), int(d.Shadow1Blur),
                  int(d.Shadow1Offset)})
        EXPECT_EQ(v, kvMaxSkinGlow);
    const TsGeneralData& button = store.gd[store.GetSkinIndex(L"BUTTON")];
    EXPECT_EQ(button.GlowSize, kvMaxSkinGlow);
    EXPECT_EQ(button.HotGlowSize, kvMaxSkinGlow);
    EXPECT_EQ(button.GlowMargin, kvMaxSkinGlow);
    EXPECT_EQ(button.FadingIterations, kvMaxFadeIterations) << "a fade's steps";

    // The lower limits take the lower bounds.
    TSkinFolder g;
    WriteGoodSkin(g, Replace(Replace(GoodOptions, "VERSION=6.0\r\n",
                                     "VERSION=6.0\r\nBORDERWIDTH=" + small + "\r\nFORMOFFSET=" + small +
                                         "\r\nSHADOW1BLUR=" + small + "\r\n"),
                             "COLOR=255\r\n", "COLOR=255\r\nFADINGITERATIONS=" + small + "\r\n"));
    LoadFolder(store, g);
    EXPECT_EQ(store.Data.ExBorderWidth, 0);
    EXPECT_EQ(store.Data.ExContentOffs, -kvMaxSkinBorder);
    EXPECT_EQ(store.Data.Shadow1Blur, -1);
    EXPECT_EQ(store.gd[store.GetSkinIndex(L"BUTTON")].FadingIterations, 0);
}

TEST_F(Damaged, DescriptionsWithoutSectionsAreRefused)
{
    for (const std::string& options : {std::string(), std::string("; nothing but a remark\r\n\r\n")}) {
        TSkinFolder empty;
        WriteGoodSkin(empty, options);
        ExpectRefused("folder", [&] { LoadFolder(store, empty); });
        TTempDir out;
        PackDir(empty.SkinPath(), out.File(L"Empty.plz"));
        ExpectRefused("packed", [&] { store.ReloadPackedSkin(out.File(L"Empty.plz"), out.Path() + L"\\", {}); });
    }
}

TEST_F(Damaged, ErrorsQuoteLongValuesInPart)
{
    const std::string huge(1000000, 'x');
    for (const std::string& value : {"@" + huge, "!B.BMP!" + huge + "x!1!0"}) {
        TSkinFolder bad;
        WriteGoodSkin(bad, Replace(GoodOptions, "!B.BMP!3!1!0", value));
        try {
            LoadFolder(store, bad);
            ADD_FAILURE() << "loaded";
        } catch (const EConvertError& e) {
            EXPECT_LT(e.Message().size(), 400u);
            EXPECT_NE(e.Message().find(L"BORDERSMASK"), UnicodeString::npos);
            EXPECT_NE(e.Message().find(L"1000"), UnicodeString::npos) << "the value's length is told";
        }
    }
}

} // namespace
