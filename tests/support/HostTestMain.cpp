#include <gtest/gtest.h>

#include "support/HostEnvironment.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new TestSupport::HostEnvironment);
    return RUN_ALL_TESTS();
}
