#include "device/byte_string.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string BytesToHexText(const ByteString& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
        text += ' ';
    }
    return text;
}

void HexTextToBytes(const char* text, ByteString& bytes) {
    bytes.clear();
    if (text == nullptr) return;
    constexpr uint32_t kSaturated = 0x7FFFFFFF;  // strtol's limit where long is 32 bits
    for (const char* p = text; *p != '\0';) {
        if (HexDigitValue(*p) < 0) {
            ++p;
            continue;
        }
        uint32_t value = 0;
        for (; HexDigitValue(*p) >= 0; ++p) {
            if (value <= (kSaturated >> 4))
                value = (value << 4) | static_cast<uint32_t>(HexDigitValue(*p));
            else
                value = kSaturated;
        }
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    }
}
