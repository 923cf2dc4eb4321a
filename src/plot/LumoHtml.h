// The plot page: one HTML text holding the page scripts and the plot's container, the same for
// every plot in the system.
#pragma once

#include <string>

namespace KVD {

class LumoHtml {
public:
    // Id of the page's one plot container.
    static constexpr const char* kDivId = "local";

    // Built on first use and kept for the life of the process.
    static std::string GetLumoHtml();
    static std::string GetDivId() { return kDivId; }
};

}  // namespace KVD
