// Text and number conventions shared by the definition model, its file and
// the programs that edit it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// kMaxTextLength: every text field holds at most this many bytes (a 256-byte
// field on disk and in the host's structures, terminator included).
#include "contract/text_limits.h"

// The text cut to kMaxTextLength bytes. A cut that would fall inside a UTF-8
// sequence moves back to the start of that sequence, so that a written file
// stays well-formed. Null gives empty text.
std::string CapText(const char* text);

// Decimal text to integer as the C library's strtol with base 10 reads it:
// leading white space, an optional sign, digits up to the first other
// character; no digits give 0; values beyond 32 bits saturate. Null gives 0.
int32_t DecimalTextToInt(const char* text);

// "%d" of the value. Unsigned 8-bit fields pass through int unchanged.
std::string DecimalText(int32_t value);

// Equal length and equal letters under ASCII case folding. Null equals "".
bool EqualsIgnoringCase(const char* a, const char* b);
