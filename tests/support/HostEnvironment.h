// Installs the host stand-in before any test asks the host for an id or a class object.
#pragma once

#include <gtest/gtest.h>

namespace TestSupport {

class HostEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
};

}  // namespace TestSupport
