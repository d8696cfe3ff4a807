#include <gtest/gtest.h>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Forms.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMsgDlg.h"

namespace {

constexpr UINT Always = MB_TOPMOST | MB_SETFOREGROUND;

TEST(MessageDlg, ButtonSetsIconsAndCaptions)
{
    struct Case {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        UINT Style;
        const wchar_t* Caption;
    } cases[] = {
        {mtConfirmation, {mbYes, mbNo, mbCancel}, MB_ICONQUESTION | MB_YESNOCANCEL, L"Confirm"},
        {mtConfirmation, {mbYes, mbNo}, MB_ICONQUESTION | MB_YESNO, L"Confirm"},
        {mtWarning, {mbOK, mbCancel}, MB_ICONEXCLAMATION | MB_OKCANCEL, L"Warning"},
        {mtError, {mbRetry, mbCancel}, MB_ICONHAND | MB_RETRYCANCEL, L"Error"},
        {mtInformation, {mbAbort, mbRetry, mbIgnore}, MB_ICONASTERISK | MB_ABORTRETRYIGNORE, L"Information"},
        {mtCustom, {}, MB_OK, L""},
        {mtCustom, {mbOK, mbYes}, MB_OK, L""},              // OK wins
        {mtWarning, {mbIgnore, mbYes}, MB_ICONEXCLAMATION | MB_ABORTRETRYIGNORE, L"Warning"},
        {mtWarning, {mbNo}, MB_ICONEXCLAMATION | MB_YESNO, L"Warning"},
        {mtWarning, {mbAll, mbClose}, MB_ICONEXCLAMATION | MB_OK, L"Warning"},
        {mtError, {mbOK, mbHelp}, MB_ICONHAND | MB_OK | MB_HELP, L"Error"},
    };
    for (const Case& c : cases) {
        TDialogSeamScope seam;
        sMessageDlg(L"text", c.Type, c.Buttons, 0);
        ASSERT_EQ(seam.Count(), 1u);
        EXPECT_EQ(seam.Last().Kind, TDialogKind::MessageBox);
        EXPECT_EQ(seam.Last().Flags, c.Style | Always) << std::hex << c.Style;
        EXPECT_EQ(seam.Last().Caption, c.Caption);
        EXPECT_EQ(seam.Last().Text, L"text");
    }
}

TEST(MessageDlg, TitlePlacementAndResult)
{
    TDialogSeamScope seam([](TDialogRequest&) {
        // While the box is up the skinner finds where to put it.
        return DlgLeft == 10 && DlgTop == 20 ? IDRETRY : IDABORT;
    });
    EXPECT_EQ(sMessageDlgPos(L"My title", L"m", mtError, {mbRetry, mbCancel}, 0, 10, 20), IDRETRY);
    EXPECT_EQ(seam.Last().Caption, L"My title");
    EXPECT_EQ(DlgLeft, -1);
    EXPECT_EQ(DlgTop, -1);
    EXPECT_EQ(sMessageDlg(L"m", mtError, {mbRetry, mbCancel}, 0), IDABORT);
}

TEST(MessageDlg, TheBoxIsAModalPhaseOfTheApplication)
{
    ASSERT_NE(Application, nullptr);
    struct Recorder : TObject {
        int Begins = 0, Ends = 0;
        void Begin(TObject*) { ++Begins; }
        void End(TObject*) { ++Ends; }
    } rec;
    Application->OnModalBegin = Bind(&rec, &Recorder::Begin);
    Application->OnModalEnd = Bind(&rec, &Recorder::End);
    int levelInside = -1;
    {
        TDialogSeamScope seam([&levelInside](TDialogRequest&) {
            levelInside = Application->ModalLevel();
            return IDOK;
        });
        sMessageDlg(L"m", mtInformation, {mbOK}, 0);
        // With no active window of this thread the application window owns the box.
        if (!GetActiveWindow()) {
            EXPECT_EQ(seam.Last().Owner, Application->Handle());
        }
    }
    Application->OnModalBegin = nullptr;
    Application->OnModalEnd = nullptr;
    EXPECT_EQ(rec.Begins, 1);
    EXPECT_EQ(rec.Ends, 1);
    EXPECT_EQ(levelInside, 1);
    EXPECT_EQ(Application->ModalLevel(), 0);
}

// With an active window the box belongs to it, and a custom box keeps its
// empty caption (not the application's title).
TEST(MessageDlg, ActiveWindowOwnsTheBoxAndCaptionsStay)
{
    ASSERT_NE(Application, nullptr);
    HWND wnd = CreateWindowExW(0, L"STATIC", L"active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    SetActiveWindow(wnd);
    ASSERT_EQ(GetActiveWindow(), wnd);
    struct Case {
        UnicodeString Title;
        TMsgDlgType Type;
        const wchar_t* Caption;
    } const cases[] = {
        {L"", mtCustom, L""},
        {L"", mtInformation, L"Information"},
        {L"Mine", mtCustom, L"Mine"},
    };
    for (const Case& c : cases) {
        TDialogSeamScope seam;
        sMessageDlg(c.Title, L"text", c.Type, {mbOK}, 0);
        ASSERT_EQ(seam.Count(), 1u);
        EXPECT_EQ(seam.Last().Caption, c.Caption);
        EXPECT_EQ(seam.Last().Owner, wnd);
    }
    TDialogSeamScope seam;
    sShowMessage(L"plain");
    EXPECT_EQ(seam.Last().Caption, L"");
    DestroyWindow(wnd);
}

TEST(MessageDlg, PlacementIsResetWhenTheBoxThrows)
{
    TDialogSeamScope seam([](TDialogRequest&) -> int { throw Exception(L"boom"); });
    EXPECT_THROW(sMessageDlgPos(L"m", mtError, {mbOK}, 0, 5, 6), Exception);
    EXPECT_EQ(DlgLeft, -1);
    EXPECT_EQ(DlgTop, -1);
}

TEST(MessageDlg, LibraryRequestsAndWarnings)
{
    TDialogSeamScope seam;
    seam.Answer(IDYES).Answer(IDNO).Answer(IDYES);
    EXPECT_TRUE(DeleteRequest());
    EXPECT_EQ(seam.Last().Text, L"Delete this item?");
    EXPECT_EQ(seam.Last().Flags, MB_ICONQUESTION | MB_YESNO | Always);
    EXPECT_FALSE(CustomRequest(L"Replace the skin?"));
    EXPECT_EQ(seam.Last().Text, L"Replace the skin?");
    EXPECT_TRUE(CustomRequest(L"again"));

    ShowWarning(L"w");
    EXPECT_EQ(seam.Last().Flags, MB_ICONEXCLAMATION | MB_OK | Always);
    EXPECT_EQ(seam.Last().Caption, L"Warning");
    ShowError(L"e");
    EXPECT_EQ(seam.Last().Flags, MB_ICONHAND | MB_OK | Always);
    EXPECT_EQ(seam.Last().Caption, L"Error");
    Alert();
    EXPECT_EQ(seam.Last().Text, L"Alert");
    Alert(-42);
    EXPECT_EQ(seam.Last().Text, L"-42");
    sShowMessage(L"Title", L"plain");
    EXPECT_EQ(seam.Last().Caption, L"Title");
    EXPECT_EQ(seam.Last().Flags, MB_OK | Always);
}

} // namespace
