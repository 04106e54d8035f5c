#include "platform/guid.h"

#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#else
#include <cstdio>
#include <random>
#endif

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The layout check is shared by both systems, so that they accept exactly the
// same texts (the system parser would also take a registered program name).
bool IsBracedGuidText(const char* text) {
    if (text == nullptr || std::strlen(text) != kBracedGuidLength) return false;
    for (size_t i = 0; i < kBracedGuidLength; ++i) {
        const char c = text[i];
        if (i == 0) {
            if (c != '{') return false;
        } else if (i == kBracedGuidLength - 1) {
            if (c != '}') return false;
        } else if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (c != '-') return false;
        } else if (HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

#ifndef _WIN32
uint32_t HexField(const char* text, size_t digits) {
    uint32_t value = 0;
    for (size_t i = 0; i < digits; ++i) value = (value << 4) | static_cast<uint32_t>(HexDigitValue(text[i]));
    return value;
}
#endif

}  // namespace

#ifdef _WIN32

bool CreateGuid(GUID& guid) {
    GUID fresh;
    if (FAILED(CoCreateGuid(&fresh))) return false;
    guid = fresh;
    return true;
}

bool FormatBracedGuid(const GUID& guid, char* buffer, size_t buffer_size) {
    if (buffer == nullptr || buffer_size < kBracedGuidLength + 1) return false;
    LPOLESTR wide = nullptr;
    if (FAILED(StringFromCLSID(guid, &wide)) || wide == nullptr) return false;
    char text[kBracedGuidLength + 1];
    bool ok = true;
    for (size_t i = 0; i <= kBracedGuidLength && ok; ++i) {
        ok = wide[i] < 0x80 && (i < kBracedGuidLength) == (wide[i] != 0);
        text[i] = static_cast<char>(wide[i]);
    }
    CoTaskMemFree(wide);
    if (!ok) return false;
    std::memcpy(buffer, text, sizeof text);
    return true;
}

bool ParseBracedGuid(const char* text, GUID& guid) {
    if (!IsBracedGuidText(text)) return false;
    WCHAR wide[kBracedGuidLength + 1];
    for (size_t i = 0; i <= kBracedGuidLength; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    CLSID parsed;
    if (FAILED(CLSIDFromString(wide, &parsed))) return false;
    guid = parsed;
    return true;
}

#else

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
    parsed.Data1 = HexField(text + 1, 8);
    parsed.Data2 = static_cast<uint16_t>(HexField(text + 10, 4));
    parsed.Data3 = static_cast<uint16_t>(HexField(text + 15, 4));
    parsed.Data4[0] = static_cast<uint8_t>(HexField(text + 20, 2));
    parsed.Data4[1] = static_cast<uint8_t>(HexField(text + 22, 2));
    for (size_t i = 0; i < 6; ++i) parsed.Data4[2 + i] = static_cast<uint8_t>(HexField(text + 25 + 2 * i, 2));
    guid = parsed;
    return true;
}

#endif
