#include "plugin/engine/checksum.h"

#include "device/druv_template.h"

namespace {

bool IsNybbleKind(uint8_t type) { return type == kChecksumNybbleSumLowHigh || type == kChecksumNybbleSumHighLow; }

bool StoresSomething(uint8_t type) { return type >= kChecksumTwosComplement && type <= kLastChecksumType; }

// The 8-bit wrapping sum the rule's kind works on: of the bytes themselves,
// or of the bytes that nybble pairs encode.
uint8_t Sum(uint8_t type, const uint8_t* bytes, uint32_t count) {
    uint32_t sum = 0;
    if (!IsNybbleKind(type)) {
        for (uint32_t i = 0; i < count; ++i) sum += bytes[i];
        return static_cast<uint8_t>(sum);
    }
    const bool lowFirst = type == kChecksumNybbleSumLowHigh;
    for (uint32_t i = 0; i + 1 < count; i += 2) {
        const uint32_t first = bytes[i] & 0x0Fu;
        const uint32_t second = bytes[i + 1] & 0x0Fu;
        sum += lowFirst ? first | (second << 4) : (first << 4) | second;
    }
    return static_cast<uint8_t>(sum);
}

}  // namespace

bool PlaceChecksum(const ChecksumRule& rule, uint32_t messageLength, ChecksumPlace* place) {
    if (!StoresSomething(rule.type) || rule.start < 0) return false;
    const uint32_t start = static_cast<uint32_t>(rule.start);
    uint32_t count = 0;
    uint32_t storeAt = 0;
    if (rule.fromEnd > 0) {
        // The range ends just before the checksum byte; a message too short
        // to hold one byte of it has no checksum.
        const uint32_t fromEnd = static_cast<uint32_t>(rule.fromEnd);
        if (fromEnd > messageLength) return false;
        storeAt = messageLength - fromEnd;
        if (storeAt <= start) return false;
        count = storeAt - start;
    } else {
        // A range of no bytes is no checksum: the sum of nothing stamped over
        // a byte of a valid dump would only corrupt it.
        if (rule.length <= 0 || rule.storeAt < 0) return false;
        count = static_cast<uint32_t>(rule.length);
        storeAt = static_cast<uint32_t>(rule.storeAt);
        if (storeAt >= messageLength) return false;
        if (start > messageLength || count > messageLength - start) return false;
    }
    if (IsNybbleKind(rule.type) && count % 2 != 0) return false;
    *place = ChecksumPlace{start, count, storeAt};
    return true;
}

bool ComputeChecksum(const ChecksumRule& rule, const uint8_t* message, uint32_t messageLength, uint8_t* byte) {
    ChecksumPlace place;
    if (!message || !PlaceChecksum(rule, messageLength, &place)) return false;
    const uint8_t sum = Sum(rule.type, message + place.start, place.count);
    switch (rule.type) {
    case kChecksumTwosComplement: *byte = static_cast<uint8_t>(0u - sum) & 0x7F; return true;
    case kChecksumOnesComplement: *byte = static_cast<uint8_t>(~sum) & 0x7F; return true;
    case kChecksumSumPlusConstant:
        *byte = static_cast<uint8_t>(sum + static_cast<uint32_t>(rule.constant)) & 0x7F;
        return true;
    default:  // the plain sum and the nybble sums
        *byte = sum & 0x7F;
        return true;
    }
}

bool ApplyChecksum(const ChecksumRule& rule, uint8_t* message, uint32_t messageLength) {
    uint8_t byte;
    if (!ComputeChecksum(rule, message, messageLength, &byte)) return false;
    ChecksumPlace place;
    PlaceChecksum(rule, messageLength, &place);
    message[place.storeAt] = byte;
    return true;
}

ChecksumCheck CheckChecksum(const ChecksumRule& rule, const uint8_t* message, uint32_t messageLength) {
    ChecksumPlace place;
    uint8_t byte;
    if (!ComputeChecksum(rule, message, messageLength, &byte)) return ChecksumCheck::NotApplicable;
    PlaceChecksum(rule, messageLength, &place);
    // A byte that counts itself cannot be checked after it was written.
    if (place.storeAt >= place.start && place.storeAt - place.start < place.count) return ChecksumCheck::NotApplicable;
    return message[place.storeAt] == byte ? ChecksumCheck::Valid : ChecksumCheck::Invalid;
}
