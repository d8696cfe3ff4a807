#include <gtest/gtest.h>

#include "skin/core/sConst.h"
#include "skin/core/sDefaults.h"
#include "skin/core/sStrings.h"

namespace {

TEST(SharedRecords, ColourRecordsReadTheSameBytesInTheirOwnOrder)
{
    TsColor c;
    c.I = static_cast<int32_t>(0xFF000005);
    EXPECT_EQ(c.R, 5);
    EXPECT_EQ(c.G, 0);
    EXPECT_EQ(c.B, 0);
    EXPECT_EQ(c.A, 0xFF);
    EXPECT_EQ(c.T, 0xFF);
    TsColor_ p;
    p.I = c.I;
    EXPECT_EQ(p.B, 5);
    EXPECT_EQ(p.G, 0);
    EXPECT_EQ(p.R, 0);
    EXPECT_EQ(p.A, 0xFF);
    // The pixel view of a TsColor: its first byte is the pixel's blue.
    EXPECT_EQ(c.sBGR.B, 5);
    EXPECT_EQ(c.sBGRA.A, 0xFF);
}

TEST(SharedRecords, StartValues)
{
    EXPECT_FALSE(EmptyCI.Ready);
    EXPECT_EQ(EmptyCI.Bmp, nullptr);
    EXPECT_EQ(EmptyCI.X, -99);
    EXPECT_EQ(EmptyCI.FillColor, 0);
    EXPECT_EQ(sFuchsia.C, 0xFF00FF);
    EXPECT_EQ(kvScrollBtnLength, GetSystemMetrics(SM_CXHSCROLL));
    EXPECT_TRUE(DrawSkinnedMDIWall);
    EXPECT_FALSE(kv_v5PaintMode);
    EXPECT_EQ(kvBtnEvents[aeGlobalDef], beMouseUp);
    EXPECT_STREQ(kvThirdNames[tpButton], L"TButton");
    EXPECT_STREQ(kvThirdNames[tpEdit], L" ");
    EXPECT_STREQ(kvThirdCaptions[tpSpeedButton], L"SpeedButton");
}

TEST(SharedRecords, KindCodeSets)
{
    struct Case {
        int Code;
        bool Forbid, NotHot, Edit;
    } cases[] = {
        {1, false, false, false},   {2, false, false, true},    {18, false, false, true},
        {19, true, false, false},   {51, true, true, false},    {53, true, false, false},
        {55, true, false, false},   {60, true, true, false},    {74, true, true, false},
        {75, false, false, false},  {76, false, false, true},   {110, true, true, false},
        {140, false, false, true},  {142, true, false, false},   {143, true, true, false},   {161, true, true, false},
        {226, false, true, false},  {255, false, false, false}, {256 + 51, false, false, false},
        {-1, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sForbidMouse.Contains(c.Code), c.Forbid) << c.Code;
        EXPECT_EQ(sCanNotBeHot.Contains(c.Code), c.NotHot) << c.Code;
        EXPECT_EQ(sEditCtrls.Contains(c.Code), c.Edit) << c.Code;
    }
}

TEST(LibraryStrings, AllLoadFromTheProgramsStringTable)
{
    const std::pair<UnicodeString*, const wchar_t*> expected[] = {
        {&kvs_MsgDlgOK, L"OK"},
        {&kvs_MsgDlgHelp, L"&Help"},
        {&kvs_CloseStr, L"Close"},
        {&kvs_InternalSkin, L"(internal)"},
        {&kvs_ListBoxMustBeVirtual, L"Listbox (%s) style must be virtual in order to set Count"},
        {&kvs_FrameAdapterError1, L"TsFrameAdapter adapter must be placed on the handled frame"},
        {&kvs_ColorDlgDecimal, L"Decimal - "},
        {&kvs_HintDsgnSave, L"Save to file as..."},
        {&kvs_HintDsgnColor, L"Color"},
        {&kvs_PreviewHint, L"Preview of the future hint window"},
        {&kvs_Create, L"Create"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(*e.first, e.second);

    // Every entry is there, loaded from its own id.
    ASSERT_EQ(std::size(kvStringTable), 53u);
    for (const TkvStringEntry& e : kvStringTable) {
        EXPECT_GE(e.Id, 58910);
        EXPECT_LE(e.Id, 58992);
        wchar_t buf[128] = {};
        int n = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(e.Id), buf, 128);
        EXPECT_GT(n, 0) << e.Id;
        EXPECT_EQ(*e.Text, buf) << e.Id;
    }
}

} // namespace
