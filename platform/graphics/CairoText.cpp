#include "graphics/CairoText.h"

#include <pango/pangocairo.h>

#include "graphics/Text.h"

namespace Gfx {
namespace {

// One user unit per point, as in a page description, and metrics that do not snap to the
// device pixel grid.
void ConfigureContext(PangoContext* context, TextRendering how) {
    pango_cairo_context_set_resolution(context, 72.0);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, how.smoothing ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, how.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
}

void SetText(PangoLayout* layout, const std::string& utf8, double pointSize) {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kTextFontFamily);
    pango_font_description_set_size(font, static_cast<int>(pointSize * PANGO_SCALE + 0.5));
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
}

}  // namespace

Size MeasureText(const std::string& utf8, double pointSize) {
    PangoFontMap* fonts = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(fonts);
    ConfigureContext(context, TextRendering{});
    PangoLayout* layout = pango_layout_new(context);
    SetText(layout, utf8, pointSize);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    g_object_unref(context);
    return {double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE};
}

void ShowTextAtOrigin(cairo_t* cr, const std::string& utf8, double pointSize, TextRendering how) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    ConfigureContext(pango_layout_get_context(layout), how);
    pango_layout_context_changed(layout);
    SetText(layout, utf8, pointSize);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
}

}  // namespace Gfx
