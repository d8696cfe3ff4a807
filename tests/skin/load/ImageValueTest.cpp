// The six forms of image values, their fixed columns, and the border widths
// derived for images that give none.
#include <gtest/gtest.h>

#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager_ImageValue.h"

namespace {

TEST(ImageValue, FormsAreTakenFromTheFirstCharacterThenFromTheName)
{
    const struct {
        const wchar_t* Value;
        TsImageForm Form;
    } cases[] = {
        {L"!button.bmp!3!1!0", ifFile},
        {L"!Glyph.Png!1!0!2", ifFile},
        {L"!readme!x", ifNone},         // no image file's extension: a text
        {L"!Me", ifNone},
        {L"!notes.txt!1!0!0", ifNone},
        {L"@0010 0020 0040 0060 3 1", ifGlyph},
        {L"^0000 0000 0090 0060 0000 0000 0000 0000 3 1 4 0", ifBorder},
        {L"~0000 0000 0016 0016 01", ifTexture},
        {L"#MASTER (10,20,40,60) 3,1", ifRegion},
        {L"x#y.bmp", ifRegion},         // a "#" anywhere wins over the file name
        {L"#", ifNone},                 // "#" alone is no region
        {L"button.bmp", ifPlainBmp},
        {L"bg.Jpeg", ifJpeg},
        {L"BG.JPG", ifJpeg},
        {L"-", ifNone},
        {L"", ifNone},
        {L"12632256", ifNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ImageFormOf(c.Value), c.Form) << c.Value;
}

TEST(ImageValue, FixedColumnsAcceptLeadingBlanks)
{
    TsImageValue g = ParseImageValue(L"@  10 0020   40 0060 3 1");
    EXPECT_EQ(g.R, TRect(10, 20, 40, 60));
    EXPECT_EQ(g.ImageCount, 3);
    EXPECT_EQ(g.MaskType, 1);

    TsImageValue b = ParseImageValue(L"^0001 0002 0093 0064 0005 0006 0007 0008 3 1 4 2");
    EXPECT_EQ(b.R, TRect(1, 2, 93, 64));
    EXPECT_EQ((std::vector<int>{b.WL, b.WT, b.WR, b.WB}), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ((std::vector<int>{b.ImageCount, b.MaskType, b.DrawMode, b.BorderWidth}), (std::vector<int>{3, 1, 4, 2}));
}

TEST(ImageValue, TextureMaskTypeNeedsTwentyFiveCharacters)
{
    TsImageValue shortOne = ParseImageValue(L"~0000 0000 0016 0016 03");   // 23 characters
    EXPECT_EQ(shortOne.DrawMode, 3);
    EXPECT_EQ(shortOne.MaskType, 0);
    EXPECT_EQ(shortOne.ImageCount, 1);
    TsImageValue longOne = ParseImageValue(L"~0000 0000 0016 0016 03 1"); // 25 characters
    EXPECT_EQ(longOne.MaskType, 1);
}

TEST(ImageValue, FileValuesGiveWidthsOnlyWithAllFour)
{
    TsImageValue v = ParseImageValue(L"!Glyph.PNG!2!0!4");
    EXPECT_EQ(v.FileName, L"Glyph.PNG");
    EXPECT_EQ((std::vector<int>{v.ImageCount, v.MaskType, v.ImgType}), (std::vector<int>{2, 0, 4}));
    EXPECT_FALSE(v.HasWidths);
    TsImageValue w = ParseImageValue(L"!B.BMP!3!1!0!4!5!6!7");
    EXPECT_TRUE(w.HasWidths);
    EXPECT_EQ((std::vector<int>{w.WL, w.WT, w.WR, w.WB}), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(ImgTypeOf(9), itisaPngGlyph);
    EXPECT_EQ(ImgTypeOf(-2), itisaBorder);
}

TEST(ImageValue, RegionWordsTakeOptionalWidthAndMode)
{
    TsImageValue v = ParseImageValue(L"#MASTER (10,20,40,60) 3,1");
    EXPECT_EQ(v.R, TRect(10, 20, 40, 60));
    EXPECT_EQ(v.ImageCount, 3);
    EXPECT_FALSE(v.HasBorderWidth);
    EXPECT_FALSE(v.HasDrawMode);
    TsImageValue full = ParseImageValue(L"#M (0,0,9,9) 1,0,2,5");
    EXPECT_EQ(full.BorderWidth, 2);
    EXPECT_EQ(full.DrawMode, 5);
    EXPECT_TRUE(full.HasDrawMode);
}

// Columns beyond the end of a short value read as no number instead of
// reading past the text.
TEST(ImageValue, ShortAndMalformedValuesRaiseConversionErrors)
{
    for (const wchar_t* bad : {L"@0010 0020 0040 0060 3", L"@0010", L"@", L"^0000 0000 0090 0060 0000 0000",
                               L"^0000 0000 0090 0060 0000 0000 0000 0000 3 1 4", L"~0000 0000 0016 0016",
                               L"@00x0 0020 0040 0060 3 1", L"!a.bmp!3!1", L"!a.bmp!three!1!0",
                               L"!a.bmp!3!1!0!1!2!3", L"#M (10,20,40) 3,1", L"#M (10,20,40,60)"})
        EXPECT_THROW(ParseImageValue(bad), EConvertError) << bad;
}

TsMaskData Mask(TRect R, int Count, int MaskType, int BorderWidth = 0)
{
    TsMaskData m;
    m.ClassName = L"BUTTON";
    m.PropertyName = L"BORDERSMASK";
    m.R = R;
    m.ImageCount = int16_t(Count);
    m.MaskType = int16_t(MaskType);
    m.BorderWidth = int16_t(BorderWidth);
    return m;
}

TEST(ImageValue, DerivedWidthsAreTheBorderWidthOrAThirdOfAFrame)
{
    TsMaskData uniform = Mask(TRect(0, 0, 90, 60), 3, 1, 2);
    DeriveBorderWidths(uniform);
    EXPECT_EQ((std::vector<int>{uniform.WL, uniform.WT, uniform.WR, uniform.WB}), (std::vector<int>{2, 2, 2, 2}));

    TsMaskData frames = Mask(TRect(0, 0, 90, 60), 3, 1);
    DeriveBorderWidths(frames);
    EXPECT_EQ((std::vector<int>{frames.WL, frames.WT, frames.WR, frames.WB}), (std::vector<int>{10, 10, 10, 10}));

    TsMaskData given = Mask(TRect(0, 0, 90, 60), 0, -1);
    given.WT = 4;
    DeriveBorderWidths(given);   // widths given: nothing to derive, nothing divided
    EXPECT_EQ(given.WL, 0);
    EXPECT_EQ(given.WT, 4);
}

// A frame count of 0 or a mask type of -1 leaves no frame to divide: the
// value is refused instead of dividing by zero.
TEST(ImageValue, NoFramesToDivideIsRefused)
{
    for (auto counts : {std::pair{0, 1}, std::pair{3, -1}, std::pair{-2, 0}}) {
        TsMaskData m = Mask(TRect(0, 0, 90, 60), counts.first, counts.second);
        EXPECT_THROW(DeriveBorderWidths(m), EConvertError) << counts.first << "," << counts.second;
    }
}

} // namespace
