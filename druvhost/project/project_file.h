// The project file of druvhost and the window host: for each device used
// with a project, its class identifier and the bytes its filter saved. The
// file starts with a magic and a format version and ends with a CRC-32 of
// everything before it, so that a truncated or garbled file is refused whole
// instead of being half read. Numbers are little-endian.
//
// When a device's dumps have been received into the project, the file goes
// on after that check value with the receive dates: the tag "RCVD", one
// signed 64-bit time per device in entry order (seconds since 1970 UTC, 0 for
// never) and a CRC-32 of the whole file before it. A file without any date
// has no such part, so it is the same bytes as before dates were kept; a
// reader that knows no dates refuses a file with them as having unexpected
// bytes at its end, and changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace druvhost {

using ClassId = std::array<uint8_t, 16>;  // a GUID as it lies in memory on Windows

struct ProjectEntry {
    ClassId classId{};
    std::vector<uint8_t> filterData;
    // When its dumps were last received into the project: seconds since
    // 1970-01-01 UTC, 0 for never.
    int64_t receivedAt = 0;
};

struct Project {
    std::vector<ProjectEntry> entries;  // at most one per class identifier

    const ProjectEntry* Find(const ClassId& classId) const;
    // Replaces the bytes of the entry of `classId` (keeping its receive
    // date), or appends one.
    void Put(const ClassId& classId, std::vector<uint8_t> filterData);
    // Sets the receive date of the entry of `classId`; false when there is none.
    bool MarkReceived(const ClassId& classId, int64_t secondsSince1970);
};

constexpr char kProjectMagic[8] = {'D', 'R', 'U', 'V', 'H', 'O', 'S', 'T'};
constexpr uint32_t kProjectVersion = 1;
constexpr char kReceiveDatesTag[4] = {'R', 'C', 'V', 'D'};

std::vector<uint8_t> EncodeProject(const Project& project);

enum class ProjectReadError {
    None,
    NotAProject,         // another magic: not a file of ours
    NewerVersion,        // a version this program does not know
    Truncated,           // the bytes end before the announced contents
    Garbled,             // the check value does not match the contents
    TrailingBytes,       // bytes after the check value
    DuplicateDevice,     // two entries for one class identifier
};

// Decodes `bytes`; on any error `project` is left untouched.
ProjectReadError DecodeProject(const uint8_t* bytes, size_t size, Project& project);

// Human-readable reason for an error, for the terminal.
const char* DescribeProjectError(ProjectReadError error);

// CRC-32 (the common reflected polynomial EDB88320).
uint32_t Crc32(const uint8_t* bytes, size_t size);

}  // namespace druvhost
