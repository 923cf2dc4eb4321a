// Compile time of formulas of the sizes the system uses, once the formula tables are built:
// macro expansion, tokenizing, name lookup, optimising and use marking, per formula.
#include <benchmark/benchmark.h>

#include <cfloat>

#include "calc/FormulaToRPN.h"
#include "host/calc/PublishedFunctions.h"
#include "host/framework/Framework.h"

namespace {

// Stand-ins for the plug-in's event functions, which the breath detection's formula calls.
const bool kEventFunctions = [] {
    static const _IID kGuid = {0x7E1A6C2D, 0x51B4, 0x4F0E, {0x9A, 0x3C, 0x2D, 0x84, 0x61, 0x0B, 0xC7, 0x15}};
    Host::AddFormulaFunction({L"SPEventEnumFlow", {L"SPEEFlow"}, &kGuid, 0, 2, 1, -1, 0xA0000000, 0x40000000,
                              {{L"Source", 0, 0, 0x80000000}, {L"Height", 0, DBL_MAX, 0}}});
    return Host::AddFormulaFunction({L"SPEventEnumVol", {L"SPEEVol"}, &kGuid, 1, 2, 2, -1, 0xA0000000, 0x40000000,
                                     {{L"Volume Source", 0, 0, 0x80000000}, {L"Flow Event Source", 0, 0, 0x40000000}}});
}();

void Compile(benchmark::State& state, const wchar_t* formula)
{
    const KVD::String text(formula);
    for (auto _ : state) {
        CalcParser::RPNArray rpn;
        KVD::String message;
        long position = -1;
        const HRESULT code =
            CalcParser::formulaToRPN(text, rpn, nullptr, {0, 0x40001000}, nullptr, message, &position);
        if (code != 0)
            state.SkipWithError("the formula does not compile");
        benchmark::DoNotOptimize(rpn.GetCount());
    }
}

BENCHMARK_CAPTURE(Compile, short_arithmetic, L"ch1+ch2*3");
BENCHMARK_CAPTURE(Compile, minute_ventilation, L"-60.0 * decimatesec(Ch2*(1-threshold(Ch2,0)),60)");
BENCHMARK_CAPTURE(Compile, breath_detection, L"SPEEVol(Ch3, SPEEFlow(Ch2, 0.3) )");
BENCHMARK_CAPTURE(Compile, tidal_volume, L"EventInterp(SPEEFlow(Ch2, 1), 0)");
BENCHMARK_CAPTURE(Compile, filters_and_integral,
                  L"Integrate(Lowpass(Ch1 - Smooth(Ch1, 101), 10) * 0.5, \"decay\", 2) + Highpass(Ch2, 0.1)");
BENCHMARK_CAPTURE(Compile, macro_and_variables,
                  L"k = 2.5; level = k * 2; ThresholdVal(Ch1, level, 0, Window(Ch2, -1, 1) * k)");
BENCHMARK_CAPTURE(Compile, long_formula,
                  L"gain = 1.5; offset = -0.25; (Smooth(Ch1, 5) * gain + offset) / sqrt(abs(Ch2) + 1e-9) - "
                  L"Diff(Lowpass(Ch3, 40), 7, 1, 2) + Shift(Ch4, 0.02) * sin(2*pi*t) + "
                  L"mod(Ch5, 3) ^ 2 + Bandpass(Ch6, 1, 40) + decimatesec(Ch7 * (1 - threshold(Ch7, 0)), 60)");

}  // namespace

int main(int argc, char** argv)
{
    Host::Framework::Install();
    Host::PublishFormulaFunctions();
    // The first compilation builds the formula tables; it is not measured.
    CalcParser::RPNArray rpn;
    KVD::String message;
    CalcParser::formulaToRPN(KVD::String(L"1"), rpn, nullptr, {0, 0}, nullptr, message, nullptr);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return kEventFunctions ? 0 : 1;
}
