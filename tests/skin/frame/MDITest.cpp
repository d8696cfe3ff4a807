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
        // The hook leaves MDI children to the MDI support: the child's
        // provider is placed on it here.
        New<TsSkinProvider>(Child);
        Child->Show();
        // As the MDI support does for a shown child.
        GetSkinProvider(Child)->PrepareForm();
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
