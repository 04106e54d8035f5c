// A checksum over no bytes is none: a transmit replays stored dumps, and the
// sum of nothing stamped over one of their bytes corrupts a valid dump.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "device/druv_template.h"
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

namespace {

// A message of `length` bytes: F0, `header`, data bytes from `data` (cycled,
// or zeros), a checksum place and F7.
Bytes Message(const Bytes& header, size_t length, const Bytes& data = {}) {
    Bytes message(length, 0x00);
    message.front() = 0xF0;
    message.back() = 0xF7;
    for (size_t i = 0; i < header.size() && i + 1 < length - 1; ++i) message[1 + i] = header[i];
    for (size_t i = 1 + header.size(), d = 0; i + 2 < length && !data.empty(); ++i, ++d)
        message[i] = data[d % data.size()];
    return message;
}

// Patch bytes 0, 1, ..., 133 as a Matrix-1000 patch carries them: low nybble first.
Bytes NybblesOfCountingBytes(bool lowFirst) {
    Bytes nybbles;
    for (int value = 0; value < 134; ++value) {
        uint8_t low = value & 0x0F, high = static_cast<uint8_t>(value >> 4);
        nybbles.push_back(lowFirst ? low : high);
        nybbles.push_back(lowFirst ? high : low);
    }
    return nybbles;
}

// The rules of real instruments over messages whose checksum is known.
TEST(ApplyChecksum, RulesOfRealInstrumentsGiveTheirPublishedChecksums) {
    Bytes kawaiData;
    for (int i = 0; i < 87; ++i) kawaiData.push_back(static_cast<uint8_t>((i * 3) & 0x7F));
    struct Case {
        const char* what;
        ChecksumRule rule;
        Bytes message;
        size_t at;
        uint8_t expected;
    };
    const Case cases[] = {
        // The JD-800's whole-bank request as published: F0 41 10 3D 11 05 00
        // 00 01 40 00 3A F7, Roland's rule over address and size.
        {"JD-800 bank request, fixed range", {kChecksumTwosComplement, 5, 6, 11},
         {0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x00, 0x00, 0x01, 0x40, 0x00, 0x00, 0xF7}, 11, 0x3A},
        {"JD-800 bank request, range to the end", {kChecksumTwosComplement, 5, 0, 0, 2},
         {0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x00, 0x00, 0x01, 0x40, 0x00, 0x00, 0xF7}, 11, 0x3A},
        // Its single patch 1 at 05 03 00 (05 00 00 + 180h), size 00 03 00.
        {"JD-800 patch 1 request", {kChecksumTwosComplement, 5, 0, 0, 2},
         {0xF0, 0x41, 0x10, 0x3D, 0x11, 0x05, 0x03, 0x00, 0x00, 0x03, 0x00, 0x00, 0xF7}, 11, 0x75},
        // A Kawai K1 single: 87 data bytes from offset 8, (sum + A5h) & 7Fh.
        {"K1 single", {kChecksumSumPlusConstant, 8, 0, 0, 2, 0xA5},
         Message({0x40, 0x00, 0x20, 0x00, 0x03, 0x00, 0x05}, 97, kawaiData), 95, 0x7C},
        {"K1 single, all zero", {kChecksumSumPlusConstant, 8, 87, 95, 0, 0xA5},
         Message({0x40, 0x00, 0x20, 0x00, 0x03, 0x00, 0x05}, 97), 95, 0x25},
        // A Matrix-1000 patch: 268 nybbles from offset 5, the sum of the 134
        // bytes they encode, low nybble first.
        {"Matrix-1000 patch", {kChecksumNybbleSumLowHigh, 5, 0, 0, 2},
         Message({0x10, 0x06, 0x01, 0x07}, 275, NybblesOfCountingBytes(true)), 273, 0x4F},
        {"the same bytes high nybble first", {kChecksumNybbleSumHighLow, 5, 268, 273},
         Message({0x10, 0x06, 0x01, 0x07}, 275, NybblesOfCountingBytes(false)), 273, 0x4F},
        {"Matrix-1000 nybbles read high first", {kChecksumNybbleSumHighLow, 5, 0, 0, 2},
         Message({0x10, 0x06, 0x01, 0x07}, 275, NybblesOfCountingBytes(true)), 273, 0x60},
    };
    for (const Case& c : cases) {
        Bytes message = c.message;
        ASSERT_TRUE(ApplyChecksum(c.rule, message.data(), static_cast<uint32_t>(message.size()))) << c.what;
        EXPECT_EQ(c.expected, message.at(c.at)) << c.what << ": got " << int(message.at(c.at));
        Bytes others = c.message;
        others[c.at] = message[c.at];
        EXPECT_EQ(others, message) << c.what << ": only the checksum byte changes";
        EXPECT_EQ(ChecksumCheck::Valid, CheckChecksum(c.rule, message.data(), static_cast<uint32_t>(message.size())))
            << c.what;
        message[c.at] ^= 0x01;
        EXPECT_EQ(ChecksumCheck::Invalid, CheckChecksum(c.rule, message.data(), static_cast<uint32_t>(message.size())))
            << c.what;
    }
}

// A range counted from the end covers at least one byte: from 5 to the byte
// before the second-to-last, a message needs 8 bytes.
TEST(ApplyChecksum, MessageShorterThanTheRangeFromTheEndStaysAsItIs) {
    const ChecksumRule rule{kChecksumSum, 5, 0, 0, 2};
    Bytes tooShort{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x00, 0xF7};
    const Bytes before = tooShort;
    EXPECT_FALSE(ApplyChecksum(rule, tooShort.data(), static_cast<uint32_t>(tooShort.size())));
    EXPECT_EQ(before, tooShort);
    EXPECT_EQ(ChecksumCheck::NotApplicable, CheckChecksum(rule, tooShort.data(), 7));

    Bytes oneByte{0xF0, 0x41, 0x10, 0x3D, 0x11, 0x25, 0x00, 0xF7};
    EXPECT_TRUE(ApplyChecksum(rule, oneByte.data(), static_cast<uint32_t>(oneByte.size())));
    EXPECT_EQ(0x25, oneByte[6]);

    Bytes tiny{0xF7};
    EXPECT_FALSE(ApplyChecksum(rule, tiny.data(), 1)) << "the byte would lie before the message";
}

TEST(ApplyChecksum, RulesWithoutAPlaceLeaveTheMessage) {
    const Bytes message{0xF0, 0x10, 0x06, 0x01, 0x02, 0x03, 0x04, 0x05, 0x55, 0xF7};
    struct Case {
        ChecksumRule rule;
        const char* what;
    };
    const Case cases[] = {
        {{kChecksumNybbleSumLowHigh, 1, 7, 8}, "an odd count of nybbles"},
        {{kChecksumNybbleSumHighLow, 3, 0, 0, 2}, "an odd count of nybbles to the end"},
        {{kLastChecksumType + 1, 1, 4, 8}, "a type beyond the known ones"},
        {{kChecksumSumPlusConstant, -1, 0, 0, 2, 0x10}, "a start before the message"},
        {{kChecksumSum, 1, 0, 0, 11}, "a checksum before the F0"},
    };
    for (const Case& c : cases) {
        Bytes copy = message;
        EXPECT_FALSE(ApplyChecksum(c.rule, copy.data(), static_cast<uint32_t>(copy.size()))) << c.what;
        EXPECT_EQ(message, copy) << c.what;
    }
}

TEST(CheckChecksum, AByteInsideItsOwnRangeCannotBeChecked) {
    // Byte 2 holds the sum of byte 1 alone, so a rule over bytes 1 to 3 that
    // stores at 2 counts its own byte.
    const Bytes message{0xF0, 0x01, 0x01, 0x03, 0xF7};
    EXPECT_EQ(ChecksumCheck::NotApplicable, CheckChecksum({kChecksumSum, 1, 3, 2}, message.data(), 5));
    EXPECT_EQ(ChecksumCheck::Valid, CheckChecksum({kChecksumSum, 1, 1, 2}, message.data(), 5));
}

}  // namespace
