// Plain window types of the host boundary, and the platform objects that cross it as opaque
// pointers.
#pragma once

#include <cstdint>

#include "HWND.h"

class NSBundle;
class NSMenu;

// A rectangle in the host's window coordinates.
struct tagRECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct tagSIZE {
    int32_t cx;
    int32_t cy;
};

// Size limits that a client window may impose on its host window.
struct MINMAXINFO {
    tagSIZE minTrackSize;
    tagSIZE maxTrackSize;
};

static_assert(sizeof(tagRECT) == 16, "rectangles are 16 bytes");
