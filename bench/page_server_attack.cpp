// A page's load and 200 calls to the host, alone and while clients without the secret press on
// the page server (100 slow, 1,000 idle, a header flood: tests/platform/PageAttackers.h). Prints
// the time of each (quiet_ms, attacked_ms), their ratio (bound: 1.5) and how much the process's
// resident memory grew under attack (rss_growth_mb, bound: 50).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "platform/PageAttackers.h"
#include "platform/ProcessMemory.h"
#include "web/LivePage.h"

namespace {

using Web::Value;

const char* const kPage =
    "<script>var n = 0; for (var i = 0; i < 200; i++) n += host.Numbers(100).length; window.got = n;</script>";

double Milliseconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The time to load the page and read what its calls got; negative when they failed.
double LoadAndCall(Web::LivePage& page)
{
    const auto start = std::chrono::steady_clock::now();
    if (!page.LoadHTML(kPage, "") || page.Evaluate("window.got").value != Value::Number(200 * 100))
        return -1;
    return Milliseconds(start);
}

void LoadAndCallsUnderAttack(benchmark::State& state)
{
    Web::LivePage page;
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.methods = {{"Numbers", Web::BridgeObject::Call::Value}};
    bridge.handler = [](const std::string&, const std::vector<Value>& arguments) {
        return Value::Numbers(std::vector<double>(size_t(arguments.at(0).AsNumber()), 0.5));
    };
    page.InstallBridge(std::move(bridge));
    std::smatch port;
    if (!page.LoadHTML("<p>first</p>", "") || !std::regex_search(page.URL(), port, std::regex(R"(:(\d+)/)"))) {
        state.SkipWithError(page.LastError().c_str());
        return;
    }
    const int serverPort = std::stoi(port[1].str());
    double quiet = 0, attacked = 0, grownKb = 0;
    for (auto _ : state) {
        const double alone = LoadAndCall(page);
        const long before = ProcessMemory::ResidentKb();
        ProcessMemory::ResetPeak();
        auto attackers = std::make_unique<PageAttackers>(serverPort);
        const double pressed = LoadAndCall(page);
        attackers.reset();
        if (alone < 0 || pressed < 0) {
            state.SkipWithError("the page's load or calls failed");
            return;
        }
        quiet += alone;
        attacked += pressed;
        grownKb = std::max(grownKb, double(ProcessMemory::PeakKb() - before));
        state.SetIterationTime((alone + pressed) / 1000);
    }
    state.counters["quiet_ms"] = quiet / double(state.iterations());
    state.counters["attacked_ms"] = attacked / double(state.iterations());
    state.counters["ratio"] = attacked / quiet;
    state.counters["rss_growth_mb"] = grownKb / 1024;
}
BENCHMARK(LoadAndCallsUnderAttack)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
