#include "druvhost/project/project_file.h"

#include <algorithm>
#include <cstring>

namespace druvhost {

namespace {

constexpr size_t kHeaderSize = 16;   // magic, version, entry count
constexpr size_t kEntryHeaderSize = 20;  // class identifier, data length
constexpr size_t kCheckSize = 4;

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetU32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

}  // namespace

const ProjectEntry* Project::Find(const ClassId& classId) const {
    for (const ProjectEntry& entry : entries)
        if (entry.classId == classId) return &entry;
    return nullptr;
}

void Project::Put(const ClassId& classId, std::vector<uint8_t> filterData) {
    for (ProjectEntry& entry : entries)
        if (entry.classId == classId) {
            entry.filterData = std::move(filterData);
            return;
        }
    entries.push_back({classId, std::move(filterData)});
}

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> EncodeProject(const Project& project) {
    std::vector<uint8_t> out(kProjectMagic, kProjectMagic + sizeof kProjectMagic);
    PutU32(out, kProjectVersion);
    PutU32(out, static_cast<uint32_t>(project.entries.size()));
    for (const ProjectEntry& entry : project.entries) {
        out.insert(out.end(), entry.classId.begin(), entry.classId.end());
        PutU32(out, static_cast<uint32_t>(entry.filterData.size()));
        out.insert(out.end(), entry.filterData.begin(), entry.filterData.end());
    }
    PutU32(out, Crc32(out.data(), out.size()));
    return out;
}

ProjectReadError DecodeProject(const uint8_t* bytes, size_t size, Project& project) {
    if (size < sizeof kProjectMagic || std::memcmp(bytes, kProjectMagic, sizeof kProjectMagic) != 0)
        return ProjectReadError::NotAProject;
    if (size < kHeaderSize + kCheckSize) return ProjectReadError::Truncated;
    if (GetU32(bytes + 8) != kProjectVersion) return ProjectReadError::NewerVersion;
    const uint32_t count = GetU32(bytes + 12);
    const size_t end = size - kCheckSize;  // where the check value would start
    Project read;
    size_t at = kHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (end - at < kEntryHeaderSize) return ProjectReadError::Truncated;
        ProjectEntry entry;
        std::copy(bytes + at, bytes + at + 16, entry.classId.begin());
        const uint32_t length = GetU32(bytes + at + 16);
        at += kEntryHeaderSize;
        if (end - at < length) return ProjectReadError::Truncated;
        entry.filterData.assign(bytes + at, bytes + at + length);
        at += length;
        if (read.Find(entry.classId) != nullptr) return ProjectReadError::DuplicateDevice;
        read.entries.push_back(std::move(entry));
    }
    if (at != end) return ProjectReadError::TrailingBytes;
    if (GetU32(bytes + end) != Crc32(bytes, end)) return ProjectReadError::Garbled;
    project = std::move(read);
    return ProjectReadError::None;
}

const char* DescribeProjectError(ProjectReadError error) {
    switch (error) {
        case ProjectReadError::None: return "no error";
        case ProjectReadError::NotAProject: return "not a druvhost project file";
        case ProjectReadError::NewerVersion: return "a project file version this program does not know";
        case ProjectReadError::Truncated: return "the project file is cut short";
        case ProjectReadError::Garbled: return "the project file is damaged (its check value does not match)";
        case ProjectReadError::TrailingBytes: return "the project file has unexpected bytes at its end";
        case ProjectReadError::DuplicateDevice: return "the project file holds one device twice";
    }
    return "unknown error";
}

}  // namespace druvhost
