// Actions: what a linked control takes from its action, clicks that execute
// it, and links that outlive the action, the list or the control.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/ImgList.h"
#include "classlib/controls/StdCtrls.h"

namespace {

TOwned<TForm> NewForm()
{
    TOwned<TForm> f(TForm::CreateNew(nullptr));
    f->SetBounds(0, 0, 400, 300);
    return f;
}

struct TCounter : TObject {
    int Count = 0;
    void Hit(TObject*) { ++Count; }
};

// Records what ActionChange was given and how often the control heard
// CM_ENABLEDCHANGED.
class TActionButton : public TButton {
    KV_CLASS(TActionButton)
public:
    explicit TActionButton(TComponent* AOwner) : TButton(AOwner) {}
    std::vector<int> SeenImageIndexes;
    int EnabledChanges = 0;
    using TButton::ActionLink;

protected:
    void ActionChange(TObject* Sender, bool CheckDefaults) override
    {
        TButton::ActionChange(Sender, CheckDefaults);
        if (auto* a = dynamic_cast<TCustomAction*>(Sender))
            SeenImageIndexes.push_back(a->ImageIndex());
    }
    void CMEnabledChanged(TMessage& Message) override
    {
        ++EnabledChanges;
        TButton::CMEnabledChanged(Message);
    }
};

} // namespace

TEST(Action, LinkedControlsTakeItsPropertiesAndEveryChange)
{
    TOwned<TForm> form = NewForm();
    auto* action = New<TAction>(form.get());
    action->SetCaption(L"열기");
    action->SetHint(L"open");
    action->SetImageIndex(3);
    auto* a = New<TActionButton>(form.get());
    auto* b = New<TActionButton>(form.get());
    a->SetParent(form.get());
    b->SetParent(form.get());
    a->SetAction(action);
    b->SetAction(action);

    for (TActionButton* btn : {a, b}) {
        EXPECT_EQ(btn->Action(), action);
        EXPECT_EQ(btn->Caption(), L"열기");
        EXPECT_EQ(btn->Hint(), L"open");
        EXPECT_TRUE(btn->Enabled());
    }
    action->SetEnabled(false);
    action->SetImageIndex(5);
    for (TActionButton* btn : {a, b}) {
        EXPECT_FALSE(btn->Enabled());
        EXPECT_FALSE(IsWindowEnabled(btn->Handle()));
        EXPECT_EQ(btn->EnabledChanges, 1) << "the control is told once, as by its own setter";
        EXPECT_EQ(btn->SeenImageIndexes, (std::vector<int>{3, 3, 5}));
    }
    // Unlinked, the control keeps what it took and hears no more.
    b->SetAction(nullptr);
    action->SetCaption(L"닫기");
    EXPECT_EQ(a->Caption(), L"닫기");
    EXPECT_EQ(b->Caption(), L"열기");
    EXPECT_EQ(b->Action(), nullptr);
}

TEST(Action, WhileLoadingOnlyPropertiesAtTheirDefaultsTakeTheActions)
{
    TOwned<TForm> form = NewForm();
    auto* action = New<TAction>(form.get());
    action->SetCaption(L"action");
    action->SetHint(L"action hint");
    action->SetEnabled(false);
    auto* own = New<TActionButton>(form.get());
    own->SetCaption(L"own");
    auto* plain = New<TActionButton>(form.get());
    plain->SetCaption(L"");
    for (TActionButton* btn : {own, plain}) {
        btn->IncludeState(csLoading);
        btn->SetAction(action);
        btn->ExcludeState(csLoading);
    }
    EXPECT_EQ(own->Caption(), L"own");
    EXPECT_EQ(plain->Caption(), L"action");
    EXPECT_EQ(own->Hint(), L"action hint");
    EXPECT_FALSE(own->Enabled()) << "an enabled control is at its default";
}

TEST(Action, AClickWithoutOnClickExecutesTheAction)
{
    TOwned<TForm> form = NewForm();
    TCounter executed, clicked;
    auto* action = New<TAction>(form.get());
    action->OnExecute = Bind(&executed, &TCounter::Hit);
    auto* btn = New<TButton>(form.get());
    btn->SetParent(form.get());
    btn->SetAction(action);

    SendMessageW(btn->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(executed.Count, 1);
    btn->OnClick = Bind(&clicked, &TCounter::Hit);
    SendMessageW(btn->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(executed.Count, 1);
    EXPECT_EQ(clicked.Count, 1);
}

TEST(Action, FreeingTheActionTheListOrTheControlLeavesNoDanglingLink)
{
    TOwned<TForm> form = NewForm();
    auto* images = New<TImageList>(form.get());
    auto* list = New<TActionList>(form.get());
    list->SetImages(images);
    auto* action = New<TAction>(form.get());
    action->SetActionList(list);
    auto* kept = New<TAction>(form.get());
    kept->SetActionList(list);
    ASSERT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(list->Actions(0), action);

    auto* btn = New<TActionButton>(form.get());
    btn->SetParent(form.get());
    btn->SetAction(action);
    TObject* o = action;
    FreeAndNil(o);
    EXPECT_EQ(btn->Action(), nullptr);
    EXPECT_EQ(list->ActionCount(), 1);
    SendMessageW(btn->Handle(), BM_CLICK, 0, 0);   // nothing to execute, no fault

    // A freed control leaves the action's clients.
    auto* gone = New<TActionButton>(form.get());
    gone->SetAction(kept);
    o = gone;
    FreeAndNil(o);
    kept->SetCaption(L"after");

    o = images;
    FreeAndNil(o);
    EXPECT_EQ(list->Images(), nullptr);
    o = list;
    FreeAndNil(o);
    EXPECT_EQ(kept->ActionList(), nullptr);
}
