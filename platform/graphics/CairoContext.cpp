#include "graphics/CairoContext.h"

#include <cmath>

#include "graphics/BoxBlur.h"
#include "graphics/CairoLayer.h"
#include "graphics/CairoText.h"
#include "graphics/Text.h"

namespace Gfx {
namespace {

// Operations that in a page description leave the path alone (rectangles, clips, text) go
// through Cairo calls that consume it; this keeps it across them.
class PathKeeper {
public:
    explicit PathKeeper(cairo_t* cr) : mCr(cr), mPath(cairo_copy_path(cr)) { cairo_new_path(cr); }
    ~PathKeeper() {
        cairo_new_path(mCr);
        if (mPath->status == CAIRO_STATUS_SUCCESS)
            cairo_append_path(mCr, mPath);
        cairo_path_destroy(mPath);
    }
    PathKeeper(const PathKeeper&) = delete;
    PathKeeper& operator=(const PathKeeper&) = delete;

private:
    cairo_t* mCr;
    cairo_path_t* mPath;
};

cairo_line_cap_t ToCairo(LineCap cap) {
    switch (cap) {
    case LineCap::Round: return CAIRO_LINE_CAP_ROUND;
    case LineCap::Square: return CAIRO_LINE_CAP_SQUARE;
    case LineCap::Butt: break;
    }
    return CAIRO_LINE_CAP_BUTT;
}

}  // namespace

CairoContext::CairoContext(cairo_t* cr, const Size& baseSize) : mCr(cr), mBase(baseSize) {
    // Base space grows upwards from the bottom-left corner; Cairo's device space grows down.
    cairo_matrix_t flip;
    cairo_matrix_init(&flip, 1, 0, 0, -1, 0, baseSize.height);
    cairo_set_matrix(mCr, &flip);
    cairo_set_line_width(mCr, 1.0);
    ApplyAntialias();
}

CairoContext::~CairoContext() {
    cairo_destroy(mCr);
}

void CairoContext::SaveState() {
    cairo_save(mCr);
    mSaved.push_back(mState);
}

void CairoContext::RestoreState() {
    if (mSaved.empty())
        return;  // unbalanced: the base state stays
    cairo_restore(mCr);
    mState = mSaved.back();
    mSaved.pop_back();
}

void CairoContext::Translate(double dx, double dy) {
    cairo_translate(mCr, dx, dy);
}

void CairoContext::Scale(double sx, double sy) {
    cairo_scale(mCr, sx, sy);
}

void CairoContext::Rotate(double radians) {
    cairo_rotate(mCr, radians);
}

Matrix CairoContext::CurrentMatrix() const {
    cairo_matrix_t m;
    cairo_get_matrix(mCr, &m);
    Matrix toDevice{m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
    return toDevice.Then({1, 0, 0, -1, 0, mBase.height});
}

void CairoContext::BeginPath() {
    cairo_new_path(mCr);
}

void CairoContext::MoveTo(double x, double y) {
    cairo_move_to(mCr, x, y);
}

void CairoContext::LineTo(double x, double y) {
    cairo_line_to(mCr, x, y);
}

void CairoContext::CurveTo(double x1, double y1, double x2, double y2, double x, double y) {
    cairo_curve_to(mCr, x1, y1, x2, y2, x, y);
}

void CairoContext::ClosePath() {
    cairo_close_path(mCr);
}

void CairoContext::AddRect(const Rect& r) {
    cairo_rectangle(mCr, r.x, r.y, r.width, r.height);
}

void CairoContext::AddEllipse(const Rect& b) {
    if (b.width == 0 || b.height == 0)
        return;
    cairo_save(mCr);
    cairo_translate(mCr, b.x + b.width / 2, b.y + b.height / 2);
    cairo_scale(mCr, b.width / 2, b.height / 2);
    cairo_new_sub_path(mCr);
    cairo_arc(mCr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(mCr);
    cairo_restore(mCr);
}

void CairoContext::StrokePath() {
    Painted([&] {
        SetSource(mState.stroke);
        cairo_stroke(mCr);
    });
    cairo_new_path(mCr);
}

void CairoContext::FillPath() {
    Painted([&] {
        SetSource(mState.fill);
        cairo_fill(mCr);
    });
    cairo_new_path(mCr);
}

void CairoContext::FillStrokePath() {
    Painted([&] {
        SetSource(mState.fill);
        cairo_fill_preserve(mCr);
        SetSource(mState.stroke);
        cairo_stroke(mCr);
    });
    cairo_new_path(mCr);
}

void CairoContext::StrokeRect(const Rect& r) {
    PathKeeper keep(mCr);
    AddRect(r);
    StrokePath();
}

void CairoContext::FillRect(const Rect& r) {
    PathKeeper keep(mCr);
    AddRect(r);
    FillPath();
}

void CairoContext::ClearRect(const Rect& r) {
    PathKeeper keep(mCr);
    cairo_save(mCr);
    cairo_set_operator(mCr, CAIRO_OPERATOR_CLEAR);
    AddRect(r);
    cairo_fill(mCr);
    cairo_restore(mCr);
}

void CairoContext::SetStrokeColor(const Color& c) {
    mState.stroke = c;
}

void CairoContext::SetFillColor(const Color& c) {
    mState.fill = c;
}

void CairoContext::SetLineWidth(double width) {
    cairo_set_line_width(mCr, width);
}

void CairoContext::SetLineCap(LineCap cap) {
    cairo_set_line_cap(mCr, ToCairo(cap));
}

void CairoContext::SetLineDash(double phase, const std::vector<double>& lengths) {
    cairo_set_dash(mCr, lengths.data(), static_cast<int>(lengths.size()), phase);
}

void CairoContext::SetAllowsAntialiasing(bool allow) {
    mState.allowsAntialiasing = allow;
    ApplyAntialias();
}

void CairoContext::SetShouldAntialias(bool should) {
    mState.shouldAntialias = should;
    ApplyAntialias();
}

void CairoContext::SetAllowsFontSmoothing(bool allow) {
    mState.fontSmoothing = allow;
}

void CairoContext::SetShadow(const Size& offset, double blur, const Color& color) {
    mState.shadowOffset = offset;
    mState.shadowBlur = blur > 0 ? blur : 0;
    mState.shadowColor = color;
}

void CairoContext::ClipToRect(const Rect& r) {
    PathKeeper keep(mCr);
    AddRect(r);
    cairo_clip(mCr);
}

Rect CairoContext::ClipBounds() const {
    double x1, y1, x2, y2;
    cairo_clip_extents(mCr, &x1, &y1, &x2, &y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

void CairoContext::DrawText(const Point& topLeft, const std::string& utf8, double pointSize,
                            const Color& color, bool flipped) {
    PathKeeper keep(mCr);
    Painted([&] {
        cairo_save(mCr);
        cairo_translate(mCr, topLeft.x, topLeft.y);
        if (!flipped)
            cairo_scale(mCr, 1, -1);
        SetSource(color);
        ShowTextAtOrigin(mCr, utf8, pointSize, TextRendering{Antialiased(), mState.fontSmoothing});
        cairo_restore(mCr);
    });
}

Size CairoContext::MeasureText(const std::string& utf8, double pointSize) const {
    return Gfx::MeasureText(utf8, pointSize);
}

void CairoContext::DrawImage(const Image& image, const Point& at, double opacity, bool flipped) {
    if (image.IsEmpty())
        return;
    // Cairo only reads from a source surface.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(image.Data())), CAIRO_FORMAT_ARGB32,
        image.Width(), image.Height(), image.Width() * 4);
    Rect where{at.x, at.y, double(image.Width()), double(image.Height())};
    PaintSurface(surface, where, opacity, flipped);
    cairo_surface_destroy(surface);
}

std::unique_ptr<Layer> CairoContext::CreateLayer(const Size& size) {
    int width = static_cast<int>(std::ceil(size.width)), height = static_cast<int>(std::ceil(size.height));
    cairo_surface_t* surface =
        cairo_surface_create_similar(cairo_get_target(mCr), CAIRO_CONTENT_COLOR_ALPHA, width > 0 ? width : 1,
                                     height > 0 ? height : 1);
    return std::make_unique<CairoLayer>(surface, size);
}

void CairoContext::DrawLayer(const Layer& layer, const Point& at) {
    auto* cairoLayer = dynamic_cast<const CairoLayer*>(&layer);
    if (!cairoLayer)
        return;
    // The layer's base space grows upwards like ours, so its top pixel row lies at the
    // greatest y.
    Size size = cairoLayer->GetSize();
    PaintSurface(cairoLayer->Surface(), {at.x, at.y, size.width, size.height}, 1.0, false);
}

void CairoContext::ApplyAntialias() {
    cairo_set_antialias(mCr, Antialiased() ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CairoContext::SetSource(const Color& c) {
    cairo_set_source_rgba(mCr, c.red, c.green, c.blue, c.alpha);
}

void CairoContext::PaintSurface(cairo_surface_t* surface, const Rect& where, double opacity, bool rowsAlongY) {
    PathKeeper keep(mCr);
    Painted([&] {
        cairo_save(mCr);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_matrix_t toPattern;
        if (rowsAlongY)
            cairo_matrix_init(&toPattern, 1, 0, 0, 1, -where.x, -where.y);
        else
            cairo_matrix_init(&toPattern, 1, 0, 0, -1, -where.x, where.Bottom());
        cairo_pattern_set_matrix(pattern, &toPattern);
        cairo_set_source(mCr, pattern);
        cairo_rectangle(mCr, where.x, where.y, where.width, where.height);
        cairo_clip(mCr);
        cairo_paint_with_alpha(mCr, opacity);
        cairo_pattern_destroy(pattern);
        cairo_restore(mCr);
    });
}

template <class Paint>
void CairoContext::Painted(Paint&& paint) {
    if (mState.shadowColor.IsTransparent()) {
        paint();
        return;
    }
    cairo_push_group(mCr);
    paint();
    cairo_pattern_t* painting = cairo_pop_group(mCr);
    CastShadow(painting);
    cairo_set_source(mCr, painting);
    cairo_paint(mCr);
    cairo_pattern_destroy(painting);
}

// The painting's coverage, blurred, in the shadow colour, moved by the offset in base space.
void CairoContext::CastShadow(cairo_pattern_t* painting) {
    int width = static_cast<int>(std::ceil(mBase.width)), height = static_cast<int>(std::ceil(mBase.height));
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* maskCr = cairo_create(mask);
    cairo_matrix_t userToDevice;
    cairo_get_matrix(mCr, &userToDevice);
    cairo_set_matrix(maskCr, &userToDevice);
    cairo_set_source(maskCr, painting);
    cairo_paint(maskCr);
    cairo_destroy(maskCr);
    cairo_surface_flush(mask);
    BoxBlurAlpha(cairo_image_surface_get_data(mask), width, height, cairo_image_surface_get_stride(mask),
                 static_cast<int>(mState.shadowBlur / 2 + 0.5));
    cairo_surface_mark_dirty(mask);

    cairo_save(mCr);
    cairo_identity_matrix(mCr);
    SetSource(mState.shadowColor);
    cairo_mask_surface(mCr, mask, mState.shadowOffset.width, -mState.shadowOffset.height);
    cairo_restore(mCr);
    cairo_surface_destroy(mask);
}

}  // namespace Gfx
