#include "appkit/Window.h"

#include <cmath>

#include "graphics/Canvas.h"

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

bool Window::RenderToPng(const std::string& path) const
{
    auto canvas = Gfx::Canvas::CreateImage(static_cast<int>(std::ceil(mFrame.width)),
                                           static_cast<int>(std::ceil(mFrame.height)));
    Gfx::Context& c = canvas->GetContext();
    c.SetFillColor({1, 1, 1, 1});
    c.FillRect({0, 0, mFrame.width, mFrame.height});
    mContent->Display(c);
    return canvas->WritePNG(path);
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
