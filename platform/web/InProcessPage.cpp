#include "web/InProcessPage.h"

#include <regex>

#include "cf/FileBytes.h"
#include "graphics/Canvas.h"

namespace Web {

bool InProcessPage::WindowHasBridge(const std::string& name) const
{
    if (mLoads.empty())
        return false;
    for (const BridgeObject& bridge : Bridges())
        if (bridge.name == name)
            return true;
    return false;
}

Value InProcessPage::PlayCall(const std::string& object, const std::string& method, std::vector<Value> arguments)
{
    if (!WindowHasBridge(object))
        return Value::String("");
    return DispatchCall(object, method, std::move(arguments));
}

std::vector<WebFrame> InProcessPage::Frames() const
{
    if (mLoads.empty())
        return {};
    static const std::regex element(R"re(<i?frame\b([^>]*)>)re", std::regex::icase);
    static const std::regex name(R"re(\b(?:name|id)\s*=\s*(?:"([^"]*)"|'([^']*)'))re", std::regex::icase);
    const std::string& html = mLoads.back().html;
    std::vector<WebFrame> frames{WebFrame{}};
    for (auto it = std::sregex_iterator(html.begin(), html.end(), element); it != std::sregex_iterator(); ++it) {
        std::smatch m;
        const std::string attributes = (*it)[1].str();
        WebFrame frame{false, ""};
        if (std::regex_search(attributes, m, name))
            frame.name = m[1].matched ? m[1].str() : m[2].str();
        frames.push_back(frame);
    }
    return frames;
}

bool InProcessPage::RenderPNG(const std::string&, int, int) { return Fail(kCannotRender); }

bool InProcessPage::RenderPDF(const std::string& path, const PrintInfo&)
{
    if (mLoads.empty())
        return Fail(kNoPage);
    if (mPrintedPdf.empty())
        return Fail(kCannotRender);
    std::string error;
    return CF::WriteFileBytes(path, mPrintedPdf, &error) || Fail(error);
}

bool InProcessPage::RenderAreaPDF(const std::string& path, const PageArea& area)
{
    mAreas.push_back(area);
    if (mLoads.empty())
        return Fail(kNoPage);
    if (mPrintedPdf.empty())
        return Fail(kCannotRender);
    std::string error;
    return CF::WriteFileBytes(path, Gfx::Canvas::CreatePDF(area.width, area.height)->Finish(), &error) || Fail(error);
}

bool InProcessPage::DoStartLoad(const std::string& html, const std::string& baseURL)
{
    mLoads.push_back(Load{html, baseURL});
    mWindowValues.clear();
    return true;
}

Evaluation InProcessPage::DoEvaluate(const std::string& script)
{
    mScripts.push_back(script);
    if (mLoads.empty())
        return Evaluation{false, Value(), kNoPage};
    const auto found = mAnswers.find(script);
    if (found != mAnswers.end())
        return Evaluation{true, found->second, ""};
    return mAnswerer ? mAnswerer(script) : Evaluation{true, Value(), ""};
}

bool InProcessPage::DoSetWindowValue(const std::string& key, const Value& value)
{
    if (mLoads.empty())
        return Fail(kNoPage);
    mWindowValues[key] = value;
    return true;
}

}  // namespace Web
