// Receive and transmit of a large dump through the simulated instrument in
// real time: the achieved rate as a share of the MIDI wire rate (3125 bytes
// per second, which the engine must never exceed), and the CPU time per
// transferred kilobyte. Each run takes as long as the wire needs (a 64 KB
// dump about 21 seconds each way), so each benchmark runs once.
// Run: build/native/bench/transfer_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

#include "device/druv_device.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "simulator/simulated_instrument.h"
#include "tests/plugin/engine/instrument_link.h"

namespace {

using druv::simulator::SimulatedInstrument;

constexpr double kWireBytesPerSecond = 3125.0;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// A device with one template: a bulk dump of `loops` loops of `loopBytes`
// bytes, each loop's reply in `messagesPerLoop` SysX messages.
struct Rig {
    Rig(int loops, int loopBytes, int messagesPerLoop) {
        device.SetSysXChanOfs(2);
        DRUVTemplate* bulk = device.AddTemplate("Bulk");
        bulk->SetSize(loops * loopBytes);
        bulk->SetNumLoops(loops);
        bulk->SetLoopRecvSize(loopBytes);
        bulk->SetMultiSysX(messagesPerLoop > 1 ? 1 : 0);
        bulk->SetRequest(loops > 1 ? "F0 7D 10 01 F1 F2 F7" : "F0 7D 10 01 F7");
        bulk->SetDelayBetweenSysX(0);
        bulk->SetCSumType(kChecksumTwosComplement);
        bulk->SetCSumStart(5);
        bulk->SetCSumLength(8);
        bulk->SetCSumOfs(20);
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
        data.DeviceId = 1;
        transfer.host_link = &link;

        SimulatedInstrument::Settings settings;
        settings.deviceId = 1;
        settings.messagesPerMultiSysXLoop = messagesPerLoop;
        source = std::make_unique<SimulatedInstrument>(device, settings, InputOf(transfer));
        target = std::make_unique<SimulatedInstrument>(device, settings, nullptr);
    }

    TransferContext Context() { return TransferContext{device, data, transfer}; }

    DRUVDevice device;
    DRUVData data;
    TransferState transfer;
    InstrumentLink link;
    std::unique_ptr<SimulatedInstrument> source;
    std::unique_ptr<SimulatedInstrument> target;
};

// Wall time, the transfer thread's CPU time and the whole process's (the
// instrument's threads and the input handlers included) of one transfer.
template <typename Transfer>
void Measure(benchmark::State& state, Transfer transfer, double bytes) {
    double wall = 0;
    double threadCpu = 0;
    double processCpu = 0;
    bool ok = true;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double threadStart = ThreadCpuSeconds();
        double processStart = ProcessCpuSeconds();
        ok = transfer() && ok;
        threadCpu += ThreadCpuSeconds() - threadStart;
        processCpu += ProcessCpuSeconds() - processStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    double runs = static_cast<double>(state.iterations());
    double kilobytes = bytes * runs / 1024.0;
    state.counters["bytes_per_s"] = bytes * runs / wall;
    state.counters["wire_fraction"] = bytes * runs / wall / kWireBytesPerSecond;
    state.counters["transfer_cpu_us_per_KB"] = threadCpu * 1e6 / kilobytes;
    state.counters["process_cpu_us_per_KB"] = processCpu * 1e6 / kilobytes;
    if (!ok) state.SkipWithError("the transfer failed");
}

void ReceiveAndTransmit(benchmark::State& state, bool transmit) {
    Rig rig(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    double bytes = static_cast<double>(rig.source->Memory().StoredForm(0, false).size());
    if (!transmit) {
        rig.link.Connect(rig.source.get());
        Measure(state, [&] { return ReceiveDumps(rig.Context(), 0, nullptr, nullptr); }, bytes);
        return;
    }
    std::vector<uint8_t> stored = rig.source->Memory().StoredForm(0, false);
    DumpItem& item = *rig.data.Items[0];
    std::copy(stored.begin(), stored.end(), item.Data());
    item.Length = static_cast<int32_t>(stored.size());
    rig.link.Connect(rig.target.get());
    Measure(state, [&] { return TransmitDumps(rig.Context(), 0, nullptr, nullptr); }, bytes);
    SimulatedInstrument::Counts counts = rig.target->GetCounts();
    state.counters["early_messages"] = counts.arrivedBeforeWireFree;
    if (counts.dumpsStored != static_cast<int>(state.range(0) * state.range(2)))
        state.SkipWithError("the instrument did not store every message");
}

void BM_Receive(benchmark::State& state) { ReceiveAndTransmit(state, false); }
void BM_Transmit(benchmark::State& state) { ReceiveAndTransmit(state, true); }

// Arguments: loops, bytes per loop, SysX messages per loop.
// One loop of 64 KB in 64 messages of 1 KB: the engine's pacing and handlers.
BENCHMARK(BM_Receive)->Args({1, 65536, 64})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_Transmit)->Args({1, 65536, 64})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
// 128 requested loops of 129 bytes: what the 30-ms passes cost a looped dump.
BENCHMARK(BM_Receive)->Args({128, 129, 1})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
