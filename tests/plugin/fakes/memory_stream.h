// Byte streams over memory for the store's persisted form, one of them with
// a fault at a chosen byte offset.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "plugin/engine/byte_stream.h"

class MemoryStream : public ByteStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool Read(void* buffer, uint32_t count, uint32_t* got) override {
        size_t available = bytes_.size() - std::min(read_position_, bytes_.size());
        uint32_t part = static_cast<uint32_t>(std::min<size_t>(count, available));
        if (part > 0) std::memcpy(buffer, bytes_.data() + read_position_, part);
        read_position_ += part;
        *got = part;
        ++reads_;
        return true;
    }
    bool Write(const void* buffer, uint32_t count) override {
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        bytes_.insert(bytes_.end(), bytes, bytes + count);
        return true;
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    // Empties the stream but keeps its memory.
    void Clear() {
        bytes_.clear();
        read_position_ = 0;
    }
    // Reads start again at the first byte.
    void Rewind() { read_position_ = 0; }
    size_t ReadPosition() const { return read_position_; }
    uint32_t Reads() const { return reads_; }

private:
    std::vector<uint8_t> bytes_;
    size_t read_position_ = 0;
    uint32_t reads_ = 0;
};

// A stream that holds `bytes` but breaks at byte offset `faultAt`: a read or
// write that would reach past it delivers or takes the bytes before it, then
// reports an error (Fail) or, for reads, reports success with fewer bytes (Short).
class FaultyStream : public ByteStream {
public:
    enum class Fault { Fail, Short };

    FaultyStream(std::vector<uint8_t> bytes, size_t faultAt, Fault fault)
        : bytes_(std::move(bytes)), fault_at_(faultAt), fault_(fault) {}

    bool Read(void* buffer, uint32_t count, uint32_t* got) override {
        size_t limit = std::min(fault_at_, bytes_.size());
        size_t available = limit - std::min(position_, limit);
        uint32_t part = static_cast<uint32_t>(std::min<size_t>(count, available));
        if (part > 0) std::memcpy(buffer, bytes_.data() + position_, part);
        position_ += part;
        *got = part;
        return part == count || fault_ == Fault::Short || position_ < fault_at_;
    }
    bool Write(const void* buffer, uint32_t count) override {
        if (position_ + count > fault_at_) return false;
        const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
        written_.insert(written_.end(), bytes, bytes + count);
        position_ += count;
        return true;
    }

    const std::vector<uint8_t>& Written() const { return written_; }

private:
    std::vector<uint8_t> bytes_;
    std::vector<uint8_t> written_;
    size_t fault_at_;
    Fault fault_;
    size_t position_ = 0;
};
