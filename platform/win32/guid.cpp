#include "platform/guid.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>

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
