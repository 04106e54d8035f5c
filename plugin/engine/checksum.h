// Checksums of SysX messages: one rule, computed and stored in outgoing
// messages and checked in received ones. Plain functions of a rule and the
// bytes of one message (F0 at position 0), so that whatever holds a message
// (a request, a replayed dump, a received loop) treats it alike.
#pragma once

#include <cstdint>

struct ChecksumRule {
    uint8_t type;     // ChecksumType (device/druv_template.h) in force; other values store nothing
    int32_t start;    // first summed position, counted from the F0 byte
    int32_t length;   // number of summed bytes; 0 or below means no checksum
    int32_t storeAt;  // position of the checksum byte
    // Above 0: the checksum byte sits this many bytes before the message's
    // end (2: the byte before F7) and covers `start` up to the byte before
    // it, whatever the message's length; `length` and `storeAt` are not used.
    int32_t fromEnd = 0;
    int32_t constant = 0;  // added to the sum by the sum-plus-constant kind
};

// Where a rule's summed bytes and its checksum byte lie in one message.
struct ChecksumPlace {
    uint32_t start;
    uint32_t count;
    uint32_t storeAt;
};

// False when the rule has no place in a message of `messageLength` bytes: a
// type that stores nothing, a range of no bytes, a range or store position
// outside the message (a definition's positions are never trusted to fit
// every message), or a nybble kind over an odd number of bytes.
bool PlaceChecksum(const ChecksumRule& rule, uint32_t messageLength, ChecksumPlace* place);

// The checksum byte the rule gives for the message as it stands; false when
// the rule has no place in it.
bool ComputeChecksum(const ChecksumRule& rule, const uint8_t* message, uint32_t messageLength, uint8_t* byte);

// Computes the checksum and stores it. False, leaving the message as it was,
// when the rule has no place in it.
bool ApplyChecksum(const ChecksumRule& rule, uint8_t* message, uint32_t messageLength);

enum class ChecksumCheck {
    NotApplicable,  // the rule has no place in the message, or its byte lies inside its own range
    Valid,
    Invalid,
};

// Whether a received message carries the checksum the rule gives.
ChecksumCheck CheckChecksum(const ChecksumRule& rule, const uint8_t* message, uint32_t messageLength);
