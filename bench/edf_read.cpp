// Reading an EDF recording as `spirohost analyse` and `spirohost info` do (LoadRecording: the
// header checked, EDFlib's open with the annotations, the samples decoded into the channels'
// storage) over one hour and four hours of a generated 1 kHz flow-head recording. The file is
// written once before the runs, so it is read from the page cache: the figure is the reader's
// own cost, in GB of file per second.
#include <benchmark/benchmark.h>

#include <edflib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "host/data/EdfRecordingWriter.h"
#include "host/data/Recording.h"
#include "host/synth/SyntheticBreathing.h"

namespace {

// Runs of quiet breaths (about 3.7 s each) around five forced ones: 160 a run make an hour.
std::string WriteBreathing(int minutes)
{
    Host::SyntheticOptions options;
    options.quietBreathsPerRun = minutes * 160 / 60;
    options.forcedBreaths = 5;
    const std::string path = "/tmp/bench_edf_read_" + std::to_string(::getpid()) + "_" + std::to_string(minutes) + ".edf";
    Host::WriteEdfRecording(path, Host::SyntheticBreathing(options).MakeRecording(path));
    return path;
}

void BM_ReadEdfRecording(benchmark::State& state)
{
    const std::string path = WriteBreathing(static_cast<int>(state.range(0)));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    const double bytes = double(std::ftell(file));
    std::fclose(file);
    uint32_t ticks = 0;
    for (auto _ : state) {
        const Host::Recording recording = Host::LoadRecording(path);
        ticks = recording.Record(0).ticks;
        benchmark::DoNotOptimize(recording.Record(0).samples[0].data());
    }
    std::remove(path.c_str());
    state.counters["file MB"] = bytes / 1e6;
    state.counters["ticks"] = ticks;
    state.counters["GB/s"] = benchmark::Counter(bytes * double(state.iterations()) / 1e9, benchmark::Counter::kIsRate);
}
// An hour and four hours.
BENCHMARK(BM_ReadEdfRecording)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond);

// Of that, EDFlib's open of the file with its annotations: it reads every data record's
// annotation signal, a pass over the file of its own.
void BM_EdflibOpen(benchmark::State& state)
{
    const std::string path = WriteBreathing(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        edf_hdr_struct header{};
        if (edfopen_file_readonly(path.c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
            state.SkipWithError("EDFlib cannot open the file");
            break;
        }
        edfclose_file(header.handle);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_EdflibOpen)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
