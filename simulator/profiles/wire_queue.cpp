#include "simulator/profiles/wire_queue.h"

#include <algorithm>

namespace druv::profiles {

namespace {
constexpr uint64_t kMicrosecondsPerByte = 1000000 / kWireBytesPerSecond;  // 320
}

void WireQueue::Push(const std::vector<Bytes>& messages, uint64_t nowMs, uint32_t delayMs, uint32_t gapMs) {
    if (messages.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t startUs = std::max(wireFreeUs_, (nowMs + delayMs) * 1000);
    for (size_t i = 0; i < messages.size(); ++i) {
        const Bytes& message = messages[i];
        if (i > 0) startUs += uint64_t{gapMs} * 1000;
        startUs += message.size() * kMicrosecondsPerByte;
        pending_.push_back({message, startUs});
        bytesQueued_ += message.size();
    }
    wireFreeUs_ = startUs;
}

std::vector<Bytes> WireQueue::TakeDue(uint64_t nowMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Bytes> due;
    while (!pending_.empty() && pending_.front().arrivesUs <= nowMs * 1000) {
        due.push_back(std::move(pending_.front().bytes));
        pending_.pop_front();
    }
    return due;
}

bool WireQueue::Empty() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.empty();
}

uint64_t WireQueue::BytesQueued() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytesQueued_;
}

uint64_t WireQueue::WireFreeAtMicroseconds() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return wireFreeUs_;
}

}  // namespace druv::profiles
