// The save panel: asks for the path of a file to write. Nobody sits at the screen: a responder
// (a scripted user in tests, the host's policy in spirohost) fills in the panel, may use its
// accessory view, and accepts or cancels; without one the panel is cancelled.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appkit/View.h"

namespace AppKit {

class SavePanel {
public:
    static constexpr int kOK = 1;
    static constexpr int kCancel = 0;
    // Answers kOK or kCancel; on kOK the panel's file name is the file chosen.
    using Responder = std::function<int(SavePanel&)>;

    static void SetResponder(Responder responder);
    // Panels run so far, the last one last.
    static int ShownCount();

    std::string directory;
    std::string message;
    std::string title;
    // Without an extension, or with one of these, a file name is allowed; empty: any.
    std::vector<std::string> allowedFileTypes;
    bool extensionHidden = true;
    bool canCreateDirectories = false;
    // The chosen file's name within the directory.
    std::string nameFieldValue;

    void SetAccessoryView(std::unique_ptr<View> view) { mAccessory = std::move(view); }
    View* AccessoryView() const { return mAccessory.get(); }

    int RunModal();
    // The chosen file: directory/name, with the first allowed type added when the name has no
    // allowed extension.
    std::string Path() const;

private:
    std::unique_ptr<View> mAccessory;
};

}  // namespace AppKit
