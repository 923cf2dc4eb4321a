// SVG text drawn as PDF with librsvg: what the host's print view does with a plot's printable
// SVG. The SVG comes from a page, so it is untrusted: it is parsed with librsvg's limits on,
// refers to no file (it has no base), and a text librsvg cannot read is refused, not drawn.
#pragma once

#include <string>

#include "graphics/Geometry.h"

namespace Web {

// One PDF page of pageSize points with the SVG scaled to fit area (keeping its proportions,
// centred in it), its texts placed against their anchors as their "dominant-baseline" says, as
// the page's canvas places them. False, with librsvg's reason, for a text that is no SVG
// librsvg can draw.
bool SvgToPdf(const std::string& svg, const Gfx::Size& pageSize, const Gfx::Rect& area, std::string& pdf,
              std::string& error);

}  // namespace Web
