#include "plot/SvgBounds.h"

#include <algorithm>

#include "plot/BadSvgException.h"

namespace KVD {
namespace {

size_t After(std::string_view text, size_t from, std::string_view end) {
    size_t found = text.find(end, from);
    return found == std::string_view::npos ? text.size() : found + end.size();
}

// Past the ">" that ends a declaration such as a document type, whose internal subset in
// brackets may hold ">" of its own.
size_t AfterDeclaration(std::string_view text, size_t from) {
    int brackets = 0;
    for (size_t at = from; at < text.size(); ++at) {
        char c = text[at];
        if (c == '[')
            ++brackets;
        else if (c == ']')
            brackets = std::max(0, brackets - 1);
        else if (c == '>' && brackets == 0)
            return at + 1;
    }
    return text.size();
}

// Past the ">" that ends a start tag, skipping quoted attribute values; sets selfClosing for
// "/>".
size_t AfterStartTag(std::string_view text, size_t from, bool& selfClosing) {
    char quote = 0;
    for (size_t at = from; at < text.size(); ++at) {
        char c = text[at];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = text[at - 1] == '/';
            return at + 1;
        }
    }
    selfClosing = true;
    return text.size();
}

}  // namespace

void CheckSvgBounds(std::string_view svg) {
    if (svg.size() > kMaxSvgBytes)
        throw bad_svg_exception();
    size_t elements = 0;
    int depth = 0;
    for (size_t at = svg.find('<'); at != std::string_view::npos; at = svg.find('<', at)) {
        std::string_view tag = svg.substr(at);
        if (tag.substr(0, 4) == "<!--") {
            at = After(svg, at + 4, "-->");
        } else if (tag.substr(0, 9) == "<![CDATA[") {
            at = After(svg, at + 9, "]]>");
        } else if (tag.substr(0, 2) == "<?") {
            at = After(svg, at + 2, "?>");
        } else if (tag.substr(0, 2) == "<!") {
            at = AfterDeclaration(svg, at + 2);
        } else if (tag.substr(0, 2) == "</") {
            depth = std::max(0, depth - 1);
            at = After(svg, at + 2, ">");
        } else {
            bool selfClosing = false;
            at = AfterStartTag(svg, at + 1, selfClosing);
            if (++elements > kMaxSvgElements || ++depth > kMaxSvgDepth)
                throw bad_svg_exception();
            if (selfClosing)
                --depth;
        }
    }
}

}  // namespace KVD
