#include "graphics/Canvas.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include "cf/FileBytes.h"
#include "graphics/CairoContext.h"

namespace Gfx {

struct Canvas::Impl {
    std::string document;  // bytes of a PDF or SVG canvas, grown as Cairo writes them
    bool finished = false;
    cairo_surface_t* surface = nullptr;
    std::unique_ptr<CairoContext> context;

    ~Impl() {
        context.reset();
        cairo_surface_destroy(surface);
    }

    static cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
        static_cast<Impl*>(closure)->document.append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }
};

Canvas::Canvas(Kind kind, const Size& size, Origin origin) : mKind(kind), mSize(size), mImpl(new Impl) {
    Impl& impl = *mImpl;
    switch (kind) {
    case Kind::Image:
        impl.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(size.width), int(size.height));
        break;
    case Kind::PDF:
        impl.surface = cairo_pdf_surface_create_for_stream(&Impl::Append, &impl, size.width, size.height);
        break;
    case Kind::SVG:
        impl.surface = cairo_svg_surface_create_for_stream(&Impl::Append, &impl, size.width, size.height);
        break;
    }
    impl.context = std::make_unique<CairoContext>(cairo_create(impl.surface), size);
    if (origin == Origin::TopLeft) {
        impl.context->Translate(0, size.height);
        impl.context->Scale(1, -1);
    }
}

Canvas::~Canvas() = default;

std::unique_ptr<Canvas> Canvas::CreateImage(int width, int height, Origin origin) {
    return std::unique_ptr<Canvas>(new Canvas(Kind::Image, {double(width), double(height)}, origin));
}

std::unique_ptr<Canvas> Canvas::CreatePDF(double width, double height, Origin origin) {
    return std::unique_ptr<Canvas>(new Canvas(Kind::PDF, {width, height}, origin));
}

std::unique_ptr<Canvas> Canvas::CreateSVG(double width, double height, Origin origin) {
    return std::unique_ptr<Canvas>(new Canvas(Kind::SVG, {width, height}, origin));
}

Context& Canvas::GetContext() {
    return *mImpl->context;
}

Image Canvas::Snapshot() const {
    if (mKind != Kind::Image)
        return Image();
    cairo_surface_t* surface = mImpl->surface;
    cairo_surface_flush(surface);
    Image image(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.Height(); ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        std::copy(row, row + image.Width(), image.Data() + y * image.Width());
    }
    return image;
}

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string Canvas::PNGData() const {
    std::string png;
    if (mKind != Kind::Image || cairo_surface_write_to_png_stream(mImpl->surface, AppendBytes, &png) != CAIRO_STATUS_SUCCESS)
        png.clear();
    return png;
}

bool Canvas::WritePNG(const std::string& path) const {
    const std::string png = PNGData();
    return !png.empty() && CF::WriteFileBytes(path, png);
}

void Canvas::NewPage() {
    if (mKind == Kind::PDF && !mImpl->finished)
        cairo_show_page(mImpl->context->Cairo());
}

const std::string& Canvas::Finish() {
    if (mKind != Kind::Image && !mImpl->finished) {
        cairo_surface_finish(mImpl->surface);
        mImpl->finished = true;
    }
    return mImpl->document;
}

bool Canvas::WriteFile(const std::string& path) {
    if (mKind == Kind::Image)
        return WritePNG(path);
    return CF::WriteFileBytes(path, Finish());
}

}  // namespace Gfx
