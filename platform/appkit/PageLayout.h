// The page-setup panel, run modally on a print info. Nobody sits at the screen: a responder
// (a scripted user in tests, the host's policy in spirohost) edits the info and accepts or
// cancels; without one the panel is accepted as it is.
#pragma once

#include <functional>

#include "appkit/PrintView.h"

namespace AppKit {

class PageLayout {
public:
    // Edits the info it is given; answers whether the user accepted.
    using Responder = std::function<bool(PrintInfo&)>;

    static PageLayout& Shared();

    void SetResponder(Responder responder) { mResponder = std::move(responder); }
    // True when accepted: the info then holds the user's choices; otherwise it is unchanged.
    bool RunModal(PrintInfo& info);
    int ShownCount() const { return mShown; }

private:
    Responder mResponder;
    int mShown = 0;
};

}  // namespace AppKit
