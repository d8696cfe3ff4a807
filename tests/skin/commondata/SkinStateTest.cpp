// TsCommonData: sections and indexes, cache rules, hot and focus state.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "SkinnedControls.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils.h"

namespace {

class SkinState : public ::testing::Test {
protected:
    TTestSkin Skin;
    TOwned<TForm> Form{TForm::CreateNew(nullptr)};

    template <class T>
    T* Place(TWinControl* Parent, int Left = 0, int Top = 0, int Width = 40, int Height = 20)
    {
        T* c = New<T>(Form.get());
        c->SetBounds(Left, Top, Width, Height);
        c->SetParent(Parent);
        return c;
    }
};

int Count(const std::vector<int>& Commands, int Cmd)
{
    return static_cast<int>(std::count(Commands.begin(), Commands.end(), Cmd));
}

TEST_F(SkinState, EmptySectionTakesTheDefaultOfItsCode)
{
    struct Case {
        int COC;
        const wchar_t* Section;
    } cases[] = {
        {93, L"BUTTON"},  {94, L"BUTTON"},         {3, L"EDIT"},         {14, L"COMBOBOX"},
        {32, L"CHECKBOX"}, {33, L"RADIOBUTTON"},   {51, L"PANEL"},       {52, L"PANEL_LOW"},
        {58, L"PANEL_LOW"}, {74, L"GROUPBOX"},     {75, L"SPLITTER"},    {92, L"SPEEDBUTTON"},
        {98, L"TOOLBUTTON"}, {141, L"PAGECONTROL"}, {143, L"PAGECONTROL"}, {151, L"STATUSBAR"},
        {152, L"CHECKBOX"}, {161, L"GAUGE"},       {165, L"TRACKBAR"},   {226, L"GROUPBOX"},
        {227, L"EDIT"},
        // Codes without a default take the owner's class name.
        {1, L"TTESTCONTROL"}, {9, L"TTESTCONTROL"}, {132, L"TTESTCONTROL"}, {224, L"TTESTCONTROL"},
        {255, L"TTESTCONTROL"},
    };
    for (const Case& c : cases) {
        TTestControl* ctl = Place<TTestControl>(Form.get());
        ctl->SkinData()->COC = c.COC;
        UpdateData(ctl->SkinData());
        EXPECT_EQ(ctl->SkinData()->SkinSection(), c.Section) << c.COC;
    }
}

TEST_F(SkinState, SectionNamesAreStoredUpperCased)
{
    Skin.AddSection({L"BUTTON"});
    TTestControl* c = Place<TTestControl>(Form.get());
    TsCommonData* sd = c->SkinData();

    sd->SetSkinSection(L"button");
    EXPECT_EQ(sd->SkinSection(), L"BUTTON");
    EXPECT_EQ(sd->SkinIndex, 0);
    EXPECT_EQ(Count(c->Part.Commands, SMC_SKIN_REFRESH), 1);

    // The stored text again does nothing; another spelling of it re-indexes.
    sd->SetSkinSection(L"BUTTON");
    EXPECT_EQ(Count(c->Part.Commands, SMC_SKIN_REFRESH), 1);
    sd->SetSkinSection(L"Button");
    EXPECT_EQ(Count(c->Part.Commands, SMC_SKIN_REFRESH), 2);

    // A section the skin lacks is not skinned; the control is told so.
    sd->SetSkinSection(L"");
    EXPECT_EQ(sd->SkinSection(), L"UNKNOWN");
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_EQ(Count(c->Part.Commands, SMC_SKIN_REMOVE), 1);
}

TEST_F(SkinState, IndexesFollowTheSkin)
{
    Skin.AddSection({L"BUTTON"});
    int border = Skin.AddBorder(L"BUTTON", 3, 3, 3, 3);
    int texture = Skin.AddTexture(L"BUTTON", L"PATTERN");
    int hot = Skin.AddTexture(L"BUTTON", L"HOTPATTERN");
    TTestControl* c = Place<TTestControl>(Form.get());
    TsCommonData* sd = c->SkinData();
    sd->SetSkinSection(L"BUTTON");
    EXPECT_EQ(sd->SkinIndex, 0);
    EXPECT_EQ(sd->BorderIndex, border);
    EXPECT_EQ(sd->Texture, texture);
    EXPECT_EQ(sd->HotTexture, hot);
    EXPECT_TRUE(sd->Skinned());

    // Another manager's announcement is not for this control.
    Skin.Clear();
    Command(c, SMC_SKIN_SET, 0, 12345);
    EXPECT_EQ(sd->SkinIndex, 0);

    // A new skin without the section leaves no index of the old one behind.
    Command(c, SMC_SKIN_SET, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_EQ(sd->BorderIndex, -1);
    EXPECT_EQ(sd->Texture, -1);
    EXPECT_EQ(sd->HotTexture, -1);
    EXPECT_FALSE(sd->Skinned());

    // The section comes back with the next skin, at its new place.
    Skin.AddSection({L"EDIT"});
    Skin.AddSection({L"BUTTON"});
    Command(c, SMC_SKIN_SET, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    EXPECT_EQ(sd->SkinIndex, 1);
    EXPECT_EQ(sd->BorderIndex, -1);
    EXPECT_TRUE(sd->BGChanged);
}

// A control with a manager of its own follows that manager, not the
// default one, and forgets it when it goes away.
TEST_F(SkinState, AControlMayHaveAManagerOfItsOwn)
{
    Skin.AddSection({L"BUTTON"});
    auto other = std::make_unique<TTestSkin>();
    other->AddSection({L"EDIT"});
    other->AddSection({L"BUTTON"});
    ASSERT_EQ(DefaultManager, Skin.Manager);
    // The application's forms hear the managers' announcements.
    TOwned<TForm> appForm{TForm::CreateNew(Application)};
    TTestControl* c = Place<TTestControl>(appForm.get());
    TsCommonData* sd = c->SkinData();
    sd->SetSkinSection(L"BUTTON");
    EXPECT_FALSE(sd->ManagerStored());

    c->Part.Commands.clear();
    sd->SetSkinManager(other->Manager);
    EXPECT_TRUE(sd->ManagerStored());
    EXPECT_EQ(sd->GetSkinManager(), other->Manager);
    EXPECT_EQ(sd->SkinIndex, 1);
    EXPECT_EQ(Count(c->Part.Commands, SMC_SKIN_REFRESH), 1);

    // The default manager's announcements are not for this control.
    Skin.Clear();
    Command(c, SMC_SKIN_SET, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    EXPECT_EQ(sd->SkinIndex, 1);

    // Its manager goes away: the control keeps no pointer to it.
    other.reset();
    EXPECT_FALSE(sd->ManagerStored());
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_EQ(sd->GetSkinManager(), Skin.Manager);

    // Choosing the default manager stores none.
    sd->SetSkinManager(Skin.Manager);
    EXPECT_FALSE(sd->ManagerStored());

    // A control on a form that no announcement reaches forgets its freed
    // manager too.
    auto third = std::make_unique<TTestSkin>();
    third->AddSection({L"BUTTON"});
    TTestControl* loose = Place<TTestControl>(Form.get());
    TsCommonData* lsd = loose->SkinData();
    lsd->SetSkinSection(L"BUTTON");
    lsd->SetSkinManager(third->Manager);
    ASSERT_TRUE(lsd->ManagerStored());
    third.reset();
    EXPECT_FALSE(lsd->ManagerStored());
    EXPECT_EQ(lsd->SkinIndex, -1);
    EXPECT_EQ(lsd->GetSkinManager(), Skin.Manager);
}

TEST_F(SkinState, RemovingTheSkinGivesTheStandardLookBack)
{
    Skin.AddSection({L"EDIT", 0, 0x223344, 0, 0, false, 0x00FF00});
    TTestEdit* e = Place<TTestEdit>(Form.get());
    TsCommonData* sd = e->SkinData();
    sd->SetSkinSection(L"EDIT");
    sd->Loaded();
    EXPECT_EQ(e->Color(), 0x223344);
    EXPECT_EQ(e->Font()->Color(), 0x00FF00);
    sd->InitCacheBmp();

    Command(e, SMC_SKIN_REMOVE, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    EXPECT_EQ(sd->SkinIndex, -1);
    EXPECT_TRUE(sd->FUpdating);
    EXPECT_EQ(sd->FCacheBmp->Width(), 0);
    EXPECT_EQ(e->Color(), clWindow);
    EXPECT_EQ(e->Font()->Color(), clWindowText);

    // A control that keeps its own colour keeps it through a refresh.
    Command(e, SMC_SKIN_SET, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    sd->SetCustomColor(true);
    e->SetColor(0x0000FF);
    Command(e, SMC_SKIN_REFRESH, 0, reinterpret_cast<LPARAM>(Skin.Manager));
    EXPECT_FALSE(sd->FUpdating);
    EXPECT_EQ(e->Color(), 0x0000FF);
    EXPECT_EQ(e->Font()->Color(), 0x00FF00);
}

// ---------------------------------------------------------------------------
// Cache rules.

TEST_F(SkinState, CacheIsRequiredByWhatTheSectionShows)
{
    struct Case {
        const char* Name;
        int T, Grad, Img, BorderWidth;
        bool ParentCached;
        bool Required;
    } cases[] = {
        {"plain colour", 0, 0, 0, 0, true, false},
        {"gradient", 0, 30, 0, 0, true, true},
        {"texture", 0, 0, 50, 0, true, true},
        {"half transparent", 40, 0, 0, 0, true, true},
        {"transparent over a cached parent", 100, 0, 0, 0, true, true},
        {"transparent over an uncached parent", 100, 0, 0, 0, false, false},
        // A texture shows nothing of its own through full transparency.
        {"transparent texture over an uncached parent", 100, 0, 50, 0, false, false},
        {"wide border", 0, 0, 0, 16, true, true},
        {"narrow border", 0, 0, 0, 15, true, false},
    };
    for (const Case& c : cases) {
        Skin.Clear();
        Skin.AddSection({L"PARENT"});
        Skin.AddSection({L"CHILD", c.T, 0, c.Grad, c.Img});
        if (c.BorderWidth)
            Skin.AddBorder(L"CHILD", c.BorderWidth, 2, c.BorderWidth, 2);
        TTestPanel* parent = Place<TTestPanel>(Form.get(), 0, 0, 100, 100);
        parent->SkinData()->SetSkinSection(L"PARENT");
        parent->SkinData()->CtrlSkinState = c.ParentCached ? 0 : CSS_NOCACHE;
        TTestPanel* child = Place<TTestPanel>(parent);
        child->SkinData()->SetSkinSection(L"CHILD");
        parent->HandleNeeded();
        child->HandleNeeded();
        EXPECT_EQ(IsCacheRequired(child->SkinData()), c.Required) << c.Name;
        // Containers go without a cache when none is required.
        UpdateSkinState(child->SkinData());
        EXPECT_EQ((child->SkinData()->CtrlSkinState & CSS_NOCACHE) != 0, !c.Required) << c.Name;
    }
}

TEST_F(SkinState, OnlyContainersGoWithoutCache)
{
    Skin.AddSection({L"PLAIN"});
    TTestPanel* panel = Place<TTestPanel>(Form.get());
    TTestControl* control = Place<TTestControl>(Form.get());
    panel->SkinData()->SetSkinSection(L"PLAIN");
    control->SkinData()->SetSkinSection(L"PLAIN");
    EXPECT_EQ(panel->SkinData()->CtrlSkinState & CSS_NOCACHE, CSS_NOCACHE);
    EXPECT_EQ(control->SkinData()->CtrlSkinState & CSS_NOCACHE, 0);

    // Without a cache of its own a container is cached only while active.
    EXPECT_FALSE(IsCached(panel->SkinData()));
    EXPECT_TRUE(IsCached(control->SkinData()));
    panel->SkinData()->FFocused = true;
    EXPECT_TRUE(IsCached(panel->SkinData()));

    // The command message reads and recomputes the state.
    panel->SkinData()->FFocused = false;
    EXPECT_EQ(Command(panel, SMC_CTRL_STATE), CSS_NOCACHE);
    TMessage m = MakeMessage(SM_KORVEXCMD, MakeKorvexWParam(SMC_CTRL_STATE), 1, 77);
    EXPECT_TRUE(CommonMessage(m, panel->SkinData()));
    EXPECT_EQ(m.Result, 77);
}

TEST_F(SkinState, BackgroundChangesAreMarked)
{
    Skin.AddSection({L"SOLID"});
    Skin.AddSection({L"GLASS", 50});
    TTestControl* solid = Place<TTestControl>(Form.get());
    TTestControl* glass = Place<TTestControl>(Form.get());
    solid->SkinData()->SetSkinSection(L"SOLID");
    glass->SkinData()->SetSkinSection(L"GLASS");
    solid->SkinData()->BGChanged = glass->SkinData()->BGChanged = false;

    // Only a section that lets its parent show through may change with it.
    Command(solid, SMC_BG_MAY_CHANGE, 1);
    Command(glass, SMC_BG_MAY_CHANGE, 1);
    EXPECT_FALSE(solid->SkinData()->BGChanged);
    EXPECT_TRUE(glass->SkinData()->BGChanged);

    EXPECT_EQ(Command(solid, SMC_GET_UPDATING), 0);
    Command(solid, SMC_BG_CHANGED);
    EXPECT_TRUE(solid->SkinData()->BGChanged);
    EXPECT_EQ(Command(solid, SMC_GET_UPDATING), 1);

    solid->HandleNeeded();
    solid->SkinData()->BGChanged = false;
    solid->SetBounds(0, 0, 60, 30);
    EXPECT_TRUE(solid->SkinData()->BGChanged);

    solid->SkinData()->BGChanged = false;
    Command(solid, SMC_SET_UPDATING, 1);
    EXPECT_EQ(Command(solid, SMC_GET_UPDATING), 1);
    Command(solid, SMC_SET_UPDATING, 0);
    EXPECT_EQ(Command(solid, SMC_GET_UPDATING), 0);
}

// Only a control whose picture depends on its place repaints after moving,
// and then its children learn that their background moved too.
TEST_F(SkinState, MovingRepaintsWhatDependsOnItsPlace)
{
    Skin.AddSection({L"GRADIENT", 0, 0x808080, 30});
    Skin.AddSection({L"PLAIN"});
    Skin.AddSection({L"GLASS", 50});
    TTestPanel* gradient = Place<TTestPanel>(Form.get(), 0, 0, 200, 100);
    TTestPanel* plain = Place<TTestPanel>(Form.get(), 0, 100, 200, 100);
    gradient->SkinData()->SetSkinSection(L"GRADIENT");
    plain->SkinData()->SetSkinSection(L"PLAIN");
    struct Case {
        TWinControl* Parent;
        const wchar_t* Section;
        bool Repaints;
    } cases[] = {
        {gradient, L"GLASS", true},
        {plain, L"GLASS", false},
        {gradient, L"PLAIN", false},
    };
    for (const Case& c : cases) {
        TTestPanel* moved = Place<TTestPanel>(c.Parent, 10, 10, 80, 50);
        moved->SkinData()->SetSkinSection(c.Section);
        TTestControl* child = Place<TTestControl>(moved, 5, 5);
        child->HandleNeeded();
        moved->SkinData()->BGChanged = false;
        child->Part.Commands.clear();
        moved->SetBounds(20, 20, 80, 50);
        EXPECT_EQ(moved->SkinData()->BGChanged, c.Repaints) << c.Section;
        EXPECT_EQ(Count(child->Part.Commands, SMC_REPAINT_IF_MOVED), c.Repaints ? 1 : 0) << c.Section;
    }

    // A window procedure without skin data leaves every message alone.
    TMessage m = MakeMessage(WM_MOVE, 0, 0, 0);
    EXPECT_FALSE(CommonWndProc(m, nullptr));
}

TEST_F(SkinState, ParentsUpdatingHoldsThePaintUntilParentUpdated)
{
    Skin.AddSection({L"PANEL", 0, 0x808080, 20});
    Skin.AddSection({L"BUTTON"});
    TTestPanel* parent = Place<TTestPanel>(Form.get(), 0, 0, 200, 100);
    TTestControl* child = Place<TTestControl>(parent, 10, 10);
    parent->SkinData()->SetSkinSection(L"PANEL");
    child->SkinData()->SetSkinSection(L"BUTTON");
    Form->SetBounds(0, 0, 300, 200);
    Form->Show();
    Form->Update();
    child->Part.Paints = child->Part.Skipped = 0;

    // The parent's picture is not ready: the child waits.
    parent->SkinData()->BGChanged = true;
    child->Repaint();
    EXPECT_EQ(child->Part.Paints, 0);
    EXPECT_EQ(child->Part.Skipped, 1);

    // Ready again: the parent tells its children, which paint now.
    parent->SkinData()->BGChanged = false;
    SetParentUpdated(parent);
    EXPECT_EQ(child->Part.Paints, 1);

    // A child's own updating holds it whatever its parent says.
    child->SkinData()->FUpdating = true;
    child->Repaint();
    EXPECT_EQ(child->Part.Paints, 1);
    EXPECT_EQ(child->Part.Skipped, 2);
    Form->Hide();
}

// ---------------------------------------------------------------------------
// Hot and focus state.

TEST_F(SkinState, MouseMakesActiveUnlessTheCodeForbidsIt)
{
    Skin.AddSection({L"BUTTON"});
    struct Case {
        int COC;
        bool Hot;
    } cases[] = {{93, true}, {92, true}, {51, false}, {19, false}, {141, false}, {162, true}};
    for (const Case& c : cases) {
        TTestGraphic* g = Place<TTestGraphic>(Form.get());
        g->SkinData()->COC = c.COC;
        g->Perform(CM_MOUSEENTER, 0, 0);
        EXPECT_EQ(g->SkinData()->FMouseAbove, c.Hot) << c.COC;
        EXPECT_EQ(ControlIsActive(g->SkinData()), c.Hot) << c.COC;
        // Focus makes any control active.
        g->SkinData()->FFocused = true;
        EXPECT_TRUE(ControlIsActive(g->SkinData())) << c.COC;
        g->SetEnabled(false);
        EXPECT_FALSE(ControlIsActive(g->SkinData())) << c.COC;
        EXPECT_FALSE(g->SkinData()->FFocused) << c.COC;
        g->SetEnabled(true);
        g->SkinData()->FMouseAbove = true;
        g->Perform(CM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(g->SkinData()->FMouseAbove, !c.Hot) << c.COC;
    }
}

TEST_F(SkinState, FocusOfATabStopIsTracked)
{
    Skin.AddSection({L"EDIT"});
    TTestEdit* edit = Place<TTestEdit>(Form.get());
    TTestControl* other = Place<TTestControl>(Form.get(), 0, 30);
    other->SetTabStop(true);
    Form->Show();
    edit->SetFocus();
    EXPECT_TRUE(edit->SkinData()->FFocused);
    EXPECT_TRUE(ControlIsActive(edit->SkinData()));
    other->SetFocus();
    EXPECT_FALSE(edit->SkinData()->FFocused);
    EXPECT_TRUE(other->SkinData()->FFocused);
    Form->Hide();
}

TEST_F(SkinState, EnteringAContainerLeavesItsOtherHotSpeedButtons)
{
    Skin.AddSection({L"PANEL"});
    TTestPanel* bar = Place<TTestPanel>(Form.get(), 0, 0, 200, 40);
    TTestGraphic* first = Place<TTestGraphic>(bar, 0, 0);
    TTestGraphic* second = Place<TTestGraphic>(bar, 50, 0);
    TTestGraphic* notButton = Place<TTestGraphic>(bar, 100, 0);
    notButton->SkinData()->COC = 93;
    first->SkinData()->FMouseAbove = second->SkinData()->FMouseAbove = notButton->SkinData()->FMouseAbove = true;
    bar->HandleNeeded();

    // The mouse goes from the bar into the first button.
    bar->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_TRUE(first->SkinData()->FMouseAbove);
    EXPECT_FALSE(second->SkinData()->FMouseAbove);
    EXPECT_TRUE(notButton->SkinData()->FMouseAbove);
    // A panel is mouse-blind by its code.
    EXPECT_FALSE(bar->SkinData()->FMouseAbove);
}

TEST_F(SkinState, UpdateUIStateIsSwallowedOnlyWhenSkinned)
{
    Skin.AddSection({L"BUTTON"});
    TTestControl* c = Place<TTestControl>(Form.get());
    TMessage m = MakeMessage(WM_UPDATEUISTATE, 0, 0, 0);
    EXPECT_FALSE(CommonWndProc(m, c->SkinData()));
    c->SkinData()->SetSkinSection(L"BUTTON");
    EXPECT_TRUE(CommonWndProc(m, c->SkinData()));
    EXPECT_FALSE(CommonWndProc(m, nullptr));
}

TEST_F(SkinState, FontSectionComesFromAParentThatGivesItsOwn)
{
    Skin.AddSection({L"OWNFONT", 0, 0, 0, 0, true});
    Skin.AddSection({L"GLASS", 60});
    Skin.AddSection({L"PLAIN"});
    TTestPanel* outer = Place<TTestPanel>(Form.get(), 0, 0, 200, 200);
    TTestPanel* glass = Place<TTestPanel>(outer, 0, 0, 150, 150);
    TTestPanel* plain = Place<TTestPanel>(outer, 0, 0, 150, 150);
    TTestControl* inGlass = Place<TTestControl>(glass);
    TTestControl* inPlain = Place<TTestControl>(plain);
    outer->SkinData()->SetSkinSection(L"OWNFONT");
    glass->SkinData()->SetSkinSection(L"GLASS");
    plain->SkinData()->SetSkinSection(L"PLAIN");
    inGlass->HandleNeeded();
    inPlain->HandleNeeded();
    EXPECT_EQ(GetFontIndex(inGlass, -5, nullptr), 0);
    EXPECT_EQ(GetFontIndex(inPlain, -5, nullptr), -5);
    EXPECT_EQ(GetFontIndex(glass, -5, nullptr), 0);
    EXPECT_EQ(GetFontIndex(nullptr, -5, nullptr), -5);
}

} // namespace
