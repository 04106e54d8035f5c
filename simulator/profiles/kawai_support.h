// What the Kawai K1 and K4 share: the message header
// `F0 40 0n ff 00 gg ...` (n the MIDI channel, ff the function, gg the
// machine: 03 K1, 04 K4) and the patch checksum, which is neither a plain
// sum nor a two's complement: (sum of the patch bytes + A5) & 7F, stored as
// the last byte of each patch, inside banks too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles::kawai {

constexpr uint8_t kOneDataRequest = 0x00;
constexpr uint8_t kAllDataRequest = 0x02;
constexpr uint8_t kOneDataDump = 0x20;
constexpr uint8_t kAllDataDump = 0x22;
constexpr uint8_t kWriteComplete = 0x40;

// (sum of `count` bytes from `start` + A5) & 7F.
uint8_t Checksum(const Bytes& bytes, size_t start, size_t count);

// A patch of `size` bytes whose last byte is its checksum, seeded for `slot`.
Bytes SeededPatch(uint64_t seed, const std::string& slot, size_t size);

// Whether the patch of `size` bytes at `start` ends with its checksum.
bool PatchValid(const Bytes& bytes, size_t start, size_t size);

// The header `F0 40 0n ff 00 machine`.
Bytes Header(uint8_t channel, uint8_t function, uint8_t machine);

// Whether `message` starts with a header of `machine`; gives its channel and function.
bool ParseHeader(const Bytes& message, uint8_t machine, uint8_t& channel, uint8_t& function);

// The memory slot of internal single `number`.
std::string SingleSlot(int number);

// A one-single dump `F0 40 0n 20 00 machine 00 pp [single] F7` whose header
// ParseHeader has accepted, checked as the unit takes it: size, internal
// memory, a single it has, its checksum.
DumpCheck CheckSingleDump(const Bytes& message, uint8_t channel, size_t singleSize, size_t singles);

// The dump that answers a request for internal single `number`.
Bytes SingleDump(uint8_t channel, uint8_t machine, uint8_t number, const Bytes& single);

// What the K1 and K4 send after storing a dump: the header with the "write
// complete" function and nothing more. (Their error replies, functions 41
// to 43, are not modelled: which fault gives which is not known.)
Bytes WriteComplete(uint8_t channel, uint8_t machine);

}  // namespace druv::profiles::kawai
