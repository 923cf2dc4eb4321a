#include "web/SvgPdf.h"

#include <cairo-pdf.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <memory>

namespace Web {
namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// librsvg draws every text on its alphabetic baseline and ignores "dominant-baseline", which the
// plots' printable SVG uses to hang a text from its anchor or centre it there as the page's canvas
// does. The canvas puts the named edge of the em box at the anchor; for the sans face (ascent
// 0.928 em, descent 0.236 em, scaled by the canvas to one em together) the baseline lies this far
// from it.
constexpr char kBaselineSheet[] =
    "text[dominant-baseline=\"text-before-edge\"] { baseline-shift: -0.797em }\n"
    "text[dominant-baseline=\"middle\"] { baseline-shift: -0.297em }\n"
    "text[dominant-baseline=\"text-after-edge\"] { baseline-shift: 0.203em }\n";

struct HandleDeleter {
    void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};

// The SVG's own size in points; its view box, or the area when it names neither.
Gfx::Size IntrinsicSize(RsvgHandle* handle, const Gfx::Rect& area)
{
    gdouble width = 0, height = 0;
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) && width > 0 && height > 0)
        return {width, height};
    gboolean hasViewBox = FALSE;
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle, nullptr, nullptr, nullptr, nullptr, &hasViewBox, &viewBox);
    if (hasViewBox && viewBox.width > 0 && viewBox.height > 0)
        return {viewBox.width, viewBox.height};
    return {area.width, area.height};
}

}  // namespace

bool SvgToPdf(const std::string& svg, const Gfx::Size& pageSize, const Gfx::Rect& area, std::string& pdf,
              std::string& error)
{
    pdf.clear();
    if (!(pageSize.width > 0 && pageSize.height > 0 && area.width > 0 && area.height > 0)) {
        error = "nothing to draw on: the page or the area is empty";
        return false;
    }
    GError* failure = nullptr;
    std::unique_ptr<RsvgHandle, HandleDeleter> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &failure));
    if (handle == nullptr) {
        error = failure != nullptr ? failure->message : "the SVG cannot be read";
        g_clear_error(&failure);
        return false;
    }
    if (!rsvg_handle_set_stylesheet(handle.get(), reinterpret_cast<const guint8*>(kBaselineSheet),
                                    sizeof kBaselineSheet - 1, &failure)) {
        error = failure != nullptr ? failure->message : "the text placement cannot be set";
        g_clear_error(&failure);
        return false;
    }
    const Gfx::Size size = IntrinsicSize(handle.get(), area);
    const double scale = std::min(area.width / size.width, area.height / size.height);
    const RsvgRectangle viewport{area.x + (area.width - size.width * scale) / 2,
                                 area.y + (area.height - size.height * scale) / 2, size.width * scale,
                                 size.height * scale};
    std::string bytes;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &bytes, pageSize.width, pageSize.height);
    cairo_t* cr = cairo_create(surface);
    const bool drawn = rsvg_handle_render_document(handle.get(), cr, &viewport, &failure);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn) {
        error = failure != nullptr ? failure->message : "the SVG cannot be drawn";
        g_clear_error(&failure);
        return false;
    }
    if (!written) {
        error = "the PDF cannot be written";
        return false;
    }
    pdf = std::move(bytes);
    return true;
}

}  // namespace Web
