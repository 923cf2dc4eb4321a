#include "web/WebView.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <unistd.h>

#include "appkit/UserDefaults.h"
#include "web/HeadlessChromium.h"

namespace Web {

void WebView::LoadHTMLString(const std::string& html, const std::string& baseURL)
{
    mHtml = html;
    mBaseURL = baseURL;
    mURL.clear();
    ++mLoads;
    FinishLoading();
}

void WebView::LoadRequest(const std::string& url)
{
    static const std::string kFileScheme = "file://";
    mHtml.clear();
    mBaseURL.clear();
    mURL = url;
    ++mLoads;
    if (url.compare(0, kFileScheme.size(), kFileScheme) != 0)
        return;
    const std::string path = url.substr(kFileScheme.size());
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    mHtml.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    mBaseURL = kFileScheme + path.substr(0, path.rfind('/') + 1);
    FinishLoading();
}

std::vector<WebFrame> WebView::Frames() const
{
    static const std::regex element(R"re(<i?frame\b([^>]*)>)re", std::regex::icase);
    static const std::regex name(R"re(\b(?:name|id)\s*=\s*(?:"([^"]*)"|'([^']*)'))re", std::regex::icase);
    std::vector<WebFrame> frames{WebFrame{}};
    for (auto it = std::sregex_iterator(mHtml.begin(), mHtml.end(), element); it != std::sregex_iterator(); ++it) {
        std::smatch m;
        const std::string attributes = (*it)[1].str();
        WebFrame frame{false, ""};
        if (std::regex_search(attributes, m, name))
            frame.name = m[1].matched ? m[1].str() : m[2].str();
        frames.push_back(frame);
    }
    return frames;
}

void WebView::FinishLoading()
{
    const int load = mLoads;
    for (const WebFrame& frame : Frames()) {
        if (mFrameLoadDelegate == nullptr || mLoads != load)
            return;
        mFrameLoadDelegate->DidFinishLoadForFrame(*this, frame);
    }
}

std::unique_ptr<AppKit::Menu> WebView::ContextMenuForElement(const WebElement& element)
{
    MenuItems items;
    items.push_back(std::make_unique<AppKit::MenuItem>("Reload", "reload:", "r"));
    items.back()->SetTarget(this);
    if (AppKit::UserDefaults::Standard().BoolForKey(kDeveloperExtrasKey))
        items.push_back(std::make_unique<AppKit::MenuItem>("Inspect Element", "inspectElement:", ""));
    if (mUIDelegate != nullptr)
        items = mUIDelegate->ContextMenuItemsForElement(*this, element, std::move(items));
    auto menu = std::make_unique<AppKit::Menu>();
    for (auto& item : items)
        menu->Add(std::move(item));
    return menu;
}

bool WebView::RespondsTo(const std::string& selector) const { return selector == "reload:"; }

bool WebView::Perform(const std::string& selector, void*)
{
    if (selector != "reload:")
        return false;
    if (mURL.empty())
        LoadHTMLString(std::string(mHtml), std::string(mBaseURL));
    else
        LoadRequest(std::string(mURL));
    return true;
}

std::vector<std::string> WebView::ResourcesNamed() const
{
    static const std::regex attribute(R"re(\b(?:src|href)\s*=\s*(?:"([^"]*)"|'([^']*)'))re", std::regex::icase);
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(mHtml.begin(), mHtml.end(), attribute); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return names;
}

std::string WebView::WritePageFile(const std::string& folder) const
{
    std::string html = mHtml;
    if (!mBaseURL.empty()) {
        std::string base = mBaseURL;
        if (base.back() != '/')
            base += '/';
        const std::string tag = "<base href=\"" + base + "\">";
        const std::smatch head = [&] {
            std::smatch m;
            std::regex_search(html, m, std::regex("<head[^>]*>", std::regex::icase));
            return m;
        }();
        html = head.empty() ? tag + html : html.insert(head.position(0) + head.length(0), tag);
    }
    const std::string path = folder + "/page.html";
    std::ofstream(path) << html;
    return "file://" + path;
}

namespace {

// A folder for the page file, removed with its file afterwards.
struct PageFolder {
    std::string path;
    PageFolder()
    {
        char pattern[] = "/tmp/spiro-page-XXXXXX";
        if (mkdtemp(pattern) != nullptr)
            path = pattern;
    }
    ~PageFolder()
    {
        if (!path.empty()) {
            std::remove((path + "/page.html").c_str());
            ::rmdir(path.c_str());
        }
    }
};

}  // namespace

bool WebView::RenderToPng(const std::string& path) const
{
    PageFolder folder;
    if (mLoads == 0 || folder.path.empty())
        return false;
    const int width = std::max(1, static_cast<int>(std::lround(Frame().width)));
    const int height = std::max(1, static_cast<int>(std::lround(Frame().height)));
    return HeadlessChromium::Screenshot(WritePageFile(folder.path), width, height, path);
}

bool WebView::RenderToPdf(const std::string& path) const
{
    PageFolder folder;
    if (mLoads == 0 || folder.path.empty())
        return false;
    return HeadlessChromium::PrintToPdf(WritePageFile(folder.path), path);
}

}  // namespace Web
