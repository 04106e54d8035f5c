#include "simulator/sysx_checksum.h"

#include <gtest/gtest.h>

#include <vector>

namespace druv::simulator {
namespace {

// Device ID 3 and loop value 300 already inserted; the checksum covers the two
// loop-value bytes and goes after them.
std::vector<uint8_t> WorkedRequest() { return {0xF0, 0x7D, 0x13, 0x2C, 0x02, 0x00, 0xF7}; }

TEST(SysXChecksum, StoresEachKindOverTheCoveredBytes) {
  struct Case {
    uint8_t type;
    int expected;  // -1: nothing stored
  };
  for (const Case& c : {Case{kChecksumTwosComplement, 0x52}, Case{kChecksumSum, 0x2E},
                        Case{kChecksumOnesComplement, 0x51}, Case{kChecksumNone, -1}, Case{7, -1}}) {
    std::vector<uint8_t> message = WorkedRequest();
    const bool stored = StoreChecksum({c.type, 3, 2, 5}, message.data(), message.size());
    EXPECT_EQ(c.expected >= 0, stored) << "type " << int{c.type};
    EXPECT_EQ(c.expected >= 0 ? c.expected : 0x00, message[5]) << "type " << int{c.type};
    EXPECT_EQ(0xF7, message[6]) << "type " << int{c.type};
  }
}

TEST(SysXChecksum, SumWrapsAtEightBits) {
  const std::vector<uint8_t> message = {0xF0, 0x7F, 0x7F, 0x7F, 0x00, 0xF7};
  EXPECT_EQ(0x03, ComputeChecksum({kChecksumTwosComplement, 1, 3, 4}, message.data(), message.size()).value_or(0xFF));
  EXPECT_EQ(0x7D, ComputeChecksum({kChecksumSum, 1, 3, 4}, message.data(), message.size()).value_or(0xFF));
  EXPECT_EQ(0x02, ComputeChecksum({kChecksumOnesComplement, 1, 3, 4}, message.data(), message.size()).value_or(0xFF));
}

TEST(SysXChecksum, RulesThatLeaveTheMessageDoNotApply) {
  const std::vector<uint8_t> message = WorkedRequest();  // 7 bytes
  const ChecksumRule outside[] = {
      {kChecksumSum, 3, 5, 1},   // range runs past the end
      {kChecksumSum, 3, 0, 5},   // empty range
      {kChecksumSum, 3, -2, 5},  // negative length
      {kChecksumSum, -1, 2, 5},  // range before F0
      {kChecksumSum, 3, 2, 6},   // would overwrite F7
      {kChecksumSum, 3, 2, 0},   // would overwrite F0
      {kChecksumSum, 3, 2, 9},   // past the end
      {kChecksumSum, 3, 2, 4},   // inside its own range
  };
  for (const ChecksumRule& rule : outside) {
    std::vector<uint8_t> copy = message;
    EXPECT_FALSE(StoreChecksum(rule, copy.data(), copy.size())) << rule.start << "/" << rule.length << "@" << rule.offset;
    EXPECT_EQ(message, copy);
    EXPECT_EQ(ChecksumVerdict::NotApplicable, CheckChecksum(rule, message.data(), message.size()));
    EXPECT_TRUE(HasValidChecksum(rule, message.data(), message.size()));
  }
}

TEST(SysXChecksum, CheckFindsAChangedByte) {
  const ChecksumRule rule{kChecksumTwosComplement, 3, 2, 5};
  std::vector<uint8_t> message = WorkedRequest();
  ASSERT_TRUE(StoreChecksum(rule, message.data(), message.size()));
  EXPECT_EQ(ChecksumVerdict::Valid, CheckChecksum(rule, message.data(), message.size()));
  message[4] ^= 0x01;
  EXPECT_EQ(ChecksumVerdict::Invalid, CheckChecksum(rule, message.data(), message.size()));
  EXPECT_FALSE(HasValidChecksum(rule, message.data(), message.size()));
}

}  // namespace
}  // namespace druv::simulator
