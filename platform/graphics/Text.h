// The one font every text of the system is drawn and measured in.
#pragma once

#include <string>

#include "graphics/Geometry.h"

namespace Gfx {

// The interface font: Debian's fonts-dejavu-core has it everywhere the system runs.
inline constexpr const char* kTextFontFamily = "DejaVu Sans";

// Width of the text and height of its line box at the given size in points, as a context that
// draws it would measure it (without hinting, so that the width does not depend on where the
// text is drawn).
Size MeasureText(const std::string& utf8, double pointSize);

}  // namespace Gfx
