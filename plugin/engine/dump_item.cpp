#include "plugin/engine/dump_item.h"

#include <algorithm>
#include <new>
#include <utility>

#include "device/druv_template.h"
#include "device/text_fields.h"
#include "plugin/engine/item_loops.h"

DumpItem::DumpItem(const char* name) : name_(CapText(name)) {}

bool DumpItem::Allocate(uint32_t capacity) {
    if (capacity == 0 || capacity > kMaxDumpCapacity) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[capacity]());
    if (!buffer) return false;
    Adopt(std::move(buffer), capacity);
    Length.store(0, std::memory_order_release);
    return true;
}

void DumpItem::Adopt(std::unique_ptr<uint8_t[]> buffer, uint32_t capacity) {
    data_ = std::move(buffer);
    capacity_ = data_ ? capacity : 0;
}

bool DumpItem::HasData() const {
    int32_t length = Length.load(std::memory_order_acquire);
    if (!data_ || length <= 0 || static_cast<uint32_t>(length) >= capacity_) return false;
    const uint8_t* begin = data_.get();
    const uint8_t* end = begin + length;
    return std::find_if(begin, end, [](uint8_t byte) { return byte != kLoopMarker; }) != end;
}

uint32_t DumpCapacityFor(const DRUVTemplate& dumpTemplate) {
    // Every loop of the item, outer loops included; a stored NumLoops of 0
    // means one loop, as everywhere in the engine. A negative NumLoops (no
    // loops) takes from Size, as it always has.
    int64_t loops = dumpTemplate.NumLoops() < 0 ? dumpTemplate.NumLoops() : ItemLoopCount(dumpTemplate);
    int64_t capacity = loops + dumpTemplate.Size() + 1;
    if (loops > 1) {
        // A loop stores at most its receive size plus one byte (a channel
        // message may fill the last byte), then its FF. Authors are asked to
        // give Size as the total of all loops; a smaller Size must not let a
        // receive run off the buffer.
        int64_t perLoop = std::max<int64_t>(dumpTemplate.LoopRecvSize(), 0) + 2;
        capacity = std::max(capacity, loops * perLoop);
    }
    if (capacity <= 0 || capacity > kMaxDumpCapacity) return 0;
    return static_cast<uint32_t>(capacity);
}
