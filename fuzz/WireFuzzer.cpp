// libFuzzer target: any JSON a page or the browser sends decodes to a value that survives its
// own wire text, and arrays nested beyond the bound are refused without exhausting the stack.
#include <cstdio>
#include <cstdlib>

#include "platform/fuzz/WireFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string broken = PlatformFuzz::CheckWire(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "wire: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
