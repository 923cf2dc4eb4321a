#include "plot/HandleSVGNode.h"

#include <optional>
#include <utility>

#include "foundation/TextConversion.h"
#include "plot/BadSvgException.h"
#include "plot/SvgBounds.h"
#include "plot/SvgNumber.h"
#include "plot/SvgTransform.h"

namespace KVD {
namespace {

using boost::property_tree::ptree_bad_data;
using boost::property_tree::ptree_bad_path;

const std::string* FindAttribute(const SvgTree& node, const char* name) {
    auto attributes = node.find("<xmlattr>");
    if (attributes == node.not_found())
        return nullptr;
    auto found = attributes->second.find(name);
    return found == attributes->second.not_found() ? nullptr : &found->second.data();
}

const std::string& Required(const SvgTree& node, const char* name) {
    const std::string* value = FindAttribute(node, name);
    if (!value)
        throw ptree_bad_path("No such node", SvgTree::path_type(std::string("<xmlattr>.") + name));
    return *value;
}

std::string Optional(const SvgTree& node, const char* name) {
    const std::string* value = FindAttribute(node, name);
    return value ? *value : std::string();
}

// The whole value, blanks around it allowed, as a float; nullopt when it is not a number.
// A number beyond the length or magnitude bounds fails the drawing.
std::optional<float> AttributeFloat(const std::string& value) {
    std::string_view number = TrimSvgSpace(value);
    if (number.empty() || ScanSvgNumber(number) != number.size())
        return std::nullopt;
    std::optional<float> converted = ConvertScannedSvgFloat(number);
    if (!converted)
        throw bad_svg_exception();
    return converted;
}

float RequiredFloat(const SvgTree& node, const char* name) {
    const std::string& value = Required(node, name);
    std::optional<float> number = AttributeFloat(value);
    if (!number)
        throw ptree_bad_data("conversion of data to type \"f\" failed", value);
    return *number;
}

float OptionalFloat(const SvgTree& node, const char* name, float fallback) {
    const std::string* value = FindAttribute(node, name);
    return value ? AttributeFloat(*value).value_or(fallback) : fallback;
}

std::string OptionalReference(const SvgTree& node, const char* name) {
    return std::string(ReduceReference(Optional(node, name)));
}

float OptionalRotation(const SvgTree& node) {
    return MatchRotation(Optional(node, "transform")).value_or(0);
}

// Counts one more level of groups or uses while it lives.
class Nesting {
public:
    explicit Nesting(int& depth) : mDepth(depth) {
        if (++mDepth > kMaxSvgDepth)
            throw bad_svg_exception();
    }
    ~Nesting() { --mDepth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& mDepth;
};

// Pops what a group or use pushed onto the canvas, on the way out of an exception too.
class Pushed {
public:
    explicit Pushed(PrintCanvas& canvas) : mCanvas(canvas) {}
    ~Pushed() {
        if (mClipped)
            mCanvas.PopClipRegion();
        if (mTranslated)
            mCanvas.PopTranslation();
    }
    Pushed(const Pushed&) = delete;
    Pushed& operator=(const Pushed&) = delete;

    void Translation(Gfx::Point by) {
        mCanvas.PushTranslation(static_cast<float>(by.x), static_cast<float>(by.y));
        mTranslated = true;
    }
    void ClipRegion(const std::string& id) {
        mCanvas.PushClipRegion(id);
        mClipped = true;
    }

private:
    PrintCanvas& mCanvas;
    bool mTranslated = false, mClipped = false;
};

}  // namespace

HandleSVGNode::HandleSVGNode(SvgReading& reading, std::string definitionId)
    : mReading(reading), mDefinitionId(std::move(definitionId)) {}

void HandleSVGNode::operator()(const SvgElement& element) {
    if (++mReading.handled > kMaxSvgHandledElements)
        throw bad_svg_exception();
    const std::string& name = element.first;
    const SvgTree& node = element.second;
    if (name == "rect")
        Rect(node);
    else if (name == "path")
        Path(node);
    else if (name == "g")
        Group(node);
    else if (name == "clipPath")
        ClipPath(node);
    else if (name == "text")
        Text(node);
    else if (name == "filter")
        Filter(node);
    else if (name == "feGaussianBlur")
        GaussianBlur(node);
    else if (name == "defs")
        Defs(node);
    else if (name == "use")
        Use(node);
    else if (name == "circle")
        Circle(node);
    else if (name == "line")
        Line(node);
    else if (name == "ellipse")
        Ellipse(node);
}

void HandleSVGNode::Finish() {
    if (!IsDefinition())
        return;
    if (!mRects.empty())
        Canvas().DefineClipPath(mDefinitionId, mRects);
    else
        Canvas().DefineShadow(mDefinitionId, mBlur);
}

void HandleSVGNode::HandleChildren(const SvgTree& node, const std::string& id) {
    for (const SvgElement& child : node) {
        HandleSVGNode handler(mReading, id);
        handler(child);
        handler.Finish();
    }
}

void HandleSVGNode::Rect(const SvgTree& node) {
    if (!IsDefinition())
        Canvas().ApplyStyle(Required(node, "style"));
    Gfx::Rect rect;
    rect.x = RequiredFloat(node, "x");
    rect.y = RequiredFloat(node, "y");
    rect.width = RequiredFloat(node, "width");
    rect.height = RequiredFloat(node, "height");
    if (IsDefinition())
        mRects.push_back(rect);
    else
        Canvas().DrawRect(rect, OptionalReference(node, "filter"));
}

void HandleSVGNode::Path(const SvgTree& node) {
    if (IsDefinition())
        throw bad_svg_exception();
    Canvas().ApplyStyle(Required(node, "style"));
    Canvas().DrawPath(Required(node, "d"));
}

void HandleSVGNode::Group(const SvgTree& node) {
    if (IsDefinition())
        throw bad_svg_exception();
    Nesting nesting(mReading.depth);
    std::string clipId = OptionalReference(node, "clip-path");
    std::optional<Gfx::Point> translation = MatchTranslation(Optional(node, "transform"));
    Pushed pushed(Canvas());
    if (translation)
        pushed.Translation(*translation);
    if (!clipId.empty())
        pushed.ClipRegion(clipId);
    HandleChildren(node, "");
}

void HandleSVGNode::ClipPath(const SvgTree& node) {
    std::string id = Optional(node, "id");
    if (!id.empty())
        HandleChildren(node, id);
}

void HandleSVGNode::Text(const SvgTree& node) {
    Canvas().ApplyStyle(Optional(node, "style"));
    Gfx::Point at{OptionalFloat(node, "x", 0), OptionalFloat(node, "y", 0)};
    std::string anchor = Optional(node, "text-anchor");
    TextAlign horizontal = anchor == "middle" ? kCentre : anchor == "end" ? kRight : kLeft;
    std::string baseline = Optional(node, "dominant-baseline");
    TextAlign vertical = baseline == "middle" ? kMiddle : baseline == "text-after-edge" ? kBottom : kTop;
    float angle = OptionalRotation(node);
    std::string_view text = TrimSvgSpace(node.data());
    if (text.size() > kMaxSvgTextBytes)
        throw bad_svg_exception();
    // The XML reader passes bytes on unchecked; the text layout wants UTF-8, which ends here
    // at the first byte that breaks it.
    std::wstring wide = KVD::ToWString(text.data(), static_cast<unsigned long>(text.size()));
    Canvas().DrawText(ToU8String(wide.data(), static_cast<unsigned long>(wide.size())), at, horizontal, vertical,
                      angle);
}

void HandleSVGNode::Filter(const SvgTree& node) {
    if (IsDefinition())
        throw bad_svg_exception();
    std::string id = Optional(node, "id");
    if (!id.empty())
        HandleChildren(node, id);
}

void HandleSVGNode::GaussianBlur(const SvgTree& node) {
    if (!IsDefinition() || Required(node, "in") != "SourceAlpha")
        throw bad_svg_exception();
    mBlur = OptionalFloat(node, "stdDeviation", 1.0f);
}

void HandleSVGNode::Defs(const SvgTree& node) {
    for (const SvgElement& child : node) {
        if (child.first.empty() || child.first.front() == '<')
            continue;  // the block's own attributes, a comment
        mReading.defined.emplace(Required(child.second, "id"), &child);
    }
}

void HandleSVGNode::Use(const SvgTree& node) {
    Nesting nesting(mReading.depth);
    std::string_view href = Required(node, "xlink:href");
    if (!href.empty() && href.front() == '#')
        href.remove_prefix(1);
    Gfx::Point at{RequiredFloat(node, "x"), RequiredFloat(node, "y")};
    Pushed pushed(Canvas());
    pushed.Translation(at);
    Canvas().ApplyStyle(Required(node, "style"));
    auto found = mReading.defined.find(std::string(href));
    if (found != mReading.defined.end())
        HandleSVGNode(mReading, "")(*found->second);
}

void HandleSVGNode::Circle(const SvgTree& node) {
    Canvas().ApplyStyle(Required(node, "style"));
    float cx = RequiredFloat(node, "cx"), cy = RequiredFloat(node, "cy");
    Canvas().DrawCircle(cx, cy, RequiredFloat(node, "r"));
}

void HandleSVGNode::Line(const SvgTree& node) {
    Canvas().ResetStyle();
    Canvas().ApplyStyle(Required(node, "style"));
    float x1 = RequiredFloat(node, "x1"), y1 = RequiredFloat(node, "y1");
    float x2 = RequiredFloat(node, "x2"), y2 = RequiredFloat(node, "y2");
    Canvas().DrawLine(x1, y1, x2, y2);
}

void HandleSVGNode::Ellipse(const SvgTree& node) {
    if (!IsDefinition())
        Canvas().ApplyStyle(Required(node, "style"));
    float cx = RequiredFloat(node, "cx"), cy = RequiredFloat(node, "cy");
    float rx = RequiredFloat(node, "rx"), ry = RequiredFloat(node, "ry");
    Canvas().DrawEllipse(cx, cy, rx, ry, OptionalRotation(node));
}

}  // namespace KVD
