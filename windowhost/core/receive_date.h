// The date of an instrument's last receive as the instrument list shows it.
#pragma once

#include <cstdint>
#include <string>

namespace windowhost {

// "2026-03-01 14:05" for `secondsSince1970` (UTC) shown `utcOffsetSeconds`
// east of UTC; "never" for 0, the date of an instrument never received.
std::string ReceiveDateText(int64_t secondsSince1970, int64_t utcOffsetSeconds);

}  // namespace windowhost
