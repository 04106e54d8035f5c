// The cost of the input handlers per received byte: what the host's MIDI
// input thread spends storing a reply while a receive loop's window is open.
// Run: build/native/bench/engine_bench --benchmark_filter=OnSysX
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "device/druv_device.h"
#include "plugin/engine/receive_window.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"

namespace {

// Replies of `range(0)` bytes into one window of 1 MB, opened again whenever
// the next reply would not fit.
void BM_OnSysX(benchmark::State& state) {
    const auto messageBytes = static_cast<uint32_t>(state.range(0));
    constexpr uint32_t kBufferBytes = 1u << 20;
    DRUVDevice device;
    DRUVTemplate* bulk = device.AddTemplate("Bulk");
    bulk->SetSize(static_cast<int32_t>(kBufferBytes));
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kBufferBytes]);
    std::vector<uint8_t> reply(messageBytes - 1, 0x11);  // after F0
    reply.back() = 0xF7;

    TransferState transfer;
    auto open = [&] {
        CloseReceiveWindow(transfer);
        transfer.write_position.store(buffer.get());
        OpenReceiveWindow(transfer, *bulk, kBufferBytes - 1);
    };
    open();
    uint32_t used = 0;
    for (auto _ : state) {
        if (used + messageBytes + 1 >= kBufferBytes) {
            state.PauseTiming();
            open();
            used = 0;
            state.ResumeTiming();
        }
        OnSysX(transfer, false, reply.data(), messageBytes - 1);
        used += messageBytes;
    }
    CloseReceiveWindow(transfer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * messageBytes);
}

BENCHMARK(BM_OnSysX)->Arg(12)->Arg(266)->Arg(1024);

}  // namespace
