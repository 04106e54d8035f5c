// Loop values written at fixed positions of an outgoing SysX message: the
// outer loop's value in its format, and the loop's address, a number of
// 7-bit bytes. Plain functions of the values and the message's bytes; a
// field that does not lie wholly between the F0 and the message's last
// byte is not written.
#pragma once

#include <cstdint>

// Writes `value` at `offset` in OuterLoopFormat `format` (device/template_extensions.h).
void WriteOuterLoopValue(int32_t format, int32_t value, int32_t offset, uint8_t* message, uint32_t length);

// The address of loop `loopIndex`: `start` + `loopIndex` x `step`, as a
// number of 7 bits per byte (the arithmetic carries from one byte into the
// next), most significant first, in the `byteCount` bytes (1 to 4) from
// `offset`. Bits above the field's width are dropped.
void WriteLoopAddress(int32_t offset, int32_t byteCount, int32_t start, int32_t step, int32_t loopIndex,
                      uint8_t* message, uint32_t length);
