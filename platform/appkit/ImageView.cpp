#include "appkit/ImageView.h"

#include <algorithm>

namespace AppKit {

void ImageView::DrawSelf(Gfx::Context& c)
{
    // Centred at its own size, shrunk to fit.
    const Gfx::Size size = mImage.Size();
    const double scale = std::min({1.0, Frame().width / size.width, Frame().height / size.height});
    const double w = size.width * scale, h = size.height * scale;
    mImage.DrawIn(c, {(Frame().width - w) / 2, (Frame().height - h) / 2, w, h});
}

}  // namespace AppKit
