// What a template can say beyond the first definition format: a checksum rule
// of its own for the messages it sends, ranges counted from a message's end,
// more checksum kinds and their check on receive, a loop value added into a
// multi-byte address, an outer loop around the template's loop, replies of
// unknown length, manual dumps that end by a count or a quiet gap, and a wait
// for the instrument's acknowledgement after each replayed loop.
//
// Every part is off at its default. A definition that uses none of them
// reads, saves and behaves exactly as one written before they existed; a file
// that uses one carries FormatVersion 2, and a reader refuses a version newer
// than it knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "device/byte_string.h"

// The newest definition format this program reads; a file without
// FormatVersion is version 1.
constexpr int32_t kDefinitionFormatVersion = 2;
constexpr int32_t kFirstDefinitionFormatVersion = 1;

// How an outer loop's value is written at its position in a message.
enum OuterLoopFormat : int32_t {
    kOuter7Bit = 0,            // one byte, the value's low 7 bits
    kOuter14BitLowHigh = 1,    // two bytes: low 7 bits, then the next 7
    kOuter14BitHighLow = 2,    // two bytes: high 7 bits first
    kOuterNybbleLowHigh = 3,   // two bytes: low nybble, then the high one
    kOuterNybbleHighLow = 4,   // two bytes: high nybble first
};
constexpr int32_t kLastOuterLoopFormat = kOuterNybbleHighLow;

// The formats' names, by value, as every program shows them.
inline constexpr const char* kOuterLoopFormatNames[] = {"7-bit", "14-bit L/H", "14-bit H/L", "nybble L/H",
                                                        "nybble H/L"};
static_assert(std::size(kOuterLoopFormatNames) == kLastOuterLoopFormat + 1, "one name per outer loop format");

// The most bytes a loop address may span (a 28-bit address of 7-bit bytes).
constexpr int32_t kMaxAddressBytes = 4;

struct TemplateExtensions {
    // The checksum of the messages the template sends from its own byte
    // strings (requests and transmit strings); with RequestCSumType 0 they
    // take the dump's rule, as before. Computed after the device ID, loop
    // value, address and outer loop value are in place.
    int32_t requestCSumType = 0;
    int32_t requestCSumStart = 0;
    int32_t requestCSumLength = 0;
    int32_t requestCSumOfs = 0;
    // N > 0: the checksum sits N bytes before the message's end (2: the byte
    // before F7) and covers CSumStart up to the byte before it, whatever the
    // message's length; CSumLength and CSumOfs are then not used. A message
    // too short to hold one byte of the range gets no checksum. The nybble
    // kinds need an even number of bytes; over an odd one there is none.
    int32_t requestCSumFromEnd = 0;
    int32_t requestCSumConstant = 0;  // the constant of the sum-plus-constant kind

    // The same two for the dump's own rule (CSumType and its fields).
    int32_t csumFromEnd = 0;
    int32_t csumConstant = 0;
    // Nonzero: every received message the dump's rule fits is checked as its
    // loop ends, and a mismatch ends the item with an error that names the
    // loop (counted from 1 over all the item's loops); the item keeps the
    // dump it held before.
    int32_t csumVerify = 0;

    // Nonzero AddressBytes (1 to 4): AddressStart + loop x AddressIncDec,
    // most significant 7 bits first, into the AddressBytes bytes from
    // AddressOfs of each message sent from the template's byte strings. The
    // loop counts every loop of the item, outer loops included. AddressStart
    // is the number the bytes stand for at 7 bits each (02 00 00 is 32768),
    // so a step carries from one byte into the next. A field that does not
    // lie wholly between the F0 and the message's last byte is not written;
    // stored dumps replayed keep their own address.
    int32_t addressOfs = 0;
    int32_t addressBytes = 0;
    int32_t addressStart = 0;
    int32_t addressIncDec = 0;

    // OuterLoopCount > 0: the template's loops run that many times, with the
    // outer value OuterLoopStart + outer x OuterLoopIncDec written at
    // OuterLoopOfs in OuterLoopValFormat; the inner loop value starts again
    // at LoopStart each time. One item holds all loops in order, so Size is
    // the total of all of them and LoopRecvSize the most one loop holds.
    int32_t outerLoopCount = 0;
    int32_t outerLoopStart = 0;
    int32_t outerLoopIncDec = 1;
    int32_t outerLoopOfs = 0;
    int32_t outerLoopValFormat = kOuter7Bit;

    // Nonzero: each loop is one message of unknown length, ended by its F7;
    // the template's size (LoopRecvSize with several loops) is then the most
    // a loop may hold, and more is an overrun.
    int32_t unknownLength = 0;

    // Each loop of a receive ends after this many whole SysX messages, or
    // after this many milliseconds without a byte once its first message
    // arrived (0: not); for a manual dump, whose one loop is the whole dump,
    // that ends the receive. The quiet gap is noticed at the receive's next
    // look (every 30 ms), never before it has passed.
    int32_t endAfterMessages = 0;
    int32_t endAfterQuiet = 0;

    // After each replayed loop and its Transmit messages, wait up to
    // AckTimeOut milliseconds for a message that begins like AckPattern (go
    // on) or AckErrorPattern (stop with the instrument's error); the
    // device-ID byte of a pattern is put in as in every message, and FF
    // matches any byte. The first matching message since the loop's replay
    // began decides; one that matches both is an error. No answer within the
    // time goes on with the next loop, without a message: some units answer
    // only some writes, and the wait still gives the unit its time.
    ByteString ackPattern;
    ByteString ackErrorPattern;
    int32_t ackTimeOut = 0;

    bool operator==(const TemplateExtensions& other) const;
    bool operator!=(const TemplateExtensions& other) const { return !(*this == other); }
};

// One element of a template's extensions in the file: its name, where its
// value lives, and what reading it keeps of a number.
struct ExtensionField {
    const char* name;
    int32_t TemplateExtensions::*number;   // null for a byte string
    ByteString TemplateExtensions::*bytes;  // null for a number
    int32_t (*normalise)(int32_t value);    // null keeps the value as read
};

// In the order the writer writes them.
const ExtensionField* ExtensionFields(size_t& count);

// Whether the field holds anything but its default.
bool IsSet(const ExtensionField& field, const TemplateExtensions& extensions);
// Whether any field does.
bool UsesExtensions(const TemplateExtensions& extensions);

// Stores a value read from the file (decimal text or hexadecimal bytes).
void StoreExtensionField(const ExtensionField& field, TemplateExtensions& extensions, const char* text);
