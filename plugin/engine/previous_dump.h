// What an item held before a receive of it began. The input thread writes a
// new dump straight into the item's own buffer, over the old one, so the old
// dump is copied aside first; a receive that fails or is cancelled before
// the item's loops are done puts it back, and the host's project keeps the
// last good dump. Only an item that holds a dump is copied, and only the
// bytes it stores, not its whole buffer; the copy lives for the item's
// receive alone, so at most one item's dump is held twice at a time.
#pragma once

#include <cstdint>
#include <memory>

class DumpItem;

// Shown when no memory can be had for the copy; the item is left as it is.
// Filled with the item's name.
extern const char kNoMemoryToKeepDumpFormat[];

class PreviousDump {
public:
    // Copies the item's stored bytes when it holds a dump (HasData); an item
    // without one needs no copy. False when memory for the copy cannot be had.
    bool Keep(const DumpItem& item);

    // The item's loops are all done: the new dump stays, the copy goes.
    void Drop();

    // Gives the item its copied dump back: Length first drops to 0, then the
    // bytes are written and Length is set again, so that a reader of Length
    // never counts bytes that are being written. Without a copy the item
    // keeps what the receive stored. Only once the receive window is closed:
    // no input handler may be writing into the buffer then.
    void Restore(DumpItem& item);

    bool Held() const { return bytes_ != nullptr; }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    int32_t length_ = 0;
};
