// The process-wide counts behind DllCanUnloadNow: live filter objects, editor
// pages and class factories, and server locks. Each object's code lies in
// this module, so while any of them lives the module must stay loaded. All
// change only by atomic increment and decrement, from any thread the host
// calls on.
#pragma once

#include <atomic>
#include <cstdint>

namespace module_counts {

std::atomic<int32_t>& LiveFilters();
std::atomic<int32_t>& LivePages();
std::atomic<int32_t>& LiveFactories();
std::atomic<int32_t>& ServerLocks();

// True while a filter, a page or a factory lives or the server is locked.
bool InUse();

}  // namespace module_counts
