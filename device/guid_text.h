// GUID texts: the braced 38-character form for registry keys, and the bare
// 36-character form of definition files.
#pragma once

#include <cstddef>

#include "platform/com_base.h"

// Size of the text buffers the programs hand to GuidToText.
constexpr size_t kGuidTextBufferSize = 256;

// Writes the braced upper-case form into `buffer` (at least 39 bytes).
// False, and the buffer unchanged, when the conversion fails or the buffer is
// too small.
bool GuidToText(const GUID& guid, char* buffer, size_t buffer_size);
template <size_t Size>
bool GuidToText(const GUID& guid, char (&buffer)[Size]) {
    return GuidToText(guid, buffer, Size);
}

// Reads the bare form: the text is wrapped in braces and parsed as a braced
// GUID, so a text that already carries braces does not parse. A text that
// does not parse leaves the null GUID and gives false.
bool TextToGuid(const char* text, GUID& guid);
