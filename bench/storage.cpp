// Compound-file throughput on disk: a 64 MiB stream written and read back, and 10,000
// elements created and enumerated.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
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

}  // namespace

BENCHMARK(BM_StreamWrite64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamOverwrite64MiBTransacted)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StreamRead64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CreateElements)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EnumerateElements)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
