// The web view that pages are loaded into: it keeps the page text and base URL it was given
// and the resources the page names, and renders the page through headless Chromium.
#pragma once

#include <string>
#include <vector>

#include "appkit/View.h"

namespace Web {

class WebView : public AppKit::View {
public:
    using AppKit::View::View;
    const char* ClassName() const override { return "WebView"; }

    // Replaces the page; baseURL (a file:// folder URL, may be empty) resolves relative names.
    void LoadHTMLString(const std::string& html, const std::string& baseURL);
    const std::string& PageText() const { return mHtml; }
    const std::string& BaseURL() const { return mBaseURL; }
    int LoadCount() const { return mLoads; }

    // The values of the page's src and href attributes, in page order.
    std::vector<std::string> ResourcesNamed() const;

    // Renders the page at the view's size to PNG, or prints it to PDF; false without a page,
    // without Chromium, or when rendering fails.
    bool RenderToPng(const std::string& path) const;
    bool RenderToPdf(const std::string& path) const;

private:
    // Writes the page, with a <base> for its base URL, to a file and gives that file's URL.
    std::string WritePageFile(const std::string& folder) const;

    std::string mHtml;
    std::string mBaseURL;
    int mLoads = 0;
};

}  // namespace Web
