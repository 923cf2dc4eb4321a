// The plot control of a web view: it owns the plot's proxy and the controller of the plot's
// web view, puts the web view in a window, loads the plot page, and makes print and copy jobs
// that hand the plot's SVG to the host's print view.
#pragma once

#include <memory>
#include <string>

#include "plot/LumoPlotBase.h"
#include "plot/LumoProxyMac.h"
#include "plot/LumoViewController.h"

namespace KVD {

class LumoPlotMac : public LumoPlotBase {
public:
    static constexpr unsigned kDoubleClickDelay = 200;

    LumoPlotMac(IAutoOrrelDoc* document, bool flag);
    ~LumoPlotMac() override;

    bool ExecuteJavaScript(const String& script) const override;
    bool CanRunScripts() const override;
    // The script's number; 0 when the page cannot run it or gives no number.
    double CallJavaScript(const String& script) const;
    void AttachWebView(AppKit::View* parent, std::unique_ptr<AppKit::View> child = nullptr);
    // The base URL is always the bundle's resources.
    void LoadHTML(const String& html, const String& baseURL);
    // Whether the frame is one of this plot's page.
    bool OwnsWebFrame(const Web::WebFrame& frame) const;
    Web::WebView* GetWebView() const { return mController->GetWebView(); }
    LumoViewController& GetViewController() const { return *mController; }

    COMPtr<LumoPrintJob> CreatePlatformPrintJob(const std::string& jobName) override;
    COMPtr<LumoPrintJob> CreatePlatformCopyTask() override;
    unsigned GetDoubleClickDelay() const override { return kDoubleClickDelay; }
    std::string GetDivId() const override;
    LumoProxyBase* GetLumoProxy() const override { return mProxy.get(); }

private:
    COMPtr<LumoPrintJob> CreateJob(const std::string& jobName, bool copying);

    COMPtr<LumoProxyMac> mProxy;
    std::unique_ptr<LumoViewController> mController;
};

}  // namespace KVD
