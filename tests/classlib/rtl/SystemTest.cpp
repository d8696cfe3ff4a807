#include <gtest/gtest.h>
#include "classlib/rtl/System.h"

namespace {
struct Listener : TObject {
    int Hits = 0;
    void A(TObject*) { ++Hits; }
    void B(TObject*) { Hits += 10; }
};
}

TEST(TMethodTest, BindsComparesAndClears)
{
    Listener l1, l2;
    TNotifyEvent e1 = Bind(&l1, &Listener::A);
    TNotifyEvent e2 = Bind(&l1, &Listener::A);
    TNotifyEvent e3 = Bind(&l1, &Listener::B);
    TNotifyEvent e4 = Bind(&l2, &Listener::A);
    EXPECT_TRUE(e1 == e2);
    EXPECT_FALSE(e1 == e3);
    EXPECT_FALSE(e1 == e4);
    e1(nullptr);
    e3(nullptr);
    EXPECT_EQ(l1.Hits, 11);
    e1 = nullptr;
    EXPECT_FALSE(e1.Assigned());
    EXPECT_TRUE(e1 == nullptr);
}

TEST(ExceptionTest, CarriesUnicodeMessage)
{
    try {
        throw EConvertError(L"'x' 종료");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), L"'x' 종료");
        EXPECT_EQ(e.ClassName(), L"EConvertError");
        EXPECT_STREQ(e.what(), "'x' \xEC\xA2\x85\xEB\xA3\x8C");
    }
}
