#include "device/guid_text.h"

#include <string>

#include "platform/guid.h"

bool GuidToText(const GUID& guid, char* buffer, size_t buffer_size) {
    return FormatBracedGuid(guid, buffer, buffer_size);
}

bool TextToGuid(const char* text, GUID& guid) {
    const std::string braced = std::string("{") + (text ? text : "") + "}";
    if (ParseBracedGuid(braced.c_str(), guid)) return true;
    guid = GUID{};
    return false;
}
