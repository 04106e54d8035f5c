#include "plugin/engine/data_stream.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "contract/text_limits.h"
#include "plugin/engine/druv_data.h"

namespace {

constexpr char kHeaderId[4] = {'D', 'R', 'U', 'V'};
constexpr char kItemId[4] = {'T', 'M', 'P', 'T'};
constexpr uint32_t kMaxTextBytes = kMaxTextLength;

// Header bytes besides the three texts; the length field counts 8 fewer.
constexpr uint32_t kHeaderFixedBytes = 55;
// Item chunk bytes besides the name and the data; the length field counts 8 fewer.
constexpr uint32_t kItemFixedBytes = 13;
constexpr uint32_t kChunkPrefixBytes = 8;

uint32_t TextBytes(const std::string& text) {
    return static_cast<uint32_t>(std::min<size_t>(std::strlen(text.c_str()), kMaxTextBytes));
}

// What an item contributes: nothing without a buffer, never more than the buffer.
uint32_t StoredBytes(const DumpItem& item) {
    int32_t length = item.Length.load(std::memory_order_acquire);
    if (!item.Data() || length <= 0) return 0;
    return std::min(static_cast<uint32_t>(length), item.Capacity());
}

uint32_t HeaderBytes(const DRUVData& data) {
    return kHeaderFixedBytes + TextBytes(data.Company) + TextBytes(data.Product) + TextBytes(data.Version);
}

uint32_t ItemChunkBytes(const DumpItem& item) {
    return kItemFixedBytes + TextBytes(item.Name()) + StoredBytes(item);
}

class Writer {
public:
    explicit Writer(ByteStream& stream) : stream_(stream) {}

    bool Bytes(const void* bytes, uint32_t count) { return stream_.Write(bytes, count); }
    bool Byte(uint8_t value) { return Bytes(&value, 1); }
    bool Number(uint32_t value) {
        uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
        return Bytes(bytes, 4);
    }
    bool Text(const std::string& text) {
        uint32_t length = TextBytes(text);
        if (!Byte(static_cast<uint8_t>(length))) return false;
        return length == 0 || Bytes(text.data(), length);
    }

private:
    ByteStream& stream_;
};

class Reader {
public:
    explicit Reader(ByteStream& stream) : stream_(stream) {}

    // Succeeds only when the stream delivers exactly `count` bytes.
    bool Bytes(void* buffer, uint32_t count) {
        uint32_t got = 0;
        return stream_.Read(buffer, count, &got) && got == count;
    }
    bool Byte(uint8_t* value) { return Bytes(value, 1); }
    bool Number(uint32_t* value) {
        uint8_t bytes[4];
        if (!Bytes(bytes, 4)) return false;
        *value = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
        return true;
    }
    // A length byte and that many bytes, ending at the first zero byte like
    // any text of the store.
    bool Text(std::string* text) {
        uint8_t length;
        if (!Byte(&length)) return false;
        char buffer[kMaxTextBytes + 1];
        if (length > 0 && !Bytes(buffer, length)) return false;
        buffer[length] = '\0';
        *text = buffer;
        return true;
    }
    bool Identifier(const char (&expected)[4]) {
        char id[4];
        return Bytes(id, 4) && std::memcmp(id, expected, 4) == 0;
    }

    // Reads `count` bytes into a new buffer that grows only as the bytes
    // arrive, so a corrupt count costs no more memory than the stream holds.
    // Null when the stream ends early, fails, or no memory can be had.
    std::unique_ptr<uint8_t[]> Block(uint32_t count, uint32_t firstAllocation) {
        uint32_t allocated = std::max<uint32_t>(std::min(count, firstAllocation), 1);
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[allocated]);
        uint32_t done = 0;
        while (buffer && done < count) {
            if (done == allocated) {
                uint32_t grown = count - allocated > allocated ? 2 * allocated : count;
                std::unique_ptr<uint8_t[]> larger(new (std::nothrow) uint8_t[grown]);
                if (!larger) return nullptr;
                std::memcpy(larger.get(), buffer.get(), done);
                buffer = std::move(larger);
                allocated = grown;
            }
            if (!Bytes(buffer.get() + done, allocated - done)) return nullptr;
            done = allocated;
        }
        return buffer;
    }

    bool Skip(uint32_t count) {
        uint8_t scratch[4096];
        while (count > 0) {
            uint32_t part = std::min<uint32_t>(count, sizeof scratch);
            if (!Bytes(scratch, part)) return false;
            count -= part;
        }
        return true;
    }

private:
    ByteStream& stream_;
};

constexpr uint32_t kFirstBlockAllocation = 64u << 10;

bool ReadHeader(DRUVData& data, Reader& in) {
    uint32_t unusedLength;
    uint8_t format, revision;
    if (!in.Identifier(kHeaderId) || !in.Number(&unusedLength)) return false;
    if (!in.Byte(&format) || !in.Byte(&revision)) return false;
    if (format != kStoreFormatNumber || revision > kStoreFormatRevision) return false;
    if (!in.Text(&data.Company) || !in.Text(&data.Product) || !in.Text(&data.Version)) return false;

    if (!in.Bytes(&data.InPortId, sizeof(MPPortId))) return false;
    data.ResolvePorts(MP_PORT_INPUT);
    if (!in.Bytes(&data.OutPortId, sizeof(MPPortId))) return false;
    data.ResolvePorts(MP_PORT_OUTPUT);

    uint8_t deviceId, channel;
    if (!in.Byte(&deviceId)) return false;
    data.DeviceId.store(deviceId, std::memory_order_release);
    if (!in.Byte(&channel)) return false;
    data.Channel.store(channel, std::memory_order_release);

    uint32_t count, delay;
    if (!in.Number(&count)) return false;
    data.StoredItemCount = static_cast<int32_t>(count);
    if (!in.Number(&delay)) return false;
    data.ItemDelay.store(static_cast<int32_t>(delay), std::memory_order_release);
    return true;
}

enum class ChunkResult { Read, Stop, Fail };

ChunkResult ReadItemChunk(DRUVData& data, Reader& in) {
    uint32_t unusedLength;
    std::string name;
    if (!in.Identifier(kItemId) || !in.Number(&unusedLength) || !in.Text(&name)) return ChunkResult::Stop;

    DumpItem* item = data.FindItemExact(name);
    uint32_t length;
    if (!item) {
        if (!in.Number(&length) || !in.Skip(length)) return ChunkResult::Stop;
        return ChunkResult::Read;
    }

    if (!in.Number(&length) || length > kMaxDumpCapacity) return ChunkResult::Fail;
    if (length == 0) {
        item->Length.store(0, std::memory_order_release);
        return ChunkResult::Read;
    }
    // All or nothing: the item changes only once its bytes are all there.
    bool fitsBuffer = item->Data() && length <= item->Capacity();
    std::unique_ptr<uint8_t[]> bytes =
        in.Block(length, fitsBuffer ? length : std::min(length, kFirstBlockAllocation));
    if (!bytes) return ChunkResult::Fail;
    if (fitsBuffer) {
        std::memcpy(item->Data(), bytes.get(), length);
    } else {
        item->Adopt(std::move(bytes), length);
    }
    item->Length.store(static_cast<int32_t>(length), std::memory_order_release);
    return ChunkResult::Read;
}

}  // namespace

bool WriteDataStore(const DRUVData& data, ByteStream& stream) {
    Writer out(stream);
    bool written = out.Bytes(kHeaderId, 4) && out.Number(HeaderBytes(data) - kChunkPrefixBytes) &&
                   out.Byte(kStoreFormatNumber) && out.Byte(kStoreFormatRevision) && out.Text(data.Company) &&
                   out.Text(data.Product) && out.Text(data.Version) &&
                   out.Bytes(&data.InPortId, sizeof(MPPortId)) && out.Bytes(&data.OutPortId, sizeof(MPPortId)) &&
                   out.Byte(data.DeviceId.load(std::memory_order_acquire)) &&
                   out.Byte(data.Channel.load(std::memory_order_acquire)) &&
                   out.Number(static_cast<uint32_t>(data.Items.size())) &&
                   out.Number(static_cast<uint32_t>(data.ItemDelay.load(std::memory_order_acquire)));
    for (size_t i = 0; written && i < data.Items.size(); ++i) {
        const DumpItem& item = *data.Items[i];
        uint32_t stored = StoredBytes(item);
        written = out.Bytes(kItemId, 4) && out.Number(ItemChunkBytes(item) - kChunkPrefixBytes) &&
                  out.Text(item.Name()) && out.Number(stored) && (stored == 0 || out.Bytes(item.Data(), stored));
    }
    return written;
}

StoreReadResult ReadDataStore(DRUVData& data, ByteStream& stream) {
    Reader in(stream);
    if (!ReadHeader(data, in)) return StoreReadResult::Failed;
    for (int32_t i = 0; i < data.StoredItemCount; ++i) {
        switch (ReadItemChunk(data, in)) {
        case ChunkResult::Read:
            break;
        case ChunkResult::Stop:
            return StoreReadResult::Stopped;
        case ChunkResult::Fail:
            return StoreReadResult::Failed;
        }
    }
    return StoreReadResult::Complete;
}

uint64_t DataStoreStreamSize(const DRUVData& data) {
    uint64_t size = HeaderBytes(data);
    for (const auto& item : data.Items) size += ItemChunkBytes(*item);
    return size;
}
