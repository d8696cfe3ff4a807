#include <gtest/gtest.h>

#include "classlib/controls/Dialogs.h"

TEST(DialogSeam, AnswersMessageBoxesAndRecordsThem)
{
    TDialogSeamScope seam;
    seam.Answer(IDNO);
    EXPECT_EQ(KvMessageBox(nullptr, L"종료하시겠습니까?", L"Viewer", MB_YESNO | MB_ICONQUESTION), IDNO);
    // Queue empty: the default answer.
    EXPECT_EQ(KvMessageBox(nullptr, L"second", L"", MB_OK), IDCANCEL);
    ShowMessage(L"Guide.PDF 파일이 저장되었습니다.");

    ASSERT_EQ(seam.Count(), 3u);
    EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::MessageBox);
    EXPECT_EQ(seam.Requests[0].Text, L"종료하시겠습니까?");
    EXPECT_EQ(seam.Requests[0].Caption, L"Viewer");
    EXPECT_EQ(seam.Requests[0].Flags, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(seam.Last().Kind, TDialogKind::ShowMessage);
    EXPECT_EQ(seam.Last().Text, L"Guide.PDF 파일이 저장되었습니다.");
    EXPECT_EQ(seam.Last().Buttons, (TMsgDlgButtons{mbOK}));
}

TEST(DialogSeam, ScopesNestAndRestoreThePreviousHandler)
{
    EXPECT_FALSE(DialogSeamInstalled());
    {
        TDialogSeamScope outer;
        outer.DefaultAnswer = IDYES;
        {
            TDialogSeamScope inner([](TDialogRequest& r) { return r.Text == L"a" ? IDRETRY : IDABORT; });
            EXPECT_EQ(KvMessageBox(nullptr, L"a", L"", MB_OK), IDRETRY);
            EXPECT_EQ(inner.Count(), 1u);
        }
        EXPECT_EQ(KvMessageBox(nullptr, L"b", L"", MB_OK), IDYES);
        EXPECT_EQ(outer.Count(), 1u);
    }
    EXPECT_FALSE(DialogSeamInstalled());
}
