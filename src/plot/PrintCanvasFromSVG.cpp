#include "plot/PrintCanvasFromSVG.h"

#include <sstream>

#include <boost/property_tree/xml_parser.hpp>

#include "plot/HandleSVGNode.h"
#include "plot/SvgBounds.h"

namespace KVD {
namespace {

class SavedState {
public:
    explicit SavedState(Gfx::Context& context) : mContext(context) { mContext.SaveState(); }
    ~SavedState() { mContext.RestoreState(); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    Gfx::Context& mContext;
};

}  // namespace

void PrintCanvasFromSVG(Gfx::Context& context, const std::string& svg, float scaleX, float scaleY, float offsetX,
                        float offsetY) {
    CheckSvgBounds(svg);
    SvgTree document;
    std::istringstream text(svg);
    boost::property_tree::read_xml(text, document);
    const SvgTree& root = document.get_child("svg");

    SavedState saved(context);
    PrintCanvas canvas(context, scaleX, scaleY, offsetX, offsetY);
    SvgReading reading(canvas);
    for (const SvgElement& element : root)
        HandleSVGNode(reading, "")(element);
}

}  // namespace KVD
