// Definitions that use the format's extensions, received in real time on
// real threads from the simulated instrument and sent back to a second one
// with another device ID: every dump comes in byte for byte through its
// checked checksums, and the second unit holds it afterwards with its own
// device ID and valid checksums, having acknowledged each write.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/definition_reader.h"
#include "device/druv_device.h"
#include "instrument_link.h"
#include "platform/message_box.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_state.h"
#include "tests/plugin/extension_definitions.h"
#include "tests/plugin/fakes/recording_progress_sink.h"

namespace {

using druv::simulator::InstrumentDefinition;
using druv::simulator::InstrumentMemory;
using druv::simulator::SimulatedInstrument;
using extension_definitions::ExtensionDefinition;

constexpr uint8_t kFirstId = 3;
constexpr uint8_t kSecondId = 9;

class ExtensionsWithInstrumentTest : public ::testing::TestWithParam<ExtensionDefinition> {
protected:
    void SetUp() override {
        const ExtensionDefinition& definition = GetParam();
        ScopedMessageBoxHandler noBoxes([](const MessageBoxRequest& box) {
            ADD_FAILURE() << "message box: " << (box.text ? box.text : "");
            return MessageAnswer::Ok;
        });
        const std::string xml = definition.xml;
        ASSERT_EQ(0, LoadDefinitionFromMemory(device, reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
        ASSERT_EQ(1u, device.TemplateCount());

        InstrumentDefinition instrument = druv::simulator::DefinitionFromDevice(device);
        if (definition.manual) instrument.templates[0].size = definition.panelBytes;
        data.BuildFrom(device);
        data.OutPort = 1;
        data.InPort = 2;
        state.host_link = &link;
        SimulatedInstrument::Settings first;
        first.deviceId = kFirstId;
        first.seed = 11;
        first.messagesPerMultiSysXLoop = definition.panelMessages;
        source = std::make_unique<SimulatedInstrument>(instrument, first, InputOf(state));
        SimulatedInstrument::Settings second = first;
        second.deviceId = kSecondId;
        second.seed = 12;
        target = std::make_unique<SimulatedInstrument>(instrument, second, InputOf(state));
    }

    std::vector<uint8_t> Stored() const {
        const DumpItem& item = *data.Items.at(0);
        return std::vector<uint8_t>(item.Data(), item.Data() + item.Length.load());
    }

    // A panel dump starts once the receive waits for it, as a musician
    // starts it when the waiting text shows.
    bool Receive() {
        data.DeviceId = kFirstId;
        link.Connect(source.get());
        if (!GetParam().manual) return ReceiveDumps(Context(), 0, &sink, nullptr);
        bool received = false;
        std::thread transfer([&] { received = ReceiveDumps(Context(), 0, &sink, nullptr); });
        const auto start = std::chrono::steady_clock::now();
        while (!state.current_template.load() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(static_cast<size_t>(GetParam().panelMessages), source->SendPanelDump(0));
        transfer.join();
        return received;
    }

    TransferContext Context() { return TransferContext{device, data, state}; }

    DRUVDevice device;
    DRUVData data;
    TransferState state;
    InstrumentLink link;
    RecordingProgressSink sink;
    std::unique_ptr<SimulatedInstrument> source;
    std::unique_ptr<SimulatedInstrument> target;
};

TEST_P(ExtensionsWithInstrumentTest, DumpsComeInWholeAndGoBackRenewed) {
    ASSERT_TRUE(Receive()) << (sink.calls.empty() ? "" : sink.calls.back().Ascii());
    EXPECT_EQ(source->Memory().StoredForm(0, false), Stored());
    SimulatedInstrument::Counts counts = source->GetCounts();
    EXPECT_EQ(0, counts.refusedBadChecksum) << "requests with a wrong checksum";
    EXPECT_EQ(0, counts.refusedWrongDeviceId);
    EXPECT_EQ(0, counts.unrecognised) << "requests the instrument could not place";

    link.Connect(target.get());
    data.DeviceId = kSecondId;
    ASSERT_TRUE(TransmitDumps(Context(), 0, &sink, nullptr)) << sink.calls.back().Ascii();
    ASSERT_TRUE(target->WaitUntilIdle(std::chrono::seconds(5)));
    InstrumentMemory expected = druv::simulator::MemoryRenewedFor(*source, kSecondId);
    InstrumentMemory held = target->Memory();
    for (int loop = 0; loop < expected.LoopCount(0); ++loop)
        EXPECT_EQ(expected.Slot(0, loop), held.Slot(0, loop)) << "loop " << loop;
    counts = target->GetCounts();
    EXPECT_EQ(0, counts.refusedBadChecksum + counts.refusedWrongDeviceId + counts.malformed);
    EXPECT_EQ(0, counts.arrivedBeforeWireFree) << "sent faster than the wire";
    if (!device.Template(0)->Extensions().ackPattern.empty()) {
        EXPECT_EQ(counts.dumpsStored, counts.acknowledgements) << "every write was answered";
    }
}

INSTANTIATE_TEST_SUITE_P(All, ExtensionsWithInstrumentTest, ::testing::ValuesIn(extension_definitions::kDefinitions),
                         [](const ::testing::TestParamInfo<ExtensionDefinition>& test) { return test.param.name; });

// The unit's memory is protected: its error answer to the first single
// stops the transmit, and the error is shown with the unit's bytes.
TEST(BankSynthWithInstrument, ProtectedMemoryRefusesTheFirstSingleAndTheTransmitStops) {
    DRUVDevice device;
    const std::string xml = extension_definitions::kBankSynth;
    ASSERT_EQ(0, LoadDefinitionFromMemory(device, reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
    DRUVData data;
    data.BuildFrom(device);
    data.OutPort = 1;
    data.InPort = 2;
    data.DeviceId = 4;
    TransferState state;
    InstrumentLink link;
    state.host_link = &link;
    SimulatedInstrument::Settings settings;
    settings.deviceId = 4;
    settings.refuseWrites = true;
    SimulatedInstrument unit(device, settings, InputOf(state));
    std::vector<uint8_t> stored = unit.Memory().StoredForm(0, false);
    std::copy(stored.begin(), stored.end(), data.Items[0]->Data());
    data.Items[0]->Length = static_cast<int32_t>(stored.size());
    link.Connect(&unit);
    RecordingProgressSink sink;

    EXPECT_FALSE(TransmitDumps(TransferContext{device, data, state}, 0, &sink, nullptr));
    ASSERT_FALSE(sink.calls.empty());
    EXPECT_EQ("Error! The instrument refused Banks (its answer: F0 40 04 41 F7). Cancelling...",
              sink.calls.back().Ascii());
    EXPECT_EQ(1, unit.GetCounts().refusedProtected) << "nothing after the refused single";
}

}  // namespace
