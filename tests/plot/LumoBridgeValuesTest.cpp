// How the bridge reads the page's values: counts, integers, flags, texts and lists.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "plot/LumoJavaScriptProxy.h"

namespace {

using KVD::LumoJavaScriptProxy;
using Web::Value;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

TEST(LumoBridgeValues, IntegersAreTruncatedAndClamped)
{
    const struct {
        Value value;
        int integer;
    } cases[] = {
        {Value::Number(1.9), 1},      {Value::Number(-1.9), -1},        {Value::Number(10.7), 10},
        {Value::Number(1e12), INT_MAX}, {Value::Number(-1e12), INT_MIN}, {Value::Number(kNaN), 0},
        {Value::Number(kInf), INT_MAX}, {Value::String(" 12 "), 12},     {Value::String("12px"), 0},
        {Value::Boolean(true), 1},    {Value::Null(), 0},               {Value(), 0},
        {Value::Numbers({3}), 0},     {Value::String(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LumoJavaScriptProxy::ToInt(c.value), c.integer) << c.value.ToText();
}

TEST(LumoBridgeValues, CountsStayInTheirRange)
{
    // Sample requests ask for at most 2147483647 values; label requests are only kept in range.
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(1e12), 2147483647.0), 2147483647);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(12.9), 2147483647.0), 12);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(-5), 2147483647.0), -5);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(kNaN), 2147483647.0), 0);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(1e12), kInf), 1000000000000);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(1e300), kInf), 9223372036854774784);
    EXPECT_EQ(LumoJavaScriptProxy::ToCount(Value::Number(-kInf), kInf), std::numeric_limits<int64_t>::min());
}

TEST(LumoBridgeValues, FlagsTextsAndLists)
{
    EXPECT_TRUE(LumoJavaScriptProxy::ToBool(Value::Number(2)));
    EXPECT_TRUE(LumoJavaScriptProxy::ToBool(Value::Boolean(true)));
    EXPECT_FALSE(LumoJavaScriptProxy::ToBool(Value::Number(kNaN)));
    EXPECT_FALSE(LumoJavaScriptProxy::ToBool(Value::String("0")));
    EXPECT_FALSE(LumoJavaScriptProxy::ToBool(Value()));
    EXPECT_EQ(LumoJavaScriptProxy::ToText(Value::String("a\xc3\xbc")), "a\xc3\xbc");
    EXPECT_EQ(LumoJavaScriptProxy::ToText(Value::Number(2.5)), "2.5");
    EXPECT_EQ(LumoJavaScriptProxy::ToText(Value::Boolean(false)), "false");
    EXPECT_EQ(LumoJavaScriptProxy::ToText(Value()), "");
    EXPECT_EQ(LumoJavaScriptProxy::ToText(Value::Window()), "");
    EXPECT_EQ(LumoJavaScriptProxy::ToNumbers(Value::Number(3)), std::vector<double>{});
    const std::vector<double> read = LumoJavaScriptProxy::ToNumbers(
        Value::Array({Value::Number(kNaN), Value::String("1e3"), Value::Boolean(false), Value::Object("x"),
                      Value::Null(), Value()}));
    ASSERT_EQ(read.size(), 5u);
    EXPECT_TRUE(std::isnan(read[0]));  // a number stays what it is
    EXPECT_EQ(read[1], 1000);
    EXPECT_EQ(read[2], 0);
    EXPECT_EQ(read[3], 0);
    EXPECT_EQ(read[4], 0);
}

}  // namespace
