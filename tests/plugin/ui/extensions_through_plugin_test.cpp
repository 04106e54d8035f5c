// Definitions that use the format's extensions, through DRUV.dll as the host
// makes it, at MIDI wire speed: each is received from the simulated
// instrument behind the test host's ports (a panel dump started when the
// receive waits for it), byte for byte through its checked checksums, then
// sent to a second unit with another device ID, which afterwards holds every
// dump with its own ID and valid checksums and refused nothing. Under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "device/druv_device.h"
#include "platform/safe_file_write.h"
#include "platform/wide_text.h"
#include "device/guid_text.h"
#include "druvhost/host/host_object.h"
#include "plugin/engine/transfer_state.h"
#include "testhost/instrument_rig.h"
#include "tests/plugin/extension_definitions.h"
#include "tests/plugin/fakes/recording_progress_sink.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

using druv::simulator::InstrumentDefinition;
using druv::simulator::InstrumentMemory;
using druv::simulator::SimulatedInstrument;
using extension_definitions::ExtensionDefinition;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kInPort = 33;
constexpr uint32_t kOutPort = 43;
constexpr uint8_t kFirstId = 2;
constexpr uint8_t kSecondId = 6;

std::string LastText(const RecordingProgressSink& sink) {
    for (auto call = sink.calls.rbegin(); call != sink.calls.rend(); ++call)
        if (call->hasText) return call->Ascii();
    return "none";
}

class ExtensionsThroughPluginTest : public ::testing::TestWithParam<ExtensionDefinition> {
protected:
    void SetUp() override {
        const ExtensionDefinition& definition = GetParam();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(TextToGuid(definition.guid, classId_)) << definition.guid;
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path_ = Utf8Text(folder) + "druv-extensions-" + definition.name + "-" +
                std::to_string(GetCurrentProcessId()) + ".druv";
        const std::string xml = definition.xml;
        ASSERT_TRUE(WriteFileSafely(path_, xml.data(), xml.size())) << path_;
        ASSERT_TRUE(RegisterDevice({classId_, path_}, DRUV_PLUGIN_DLL));

        definition_.SetFilePath(path_.c_str());
        ASSERT_EQ(0, definition_.LoadDefinition());
        host_.SetPorts(MP_PORT_INPUT, {{kInPort, druvhost::MakePortId(0x33), u"Unit in"}});
        host_.SetPorts(MP_PORT_OUTPUT, {{kOutPort, druvhost::MakePortId(0x43), u"Unit out"}});
        InstrumentDefinition instrument = druv::simulator::DefinitionFromDevice(definition_);
        if (definition.manual) instrument.templates[0].size = definition.panelBytes;
        SimulatedInstrument::Settings settings;
        settings.deviceId = kFirstId;
        settings.seed = 21;
        settings.messagesPerMultiSysXLoop = definition.panelMessages;
        rig_ = std::make_unique<testhost::InstrumentRig>(instrument, settings, kOutPort, kInPort);

        ASSERT_EQ(S_OK, CoCreateInstance(classId_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                         reinterpret_cast<void**>(&filter_unknown_)));
        IMPInitialise* initialise = nullptr;
        ASSERT_EQ(S_OK, filter_unknown_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)));
        filter_ = static_cast<CMidiFilter*>(initialise);
        uint32_t flags = 0;
        ASSERT_EQ(S_OK, initialise->Initialise(host_.Unknown(), &rig_->MidiOut(), 0, 0, &flags));
        initialise->Release();
        ASSERT_EQ(S_OK, filter_unknown_->QueryInterface(IID_IMPEventFilter, reinterpret_cast<void**>(&events_)));
        rig_->Input().Connect(events_);
        ASSERT_EQ(S_OK, filter_unknown_->QueryInterface(IID_IMPServices2, reinterpret_cast<void**>(&services_)));
        filter_->Data().InPortId = druvhost::MakePortId(0x33);
        filter_->Data().OutPortId = druvhost::MakePortId(0x43);
        filter_->RefreshPorts();
        ASSERT_EQ(kInPort, filter_->Data().InPort.load());
        filter_->Data().DeviceId = kFirstId;
    }

    void TearDown() override {
        if (rig_) rig_->Input().Connect(nullptr);
        if (events_) events_->Release();
        if (services_) services_->Release();
        if (filter_unknown_) {
            IMPInitialise* initialise = nullptr;
            if (SUCCEEDED(filter_unknown_->QueryInterface(IID_IMPInitialise, reinterpret_cast<void**>(&initialise)))) {
                initialise->Terminate();
                initialise->Release();
            }
            EXPECT_EQ(0u, filter_unknown_->Release());
        }
        rig_.reset();
        RemoveDeviceKey(classId_);
        DeleteFileW(WideText(path_).c_str());
        CoUninitialize();
    }

    // The host's Transfer on a thread of its own; a panel dump is started
    // once the receive's loop waits for it.
    HRESULT Receive(RecordingProgressSink& sink) {
        HRESULT result = E_UNEXPECTED;
        std::thread transfer([&] { result = services_->Transfer(0, &sink, 0); });
        if (GetParam().manual) {
            const DWORD start = GetTickCount();
            while (!filter_->State().current_template.load() && GetTickCount() - start < 10000) Sleep(5);
            EXPECT_EQ(static_cast<size_t>(GetParam().panelMessages), rig_->Instrument().SendPanelDump(0));
        }
        transfer.join();
        return result;
    }

    Bytes Stored() const {
        const DumpItem& item = *filter_->Data().Items.at(0);
        return Bytes(item.Data(), item.Data() + item.Length.load());
    }

    CLSID classId_{};
    std::string path_;
    DRUVDevice definition_;
    druvhost::HostObject host_;
    std::unique_ptr<testhost::InstrumentRig> rig_;
    IUnknown* filter_unknown_ = nullptr;
    CMidiFilter* filter_ = nullptr;
    IMPEventFilter* events_ = nullptr;
    IMPServices2* services_ = nullptr;
};

TEST_P(ExtensionsThroughPluginTest, DumpsComeInWholeAndGoBackToASecondUnitRenewed) {
    RecordingProgressSink received;
    ASSERT_EQ(S_OK, Receive(received));
    SimulatedInstrument& first = rig_->Instrument();
    EXPECT_EQ(first.Memory().StoredForm(0, false), Stored())
        << "holds " << Stored().size() << " bytes; last text: " << LastText(received);
    EXPECT_EQ(0, first.GetCounts().refusedBadChecksum) << "requests refused for their checksum";
    EXPECT_EQ(0, first.GetCounts().unrecognised) << "requests the unit could not place";

    SimulatedInstrument::Settings settings;
    settings.deviceId = kSecondId;
    settings.seed = 22;
    settings.messagesPerMultiSysXLoop = GetParam().panelMessages;
    SimulatedInstrument& second = rig_->SwitchToSecond(settings);
    filter_->Data().DeviceId = kSecondId;
    RecordingProgressSink sent;
    ASSERT_EQ(S_OK, services_->Transfer(1, &sent, 0));
    ASSERT_TRUE(second.WaitUntilIdle(std::chrono::seconds(10)));
    ASSERT_FALSE(sent.calls.empty());
    EXPECT_FALSE(sent.calls.back().hasText) << "the transmit ended early: " << LastText(sent);
    InstrumentMemory expected = druv::simulator::MemoryRenewedFor(first, kSecondId);
    InstrumentMemory held = second.Memory();
    for (int loop = 0; loop < expected.LoopCount(0); ++loop)
        EXPECT_EQ(expected.Slot(0, loop), held.Slot(0, loop)) << "loop " << loop;
    SimulatedInstrument::Counts counts = second.GetCounts();
    EXPECT_EQ(0, counts.refusedBadChecksum) << "dumps refused for their checksum";
    EXPECT_EQ(0, counts.refusedWrongDeviceId) << "dumps refused for their device ID";
    EXPECT_EQ(0, counts.arrivedBeforeWireFree) << "messages sent faster than the wire";
    if (!definition_.Template(0)->Extensions().ackPattern.empty()) {
        EXPECT_EQ(counts.dumpsStored, counts.acknowledgements) << "writes answered";
    }
    EXPECT_EQ(Activity::Idle, filter_->State().activity.load());
}

INSTANTIATE_TEST_SUITE_P(All, ExtensionsThroughPluginTest, ::testing::ValuesIn(extension_definitions::kDefinitions),
                         [](const ::testing::TestParamInfo<ExtensionDefinition>& test) { return test.param.name; });

// A unit whose memory is protected answers the first single with its
// error: the transmit stops there and the host shows the unit's bytes.
class ProtectedUnitThroughPluginTest : public ExtensionsThroughPluginTest {};

TEST_P(ProtectedUnitThroughPluginTest, RefusedWriteStopsTheTransmitWithTheUnitsAnswer) {
    RecordingProgressSink received;
    ASSERT_EQ(S_OK, Receive(received));
    SimulatedInstrument::Settings settings;
    settings.deviceId = kSecondId;
    settings.refuseWrites = true;
    SimulatedInstrument& second = rig_->SwitchToSecond(settings);
    filter_->Data().DeviceId = kSecondId;
    RecordingProgressSink sent;
    ASSERT_EQ(S_OK, services_->Transfer(1, &sent, 0));
    EXPECT_EQ("Error! The instrument refused Banks (its answer: F0 40 06 41 F7). Cancelling...", LastText(sent));
    EXPECT_EQ(1, second.GetCounts().refusedProtected) << "nothing was sent after the refused single";
}

INSTANTIATE_TEST_SUITE_P(BankSynth, ProtectedUnitThroughPluginTest,
                         ::testing::Values(extension_definitions::kDefinitions[1]),
                         [](const ::testing::TestParamInfo<ExtensionDefinition>& test) { return test.param.name; });

}  // namespace
