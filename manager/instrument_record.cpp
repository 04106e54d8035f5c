#include "manager/instrument_record.h"

#include "platform/utf16_text.h"

namespace {

constexpr size_t kDeviceGuidOffset = 256;
constexpr size_t kEditorGuidOffset = 272;

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

}  // namespace

std::vector<uint8_t> EncodeInstrumentRecord(const InstrumentRecord& record) {
    std::vector<uint8_t> bytes(kInstrumentRecordSize, 0);
    const std::string& name = record.displayName;
    const size_t nameLength = Utf8CutLength(name.data(), name.size(), kRecordNameFieldSize - 1);
    for (size_t i = 0; i < nameLength; ++i) bytes[i] = static_cast<uint8_t>(name[i]);
    PutGuid(record.deviceGuid, bytes.data() + kDeviceGuidOffset);
    PutGuid(record.editorGuid, bytes.data() + kEditorGuidOffset);
    return bytes;
}

bool DecodeInstrumentRecord(const std::vector<uint8_t>& bytes, InstrumentRecord& record) {
    if (bytes.size() < kInstrumentRecordSize) return false;
    size_t length = 0;
    while (length < kRecordNameFieldSize - 1 && bytes[length] != 0) ++length;
    // A character that the field's end cuts short is left out; any other
    // ill-formed byte becomes U+FFFD, so the name is valid UTF-8 from here on.
    const char* name = reinterpret_cast<const char*>(bytes.data());
    const size_t whole = Utf8CutLength(name, length, length);
    record.displayName = Utf16ToUtf8(Utf8ToUtf16(name, whole), kRecordNameFieldSize - 1);
    record.deviceGuid = TakeGuid(bytes.data() + kDeviceGuidOffset);
    record.editorGuid = TakeGuid(bytes.data() + kEditorGuidOffset);
    return true;
}
