// The project file of druvhost: for each device used with a project, its
// class identifier and the bytes its filter saved. The file starts with a
// magic and a format version and ends with a CRC-32 of everything before it,
// so that a truncated or garbled file is refused whole instead of being
// half read. Numbers are little-endian.
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
};

struct Project {
    std::vector<ProjectEntry> entries;  // at most one per class identifier

    const ProjectEntry* Find(const ClassId& classId) const;
    // Replaces the entry of `classId`, or appends one.
    void Put(const ClassId& classId, std::vector<uint8_t> filterData);
};

constexpr char kProjectMagic[8] = {'D', 'R', 'U', 'V', 'H', 'O', 'S', 'T'};
constexpr uint32_t kProjectVersion = 1;

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
