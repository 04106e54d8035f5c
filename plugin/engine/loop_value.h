// The loop-value placeholders F1 and F2 in outgoing messages.
#pragma once

#include <cstdint>

constexpr uint8_t kLoopValueFirstPlaceholder = 0xF1;
constexpr uint8_t kLoopValueSecondPlaceholder = 0xF2;

// The bytes that replace F1 and F2 for loop value `value` in LoopValueFormat
// `format` (device/druv_template.h); false for a format outside 0 to 3 (the placeholders are then left as they are).
bool LoopValueBytes(int32_t format, int32_t value, uint8_t* first, uint8_t* second);

// Replaces every F1 and F2 among `count` bytes.
void ReplaceLoopPlaceholders(int32_t format, int32_t value, uint8_t* bytes, uint32_t count);
