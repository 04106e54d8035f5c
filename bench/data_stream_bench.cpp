// Saving and loading a store that holds 1 MB of dumps.
#include <benchmark/benchmark.h>

#include <cstring>

#include "plugin/engine/data_stream.h"
#include "plugin/engine/druv_data.h"
#include "tests/plugin/fakes/memory_stream.h"

namespace {

constexpr uint32_t kItems = 16;
constexpr uint32_t kItemBytes = (1u << 20) / kItems;

// Sixteen items of 64 KB each, filled like received SysX data.
void FillStore(DRUVData& data, bool withData) {
    data.Company = "Maker";
    data.Product = "Desk";
    data.Version = "1.0";
    for (uint32_t i = 0; i < kItems; ++i) {
        auto item = std::make_unique<DumpItem>(("Item " + std::to_string(i)).c_str());
        item->Allocate(kItemBytes + 2);
        if (withData) {
            for (uint32_t b = 0; b < kItemBytes; ++b) item->Data()[b] = static_cast<uint8_t>(b & 0x7F);
            item->Data()[0] = 0xF0;
            item->Length = static_cast<int32_t>(kItemBytes);
        }
        data.Items.push_back(std::move(item));
    }
}

void WriteStore(benchmark::State& state) {
    DRUVData data;
    FillStore(data, true);
    // One stream whose memory is kept, so that the writer is measured and
    // not the system's page faults for fresh memory.
    MemoryStream stream;
    for (auto _ : state) {
        stream.Clear();
        benchmark::DoNotOptimize(WriteDataStore(data, stream));
        benchmark::DoNotOptimize(stream.Bytes().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(DataStoreStreamSize(data)));
}
BENCHMARK(WriteStore)->Unit(benchmark::kMicrosecond);

void ReadStore(benchmark::State& state) {
    DRUVData written;
    FillStore(written, true);
    MemoryStream saved;
    WriteDataStore(written, saved);
    DRUVData data;
    FillStore(data, false);
    for (auto _ : state) {
        saved.Rewind();
        if (ReadDataStore(data, saved) != StoreReadResult::Complete) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(saved.Bytes().size()));
}
BENCHMARK(ReadStore)->Unit(benchmark::kMicrosecond);

// The same, into items too small for the data: every load replaces the buffers.
void ReadStoreIntoNewBuffers(benchmark::State& state) {
    DRUVData written;
    FillStore(written, true);
    MemoryStream saved;
    WriteDataStore(written, saved);
    for (auto _ : state) {
        state.PauseTiming();
        DRUVData data;
        for (uint32_t i = 0; i < kItems; ++i) {
            auto item = std::make_unique<DumpItem>(("Item " + std::to_string(i)).c_str());
            item->Allocate(16);
            data.Items.push_back(std::move(item));
        }
        saved.Rewind();
        state.ResumeTiming();
        if (ReadDataStore(data, saved) != StoreReadResult::Complete) state.SkipWithError("read failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(saved.Bytes().size()));
}
BENCHMARK(ReadStoreIntoNewBuffers)->Unit(benchmark::kMicrosecond);

}  // namespace
