// Where a text stands against its anchor point: one enumeration for both directions, as the
// printable SVG's "text-anchor" and "dominant-baseline" name them.
#pragma once

namespace KVD {

enum TextAlign { kLeft = 0, kCentre = 1, kRight = 2, kTop = 3, kMiddle = 4, kBottom = 5 };

}  // namespace KVD
