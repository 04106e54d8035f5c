// The filter object against the test host: the links Initialise takes and
// Terminate gives back, port notifications, persistence with port claims,
// and the cases in which Transfer refuses to run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "plugin/engine/data_stream.h"
#include "druvhost/host/progress_recorder.h"
#include "druvhost/host/project_stream.h"
#include "tests/plugin/host/filter/filter_test_support.h"
#include "tests/support/failing_memory_stream.h"
#include "tests/support/recording_host_midi_out.h"
#include "tests/support/test_host_object.h"

namespace {

using druvhost::MakePortId;

bool SameId(const MPPortId& a, const MPPortId& b) { return std::memcmp(&a, &b, sizeof(MPPortId)) == 0; }

class CountingPage : public EditorPageLink {
public:
    virtual ~CountingPage() = default;
    void PortsChanged() override { ++refills; }
    void DataReceived() override { ++refreshes; }
    void FilterGone() override { ++gone; }
    int refills = 0;
    int refreshes = 0;
    int gone = 0;
};

class FilterHostTest : public ::testing::Test {
protected:
    FilterHostTest() {
        host.SetPorts(MP_PORT_INPUT, {{11, MakePortId(0xA1), u"In A"}, {12, MakePortId(0xB1), u"In B"}});
        host.SetPorts(MP_PORT_OUTPUT, {{21, MakePortId(0xC1), u"Out C"}});
    }

    std::string Definition() { return folder.Write("device.druv", DefinitionXml({"A", "B"}, {"One", "Two"})); }

    uint32_t Initialise(CMidiFilter& filter, uint32_t flags = 0x3) {
        EXPECT_EQ(S_OK, filter.Initialise(host.Unknown(), &midiOut, 77, 88, &flags));
        return flags;
    }

    ScratchFolder folder;
    MessageRecorder boxes;
    druvhosttest::TestHostObject host;
    druvhosttest::RecordingHostMidiOut midiOut;
};

TEST_F(FilterHostTest, InitialiseTakesTheLinksAndTerminateGivesThemBack) {
    FilterHolder filter(Definition());
    EXPECT_EQ(0x43u, Initialise(*filter)) << "bit 0x40 is added to the caller's flags";
    EXPECT_EQ(1u, host.Notifications().SinkCount());
    EXPECT_EQ(1u, midiOut.References());
    EXPECT_EQ(&midiOut, static_cast<IMPMidiOut*>(filter->State().host_link));
    // Port directory, port broker, and the point's reference to the host is none.
    EXPECT_EQ(2u, host.References());
    EXPECT_EQ(1u, host.Notifications().References());
    EXPECT_EQ(&host, static_cast<druvhost::HostObject*>(filter->PortBroker()));

    EXPECT_EQ(S_OK, filter->Terminate());
    EXPECT_EQ(0u, host.Notifications().SinkCount());
    EXPECT_EQ(0u, host.Notifications().References());
    EXPECT_EQ(0u, midiOut.References());
    EXPECT_EQ(nullptr, filter->State().host_link);
    EXPECT_EQ(1u, host.References()) << "the broker stays until the filter goes";

    EXPECT_EQ(0u, filter.ReleaseLast());
    EXPECT_EQ(0u, host.References());
}

TEST_F(FilterHostTest, AHostWithoutServicesIsNoError) {
    host.OfferPortDirectory(false);
    host.OfferPortBroker(false);
    host.OfferConnectionPoints(false);
    FilterHolder filter(Definition());
    EXPECT_EQ(0x40u, Initialise(*filter, 0));
    EXPECT_EQ(nullptr, filter->PortBroker());
    EXPECT_EQ(0u, filter->Data().InPorts.Count);
    EXPECT_EQ(S_OK, filter->Initialise(nullptr, nullptr, 0, 0, nullptr));
    EXPECT_EQ(0u, host.References());
}

TEST_F(FilterHostTest, ASecondInitialiseReplacesTheLinksAndDestructionReleasesWhatIsLeft) {
    // Without connection points nothing holds the filter, so it can go
    // without Terminate, as a careless host would let it.
    host.OfferConnectionPoints(false);
    {
        FilterHolder filter(Definition());
        Initialise(*filter);
        Initialise(*filter);
        EXPECT_EQ(1u, midiOut.References());
        EXPECT_EQ(2u, host.References());
    }
    EXPECT_EQ(0u, host.References());
    EXPECT_EQ(0u, midiOut.References());
}

TEST_F(FilterHostTest, PortNotificationsKeepOrForgetTheStoredPort) {
    FilterHolder filter(Definition());
    CountingPage page;
    filter->AttachPage(&page);
    Initialise(*filter);
    EXPECT_EQ(1, page.refills);
    ASSERT_EQ(2u, filter->Data().InPorts.Count);
    EXPECT_EQ(0u, filter->Data().InPort.load()) << "no identity stored yet";

    filter->Data().InPortId = MakePortId(0xB1);
    filter->Data().OutPortId = MakePortId(0xC1);
    host.FirePortsChanged();
    EXPECT_EQ(2, page.refills);
    EXPECT_EQ(12u, filter->Data().InPort.load());
    EXPECT_EQ(21u, filter->Data().OutPort.load());

    // Another kind of notification changes nothing, even with new lists.
    host.SetPorts(MP_PORT_INPUT, {});
    const GUID other = {0x9DD48DE6, 0x9F3F, 0x4E80, {0xBC, 0xB5, 0x44, 0x82, 0xA5, 0xB5, 0x24, 0x0B}};
    EXPECT_EQ(S_OK, filter->Notify(&other));
    EXPECT_EQ(S_OK, filter->Notify(nullptr));
    EXPECT_EQ(12u, filter->Data().InPort.load());
    EXPECT_EQ(2, page.refills);

    // A list that empties keeps the identity, so the port is found again.
    host.FirePortsChanged();
    EXPECT_EQ(0u, filter->Data().InPort.load());
    EXPECT_TRUE(SameId(MakePortId(0xB1), filter->Data().InPortId));
    host.SetPorts(MP_PORT_INPUT, {{13, MakePortId(0xB1), u"In B again"}});
    host.FirePortsChanged();
    EXPECT_EQ(13u, filter->Data().InPort.load());

    // A list without the port forgets it.
    host.SetPorts(MP_PORT_INPUT, {{11, MakePortId(0xA1), u"In A"}});
    host.FirePortsChanged();
    EXPECT_EQ(0u, filter->Data().InPort.load());
    EXPECT_TRUE(SameId(MPPortId{}, filter->Data().InPortId));
    EXPECT_EQ(21u, filter->Data().OutPort.load()) << "the other direction is untouched";

    // A host whose directory fails counts as listing no ports.
    host.SetGetPortsFails(true);
    host.FirePortsChanged();
    EXPECT_EQ(0u, filter->Data().OutPort.load());
    EXPECT_TRUE(SameId(MakePortId(0xC1), filter->Data().OutPortId));
    EXPECT_EQ(0u, filter->Data().OutPorts.Count);

    filter->AttachPage(nullptr);
    filter->Terminate();
    host.FirePortsChanged();  // no longer advised
    EXPECT_EQ(6, page.refills);
}

TEST_F(FilterHostTest, APageThatOutlivesItsFilterIsToldWhenItGoes) {
    CountingPage kept;
    CountingPage detached;
    {
        FilterHolder filter(Definition());
        filter->AttachPage(&detached);
        filter->AttachPage(nullptr);
        filter->AttachPage(&kept);
        EXPECT_EQ(0, kept.gone) << "nothing said while the filter lives";
    }
    EXPECT_EQ(1, kept.gone);
    EXPECT_EQ(0, detached.gone) << "a page that let go hears nothing";
}

TEST_F(FilterHostTest, SaveAndLoadCarryThePortsAndClaimThem) {
    IStream* stream = druvhost::CreateProjectStream();
    ASSERT_NE(nullptr, stream);
    {
        FilterHolder filter(Definition());
        Initialise(*filter);
        filter->Data().InPortId = MakePortId(0xA1);
        filter->Data().OutPortId = MakePortId(0xC1);
        filter->RefreshPorts();
        filter->Data().DeviceId = 5;
        filter->SetDirty();

        ULARGE_INTEGER size{};
        ASSERT_EQ(S_OK, filter->GetSizeMax(&size));
        EXPECT_EQ(S_OK, filter->Save(stream, FALSE));
        EXPECT_EQ(S_OK, filter->IsDirty()) << "Save without clearing keeps the flag";
        EXPECT_EQ(size.QuadPart, druvhost::StreamBytes(stream).size());
        filter->Terminate();
        host.ClearClaims();
        IUnknown* identity = static_cast<IMPInitialise*>(filter.get());
        filter.ReleaseLast();

        // Destruction gives both ports back.
        std::vector<druvhosttest::ClaimRecord> claims = host.Claims();
        ASSERT_EQ(2u, claims.size());
        for (const druvhosttest::ClaimRecord& claim : claims) {
            EXPECT_EQ(0, claim.claim);
            EXPECT_TRUE(IsEqualGUID(kTestClassId, claim.ownerClass));
            EXPECT_EQ(identity, claim.owner);
            EXPECT_EQ(0u, claim.reserved1);
            EXPECT_EQ(0u, claim.reserved2);
        }
        EXPECT_TRUE(SameId(MakePortId(0xA1), claims[0].port));
        EXPECT_TRUE(SameId(MakePortId(0xC1), claims[1].port));
    }
    host.ClearClaims();

    FilterHolder filter(Definition());
    Initialise(*filter);
    EXPECT_EQ(0u, filter->Data().InPort.load());
    ASSERT_TRUE(druvhost::RewindStream(stream));
    EXPECT_EQ(S_OK, filter->Load(stream));
    EXPECT_EQ(11u, filter->Data().InPort.load());
    EXPECT_EQ(21u, filter->Data().OutPort.load());
    EXPECT_EQ(5, filter->Data().DeviceId.load());
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0xA1)));
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0xC1)));
    EXPECT_EQ(S_FALSE, filter->IsDirty());

    filter->SetDirty();
    EXPECT_EQ(S_OK, filter->Save(stream, TRUE));
    EXPECT_EQ(S_FALSE, filter->IsDirty());

    // Loading again (a host reverting its project) gives back what the first
    // load claimed, so one release at the end balances every port.
    ASSERT_TRUE(druvhost::RewindStream(stream));
    EXPECT_EQ(S_OK, filter->Load(stream));
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0xA1)));
    EXPECT_EQ(1, host.ClaimBalance(MakePortId(0xC1)));
    filter->Terminate();
    filter.ReleaseLast();
    EXPECT_EQ(0, host.ClaimBalance(MakePortId(0xA1)));
    EXPECT_EQ(0, host.ClaimBalance(MakePortId(0xC1)));
    stream->Release();
}

// Walks the broker's log: a port is claimed only while not claimed, released
// only while claimed, and nothing is left claimed at the end.
void ExpectEveryReleaseAnswersAClaim(const std::vector<druvhosttest::ClaimRecord>& log, const char* sequence) {
    std::vector<std::pair<MPPortId, int>> held;
    for (size_t i = 0; i < log.size(); ++i) {
        auto entry = std::find_if(held.begin(), held.end(), [&](const auto& h) { return SameId(h.first, log[i].port); });
        if (entry == held.end()) entry = held.insert(held.end(), {log[i].port, 0});
        if (log[i].claim == 1) {
            EXPECT_EQ(0, entry->second) << sequence << ": call " << i << " claims a port already claimed";
            entry->second = 1;
        } else {
            EXPECT_EQ(1, entry->second) << sequence << ": call " << i << " releases a port never claimed";
            entry->second = 0;
        }
    }
    for (const auto& entry : held)
        EXPECT_EQ(0, entry.second) << sequence << ": port " << entry.first.Data1 << " is still claimed at the end";
}

TEST_F(FilterHostTest, EveryPortInUseIsClaimedAndOnlyClaimsAreReleased) {
    // A project naming In B and Out C.
    std::vector<uint8_t> project;
    {
        FilterHolder filter(Definition());
        filter->Data().InPortId = MakePortId(0xB1);
        filter->Data().OutPortId = MakePortId(0xC1);
        auto* saved = new druvhost::MemoryIStream();
        ASSERT_EQ(S_OK, filter->Save(saved, FALSE));
        project = saved->Bytes();
        saved->Release();
    }
    auto load = [&](CMidiFilter& filter, size_t bytes) {
        auto* stream = new druvhost::MemoryIStream(
            std::vector<uint8_t>(project.begin(), project.begin() + std::min(bytes, project.size())));
        filter.Load(stream);
        stream->Release();
    };
    const size_t headerBytes = 55 + 5 + 3 + 3;
    using Step = std::function<void(CMidiFilter&)>;
    const Step initialise = [this](CMidiFilter& filter) { Initialise(filter); };
    const Step loadAll = [&](CMidiFilter& filter) { load(filter, project.size()); };
    const Step loadHeader = [&](CMidiFilter& filter) { load(filter, headerBytes); };
    const Step portGoes = [this](CMidiFilter&) {
        host.SetPorts(MP_PORT_INPUT, {{11, MakePortId(0xA1), u"In A"}});
        host.FirePortsChanged();
    };
    const Step listEmpties = [this](CMidiFilter&) {
        host.SetPorts(MP_PORT_INPUT, {});
        host.FirePortsChanged();
    };
    const Step portReturns = [this](CMidiFilter&) {
        host.SetPorts(MP_PORT_INPUT, {{14, MakePortId(0xB1), u"In B again"}});
        host.FirePortsChanged();
    };
    const Step storedIdsResolved = [](CMidiFilter& filter) {
        filter.Data().InPortId = MakePortId(0xA1);
        filter.RefreshPorts();
    };
    struct Sequence {
        const char* name;
        std::vector<Step> steps;
    };
    const Sequence sequences[] = {
        {"load before initialise", {loadAll, initialise}},
        {"header-only load", {initialise, loadHeader}},
        {"load, initialise again", {initialise, loadAll, initialise, loadAll}},
        {"port leaves the list", {initialise, loadAll, portGoes}},
        {"list empties and the port returns", {initialise, loadAll, listEmpties, portReturns}},
        {"ports resolved without a load", {initialise, storedIdsResolved, loadAll}},
    };
    for (const Sequence& sequence : sequences) {
        host.SetPorts(MP_PORT_INPUT, {{11, MakePortId(0xA1), u"In A"}, {12, MakePortId(0xB1), u"In B"}});
        host.SetPorts(MP_PORT_OUTPUT, {{21, MakePortId(0xC1), u"Out C"}});
        host.ClearClaims();
        {
            FilterHolder filter(Definition());
            for (const Step& step : sequence.steps) step(*filter);
            EXPECT_TRUE(host.Claims().size() > 0u) << sequence.name << ": the ports in use are claimed";
            filter->Terminate();
        }
        ExpectEveryReleaseAnswersAClaim(host.Claims(), sequence.name);
    }
}

TEST_F(FilterHostTest, FailedReadsAndWritesAreReported) {
    FilterHolder filter(Definition());
    Initialise(*filter);
    filter->Data().InPortId = MakePortId(0xA1);
    filter->RefreshPorts();
    filter->SetDirty();

    auto* failing = new druvhosttest::FailingMemoryStream(20);
    EXPECT_EQ(STG_E_CANTSAVE, filter->Save(failing, TRUE));
    EXPECT_EQ(S_OK, filter->IsDirty()) << "a failed save leaves the data dirty";
    EXPECT_EQ(E_POINTER, filter->Save(nullptr, TRUE));
    failing->Release();

    auto* saved = new druvhost::MemoryIStream();
    ASSERT_EQ(S_OK, filter->Save(saved, FALSE));
    std::vector<uint8_t> bytes = saved->Bytes();
    saved->Release();
    host.ClearClaims();

    // A damaged header fails; a stream that ends after the header stops
    // early: both without claims.
    std::vector<uint8_t> damaged = bytes;
    damaged[0] = 'X';
    auto* bad = new druvhost::MemoryIStream(damaged);
    EXPECT_EQ(E_FAIL, filter->Load(bad));
    bad->Release();
    const size_t headerBytes = 55 + 5 + 3 + 3;
    auto* cut = new druvhost::MemoryIStream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + headerBytes));
    EXPECT_EQ(S_OK, filter->Load(cut));
    cut->Release();
    EXPECT_TRUE(host.Claims().empty());
    EXPECT_EQ(E_POINTER, filter->Load(nullptr));
    EXPECT_EQ(E_POINTER, filter->GetSizeMax(nullptr));
    filter->Terminate();
}

TEST_F(FilterHostTest, TransferRefusesWithoutOutputAndDuringDetection) {
    FilterHolder filter(Definition());
    druvhost::ProgressRecorder progress;
    EXPECT_EQ(E_FAIL, filter->Transfer(0, &progress, 0)) << "before Initialise";
    EXPECT_EQ(E_FAIL, filter->Transfer(1, &progress, 0)) << "before Initialise";

    Initialise(*filter);
    filter->State().activity.store(Activity::Detecting);
    EXPECT_EQ(E_FAIL, filter->Transfer(0, &progress, 0)) << "during a detection";
    EXPECT_EQ(E_FAIL, filter->Transfer(1, &progress, 0)) << "during a detection";
    EXPECT_EQ(Activity::Detecting, filter->State().activity.load()) << "a refused transfer leaves the detection";
    filter->State().activity.store(Activity::Idle);

    filter->Terminate();
    EXPECT_EQ(E_FAIL, filter->Transfer(0, &progress, 0)) << "after Terminate";
    EXPECT_EQ(E_FAIL, filter->Transfer(1, &progress, 0)) << "after Terminate";

    EXPECT_TRUE(midiOut.Sent().empty());
    EXPECT_TRUE(progress.Records().empty());
    EXPECT_FALSE(filter->TransferRunning());
}

TEST_F(FilterHostTest, CancelSetsTheAbortFlagAndOtherOperationsAnswerOk) {
    FilterHolder filter(Definition());
    EXPECT_EQ(S_OK, filter->Cancel());
    EXPECT_TRUE(filter->State().abort.load());
    EXPECT_EQ(S_OK, filter->Unused2(1, 2));
    EXPECT_EQ(S_OK, filter->Unused6(1, 2, 3, 4));
    EXPECT_EQ(S_OK, filter->Unused1(1, 2));
    EXPECT_EQ(S_OK, filter->SetEventRouting(5));
    EXPECT_EQ(E_POINTER, filter->ProcessEvents(nullptr));
}

}  // namespace
