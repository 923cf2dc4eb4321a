// One element of printable SVG, drawn onto a print canvas or collected into a definition.
// A drawing handler (empty definition id) draws; a definition handler handles one child of a
// clipPath or filter element and leaves, when finished, a clip path or shadow under its id.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "plot/PrintCanvas.h"

namespace KVD {

using SvgTree = boost::property_tree::ptree;
// An element as met among its parent's children: its name and its subtree.
using SvgElement = SvgTree::value_type;

// What one reading of an SVG text shares between its handlers. Definitions belong to the
// reading: nothing of one print carries over into the next.
struct SvgReading {
    explicit SvgReading(PrintCanvas& drawingCanvas) : canvas(drawingCanvas) {}

    PrintCanvas& canvas;
    // Elements of "defs" blocks by id, pointing into the document being read; the first
    // definition of an id stands.
    std::map<std::string, const SvgElement*> defined;
    size_t handled = 0;  // elements handled so far, against kMaxSvgHandledElements
    int depth = 0;       // groups and uses being handled inside each other
};

class HandleSVGNode {
public:
    HandleSVGNode(SvgReading& reading, std::string definitionId);

    // Handles one element; names other than the subset's (attributes, comments, tspan, a
    // nested svg) are ignored. Throws bad_svg_exception where the subset is broken or a limit
    // passed, boost::property_tree errors for a missing attribute or a coordinate that is not
    // a number.
    void operator()(const SvgElement& element);
    // A definition handler defines its clip path (when it collected rectangles) or else its
    // shadow; a drawing handler does nothing.
    void Finish();

private:
    void Rect(const SvgTree& node);
    void Path(const SvgTree& node);
    void Group(const SvgTree& node);
    void ClipPath(const SvgTree& node);
    void Text(const SvgTree& node);
    void Filter(const SvgTree& node);
    void GaussianBlur(const SvgTree& node);
    void Defs(const SvgTree& node);
    void Use(const SvgTree& node);
    void Circle(const SvgTree& node);
    void Line(const SvgTree& node);
    void Ellipse(const SvgTree& node);

    // Each child through a handler of its own, drawing or defining for id.
    void HandleChildren(const SvgTree& node, const std::string& id);
    bool IsDefinition() const { return !mDefinitionId.empty(); }
    PrintCanvas& Canvas() { return mReading.canvas; }

    SvgReading& mReading;
    std::string mDefinitionId;
    std::vector<Gfx::Rect> mRects;
    float mBlur = 0;
};

}  // namespace KVD
