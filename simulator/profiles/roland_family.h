// Roland's one-way data exchange, shared by its units from the D-50 on:
//   DT1 `F0 41 DEV model 12 [address] [data] cs F7`
//   RQ1 `F0 41 DEV model 11 [address] [size] cs F7`
// Addresses and sizes are 3 or 4 bytes of 7 bits, most significant first;
// cs is the two's complement of the address, size or data bytes' sum
// (from offset 5). The unit's memory is a set of blocks in that address
// space; a request is answered with the requested part of every block it
// touches, cut into DT1 messages of at most `chunk` data bytes, and a DT1
// is stored where it points if it lies inside the blocks.
#pragma once

#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct RolandBlock {
    uint32_t address;  // 7-bit address as a number (RolandAddress)
    size_t size;
};

struct RolandLayout {
    Bytes model;                 // model ID byte(s) after DEV
    size_t addressWidth = 3;     // 3 or 4
    std::vector<RolandBlock> blocks;
    size_t chunk = 256;          // most data bytes in one DT1
    DeviceIdRule id;
    uint8_t dataMask = 0x7F;     // 0x0F: the unit's data are nibbles, and it refuses other bytes
};

class RolandProfile : public InstrumentProfile {
public:
    RolandProfile(const ProfileSettings& settings, RolandLayout layout);

    DeviceIdRule IdRule() const override { return layout_.id; }
    // Slots are "AA AA AA +N": N bytes from that address.
    std::optional<Bytes> Contents(const std::string& slot) const override;

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    void Store(const DumpCheck& dump) override;

    // DT1 messages for `size` bytes from `address`, whole blocks or parts,
    // skipping the gaps between blocks; empty when nothing lies there.
    std::vector<Bytes> DataSet(uint32_t address, size_t size) const;
    const RolandLayout& Layout() const { return layout_; }
    // What an RQ1 for `size` bytes from `address` asks for, as the unit
    // reads it. Most take it as it stands; some read a size of 0, or one
    // that runs past a patch, their own way.
    virtual void Requested(uint32_t& address, size_t& size) const {
        (void)address;
        (void)size;
    }

private:
    size_t HeaderSize() const { return 4 + layout_.model.size() + layout_.addressWidth; }
    // The block holding `address`, or -1.
    int BlockAt(uint32_t address) const;
    Bytes BlockBytes(size_t block) const;
    std::string SlotName(uint32_t address, size_t size) const;
    RolandLayout layout_;
};

}  // namespace druv::profiles
