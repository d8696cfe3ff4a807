#include <gtest/gtest.h>

#include "support/FakeInput.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sVclUtils.h"

namespace {

TEST(InputSource, AScopeReplacesTheSystemSourceAndPutsItBack)
{
    TsInputSource* system = &InputSource();
    {
        TFakeInput fake;
        fake.Cursor = TPoint(12, 34);
        fake.Held.insert(VK_LBUTTON);
        EXPECT_EQ(&InputSource(), &fake);
        EXPECT_EQ(kvMousePos().x, 12);
        EXPECT_EQ(kvMousePos().y, 34);
        EXPECT_TRUE(kvKeyDown(VK_LBUTTON));
        EXPECT_FALSE(kvKeyDown(VK_RBUTTON));
        fake.Advance(250);
        EXPECT_EQ(kvTickCount(), 1250u);
    }
    EXPECT_EQ(&InputSource(), system);
}

TEST(InputSource, DelayWaitsOnTheInjectedClock)
{
    TFakeInput fake;
    fake.Step = 50;
    DWORD start = fake.Now;
    Delay(200);
    EXPECT_GE(fake.Now - start, 200u);
    EXPECT_LE(fake.Now - start, 300u);
}

} // namespace
