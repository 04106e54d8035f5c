#include "manager/file_handover.h"

#include <cstring>
#include <utility>

#include "platform/utf16_text.h"

namespace {

constexpr char kMagic[8] = {'D', 'R', 'U', 'V', 'O', 'P', 'E', 'N'};
constexpr size_t kHeaderBytes = 16;

void PutNumber(uint32_t number, std::vector<uint8_t>& out) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(number >> (8 * i)));
}

uint32_t TakeNumber(const uint8_t* in) {
    uint32_t number = 0;
    for (int i = 0; i < 4; ++i) number |= static_cast<uint32_t>(in[i]) << (8 * i);
    return number;
}

// A path the format carries: not empty, within its length, valid UTF-8
// without a zero or another control character.
bool Carried(const char* text, size_t length) {
    if (length == 0 || length > kMaxHandedOverPathBytes) return false;
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) < 0x20 || text[i] == 0x7F) return false;
    return Utf16ToUtf8(Utf8ToUtf16(text, length)) == std::string(text, length);
}

}  // namespace

std::vector<uint8_t> EncodeFileHandover(const std::vector<std::string>& paths) {
    if (paths.empty() || paths.size() > kMaxHandedOverFiles) return {};
    std::vector<uint8_t> bytes(kMagic, kMagic + sizeof kMagic);
    PutNumber(kFileHandoverVersion, bytes);
    PutNumber(static_cast<uint32_t>(paths.size()), bytes);
    for (const std::string& path : paths) {
        if (!Carried(path.data(), path.size()) || bytes.size() + 4 + path.size() > kMaxHandoverBytes) return {};
        PutNumber(static_cast<uint32_t>(path.size()), bytes);
        bytes.insert(bytes.end(), path.begin(), path.end());
    }
    return bytes;
}

bool DecodeFileHandover(const uint8_t* data, size_t size, std::vector<std::string>& paths) {
    if (data == nullptr || size < kHeaderBytes || size > kMaxHandoverBytes) return false;
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0 || TakeNumber(data + 8) != kFileHandoverVersion) return false;
    const uint32_t count = TakeNumber(data + 12);
    if (count == 0 || count > kMaxHandedOverFiles) return false;
    std::vector<std::string> taken;
    size_t at = kHeaderBytes;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - at < 4) return false;
        const uint32_t length = TakeNumber(data + at);
        at += 4;
        if (length > size - at) return false;
        const char* text = reinterpret_cast<const char*>(data + at);
        if (!Carried(text, length)) return false;
        taken.emplace_back(text, length);
        at += length;
    }
    if (at != size) return false;
    paths = std::move(taken);
    return true;
}
