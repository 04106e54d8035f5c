// 8-bit texts of the engine as the host's UTF-16, through the C library's
// multibyte conversion of the current locale.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/com_base.h"

// Converts at most `maxBytes` bytes of `text` (less if it ends before) into a
// zero-terminated UTF-16 text. A multibyte character that the byte limit cuts
// off is left out whole; a byte the locale cannot convert becomes U+FFFD.
// Null when no memory can be had.
std::unique_ptr<WCHAR[]> WidenText(const char* text, size_t maxBytes);
