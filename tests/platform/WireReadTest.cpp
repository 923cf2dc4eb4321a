// JSON text that carries wire values is read no deeper than its limits: reading stops at the
// first array or object past them, before anything after it is looked at, so that a text
// nested millions deep is refused for the cost of its first levels.
#include <gtest/gtest.h>

#include <string>

#include "web/Wire.h"

namespace {

using Web::ReadWireJson;
using Web::WireNesting;
using Web::WireRead;

constexpr WireNesting kValue{Web::kMaxWireDepth, 1};

std::string Nested(int depth, const std::string& inside = "")
{
    return std::string(size_t(depth), '[') + inside + std::string(size_t(depth), ']');
}

TEST(WireRead, ATextWithinTheLimitsReadsAsTheLibraryParsesIt)
{
    const std::string texts[] = {"3", R"("a")", "null", R"([1,[2,{"$":"w"}],"x"])", Nested(Web::kMaxWireDepth),
                                 Nested(Web::kMaxWireDepth, R"({"$":"o","v":"[object Object]"})")};
    for (const std::string& text : texts) {
        nlohmann::json read;
        EXPECT_EQ(ReadWireJson(text, kValue, read), WireRead::Read) << text;
        EXPECT_EQ(read, nlohmann::json::parse(text)) << text;
        EXPECT_TRUE(Web::FromWire(read).has_value()) << text;
    }
}

TEST(WireRead, ReadingStopsAtTheFirstArrayPastTheLimit)
{
    nlohmann::json read = 1;
    // What follows the 65th array is no JSON: it is never reached.
    EXPECT_EQ(ReadWireJson(std::string(Web::kMaxWireDepth + 1, '[') + "}", kValue, read), WireRead::TooDeep);
    EXPECT_TRUE(read.is_discarded());
    // Beside the limit, the same text is found to be no JSON.
    EXPECT_EQ(ReadWireJson(std::string(Web::kMaxWireDepth, '[') + "}", kValue, read), WireRead::NotJson);
    EXPECT_TRUE(read.is_discarded());
    EXPECT_EQ(ReadWireJson(Nested(Web::kMaxWireDepth + 1), kValue, read), WireRead::TooDeep);
    EXPECT_EQ(ReadWireJson(Nested(4000000), kValue, read), WireRead::TooDeep);
}

TEST(WireRead, ObjectsAreCountedApartFromArrays)
{
    nlohmann::json read;
    // A tagged object inside a tagged object: only the first is a value's.
    EXPECT_EQ(ReadWireJson(R"([{"$":"o","v":{"$":"w"}}])", kValue, read), WireRead::TooDeep);
    EXPECT_EQ(ReadWireJson(R"([{"$":"w"},{"$":"u"}])", kValue, read), WireRead::Read);
    // A call: its object and its argument list, then an argument of 64 arrays ending in a tag.
    const WireNesting call{Web::kMaxWireDepth + 1, 2};
    const std::string argument = Nested(Web::kMaxWireDepth, R"({"$":"w"})");
    EXPECT_EQ(ReadWireJson(R"({"o":"h","m":"f","a":[)" + argument + "]}", call, read), WireRead::Read);
    EXPECT_EQ(ReadWireJson(R"({"o":"h","m":"f","a":[[)" + argument + "]]}", call, read), WireRead::TooDeep);
    std::string objects;
    for (int i = 0; i < 1000000; ++i)
        objects += R"({"a":)";
    EXPECT_EQ(ReadWireJson(objects, call, read), WireRead::TooDeep);
}

TEST(WireRead, TextThatIsNoJsonIsToldApart)
{
    nlohmann::json read;
    for (const char* text : {"", "[1,", "{\"a\"}", "[1] 2", "nan"})
        EXPECT_EQ(ReadWireJson(text, kValue, read), WireRead::NotJson) << text;
    // Arrays closed make room again: siblings at the limit read.
    EXPECT_EQ(ReadWireJson("[" + Nested(Web::kMaxWireDepth - 1) + "," + Nested(Web::kMaxWireDepth - 1) + "]", kValue,
                           read),
              WireRead::Read);
}

}  // namespace
