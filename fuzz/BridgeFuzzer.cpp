// libFuzzer target: any call a page makes on lumo_proxy (a method name and arguments of every
// kind) is answered without a crash, never with more values than asked for, and an unknown
// name with "".
#include <cstdio>
#include <cstdlib>

#include "plot/fuzz/BridgeFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const std::string broken = PlotFuzz::CheckBridge(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "bridge: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
