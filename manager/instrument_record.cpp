#include "manager/instrument_record.h"

#include "platform/utf16_text.h"

namespace {

constexpr size_t kDeviceGuidOffset = 256;
constexpr size_t kEditorGuidOffset = 272;
constexpr size_t kPathOffset = 288;
constexpr uint8_t kPathDigestMark = 0x01;

void PutGuid(const GUID& guid, uint8_t* out) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(guid.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) out[4 + i] = static_cast<uint8_t>(guid.Data2 >> (8 * i));
    for (int i = 0; i < 2; ++i) out[6 + i] = static_cast<uint8_t>(guid.Data3 >> (8 * i));
    for (int i = 0; i < 8; ++i) out[8 + i] = guid.Data4[i];
}

GUID TakeGuid(const uint8_t* in) {
    GUID guid{};
    for (int i = 0; i < 4; ++i) guid.Data1 |= static_cast<uint32_t>(in[i]) << (8 * i);
    guid.Data2 = static_cast<uint16_t>(in[4] | (in[5] << 8));
    guid.Data3 = static_cast<uint16_t>(in[6] | (in[7] << 8));
    for (int i = 0; i < 8; ++i) guid.Data4[i] = in[8 + i];
    return guid;
}

// A zero-terminated text field of `size` bytes as valid UTF-8: it ends at its
// first zero or after size - 1 bytes; a character the end cuts short is left
// out, any other ill-formed byte becomes U+FFFD.
std::string TakeText(const uint8_t* field, size_t size) {
    size_t length = 0;
    while (length < size - 1 && field[length] != 0) ++length;
    const char* text = reinterpret_cast<const char*>(field);
    const size_t whole = Utf8CutLength(text, length, length);
    return Utf16ToUtf8(Utf8ToUtf16(text, whole), size - 1);
}

void PutPath(const DevicePathMark& mark, uint8_t* field) {
    const std::string& path = mark.Path();
    if (mark.Empty()) return;
    const bool fits = path.size() < kRecordPathFieldSize && static_cast<uint8_t>(path[0]) != kPathDigestMark;
    if (!mark.KeptAsDigest() && fits) {
        for (size_t i = 0; i < path.size(); ++i) field[i] = static_cast<uint8_t>(path[i]);
        return;
    }
    field[0] = kPathDigestMark;
    const uint64_t digest = mark.Digest();
    for (int i = 0; i < 8; ++i) field[1 + i] = static_cast<uint8_t>(digest >> (8 * i));
}

DevicePathMark TakePath(const uint8_t* field) {
    if (field[0] != kPathDigestMark) return DevicePathMark(TakeText(field, kRecordPathFieldSize));
    uint64_t digest = 0;
    for (int i = 0; i < 8; ++i) digest |= static_cast<uint64_t>(field[1 + i]) << (8 * i);
    return DevicePathMark::FromDigest(digest);
}

}  // namespace

DevicePathMark DevicePathMark::FromDigest(uint64_t digest) {
    DevicePathMark mark;
    mark.digest_ = digest;
    mark.has_digest_ = true;
    return mark;
}

bool DevicePathMark::Matches(const std::string& path, const SameFileFunction& sameFile) const {
    if (has_digest_) return !ComparablePath(path).empty() && PathDigest(path) == digest_;
    return SamePath(path_, path, sameFile);
}

std::vector<uint8_t> EncodeInstrumentRecord(const InstrumentRecord& record) {
    std::vector<uint8_t> bytes(kInstrumentRecordSize, 0);
    const std::string& name = record.displayName;
    const size_t nameLength = Utf8CutLength(name.data(), name.size(), kRecordNameFieldSize - 1);
    for (size_t i = 0; i < nameLength; ++i) bytes[i] = static_cast<uint8_t>(name[i]);
    PutGuid(record.deviceGuid, bytes.data() + kDeviceGuidOffset);
    PutGuid(record.editorGuid, bytes.data() + kEditorGuidOffset);
    PutPath(record.devicePath, bytes.data() + kPathOffset);
    return bytes;
}

bool DecodeInstrumentRecord(const std::vector<uint8_t>& bytes, InstrumentRecord& record) {
    if (bytes.size() < kInstrumentRecordSize) return false;
    record.displayName = TakeText(bytes.data(), kRecordNameFieldSize);
    record.deviceGuid = TakeGuid(bytes.data() + kDeviceGuidOffset);
    record.editorGuid = TakeGuid(bytes.data() + kEditorGuidOffset);
    record.devicePath = TakePath(bytes.data() + kPathOffset);
    return true;
}
