// libFuzzer's entry: the compound file's open-and-read path.
#include <cstddef>
#include <cstdint>

#include "storage/fuzz/StorageFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return StorageFuzzOneInput(data, size); }
