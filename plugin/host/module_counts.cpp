#include "plugin/host/module_counts.h"

#include <initializer_list>

namespace module_counts {

std::atomic<int32_t>& LiveFilters() {
    static std::atomic<int32_t> count{0};
    return count;
}

std::atomic<int32_t>& LivePages() {
    static std::atomic<int32_t> count{0};
    return count;
}

std::atomic<int32_t>& LiveFactories() {
    static std::atomic<int32_t> count{0};
    return count;
}

std::atomic<int32_t>& ServerLocks() {
    static std::atomic<int32_t> count{0};
    return count;
}

bool InUse() {
    for (std::atomic<int32_t>* count : {&LiveFilters(), &LivePages(), &LiveFactories(), &ServerLocks()})
        if (count->load(std::memory_order_acquire) != 0) return true;
    return false;
}

}  // namespace module_counts
