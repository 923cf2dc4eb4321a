#include "web/WebView.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <unistd.h>

#include "web/HeadlessChromium.h"

namespace Web {

void WebView::LoadHTMLString(const std::string& html, const std::string& baseURL)
{
    mHtml = html;
    mBaseURL = baseURL;
    ++mLoads;
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
