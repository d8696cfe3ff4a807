#include <gtest/gtest.h>

#include <memory>

#include "TestComponents.h"

TEST(TypInfo, PropertiesByName)
{
    std::unique_ptr<TTestForm> c(New<TTestForm>(nullptr));
    TObject* o = c.get();
    EXPECT_TRUE(HasProperty(o, L"width"));
    EXPECT_TRUE(IsPublishedProp(o, L"Name")); // inherited from TComponent
    EXPECT_FALSE(HasProperty(o, L"Nothing"));
    EXPECT_FALSE(HasProperty(nullptr, L"Width"));

    SetIntProp(o, L"Width", 12);
    EXPECT_EQ(c->Width(), 12);
    EXPECT_EQ(GetIntProp(o, L"Width"), 12);
    SetStrProp(o, L"Caption", L"\uD55C\uAE00");
    EXPECT_EQ(GetStrProp(o, L"Caption"), L"\uD55C\uAE00");
    SetEnumProp(o, L"Align", L"taTop");
    EXPECT_EQ(GetEnumProp(o, L"Align"), L"taTop");
    SetOrdProp(o, L"Flag", 1);
    EXPECT_EQ(GetEnumProp(o, L"Flag"), L"True");
    SetSetProp(o, L"Options", L"[toSecond, toThird]");
    EXPECT_EQ(GetSetProp(o, L"Options"), L"toSecond,toThird");
    EXPECT_EQ(GetSetProp(o, L"Options", true), L"[toSecond,toThird]");
    ExcludeSetElement(o, L"Options", L"toThird");
    IncludeSetElement(o, L"Options", L"toFirst");
    EXPECT_TRUE(SetHasElement(o, L"Options", L"toFirst"));
    EXPECT_EQ(c->Options(), (TTestOptions{toFirst, toSecond}));
    SetSetProp(o, L"Options", L"");
    EXPECT_TRUE(c->Options().Empty());
    EXPECT_EQ(GetObjectProp(o, L"Sub"), c->Sub());
    SetFloatProp(o, L"Ratio", 2.25);
    EXPECT_DOUBLE_EQ(GetFloatProp(o, L"Ratio"), 2.25);

    // Component references check the class; owned objects without setter are read-only.
    SetObjectProp(o, L"Link", c.get());
    EXPECT_EQ(c->Link(), c.get());
    TTestSub sub;
    EXPECT_THROW(SetObjectProp(o, L"Link", &sub), EPropertyError);
    EXPECT_THROW(SetObjectProp(o, L"Sub", &sub), EPropertyError);

    // Errors: unknown name, wrong kind, unknown element.
    EXPECT_THROW(GetIntProp(o, L"Nothing"), EPropertyError);
    EXPECT_THROW(GetStrProp(o, L"Width"), EPropertyError);
    EXPECT_THROW(SetEnumProp(o, L"Align", L"taLeft"), EPropertyError);
    EXPECT_THROW(SetSetProp(o, L"Options", L"[toFirst,,toSecond]"), EPropertyError);
    EXPECT_THROW(SetSetProp(o, L"Options", L"[toFourth]"), EPropertyError);
}

TEST(TypInfo, EventsAndPublishedMethods)
{
    std::unique_ptr<TTestForm> f(New<TTestForm>(nullptr));
    TMethodValue click = MethodAddress(f.get(), L"buttonclick");
    ASSERT_TRUE(click.Assigned());
    EXPECT_EQ(click.Data(), f.get());
    EXPECT_FALSE(MethodAddress(f.get(), L"Nothing").HasType());

    SetMethodProp(f.get(), L"OnClick", click);
    EXPECT_EQ(f->OnClick, Bind(f.get(), &TTestForm::ButtonClick));
    EXPECT_EQ(GetMethodProp<void(TObject*)>(f.get(), L"OnClick"), f->OnClick);
    // A handler of another signature is refused and leaves the event alone.
    EXPECT_THROW(SetMethodProp(f.get(), L"OnClick", MethodAddress(f.get(), L"Counted")), EPropertyError);
    EXPECT_EQ(f->OnClick, Bind(f.get(), &TTestForm::ButtonClick));
    SetMethodProp(f.get(), L"OnClick", TMethodValue());
    EXPECT_FALSE(f->OnClick.Assigned());
}

TEST(TypInfo, PropListFollowsDeclarationOrderAncestorsFirst)
{
    std::unique_ptr<TTestForm> f(New<TTestForm>(nullptr));
    std::vector<std::wstring> names;
    for (const TPropInfo* p : GetPropList(f.get()))
        names.push_back(p->Name);
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names[0], L"Name");
    EXPECT_EQ(names[1], L"Tag");
    EXPECT_EQ(names[2], L"Width");
    const TPropInfo* align = GetPropInfo(f.get(), L"Align");
    EXPECT_EQ(align->Default, taNone);
    EXPECT_EQ(GetEnumName(align, 2), L"taClient");
    EXPECT_EQ(GetPropInfo(f.get(), L"Sub")->Kind, tkClass);
    EXPECT_TRUE(GetPropInfo(f.get(), L"Link")->IsReference);
}
