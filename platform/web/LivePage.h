// A page in the process's headless Chromium: one browser target per page, its document and
// the bundle files it names served by the page server, its bridge objects put on every new
// window by a script the browser runs before the page's own. Loads wait at most the load
// timeout; evaluations, pictures and prints the evaluation timeout, a print longer while the
// browser's renderers are seen working on it. A script still running then is stopped. A page that leaves a call unanswered past its limit, or the stop of its
// script, while its browser answers (the page's renderer hangs, or was stopped) is given up
// for good: every later call on it fails at once with that reason, as on a browser given up.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "web/Page.h"
#include "web/PdfPages.h"

namespace Web {

class Browser;

class LivePage : public Page {
public:
    static constexpr double kLoadTimeout = 30;        // seconds
    static constexpr double kEvaluationTimeout = 10;  // seconds

    LivePage();
    ~LivePage() override;

    void SetTimeouts(double load, double evaluation);
    // The URL of the current document, with the process's secret; empty before the first load.
    const std::string& URL() const { return mURL; }
    // Where the page's bridge objects post their calls; empty before the first load.
    std::string CallURL() const;

    std::vector<WebFrame> Frames() const override { return mFrames; }
    void SetViewSize(int width, int height) override;
    bool RenderPNG(const std::string& path, int width, int height) override;
    bool RenderPDF(const std::string& path, const PrintInfo& print) override;
    bool RenderAreaPDF(const std::string& path, const PageArea& area) override;
    std::string LostReason() const override;

    // The reply to a call of the page's script that needs a value (the server's JSON); on the
    // main thread, while the page waits.
    std::string AnswerCall(const std::string& object, const std::string& method, std::vector<Value> arguments);

protected:
    bool DoStartLoad(const std::string& html, const std::string& baseURL) override;
    bool DoFinishLoad() override;
    Evaluation DoEvaluate(const std::string& script) override;
    void DoPost(const std::string& script) override;
    bool DoSetWindowValue(const std::string& key, const Value& value) override;
    void DidInstallBridge(const BridgeObject& bridge) override;

private:
    // The browser, when this page's target is in it and it is alive, whether the page answers
    // or not.
    Browser* Holder() const;
    // The browser, when it holds this page's target and the page has not been given up.
    Browser* Live() const;
    // Why the page is gone: that it did not answer, else the reason its browser was given up
    // for, or that it exited (as it has when another has started since).
    std::string WhyGone() const;
    // Waits for the reply to the page's command sent as id; one left unanswered past the
    // timeout, the browser answering, gives the page up. whileWorking: the wait goes on, a
    // timeout at a time, while the browser's renderers are seen working (up to kLongestPrint).
    bool Await(int id, double timeout, nlohmann::json& result, bool whileWorking = false);
    // Prints the page with the browser's parameters (paper, margins and pages; the rest is the
    // same for every print): a long page's print is waited for while its renderer works on it.
    bool Print(nlohmann::json params, nlohmann::json& pdf);
    // Gives the page up, as one that left a call of that limit unanswered; fails with why.
    bool GiveUp(double timeout);
    // Stops the page's script after a call of that limit went unanswered; false when the page
    // leaves the stop unanswered too, which gives it up.
    bool StopScript(double timeout);
    // Makes the page's target in the running browser (starting one) unless it is there; a
    // new target may hold the document already (Page::KeepWarm).
    bool Attach(const std::string& html, const std::string& baseURL);
    // A document loaded ahead becomes this page's: its bridge objects and its size. When it
    // has loaded already, what that takes is asked at once, beside the page's set-up.
    void AskTakeOver();
    // What was asked for a take-over that did not come about is let go.
    void ForgetTakeOver();
    bool TakeOverDocument();
    // The value of an evaluation sent as id, or why there is none (a script still running at
    // the timeout is stopped).
    bool AwaitValue(int id, double timeout, nlohmann::json& value, std::string& error);
    bool Command(const std::string& method, const nlohmann::json& params, nlohmann::json& result,
                 double timeout);
    // Runs the expression in the main frame; its value (by value) in result, or the failure.
    bool Run(const std::string& expression, double timeout, nlohmann::json& value, std::string& error);
    // Waits until the document has loaded: its load event, or its main frame's stop with the
    // document loaded.
    bool AwaitLoad(std::string& error);
    // Whether the main frame holds the document last sent to it, loaded.
    bool HasLoaded();
    bool InstallBridgeScript();
    // Reads the answers to the commands that set up a new target; false when its bridge
    // script could not be added.
    bool AwaitSetUp();
    // The page's size as the browser's device metrics.
    nlohmann::json Metrics() const;
    // The script that puts the page's bridge objects on its window.
    std::string Installer() const;
    void ReadFrames();
    bool WriteBase64(const nlohmann::json& result, const std::string& path);
    bool WriteBytes(const std::string& bytes, const std::string& path);
    // The page's long table laid out as the print on that paper would lay it out
    // (PageScripts::PrintedPages); the page is put back to the screen after.
    bool MeasurePrint(const PrintInfo& print, nlohmann::json& layout);
    // The print of the long table's rows from first to end only, as PDF.
    bool PrintPart(const nlohmann::json& params, long first, long end, const std::vector<double>& widths,
                   std::string& pdf);
    // The print made a few pages at a time, each part starting where a page of the whole print
    // starts; none when a part's pages are not those of the whole print. The page is left
    // showing the last part.
    bool PrintParts(const nlohmann::json& params, const nlohmann::json& layout, std::vector<PdfPart>& parts);
    // Those parts joined into one PDF, the page put back after; empty when there are none.
    bool PrintInParts(const nlohmann::json& params, const nlohmann::json& layout, std::string& pdf);
    // The page printed on one page of the area's size, the area at its top-left corner, with
    // the media the page is shown in already set.
    bool PrintArea(const PageArea& area, nlohmann::json& pdf);

    int mId = 0;  // the page server's
    int mGeneration = 0;
    int mLoad = 0;
    int mSizing = 0;      // the ids of a new target's set-up commands; 0 once answered
    int mBridging = 0;
    int mNavigation = 0;  // the browser's id of the load's navigate command; 0 when none waits
    int mWarmNavigation = 0;  // a new target's load of the document, when it holds it already
    bool mAdopting = false;   // the load under way is that one
    int mFrameTree = 0;       // the ids of the take-over's questions asked ahead; 0 when not
    int mTakeOver = 0;
    int mWidth = 800;
    int mHeight = 600;
    double mLoadTimeout = kLoadTimeout;
    double mEvaluationTimeout = kEvaluationTimeout;
    std::string mTarget;
    std::string mSession;
    std::string mBridgeScript;  // its identifier in the browser
    std::string mURL;
    std::string mHung;  // why the page was given up
    std::vector<WebFrame> mFrames;
    std::vector<std::pair<std::string, nlohmann::json>> mCallWindowValues;
};

}  // namespace Web
