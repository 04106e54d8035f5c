// The host's objects: port lists that stay valid, claims, the notification
// point, the MIDI output's routing and the project stream.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/abi/host_interfaces.h"
#include "druvhost/host/host_midi_out.h"
#include "druvhost/host/progress_recorder.h"
#include "druvhost/host/project_stream.h"
#include "druvhost/host/host_object.h"
#include "tests/support/failing_memory_stream.h"
#include "tests/support/recording_host_midi_out.h"
#include "tests/support/test_host_object.h"

namespace {

using druvhost::MakePortId;

// A notification sink that counts the kinds it is told of.
class CountingSink : public IMPNotificationSink {
public:
    virtual ~CountingSink() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IMPNotificationSink)) {
            *object = static_cast<IMPNotificationSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE Notify(const GUID* kind) override {
        kinds.push_back(*kind);
        return S_OK;
    }
    ULONG references = 0;
    std::vector<GUID> kinds;
};

TEST(TestHostTest, ListsHandedOutStayValidAfterTheHostChangesThem) {
    druvhosttest::TestHostObject host;
    host.SetPorts(MP_PORT_INPUT, {{3, MakePortId(0x33), u"Three"}});
    MPPortList old{};
    ASSERT_EQ(S_OK, host.GetPorts(MP_PORT_INPUT, &old));
    host.SetPorts(MP_PORT_INPUT, {{4, MakePortId(0x44), u"Four"}, {5, MakePortId(0x55), u"Five"}});
    ASSERT_EQ(1u, old.Count);
    EXPECT_EQ(3u, old.Entries[0].Handle);
    EXPECT_EQ(u"Three", std::u16string(reinterpret_cast<const char16_t*>(old.Entries[0].Name)));

    MPPortList now{};
    ASSERT_EQ(S_OK, host.GetPorts(MP_PORT_INPUT, &now));
    EXPECT_EQ(2u, now.Count);
    ASSERT_EQ(S_OK, host.GetPorts(MP_PORT_OUTPUT, &now));
    EXPECT_EQ(0u, now.Count);
    EXPECT_EQ(E_FAIL, host.GetPorts(2, &now));
    host.SetGetPortsFails(true);
    EXPECT_EQ(E_FAIL, host.GetPorts(MP_PORT_INPUT, &now));

    host.ClaimPort(1, MakePortId(0x44), 0, IID_IUnknown, nullptr, 0);
    host.ClaimPort(1, MakePortId(0x44), 0, IID_IUnknown, nullptr, 0);
    host.ClaimPort(0, MakePortId(0x44), 0, IID_IUnknown, nullptr, 0);
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0x44)));
    EXPECT_EQ(0, host.ClaimBalance(MakePortId(0x55)));
    EXPECT_EQ(3u, host.Claims().size());
}

TEST(TestHostTest, ConnectionPointKeepsSinksUntilUnadvisedAndFiresToEach) {
    druvhost::HostObject host;
    void* found = nullptr;
    ASSERT_EQ(S_OK, host.Unknown()->QueryInterface(IID_IConnectionPointContainer, &found));
    auto* container = static_cast<IConnectionPointContainer*>(found);
    IConnectionPoint* point = nullptr;
    EXPECT_EQ(druvhost::kNoConnection, container->FindConnectionPoint(IID_IMPPortBroker, &point));
    EXPECT_EQ(nullptr, point);
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IMPNotificationSink, &point));

    CountingSink first, second;
    DWORD cookie1 = 0, cookie2 = 0;
    ASSERT_EQ(S_OK, point->Advise(&first, &cookie1));
    ASSERT_EQ(S_OK, point->Advise(&second, &cookie2));
    EXPECT_NE(0u, cookie1);
    EXPECT_NE(cookie1, cookie2);
    EXPECT_EQ(1u, first.references);
    host.FirePortsChanged();
    ASSERT_EQ(1u, second.kinds.size());
    EXPECT_TRUE(IsEqualGUID(MP_NOTIFY_PORTS_CHANGED, second.kinds[0]));

    EXPECT_EQ(S_OK, point->Unadvise(cookie1));
    EXPECT_EQ(druvhost::kNoConnection, point->Unadvise(cookie1));
    EXPECT_EQ(0u, first.references);
    host.FirePortsChanged();
    EXPECT_EQ(1u, first.kinds.size());
    EXPECT_EQ(2u, second.kinds.size());
    EXPECT_EQ(S_OK, point->Unadvise(cookie2));

    point->Release();
    container->Release();
    EXPECT_EQ(0u, host.References());
    EXPECT_EQ(0u, host.Notifications().References());
}

TEST(HostMidiOutTest, KeepsEveryMessageAndRoutesOnlyItsPort) {
    druvhosttest::RecordingHostMidiOut out;
    std::vector<std::vector<uint8_t>> routed;
    out.Route(7, [&](const uint8_t* message, size_t size) { routed.emplace_back(message, message + size); });
    uint8_t sysx[] = {0x7D, 0x01, 0xF7};
    MPEvent event{};
    event.Type = MP_EVENT_SYSX;
    event.Port = 7;
    event.Length = 3;
    event.Data.SysX = sysx;
    ASSERT_EQ(S_OK, out.Send(&event, 1));
    sysx[1] = 0x02;  // the plug-in reuses its buffer once Send returns
    event.Port = 8;
    ASSERT_EQ(S_OK, out.Send(&event, 1));

    ASSERT_EQ(1u, routed.size());
    EXPECT_EQ((std::vector<uint8_t>{0xF0, 0x7D, 0x01, 0xF7}), routed[0]);
    std::vector<druvhosttest::SentMessage> sent = out.Sent();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ((std::vector<uint8_t>{0xF0, 0x7D, 0x01, 0xF7}), sent[0].wire);
    EXPECT_EQ((std::vector<uint8_t>{0xF0, 0x7D, 0x02, 0xF7}), sent[1].wire);
    EXPECT_EQ(1u, sent[1].countArgument);
}

// The sink a transfer is given keeps what the plug-in reported and shows it
// on the display as it comes, in the same order and with the same values.
TEST(ProgressRecorderTest, KeepsEveryCallAndPassesItOnToTheDisplay) {
    druvhost::ProgressRecorder display;
    druvhost::ProgressRecorder progress(&display);
    const WCHAR status[] = {'R', 'E', 'C', 'E', 'I', 'V', 'I', 'N', 'G', 0};
    const WCHAR message[] = {'E', 'r', 'r', 'o', 'r', 0};
    int context = 0;
    EXPECT_EQ(S_OK, progress.Progress(&context, 1, 10, status));
    EXPECT_EQ(S_OK, progress.Progress(&context, 2, 10, message));
    EXPECT_EQ(S_OK, progress.Progress(&context, 10, 10, nullptr));
    for (const druvhost::ProgressRecorder* sink : {&progress, &display}) {
        const std::vector<druvhost::ProgressRecord> records = sink->Records();
        ASSERT_EQ(3u, records.size());
        EXPECT_EQ("RECEIVING", records[0].Ascii());
        EXPECT_EQ("Error", records[1].Ascii());
        EXPECT_EQ(2u, records[1].done);
        EXPECT_FALSE(records[2].hasText);
        EXPECT_EQ(&context, records[2].context);
    }
}

TEST(ProjectStreamTest, WritesReadsBackAndFailsWhereTold) {
    IStream* stream = druvhost::CreateProjectStream();
    ASSERT_NE(nullptr, stream);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    ULONG written = 0;
    ASSERT_EQ(S_OK, stream->Write(bytes, sizeof(bytes), &written));
    EXPECT_EQ(5u, written);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5}), druvhost::StreamBytes(stream));
    ASSERT_TRUE(druvhost::RewindStream(stream));
    uint8_t back[8] = {};
    ULONG read = 0;
    EXPECT_TRUE(SUCCEEDED(stream->Read(back, sizeof(back), &read)));
    EXPECT_EQ(5u, read) << "a read past the end delivers what there is";
    stream->Release();

    auto* failing = new druvhosttest::FailingMemoryStream(3);
    EXPECT_EQ(S_OK, failing->Write(bytes, 3, &written));
    EXPECT_TRUE(FAILED(failing->Write(bytes, 1, &written)));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(3u, failing->Bytes().size());
    failing->Release();
}

}  // namespace
