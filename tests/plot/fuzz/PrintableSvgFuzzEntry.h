// The printable SVG reader as one function of arbitrary bytes, drawing into the recording
// context: the body of the libFuzzer target, and what test_plot replays the corpus through.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as printable SVG. A failure must leave as an exception derived from
// std::exception and the context's state must be as before; aborts otherwise. Returns 0.
int PrintableSvgFuzzOneInput(const uint8_t* data, size_t size);
