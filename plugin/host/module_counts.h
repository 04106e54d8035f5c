// The two process-wide counts behind DllCanUnloadNow: live filter objects and
// server locks. Both change only by atomic increment and decrement, from any
// thread the host calls on.
#pragma once

#include <atomic>
#include <cstdint>

namespace module_counts {

std::atomic<int32_t>& LiveFilters();
std::atomic<int32_t>& ServerLocks();

// True while a filter object lives or the server is locked.
bool InUse();

}  // namespace module_counts
