// The fixed entries of the window's drop-down lists. The selected index is the
// stored value, so the order is part of the file format. The checksum kinds
// and the outer loop's formats are named where the definition defines them,
// so that the builder and the definition inspector call them alike.
#pragma once

#include <cstddef>

#include "device/druv_template.h"
#include "device/template_extensions.h"

inline constexpr const char* kDeviceTypeEntries[] = {"Mixer", "Synth", "Effect"};
inline constexpr const char* kLoopStoreEntries[] = {"14-bit L/H", "14-bit H/L", "nybble L/H", "nybble H/L"};
inline constexpr const auto& kChecksumTypeEntries = kChecksumTypeNames;
inline constexpr const auto& kOuterLoopFormatEntries = kOuterLoopFormatNames;
