#include "simulator/sysx_checksum.h"

#include <vector>

namespace druv::simulator {

namespace {

struct Range {
  size_t start;
  size_t length;
  size_t offset;
};

std::optional<Range> RangeOf(const ChecksumRule& rule, size_t size) {
  if (rule.type < kChecksumTwosComplement || rule.type > kLastChecksumType) return std::nullopt;
  if (rule.start < 0 || size < 2) return std::nullopt;
  Range range{static_cast<size_t>(rule.start), 0, 0};
  if (rule.fromEnd > 0) {
    if (static_cast<size_t>(rule.fromEnd) > size) return std::nullopt;
    range.offset = size - static_cast<size_t>(rule.fromEnd);
    if (range.offset <= range.start) return std::nullopt;
    range.length = range.offset - range.start;
  } else {
    if (rule.length <= 0 || rule.offset < 1) return std::nullopt;
    range.length = static_cast<size_t>(rule.length);
    range.offset = static_cast<size_t>(rule.offset);
    if (range.start > size || range.length > size - range.start) return std::nullopt;
  }
  if (range.offset < 1 || range.offset >= size - 1) return std::nullopt;
  if (range.offset >= range.start && range.offset < range.start + range.length) return std::nullopt;
  const bool nybbles = rule.type == kChecksumNybbleSumLowHigh || rule.type == kChecksumNybbleSumHighLow;
  if (nybbles && range.length % 2 != 0) return std::nullopt;
  return range;
}

// The bytes the summed range stands for: itself, or the bytes its nybble
// pairs encode.
std::vector<uint8_t> SummedBytes(const ChecksumRule& rule, const uint8_t* bytes, size_t length) {
  if (rule.type != kChecksumNybbleSumLowHigh && rule.type != kChecksumNybbleSumHighLow)
    return std::vector<uint8_t>(bytes, bytes + length);
  std::vector<uint8_t> decoded;
  for (size_t i = 0; i + 1 < length; i += 2) {
    const uint8_t low = rule.type == kChecksumNybbleSumLowHigh ? bytes[i] : bytes[i + 1];
    const uint8_t high = rule.type == kChecksumNybbleSumLowHigh ? bytes[i + 1] : bytes[i];
    decoded.push_back(static_cast<uint8_t>(((high & 0x0F) << 4) | (low & 0x0F)));
  }
  return decoded;
}

}  // namespace

ChecksumRule ChecksumRuleOf(const DRUVTemplate& tmpl, int32_t formatVersion) {
  const TemplateExtensions& x = tmpl.Extensions();
  return ChecksumRule{ChecksumTypeInForce(tmpl.CSumType(), formatVersion), tmpl.CSumStart(), tmpl.CSumLength(),
                      tmpl.CSumOfs(), x.csumFromEnd, x.csumConstant};
}

ChecksumRule RequestChecksumRuleOf(const DRUVTemplate& tmpl, int32_t formatVersion) {
  const TemplateExtensions& x = tmpl.Extensions();
  if (x.requestCSumType == 0) return ChecksumRuleOf(tmpl, formatVersion);
  return ChecksumRule{ChecksumTypeInForce(static_cast<uint8_t>(x.requestCSumType), formatVersion),
                      x.requestCSumStart, x.requestCSumLength, x.requestCSumOfs, x.requestCSumFromEnd,
                      x.requestCSumConstant};
}

std::optional<size_t> ChecksumOffset(const ChecksumRule& rule, size_t size) {
  const std::optional<Range> range = RangeOf(rule, size);
  if (!range) return std::nullopt;
  return range->offset;
}

std::optional<uint8_t> ComputeChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size) {
  const std::optional<Range> range = message ? RangeOf(rule, size) : std::nullopt;
  if (!range) return std::nullopt;
  unsigned sum = 0;
  for (uint8_t byte : SummedBytes(rule, message + range->start, range->length)) sum += byte;
  switch (rule.type) {
    case kChecksumTwosComplement: return static_cast<uint8_t>((0u - sum) & 0x7F);
    case kChecksumOnesComplement: return static_cast<uint8_t>(~sum & 0x7F);
    case kChecksumSumPlusConstant: return static_cast<uint8_t>((sum + static_cast<unsigned>(rule.constant)) & 0x7F);
    default: return static_cast<uint8_t>(sum & 0x7F);
  }
}

bool StoreChecksum(const ChecksumRule& rule, uint8_t* message, size_t size) {
  const std::optional<uint8_t> checksum = ComputeChecksum(rule, message, size);
  if (!checksum) return false;
  message[*ChecksumOffset(rule, size)] = *checksum;
  return true;
}

ChecksumVerdict CheckChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size) {
  const std::optional<uint8_t> checksum = ComputeChecksum(rule, message, size);
  if (!checksum) return ChecksumVerdict::NotApplicable;
  return message[*ChecksumOffset(rule, size)] == *checksum ? ChecksumVerdict::Valid : ChecksumVerdict::Invalid;
}

}  // namespace druv::simulator
