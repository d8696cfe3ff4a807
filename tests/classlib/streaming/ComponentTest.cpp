#include <gtest/gtest.h>

#include <memory>

#include "TestComponents.h"

namespace {

// Records the notifications it receives.
class TWatcher : public TComponent {
    KV_CLASS(TWatcher)
public:
    explicit TWatcher(TComponent* AOwner) : TComponent(AOwner), FirstOwner(AOwner) {}
    TComponent* FirstOwner;
    std::vector<std::pair<TComponent*, TOperation>> Seen;
    bool OwnerDestroying = false;
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Seen.push_back({AComponent, Operation});
    }
    ~TWatcher() override
    {
        if (FirstOwner && !Owner()) // freed by its owner
            OwnerDestroying = FirstOwner->ComponentState().Contains(csDestroying);
        gLog.push_back(L"~" + Name() + (OwnerDestroying ? L" owner destroying" : L""));
    }
};

} // namespace

TEST(Component, OwnerFreesOwnedAndFreedComponentLeavesItsOwner)
{
    gLog.clear();
    auto* owner = New<TComponent>(nullptr);
    auto* a = New<TWatcher>(owner);
    a->SetName(L"A");
    auto* b = New<TWatcher>(owner);
    b->SetName(L"B");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner->FindComponent(L"b"), b);

    // A sibling joining is announced to the owned components.
    auto* c = New<TWatcher>(owner);
    EXPECT_EQ(a->Seen.back(), (std::pair<TComponent*, TOperation>{c, opInsert}));

    TObject* obj = c;
    FreeAndNil(obj);
    EXPECT_EQ(owner->ComponentCount(), 2);

    delete owner;
    EXPECT_EQ(gLog, (std::vector<std::wstring>{L"~", L"~B owner destroying", L"~A owner destroying"}));
}

TEST(Component, FreeNotificationReachesEveryClient)
{
    auto* formA = New<TComponent>(nullptr);
    auto* formB = New<TComponent>(nullptr);
    auto* target = New<TComponent>(formA);
    auto* stranger = New<TWatcher>(formB); // other owner: needs the list
    auto* sibling = New<TWatcher>(formA);  // same owner: hears the owner's broadcast
    auto* orphan = New<TWatcher>(nullptr);
    target->FreeNotification(stranger);
    target->FreeNotification(sibling);
    target->FreeNotification(orphan);
    delete target;
    for (TWatcher* w : {stranger, sibling, orphan})
        EXPECT_NE(std::find(w->Seen.begin(), w->Seen.end(), std::make_pair(target, opRemove)), w->Seen.end());

    // Removed notifications are not delivered; the client's own end unlinks.
    auto* t2 = New<TComponent>(nullptr);
    t2->FreeNotification(orphan);
    t2->RemoveFreeNotification(orphan);
    orphan->Seen.clear();
    delete t2;
    EXPECT_TRUE(orphan->Seen.empty());
    auto* t3 = New<TComponent>(nullptr);
    t3->FreeNotification(orphan);
    delete orphan; // t3 must not call it later
    delete t3;
    delete formA;
    delete formB;
}

TEST(Component, Names)
{
    std::unique_ptr<TComponent> owner(New<TComponent>(nullptr));
    auto* a = New<TComponent>(owner.get());
    auto* b = New<TComponent>(owner.get());
    a->SetName(L"Button1");
    for (const wchar_t* bad : {L"1abc", L"a b", L"a.b", L"\uD55C"})
        EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
    EXPECT_THROW(b->SetName(L"BUTTON1"), EComponentError);
    a->SetName(L"button1"); // own name in another case
    b->SetName(L"_x9");
    b->SetName(L"");
    EXPECT_EQ(a->Name(), L"button1");
    EXPECT_EQ(owner->FindComponent(L""), nullptr);
    try {
        b->SetName(L"Button1");
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), L"A component named Button1 already exists");
    }
}

TEST(Persistent, AssignDefaultsToAnError)
{
    TTestSub a, b;
    try {
        a.Assign(&b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"Cannot assign a TTestSub to a TTestSub");
    }
    try {
        a.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), L"Cannot assign a nil to a TTestSub");
    }
}

namespace {
class TCountingCollection : public TCollection {
public:
    using TCollection::TCollection;
    std::vector<TCollectionItem*> Updates;
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
};
} // namespace

TEST(Collection, ItemsIndexesAndUpdates)
{
    TCountingCollection coll(TCollectionItemClass::Of<TTestItem>());
    auto* a = coll.Add();
    auto* b = coll.Add();
    auto* c = coll.Insert(0);
    EXPECT_NE(dynamic_cast<TTestItem*>(a), nullptr);
    EXPECT_EQ(coll.Count(), 3);
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ(coll.FindItemID(b->ID()), b);
    EXPECT_EQ(a->GetOwner(), &coll);

    coll.Updates.clear();
    coll.BeginUpdate();
    coll.Delete(0);
    delete a; // an item freed elsewhere leaves its collection
    coll.EndUpdate();
    EXPECT_EQ(coll.Updates, (std::vector<TCollectionItem*>{nullptr}));
    EXPECT_EQ(coll.Count(), 1);
    EXPECT_EQ(coll.Items(0), b);
    EXPECT_THROW(coll.Items(1), EListError);

    // Items that cannot copy themselves make Assign fail like the library's.
    TCollection other(TCollectionItemClass::Of<TTestItem>());
    other.Add();
    EXPECT_THROW(coll.Assign(&other), EConvertError);
    TCollection empty(TCollectionItemClass::Of<TTestItem>());
    coll.Assign(&empty);
    EXPECT_EQ(coll.Count(), 0);
}

TEST(ClassRegistry, FindsByNameAndCreatesWithOwner)
{
    RegisterTestClasses();
    EXPECT_FALSE(GetClass(L"TNothing").Assigned());
    EXPECT_THROW(FindClass(L"TNothing"), EClassNotFound);
    std::unique_ptr<TComponent> owner(New<TComponent>(nullptr));
    gLog.clear();
    TComponent* c = FindClass(L"ttestcomp").Create(owner.get());
    EXPECT_EQ(c->ClassName(), L"TTestComp");
    EXPECT_EQ(c->Owner(), owner.get());
    EXPECT_EQ(gLog, (std::vector<std::wstring>{L"TTestComp.AfterConstruction"}));
}
