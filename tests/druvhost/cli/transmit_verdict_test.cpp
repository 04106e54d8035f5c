#include "druvhost/cli/transmit_verdict.h"

#include <gtest/gtest.h>

#include "../../simulator/instrument_test_support.h"
#include "simulator/simulated_instrument.h"

namespace druvhost {
namespace {

using druv::simulator::InstrumentMemory;
using druv::simulator::SimulatedInstrument;

constexpr uint8_t kReceivedFrom = 3;
constexpr uint8_t kSentTo = 5;

// The instrument a project was received from (as a receive starts it), and
// the project's items: each template's dump in the form the transfer engine
// saves.
class TransmitVerdictTest : public ::testing::Test {
protected:
    TransmitVerdictTest()
        : device_(druv::simulator::testing::MakeTestDevice()),
          source_(*device_, Settings(kReceivedFrom, SimulatedInstrument::Settings().seed), [](const uint8_t*, size_t) {}) {
        const InstrumentMemory memory = source_.Memory();
        for (size_t t = 0; t < memory.TemplateCount(); ++t) items_.push_back(memory.StoredForm(t, false));
    }

    static SimulatedInstrument::Settings Settings(uint8_t id, uint64_t seed) {
        SimulatedInstrument::Settings settings;
        settings.deviceId = id;
        settings.seed = seed;
        settings.delivery = SimulatedInstrument::Delivery::Synchronous;
        return settings;
    }

    std::unique_ptr<DRUVDevice> device_;
    SimulatedInstrument source_;
    std::vector<std::vector<uint8_t>> items_;
};

TEST_F(TransmitVerdictTest, AnInstrumentHoldingTheRenewedDumpsAgrees) {
    const InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kSentTo);
    EXPECT_EQ(FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo), "");
}

// An instrument that already held the received dumps would pass a transmit
// that sent nothing: the one druvhost transmits to must start otherwise.
TEST_F(TransmitVerdictTest, TheInstrumentATransmitGoesToDiffersBeforeItReceivesAnything) {
    SimulatedInstrument untouched(*device_, Settings(kSentTo, kTransmitSimulatorSeed), [](const uint8_t*, size_t) {});
    const std::string difference =
        FirstDifferenceFromDumps(source_.Definition(), untouched.Memory(), items_, kSentTo);
    EXPECT_NE(difference.find("template 0 (Bulk) loop 0 differs"), std::string::npos) << difference;
}

TEST_F(TransmitVerdictTest, DumpsStillCarryingTheSourceDeviceIdDiffer) {
    const InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kReceivedFrom);
    EXPECT_NE(FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo), "");
}

TEST_F(TransmitVerdictTest, AnAlteredByteOfTheProjectIsFound) {
    const InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kSentTo);
    items_[1][50] ^= 0x01;  // a data byte of the second loop of "Patch"
    const std::string difference = FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo);
    EXPECT_NE(difference.find("template 1 (Patch) loop 1 differs"), std::string::npos) << difference;
}

TEST_F(TransmitVerdictTest, ALoopTheInstrumentDidNotStoreIsMissed) {
    InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kSentTo);
    held.SetSlot(1, 3, {});
    const std::string difference = FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo);
    EXPECT_NE(difference.find("lacks 1 message"), std::string::npos) << difference;
}

TEST_F(TransmitVerdictTest, AnItemWithoutDumpsIsNotCompared) {
    SimulatedInstrument other(*device_, Settings(kSentTo, kTransmitSimulatorSeed), [](const uint8_t*, size_t) {});
    InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kSentTo);
    for (int loop = 0; loop < held.LoopCount(2); ++loop) held.SetSlot(2, loop, other.Memory().Slot(2, loop));
    items_[2] = std::vector<uint8_t>(static_cast<size_t>(held.LoopCount(2)), 0xFF);  // loops that timed out
    EXPECT_EQ(FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo), "");
}

TEST_F(TransmitVerdictTest, OnlyTheTemplatesSentAreCompared) {
    SimulatedInstrument other(*device_, Settings(kSentTo, kTransmitSimulatorSeed), [](const uint8_t*, size_t) {});
    InstrumentMemory held = druv::simulator::MemoryRenewedFor(source_, kSentTo);
    held.SetSlot(0, 0, other.Memory().Slot(0, 0));  // "Bulk" as it was before
    EXPECT_EQ(FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo, {false, true, true}), "");
    EXPECT_NE(FirstDifferenceFromDumps(source_.Definition(), held, items_, kSentTo, {true, false, false}), "");
}

}  // namespace
}  // namespace druvhost
