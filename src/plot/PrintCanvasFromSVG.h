// Draws a plot's printable SVG natively: the subset of SVG that the plot page writes for
// printing and copying, read element by element onto a print canvas over the given context.
#pragma once

#include <string>

#include "graphics/Context.h"

namespace KVD {

// A point (x, y) of the SVG lands at (x·scaleX + offsetX, y·scaleY + offsetY) of the context.
// The context's state is saved on entry and restored on every way out, so what the caller
// draws afterwards is placed as before. Every failure leaves as an exception (what was drawn
// before it stays): bad_svg_exception for SVG outside the subset or beyond the limits of
// plot/SvgBounds.h, boost::property_tree errors for text that is not XML, a root other than
// svg, a missing attribute or a coordinate that is not a number, boost::escaped_list_error for
// a style whose escapes the style tokenizer refuses.
void PrintCanvasFromSVG(Gfx::Context& context, const std::string& svg, float scaleX, float scaleY, float offsetX,
                        float offsetY);

}  // namespace KVD
