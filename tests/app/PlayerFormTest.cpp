#include <gtest/gtest.h>

#include <memory>

#include "AppTestUtils.h"
#include "app/VKBViewerMainFormUnit.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/kvDials.h"
#include "skin/forms/sSkinMenus.h"

namespace {

// A book folder and the command line the main window reads, put back at
// the end of the scope.
class TBookFixture {
public:
    TBookFixture(const UnicodeString& exeName, std::vector<UnicodeString> args = {})
        : FSaved(ViewerCommandLine())
    {
        ViewerCommandLine().ExeName = Dir / exeName;
        ViewerCommandLine().Args = std::move(args);
        PlayerForm = nullptr;
    }
    ~TBookFixture()
    {
        ViewerCommandLine() = FSaved;
        PlayerForm = nullptr;
    }
    void PageSettings(const UnicodeString& book, const std::string& content)
    {
        UnicodeString folder = Dir / (book + L"_Page_Img");
        CreateDirectoryW(folder.c_str(), nullptr);
        WriteBytes(folder + L"\\Page_var.txt", content);
    }
    void ViewerArgs(std::vector<UnicodeString> args) { ViewerCommandLine().Args = std::move(args); }
    TOwned<TPlayerForm> Create() { return TOwned<TPlayerForm>(New<TPlayerForm>(nullptr)); }

    TTempDir Dir;

private:
    TViewerCommandLine FSaved;
};

TEST(PlayerForm, ResourceGivesTheComponentsInOrder)
{
    TBookFixture book(L"launcher.exe");
    TOwned<TPlayerForm> form = book.Create();
    ASSERT_EQ(form->ComponentCount(), 5);
    EXPECT_EQ(form->Components(0), form->FlashPlayer);
    EXPECT_EQ(form->Components(1), form->imgSaveDialog);
    EXPECT_EQ(form->Components(2), form->fileSaveDialog);
    EXPECT_EQ(form->Components(3), form->FileOpenDialog);
    EXPECT_EQ(form->Components(4), form->sSkinManager1);
    ASSERT_NE(form->FlashPlayer, nullptr);
    ASSERT_NE(form->FileOpenDialog, nullptr);

    EXPECT_EQ(form->FlashPlayer->Align(), alClient);
    EXPECT_EQ(form->FlashPlayer->WMode(), L"Window");
    EXPECT_EQ(form->FlashPlayer->Quality(), L"High");
    EXPECT_EQ(form->FlashPlayer->Scale(), L"NoScale");
    EXPECT_TRUE(form->FlashPlayer->OnFSCommand == Bind(form.get(), &TPlayerForm::FlashPlayerFSCommand));

    TOpenOptions options = {ofHideReadOnly, ofNoChangeDir, ofEnableSizing};
    EXPECT_EQ(form->imgSaveDialog->Filter(), L"ImageFile|*.jpg,*.bmp");
    EXPECT_EQ(form->fileSaveDialog->Filter(), L"PDF 파일|*.pdf");
    EXPECT_EQ(form->FileOpenDialog->Filter(), L"텍스트 파일|*.txt");
    EXPECT_EQ(form->imgSaveDialog->Options(), options);
    EXPECT_EQ(form->fileSaveDialog->Options(), options);
    EXPECT_EQ(form->FileOpenDialog->Options(), options);

    EXPECT_EQ(form->ClientWidth(), 800);   // designed size, kept while maximised
    EXPECT_EQ(form->ClientHeight(), 600);
    EXPECT_EQ(form->Position(), poMainFormCenter);
    EXPECT_EQ(form->Font()->Name(), L"Tahoma");
    EXPECT_EQ(form->Font()->Height(), -11);
    EXPECT_EQ(form->Name(), L"");   // the name went to the caption
}

TEST(PlayerForm, WithoutPageSettingsTheTitleIsTheBookNameAndTheWindowMaximised)
{
    struct {
        UnicodeString Exe;
        UnicodeString Caption;
    } cases[] = {
        {L"launcher.exe", L"VKB EBook Viewer"},
        {L"Launcher.exe", L"Launcher"},   // exact comparison
        {L"MyBook.exe", L"MyBook"},
    };
    for (const auto& c : cases) {
        TBookFixture book(c.Exe);
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(form->Caption(), c.Caption);
        EXPECT_EQ(form->WindowState(), wsMaximized);
        EXPECT_EQ(form->FlashPlayer->Movie(), ChangeFileExt(book.Dir / c.Exe, L".swf"));
        EXPECT_EQ(form->BorderStyle(), bsSizeable);
    }
}

TEST(PlayerForm, PageSettingsGiveTitleAndSize)
{
    int sw = Screen->Width(), sh = Screen->Height();
    ASSERT_GT(sw, 400);
    ASSERT_GT(sh, 300);
    struct {
        const char* Name;
        std::string Content;
        UnicodeString Caption;
        TWindowState State;
        int Width, Height;   // checked when State is wsNormal
    } cases[] = {
        {"title and size", "&title=Tom %26 Jerry %26 Co&&width=400&&height=300&", L"Tom & Jerry & Co", wsNormal, 400, 300},
        {"wider than the screen", "&title=W&&width=" + std::to_string(sw + 200) + "&&height=300&", L"W", wsNormal, sw, 300},
        {"taller than the screen", "&title=H&&width=400&&height=" + std::to_string(sh + 1) + "&", L"H", wsNormal, 400, sh},
        {"width 0: height not read", "&title=Z&&width=0&&height=abc&", L"Z", wsMaximized, 0, 0},
        {"negative width", "&title=N&&width=-5&&height=300&", L"N", wsMaximized, 0, 0},
        {"height 0", "&title=N&&width=400&&height=0&", L"N", wsMaximized, 0, 0},
        {"fullscreen after the size", "&title=F&&width=400&&height=300&&fullscreen=true&", L"F", wsMaximized, 0, 0},
        {"fullscreen is exact", "&title=F&&width=400&&height=300&&fullscreen=TRUE&", L"F", wsNormal, 400, 300},
        {"%26 is case-sensitive, title missing", "&Title=x&&width=400&&height=300&", L"", wsNormal, 400, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBookFixture book(L"Book.exe");
        book.PageSettings(L"Book", c.Content);
        TDialogSeamScope seam;
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(seam.Count(), 0u);
        EXPECT_EQ(form->Caption(), c.Caption);
        EXPECT_EQ(form->WindowState(), c.State);
        if (c.State == wsNormal) {
            EXPECT_EQ(form->Width(), c.Width);
            EXPECT_EQ(form->Height(), c.Height);
            EXPECT_EQ(form->Left(), (sw - c.Width) / 2);
            EXPECT_EQ(form->Top(), (sh - c.Height) / 2);
        }
        EXPECT_EQ(form->FlashPlayer->Movie(), book.Dir / L"Book.swf");
    }
}

// A size that is not a number ends creation at the conversion: the error is
// shown, the title is kept, the designed size stays and no movie plays.
TEST(PlayerForm, BadSizeEndsCreationAfterTheTitle)
{
    struct {
        const char* Settings;
        const wchar_t* BadValue;
    } cases[] = {
        {"&title=Bad&&width=abc&&height=300&", L"abc"},
        {"&title=Bad&&width=400&&height=tall&", L"tall"},   // a valid width first
        {"&title=Bad&&width=400&&height=300px&", L"300px"},
        {"&title=Bad&&width=400&", L"''"},                  // no height at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Settings);
        TBookFixture book(L"Book.exe");
        book.PageSettings(L"Book", c.Settings);
        TDialogSeamScope seam;
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(form->Caption(), L"Bad");
        EXPECT_EQ(form->WindowState(), wsNormal);
        EXPECT_EQ(form->ClientWidth(), 800);   // the designed size stays
        EXPECT_EQ(form->ClientHeight(), 600);
        EXPECT_EQ(form->FlashPlayer->Movie(), L"");   // no movie
        ASSERT_EQ(seam.Count(), 1u);                  // the conversion error, shown
        EXPECT_NE(seam.Last().Text.find(c.BadValue), UnicodeString::npos) << seam.Last().Text;
    }
}

TEST(PlayerForm, CommandLineChoosesTheBook)
{
    {
        // Another book named by the first argument; styles still from the viewer's ".ini".
        TBookFixture book(L"viewer.exe");
        UnicodeString other = book.Dir / L"book2.exe";
        book.ViewerArgs({other});
        book.PageSettings(L"book2", "&title=Second&&width=400&&height=300&");
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(form->Caption(), L"Second");
        EXPECT_EQ(form->FlashPlayer->Movie(), book.Dir / L"book2.swf");
    }
    for (UnicodeString arg : {L"-p12", L"x-p5"}) {
        // A start page keeps the executable as the book.
        TBookFixture book(L"Book.exe", {arg});
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(form->Caption(), L"Book");
        EXPECT_EQ(form->FlashPlayer->Movie(), book.Dir / L"Book.swf");
    }
}

TEST(PlayerForm, MainFormBorderStyleFromTheIni)
{
    struct {
        const char* Ini;
        TFormBorderStyle Expect;
    } cases[] = {
        {"[MainForm]\r\nBorderStyle=bsNone\r\n", bsNone},
        {"[MainForm]\r\nBorderStyle=bsnone\r\n", bsSizeable},
        {"[MainForm]\r\nBorderStyle=bsDialog\r\n", bsSizeable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ini);
        TExeIni ini(c.Ini);
        TBookFixture book(L"Book.exe");
        TOwned<TPlayerForm> form = book.Create();
        EXPECT_EQ(form->BorderStyle(), c.Expect);
    }
}

// Every way the main window is to open maximised holds once it is shown,
// with its designed border and without one.
TEST(PlayerForm, OpensMaximisedWithAndWithoutBorder)
{
    const char* settings[] = {
        nullptr,   // no page settings
        "&title=F&&width=400&&height=300&&fullscreen=true&",
        "&title=Z&&width=400&&height=0&",
    };
    for (const char* ini : {"", "[MainForm]\r\nBorderStyle=bsNone\r\n"}) {
        for (const char* content : settings) {
            SCOPED_TRACE(testing::Message() << ini << " / " << (content ? content : "no page settings"));
            TExeIni styles(ini);
            TBookFixture book(L"Book.exe");
            if (content)
                book.PageSettings(L"Book", content);
            TOwned<TPlayerForm> form = book.Create();
            form->Show();
            EXPECT_TRUE(IsZoomed(form->Handle()));
            EXPECT_EQ(form->WindowState(), wsMaximized);
        }
    }
}

TEST(PlayerForm, StartPageIsShownAndPassedToTheMovie)
{
    struct {
        UnicodeString Arg;
        UnicodeString Page;
    } cases[] = {{L"-p12", L"12"}, {L"x-p5", L"p5"}, {L"-p", L""}};
    for (const auto& c : cases) {
        TBookFixture book(L"Book.exe", {c.Arg});
        TOwned<TPlayerForm> form = book.Create();
        TDialogSeamScope seam;
        form->FormShow(form.get());
        ASSERT_EQ(seam.Count(), 2u);
        EXPECT_EQ(seam.Requests[0].Kind, TDialogKind::ShowMessage);
        EXPECT_EQ(seam.Requests[0].Text, c.Page);
        EXPECT_EQ(seam.Requests[1].Text, c.Page);
        EXPECT_EQ(form->FlashPlayer->GetVariable(L"_root.BOOKLOAD_FIRSTPAGE"), c.Page);
    }
    TBookFixture book(L"Book.exe", {L"other.exe"});
    TOwned<TPlayerForm> form = book.Create();
    TDialogSeamScope seam;
    form->FormShow(form.get());
    EXPECT_EQ(seam.Count(), 0u);
    EXPECT_EQ(form->FlashPlayer->GetVariable(L"_root.BOOKLOAD_FIRSTPAGE"), L"");
}

TEST(PlayerForm, ClosingAsksAndNoKeepsTheWindow)
{
    TBookFixture book(L"Book.exe");
    TOwned<TPlayerForm> form = book.Create();
    struct {
        int Answer;
        TCloseAction Action;
    } cases[] = {{mrNo, caNone}, {mrYes, caFree}, {mrCancel, caFree}};
    for (const auto& c : cases) {
        TDialogSeamScope seam;
        seam.Answer(c.Answer);
        TCloseAction action = caHide;
        form->FormClose(form.get(), action);
        EXPECT_EQ(action, c.Action);
        ASSERT_EQ(seam.Count(), 1u);
        EXPECT_EQ(seam.Last().Kind, TDialogKind::MessageDlg);
        EXPECT_EQ(seam.Last().Text, L"종료하시겠습니까?");
        EXPECT_EQ(seam.Last().DlgType, mtInformation);
        EXPECT_EQ(seam.Last().Buttons, TMsgDlgButtons({mbYes, mbNo}));
    }

    // Through the window: No leaves it open and not freed.
    form->Show();
    TDialogSeamScope seam;
    seam.Answer(mrNo);
    form->Close();
    EXPECT_EQ(seam.Count(), 1u);
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST(PlayerForm, SetNameCaptionsTheMainWindow)
{
    TBookFixture book(L"Book.exe");
    TOwned<TPlayerForm> main = book.Create();
    TOwned<TPlayerForm> other = book.Create();
    PlayerForm = main.get();
    other->SetName(L"Title & more");
    EXPECT_EQ(main->Caption(), L"Title & more");
    EXPECT_EQ(other->Caption(), L"Book");
    EXPECT_EQ(other->Name(), L"");

    // Once the main window is gone its variable no longer points at it.
    main.reset();
    EXPECT_EQ(PlayerForm, nullptr);
    other->SetName(L"Later");
    EXPECT_EQ(other->Caption(), L"Later");
}

} // namespace

TEST(PlayerForm, CarriesTheBuiltInSkinLoadedAndAnnounced)
{
    TBookFixture book(L"launcher.exe");
    TOwned<TPlayerForm> form = book.Create();
    TsSkinManager* sm = form->sSkinManager1;
    ASSERT_NE(sm, nullptr);
    EXPECT_EQ(DefaultManager, sm);
    EXPECT_EQ(sm->SkinName(), L"Calm Blue-Grey (internal)");
    EXPECT_EQ(sm->SkinDirectory(), L"C:\\Skins");
    EXPECT_TRUE(sm->SkinData->Active);
    EXPECT_GE(sm->GetSkinIndex(L"FORM"), 0);
    EXPECT_EQ(sm->ThirdParty()->GetString(tpButton), L"TButton");
    EXPECT_FALSE(aSkinChanging);
    // The viewer links the form skinning: menu settings and the creation hook.
    auto* support = dynamic_cast<TkvMenuSupport*>(sm->MenuSupport());
    ASSERT_NE(support, nullptr);
    EXPECT_EQ(support->IcoLineSkin(), L"ICOLINE");
    EXPECT_EQ(support->ExtraLineFont()->Height(), -11);
    EXPECT_NE(dynamic_cast<TsSkinableMenus*>(sm->SkinableMenus()), nullptr);
    EXPECT_TRUE(sm->HookInstalled());
    EXPECT_NE(HookCallback, nullptr);
}
