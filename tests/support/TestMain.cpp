#include <gtest/gtest.h>

#include "ResourceCount.h"

int main(int argc, char** argv)
{
    // Before any test makes a timer or a hook, so that leak checks see them all.
    WatchTimersAndHooks();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
