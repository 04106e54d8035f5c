// Checksum of a SysX message as a dump template defines it: an 8-bit sum of
// `length` bytes from `start` (positions counted from F0), or of the bytes
// from `start` up to the checksum when it sits `fromEnd` bytes before the
// message's end; stored as one data byte (kinds: ChecksumType of the
// template). Pure functions, shared by the simulated instrument and by tests
// that check what the transfer engine sends; written apart from the engine's
// own, so that each checks the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/druv_template.h"

namespace druv::simulator {

struct ChecksumRule {
  uint8_t type = kChecksumNone;  // CSumType
  int32_t start = 0;             // CSumStart
  int32_t length = 0;            // CSumLength
  int32_t offset = 0;            // CSumOfs
  int32_t fromEnd = 0;           // CSumFromEnd: above 0, the byte this far before the end, over start..before it
  int32_t constant = 0;          // CSumConstant of the sum-plus-constant kind
};

// The dump's rule of a template; the checksum kinds later than the first
// format count only for a definition of `formatVersion` 2 or later.
ChecksumRule ChecksumRuleOf(const DRUVTemplate& tmpl, int32_t formatVersion = kDefinitionFormatVersion);
// The rule of the template's requests: its request rule when it has one,
// else the dump's.
ChecksumRule RequestChecksumRuleOf(const DRUVTemplate& tmpl, int32_t formatVersion = kDefinitionFormatVersion);

// Where the checksum byte of a message of `size` bytes sits, when the rule
// computes one for it: a known type, a range of at least one byte inside the
// message (an even count for the nybble kinds), and the stored byte strictly
// between F0 and F7 and outside the summed range (a byte that covered itself
// could not be checked after it was written).
std::optional<size_t> ChecksumOffset(const ChecksumRule& rule, size_t size);
inline bool ChecksumApplies(const ChecksumRule& rule, size_t size) { return ChecksumOffset(rule, size).has_value(); }

// The checksum byte for the message as it stands, or nothing when the rule
// does not apply to a message of this size.
std::optional<uint8_t> ComputeChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size);

// Writes the checksum byte; returns false (message unchanged) when the rule
// does not apply.
bool StoreChecksum(const ChecksumRule& rule, uint8_t* message, size_t size);

enum class ChecksumVerdict { NotApplicable, Valid, Invalid };

ChecksumVerdict CheckChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size);

// Valid, or no checksum to check.
inline bool HasValidChecksum(const ChecksumRule& rule, const uint8_t* message, size_t size) {
  return CheckChecksum(rule, message, size) != ChecksumVerdict::Invalid;
}

}  // namespace druv::simulator
