// Which stored items a transfer handles.
#pragma once

#include <cstdint>

class DRUVDevice;
class DRUVData;

// Mask 0 selects every item. Otherwise bit j selects the items that
// configuration j names (ignoring case); the first set bit at or beyond the
// device's number of configurations ends the selection.
void SelectItems(const DRUVDevice& device, DRUVData& data, uint32_t mask);
