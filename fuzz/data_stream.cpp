// Feeds arbitrary bytes to the reader of the store's persisted form, as a
// damaged or hostile project would. The read must never crash, overrun or
// allocate without bound, and must leave a store that writes and sizes alike.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/engine/byte_stream.h"
#include "plugin/engine/data_stream.h"
#include "plugin/engine/druv_data.h"

namespace {

class InputStream : public ByteStream {
public:
    InputStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Read(void* buffer, uint32_t count, uint32_t* got) override {
        size_t part = std::min<size_t>(count, size_ - position_);
        if (part > 0) std::memcpy(buffer, data_ + position_, part);
        position_ += part;
        *got = static_cast<uint32_t>(part);
        return true;
    }
    bool Write(const void*, uint32_t) override { return false; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class CountingStream : public ByteStream {
public:
    bool Read(void*, uint32_t, uint32_t* got) override {
        *got = 0;
        return false;
    }
    bool Write(const void*, uint32_t count) override {
        written += count;
        return true;
    }
    uint64_t written = 0;
};

void AddItem(DRUVData& data, const char* name, uint32_t capacity) {
    auto item = std::make_unique<DumpItem>(name);
    if (capacity > 0) item->Allocate(capacity);
    data.Items.push_back(std::move(item));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    DRUVData data;
    AddItem(data, "Patch", 16);
    AddItem(data, "Scene", 0);
    AddItem(data, "patch", 4);
    MPPortEntry ports[1] = {{3, {}, nullptr}};
    data.InPorts = {1, ports};

    InputStream in(bytes, size);
    ReadDataStore(data, in);

    for (const auto& item : data.Items) {
        int32_t length = item->Length.load();
        if (length < 0 || static_cast<uint32_t>(length) > item->Capacity()) std::abort();
        if (length > 0 && !item->Data()) std::abort();
        item->HasData();
    }
    CountingStream out;
    if (!WriteDataStore(data, out) || out.written != DataStoreStreamSize(data)) std::abort();
    return 0;
}
