// The live page in headless Chromium: starting the browser, a small call from the page to the
// host and back (median, as the page times it), and 100,000 numbers from the host to the page
// in one call, as the host times it. Beside them, a million samples made ready for the page's
// samples route, as 32-bit floats and as doubles.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "web/Browser.h"
#include "web/LivePage.h"
#include "web/Wire.h"

namespace {

using Web::Value;

// A page whose "host" object answers Echo(x) with x and Numbers(n) with 0..n-1.
std::unique_ptr<Web::LivePage> HostPage()
{
    auto page = std::make_unique<Web::LivePage>();
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.methods = {{"Echo", Web::BridgeObject::Call::Value}, {"Numbers", Web::BridgeObject::Call::Value}};
    bridge.handler = [](const std::string& method, const std::vector<Value>& arguments) {
        if (method == "Echo")
            return arguments.empty() ? Value() : arguments[0];
        std::vector<double> numbers(size_t(arguments.at(0).AsNumber()));
        for (size_t i = 0; i < numbers.size(); ++i)
            numbers[i] = double(i) * 0.5;
        return Value::Numbers(numbers);
    };
    page->InstallBridge(std::move(bridge));
    if (!page->LoadHTML("<p>bench</p>", ""))
        return nullptr;
    return page;
}

void BrowserStart(benchmark::State& state)
{
    std::string error;
    for (auto _ : state) {
        state.PauseTiming();
        Web::Browser::Shutdown();
        state.ResumeTiming();
        if (Web::Browser::Shared(error) == nullptr) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
}
BENCHMARK(BrowserStart)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The page makes 1,000 calls and answers the median of their times; beside it, the median of
// 1,000 bare synchronous requests that the server answers without the host (a missing file),
// the browser's own share of a call.
void CallRoundTrip(benchmark::State& state)
{
    const auto page = HostPage();
    if (page == nullptr) {
        state.SkipWithError("no page");
        return;
    }
    const auto median = [](const std::string& request) {
        return "(function () { var t = []; for (var i = 0; i < 1000; i++) { var s = performance.now(); " + request +
               "; t.push(performance.now() - s); } t.sort(function (a, b) { return a - b; }); return t[500]; })()";
    };
    const std::string call = median("host.Echo(i)");
    const std::string bare = median("var x = new XMLHttpRequest(); x.open('GET', 'none', false); x.send()");
    double callMedian = 0;
    for (auto _ : state) {
        const Web::Evaluation result = page->Evaluate(call);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        callMedian = result.value.AsNumber();
    }
    state.counters["median_call_ms"] = callMedian;
    state.counters["median_bare_request_ms"] = page->Evaluate(bare).value.AsNumber();
}
BENCHMARK(CallRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void HundredThousandNumbers(benchmark::State& state)
{
    const auto page = HostPage();
    if (page == nullptr) {
        state.SkipWithError("no page");
        return;
    }
    for (auto _ : state) {
        const Web::Evaluation result = page->Evaluate("host.Numbers(100000)[99999]");
        if (!result.ok || result.value.AsNumber() != 49999.5) {
            state.SkipWithError(result.ok ? "wrong numbers" : result.error.c_str());
            return;
        }
    }
}
BENCHMARK(HundredThousandNumbers)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// Floats when every sample is exactly one (range 0), else doubles (range 1).
void MillionSamplesWire(benchmark::State& state)
{
    std::vector<double> samples(1000000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = state.range(0) == 0 ? double(float(std::sin(i / 700.0))) : std::sin(i / 700.0);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string wire = Web::SamplesWire(samples);
        bytes += wire.size();
        benchmark::DoNotOptimize(wire.data());
    }
    state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(MillionSamplesWire)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
