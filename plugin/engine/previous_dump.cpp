#include "plugin/engine/previous_dump.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "plugin/engine/dump_item.h"

const char kNoMemoryToKeepDumpFormat[] = "Error! Not enough memory to keep the stored %s. Cancelling...";

bool PreviousDump::Keep(const DumpItem& item) {
    Drop();
    if (!item.HasData()) return true;
    // HasData holds Length inside the buffer.
    const int32_t length = item.Length.load(std::memory_order_acquire);
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (!bytes) return false;
    std::memcpy(bytes.get(), item.Data(), static_cast<size_t>(length));
    bytes_ = std::move(bytes);
    length_ = length;
    return true;
}

void PreviousDump::Drop() {
    bytes_.reset();
    length_ = 0;
}

void PreviousDump::Restore(DumpItem& item) {
    if (!bytes_ || !item.Data()) return;
    const int32_t length = static_cast<int32_t>(std::min<int64_t>(length_, item.Capacity()));
    item.Length.store(0, std::memory_order_release);
    std::memcpy(item.Data(), bytes_.get(), static_cast<size_t>(length));
    item.Length.store(length, std::memory_order_release);
    Drop();
}
