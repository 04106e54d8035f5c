// Receive and transmit in real time on real threads against the simulated
// instrument: each example definition's dumps come in byte for byte, go back
// to an instrument with another device ID with that ID and valid checksums in
// every message, and a cancel from a third thread ends a transfer promptly.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "device/druv_device.h"
#include "instrument_link.h"
#include "platform/message_box.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/fakes/recording_progress_sink.h"
#include "tests/support/test_paths.h"

namespace {

using druv::simulator::InstrumentDefinition;
using druv::simulator::InstrumentMemory;
using druv::simulator::MidiMessage;
using druv::simulator::SimulatedInstrument;
using Milliseconds = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

constexpr uint8_t kFirstId = 3;
constexpr uint8_t kSecondId = 12;

class EngineWithInstrumentTest : public ::testing::Test {
protected:
    void Load(const char* name) {
        ScopedMessageBoxHandler noBoxes([&](const MessageBoxRequest& box) {
            ADD_FAILURE() << "message box: " << (box.text ? box.text : "");
            return MessageAnswer::Ok;
        });
        device.SetFilePath((druvtest::ExamplesDir() + "/" + name).c_str());
        ASSERT_EQ(0, device.LoadDefinition()) << name;
    }

    // Builds the store and the two instruments once the definition is final;
    // `adjust` may make the instruments differ from the definition.
    void Connect(const std::function<void(InstrumentDefinition&)>& adjust = nullptr) {
        InstrumentDefinition definition = druv::simulator::DefinitionFromDevice(device);
        if (adjust) adjust(definition);
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
        data.DeviceId = kFirstId;
        state.host_link = &link;
        SimulatedInstrument::Settings first;
        first.deviceId = kFirstId;
        first.seed = 1;
        source = std::make_unique<SimulatedInstrument>(definition, first, InputOf(state));
        SimulatedInstrument::Settings second;
        second.deviceId = kSecondId;
        second.seed = 2;
        target = std::make_unique<SimulatedInstrument>(definition, second, nullptr);
        link.Connect(source.get());
    }

    std::vector<uint8_t> Stored(size_t index) const {
        const DumpItem& item = *data.Items.at(index);
        return std::vector<uint8_t>(item.Data(), item.Data() + item.Length.load());
    }

    void ExpectEveryMessageAtTargetRenewed() const {
        const auto& placement = target->Definition().deviceId;
        for (const auto& logged : target->Received()) {
            const MidiMessage& message = logged.bytes;
            EXPECT_TRUE(placement.Carries(message.data(), message.size(), kSecondId))
                << "message of " << message.size() << " bytes";
        }
        SimulatedInstrument::Counts counts = target->GetCounts();
        EXPECT_EQ(0, counts.refusedWrongDeviceId);
        EXPECT_EQ(0, counts.refusedBadChecksum);
        EXPECT_EQ(0, counts.malformed);
        EXPECT_EQ(0, counts.arrivedBeforeWireFree) << "sent faster than the wire";
    }

    // Receives everything from the source, checks it byte for byte, sends it
    // to the target and checks what the target holds then.
    void RoundTrip() {
        ASSERT_TRUE(ReceiveDumps(Context(), 0, &sink, nullptr));
        for (size_t t = 0; t < device.TemplateCount(); ++t)
            EXPECT_EQ(source->Memory().StoredForm(t, false), Stored(t)) << device.Template(t)->Name();
        EXPECT_EQ(0, source->GetCounts().arrivedBeforeWireFree) << "requests sent faster than the wire";

        link.Connect(target.get());
        data.DeviceId = kSecondId;
        ASSERT_TRUE(TransmitDumps(Context(), 0, &sink, nullptr));
        InstrumentMemory expected = druv::simulator::MemoryRenewedFor(*source, kSecondId);
        InstrumentMemory held = target->Memory();
        for (size_t t = 0; t < expected.TemplateCount(); ++t)
            for (int loop = 0; loop < expected.LoopCount(t); ++loop)
                EXPECT_EQ(expected.Slot(t, loop), held.Slot(t, loop)) << "template " << t << " loop " << loop;
        ExpectEveryMessageAtTargetRenewed();
    }

    // Sets the abort flag `after` from now on a third thread; returns when
    // it was set through `abortAt`.
    std::thread CancelAfter(Milliseconds after, SteadyClock::time_point* abortAt) {
        return std::thread([this, after, abortAt] {
            std::this_thread::sleep_for(after);
            *abortAt = SteadyClock::now();
            state.abort.store(true, std::memory_order_release);
        });
    }

    TransferContext Context() { return TransferContext{device, data, state}; }

    // Declared before the instruments, so that they stop delivering first.
    DRUVDevice device;
    DRUVData data;
    TransferState state;
    InstrumentLink link;
    RecordingProgressSink sink;
    std::unique_ptr<SimulatedInstrument> source;
    std::unique_ptr<SimulatedInstrument> target;
};

TEST_F(EngineWithInstrumentTest, MixerScenesComeInAndGoBackByteForByte) {
    Load("brindle-koss-sd16-mixer.druv");
    Connect();
    RoundTrip();
    EXPECT_EQ(2, target->GetCounts().dumpsStored);
}

TEST_F(EngineWithInstrumentTest, SynthPatchesComeInLoopByLoopAndGoBack) {
    Load("velmora-aster8-synth.druv");
    // Eight of the 128 patches keep the test to a few seconds.
    DRUVTemplate* patches = device.Template(1);
    patches->SetNumLoops(8);
    patches->SetSize(8 * 129);
    Connect();
    RoundTrip();
    EXPECT_EQ(9, target->GetCounts().dumpsStored);
    EXPECT_EQ(8, target->GetCounts().unrecognised) << "one store command after each patch";
}

TEST_F(EngineWithInstrumentTest, TerminatorsEndLoopsAndSilentLoopsTimeOut) {
    // Up to 400 bytes a loop, in several messages, each loop closed by a
    // terminator that is not stored; the instrument sends 200 bytes a loop
    // and falls silent from the third.
    device.SetSysXChanOfs(2);
    DRUVTemplate* bank = device.AddTemplate("Bank");
    bank->SetNumLoops(4);
    bank->SetLoopRecvSize(400);
    bank->SetSize(1600);
    bank->SetMultiSysX(1);
    bank->SetTimeOut(1);
    bank->SetDelayBetweenSysX(0);
    bank->SetRequest("F0 7D 10 02 F1 F2 F7");
    bank->SetTerminator("F0 7D 7F");
    Connect([](InstrumentDefinition& definition) { definition.templates[0].loopRecvSize = 200; });
    source->SetTerminator(0, druv::simulator::ConcreteTerminator({0xF0, 0x7D, 0x7F}, 0),
                          SimulatedInstrument::TerminatorTiming::AfterEachLoop);
    source->SetSilentFromLoop(2);

    ASSERT_TRUE(ReceiveDumps(Context(), 0, &sink, nullptr));
    InstrumentMemory memory = source->Memory();
    std::vector<uint8_t> expected;
    for (int loop = 0; loop < 2; ++loop) {
        for (const MidiMessage& message : memory.Slot(0, loop))
            for (uint8_t value : message) expected.push_back(value);
        expected.push_back(0xFF);
    }
    expected.push_back(0xFF);
    expected.push_back(0xFF);
    EXPECT_EQ(expected, Stored(0));
    EXPECT_EQ(2u, memory.Slot(0, 0).size()) << "two messages a loop";
}

TEST_F(EngineWithInstrumentTest, CancelEndsAReceivePromptlyAndClearsItsState) {
    Load("brindle-koss-sd16-mixer.druv");
    Connect();
    data.Items[1]->Data()[0] = 0x42;  // the Setup item, not reached
    data.Items[1]->Length = 1;
    SteadyClock::time_point abortAt;
    std::thread cancel = CancelAfter(Milliseconds(400), &abortAt);

    EXPECT_FALSE(ReceiveDumps(Context(), 0, &sink, nullptr));
    SteadyClock::time_point returned = SteadyClock::now();
    const int repliesAtReturn = source->GetCounts().repliesDelivered;
    cancel.join();
    // The scene needs 1.3 s on the wire; a receive that went on waiting for
    // it after the cancel would still be running when it arrived.
    EXPECT_EQ(0, repliesAtReturn) << "returned "
                                  << std::chrono::duration_cast<Milliseconds>(returned - abortAt).count()
                                  << " ms after the cancel, once the scene had arrived";
    EXPECT_EQ(0, data.Items[0]->Length.load()) << "the scene in progress had no completed loop";
    EXPECT_EQ(1, data.Items[1]->Length.load());
    EXPECT_EQ(0x42, data.Items[1]->Data()[0]);
    EXPECT_EQ(nullptr, state.current_template.load());
    EXPECT_EQ(nullptr, state.write_position.load());
    EXPECT_EQ(0u, state.space_left.load());
    EXPECT_TRUE(state.abort.load()) << "the caller clears it";

    // The rest of the scene still arrives, and is not stored anywhere.
    ASSERT_TRUE(source->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_EQ(0, data.Items[0]->Length.load());
    EXPECT_EQ(0x42, data.Items[1]->Data()[0]);
}

TEST_F(EngineWithInstrumentTest, CancelEndsATransmitPromptlyWithoutAFinalReport) {
    Load("brindle-koss-sd16-mixer.druv");
    Connect();
    for (size_t t = 0; t < 2; ++t) {
        std::vector<uint8_t> stored = source->Memory().StoredForm(t, false);
        std::copy(stored.begin(), stored.end(), data.Items[t]->Data());
        data.Items[t]->Length = static_cast<int32_t>(stored.size());
    }
    link.Connect(target.get());
    SteadyClock::time_point abortAt;
    const SteadyClock::time_point started = SteadyClock::now();
    std::thread cancel = CancelAfter(Milliseconds(400), &abortAt);

    EXPECT_FALSE(TransmitDumps(Context(), 0, &sink, nullptr));
    SteadyClock::time_point returned = SteadyClock::now();
    cancel.join();
    ASSERT_EQ(1u, target->Received().size()) << "the scene, and nothing after it";
    // Once the scene is handed over, the transmit waits for its time on the
    // wire (1.3 s); only a cancel that cuts that wait short returns sooner.
    const auto sceneOnWire = std::chrono::duration_cast<Milliseconds>(
        SimulatedInstrument::ByteTime(target->Received()[0].bytes.size()));
    const auto took = std::chrono::duration_cast<Milliseconds>(returned - started);
    EXPECT_LT(took.count(), sceneOnWire.count())
        << "milliseconds from the start; the cancel came after "
        << std::chrono::duration_cast<Milliseconds>(abortAt - started).count();
    for (const ProgressCall& call : sink.calls) EXPECT_TRUE(call.hasText) << "no final report";
    EXPECT_EQ(source->Memory().StoredForm(0, false), Stored(0)) << "the stored data is left as it was";
}

}  // namespace
