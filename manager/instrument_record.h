// One installed instrument as the manager keeps it in its per-user list: a
// record of exactly 544 bytes, stored byte for byte as a binary value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/com_base.h"

constexpr size_t kInstrumentRecordSize = 544;
constexpr size_t kRecordNameFieldSize = 256;  // at most 255 bytes and a zero

struct InstrumentRecord {
    std::string displayName;  // UTF-8, at most 255 bytes
    GUID deviceGuid{};
    GUID editorGuid{};
};

// The 544 bytes: the name and its zero in a 256-byte field (the rest zero),
// the device GUID and the editor GUID in the platform's 16-byte layout
// (32-, 16- and 16-bit fields least significant byte first, then 8 bytes),
// and 256 reserved zero bytes. A name over 255 bytes is cut between whole
// characters.
std::vector<uint8_t> EncodeInstrumentRecord(const InstrumentRecord& record);

// Reads the first 544 bytes of `bytes`. False, `record` unchanged, when there
// are fewer. The name ends at its first zero or after 255 bytes, whichever
// comes first, and never ends inside a UTF-8 character; ill-formed bytes
// within it become U+FFFD (the result again at most 255 bytes).
bool DecodeInstrumentRecord(const std::vector<uint8_t>& bytes, InstrumentRecord& record);
