// The bound label: a caption label made while Active, placed beside its
// edit by layout, and gone cleanly whichever of edit, label and settings
// goes first.
#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/controls/sBoundLabel.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sCommonData.h"
#include "support/ResourceCount.h"

using namespace ctltest;

namespace {

// An edit that carries a bound label as the library's edits do: it makes
// the settings with its skin data and realigns the label when it moves,
// shows or hides, or is enabled or disabled.
class TBoundEdit : public TEdit {
    KV_CLASS(TBoundEdit)
public:
    TsCommonData* SkinData;
    TsBoundLabel* BoundLabel;
    bool FreeSettingsFirst = false;

    explicit TBoundEdit(TComponent* AOwner)
        : TEdit(AOwner), SkinData(new TsCommonData(this, false)), BoundLabel(new TsBoundLabel(this, SkinData))
    {
    }
    ~TBoundEdit() override
    {
        delete BoundLabel;
        delete SkinData;
    }
    void BeforeDestruction() override
    {
        if (FreeSettingsFirst) {
            delete BoundLabel;
            BoundLabel = nullptr;
        }
        TEdit::BeforeDestruction();
    }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override
    {
        TEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
        if (BoundLabel)
            BoundLabel->AlignLabel();
    }
    void WndProc(TMessage& Message) override
    {
        TEdit::WndProc(Message);
        TsEditLabel* l = BoundLabel ? BoundLabel->TheLabel() : nullptr;
        if (!l)
            return;
        if (Message.Msg == CM_VISIBLECHANGED)
            l->SetVisible(Visible());
        else if (Message.Msg == CM_ENABLEDCHANGED)
            l->SetEnabled(Enabled());
        else
            return;
        BoundLabel->AlignLabel();
    }
};

class BoundLabel : public ControlsTest {
protected:
    TBoundEdit* Edit = nullptr;
    void SetUp() override
    {
        ControlsTest::SetUp();
        Edit = New<TBoundEdit>(Form.get());
        Edit->SetName(L"NameEdit");
        Edit->SetParent(Form.get());
        Edit->SetBounds(100, 60, 120, 21);
    }
    TsBoundLabel* Settings() { return Edit->BoundLabel; }
    TsEditLabel* Label() { return Settings()->TheLabel(); }
};

TEST_F(BoundLabel, ActivationMakesANamedLabelOnTheEditsParent)
{
    EXPECT_EQ(Label(), nullptr);
    Settings()->SetActive(true);
    TsEditLabel* l = Label();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Caption(), L"NameEdit"); // an empty caption shows the edit's name
    EXPECT_EQ(Settings()->Caption(), L"NameEdit");
    EXPECT_EQ(l->Name(), L"NameEditLabel");
    EXPECT_EQ(l->Owner(), Edit);
    EXPECT_EQ(l->Parent(), Form.get());
    EXPECT_EQ(l->FocusControl(), Edit);
    EXPECT_EQ(l->BoundLabel, Settings());
    EXPECT_TRUE(l->Visible());

    Settings()->SetText(L"Name:");
    EXPECT_EQ(l->Caption(), L"Name:");
    Settings()->SetActive(false);
    EXPECT_EQ(Label(), nullptr);
    EXPECT_FALSE(Settings()->Active());

    // A hidden, disabled edit gets a hidden, disabled label.
    Edit->SetVisible(false);
    Edit->SetEnabled(false);
    Settings()->SetActive(true);
    EXPECT_EQ(Label()->Caption(), L"Name:");
    EXPECT_FALSE(Label()->Visible());
    EXPECT_FALSE(Label()->Enabled());
}

TEST_F(BoundLabel, LayoutPlacesTheLabelBesideTheEdit)
{
    Settings()->SetText(L"Caption");
    Settings()->SetActive(true);
    TsEditLabel* l = Label();
    const int w = l->Width(), h = l->Height();
    struct {
        TsCaptionLayout Layout;
        int Indent, Left, Top;
        TAlignment Alignment;
    } const cases[] = {
        {sclLeft, 0, 100 - w - 4, 60 + (21 - h) / 2 - 1, taRightJustify},
        {sclLeft, 2, 100 - w - 6, 60 + (21 - h) / 2 - 1, taRightJustify},
        {sclTopLeft, 3, 100, 60 - h - 3, taLeftJustify},
        {sclTopCenter, 0, 100 + (120 - w) / 2, 60 - h, taCenter},
        {sclTopRight, 1, 220 - w, 60 - h - 1, taRightJustify},
    };
    for (const auto& c : cases) {
        Settings()->SetLayout(c.Layout);
        Settings()->SetIndent(c.Indent);
        EXPECT_EQ(l->Left(), c.Left) << c.Layout << "/" << c.Indent;
        EXPECT_EQ(l->Top(), c.Top) << c.Layout << "/" << c.Indent;
        EXPECT_EQ(l->Alignment(), c.Alignment) << c.Layout;
    }

    // The edit moves: the label follows.
    Edit->SetBounds(150, 100, 120, 21);
    EXPECT_EQ(l->Left(), 270 - w);
    EXPECT_EQ(l->Top(), 100 - h - 1);
    // A hidden label is left where it is.
    Edit->SetVisible(false);
    Edit->SetBounds(10, 10, 120, 21);
    EXPECT_EQ(l->Left(), 270 - w);
}

TEST_F(BoundLabel, MaxWidthWrapsTheLabelAtLeastAsHighAsTheEdit)
{
    Settings()->SetText(L"A");
    Settings()->SetActive(true);
    Settings()->SetMaxWidth(50);
    EXPECT_EQ(Label()->Width(), 50);
    EXPECT_GE(Label()->Height(), 21);
    EXPECT_TRUE(Label()->WordWrap());
    EXPECT_FALSE(Label()->AutoSize());
}

TEST_F(BoundLabel, FontAndSkinColourSettingsWithoutALabel)
{
    TOwned<TFont> big(New<TFont>());
    big->SetSize(20);
    Settings()->SetFont(big.get());
    EXPECT_EQ(Settings()->GetFont()->Size(), 20);
    Settings()->SetUseSkin(false);
    EXPECT_TRUE(Settings()->GetUseSkin()); // not kept without a label

    // The font set before is the label's once it is made.
    Settings()->SetActive(true);
    EXPECT_EQ(Label()->Font()->Size(), 20);
    EXPECT_TRUE(Label()->UseSkinColor());
    Settings()->SetUseSkin(false);
    EXPECT_FALSE(Label()->UseSkinColor());
    big->SetSize(8);
    Settings()->SetFont(big.get());
    EXPECT_EQ(Label()->Font()->Size(), 8);
}

TEST_F(BoundLabel, LabelFreedByTheApplicationLeavesTheSettingsInactive)
{
    Settings()->SetActive(true);
    TsEditLabel* l = Label();
    FreeAndNil(l);
    EXPECT_EQ(Label(), nullptr);
    EXPECT_FALSE(Settings()->Active());
    Settings()->SetActive(true); // and they can make a new one
    EXPECT_NE(Label(), nullptr);
}

TEST_F(BoundLabel, EditGoesWithItsLabelWhicheverIsFreedFirst)
{
    const TResourceCount before = CountResources();
    for (bool settingsFirst : {false, true}) {
        auto* e = New<TBoundEdit>(Form.get());
        e->SetParent(Form.get());
        e->SetBounds(100, 100, 80, 21);
        e->FreeSettingsFirst = settingsFirst;
        e->BoundLabel->SetActive(true);
        const int controls = Form->ControlCount();
        FreeAndNil(e);
        EXPECT_EQ(Form->ControlCount(), controls - 2) << settingsFirst;
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}

} // namespace
