#include "druvhost/project/project_file.h"

#include <algorithm>
#include <cstring>

namespace druvhost {

namespace {

constexpr size_t kHeaderSize = 16;   // magic, version, entry count
constexpr size_t kEntryHeaderSize = 20;  // class identifier, data length
constexpr size_t kCheckSize = 4;
constexpr size_t kDateSize = 8;

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetU32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void PutI64(std::vector<uint8_t>& out, int64_t value) {
    const uint64_t bits = static_cast<uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

int64_t GetI64(const uint8_t* bytes) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
    return static_cast<int64_t>(bits);
}

bool AnyReceiveDate(const Project& project) {
    for (const ProjectEntry& entry : project.entries)
        if (entry.receivedAt != 0) return true;
    return false;
}

// The receive dates after the version-1 file that ends at `datesAt` (its
// check value included): the tag, one date per entry, the whole file's check
// value. A part without any date is never written, so it is refused too.
ProjectReadError DecodeReceiveDates(const uint8_t* bytes, size_t size, size_t datesAt, Project& read) {
    const size_t datesSize = read.entries.size() * kDateSize;
    const size_t expected = datesAt + sizeof kReceiveDatesTag + datesSize + kCheckSize;
    if (size < expected) return ProjectReadError::Truncated;
    if (size > expected) return ProjectReadError::TrailingBytes;
    if (GetU32(bytes + size - kCheckSize) != Crc32(bytes, size - kCheckSize)) return ProjectReadError::Garbled;
    if (GetU32(bytes + datesAt - kCheckSize) != Crc32(bytes, datesAt - kCheckSize)) return ProjectReadError::Garbled;
    const uint8_t* date = bytes + datesAt + sizeof kReceiveDatesTag;
    for (ProjectEntry& entry : read.entries) {
        entry.receivedAt = GetI64(date);
        date += kDateSize;
    }
    return AnyReceiveDate(read) ? ProjectReadError::None : ProjectReadError::TrailingBytes;
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

bool Project::MarkReceived(const ClassId& classId, int64_t secondsSince1970) {
    for (ProjectEntry& entry : entries)
        if (entry.classId == classId) {
            entry.receivedAt = secondsSince1970;
            return true;
        }
    return false;
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
    if (!AnyReceiveDate(project)) return out;
    out.insert(out.end(), kReceiveDatesTag, kReceiveDatesTag + sizeof kReceiveDatesTag);
    for (const ProjectEntry& entry : project.entries) PutI64(out, entry.receivedAt);
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
    if (at != end) {
        // More than a check value follows the entries: the receive dates, or
        // bytes nobody wrote.
        const size_t datesAt = at + kCheckSize;
        if (end - at < sizeof kReceiveDatesTag + kCheckSize ||
            std::memcmp(bytes + datesAt, kReceiveDatesTag, sizeof kReceiveDatesTag) != 0)
            return ProjectReadError::TrailingBytes;
        const ProjectReadError dates = DecodeReceiveDates(bytes, size, datesAt, read);
        if (dates != ProjectReadError::None) return dates;
    } else if (GetU32(bytes + end) != Crc32(bytes, end)) {
        return ProjectReadError::Garbled;
    }
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
