// An MDI main form whose active child is maximised: the child's buttons
// in the main form's menu line, pressed as the child allows, and the menu
// line counted and painted whatever place the system gives the child's icon.
#include "FrameFixture.h"
#include "skin/forms/sSkinMenus.h"

using namespace frametest;

class FrameMDI : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetBounds(0, 0, 600, 450);
        AddMenu(Main, {L"File", L"Edit"});
        Main->Show();
        Child = TForm::CreateNew(Main);
        Child->SetFormStyle(fsMDIChild);
        Child->SetBounds(10, 10, 200, 150);
        Child->Show();
        Child->SetWindowState(wsMaximized);
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        MDISkinProvider = nullptr;
        TObject* o = Main;
        FreeAndNil(o);
        FrameTest::TearDown();
    }
    TForm* Main = nullptr;
    TForm* Child = nullptr;
};

TEST_F(FrameMDI, ChildButtonsPressAsTheChildAllows)
{
    TsSkinProvider* sp = ProviderOf(Main);
    ASSERT_EQ(MaxChildProvider, ProviderOf(Child));
    ASSERT_TRUE(sp->MDIButtonsNeeded());
    Image(sp);
    ASSERT_FALSE(sp->MDIMax.Rect.IsEmpty());
    for (int code : {HTMDICLOSE, HTMDIMAX, HTMDIMIN})
        EXPECT_EQ(sp->Metrics().HitTest(CentreOf(sp->ButtonByCode(code)->Rect)), code);

    // The main form allows no maximising of its own; the child may be restored.
    Main->SetBorderIcons({biSystemMenu, biMinimize});
    sp->SetPressedHT(HTMDIMAX);
    EXPECT_EQ(sp->MDIMax.State, 2);
    sp->SetHotHT(0, true);
    // The child may not be restored; the main form may maximise.
    Main->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
    Child->SetBorderIcons({biSystemMenu, biMinimize});
    ASSERT_TRUE(::IsZoomed(Child->Handle()));
    ASSERT_EQ(MaxChildProvider, ProviderOf(Child));
    ASSERT_NE(MaxChildProvider->SystemMenu, nullptr);
    ASSERT_FALSE(MaxChildProvider->SystemMenu->EnabledRestore());
    sp->SetPressedHT(HTMDIMAX);
    EXPECT_NE(sp->MDIMax.State, 2);
}

// A maximised child's icon heads the menu bar; when the system has no place
// for it (here the bar's items are taken away), the count still ends and
// the menu line is still painted.
TEST_F(FrameMDI, MenuLinesCountedWhateverTheIconsPlace)
{
    TsSkinProvider* sp = ProviderOf(Main);
    MDISkinProvider = sp;
    const HMENU bar = Main->Menu()->Handle();
    while (::GetMenuItemCount(bar) > 0)
        ::RemoveMenu(bar, 0, MF_BYPOSITION);
    RECT r{};
    ASSERT_FALSE(::GetMenuItemRect(Main->Handle(), bar, 0, &r)) << "the icon has no place";
    sp->FLinesCount = -1;
    EXPECT_EQ(sp->LinesCount(), 1);
    Image(sp);
    EXPECT_FALSE(sp->SkinData()->BGChanged) << "the image was painted";
}

// While the menu loop of the main form runs, the child's buttons are shown
// by a small form of the library's own over the menu line's right end; it
// goes with the loop, or with the main form when that goes inside the loop.
TEST_F(FrameMDI, IconFormCoversTheChildsButtonsDuringTheMenuLoop)
{
    ASSERT_EQ(CurrentMDIIconsForm(), nullptr);
    ::SendMessageW(Main->Handle(), WM_ENTERMENULOOP, 0, 0);
    TForm* icons = CurrentMDIIconsForm();
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(icons->Tag(), -98);
    EXPECT_EQ(GetSkinProvider(icons), nullptr) << "the library's own form stays unskinned";
    EXPECT_TRUE(::IsWindowVisible(icons->Handle()));
    RECT r;
    ::GetWindowRect(icons->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(r.bottom - r.top, ::GetSystemMetrics(SM_CYMENU) + 3);
    EXPECT_LE(r.right, Main->BoundsRect().right);
    EXPECT_GT(r.top, Main->Top());
    // A second loop message keeps the one form.
    ::SendMessageW(Main->Handle(), WM_ENTERMENULOOP, 0, 0);
    EXPECT_EQ(CurrentMDIIconsForm(), icons);
    ::SendMessageW(Main->Handle(), WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(CurrentMDIIconsForm(), nullptr);

    // Without a maximised child there is nothing to cover.
    Child->SetWindowState(wsNormal);
    Application->ProcessMessages();
    ::SendMessageW(Main->Handle(), WM_ENTERMENULOOP, 0, 0);
    EXPECT_EQ(CurrentMDIIconsForm(), nullptr);
    ::SendMessageW(Main->Handle(), WM_EXITMENULOOP, 0, 0);

    // The main form freed inside the loop takes the icon form with it.
    Child->SetWindowState(wsMaximized);
    Application->ProcessMessages();
    ::SendMessageW(Main->Handle(), WM_ENTERMENULOOP, 0, 0);
    ASSERT_NE(CurrentMDIIconsForm(), nullptr);
    TObject* o = Main;
    FreeAndNil(o);
    Main = nullptr;
    EXPECT_EQ(CurrentMDIIconsForm(), nullptr);
}

// The child's icon heads the main form's bar only while the main form has a
// provider and its active child is maximised with a system menu.
TEST_F(FrameMDI, ChildIconHeadsTheBarOfAMaximisedChildWithASystemMenu)
{
    MDISkinProvider = nullptr;
    EXPECT_FALSE(ChildIconPresent()) << "no MDI main form's provider";
    MDISkinProvider = ProviderOf(Main);
    EXPECT_TRUE(ChildIconPresent());
    Child->SetBorderIcons({});
    EXPECT_FALSE(ChildIconPresent());
    Child->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
    Child->SetWindowState(wsNormal);
    Application->ProcessMessages();
    EXPECT_FALSE(ChildIconPresent());
}
