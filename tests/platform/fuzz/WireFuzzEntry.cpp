#include "platform/fuzz/WireFuzzEntry.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "web/Wire.h"

namespace PlatformFuzz {
namespace {

using nlohmann::json;

// How deep the arrays nest, counted without recursion; tagged objects are leaves.
int ArrayDepth(const json& root)
{
    int deepest = 0;
    std::vector<std::pair<const json*, int>> open{{&root, 0}};
    while (!open.empty()) {
        const auto [node, depth] = open.back();
        open.pop_back();
        if (!node->is_array())
            continue;
        deepest = std::max(deepest, depth + 1);
        for (const json& item : *node)
            open.emplace_back(&item, depth + 1);
    }
    return deepest;
}

}  // namespace

std::string CheckWire(const uint8_t* data, size_t size)
{
    const json wire = json::parse(data, data + size, nullptr, false);
    if (wire.is_discarded())
        return "";
    const std::optional<Web::Value> value = Web::FromWire(wire);
    const bool tooDeep = ArrayDepth(wire) > Web::kMaxWireDepth;
    if (!value)
        return tooDeep ? "" : "a value within the nesting bound was refused";
    if (tooDeep)
        return "a value nested beyond the bound was decoded";
    const std::string text = Web::WireText(*value);
    const json again = json::parse(text, nullptr, false);
    if (again.is_discarded())
        return "the value's wire text is no JSON: " + text;
    if (again != Web::ToWire(*value))
        return "the direct wire text differs from the wire tree";
    const std::optional<Web::Value> back = Web::FromWire(again);
    if (!back || *back != *value)
        return "the value does not survive its wire text: " + text;
    return "";
}

}  // namespace PlatformFuzz
