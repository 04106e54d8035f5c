#include "plugin/engine/loop_fields.h"

#include "device/template_extensions.h"

namespace {

// Whether `count` bytes from `offset` lie after the F0 and before the
// message's last byte (its F7).
bool FieldFits(int32_t offset, uint32_t count, uint32_t length) {
    return offset > 0 && length >= 2 && count <= length - 2 && static_cast<uint32_t>(offset) <= length - 1 - count;
}

}  // namespace

void WriteOuterLoopValue(int32_t format, int32_t value, int32_t offset, uint8_t* message, uint32_t length) {
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t low7 = v & 0x7F, high7 = (v >> 7) & 0x7F;
    const uint8_t low4 = v & 0x0F, high4 = (v >> 4) & 0x0F;
    uint8_t bytes[2];
    uint32_t count = 2;
    switch (format) {
    case kOuter14BitLowHigh: bytes[0] = low7; bytes[1] = high7; break;
    case kOuter14BitHighLow: bytes[0] = high7; bytes[1] = low7; break;
    case kOuterNybbleLowHigh: bytes[0] = low4; bytes[1] = high4; break;
    case kOuterNybbleHighLow: bytes[0] = high4; bytes[1] = low4; break;
    default: bytes[0] = low7; count = 1; break;
    }
    if (!FieldFits(offset, count, length)) return;
    for (uint32_t i = 0; i < count; ++i) message[static_cast<uint32_t>(offset) + i] = bytes[i];
}

void WriteLoopAddress(int32_t offset, int32_t byteCount, int32_t start, int32_t step, int32_t loopIndex,
                      uint8_t* message, uint32_t length) {
    if (byteCount < 1 || byteCount > kMaxAddressBytes) return;
    const uint32_t count = static_cast<uint32_t>(byteCount);
    if (!FieldFits(offset, count, length)) return;
    // Wrapping 32-bit arithmetic: a negative step counts the address down.
    const uint32_t address =
        static_cast<uint32_t>(start) + static_cast<uint32_t>(loopIndex) * static_cast<uint32_t>(step);
    for (uint32_t i = 0; i < count; ++i)
        message[static_cast<uint32_t>(offset) + i] = (address >> (7 * (count - 1 - i))) & 0x7F;
}
