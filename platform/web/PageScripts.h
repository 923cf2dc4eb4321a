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

}  // namespace PageScripts
}  // namespace Web
