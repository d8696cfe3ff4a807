// An MDI program of the library's user: a main form with a main menu and
// children made as the application makes them.  Each child is skinned; the
// menu line shows a maximised child's icon and buttons; the children are
// maximised, restored, cascaded and closed from their caption and from the
// menu line, and nothing of theirs stays behind.
#include <algorithm>
#include <memory>
#include <vector>

#include "FrameFixture.h"
#include "classlib/controls/ExtCtrls.h"
#include "skin/forms/sSkinMenus.h"
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
        child->OnClose = TCloseEvent(this, &MDIChildren::FreeOnClose);
        child->Show();
        Application->ProcessMessages();
        return child;
    }
    // As an MDI program does: a closed child goes.
    void FreeOnClose(TObject*, TCloseAction& Action) { Action = caFree; }
    // A click on a caption button of the form: pressed and released there.
    static void Click(TForm* Form, int Code)
    {
        TsSkinProvider* sp = GetSkinProvider(Form);
        sp->SetPressedHT(Code);
        ::SendMessageW(Form->Handle(), WM_NCLBUTTONUP, WPARAM(Code), 0);
        Application->ProcessMessages();
    }
    static bool Zoomed(TForm* F) { return ::IsZoomed(F->Handle()) != 0; }
    TForm* Main = nullptr;
};

} // namespace

TEST_F(MDIChildren, MaximisedRestoredCascadedAndClosedFromTheirButtons)
{
    TsSkinProvider* sp = ProviderOf(Main);
    ASSERT_NE(sp, nullptr);
    auto cycle = [&] {
        std::vector<TForm*> kids;
        for (const wchar_t* caption : {L"One", L"Two", L"Three"}) {
            TForm* child = NewChild(caption);
            SCOPED_TRACE(testing::Message() << "child " << caption);
            TsSkinProvider* csp = GetSkinProvider(child);
            EXPECT_NE(csp, nullptr);
            if (!csp)
                return;
            EXPECT_NE(csp->SystemMenu, nullptr) << "prepared when shown";
            kids.push_back(child);
        }
        ASSERT_EQ(Main->ActiveMDIChild(), kids[2]);
        TBitmap* img = Image(sp);
        const TRect line(0, 0, img->Width(), img->Height() / 4);
        const auto plain = std::unique_ptr<TBitmap>(new TBitmap(img->Width(), line.Height(), pf24bit));
        ::BitBlt(plain->Canvas()->Handle(), 0, 0, line.Width(), line.Height(), img->Canvas()->Handle(), 0, 0, SRCCOPY);

        // Maximised from its caption: the menu line takes its icon and buttons.
        Click(kids[2], HTMAXBUTTON);
        EXPECT_TRUE(Zoomed(kids[2]));
        EXPECT_TRUE(sp->MDIButtonsNeeded());
        EXPECT_TRUE(ChildIconPresent());
        img = Image(sp);
        for (int code : {HTMDICLOSE, HTMDIMAX}) {
            const TRect r = sp->ButtonByCode(code)->Rect;
            ASSERT_FALSE(r.IsEmpty()) << code;
            int changed = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    changed += !(PixelAt(img, x, y) == PixelAt(plain.get(), x, y));
            EXPECT_GE(changed, r.Width() * r.Height() / 10) << "button " << code << " drawn in the menu line";
        }

        {
            // The child's icon heads the menu line.
            const TsFrameMetrics m = sp->Metrics();
            const int size = m.MenuHeight() - 2, x0 = m.Facts().Shadow.left + m.SysBorderWidth(true) + 1,
                      y0 = m.TitleBottom() + 1;
            int changed = 0;
            for (int y = y0; y < y0 + size; ++y)
                for (int x = x0; x < x0 + size; ++x)
                    changed += !(PixelAt(img, x, y) == PixelAt(plain.get(), x, y));
            EXPECT_GT(changed, size * size / 10) << "the child's icon drawn in the menu line";
        }

        // Restored from the menu line: the line is plain again.
        Click(Main, HTMDIMAX);
        EXPECT_FALSE(Zoomed(kids[2]));
        EXPECT_FALSE(sp->MDIButtonsNeeded());
        EXPECT_FALSE(ChildIconPresent());

        // Cascaded: each child below and right of the one before.
        Main->Cascade();
        Application->ProcessMessages();
        std::vector<int> tops;
        for (TForm* k : kids)
            tops.push_back(k->Top());
        std::sort(tops.begin(), tops.end());
        EXPECT_LT(tops[0], tops[1]);
        EXPECT_LT(tops[1], tops[2]);

        // Closed from its caption, then (maximised) from the menu line.
        TForm* active = Main->ActiveMDIChild();
        Click(active, HTCLOSE);
        EXPECT_EQ(Main->MDIChildCount(), 2);
        active = Main->ActiveMDIChild();
        ASSERT_NE(active, nullptr);
        active->SetWindowState(wsMaximized);
        Application->ProcessMessages();
        ASSERT_TRUE(sp->MDIButtonsNeeded());
        Click(Main, HTMDICLOSE);
        EXPECT_EQ(Main->MDIChildCount(), 1);
        // The system maximises the child it activates next.
        TForm* left = Main->ActiveMDIChild();
        ASSERT_NE(left, nullptr);
        EXPECT_EQ(sp->MDIButtonsNeeded(), Zoomed(left));
        Click(Zoomed(left) ? Main : left, Zoomed(left) ? HTMDICLOSE : HTCLOSE);
        EXPECT_EQ(Main->MDIChildCount(), 0);
        Image(sp);
    };
    cycle();
    const TResourceCount before = CountResources();
    cycle();
    Application->ProcessMessages();
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

// A skin with an "MDIAREA" section paints it where the MDI client shows:
// the client area below the menu line, less what aligned controls take.
TEST_F(MDIChildren, TheSkinsMDIAreaFillsTheClientsRoom)
{
    TsSkinProvider* sp = ProviderOf(Main);
    ASSERT_NE(sp, nullptr);
    ASSERT_NE(sp->MDIForm, nullptr);
    const int form = Manager->GetSkinIndex(L"FORM");
    ASSERT_GE(form, 0);
    TsGeneralData area = Manager->gd[size_t(form)];
    area.ClassName = L"MDIAREA";
    area.ParentClass.clear();
    area.Color = area.HotColor = TColor(0x3060C0);
    area.GradientPercent = area.HotGradientPercent = area.ImagePercent = area.HotImagePercent = 0;
    area.Transparency = area.HotTransparency = 0;
    area.BorderIndex = area.ImgTL = area.ImgTR = area.ImgBL = area.ImgBR = -1;
    Manager->gd.push_back(area);
    auto* bar = New<TPanel>(Main);
    bar->SetParent(Main);
    bar->SetAlign(alTop);
    bar->SetHeight(30);
    Application->ProcessMessages();

    TBitmap* img = Image(sp);
    const TRgb blue{0x30, 0x60, 0xC0};  // B, G, R of 0x3060C0
    RECT client;
    ::GetWindowRect(Main->ClientHandle(), &client);
    RECT w;
    ::GetWindowRect(Main->Handle(), &w);
    const TPoint o = sp->FrameImageOrigin();
    const TPoint mid(o.x + (client.left + client.right) / 2 - w.left, o.y + (client.top + client.bottom) / 2 - w.top);
    EXPECT_EQ(PixelAt(img, mid.x, mid.y), blue) << "inside the client's room";
    EXPECT_FALSE(PixelAt(img, mid.x, o.y + client.top - w.top - 10) == blue) << "the aligned bar's room";
    Manager->gd.pop_back();
}

// An MDI main form taken by the hook after its children were made (the skin
// came later) brings its children with it.
TEST_F(FrameTest, AnMDIFormTakenLaterBringsItsChildren)
{
    Manager.reset();
    ASSERT_EQ(Application->MainForm(), nullptr);
    TForm* main = nullptr;
    Application->CreateForm(main);
    TOwned<TForm> owned(main);
    main->SetFormStyle(fsMDIForm);
    main->SetBounds(0, 0, 500, 400);
    main->Show();
    TForm* kids[2] = {};
    for (TForm*& k : kids) {
        k = TForm::CreateNew(main);
        k->SetFormStyle(fsMDIChild);
        k->Show();
    }
    Application->ProcessMessages();
    ASSERT_EQ(GetSkinProvider(kids[0]), nullptr) << "no skin yet";

    Manager.reset(NewManager());
    AddSupportedForm(main->Handle(), nullptr);  // as the hook does when the main form is activated
    ASSERT_NE(GetSkinProvider(main), nullptr);
    for (TForm* k : kids)
        EXPECT_NE(GetSkinProvider(k), nullptr);
    owned.reset();
    Application->ProcessMessages();
}
