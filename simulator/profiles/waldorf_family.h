// The sound dumps of Waldorf's later units (and of the Studiologic Sledge,
// which Waldorf built):
//   request `F0 3E model dd [request type] [address] (cs) F7`
//   dump    `F0 3E model dd [dump type] [address] [data] cs F7`
// dd is the device ID 00..7E; the address is a program byte, or a bank and a
// program byte; a dump's cs is the 7-bit sum of its data alone, neither type
// nor address. Some units end a request with a checksum of its own (the
// address bytes' 7-bit sum), some take 7F for any checksum, some listen to
// dd 7F as well as their own ID. Each slot is a sound of its own; storing a
// sound leaves the edit buffer alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "simulator/profiles/instrument_profile.h"

namespace druv::profiles {

struct WaldorfFormat {
    uint8_t model = 0;
    Bytes requestType;                // after dd in a request
    Bytes dumpType;                   // after dd in a dump the unit sends
    std::vector<Bytes> writeTypes;    // further dump types the unit stores
    size_t addressBytes = 2;          // 1: program; 2: bank and program
    uint8_t banks = 1;                // with two address bytes
    uint8_t programs = 0;
    Bytes editAddress;                // empty: no edit buffer to ask for
    size_t dataSize = 0;
    bool requestChecksum = false;     // requests end with the address bytes' sum
    bool anyChecksum7F = false;       // 7F passes for any checksum, in requests and dumps
    bool broadcast = false;           // dd 7F reaches every unit
};

class WaldorfFamily : public InstrumentProfile {
public:
    WaldorfFamily(const ProfileSettings& settings, WaldorfFormat format);

    DeviceIdRule IdRule() const override { return {true, 0, 0x7E}; }

protected:
    DumpCheck CheckDump(const Bytes& message) const override;
    bool HandleRequest(const Bytes& message, std::vector<Bytes>& replies) override;
    bool AcceptsId(int id) const override;

private:
    // Empty for an address the unit does not have.
    std::string SoundSlot(const Bytes& message, size_t at) const;
    bool ChecksumPasses(uint8_t checksum, uint8_t expected) const;
    WaldorfFormat format_;
};

}  // namespace druv::profiles
