#include "appkit/SavePanel.h"

#include <algorithm>

namespace AppKit {
namespace {

struct Presenter {
    SavePanel::Responder responder;
    int shown = 0;
};

Presenter& Shared()
{
    static Presenter presenter;
    return presenter;
}

}  // namespace

void SavePanel::SetResponder(Responder responder) { Shared().responder = std::move(responder); }

int SavePanel::ShownCount() { return Shared().shown; }

int SavePanel::RunModal()
{
    ++Shared().shown;
    return Shared().responder ? Shared().responder(*this) : kCancel;
}

std::string SavePanel::Path() const
{
    std::string name = nameFieldValue;
    const auto dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (!allowedFileTypes.empty() &&
        std::find(allowedFileTypes.begin(), allowedFileTypes.end(), extension) == allowedFileTypes.end())
        name += "." + allowedFileTypes.front();
    return directory.empty() ? name : directory + "/" + name;
}

}  // namespace AppKit
