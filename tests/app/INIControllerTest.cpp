#include <gtest/gtest.h>

#include "AppTestUtils.h"
#include "app/INIController.h"

namespace {

TEST(INIController, ReadsTheSixValuesFromTheExecutablesIni)
{
    INIController* ini = INIController::GetInstance();
    EXPECT_EQ(ini, INIController::GetInstance());
    {
        TExeIni file("[MainForm]\r\nBorderStyle=bsNone\r\n\r\n[ChildForm]\r\nWindowState=wsMaximized\r\n"
                     "Width=abc\r\nHeight=640\r\nBorderStyle=bsDialog\r\nScale=NoBorder\r\n");
        ini->Load();
        EXPECT_EQ(ini->GetMainFormBorderStyle(), L"bsNone");
        EXPECT_EQ(ini->GetChildWindowState(), L"wsMaximized");
        EXPECT_EQ(ini->GetChildWidth(), L"abc");   // handed on as read, no conversion
        EXPECT_EQ(ini->GetChildHeight(), L"640");
        EXPECT_EQ(ini->GetChildBorderStyle(), L"bsDialog");
        EXPECT_EQ(ini->GetChildScale(), L"NoBorder");
    }
    {
        // Missing keys and sections read as empty text, replacing what was held.
        TExeIni file("[ChildForm]\r\nScale=ShowAll\r\n");
        ini->Load();
        EXPECT_EQ(ini->GetMainFormBorderStyle(), L"");
        EXPECT_EQ(ini->GetChildWindowState(), L"");
        EXPECT_EQ(ini->GetChildWidth(), L"");
        EXPECT_EQ(ini->GetChildScale(), L"ShowAll");
    }
    // No file at all.
    ini->Load();
    EXPECT_EQ(ini->GetChildScale(), L"");
    EXPECT_EQ(ini->GetChildBorderStyle(), L"");
}

} // namespace
