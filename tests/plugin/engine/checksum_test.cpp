// A checksum over no bytes is none: a transmit replays stored dumps, and the
// sum of nothing stamped over one of their bytes corrupts a valid dump.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "plugin/engine/checksum.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Ranges outside the message are MessageSenderTest.ChecksumRangeMustFitMessage's.
TEST(ApplyChecksum, RangeOfNoBytesLeavesTheMessage) {
    const Bytes message{0xF0, 0x01, 0x02, 0x03, 0x55, 0xF7};
    constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
    struct Case {
        ChecksumRule rule;
        const char* what;
    };
    const Case cases[] = {
        {{1, 1, 0, 4}, "two's complement over no bytes"},
        {{2, 1, 0, 4}, "sum over no bytes"},
        {{3, 1, 0, 4}, "one's complement over no bytes"},
        {{1, 1, -1, 4}, "a negative length"},
        {{3, 100, -3, 2}, "a negative length from past the end"},
        {{2, 1, kLowest, 4}, "the lowest length"},
    };
    for (const Case& c : cases) {
        Bytes copy = message;
        EXPECT_FALSE(ApplyChecksum(c.rule, copy.data(), static_cast<uint32_t>(copy.size()))) << c.what;
        EXPECT_EQ(message, copy) << c.what << ": byte 4 became " << int(copy[4]) << ", byte 2 " << int(copy[2]);
    }
}

}  // namespace
