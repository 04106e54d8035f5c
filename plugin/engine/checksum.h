// Checksums of outgoing SysX messages.
#pragma once

#include <cstdint>

struct ChecksumRule {
    uint8_t type;     // ChecksumType (device/druv_template.h); other values store nothing
    int32_t start;    // first summed position, counted from the F0 byte
    int32_t length;   // number of summed bytes; 0 or below means no checksum
    int32_t storeAt;  // position of the checksum byte
};

// The byte stored for an 8-bit wrapping sum; false for a type that stores nothing.
bool ChecksumByte(uint8_t type, uint8_t sum, uint8_t* byte);

// Computes the checksum over message[start, start + length) and stores it at
// storeAt. Returns false, leaving the message as it was, when the type stores
// nothing, when the range holds no bytes (length 0 or below), or when the
// summed range or the store position lies outside the message: a
// definition's positions are never trusted to fit every message.
bool ApplyChecksum(const ChecksumRule& rule, uint8_t* message, uint32_t messageLength);
