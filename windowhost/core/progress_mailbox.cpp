#include "windowhost/core/progress_mailbox.h"

namespace windowhost {

void ProgressMailbox::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    latest_ = ProgressReport();
}

bool ProgressMailbox::Leave(uint32_t done, uint32_t total, const std::string* text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        latest_.done = done;
        latest_.total = total;
        if (text != nullptr) latest_.text = *text;
        ++latest_.reports;
    }
    return !posted_.exchange(true, std::memory_order_acq_rel);
}

ProgressReport ProgressMailbox::Take() {
    // Cleared first: a report left after the copy below posts anew.
    posted_.store(false, std::memory_order_release);
    std::lock_guard<std::mutex> lock(mutex_);
    return latest_;
}

}  // namespace windowhost
