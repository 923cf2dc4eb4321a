// What every call a page can make on lumo_proxy must give, whatever its method name and
// arguments: the body of the bridge's libFuzzer target (fuzz/), and what ctest replays its
// seed corpus through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web/Value.h"

namespace PlotFuzz {

// The call the bytes describe: the first byte picks one of the bridge's names (or takes a
// name from the bytes), the rest are arguments of every kind a page can pass.
void DecodeCall(const uint8_t* data, size_t size, std::string& method, std::vector<Web::Value>& arguments);

// Dispatches the call on a proxy with sources and an equation; answers the rule broken, or "".
std::string CheckBridgeCall(const std::string& method, const std::vector<Web::Value>& arguments);
std::string CheckBridge(const uint8_t* data, size_t size);

}  // namespace PlotFuzz
