// A receive through DRUV.dll as the host makes it, from the simulated
// instrument behind the test host's ports: a bank that held an older dump
// keeps it, byte for byte and in the saved project, when the new receive
// stops part-way. Under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "device/druv_device.h"
#include "platform/safe_file_write.h"
#include "platform/wide_text.h"
#include "druvhost/host/host_object.h"
#include "druvhost/host/project_stream.h"
#include "plugin/engine/transfer_state.h"
#include "testhost/instrument_rig.h"
#include "tests/plugin/fakes/recording_progress_sink.h"
#include "tests/plugin/ui/page_host_support.h"

using namespace pagehost;

namespace {

using druv::simulator::MidiMessage;
using druv::simulator::SimulatedInstrument;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kInPort = 31;
constexpr uint32_t kOutPort = 41;

// {4E8A2C61-0B3D-4F75-9A26-C1D7E05B3F98}: installed by these tests only.
constexpr CLSID kBankClass = {0x4E8A2C61, 0x0B3D, 0x4F75, {0x9A, 0x26, 0xC1, 0xD7, 0xE0, 0x5B, 0x3F, 0x98}};

// Eight patches of 20 bytes, one request each; no time limit, so that a
// silent instrument is waited for until the musician cancels.
constexpr char kBankDefinition[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<DRUVDevice>
  <DeviceGUID>4E8A2C61-0B3D-4F75-9A26-C1D7E05B3F98</DeviceGUID>
  <EditorGUID>5F9B3D72-1C4E-4086-8B37-D2E8F16C4A09</EditorGUID>
  <Company>Quillon</Company>
  <Product>Bank Unit</Product>
  <Version>1.0</Version>
  <SysXChanOfs>2</SysXChanOfs>
  <SysXChanMin>0</SysXChanMin>
  <SysXChanMax>15</SysXChanMax>
  <Template>Bank<Size>160</Size><NumLoops>8</NumLoops><LoopStart>0</LoopStart><LoopIncDec>1</LoopIncDec><LoopRecvSize>20</LoopRecvSize><DelayBetweenSysX>0</DelayBetweenSysX><Request>F0 7D 00 10 F1 F7 </Request></Template>
</DRUVDevice>
)";

class ReceiveThroughPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path_ = Utf8Text(folder) + "druv-receive-bank-" + std::to_string(GetCurrentProcessId()) + ".druv";
        ASSERT_TRUE(WriteFileSafely(path_, kBankDefinition, sizeof kBankDefinition - 1)) << path_;
        ASSERT_TRUE(RegisterDevice({kBankClass, path_}, DRUV_PLUGIN_DLL));

        definition_.SetFilePath(path_.c_str());
        ASSERT_EQ(0, definition_.LoadDefinition());
        host_.SetPorts(MP_PORT_INPUT, {{kInPort, druvhost::MakePortId(0x31), u"Bank in"}});
        host_.SetPorts(MP_PORT_OUTPUT, {{kOutPort, druvhost::MakePortId(0x41), u"Bank out"}});
        SimulatedInstrument::Settings settings;
        settings.seed = 7;
        rig_ = std::make_unique<testhost::InstrumentRig>(definition_, settings, kOutPort, kInPort);

        // The filter as the host makes it: through the component library.
        ASSERT_EQ(S_OK, CoCreateInstance(kBankClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
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
        // The musician's choice of ports on the editor page.
        filter_->Data().InPortId = druvhost::MakePortId(0x31);
        filter_->Data().OutPortId = druvhost::MakePortId(0x41);
        filter_->RefreshPorts();
        ASSERT_EQ(kInPort, filter_->Data().InPort.load());
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
        RemoveDeviceKey(kBankClass);
        DeleteFileW(WideText(path_).c_str());
        CoUninitialize();
    }

    // The host's Transfer on a thread of its own; `meanwhile` runs on this
    // thread while it lasts.
    template <typename Meanwhile>
    HRESULT ReceiveWhile(RecordingProgressSink& sink, Meanwhile meanwhile) {
        HRESULT result = E_UNEXPECTED;
        std::atomic<bool> done{false};
        std::thread transfer([&] {
            result = services_->Transfer(0, &sink, 0);
            done = true;
        });
        meanwhile(done);
        transfer.join();
        return result;
    }
    HRESULT Receive(RecordingProgressSink& sink) {
        return ReceiveWhile(sink, [](const std::atomic<bool>&) {});
    }

    Bytes Bank() const {
        const DumpItem& item = *filter_->Data().Items.at(0);
        return Bytes(item.Data(), item.Data() + item.Length.load());
    }

    Bytes SavedProject() {
        IPersistStream* persist = nullptr;
        EXPECT_EQ(S_OK, filter_unknown_->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)));
        IStream* stream = druvhost::CreateProjectStream();
        Bytes bytes;
        if (persist && stream && persist->Save(stream, FALSE) == S_OK) bytes = druvhost::StreamBytes(stream);
        if (stream) stream->Release();
        if (persist) persist->Release();
        return bytes;
    }

    // The instrument's patches from now on differ from the ones it gave:
    // one data byte of each patch is changed.
    void ChangeInstrumentPatches() {
        druv::simulator::InstrumentMemory memory = rig_->Instrument().Memory();
        for (int loop = 0; loop < memory.LoopCount(0); ++loop) {
            std::vector<MidiMessage> slot = memory.Slot(0, loop);
            slot.at(0).at(5) ^= 0x01;
            ASSERT_TRUE(rig_->Instrument().SetSlot(0, loop, slot));
        }
    }

    std::string path_;
    DRUVDevice definition_;
    druvhost::HostObject host_;
    std::unique_ptr<testhost::InstrumentRig> rig_;
    IUnknown* filter_unknown_ = nullptr;
    CMidiFilter* filter_ = nullptr;
    IMPEventFilter* events_ = nullptr;
    IMPServices2* services_ = nullptr;
};

TEST_F(ReceiveThroughPluginTest, BankThatStopsPartWayKeepsItsOlderDumpInTheProject) {
    RecordingProgressSink first;
    ASSERT_EQ(S_OK, Receive(first));
    const Bytes older = rig_->Instrument().Memory().StoredForm(0, false);
    ASSERT_EQ(older, Bank()) << "the first receive brought the whole bank";
    const Bytes project = SavedProject();
    ASSERT_FALSE(project.empty());
    ChangeInstrumentPatches();

    // Silent from the third patch: the receive waits until the musician
    // cancels.
    rig_->Instrument().SetSilentFromLoop(2);
    RecordingProgressSink silent;
    EXPECT_EQ(S_OK, ReceiveWhile(silent, [&](const std::atomic<bool>& done) {
        const DWORD start = GetTickCount();
        while (rig_->Instrument().GetCounts().requestsSilenced == 0 && !done && GetTickCount() - start < 10000)
            Sleep(5);
        Sleep(300);
        EXPECT_FALSE(done.load()) << "the receive ended without waiting for the silent patch";
        services_->Cancel();
    }));
    EXPECT_EQ(1, rig_->Instrument().GetCounts().requestsSilenced) << "the third patch was asked for once";
    EXPECT_EQ(older, Bank()) << "the bank holds " << Bank().size() << " bytes instead of its older "
                             << older.size();
    EXPECT_EQ(project, SavedProject()) << "the project no longer holds the older dump";

    // The third patch comes short: the receive stops with its message.
    rig_->Instrument().SetSilentFromLoop(-1);
    druv::simulator::InstrumentMemory memory = rig_->Instrument().Memory();
    std::vector<MidiMessage> third = memory.Slot(0, 2);
    third.at(0).erase(third.at(0).begin() + 3);
    ASSERT_TRUE(rig_->Instrument().SetSlot(0, 2, third));
    RecordingProgressSink shortened;
    EXPECT_EQ(S_OK, Receive(shortened));
    bool reported = false;
    for (const ProgressCall& call : shortened.calls)
        reported |= call.Ascii() == "Error, SysX missing bytes (recv=19 request=21). Cancelling...";
    EXPECT_TRUE(reported) << "last text: " << (shortened.calls.empty() ? "none" : shortened.calls.back().Ascii());
    EXPECT_EQ(older, Bank()) << "the bank holds " << Bank().size() << " bytes instead of its older "
                             << older.size();
    EXPECT_EQ(project, SavedProject()) << "the project no longer holds the older dump";

    // A whole receive takes the instrument's new patches.
    ASSERT_TRUE(rig_->Instrument().SetSlot(0, 2, memory.Slot(0, 2)));
    RecordingProgressSink whole;
    EXPECT_EQ(S_OK, Receive(whole));
    EXPECT_EQ(rig_->Instrument().Memory().StoredForm(0, false), Bank());
    EXPECT_NE(older, Bank());
    EXPECT_EQ(Activity::Idle, filter_->State().activity.load());
}

}  // namespace
