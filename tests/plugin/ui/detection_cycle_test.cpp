// The page's detection cycle against the engine's probe, in virtual time:
// sent, answered or timed out, held back by a transfer.
#include <gtest/gtest.h>

#include <cstdint>

#include "device/druv_device.h"
#include "platform/clock.h"
#include "plugin/engine/druv_data.h"
#include "plugin/engine/transfer_engine.h"
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
        device_.transfer.host_link = &midi_;
        data_.SetTransferClock(clock_);
        data_.BuildFrom(device_);
        data_.OutPort.store(3);
    }

    bool Step(bool transferRunning = false) { return cycle_.Step(device_, data_, transferRunning); }
    bool Start(bool transferRunning = false) { return cycle_.Start(device_, data_, transferRunning); }
    void Reply() { OnSysX(device_, false, kReply, sizeof kReply); }
    bool Waiting() const { return device_.transfer.detect_wait.load(); }
    size_t RequestsSent() const { return midi_.Sent().size(); }

    VirtualClock clock_;
    RecordingMidiOut midi_;
    DRUVDevice device_;
    DRUVData data_;
    DetectionCycle cycle_;
};

TEST_F(DetectionCycleTest, AnsweredRequestTurnsOnlineAndClearsBothFlags) {
    EXPECT_FALSE(Start());
    EXPECT_EQ(1u, RequestsSent());
    EXPECT_TRUE(Waiting());
    const uint32_t sentAt = clock_.TickCount();
    EXPECT_EQ(5300u, device_.transfer.detect_deadline) << "200 bytes at 2 per millisecond, plus 200";
    EXPECT_EQ(DetectionCycle::kNonePlanned, cycle_.NextDetection());

    clock_.SetTick(sentAt + 50);
    EXPECT_FALSE(Step()) << "no reply yet";
    EXPECT_TRUE(Waiting());
    Reply();
    EXPECT_TRUE(Step()) << "the picture changes to Online";
    EXPECT_TRUE(cycle_.Online());
    EXPECT_FALSE(Waiting());
    EXPECT_FALSE(device_.transfer.reply_seen.load());
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
    EXPECT_FALSE(Start(true));
    EXPECT_EQ(0u, RequestsSent());
    EXPECT_EQ(0u, cycle_.NextDetection());
    EXPECT_FALSE(Step(true));
    EXPECT_EQ(0u, RequestsSent());
    Step(false);
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
    EXPECT_EQ(0x2Cu, device_.transfer.detect_deadline);
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
    device_.transfer.host_link = nullptr;  // the host took its output away
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

}  // namespace
