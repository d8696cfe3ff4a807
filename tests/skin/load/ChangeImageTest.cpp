// Replacing one image of a loaded skin: the image changes where it stands,
// every index held elsewhere keeps meaning the same image, and the answer
// says whether anything was replaced.
#include <gtest/gtest.h>

#include "LoadTestUtil.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/IniFiles.h"
#include "skin/core/sSkinManager_Colors.h"

using namespace loadtest;

namespace {

class ChangeImage : public ::testing::Test {
protected:
    TSkinFolder f;
    TTestStore s;

    void SetUp() override
    {
        f.Options("[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n"
                  "[BUTTON]\r\nBORDERSMASK=!B.BMP!3!1!0\r\nHOTPATTERN=BIG.JPG\r\n"
                  "[EDIT]\r\nPATTERN=~0000 0000 0016 0016 00\r\nBORDERSMASK=!E.BMP!3!1!0\r\n");
        f.Bmp(L"MASTER.BMP", Solid(32, 32, Rgb(1, 1, 1)).get());
        f.Bmp(L"B.BMP", Solid(30, 20, Rgb(2, 2, 2)).get());
        f.Bmp(L"E.BMP", Solid(30, 20, Rgb(3, 3, 3)).get());
        f.CopyJpeg(L"pattern300.jpg", L"BIG.JPG");
        f.CopyJpeg(L"pattern299.jpg", L"small.jpg");
        f.Bmp(L"NEW.BMP", Solid(45, 24, Rgb(200, 10, 10)).get());
        TMemIniFile ini(f.File(L"Options.dat"));
        TsSkinSource src;
        src.SkinFile = &ini;
        src.SkinPath = f.SkinPath();
        s.LoadSkin(src, {});
        s.Data.Active = true;
        ASSERT_EQ(s.ma.size(), 3u);
        ASSERT_EQ(s.pa.size(), 1u);
    }
    bool Change(const wchar_t* Section, const wchar_t* Prop, const std::wstring& File)
    {
        return ChangeImageInSkin(Section, Prop, File, &s);
    }
};

TEST_F(ChangeImage, ABitmapReplacesTheImageWhereItStands)
{
    const int border = s.GetMaskIndex(L"BUTTON", L"BORDERSMASK");
    const int edit = s.GetMaskIndex(L"EDIT", L"BORDERSMASK");
    EXPECT_TRUE(Change(L"button", L"bordersmask", f.File(L"NEW.BMP")));
    ASSERT_EQ(s.ma.size(), 3u);
    EXPECT_EQ(s.GetMaskIndex(L"BUTTON", L"BORDERSMASK"), border);
    EXPECT_EQ(s.ma[size_t(border)].R, TRect(0, 0, 45, 24));
    EXPECT_EQ(PixelOf(s.ma[size_t(border)].Bmp, 0, 0), Rgb(200, 10, 10));
    EXPECT_EQ(s.GetMaskIndex(L"EDIT", L"BORDERSMASK"), edit);
    EXPECT_EQ(s.gd[size_t(s.GetSkinIndex(L"BUTTON"))].BorderIndex, border);
}

// A JPEG for a texture entry (here a region of the master image) becomes
// that entry's own picture: no entry moves, and the answer is True.
TEST_F(ChangeImage, AJpegReplacesATextureInPlace)
{
    const int texture = s.GetMaskIndex(L"EDIT", L"PATTERN");
    const int last = int(s.ma.size()) - 1;
    const TsMaskData lastBefore = s.ma[size_t(last)];
    EXPECT_TRUE(Change(L"EDIT", L"PATTERN", f.File(L"small.jpg")));
    ASSERT_EQ(s.ma.size(), 3u);
    EXPECT_EQ(s.GetMaskIndex(L"EDIT", L"PATTERN"), texture);
    ASSERT_NE(s.ma[size_t(texture)].Bmp, nullptr);
    EXPECT_EQ(s.ma[size_t(texture)].R, TRect(0, 0, 299, 300));
    EXPECT_EQ(s.ma[size_t(last)].Bmp, lastBefore.Bmp);
    EXPECT_EQ(s.ma[size_t(last)].PropertyName, lastBefore.PropertyName);
}

TEST_F(ChangeImage, PatternsTakeJpegsAndGiveWayToBitmaps)
{
    TJPEGImage* before = s.pa[0].Img;
    EXPECT_TRUE(Change(L"BUTTON", L"HOTPATTERN", f.File(L"small.jpg")));
    ASSERT_EQ(s.pa.size(), 1u);
    EXPECT_NE(s.pa[0].Img, before);
    EXPECT_EQ(s.pa[0].Img->Width(), 299);

    // A new JPEG pattern where there was none.
    EXPECT_TRUE(Change(L"PANEL", L"PATTERN", f.File(L"BIG.JPG")));
    EXPECT_EQ(s.pa.size(), 2u);

    // A bitmap for the JPEG pattern: a texture entry is added at the end
    // and the pattern goes; the images before it keep their indexes.
    const int border = s.GetMaskIndex(L"BUTTON", L"BORDERSMASK");
    EXPECT_TRUE(Change(L"BUTTON", L"HOTPATTERN", f.File(L"NEW.BMP")));
    ASSERT_EQ(s.ma.size(), 4u);
    EXPECT_EQ(s.GetMaskIndex(L"BUTTON", L"HOTPATTERN"), 3);
    EXPECT_EQ(s.ma[3].ImgType, itisaTexture);
    EXPECT_EQ(s.GetMaskIndex(L"BUTTON", L"BORDERSMASK"), border);
    EXPECT_EQ(s.GetPatternIndex(s.GetSkinIndex(L"BUTTON"), L"BUTTON", L"HOTPATTERN"), -1);
    EXPECT_EQ(s.pa.size(), 1u);
}

TEST_F(ChangeImage, NothingToReplaceAnswersFalse)
{
    WriteBytes(f.File(L"broken.bmp"), "BM\x10");
    const TsMaskData before = s.ma[0];
    EXPECT_FALSE(Change(L"BUTTON", L"BORDERSMASK", f.File(L"absent.bmp")));
    EXPECT_FALSE(Change(L"BUTTON", L"BORDERSMASK", f.File(L"broken.bmp")));
    EXPECT_FALSE(Change(L"BUTTON", L"BORDERSMASK", f.File(L"small.jpg")));   // not a pattern
    EXPECT_FALSE(Change(L"BUTTON", L"GLYPHMASK", f.File(L"NEW.BMP")));       // no such image
    EXPECT_FALSE(Change(L"", L"BORDERSMASK", f.File(L"NEW.BMP")));
    s.Data.Active = false;
    EXPECT_FALSE(Change(L"BUTTON", L"BORDERSMASK", f.File(L"NEW.BMP")));
    EXPECT_EQ(s.ma[0].Bmp, before.Bmp);
    EXPECT_EQ(s.ma.size(), 3u);
}

} // namespace
