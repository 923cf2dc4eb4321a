// A colour with alpha, each component 0..1, not premultiplied.
#pragma once

namespace Gfx {

struct Color {
    double red = 0, green = 0, blue = 0, alpha = 1;

    bool IsTransparent() const { return alpha <= 0; }
};

}  // namespace Gfx
