// The cost of preparing outgoing messages per byte, with the pacing sleeps in
// virtual time so that only the work is measured.
#include <benchmark/benchmark.h>

#include <vector>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/message_sender.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/fakes/stack_object.h"

namespace {

class DiscardingMidiOut : public StackObject<IMPMidiOut> {
public:
    virtual ~DiscardingMidiOut() = default;
    HRESULT STDMETHODCALLTYPE Send(MPEvent* events, uint32_t) override {
        benchmark::DoNotOptimize(events->Data.SysX);
        return S_OK;
    }
};

// `messages` SysX messages of `messageBytes` bytes each, with device ID,
// loop placeholders and a checksum to fill in.
std::vector<uint8_t> SysXList(int messages, int messageBytes) {
    std::vector<uint8_t> bytes;
    for (int m = 0; m < messages; ++m) {
        bytes.push_back(0xF0);
        bytes.push_back(0x7D);
        bytes.push_back(0x10);
        bytes.push_back(0xF1);
        bytes.push_back(0xF2);
        for (int i = 5; i < messageBytes - 1; ++i) bytes.push_back(static_cast<uint8_t>(i & 0x7F));
        bytes.push_back(0xF7);
    }
    return bytes;
}

struct Sender {
    Sender() {
        data.SetTransferClock(clock);
        data.OutPort = 1;
        device.SetSysXChanOfs(2);
        dumpTemplate = device.AddTemplate("Bench");
        dumpTemplate->SetDelayBetweenSysX(20);
        dumpTemplate->SetCSumType(1);
        dumpTemplate->SetCSumStart(3);
        dumpTemplate->SetCSumLength(100);
        dumpTemplate->SetCSumOfs(5);
        transfer.loop_value = 300;
    }
    VirtualClock clock;
    DiscardingMidiOut out;
    TransferContext Context() { return TransferContext{device, data, transfer}; }

    DRUVDevice device;
    DRUVData data;
    TransferState transfer;
    DRUVTemplate* dumpTemplate;
};

void SendSysXList(benchmark::State& state) {
    Sender sender;
    std::vector<uint8_t> bytes = SysXList(64, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SendMessageList(sender.Context(), &sender.out, sender.dumpTemplate, bytes));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["ns_per_byte"] = benchmark::Counter(
        static_cast<double>(state.iterations() * bytes.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(SendSysXList)->Arg(16)->Arg(256)->Arg(4096);

void SendChannelList(benchmark::State& state) {
    Sender sender;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 1024; ++i) {
        bytes.push_back(0xB0);
        bytes.push_back(static_cast<uint8_t>(i & 0x7F));
        bytes.push_back(0xF1);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SendMessageList(sender.Context(), &sender.out, sender.dumpTemplate, bytes));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["ns_per_byte"] = benchmark::Counter(
        static_cast<double>(state.iterations() * bytes.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(SendChannelList);

}  // namespace
