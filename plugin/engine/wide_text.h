// The engine's UTF-8 texts as the host's UTF-16.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/com_base.h"

// Converts at most `maxBytes` bytes of the UTF-8 `text` (less if it ends
// before) into a zero-terminated UTF-16 text. A text that reaches the limit
// counts as cut there: a character that the cut splits is left out whole.
// Ill-formed bytes become U+FFFD. Null when no memory can be had.
std::unique_ptr<WCHAR[]> WidenText(const char* text, size_t maxBytes);
