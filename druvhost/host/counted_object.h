// Reference counting for the test host's objects. The host's C++ owner
// decides when an object dies; the count only shows how many references the
// plug-in (or anyone else) still holds, so a test can check that every
// AddRef was matched by a Release.
#pragma once

#include <atomic>

#include "platform/com_base.h"

class CountedObject {
public:
    ULONG References() const { return references_.load(std::memory_order_acquire); }

protected:
    ULONG Increment() { return references_.fetch_add(1, std::memory_order_acq_rel) + 1; }
    ULONG Decrement() { return references_.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<ULONG> references_{0};
};
