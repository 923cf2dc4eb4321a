// Script values in the JSON that travels between the host and a page. Booleans, finite
// numbers, strings and arrays are plain JSON and null is null; the rest are objects tagged
// "$": {"$":"u"} undefined, {"$":"n","v":"NaN"} a number JSON cannot hold, {"$":"w"} the
// window, {"$":"o","v":text} another object. The page's side is in PageScripts.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "web/Value.h"

namespace Web {

nlohmann::json ToWire(const Value& value);
// The JSON text of ToWire(value), written directly: a million numbers for a plot go out
// without a JSON tree in between. Integral numbers are written without a fraction.
std::string WireText(const Value& value);
// Arrays nested deeper than this are refused: a page passes flat arrays and arrays of arrays,
// and decoding recurses once per level.
constexpr int kMaxWireDepth = 64;
// The value the JSON carries; none when its arrays nest deeper than kMaxWireDepth.
std::optional<Value> FromWire(const nlohmann::json& wire);

// How deep JSON text that carries wire values may nest: its arrays, and its objects (a value's
// tagged ones, a call's own).
struct WireNesting {
    int arrays;
    int objects;
};
enum class WireRead { Read, NotJson, TooDeep };
// The JSON of the text, into json; discarded JSON when the text is none or nests deeper than
// the limits. Reading stops at the first array or object past them, so that text nested a
// million deep costs no more than its first levels: a tree of its every level would take a
// hundred times its size.
WireRead ReadWireJson(const std::string& text, WireNesting limits, nlohmann::json& json);

// Samples as the data route sends them: '4' when every one is a 32-bit float (NaN included),
// else '8', then their bytes in this machine's order (the page runs beside the host) in
// base64, which the page decodes natively: a synchronous request cannot take binary.
std::string SamplesWire(const std::vector<double>& samples);

}  // namespace Web
