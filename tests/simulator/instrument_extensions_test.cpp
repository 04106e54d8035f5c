// The simulated instrument answers definitions that use the format's
// extensions as a unit would: it checks request checksums, finds the loop a
// request names by its address or outer value, replies to unknown-length
// templates with messages of seeded lengths, answers each write with the
// template's acknowledgement (or its error when it refuses one), and sends a
// panel dump unasked.
#include <gtest/gtest.h>

#include <set>

#include "instrument_test_support.h"
#include "simulator/simulated_instrument.h"
#include "simulator/sysx_checksum.h"

namespace druv::simulator {
namespace {

using testing::ReplyCollector;

SimulatedInstrument::Settings Sync(uint8_t deviceId) {
  SimulatedInstrument::Settings settings;
  settings.deviceId = deviceId;
  settings.delivery = SimulatedInstrument::Delivery::Synchronous;
  return settings;
}

// Roland-style patch requests: address 05 00 00 + n x 180h at 5, the
// request's checksum over address and size at 11, Roland's checksum in the
// reply from 5 to the byte before F7; banks as an outer loop at 4 would be
// another template, so the address alone names the loop.
InstrumentDefinition PatchDefinition() {
  InstrumentDefinition definition;
  definition.deviceId = {2, 31};
  TemplateDefinition patches;
  patches.name = "Patches";
  patches.numLoops = 4;
  patches.loopRecvSize = 30;
  patches.size = 120;
  patches.request = {0xF0, 0x41, 0x00, 0x3D, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1E, 0x00, 0xF7};
  patches.address = {5, 3, 5 << 14, 0x180};
  patches.requestChecksum = {kChecksumTwosComplement, 5, 0, 0, 2};
  patches.checksum = {kChecksumTwosComplement, 5, 0, 0, 2};
  definition.templates.push_back(patches);
  return definition;
}

TEST(InstrumentExtensions, RequestOfAPatchByItsAddressGetsThatPatch) {
  ReplyCollector replies;
  SimulatedInstrument unit(PatchDefinition(), Sync(0x10), replies.Sink());
  // Patch 3 at 05 06 00; 05 06 00 00 00 1E sum to 29h.
  unit.Receive({0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x06, 0x00, 0x00, 0x00, 0x1E, 0x57, 0xF7});
  const std::vector<MidiMessage> got = replies.Messages();
  ASSERT_EQ(1u, got.size());
  EXPECT_EQ(unit.Memory().Slot(0, 2).at(0), got[0]);
  EXPECT_EQ((MidiMessage{0x05, 0x06, 0x00}), MidiMessage(got[0].begin() + 5, got[0].begin() + 8));
}

TEST(InstrumentExtensions, RequestWithAWrongChecksumIsRefused) {
  ReplyCollector replies;
  SimulatedInstrument unit(PatchDefinition(), Sync(0x10), replies.Sink());
  unit.Receive({0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x06, 0x00, 0x00, 0x00, 0x1E, 0x58, 0xF7});
  EXPECT_TRUE(replies.Messages().empty());
  EXPECT_EQ(1, unit.GetCounts().refusedBadChecksum);
}

TEST(InstrumentExtensions, NestedLoopsHoldAProgramOfEveryBankAndRequestsNameBoth) {
  InstrumentDefinition definition;
  definition.deviceId = {2, 15};
  TemplateDefinition banks;
  banks.numLoops = 4;
  banks.loopRecvSize = 24;
  banks.request = {0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0x00, 0xF1, 0xF7};
  banks.outer = {3, 0, 1, 6, kOuter7Bit};
  definition.templates.push_back(banks);
  ReplyCollector replies;
  SimulatedInstrument unit(definition, Sync(1), replies.Sink());
  ASSERT_EQ(12, unit.Memory().LoopCount(0));

  unit.Receive({0xF0, 0x40, 0x01, 0x00, 0x00, 0x03, 0x02, 0x01, 0xF7});  // bank 2, single 1
  ASSERT_EQ(1u, replies.Messages().size());
  EXPECT_EQ(unit.Memory().Slot(0, 9).at(0), replies.Messages()[0]);
}

TEST(InstrumentExtensions, UnknownLengthRepliesVaryWithinTheLoopsSize) {
  InstrumentDefinition definition;
  definition.deviceId = {2, 15};
  TemplateDefinition singles;
  singles.numLoops = 40;
  singles.loopRecvSize = 200;
  singles.unknownLength = true;
  singles.multiSysX = true;
  singles.request = {0xF0, 0x7D, 0x00, 0x01, 0xF1, 0xF7};
  singles.checksum = {kChecksumSum, 5, 0, 0, 2};
  definition.templates.push_back(singles);
  MemoryGeneratorOptions options;
  InstrumentMemory memory = GenerateMemory(definition, options);
  std::set<size_t> lengths;
  for (int loop = 0; loop < 40; ++loop) {
    ASSERT_EQ(1u, memory.Slot(0, loop).size()) << "one message a loop";
    const MidiMessage& message = memory.Slot(0, loop)[0];
    EXPECT_GE(message.size(), 8u);
    EXPECT_LE(message.size(), 200u);
    EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(singles.checksum, message.data(), message.size()));
    lengths.insert(message.size());
  }
  EXPECT_GT(lengths.size(), 20u) << "lengths of many kinds";
  EXPECT_EQ(memory, GenerateMemory(definition, options)) << "the seed decides them";
}

class AcknowledgingInstrumentTest : public ::testing::Test {
 protected:
  AcknowledgingInstrumentTest() {
    definition_.deviceId = {2, 15};
    TemplateDefinition singles;
    singles.numLoops = 2;
    singles.loopRecvSize = 20;
    singles.request = {0xF0, 0x40, 0x00, 0x00, 0x00, 0x03, 0x00, 0xF1, 0xF7};
    singles.checksum = {kChecksumSumPlusConstant, 8, 0, 0, 2, 0xA5};
    singles.ackPattern = {0xF0, 0x40, 0x00, 0x40};
    singles.ackErrorPattern = {0xF0, 0x40, 0x00, 0x41, 0xFF, 0x04};
    definition_.templates.push_back(singles);
  }

  MidiMessage Single(const SimulatedInstrument& unit, int loop) const { return unit.Memory().Slot(0, loop).at(0); }

  InstrumentDefinition definition_;
  ReplyCollector replies_;
};

TEST_F(AcknowledgingInstrumentTest, StoredWriteIsAcknowledged) {
  SimulatedInstrument source(definition_, Sync(5), nullptr);
  SimulatedInstrument unit(definition_, Sync(5), replies_.Sink());
  unit.Receive(Single(source, 1));
  EXPECT_EQ(1, unit.GetCounts().dumpsStored);
  EXPECT_EQ((std::vector<MidiMessage>{{0xF0, 0x40, 0x05, 0x40, 0xF7}}), replies_.Messages());
}

TEST_F(AcknowledgingInstrumentTest, WriteWithABadChecksumGetsTheErrorAnswer) {
  SimulatedInstrument source(definition_, Sync(5), nullptr);
  SimulatedInstrument unit(definition_, Sync(5), replies_.Sink());
  MidiMessage single = Single(source, 0);
  single[9] ^= 0x01;
  unit.Receive(single);
  EXPECT_EQ(1, unit.GetCounts().refusedBadChecksum);
  EXPECT_EQ((std::vector<MidiMessage>{{0xF0, 0x40, 0x05, 0x41, 0x00, 0x04, 0xF7}}), replies_.Messages());
}

TEST_F(AcknowledgingInstrumentTest, ProtectedMemoryRefusesEveryWrite) {
  SimulatedInstrument source(definition_, Sync(5), nullptr);
  SimulatedInstrument::Settings settings = Sync(5);
  settings.refuseWrites = true;
  SimulatedInstrument unit(definition_, settings, replies_.Sink());
  const InstrumentMemory before = unit.Memory();
  unit.Receive(Single(source, 0));
  EXPECT_EQ(before, unit.Memory());
  EXPECT_EQ(1, unit.GetCounts().refusedProtected);
  EXPECT_EQ(1u, replies_.Messages().size());
}

TEST_F(AcknowledgingInstrumentTest, PanelDumpSendsEveryLoopUnasked) {
  SimulatedInstrument unit(definition_, Sync(5), replies_.Sink());
  EXPECT_EQ(2u, unit.SendPanelDump(0));
  EXPECT_EQ((std::vector<MidiMessage>{Single(unit, 0), Single(unit, 1)}), replies_.Messages());
  EXPECT_EQ(0u, unit.SendPanelDump(7)) << "no such template";
}

TEST(SysXChecksumKinds, LaterKindsAndRangesFromTheEnd) {
  // A Kawai single's rule over three data bytes; nybble pairs of 12h, 34h.
  const MidiMessage kawai{0xF0, 0x40, 0x00, 0x20, 0x01, 0x02, 0x03, 0x00, 0xF7};
  EXPECT_EQ(0x2B, ComputeChecksum({kChecksumSumPlusConstant, 4, 0, 0, 2, 0xA5}, kawai.data(), kawai.size()));
  const MidiMessage nybbles{0xF0, 0x10, 0x02, 0x01, 0x04, 0x03, 0x00, 0xF7};
  EXPECT_EQ(0x46, ComputeChecksum({kChecksumNybbleSumLowHigh, 2, 0, 0, 2}, nybbles.data(), nybbles.size()));
  EXPECT_EQ(0x64 & 0x7F, ComputeChecksum({kChecksumNybbleSumHighLow, 2, 4, 6}, nybbles.data(), nybbles.size()));
  EXPECT_FALSE(ChecksumApplies({kChecksumNybbleSumLowHigh, 3, 0, 0, 2}, nybbles.size())) << "three nybbles";
  EXPECT_FALSE(ChecksumApplies({kChecksumSum, 6, 0, 0, 2}, nybbles.size())) << "no byte before the checksum";
  EXPECT_FALSE(ChecksumApplies({kChecksumSum, 1, 0, 0, 1}, nybbles.size())) << "it would overwrite the F7";
}

}  // namespace
}  // namespace druv::simulator
