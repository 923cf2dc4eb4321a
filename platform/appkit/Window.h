// Windows and their controllers. A window holds one content view; a controller loads its
// window from a layout and is told when the window moves, resizes or closes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "appkit/View.h"

namespace AppKit {

class WindowController;

class Window {
public:
    explicit Window(Rect frame = {}, std::string title = {});
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& Title() const { return mTitle; }
    void SetTitle(const std::string& title) { mTitle = title; }
    const Rect& Frame() const { return mFrame; }
    // Moves or resizes the window; the controller hears of it.
    void SetFrame(const Rect& frame);

    View& ContentView() const { return *mContent; }
    void SetContentView(std::unique_ptr<View> content);

    WindowController* Controller() const { return mController; }
    void SetController(WindowController* controller) { mController = controller; }

    // The window's content drawn on a white ground, as a PNG file; false when it cannot be written.
    bool RenderToPng(const std::string& path) const;

    bool IsVisible() const { return mVisible; }
    void Show() { mVisible = true; }
    // Hides the window for good; the controller hears of it first.
    void Close();

private:
    Rect mFrame;
    std::string mTitle;
    std::unique_ptr<View> mContent;
    WindowController* mController = nullptr;
    bool mVisible = false;
};

class WindowController : public Responder {
public:
    virtual ~WindowController() = default;
    virtual void WindowDidMoveOrResize(Window&) {}
    virtual void WindowWillClose(Window&) {}
};

}  // namespace AppKit
