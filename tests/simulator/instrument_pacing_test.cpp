// Threaded delivery: pacing to the wire rate, reply delay, shutdown and
// concurrent use. Timing assertions are lower bounds only.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "instrument_test_support.h"
#include "simulator/simulated_instrument.h"

namespace druv::simulator {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::ReplyCollector;

constexpr milliseconds kGenerous{20000};

std::unique_ptr<DRUVDevice> DeviceWithDump(int32_t size, bool multi) {
  auto device = std::make_unique<DRUVDevice>();
  device->SetSysXChanOfs(2);
  DRUVTemplate* dump = device->AddTemplate("Dump");
  dump->SetSize(size);
  dump->SetMultiSysX(multi ? 1 : 0);
  dump->SetRequest("F0 7D 10 01 F7");
  return device;
}

const MidiMessage kRequest = {0xF0, 0x7D, 0x10, 0x01, 0xF7};

TEST(InstrumentPacing, ByteTimeIsTheWireRate) {
  EXPECT_EQ(std::chrono::microseconds(1000000), SimulatedInstrument::ByteTime(3125));
  EXPECT_EQ(std::chrono::microseconds(320), SimulatedInstrument::ByteTime(1));
}

TEST(InstrumentPacing, A3125ByteReplyTakesASecond) {
  auto device = DeviceWithDump(3125, false);
  ReplyCollector replies;
  SimulatedInstrument instrument(*device, {}, replies.Sink());
  const steady_clock::time_point sent = steady_clock::now();
  instrument.Receive(kRequest);
  ASSERT_TRUE(replies.WaitFor(1, kGenerous));
  const auto got = replies.Replies();
  EXPECT_EQ(3125u, got[0].bytes.size());
  EXPECT_GE(got[0].at - sent, milliseconds(1000));
}

TEST(InstrumentPacing, EachMessageWaitsForThePreviousToLeaveTheWire) {
  auto device = DeviceWithDump(2000, true);  // two messages of 1000 bytes
  ReplyCollector replies;
  SimulatedInstrument instrument(*device, {}, replies.Sink());
  const steady_clock::time_point sent = steady_clock::now();
  instrument.Receive(kRequest);
  ASSERT_TRUE(replies.WaitFor(2, kGenerous));
  const auto got = replies.Replies();
  EXPECT_GE(got[0].at - sent, milliseconds(320));
  EXPECT_GE(got[1].at - sent, milliseconds(640));
}

TEST(InstrumentPacing, ReplyDelayComesBeforeTheFirstByte) {
  auto device = DeviceWithDump(10, false);
  ReplyCollector replies;
  SimulatedInstrument instrument(*device, {}, replies.Sink());
  instrument.SetReplyDelay(milliseconds(300));
  const steady_clock::time_point sent = steady_clock::now();
  instrument.Receive(kRequest);
  ASSERT_TRUE(replies.WaitFor(1, kGenerous));
  EXPECT_GE(replies.Replies()[0].at - sent, milliseconds(303));
}

TEST(InstrumentPacing, CountsHostMessagesSentBeforeTheLastSysXLeftTheWire) {
  auto device = DeviceWithDump(10, false);
  SimulatedInstrument instrument(*device, {}, nullptr);
  MidiMessage large(1000, 0x01);  // 320 ms on the wire
  large.front() = kSysXStart;
  large.back() = kSysXEnd;
  instrument.Receive(large);
  instrument.Receive({0xB0, 0x07, 0x10});  // at once: too early
  instrument.Receive({0xC0, 0x01});
  EXPECT_EQ(2, instrument.GetCounts().arrivedBeforeWireFree);
  std::this_thread::sleep_for(milliseconds(330));
  instrument.Receive(kRequest);
  EXPECT_EQ(2, instrument.GetCounts().arrivedBeforeWireFree) << "the large message has left";
  instrument.Receive(kRequest);  // the request's own 5 bytes: 1.6 ms, inside the slack
  EXPECT_EQ(2, instrument.GetCounts().arrivedBeforeWireFree);
}

TEST(InstrumentPacing, DestroyingWithRepliesPendingDeliversNothing) {
  auto device = DeviceWithDump(31250, false);  // ten seconds on the wire
  ReplyCollector replies;
  {
    SimulatedInstrument instrument(*device, {}, replies.Sink());
    instrument.Receive(kRequest);
    EXPECT_FALSE(instrument.WaitUntilIdle(milliseconds(0)));
  }
  EXPECT_TRUE(replies.Replies().empty());
}

TEST(InstrumentPacing, SendersAndInspectorsOnSeveralThreads) {
  auto device = DeviceWithDump(10, false);
  ReplyCollector replies;
  SimulatedInstrument instrument(*device, {}, replies.Sink());
  constexpr int kPerSender = 40;
  std::atomic<bool> done{false};
  std::thread inspector([&] {
    while (!done.load(std::memory_order_acquire)) {
      (void)instrument.Memory();
      (void)instrument.GetCounts();
      (void)instrument.Sent();
      std::this_thread::yield();
    }
  });
  auto send = [&] {
    for (int i = 0; i < kPerSender; ++i) instrument.Receive(kRequest);
  };
  std::thread first(send);
  std::thread second(send);
  first.join();
  second.join();
  ASSERT_TRUE(instrument.WaitUntilIdle(kGenerous));
  done.store(true, std::memory_order_release);
  inspector.join();

  const SimulatedInstrument::Counts counts = instrument.GetCounts();
  EXPECT_EQ(2 * kPerSender, counts.requestsAnswered);
  EXPECT_EQ(2 * kPerSender, counts.repliesDelivered);
  EXPECT_EQ(static_cast<size_t>(2 * kPerSender), replies.Replies().size());
  EXPECT_EQ(static_cast<size_t>(2 * kPerSender), instrument.Received().size());
}

}  // namespace
}  // namespace druv::simulator
