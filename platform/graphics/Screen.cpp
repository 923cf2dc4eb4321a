#include "graphics/Screen.h"

#include "graphics/Canvas.h"

namespace Gfx {

Context& MainScreenContext() {
    static const std::unique_ptr<Canvas> screen = Canvas::CreateImage(1, 1, Origin::BottomLeft);
    return screen->GetContext();
}

}  // namespace Gfx
