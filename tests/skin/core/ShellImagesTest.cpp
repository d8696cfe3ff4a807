// The shared lists of the system's file icons.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "classlib/controls/ImgList.h"
#include "skin/core/sConst.h"

namespace {

TEST(ShellImages, MadeOnceSharingTheSystemLists)
{
    InitShellImageLists(false, false); // the arguments do not matter
    ASSERT_NE(LargeShellImages, nullptr);
    ASSERT_NE(SmallShellImages, nullptr);
    TCustomImageList* large = LargeShellImages;
    TCustomImageList* small = SmallShellImages;

    EXPECT_EQ(large->Name(), UnicodeString(L"sShellLargeImages"));
    EXPECT_EQ(small->Name(), UnicodeString(L"sShellSmallImages"));
    EXPECT_TRUE(large->ShareImages());
    EXPECT_TRUE(small->ShareImages());
    EXPECT_GE(large->Width(), small->Width());
    EXPECT_GE(large->Height(), small->Height());

    SHFILEINFOW info = {};
    auto systemSmall = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (systemSmall) {
        EXPECT_TRUE(small->HandleAllocated());
        EXPECT_EQ(small->Handle(), systemSmall);
        EXPECT_EQ(small->Width(), GetSystemMetrics(SM_CXSMICON));
    }

    InitShellImageLists(true, true);
    EXPECT_EQ(LargeShellImages, large);
    EXPECT_EQ(SmallShellImages, small);
}

} // namespace
