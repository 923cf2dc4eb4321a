// The scripts the live page runs on the host's behalf: the bridge objects it puts on every new
// window, and the wrappers that hand a script's value or a window property across in the JSON
// of Wire.h.
#pragma once

#include <string>
#include <vector>

#include "web/Page.h"

namespace Web {
namespace PageScripts {

// Defines each bridge object on the window; its methods post to callURL with a synchronous
// request of {"o": object, "m": method, "q": queued, "a": [arguments]} and answer the reply's
// value "v", after setting the window properties listed in the reply's "s". Its samples
// methods post the same to dataURL and answer a typed array (Wire.h's SamplesWire).
std::string BridgeInstaller(const std::string& callURL, const std::string& dataURL,
                            const std::vector<BridgeObject>& bridges);
// An expression whose value is the JSON text of the script's value; it throws what the script
// throws.
std::string Evaluation(const std::string& script);
// An expression that sets the window's property to the value given in wire JSON.
std::string WindowValue(const std::string& key, const std::string& wireJSON);
// An expression that moves the document by a style sheet of its own, so that the point at
// (x, y) of what the page shows now, as scrolled, is its top-left corner, and leaves out the
// blocks and table rows wholly above or below the area that high; and one that puts the page
// back as it was.
std::string ShowAreaAtOrigin(double x, double y, double height);
std::string EndShowArea();
// The number of body rows of the page's long table: of the table with column titles that has
// the most. An expression whose value, laid out as printed on pages that high (in CSS pixels), is
// {rows, starts: the rows that start the table's pages after the first, widths: of its title
// cells}. And one that leaves out what a part of the print from row first to end (not included)
// does not show, its titles at those widths; EndShowArea puts the page back.
std::string LongTableRows();
std::string PrintedPages(double height);
std::string ShowRows(long first, long end, const std::vector<double>& widths);

}  // namespace PageScripts
}  // namespace Web
