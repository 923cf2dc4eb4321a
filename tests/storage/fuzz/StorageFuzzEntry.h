// The open-and-read path of the compound file as one function of arbitrary bytes: the body of
// the libFuzzer target, and what ctest replays the corpus through.
#pragma once

#include <cstddef>
#include <cstdint>

// Opens the bytes as a compound file and reads everything in it. When they open, the file is
// also changed, committed and opened again, which must succeed: a file this system wrote is
// never refused. Aborts when that fails; returns 0 otherwise.
int StorageFuzzOneInput(const uint8_t* data, size_t size);
