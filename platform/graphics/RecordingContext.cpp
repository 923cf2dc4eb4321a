#include "graphics/RecordingContext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace Gfx {
namespace {

// Room for any number WriteNum writes.
constexpr size_t kNumRoom = 32;

// "%g" of v when it prints in fixed notation and its six digits can be rounded from a scaled
// double without doubt: the scaling multiplies by an exact power of ten, so the product is off
// by well under 1e-9, and only products that close to a tie are left to the exact formatter.
// Returns the end of what it wrote, or nullptr for those others.
char* WritePlainNum(char* out, double v) {
    static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    double magnitude = std::fabs(v);
    if (!(magnitude >= 1e-4 && magnitude < 1e6))
        return nullptr;
    int exponent = 0;  // of the leading digit; a misjudged one fails the range check below
    if (magnitude >= 1) {
        while (exponent < 5 && magnitude >= kPowers[exponent + 1])
            ++exponent;
    } else {
        while (exponent > -4 && magnitude * kPowers[-exponent] < 1)
            --exponent;
    }
    double scaled = magnitude * kPowers[5 - exponent];
    double fraction = scaled - std::floor(scaled);
    if (scaled < 1e5 || std::fabs(fraction - 0.5) < 1e-6)
        return nullptr;
    long digits = std::lrint(scaled);
    if (digits >= 1000000)
        return nullptr;  // rounds up to the next power of ten
    char six[6];
    for (int i = 5; i >= 0; --i, digits /= 10)
        six[i] = static_cast<char>('0' + digits % 10);
    int kept = 6;
    while (kept > exponent + 1 && kept > 0 && six[kept - 1] == '0')
        --kept;
    if (v < 0)
        *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int zero = -exponent - 1; zero > 0; --zero)
            *out++ = '0';
        return std::copy(six, six + kept, out);
    }
    out = std::copy(six, six + exponent + 1, out);
    if (kept > exponent + 1) {
        *out++ = '.';
        out = std::copy(six + exponent + 1, six + kept, out);
    }
    return out;
}

// As "%g" prints it (to_chars with a precision is specified so), without printf's cost: tests
// that draw a whole plot log tens of thousands of numbers. Writes at most kNumRoom characters.
char* WriteNum(char* out, double v) {
    if (char* end = WritePlainNum(out, v))
        return end;
    return std::to_chars(out, out + kNumRoom, v == 0 ? 0.0 : v, std::chars_format::general, 6).ptr;  // no "-0"
}

void AppendNum(std::string& text, double v) {
    char number[kNumRoom];
    text.append(number, WriteNum(number, v));
}

std::string Num(double v) {
    std::string text;
    AppendNum(text, v);
    return text;
}

std::string Nums(std::initializer_list<double> values) {
    std::string text;
    for (double v : values) {
        if (!text.empty())
            text += ", ";
        AppendNum(text, v);
    }
    return text;
}

std::string Rgba(const Color& c) {
    return "rgba(" + Nums({c.red, c.green, c.blue, c.alpha}) + ")";
}

std::string Bool(bool b) {
    return b ? "true" : "false";
}

std::string Call(const char* name, const std::string& arguments) {
    return std::string(name) + "(" + arguments + ")";
}

size_t CountCharacters(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        count += (c & 0xC0) != 0x80;
    return count;
}

}  // namespace

class RecordingLayer final : public Layer {
public:
    RecordingLayer(std::shared_ptr<RecordingContext::Log> log, std::string name, const Size& size)
        : mName(name), mSize(size), mContext(std::move(log), name + ": ", size) {}

    Context& GetContext() override { return mContext; }
    Size GetSize() const override { return mSize; }
    const std::string& Name() const { return mName; }

private:
    std::string mName;
    Size mSize;
    RecordingContext mContext;
};

RecordingContext::RecordingContext(const Size& baseSize, Origin origin)
    : RecordingContext(std::make_shared<Log>(), "", baseSize) {
    if (origin == Origin::TopLeft)
        mState.matrix = Matrix::Scaling(1, -1).Then(Matrix::Translation(0, baseSize.height));
}

RecordingContext::RecordingContext(std::shared_ptr<Log> log, std::string prefix, const Size& baseSize)
    : mLog(std::move(log)), mPrefix(std::move(prefix)) {
    mState.clip = {0, 0, baseSize.width, baseSize.height};
}

void RecordingContext::Record(std::string call) {
    mLog->lines.push_back(mPrefix.empty() ? std::move(call) : mPrefix + call);
}

// As Record(Call(name, Nums(values))), built on the stack and copied once: paths log a line
// per point. Calls pass a short name and at most six numbers.
void RecordingContext::RecordCall(const char* name, std::initializer_list<double> values) {
    char line[32 + 6 * (kNumRoom + 2)];
    char* end = std::copy(name, name + std::strlen(name), line);
    *end++ = '(';
    for (const double* v = values.begin(); v != values.end(); ++v) {
        if (v != values.begin()) {
            *end++ = ',';
            *end++ = ' ';
        }
        end = WriteNum(end, *v);
    }
    *end++ = ')';
    if (mPrefix.empty()) {
        mLog->lines.emplace_back(line, end);
        return;
    }
    std::string prefixed;
    prefixed.reserve(mPrefix.size() + static_cast<size_t>(end - line));
    prefixed.append(mPrefix).append(line, end);
    mLog->lines.push_back(std::move(prefixed));
}

void RecordingContext::SaveState() {
    Record("SaveState()");
    mSaved.push_back(mState);
}

void RecordingContext::RestoreState() {
    Record("RestoreState()");
    if (mSaved.empty())
        return;
    mState = mSaved.back();
    mSaved.pop_back();
}

void RecordingContext::Translate(double dx, double dy) {
    RecordCall("Translate", {dx, dy});
    mState.matrix = Matrix::Translation(dx, dy).Then(mState.matrix);
}

void RecordingContext::Scale(double sx, double sy) {
    RecordCall("Scale", {sx, sy});
    mState.matrix = Matrix::Scaling(sx, sy).Then(mState.matrix);
}

void RecordingContext::Rotate(double radians) {
    RecordCall("Rotate", {radians});
    mState.matrix = Matrix::Rotation(radians).Then(mState.matrix);
}

void RecordingContext::BeginPath() {
    Record("BeginPath()");
}

void RecordingContext::MoveTo(double x, double y) {
    RecordCall("MoveTo", {x, y});
}

void RecordingContext::LineTo(double x, double y) {
    RecordCall("LineTo", {x, y});
}

void RecordingContext::CurveTo(double x1, double y1, double x2, double y2, double x, double y) {
    RecordCall("CurveTo", {x1, y1, x2, y2, x, y});
}

void RecordingContext::ClosePath() {
    Record("ClosePath()");
}

void RecordingContext::AddRect(const Rect& r) {
    RecordCall("AddRect", {r.x, r.y, r.width, r.height});
}

void RecordingContext::AddEllipse(const Rect& b) {
    RecordCall("AddEllipse", {b.x, b.y, b.width, b.height});
}

void RecordingContext::StrokePath() {
    Record("StrokePath()");
}

void RecordingContext::FillPath() {
    Record("FillPath()");
}

void RecordingContext::FillStrokePath() {
    Record("FillStrokePath()");
}

void RecordingContext::StrokeRect(const Rect& r) {
    RecordCall("StrokeRect", {r.x, r.y, r.width, r.height});
}

void RecordingContext::FillRect(const Rect& r) {
    RecordCall("FillRect", {r.x, r.y, r.width, r.height});
}

void RecordingContext::ClearRect(const Rect& r) {
    RecordCall("ClearRect", {r.x, r.y, r.width, r.height});
}

void RecordingContext::SetStrokeColor(const Color& c) {
    Record(Call("SetStrokeColor", Rgba(c)));
}

void RecordingContext::SetFillColor(const Color& c) {
    Record(Call("SetFillColor", Rgba(c)));
}

void RecordingContext::SetLineWidth(double width) {
    Record(Call("SetLineWidth", Num(width)));
}

void RecordingContext::SetLineCap(LineCap cap) {
    static const char* const names[] = {"butt", "round", "square"};
    Record(Call("SetLineCap", names[static_cast<int>(cap)]));
}

void RecordingContext::SetLineDash(double phase, const std::vector<double>& lengths) {
    std::string text = Num(phase) + ", [";
    for (size_t i = 0; i < lengths.size(); ++i)
        text += (i ? ", " : "") + Num(lengths[i]);
    Record(Call("SetLineDash", text + "]"));
}

void RecordingContext::SetAllowsAntialiasing(bool allow) {
    Record(Call("SetAllowsAntialiasing", Bool(allow)));
}

void RecordingContext::SetShouldAntialias(bool should) {
    Record(Call("SetShouldAntialias", Bool(should)));
}

void RecordingContext::SetAllowsFontSmoothing(bool allow) {
    Record(Call("SetAllowsFontSmoothing", Bool(allow)));
}

void RecordingContext::SetShadow(const Size& offset, double blur, const Color& color) {
    Record(Call("SetShadow", Nums({offset.width, offset.height, blur}) + ", " + Rgba(color)));
}

void RecordingContext::ClipToRect(const Rect& r) {
    RecordCall("ClipToRect", {r.x, r.y, r.width, r.height});
    mState.clip = mState.clip.Intersection(mState.matrix.ApplyToBounds(r));
}

Rect RecordingContext::ClipBounds() const {
    return mState.matrix.Inverted().ApplyToBounds(mState.clip);
}

void RecordingContext::DrawText(const Point& topLeft, const std::string& utf8, double pointSize,
                                const Color& color, bool flipped) {
    Record(Call("DrawText", Nums({topLeft.x, topLeft.y}) + ", \"" + utf8 + "\", " + Num(pointSize) + ", " +
                                Rgba(color) + (flipped ? ", flipped" : ", unflipped")));
}

Size RecordingContext::MeasureText(const std::string& utf8, double pointSize) const {
    return {pointSize / 2 * double(CountCharacters(utf8)), pointSize};
}

void RecordingContext::DrawImage(const Image& image, const Point& at, double opacity, bool flipped) {
    Record(Call("DrawImage", Num(image.Width()) + "x" + Num(image.Height()) + ", " + Nums({at.x, at.y, opacity}) +
                                 (flipped ? ", flipped" : ", unflipped")));
}

std::unique_ptr<Layer> RecordingContext::CreateLayer(const Size& size) {
    std::string name = "layer" + std::to_string(++mLog->layers);
    Record(Call("CreateLayer", Nums({size.width, size.height})) + " -> " + name);
    return std::make_unique<RecordingLayer>(mLog, name, size);
}

void RecordingContext::DrawLayer(const Layer& layer, const Point& at) {
    auto* recorded = dynamic_cast<const RecordingLayer*>(&layer);
    Record(Call("DrawLayer", (recorded ? recorded->Name() : std::string("foreign")) + ", " + Nums({at.x, at.y})));
}

}  // namespace Gfx
