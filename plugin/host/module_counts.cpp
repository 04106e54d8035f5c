#include "plugin/host/module_counts.h"

namespace module_counts {

std::atomic<int32_t>& LiveFilters() {
    static std::atomic<int32_t> count{0};
    return count;
}

std::atomic<int32_t>& ServerLocks() {
    static std::atomic<int32_t> count{0};
    return count;
}

bool InUse() {
    return LiveFilters().load(std::memory_order_acquire) != 0 ||
           ServerLocks().load(std::memory_order_acquire) != 0;
}

}  // namespace module_counts
