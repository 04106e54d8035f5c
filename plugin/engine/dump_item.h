// One stored dump: the data received for one template of the device.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class DRUVTemplate;

// Larger dumps are refused, in definitions and in persisted streams alike:
// no instrument's dump comes near it, and a corrupt length must not make the
// plug-in try to allocate gigabytes.
constexpr uint32_t kMaxDumpCapacity = 64u << 20;

// In stored data, the byte that closes each request loop.
constexpr uint8_t kLoopMarker = 0xFF;

class DumpItem {
public:
    explicit DumpItem(const char* name);  // no buffer, Length 0
    DumpItem(const DumpItem&) = delete;
    DumpItem& operator=(const DumpItem&) = delete;

    // The template's name, at most 255 bytes.
    const std::string& Name() const { return name_; }

    uint32_t Capacity() const { return capacity_; }
    uint8_t* Data() { return data_.get(); }
    const uint8_t* Data() const { return data_.get(); }

    // A new zeroed buffer of `capacity` bytes replaces the old one; Length
    // becomes 0. False (item unchanged) when `capacity` is 0, above
    // kMaxDumpCapacity, or no memory can be had.
    bool Allocate(uint32_t capacity);
    // Takes over `buffer` of `capacity` bytes in place of the current one.
    void Adopt(std::unique_ptr<uint8_t[]> buffer, uint32_t capacity);

    // True when the item holds a buffer, 0 < Length < Capacity, and one of the
    // first Length bytes is not the loop marker FF.
    bool HasData() const;

    // Written by the transfer thread while the editor page may read it.
    std::atomic<int32_t> Length{0};
    // Whether the current transfer handles the item.
    bool Selected = false;

private:
    std::string name_;
    uint32_t capacity_ = 0;
    std::unique_ptr<uint8_t[]> data_;
};

// The buffer a receive of `dumpTemplate` needs: NumLoops + Size + 1 (the dump,
// one FF per loop, one spare), or, for several loops, at least room for every
// loop's receive size with its marker. 0 when the template cannot give a
// buffer (a total of 0 or below, or above kMaxDumpCapacity).
uint32_t DumpCapacityFor(const DRUVTemplate& dumpTemplate);
