#include "plot/fuzz/PrintableSvgFuzzEntry.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "graphics/RecordingContext.h"
#include "plot/PrintCanvasFromSVG.h"

int PrintableSvgFuzzOneInput(const uint8_t* data, size_t size) {
    Gfx::RecordingContext context({400, 300});
    const Gfx::Matrix before = context.CurrentMatrix();
    const Gfx::Rect clip = context.ClipBounds();
    try {
        KVD::PrintCanvasFromSVG(context, std::string(reinterpret_cast<const char*>(data), size), 1.5f, 1.5f, 3, 4);
    } catch (const std::exception&) {
        // Refused: what matters is how it was refused.
    }
    const Gfx::Matrix after = context.CurrentMatrix();
    if (after.a != before.a || after.b != before.b || after.c != before.c || after.d != before.d ||
        after.tx != before.tx || after.ty != before.ty || !(context.ClipBounds() == clip))
        std::abort();
    return 0;
}
