// GUID creation and the 38-character braced text form
// ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case hexadecimal digits).
#pragma once

#include <cstddef>

#include "platform/com_base.h"

constexpr size_t kBracedGuidLength = 38;

// Fills `guid` with a new random identifier; false (and `guid` unchanged)
// when the system cannot make one.
bool CreateGuid(GUID& guid);

// Writes the braced form and its terminator into `buffer`, which must hold at
// least kBracedGuidLength + 1 bytes; false (buffer unchanged) otherwise.
bool FormatBracedGuid(const GUID& guid, char* buffer, size_t buffer_size);

// Parses exactly the braced form (hexadecimal digits in either case). False
// for anything else, `guid` then unchanged.
bool ParseBracedGuid(const char* text, GUID& guid);

// Whether `text` has exactly the braced form. Both backends parse only what
// passes it, so that they accept the same texts (the system's parser would
// also take a registered program name).
bool IsBracedGuidText(const char* text);

// True for the identifier of all zeros, which names nothing.
inline bool IsNullGuid(const GUID& guid) { return IsEqualGUID(guid, GUID{}); }
