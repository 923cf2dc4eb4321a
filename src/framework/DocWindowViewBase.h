// The client window of a document view, through which the host asks the view for its window,
// and the document view that has one. The plug-in's view object is made by ConstructClass when
// the host asks for the window.
#pragma once

#include "IDocView.h"
#include "framework/DocViewBase.h"
#include "framework/TWindow.h"

class OwlExtClientWindowBase : public IClientWindow {
public:
    explicit OwlExtClientWindowBase(NSBundle* bundle) : mBundle(bundle) {}
    virtual ~OwlExtClientWindowBase() = default;

    // Makes the view (ConstructClass) and its window; KVD_E_BADSTATE when a window exists
    // already or no view could be made.
    HRESULT DoCreateWindow(IClientWindowSite* site, HWND* out) override;
    // The host window goes: the site and the window are forgotten.
    HRESULT WarnDestroy() override;
    HRESULT GetMinMaxInfo(MINMAXINFO* info) override;
    HRESULT GetSite(IClientWindowSite** site) override;

    // Makes the plug-in's view on the parent window and attaches it; null when it cannot.
    virtual TWindow* ConstructClass(TWindow& parent, NSBundle* bundle) = 0;

    NSBundle* GetBundle() const { return mBundle; }
    TWindow* GetWindow() const { return mWindow; }

protected:
    IClientWindowSite* GetSitePtr() const { return mSite; }
    void ForgetSiteAndWindow();

private:
    NSBundle* mBundle;
    IClientWindowSite* mSite = nullptr;  // the host's, while the window is open
    TWindow* mWindow = nullptr;         // the view made by ConstructClass
};

class DocWindowViewBase : public OwlExtClientWindowBase, public DocViewBase {
public:
    DocWindowViewBase(IDocViewClass* cls, IDocument* document, NSBundle* bundle);

    // Refused (KVD_S_FALSE) when *can is already 0 or the document keeps the view.
    HRESULT CanClose(AutoBool* can) override;
    // Once: the host window is asked to close first, then the document is told.
    HRESULT Close() override;

    bool IsClosed() const { return mClosed; }

private:
    bool mClosed = false;
};
