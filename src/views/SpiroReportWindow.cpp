#include "views/SpiroReportWindow.h"

#include "views/ReportView.h"

SpiroReportWindow::SpiroReportWindow(Spirometry::ReportView* view)
    : SPIRO_KVDHTMLWindow(kNibName, view), mReportView(view)
{
}

bool SpiroReportWindow::SetOutlet(const std::string& name, AppKit::View* view)
{
    if (name != kTemplateOutlet)
        return SPIRO_KVDHTMLWindow::SetOutlet(name, view);
    mWebViewTemplate = view;
    return true;
}

void SpiroReportWindow::AwakeFromNib()
{
    AttatchWebView(mWebViewTemplate);
}

Web::MenuItems SpiroReportWindow::ContextMenuItemsForElement(Web::WebView&, const Web::WebElement&, Web::MenuItems)
{
    return {};
}

void SpiroReportWindow::ForgetOwnerView()
{
    mReportView = nullptr;
    SPIRO_KVDHTMLWindow::ForgetOwnerView();
}
