// The host's detection: an instrument that answers is online; one that is
// silent, or is set to another device ID, is offline once the deadline has
// passed; a device with nothing to detect with says so.
#include <gtest/gtest.h>

#include <memory>

#include "device/druv_device.h"
#include "druvhost/host/detection_probe.h"
#include "tests/support/recording_host_midi_out.h"
#include "platform/clock.h"
#include "simulator/simulated_instrument.h"
#include "tests/support/test_paths.h"

namespace {

using druv::simulator::SimulatedInstrument;
using druvhost::Detection;

constexpr uint32_t kOutPort = 7;

void LoadMixer(DRUVDevice& device) {
    device.SetFilePath((druvtest::ExamplesDir() + "/brindle-koss-sd16-mixer.druv").c_str());
    ASSERT_EQ(device.LoadDefinition(), 0);
}

TEST(DetectionProbeTest, OnlineOnlyWhenTheInstrumentOfThatIdAnswers) {
    DRUVDevice device;
    LoadMixer(device);
    struct Case {
        const char* what;
        bool silent;
        uint8_t instrumentId;
        Detection expected;
    } cases[] = {
        {"answering", false, device.SysXChanMin(), Detection::Online},
        {"silent", true, device.SysXChanMin(), Detection::Offline},
        {"set to another device ID", false, static_cast<uint8_t>(device.SysXChanMin() + 1), Detection::Offline},
    };
    for (const Case& c : cases) {
        VirtualClock clock;
        druvhost::DetectionProbe probe(device, clock);
        SimulatedInstrument::Settings settings;
        settings.deviceId = c.instrumentId;
        settings.delivery = SimulatedInstrument::Delivery::Synchronous;
        SimulatedInstrument instrument(device, settings,
                                       [&probe](const uint8_t* message, size_t size) { probe.OnMessage(message, size); });
        instrument.SetSilent(c.silent);
        druvhosttest::RecordingHostMidiOut out;
        out.Route(kOutPort, [&instrument](const uint8_t* message, size_t size) { instrument.Receive(message, size); });
        const uint32_t start = clock.TickCount();
        EXPECT_EQ(probe.Run(out, kOutPort, device.SysXChanMin(), 0), c.expected) << c.what;
        ASSERT_FALSE(out.Sent().empty()) << c.what;
        EXPECT_EQ(out.Sent().front().event.Port, kOutPort) << c.what;
        // Offline is decided only at the deadline, not before.
        if (c.expected == Detection::Offline) {
            EXPECT_GE(clock.TickCount() - start, 100u) << c.what;
        }
    }
}

// A unit that checks its requests' checksums answers only a probe prepared
// as a receive prepares its first loop: the address and the request's own
// checksum in place.
TEST(DetectionProbeTest, UnitThatChecksRequestChecksumsAnswersThePreparedProbe) {
    DRUVDevice device;
    device.SetSysXChanOfs(2);
    device.SetSysXChanMin(16);
    device.SetSysXChanMax(31);
    DRUVTemplate* patch = device.AddTemplate("Patch");
    patch->SetSize(30);
    patch->SetVerify(1);
    patch->SetRequest("F0 41 00 3D 11 00 00 00 00 00 1E 00 F7");
    TemplateExtensions x;
    x.addressOfs = 5;
    x.addressBytes = 3;
    x.addressStart = 5 << 14;
    x.addressIncDec = 0x180;
    x.requestCSumType = kChecksumTwosComplement;
    x.requestCSumStart = 5;
    x.requestCSumFromEnd = 2;
    patch->SetExtensions(x);

    VirtualClock clock;
    druvhost::DetectionProbe probe(device, clock);
    SimulatedInstrument::Settings settings;
    settings.deviceId = 16;
    settings.delivery = SimulatedInstrument::Delivery::Synchronous;
    SimulatedInstrument instrument(device, settings,
                                   [&probe](const uint8_t* message, size_t size) { probe.OnMessage(message, size); });
    druvhosttest::RecordingHostMidiOut out;
    out.Route(kOutPort, [&instrument](const uint8_t* message, size_t size) { instrument.Receive(message, size); });

    EXPECT_EQ(probe.Run(out, kOutPort, 16, 0), Detection::Online);
    EXPECT_EQ(instrument.GetCounts().refusedBadChecksum, 0);
    ASSERT_EQ(instrument.Received().size(), 1u);
    const std::vector<uint8_t> expected{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x00, 0x00, 0x00, 0x00, 0x1E, 0x5D, 0xF7};
    EXPECT_EQ(instrument.Received()[0].bytes, expected);
}

TEST(DetectionProbeTest, ADeviceWithoutTemplatesHasNothingToDetectWith) {
    DRUVDevice empty;
    VirtualClock clock;
    druvhost::DetectionProbe probe(empty, clock);
    druvhosttest::RecordingHostMidiOut out;
    EXPECT_EQ(probe.Run(out, kOutPort, 0, 0), Detection::NoProbe);
    EXPECT_TRUE(out.Sent().empty());
}

}  // namespace
