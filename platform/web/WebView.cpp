#include "web/WebView.h"

#include <cmath>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>

#include "appkit/UserDefaults.h"
#include "cf/Scratch.h"
#include "graphics/Image.h"

namespace Web {
namespace {

// A file for one rendering in the temporary folder, removed afterwards, and by a signal that
// ends the process meanwhile; locked while it is used, so that the next browser removes it
// should the process be killed outright (CF::Scratch).
struct TempFile {
    CF::Scratch file;
    std::string failure;  // why there is none
    explicit TempFile(CF::ScratchKind kind)
    {
        if (!file.Make(CF::TempFolder(), kind))
            failure = "no file could be made in " + CF::TempFolderText() + " for the page's picture: " +
                      std::strerror(errno);
    }
    const std::string& Path() const { return file.Path(); }
};

}  // namespace

Value WebScriptObject::EvaluateWebScript(const std::string& script)
{
    const Evaluation evaluation = mPage.Evaluate(script);
    return evaluation.ok ? evaluation.value : Value();
}

WebView::WebView(AppKit::Rect frame) : AppKit::View(frame), mPage(Page::Create()), mScript(*mPage)
{
    mPage->SetFrameLoaded([this](const WebFrame& loaded) {
        if (mFrameLoadDelegate == nullptr)
            return;
        WebFrame frame = loaded;
        frame.webView = this;
        mFrameLoadDelegate->DidFinishLoadForFrame(*this, frame);
    });
}

WebView::~WebView()
{
    if (mFrameLoadDelegate != nullptr)
        mFrameLoadDelegate->WebViewWillClose(*this);
}

void WebView::LoadHTMLString(const std::string& html, const std::string& baseURL)
{
    mHtml = html;
    mBaseURL = baseURL;
    mURL.clear();
    Load(mHtml, mBaseURL);
}

void WebView::LoadRequest(const std::string& url)
{
    static const std::string kFileScheme = "file://";
    mHtml.clear();
    mBaseURL.clear();
    mURL = url;
    const std::string path = url.compare(0, kFileScheme.size(), kFileScheme) == 0 ? url.substr(kFileScheme.size()) : "";
    std::ifstream in(path, std::ios::binary);
    if (path.empty() || !in) {
        ++mLoads;  // an empty page whose frames never finish
        return;
    }
    mHtml.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    mBaseURL = kFileScheme + path.substr(0, path.rfind('/') + 1);
    Load(mHtml, mBaseURL);
}

void WebView::Load(const std::string& html, const std::string& baseURL)
{
    ++mLoads;
    mPage->SetViewSize(Width(), Height());
    mDrawFailure.clear();
    mPage->LoadHTML(html, baseURL);
}

std::string WebView::DrawingFailure() const
{
    // The page keeps why it did not load (a load made together with others ends later) for
    // whoever draws or prints the view, which then fails with it.
    static const std::string kNotLoaded = "the page did not load";
    const std::string& why = mPage->LoadError();
    if (!why.empty())
        return why.compare(0, kNotLoaded.size(), kNotLoaded) == 0 ? why : kNotLoaded + ": " + why;
    const std::string lost = mPage->LostReason();
    if (!lost.empty())
        return lost;
    // A call the page server refused (the page's script only logs it) left the page short of
    // what it was drawing or handing over.
    const std::string refused = mPage->RefusedCall();
    return refused.empty() ? mDrawFailure : refused;
}

bool WebView::Rendered(bool ok) const
{
    mDrawFailure = ok ? std::string() : mLoads == 0 ? std::string(Page::kNoPage) : mPage->LastError();
    return ok;
}

int WebView::Width() const { return std::max(1, static_cast<int>(std::lround(Frame().width))); }

int WebView::Height() const { return std::max(1, static_cast<int>(std::lround(Frame().height))); }

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

bool WebView::RenderToPng(const std::string& path) const
{
    return Rendered(mLoads != 0 && mPage->RenderPNG(path, Width(), Height()));
}

bool WebView::RenderToPdf(const std::string& path, const PrintInfo& print) const
{
    return Rendered(mLoads != 0 && mPage->RenderPDF(path, print));
}

void WebView::DrawSelf(Gfx::Context& context)
{
    if (mLoads == 0)
        return;
    TempFile png(CF::ScratchKind::kPicture);
    if (png.Path().empty()) {
        mDrawFailure = png.failure;
        return;
    }
    if (!RenderToPng(png.Path()))
        return;
    const Gfx::Image image = Gfx::Image::FromPNG(png.Path());
    if (image.IsEmpty())
        mDrawFailure = "the page's picture could not be read";
    else
        context.DrawImage(image, {0, 0}, 1, true);
}

std::string WebView::DataWithPDFInsideRect(const AppKit::Rect& rect)
{
    if (mLoads == 0 || rect.width <= 0 || rect.height <= 0)
        return AppKit::View::DataWithPDFInsideRect(rect);
    TempFile pdf(CF::ScratchKind::kPrint);
    mDrawFailure = pdf.failure;
    if (pdf.Path().empty() ||
        !Rendered(mPage->RenderAreaPDF(pdf.Path(), PageArea{rect.x, rect.y, rect.width, rect.height})))
        return {};
    std::ifstream in(pdf.Path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace Web
