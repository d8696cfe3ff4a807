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
    struct Entry {
        int Id;
        UnicodeString* Text;
        const wchar_t* Want;
    } expected[] = {
        {58992, &kvs_MsgDlgOK, L"OK"},
        {58991, &kvs_MsgDlgCancel, L"Cancel"},
        {58990, &kvs_MsgDlgHelp, L"&Help"},
        {58981, &kvs_RestoreStr, L"Restore"},
        {58980, &kvs_MoveStr, L"Move"},
        {58979, &kvs_SizeStr, L"Size"},
        {58978, &kvs_MinimizeStr, L"Minimize"},
        {58977, &kvs_MaximizeStr, L"Maximize"},
        {58976, &kvs_CloseStr, L"Close"},
        {58970, &kvs_FileOpen, L"File open"},
        {58964, &kvs_AvailSkins, L"Available skins"},
        {58963, &kvs_InternalSkin, L"(internal)"},
        {58962, &kvs_ErrorSettingCount, L"Error setting %s.Count"},
        {58961, &kvs_ListBoxMustBeVirtual, L"Listbox (%s) style must be virtual in order to set Count"},
        {58960, &kvs_ColorDlgAdd, L"Add to custom colors set"},
        {58959, &kvs_ColorDlgDefine, L"Define colors"},
        {58958, &kvs_ColorDlgMainPal, L"Main palette :"},
        {58957, &kvs_ColorDlgAddPal, L"Additional colors :"},
        {58956, &kvs_ColorDlgTitle, L"Color"},
        {58955, &kvs_ColorDlgRed, L"Red :"},
        {58954, &kvs_ColorDlgGreen, L"Green :"},
        {58953, &kvs_ColorDlgBlue, L"Blue :"},
        {58952, &kvs_ColorDlgDecimal, L"Decimal - "},
        {58951, &kvs_ColorDlgHex, L"Hex - "},
        {58950, &kvs_FrameAdapterError1, L"TsFrameAdapter adapter must be placed on the handled frame"},
        {58949, &kvs_HintDsgnTitle, L"Hint Designer Form"},
        {58948, &kvs_HintDsgnPreserved, L"Preserved settings :"},
        {58947, &kvs_HintDsgnStyle, L"Style :"},
        {58946, &kvs_HintDsgnBevelWidth, L"Bevel width"},
        {58945, &kvs_Blur, L"Blur"},
        {58944, &kvs_HintDsgnArrowLength, L"Arrow length"},
        {58943, &kvs_HintDsgnHorizMargin, L"Horiz. margin"},
        {58942, &kvs_HintDsgnVertMargin, L"Vert. margin"},
        {58941, &kvs_HintDsgnRadius, L"Corners radius"},
        {58940, &kvs_HintDsgnMaxWidth, L"Max width"},
        {58939, &kvs_HintDsgnPauseHide, L"Pause hide (ms)"},
        {58938, &kvs_Percent, L"Percent"},
        {58937, &kvs_HintDsgnOffset, L"Offset"},
        {58936, &kvs_HintDsgnTransparency, L"Transparency"},
        {58935, &kvs_HintDsgnNoPicture, L"No picture available"},
        {58934, &kvs_Font, L"Font"},
        {58933, &kvs_Texture, L"Texture"},
        {58932, &kvs_HintDsgnLoad, L"Load from file"},
        {58931, &kvs_HintDsgnSave, L"Save to file as..."},
        {58930, &kvs_HintDsgnColor, L"Color"},
        {58929, &kvs_HintDsgnBorderTop, L"Top border"},
        {58928, &kvs_HintDsgnBorderBottom, L"Bottom border"},
        {58927, &kvs_Shadow, L"Shadow"},
        {58926, &kvs_Background, L"Background"},
        {58925, &kvs_Gradient, L"Gradient"},
        {58924, &kvs_PreviewHint, L"Preview of the future hint window"},
        {58911, &kvs_SelectDir, L"Select directory"},
        {58910, &kvs_Create, L"Create"},
    };
    ASSERT_EQ(std::size(kvStringTable), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Entry& e = expected[i];
        EXPECT_EQ(*e.Text, e.Want) << e.Id;
        // Loaded in this order, each from its own id.
        EXPECT_EQ(kvStringTable[i].Id, e.Id);
        EXPECT_EQ(kvStringTable[i].Text, e.Text);
        wchar_t buf[128] = {};
        EXPECT_GT(LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(e.Id), buf, 128), 0) << e.Id;
        EXPECT_STREQ(buf, e.Want) << e.Id;
    }
}

} // namespace
