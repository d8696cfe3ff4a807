// An MDI program of the library's user: a main form with a main menu and
// children made as the application makes them.  Each child is skinned; the
// menu line shows a maximised child's icon and buttons; the children are
// maximised, restored, cascaded and closed from their caption and from the
// menu line, and nothing of theirs stays behind.
#include "FrameFixture.h"
#include "skin/forms/sMDIForm.h"
#include "support/ResourceCount.h"

using namespace frametest;

namespace {

class MDIChildren : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_EQ(Application->MainForm(), nullptr);
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetBounds(0, 0, 640, 480);
        AddMenu(Main, {L"File", L"Window"});
        Main->Show();
        Application->ProcessMessages();
    }
    void TearDown() override
    {
        TObject* o = Main;
        FreeAndNil(o);
        Application->ProcessMessages();
        FrameTest::TearDown();
    }
    TForm* NewChild(const wchar_t* Caption)
    {
        TForm* child = TForm::CreateNew(Main);
        child->SetFormStyle(fsMDIChild);
        child->SetCaption(Caption);
        child->SetBounds(10, 10, 240, 160);
        child->Show();
        Application->ProcessMessages();
        return child;
    }
    TForm* Main = nullptr;
};

} // namespace

TEST_F(MDIChildren, EachChildMadeByTheApplicationIsSkinned)
{
    TsSkinProvider* sp = ProviderOf(Main);
    ASSERT_NE(sp, nullptr);
    for (const wchar_t* caption : {L"One", L"Two", L"Three"}) {
        TForm* child = NewChild(caption);
        SCOPED_TRACE(testing::Message() << "child " << caption);
        EXPECT_NE(GetSkinProvider(child), nullptr);
    }
}
