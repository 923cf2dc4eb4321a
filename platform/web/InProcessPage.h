// A page without a browser, for tests: it keeps the HTML it was given and the scripts it was
// asked to run, answers scripts from a table or a callback, and lets a test play the page's
// calls to the host. Its frames are the main frame and the page's frame elements; it renders
// nothing but, when a test gives it one, the PDF it prints, and then a blank page of the size
// of each area it is asked for.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "web/Page.h"

namespace Web {

class InProcessPage : public Page {
public:
    using Answerer = std::function<Evaluation(const std::string& script)>;
    static constexpr const char* kCannotRender = "an in-process page renders nothing";

    struct Load {
        std::string html;
        std::string baseURL;
    };

    const std::vector<Load>& Loads() const { return mLoads; }
    const std::vector<std::string>& Scripts() const { return mScripts; }
    // The window's properties the host set since the last load, bridges aside.
    const std::map<std::string, Value>& WindowValues() const { return mWindowValues; }
    // The bridge objects on the current window: those installed before or since its load.
    bool WindowHasBridge(const std::string& name) const;

    // A script found in the table answers its value; others go to the answerer, or answer
    // undefined without one.
    void SetAnswer(const std::string& script, Value value) { mAnswers[script] = std::move(value); }
    void SetAnswerer(Answerer answerer) { mAnswerer = std::move(answerer); }
    // What the loaded page prints; without it printing fails with kCannotRender.
    void SetPrintedPdf(std::string pdf) { mPrintedPdf = std::move(pdf); }
    // The areas asked for as PDF, in order.
    const std::vector<PageArea>& RenderedAreas() const { return mAreas; }

    // The page's script calls a bridge object, as a loaded page would; it answers what the
    // page would get back (undefined for queued calls, "" for an unknown name or object).
    Value PlayCall(const std::string& object, const std::string& method, std::vector<Value> arguments);

    std::vector<WebFrame> Frames() const override;
    void SetViewSize(int, int) override {}
    bool RenderPNG(const std::string& path, int width, int height) override;
    bool RenderPDF(const std::string& path, const PrintInfo& print) override;
    bool RenderAreaPDF(const std::string& path, const PageArea& area) override;

protected:
    bool DoStartLoad(const std::string& html, const std::string& baseURL) override;
    Evaluation DoEvaluate(const std::string& script) override;
    bool DoSetWindowValue(const std::string& key, const Value& value) override;
    void DidInstallBridge(const BridgeObject&) override {}

private:
    std::vector<Load> mLoads;
    std::vector<std::string> mScripts;
    std::map<std::string, Value> mAnswers;
    Answerer mAnswerer;
    std::map<std::string, Value> mWindowValues;
    std::string mPrintedPdf;
    std::vector<PageArea> mAreas;
};

}  // namespace Web
