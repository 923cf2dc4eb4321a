#include "appkit/Window.h"

namespace AppKit {

Window::Window(Rect frame, std::string title) : mFrame(frame), mTitle(std::move(title))
{
    SetContentView(std::make_unique<View>(Rect{0, 0, frame.width, frame.height}));
}

Window::~Window()
{
    if (mContent)
        mContent->mWindow = nullptr;
}

void Window::SetFrame(const Rect& frame)
{
    mFrame = frame;
    mContent->SetFrame({0, 0, frame.width, frame.height});
    if (mController)
        mController->WindowDidMoveOrResize(*this);
}

void Window::SetContentView(std::unique_ptr<View> content)
{
    if (mContent)
        mContent->mWindow = nullptr;
    mContent = std::move(content);
    mContent->mWindow = this;
}

void Window::Close()
{
    if (!mVisible)
        return;
    if (mController)
        mController->WindowWillClose(*this);
    mVisible = false;
}

}  // namespace AppKit
