#include "plugin/ui/shared_resource.h"

void SharedResource::Acquire() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (holders_++ == 0) make_();
}

void SharedResource::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (holders_ > 0 && --holders_ == 0) undo_();
}

int SharedResource::Holders() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return holders_;
}
