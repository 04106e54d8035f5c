// Checksum of a SysX message as a dump template defines it: an 8-bit sum of
// `length` bytes from `start` (positions counted from F0), stored as one data
// byte at `offset` (kinds: ChecksumType of the template). Pure functions,
// shared by the simulated instrument and by tests that check what the
// transfer engine sends.
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
};

ChecksumRule ChecksumRuleOf(const DRUVTemplate& tmpl);

// True when the rule computes a checksum for a message of `size` bytes: a
// known type, a positive length, the summed range inside the message, and the
// stored byte strictly between F0 and F7 and outside the summed range (a byte
// that covered itself could not be checked after it was written).
bool ChecksumApplies(const ChecksumRule& rule, size_t size);

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
