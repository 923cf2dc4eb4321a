// The window controller of every plug-in view: it loads the view's window from a layout of the
// bundle, hands the native window to its view, and keeps the host told of the window's frame
// (stored under the view's window key, replayed when the view opens again). The close button
// does not close the window: it asks the host to close the view, which then takes the window.
#pragma once

#include <memory>
#include <string>

#include "appkit/DocViewWindowControllerBase.h"
#include "framework/CAFMessageSender.h"

class NSBundle;
class ViewBase;
namespace Web {
struct WebFrame;
}

class SPIRO_KVDDocViewWindowController : public AppKit::DocViewWindowControllerBase,
                                         public std::enable_shared_from_this<SPIRO_KVDDocViewWindowController> {
public:
    // The close message: the view id's two halves and a word 0.
    typedef MsgData3<StaticMsgIdClass<0x80010016>, 0, MsgCAFId, unsigned int, unsigned int> CloseViewMsg;
    static constexpr MsgFlags kPositionSendFlags = 0x300028;
    static constexpr MsgFlags kCloseSendFlags = 0x100020;

    // The layout nibName of the owner view's bundle (else the plug-in's); messages go to the
    // message handler of the view's root document.
    SPIRO_KVDDocViewWindowController(const std::string& nibName, ViewBase* ownerView);
    ~SPIRO_KVDDocViewWindowController() override;

    // Loads the window, gives it to the view, places it and starts reporting its frame.
    void LoadWindow() override;
    // Null once the view has gone.
    ViewBase* GetViewBase() const { return mOwnerView; }
    // The view goes away: the window closes and reports nothing more.
    virtual void ForgetOwnerView();

    // The close button: the host is asked to close the view; the window stays.
    bool WindowShouldClose(AppKit::Window& window) override;
    void WindowDidMoveOrResize(AppKit::Window& window) override;

    // Reports the frame, then asks the host to close the view.
    void SendCloseMessage();
    // A frame of a page in the window has finished loading (onFrameLoaded:); nothing by default.
    virtual void OnFrameLoaded(const Web::WebFrame&) {}
    void RememberPosition(const tagRECT* frame);

    const CAFMessageSender& GetMessageSender() const { return mMessageSender; }

protected:
    // The bundle the layouts and pages are read from.
    NSBundle* GetBundle() const { return mBundle; }

private:
    static NSBundle* BundleOf(ViewBase* view);
    tagRECT CurrentFrame() const;
    // The view's id when it may be reported: views of classes with a static or no type id are not.
    bool ReportableViewId(ViewId* id) const;

    ViewBase* mOwnerView;
    NSBundle* mBundle;
    CAFMessageSender mMessageSender;
};
