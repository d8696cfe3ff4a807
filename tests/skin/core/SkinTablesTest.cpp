#include <gtest/gtest.h>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sSkinProps.h"
#include "skin/core/sSkinTables.h"

namespace {

// A small skin: sections with parents, images in section order.
class SkinTablesTest : public ::testing::Test {
protected:
    TsSkinTables t;
    TsSkinData data;

    int AddSection(const wchar_t* name, const wchar_t* parent = L"")
    {
        TsGeneralData g;
        g.ClassName = name;
        g.ParentClass = parent;
        t.gd.push_back(g);
        return static_cast<int>(t.gd.size()) - 1;
    }
    int AddImage(const wchar_t* section, const wchar_t* prop, TkvImgType type = itisaBorder, TRect r = TRect(0, 0, 30, 20),
                 int count = 1, int maskType = 0)
    {
        TsMaskData m;
        m.ClassName = section;
        m.PropertyName = prop;
        m.ImgType = type;
        m.R = r;
        m.ImageCount = static_cast<int16_t>(count);
        m.MaskType = static_cast<int16_t>(maskType);
        t.ma.push_back(m);
        return static_cast<int>(t.ma.size()) - 1;
    }
    void SetUp() override { t.SkinData = &data; }
};

TEST_F(SkinTablesTest, SectionLookupIsExactAndCaseSensitive)
{
    AddSection(L"GLOBALINFO");
    int button = AddSection(L"BUTTON");
    EXPECT_EQ(t.GetSkinIndex(L"BUTTON"), button);
    EXPECT_EQ(t.GetSkinIndex(L"button"), -1);
    EXPECT_EQ(t.GetSkinIndex(L"BUTTON "), -1);
    EXPECT_EQ(t.GetSkinIndex(L""), -1);
}

TEST_F(SkinTablesTest, MaskLookupFollowsParentsOnlyInTheThreeArgumentForm)
{
    AddSection(L"BUTTON");
    int my = AddSection(L"MYBUTTON", L"BUTTON");
    AddImage(L"PANEL", s_BordersMask);
    int img = AddImage(L"BUTTON", s_BordersMask);
    int tex = AddImage(L"BUTTON", s_Pattern, itisaTexture);

    EXPECT_EQ(t.GetMaskIndex(my, L"MYBUTTON", s_BordersMask), img);
    EXPECT_EQ(t.GetMaskIndex(L"MYBUTTON", s_BordersMask), -1);
    EXPECT_EQ(t.GetMaskIndex(L"BUTTON", s_BordersMask), img);
    EXPECT_EQ(t.GetMaskIndex(-1, L"MYBUTTON", s_BordersMask), -1);
    EXPECT_EQ(t.GetMaskIndex(my, L"", s_BordersMask), -1);
    // Textures: only texture images count, parents included.
    EXPECT_EQ(t.GetTextureIndex(my, L"MYBUTTON", s_Pattern), tex);
    EXPECT_EQ(t.GetTextureIndex(my, L"MYBUTTON", s_BordersMask), -1);
}

TEST_F(SkinTablesTest, ParentCyclesEndTheSearch)
{
    int a = AddSection(L"A", L"B");
    AddSection(L"B", L"A");
    int self = AddSection(L"C", L"C");
    AddImage(L"OTHER", s_BordersMask);
    EXPECT_EQ(t.GetMaskIndex(a, L"A", s_BordersMask), -1);
    EXPECT_EQ(t.GetMaskIndex(self, L"C", s_BordersMask), -1);
    EXPECT_EQ(t.GetTextureIndex(a, L"A", s_Pattern), -1);
    TsPatternData p;
    p.ClassName = L"OTHER";
    p.PropertyName = s_Pattern;
    t.pa.push_back(p);
    EXPECT_EQ(t.GetPatternIndex(a, L"A", s_Pattern), -1);
}

// The hashed index a load uses answers every lookup as the tables' own
// scans do: duplicates, chains, cycles, names outside gd, bad indexes.
TEST_F(SkinTablesTest, TableIndexAnswersAsTheTables)
{
    AddSection(L"GLOBALINFO");
    AddSection(L"BUTTON");
    AddSection(L"MYBUTTON", L"BUTTON");
    AddSection(L"DEEP", L"MYBUTTON");
    AddSection(L"BUTTON", L"PANEL");  // a second BUTTON: only the first counts
    AddSection(L"A", L"B");
    AddSection(L"B", L"A");
    AddSection(L"C", L"C");
    AddSection(L"ORPHAN", L"MISSING");
    AddImage(L"BUTTON", s_BordersMask);
    AddImage(L"PANEL", s_BordersMask);
    AddImage(L"BUTTON", s_BordersMask);  // a second one: the first counts
    AddImage(L"MYBUTTON", s_GlyphMask);
    AddImage(L"LOOSE", s_GlyphMask);     // a section that gd lacks
    AddImage(L"B", s_Pattern);
    AddImage(L"button", s_BordersMask);

    const TsTableIndex index(t);
    const wchar_t* const sections[] = {L"GLOBALINFO", L"BUTTON", L"MYBUTTON", L"DEEP", L"A", L"B", L"C",
                                       L"ORPHAN", L"PANEL", L"LOOSE", L"button", L""};
    const wchar_t* const keys[] = {s_BordersMask, s_GlyphMask, s_Pattern, L""};
    for (const wchar_t* section : sections) {
        EXPECT_EQ(index.SkinIndex(section), t.GetSkinIndex(section)) << section;
        for (const wchar_t* key : keys) {
            EXPECT_EQ(index.MaskIndex(section, key), t.GetMaskIndex(section, key)) << section << L" " << key;
            for (int i = -1; i <= static_cast<int>(t.gd.size()); ++i)
                EXPECT_EQ(index.MaskIndex(i, section, key), t.GetMaskIndex(i, section, key))
                    << i << L" " << section << L" " << key;
        }
    }
    EXPECT_EQ(index.MaskIndex(3, L"DEEP", s_BordersMask), 0);
    EXPECT_EQ(index.MaskIndex(6, L"B", s_Pattern), 5);
    EXPECT_EQ(index.MaskIndex(5, L"A", s_Pattern), 5);
}

TEST_F(SkinTablesTest, PatternLookupSearchesParents)
{
    AddSection(L"PANEL");
    int child = AddSection(L"MYPANEL", L"PANEL");
    EXPECT_EQ(t.GetPatternIndex(child, L"MYPANEL", s_Pattern), -1);
    TsPatternData p;
    p.ClassName = L"PANEL";
    p.PropertyName = s_Pattern;
    t.pa.push_back(p);
    EXPECT_EQ(t.GetPatternIndex(child, L"MYPANEL", s_Pattern), 0);
    EXPECT_EQ(t.GetPatternIndex(child, L"MYPANEL", s_HotPattern), -1);
}

TEST_F(SkinTablesTest, BorderWidthsFallBackToUniformWidthThenFrameSize)
{
    int framed = AddImage(L"S", L"A", itisaBorder, TRect(0, 0, 30, 40), 0, 1);
    EXPECT_EQ(t.MaskWidthLeft(framed), 30);
    EXPECT_EQ(t.ma[framed].ImageCount, 1);     // fixed up in the entry
    EXPECT_EQ(t.MaskWidthTop(framed), 20);      // upper half of a masked image
    EXPECT_EQ(t.MaskWidthRight(framed), 30);
    EXPECT_EQ(t.MaskWidthBottom(framed), 20);

    int uniform = AddImage(L"S", L"B", itisaBorder, TRect(0, 0, 30, 40), 3, 0);
    t.ma[uniform].BorderWidth = 4;
    t.ma[uniform].WT = 6;
    EXPECT_EQ(t.MaskWidthLeft(uniform), 4);
    EXPECT_EQ(t.MaskWidthTop(uniform), 6);

    // MaskType -1 (no mask, no picture height) must not divide by zero.
    int none = AddImage(L"S", L"C", itisaGlyph, TRect(0, 0, 30, 40), 0, -1);
    EXPECT_EQ(t.MaskWidthTop(none), 0);
    EXPECT_EQ(t.MaskWidthRight(none), 0);
}

TEST_F(SkinTablesTest, IndexesOutsideTheTablesGiveNeutralAnswers)
{
    AddImage(L"S", L"A");
    for (int bad : {-1, 1, 1000}) {
        EXPECT_EQ(t.MaskWidthLeft(bad), 0) << bad;
        EXPECT_EQ(t.MaskWidthTop(bad), 0) << bad;
        EXPECT_EQ(t.MaskWidthRight(bad), 0) << bad;
        EXPECT_EQ(t.MaskWidthBottom(bad), 0) << bad;
        EXPECT_EQ(t.MaskSize(bad), TSize(0, 0)) << bad;
        EXPECT_FALSE(t.IsValidImgIndex(bad)) << bad;
        EXPECT_FALSE(t.IsValidSkinIndex(bad)) << bad;
    }
    // A stale GLOBALINFO index (past the end of gd) counts as no section.
    t.ConstData.IndexGLobalInfo = 5;
    EXPECT_EQ(t.GetGlobalFontColor(), 0xFF00FF);
}

TEST_F(SkinTablesTest, MaskSizeIsOneFrame)
{
    // In the master bitmap: three frames side by side, mask in the lower
    // half, so one frame is 10 x 20; a single plain image is its rectangle.
    int i = AddImage(L"S", L"A", itisaBorder, TRect(0, 0, 30, 40), 3, 1);
    EXPECT_EQ(t.MaskSize(i), TSize(10, 20));
    int single = AddImage(L"S", L"B", itisaGlyph, TRect(5, 5, 21, 21), 1, 0);
    EXPECT_EQ(t.MaskSize(single), TSize(16, 16));

    // With a bitmap of its own: a third of its width and half its height,
    // whatever R and the frame count say.
    TBitmap own;
    own.SetSize(91, 41);
    int withBmp = AddImage(L"S", L"C", itisaGlyph, TRect(0, 0, 30, 40), 1, 0);
    t.ma[withBmp].Bmp = &own;
    EXPECT_EQ(t.MaskSize(withBmp), TSize(30, 20));
    t.ma[withBmp].Bmp = nullptr;
}

TEST_F(SkinTablesTest, ValidSkinIndexNeedsSkinData)
{
    AddSection(L"A");
    EXPECT_TRUE(t.IsValidSkinIndex(0));
    t.SkinData = nullptr;
    EXPECT_FALSE(t.IsValidSkinIndex(0));
}

TEST_F(SkinTablesTest, ColourGettersWithoutTheirSections)
{
    t.InitConstantIndexes();
    EXPECT_EQ(t.GetGlobalColor(), ColorToRGB(clBtnFace));
    EXPECT_EQ(t.GetGlobalFontColor(), 0xFF00FF);
    EXPECT_EQ(t.GetActiveEditColor(), ColorToRGB(clWindow));
    EXPECT_EQ(t.GetActiveEditFontColor(), 0xFF00FF);
    EXPECT_EQ(t.GetHighLightColor(), clHighlight);
    EXPECT_EQ(t.GetHighLightFontColor(), clHighlightText);
    EXPECT_EQ(t.ConstData.CheckBoxChecked, -1);
    EXPECT_EQ(t.ConstData.SmallCheckBoxGrayed, -1);
    EXPECT_EQ(t.ConstData.ExBorder, -1);
}

TEST_F(SkinTablesTest, ColourGettersWithTheirSections)
{
    int g = AddSection(L"GLOBALINFO");
    t.gd[g].Color = 0x102030;
    t.gd[g].FontColor[1] = clWindowText;
    t.gd[g].HotColor = 0x405060;
    int edit = AddSection(L"EDIT");
    t.gd[edit].HotFontColor[1] = 0x010203;
    int menu = AddSection(L"MENUITEM");
    t.gd[menu].HotColor = 0x00AA00;
    t.gd[menu].HotFontColor[1] = 0x0000AA;
    t.InitConstantIndexes();

    EXPECT_EQ(t.GetGlobalColor(), 0x102030);
    EXPECT_EQ(t.GetGlobalFontColor(), ColorToRGB(clWindowText));
    EXPECT_EQ(t.GetActiveEditColor(), 0x405060);
    EXPECT_EQ(t.GetActiveEditFontColor(), 0x010203);
    EXPECT_EQ(t.GetHighLightColor(), 0x00AA00);
    EXPECT_EQ(t.GetHighLightFontColor(), 0x0000AA);

    // Neutral menu colours fall back to the system highlight colours.
    struct Case {
        TColor Hot, HotFont;
        TColor WantBack, WantFont;
    } cases[] = {
        {-1, 0x0000AA, clHighlight, clHighlightText},
        {0xFF00FF, 0x0000AA, clHighlight, clHighlightText},
        {0xFFFFFF, 0x0000AA, clHighlight, clHighlightText},
        {0x00AA00, 0, 0x00AA00, clHighlightText},
        {0x00AA00, 0xFFFFFF, 0x00AA00, clHighlightText},
        {0x00AA00, -1, 0x00AA00, clHighlightText},
    };
    for (const Case& c : cases) {
        t.gd[menu].HotColor = c.Hot;
        t.gd[menu].HotFontColor[1] = c.HotFont;
        EXPECT_EQ(t.GetHighLightColor(), c.WantBack) << std::hex << c.Hot;
        EXPECT_EQ(t.GetHighLightFontColor(), c.WantFont) << std::hex << c.Hot << " " << c.HotFont;
    }
}

TEST_F(SkinTablesTest, ConstantIndexes)
{
    int g = AddSection(L"GLOBALINFO");
    AddSection(L"TABTOP");
    int tabBottom = AddSection(L"TABBOTTOM", L"TABTOP");
    int sbTop = AddSection(L"SCROLLBTNTOP");
    int bar1h = AddSection(L"SCROLLBAR1H");
    int combo = AddSection(L"COMBOBTN", L"BUTTON");
    AddSection(L"BUTTON");

    int checked = AddImage(L"GLOBALINFO", s_BoxChecked);
    int radio = AddImage(L"GLOBALINFO", s_RadioGrayed);
    int tabMask = AddImage(L"TABTOP", s_BordersMask);
    int arrow = AddImage(L"SCROLLBTNTOP", s_GlyphMask);
    int sbBorder = AddImage(L"SCROLLBTNTOP", s_BordersMask);
    int sbHot = AddImage(L"SCROLLBTNTOP", s_HotPattern, itisaTexture);
    int barBg = AddImage(L"SCROLLBAR1H", s_Pattern, itisaTexture);
    AddImage(L"BUTTON", s_BordersMask);              // parent's border: not taken for COMBOBTN
    int comboTex = AddImage(L"BUTTON", s_Pattern, itisaTexture); // parent's texture: taken
    int comboGlyph = AddImage(L"COMBOBOX", s_GlyphMask);

    t.InitConstantIndexes();
    const TConstantSkinData& c = t.ConstData;
    EXPECT_EQ(c.IndexGLobalInfo, g);
    EXPECT_EQ(c.CheckBoxChecked, checked);
    EXPECT_EQ(c.CheckBoxUnChecked, -1);
    EXPECT_EQ(c.RadioButtonGrayed, radio);
    EXPECT_EQ(c.IndexTabBottom, tabBottom);
    EXPECT_EQ(c.MaskTabTop, tabMask);
    EXPECT_EQ(c.MaskTabBottom, tabMask);            // inherited from TABTOP
    EXPECT_EQ(c.MaskTabLeft, -1);
    EXPECT_EQ(c.IndexScrollTop, sbTop);
    EXPECT_EQ(c.MaskScrollTop, sbBorder);
    EXPECT_EQ(c.MaskArrowTop, arrow);
    EXPECT_EQ(c.IndexBGScrollTop, -1);
    EXPECT_EQ(c.IndexBGHotScrollTop, sbHot);
    EXPECT_EQ(c.MaskArrowBottom, -1);
    EXPECT_EQ(c.IndexScrollBar1H, bar1h);
    EXPECT_EQ(c.BGScrollBar1H, barBg);
    EXPECT_EQ(c.IndexScrollBar2V, -1);
    EXPECT_EQ(c.ComboBtnIndex, combo);
    EXPECT_EQ(c.ComboBtnBorder, -1);
    EXPECT_EQ(c.ComboBtnBG, comboTex);
    EXPECT_EQ(c.ComboGlyph, comboGlyph);

    // After the skin is removed every index is -1 again.
    t.gd.clear();
    t.ma.clear();
    t.InitConstantIndexes();
    EXPECT_EQ(t.ConstData.IndexGLobalInfo, -1);
    EXPECT_EQ(t.ConstData.MaskTabTop, -1);
    EXPECT_EQ(t.ConstData.ComboBtnBG, -1);
}

TEST_F(SkinTablesTest, InitConstantIndexesEndsWithCheckShadows)
{
    struct Tables : TsSkinTables {
        int Calls = 0;
        int SeenGlobal = -2;
        void CheckShadows() override
        {
            ++Calls;
            SeenGlobal = ConstData.IndexGLobalInfo;
        }
    } tables;
    TsGeneralData g;
    g.ClassName = L"GLOBALINFO";
    tables.gd.push_back(g);
    tables.InitConstantIndexes();
    EXPECT_EQ(tables.Calls, 1);
    EXPECT_EQ(tables.SeenGlobal, 0);
}

} // namespace
