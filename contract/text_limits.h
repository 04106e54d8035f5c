// The one text limit the definition file, the host's records and the registry
// share. Counted in the unit of the text at hand: bytes of UTF-8 inside, UTF-16
// units where Windows counts (edit boxes, the registry's DevicePath); a name
// of its own elsewhere says which.
#pragma once

#include <cstddef>

constexpr size_t kMaxTextLength = 255;

// A text of kMaxTextLength UTF-16 units takes up to three bytes of UTF-8 each.
constexpr size_t kMaxTextUtf8Bytes = 3 * kMaxTextLength;
