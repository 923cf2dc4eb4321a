// libFuzzer target: any bytes, taken as an equation, compile to code the machine can run or
// give NaN samples.
#include <cstdio>
#include <cstdlib>

#include "plot/fuzz/PlotFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const std::string broken = PlotFuzz::CheckEquation(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "equation evaluator: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
