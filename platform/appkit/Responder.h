// Objects that answer actions named by selector text ("copy:", "ok:"), as targets of menu
// items and controls do.
#pragma once

#include <string>

namespace AppKit {

class Responder {
public:
    virtual ~Responder() = default;
    virtual bool RespondsTo(const std::string& selector) const = 0;
    // Performs the action; false when the object does not answer it.
    virtual bool Perform(const std::string& selector, void* sender) = 0;
};

}  // namespace AppKit
