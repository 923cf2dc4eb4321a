// libFuzzer target: any bytes, taken as plot markup, parse to a literal or fail with a message
// that names a line of the text.
#include <cstdio>
#include <cstdlib>

#include "plot/fuzz/PlotFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Markup of views is a few hundred bytes; long inputs only slow the search down.
    if (size > 8192)
        return 0;
    const std::string broken = PlotFuzz::CheckMarkup(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "markup parser: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
