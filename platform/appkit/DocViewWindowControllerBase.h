// The host's base of document-view window controllers: loads its window from a layout on
// first use, places new windows, and converts the window's frame to and from the host's
// window coordinates (whole numbers, left, top, right, bottom).
#pragma once

#include <memory>
#include <string>

#include "appkit/Layout.h"
#include "appkit/Window.h"

namespace AppKit {

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class DocViewWindowControllerBase : public WindowController, public LayoutOwner {
public:
    // The layout is looked up as LayoutPath(layoutFolder, nibName) when the window is first used.
    DocViewWindowControllerBase(std::string layoutFolder, std::string nibName);
    ~DocViewWindowControllerBase() override;

    const std::string& NibName() const { return mNibName; }
    bool IsWindowLoaded() const { return mWindow != nullptr; }
    // The window, loaded on first use; throws LayoutError when the layout cannot be loaded.
    Window& GetWindow();
    // Loads the window from the layout, binding it to this controller.
    virtual void LoadWindow();
    // Called once the window is first loaded through GetWindow.
    virtual void WindowDidLoad() {}

    // Moves a new window away from the last one placed, so that windows do not cover each other.
    void TweakDefaultPosition();
    // The window's frame in whole host coordinates.
    IntRect GetOrzPosRect() const;
    void SetFrameFromOrzPosRect(const IntRect& rect);

    // The close button: asks WindowShouldClose first.
    void PerformClose();
    // Whether the window may close now; yes by default.
    virtual bool WindowShouldClose(Window&) { return true; }

    // LayoutOwner: no outlets or actions of its own.
    bool SetOutlet(const std::string&, View*) override { return false; }
    bool RespondsTo(const std::string&) const override { return false; }
    bool Perform(const std::string&, void*) override { return false; }

private:
    std::string mLayoutFolder;
    std::string mNibName;
    std::unique_ptr<Window> mWindow;
};

}  // namespace AppKit
