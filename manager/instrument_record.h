// One installed instrument as the manager keeps it in its per-user list: a
// record of exactly 544 bytes, stored byte for byte as a binary value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "contract/text_limits.h"
#include "manager/path_comparison.h"
#include "platform/com_base.h"

constexpr size_t kInstrumentRecordSize = 544;
constexpr size_t kRecordNameFieldSize = kMaxTextLength + 1;  // at most 255 bytes and a zero
constexpr size_t kRecordPathFieldSize = kMaxTextLength + 1;  // the same, in the bytes once reserved

// The device file's path that an install wrote into the host's "DevicePath",
// as its record keeps it: the path itself when it takes at most 255 bytes,
// otherwise a digest of it. Records of earlier versions keep none.
class DevicePathMark {
public:
    DevicePathMark() = default;
    explicit DevicePathMark(std::string path) : path_(std::move(path)) {}
    static DevicePathMark FromDigest(uint64_t digest);

    // No path kept (a record of an earlier version).
    bool Empty() const { return path_.empty() && !has_digest_; }
    // The path, when the record keeps it as text; empty otherwise.
    const std::string& Path() const { return path_; }
    bool KeptAsDigest() const { return has_digest_; }
    uint64_t Digest() const { return has_digest_ ? digest_ : PathDigest(path_); }

    // Whether `path` (as the host's entry holds it) is the path kept here.
    bool Matches(const std::string& path, const SameFileFunction& sameFile) const;

private:
    std::string path_;
    uint64_t digest_ = 0;
    bool has_digest_ = false;
};

struct InstrumentRecord {
    std::string displayName;  // UTF-8, at most 255 bytes
    GUID deviceGuid{};
    GUID editorGuid{};
    DevicePathMark devicePath{};
};

// The 544 bytes: the name and its zero in a 256-byte field (the rest zero),
// the device GUID and the editor GUID in the platform's 16-byte layout
// (32-, 16- and 16-bit fields least significant byte first, then 8 bytes),
// and the device path in the last 256 bytes, which earlier versions left
// zero: the path's UTF-8 and a zero when it takes at most 255 bytes (a path
// never begins with the byte 01), otherwise 01 and the path's 64-bit digest
// (PathDigest, least significant byte first); zero without a path. A name
// over 255 bytes is cut between whole characters.
std::vector<uint8_t> EncodeInstrumentRecord(const InstrumentRecord& record);

// Reads the first 544 bytes of `bytes`. False, `record` unchanged, when there
// are fewer. The name ends at its first zero or after 255 bytes, whichever
// comes first, and never ends inside a UTF-8 character; ill-formed bytes
// within it become U+FFFD (the result again at most 255 bytes). The path is
// read the same way.
bool DecodeInstrumentRecord(const std::vector<uint8_t>& bytes, InstrumentRecord& record);
