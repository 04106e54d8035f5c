#include "plugin/engine/checksum.h"

#include "device/druv_template.h"

bool ChecksumByte(uint8_t type, uint8_t sum, uint8_t* byte) {
    switch (type) {
    case kChecksumTwosComplement:
        *byte = static_cast<uint8_t>(0u - sum) & 0x7F;
        return true;
    case kChecksumSum:
        *byte = sum & 0x7F;
        return true;
    case kChecksumOnesComplement:
        *byte = static_cast<uint8_t>(~sum) & 0x7F;
        return true;
    default:
        return false;
    }
}

bool ApplyChecksum(const ChecksumRule& rule, uint8_t* message, uint32_t messageLength) {
    // A range of no bytes is no checksum: the sum of nothing stamped over a
    // byte of a valid dump would only corrupt it.
    if (rule.length <= 0 || rule.start < 0 || rule.storeAt < 0) return false;
    const uint32_t start = static_cast<uint32_t>(rule.start);
    const uint32_t count = static_cast<uint32_t>(rule.length);
    if (static_cast<uint32_t>(rule.storeAt) >= messageLength) return false;
    if (start > messageLength || count > messageLength - start) return false;
    uint8_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) sum = static_cast<uint8_t>(sum + message[start + i]);
    uint8_t byte;
    if (!ChecksumByte(rule.type, sum, &byte)) return false;
    message[rule.storeAt] = byte;
    return true;
}
