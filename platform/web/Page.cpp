#include "web/Page.h"

#include <algorithm>
#include <set>
#include <vector>

#include "appkit/RunLoop.h"
#include "web/Browser.h"
#include "web/LivePage.h"

namespace Web {
namespace {

Page::Factory& CurrentFactory()
{
    static Page::Factory factory;
    return factory;
}

// Every page of the process, for ServeCalls; main thread only.
std::set<Page*>& AllPages()
{
    static std::set<Page*> pages;
    return pages;
}

// Counts a page's wait in a call for as long as the handler runs.
struct InCall {
    int& depth;
    explicit InCall(int& d) : depth(d) { ++depth; }
    ~InCall() { --depth; }
};

// Calls a page makes while the host waits for no page are served on each turn of the run loop.
void ServeCallsEachTurn()
{
    static const int hook = AppKit::RunLoop::Main().AddTurnHook([] { Page::ServeCalls(); });
    (void)hook;
}

}  // namespace

Page::Page()
{
    ServeCallsEachTurn();
    AllPages().insert(this);
}

Page::~Page()
{
    LoadTogether::Forget(this);
    AllPages().erase(this);
}

std::unique_ptr<Page> Page::Create()
{
    const Factory& factory = CurrentFactory();
    return factory ? factory() : std::make_unique<LivePage>();
}

void Page::SetFactory(Factory factory) { CurrentFactory() = std::move(factory); }

namespace {

Page::Document& Warm()
{
    static Page::Document warm;
    return warm;
}

}  // namespace

void Page::KeepWarm(const std::string& html, const std::string& baseURL)
{
    Document& warm = Warm();
    if (warm.html != html || warm.baseURL != baseURL)
        warm = Document{html, baseURL};
}

const Page::Document& Page::WarmDocument() { return Warm(); }

void Page::ServeCalls()
{
    Browser::ServeWaitingCalls();
    const std::set<Page*> pages = AllPages();
    for (Page* page : pages)
        if (AllPages().count(page) != 0)
            page->RunQueuedCalls();
}

void Page::NoteRefusedCall(std::string why)
{
    std::lock_guard<std::mutex> lock(mQueueLock);
    mRefusedCall = std::move(why);
}

std::string Page::RefusedCall() const
{
    std::lock_guard<std::mutex> lock(mQueueLock);
    return mRefusedCall;
}

bool Page::LoadHTML(const std::string& html, const std::string& baseURL)
{
    if (IsInCall()) {
        Fail(kBlockedInCall);
        return LoadFailed();
    }
    const int load = ++mLoads;
    mError.clear();
    mLoadError.clear();
    NoteRefusedCall(std::string());
    if (!DoStartLoad(html, baseURL))
        return LoadFailed();
    if (LoadTogether::Open()) {
        LoadTogether::Add(this, load);
        return true;
    }
    return FinishLoad(load);
}

bool Page::FinishLoad(int load)
{
    if (mLoads != load)
        return true;
    if (!DoFinishLoad())
        return LoadFailed();
    RunQueuedCalls();
    for (const WebFrame& frame : Frames()) {
        // A page loaded meanwhile ends the reports of this one.
        if (!mFrameLoaded || mLoads != load)
            break;
        mFrameLoaded(frame);
    }
    return true;
}

bool Page::LoadFailed()
{
    mLoadError = mError;
    return false;
}

Evaluation Page::Evaluate(const std::string& script)
{
    if (IsInCall())
        return Evaluation{false, Value(), kBlockedInCall};
    Evaluation result = DoEvaluate(script);
    RunQueuedCalls();
    return result;
}

void Page::Post(const std::string& script)
{
    if (!IsInCall())
        DoPost(script);
}

bool Page::SetWindowValue(const std::string& key, const Value& value) { return DoSetWindowValue(key, value); }

void Page::InstallBridge(BridgeObject bridge)
{
    {
        std::lock_guard<std::mutex> lock(mQueueLock);
        for (auto it = mBridges.begin(); it != mBridges.end(); ++it)
            if (it->name == bridge.name) {
                mBridges.erase(it);
                break;
            }
        mBridges.push_back(std::move(bridge));
    }
    DidInstallBridge(mBridges.back());
}

const BridgeObject* Page::FindBridge(const std::string& name) const
{
    for (const BridgeObject& bridge : mBridges)
        if (bridge.name == name)
            return &bridge;
    return nullptr;
}

bool Page::CallKindOf(const std::string& object, const std::string& method, BridgeObject::Call& kind) const
{
    std::lock_guard<std::mutex> lock(mQueueLock);
    const BridgeObject* bridge = FindBridge(object);
    if (bridge == nullptr)
        return false;
    const auto found = bridge->methods.find(method);
    if (found == bridge->methods.end())
        return false;
    kind = found->second;
    return true;
}

Value Page::DispatchCall(const std::string& object, const std::string& method, std::vector<Value> arguments)
{
    BridgeObject::Call kind;
    if (!CallKindOf(object, method, kind))
        return Value::String("");
    if (kind == BridgeObject::Call::Queued) {
        EnqueueCall(object, method, std::move(arguments));
        return Value();
    }
    const BridgeObject* bridge = FindBridge(object);
    if (!bridge->handler)
        return Value();
    const BridgeObject::Handler handler = bridge->handler;  // the handler may replace the bridge
    InCall waiting(mInCall);
    return handler(method, arguments);
}

bool Page::HasSamplesMethod(const std::string& object, const std::string& method) const
{
    std::lock_guard<std::mutex> lock(mQueueLock);
    const BridgeObject* bridge = FindBridge(object);
    return bridge != nullptr && bridge->samples && bridge->sampleMethods.count(method) != 0;
}

std::vector<double> Page::DispatchSamples(const std::string& object, const std::string& method,
                                          const std::vector<Value>& arguments)
{
    std::vector<double> samples;
    if (!HasSamplesMethod(object, method))
        return samples;
    const BridgeObject::SamplesHandler handler = FindBridge(object)->samples;  // it may replace the bridge
    InCall waiting(mInCall);
    if (!handler(method, arguments, samples))
        samples.clear();
    return samples;
}

void Page::EnqueueCall(const std::string& object, const std::string& method, std::vector<Value> arguments)
{
    std::lock_guard<std::mutex> lock(mQueueLock);
    mQueue.push_back(QueuedCall{object, method, std::move(arguments)});
}

void Page::RunQueuedCalls()
{
    if (IsInCall() || mRunningQueue)
        return;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(mRunningQueue);
    for (;;) {
        QueuedCall call;
        BridgeObject::Handler handler;
        {
            std::lock_guard<std::mutex> lock(mQueueLock);
            if (mQueue.empty())
                break;
            call = std::move(mQueue.front());
            mQueue.pop_front();
            const BridgeObject* bridge = FindBridge(call.object);
            if (bridge != nullptr)
                handler = bridge->handler;
        }
        if (handler)
            handler(call.method, call.arguments);
    }
}

bool Page::Fail(std::string error)
{
    mError = std::move(error);
    return false;
}

}  // namespace Web

namespace Web {
namespace {

// The outermost LoadTogether that is open, and every one alive (open, or finishing its loads).
LoadTogether*& OpenTogether()
{
    static LoadTogether* open = nullptr;
    return open;
}

std::set<LoadTogether*>& LiveTogethers()
{
    static std::set<LoadTogether*> live;
    return live;
}

}  // namespace

LoadTogether::LoadTogether()
{
    LiveTogethers().insert(this);
    if (OpenTogether() == nullptr)
        OpenTogether() = this;
}

LoadTogether::~LoadTogether()
{
    if (OpenTogether() == this) {
        OpenTogether() = nullptr;
        // A page's reports may load pages (together or not) or end them: each load is taken
        // off the list before it is finished, and a page that goes is taken off by Forget.
        while (!mStarted.empty()) {
            const std::pair<Page*, int> next = mStarted.front();
            mStarted.erase(mStarted.begin());
            next.first->FinishLoad(next.second);
        }
    }
    LiveTogethers().erase(this);
}

bool LoadTogether::Open() { return OpenTogether() != nullptr; }

void LoadTogether::Add(Page* page, int load) { OpenTogether()->mStarted.emplace_back(page, load); }

void LoadTogether::Forget(Page* page)
{
    for (LoadTogether* together : LiveTogethers()) {
        auto& started = together->mStarted;
        started.erase(std::remove_if(started.begin(), started.end(),
                                     [page](const std::pair<Page*, int>& load) { return load.first == page; }),
                      started.end());
    }
}

}  // namespace Web
