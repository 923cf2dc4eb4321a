// What every markup text and every equation text must give, whatever the bytes: the bodies of
// the two libFuzzer targets (fuzz/), and what ctest replays their seed corpora through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace PlotFuzz {

// Parses the bytes as markup and converts them to the literal; answers the rule broken, or "".
std::string CheckMarkup(const uint8_t* data, size_t size);

// Compiles and evaluates the bytes as an equation; answers the rule broken, or "".
std::string CheckEquation(const uint8_t* data, size_t size);

}  // namespace PlotFuzz
