// The report's window: a web view in place of the layout's template view, and no context menu
// on the page.
#pragma once

#include "framework/KVDHTMLWindow.h"

namespace Spirometry {
class ReportView;
}

class SpiroReportWindow : public SPIRO_KVDHTMLWindow {
public:
    static constexpr const char* kNibName = "SpiroReportWindow";
    static constexpr const char* kTemplateOutlet = "webViewTemplate";

    // initWithDocView:
    explicit SpiroReportWindow(Spirometry::ReportView* view);

    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    void AwakeFromNib() override;
    Web::MenuItems ContextMenuItemsForElement(Web::WebView& view, const Web::WebElement& element,
                                              Web::MenuItems defaultItems) override;
    void ForgetOwnerView() override;
    Spirometry::ReportView* GetReportView() const { return mReportView; }

private:
    Spirometry::ReportView* mReportView;  // not owned
    AppKit::View* mWebViewTemplate = nullptr;
};
