// The limits of what the printable SVG reader takes, checked on the text before it is parsed
// (the XML parser recurses once per level of nesting) and while it is drawn (a "use" can draw
// a definition many times over). The page's own SVG stays far inside every one of them.
#pragma once

#include <cstddef>
#include <string_view>

namespace KVD {

inline constexpr size_t kMaxSvgBytes = 16 * 1024 * 1024;
inline constexpr size_t kMaxSvgElements = 200000;
// Levels of element nesting in the text, and of groups and uses inside each other when drawn.
inline constexpr int kMaxSvgDepth = 64;
// Elements handled in one drawing, counting every time a "use" draws its definition.
inline constexpr size_t kMaxSvgHandledElements = 250000;
// Bytes of one text element's character data.
inline constexpr size_t kMaxSvgTextBytes = 10000;

// Throws bad_svg_exception when the text is larger, holds more elements or nests deeper than
// the limits allow. Markup the XML parser would refuse is left for it to refuse.
void CheckSvgBounds(std::string_view svg);

}  // namespace KVD
