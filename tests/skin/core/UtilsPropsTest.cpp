#include <gtest/gtest.h>

#include "classlib/rtl/TypInfo.h"
#include "skin/core/kvntUtils.h"

namespace {

enum TEdgeItem { ekTop, ekTopLeft, ekLeft };
using TEdges = TSet<TEdgeItem>;

class TPropHolder : public TPersistent {
    KV_CLASS(TPropHolder)
    KV_PUBLISHED
public:
    int Color = 5;
    TEdges Edges;
    TPersistent* Child = nullptr;
    UnicodeString Caption;
};

KV_BEGIN_PUBLISHED(TPropHolder, TPersistent)
    B.Int(L"Color", &C::Color, &C::Color, 0);
    B.Set(L"Edges", &C::Edges, &C::Edges, 0, {L"ekTop", L"ekTopLeft", L"ekLeft"});
    B.Object(L"Child", &C::Child, &C::Child);
    B.Str(L"Caption", &C::Caption, &C::Caption);
KV_END_PUBLISHED

TEST(UtilsProps, MissingPropertiesGiveNeutralAnswers)
{
    TPropHolder h;
    TPropHolder child;
    EXPECT_TRUE(kvntUtils::HasProperty(&h, L"Color"));
    EXPECT_FALSE(kvntUtils::HasProperty(&h, L"FocusColor"));
    EXPECT_FALSE(kvntUtils::HasProperty(nullptr, L"Color"));
    EXPECT_EQ(kvntUtils::GetIntProp(&h, L"Color"), 5);
    EXPECT_EQ(kvntUtils::GetIntProp(&h, L"FocusColor"), -1);
    EXPECT_EQ(kvntUtils::GetIntProp(&h, L"Caption"), -1);
    kvntUtils::SetIntProp(&h, L"Color", 7);
    kvntUtils::SetIntProp(&h, L"FocusColor", 9);
    kvntUtils::SetIntProp(&h, L"Caption", 9);
    EXPECT_EQ(h.Color, 7);
    EXPECT_EQ(h.Caption, L"");

    EXPECT_EQ(kvntUtils::GetObjProp(&h, L"Child"), nullptr);
    SetObjProp(&h, L"Child", &child);
    EXPECT_EQ(kvntUtils::GetObjProp(&h, L"Child"), &child);
    EXPECT_EQ(kvntUtils::GetObjProp(&h, L"Color"), nullptr);
    EXPECT_EQ(kvntUtils::GetObjProp(&h, L"TitleFont"), nullptr);
    SetObjProp(&h, L"TitleFont", &child);  // nothing happens
}

TEST(UtilsProps, SetElementsByName)
{
    TPropHolder h;
    EXPECT_FALSE(CheckSetProp(&h, L"Edges", L"ekTop"));

    // Including an element that is not there yet adds it; including it
    // again changes nothing.
    EXPECT_FALSE(SetSetPropValue(&h, L"Edges", L"ekTopLeft", true));
    EXPECT_EQ(h.Edges, TEdges({ekTopLeft}));
    SetSetPropValue(&h, L"Edges", L"ekTop", true);
    SetSetPropValue(&h, L"Edges", L"ekTop", true);
    EXPECT_EQ(h.Edges, TEdges({ekTop, ekTopLeft}));
    EXPECT_TRUE(CheckSetProp(&h, L"Edges", L"ekTop"));
    EXPECT_TRUE(CheckSetProp(&h, L"Edges", L"ekTopLeft"));

    // Removing an element whose name starts another's removes only it.
    SetSetPropValue(&h, L"Edges", L"ekTop", false);
    EXPECT_EQ(h.Edges, TEdges({ekTopLeft}));
    SetSetPropValue(&h, L"Edges", L"ekLeft", false);
    EXPECT_EQ(h.Edges, TEdges({ekTopLeft}));

    // Unknown elements and properties change nothing and never raise.
    SetSetPropValue(&h, L"Edges", L"ekBottom", true);
    SetSetPropValue(&h, L"Anchors", L"ekTop", true);
    SetSetPropValue(&h, L"Color", L"ekTop", true);
    EXPECT_EQ(h.Edges, TEdges({ekTopLeft}));
    EXPECT_EQ(h.Color, 5);
    EXPECT_FALSE(CheckSetProp(&h, L"Edges", L"ektopleft"));
    EXPECT_FALSE(CheckSetProp(&h, L"Anchors", L"ekTop"));
}

} // namespace
