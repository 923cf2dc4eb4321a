// The window record of the host interfaces: four 64-bit words, the third the native window.
#pragma once

#include <cstdint>

struct HWND {
    uint64_t words[4];

    void* NativeWindow() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(words[2])); }
};
static_assert(sizeof(HWND) == 32, "window records are four words");
