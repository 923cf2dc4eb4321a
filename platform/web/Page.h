// One page of HTML and script, as the host drives it: load it, hear when its frames have
// loaded, run scripts in it and read their values, give its script objects that call the host
// (bridge objects), and render it to PNG or PDF.
//
// Calls from the page to the host (the re-entrancy rule). A page that is blocked in a call to
// the host cannot run a host script, in any multi-process browser. So:
// - a method that needs a value is answered at once: its handler runs on the host's main
//   thread while the page waits, and must not call back into that page (an evaluation or a
//   load of a page that is waiting in a call fails at once with kBlockedInCall);
// - a method that needs no value is acknowledged at once (the page's call answers undefined)
//   and queued per page; the queue runs, in order, on the main thread when the page is idle:
//   before the host's next evaluation on that page returns, or at the next ServeCalls().
// A page calls the host from its own scripts too (during load, from its timers): those calls
// are served whenever the main thread waits for a page, or by ServeCalls(), which the run loop
// runs on each of its turns.
//
// No wait is unbounded: a live page's load waits 30 s, a script 10 s (then it is stopped), a
// picture or a print 10 s, the browser 20 s to start and 10 s for any other answer, and a page
// 30 s for the host to serve a value call; each failure comes back as false or an Evaluation
// with its reason.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "web/Value.h"
#include "web/WebDelegates.h"

namespace Web {

// What an evaluation gave: its value, or why there is none (the page's exception text when
// the script threw, else the failure).
struct Evaluation {
    bool ok = false;
    Value value;
    std::string error;
};

// A script object that the page sees on every new window, before the page's own scripts run.
struct BridgeObject {
    enum class Call { Value, Queued };
    using Handler = std::function<Value(const std::string& method, const std::vector<Value>& arguments)>;
    // Fills the samples a samples method answers; false when it has none to give.
    using SamplesHandler = std::function<bool(const std::string& method, const std::vector<Value>& arguments,
                                              std::vector<double>& samples)>;

    std::string name;                      // the window's property, e.g. "lumo_proxy"
    std::map<std::string, Call> methods;  // what the page may call; other names answer ""
    Handler handler;
    // Value methods whose numbers reach the page as a typed array, sent as binary beside the
    // calls (the page's script gets a Float32Array or Float64Array, or "" on failure).
    std::set<std::string> sampleMethods;
    SamplesHandler samples;
};

// Paper and margins in points; A4 with half-inch margins unless the print info says otherwise.
struct PrintInfo {
    double paperWidth = 595.28;
    double paperHeight = 841.89;
    double top = 36, left = 36, bottom = 36, right = 36;
};

// A part of what the page shows, in CSS pixels from the top-left corner of its view as the page
// is scrolled now.
struct PageArea {
    double x = 0, y = 0, width = 0, height = 0;
};

class Page {
public:
    using FrameLoaded = std::function<void(const WebFrame& frame)>;
    using Factory = std::function<std::unique_ptr<Page>()>;

    static constexpr const char* kBlockedInCall = "the page is waiting for the host in a call";
    static constexpr const char* kNoPage = "no page is loaded";

    Page();
    virtual ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // A new page from the process's factory: a live page unless a test set another.
    static std::unique_ptr<Page> Create();
    // Replaces the factory; an empty one restores the live page.
    static void SetFactory(Factory factory);
    // Serves, without waiting, the calls that pages made while the host was not waiting for
    // them, and runs the queued calls of every idle page.
    static void ServeCalls();
    // The document that pages made ahead load before anyone asks for it, so that a new page's
    // first load of that very document (the same text and base URL) takes one as it stands:
    // its scripts have run, the bridge objects come after them. For documents whose scripts
    // call no bridge object while they load. Empty html keeps none warm.
    static void KeepWarm(const std::string& html, const std::string& baseURL);
    struct Document {
        std::string html;
        std::string baseURL;
    };
    static const Document& WarmDocument();

    // Loads the HTML; baseURL (a file:// folder URL, may be empty) resolves relative names.
    // Returns when the page has loaded (true) or failed to (false, with the reason in
    // LastError()); the frame-loaded callback hears of each frame first, the main frame first.
    // While a LoadTogether lives, it returns once the load has started (see there).
    bool LoadHTML(const std::string& html, const std::string& baseURL);
    // Why the last load failed; empty while it has not (or is still under way).
    const std::string& LoadError() const { return mLoadError; }
    void SetFrameLoaded(FrameLoaded callback) { mFrameLoaded = std::move(callback); }
    // The frames of the page last loaded: the main frame, then the frame elements in order.
    virtual std::vector<WebFrame> Frames() const = 0;

    // Runs the script in the page's main frame; then the page's queued calls run.
    Evaluation Evaluate(const std::string& script);
    // Has the page run the script without waiting for it: the page runs it before whatever
    // is sent to it later, and its value or failure is not read. The host meanwhile goes on
    // (with another page, say); its calls are served whenever it waits. Nothing runs while
    // the page waits in a call.
    void Post(const std::string& script);
    // Gives the page's window a property: at once, or, while the page waits in a call, just
    // before that call returns to the page.
    bool SetWindowValue(const std::string& key, const Value& value);

    // Installs the object on the window of every page loaded from now on, and on the current one.
    void InstallBridge(BridgeObject bridge);
    const std::vector<BridgeObject>& Bridges() const { return mBridges; }

    // The size the page is laid out at, in CSS pixels; 800 by 600 until set.
    virtual void SetViewSize(int width, int height) = 0;

    // Renders what the page shows at that size as PNG, or prints it as PDF.
    virtual bool RenderPNG(const std::string& path, int width, int height) = 0;
    virtual bool RenderPDF(const std::string& path, const PrintInfo& print) = 0;
    // The part of the page within the area as the screen shows it (screen media, backgrounds),
    // on one PDF page of the area's size, a CSS pixel to a point; the page is left as it was.
    virtual bool RenderAreaPDF(const std::string& path, const PageArea& area) = 0;

    // A call from the page to one of its bridge objects, on the main thread: a value method's
    // handler runs now; a queued one waits for the page to be idle (see above).
    Value DispatchCall(const std::string& object, const std::string& method, std::vector<Value> arguments);
    // Whether the page's bridge has the method, and how it is called; false for unknown names.
    bool CallKindOf(const std::string& object, const std::string& method, BridgeObject::Call& kind) const;
    // Whether the page's bridge gives samples by that method; any thread.
    bool HasSamplesMethod(const std::string& object, const std::string& method) const;
    // A samples call from the page, on the main thread, as a value call is served; empty
    // samples for a method that has none.
    std::vector<double> DispatchSamples(const std::string& object, const std::string& method,
                                        const std::vector<Value>& arguments);
    // Adds a call that needs no value; any thread.
    void EnqueueCall(const std::string& object, const std::string& method, std::vector<Value> arguments);
    // Runs the queued calls in order, unless the page waits in a call or they run already.
    void RunQueuedCalls();
    bool IsInCall() const { return mInCall > 0; }

    // Why the page server last refused a call of this page (a body past what a call may carry),
    // which the page's script cannot tell the host; empty when none since the page last loaded.
    // Any thread.
    void NoteRefusedCall(std::string why);
    std::string RefusedCall() const;

    const std::string& LastError() const { return mError; }
    // Why the page can no longer show anything (its browser has exited); empty while it can.
    virtual std::string LostReason() const { return {}; }

protected:
    // Starts the load; false when it cannot start. DoFinishLoad waits until it has loaded.
    virtual bool DoStartLoad(const std::string& html, const std::string& baseURL) = 0;
    virtual bool DoFinishLoad() { return true; }
    virtual Evaluation DoEvaluate(const std::string& script) = 0;
    // Sends the script; a page that cannot run it later evaluates it now.
    virtual void DoPost(const std::string& script) { DoEvaluate(script); }
    virtual bool DoSetWindowValue(const std::string& key, const Value& value) = 0;
    // The bridge has just been added to Bridges().
    virtual void DidInstallBridge(const BridgeObject& bridge) = 0;
    bool Fail(std::string error);

private:
    struct QueuedCall {
        std::string object;
        std::string method;
        std::vector<Value> arguments;
    };
    friend class LoadTogether;
    const BridgeObject* FindBridge(const std::string& name) const;
    // Waits for the load numbered load and reports its frames, unless another load followed.
    bool FinishLoad(int load);
    bool LoadFailed();

    FrameLoaded mFrameLoaded;
    int mLoads = 0;
    std::vector<BridgeObject> mBridges;
    mutable std::mutex mQueueLock;  // guards mQueue, mRefusedCall and the bridge table the server reads
    std::deque<QueuedCall> mQueue;
    std::string mRefusedCall;
    int mInCall = 0;
    bool mRunningQueue = false;
    std::string mError;
    std::string mLoadError;
};

// The loads of pages that show together (the plots of one view): while one of these lives,
// a page's load only starts, so that the browser loads the pages side by side; when it ends,
// each load is waited for and its frames reported, in the order the loads started, as if they
// had been made one after the other. Main thread only; one may live inside another, and the
// outermost one ends them.
class LoadTogether {
public:
    LoadTogether();
    ~LoadTogether();
    LoadTogether(const LoadTogether&) = delete;
    LoadTogether& operator=(const LoadTogether&) = delete;

private:
    friend class Page;
    // Whether loads only start now; a page's started load is then finished at the end.
    static bool Open();
    static void Add(Page* page, int load);
    static void Forget(Page* page);

    std::vector<std::pair<Page*, int>> mStarted;  // each page and the number of its load
};

}  // namespace Web
