// The detection probe: which template it uses, its deadline, and what it sends.
#include <gtest/gtest.h>

#include "transfer_test_support.h"

namespace {

class DetectProbeTest : public TransferTest {};

TEST_F(DetectProbeTest, DeadlineAllowsTheReplyAtTwoThousandBytesASecondPlus200Ms) {
    DRUVTemplate* probe = AddTemplate("Identity", 198);
    probe->SetRequest("F0 7D 10 06 F7");
    probe->SetPreRequest("B0 79 00");
    Build();
    clock.SetTick(5000);

    ASSERT_EQ(DetectStart::Sent, StartDetect(Context()));
    EXPECT_EQ(5300u, state.detect_deadline);
    EXPECT_TRUE(DetectionWaits(state));
    std::vector<Bytes> expected{{0xB0, 0x79, 0x00}, {0xF0, 0x7D, 0x10, 0x06, 0xF7}};
    EXPECT_EQ(expected, out.WireMessages());
}

// One bound for both: a probe that a page would send must also make the page
// watch for its answer.
TEST_F(DetectProbeTest, ReplyOfTwoThousandBytesOrMoreNeitherProbesNorCounts) {
    struct Case {
        int32_t size;  // reply Size + NumLoops 1 + 1
        bool suits;
    };
    DRUVTemplate* large = AddTemplate("Large", 0);
    for (const Case& c : {Case{1997, true}, Case{1998, false}, Case{1999, false}}) {
        large->SetSize(c.size);
        EXPECT_EQ(c.suits ? large : nullptr, FindDetectTemplate(device)) << c.size;
        EXPECT_EQ(c.suits, HasDetectTemplate(device)) << c.size;
    }
}

TEST_F(DetectProbeTest, VerifiedTemplateWinsElseTheLastShortOne) {
    DRUVTemplate* first = AddTemplate("First", 10);
    DRUVTemplate* looped = AddTemplate("Looped", 10);
    looped->SetNumLoops(2);
    DRUVTemplate* manual = AddTemplate("Manual", 10);
    manual->SetRequest("");
    EXPECT_EQ(first, FindDetectTemplate(device)) << "looped and manual templates do not suit";

    DRUVTemplate* last = AddTemplate("Last", 10);
    EXPECT_EQ(last, FindDetectTemplate(device));

    DRUVTemplate* verified = AddTemplate("Verified", 50000);
    verified->SetVerify(1);
    DRUVTemplate* laterVerified = AddTemplate("Later", 10);
    laterVerified->SetVerify(1);
    EXPECT_EQ(verified, FindDetectTemplate(device));
}

TEST_F(DetectProbeTest, NegativeSizeNeverSuits) {
    AddTemplate("Odd", -5);
    EXPECT_EQ(nullptr, FindDetectTemplate(device));
    EXPECT_FALSE(HasDetectTemplate(device));
}

TEST_F(DetectProbeTest, OnlyARequestReallySentWaitsForItsReply) {
    Build();
    state.detect_deadline = 77;
    EXPECT_EQ(DetectStart::NoProbe, StartDetect(Context()));
    EXPECT_EQ(77u, state.detect_deadline);
    EXPECT_EQ(Activity::Idle, state.activity.load()) << "nothing was sent, so nothing waits";

    AddTemplate("Identity", 10)->SetRequest("90 3C");  // a note on without its velocity
    EXPECT_EQ(DetectStart::SendFailed, StartDetect(Context()));
    EXPECT_EQ(Activity::Idle, state.activity.load());
}

// A transfer and a detection share one busy state: each refuses to start
// while the other holds it, and a refused detection sends nothing.
TEST_F(DetectProbeTest, DetectionAndTransferExcludeEachOther) {
    AddTemplate("Identity", 10);
    Build();
    for (Activity running : {Activity::Receiving, Activity::Transmitting, Activity::Detecting}) {
        state.activity = running;
        EXPECT_EQ(DetectStart::Busy, StartDetect(Context())) << static_cast<int>(running);
        EXPECT_EQ(running, state.activity.load());
    }
    EXPECT_TRUE(out.Sent().empty());

    state.activity = Activity::Idle;
    ASSERT_EQ(DetectStart::Sent, StartDetect(Context()));
    EXPECT_FALSE(BeginActivity(state, Activity::Receiving));
    EXPECT_FALSE(BeginActivity(state, Activity::Transmitting));
    EndActivity(state, Activity::Receiving);
    EXPECT_TRUE(DetectionWaits(state)) << "only the holder ends it";
    EndActivity(state, Activity::Detecting);
    EXPECT_TRUE(BeginActivity(state, Activity::Receiving));
}

}  // namespace

namespace {

// The probe's request is prepared as a receive's first loop is: its own
// checksum, the first loop's address and outer value, and the first loop
// value, whatever an earlier transfer left.
TEST_F(DetectProbeTest, ProbeAsksForTheFirstLoopWithTheRequestsChecksum) {
    device.SetSysXChanOfs(2);
    device.SetSysXChanMax(31);
    DRUVTemplate* probe = AddTemplate("Patch", 404);
    probe->SetRequest("F0 41 00 3D 11 00 00 00 00 03 00 00 F1 F7");
    probe->SetLoopStart(0x21);
    probe->SetVerify(1);
    TemplateExtensions x;
    x.addressOfs = 5;
    x.addressBytes = 3;
    x.addressStart = 5 << 14;
    x.addressIncDec = 0x180;
    x.outerLoopCount = 2;
    x.outerLoopStart = 0x33;
    x.outerLoopOfs = 10;
    x.requestCSumType = kChecksumTwosComplement;
    x.requestCSumStart = 5;
    x.requestCSumLength = 6;
    x.requestCSumOfs = 11;
    probe->SetExtensions(x);
    Build();
    data.DeviceId = 0x10;
    state.loop_value = 7;
    state.outer_loop_value = 9;
    state.loop_index = 5;

    ASSERT_EQ(DetectStart::Sent, StartDetect(Context()));
    // 05 00 00 00 03 33 sum to 3Bh.
    EXPECT_EQ((Bytes{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x00, 0x00, 0x00, 0x03, 0x33, 0x45, 0x21, 0xF7}),
              out.WireMessages().at(0));
}

}  // namespace
