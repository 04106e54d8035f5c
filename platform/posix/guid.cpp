#include "platform/guid.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

// The digits are known to be hexadecimal: IsBracedGuidText checked them.
unsigned long HexField(const char* text, size_t digits) {
    char field[9] = {};
    std::memcpy(field, text, digits);
    return std::strtoul(field, nullptr, 16);
}

}  // namespace

bool CreateGuid(GUID& guid) {
    uint8_t bytes[16];
    try {
        std::random_device source;
        for (size_t i = 0; i < sizeof bytes; i += 4) {
            const uint32_t word = source();
            std::memcpy(bytes + i, &word, 4);
        }
    } catch (...) {  // no entropy source available
        return false;
    }
    GUID fresh;
    std::memcpy(&fresh, bytes, sizeof fresh);
    fresh.Data3 = static_cast<uint16_t>((fresh.Data3 & 0x0FFF) | 0x4000);  // version 4: random
    fresh.Data4[0] = static_cast<uint8_t>((fresh.Data4[0] & 0x3F) | 0x80);  // variant of RFC 4122
    guid = fresh;
    return true;
}

bool FormatBracedGuid(const GUID& guid, char* buffer, size_t buffer_size) {
    if (buffer == nullptr || buffer_size < kBracedGuidLength + 1) return false;
    char text[kBracedGuidLength + 1];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    std::memcpy(buffer, text, sizeof text);
    return true;
}

bool ParseBracedGuid(const char* text, GUID& guid) {
    if (!IsBracedGuidText(text)) return false;
    GUID parsed;
    parsed.Data1 = static_cast<uint32_t>(HexField(text + 1, 8));
    parsed.Data2 = static_cast<uint16_t>(HexField(text + 10, 4));
    parsed.Data3 = static_cast<uint16_t>(HexField(text + 15, 4));
    parsed.Data4[0] = static_cast<uint8_t>(HexField(text + 20, 2));
    parsed.Data4[1] = static_cast<uint8_t>(HexField(text + 22, 2));
    for (size_t i = 0; i < 6; ++i) parsed.Data4[2 + i] = static_cast<uint8_t>(HexField(text + 25 + 2 * i, 2));
    guid = parsed;
    return true;
}
