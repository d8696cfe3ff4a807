// Internal skins: read from a form resource (packed data as "Data"), made
// from a skin folder, and copied.
#include <gtest/gtest.h>

#include <memory>

#include "LoadTestUtil.h"
#include "SkinHolder.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/streaming/FormReader.h"

using namespace loadtest;

namespace {

TEST(StoredSkins, FormResourcesFillThemItemByItem)
{
    TOwned<TSkinHolder> holder(New<TSkinHolder>(nullptr));
    ReadComponentFromText(L"object Holder: TSkinHolder\n"
                          L"  InternalSkins = <\n"
                          L"    item\n"
                          L"      Name = 'Office (internal)'\n"
                          L"      Version = 6.4\n"
                          L"      Data = {\n"
                          L"        504C7A66 00000000}\n"
                          L"    end\n"
                          L"    item\n"
                          L"      Name = 'Unpacked'\n"
                          L"      Data = {}\n"
                          L"    end>\n"
                          L"end\n",
                          holder.get());
    TsStoredSkins* skins = holder->InternalSkins();
    ASSERT_EQ(skins->Count(), 2);
    TsStoredSkin* packed = skins->GetItem(0);
    EXPECT_EQ(packed->Name(), L"Office (internal)");
    EXPECT_DOUBLE_EQ(packed->FVersion, 6.4);
    EXPECT_EQ(packed->PackedData->Size(), 8);
    EXPECT_EQ(static_cast<const char*>(packed->PackedData->Memory())[0], 'P');
    // Values never written keep those of a new item.
    EXPECT_EQ(packed->FShadow1Blur, -1);
    EXPECT_EQ(packed->FBorderColor, 0xFF00FF);
    EXPECT_EQ(skins->GetItem(1)->PackedData->Size(), 0);
    EXPECT_EQ(skins->IndexOf(L"Unpacked"), 1);
    EXPECT_EQ(skins->IndexOf(L"unpacked"), -1);
}

TEST(StoredSkins, AssignCopiesValuesButItemsDoNotCopyThemselves)
{
    TsStoredSkins skins(nullptr);
    auto* a = static_cast<TsStoredSkin*>(skins.Add());
    auto* b = static_cast<TsStoredSkin*>(skins.Add());
    a->SetName(L"A");
    a->FAuthor = L"Someone";
    a->FShadow1Offset = 3;
    a->PackedData->WriteBuffer("PLzf", 4);
    b->Assign(a);
    EXPECT_EQ(b->Name(), L"A");
    EXPECT_EQ(b->FAuthor, L"Someone");
    EXPECT_EQ(b->FShadow1Offset, 3);
    EXPECT_EQ(b->PackedData->Size(), 4);

    a->GeneralData()->Add();
    EXPECT_THROW(b->Assign(a), EConvertError);
    EXPECT_THROW(b->Assign(nullptr), EConvertError);
    skins.Assign(&skins);   // the collection copies nothing
    EXPECT_EQ(skins.Count(), 2);
}

class StoredFromFolder : public ::testing::Test {
protected:
    TSkinFolder f;
    TsStoredSkins skins{nullptr};
    TsStoredSkin* item = nullptr;

    void SetUp() override
    {
        f.Bmp(L"MASTER.BMP", Solid(64, 32, Rgb(1, 2, 3)).get());
        f.Bmp(L"B.BMP", Solid(60, 40, Rgb(4, 5, 6)).get());
        f.Bmp(L"PLAIN.BMP", Solid(9, 6, Rgb(7, 8, 9)).get());
        f.CopyJpeg(L"pattern300.jpg", L"P.JPG");
        item = static_cast<TsStoredSkin*>(skins.Add());
    }
    void Load(const std::string& Options)
    {
        f.Options(Options);
        TMemIniFile ini(f.File(L"Options.dat"));
        item->LoadSkin(&ini);
    }
};

TEST_F(StoredFromFolder, SectionsImagesAndPatterns)
{
    Load("[GLOBALINFO]\r\nVERSION=6.5\r\nAUTHOR=Me\r\nMASTERBITMAP=MASTER.BMP\r\n"
         "[BUTTON]\r\nCOLOR=255\r\nTCTOP=7\r\nBORDERSMASK=!B.BMP!3!1!0\r\nPATTERN=p.jpg\r\nSECOND=P.JPG\r\n"
         "[MYBUTTON]\r\nPARENTCLASS=BUTTON\r\nglyph=#m (1,2,3,4) 0,-2\r\nPLAIN=plain.bmp\r\n");
    EXPECT_DOUBLE_EQ(item->FVersion, 6.5);
    EXPECT_EQ(item->FAuthor, L"Me");
    EXPECT_EQ(item->FShadow1Offset, 1);          // this converter's own defaults
    EXPECT_EQ(item->FShadow1Transparency, 50);
    EXPECT_EQ(item->MasterBitmap()->Width(), 64);

    TsSkinGenerals* gd = item->GeneralData();
    ASSERT_EQ(gd->Count(), 3);
    TsSkinGeneral* mine = gd->GetItem(2);
    EXPECT_EQ(mine->FSectionName, L"MYBUTTON");
    EXPECT_EQ(mine->FParentClass, L"BUTTON");
    EXPECT_EQ(mine->FColor, 255);
    EXPECT_EQ(mine->FFontColor, L"0 -1 7 -1 -1");
    EXPECT_EQ(mine->FFadingIterations, 5);
    EXPECT_EQ(mine->FGradientData, L" ");

    TsSkinImages* images = item->Images();
    ASSERT_EQ(images->Count(), 3);
    TsSkinImage* border = images->GetItem(0);
    EXPECT_EQ(border->FName, L"B.BMP");
    EXPECT_EQ(border->FRight, 60);
    EXPECT_EQ((std::vector<int>{border->FWL, border->FWT, border->FWR, border->FWB}),
              (std::vector<int>{6, 6, 6, 6}));
    TsSkinImage* region = images->GetItem(1);
    EXPECT_EQ(region->FClassName, L"MYBUTTON");
    EXPECT_EQ(region->FPropertyName, L"GLYPH");
    EXPECT_EQ(region->FImageCount, 1);
    EXPECT_EQ(region->FMaskType, 0);
    EXPECT_EQ(region->FStretchMode, 1);
    EXPECT_EQ(images->GetItem(2)->FImageCount, 0);   // a plain file

    // Two values naming one JPEG: the picture is decoded once.
    TsSkinPatterns* patterns = item->Patterns();
    ASSERT_EQ(patterns->Count(), 2);
    EXPECT_EQ(patterns->GetItem(0)->FName, L"P.JPG");
    EXPECT_EQ(patterns->GetItem(0)->Image()->Width(), 300);
    EXPECT_TRUE(patterns->GetItem(1)->Image()->Empty());
}

// An image value without frames to divide is refused as a conversion error.
TEST_F(StoredFromFolder, NoFramesIsAConversionError)
{
    EXPECT_THROW(Load("[BUTTON]\r\nBORDERSMASK=!B.BMP!3!-1!0\r\n"), EConvertError);
    EXPECT_THROW(Load("[BUTTON]\r\nBORDERSMASK=^0000 0000 0010 0010 0000 0000 0000 0000 0 0 0 0\r\n"), EConvertError);
    EXPECT_THROW(Load("[GLOBALINFO]\r\nSHADOW1BLUR=soft\r\n"), EConvertError);
}

} // namespace
