#include "simulator/simulated_instrument.h"

#include <gtest/gtest.h>

#include <numeric>

#include "instrument_test_support.h"
#include "simulator/sysx_checksum.h"

namespace druv::simulator {
namespace {

using testing::MakeTestDevice;
using testing::ReplyCollector;

constexpr uint8_t kOwnId = 3;

SimulatedInstrument::Settings SyncSettings() {
  SimulatedInstrument::Settings settings;
  settings.deviceId = kOwnId;
  settings.delivery = SimulatedInstrument::Delivery::Synchronous;
  return settings;
}

size_t TotalSize(const std::vector<MidiMessage>& messages) {
  return std::accumulate(messages.begin(), messages.end(), size_t{0},
                         [](size_t sum, const MidiMessage& m) { return sum + m.size(); });
}

bool AllDataBytes(const MidiMessage& m) {
  return IsCompleteSysX(m.data(), m.size());
}

class SimulatedInstrumentTest : public ::testing::Test {
 protected:
  std::unique_ptr<DRUVDevice> device_ = MakeTestDevice();
  ReplyCollector replies_;
  SimulatedInstrument instrument_{*device_, SyncSettings(), replies_.Sink()};
  const ChecksumRule bulkChecksum_ = ChecksumRuleOf(*device_->Template(0));
  const ChecksumRule patchChecksum_ = ChecksumRuleOf(*device_->Template(1));
};

TEST_F(SimulatedInstrumentTest, BulkRequestGetsOneValidDumpOfTemplateSize) {
  const MidiMessage request = {0xF0, 0x7D, 0x13, 0x01, 0xF7};
  instrument_.Receive(request);

  const std::vector<MidiMessage> got = replies_.Messages();
  ASSERT_EQ(1u, got.size());
  const MidiMessage& dump = got[0];
  ASSERT_EQ(200u, dump.size());
  EXPECT_TRUE(AllDataBytes(dump));
  EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x13, 0x01}), MidiMessage(dump.begin(), dump.begin() + 4)) << "request header, own ID";
  EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(bulkChecksum_, dump.data(), dump.size()));
  EXPECT_EQ(instrument_.Memory().Slot(0, 0)[0], dump);
  EXPECT_EQ(1, instrument_.GetCounts().requestsAnswered);
  ASSERT_EQ(1u, instrument_.Received().size());
  EXPECT_EQ(request, instrument_.Received()[0].bytes);
  EXPECT_EQ(dump, instrument_.Sent().at(0).bytes);
}

TEST_F(SimulatedInstrumentTest, EachLoopValueGetsItsOwnLoop) {
  const int values[] = {16, 10, 14, 12};
  for (int value : values) {
    instrument_.Receive({0xF0, 0x7D, 0x13, 0x02, static_cast<uint8_t>(value & 0x7F), static_cast<uint8_t>(value >> 7), 0xF7});
  }
  const std::vector<MidiMessage> got = replies_.Messages();
  ASSERT_EQ(4u, got.size());
  const InstrumentMemory memory = instrument_.Memory();
  for (size_t i = 0; i < got.size(); ++i) {
    const int loop = (values[i] - 10) / 2;
    ASSERT_EQ(40u, got[i].size()) << "value " << values[i];
    EXPECT_EQ(values[i], got[i][4]) << "loop value in the header";
    EXPECT_EQ(0x00, got[i][5]);
    EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(patchChecksum_, got[i].data(), got[i].size())) << values[i];
    EXPECT_EQ(memory.Slot(1, loop)[0], got[i]) << "value " << values[i];
  }
  EXPECT_NE(got[0], got[1]) << "loops hold different data";

  instrument_.Receive({0xF0, 0x7D, 0x13, 0x02, 11, 0x00, 0xF7});
  EXPECT_EQ(4u, replies_.Messages().size()) << "11 is no loop of the template";
  EXPECT_EQ(1, instrument_.GetCounts().unrecognised);
}

TEST_F(SimulatedInstrumentTest, RequestForAnotherDeviceIdIsRefused) {
  instrument_.Receive({0xF0, 0x7D, 0x14, 0x01, 0xF7});
  instrument_.Receive({0xF0, 0x7D, 0x10, 0x02, 10, 0x00, 0xF7});
  EXPECT_TRUE(replies_.Messages().empty());
  const SimulatedInstrument::Counts counts = instrument_.GetCounts();
  EXPECT_EQ(2, counts.refusedWrongDeviceId);
  EXPECT_EQ(0, counts.requestsAnswered);
  EXPECT_EQ(2u, instrument_.Received().size()) << "refused messages are still recorded";
}

TEST(SimulatedInstrument, WholeByteDeviceIdAboveFifteen) {
  auto device = MakeTestDevice();
  device->SetSysXChanMax(127);
  ReplyCollector replies;
  SimulatedInstrument::Settings settings = SyncSettings();
  settings.deviceId = 0x42;
  SimulatedInstrument instrument(*device, settings, replies.Sink());

  instrument.Receive({0xF0, 0x7D, 0x12, 0x01, 0xF7});
  EXPECT_TRUE(replies.Messages().empty()) << "same low nybble, other byte";
  instrument.Receive({0xF0, 0x7D, 0x42, 0x01, 0xF7});
  ASSERT_EQ(1u, replies.Messages().size());
  EXPECT_EQ(0x42, replies.Messages()[0][2]);
  EXPECT_EQ(1, instrument.GetCounts().refusedWrongDeviceId);
}

TEST_F(SimulatedInstrumentTest, DumpSentBackIsStoredAndAnsweredLater) {
  MidiMessage dump = instrument_.Memory().Slot(1, 2)[0];
  dump[10] ^= 0x55;
  ASSERT_TRUE(StoreChecksum(patchChecksum_, dump.data(), dump.size()));
  const InstrumentMemory before = instrument_.Memory();

  instrument_.Receive(dump);
  EXPECT_EQ(1, instrument_.GetCounts().dumpsStored);
  EXPECT_TRUE(replies_.Messages().empty()) << "a dump is not answered";
  const InstrumentMemory after = instrument_.Memory();
  EXPECT_EQ(dump, after.Slot(1, 2)[0]);
  EXPECT_EQ(before.Slot(1, 1), after.Slot(1, 1)) << "other loops untouched";
  EXPECT_EQ(before.Slot(1, 3), after.Slot(1, 3));

  instrument_.Receive({0xF0, 0x7D, 0x13, 0x02, 14, 0x00, 0xF7});
  ASSERT_EQ(1u, replies_.Messages().size());
  EXPECT_EQ(dump, replies_.Messages()[0]);
}

TEST_F(SimulatedInstrumentTest, DumpWithBadChecksumOrOtherIdIsRefused) {
  const InstrumentMemory before = instrument_.Memory();
  MidiMessage badChecksum = before.Slot(0, 0)[0];
  badChecksum[20] ^= 0x01;
  instrument_.Receive(badChecksum);

  MidiMessage otherId = before.Slot(0, 0)[0];
  otherId[2] = 0x15;
  otherId[30] ^= 0x01;
  ASSERT_TRUE(StoreChecksum(bulkChecksum_, otherId.data(), otherId.size()));
  instrument_.Receive(otherId);

  const SimulatedInstrument::Counts counts = instrument_.GetCounts();
  EXPECT_EQ(1, counts.refusedBadChecksum);
  EXPECT_EQ(1, counts.refusedWrongDeviceId);
  EXPECT_EQ(0, counts.dumpsStored);
  EXPECT_TRUE(before == instrument_.Memory()) << "memory unchanged";
}

TEST(SimulatedInstrument, MultiSysXLoopIsSplitIntoMessagesThatAddUp) {
  auto device = MakeTestDevice();
  DRUVTemplate* looped = device->AddTemplate("MultiLoops");
  looped->SetNumLoops(3);
  looped->SetLoopRecvSize(300);
  looped->SetMultiSysX(1);
  looped->SetRequest("F0 7D 10 06 F1 F7");

  for (int parts : {2, 3}) {
    ReplyCollector replies;
    SimulatedInstrument::Settings settings = SyncSettings();
    settings.messagesPerMultiSysXLoop = parts;
    SimulatedInstrument instrument(*device, settings, replies.Sink());
    const ChecksumRule checksum = ChecksumRuleOf(*device->Template(2));

    instrument.Receive({0xF0, 0x7D, 0x13, 0x03, 0xF7});
    std::vector<MidiMessage> got = replies.Messages();
    ASSERT_EQ(static_cast<size_t>(parts), got.size());
    EXPECT_EQ(101u, TotalSize(got)) << parts << " parts";
    for (size_t p = 0; p < got.size(); ++p) {
      EXPECT_TRUE(AllDataBytes(got[p])) << "part " << p;
      EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x13, 0x03, static_cast<uint8_t>(p)}), MidiMessage(got[p].begin(), got[p].begin() + 5));
      // Three parts of 33 or 35 bytes are too short for the checksum at 48.
      const ChecksumVerdict expected = parts == 2 ? ChecksumVerdict::Valid : ChecksumVerdict::NotApplicable;
      EXPECT_EQ(expected, CheckChecksum(checksum, got[p].data(), got[p].size())) << "part " << p;
    }

    instrument.Receive({0xF0, 0x7D, 0x13, 0x06, 0x02, 0xF7});
    got = replies.Messages();
    ASSERT_EQ(static_cast<size_t>(2 * parts), got.size());
    EXPECT_EQ(300u, TotalSize(std::vector<MidiMessage>(got.begin() + parts, got.end()))) << "one loop of LoopRecvSize";
  }
}

TEST_F(SimulatedInstrumentTest, DumpOfALaterPartGoesToThatPart) {
  const InstrumentMemory before = instrument_.Memory();
  ASSERT_EQ(2u, before.Slot(2, 0).size());
  MidiMessage second = before.Slot(2, 0)[1];
  second[30] ^= 0x22;
  ASSERT_TRUE(StoreChecksum(ChecksumRuleOf(*device_->Template(2)), second.data(), second.size()));
  instrument_.Receive(second);
  EXPECT_EQ(before.Slot(2, 0)[0], instrument_.Memory().Slot(2, 0)[0]);
  EXPECT_EQ(second, instrument_.Memory().Slot(2, 0)[1]);
}

TEST_F(SimulatedInstrumentTest, SilenceAnswersNothingOrOnlyEarlyLoops) {
  instrument_.SetSilent(true);
  instrument_.Receive({0xF0, 0x7D, 0x13, 0x01, 0xF7});
  EXPECT_TRUE(replies_.Messages().empty());

  instrument_.SetSilentFromLoop(2);
  for (uint8_t value : {10, 12, 14, 16}) instrument_.Receive({0xF0, 0x7D, 0x13, 0x02, value, 0x00, 0xF7});
  ASSERT_EQ(2u, replies_.Messages().size());
  EXPECT_EQ(10, replies_.Messages()[0][4]);
  EXPECT_EQ(12, replies_.Messages()[1][4]);

  instrument_.SetSilent(false);
  instrument_.Receive({0xF0, 0x7D, 0x13, 0x01, 0xF7});
  EXPECT_EQ(3u, replies_.Messages().size());
  EXPECT_EQ(3, instrument_.GetCounts().requestsSilenced);
  EXPECT_EQ(3, instrument_.GetCounts().requestsAnswered);
}

TEST_F(SimulatedInstrumentTest, TerminatorFollowsEachLoopOrTheLast) {
  instrument_.SetTerminator(0, ConcreteTerminator({0xF0, 0x7D, 0x01}, 0), SimulatedInstrument::TerminatorTiming::AfterEachLoop);
  instrument_.SetTerminator(1, ConcreteTerminator({0xFA, 0x07}, 5), SimulatedInstrument::TerminatorTiming::AfterLastLoop);
  instrument_.Receive({0xF0, 0x7D, 0x13, 0x01, 0xF7});
  for (uint8_t value : {10, 12, 14, 16}) instrument_.Receive({0xF0, 0x7D, 0x13, 0x02, value, 0x00, 0xF7});

  const std::vector<MidiMessage> got = replies_.Messages();
  ASSERT_EQ(7u, got.size());
  EXPECT_EQ(200u, got[0].size());
  EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x01, 0xF7}), got[1]);
  EXPECT_EQ(40u, got[5].size());
  EXPECT_EQ((MidiMessage{0xB5, 0x07, 0x00}), got[6]) << "a control change for controller 7";
}

TEST(ConcreteTerminator, MakesWholeMessagesFromPatterns) {
  EXPECT_EQ((MidiMessage{0xF0, 0x7D, 0x01, 0xF7}), ConcreteTerminator({0xF0, 0x7D, 0x01, 0xF7}, 0));
  EXPECT_EQ((MidiMessage{0xF0, 0x00, 0x01, 0xF7}), ConcreteTerminator({0xF0, 0xFF, 0x01}, 0));
  EXPECT_EQ((MidiMessage{0x92, 0x00, 0x00}), ConcreteTerminator({0xF8}, 2));
  EXPECT_EQ((MidiMessage{0xC9, 0x05}), ConcreteTerminator({0xFB, 0x05, 0x06}, 9));
}

// A request in two messages: a program change that carries the loop value
// on channel 0 (sent on the user's channel), then a SysX "dump current".
TEST(SimulatedInstrument, RequestInSeveralMessagesAnswersTheLoopItNamed) {
  auto device = MakeTestDevice();
  device->SetMidiChannel(1);
  DRUVTemplate* program = device->AddTemplate("Program");
  program->SetNumLoops(3);
  program->SetLoopStart(5);
  program->SetLoopRecvSize(30);
  program->SetRequest("C0 F1 F0 7D 10 04 F7");
  ReplyCollector replies;
  SimulatedInstrument::Settings settings = SyncSettings();
  settings.midiChannel = 6;
  SimulatedInstrument instrument(*device, settings, replies.Sink());
  const InstrumentMemory memory = instrument.Memory();

  instrument.Receive({0xC6, 0x07});
  instrument.Receive({0xF0, 0x7D, 0x13, 0x04, 0xF7});
  instrument.Receive({0xC0, 0x05});  // channel 0 is not the instrument's
  instrument.Receive({0xC6, 0x05});
  instrument.Receive({0xF0, 0x7D, 0x13, 0x04, 0xF7});

  const std::vector<MidiMessage> got = replies.Messages();
  ASSERT_EQ(2u, got.size());
  EXPECT_EQ(memory.Slot(3, 2), std::vector<MidiMessage>{got[0]});
  EXPECT_EQ(memory.Slot(3, 0), std::vector<MidiMessage>{got[1]});
  EXPECT_EQ(2, instrument.GetCounts().requestParts);
  EXPECT_EQ(1, instrument.GetCounts().unrecognised);
}

TEST(SimulatedInstrument, RequestsWithoutLoopValueAreAnsweredLoopAfterLoop) {
  auto device = MakeTestDevice();
  DRUVTemplate* next = device->AddTemplate("Next");
  next->SetNumLoops(3);
  next->SetLoopRecvSize(20);
  next->SetRequest("F0 7D 10 05 F7");
  ReplyCollector replies;
  SimulatedInstrument instrument(*device, SyncSettings(), replies.Sink());
  const InstrumentMemory memory = instrument.Memory();

  for (int i = 0; i < 4; ++i) instrument.Receive({0xF0, 0x7D, 0x13, 0x05, 0xF7});
  const std::vector<MidiMessage> got = replies.Messages();
  ASSERT_EQ(4u, got.size());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(memory.Slot(3, i % 3)[0], got[static_cast<size_t>(i)]) << "request " << i;

  // A full transmit of the dump goes back loop after loop as well.
  std::vector<MidiMessage> changed;
  for (int loop = 0; loop < 3; ++loop) {
    MidiMessage m = memory.Slot(3, loop)[0];
    m[8] = static_cast<uint8_t>(0x40 + loop);
    changed.push_back(m);
    instrument.Receive(m);
  }
  for (int loop = 0; loop < 3; ++loop) EXPECT_EQ(changed[static_cast<size_t>(loop)], instrument.Memory().Slot(3, loop)[0]);
}

TEST(SimulatedInstrument, ChannelMessagesInMultiSysXReplies) {
  auto device = MakeTestDevice();
  device->Template(2)->SetUseMidiChannel(1);
  ReplyCollector replies;
  SimulatedInstrument::Settings settings = SyncSettings();
  settings.midiChannel = 4;
  settings.channelMessagesInReplies = true;
  SimulatedInstrument instrument(*device, settings, replies.Sink());

  instrument.Receive({0xF0, 0x7D, 0x13, 0x03, 0xF7});
  const std::vector<MidiMessage> got = replies.Messages();
  ASSERT_EQ(3u, got.size());
  EXPECT_EQ(101u, TotalSize(got));
  EXPECT_EQ(0xB4, got[2][0]);
  EXPECT_TRUE(IsCompleteChannelMessage(got[2].data(), got[2].size()));
  EXPECT_EQ(101u + 1u, instrument.Memory().StoredForm(2, true).size());
  EXPECT_EQ(98u + 1u, instrument.Memory().StoredForm(2, false).size());
}

TEST_F(SimulatedInstrumentTest, StoredFormClosesEveryLoopWithFF) {
  const InstrumentMemory memory = instrument_.Memory();
  const std::vector<uint8_t> stored = memory.StoredForm(1, false);
  ASSERT_EQ(4u * 41u, stored.size());
  for (size_t loop = 0; loop < 4; ++loop) {
    EXPECT_EQ(0xFF, stored[loop * 41 + 40]) << "loop " << loop;
    EXPECT_EQ(memory.Slot(1, static_cast<int>(loop))[0],
              MidiMessage(stored.begin() + static_cast<std::ptrdiff_t>(loop * 41),
                          stored.begin() + static_cast<std::ptrdiff_t>(loop * 41 + 40)));
  }
}

TEST_F(SimulatedInstrumentTest, SameSeedSameMemoryOtherSeedOtherData) {
  ReplyCollector other;
  SimulatedInstrument same(*device_, SyncSettings(), other.Sink());
  SimulatedInstrument::Settings reseeded = SyncSettings();
  reseeded.seed = 99;
  SimulatedInstrument different(*device_, reseeded, other.Sink());
  EXPECT_TRUE(instrument_.Memory() == same.Memory());
  EXPECT_FALSE(instrument_.Memory() == different.Memory());
}

TEST_F(SimulatedInstrumentTest, MalformedInputIsRecordedAndIgnored) {
  const MidiMessage bad[] = {
      {}, {0xF0, 0x7D, 0x13}, {0xF0, 0x7D, 0x93, 0x01, 0xF7}, {0x90, 0x3C}, {0xC0, 0x01, 0x02}, {0x7D, 0xF7}, {0xF7},
  };
  for (const MidiMessage& message : bad) instrument_.Receive(message);
  instrument_.Receive(nullptr, 5);
  EXPECT_TRUE(replies_.Messages().empty());
  EXPECT_EQ(8, instrument_.GetCounts().malformed);
  ASSERT_EQ(8u, instrument_.Received().size());
  EXPECT_EQ(bad[2], instrument_.Received()[2].bytes);
}

TEST(SimulatedInstrument, SinkMaySendBackToTheInstrument) {
  auto device = MakeTestDevice();
  SimulatedInstrument* self = nullptr;
  SimulatedInstrument echo(*device, SyncSettings(), [&](const uint8_t* m, size_t n) { self->Receive(m, n); });
  self = &echo;
  echo.Receive({0xF0, 0x7D, 0x13, 0x01, 0xF7});
  EXPECT_EQ(1, echo.GetCounts().dumpsStored) << "its own dump comes back and is stored";
}

}  // namespace
}  // namespace druv::simulator
