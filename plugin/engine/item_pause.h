// The pause after each item of a transfer.
#pragma once

#include <cstdint>

class DRUVData;
class DRUVTemplate;

// The store's ItemDelay plus the template's DelayBetweenSysX, in
// milliseconds; 0 when that sum is not above 0.
uint32_t ItemPauseMilliseconds(const DRUVData& data, const DRUVTemplate& dumpTemplate);
