#include "web/LivePage.h"

#include "cf/FileBytes.h"
#include "web/Browser.h"
#include "web/PageScripts.h"
#include "web/PdfPages.h"
#include "web/PageServer.h"
#include "web/ProcessTimes.h"
#include "web/Wire.h"

namespace Web {
namespace {

// Seconds for the stop of a script, and then its evaluation, to answer: a page that runs
// answers in milliseconds, so a longer wait only delays giving up a page that does not.
constexpr double kStopTimeout = 2;
constexpr int kSizeTries = 100;  // looks at a document's size before it is taken as it is
// A print's wait goes on past its limit while the browser's renderers are seen working: their
// processor time grew by this share of the wait at least (a renderer laying out a long page
// uses most of a core; a stopped one none). It goes on for this long at most.
constexpr double kWorkingShare = 0.1;
constexpr double kLongestPrint = 120;  // seconds
const char* const kRendererArgument = "--type=renderer";
// A print lays out this many pages of a long table at most: laying out all of a night's rows
// at once took the renderer four times the memory of showing them. A table this short is
// printed whole without a look at its pages.
constexpr size_t kPagesAPrint = 8;
constexpr long kShortTable = 400;  // rows
constexpr double kPointsPerInch = 72;
constexpr double kPixelsPerPoint = 96.0 / kPointsPerInch;

std::string DecodeBase64(const std::string& text)
{
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        const size_t digit = digits.find(c);
        if (digit == std::string::npos)
            continue;  // padding and line breaks
        bits = (bits << 6) | unsigned(digit);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(char((bits >> count) & 0xFF));
        }
    }
    return bytes;
}

void AddFrames(const nlohmann::json& tree, std::vector<WebFrame>& frames)
{
    const nlohmann::json frame = tree.value("frame", nlohmann::json::object());
    frames.push_back(WebFrame{frames.empty(), frames.empty() ? std::string() : frame.value("name", "")});
    for (const nlohmann::json& child : tree.value("childFrames", nlohmann::json::array()))
        AddFrames(child, frames);
}

// "N s" for a timeout given in seconds.
std::string SecondsText(double seconds) { return ScriptNumberText(seconds) + " s"; }

// The first line of the page's exception, as script would print it.
std::string ExceptionText(const nlohmann::json& details)
{
    const nlohmann::json exception = details.value("exception", nlohmann::json::object());
    std::string text = exception.value("description", "");
    if (text.empty() && exception.contains("value"))
        text = exception["value"].is_string() ? exception["value"].get<std::string>() : exception["value"].dump();
    if (text.empty())
        text = details.value("text", "the script threw");
    return text.substr(0, text.find('\n'));
}

}  // namespace

LivePage::LivePage() = default;

std::string LivePage::CallURL() const
{
    PageServer* server = PageServer::Current();
    return server != nullptr && mId != 0 ? server->CallURL(mId) : std::string();
}

LivePage::~LivePage()
{
    if (Browser* browser = Holder()) {
        nlohmann::json result;
        std::string error;
        browser->Command("Target.closeTarget", {{"targetId", mTarget}}, "", result, error);
        browser->DropEvents(mSession);
    }
    if (mId != 0)
        if (PageServer* server = PageServer::Current())
            server->RemovePage(mId);
}

void LivePage::SetTimeouts(double load, double evaluation)
{
    mLoadTimeout = load;
    mEvaluationTimeout = evaluation;
}

Browser* LivePage::Holder() const
{
    Browser* browser = Browser::Current();
    return browser != nullptr && browser->IsAlive() && browser->Generation() == mGeneration && !mSession.empty()
               ? browser
               : nullptr;
}

Browser* LivePage::Live() const { return mHung.empty() ? Holder() : nullptr; }

std::string LivePage::WhyGone() const
{
    if (!mHung.empty())
        return mHung;
    const Browser* browser = Browser::Current();
    return browser != nullptr && browser->Generation() == mGeneration ? browser->WhyGone() : Browser::kExited;
}

std::string LivePage::LostReason() const
{
    return !mSession.empty() && Live() == nullptr ? WhyGone() : "";
}

bool LivePage::Command(const std::string& method, const nlohmann::json& params, nlohmann::json& result,
                       double timeout)
{
    Browser* browser = Live();
    if (browser == nullptr)
        return Fail(mSession.empty() ? kNoPage : WhyGone());
    return Await(browser->Send(method, params, mSession), timeout, result);
}

bool LivePage::Await(int id, double timeout, nlohmann::json& result, bool whileWorking)
{
    Browser* browser = Live();
    if (browser == nullptr)
        return Fail(WhyGone());
    std::string error;
    double used = whileWorking ? GroupProcessorSeconds(browser->ProcessId(), kRendererArgument) : 0;
    double waited = timeout;
    for (;; waited += timeout) {
        if (browser->AwaitReply(id, timeout, result, error))
            return true;
        if (!browser->WaitedOut())
            return Fail(error);
        const double now = whileWorking ? GroupProcessorSeconds(browser->ProcessId(), kRendererArgument) : used;
        if (now - used < timeout * kWorkingShare || waited >= kLongestPrint)
            break;
        used = now;
    }
    browser->IgnoreReply(id);  // a picture's or a print's megabytes, should the page wake
    return GiveUp(waited);
}

bool LivePage::Print(nlohmann::json params, nlohmann::json& pdf)
{
    Browser* browser = Live();
    if (browser == nullptr)
        return Fail(WhyGone());
    params["printBackground"] = true;
    params["displayHeaderFooter"] = false;
    params["preferCSSPageSize"] = false;
    // Untagged: the structure tree of a tagged PDF took most of a long table's print time and
    // size (an 11-hour report: 22 MB, not 0.6 MB).
    params["generateTaggedPDF"] = false;
    return Await(browser->Send("Page.printToPDF", params, mSession), mEvaluationTimeout, pdf, true);
}

bool LivePage::GiveUp(double timeout)
{
    mHung = "the page did not answer within " + SecondsText(timeout);
    return Fail(mHung);
}

bool LivePage::StopScript(double timeout)
{
    Browser* browser = Live();
    nlohmann::json ignored;
    std::string error;
    if (browser == nullptr ||
        browser->Command("Runtime.terminateExecution", nlohmann::json::object(), mSession, ignored, error,
                         kStopTimeout) ||
        !browser->WaitedOut())
        return true;
    return GiveUp(timeout);
}

bool LivePage::Attach(const std::string& html, const std::string& baseURL)
{
    mWarmNavigation = 0;
    if (!mHung.empty())
        return Fail(mHung);
    if (Live() != nullptr)
        return true;
    std::string error;
    PageServer* server = PageServer::Shared(error);
    if (server == nullptr)
        return Fail(error);
    if (mId == 0)
        mId = server->AddPage(this);
    Browser* browser = Browser::Shared(error);
    if (browser == nullptr)
        return Fail(error);
    mSession.clear();
    mFrames.clear();
    Browser::Target made;
    if (!browser->NewTarget(html, baseURL, Metrics(), made, error))
        return Fail(error);
    mTarget = made.target;
    mSession = made.session;
    if (made.page != 0) {
        // The target holds this document already: the page takes it over, and its server entry.
        server->AdoptPage(made.page, this);
        server->RemovePage(mId);
        mId = made.page;
        mLoad = 0;
        mWarmNavigation = made.navigation;
    }
    mGeneration = browser->Generation();
    mBridgeScript.clear();
    // The session runs its commands in order: the load is sent after them without waiting
    // for their answers, which are read before the load's (AwaitSetUp).
    mSizing = made.sized ? 0 : browser->Send("Emulation.setDeviceMetricsOverride", Metrics(), mSession);
    mBridging = Bridges().empty() ? 0
                                  : browser->Send("Page.addScriptToEvaluateOnNewDocument", {{"source", Installer()}},
                                                  mSession);
    return true;
}

bool LivePage::AwaitSetUp()
{
    Browser* browser = Live();
    nlohmann::json result;
    std::string error;
    const int sizing = mSizing;
    const int bridging = mBridging;
    mSizing = mBridging = 0;
    // A page at the wrong size still loads; one that does not answer does not.
    if (browser != nullptr && sizing != 0 && !browser->AwaitReply(sizing, Browser::kCommandTimeout, result, error) &&
        browser->WaitedOut())
        return GiveUp(Browser::kCommandTimeout);
    if (browser == nullptr || bridging == 0)
        return true;
    if (!Await(bridging, Browser::kCommandTimeout, result))
        return false;
    mBridgeScript = result.value("identifier", "");
    return true;
}

nlohmann::json LivePage::Metrics() const
{
    return {{"width", mWidth}, {"height", mHeight}, {"deviceScaleFactor", 1}, {"mobile", false}};
}

std::string LivePage::Installer() const
{
    const PageServer* server = PageServer::Current();
    return PageScripts::BridgeInstaller(server->CallURL(mId), server->DataURL(mId), Bridges());
}

bool LivePage::InstallBridgeScript()
{
    if (!AwaitSetUp())
        return false;
    nlohmann::json result;
    if (!mBridgeScript.empty())
        Command("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", mBridgeScript}}, result,
                Browser::kCommandTimeout);
    const std::string script = Installer();
    if (!Command("Page.addScriptToEvaluateOnNewDocument", {{"source", script}}, result, Browser::kCommandTimeout))
        return false;
    mBridgeScript = result.value("identifier", "");
    return true;
}

void LivePage::DidInstallBridge(const BridgeObject&)
{
    if (Live() == nullptr || !InstallBridgeScript() || mFrames.empty())
        return;
    // The current window gets the object too.
    nlohmann::json value;
    std::string error;
    Run(Installer(), mEvaluationTimeout, value, error);
}

void LivePage::SetViewSize(int width, int height)
{
    mWidth = std::max(1, width);
    mHeight = std::max(1, height);
    nlohmann::json result;
    if (Live() != nullptr)
        Command("Emulation.setDeviceMetricsOverride", Metrics(), result, Browser::kCommandTimeout);
}

bool LivePage::DoStartLoad(const std::string& html, const std::string& baseURL)
{
    mNavigation = 0;
    mAdopting = false;
    ForgetTakeOver();
    if (!Attach(html, baseURL))
        return false;
    mFrames.clear();
    PageServer* server = PageServer::Current();
    if (mWarmNavigation != 0) {
        // Loaded (or loading) already: the load is that navigation's.
        mAdopting = true;
        mNavigation = mWarmNavigation;
        mURL = server->PageURL(mId, ++mLoad);
        AskTakeOver();
        return true;
    }
    server->SetDocument(mId, html, PageServer::FolderOf(baseURL));
    mURL = server->PageURL(mId, ++mLoad);
    Live()->DropEvents(mSession);
    mNavigation = Live()->Send("Page.navigate", {{"url", mURL}}, mSession);
    return true;
}

bool LivePage::DoFinishLoad()
{
    Browser* browser = Live();
    if (browser == nullptr || mNavigation == 0)
        return Fail(mSession.empty() ? kNoPage : WhyGone());
    nlohmann::json navigated;
    std::string error;
    const int navigation = mNavigation;
    mNavigation = 0;
    if (!AwaitSetUp())
        return false;
    if (!Await(navigation, mLoadTimeout, navigated))
        return false;
    if (navigated.contains("errorText"))
        return Fail("the page did not load: " + navigated["errorText"].get<std::string>());
    if (!AwaitLoad(error)) {
        if (Live() != nullptr) {
            // A script that loops keeps the load from ending; stop it, and the load with it.
            if (!StopScript(mLoadTimeout))
                return false;
            nlohmann::json ignored;
            browser->Command("Page.stopLoading", nlohmann::json::object(), mSession, ignored, error, kStopTimeout);
            return Fail("the page did not finish loading within " + SecondsText(mLoadTimeout));
        }
        return Fail(error);
    }
    ReadFrames();
    if (mAdopting && !TakeOverDocument())
        return false;
    return true;
}

bool LivePage::AwaitLoad(std::string& error)
{
    // A document stopped while it loads (window.stop()) has no load event; nor has one that a
    // busy browser loaded into a new tab before the tab's page events were on. Either ends with
    // its main frame's stop, the document loaded. A stop of the document before is no end.
    for (;;) {
        Browser* browser = Live();
        if (browser == nullptr) {
            error = WhyGone();
            return false;
        }
        bool stopped = false;
        if (!browser->AwaitLoad(mSession, mTarget, mLoadTimeout, stopped, error))
            return false;
        if (!stopped || HasLoaded())
            return true;
    }
}

bool LivePage::HasLoaded()
{
    Browser* browser = Live();
    const std::string script =
        "location.href === " + nlohmann::json(mURL).dump() + " && document.readyState === 'complete'";
    nlohmann::json loaded;
    std::string error;
    return browser != nullptr &&
           AwaitValue(browser->Send("Runtime.evaluate", {{"expression", script}, {"returnByValue", true}}, mSession),
                      mEvaluationTimeout, loaded, error) &&
           loaded == true;
}

namespace {

// The bridge objects go on the window the document's scripts made; the host's scripts run once
// the document has the page's size (a size set on a loaded document reaches it a little later).
const char* const kSize = "[innerWidth, innerHeight]";

}  // namespace

void LivePage::ForgetTakeOver()
{
    if (Browser* browser = Holder())
        for (const int asked : {mFrameTree, mTakeOver})
            if (asked != 0)
                browser->IgnoreReply(asked);
    mFrameTree = mTakeOver = 0;
}

void LivePage::AskTakeOver()
{
    Browser* browser = Live();
    if (browser == nullptr || !browser->HasEvent(mSession, "Page.loadEventFired"))
        return;
    mFrameTree = browser->Send("Page.getFrameTree", nlohmann::json::object(), mSession);
    mTakeOver = browser->Send("Runtime.evaluate",
                              {{"expression", Installer() + "\n" + kSize}, {"returnByValue", true}}, mSession);
}

bool LivePage::TakeOverDocument()
{
    mAdopting = false;
    const nlohmann::json wanted = nlohmann::json::array({mWidth, mHeight});
    nlohmann::json given;
    std::string error;
    const int asked = mTakeOver;
    mTakeOver = 0;
    if (asked != 0 ? !AwaitValue(asked, mEvaluationTimeout, given, error)
                   : !Run(Installer() + "\n" + kSize, mEvaluationTimeout, given, error))
        return Fail(error);
    for (int tries = 0; given != wanted && tries < kSizeTries; ++tries)
        if (!Run(kSize, mEvaluationTimeout, given, error))
            return Fail(error);
    return true;
}

void LivePage::ReadFrames()
{
    nlohmann::json tree;
    mFrames.clear();
    const int asked = mFrameTree;
    mFrameTree = 0;
    const bool read = asked != 0 && Live() != nullptr
                          ? Await(asked, Browser::kCommandTimeout, tree)
                          : Command("Page.getFrameTree", nlohmann::json::object(), tree, Browser::kCommandTimeout);
    if (read)
        AddFrames(tree.value("frameTree", nlohmann::json::object()), mFrames);
}

bool LivePage::Run(const std::string& expression, double timeout, nlohmann::json& value, std::string& error)
{
    Browser* browser = Live();
    if (browser == nullptr || mFrames.empty()) {
        error = browser == nullptr && !mSession.empty() ? WhyGone() : kNoPage;
        return false;
    }
    return AwaitValue(browser->Send("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, mSession),
                      timeout, value, error);
}

bool LivePage::AwaitValue(int id, double timeout, nlohmann::json& value, std::string& error)
{
    Browser* browser = Live();
    nlohmann::json result;
    if (browser == nullptr) {
        error = WhyGone();
        return false;
    }
    if (!browser->AwaitReply(id, timeout, result, error)) {
        if (Live() == nullptr)
            return false;
        if (!StopScript(timeout)) {
            browser->IgnoreReply(id);
            error = mHung;
            return false;
        }
        nlohmann::json ignored;
        std::string stopError;
        browser->AwaitReply(id, kStopTimeout, ignored, stopError);
        error = "the script did not finish within " + SecondsText(timeout);
        return false;
    }
    if (result.contains("exceptionDetails")) {
        error = ExceptionText(result["exceptionDetails"]);
        return false;
    }
    value = result.value("result", nlohmann::json::object()).value("value", nlohmann::json());
    return true;
}

Evaluation LivePage::DoEvaluate(const std::string& script)
{
    Evaluation evaluation;
    nlohmann::json text;
    if (!Run(PageScripts::Evaluation(script), mEvaluationTimeout, text, evaluation.error))
        return evaluation;
    nlohmann::json wire;
    const WireRead read = text.is_string() ? ReadWireJson(text.get<std::string>(), WireNesting{kMaxWireDepth, 1}, wire)
                                           : WireRead::NotJson;
    if (read == WireRead::NotJson) {
        evaluation.error = "the page answered no value";
        return evaluation;
    }
    std::optional<Value> value = read == WireRead::Read ? FromWire(wire) : std::nullopt;
    if (!value) {
        evaluation.error = "the page's value nests deeper than " + std::to_string(kMaxWireDepth) + " arrays";
        return evaluation;
    }
    evaluation.ok = true;
    evaluation.value = std::move(*value);
    return evaluation;
}

void LivePage::DoPost(const std::string& script)
{
    Browser* browser = Live();
    // Its value is dropped in the page too: an object would otherwise be kept there for a
    // reference that nobody reads.
    if (browser != nullptr && !mFrames.empty())
        browser->IgnoreReply(browser->Send("Runtime.evaluate", {{"expression", script + "\n;void 0"}}, mSession));
}

bool LivePage::DoSetWindowValue(const std::string& key, const Value& value)
{
    if (IsInCall()) {
        mCallWindowValues.emplace_back(key, ToWire(value));
        return true;
    }
    const std::string wire = ToWire(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    nlohmann::json ignored;
    std::string error;
    return Run(PageScripts::WindowValue(key, wire), mEvaluationTimeout, ignored, error) || Fail(error);
}

std::string LivePage::AnswerCall(const std::string& object, const std::string& method, std::vector<Value> arguments)
{
    mCallWindowValues.clear();
    std::string reply = "{\"v\":" + WireText(DispatchCall(object, method, std::move(arguments)));
    if (!mCallWindowValues.empty()) {
        nlohmann::json sets = nlohmann::json::array();
        for (auto& [key, value] : mCallWindowValues)
            sets.push_back({key, std::move(value)});
        reply += ",\"s\":" + sets.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        mCallWindowValues.clear();
    }
    return reply + "}";
}

bool LivePage::WriteBase64(const nlohmann::json& result, const std::string& path)
{
    return WriteBytes(DecodeBase64(result.value("data", "")), path);
}

bool LivePage::WriteBytes(const std::string& bytes, const std::string& path)
{
    if (bytes.empty())
        return Fail("the browser gave nothing to write to " + path);
    std::string error;
    return CF::WriteFileBytes(path, bytes, &error) || Fail(error);
}

bool LivePage::RenderPNG(const std::string& path, int width, int height)
{
    if (mFrames.empty())
        return Fail(kNoPage);
    SetViewSize(width, height);
    nlohmann::json shot;
    // A page behind the browser's other pages draws no frames, and its capture would wait for
    // one until it timed out: it comes to the front first.
    nlohmann::json ignored;
    Command("Page.bringToFront", nlohmann::json::object(), ignored, mEvaluationTimeout);
    return Command("Page.captureScreenshot", {{"format", "png"}}, shot, mEvaluationTimeout) &&
           WriteBase64(shot, path);
}

bool LivePage::RenderPDF(const std::string& path, const PrintInfo& print)
{
    if (mFrames.empty())
        return Fail(kNoPage);
    const nlohmann::json params = {{"paperWidth", print.paperWidth / kPointsPerInch},
                                   {"paperHeight", print.paperHeight / kPointsPerInch},
                                   {"marginTop", print.top / kPointsPerInch},
                                   {"marginLeft", print.left / kPointsPerInch},
                                   {"marginBottom", print.bottom / kPointsPerInch},
                                   {"marginRight", print.right / kPointsPerInch}};
    nlohmann::json rows, layout;
    std::string error;
    if (!Run(PageScripts::LongTableRows(), mEvaluationTimeout, rows, error))
        return Fail(error);
    if (rows.is_number() && rows.get<long>() > kShortTable) {
        if (!MeasurePrint(print, layout))
            return false;
        const std::vector<long> starts = layout.value("starts", std::vector<long>());
        if (starts.size() >= kPagesAPrint) {
            std::string pdf;
            if (!PrintInParts(params, layout, pdf))
                return false;
            if (!pdf.empty())
                return WriteBytes(pdf, path);
        }
    }
    nlohmann::json pdf;
    return Print(params, pdf) && WriteBase64(pdf, path);
}

bool LivePage::MeasurePrint(const PrintInfo& print, nlohmann::json& layout)
{
    nlohmann::json metrics = Metrics(), ignored;
    metrics["width"] = std::max(1, int((print.paperWidth - print.left - print.right) * kPixelsPerPoint));
    std::string error;
    const bool measured =
        Command("Emulation.setEmulatedMedia", {{"media", "print"}}, ignored, mEvaluationTimeout) &&
        Command("Emulation.setDeviceMetricsOverride", metrics, ignored, mEvaluationTimeout) &&
        (Run(PageScripts::PrintedPages((print.paperHeight - print.top - print.bottom) * kPixelsPerPoint),
             mEvaluationTimeout, layout, error) ||
         Fail(error));
    const bool restored =
        Command("Emulation.setDeviceMetricsOverride", Metrics(), ignored, mEvaluationTimeout) &&
        Command("Emulation.setEmulatedMedia", {{"media", ""}}, ignored, mEvaluationTimeout);
    return measured && restored;
}

bool LivePage::PrintPart(const nlohmann::json& params, long first, long end, const std::vector<double>& widths,
                         std::string& pdf)
{
    nlohmann::json ignored, printed;
    std::string error;
    if (!Run(PageScripts::ShowRows(first, end, widths), mEvaluationTimeout, ignored, error))
        return Fail(error);
    if (!Print(params, printed))
        return false;
    pdf = DecodeBase64(printed.value("data", ""));
    // What a print laid out stays in the renderer until its garbage is collected: without this
    // the parts' prints took as much as printing the rows at once.
    return Command("HeapProfiler.collectGarbage", nlohmann::json::object(), ignored, mEvaluationTimeout);
}

bool LivePage::PrintParts(const nlohmann::json& params, const nlohmann::json& layout, std::vector<PdfPart>& parts)
{
    const std::vector<long> starts = layout.value("starts", std::vector<long>());
    const std::vector<double> widths = layout.value("widths", std::vector<double>());
    const size_t pages = starts.size() + 1;
    for (size_t page = 0; page < pages; page += kPagesAPrint) {
        const bool last = page + kPagesAPrint >= pages;
        PdfPart part;
        if (!PrintPart(params, page == 0 ? 0 : starts[page - 1],
                       last ? layout.value("rows", 0L) : starts[page + kPagesAPrint - 1], widths, part.pdf))
            return false;
        // A part whose pages are not those foreseen is no part of the whole print's pages.
        part.pages = PdfPageCount(part.pdf);
        if (last ? part.pages < int(pages - page) : part.pages != int(kPagesAPrint)) {
            parts.clear();
            return true;
        }
        parts.push_back(std::move(part));
    }
    return true;
}

bool LivePage::PrintInParts(const nlohmann::json& params, const nlohmann::json& layout, std::string& pdf)
{
    std::vector<PdfPart> parts;
    const bool printed = PrintParts(params, layout, parts);
    nlohmann::json ignored;
    std::string error;
    if (!Run(PageScripts::EndShowArea(), mEvaluationTimeout, ignored, error) && printed)
        return Fail(error);
    return printed && (parts.empty() || JoinPdfParts(parts, pdf, error) || Fail(error));
}

bool LivePage::PrintArea(const PageArea& area, nlohmann::json& pdf)
{
    // Printing lays the document out anew from its top: the document itself is moved so that
    // the area starts the first page. A CSS pixel is a point at four thirds of print's scale, so
    // that the page is laid out at the view's width.
    nlohmann::json ignored;
    std::string error;
    if (!Run(PageScripts::ShowAreaAtOrigin(area.x, area.y, area.height), mEvaluationTimeout, ignored, error))
        return Fail(error);
    const bool printed = Print({{"paperWidth", area.width / kPointsPerInch},
                                {"paperHeight", area.height / kPointsPerInch},
                                {"scale", kPixelsPerPoint},
                                {"marginTop", 0},
                                {"marginLeft", 0},
                                {"marginBottom", 0},
                                {"marginRight", 0},
                                {"pageRanges", "1"}},
                               pdf);
    const bool restored = Run(PageScripts::EndShowArea(), mEvaluationTimeout, ignored, error);
    return printed && (restored || Fail(error));
}

bool LivePage::RenderAreaPDF(const std::string& path, const PageArea& area)
{
    if (mFrames.empty())
        return Fail(kNoPage);
    if (IsInCall())
        return Fail(kBlockedInCall);
    nlohmann::json ignored, pdf;
    if (!Command("Emulation.setEmulatedMedia", {{"media", "screen"}}, ignored, mEvaluationTimeout))
        return false;
    const bool printed = PrintArea(area, pdf);
    const bool restored = Command("Emulation.setEmulatedMedia", {{"media", ""}}, ignored, mEvaluationTimeout);
    return printed && restored && WriteBase64(pdf, path);
}

}  // namespace Web
