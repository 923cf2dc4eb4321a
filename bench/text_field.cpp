// Typing into a dialog's number field, key by key, as the scripted user types: the field's
// number helper reads the text on every key. Each character must cost the same however long
// the text already is: the time per character ("per_char") stays flat from 4k to 64k characters.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "appkit/KVDNumberEditHelper.h"
#include "appkit/TextField.h"
#include "appkit/UserDriver.h"
#include "appkit/Window.h"

namespace {

void TypeIntoANumberField(benchmark::State& state)
{
    const std::string text(size_t(state.range(0)), '7');
    for (auto _ : state) {
        AppKit::Window window({0, 0, 300, 100}, "Interval");
        auto field = std::make_unique<AppKit::TextField>(AppKit::Rect{10, 10, 200, 22});
        field->SetIdentifier("intervalEdit");
        AppKit::TextField& edit = static_cast<AppKit::TextField&>(window.ContentView().AddSubview(std::move(field)));
        auto errors = std::make_unique<KVDErrorProvider>(AppKit::Rect{220, 10, 16, 16});
        KVDErrorProvider& mark = static_cast<KVDErrorProvider&>(window.ContentView().AddSubview(std::move(errors)));
        KVDNumberEditHelper helper(&edit, &mark);
        helper.SetMinValue(0);
        helper.SetMaxValue(10000);
        AppKit::UserDriver user(window);
        user.Type("intervalEdit", text);
        benchmark::DoNotOptimize(edit.StringValue().size());
    }
    state.counters["per_char"] =
        benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(TypeIntoANumberField)->Arg(4096)->Arg(16384)->Arg(65536)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
