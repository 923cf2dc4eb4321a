#include "plot/LumoPlotMac.h"

#include "appkit/Window.h"
#include "plot/LumoHtml.h"
#include "plot/MacPrintJob.h"

namespace KVD {

LumoPlotMac::LumoPlotMac(IAutoOrrelDoc* document, bool flag)
    : LumoPlotBase(document, flag),
      mProxy(MakeCounted<LumoProxyMac>(nullptr, LumoProxyBase::kDefaultErrorVisibility))
{
    mController = std::make_unique<LumoViewController>(mProxy);
    mProxy->InitWithOwner(mController.get());
}

LumoPlotMac::~LumoPlotMac()
{
    mController.reset();
    mProxy->OnDestroyPlot();
    mProxy.Clear();
}

bool LumoPlotMac::ExecuteJavaScript(const String& script) const { return mProxy->ExecuteJavaScript(script); }

bool LumoPlotMac::CanRunScripts() const
{
    return mController->IsConnected() && mController->IsLoaded() && mController->GetWebView() != nullptr;
}

double LumoPlotMac::CallJavaScript(const String& script) const
{
    const std::optional<Web::Value> result = mController->ExecuteJavaScript(ToU8String(script));
    return result.has_value() ? result->AsNumber() : 0.0;
}

void LumoPlotMac::AttachWebView(AppKit::View* parent, std::unique_ptr<AppKit::View> child)
{
    mController->AttachWebView(parent, std::move(child));
}

void LumoPlotMac::LoadHTML(const String& html, const String&) { mController->LoadHTML(ToU8String(html)); }

bool LumoPlotMac::OwnsWebFrame(const Web::WebFrame& frame) const
{
    return frame.webView != nullptr && frame.webView == mController->GetWebView();
}

std::string LumoPlotMac::GetDivId() const { return LumoHtml::GetDivId(); }

COMPtr<LumoPrintJob> LumoPlotMac::CreateJob(const std::string& jobName, bool copying)
{
    Web::WebView* view = mController->GetWebView();
    AppKit::Window* window = view != nullptr ? view->GetWindow() : nullptr;
    return COMPtr<LumoPrintJob>::Take(CreateMacPrintJob(window != nullptr ? window->Controller() : nullptr, mProxy,
                                                        GetDivId(), GetSubject(), jobName, copying));
}

COMPtr<LumoPrintJob> LumoPlotMac::CreatePlatformPrintJob(const std::string& jobName) { return CreateJob(jobName, false); }

COMPtr<LumoPrintJob> LumoPlotMac::CreatePlatformCopyTask() { return CreateJob(std::string(), true); }

}  // namespace KVD
