// Pango layouts for the one font, shared by drawing and measuring so that both agree.
#pragma once

#include <cairo.h>

#include <string>

#include "graphics/Geometry.h"

namespace Gfx {

struct TextRendering {
    bool antialias = true;
    bool smoothing = true;
};

// Draws the text with the top-left corner of its line box at the current user-space origin,
// lines growing towards +y, in the source of cr.
void ShowTextAtOrigin(cairo_t* cr, const std::string& utf8, double pointSize, TextRendering how);

}  // namespace Gfx
