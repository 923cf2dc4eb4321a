// libFuzzer's entry: the printable SVG reader over the recording context.
#include <cstddef>
#include <cstdint>

#include "plot/fuzz/PrintableSvgFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return PrintableSvgFuzzOneInput(data, size);
}
