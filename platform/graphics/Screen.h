// The main screen, as far as drawing needs it: a context whose layers are screen bitmaps.
#pragma once

#include "graphics/Context.h"

namespace Gfx {

// One per process, never drawn on: it only makes layers that suit the screen.
Context& MainScreenContext();

}  // namespace Gfx
