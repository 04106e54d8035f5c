// The shapes of the MIDI messages a port carries: how long a short message
// is by its status byte, the packed form the system passes short messages in
// (status in the lowest byte, then the data bytes), and what a whole SysX
// message looks like. Bytes from the wire are checked, never trusted.
#pragma once

#include <cstddef>
#include <cstdint>

namespace druvhost {

constexpr uint8_t kSysXStart = 0xF0;
constexpr uint8_t kSysXEnd = 0xF7;

// Data bytes have the top bit clear; everything else is a status byte.
constexpr bool IsDataByte(uint8_t byte) { return byte < 0x80; }
// Single-byte messages that may appear anywhere, even inside a SysX message.
constexpr bool IsRealtimeByte(uint8_t byte) { return byte >= 0xF8; }

// The length in bytes (1 to 3) of the short message that `status` begins;
// 0 when it begins none: a data byte, F0 and F7 (the SysX frame), and the
// undefined F4 and F5.
size_t ShortMessageLength(uint8_t status);

// The message packed into `packed`, written to `bytes`; its length, or 0
// when the packed value does not hold a whole short message (no status byte
// first, or a data byte with its top bit set). Bytes beyond the length are
// ignored, as the system leaves them undefined.
size_t UnpackShortMessage(uint32_t packed, uint8_t (&bytes)[3]);

// `message` packed for the system; false unless it is exactly one whole short
// message: a status byte that begins one and as many data bytes as it takes.
bool PackShortMessage(const uint8_t* message, size_t size, uint32_t& packed);

// F0, then data bytes only, then F7.
bool IsWholeSysX(const uint8_t* message, size_t size);

}  // namespace druvhost
