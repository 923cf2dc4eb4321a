// The parameter blocks of the messages the host sends: signature and values byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "host/framework/Message.h"
#include "host/framework/ParamBlock.h"

namespace {

TEST(ParamBlock, SignatureNibblesThenValuesBackToBack)
{
    Host::ParamBlock params;
    params.Add(2.5).Add(true).Add(-3).Add(false);
    const auto* block = static_cast<const uint8_t*>(params.Data());
    EXPECT_EQ(Host::Message::Signature(block), 0x1213u);  // double, bool, int, bool
    ASSERT_EQ(Host::Message::BlockSize(block), 4u + 8 + 4 + 4 + 4);
    double d = 0;
    uint32_t t = 9, f = 9;
    int32_t i = 0;
    std::memcpy(&d, block + 4, 8);
    std::memcpy(&t, block + 12, 4);
    std::memcpy(&i, block + 16, 4);
    std::memcpy(&f, block + 20, 4);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(t, 1u);
    EXPECT_EQ(i, -3);
    EXPECT_EQ(f, 0u);

    for (int n = 4; n < 8; ++n)
        params.Add(n);
    EXPECT_THROW(params.Add(8), std::length_error);
}

}  // namespace
