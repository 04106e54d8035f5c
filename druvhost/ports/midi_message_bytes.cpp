#include "druvhost/ports/midi_message_bytes.h"

namespace druvhost {

size_t ShortMessageLength(uint8_t status) {
    if (IsDataByte(status)) return 0;
    if (status < 0xF0) {
        const uint8_t kind = status & 0xF0;
        // Program change and channel pressure carry one data byte.
        return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
    }
    switch (status) {
    case 0xF1:  // time code quarter frame
    case 0xF3:  // song select
        return 2;
    case 0xF2:  // song position
        return 3;
    case 0xF6:  // tune request
        return 1;
    case kSysXStart:
    case kSysXEnd:
    case 0xF4:
    case 0xF5:
        return 0;
    default:  // F8..FF
        return 1;
    }
}

size_t UnpackShortMessage(uint32_t packed, uint8_t (&bytes)[3]) {
    const uint8_t status = static_cast<uint8_t>(packed & 0xFF);
    const size_t length = ShortMessageLength(status);
    if (length == 0) return 0;
    bytes[0] = status;
    for (size_t i = 1; i < length; ++i) {
        const uint8_t data = static_cast<uint8_t>((packed >> (8 * i)) & 0xFF);
        if (!IsDataByte(data)) return 0;
        bytes[i] = data;
    }
    return length;
}

bool PackShortMessage(const uint8_t* message, size_t size, uint32_t& packed) {
    if (message == nullptr || size == 0 || ShortMessageLength(message[0]) != size) return false;
    uint32_t value = message[0];
    for (size_t i = 1; i < size; ++i) {
        if (!IsDataByte(message[i])) return false;
        value |= static_cast<uint32_t>(message[i]) << (8 * i);
    }
    packed = value;
    return true;
}

bool IsWholeSysX(const uint8_t* message, size_t size) {
    if (message == nullptr || size < 2) return false;
    if (message[0] != kSysXStart || message[size - 1] != kSysXEnd) return false;
    for (size_t i = 1; i + 1 < size; ++i) {
        if (!IsDataByte(message[i])) return false;
    }
    return true;
}

}  // namespace druvhost
