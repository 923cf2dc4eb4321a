// What the wire decoder must do with any JSON a page or the browser sends: decode every value
// whose arrays nest at most kMaxWireDepth deep, refuse the deeper ones without exhausting the
// stack, and give values that survive their own wire text. The body of the wire decoder's
// libFuzzer target (fuzz/), and what ctest replays its seed corpus through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace PlatformFuzz {

// The rule the bytes, read as JSON, break; "" when they keep every rule or are no JSON.
std::string CheckWire(const uint8_t* data, size_t size);

}  // namespace PlatformFuzz
