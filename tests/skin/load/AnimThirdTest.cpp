// Animation settings and class-name lists: their defaults, their form
// resource, and the string lists kept beside the properties.
#include <gtest/gtest.h>

#include "SkinHolder.h"
#include "classlib/rtl/Lists.h"
#include "classlib/streaming/FormReader.h"

namespace {

// Frees the lists the way the manager does.
struct Lists {
    TsThirdLists L;
    ~Lists()
    {
        for (TStringList*& l : L)
            FreeAndNil(l);
    }
};

TEST(AnimEffects, DefaultsOfANewManager)
{
    TkvAnimEffects a;
    EXPECT_TRUE(a.SkinChanging()->Active());
    EXPECT_EQ(a.SkinChanging()->Time(), 100);
    EXPECT_EQ(a.SkinChanging()->Mode(), atFading);
    for (TkvFormAnimation* w : {static_cast<TkvFormAnimation*>(a.FormShow()), static_cast<TkvFormAnimation*>(a.DialogShow()),
                                static_cast<TkvFormAnimation*>(a.PageChange())}) {
        EXPECT_TRUE(w->Active());
        EXPECT_EQ(w->Time(), 0);
        EXPECT_EQ(w->Mode(), atAero);
    }
    EXPECT_EQ(a.Buttons()->Events, (TkvBtnEvents{beMouseEnter, beMouseLeave, beMouseDown, beMouseUp}));
}

TEST(AnimEffects, FormResourcesSetThem)
{
    TOwned<TSkinHolder> h(New<TSkinHolder>(nullptr));
    ReadComponentFromText(L"object H: TSkinHolder\n"
                          L"  AnimEffects.Buttons.Events = [beMouseEnter, beMouseUp]\n"
                          L"  AnimEffects.SkinChanging.Time = 240\n"
                          L"  AnimEffects.SkinChanging.Mode = atAero\n"
                          L"  AnimEffects.FormShow.Active = False\n"
                          L"  AnimEffects.DialogShow.Mode = atFading\n"
                          L"end\n",
                          h.get());
    TkvAnimEffects* a = h->AnimEffects();
    EXPECT_EQ(a->Buttons()->Events, (TkvBtnEvents{beMouseEnter, beMouseUp}));
    EXPECT_EQ(a->SkinChanging()->Time(), 240);
    EXPECT_EQ(a->SkinChanging()->Mode(), atAero);
    EXPECT_FALSE(a->FormShow()->Active());
    EXPECT_EQ(a->DialogShow()->Mode(), atFading);
}

// The main form stores "TButton" for the buttons and one blank for the
// seventeen other kinds.
TEST(ThirdParty, StoredListsBecomeStringLists)
{
    TOwned<TSkinHolder> h(New<TSkinHolder>(nullptr));
    ReadComponentFromText(L"object H: TSkinHolder\n"
                          L"  ThirdParty.ThirdEdits = ' '\n"
                          L"  ThirdParty.ThirdButtons = 'TButton'\n"
                          L"  ThirdParty.ThirdSpeedButton = ' '\n"
                          L"end\n",
                          h.get());
    Lists lists;
    LoadThirdNames(h->ThirdParty(), lists.L, false);
    ASSERT_EQ(lists.L.size(), 18u);
    EXPECT_EQ(lists.L[tpButton]->Count(), 1);
    EXPECT_EQ(lists.L[tpButton]->Strings(0), L"TButton");
    for (int kind : {tpEdit, tpComboBox, tpSpeedButton}) {
        ASSERT_EQ(lists.L[size_t(kind)]->Count(), 1) << kind;
        EXPECT_EQ(lists.L[size_t(kind)]->Strings(0), L" ") << kind;
    }
}

TEST(ThirdParty, EmptyListsTakeTheirDefaultsAndResetRestoresAll)
{
    ThirdPartyList t;
    Lists lists;
    t.SetString(tpEdit, L"TMyEdit");
    t.SetString(tpButton, UnicodeString());
    LoadThirdNames(&t, lists.L, false);
    EXPECT_EQ(t.GetString(tpButton), L"TButton");
    EXPECT_EQ(t.GetString(tpEdit), L"TMyEdit");
    EXPECT_EQ(lists.L[tpEdit]->Strings(0), L"TMyEdit");
    LoadThirdNames(&t, lists.L, true);
    EXPECT_EQ(t.GetString(tpEdit), L" ");
    EXPECT_EQ(t.GetString(18), L"");
    t.SetString(-1, L"ignored");
}

TEST(ThirdParty, ListsGoBackIntoTheProperties)
{
    ThirdPartyList t;
    Lists lists;
    LoadThirdNames(&t, lists.L, false);
    lists.L[tpButton]->Add(L"TMyButton");
    UpdateThirdNames(&t, lists.L);
    EXPECT_EQ(t.GetString(tpButton), L"TButton\r\nTMyButton\r\n");
    EXPECT_EQ(t.GetString(tpPanel), L" \r\n");
}

} // namespace
