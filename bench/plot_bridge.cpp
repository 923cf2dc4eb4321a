// The plot's bridge: 100,000 samples from a float source through RequestPixData in-process
// (the proxy alone, and the whole dispatch with its conversion to script values), and the
// live page's round trip of 1,000,000 samples (the page asks, the host answers, the page has
// the numbers), as the page times it; the figure is the median of the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "plot/LumoProxyMac.h"
#include "support/FakeStreams.h"
#include "web/LivePage.h"

namespace {

using Web::Value;

// A proxy without a page, with "$a" over n samples.
class ProxyWithSource {
public:
    explicit ProxyWithSource(unsigned n)
    {
        mProxy = new KVD::LumoProxyMac(nullptr, true);
        mProxy->AddRef();
        mProxy->InitWithOwner(nullptr);
        CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(n));
        mProxy->SetEnumSource(KVD::String(L"$a"), ramp);
        ramp->Release();
    }
    ~ProxyWithSource() { mProxy->Release(); }
    KVD::LumoProxyMac& operator*() const { return *mProxy; }
    KVD::LumoProxyMac* operator->() const { return mProxy; }

private:
    KVD::LumoProxyMac* mProxy;
};

void RequestPixData100k(benchmark::State& state)
{
    ProxyWithSource proxy(100000);
    const KVD::String id(L"$a");
    std::vector<double> out;
    for (auto _ : state) {
        out.clear();
        proxy->RequestPixData(id, 0, 1, 100000, out);
        benchmark::DoNotOptimize(out.data());
    }
    if (out.size() != 100000)
        state.SkipWithError("short answer");
}
BENCHMARK(RequestPixData100k)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void RequestPixData100kDispatch(benchmark::State& state)
{
    ProxyWithSource proxy(100000);
    const std::vector<Value> arguments = {Value::String("$a"), Value::Number(0), Value::Number(1),
                                          Value::Number(100000)};
    for (auto _ : state) {
        const Value answer = proxy->Bridge()->Dispatch("RequestPixData", arguments);
        benchmark::DoNotOptimize(answer.AsArray().data());
    }
}
BENCHMARK(RequestPixData100kDispatch)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void LiveRoundTrip1M(benchmark::State& state)
{
    ProxyWithSource proxy(1000000);
    auto page = std::make_unique<Web::LivePage>();
    Web::WebScriptObject window(*page);
    proxy->ConnectWithWindowScriptObject(window);
    if (!page->LoadHTML("<p>bench</p>", "")) {
        state.SkipWithError(page->LastError().c_str());
        return;
    }
    const std::string pull =
        "(function () { var s = performance.now(); var a = lumo_proxy.RequestPixData('$a', 0, 1, 1000000);"
        " var ms = performance.now() - s; return a.length === 1000000 && a[999999] === 999999 ? ms : -1; })()";
    std::vector<double> times;
    for (auto _ : state) {
        const Web::Evaluation result = page->Evaluate(pull);
        if (!result.ok || result.value.AsNumber() < 0) {
            state.SkipWithError(result.ok ? "the page did not get the numbers" : result.error.c_str());
            return;
        }
        times.push_back(result.value.AsNumber());
    }
    std::sort(times.begin(), times.end());
    state.counters["median_page_ms"] = times[times.size() / 2];
}
BENCHMARK(LiveRoundTrip1M)->Unit(benchmark::kMillisecond)->Iterations(7)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
