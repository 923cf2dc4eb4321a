// A view whose content is an HTML page. The subclass says which window controller shows it,
// what the view is called, what to do when the page has loaded and how to copy; this base
// makes the window, loads pages into it and reads page templates from the bundle.
#pragma once

#include <memory>

#include "framework/KVDHTMLWindow.h"
#include "framework/ViewBase.h"

namespace KVD {

class WebViewBase : public ViewBase {
public:
    WebViewBase(TWindow* parent, IDocViewClass* viewClass, IDocView* docView, IDocument* document, NSBundle* bundle);
    // Closes the window and lets the controller go with it.
    ~WebViewBase() override;

    // Makes the controller on first use and answers its window record; all zero without one.
    HWND Create() override;
    void SetupWindow() override {}

    SPIRO_KVDHTMLWindow* GetWindowController() const { return mController.get(); }
    // Nothing happens before the window exists.
    void LoadHTMLString(KVD::String html, KVD::String baseURL);
    // The bundle's page NAME.html; false, with text unchanged, when it is missing or unreadable.
    bool LoadHTMLFromResource(NSBundle* bundle, KVD::String name, KVD::String& text) const;

    // The controller for this view, serving it as its doc view; null for none.
    virtual std::shared_ptr<SPIRO_KVDHTMLWindow> CreateWindowController() = 0;
    virtual KVD::String GetViewName() const = 0;
    // Each time a frame of the page has finished loading.
    virtual void OnLoad() = 0;
    virtual void copyToPasteboard() = 0;

private:
    // Held for as long as the view, so the window never outlives the controller that serves it.
    std::shared_ptr<SPIRO_KVDHTMLWindow> mController;
};

}  // namespace KVD
