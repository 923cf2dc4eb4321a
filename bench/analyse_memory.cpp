// The peak memory of `spirohost analyse` as the recording grows: one and four hours of 1 kHz
// breathing are generated and analysed in child processes, whose peak resident sizes give the
// bytes each analysed sample adds and the fixed base. The budget is 12 bytes per sample.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/synth/SyntheticBreathing.h"

namespace {

// The peak resident size of the command in bytes, or -1 when it failed.
double PeakOf(std::vector<std::string> args)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (std::freopen("/dev/null", "w", stdout) == nullptr)
            std::_Exit(127);
        ::execv(argv[0], argv.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return double(usage.ru_maxrss) * 1024.0;
}

struct Run {
    double samples = 0;
    double peak = -1;
};

// Generates about that many hours of quiet breathing and analyses all of it.
Run Analyse(int hours)
{
    const std::string folder = "/tmp/spiro_bench_memory_" + std::to_string(::getpid());
    ::mkdir(folder.c_str(), 0700);
    const std::string edf = folder + "/rec.edf", csv = folder + "/report.csv";
    Host::SyntheticOptions options;
    options.quietBreathsPerRun = 315 * hours;  // three runs of quiet breaths of about 3.7 s
    options.forcedBreaths = 2;
    Run run;
    run.samples = Host::SyntheticBreathing(options).Seconds() * options.rate;
    if (PeakOf({SPIROHOST, "generate", edf, "--quiet", std::to_string(options.quietBreathsPerRun), "--forced", "2"}) > 0)
        run.peak = PeakOf({SPIROHOST, "analyse", edf, "--raw", "1", "--scale", "2", "--drift-correction", "--csv", csv,
                           "--bundle", SPIRO_BUNDLE});
    std::remove(edf.c_str());
    std::remove(csv.c_str());
    ::rmdir(folder.c_str());
    return run;
}

void BM_AnalysePeakMemory(benchmark::State& state)
{
    Run one, four;
    for (auto _ : state) {
        one = Analyse(1);
        four = Analyse(4);
    }
    if (one.peak < 0 || four.peak < 0) {
        state.SkipWithError("spirohost generate or analyse failed");
        return;
    }
    const double perSample = (four.peak - one.peak) / (four.samples - one.samples);
    state.counters["bytes_per_sample"] = perSample;
    state.counters["base_MiB"] = (one.peak - perSample * one.samples) / (1 << 20);
    state.counters["peak_4h_MiB"] = four.peak / (1 << 20);
    state.counters["samples_4h"] = four.samples;
}
BENCHMARK(BM_AnalysePeakMemory)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
