#include "appkit/DocViewWindowControllerBase.h"

#include <cmath>

namespace AppKit {
namespace {

// Where the next new window goes: each one 20 points right of and below the last.
double gCascade = 0;

}  // namespace

DocViewWindowControllerBase::DocViewWindowControllerBase(std::string layoutFolder, std::string nibName)
    : mLayoutFolder(std::move(layoutFolder)), mNibName(std::move(nibName))
{
}

DocViewWindowControllerBase::~DocViewWindowControllerBase()
{
    if (mWindow)
        mWindow->SetController(nullptr);
}

Window& DocViewWindowControllerBase::GetWindow()
{
    if (!mWindow) {
        LoadWindow();
        WindowDidLoad();
    }
    return *mWindow;
}

void DocViewWindowControllerBase::LoadWindow()
{
    mWindow = LoadLayout(LayoutPath(mLayoutFolder, mNibName), *this);
    mWindow->SetController(this);
}

void DocViewWindowControllerBase::TweakDefaultPosition()
{
    Window& window = GetWindow();
    Rect frame = window.Frame();
    frame.x += gCascade;
    frame.y += gCascade;
    gCascade = std::fmod(gCascade + 20, 200);
    WindowController* controller = window.Controller();
    window.SetController(nullptr);  // placing a new window is no move to report
    window.SetFrame(frame);
    window.SetController(controller);
}

IntRect DocViewWindowControllerBase::GetOrzPosRect() const
{
    if (!mWindow)
        return {};
    const Rect& f = mWindow->Frame();
    return {static_cast<int>(std::lround(f.x)), static_cast<int>(std::lround(f.y)),
            static_cast<int>(std::lround(f.x + f.width)), static_cast<int>(std::lround(f.y + f.height))};
}

void DocViewWindowControllerBase::SetFrameFromOrzPosRect(const IntRect& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;  // no window has an empty frame
    GetWindow().SetFrame({double(r.left), double(r.top), double(r.right - r.left), double(r.bottom - r.top)});
}

void DocViewWindowControllerBase::PerformClose()
{
    if (mWindow && WindowShouldClose(*mWindow))
        mWindow->Close();
}

}  // namespace AppKit
