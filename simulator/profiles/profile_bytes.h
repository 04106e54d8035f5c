// Byte arithmetic shared by instrument profiles: seeded contents, the usual
// SysX checksums, nibble splitting and Roland's 7-bit addresses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

// `size` deterministic bytes for (seed, slot), each masked by `mask`. Two
// seeds, or two slots, give different bytes.
Bytes SeededBytes(uint64_t seed, const std::string& slot, size_t size, uint8_t mask = 0x7F);

// (sum of `count` bytes from `start`) & 0x7F, and its 7-bit two's complement.
// Out-of-range spans count only the bytes that exist.
uint8_t Sum7(const Bytes& bytes, size_t start, size_t count);
uint8_t TwosComplement7(const Bytes& bytes, size_t start, size_t count);

// Whether `message` begins with `prefix`.
bool StartsWith(const Bytes& message, std::initializer_list<uint8_t> prefix);
bool StartsWith(const Bytes& message, const Bytes& prefix);

// Bytes from ASCII text (the "LM  8976AE" style of identifiers).
Bytes Ascii(const std::string& text);

// Appends `more` to `to`.
void Append(Bytes& to, const Bytes& more);

// Each byte as two nibble bytes, low nibble first or high nibble first, and back.
Bytes SplitLowFirst(const Bytes& bytes);
Bytes SplitHighFirst(const Bytes& bytes);
Bytes JoinLowFirst(const Bytes& nibbles);
Bytes JoinHighFirst(const Bytes& nibbles);
// Whether every byte is below 0x10.
bool AllNibbles(const Bytes& bytes);

// A SysX message: F0, body, F7.
Bytes Wrap(const Bytes& body);

// Roland addresses: `width` 7-bit bytes, most significant first, as a number
// and back; "02 00 00" style names for memory slots.
uint32_t RolandAddress(const Bytes& bytes, size_t offset, size_t width);
Bytes RolandAddressBytes(uint32_t address, size_t width);
std::string HexName(const Bytes& bytes);

}  // namespace druv::profiles
