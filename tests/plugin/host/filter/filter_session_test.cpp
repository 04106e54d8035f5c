// Whole sessions of the filter object with the test host: a simulated
// instrument behind the host's ports, transfers on a host thread, replies on
// the host's input thread, the project saved and loaded by a fresh filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "testhost/instrument_rig.h"
#include "druvhost/host/progress_recorder.h"
#include "druvhost/host/project_stream.h"
#include "druvhost/host/host_object.h"
#include "tests/plugin/host/filter/filter_test_support.h"
#include "tests/support/test_host_object.h"

namespace {

using druv::simulator::SimulatedInstrument;
using druvhost::MakePortId;

constexpr uint32_t kInPort = 101;
constexpr uint32_t kOutPort = 201;

// Runs Transfer on a thread of its own, as the host does.
HRESULT TransferOnHostThread(CMidiFilter& filter, uint32_t transmit, IMPProgressSink* sink, uint32_t mask) {
    HRESULT result = E_UNEXPECTED;
    std::thread host([&] { result = filter.Transfer(transmit, sink, mask); });
    host.join();
    return result;
}

// The mixer's dumps; its only other message, the scene recall sent after
// a scene, is 7 bytes long.
bool IsMixerDump(const std::vector<uint8_t>& message) { return message.size() > 7 && message[0] == 0xF0; }

class FilterSessionTest : public ::testing::Test {
protected:
    FilterSessionTest() {
        host.SetPorts(MP_PORT_INPUT, {{kInPort, MakePortId(0x11), u"Simulated in"}});
        host.SetPorts(MP_PORT_OUTPUT, {{kOutPort, MakePortId(0x22), u"Simulated out"}});
        definition.SetFilePath(path.c_str());
        definition.LoadDefinition();
    }

    // Initialises `filter` with the host and the rig and connects it to the
    // host's input thread.
    void Attach(CMidiFilter& filter, testhost::InstrumentRig& rig) {
        uint32_t flags = 0;
        ASSERT_EQ(S_OK, filter.Initialise(host.Unknown(), &rig.MidiOut(), 0, 0, &flags));
        void* events = nullptr;
        ASSERT_EQ(S_OK, filter.QueryInterface(IID_IMPEventFilter, &events));
        rig.Input().Connect(static_cast<IMPEventFilter*>(events));
        static_cast<IMPEventFilter*>(events)->Release();
    }

    void Detach(CMidiFilter& filter, testhost::InstrumentRig& rig) {
        rig.Input().Connect(nullptr);
        filter.Terminate();
    }

    MessageRecorder boxes;
    const std::string path = ExampleDefinition("brindle-koss-sd16-mixer.druv");
    DRUVDevice definition;
    druvhosttest::TestHostObject host;
};

TEST_F(FilterSessionTest, ReceiveSaveLoadInAFreshFilterAndTransmitGivesTheInstrumentItsOwnDumps) {
    const int32_t liveBefore = module_counts::LiveFilters().load();
    SimulatedInstrument::Settings settings;
    settings.delivery = SimulatedInstrument::Delivery::Threaded;
    testhost::InstrumentRig rig(definition, settings, kOutPort, kInPort);
    druvhost::ProgressRecorder progress;
    IStream* stream = druvhost::CreateProjectStream();
    ASSERT_NE(nullptr, stream);

    std::vector<std::vector<uint8_t>> replies;
    {
        FilterHolder filter(path);
        ASSERT_EQ(2u, filter->Data().Items.size());
        Attach(*filter, rig);
        // The user picks the instrument's ports on the editor page.
        filter->Data().InPortId = MakePortId(0x11);
        filter->Data().OutPortId = MakePortId(0x22);
        filter->RefreshPorts();
        ASSERT_EQ(kInPort, filter->Data().InPort.load());
        ASSERT_EQ(kOutPort, filter->Data().OutPort.load());

        ASSERT_EQ(S_OK, TransferOnHostThread(*filter, 0, &progress, 0));
        for (const auto& item : filter->Data().Items) EXPECT_TRUE(item->HasData()) << item->Name();
        for (const auto& logged : rig.Instrument().Sent()) replies.push_back(logged.bytes);
        ASSERT_EQ(2u, replies.size());
        EXPECT_GT(rig.Input().MessagesDelivered(), 0u);

        std::vector<druvhost::ProgressRecord> records = progress.Records();
        ASSERT_FALSE(records.empty());
        size_t replyBytes = 0;
        for (const auto& reply : replies) replyBytes += reply.size();
        uint32_t mostDone = 0;
        for (const auto& record : records) {
            EXPECT_EQ(static_cast<void*>(filter.get()), record.context);
            mostDone = std::max(mostDone, record.done);
        }
        EXPECT_GE(mostDone, replyBytes) << records.back().Ascii();

        ASSERT_EQ(S_OK, filter->Save(stream, TRUE));
        Detach(*filter, rig);
    }
    EXPECT_EQ(liveBefore, module_counts::LiveFilters().load());
    EXPECT_EQ(0u, host.References());
    host.ClearClaims();

    FilterHolder filter(path);
    Attach(*filter, rig);
    EXPECT_EQ(0u, filter->Data().InPort.load()) << "a fresh filter knows no ports";
    ASSERT_TRUE(druvhost::RewindStream(stream));
    ASSERT_EQ(S_OK, filter->Load(stream));
    EXPECT_EQ(kInPort, filter->Data().InPort.load());
    EXPECT_EQ(kOutPort, filter->Data().OutPort.load());
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0x11)));
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0x22)));

    const size_t receivedBefore = rig.Instrument().Received().size();
    progress.Clear();
    ASSERT_EQ(S_OK, TransferOnHostThread(*filter, 1, &progress, 0));
    ASSERT_TRUE(rig.Instrument().WaitUntilIdle(std::chrono::seconds(30)));
    std::vector<std::vector<uint8_t>> dumpsBack;
    std::vector<SimulatedInstrument::LoggedMessage> received = rig.Instrument().Received();
    for (size_t i = receivedBefore; i < received.size(); ++i) {
        if (IsMixerDump(received[i].bytes)) dumpsBack.push_back(received[i].bytes);
    }
    EXPECT_EQ(replies, dumpsBack);
    EXPECT_EQ(2, rig.Instrument().GetCounts().dumpsStored);
    EXPECT_EQ(0, rig.Instrument().GetCounts().refusedBadChecksum);
    EXPECT_FALSE(progress.Records().empty());

    Detach(*filter, rig);
    filter.ReleaseLast();
    EXPECT_EQ(0, host.ClaimBalance(MakePortId(0x11)));
    EXPECT_EQ(0, host.ClaimBalance(MakePortId(0x22)));
    EXPECT_EQ(liveBefore, module_counts::LiveFilters().load());
    stream->Release();
}

TEST_F(FilterSessionTest, EventsOnOtherPortsNeverReachTheReceive) {
    SimulatedInstrument::Settings settings;
    // The instrument answers on a port the filter does not listen to.
    testhost::InstrumentRig rig(definition, settings, kOutPort, kInPort + 1);
    host.SetPorts(MP_PORT_INPUT, {{kInPort, MakePortId(0x11), u"Simulated in"},
                                  {kInPort + 1, MakePortId(0x12), u"Other in"}});
    FilterHolder filter(path);

    // The receive runs on virtual time and the instrument in real time, so
    // left alone the receive would give up before the answer exists. At its
    // first wait after the instrument took the request, the receive is held
    // until the answer has gone through the host's input thread into the
    // filter's ProcessEvents: it arrives while the item's window is open.
    struct Seen {
        bool held = false;
        bool answerSent = false;
        bool answerDelivered = false;
        uint32_t repliesSent = 0;
        uint32_t messagesDelivered = 0;
    } seen;
    VirtualClock clock;
    clock.SetSleepHook([&rig, &seen](uint32_t) {
        if (seen.held || rig.Instrument().GetCounts().requestsAnswered == 0) return;
        seen.held = true;
        seen.answerSent = rig.Instrument().WaitUntilIdle(std::chrono::seconds(30));
        seen.answerDelivered = rig.Input().WaitUntilIdle(std::chrono::seconds(30));
        seen.repliesSent = static_cast<uint32_t>(rig.Instrument().GetCounts().repliesDelivered);
        seen.messagesDelivered = rig.Input().MessagesDelivered();
    });
    filter->Data().SetTransferClock(clock);
    Attach(*filter, rig);
    filter->Data().InPortId = MakePortId(0x11);
    filter->Data().OutPortId = MakePortId(0x22);
    filter->RefreshPorts();

    druvhost::ProgressRecorder progress;
    ASSERT_EQ(S_OK, TransferOnHostThread(*filter, 0, &progress, 2));
    ASSERT_TRUE(seen.held) << "the instrument answered no request of the receive";
    ASSERT_TRUE(seen.answerSent) << "the instrument's answer did not leave it";
    ASSERT_TRUE(seen.answerDelivered) << "the host's input thread did not deliver the answer";
    EXPECT_GT(seen.repliesSent, 0u);
    EXPECT_EQ(seen.repliesSent, seen.messagesDelivered) << "every answer went to the filter's ProcessEvents";
    for (const auto& item : filter->Data().Items)
        EXPECT_FALSE(item->HasData()) << item->Name() << " holds " << item->Length.load() << " bytes";
    Detach(*filter, rig);
}

// Load and Save while a transfer runs, called from inside the transfer's
// own waits (the virtual clock's sleep hook).
class PersistenceDuringTransferTest : public FilterSessionTest {
protected:
    struct Seen {
        bool called = false;
        HRESULT load = S_OK;
        HRESULT save = S_OK;
        bool running = false;
        HRESULT nested = S_OK;
    };

    void ArmHook(CMidiFilter& filter, IStream* loadFrom, Seen& seen) {
        clock.SetSleepHook([&filter, loadFrom, &seen](uint32_t) {
            if (seen.called) return;
            seen.called = true;
            seen.running = filter.TransferRunning();
            seen.nested = filter.Transfer(0, nullptr, 0);
            druvhost::RewindStream(loadFrom);
            seen.load = filter.Load(loadFrom);
            auto* out = new druvhost::MemoryIStream();
            seen.save = filter.Save(out, TRUE);
            out->Release();
        });
    }

    VirtualClock clock;
    druvhost::HostMidiOut midiOut;  // routed nowhere: the receive times out
};

TEST_F(PersistenceDuringTransferTest, LoadIsRefusedDuringAnyTransferAndSaveDuringAReceive) {
    FilterHolder filter(path);
    filter->Data().SetTransferClock(clock);
    uint32_t flags = 0;
    ASSERT_EQ(S_OK, filter->Initialise(host.Unknown(), &midiOut, 0, 0, &flags));
    filter->Data().InPortId = MakePortId(0x11);
    filter->Data().OutPortId = MakePortId(0x22);
    filter->RefreshPorts();

    // A project with other data for the items, to be loaded during the transfer.
    IStream* project = druvhost::CreateProjectStream();
    DumpItem& setup = *filter->Data().Items[1];
    setup.Data()[0] = 0xF0;
    setup.Data()[1] = 0xF7;
    setup.Data()[2] = 0xFF;
    setup.Length = 3;
    ASSERT_EQ(S_OK, filter->Save(project, FALSE));
    setup.Length = 0;
    filter->SetDirty();

    Seen seen;
    ArmHook(*filter, project, seen);
    druvhost::ProgressRecorder progress;
    ASSERT_EQ(S_OK, filter->Transfer(0, &progress, 2));
    ASSERT_TRUE(seen.called) << "the receive waited";
    EXPECT_TRUE(seen.running);
    EXPECT_EQ(E_FAIL, seen.load);
    EXPECT_EQ(STG_E_CANTSAVE, seen.save);
    EXPECT_EQ(E_FAIL, seen.nested) << "one transfer at a time";
    EXPECT_EQ(S_OK, filter->IsDirty()) << "the refused save cleared nothing";
    EXPECT_FALSE(filter->TransferRunning());

    // Afterwards both work again, and the loaded data makes a transmit wait.
    ASSERT_TRUE(druvhost::RewindStream(project));
    EXPECT_EQ(S_OK, filter->Load(project));
    EXPECT_EQ(3, setup.Length.load());
    filter->Data().ItemDelay = 10;
    seen = Seen{};
    ArmHook(*filter, project, seen);
    ASSERT_EQ(S_OK, filter->Transfer(1, &progress, 2));
    ASSERT_TRUE(seen.called) << "the transmit waited";
    EXPECT_EQ(E_FAIL, seen.load) << "a load would replace the buffers being sent";
    EXPECT_EQ(S_OK, seen.save) << "saving only reads what a transmit reads";
    clock.SetSleepHook(nullptr);
    filter->Terminate();
    project->Release();
}

}  // namespace
