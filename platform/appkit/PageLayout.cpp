#include "appkit/PageLayout.h"

namespace AppKit {

PageLayout& PageLayout::Shared()
{
    static PageLayout panel;
    return panel;
}

bool PageLayout::RunModal(PrintInfo& info)
{
    ++mShown;
    if (!mResponder)
        return true;
    PrintInfo edited = info;
    if (!mResponder(edited))
        return false;
    info = edited;
    return true;
}

}  // namespace AppKit
