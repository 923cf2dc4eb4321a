// Compound-file throughput on disk: a 64 MiB stream written and read back, 10,000 elements
// created and enumerated, and the cost and file size of many small transacted commits.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "IStorage.h"
#include "KVDStorageResults.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDPath.h"
#include "foundation/storage/StorageEntry.h"

namespace {

constexpr uint32_t kCreateRW = 0x1012;
constexpr uint32_t kRW = 0x2;
constexpr uint32_t kTransacted = 0x10000;
constexpr size_t kStreamSize = size_t(64) << 20;
constexpr size_t kPiece = size_t(1) << 20;
// 10 storages of 1,000 streams: a directory holds at most 1,024 elements.
constexpr int kStorages = 10;
constexpr int kStreamsEach = 1000;

KVDFileRef ScratchFile(const char* name)
{
    std::string path = "/tmp/bench-storage-" + std::to_string(::getpid()) + "-" + name;
    return KVDFileRef(KVD::Path(path));
}

void Check(HRESULT hr, benchmark::State& state)
{
    if (hr != KVD_S_OK)
        state.SkipWithError("storage call failed");
}

// name per second of wall time.
void SetRate(benchmark::State& state, const char* name, double perIteration)
{
    state.counters[name] = benchmark::Counter(perIteration * state.iterations(), benchmark::Counter::kIsRate);
}

// Writes the stream in pieces of a mebibyte.
void WriteStream(IStorage* root, benchmark::State& state)
{
    std::vector<uint8_t> piece(kPiece, 0x5A);
    IStream* stream = nullptr;
    Check(root->CreateStream(L"big", kCreateRW, 0, 0, &stream), state);
    for (size_t done = 0; done < kStreamSize && stream != nullptr; done += kPiece) {
        uint32_t written = 0;
        Check(stream->Write(piece.data(), kPiece, &written), state);
    }
    if (stream != nullptr)
        stream->Release();
}

// Times work on a new file in each iteration; making the file and the last release (which
// commits and syncs it to the disk) are not timed.
template <class Work>
void TimeOnNewFile(benchmark::State& state, const char* name, Work work)
{
    KVDFileRef file = ScratchFile(name);
    for (auto _ : state) {
        state.PauseTiming();
        IStorage* root = nullptr;
        Check(KVDStgCreateDocfile(file, kCreateRW, 0, &root, 0, 0), state);
        state.ResumeTiming();
        work(root);
        state.PauseTiming();
        root->Release();
        state.ResumeTiming();
    }
    std::remove(file.FileSystemRepresentation().c_str());
}

void BM_StreamWrite64MiB(benchmark::State& state)
{
    TimeOnNewFile(state, "write", [&](IStorage* root) { WriteStream(root, state); });
    SetRate(state, "MB", kStreamSize / 1e6);
}

// Every cluster of a committed stream is copied before it is written.
void BM_StreamOverwrite64MiBTransacted(benchmark::State& state)
{
    KVDFileRef file = ScratchFile("overwrite");
    IStorage* root = nullptr;
    Check(KVDStgCreateDocfile(file, kCreateRW | kTransacted, 0, &root, 0, 0), state);
    WriteStream(root, state);
    Check(root->Commit(0), state);
    std::vector<uint8_t> piece(kPiece, 0xA5);
    for (auto _ : state) {
        IStream* stream = nullptr;
        Check(root->OpenStream(L"big", nullptr, kRW, 0, &stream), state);
        for (size_t done = 0; done < kStreamSize && stream != nullptr; done += kPiece) {
            uint32_t written = 0;
            Check(stream->Write(piece.data(), kPiece, &written), state);
        }
        stream->Release();
        state.PauseTiming();
        Check(root->Revert(), state);
        state.ResumeTiming();
    }
    root->Release();
    std::remove(file.FileSystemRepresentation().c_str());
    SetRate(state, "MB", kStreamSize / 1e6);
}

void BM_StreamRead64MiB(benchmark::State& state)
{
    KVDFileRef file = ScratchFile("read");
    IStorage* root = nullptr;
    Check(KVDStgCreateDocfile(file, kCreateRW, 0, &root, 0, 0), state);
    WriteStream(root, state);
    root->Release();
    Check(KVDStgOpenStorage(file, kRW, &root), state);
    std::vector<uint8_t> piece(kPiece);
    for (auto _ : state) {
        IStream* stream = nullptr;
        Check(root->OpenStream(L"big", nullptr, kRW, 0, &stream), state);
        uint32_t read = 0;
        for (size_t done = 0; done < kStreamSize; done += read) {
            Check(stream->Read(piece.data(), kPiece, &read), state);
            if (read == 0)
                break;
        }
        benchmark::DoNotOptimize(piece.data());
        stream->Release();
    }
    root->Release();
    std::remove(file.FileSystemRepresentation().c_str());
    SetRate(state, "MB", kStreamSize / 1e6);
}

// Creates the 10,000 elements, each stream with a few bytes, and commits them.
void CreateElements(IStorage* root, benchmark::State& state)
{
    for (int s = 0; s < kStorages; ++s) {
        IStorage* storage = nullptr;
        Check(root->CreateStorage(std::to_wstring(s).c_str(), kCreateRW, 0, 0, &storage), state);
        for (int i = 0; i < kStreamsEach && storage != nullptr; ++i) {
            IStream* stream = nullptr;
            Check(storage->CreateStream((L"element " + std::to_wstring(i)).c_str(), kCreateRW, 0, 0, &stream), state);
            uint32_t written = 0;
            stream->Write(&i, sizeof i, &written);
            stream->Release();
        }
        if (storage != nullptr)
            storage->Release();
    }
    Check(root->Commit(0), state);
}

void BM_CreateElements(benchmark::State& state)
{
    TimeOnNewFile(state, "create", [&](IStorage* root) { CreateElements(root, state); });
    SetRate(state, "elements", kStorages * (kStreamsEach + 1));
}

size_t Enumerate(IStorage* storage)
{
    size_t count = 0;
    IEnumSTATSTG* elements = nullptr;
    if (storage->EnumElements(0, nullptr, 0, &elements) != KVD_S_OK)
        return 0;
    STATSTG records[100];
    uint32_t fetched = 0;
    do {
        elements->Next(100, records, &fetched);
        for (uint32_t i = 0; i < fetched; ++i) {
            IStorage* child = nullptr;
            if (records[i].type == STGTY_STORAGE &&
                storage->OpenStorage(records[i].pwcsName, nullptr, kRW, nullptr, 0, &child) == KVD_S_OK) {
                count += Enumerate(child);
                child->Release();
            }
            free(records[i].pwcsName);
        }
        count += fetched;
    } while (fetched == 100);
    elements->Release();
    return count;
}

void BM_EnumerateElements(benchmark::State& state)
{
    KVDFileRef file = ScratchFile("enumerate");
    IStorage* root = nullptr;
    Check(KVDStgCreateDocfile(file, kCreateRW, 0, &root, 0, 0), state);
    CreateElements(root, state);
    root->Release();
    for (auto _ : state) {
        Check(KVDStgOpenStorage(file, kRW, &root), state);
        if (Enumerate(root) != size_t(kStorages) * (kStreamsEach + 1))
            state.SkipWithError("elements missing");
        root->Release();
    }
    std::remove(file.FileSystemRepresentation().c_str());
    SetRate(state, "elements", kStorages * (kStreamsEach + 1));
}

// 0.6 MB of data in eight streams, each commit rewriting 100 bytes of one of them.
constexpr int kCommitStreams = 8;
constexpr size_t kCommitStreamSize = 75000;
constexpr uint32_t kSmallChange = 100;

double FileMB(const KVDFileRef& file)
{
    struct stat info;
    return ::stat(file.FileSystemRepresentation().c_str(), &info) == 0 ? info.st_size / 1e6 : 0;
}

std::wstring CommitStreamName(int i) { return L"data " + std::to_wstring(i); }

IStorage* CreateCommitFile(const KVDFileRef& file, uint32_t shift, benchmark::State& state)
{
    IStorage* root = nullptr;
    Check(KVDStgCreateDocfile(file, kCreateRW | kTransacted, shift, &root, 0, 0), state);
    std::vector<uint8_t> bytes(kCommitStreamSize, 0x3C);
    for (int i = 0; i < kCommitStreams && root != nullptr; ++i) {
        IStream* stream = nullptr;
        Check(root->CreateStream(CommitStreamName(i).c_str(), kCreateRW, 0, 0, &stream), state);
        uint32_t written = 0;
        if (stream != nullptr) {
            Check(stream->Write(bytes.data(), bytes.size(), &written), state);
            stream->Release();
        }
    }
    if (root != nullptr)
        Check(root->Commit(0), state);
    return root;
}

// The k-th small change: a stream and an offset that move from commit to commit.
void ChangeAndCommit(IStorage* root, int k, benchmark::State& state)
{
    uint8_t bytes[kSmallChange] = {static_cast<uint8_t>(k)};
    IStream* stream = nullptr;
    Check(root->OpenStream(CommitStreamName(k % kCommitStreams).c_str(), nullptr, kRW, 0, &stream), state);
    if (stream == nullptr)
        return;
    uint32_t written = 0;
    Check(stream->Seek((k * 7919) % (kCommitStreamSize - kSmallChange), STREAM_SEEK_SET, nullptr), state);
    Check(stream->Write(bytes, kSmallChange, &written), state);
    stream->Release();
    Check(root->Commit(0), state);
}

// Commit cost and file size against the number of commits (argument 0) made to one open
// transacted file with clusters of 2^argument 1 bytes. start_MB is the file after its first
// commit, file_MB after the last; growth is their ratio.
void BM_TransactedCommits(benchmark::State& state)
{
    KVDFileRef file = ScratchFile("commits");
    int commits = static_cast<int>(state.range(0));
    double start = 0;
    double end = 0;
    for (auto _ : state) {
        state.PauseTiming();
        IStorage* root = CreateCommitFile(file, static_cast<uint32_t>(state.range(1)), state);
        start = FileMB(file);
        state.ResumeTiming();
        for (int k = 0; k < commits && root != nullptr; ++k)
            ChangeAndCommit(root, k, state);
        state.PauseTiming();
        end = FileMB(file);
        if (root != nullptr)
            root->Release();
        state.ResumeTiming();
    }
    std::remove(file.FileSystemRepresentation().c_str());
    SetRate(state, "commits", commits);
    state.counters["start_MB"] = start;
    state.counters["file_MB"] = end;
    state.counters["growth"] = start > 0 ? end / start : 0;
}

// The same with the file reopened for each commit (argument 0 times).
void BM_ReopenAndCommit(benchmark::State& state)
{
    KVDFileRef file = ScratchFile("reopen");
    int commits = static_cast<int>(state.range(0));
    double start = 0;
    double end = 0;
    for (auto _ : state) {
        state.PauseTiming();
        IStorage* root = CreateCommitFile(file, 10, state);
        start = FileMB(file);
        if (root != nullptr)
            root->Release();
        state.ResumeTiming();
        for (int k = 0; k < commits; ++k) {
            Check(KVDStgOpenStorage(file, kRW | kTransacted, &root), state);
            if (root == nullptr)
                break;
            ChangeAndCommit(root, k, state);
            root->Release();
        }
        state.PauseTiming();
        end = FileMB(file);
        state.ResumeTiming();
    }
    std::remove(file.FileSystemRepresentation().c_str());
    SetRate(state, "commits", commits);
    state.counters["start_MB"] = start;
    state.counters["file_MB"] = end;
    state.counters["growth"] = start > 0 ? end / start : 0;
}

}  // namespace

BENCHMARK(BM_StreamWrite64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamOverwrite64MiBTransacted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamRead64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CreateElements)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnumerateElements)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TransactedCommits)
    ->ArgsProduct({{10, 100, 1000}, {10, 8}})
    ->ArgNames({"commits", "shift"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReopenAndCommit)->Arg(300)->ArgName("commits")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
