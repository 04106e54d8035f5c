#include "druvhost/ports/input_event_queue.h"

namespace druvhost {

namespace {
bool ReturnsBuffer(InputEvent::Kind kind) {
    return kind == InputEvent::Kind::kBuffer || kind == InputEvent::Kind::kBrokenBuffer;
}
}  // namespace

InputEventQueue::InputEventQueue(size_t shortLimit, size_t bufferCount)
    : ring_(shortLimit + bufferCount), shortLimit_(shortLimit) {}

bool InputEventQueue::Push(const InputEvent& event) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (closed_) return false;
        const bool fits = ReturnsBuffer(event.kind) ? count_ < ring_.size() : count_ < shortLimit_;
        if (!fits) {
            ++dropped_;
            return false;
        }
        ring_[(first_ + count_) % ring_.size()] = event;
        ++count_;
    }
    ready_.notify_one();
    return true;
}

std::optional<InputEvent> InputEventQueue::Pop(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> guard(lock_);
    ready_.wait_for(guard, timeout, [this] { return count_ > 0 || closed_; });
    if (count_ == 0 || closed_) return std::nullopt;
    InputEvent event = ring_[first_];
    first_ = (first_ + 1) % ring_.size();
    --count_;
    return event;
}

void InputEventQueue::Close() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
    }
    ready_.notify_all();
}

size_t InputEventQueue::DroppedCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return dropped_;
}

}  // namespace druvhost
