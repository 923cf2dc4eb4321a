// The page's window as the host program sees it: scripts run in it and answer typed values,
// properties set on it, and script objects (bridges) that call the host.
#pragma once

#include <string>

#include "web/Page.h"

namespace Web {

class WebScriptObject {
public:
    explicit WebScriptObject(Page& page) : mPage(page) {}

    // The script's value; undefined when it threw or could not run (the reason is in the
    // page's LastError()).
    Value EvaluateWebScript(const std::string& script);
    Evaluation Evaluate(const std::string& script) { return mPage.Evaluate(script); }
    void PostWebScript(const std::string& script) { mPage.Post(script); }
    bool SetValueForKey(const std::string& key, const Value& value) { return mPage.SetWindowValue(key, value); }
    void InstallBridge(BridgeObject bridge) { mPage.InstallBridge(std::move(bridge)); }
    Page& GetPage() { return mPage; }

private:
    Page& mPage;
};

}  // namespace Web
