// The page's detection cycle against the engine's probe, in virtual time:
// sent, answered or timed out, held back by a transfer.
#include <gtest/gtest.h>

#include <cstdint>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
#include "plugin/engine/transfer_state.h"
#include "plugin/ui/detection_cycle.h"
#include "tests/plugin/fakes/recording_midi_out.h"

namespace {

const uint8_t kReply[] = {0x7D, 0x00, 0x01, 0xF7};

class DetectionCycleTest : public ::testing::Test {
protected:
    explicit DetectionCycleTest(bool withProbe = true) : clock_(5000), midi_(&clock_) {
        if (withProbe) {
            DRUVTemplate* probe = device_.AddTemplate("Identity");
            probe->SetSize(198);
            probe->SetNumLoops(1);
            probe->SetVerify(1);
            probe->SetRequest("F0 7D 00 10 F7");
        }
        state_.host_link = &midi_;
        data_.SetTransferClock(clock_);
        data_.BuildFrom(device_);
        data_.OutPort.store(3);
    }

    bool Step() { return cycle_.Step(Context()); }
    bool Start() { return cycle_.Start(Context()); }
    void Reply() { OnSysX(state_, false, kReply, sizeof kReply); }
    bool Waiting() const { return DetectionWaits(state_); }
    TransferContext Context() { return TransferContext{device_, data_, state_}; }
    size_t RequestsSent() const { return midi_.Sent().size(); }

    VirtualClock clock_;
    RecordingMidiOut midi_;
    DRUVDevice device_;
    DRUVData data_;
    TransferState state_;
    DetectionCycle cycle_;
};

TEST_F(DetectionCycleTest, AnsweredRequestTurnsOnlineAndClearsBothFlags) {
    EXPECT_FALSE(Start());
    EXPECT_EQ(1u, RequestsSent());
    EXPECT_TRUE(Waiting());
    const uint32_t sentAt = clock_.TickCount();
    EXPECT_EQ(5300u, state_.detect_deadline) << "200 bytes at 2 per millisecond, plus 200";
    EXPECT_EQ(DetectionCycle::kNonePlanned, cycle_.NextDetection());

    clock_.SetTick(sentAt + 50);
    EXPECT_FALSE(Step()) << "no reply yet";
    EXPECT_TRUE(Waiting());
    Reply();
    EXPECT_TRUE(Step()) << "the picture changes to Online";
    EXPECT_TRUE(cycle_.Online());
    EXPECT_FALSE(Waiting());
    EXPECT_FALSE(state_.reply_seen.load());
    EXPECT_FALSE(Step());
    EXPECT_EQ(1u, RequestsSent()) << "one request per detection";
}

TEST_F(DetectionCycleTest, SilenceTimesOutAtTheDeadline) {
    Start();
    clock_.SetTick(5299);
    EXPECT_FALSE(Step());
    EXPECT_TRUE(Waiting());
    clock_.SetTick(5300);
    EXPECT_FALSE(Step()) << "Offline was shown already";
    EXPECT_FALSE(Waiting());
    EXPECT_FALSE(cycle_.Online());

    // Online before, silent now: the picture turns back to Offline.
    Start();
    Reply();
    EXPECT_TRUE(Step());
    Start();
    clock_.Advance(1000);
    EXPECT_TRUE(Step());
    EXPECT_FALSE(cycle_.Online());
}

TEST_F(DetectionCycleTest, ReplyAfterTheDeadlineDoesNotAnswerTheNextRequest) {
    Start();
    clock_.Advance(400);
    Reply();  // arrives late, before the timer's step
    EXPECT_FALSE(Step());
    EXPECT_FALSE(cycle_.Online());
    Start();
    EXPECT_FALSE(Step());
    EXPECT_FALSE(cycle_.Online()) << "the new request has no answer yet";
    EXPECT_TRUE(Waiting());
}

TEST_F(DetectionCycleTest, DetectionStartedDuringATransferGoesOutAtTheFirstStepAfterIt) {
    ASSERT_TRUE(BeginActivity(state_, Activity::Receiving));
    EXPECT_FALSE(Start());
    EXPECT_EQ(0u, RequestsSent());
    EXPECT_EQ(0u, cycle_.NextDetection());
    EXPECT_FALSE(Step());
    EXPECT_EQ(0u, RequestsSent());
    EXPECT_EQ(Activity::Receiving, state_.activity.load()) << "the transfer keeps the instance";
    EndActivity(state_, Activity::Receiving);
    Step();
    EXPECT_EQ(1u, RequestsSent());
    EXPECT_TRUE(Waiting());
}

TEST_F(DetectionCycleTest, TimerStepsWithoutAPlannedDetectionSendNothing) {
    for (int i = 0; i < 5; ++i) {
        clock_.Advance(20);
        EXPECT_FALSE(Step());
    }
    EXPECT_EQ(0u, RequestsSent());
}

TEST_F(DetectionCycleTest, DeadlineBeyondTheTickWrapIsStillAhead) {
    clock_.SetTick(0xFFFFFF00u);
    Start();
    EXPECT_EQ(0x2Cu, state_.detect_deadline);
    clock_.SetTick(0xFFFFFF10u);
    EXPECT_FALSE(Step());
    EXPECT_TRUE(Waiting()) << "not timed out before the deadline";
    clock_.SetTick(0x10u);
    Reply();
    EXPECT_TRUE(Step());
    EXPECT_TRUE(cycle_.Online());
}

TEST_F(DetectionCycleTest, FailedSendLeavesThePictureAsItWas) {
    Start();
    Reply();
    Step();
    ASSERT_TRUE(cycle_.Online());
    state_.host_link = nullptr;  // the host took its output away
    EXPECT_FALSE(Start());
    EXPECT_FALSE(Waiting());
    EXPECT_TRUE(cycle_.Online());
}

class DetectionWithoutProbeTest : public DetectionCycleTest {
protected:
    DetectionWithoutProbeTest() : DetectionCycleTest(false) {}
};

TEST_F(DetectionWithoutProbeTest, CycleEndsAtOnceAsATimeOut) {
    EXPECT_FALSE(Start());
    EXPECT_EQ(0u, RequestsSent());
    EXPECT_FALSE(Waiting());
    EXPECT_FALSE(cycle_.Online());
}

// Nothing sent, nothing to wait for: whatever the tick count (past 2^31 a
// deadline of 0 would count as ahead), transfers stay free and no timer is
// needed to end the cycle.
TEST_F(DetectionWithoutProbeTest, NoProbeNeverHoldsTheInstanceAtAnyTick) {
    for (uint32_t tick : {5000u, 0x80000000u, 0x90000000u, 0xFFFFFFF0u}) {
        clock_.SetTick(tick);
        Start();
        Step();
        EXPECT_FALSE(Waiting()) << std::hex << tick;
        EXPECT_FALSE(cycle_.Waiting()) << std::hex << tick;
        EXPECT_TRUE(BeginActivity(state_, Activity::Receiving)) << "a transfer may start at " << std::hex << tick;
        EndActivity(state_, Activity::Receiving);
    }
}

TEST_F(DetectionCycleTest, AbandonedDetectionFreesTheInstanceAndOnlyIts) {
    Start();
    ASSERT_TRUE(Waiting());
    cycle_.Abandon(Context());
    EXPECT_FALSE(Waiting());
    EXPECT_FALSE(cycle_.Waiting());

    ASSERT_TRUE(BeginActivity(state_, Activity::Transmitting));
    cycle_.Abandon(Context());
    EXPECT_EQ(Activity::Transmitting, state_.activity.load()) << "a page never ends a transfer";
}

}  // namespace
