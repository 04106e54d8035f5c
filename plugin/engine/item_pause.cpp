#include "plugin/engine/item_pause.h"

#include <atomic>

#include "device/druv_template.h"
#include "plugin/engine/druv_data.h"

uint32_t ItemPauseMilliseconds(const DRUVData& data, const DRUVTemplate& dumpTemplate) {
    // A negative sum would be a sleep of weeks; it counts as none.
    int64_t pause = int64_t{data.ItemDelay.load(std::memory_order_acquire)} + dumpTemplate.DelayBetweenSysX();
    return pause > 0 ? static_cast<uint32_t>(pause) : 0;
}
