// Image lists: who destroys the handle, size and count from an adopted
// handle, adding and drawing images, and what a change of size does.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/controls/ImgList.h"
#include "classlib/rtl/TypInfo.h"

namespace {

std::unique_ptr<TBitmap> SolidBitmap(int W, int H, TColor Color)
{
    auto bmp = std::make_unique<TBitmap>(W, H, pf24bit);
    bmp->Canvas()->Brush()->SetColor(Color);
    bmp->Canvas()->FillRect(TRect(0, 0, W, H));
    return bmp;
}

// A mask with the left half image (black) and the right half background (white).
std::unique_ptr<TBitmap> HalfMask(int W, int H)
{
    auto mask = SolidBitmap(W, H, clWhite);
    mask->Canvas()->Brush()->SetColor(clBlack);
    mask->Canvas()->FillRect(TRect(0, 0, W / 2, H));
    return mask;
}

struct TChangeCounter : TObject {
    int Calls = 0;
    void Changed(TObject*) { ++Calls; }
};

TEST(ImageList, SharedHandleOutlivesTheListOwnedOneDoesNot)
{
    HIMAGELIST shared = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
    ASSERT_NE(shared, nullptr);
    auto bmp = SolidBitmap(8, 8, clRed);
    ASSERT_EQ(ImageList_Add(shared, bmp->Handle(), nullptr), 0);
    {
        TImageList list(nullptr);
        list.SetShareImages(true);
        list.SetHandle(shared);
    }
    EXPECT_EQ(ImageList_GetImageCount(shared), 1) << "the shared list must still answer";
    EXPECT_TRUE(ImageList_Destroy(shared));

    HIMAGELIST owned = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
    {
        TImageList list(nullptr);
        list.SetHandle(owned);
    }
    EXPECT_FALSE(ImageList_Destroy(owned)) << "the list destroyed the handle it owned";
}

TEST(ImageList, ReplacingAHandleDestroysOnlyAnOwnedOne)
{
    HIMAGELIST first = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
    HIMAGELIST second = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
    TImageList list(nullptr);
    list.SetHandle(first);
    list.SetHandle(second);
    EXPECT_FALSE(ImageList_Destroy(first));
    list.SetHandle(nullptr);
    EXPECT_FALSE(ImageList_Destroy(second));
    EXPECT_FALSE(list.HandleAllocated());
}

TEST(ImageList, SizeAndCountComeFromAnAdoptedHandle)
{
    HIMAGELIST h = ImageList_Create(24, 20, ILC_COLOR32 | ILC_MASK, 2, 2);
    auto bmp = SolidBitmap(48, 20, clRed); // two images side by side
    ASSERT_EQ(ImageList_Add(h, bmp->Handle(), nullptr), 0);

    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.Count(), 0);
    list.SetHandle(h);
    EXPECT_EQ(list.Width(), 24);
    EXPECT_EQ(list.Height(), 20);
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Handle(), h);
}

TEST(ImageList, AddedImagesDrawWithTheirMaskAndOutOfRangeDrawsNothing)
{
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    TChangeCounter counter;
    list.SetOnChange(Bind(&counter, &TChangeCounter::Changed));

    auto image = SolidBitmap(8, 8, clRed);
    auto mask = HalfMask(8, 8);
    EXPECT_EQ(list.Add(image.get(), mask.get()), 0);
    EXPECT_EQ(list.Add(nullptr, nullptr), -1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(counter.Calls, 1);

    TBitmap target(20, 20, pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(TRect(0, 0, 20, 20));
    list.Draw(target.Canvas(), 4, 4, 0);
    list.Draw(target.Canvas(), 0, 0, 1);  // no such image
    list.Draw(target.Canvas(), 0, 0, -1);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed) << "masked-in half";
    EXPECT_EQ(target.Canvas()->Pixels(10, 5), clBlue) << "masked-out half keeps the background";
    EXPECT_EQ(target.Canvas()->Pixels(0, 0), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(13, 13), clBlue);
}

TEST(ImageList, DisabledDrawPaintsTheSilhouetteInShadowColours)
{
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    auto image = SolidBitmap(8, 8, clRed);
    auto mask = HalfMask(8, 8);
    ASSERT_EQ(list.Add(image.get(), mask.get()), 0);

    TBitmap target(20, 20, pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(TRect(0, 0, 20, 20));
    list.Draw(target.Canvas(), 4, 4, 0, false);
    EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(5, 5)), ColorToRGB(static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW))));
    EXPECT_EQ(target.Canvas()->Pixels(10, 5), clBlue);
}

TEST(ImageList, ABackgroundColourFillsTheMaskedOutPart)
{
    TImageList list(nullptr);
    list.SetWidth(8);
    list.SetHeight(8);
    list.SetBkColor(clLime);
    auto image = SolidBitmap(8, 8, clRed);
    auto mask = HalfMask(8, 8);
    ASSERT_EQ(list.Add(image.get(), mask.get()), 0);
    EXPECT_EQ(list.BkColor(), clLime) << "kept by the handle made after it was set";

    TBitmap target(20, 20, pf24bit);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(TRect(0, 0, 20, 20));
    list.Draw(target.Canvas(), 4, 4, 0);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(10, 5), clLime);
}

TEST(ImageList, AddIconUsesTheListSize)
{
    TImageList list(nullptr);
    TIcon icon;
    icon.SetHandle(LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_EQ(list.AddIcon(&icon), 0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Width(), 16);
    TIcon empty;
    EXPECT_EQ(list.AddIcon(&empty), -1);
    icon.ReleaseHandle(); // a shared system icon
}

TEST(ImageList, ANewSizeLetsASharedListGoUntouched)
{
    HIMAGELIST shared = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
    auto bmp = SolidBitmap(8, 8, clRed);
    ImageList_Add(shared, bmp->Handle(), nullptr);

    TImageList list(nullptr);
    list.SetShareImages(true);
    list.SetHandle(shared);
    list.SetWidth(12);
    EXPECT_NE(list.Handle(), shared);
    EXPECT_FALSE(list.ShareImages()) << "the new list is the list's own";
    EXPECT_EQ(list.Width(), 12);
    EXPECT_EQ(list.Height(), 8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ImageList_GetImageCount(shared), 1) << "the shared list keeps its images";
    ImageList_Destroy(shared);

    EXPECT_THROW(list.SetHeight(0), EInvalidOperation);
}

TEST(ImageList, PublishedPropertiesAndRegistration)
{
    TImageList list(nullptr);
    EXPECT_EQ(GetClass(L"TImageList").Name(), UnicodeString(L"TImageList"));
    for (const wchar_t* name : {L"AllocBy", L"BkColor", L"Height", L"Masked", L"ShareImages", L"Width", L"OnChange"})
        EXPECT_TRUE(HasProperty(&list, name)) << name;
    SetIntProp(&list, L"Width", 32);
    EXPECT_EQ(list.Width(), 32);
    EXPECT_EQ(GetIntProp(&list, L"BkColor"), clNone);
}

} // namespace
