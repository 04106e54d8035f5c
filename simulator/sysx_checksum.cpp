#include "simulator/sysx_checksum.h"

namespace druv::simulator {

ChecksumRule ChecksumRuleOf(const DRUVTemplate& tmpl) {
  return ChecksumRule{tmpl.CSumType(), tmpl.CSumStart(), tmpl.CSumLength(), tmpl.CSumOfs()};
}

bool ChecksumApplies(const ChecksumRule& rule, size_t size) {
  if (rule.type < kChecksumTwosComplement || rule.type > kChecksumOnesComplement) return false;
  if (rule.length <= 0 || rule.start < 0 || rule.offset < 1) return false;
  const auto start = static_cast<size_t>(rule.start);
  const auto length = static_cast<size_t>(rule.length);
  const auto offset = static_cast<size_t>(rule.offset);
  if (size < 2 || start > size || length > size - start) return false;
  if (offset >= size - 1) return false;
  return offset < start || offset >= start + length;
}

std::optional<uint8_t> ComputeChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size) {
  if (message == nullptr || !ChecksumApplies(rule, size)) return std::nullopt;
  uint8_t sum = 0;
  const auto start = static_cast<size_t>(rule.start);
  for (size_t i = 0; i < static_cast<size_t>(rule.length); ++i) sum = static_cast<uint8_t>(sum + message[start + i]);
  switch (rule.type) {
    case kChecksumTwosComplement: return static_cast<uint8_t>((0u - sum) & 0x7F);
    case kChecksumSum: return static_cast<uint8_t>(sum & 0x7F);
    default: return static_cast<uint8_t>(~sum & 0x7F);
  }
}

bool StoreChecksum(const ChecksumRule& rule, uint8_t* message, size_t size) {
  const std::optional<uint8_t> checksum = ComputeChecksum(rule, message, size);
  if (!checksum) return false;
  message[rule.offset] = *checksum;
  return true;
}

ChecksumVerdict CheckChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size) {
  const std::optional<uint8_t> checksum = ComputeChecksum(rule, message, size);
  if (!checksum) return ChecksumVerdict::NotApplicable;
  return message[rule.offset] == *checksum ? ChecksumVerdict::Valid : ChecksumVerdict::Invalid;
}

}  // namespace druv::simulator
