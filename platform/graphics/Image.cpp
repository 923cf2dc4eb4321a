#include "graphics/Image.h"

#include <cairo.h>

#include <cstring>

namespace Gfx {

Image::Image(int width, int height)
    : mWidth(width > 0 ? width : 0), mHeight(height > 0 ? height : 0),
      mPixels(static_cast<size_t>(mWidth) * mHeight, 0u) {}

Image Image::FromPNG(const std::string& path) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    Image image;
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        // Whatever the file's format, let cairo convert it to ours.
        image = Image(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
        cairo_surface_t* target = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(image.Data()), CAIRO_FORMAT_ARGB32, image.Width(),
            image.Height(), image.Width() * 4);
        cairo_t* cr = cairo_create(target);
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(target);
    }
    cairo_surface_destroy(png);
    return image;
}

bool Image::WritePNG(const std::string& path) const {
    if (IsEmpty())
        return false;
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(Data())), CAIRO_FORMAT_ARGB32, mWidth,
        mHeight, mWidth * 4);
    bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace Gfx
