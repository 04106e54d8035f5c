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

    ASSERT_TRUE(StartDetect(device, &data));
    EXPECT_EQ(5300u, device.transfer.detect_deadline);
    EXPECT_TRUE(device.transfer.detect_wait.load());
    std::vector<Bytes> expected{{0xB0, 0x79, 0x00}, {0xF0, 0x7D, 0x10, 0x06, 0xF7}};
    EXPECT_EQ(expected, out.WireMessages());
}

TEST_F(DetectProbeTest, TemplateOfExactly2000BytesIsFoundButDoesNotCount) {
    DRUVTemplate* large = AddTemplate("Large", 1998);
    EXPECT_EQ(large, FindDetectTemplate(device));
    EXPECT_FALSE(HasDetectTemplate(device));
    large->SetSize(1997);
    EXPECT_TRUE(HasDetectTemplate(device));
    large->SetSize(1999);
    EXPECT_EQ(nullptr, FindDetectTemplate(device));
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

TEST_F(DetectProbeTest, FailureLeavesTheDeadlineOrClearsTheWait) {
    Build();
    device.transfer.detect_deadline = 77;
    EXPECT_FALSE(StartDetect(device, &data)) << "no template";
    EXPECT_EQ(77u, device.transfer.detect_deadline);

    AddTemplate("Identity", 10)->SetRequest("90 3C");  // a note on without its velocity
    EXPECT_FALSE(StartDetect(device, &data));
    EXPECT_FALSE(device.transfer.detect_wait.load());
}

}  // namespace
