// The fixed entries of the window's drop-down lists. The selected index is the
// stored value, so the order is part of the file format.
#pragma once

#include <cstddef>

inline constexpr const char* kDeviceTypeEntries[] = {"Mixer", "Synth", "Effect"};
inline constexpr const char* kLoopStoreEntries[] = {"14-bit L/H", "14-bit H/L", "nybble L/H", "nybble H/L"};
inline constexpr const char* kChecksumTypeEntries[] = {"None", "2s Complement", "Sum", "1s Complement"};
